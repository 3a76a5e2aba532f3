// The one address rule of the download: which URLs may be fetched at all, and the request
// path taken from an allowed URL. Platform-free.
#pragma once

#include "archive/archive_host.h"

#include <string>
#include <string_view>

inline constexpr wchar_t ArchiveUrlPrefix[] =
    L"https://" DRIFTPANE_ARCHIVE_HOST L"/content/dam/science/esd/eo/";

// True only for "<ArchiveUrlPrefix><at least one character>.jpg" without ".." or "?";
// every comparison is exact and case-sensitive.
bool isAllowedArchiveUrl(std::wstring_view url);

// The request path: from the first '/' at or after index 8 (just past "https://") to the
// end, leading '/' included; empty when there is none.
std::wstring archiveUrlPath(std::wstring_view url);
