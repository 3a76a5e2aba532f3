// The pair file: a 24-byte little-endian header and the two photos' files exactly as they
// were loaded. Building and checking a whole file image touch no files; only
// readPairHeader reads the header of a file on disk, for the saved-pairs list.
#pragma once

#include "archive/photo_limits.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

inline constexpr std::uint8_t PairMagic[4] = {'D', 'P', 'F', '1'};
inline constexpr std::uint32_t PairFormatVersion = 1;
inline constexpr std::size_t PairHeaderSize = 24;
inline constexpr std::uint64_t MaxPairFileBytes = PairHeaderSize + 2 * MaxPhotoBytes;
static_assert(MaxPairFileBytes == 83886104);
// The inclusive range of the years of saved and imported pairs.
inline constexpr std::int32_t MinYear = 1800;
inline constexpr std::int32_t MaxYear = 2200;

struct PairFileHeader {
    std::uint8_t magic[4] = {};
    std::uint32_t version = 0;
    std::int32_t firstYear = 0;
    std::int32_t secondYear = 0;
    std::uint32_t firstLength = 0;
    std::uint32_t secondLength = 0;
};

struct PairFileContents {
    std::int32_t firstYear = 0;
    std::int32_t secondYear = 0;
    std::vector<std::uint8_t> firstBytes;
    std::vector<std::uint8_t> secondBytes;
};

// The two years a pair may carry, saved or imported: each within MinYear..MaxYear, and not
// the same. The first need not be the earlier.
bool arePairYears(std::int32_t firstYear, std::int32_t secondYear);

// The whole file image for two years and two photo files. Checks nothing: the photos on
// display passed the decoder's 40 MiB limit, so both lengths fit their 32-bit fields.
std::vector<std::uint8_t> encodePairFile(std::int32_t firstYear, std::int32_t secondYear,
                                         std::span<const std::uint8_t> firstPhoto,
                                         std::span<const std::uint8_t> secondPhoto);

// The two years and photo blocks of a valid file image, or nothing. The image is taken
// over and released either way.
std::optional<PairFileContents> decodePairFile(std::vector<std::uint8_t> image);

// The six header fields from the first 24 bytes, unchecked; nothing when fewer arrived.
std::optional<PairFileHeader> parsePairHeader(std::span<const std::uint8_t> bytes);

#ifdef _WIN32
#include <string>

// The header of a file on disk, read in one 24-byte read without denying others access;
// nothing when it cannot be opened or is shorter. Checks none of the fields.
std::optional<PairFileHeader> readPairHeader(const std::wstring& path);
#endif
