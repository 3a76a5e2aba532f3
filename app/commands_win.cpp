// The status line, installPair, the command table of the main window and its exception guard.
#include "app/commands.h"

#include "accessibility/accessibility.h"
#include "app/control_ids.h"
#include "app/main_window.h"
#include "app/tray.h"
#include "archive/archive_selection.h"
#include "archive/catalog.h"
#include "core/app_state.h"
#include "core/view_controller.h"
#include "download/fetch_job.h"
#include "import/modal_window.h"
#include "pairs/saved_pairs.h"
#include "pairs/storage.h"
#include "render/png_export.h"

#include <utility>

void setStatus(TextId id, bool isError) {
    setStatus(std::wstring(localizedText(id)), isError);
}

void setStatus(std::wstring text, bool isError) {
    appState.statusText = std::move(text);
    appState.statusIsError = isError;
    if (appState.mainWindow) {
        InvalidateRect(appState.mainWindow, nullptr, FALSE);
    }
    announceStatus();
}

bool installPair(std::shared_ptr<ImageData> firstPhoto, std::shared_ptr<ImageData> secondPhoto,
                 std::int32_t firstYear, std::int32_t secondYear, std::wstring caption,
                 bool isLocal) {
    if (!firstPhoto || !secondPhoto) {
        return false;
    }
    appState.firstImage = std::move(firstPhoto);
    appState.secondImage = std::move(secondPhoto);
    appState.firstYear = firstYear;
    appState.secondYear = secondYear;
    // The caption arrives by value, so a caller passing appState.caption itself is safe.
    appState.caption = std::move(caption);
    appState.isLocalPair = isLocal;
    advanceGeneration(appState);
    runViewEffects(resetView(appState));
    syncYearControls();
    if (appState.mainWindow) {
        InvalidateRect(appState.mainWindow, nullptr, FALSE);
        // The place buttons' highlight depends on isLocalPair, so they are redrawn in full.
        for (int place = 0; place < PlaceCount; ++place) {
            if (HWND button = GetDlgItem(appState.mainWindow, IDC_PLACE_FIRST + place)) {
                InvalidateRect(button, nullptr, TRUE);
            }
        }
    }
    return true;
}

void exitProgram() {
    if (appState.downloadInProgress.load()) {
        setStatus(TextId::WaitForDownload, false);
        // The window may be hidden in the tray; bring it back so the message can be read.
        showWindowAsItWas(appState.mainWindow);
        return;
    }
    DestroyWindow(appState.mainWindow);
}

LRESULT mainWindowOnCommand(HWND /*window*/, WPARAM wParam, LPARAM /*lParam*/) {
    const int id = LOWORD(wParam);
    // Owner-drawn buttons report a double click as BN_CLICKED and then BN_DOUBLECLICKED; a
    // button acts once per click. The keyboard, the tray menu and drops send BN_CLICKED (0)
    // too; only the list box's other notifications mean something.
    if (id != IDC_SAVED_PAIRS && HIWORD(wParam) != BN_CLICKED) {
        return 0;
    }
    switch (id) {
    case IDCANCEL: // Escape, through the message loop's dialog navigation
    case IDC_HIDE_TO_TRAY:
        hideToTray();
        break;
    case IDC_LOCAL_PHOTOS:
        openModalWindow(ModalKind::ImportMode);
        break;
    case IDC_LOAD_YEARS:
        loadSelectedYears();
        break;
    case IDC_SWAP:
        runViewEffects(swapSides(appState));
        break;
    case IDC_FIT:
        runViewEffects(fitView(appState));
        break;
    case IDC_HELP:
        openModalWindow(ModalKind::HelpMode);
        break;
    case IDM_EXIT:
        exitProgram();
        break;
    case IDC_SAVE_PAIR:
        saveCurrentPair();
        break;
    case IDC_EXPORT_PNG:
        exportPng();
        break;
    case IDC_SAVED_PAIRS:
        // Only a selection change opens a pair; focus and double-click notices do not.
        if (HIWORD(wParam) == LBN_SELCHANGE) {
            openSelectedPair();
        }
        break;
    case IDC_OPEN_FOLDER:
        openAppDataFolder();
        break;
    case IDC_FETCH:
        startFetch();
        break;
    case IDC_PLACE_FIRST + 0:
    case IDC_PLACE_FIRST + 1:
    case IDC_PLACE_FIRST + 2:
        choosePlace(id - IDC_PLACE_FIRST);
        break;
    default: // the year lists, the slider and Enter (IDOK) do nothing
        break;
    }
    return 0;
}

LRESULT CALLBACK guardedMainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return callGuarded([&] { return mainWindowProc(window, message, wParam, lParam); },
                       message == WM_PAINT ? window : nullptr);
}
