// Years, zoom percentage and source line of the main window painting.
#include "render/paint_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>

TEST(PaintTextYear, PlainDecimalWithMinusAndNoGrouping) {
    EXPECT_EQ(yearText(2018), L"2018");
    EXPECT_EQ(yearText(0), L"0");
    EXPECT_EQ(yearText(-44), L"-44");
    EXPECT_EQ(yearText(123456), L"123456");
    EXPECT_EQ(yearText(INT_MIN), L"-2147483648");
}

TEST(PaintTextZoom, PercentTruncatedInSinglePrecision) {
    EXPECT_EQ(zoomText(L"Zoom", 1.0f), L"Zoom 100%");
    EXPECT_EQ(zoomText(L"Zoom", 2.5f), L"Zoom 250%");
    EXPECT_EQ(zoomText(L"Zoom", 8.0f), L"Zoom 800%");
    // Three wheel steps in: 1.2^3 in float, which must not round up to 173.
    EXPECT_EQ(zoomText(L"Zoom", 1.2f * 1.2f * 1.2f), L"Zoom 172%");
    EXPECT_EQ(zoomText(L"Zoom", 1.728f), L"Zoom 172%");
    // Just below a whole percentage truncates down.
    EXPECT_EQ(zoomText(L"Zoom", 1.0999999f), L"Zoom 109%");
    // Truncation, never rounding, also just under 1.
    EXPECT_EQ(zoomText(L"Zoom", 0.99999994f), L"Zoom 99%");
}

TEST(PaintTextZoom, LabelIsTakenAsGiven) {
    EXPECT_EQ(zoomText(L"Vergrößerung", 1.5f), L"Vergrößerung 150%");
    EXPECT_EQ(zoomText(L"", 1.0f), L" 100%");
}

TEST(PaintTextZoom, ValuesOutsideTheViewRangeStayDefined) {
    // Truncation goes toward zero on both sides.
    EXPECT_EQ(zoomText(L"Zoom", std::numeric_limits<float>::quiet_NaN()), L"Zoom 0%");
    EXPECT_EQ(zoomText(L"Zoom", std::numeric_limits<float>::infinity()), L"Zoom 0%");
    EXPECT_EQ(zoomText(L"Zoom", -0.015f), L"Zoom -1%");
}

TEST(PaintTextSource, CreditForArchivePairsFitNoteForLocalOnes) {
    EXPECT_EQ(sourceLineText(false, L"Passend eingepasst"),
              L"NASA EARTH OBSERVATORY  /  MODIS + LANDSAT");
    EXPECT_EQ(sourceLineText(true, L"Passend eingepasst"), L"Passend eingepasst");
}
