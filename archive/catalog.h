// The built-in archive: 71 photos of three places, each embedded as an RCDATA resource
// numbered 1000 + row, with its year, its address on the archive host and its digest.
#pragma once

#include "archive/archive_host.h"

#include <cstdint>

struct CatalogEntry {
    std::uint16_t resourceId;
    const wchar_t* place; // one of the placeNames pointers
    std::int32_t year;
    const wchar_t* url;
    const char* sha256; // 64 lower-case hexadecimal digits
};

inline constexpr int CatalogSize = 71;
inline constexpr int PlaceCount = 3;

// The place names themselves. placeNames and every row point at these very arrays, which
// lets the generated table be a compile-time constant.
extern const wchar_t AralSeaName[];
extern const wchar_t ColumbiaGlacierName[];
extern const wchar_t LakePowellName[];

extern const wchar_t* const placeNames[PlaceCount];
extern const CatalogEntry ArchiveCatalog[CatalogSize];
