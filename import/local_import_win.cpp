// The import dialog's action: two local photo files with their years become the pair on
// display, or the dialog says why not and keeps what the user typed.
#include "import/modal_window.h"

#include "accessibility/accessibility.h"
#include "app/commands.h"
#include "app/controls.h"
#include "archive/image_data.h"
#include "archive/photo_limits.h"
#include "core/text_table.h"
#include "import/local_path.h"
#include "pairs/pair_file.h"
#include "pairs/storage.h"

#include <string>
#include <utility>

namespace {

void showImportMessage(HWND dialog, TextId id) {
    SetDlgItemTextW(dialog, IDC_IMPORT_MESSAGE, localizedText(id));
    announceImportMessage(dialog);
}

std::wstring fieldText(HWND dialog, int id) {
    return readControlText(GetDlgItem(dialog, id));
}

} // namespace

void importLocalPair(HWND dialog) {
    const std::int32_t firstYear = readYear(fieldText(dialog, IDC_FIRST_YEAR_EDIT));
    const std::int32_t secondYear = readYear(fieldText(dialog, IDC_SECOND_YEAR_EDIT));
    if (!arePairYears(firstYear, secondYear)) {
        showImportMessage(dialog, TextId::InvalidYears);
        return;
    }
    const std::wstring firstPath = stripQuotes(fieldText(dialog, IDC_FIRST_PATH));
    const std::wstring secondPath = stripQuotes(fieldText(dialog, IDC_SECOND_PATH));
    if (!isLocalDrivePath(firstPath) || !isLocalDrivePath(secondPath)) {
        showImportMessage(dialog, TextId::CannotReadPhotos);
        return;
    }
    // Both are read and decoded even when the first fails; the two paths may name one file.
    auto firstPhoto = decodePhoto(readWholeFile(firstPath, MaxPhotoBytes));
    auto secondPhoto = decodePhoto(readWholeFile(secondPath, MaxPhotoBytes));
    if (!installPair(std::move(firstPhoto), std::move(secondPhoto), firstYear, secondYear,
                     localizedText(TextId::LocalPair), true)) {
        showImportMessage(dialog, TextId::CannotReadPhotos);
        return;
    }
    setStatus(TextId::Ready, false);
    closeModalWindow(dialog);
}
