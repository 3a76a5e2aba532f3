// Pixel checks of the main window painting, through a real top-level window whose WM_PAINT
// calls paintMainWindow, and of the whole drawing at a fractional interface scale.
#include "render/main_paint.h"

#include "core/palette.h"
#include "core/text_table.h"
#include "render/comparison.h"
#include "render/paint_text.h"
#include "tests/win/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

constexpr int Width = 1220;
constexpr int Height = 850;
constexpr std::uint32_t PanelColour = WindowColour::Panel;
constexpr std::uint32_t HeaderStart = 0xFF253C39;
constexpr std::uint32_t HeaderEnd = 0xFF484F39;

// One label alone over paper, on a surface set up like the window's buffer.
Pixels labelAlone(const std::wstring& text, const Gdiplus::RectF& box, float sizePx,
                  std::uint32_t argb, bool bold) {
    Gdiplus::Bitmap bitmap(Width, Height, PixelFormat32bppPARGB);
    {
        Gdiplus::Graphics graphics(&bitmap);
        graphics.ScaleTransform(appState.uiScale, appState.uiScale, Gdiplus::MatrixOrderPrepend);
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
        graphics.Clear(Gdiplus::Color(Palette::Paper));
        drawLabel(graphics, text, box, sizePx, argb, bold);
    }
    return bitmapPixels(bitmap);
}

// Pixels of the window that differ from the label drawn alone, inside the label's box.
int differsFromLabel(const Pixels& window, const std::wstring& text, const Gdiplus::RectF& box,
                     float sizePx, std::uint32_t argb, bool bold) {
    const Pixels alone = labelAlone(text, box, sizePx, argb, bold);
    const float s = appState.uiScale;
    const PixelBox pixels{static_cast<int>(box.X * s), static_cast<int>(box.Y * s),
                          static_cast<int>((box.X + box.Width) * s),
                          static_cast<int>((box.Y + box.Height) * s)};
    return countPixels(window, pixels,
                       [&alone](std::uint32_t p, int x, int y) { return p != alone.at(x, y); });
}

int inkPixels(const Pixels& pixels, const PixelBox& box) {
    return countPixels(pixels, box, [](std::uint32_t p, int, int) { return p != Palette::Paper; });
}

class PaintTest : public FreshAppStateTest {
  protected:
    void SetUp() override {
        FreshAppStateTest::SetUp();
        appState.statusText = L"Ready";
    }
};

} // namespace

TEST_F(PaintTest, PaperPanelHeaderViewAndRuleAtScaleOne) {
    const Pixels c = paintedWindow(Width, Height);
    ASSERT_EQ(c.argb.size(), static_cast<size_t>(Width * Height));
    // Along the header gradient (0,0)-(246,140), (60,112) lies at about 0.38 of the way. The
    // view is (274, 192, W - 302, H - 355) with no photos, its line in the middle; the rule
    // runs from x 270 to W - 25 at H - 43.
    const float t = (60.0f * 246.0f + 112.0f * 140.0f) / (246.0f * 246.0f + 140.0f * 140.0f);
    expectPixels(c, {Probe{260, 400, Palette::Paper, 0}, Probe{1205, 400, Palette::Paper, 0},
                     Probe{100, 500, PanelColour, 0}, Probe{10, 150, PanelColour, 0},
                     Probe{2, 2, HeaderStart, 4}, Probe{240, 140, HeaderEnd, 4},
                     Probe{60, 112, blend(HeaderStart, HeaderEnd, t), 6},
                     Probe{600, 400, ViewBackground, 0}, Probe{274, 600, ViewBackground, 0},
                     Probe{273, 600, Palette::Paper, 0}, Probe{1191, 600, ViewBackground, 0},
                     Probe{1192, 600, Palette::Paper, 0}, Probe{600, 686, ViewBackground, 0},
                     Probe{600, 688, Palette::Paper, 0}, Probe{733, 300, DividerColour, 40},
                     Probe{719, 439, Palette::Accent, 8}, Probe{700, 807, Palette::Rule, 12},
                     Probe{1200, 807, Palette::Paper, 0}});
    // The hatch lines, from (165,0) to (112,145), are lighter than the header beside them.
    EXPECT_GT(channelOf(c.at(165 - 53 * 50 / 145, 50), 16), channelOf(c.at(150, 50), 16) + 15);
}

TEST_F(PaintTest, LayoutFollowsTheInterfaceScale) {
    appState.uiScale = 1.5f;
    // 1050 x 750 units: the view is 748 x 395 at (274, 192), pixels 411..1533 by 288..880.5;
    // the panel is 246 units wide and its header 145 high.
    expectPixels(paintedWindow(1575, 1125),
                 {Probe{405, 500, Palette::Paper, 0}, Probe{413, 500, ViewBackground, 0},
                  Probe{1530, 500, ViewBackground, 0}, Probe{1536, 500, Palette::Paper, 0},
                  Probe{700, 285, Palette::Paper, 0}, Probe{700, 291, ViewBackground, 0},
                  Probe{700, 878, ViewBackground, 0}, Probe{700, 884, Palette::Paper, 0},
                  Probe{366, 500, PanelColour, 0}, Probe{372, 500, Palette::Paper, 0},
                  Probe{10, 180, blend(HeaderStart, HeaderEnd, 0.2f), 12},
                  Probe{10, 221, PanelColour, 0}});
    // 1200 x 850 units straight into a bitmap: the view is 898 x 495 at (274, 192).
    Gdiplus::Bitmap bitmap(1800, 1275, PixelFormat32bppPARGB);
    {
        Gdiplus::Graphics graphics(&bitmap);
        drawMainWindow(graphics, 1800, 1275);
    }
    expectPixels(bitmapPixels(bitmap),
                 {Probe{412, 600, ViewBackground, 0}, Probe{409, 600, Palette::Paper, 0},
                  Probe{1756, 600, ViewBackground, 0}, Probe{1760, 600, Palette::Paper, 0},
                  Probe{600, 290, ViewBackground, 0}, Probe{600, 286, Palette::Paper, 0},
                  Probe{600, 1029, ViewBackground, 0}, Probe{600, 1033, Palette::Paper, 0}});
}

TEST_F(PaintTest, LongStatusWrapsInsideItsBoxInMutedOrErrorColour) {
    appState.statusText.clear();
    for (int i = 0; i < 12; ++i) {
        appState.statusText += L"The photo could not be read. ";
    }
    // The status box: 274, H - 39, W - 595 by 38 units; the clock starts at 918.
    const PixelBox box{274, Height - 39, 274 + Width - 595, Height - 1};
    for (bool isError : {false, true}) {
        SCOPED_TRACE(isError ? "error" : "normal");
        appState.statusIsError = isError;
        const Pixels c = paintedWindow(Width, Height);
        ASSERT_FALSE(c.argb.empty());
        EXPECT_GT(inkPixels(c, {box.left, box.top + 20, box.right, Height}), 50) << "second line";
        EXPECT_EQ(inkPixels(c, {box.right, box.top, 918, Height}), 0);
        // The strongest ink pixel tells the text colour.
        std::uint32_t darkest = Palette::Paper;
        countPixels(c, box, [&darkest](std::uint32_t p, int, int) {
            const auto sum = [](std::uint32_t q) {
                return channelOf(q, 16) + channelOf(q, 8) + channelOf(q, 0);
            };
            darkest = sum(p) < sum(darkest) ? p : darkest;
            return false;
        });
        const int redOverGreen = channelOf(darkest, 16) - channelOf(darkest, 8);
        if (isError) {
            EXPECT_GT(redOverGreen, 60) << hexColour(darkest);
            EXPECT_TRUE(closeTo(darkest, ErrorRed, 40));
        } else {
            EXPECT_LT(std::abs(redOverGreen), 20) << hexColour(darkest);
            EXPECT_TRUE(closeTo(darkest, Palette::Muted, 40));
        }
    }
}

TEST_F(PaintTest, LongCaptionIsCutOnOneLineWithAnEllipsis) {
    // Capitals only: no descenders, so any ink low in the box would be a second line.
    for (int i = 0; i < 20; ++i) {
        appState.caption += L"HEMMED HILLTOP ";
    }
    const Pixels c = paintedWindow(Width, Height);
    ASSERT_FALSE(c.argb.empty());
    // The caption box is 274, 22, W - 540 by 46 units; nothing right of it or below a line.
    const Gdiplus::RectF box(274, 22, Width - 540, 46);
    const int right = 274 + Width - 540;
    EXPECT_EQ(inkPixels(c, {274, 58, right, 68}), 0);
    EXPECT_EQ(inkPixels(c, {right, 22, Width, 68}), 0);
    EXPECT_EQ(differsFromLabel(c, appState.caption, box, 32, Palette::Ink, true), 0);

    int top = Height, bottom = 0, last = 0;
    const auto ink = [&c](int x, int y) { return channelOf(c.at(x, y), 8) < 0x80; };
    for (int y = 22; y < 68; ++y) {
        for (int x = 274; x < right; ++x) {
            if (ink(x, y)) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                last = std::max(last, x);
            }
        }
    }
    ASSERT_GT(last, right - 60) << "cut well before the box's edge";
    // The last marks are dots on the baseline, where a cut letter would stand at full height.
    const int lowerThird = top + (bottom - top) * 2 / 3;
    int dots = 0;
    for (int y = top; y <= bottom; ++y) {
        for (int x = last - 3; x <= last; ++x) {
            if (ink(x, y)) {
                EXPECT_GT(y, lowerThird) << x << "," << y;
                ++dots;
            }
        }
    }
    EXPECT_GT(dots, 0);
}

TEST_F(PaintTest, ZoomYearsAndSourceLineAreDrawnFromTheirTexts) {
    appState.languageIndex = 1;
    appState.zoom = 1.2f * 1.2f * 1.2f;
    appState.firstYear = -3000;
    appState.secondYear = 12345;
    const Gdiplus::RectF zoom(Width - 260, Height - 73, 120, 24);
    const Gdiplus::RectF source(276, 71, Width - 320, 28);
    const Pixels credit = paintedWindow(Width, Height);
    ASSERT_FALSE(credit.argb.empty());
    EXPECT_EQ(differsFromLabel(credit, L"Zoom 172%", zoom, 12, Palette::Muted, false), 0);
    EXPECT_GT(differsFromLabel(credit, L"Zoom 173%", zoom, 12, Palette::Muted, false), 0);
    EXPECT_EQ(differsFromLabel(credit, L"-3000", Gdiplus::RectF(274, Height - 115, 67, 24), 14,
                               Palette::Ink, true),
              0);
    EXPECT_EQ(differsFromLabel(credit, L"12345", Gdiplus::RectF(Width - 83, Height - 115, 60, 24),
                               14, Palette::Ink, true),
              0);
    EXPECT_EQ(differsFromLabel(credit, ArchiveCredit, source, 11, Palette::Muted, false), 0);

    appState.isLocalPair = true;
    const Pixels local = paintedWindow(Width, Height);
    ASSERT_FALSE(local.argb.empty());
    const std::wstring fitNote = localizedText(TextId::FitNote);
    EXPECT_EQ(differsFromLabel(local, fitNote, source, 11, Palette::Muted, false), 0);
    EXPECT_GT(differsFromLabel(credit, fitNote, source, 11, Palette::Muted, false), 0);
}

TEST_F(PaintTest, HighContrastPaintsInSystemColoursAroundUntouchedPhotos) {
    const SystemColours& system = TestContrastScheme;
    appState.colours = highContrastColours(system);
    constexpr std::uint32_t Red = 0xFFE01010, Blue = 0xFF1010E0;
    appState.firstImage = solidPhoto(100, 50, Red);
    appState.secondImage = solidPhoto(100, 50, Blue);
    appState.caption = L"HEMMED HILLTOP";
    const Pixels c = paintedWindow(Width, Height);
    ASSERT_FALSE(c.argb.empty());
    // The view is 918 x 495 at (274, 192); the photos fill its width and leave 18 rows above
    // and below. The divider runs at x 733, two units either side of it its edge, and the
    // knob is centred at (733, 439.5), its ring 15 to 17 units out.
    expectPixels(c, {Probe{1205, 400, system.window, 0}, Probe{100, 500, system.window, 0},
                     Probe{2, 2, system.window, 0}, Probe{240, 140, system.window, 0},
                     Probe{600, 200, system.window, 0}, Probe{600, 683, system.window, 0},
                     Probe{400, 400, Red, 0}, Probe{729, 300, Red, 0}, Probe{1000, 600, Blue, 0},
                     Probe{737, 300, Blue, 0}, Probe{733, 300, system.highlight, 3},
                     Probe{731, 300, system.highlightText, 3},
                     Probe{735, 300, system.highlightText, 3}, Probe{720, 439, system.highlight, 3},
                     Probe{733, 423, system.highlightText, 8}, Probe{289, 207, system.window, 0},
                     Probe{700, 807, system.windowText, 3}});
    const auto nearTo = [](std::uint32_t colour, int tolerance) {
        return [=](std::uint32_t p, int, int) { return colourDistance(p, colour) <= tolerance; };
    };
    // Caption, section title, year chip and status in the window text colour (small text has
    // few pixels of full strength).
    for (const PixelBox& text :
         {PixelBox{274, 22, 700, 68}, PixelBox{22, 165, 230, 187}, PixelBox{288, 206, 364, 240},
          PixelBox{274, Height - 39, 600, Height}}) {
        EXPECT_GT(countPixels(c, text, nearTo(system.windowText, 40)), 10)
            << text.left << "," << text.top;
    }
    // Nothing of the fixed look is left anywhere.
    for (std::uint32_t fixed : {Palette::Paper, PanelColour, Palette::Accent, Palette::Ink}) {
        EXPECT_EQ(countPixels(c, {0, 0, Width, Height}, nearTo(fixed, 3)), 0) << hexColour(fixed);
    }
}
