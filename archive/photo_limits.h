// The limits every photo must meet, whatever its source. Readers of resources, downloads,
// pair files and local files apply the byte limit before they hand bytes to the decoder.
#pragma once
#include <cstdint>

inline constexpr std::uint64_t MaxPhotoBytes = 41943040; // 40 MiB
inline constexpr std::uint32_t MaxPhotoSide = 24000;
inline constexpr std::uint64_t MaxPhotoPixels = 80000000;
