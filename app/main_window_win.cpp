// The main window: dispatch of its procedure, creation of its controls, layout, the look of
// its owner-drawn buttons, panel colours, minimum size, clock strip, DPI and language changes.
#include "app/main_window.h"

#include "accessibility/accessibility.h"
#include "app/colour_scheme.h"
#include "app/commands.h"
#include "app/control_ids.h"
#include "app/controls.h"
#include "app/layout.h"
#include "app/tray.h"
#include "archive/archive_selection.h"
#include "archive/catalog.h"
#include "core/app_state.h"
#include "core/palette.h"
#include "core/text_table.h"
#include "download/fetch_job.h"
#include "import/modal_window.h"
#include "pairs/saved_pairs.h"
#include "render/main_paint.h"

#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

namespace {

constexpr wchar_t FolderButtonText[] = L"LocalAppData / Driftpane";
constexpr wchar_t SliderText[] = L"Comparison";

constexpr DWORD ButtonStyles = WS_TABSTOP | BS_OWNERDRAW;
constexpr DWORD ComboStyles = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;

// The buttons whose label follows the interface language, in the order they are created.
struct TextButton {
    int id;
    TextId text;
};
constexpr TextButton TextButtons[] = {
    {IDC_LOCAL_PHOTOS, TextId::LocalPhotos},
    {IDC_LOAD_YEARS, TextId::LoadYears},
    {IDC_FETCH, TextId::FetchFromArchive},
    {IDC_SAVE_PAIR, TextId::SavePair},
    {IDC_EXPORT_PNG, TextId::ExportPng},
    {IDC_SWAP, TextId::Swap},
    {IDC_FIT, TextId::Fit},
    {IDC_HIDE_TO_TRAY, TextId::HideToTray},
    {IDC_HELP, TextId::HelpLabel},
};

struct ClientSize {
    std::int32_t width;
    std::int32_t height;
};

ClientSize clientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right - client.left, client.bottom - client.top};
}

void createMainControls(HWND window) {
    auto button = [window](const wchar_t* text, int id) {
        createControl(window, L"BUTTON", text, ButtonStyles, id, 0, 0, 1, 1);
    };
    for (int place = 0; place < PlaceCount; ++place) {
        button(placeNames[place], IDC_PLACE_FIRST + place);
    }
    for (const TextButton& entry : TextButtons) {
        button(localizedText(entry.text), entry.id);
    }
    button(FolderButtonText, IDC_OPEN_FOLDER);
    createControl(window, L"COMBOBOX", localizedText(TextId::FirstYear), ComboStyles,
                  IDC_FIRST_YEAR, 0, 0, 1, 1);
    createControl(window, L"COMBOBOX", localizedText(TextId::SecondYear), ComboStyles,
                  IDC_SECOND_YEAR, 0, 0, 1, 1);
    HWND slider = createControl(window, TRACKBAR_CLASSW, SliderText, WS_TABSTOP | TBS_NOTICKS,
                                IDC_COMPARISON, 0, 0, 1, 1);
    SendMessageW(slider, TBM_SETRANGE, TRUE, MAKELPARAM(0, 1000));
    SendMessageW(slider, TBM_SETPAGESIZE, 0, 100);
    createControl(window, L"LISTBOX", localizedText(TextId::SavedPairs),
                  WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY, IDC_SAVED_PAIRS, 0, 0, 1, 1);
}

LRESULT mainWindowOnCreate(HWND window) {
    appState.mainWindow = window;
    followSystemColours();
    createMainControls(window);
    fillYearCombos();
    loadSelectedYears();
    refreshSavedPairs();
    layoutControls();
    addTrayIcon();
    SetTimer(window, IDT_CLOCK, 1000, nullptr);
    DragAcceptFiles(window, TRUE);
    // Dialogs start with their keyboard cues set from the last input; a plain window does
    // not, so its buttons would draw focus rectangles after a mouse click.
    SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS), 0);
    makeMainWindowAccessible(window);
    return 0;
}

LRESULT mainWindowOnDestroy(HWND window) {
    KillTimer(window, IDT_CLOCK);
    removeTrayIcon();
    PostQuitMessage(0);
    return 0;
}

LRESULT mainWindowOnSize(HWND window, WPARAM kind) {
    if (kind == SIZE_MINIMIZED) {
        hideToTray();
        return 0;
    }
    layoutControls();
    InvalidateRect(window, nullptr, FALSE);
    return 0;
}

LRESULT mainWindowOnClose() {
    // Closing never ends the program; only the tray menu's Exit does.
    hideToTray();
    return 0;
}

LRESULT mainWindowOnTaskbarCreated() {
    // The shell restarted and forgot the icon, or somebody broadcast the message anyway.
    addTrayIcon();
    return 0;
}

LRESULT mainWindowOnTrayIcon(LPARAM lParam) {
    trayIconEvent(lParam);
    return 0;
}

LRESULT mainWindowOnSettingChange(HWND window) {
    // High contrast switched on or off arrives as a setting change.
    followSystemColours();
    chooseLanguage();
    for (const TextButton& entry : TextButtons) {
        SetDlgItemTextW(window, entry.id, localizedText(entry.text));
    }
    SetDlgItemTextW(window, IDC_OPEN_FOLDER, FolderButtonText);
    // The list's placeholder follows the language.
    refreshSavedPairs();
    setStatus(TextId::Ready, false);
    return 0;
}

LRESULT mainWindowOnSysColorChange(HWND window, WPARAM wParam, LPARAM lParam) {
    // Only top-level windows hear of it; common controls such as the slider follow the new
    // colours once their window passes it on.
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        SendMessageW(child, WM_SYSCOLORCHANGE, wParam, lParam);
    }
    followSystemColours();
    return 0;
}

LRESULT mainWindowOnClockTick(HWND window) {
    // The clock lives in the bottom strip; a window hidden in the tray is not repainted.
    if (!IsWindowVisible(window)) {
        return 0;
    }
    RECT strip{};
    GetClientRect(window, &strip);
    strip.top = strip.bottom - scaled(ClockStripHeight);
    InvalidateRect(window, &strip, FALSE);
    return 0;
}

LRESULT mainWindowOnGetMinMaxInfo(HWND window, LPARAM lParam) {
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    // At a high scale on a small screen the minimum would reach past the screen's edge and
    // push the bottom row out of reach; the work area caps it.
    const RECT work = monitorWorkArea(window);
    info->ptMinTrackSize.x = std::min<LONG>(scaled(MinWindowWidth), work.right - work.left);
    info->ptMinTrackSize.y = std::min<LONG>(scaled(MinWindowHeight), work.bottom - work.top);
    return 0;
}

// Save is the window's main action; the place of the archive pair on display is the chosen
// one, and after a local import none is.
ButtonLook mainButtonLook(int id) {
    if (id == IDC_SAVE_PAIR) {
        return ButtonLook::Accent;
    }
    const bool selectedPlace =
        id == IDC_PLACE_FIRST + appState.selectedPlace && !appState.isLocalPair;
    return selectedPlace ? ButtonLook::Selected : ButtonLook::Plain;
}

LRESULT mainWindowOnDrawItem(HWND window, WPARAM wParam, LPARAM lParam) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item->CtlType != ODT_BUTTON) {
        return DefWindowProcW(window, WM_DRAWITEM, wParam, lParam);
    }
    drawOwnerButton(*item, mainButtonLook(static_cast<int>(item->CtlID)));
    return 1;
}

LRESULT mainWindowOnPanelColor(WPARAM wParam) {
    return answerControlColour(wParam, colorRefOf(appState.colours.controlBackground),
                               colorRefOf(appState.colours.controlText), appState.panelBrush);
}

LRESULT mainWindowOnGetDlgCode() {
    // The message loop offers every key to IsDialogMessageW, which would spend the arrow keys
    // on moving the focus between controls; while the window itself has the focus they move
    // the divider instead. Tab, Enter and Escape keep their dialog meaning.
    return DLGC_WANTARROWS;
}

LRESULT mainWindowOnKeyDown(WPARAM key) {
    // The key message does not carry the Shift state; the thread's key state at the time
    // the message was posted does.
    const bool shiftDown = GetKeyState(VK_SHIFT) < 0;
    runViewEffects(pressKey(appState, static_cast<std::int32_t>(key), shiftDown));
    return 0;
}

LRESULT mainWindowOnHScroll(HWND window, LPARAM lParam) {
    HWND slider = GetDlgItem(window, IDC_COMPARISON);
    if (slider && reinterpret_cast<HWND>(lParam) == slider) {
        const auto position = static_cast<std::int32_t>(SendMessageW(slider, TBM_GETPOS, 0, 0));
        runViewEffects(sliderMoved(appState, position));
    }
    return 0;
}

// Mouse positions are signed: while the mouse is captured they go negative left of and
// above the client area.
LRESULT mainWindowOnMouseMove(HWND window, LPARAM lParam) {
    const ClientSize size = clientSize(window);
    runViewEffects(
        moveMouse(appState, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), size.width, size.height));
    return 0;
}

LRESULT mainWindowOnLButtonDown(HWND window, WPARAM wParam, LPARAM lParam) {
    const ClientSize size = clientSize(window);
    const bool shiftDown = (wParam & MK_SHIFT) != 0;
    runViewEffects(pressInView(appState, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), shiftDown,
                               size.width, size.height));
    return 0;
}

LRESULT mainWindowOnLButtonUp() {
    runViewEffects(releaseButton(appState));
    return 0;
}

LRESULT mainWindowOnMouseWheel(HWND window, WPARAM wParam, LPARAM lParam) {
    // The wheel message carries screen coordinates.
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(window, &point);
    const ClientSize size = clientSize(window);
    const bool deltaPositive = GET_WHEEL_DELTA_WPARAM(wParam) > 0;
    runViewEffects(turnWheel(appState, point.x, point.y, deltaPositive, size.width, size.height));
    return 0;
}

LRESULT mainWindowOnCaptureChanged() {
    runViewEffects(captureLost(appState));
    return 0;
}

LRESULT mainWindowOnDpiChanged(HWND window, WPARAM wParam, LPARAM lParam) {
    // The size change this causes already runs layoutControls, with the old font still set.
    adoptDpiChange(window, wParam, lParam);
    renewUiFont();
    layoutControls();
    // An open dialog follows the one scale of the program.
    layoutModalControls();
    return 0;
}

} // namespace

RECT monitorWorkArea(HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    RECT primaryWork{};
    const bool havePrimaryWork = SystemParametersInfoW(SPI_GETWORKAREA, 0, &primaryWork, 0);
    if (!GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info)) {
        return primaryWork;
    }
    // On Windows the primary monitor's work area is the system's work area; Wine's monitor
    // query leaves out a work area set through SystemParametersInfo, so both are asked.
    RECT both{};
    if ((info.dwFlags & MONITORINFOF_PRIMARY) && havePrimaryWork &&
        IntersectRect(&both, &info.rcWork, &primaryWork)) {
        return both;
    }
    return info.rcWork;
}

void fitMainWindowToWorkArea(HWND window) {
    RECT current{};
    GetWindowRect(window, &current);
    const RECT work = monitorWorkArea(window);
    const PixelRect fitted =
        fitIntoWorkArea({current.left, current.top, current.right, current.bottom},
                        {work.left, work.top, work.right, work.bottom});
    if (fitted.left != current.left || fitted.top != current.top || fitted.right != current.right ||
        fitted.bottom != current.bottom) {
        SetWindowPos(window, nullptr, fitted.left, fitted.top, fitted.right - fitted.left,
                     fitted.bottom - fitted.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void moveControl(int id, float x, float y, float width, float height) {
    MoveWindow(GetDlgItem(appState.mainWindow, id), scaled(x), scaled(y), scaled(width),
               scaled(height), TRUE);
}

void layoutControls() {
    if (!appState.mainWindow) {
        return;
    }
    const ClientSize size = clientSize(appState.mainWindow);
    for (const UnitRect& rect : layoutFor(size.width, size.height, appState.uiScale)) {
        moveControl(rect.id, rect.x, rect.y, rect.width, rect.height);
    }
}

void runViewEffects(const ViewEffects& effects) {
    HWND window = appState.mainWindow;
    for (const ViewEffect& effect : effects) {
        switch (effect.kind) {
        case ViewEffectKind::SetSlider:
            if (window) {
                SendDlgItemMessageW(window, IDC_COMPARISON, TBM_SETPOS, TRUE,
                                    static_cast<LPARAM>(effect.sliderPosition));
            }
            break;
        case ViewEffectKind::RepaintWindow:
            if (window) {
                InvalidateRect(window, nullptr, FALSE);
            }
            break;
        case ViewEffectKind::CaptureMouse:
            SetCapture(window);
            break;
        case ViewEffectKind::ReleaseMouse:
            ReleaseCapture();
            break;
        case ViewEffectKind::FocusMainWindow:
            SetFocus(window);
            break;
        case ViewEffectKind::HideToTray:
            hideToTray();
            break;
        case ViewEffectKind::SyncYearControls:
            syncYearControls();
            break;
        }
    }
    // A drag, a key, the slider, Swap, Fit or a new pair: the divider or the pair's names
    // may have changed, and readers hear of it only from an event.
    if (!effects.empty()) {
        noticeAccessibleChanges();
    }
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == taskbarCreatedMessage()) {
        return mainWindowOnTaskbarCreated();
    }
    switch (message) {
    case WM_CREATE:
        return mainWindowOnCreate(window);
    case WM_DESTROY:
        return mainWindowOnDestroy(window);
    case WM_SIZE:
        return mainWindowOnSize(window, wParam);
    case WM_PAINT:
        paintMainWindow(window);
        return 0;
    case WM_CLOSE:
        return mainWindowOnClose();
    case WM_ERASEBKGND:
        return 1; // painting covers the whole client area
    case WM_SETTINGCHANGE:
        return mainWindowOnSettingChange(window);
    case WM_SYSCOLORCHANGE:
        return mainWindowOnSysColorChange(window, wParam, lParam);
    case WM_TIMER:
    case WM_TIMECHANGE:
        return mainWindowOnClockTick(window);
    case WM_GETMINMAXINFO:
        return mainWindowOnGetMinMaxInfo(window, lParam);
    case WM_DRAWITEM:
        return mainWindowOnDrawItem(window, wParam, lParam);
    case WM_GETDLGCODE:
        return mainWindowOnGetDlgCode();
    case WM_KEYDOWN:
        return mainWindowOnKeyDown(wParam);
    case WM_COMMAND:
        return mainWindowOnCommand(window, wParam, lParam);
    case WM_HSCROLL:
        return mainWindowOnHScroll(window, lParam);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
        return mainWindowOnPanelColor(wParam);
    case WM_MOUSEMOVE:
        return mainWindowOnMouseMove(window, lParam);
    case WM_LBUTTONDOWN:
        return mainWindowOnLButtonDown(window, wParam, lParam);
    case WM_LBUTTONUP:
        return mainWindowOnLButtonUp();
    case WM_MOUSEWHEEL:
        return mainWindowOnMouseWheel(window, wParam, lParam);
    case WM_CAPTURECHANGED:
        return mainWindowOnCaptureChanged();
    case WM_DROPFILES:
        acceptDroppedFiles(window, reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_DPICHANGED:
        return mainWindowOnDpiChanged(window, wParam, lParam);
    case WM_APP_TRAY:
        return mainWindowOnTrayIcon(lParam);
    case WM_APP_FETCH_DONE:
        return mainWindowOnFetchDone(lParam);
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
