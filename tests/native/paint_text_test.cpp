// Years, zoom percentage and source line of the main window painting.
#include "render/paint_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <utility>

TEST(PaintText, YearsArePlainDecimalWithMinusAndNoGrouping) {
    EXPECT_EQ(yearText(0), L"0");
    EXPECT_EQ(yearText(-44), L"-44");
    EXPECT_EQ(yearText(123456), L"123456");
    EXPECT_EQ(yearText(INT_MIN), L"-2147483648");
}

TEST(PaintText, ZoomPercentIsTruncatedTowardZeroInSinglePrecision) {
    const std::pair<float, const wchar_t*> cases[] = {
        {1.0f, L"Zoom 100%"},
        {8.0f, L"Zoom 800%"},
        // Three wheel steps in: 1.2^3 in float must not round up to 173.
        {1.2f * 1.2f * 1.2f, L"Zoom 172%"},
        {1.728f, L"Zoom 172%"},
        {1.0999999f, L"Zoom 109%"},
        {0.99999994f, L"Zoom 99%"},
        {-0.015f, L"Zoom -1%"},
        {std::numeric_limits<float>::quiet_NaN(), L"Zoom 0%"},
        {std::numeric_limits<float>::infinity(), L"Zoom 0%"},
    };
    for (const auto& [zoom, expected] : cases) {
        EXPECT_EQ(zoomText(L"Zoom", zoom), expected) << zoom;
    }
    EXPECT_EQ(zoomText(L"Vergrößerung", 1.5f), L"Vergrößerung 150%");
    EXPECT_EQ(zoomText(L"", 1.0f), L" 100%");
}

TEST(PaintText, SourceLineIsTheCreditForArchivePairsAndTheFitNoteForLocalOnes) {
    EXPECT_EQ(sourceLineText(false, L"Passend eingepasst"),
              L"NASA EARTH OBSERVATORY  /  MODIS + LANDSAT");
    EXPECT_EQ(sourceLineText(true, L"Passend eingepasst"), L"Passend eingepasst");
}
