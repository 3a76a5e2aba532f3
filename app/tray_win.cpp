// The notification-area icon, hiding to it and coming back from it, its menu, and adding it
// again when the shell restarts.
#include "app/tray.h"

#include "app/control_ids.h"
#include "core/app_state.h"
#include "core/text_table.h"

#include <shellapi.h>

#include <cwchar>

void addTrayIcon() {
    NOTIFYICONDATAW& data = appState.trayIconData;
    data = NOTIFYICONDATAW{};
    data.cbSize = sizeof(NOTIFYICONDATAW);
    data.hWnd = appState.mainWindow;
    data.uID = 1;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_APP_TRAY;
    data.hIcon = LoadIconW(appState.instanceHandle, MAKEINTRESOURCEW(1));
    wcsncpy(data.szTip, L"Driftpane", sizeof(data.szTip) / sizeof(data.szTip[0]) - 1);
    // "TaskbarCreated" also arrives while the shell still holds our icon (another program
    // broadcast it, or it came twice); adding then fails, but the icon is there and taking it
    // over with a modify keeps hiding to the tray working.
    appState.trayIconAdded =
        Shell_NotifyIconW(NIM_ADD, &data) != FALSE || Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
    // With version 4 the shell reports the event in the low word of the callback's lParam.
    // uVersion keeps what the shell accepted: the menu is opened differently without it.
    data.uVersion = NOTIFYICON_VERSION_4;
    if (!appState.trayIconAdded || !Shell_NotifyIconW(NIM_SETVERSION, &data)) {
        data.uVersion = 0;
    }
}

void removeTrayIcon() {
    if (appState.trayIconAdded) {
        Shell_NotifyIconW(NIM_DELETE, &appState.trayIconData);
        appState.trayIconAdded = false;
    }
}

void hideToTray() {
    if (!appState.trayIconAdded) {
        addTrayIcon();
        if (!appState.trayIconAdded) {
            return;
        }
    }
    ShowWindow(appState.mainWindow, SW_HIDE);
}

void showWindowAsItWas(HWND window) {
    // SW_RESTORE would also take a maximized window down to its normal size.
    ShowWindow(window, IsIconic(window) ? SW_RESTORE : SW_SHOW);
}

void restoreMainWindow() {
    showWindowAsItWas(appState.mainWindow);
    SetForegroundWindow(appState.mainWindow);
}

HMENU buildTrayMenu() {
    HMENU menu = CreatePopupMenu();
    if (menu) {
        AppendMenuW(menu, MF_STRING, IDM_TRAY_OPEN, localizedText(TextId::OpenApp));
        AppendMenuW(menu, MF_STRING, IDM_TRAY_EXIT, localizedText(TextId::Exit));
    }
    return menu;
}

void runTrayMenuChoice(UINT item) {
    if (item == IDM_TRAY_OPEN) {
        restoreMainWindow();
    } else if (item == IDM_TRAY_EXIT) {
        PostMessageW(appState.mainWindow, WM_COMMAND, IDM_EXIT, 0);
    }
}

namespace {

void showTrayMenu() {
    HMENU menu = buildTrayMenu();
    if (!menu) {
        return;
    }
    POINT cursor{};
    GetCursorPos(&cursor);
    // The window must be in the foreground, or the menu does not close when the user clicks
    // elsewhere.
    SetForegroundWindow(appState.mainWindow);
    const UINT item =
        static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, cursor.x, cursor.y,
                                         0, appState.mainWindow, nullptr));
    DestroyMenu(menu);
    runTrayMenuChoice(item);
    // Lets the menu's own window finish closing before the next click on the icon.
    PostMessageW(appState.mainWindow, WM_NULL, 0, 0);
}

} // namespace

void trayIconEvent(LPARAM lParam) {
    switch (LOWORD(lParam)) {
    case WM_LBUTTONUP:
    case NIN_SELECT:
    case NIN_KEYSELECT:
        restoreMainWindow();
        break;
    // Under version 4 one right click sends WM_RBUTTONUP and then WM_CONTEXTMENU (which the
    // menu key sends alone); answering both would open two nested menus.
    case WM_CONTEXTMENU:
        showTrayMenu();
        break;
    case WM_RBUTTONUP:
        if (appState.trayIconData.uVersion != NOTIFYICON_VERSION_4) {
            showTrayMenu();
        }
        break;
    default:
        break;
    }
}

UINT taskbarCreatedMessage() {
    if (appState.taskbarCreatedMessage == 0) {
        appState.taskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");
    }
    return appState.taskbarCreatedMessage;
}
