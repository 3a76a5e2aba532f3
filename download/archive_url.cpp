// The address rule of the download, kept apart from WinHTTP so that it is tested natively.
#include "download/archive_url.h"

bool isAllowedArchiveUrl(std::wstring_view url) {
    const std::wstring_view prefix = ArchiveUrlPrefix;
    constexpr std::wstring_view Extension = L".jpg";
    return url.starts_with(prefix) && url.find(L"..") == std::wstring_view::npos &&
           url.find(L'?') == std::wstring_view::npos &&
           url.size() > prefix.size() + Extension.size() && url.ends_with(Extension);
}

std::wstring archiveUrlPath(std::wstring_view url) {
    constexpr std::size_t SchemeLength = 8; // "https://"
    if (url.size() <= SchemeLength) {
        return {};
    }
    const std::size_t slash = url.find(L'/', SchemeLength);
    return slash == std::wstring_view::npos ? std::wstring() : std::wstring(url.substr(slash));
}
