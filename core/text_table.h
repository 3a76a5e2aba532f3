// Every user-visible text of the interface in English, German, French and Spanish, and
// the choice of the interface language.
#pragma once

#include <cstdint>
#include <string_view>

enum class TextId : int {
    Tagline = 0,
    FieldArchive = 1,
    SavedPairs = 2,
    LocalPhotos = 3,
    FirstYear = 4,
    SecondYear = 5,
    LoadYears = 6,
    FetchFromArchive = 7,
    SavePair = 8,
    Swap = 9,
    Fit = 10,
    HideToTray = 11,
    Exit = 12,
    OpenApp = 13,
    HelpLabel = 14,
    Ready = 15,
    Downloading = 16,
    Downloaded = 17,
    PairSaved = 18,
    CannotReadPhotos = 19,
    InvalidYears = 20,
    InvalidSavedPair = 21,
    CannotSave = 22,
    DownloadFailed = 23,
    WaitForDownload = 24,
    ImportTitle = 25,
    FirstPhotoPath = 26,
    SecondPhotoPath = 27,
    ImportPair = 28,
    Cancel = 29,
    DropHint = 30,
    ViewHint = 31,
    OfflineNote = 32,
    SavedPairsEmpty = 33,
    LocalTime = 34,
    LocalPair = 35,
    PngExported = 36,
    ExportPng = 37,
    Zoom = 38,
    FitNote = 39,
    HelpText = 40,
    LanguageName = 41,
    SystemLanguageNote = 42,
};

inline constexpr int TextCount = 43;
inline constexpr int LanguageCount = 4;

// Rows by TextId, columns English, German, French, Spanish.
extern const wchar_t* const TextTable[TextCount][LanguageCount];

// The text of that row in the column of appState.languageIndex.
const wchar_t* localizedText(TextId id);

// The column a Windows locale name selects: the first two characters, compared exactly
// and case-sensitively with "de", "fr" and "es"; anything else is English (0).
std::int32_t languageIndexForLocaleName(std::wstring_view localeName);

// "en-US", "de-DE", "fr-FR" or "es-ES" for a column; English for an index out of range.
const wchar_t* localeNameForLanguage(std::int32_t languageIndex);

// Sets appState.languageIndex from the Windows UI language and makes that language the
// preferred one of process and thread. Windows only.
void chooseLanguage();
