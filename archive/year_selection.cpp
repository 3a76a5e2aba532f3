// Rules of the archive selection that need no window: rows of a place, acceptance of two
// list selections and the item of a year.
#include "archive/year_selection.h"

#include <string_view>

std::vector<std::int32_t> rowsOfPlace(std::span<const CatalogEntry> catalog,
                                      const wchar_t* placeName) {
    std::vector<std::int32_t> rows;
    if (placeName == nullptr) {
        return rows;
    }
    const std::wstring_view wanted(placeName);
    for (std::size_t row = 0; row < catalog.size(); ++row) {
        if (catalog[row].place != nullptr && std::wstring_view(catalog[row].place) == wanted) {
            rows.push_back(static_cast<std::int32_t>(row));
        }
    }
    return rows;
}

bool acceptYearSelection(int firstItem, int secondItem, const std::vector<std::int32_t>& yearRows,
                         std::int32_t& firstRow, std::int32_t& secondRow) {
    const auto count = static_cast<long long>(yearRows.size());
    if (firstItem < 0 || secondItem < 0 || firstItem == secondItem || firstItem >= count ||
        secondItem >= count) {
        return false;
    }
    firstRow = yearRows[static_cast<std::size_t>(firstItem)];
    secondRow = yearRows[static_cast<std::size_t>(secondItem)];
    return true;
}

int itemForYear(std::span<const CatalogEntry> catalog, const std::vector<std::int32_t>& yearRows,
                std::int32_t year, int currentItem) {
    int item = currentItem;
    for (std::size_t i = 0; i < yearRows.size(); ++i) {
        const std::int32_t row = yearRows[i];
        if (row >= 0 && static_cast<std::size_t>(row) < catalog.size() &&
            catalog[static_cast<std::size_t>(row)].year == year) {
            item = static_cast<int>(i);
        }
    }
    return item;
}
