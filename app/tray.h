// The notification-area icon: added with the main window, it brings a hidden window back
// and carries the menu whose Exit is the only way to end the program. Windows only.
#pragma once

#include <windows.h>

// The icon's callback message.
inline constexpr UINT WM_APP_TRAY = WM_APP + 1;

// Items of the tray menu.
inline constexpr UINT IDM_TRAY_OPEN = 1;
inline constexpr UINT IDM_TRAY_EXIT = 2;

// Registers the icon with the shell; trayIconAdded tells whether it took it.
void addTrayIcon();

// Removes the icon, if there is one.
void removeTrayIcon();

// Hides the main window when a tray icon exists (adding it once more if needed); without
// one the window stays as it is, so that it never becomes unreachable.
void hideToTray();

// Shows a window again as it was before it went to the tray: a maximized window stays
// maximized, only a minimized one is restored. Every way back from the tray uses it.
void showWindowAsItWas(HWND window);

// Shows the main window (also out of the tray) and brings it to the foreground.
void restoreMainWindow();

// The icon's callback (WM_APP_TRAY): the event is in the low 16 bits of lParam.
void trayIconEvent(LPARAM lParam);

// The menu with "Open" and "Exit" in the current language; the caller destroys it.
HMENU buildTrayMenu();

// Carries out a menu choice (0 when nothing was chosen).
void runTrayMenuChoice(UINT item);

// The message number of "TaskbarCreated", registered on first use.
UINT taskbarCreatedMessage();
