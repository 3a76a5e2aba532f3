// The platform-free decisions of a finished fetch: whether its result still belongs on
// display, which status it ends with, the notice for a dropped result and where the lists
// must point afterwards.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class FetchOutcome {
    Stale,     // a pair was installed or swapped since the start: keep it, drop the result
    Failed,    // DownloadFailed, the pair on display stays
    Succeeded, // install the fetched pair, Downloaded
};

// Staleness wins over failure: a dropped result says nothing about the pair on display.
FetchOutcome fetchOutcome(std::int32_t resultGeneration, std::int32_t currentGeneration,
                          bool succeeded);

// "Download finished. Your newer comparison was kept." in the language of that column;
// English for a column out of range.
const wchar_t* staleFetchText(std::int32_t languageIndex);

// The index in placeNames whose text equals caption, tried in order; -1 when none does.
std::int32_t placeIndexOfCaption(const std::wstring& caption);

// The list item that shows catalog row `row`: its position in yearRows, or -1.
int yearItemOfRow(const std::vector<std::int32_t>& yearRows, std::int32_t row);
