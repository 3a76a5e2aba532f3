// Texts the main window paints that are built from numbers: years and the zoom percentage,
// plus the source line under the caption.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The credit shown under the caption of an archive pair, in every language.
inline constexpr wchar_t ArchiveCredit[] = L"NASA EARTH OBSERVATORY  /  MODIS + LANDSAT";

// Plain decimal digits, a leading "-" when negative, no grouping.
std::wstring yearText(std::int32_t year);

// The zoom label, one space, the zoom in percent and "%". The percentage is zoom * 100 in
// single precision truncated toward zero, so 1.728 reads 172, not 173.
std::wstring zoomText(std::wstring_view zoomLabel, float zoom);

// The fit note for a local pair, the fixed archive credit otherwise.
std::wstring sourceLineText(bool isLocalPair, std::wstring_view fitNote);
