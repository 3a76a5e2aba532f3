// The comparison renderer: both photos fitted into one rectangle and split at the divider.
// Stateless; every GDI+ object lives for one call.
#include "render/comparison.h"

#include "archive/image_data.h"
#include "core/app_state.h"
#include "core/palette.h"
#include "render/paint_text.h"

namespace {

bool runningOnWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

float lineWidth(Gdiplus::Graphics& graphics, const std::wstring& text, const Gdiplus::Font& font,
                const Gdiplus::StringFormat& format) {
    const Gdiplus::RectF unbounded(0.0f, 0.0f, 1.0e6f, 1.0e6f);
    Gdiplus::RectF bounds;
    graphics.MeasureString(text.c_str(), static_cast<INT>(text.size()), &font, unbounded, &format,
                           &bounds);
    return bounds.Width;
}

// Wine's GDI+ ignores ellipsis trimming and merely clips the line at the box edge. There
// the line is shortened by hand to the longest start that fits with an ellipsis after it,
// which is what Windows draws.
std::wstring trimmedForWine(Gdiplus::Graphics& graphics, const std::wstring& text,
                            const Gdiplus::Font& font, const Gdiplus::StringFormat& format,
                            float boxWidth) {
    if (lineWidth(graphics, text, font, format) <= boxWidth) {
        return text;
    }
    size_t low = 0;
    size_t high = text.size() - 1;
    while (low < high) {
        const size_t middle = (low + high + 1) / 2;
        if (lineWidth(graphics, text.substr(0, middle) + L"\u2026", font, format) <= boxWidth) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    // Never split a surrogate pair.
    if (low > 0 && text[low - 1] >= 0xD800 && text[low - 1] <= 0xDBFF) {
        --low;
    }
    return text.substr(0, low) + L"\u2026";
}

} // namespace

void drawLabel(Gdiplus::Graphics& graphics, const std::wstring& text, const Gdiplus::RectF& box,
               float sizePx, std::uint32_t argb, bool bold) {
    Gdiplus::FontFamily family(UiFontFace, nullptr);
    // Pixel units, so that the surface's world transform scales the text with the layout.
    Gdiplus::Font font(&family, sizePx, bold ? Gdiplus::FontStyleBold : Gdiplus::FontStyleRegular,
                       Gdiplus::UnitPixel);
    Gdiplus::SolidBrush brush{Gdiplus::Color(argb)};
    Gdiplus::StringFormat format;
    format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
    format.SetTrimming(Gdiplus::StringTrimmingEllipsisCharacter);
    const std::wstring line = runningOnWine() && !text.empty()
                                  ? trimmedForWine(graphics, text, font, format, box.Width)
                                  : text;
    graphics.DrawString(line.c_str(), static_cast<INT>(line.size()), &font, box, &format, &brush);
}

// NOLINTNEXTLINE(performance-unnecessary-value-param): the copy keeps the photo alive
void drawPhotoFitted(Gdiplus::Graphics& graphics, std::shared_ptr<ImageData> photo,
                     const Gdiplus::RectF& rect) {
    // The by-value pointer keeps the photo alive for the call even if a new pair is
    // installed meanwhile.
    if (!photo || !photo->bitmap) {
        return;
    }
    const float iw = static_cast<float>(photo->bitmap->GetWidth());
    const float ih = static_cast<float>(photo->bitmap->GetHeight());
    if (iw <= 0.0f || ih <= 0.0f) {
        return;
    }
    const float heightFit = rect.Height / ih;
    const float widthFit = rect.Width / iw;
    const float scale = (heightFit < widthFit ? heightFit : widthFit) * appState.zoom;
    const float dw = iw * scale;
    const float dh = ih * scale;
    // Zoom scales about the rectangle's centre; the pan is a fraction of the rectangle,
    // not of the photo.
    const float dx = rect.X + (rect.Width - dw) * 0.5f + rect.Width * appState.panX;
    const float dy = rect.Y + (rect.Height - dh) * 0.5f + rect.Height * appState.panY;
    graphics.DrawImage(photo->bitmap.get(), Gdiplus::RectF(dx, dy, dw, dh), 0.0f, 0.0f, iw, ih,
                       Gdiplus::UnitPixel, nullptr);
}

void drawComparison(Gdiplus::Graphics& graphics, const Gdiplus::RectF& rect, bool showKnob,
                    const ComparisonColours& colours) {
    const float divider = appState.dividerPos;
    {
        Gdiplus::SolidBrush background{Gdiplus::Color(colours.background)};
        const Gdiplus::GraphicsState saved = graphics.Save();
        graphics.SetClip(rect, Gdiplus::CombineModeReplace);
        graphics.FillRectangle(&background, rect);
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        drawPhotoFitted(graphics, appState.secondImage, rect);
        graphics.SetClip(Gdiplus::RectF(rect.X, rect.Y, rect.Width * divider, rect.Height),
                         Gdiplus::CombineModeIntersect);
        // Both photos are fitted to the whole rectangle, so the left part must be wiped
        // of the second photo before the first one goes over it.
        graphics.FillRectangle(&background, rect);
        drawPhotoFitted(graphics, appState.firstImage, rect);
        graphics.Restore(saved);
    }

    const float lineX = rect.X + rect.Width * divider;
    if (colours.dividerEdge != NotDrawn) {
        // Two units either side of the line.
        Gdiplus::Pen edgePen(Gdiplus::Color(colours.dividerEdge), 6.0f);
        graphics.DrawLine(&edgePen, lineX, rect.Y, lineX, rect.Y + rect.Height);
    }
    Gdiplus::Pen dividerPen(Gdiplus::Color(colours.divider), 2.0f);
    graphics.DrawLine(&dividerPen, lineX, rect.Y, lineX, rect.Y + rect.Height);

    if (showKnob) {
        const float midY = rect.Y + rect.Height * 0.5f;
        Gdiplus::SolidBrush knob{Gdiplus::Color(colours.knob)};
        graphics.FillEllipse(&knob, lineX - 17.0f, midY - 17.0f, 34.0f, 34.0f);
        if (colours.knobRing != NotDrawn) {
            Gdiplus::Pen ring(Gdiplus::Color(colours.knobRing), 2.0f);
            graphics.DrawEllipse(&ring, lineX - 16.0f, midY - 16.0f, 32.0f, 32.0f);
        }
        drawLabel(graphics, L"\u2039 \u203A",
                  Gdiplus::RectF(lineX - 12.0f, midY - 14.0f, 30.0f, 28.0f), 21.0f,
                  colours.knobArrows, true);
    }

    Gdiplus::SolidBrush chip{Gdiplus::Color(colours.chip)};
    graphics.FillRectangle(&chip, rect.X + 14.0f, rect.Y + 14.0f, 76.0f, 34.0f);
    graphics.FillRectangle(&chip, rect.X + rect.Width - 90.0f, rect.Y + 14.0f, 76.0f, 34.0f);
    drawLabel(graphics, yearText(appState.firstYear),
              Gdiplus::RectF(rect.X + 27.0f, rect.Y + 19.0f, 65.0f, 30.0f), 18.0f, colours.chipText,
              true);
    drawLabel(graphics, yearText(appState.secondYear),
              Gdiplus::RectF(rect.X + rect.Width - 77.0f, rect.Y + 19.0f, 65.0f, 30.0f), 18.0f,
              colours.chipText, true);
}
