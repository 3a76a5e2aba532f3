// The platform-free half of the storage operations: joining paths and the name pattern.
#include "pairs/storage.h"

#include <cstdio>

bool isPathSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

std::wstring joinPath(std::wstring_view folder, std::wstring_view name) {
    std::wstring path(folder);
    if (!path.empty() && !isPathSeparator(path.back())) {
        path.push_back(L'\\');
    }
    path.append(name);
    return path;
}

std::wstring uniqueNameCandidate(const UtcStamp& stamp, int attempt, std::wstring_view extension) {
    // Fields outside their ranges would widen the name; the clock never gives such values,
    // but the buffer holds any int anyway.
    wchar_t name[160] = {};
    // NOLINTNEXTLINE(cert-err33-c): the buffer holds any int, so the call cannot fail
    std::swprintf(name, sizeof(name) / sizeof(name[0]), L"pair-%04d%02d%02d-%02d%02d%02d-%03d-%03d",
                  stamp.year, stamp.month, stamp.day, stamp.hour, stamp.minute, stamp.second,
                  stamp.millisecond, attempt);
    std::wstring result(name);
    result.append(extension);
    return result;
}
