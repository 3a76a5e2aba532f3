// Main window painting: panel, header, titles, caption, the comparison, the bottom strip
// with years, zoom, status and clock, in the colours of appState.colours. Nothing is kept
// between paints.
#include "render/main_paint.h"

#include "app/layout.h"
#include "core/app_state.h"
#include "core/handles_win.h"
#include "core/palette.h"
#include "core/text_table.h"
#include "core/view_controller.h"
#include "render/clock.h"
#include "render/comparison.h"
#include "render/paint_text.h"

#include <algorithm>
#include <string>

namespace {

// A text that breaks into lines at word boundaries within its box: the default string
// format, otherwise the same font and brush as drawLabel.
void drawWrapped(Gdiplus::Graphics& graphics, const std::wstring& text, const Gdiplus::RectF& box,
                 float sizePx, std::uint32_t argb) {
    Gdiplus::FontFamily family(UiFontFace, nullptr);
    Gdiplus::Font font(&family, sizePx, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    Gdiplus::SolidBrush brush{Gdiplus::Color(argb)};
    Gdiplus::StringFormat format;
    graphics.DrawString(text.c_str(), static_cast<INT>(text.size()), &font, box, &format, &brush);
}

void fill(Gdiplus::Graphics& graphics, std::uint32_t argb, float x, float y, float width,
          float height) {
    Gdiplus::SolidBrush brush{Gdiplus::Color(argb)};
    graphics.FillRectangle(&brush, x, y, width, height);
}

std::wstring text(TextId id) {
    return localizedText(id);
}

// A box of the window's geometry table for a client of width x height units.
Gdiplus::RectF boxAt(const LayoutBox& box, float width, float height) {
    return Gdiplus::RectF(box.x.at(width, height), box.y.at(width, height),
                          box.width.at(width, height), box.height.at(width, height));
}

} // namespace

void drawMainWindow(Gdiplus::Graphics& graphics, std::int32_t clientWidthPx,
                    std::int32_t clientHeightPx) {
    using Gdiplus::RectF;
    const float scale = appState.uiScale;
    graphics.ScaleTransform(scale, scale, Gdiplus::MatrixOrderPrepend);
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
    graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);

    const float W = static_cast<float>(clientWidthPx) / scale;
    const float H = static_cast<float>(clientHeightPx) / scale;

    auto box = [W, H](const LayoutBox& layout) { return boxAt(layout, W, H); };
    const InterfaceColours& colours = appState.colours;

    fill(graphics, colours.paper, 0, 0, W, H);
    fill(graphics, colours.panel, 0, 0, MainBox::PanelWidth, H);

    Gdiplus::LinearGradientBrush header(
        Gdiplus::PointF(0, 0), Gdiplus::PointF(MainBox::HeaderGradientX, MainBox::HeaderGradientY),
        Gdiplus::Color(colours.headerStart), Gdiplus::Color(colours.headerEnd));
    header.SetWrapMode(Gdiplus::WrapModeTile);
    graphics.FillRectangle(&header, 0.0f, 0.0f, MainBox::PanelWidth, MainBox::HeaderHeight);

    if (colours.hatch != NotDrawn) {
        Gdiplus::Pen hatch(Gdiplus::Color(colours.hatch), 1.0f);
        for (int k = 0; k < 4; ++k) {
            const float offset = 12.0f * static_cast<float>(k);
            graphics.DrawLine(&hatch, 165.0f + offset, 0.0f, 112.0f + offset,
                              MainBox::HeaderHeight);
        }
    }

    drawLabel(graphics, L"Driftpane", box(MainBox::Title), 27, colours.title, true);
    drawLabel(graphics, text(TextId::Tagline), box(MainBox::Tagline), 14, colours.tagline, false);
    drawLabel(graphics, L"01 / FIELD NOTES", box(MainBox::FieldNotes), 10, colours.fieldNotes,
              true);
    drawLabel(graphics, text(TextId::FieldArchive), box(MainBox::ArchiveHeading), 11, colours.muted,
              true);
    drawLabel(graphics, text(TextId::SavedPairs), box(MainBox::SavedPairsHeading), 11,
              colours.muted, true);
    drawWrapped(graphics, text(TextId::OfflineNote), box(MainBox::OfflineNote), 11, colours.muted);
    drawLabel(graphics, text(TextId::LanguageName), box(MainBox::LanguageName), 12, colours.ink,
              false);

    drawLabel(graphics, appState.caption, box(MainBox::Caption), 32, colours.ink, true);
    drawLabel(graphics, sourceLineText(appState.isLocalPair, text(TextId::FitNote)),
              box(MainBox::SourceLine), 11, colours.muted, false);
    drawLabel(graphics, text(TextId::FirstYear), box(MainBox::FirstYearLabel), 12, colours.muted,
              false);
    drawLabel(graphics, text(TextId::SecondYear), box(MainBox::SecondYearLabel), 12, colours.muted,
              false);

    const ViewRect view = viewRect(appState, clientWidthPx, clientHeightPx);
    drawComparison(graphics, RectF(view.left, view.top, view.width, view.height), true,
                   colours.view);
    drawLabel(graphics, text(TextId::ViewHint), box(MainBox::ViewHint), 12, colours.muted, false);

    drawLabel(graphics, yearText(appState.firstYear), box(MainBox::FirstYear), 14, colours.ink,
              true);
    drawLabel(graphics, yearText(appState.secondYear), box(MainBox::SecondYear), 14, colours.ink,
              true);
    drawLabel(graphics, zoomText(text(TextId::Zoom), appState.zoom), box(MainBox::Zoom), 12,
              colours.muted, false);

    const RectF rule = box(MainBox::Rule);
    Gdiplus::Pen rulePen(Gdiplus::Color(colours.rule), 1.0f);
    graphics.DrawLine(&rulePen, rule.X, rule.Y, rule.X + rule.Width, rule.Y);

    drawWrapped(graphics, appState.statusText, box(MainBox::Status), 11,
                appState.statusIsError ? colours.errorRed : colours.muted);
    drawLabel(graphics, clockText(), box(MainBox::Clock), 12, colours.ink, false);
}

void paintMainWindow(HWND window) {
    PaintScope paint(window);
    RECT client{};
    GetClientRect(window, &client);
    const std::int32_t width = client.right - client.left;
    const std::int32_t height = client.bottom - client.top;

    // A zero-sized client area still gets a buffer, so the paint always runs through.
    Gdiplus::Bitmap buffer(std::max(width, 1), std::max(height, 1), PixelFormat32bppPARGB);
    Gdiplus::Graphics offscreen(&buffer);
    drawMainWindow(offscreen, width, height);

    // The screen graphics goes before EndPaint: GDI+ restores the device context's state
    // when it is deleted, and the context is no longer ours after EndPaint.
    Gdiplus::Graphics screen(paint.dc);
    screen.DrawImage(&buffer, 0, 0);
}
