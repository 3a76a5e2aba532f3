// The archive's HTTPS host, named once. A macro as well as a constant, because one text of
// the text table is built around it at compile time.
#pragma once

#define DRIFTPANE_ARCHIVE_HOST L"assets.science.nasa.gov"

inline constexpr wchar_t ArchiveHost[] = DRIFTPANE_ARCHIVE_HOST;
