// The platform-free rules of the saved-pairs list: which entries are pair files, their
// order and their item texts.
#include "pairs/saved_pairs.h"

#include "pairs/storage.h"

#include <algorithm>
#include <cstdint>

namespace {

std::vector<std::wstring_view> pathElements(std::wstring_view path) {
    std::vector<std::wstring_view> elements;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || isPathSeparator(path[i])) {
            if (i > start) {
                elements.push_back(path.substr(start, i - start));
            }
            start = i + 1;
        }
    }
    return elements;
}

// wchar_t is signed on some hosts; code units compare as unsigned numbers.
bool elementLess(std::wstring_view a, std::wstring_view b) {
    return std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
            return static_cast<std::uint32_t>(x) < static_cast<std::uint32_t>(y);
        });
}

} // namespace

bool hasPairExtension(std::wstring_view name) {
    const std::size_t dot = name.rfind(L'.');
    if (dot == std::wstring_view::npos || dot == 0 || name == L"..") {
        return false;
    }
    return name.substr(dot) == PairExtension;
}

void sortPathsDescending(std::vector<std::wstring>& paths) {
    std::stable_sort(paths.begin(), paths.end(), [](const std::wstring& a, const std::wstring& b) {
        const auto first = pathElements(a);
        const auto second = pathElements(b);
        return std::lexicographical_compare(second.begin(), second.end(), first.begin(),
                                            first.end(), elementLess);
    });
}

std::wstring savedPairItemText(int position, const std::optional<PairFileHeader>& header) {
    std::wstring text = std::to_wstring(position) + L"  |  ";
    if (!header || !arePairYears(header->firstYear, header->secondYear)) {
        return text + L"?";
    }
    return text + std::to_wstring(header->firstYear) + L" / " + std::to_wstring(header->secondYear);
}
