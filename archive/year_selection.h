// The platform-free rules behind the year lists: which catalog rows a place has, which two
// list selections are acceptable, and which list item shows a given year.
#pragma once

#include "archive/catalog.h"

#include <cstdint>
#include <span>
#include <vector>

// Rows whose place equals placeName character for character, in catalog order.
std::vector<std::int32_t> rowsOfPlace(std::span<const CatalogEntry> catalog,
                                      const wchar_t* placeName);

// Turns two list selections (-1 for none) into two catalog rows. Accepted when both items
// exist in yearRows and differ; the first year may be later than the second.
bool acceptYearSelection(int firstItem, int secondItem, const std::vector<std::int32_t>& yearRows,
                         std::int32_t& firstRow, std::int32_t& secondRow);

// The item to select for a year: the last entry of yearRows whose row has that year, or
// currentItem when none has it.
int itemForYear(std::span<const CatalogEntry> catalog, const std::vector<std::int32_t>& yearRows,
                std::int32_t year, int currentItem);
