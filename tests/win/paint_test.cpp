// Pixel checks of the main window painting, through a real top-level window whose
// WM_PAINT calls paintMainWindow, captured from the window's device context.
#include "render/main_paint.h"

#include "core/app_state.h"
#include "core/palette.h"
#include "core/text_table.h"
#include "render/comparison.h"
#include "render/paint_text.h"

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr wchar_t TestWindowClass[] = L"DriftpanePaintTestWindow";
constexpr std::uint32_t PanelColour = 0xFFE6E4D8;
constexpr std::uint32_t HeaderStart = 0xFF253C39;
constexpr std::uint32_t HeaderEnd = 0xFF484F39;

LRESULT CALLBACK testWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        paintMainWindow(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

void registerTestClass() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = testWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = TestWindowClass;
    RegisterClassExW(&windowClass); // a second registration fails harmlessly
}

// Client pixels as 0xFFRRGGBB, row by row.
struct Capture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(int x, int y) const {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + x];
    }
};

// Shows a borderless top-level window with the given client size, lets it paint, and
// copies its client area out of the window's device context.
Capture paintWindow(int width, int height) {
    registerTestClass();
    HWND window =
        CreateWindowExW(WS_EX_TOPMOST, TestWindowClass, L"Driftpane paint test", WS_POPUP, 0, 0,
                        width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    Capture capture;
    if (!window) {
        return capture;
    }
    ShowWindow(window, SW_SHOWNOACTIVATE);
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC windowDc = GetDC(window);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    HBITMAP dib = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memoryDc, dib);
    BitBlt(memoryDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    capture.width = width;
    capture.height = height;
    capture.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    const auto* source = static_cast<const std::uint32_t*>(bits);
    for (size_t i = 0; i < capture.pixels.size(); ++i) {
        capture.pixels[i] = source[i] | 0xFF000000;
    }
    SelectObject(memoryDc, previous);
    DeleteObject(dib);
    DeleteDC(memoryDc);
    ReleaseDC(window, windowDc);
    DestroyWindow(window);
    return capture;
}

// The same surface settings as the window's buffer, for one label alone over paper.
Capture labelAlone(int width, int height, const std::wstring& text, const Gdiplus::RectF& box,
                   float sizePx, std::uint32_t argb, bool bold) {
    Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppPARGB);
    {
        Gdiplus::Graphics graphics(&bitmap);
        graphics.ScaleTransform(appState.uiScale, appState.uiScale, Gdiplus::MatrixOrderPrepend);
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
        graphics.Clear(Gdiplus::Color(Palette::Paper));
        drawLabel(graphics, text, box, sizePx, argb, bold);
    }
    Capture capture;
    capture.width = width;
    capture.height = height;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Gdiplus::Color colour;
            bitmap.GetPixel(x, y, &colour);
            capture.pixels.push_back(colour.GetValue() | 0xFF000000);
        }
    }
    return capture;
}

struct PixelBox {
    int left, top, right, bottom; // half-open
};

PixelBox scaledBox(const Gdiplus::RectF& box) {
    const float s = appState.uiScale;
    return {static_cast<int>(box.X * s), static_cast<int>(box.Y * s),
            static_cast<int>((box.X + box.Width) * s), static_cast<int>((box.Y + box.Height) * s)};
}

int differingPixels(const Capture& a, const Capture& b, const PixelBox& box) {
    int count = 0;
    for (int y = box.top; y < box.bottom; ++y) {
        for (int x = box.left; x < box.right; ++x) {
            count += a.at(x, y) != b.at(x, y) ? 1 : 0;
        }
    }
    return count;
}

int inkPixels(const Capture& capture, const PixelBox& box, std::uint32_t background) {
    int count = 0;
    for (int y = box.top; y < box.bottom; ++y) {
        for (int x = box.left; x < box.right; ++x) {
            count += capture.at(x, y) != background ? 1 : 0;
        }
    }
    return count;
}

int channel(std::uint32_t colour, int shift) {
    return static_cast<int>((colour >> shift) & 0xFF);
}

std::string hex(std::uint32_t colour) {
    char text[16] = {};
    std::snprintf(text, sizeof(text), "0x%08X", static_cast<unsigned>(colour));
    return text;
}

::testing::AssertionResult closeTo(std::uint32_t actual, std::uint32_t expected,
                                   int tolerance = 3) {
    for (int shift = 0; shift < 24; shift += 8) {
        if (std::abs(channel(actual, shift) - channel(expected, shift)) > tolerance) {
            return ::testing::AssertionFailure() << hex(actual) << " is not near " << hex(expected);
        }
    }
    return ::testing::AssertionSuccess();
}

std::uint32_t mix(std::uint32_t from, std::uint32_t to, float t) {
    std::uint32_t result = 0xFF000000;
    for (int shift = 0; shift < 24; shift += 8) {
        const float value =
            static_cast<float>(channel(from, shift)) * (1.0f - t) + channel(to, shift) * t;
        result |= static_cast<std::uint32_t>(value + 0.5f) << shift;
    }
    return result;
}

class PaintTest : public ::testing::Test {
  protected:
    void SetUp() override {
        freshState();
        appState.statusText = L"Ready";
    }
    void TearDown() override { freshState(); }
    // The process-wide handles set by the test program's entry point outlive every test.
    static void freshState() {
        const HINSTANCE instance = appState.instanceHandle;
        const ULONG_PTR token = appState.gdiplusToken;
        resetAppStateForTests(appState);
        appState.instanceHandle = instance;
        appState.gdiplusToken = token;
    }
};

} // namespace

TEST_F(PaintTest, PaperPanelHeaderViewAndRuleAtScaleOne) {
    const Capture c = paintWindow(1220, 850);
    ASSERT_EQ(c.pixels.size(), 1220u * 850u);
    EXPECT_TRUE(closeTo(c.at(260, 400), Palette::Paper, 0));
    EXPECT_TRUE(closeTo(c.at(1205, 400), Palette::Paper, 0));
    EXPECT_TRUE(closeTo(c.at(100, 500), PanelColour, 0));
    EXPECT_TRUE(closeTo(c.at(2, 2), HeaderStart, 4));
    EXPECT_TRUE(closeTo(c.at(240, 140), HeaderEnd, 4));
    // Along the gradient (0,0)-(246,140), (60,112) lies at about 0.38 of the way.
    const float t = (60.0f * 246.0f + 112.0f * 140.0f) / (246.0f * 246.0f + 140.0f * 140.0f);
    EXPECT_TRUE(closeTo(c.at(60, 112), mix(HeaderStart, HeaderEnd, t), 6));
    EXPECT_TRUE(closeTo(c.at(10, 150), PanelColour, 0));
    // The hatch lines are light over the dark header: from (165,0) to (112,145).
    EXPECT_GT(channel(c.at(165 - 53 * 50 / 145, 50), 16), channel(c.at(150, 50), 16) + 15);
    // The view (274, 192, W - 302, H - 355) with no photos: background, line at its middle.
    EXPECT_TRUE(closeTo(c.at(600, 400), ViewBackground, 0));
    EXPECT_TRUE(closeTo(c.at(274, 600), ViewBackground, 0));
    EXPECT_TRUE(closeTo(c.at(273, 600), Palette::Paper, 0));
    EXPECT_TRUE(closeTo(c.at(1191, 600), ViewBackground, 0));
    EXPECT_TRUE(closeTo(c.at(1192, 600), Palette::Paper, 0));
    EXPECT_TRUE(closeTo(c.at(600, 686), ViewBackground, 0));
    EXPECT_TRUE(closeTo(c.at(600, 688), Palette::Paper, 0));
    EXPECT_TRUE(closeTo(c.at(274 + 459, 300), DividerColour, 40));
    EXPECT_TRUE(closeTo(c.at(274 + 459 - 14, 192 + 247), Palette::Accent, 8));
    // The hairline rule above the bottom strip, from x 270 to W - 25 at H - 43.
    EXPECT_TRUE(closeTo(c.at(700, 807), Palette::Rule, 12));
    EXPECT_TRUE(closeTo(c.at(1200, 807), Palette::Paper, 0));
}

TEST_F(PaintTest, LayoutFollowsTheInterfaceScale) {
    appState.uiScale = 1.5f;
    // W = 1050, H = 750: the view is 748 x 395 units at (274, 192), so pixels 411..1533
    // across and 288..880.5 down.
    const Capture c = paintWindow(1575, 1125);
    ASSERT_EQ(c.pixels.size(), 1575u * 1125u);
    EXPECT_TRUE(closeTo(c.at(405, 500), Palette::Paper, 0));
    EXPECT_TRUE(closeTo(c.at(413, 500), ViewBackground, 0));
    EXPECT_TRUE(closeTo(c.at(1530, 500), ViewBackground, 0));
    EXPECT_TRUE(closeTo(c.at(1536, 500), Palette::Paper, 0));
    EXPECT_TRUE(closeTo(c.at(700, 285), Palette::Paper, 0));
    EXPECT_TRUE(closeTo(c.at(700, 291), ViewBackground, 0));
    EXPECT_TRUE(closeTo(c.at(700, 878), ViewBackground, 0));
    EXPECT_TRUE(closeTo(c.at(700, 884), Palette::Paper, 0));
    // The panel is 246 units wide and its header 145 units high.
    EXPECT_TRUE(closeTo(c.at(366, 500), PanelColour, 0));
    EXPECT_TRUE(closeTo(c.at(372, 500), Palette::Paper, 0));
    EXPECT_TRUE(closeTo(c.at(10, 180), mix(HeaderStart, HeaderEnd, 0.2f), 12));
    EXPECT_TRUE(closeTo(c.at(10, 221), PanelColour, 0));
}

TEST_F(PaintTest, LargeClientAtOneAndAHalf) {
    // 1800 x 1275 pixels at 1.5 is 1200 x 850 units; the view is 898 x 495 at (274, 192).
    appState.uiScale = 1.5f;
    Gdiplus::Bitmap bitmap(1800, 1275, PixelFormat32bppPARGB);
    {
        Gdiplus::Graphics graphics(&bitmap);
        drawMainWindow(graphics, 1800, 1275);
    }
    auto at = [&bitmap](int x, int y) {
        Gdiplus::Color colour;
        bitmap.GetPixel(x, y, &colour);
        return colour.GetValue();
    };
    EXPECT_TRUE(closeTo(at(412, 600), ViewBackground, 0));
    EXPECT_TRUE(closeTo(at(409, 600), Palette::Paper, 0));
    EXPECT_TRUE(closeTo(at(1756, 600), ViewBackground, 0));
    EXPECT_TRUE(closeTo(at(1760, 600), Palette::Paper, 0));
    EXPECT_TRUE(closeTo(at(600, 290), ViewBackground, 0));
    EXPECT_TRUE(closeTo(at(600, 286), Palette::Paper, 0));
    EXPECT_TRUE(closeTo(at(600, 1029), ViewBackground, 0));
    EXPECT_TRUE(closeTo(at(600, 1033), Palette::Paper, 0));
}

TEST_F(PaintTest, StatusColourMarksErrors) {
    // The status box: 274, H - 39, W - 595 by 38 units.
    appState.statusText = L"Both photos could not be read from the chosen files";
    const PixelBox box{274, 850 - 39, 274 + 1220 - 595, 850 - 1};
    for (bool isError : {false, true}) {
        appState.statusIsError = isError;
        const Capture c = paintWindow(1220, 850);
        ASSERT_FALSE(c.pixels.empty());
        // The strongest ink pixel tells the text colour.
        std::uint32_t darkest = Palette::Paper;
        int darkestSum = 3 * 255;
        for (int y = box.top; y < box.bottom; ++y) {
            for (int x = box.left; x < box.right; ++x) {
                const std::uint32_t p = c.at(x, y);
                const int sum = channel(p, 16) + channel(p, 8) + channel(p, 0);
                if (sum < darkestSum) {
                    darkestSum = sum;
                    darkest = p;
                }
            }
        }
        ASSERT_NE(darkest, Palette::Paper) << "no status text drawn";
        const int red = channel(darkest, 16);
        const int green = channel(darkest, 8);
        if (isError) {
            EXPECT_GT(red - green, 60) << hex(darkest);
            EXPECT_TRUE(closeTo(darkest, ErrorRed, 40));
        } else {
            EXPECT_LT(std::abs(red - green), 20) << hex(darkest);
            EXPECT_TRUE(closeTo(darkest, Palette::Muted, 40));
        }
    }
}

TEST_F(PaintTest, LongStatusWrapsInsteadOfBeingCut) {
    std::wstring status;
    for (int i = 0; i < 12; ++i) {
        status += L"The photo could not be read. ";
    }
    appState.statusText = status;
    const Capture c = paintWindow(1220, 850);
    ASSERT_FALSE(c.pixels.empty());
    // Ink on a second line: the lower half of the 38-unit box.
    EXPECT_GT(inkPixels(c, PixelBox{274, 850 - 39 + 20, 274 + 625, 850}, Palette::Paper), 50);
    // The box holds it: nothing right of W - 595 + 274 at that height up to the clock.
    EXPECT_EQ(inkPixels(c, PixelBox{274 + 625, 850 - 39, 918, 850}, Palette::Paper), 0);
}

TEST_F(PaintTest, LongCaptionIsCutOnOneLine) {
    // Capitals only: no descenders, so any ink low in the box would be a second line.
    std::wstring caption;
    for (int i = 0; i < 20; ++i) {
        caption += L"HEMMED HILLTOP ";
    }
    appState.caption = caption;
    const Capture c = paintWindow(1220, 850);
    ASSERT_FALSE(c.pixels.empty());
    // The caption box is 274, 22, W - 540 by 46 units.
    const int right = 274 + 1220 - 540;
    EXPECT_GT(inkPixels(c, PixelBox{274, 22, right, 56}, Palette::Paper), 1000);
    EXPECT_EQ(inkPixels(c, PixelBox{274, 58, right, 68}, Palette::Paper), 0);
    // Cut at the box's right edge, with ink close to it.
    EXPECT_EQ(inkPixels(c, PixelBox{right, 22, 1220, 68}, Palette::Paper), 0);
    EXPECT_GT(inkPixels(c, PixelBox{right - 60, 22, right, 56}, Palette::Paper), 0);
    // Drawn exactly as drawLabel draws it.
    const Capture alone = labelAlone(1220, 850, caption, Gdiplus::RectF(274, 22, 1220 - 540, 46),
                                     32, Palette::Ink, true);
    EXPECT_EQ(differingPixels(c, alone, PixelBox{274, 22, right, 68}), 0);
}

TEST_F(PaintTest, ZoomTextShowsTruncatedPercent) {
    appState.zoom = 1.2f * 1.2f * 1.2f;
    const Capture c = paintWindow(1220, 850);
    ASSERT_FALSE(c.pixels.empty());
    const Gdiplus::RectF box(1220 - 260, 850 - 73, 120, 24);
    const PixelBox pixels = scaledBox(box);
    const Capture expected = labelAlone(1220, 850, L"Zoom 172%", box, 12, Palette::Muted, false);
    const Capture rounded = labelAlone(1220, 850, L"Zoom 173%", box, 12, Palette::Muted, false);
    EXPECT_GT(differingPixels(expected, rounded, pixels), 0);
    EXPECT_EQ(differingPixels(c, expected, pixels), 0);
}

TEST_F(PaintTest, SourceLineIsTheCreditOrTheLocalFitNote) {
    appState.languageIndex = 1;
    const Gdiplus::RectF box(276, 71, 1220 - 320, 28);
    const PixelBox pixels = scaledBox(box);
    const Capture credit = paintWindow(1220, 850);
    ASSERT_FALSE(credit.pixels.empty());
    EXPECT_EQ(differingPixels(credit,
                              labelAlone(1220, 850, ArchiveCredit, box, 11, Palette::Muted, false),
                              pixels),
              0);

    appState.isLocalPair = true;
    const Capture local = paintWindow(1220, 850);
    ASSERT_FALSE(local.pixels.empty());
    EXPECT_EQ(differingPixels(local,
                              labelAlone(1220, 850, localizedText(TextId::FitNote), box, 11,
                                         Palette::Muted, false),
                              pixels),
              0);
    EXPECT_GT(differingPixels(credit, local, pixels), 0);
}

TEST_F(PaintTest, YearsUnderTheViewAreWrittenInPlainDecimal) {
    appState.firstYear = -3000;
    appState.secondYear = 12345;
    const Capture c = paintWindow(1220, 850);
    ASSERT_FALSE(c.pixels.empty());
    const Gdiplus::RectF first(274, 850 - 115, 67, 24);
    const Gdiplus::RectF second(1220 - 83, 850 - 115, 60, 24);
    EXPECT_EQ(differingPixels(c, labelAlone(1220, 850, L"-3000", first, 14, Palette::Ink, true),
                              scaledBox(first)),
              0);
    EXPECT_EQ(differingPixels(c, labelAlone(1220, 850, L"12345", second, 14, Palette::Ink, true),
                              scaledBox(second)),
              0);
}
