// The interface's colours from the high-contrast switch: read at start and again whenever
// Windows announces a change of settings or of the system colours.
#include "app/colour_scheme.h"

#include "core/app_state.h"
#include "core/palette.h"

#include <windows.h>

namespace {

bool systemHighContrastIsOn() {
    HIGHCONTRASTW setting{};
    setting.cbSize = sizeof(setting);
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(setting), &setting, 0) &&
           (setting.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

std::uint32_t systemColour(int index) {
    return argbOfColorRef(GetSysColor(index));
}

} // namespace

bool (*highContrastIsOn)() = &systemHighContrastIsOn;

bool followSystemColours() {
    const InterfaceColours colours =
        highContrastIsOn()
            ? highContrastColours({systemColour(COLOR_WINDOW), systemColour(COLOR_WINDOWTEXT),
                                   systemColour(COLOR_BTNFACE), systemColour(COLOR_BTNTEXT),
                                   systemColour(COLOR_HIGHLIGHT), systemColour(COLOR_HIGHLIGHTTEXT),
                                   systemColour(COLOR_GRAYTEXT)})
            : FixedColours;
    if (colours == appState.colours) {
        return false;
    }
    appState.colours = colours;
    // A control uses the brush it is handed only while it paints, and asks again next time.
    appState.panelBrush.reset();
    appState.modalBrush.reset();
    for (HWND window : {appState.mainWindow, appState.importDialog, appState.helpWindow}) {
        if (window) {
            RedrawWindow(window, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        }
    }
    return true;
}
