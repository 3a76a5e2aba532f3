// Pixel checks of the comparison renderer with synthetic photos: placement of
// both photos about the divider, fitting, pan, chips, year labels and the
// surface state it leaves.
#include "render/comparison.h"

#include "archive/image_data.h"
#include "core/app_state.h"
#include "core/palette.h"

#include <gdiplus.h>
#include <objidl.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t Red = 0xFFFF0000;
constexpr std::uint32_t Blue = 0xFF0000FF;
constexpr std::uint32_t Yellow = 0xFFFFFF00;
constexpr std::uint32_t Green = 0xFF00FF00;
constexpr std::uint32_t Page = 0xFFFFFFFF;

bool pngEncoder(CLSID& clsid) {
    UINT count = 0;
    UINT bytes = 0;
    Gdiplus::GetImageEncodersSize(&count, &bytes);
    std::vector<std::uint8_t> buffer(bytes);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, bytes, codecs);
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(codecs[i].MimeType) == L"image/png") {
            clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

// A PNG of the given size, painted by paint, decoded the way every photo is.
std::shared_ptr<ImageData> makePhoto(int width, int height,
                                     const std::function<void(Gdiplus::Graphics&)>& paint) {
    Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(&bitmap);
        paint(graphics);
    }
    CLSID png{};
    if (!pngEncoder(png)) {
        return nullptr;
    }
    IStream* raw = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &raw))) {
        return nullptr;
    }
    std::unique_ptr<IStream, ComRelease> stream(raw);
    if (bitmap.Save(stream.get(), &png, nullptr) != Gdiplus::Ok) {
        return nullptr;
    }
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    std::vector<std::uint8_t> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
    LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    ULONG read = 0;
    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    bytes.resize(read);
    return decodePhoto(std::move(bytes));
}

std::shared_ptr<ImageData> solidPhoto(int width, int height, std::uint32_t argb) {
    return makePhoto(width, height,
                     [argb](Gdiplus::Graphics& graphics) { graphics.Clear(Gdiplus::Color(argb)); });
}

// An offscreen surface like the window's buffer, pre-filled with a page colour.
struct Surface {
    Gdiplus::Bitmap bitmap;
    Gdiplus::Graphics graphics;
    Surface(int width, int height)
        : bitmap(width, height, PixelFormat32bppPARGB), graphics(&bitmap) {
        graphics.Clear(Gdiplus::Color(Page));
    }
    std::uint32_t at(int x, int y) {
        Gdiplus::Color colour;
        bitmap.GetPixel(x, y, &colour);
        return colour.GetValue();
    }
};

int channelDistance(std::uint32_t a, std::uint32_t b) {
    int worst = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const int d =
            std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
        worst = d > worst ? d : worst;
    }
    return worst;
}

std::string hex(std::uint32_t colour) {
    char text[16] = {};
    std::snprintf(text, sizeof(text), "0x%08X", static_cast<unsigned>(colour));
    return text;
}

::testing::AssertionResult closeTo(std::uint32_t actual, std::uint32_t expected,
                                   int tolerance = 3) {
    if (channelDistance(actual, expected) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << hex(actual) << " is not near " << hex(expected);
}

// Opaque colour of src with alpha a (0..255) composited over an opaque dst.
std::uint32_t over(std::uint32_t src, std::uint32_t dst) {
    const std::uint32_t alpha = src >> 24;
    std::uint32_t result = 0xFF000000;
    for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t s = (src >> shift) & 0xFF;
        const std::uint32_t d = (dst >> shift) & 0xFF;
        result |= ((s * alpha + d * (255 - alpha) + 127) / 255) << shift;
    }
    return result;
}

class RenderTest : public ::testing::Test {
  protected:
    void SetUp() override { freshState(); }
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

TEST_F(RenderTest, PhotosShowOnTheirSidesOfTheDivider) {
    appState.firstImage = solidPhoto(400, 200, Red);
    appState.secondImage = solidPhoto(400, 200, Blue);
    ASSERT_TRUE(appState.firstImage && appState.secondImage);
    appState.dividerPos = 0.25f;
    Surface surface(460, 260);
    drawComparison(surface.graphics, Gdiplus::RectF(30, 30, 400, 200), false);

    EXPECT_TRUE(closeTo(surface.at(60, 150), Red));
    EXPECT_TRUE(closeTo(surface.at(125, 220), Red));
    EXPECT_TRUE(closeTo(surface.at(135, 220), Blue));
    EXPECT_TRUE(closeTo(surface.at(400, 150), Blue));
    // The line sits on the divider, unrounded, two units wide.
    EXPECT_TRUE(closeTo(surface.at(130, 150), DividerColour, 40));
    // Nothing spills outside the rectangle.
    EXPECT_EQ(surface.at(29, 150), Page);
    EXPECT_EQ(surface.at(431, 150), Page);
    EXPECT_EQ(surface.at(200, 29), Page);
    EXPECT_EQ(surface.at(200, 231), Page);
}

TEST_F(RenderTest, DividerAtZeroShowsOnlyTheSecondPhotoAndTheKnobOverhangs) {
    appState.firstImage = solidPhoto(400, 200, Red);
    appState.secondImage = solidPhoto(400, 200, Blue);
    ASSERT_TRUE(appState.firstImage && appState.secondImage);
    appState.dividerPos = 0.0f;
    Surface surface(460, 260);
    drawComparison(surface.graphics, Gdiplus::RectF(30, 30, 400, 200), true);

    for (int x = 40; x < 430; x += 20) {
        EXPECT_TRUE(closeTo(surface.at(x, 200), Blue)) << x;
    }
    // The knob's left half lies outside the view, over the page: it is not
    // clipped.
    EXPECT_TRUE(closeTo(surface.at(30 - 14, 130), Palette::Accent, 6));
    EXPECT_TRUE(closeTo(surface.at(30, 115), Palette::Accent, 6));
    EXPECT_TRUE(closeTo(surface.at(30 - 25, 130), Page));
}

TEST_F(RenderTest, DividerAtOneHidesTheSecondPhotoEverywhere) {
    appState.firstImage = solidPhoto(400, 200, Red);
    appState.secondImage = solidPhoto(400, 200, Blue);
    ASSERT_TRUE(appState.firstImage && appState.secondImage);
    appState.dividerPos = 1.0f;
    Surface surface(460, 260);
    drawComparison(surface.graphics, Gdiplus::RectF(30, 30, 400, 200), false);

    for (int y = 80; y < 230; y += 10) {
        for (int x = 31; x < 428; x += 9) {
            const std::uint32_t pixel = surface.at(x, y);
            ASSERT_TRUE(closeTo(pixel, Red)) << x << "," << y;
        }
    }
}

TEST_F(RenderTest, EachPhotoIsFittedByItsOwnAspectRatio) {
    // A tall photo touches top and bottom, a wide one left and right; the
    // background shows wherever the photo of that side does not reach.
    appState.firstImage = solidPhoto(100, 200, Red);
    appState.secondImage = solidPhoto(400, 100, Blue);
    ASSERT_TRUE(appState.firstImage && appState.secondImage);
    Surface surface(400, 200);
    drawComparison(surface.graphics, Gdiplus::RectF(0, 0, 400, 200), false);

    // Left side: the tall photo spans 150..250 at full height; the second photo
    // is wiped.
    EXPECT_TRUE(closeTo(surface.at(100, 100), ViewBackground));
    EXPECT_TRUE(closeTo(surface.at(175, 100), Red));
    EXPECT_TRUE(closeTo(surface.at(175, 5), Red));
    EXPECT_TRUE(closeTo(surface.at(175, 195), Red));
    EXPECT_TRUE(closeTo(surface.at(145, 100), ViewBackground));
    // Right side: the wide photo spans 50..150 vertically at full width.
    EXPECT_TRUE(closeTo(surface.at(225, 100), Blue));
    EXPECT_TRUE(closeTo(surface.at(390, 100), Blue));
    EXPECT_TRUE(closeTo(surface.at(225, 40), ViewBackground));
    EXPECT_TRUE(closeTo(surface.at(300, 170), ViewBackground));
}

TEST_F(RenderTest, SquarePhotoPannedByHalfTheViewWidth) {
    appState.secondImage = solidPhoto(200, 200, Blue);
    ASSERT_TRUE(appState.secondImage);
    appState.dividerPos = 0.0f;
    Surface surface(400, 200);
    drawComparison(surface.graphics, Gdiplus::RectF(0, 0, 400, 200), false);
    EXPECT_TRUE(closeTo(surface.at(95, 100), ViewBackground));
    EXPECT_TRUE(closeTo(surface.at(105, 100), Blue));
    EXPECT_TRUE(closeTo(surface.at(295, 100), Blue));
    EXPECT_TRUE(closeTo(surface.at(305, 100), ViewBackground));

    appState.panX = 0.5f;
    Surface panned(400, 200);
    drawComparison(panned.graphics, Gdiplus::RectF(0, 0, 400, 200), false);
    EXPECT_TRUE(closeTo(panned.at(250, 150), ViewBackground));
    EXPECT_TRUE(closeTo(panned.at(305, 150), Blue));
    EXPECT_TRUE(closeTo(panned.at(398, 150), Blue));
}

TEST_F(RenderTest, PanAtTheClampPutsThePhotoEdgeOnTheViewEdge) {
    // 10-pixel stripes mark the photo's left and right edges.
    auto striped = makePhoto(400, 200, [](Gdiplus::Graphics& graphics) {
        graphics.Clear(Gdiplus::Color(Green));
        Gdiplus::SolidBrush yellow{Gdiplus::Color(Yellow)};
        graphics.FillRectangle(&yellow, 0, 0, 10, 200);
        graphics.FillRectangle(&yellow, 390, 0, 10, 200);
    });
    ASSERT_TRUE(striped);
    appState.firstImage = striped;
    appState.dividerPos = 1.0f;
    appState.zoom = 2.0f;

    appState.panX = 0.5f;
    Surface left(400, 200);
    drawComparison(left.graphics, Gdiplus::RectF(0, 0, 400, 200), false);
    // Scaled twice, the left stripe covers view columns 0..19.
    EXPECT_TRUE(closeTo(left.at(1, 150), Yellow, 8));
    EXPECT_TRUE(closeTo(left.at(17, 150), Yellow, 8));
    EXPECT_TRUE(closeTo(left.at(23, 150), Green, 8));
    EXPECT_TRUE(closeTo(left.at(398, 150), Green, 8));

    appState.panX = -0.5f;
    Surface right(400, 200);
    drawComparison(right.graphics, Gdiplus::RectF(0, 0, 400, 200), false);
    EXPECT_TRUE(closeTo(right.at(398, 150), Yellow, 8));
    EXPECT_TRUE(closeTo(right.at(382, 150), Yellow, 8));
    EXPECT_TRUE(closeTo(right.at(376, 150), Green, 8));
    EXPECT_TRUE(closeTo(right.at(1, 150), Green, 8));
}

TEST_F(RenderTest, ZoomScalesAboutTheCentre) {
    // 200 x 100 in a 400 x 200 view at zoom 1.5 is 600 x 300, centred: it starts
    // 100 left of the view and every photo pixel is three view pixels wide.
    auto striped = makePhoto(200, 100, [](Gdiplus::Graphics& graphics) {
        graphics.Clear(Gdiplus::Color(Green));
        Gdiplus::SolidBrush yellow{Gdiplus::Color(Yellow)};
        graphics.FillRectangle(&yellow, 60, 0, 10, 100);
    });
    ASSERT_TRUE(striped);
    appState.secondImage = striped;
    appState.dividerPos = 0.0f;
    appState.zoom = 1.5f;
    Surface surface(400, 200);
    drawComparison(surface.graphics, Gdiplus::RectF(0, 0, 400, 200), false);
    // Photo x 60..70 maps to -100 + 3 * (60..70) = 80..110.
    EXPECT_TRUE(closeTo(surface.at(76, 150), Green, 8));
    EXPECT_TRUE(closeTo(surface.at(84, 150), Yellow, 8));
    EXPECT_TRUE(closeTo(surface.at(106, 150), Yellow, 8));
    EXPECT_TRUE(closeTo(surface.at(114, 150), Green, 8));
}

TEST_F(RenderTest, BothPhotosMissingLeavesBackgroundLineKnobAndChips) {
    appState.dividerPos = 0.5f;
    Surface surface(460, 260);
    const Gdiplus::RectF rect(30, 30, 400, 200);
    drawComparison(surface.graphics, rect, true);

    EXPECT_EQ(surface.at(60, 200), ViewBackground);
    EXPECT_EQ(surface.at(400, 200), ViewBackground);
    EXPECT_EQ(surface.at(120, 100), ViewBackground);
    EXPECT_TRUE(closeTo(surface.at(230, 60), DividerColour, 40));
    EXPECT_TRUE(closeTo(surface.at(230, 220), DividerColour, 40));
    // The disc, left of its arrows' layout box.
    EXPECT_TRUE(closeTo(surface.at(230 - 14, 130), Palette::Accent, 6));
    // Chips: translucent dark over the background.
    const std::uint32_t chip = over(ChipColour, ViewBackground);
    EXPECT_TRUE(closeTo(surface.at(30 + 16, 30 + 16), chip));
    EXPECT_TRUE(closeTo(surface.at(30 + 88, 30 + 16), chip));
    EXPECT_TRUE(closeTo(surface.at(30 + 400 - 88, 30 + 16), chip));
    EXPECT_TRUE(closeTo(surface.at(30 + 400 - 16, 30 + 16), chip));
    EXPECT_EQ(surface.at(30 + 12, 30 + 16), ViewBackground);
}

namespace {
// Near-white pixels of a year chip: the ink of its label.
int labelInk(Surface& surface, int left, int top) {
    int count = 0;
    for (int y = top; y < top + 34; ++y) {
        for (int x = left; x < left + 76; ++x) {
            const std::uint32_t p = surface.at(x, y);
            if (((p >> 16) & 0xFF) > 200 && ((p >> 8) & 0xFF) > 200 && (p & 0xFF) > 200) {
                ++count;
            }
        }
    }
    return count;
}
} // namespace

TEST_F(RenderTest, ChipsCarryTheYearsOverThePhotosAndNegativeYearsGetAMinus) {
    appState.firstImage = solidPhoto(400, 200, Red);
    appState.secondImage = solidPhoto(400, 200, Blue);
    ASSERT_TRUE(appState.firstImage && appState.secondImage);
    appState.firstYear = 1984;
    appState.secondYear = 1984;
    Surface positive(400, 200);
    drawComparison(positive.graphics, Gdiplus::RectF(0, 0, 400, 200), false);

    EXPECT_TRUE(closeTo(positive.at(15, 15), over(ChipColour, Red)));
    EXPECT_TRUE(closeTo(positive.at(398 - 90 + 3, 15), over(ChipColour, Blue)));
    const int leftInk = labelInk(positive, 14, 14);
    const int rightInk = labelInk(positive, 310, 14);
    EXPECT_GT(leftInk, 40);
    // Same year, same ink, whichever photo lies beneath.
    EXPECT_NEAR(leftInk, rightInk, leftInk / 10);

    appState.firstYear = -1984;
    Surface negative(400, 200);
    drawComparison(negative.graphics, Gdiplus::RectF(0, 0, 400, 200), false);
    EXPECT_GT(labelInk(negative, 14, 14), leftInk);
    EXPECT_NEAR(labelInk(negative, 310, 14), rightInk, 2);
}

TEST_F(RenderTest, ClipAndInterpolationAreRestored) {
    appState.firstImage = solidPhoto(40, 20, Red);
    ASSERT_TRUE(appState.firstImage);
    Surface surface(460, 260);
    surface.graphics.SetClip(Gdiplus::RectF(0, 0, 440, 250), Gdiplus::CombineModeReplace);
    surface.graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    drawComparison(surface.graphics, Gdiplus::RectF(30, 30, 400, 200), true);

    EXPECT_EQ(surface.graphics.GetInterpolationMode(), Gdiplus::InterpolationModeNearestNeighbor);
    Gdiplus::RectF clip;
    surface.graphics.GetClipBounds(&clip);
    EXPECT_FLOAT_EQ(clip.X, 0.0f);
    EXPECT_FLOAT_EQ(clip.Y, 0.0f);
    EXPECT_FLOAT_EQ(clip.Width, 440.0f);
    EXPECT_FLOAT_EQ(clip.Height, 250.0f);
    // The caller's clip still holds after the call: outside it nothing was drawn.
    EXPECT_EQ(surface.at(445, 150), Page);
}

TEST_F(RenderTest, FittedPhotoIsNotKeptAndAnEmptyPointerDrawsNothing) {
    auto photo = solidPhoto(40, 20, Red);
    ASSERT_TRUE(photo);
    Surface surface(100, 50);
    drawPhotoFitted(surface.graphics, photo, Gdiplus::RectF(0, 0, 100, 50));
    EXPECT_EQ(photo.use_count(), 1);
    EXPECT_TRUE(closeTo(surface.at(50, 25), Red));
    drawPhotoFitted(surface.graphics, nullptr, Gdiplus::RectF(0, 0, 100, 50));
    EXPECT_TRUE(closeTo(surface.at(50, 25), Red));
}

TEST_F(RenderTest, LabelStaysOnOneLineInsideItsBox) {
    Surface surface(300, 80);
    drawLabel(surface.graphics, L"Wide words that never fit in this narrow box at all",
              Gdiplus::RectF(10, 10, 120, 60), 18, 0xFF000000, false);
    int firstLine = 0;
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < 300; ++x) {
            if (surface.at(x, y) != Page) {
                // Inside the box, and only on its first line.
                ASSERT_GE(x, 10);
                ASSERT_LT(x, 130);
                ASSERT_LT(y, 10 + 30) << "a second line was drawn";
                ++firstLine;
            }
        }
    }
    EXPECT_GT(firstLine, 100);
}

TEST_F(RenderTest, LabelTooWideForItsBoxEndsInAnEllipsis) {
    Surface surface(300, 60);
    drawLabel(surface.graphics, std::wstring(20, L'H'), Gdiplus::RectF(10, 10, 120, 40), 18,
              0xFF000000, true);
    auto ink = [&surface](int x, int y) { return ((surface.at(x, y) >> 8) & 0xFF) < 0x80; };
    int top = 60;
    int bottom = 0;
    int right = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 300; ++x) {
            if (ink(x, y)) {
                top = y < top ? y : top;
                bottom = y > bottom ? y : bottom;
                right = x > right ? x : right;
            }
        }
    }
    ASSERT_GT(right, 60);
    ASSERT_LT(right, 130);
    // The letters reach from cap height to the baseline; the last marks drawn are dots that
    // sit on the baseline only, where a cut letter would still stand at full height.
    const int lowerThird = top + (bottom - top) * 2 / 3;
    int dots = 0;
    for (int x = right - 3; x <= right; ++x) {
        for (int y = top; y <= bottom; ++y) {
            if (ink(x, y)) {
                EXPECT_GT(y, lowerThird) << x << "," << y;
                ++dots;
            }
        }
    }
    EXPECT_GT(dots, 0);
}
