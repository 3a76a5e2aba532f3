// "Save pair", the saved-pairs list box and opening a saved pair on Windows.
#include "pairs/saved_pairs.h"

#include "app/commands.h"
#include "app/control_ids.h"
#include "archive/image_data.h"
#include "core/app_state.h"
#include "core/handles_win.h"
#include "core/text_table.h"
#include "pairs/storage.h"

#include <windows.h>

#include <utility>

namespace {

std::wstring pairsFolder() {
    return joinPath(appState.appDataDir, PairsFolderName);
}

HWND savedPairsList() {
    return appState.mainWindow ? GetDlgItem(appState.mainWindow, IDC_SAVED_PAIRS) : nullptr;
}

void addListItem(HWND list, const std::wstring& text) {
    if (list) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

// The full paths of the folder's pair files, unsorted. Every entry is looked at and the
// exact extension rule applied: a "*.dpf" pattern would also match 8.3 short names and the
// extension in any case.
std::vector<std::wstring> listPairFiles(const std::wstring& folder) {
    std::vector<std::wstring> paths;
    WIN32_FIND_DATAW entry{};
    // Held by an owner: a failed allocation while the list grows must not leak the search.
    UniqueSearch search(FindFirstFileExW(extendedLengthPath(joinPath(folder, L"*")).c_str(),
                                         FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr,
                                         0));
    if (search.get() == INVALID_HANDLE_VALUE) {
        return paths;
    }
    // A failure part way ends the listing with what was found so far.
    do {
        if (hasPairExtension(entry.cFileName)) {
            paths.push_back(joinPath(folder, entry.cFileName));
        }
    } while (FindNextFileW(search.get(), &entry));
    return paths;
}

} // namespace

void saveCurrentPair() {
    // Hold the photos for the whole save, whatever happens to the state meanwhile.
    const std::shared_ptr<ImageData> first = appState.firstImage;
    const std::shared_ptr<ImageData> second = appState.secondImage;
    if (!first || !second) {
        return;
    }
    if (appState.appDataDir.empty() || !ensureDirectory(pairsFolder())) {
        setStatus(TextId::CannotSave, true);
        return;
    }
    const std::vector<std::uint8_t> image =
        encodePairFile(appState.firstYear, appState.secondYear, first->bytes, second->bytes);
    if (!writeFileAtomically(makeUniquePath(pairsFolder(), PairExtension), image)) {
        setStatus(TextId::CannotSave, true);
        return;
    }
    refreshSavedPairs();
    setStatus(TextId::PairSaved, false);
}

void refreshSavedPairs() {
    HWND list = savedPairsList();
    appState.savedPairFiles.clear();
    if (list) {
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
    }
    if (appState.appDataDir.empty()) {
        return;
    }
    std::vector<std::wstring> paths = listPairFiles(pairsFolder());
    sortPathsDescending(paths);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        addListItem(list, savedPairItemText(static_cast<int>(i) + 1, readPairHeader(paths[i])));
    }
    appState.savedPairFiles = std::move(paths);
    if (appState.savedPairFiles.empty()) {
        addListItem(list, localizedText(TextId::SavedPairsEmpty));
    }
    if (appState.mainWindow) {
        InvalidateRect(appState.mainWindow, nullptr, FALSE);
    }
}

void openSelectedPair() {
    HWND list = savedPairsList();
    if (!list) {
        return;
    }
    const LRESULT selection = SendMessageW(list, LB_GETCURSEL, 0, 0);
    // No selection, or the placeholder, which stands for no file.
    if (selection == LB_ERR || selection < 0 ||
        static_cast<std::size_t>(selection) >= appState.savedPairFiles.size()) {
        return;
    }
    const std::wstring path = appState.savedPairFiles[static_cast<std::size_t>(selection)];
    std::optional<PairFileContents> contents =
        decodePairFile(readWholeFile(path, MaxPairFileBytes));
    if (!contents) {
        setStatus(TextId::InvalidSavedPair, true);
        return;
    }
    // Both blocks are decoded, even when the first is refused.
    std::shared_ptr<ImageData> first = decodePhoto(std::move(contents->firstBytes));
    std::shared_ptr<ImageData> second = decodePhoto(std::move(contents->secondBytes));
    if (!installPair(std::move(first), std::move(second), contents->firstYear, contents->secondYear,
                     localizedText(TextId::LocalPair), true)) {
        setStatus(TextId::InvalidSavedPair, true);
        return;
    }
    setStatus(TextId::Ready, false);
}
