// Files dropped from the shell: exactly two go into the import dialog's path fields. A drop
// never imports and never looks at the files; importing checks them.
#include "import/modal_window.h"

#include "app/commands.h"
#include "app/control_ids.h"
#include "core/app_state.h"
#include "core/handles_win.h"

#include <string>

namespace {

constexpr UINT DropFileCount = 0xFFFFFFFF;

std::wstring droppedPath(HDROP drop, UINT index) {
    const UINT length = DragQueryFileW(drop, index, nullptr, 0);
    std::wstring path(static_cast<std::size_t>(length) + 1, L'\0');
    const UINT copied = DragQueryFileW(drop, index, path.data(), length + 1);
    path.resize(copied < length ? copied : length);
    return path;
}

} // namespace

void acceptDroppedFiles(HWND window, HDROP drop) {
    // Held from the start: whatever fails between here and the release, the shell's memory
    // is given back.
    UniqueDrop held(drop);
    if (DragQueryFileW(drop, DropFileCount, nullptr, 0) != 2) {
        held.reset();
        setStatus(TextId::CannotReadPhotos, true);
        return;
    }
    const std::wstring firstPath = droppedPath(drop, 0);
    const std::wstring secondPath = droppedPath(drop, 1);
    held.reset();

    if (window != appState.importDialog && appState.mainWindow) {
        // Opens the import dialog unless a modal window is open already.
        SendMessageW(appState.mainWindow, WM_COMMAND, MAKEWPARAM(IDC_LOCAL_PHOTOS, 0), 0);
    }
    // With the help box open no dialog is there, and the paths are dropped without a word.
    if (HWND dialog = appState.importDialog) {
        SetDlgItemTextW(dialog, IDC_FIRST_PATH, firstPath.c_str());
        SetDlgItemTextW(dialog, IDC_SECOND_PATH, secondPath.c_str());
        SetForegroundWindow(dialog);
    }
}
