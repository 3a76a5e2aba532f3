// Hiding the main window to the notification area. Windows only.
#pragma once

// Hides the main window when a tray icon exists to bring it back; without one the window
// stays as it is, so that it never becomes unreachable.
void hideToTray();
