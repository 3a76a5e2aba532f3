// The per-user folders and the file operations that saving and exporting share: folders
// made on demand, new names stamped with the UTC time, writes that leave a file whole under
// its final name or not at all, and bounded reads of whole files.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr wchar_t PairsFolderName[] = L"Pairs";
inline constexpr wchar_t ExportsFolderName[] = L"Exports";
inline constexpr wchar_t TemporarySuffix[] = L".tmp";
// Candidates tried for one unique name: the counter runs 0..999.
inline constexpr int MaxNameAttempts = 1000;

// One reading of the UTC clock, the fields a file name is stamped with.
struct UtcStamp {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// Windows takes both the backslash and the slash between the elements of a path.
bool isPathSeparator(wchar_t c);

// The folder and the name with exactly one backslash between them; none is added when the
// folder already ends in a separator (or is empty).
std::wstring joinPath(std::wstring_view folder, std::wstring_view name);

// "pair-YYYYMMDD-hhmmss-mmm-nnn" followed by the extension (with its dot).
std::wstring uniqueNameCandidate(const UtcStamp& stamp, int attempt, std::wstring_view extension);

#ifdef _WIN32
#include <windows.h>

// Creates the folder with every missing parent, also beyond MAX_PATH. True when the folder
// exists afterwards; false for an empty path or when a file holds the name.
bool ensureDirectory(const std::wstring& folder);

// The full path of a file that did not exist when it was chosen, named from the current UTC
// time; empty when all 1000 candidates are taken.
std::wstring makeUniquePath(const std::wstring& folder, std::wstring_view extension);
// The same with the clock reading given, so that a caller can hold one millisecond still.
std::wstring makeUniquePath(const std::wstring& folder, std::wstring_view extension,
                            const UtcStamp& stamp);

// Writes bytes to path + ".tmp" (created exclusively), flushes it and renames it to path
// without replacing anything. True only when path now holds exactly these bytes; on false
// no file exists under path because of this call and the temporary file is gone.
bool writeFileAtomically(const std::wstring& path, const std::vector<std::uint8_t>& bytes);

// Renames without replacing an existing target, and deletes a file. Both retry for about
// half a second while another program (a virus scanner, an indexer) briefly holds the file
// open, which makes Windows answer with a sharing violation or access denied.
bool renameWithoutReplacing(const std::wstring& from, const std::wstring& to);
bool deleteFileRetrying(const std::wstring& path);

// The whole file, read through one handle; empty when it cannot be opened or read, is
// empty, is larger than limit bytes, or shrank while being read.
std::vector<std::uint8_t> readWholeFile(const std::wstring& path, std::uint64_t limit);

// The folder button: creates appDataDir if needed and shows it in the shell, or reports
// CannotSave.
void openAppDataFolder();

// The form of a path that the file functions accept beyond MAX_PATH characters: an absolute
// drive or UNC path longer than the classic limit gets the "\\?\" prefix; others unchanged.
std::wstring extendedLengthPath(const std::wstring& path);
#endif
