// Rules of the archive selection: rows of a place, acceptance of two list selections and the
// item that shows a year, on a small catalog and on the built-in one.
#include "archive/catalog.h"
#include "archive/year_selection.h"

#include <gtest/gtest.h>

#include <span>

namespace {

using Rows = std::vector<std::int32_t>;
const wchar_t LakeCopy[] = L"Lake"; // another pointer to the same characters
const CatalogEntry Small[] = {
    {1000, L"Lake", 1999, L"", ""}, {1001, L"Glacier", 1986, L"", ""},
    {1002, L"Lake", 2004, L"", ""}, {1003, L"Lake ", 2005, L"", ""},
    {1004, L"lake", 2006, L"", ""}, {1005, L"Lake", 2021, L"", ""},
    {1006, L"Lake", 2021, L"", ""},
};

} // namespace

TEST(YearSelection, RowsOfAPlaceByExactCharacters) {
    EXPECT_EQ(rowsOfPlace(std::span(Small), LakeCopy), (Rows{0, 2, 5, 6}));
    EXPECT_EQ(rowsOfPlace(std::span(Small), L"Glacier"), (Rows{1}));
    EXPECT_TRUE(rowsOfPlace(std::span(Small), L"Lak").empty());
    EXPECT_TRUE(rowsOfPlace(std::span(Small), nullptr).empty());

    const auto columbia = rowsOfPlace(std::span(ArchiveCatalog), placeNames[1]);
    ASSERT_EQ(columbia.size(), 29u);
    EXPECT_EQ(std::pair(columbia.front(), columbia.back()), std::pair(19, 47)); // 1986, 2024
}

TEST(YearSelection, AcceptsTwoDifferentExistingItemsOnly) {
    const Rows rows{19, 20, 47};
    const struct {
        int first, second;
        bool accepted;
        std::int32_t firstRow, secondRow;
    } cases[] = {{0, 2, true, 19, 47},  {2, 1, true, 47, 20}, // a later first year is fine
                 {1, 1, false, -7, -7}, {-1, 2, false, -7, -7}, {0, -1, false, -7, -7},
                 {0, 3, false, -7, -7}, {3, 0, false, -7, -7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.first << " / " << c.second);
        std::int32_t first = -7, second = -7;
        EXPECT_EQ(acceptYearSelection(c.first, c.second, rows, first, second), c.accepted);
        EXPECT_EQ(first, c.firstRow);
        EXPECT_EQ(second, c.secondRow);
    }
    std::int32_t first = -7, second = -7;
    EXPECT_FALSE(acceptYearSelection(0, 1, {}, first, second));
}

TEST(YearSelection, ItemForYearTakesTheLastMatchOrKeepsTheSelection) {
    const Rows lake{0, 2, 5, 6};
    EXPECT_EQ(itemForYear(std::span(Small), lake, 1999, 2), 0);
    EXPECT_EQ(itemForYear(std::span(Small), lake, 2021, 0), 3); // repeated year: last one
    EXPECT_EQ(itemForYear(std::span(Small), lake, 1950, 1), 1); // a local pair's year
    EXPECT_EQ(itemForYear(std::span(Small), lake, 1950, -1), -1);
    EXPECT_EQ(itemForYear(std::span(Small), Rows{99, -3, 5}, 2021, 0), 2); // bad rows skipped
}
