// Pixel checks of the comparison renderer with synthetic photos: both photos about the
// divider, fitting, zoom and pan, chips and year labels, and the surface state it leaves.
#include "render/comparison.h"

#include "core/palette.h"
#include "tests/win/test_support.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

constexpr std::uint32_t Red = 0xFFFF0000;
constexpr std::uint32_t Blue = 0xFF0000FF;
constexpr std::uint32_t Yellow = 0xFFFFFF00;
constexpr std::uint32_t Green = 0xFF00FF00;
constexpr std::uint32_t Page = 0xFFFFFFFF;
const Gdiplus::RectF Inset(30, 30, 400, 200);

// drawComparison onto a page-coloured surface like the window's buffer.
Pixels render(int width, int height, const Gdiplus::RectF& rect, bool showKnob) {
    Gdiplus::Bitmap bitmap(width, height, PixelFormat32bppPARGB);
    {
        Gdiplus::Graphics graphics(&bitmap);
        graphics.Clear(Gdiplus::Color(Page));
        drawComparison(graphics, rect, showKnob);
    }
    return bitmapPixels(bitmap);
}

Pixels renderView() {
    return render(400, 200, Gdiplus::RectF(0, 0, 400, 200), false);
}

// Opaque colour of the translucent src over the opaque dst.
std::uint32_t over(std::uint32_t src, std::uint32_t dst) {
    return blend(dst, src, static_cast<float>(src >> 24) / 255.0f);
}

// Green with 10-pixel yellow stripes starting at the given columns.
std::shared_ptr<ImageData> stripedPhoto(int width, int height, std::vector<int> stripes) {
    return makePhoto(width, height, [&](Gdiplus::Graphics& graphics) {
        graphics.Clear(Gdiplus::Color(Green));
        Gdiplus::SolidBrush yellow{Gdiplus::Color(Yellow)};
        for (int left : stripes) {
            graphics.FillRectangle(&yellow, left, 0, 10, height);
        }
    });
}

// Near-white pixels of a year chip: the ink of its label.
int labelInk(const Pixels& pixels, int left, int top) {
    return countPixels(pixels, {left, top, left + 76, top + 34}, [](std::uint32_t p, int, int) {
        return channelOf(p, 16) > 200 && channelOf(p, 8) > 200 && channelOf(p, 0) > 200;
    });
}

bool redAndBlue() {
    appState.firstImage = solidPhoto(400, 200, Red);
    appState.secondImage = solidPhoto(400, 200, Blue);
    return appState.firstImage && appState.secondImage;
}

using RenderTest = FreshAppStateTest;

} // namespace

TEST_F(RenderTest, PhotosShowOnTheirSidesOfTheDivider) {
    ASSERT_TRUE(redAndBlue());
    appState.dividerPos = 0.25f;
    // The line sits on the divider at 130, unrounded; nothing spills outside the rectangle.
    expectPixels(render(460, 260, Inset, false),
                 {Probe{60, 150, Red}, Probe{125, 220, Red}, Probe{135, 220, Blue},
                  Probe{400, 150, Blue}, Probe{130, 150, DividerColour, 40},
                  Probe{29, 150, Page, 0}, Probe{431, 150, Page, 0}, Probe{200, 29, Page, 0},
                  Probe{200, 231, Page, 0}});
}

TEST_F(RenderTest, DividerAtZeroOrOneShowsOnlyOnePhotoAndTheKnobOverhangs) {
    ASSERT_TRUE(redAndBlue());
    for (const auto& [position, colour] : {std::pair{0.0f, Blue}, std::pair{1.0f, Red}}) {
        appState.dividerPos = position;
        const Pixels pixels = render(460, 260, Inset, false);
        EXPECT_EQ(countPixels(pixels, {34, 80, 428, 230},
                              [shown = colour](std::uint32_t p, int x, int y) {
                                  return x % 3 == 1 && y % 10 == 0 && !closeTo(p, shown);
                              }),
                  0)
            << "divider " << position;
    }
    // At 0 the knob's left half lies over the page, unclipped.
    appState.dividerPos = 0.0f;
    expectPixels(render(460, 260, Inset, true),
                 {Probe{16, 130, Palette::Accent, 6}, Probe{30, 115, Palette::Accent, 6},
                  Probe{5, 130, Page}});
}

TEST_F(RenderTest, EachPhotoIsFittedByItsOwnAspectRatio) {
    // The tall photo spans x 150..250 at full height, the wide one y 50..150 at full width;
    // the background shows wherever the photo of that side does not reach.
    appState.firstImage = solidPhoto(100, 200, Red);
    appState.secondImage = solidPhoto(400, 100, Blue);
    ASSERT_TRUE(appState.firstImage && appState.secondImage);
    expectPixels(renderView(),
                 {Probe{145, 100, ViewBackground}, Probe{175, 100, Red}, Probe{175, 5, Red},
                  Probe{175, 195, Red}, Probe{225, 100, Blue}, Probe{390, 100, Blue},
                  Probe{225, 40, ViewBackground}, Probe{300, 170, ViewBackground}});
}

TEST_F(RenderTest, ZoomAndPanMoveThePhotoButTheClampKeepsItsEdgeOnTheViewEdge) {
    const auto expectView = [](const char* name, std::shared_ptr<ImageData> photo, float zoom,
                               float panX, const std::vector<Probe>& probes, float panY = 0.0f) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(photo);
        appState.firstImage = photo;
        appState.dividerPos = 1.0f;
        appState.zoom = zoom;
        appState.panX = panX;
        appState.panY = panY;
        expectPixels(renderView(), probes);
    };
    const auto square = solidPhoto(200, 200, Blue);
    expectView("square, centred", square, 1.0f, 0.0f,
               {Probe{95, 100, ViewBackground}, Probe{105, 100, Blue}, Probe{295, 100, Blue},
                Probe{305, 100, ViewBackground}});
    expectView("square, panned by half the view", square, 1.0f, 0.5f,
               {Probe{250, 150, ViewBackground}, Probe{305, 150, Blue}, Probe{398, 150, Blue}});
    // Scaled twice, each edge stripe covers 20 view columns at the clamp.
    const auto edges = stripedPhoto(400, 200, {0, 390});
    expectView("pan clamped right", edges, 2.0f, 0.5f,
               {Probe{1, 150, Yellow, 8}, Probe{17, 150, Yellow, 8}, Probe{23, 150, Green, 8},
                Probe{398, 150, Green, 8}});
    expectView("pan clamped left", edges, 2.0f, -0.5f,
               {Probe{398, 150, Yellow, 8}, Probe{382, 150, Yellow, 8}, Probe{376, 150, Green, 8},
                Probe{1, 150, Green, 8}});
    // Both axes clamped at zoom 2: the vertical pan counts in view heights, so the top (or
    // bottom) band lands on the view's edge as the right band does on the right edge.
    const auto framed = makePhoto(400, 200, [](Gdiplus::Graphics& graphics) {
        graphics.Clear(Gdiplus::Color(Green));
        Gdiplus::SolidBrush yellow{Gdiplus::Color(Yellow)};
        graphics.FillRectangle(&yellow, 0, 0, 400, 10);
        graphics.FillRectangle(&yellow, 0, 190, 400, 10);
        graphics.FillRectangle(&yellow, 390, 0, 10, 200);
    });
    expectView("pan clamped left and down", framed, 2.0f, -0.5f,
               {Probe{200, 2, Yellow, 8}, Probe{200, 17, Yellow, 8}, Probe{200, 24, Green, 8},
                Probe{200, 197, Green, 8}, Probe{398, 100, Yellow, 8}, Probe{383, 100, Yellow, 8},
                Probe{376, 100, Green, 8}},
               0.5f);
    expectView("pan clamped left and up", framed, 2.0f, -0.5f,
               {Probe{200, 197, Yellow, 8}, Probe{200, 183, Yellow, 8}, Probe{200, 176, Green, 8},
                Probe{200, 2, Green, 8}, Probe{398, 100, Yellow, 8}},
               -0.5f);
    // 600 x 300 about the centre: photo columns 60..70 land on -100 + 3 * (60..70).
    expectView("zoom 1.5 about the centre", stripedPhoto(200, 100, {60}), 1.5f, 0.0f,
               {Probe{76, 150, Green, 8}, Probe{84, 150, Yellow, 8}, Probe{106, 150, Yellow, 8},
                Probe{114, 150, Green, 8}});
}

TEST_F(RenderTest, BothPhotosMissingLeavesBackgroundLineKnobAndChips) {
    appState.dividerPos = 0.5f;
    // Chips are translucent dark over the background, 12 units in from the corners.
    const std::uint32_t chip = over(ChipColour, ViewBackground);
    expectPixels(render(460, 260, Inset, true),
                 {Probe{60, 200, ViewBackground, 0}, Probe{400, 200, ViewBackground, 0},
                  Probe{120, 100, ViewBackground, 0}, Probe{230, 60, DividerColour, 40},
                  Probe{230, 220, DividerColour, 40}, Probe{216, 130, Palette::Accent, 6},
                  Probe{46, 46, chip}, Probe{118, 46, chip}, Probe{342, 46, chip},
                  Probe{414, 46, chip}, Probe{42, 46, ViewBackground, 0}});
}

TEST_F(RenderTest, ChipsCarryTheYearsOverThePhotosAndNegativeYearsGetAMinus) {
    ASSERT_TRUE(redAndBlue());
    appState.firstYear = 1984;
    appState.secondYear = 1984;
    const Pixels positive = renderView();
    expectPixels(positive,
                 {Probe{15, 15, over(ChipColour, Red)}, Probe{311, 15, over(ChipColour, Blue)}});
    const int leftInk = labelInk(positive, 14, 14);
    const int rightInk = labelInk(positive, 310, 14);
    EXPECT_GT(leftInk, 40);
    EXPECT_NEAR(leftInk, rightInk, leftInk / 10) << "same year, same ink on either photo";

    appState.firstYear = -1984;
    const Pixels negative = renderView();
    EXPECT_GT(labelInk(negative, 14, 14), leftInk);
    EXPECT_NEAR(labelInk(negative, 310, 14), rightInk, 2);
}

TEST_F(RenderTest, ClipAndInterpolationAreRestored) {
    appState.firstImage = solidPhoto(40, 20, Red);
    ASSERT_TRUE(appState.firstImage);
    Gdiplus::Bitmap bitmap(460, 260, PixelFormat32bppPARGB);
    Gdiplus::Graphics graphics(&bitmap);
    graphics.Clear(Gdiplus::Color(Page));
    graphics.SetClip(Gdiplus::RectF(0, 0, 440, 250), Gdiplus::CombineModeReplace);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    drawComparison(graphics, Inset, true);

    EXPECT_EQ(graphics.GetInterpolationMode(), Gdiplus::InterpolationModeNearestNeighbor);
    Gdiplus::RectF clip;
    graphics.GetClipBounds(&clip);
    EXPECT_TRUE(clip.Equals(Gdiplus::RectF(0, 0, 440, 250)))
        << clip.X << "," << clip.Y << " " << clip.Width << "x" << clip.Height;
    graphics.Flush(Gdiplus::FlushIntentionSync);
    EXPECT_EQ(bitmapPixels(bitmap).at(445, 150), Page) << "drawn outside the caller's clip";
}

TEST_F(RenderTest, FittedPhotoIsNotKeptAndAnEmptyPointerDrawsNothing) {
    auto photo = solidPhoto(40, 20, Red);
    ASSERT_TRUE(photo);
    Gdiplus::Bitmap bitmap(100, 50, PixelFormat32bppPARGB);
    Gdiplus::Graphics graphics(&bitmap);
    drawPhotoFitted(graphics, photo, Gdiplus::RectF(0, 0, 100, 50));
    EXPECT_EQ(photo.use_count(), 1);
    drawPhotoFitted(graphics, nullptr, Gdiplus::RectF(0, 0, 100, 50));
    EXPECT_TRUE(closeTo(bitmapPixels(bitmap).at(50, 25), Red));
}
