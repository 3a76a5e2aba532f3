// Main window painting: panel, header, titles, caption, the comparison, the bottom strip
// with years, zoom, status and clock. Nothing is kept between paints.
#include "render/main_paint.h"

#include "core/app_state.h"
#include "core/palette.h"
#include "core/text_table.h"
#include "core/view_controller.h"
#include "render/clock.h"
#include "render/comparison.h"
#include "render/paint_text.h"

#include <algorithm>
#include <string>

namespace {

constexpr std::uint32_t PanelColour = 0xFFE6E4D8;
constexpr std::uint32_t HeaderStart = 0xFF253C39;
constexpr std::uint32_t HeaderEnd = 0xFF484F39;
constexpr std::uint32_t HatchColour = 0x50DCCDA5;
constexpr std::uint32_t TitleColour = 0xFFFAF5E6;
constexpr std::uint32_t TaglineColour = 0xFFD9E0CE;
constexpr std::uint32_t FieldNotesColour = 0xFFD0BF98;

// A text that breaks into lines at word boundaries within its box: the default string
// format, otherwise the same font and brush as drawLabel.
void drawWrapped(Gdiplus::Graphics& graphics, const std::wstring& text, const Gdiplus::RectF& box,
                 float sizePx, std::uint32_t argb) {
    Gdiplus::FontFamily family(L"Segoe UI", nullptr);
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

// Ends the paint on every path, even if building a text throws.
struct PaintScope {
    HWND window;
    PAINTSTRUCT paint{};
    HDC dc = nullptr;
    explicit PaintScope(HWND target) : window(target) { dc = BeginPaint(window, &paint); }
    ~PaintScope() { EndPaint(window, &paint); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
};

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

    fill(graphics, Palette::Paper, 0, 0, W, H);
    fill(graphics, PanelColour, 0, 0, 246, H);

    Gdiplus::LinearGradientBrush header(Gdiplus::PointF(0, 0), Gdiplus::PointF(246, 140),
                                        Gdiplus::Color(HeaderStart), Gdiplus::Color(HeaderEnd));
    header.SetWrapMode(Gdiplus::WrapModeTile);
    graphics.FillRectangle(&header, 0.0f, 0.0f, 246.0f, 145.0f);

    Gdiplus::Pen hatch(Gdiplus::Color(HatchColour), 1.0f);
    for (int k = 0; k < 4; ++k) {
        const float offset = 12.0f * static_cast<float>(k);
        graphics.DrawLine(&hatch, 165.0f + offset, 0.0f, 112.0f + offset, 145.0f);
    }

    drawLabel(graphics, L"Driftpane", RectF(22, 23, 215, 40), 27, TitleColour, true);
    drawLabel(graphics, text(TextId::Tagline), RectF(23, 69, 212, 40), 14, TaglineColour, false);
    drawLabel(graphics, L"01 / FIELD NOTES", RectF(23, 116, 205, 20), 10, FieldNotesColour, true);
    drawLabel(graphics, text(TextId::FieldArchive), RectF(22, 165, 208, 22), 11, Palette::Muted,
              true);
    drawLabel(graphics, text(TextId::SavedPairs), RectF(22, 349, 208, 22), 11, Palette::Muted,
              true);
    drawWrapped(graphics, text(TextId::OfflineNote), RectF(22, H - 126, 202, 43), 11,
                Palette::Muted);
    drawLabel(graphics, text(TextId::LanguageName), RectF(22, H - 48, 190, 22), 12, Palette::Ink,
              false);

    drawLabel(graphics, appState.caption, RectF(274, 22, W - 540, 46), 32, Palette::Ink, true);
    drawLabel(graphics, sourceLineText(appState.isLocalPair, text(TextId::FitNote)),
              RectF(276, 71, W - 320, 28), 11, Palette::Muted, false);
    drawLabel(graphics, text(TextId::FirstYear), RectF(274, 113, 110, 23), 12, Palette::Muted,
              false);
    drawLabel(graphics, text(TextId::SecondYear), RectF(397, 113, 110, 23), 12, Palette::Muted,
              false);

    const ViewRect view = viewRect(appState, clientWidthPx, clientHeightPx);
    drawComparison(graphics, RectF(view.left, view.top, view.width, view.height), true);
    drawLabel(graphics, text(TextId::ViewHint),
              RectF(274, view.top + view.height + 9, view.width, 24), 12, Palette::Muted, false);

    drawLabel(graphics, yearText(appState.firstYear), RectF(274, H - 115, 67, 24), 14, Palette::Ink,
              true);
    drawLabel(graphics, yearText(appState.secondYear), RectF(W - 83, H - 115, 60, 24), 14,
              Palette::Ink, true);
    drawLabel(graphics, zoomText(text(TextId::Zoom), appState.zoom),
              RectF(W - 260, H - 73, 120, 24), 12, Palette::Muted, false);

    Gdiplus::Pen rule(Gdiplus::Color(Palette::Rule), 1.0f);
    graphics.DrawLine(&rule, 270.0f, H - 43.0f, W - 25.0f, H - 43.0f);

    drawWrapped(graphics, appState.statusText, RectF(274, H - 39, W - 595, 38), 11,
                appState.statusIsError ? ErrorRed : Palette::Muted);
    drawLabel(graphics, clockText(), RectF(W - 302, H - 35, 278, 27), 12, Palette::Ink, false);
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
