// Character rules for the import dialog's paths and years.
#include "import/local_path.h"

#include "pairs/storage.h"

namespace {

bool isAsciiLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

bool isYearSpace(wchar_t c) {
    return c == L' ' || (c >= L'\t' && c <= L'\r');
}

// Any value past this is refused as a year; keeping below it keeps the sum from overflowing.
constexpr std::int32_t YearReadCeiling = 100000000;

} // namespace

std::wstring stripQuotes(std::wstring_view text) {
    if (text.size() > 1 && text.front() == L'"' && text.back() == L'"') {
        text = text.substr(1, text.size() - 2);
    }
    return std::wstring(text);
}

bool hasDrivePathShape(std::wstring_view path) {
    if (path.size() < 4 || !isAsciiLetter(path[0]) || path[1] != L':' ||
        !isPathSeparator(path[2])) {
        return false;
    }
    return path.find(L':', 2) == std::wstring_view::npos;
}

std::wstring driveRootOf(std::wstring_view path) {
    return std::wstring{path.empty() ? L'?' : path[0], L':', L'\\'};
}

std::int32_t readYear(std::wstring_view text) {
    std::size_t at = 0;
    while (at < text.size() && isYearSpace(text[at])) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == L'+' || text[at] == L'-')) {
        negative = text[at] == L'-';
        ++at;
    }
    std::int32_t value = 0;
    for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9'; ++at) {
        if (value < YearReadCeiling) {
            value = value * 10 + (text[at] - L'0');
        }
    }
    return negative ? -value : value;
}
