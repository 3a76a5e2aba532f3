// How the import dialog reads a year field and what it accepts as a photo path. The character rules
// are platform-free; only the question whether a drive is a network drive asks Windows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The text between one pair of enclosing double quotes, when the text has more than one
// character and begins and ends with one; otherwise the text unchanged. Nothing is trimmed.
std::wstring stripQuotes(std::wstring_view text);

// The character rules of a full path on a drive: at least four characters, an ASCII letter,
// a colon, a backslash or slash, and no further colon (which would name a data stream).
bool hasDrivePathShape(std::wstring_view path);

// The root of the path's drive as Windows wants it asked about: letter, colon, backslash,
// whichever separator the path was written with. The path must have the drive path shape.
std::wstring driveRootOf(std::wstring_view path);

// True for a path of the drive path shape whose drive is not a network drive; relative
// paths, shares, device paths and data streams are refused before any file is opened.
// Windows only.
bool isLocalDrivePath(const std::wstring& path);

// A year field as typed or pasted: leading white space skipped, an optional sign, then
// decimal digits up to the first other character; no digits gives 0. Values too large for
// any year stop growing instead of overflowing. Whether the two years will do is the pair
// rule, arePairYears.
std::int32_t readYear(std::wstring_view text);
