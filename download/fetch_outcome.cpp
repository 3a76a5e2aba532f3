// Decisions of a finished fetch that need no window.
#include "download/fetch_outcome.h"

#include "archive/catalog.h"
#include "core/text_table.h"

#include <algorithm>

FetchOutcome fetchOutcome(std::int32_t resultGeneration, std::int32_t currentGeneration,
                          bool succeeded) {
    if (resultGeneration != currentGeneration) {
        return FetchOutcome::Stale;
    }
    return succeeded ? FetchOutcome::Succeeded : FetchOutcome::Failed;
}

const wchar_t* staleFetchText(std::int32_t languageIndex) {
    // Outside the text table on purpose: the notice belongs to the download alone.
    static constexpr const wchar_t* Texts[LanguageCount] = {
        L"Download finished. Your newer comparison was kept.",
        L"Download beendet. Der neuere Vergleich bleibt erhalten.",
        L"T\u00E9l\u00E9chargement termin\u00E9. La comparaison actuelle est conserv\u00E9e.",
        L"Descarga finalizada. Se conserva la comparaci\u00F3n m\u00E1s reciente.",
    };
    return languageIndex >= 0 && languageIndex < LanguageCount ? Texts[languageIndex] : Texts[0];
}

std::int32_t placeIndexOfCaption(const std::wstring& caption) {
    for (std::int32_t place = 0; place < PlaceCount; ++place) {
        if (caption == placeNames[place]) {
            return place;
        }
    }
    return -1;
}

int yearItemOfRow(const std::vector<std::int32_t>& yearRows, std::int32_t row) {
    const auto found = std::find(yearRows.begin(), yearRows.end(), row);
    return found == yearRows.end() ? -1 : static_cast<int>(found - yearRows.begin());
}
