// The program's only network code: one archive photo over strict HTTPS, accepted only when
// it hashes to its catalog digest. Windows only.
#pragma once

#include "archive/catalog.h"

#include <cstdint>
#include <vector>

inline constexpr unsigned long long MaxDownloadMillis = 60000;

// The response body exactly as received, or empty on any failure of any kind (refused URL,
// network, TLS, status other than 200, over 40 MiB, over 60 s, digest mismatch). Blocking;
// call it only off the UI thread. Exhausted memory raises std::bad_alloc.
std::vector<std::uint8_t> downloadArchivePhoto(const CatalogEntry& entry);
