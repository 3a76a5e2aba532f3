// The modal window of the "DriftpaneModal" class in its two modes, the import dialog and the
// help box, with the import action and the dropped-files handling. Windows only.
#pragma once

#include "accessibility/accessibility.h"
#include "core/text_table.h"

#include <windows.h>
#include <shellapi.h>

enum class ModalKind : int {
    ImportMode = 0,
    HelpMode = 1,
};

inline constexpr int IDC_FIRST_PATH = 301;
inline constexpr int IDC_SECOND_PATH = 302;
inline constexpr int IDC_FIRST_YEAR_EDIT = 303;
inline constexpr int IDC_SECOND_YEAR_EDIT = 304;
inline constexpr int IDC_MODAL_CLOSE = 305;
inline constexpr int IDC_IMPORT_MESSAGE = 306;
inline constexpr int IDC_IMPORT = 307;
inline constexpr int IDC_HELP_TEXT = 310;

// The help box's title, the same in every language.
inline constexpr wchar_t HelpTitle[] = L"Driftpane 1.0";

// Opens the import dialog or the help box in front of the disabled main window; does
// nothing while either is open or when the window cannot be created.
void openModalWindow(ModalKind kind);

// Enables the main window and then destroys the modal window, in that order, so that Windows
// hands the activation back to the main window and not to another program's.
void closeModalWindow(HWND window);

// Places the controls of the open import dialog or help box at appState.uiScale; nothing
// when neither is open.
void layoutModalControls();

// The window procedure of "DriftpaneModal" without the exception guard.
LRESULT CALLBACK modalWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Runs one message handler of a modal window; an exception it lets out becomes the
// CannotReadPhotos text in the window's message line and the result 0. The window stays.
template <typename Handler> LRESULT callModalGuarded(HWND window, Handler&& handler) {
    try {
        return handler();
    } catch (...) {
        SetDlgItemTextW(window, IDC_IMPORT_MESSAGE, localizedText(TextId::CannotReadPhotos));
        announceImportMessage(window);
        return 0;
    }
}

// The procedure of the "DriftpaneModal" class: modalWindowProc inside callModalGuarded.
LRESULT CALLBACK guardedModalWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The import action of an open import dialog: checks the years and the paths, reads and
// decodes both files and installs them as the local pair; closes the dialog on success and
// otherwise explains in its message line, keeping what the user typed.
void importLocalPair(HWND dialog);

// Two files dropped on the main window or the import dialog go into the dialog's path
// fields, opening it if needed; any other count is reported in the main status line. The
// drop is released in every case.
void acceptDroppedFiles(HWND window, HDROP drop);
