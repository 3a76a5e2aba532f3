// SHA-256 of a byte vector as 64 lower-case hexadecimal digits, as the catalog stores it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Empty when the digest cannot be computed; an empty result never matches a digest.
std::string sha256Hex(const std::vector<std::uint8_t>& bytes);
