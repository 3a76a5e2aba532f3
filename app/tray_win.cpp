// Hiding the main window to the notification area. The icon itself is not added yet, so for
// now the window is never hidden.
#include "app/tray.h"

#include "core/app_state.h"

void hideToTray() {
    if (!appState.trayIconAdded) {
        return;
    }
    ShowWindow(appState.mainWindow, SW_HIDE);
}
