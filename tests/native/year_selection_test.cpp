// Rules of the archive selection: rows of a place, acceptance of two list selections and the
// item that shows a year, on small catalogs and on the built-in one.
#include "archive/catalog.h"
#include "archive/year_selection.h"

#include <gtest/gtest.h>

#include <span>

namespace {

const wchar_t* const Lake = L"Lake";
const wchar_t LakeCopy[] = L"Lake";
const wchar_t* const Glacier = L"Glacier";

const CatalogEntry SmallCatalog[] = {
    {1000, Lake, 1999, L"", ""},     {1001, Glacier, 1986, L"", ""}, {1002, Lake, 2004, L"", ""},
    {1003, L"Lake ", 2005, L"", ""}, {1004, L"lake", 2006, L"", ""}, {1005, Lake, 2021, L"", ""},
    {1006, Glacier, -40, L"", ""},
};

} // namespace

TEST(YearSelectionRows, ExactEqualityInCatalogOrder) {
    // Compared by characters, not by pointer; trailing space and case make other places.
    EXPECT_EQ(rowsOfPlace(std::span(SmallCatalog), LakeCopy), (std::vector<std::int32_t>{0, 2, 5}));
    EXPECT_EQ(rowsOfPlace(std::span(SmallCatalog), L"Glacier"), (std::vector<std::int32_t>{1, 6}));
    EXPECT_TRUE(rowsOfPlace(std::span(SmallCatalog), L"Lak").empty());
    EXPECT_TRUE(rowsOfPlace(std::span(SmallCatalog), nullptr).empty());
}

TEST(YearSelectionRows, BuiltInCatalogPlaces) {
    const auto aral = rowsOfPlace(std::span(ArchiveCatalog), placeNames[0]);
    ASSERT_EQ(aral.size(), 19u);
    EXPECT_EQ(aral.front(), 0);
    EXPECT_EQ(aral.back(), 18);
    const auto columbia = rowsOfPlace(std::span(ArchiveCatalog), placeNames[1]);
    ASSERT_EQ(columbia.size(), 29u);
    EXPECT_EQ(ArchiveCatalog[columbia.front()].year, 1986);
    EXPECT_EQ(ArchiveCatalog[columbia.back()].year, 2024);
    const auto powell = rowsOfPlace(std::span(ArchiveCatalog), placeNames[2]);
    EXPECT_EQ(powell.size(), 23u);
    EXPECT_EQ(aral.size() + columbia.size() + powell.size(), static_cast<std::size_t>(CatalogSize));
}

TEST(YearSelectionAccept, TwoDifferentExistingItems) {
    const std::vector<std::int32_t> rows{19, 20, 21, 47};
    std::int32_t first = -7;
    std::int32_t second = -7;
    EXPECT_TRUE(acceptYearSelection(0, 3, rows, first, second));
    EXPECT_EQ(first, 19);
    EXPECT_EQ(second, 47);
    // A later first year is accepted: only equality is refused.
    EXPECT_TRUE(acceptYearSelection(3, 1, rows, first, second));
    EXPECT_EQ(first, 47);
    EXPECT_EQ(second, 20);
}

TEST(YearSelectionAccept, RefusalsLeaveTheOutputsAlone) {
    const std::vector<std::int32_t> rows{0, 1, 2};
    std::int32_t first = 123;
    std::int32_t second = 456;
    EXPECT_FALSE(acceptYearSelection(1, 1, rows, first, second));  // equal
    EXPECT_FALSE(acceptYearSelection(-1, 2, rows, first, second)); // no first selection
    EXPECT_FALSE(acceptYearSelection(0, -1, rows, first, second)); // no second selection
    EXPECT_FALSE(acceptYearSelection(0, 3, rows, first, second));  // past the rows
    EXPECT_FALSE(acceptYearSelection(3, 0, rows, first, second));
    EXPECT_FALSE(acceptYearSelection(0, 1, {}, first, second)); // lists without rows
    EXPECT_EQ(first, 123);
    EXPECT_EQ(second, 456);
}

TEST(YearSelectionItem, FindsTheYearOrKeepsTheSelection) {
    const std::vector<std::int32_t> lakeRows{0, 2, 5};
    EXPECT_EQ(itemForYear(std::span(SmallCatalog), lakeRows, 2021, 0), 2);
    EXPECT_EQ(itemForYear(std::span(SmallCatalog), lakeRows, 1999, 2), 0);
    // A year the place does not have (a local pair's 1950) keeps the current item.
    EXPECT_EQ(itemForYear(std::span(SmallCatalog), lakeRows, 1950, 1), 1);
    EXPECT_EQ(itemForYear(std::span(SmallCatalog), lakeRows, 1950, -1), -1);
    // Rows that do not exist in the catalog are skipped instead of read.
    EXPECT_EQ(itemForYear(std::span(SmallCatalog), {99, -3, 5}, 2021, 0), 2);
}

TEST(YearSelectionItem, RepeatedYearSelectsTheLastMatch) {
    const CatalogEntry twice[] = {{1, Lake, 2000, L"", ""}, {2, Lake, 2000, L"", ""}};
    EXPECT_EQ(itemForYear(std::span(twice), {0, 1}, 2000, -1), 1);
}
