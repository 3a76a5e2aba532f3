// The main window's layout table, the unit-to-pixel rounding and the start-up rules for the
// per-user folder and the font height.
#include "app/control_ids.h"
#include "app/layout.h"
#include "app/startup.h"
#include "core/app_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

UnitRect rectOf(const std::array<UnitRect, LayoutRowCount>& rects, int id) {
    auto found =
        std::find_if(rects.begin(), rects.end(), [id](const UnitRect& r) { return r.id == id; });
    EXPECT_NE(found, rects.end()) << "no layout row for id " << id;
    return found == rects.end() ? UnitRect{} : *found;
}

} // namespace

TEST(LayoutScaled, RoundsHalvesAwayFromZero) {
    EXPECT_EQ(scaledBy(195.0f, 1.5f), 293); // 292.5
    EXPECT_EQ(scaledBy(239.0f, 1.5f), 359); // 358.5
    EXPECT_EQ(scaledBy(283.0f, 1.5f), 425); // 424.5
    EXPECT_EQ(scaledBy(13.0f, 1.25f), 16);  // 16.25
    EXPECT_EQ(scaledBy(1.0f, 2.5f), 3);     // 2.5
    EXPECT_EQ(scaledBy(-1.0f, 2.5f), -3);   // -2.5, away from zero
    EXPECT_EQ(scaledBy(1220.0f, 1.5f), 1830);
    EXPECT_EQ(scaledBy(850.0f, 1.5f), 1275);
    EXPECT_EQ(scaledBy(0.0f, 1.75f), 0);
}

TEST(LayoutScaled, FollowsTheStateScale) {
    const float saved = appState.uiScale;
    appState.uiScale = 1.5f;
    EXPECT_EQ(scaled(1050.0f), 1575);
    EXPECT_EQ(scaled(750.0f), 1125);
    EXPECT_EQ(scaled(ClockStripHeight), 63);
    appState.uiScale = 1.0f;
    EXPECT_EQ(scaled(1050.0f), 1050);
    appState.uiScale = saved;
}

TEST(LayoutTable, HasEveryControlOnceInTableOrder) {
    const int expected[] = {200,
                            201,
                            202,
                            IDC_LOCAL_PHOTOS,
                            IDC_SAVED_PAIRS,
                            IDC_FIRST_YEAR,
                            IDC_SECOND_YEAR,
                            IDC_LOAD_YEARS,
                            IDC_FETCH,
                            IDC_HELP,
                            IDC_HIDE_TO_TRAY,
                            IDC_COMPARISON,
                            IDC_SAVE_PAIR,
                            IDC_EXPORT_PNG,
                            IDC_SWAP,
                            IDC_FIT,
                            IDC_OPEN_FOLDER};
    ASSERT_EQ(std::size(expected), LayoutRowCount);
    std::set<int> seen;
    for (std::size_t i = 0; i < LayoutRowCount; ++i) {
        EXPECT_EQ(MainLayout[i].id, expected[i]) << "row " << i;
        seen.insert(MainLayout[i].id);
    }
    EXPECT_EQ(seen.size(), LayoutRowCount);
}

TEST(LayoutTable, PlaceButtonsAtScaleOneAndAHalf) {
    // 1800 x 1275 pixels at 1.5 is W = 1200, H = 850.
    const auto rects = layoutFor(1800, 1275, 1.5f);
    const int expectedY[] = {293, 359, 425};
    for (int i = 0; i < 3; ++i) {
        const UnitRect place = rectOf(rects, IDC_PLACE_FIRST + i);
        EXPECT_EQ(scaledBy(place.x, 1.5f), 30);
        EXPECT_EQ(scaledBy(place.y, 1.5f), expectedY[i]);
        EXPECT_EQ(scaledBy(place.width, 1.5f), 309);
        EXPECT_EQ(scaledBy(place.height, 1.5f), 54);
    }
}

TEST(LayoutTable, EdgesFollowTheClientSize) {
    // W = 1200, H = 850 units.
    const auto rects = layoutFor(1800, 1275, 1.5f);
    const UnitRect help = rectOf(rects, IDC_HELP);
    EXPECT_FLOAT_EQ(help.x, 1004.0f);
    EXPECT_FLOAT_EQ(help.y, 28.0f);
    const UnitRect hide = rectOf(rects, IDC_HIDE_TO_TRAY);
    EXPECT_FLOAT_EQ(hide.x, 1085.0f);
    const UnitRect slider = rectOf(rects, IDC_COMPARISON);
    EXPECT_FLOAT_EQ(slider.x, 338.0f);
    EXPECT_FLOAT_EQ(slider.y, 731.0f);
    EXPECT_FLOAT_EQ(slider.width, 768.0f);
    EXPECT_FLOAT_EQ(slider.height, 32.0f);
    const UnitRect fit = rectOf(rects, IDC_FIT);
    EXPECT_FLOAT_EQ(fit.x, 1076.0f);
    EXPECT_FLOAT_EQ(fit.y, 770.0f);
    const UnitRect save = rectOf(rects, IDC_SAVE_PAIR);
    EXPECT_FLOAT_EQ(save.x, 274.0f);
    EXPECT_FLOAT_EQ(save.y, 770.0f);
    EXPECT_FLOAT_EQ(save.width, 135.0f);
    const UnitRect folder = rectOf(rects, IDC_OPEN_FOLDER);
    EXPECT_FLOAT_EQ(folder.y, 768.0f);
    EXPECT_FLOAT_EQ(folder.height, 28.0f);
    // Fixed rows do not move with the size.
    const auto small = layoutFor(1050, 750, 1.0f);
    const UnitRect firstYear = rectOf(small, IDC_FIRST_YEAR);
    EXPECT_FLOAT_EQ(firstYear.x, 274.0f);
    EXPECT_FLOAT_EQ(firstYear.y, 140.0f);
    EXPECT_FLOAT_EQ(firstYear.height, 200.0f);
    EXPECT_FLOAT_EQ(rectOf(small, IDC_FETCH).x, 662.0f);
    EXPECT_FLOAT_EQ(rectOf(small, IDC_COMPARISON).width, 618.0f);
    EXPECT_FLOAT_EQ(rectOf(small, IDC_FIT).x, 926.0f);
}

TEST(LayoutTable, BottomControlsStayBelowTheViewAtTheSmallestClient) {
    // The view ends at H - 163; slider, bottom buttons and folder button lie below it, and
    // the right column does not run into the left one even at the minimum window size.
    for (float scale : {1.0f, 1.25f, 1.5f, 2.0f}) {
        const auto width = scaledBy(1000.0f, scale);
        const auto height = scaledBy(700.0f, scale);
        const auto rects = layoutFor(width, height, scale);
        const float viewBottom = 192.0f + (700.0f - 355.0f);
        EXPECT_GE(rectOf(rects, IDC_COMPARISON).y, viewBottom);
        EXPECT_GE(rectOf(rects, IDC_SAVE_PAIR).y, viewBottom);
        EXPECT_GT(rectOf(rects, IDC_FIT).x,
                  rectOf(rects, IDC_SWAP).x + rectOf(rects, IDC_SWAP).width);
        EXPECT_GT(rectOf(rects, IDC_COMPARISON).width, 0.0f);
    }
}

TEST(StartupRules, AppDataDirJoin) {
    EXPECT_EQ(appDataDirFor(L"C:\\Users\\ann\\AppData\\Local"),
              L"C:\\Users\\ann\\AppData\\Local\\Driftpane");
    EXPECT_EQ(appDataDirFor(L"C:\\Local\\"), L"C:\\Local\\Driftpane");
    EXPECT_EQ(appDataDirFor(L"C:/Local/"), L"C:/Local/Driftpane");
    EXPECT_EQ(appDataDirFor(L""), L"");
}

TEST(StartupRules, FontHeightIsNegativeRoundedPixels) {
    EXPECT_EQ(uiFontHeight(1.0f), -13);
    EXPECT_EQ(uiFontHeight(1.25f), -16); // 16.25
    EXPECT_EQ(uiFontHeight(1.5f), -20);  // 19.5 rounds away from zero
    EXPECT_EQ(uiFontHeight(2.0f), -26);
}
