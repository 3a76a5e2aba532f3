// The place buttons, the year lists and "Load years" of the main window.
#include "archive/archive_selection.h"

#include "app/commands.h"
#include "app/control_ids.h"
#include "archive/archive_photo.h"
#include "archive/catalog.h"
#include "archive/year_selection.h"
#include "core/app_state.h"
#include "render/paint_text.h"

#include <windows.h>

#include <span>

namespace {

HWND control(int id) {
    return GetDlgItem(appState.mainWindow, id);
}

void addYearItem(HWND box, std::int32_t year) {
    const std::wstring text = yearText(year);
    SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// A local pair's years need not be catalog years: the list then holds that one year.
void showSingleYear(HWND box, std::int32_t year) {
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    addYearItem(box, year);
    SendMessageW(box, CB_SETCURSEL, 0, 0);
}

void selectYear(HWND box, std::int32_t year) {
    const int current = static_cast<int>(SendMessageW(box, CB_GETCURSEL, 0, 0));
    const int item = itemForYear(std::span(ArchiveCatalog), appState.yearRows, year, current);
    if (item != current) {
        SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
    }
}

} // namespace

void fillYearCombos() {
    const std::int32_t place = appState.selectedPlace;
    appState.yearRows.clear();
    if (place >= 0 && place < PlaceCount) {
        appState.yearRows = rowsOfPlace(std::span(ArchiveCatalog), placeNames[place]);
    }
    for (int id : {IDC_FIRST_YEAR, IDC_SECOND_YEAR}) {
        HWND box = control(id);
        SendMessageW(box, CB_RESETCONTENT, 0, 0);
        for (std::int32_t row : appState.yearRows) {
            addYearItem(box, ArchiveCatalog[row].year);
        }
    }
    const auto count = static_cast<WPARAM>(appState.yearRows.size());
    SendMessageW(control(IDC_FIRST_YEAR), CB_SETCURSEL, 0, 0);
    SendMessageW(control(IDC_SECOND_YEAR), CB_SETCURSEL, count - 1, 0);
}

bool readYearSelection(std::int32_t& firstRow, std::int32_t& secondRow) {
    const int firstItem =
        static_cast<int>(SendMessageW(control(IDC_FIRST_YEAR), CB_GETCURSEL, 0, 0));
    const int secondItem =
        static_cast<int>(SendMessageW(control(IDC_SECOND_YEAR), CB_GETCURSEL, 0, 0));
    if (acceptYearSelection(firstItem, secondItem, appState.yearRows, firstRow, secondRow)) {
        return true;
    }
    setStatus(TextId::InvalidYears, true);
    return false;
}

void loadSelectedYears() {
    std::int32_t firstRow = 0;
    std::int32_t secondRow = 0;
    if (!readYearSelection(firstRow, secondRow)) {
        return;
    }
    auto firstPhoto = loadArchivePhoto(firstRow);
    auto secondPhoto = loadArchivePhoto(secondRow);
    const CatalogEntry& first = ArchiveCatalog[firstRow];
    const CatalogEntry& second = ArchiveCatalog[secondRow];
    if (!installPair(std::move(firstPhoto), std::move(secondPhoto), first.year, second.year,
                     std::wstring(first.place), false)) {
        setStatus(TextId::CannotReadPhotos, true);
        return;
    }
    appState.firstCatalogIndex = firstRow;
    appState.secondCatalogIndex = secondRow;
    setStatus(TextId::Ready, false);
}

void syncYearControls() {
    if (!appState.mainWindow) {
        return;
    }
    HWND firstBox = control(IDC_FIRST_YEAR);
    HWND secondBox = control(IDC_SECOND_YEAR);
    if (appState.isLocalPair) {
        showSingleYear(firstBox, appState.firstYear);
        showSingleYear(secondBox, appState.secondYear);
    } else {
        selectYear(firstBox, appState.firstYear);
        selectYear(secondBox, appState.secondYear);
    }
    const BOOL archivePair = appState.isLocalPair ? FALSE : TRUE;
    EnableWindow(firstBox, archivePair);
    EnableWindow(secondBox, archivePair);
    EnableWindow(control(IDC_LOAD_YEARS), archivePair);
    const bool fetchable = !appState.isLocalPair && !appState.downloadInProgress.load();
    EnableWindow(control(IDC_FETCH), fetchable ? TRUE : FALSE);
}

void choosePlace(std::int32_t place) {
    appState.selectedPlace = place;
    fillYearCombos();
    loadSelectedYears();
    for (int p = 0; p < PlaceCount; ++p) {
        InvalidateRect(control(IDC_PLACE_FIRST + p), nullptr, TRUE);
    }
}
