// Unit-to-pixel rounding, the layout table at 1.5 and at the smallest client, and the start-up
// rules for the per-user folder and the font height.
#include "app/control_ids.h"
#include "app/layout.h"
#include "app/startup.h"
#include "core/app_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace {

UnitRect rectOf(const std::array<UnitRect, LayoutRowCount>& rects, int id) {
    auto found =
        std::find_if(rects.begin(), rects.end(), [id](const UnitRect& r) { return r.id == id; });
    EXPECT_NE(found, rects.end()) << "no layout row for id " << id;
    return found == rects.end() ? UnitRect{} : *found;
}

} // namespace

TEST(Layout, ScaledRoundsHalvesAwayFromZero) {
    const struct {
        float value, scale;
        int expected;
    } cases[] = {{195, 1.5f, 293}, {239, 1.5f, 359}, {283, 1.5f, 425},  {13, 1.25f, 16},
                 {1, 2.5f, 3},     {-1, 2.5f, -3},   {850, 1.5f, 1275}, {0, 1.75f, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(scaledBy(c.value, c.scale), c.expected) << c.value << " x " << c.scale;
    }
    const float saved = appState.uiScale;
    appState.uiScale = 1.5f;
    EXPECT_EQ(scaled(ClockStripHeight), 63);
    appState.uiScale = saved;
    EXPECT_EQ(uiFontHeight(1.5f), -20); // 19.5
    EXPECT_EQ(uiFontHeight(1.25f), -16);
}

TEST(Layout, PlaceButtonsAtOneAndAHalfAndBottomRowBelowTheView) {
    const auto rects = layoutFor(1800, 1275, 1.5f);
    const int expectedY[] = {293, 359, 425};
    for (int i = 0; i < 3; ++i) {
        const UnitRect place = rectOf(rects, IDC_PLACE_FIRST + i);
        EXPECT_EQ(scaledBy(place.x, 1.5f), 30);
        EXPECT_EQ(scaledBy(place.y, 1.5f), expectedY[i]);
        EXPECT_EQ(scaledBy(place.width, 1.5f), 309);
        EXPECT_EQ(scaledBy(place.height, 1.5f), 54);
    }
    // At the smallest client (1000 x 700 units) the view ends at H - 163; the bottom rows lie
    // below it and the right column stays clear of the left one.
    for (float scale : {1.0f, 1.25f, 1.5f, 2.0f}) {
        SCOPED_TRACE(scale);
        const auto small = layoutFor(scaledBy(1000, scale), scaledBy(700, scale), scale);
        EXPECT_GE(rectOf(small, IDC_COMPARISON).y, 537.0f);
        EXPECT_GE(rectOf(small, IDC_SAVE_PAIR).y, 537.0f);
        EXPECT_GT(rectOf(small, IDC_FIT).x,
                  rectOf(small, IDC_SWAP).x + rectOf(small, IDC_SWAP).width);
        EXPECT_GT(rectOf(small, IDC_COMPARISON).width, 0.0f);
    }
}

TEST(Layout, AppDataDirJoinsWithOneSeparator) {
    EXPECT_EQ(appDataDirFor(L"C:\\Users\\ann\\AppData\\Local"),
              L"C:\\Users\\ann\\AppData\\Local\\Driftpane");
    EXPECT_EQ(appDataDirFor(L"C:\\Local\\"), L"C:\\Local\\Driftpane");
    EXPECT_EQ(appDataDirFor(L"C:/Local/"), L"C:/Local/Driftpane");
    EXPECT_EQ(appDataDirFor(L""), L"");
}

TEST(Layout, WindowRectangleFitsIntoTheWorkArea) {
    const struct {
        PixelRect wanted, work, expected;
    } cases[] = {
        // Fits: stays where it is.
        {{100, 50, 1320, 900}, {0, 0, 1920, 1080}, {100, 50, 1320, 900}},
        // 1830 x 1275 at 150 % on a full HD laptop: as high as the work area, moved up.
        {{100, 100, 1930, 1375}, {0, 0, 1920, 1040}, {90, 0, 1920, 1040}},
        // Larger both ways: the whole work area.
        {{-50, -50, 3000, 2000}, {0, 0, 1366, 728}, {0, 0, 1366, 728}},
        // A second monitor right of the first, its taskbar at the top.
        {{0, 0, 1220, 850}, {1920, 40, 3840, 1080}, {1920, 40, 3140, 890}},
        // Sticking out past the far edges only: pulled back in, size kept.
        {{1000, 600, 2220, 1450}, {0, 0, 2560, 1400}, {1000, 550, 2220, 1400}},
    };
    for (const auto& c : cases) {
        const PixelRect r = fitIntoWorkArea(c.wanted, c.work);
        EXPECT_EQ(std::tuple(r.left, r.top, r.right, r.bottom),
                  std::tuple(c.expected.left, c.expected.top, c.expected.right, c.expected.bottom))
            << c.wanted.left << "," << c.wanted.top << " in " << c.work.right << "x"
            << c.work.bottom;
    }
}
