// The "DriftpaneModal" window: the import dialog and the help box, their controls, their
// keyboard meaning inside the dialog navigation of the message loop, colours, DPI changes
// and closing.
#include "import/modal_window.h"

#include "accessibility/accessibility.h"
#include "app/controls.h"
#include "app/layout.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "core/app_state.h"
#include "core/palette.h"

#include <commctrl.h>

#include <span>
#include <string>
#include <utility>

namespace {

constexpr COLORREF ModalPaper = colorRefOf(Palette::Paper);
constexpr COLORREF ModalInk = colorRefOf(Palette::Ink);

constexpr DWORD PathStyles = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD YearStyles = WS_BORDER | WS_TABSTOP | ES_NUMBER;
constexpr DWORD ButtonStyles = WS_TABSTOP | BS_OWNERDRAW;

// Longest path the path fields take: within the system's own limit of 32,767 characters.
constexpr WPARAM MaxPathChars = 32760;
constexpr WPARAM MaxYearChars = 4;

// One control of a modal window, in device-independent units: its text from the table, or
// the literal when there is one.
struct ModalControl {
    const wchar_t* className;
    int id;
    TextId text;
    const wchar_t* literal;
    DWORD styles;
    float x, y, width, height;
};

constexpr TextId NoText = TextId::Tagline; // with a literal the id is not read

// In creation order, which is also the order of Tab.
constexpr ModalControl ImportControls[] = {
    {L"STATIC", 0, TextId::DropHint, nullptr, 0, 24, 20, 640, 30},
    {L"STATIC", 0, TextId::FirstPhotoPath, nullptr, 0, 24, 66, 630, 22},
    {L"EDIT", IDC_FIRST_PATH, NoText, L"", PathStyles, 24, 92, 630, 32},
    {L"STATIC", 0, TextId::SecondPhotoPath, nullptr, 0, 24, 142, 630, 22},
    {L"EDIT", IDC_SECOND_PATH, NoText, L"", PathStyles, 24, 168, 630, 32},
    {L"STATIC", 0, TextId::FirstYear, nullptr, 0, 24, 218, 160, 22},
    {L"EDIT", IDC_FIRST_YEAR_EDIT, NoText, L"2000", YearStyles, 24, 246, 150, 32},
    {L"STATIC", 0, TextId::SecondYear, nullptr, 0, 204, 218, 160, 22},
    {L"EDIT", IDC_SECOND_YEAR_EDIT, NoText, L"2024", YearStyles, 204, 246, 150, 32},
    {L"STATIC", 0, TextId::FitNote, nullptr, 0, 24, 300, 630, 48},
    {L"STATIC", IDC_IMPORT_MESSAGE, NoText, L"", 0, 24, 360, 630, 52},
    {L"BUTTON", IDC_IMPORT, TextId::ImportPair, nullptr, ButtonStyles, 350, 426, 160, 38},
    {L"BUTTON", IDC_MODAL_CLOSE, TextId::Cancel, nullptr, ButtonStyles, 526, 426, 128, 38},
};

// The help text is a tab stop, so that the keyboard can reach, scroll and read it.
constexpr ModalControl HelpControls[] = {
    {L"EDIT", IDC_HELP_TEXT, TextId::HelpText, nullptr,
     WS_TABSTOP | WS_VSCROLL | ES_READONLY | ES_MULTILINE, 22, 20, 660, 510},
    {L"BUTTON", IDC_MODAL_CLOSE, TextId::Cancel, nullptr, ButtonStyles, 540, 548, 140, 36},
};

struct ModalGeometry {
    float width, height;
};
constexpr ModalGeometry ImportGeometry{710, 520};
constexpr ModalGeometry HelpGeometry{710, 635};
// Where the modal window opens, from the main window's outer top-left corner.
constexpr float ModalOffsetX = 100;
constexpr float ModalOffsetY = 60;

// The control that had the focus when the open modal window opened: it gets it back.
HWND modalOpener = nullptr;

// The edit control breaks lines only at a carriage return and line feed; the texts keep
// their paragraphs apart with line feeds alone.
std::wstring withWindowsLineBreaks(const wchar_t* text) {
    std::wstring out;
    for (const wchar_t* c = text; *c; ++c) {
        if (*c == L'\n' && (c == text || c[-1] != L'\r')) {
            out += L'\r';
        }
        out += *c;
    }
    return out;
}

std::wstring controlText(const ModalControl& control) {
    if (control.literal) {
        return control.literal;
    }
    return withWindowsLineBreaks(localizedText(control.text));
}

std::span<const ModalControl> controlsOf(ModalKind kind) {
    return kind == ModalKind::ImportMode ? std::span<const ModalControl>(ImportControls)
                                         : std::span<const ModalControl>(HelpControls);
}

// A multi-line edit asks the dialog navigation for every key, Tab and Escape included, so
// the keyboard could enter the help text but never leave it, nor close the box from it. It
// keeps the arrow and page keys that scroll it; the rest is the dialog's.
LRESULT CALLBACK helpTextProc(HWND text, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR) {
    const LRESULT result = DefSubclassProc(text, message, wParam, lParam);
    if (message == WM_GETDLGCODE) {
        return result & ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
    }
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(text, helpTextProc, 1);
    }
    return result;
}

void createModalControls(HWND window, ModalKind kind) {
    for (const ModalControl& c : controlsOf(kind)) {
        createControl(window, c.className, controlText(c).c_str(), c.styles, c.id, c.x, c.y,
                      c.width, c.height);
    }
    if (kind == ModalKind::ImportMode) {
        for (int id : {IDC_FIRST_PATH, IDC_SECOND_PATH}) {
            SendDlgItemMessageW(window, id, EM_LIMITTEXT, MaxPathChars, 0);
        }
        for (int id : {IDC_FIRST_YEAR_EDIT, IDC_SECOND_YEAR_EDIT}) {
            SendDlgItemMessageW(window, id, EM_LIMITTEXT, MaxYearChars, 0);
        }
        DragAcceptFiles(window, TRUE);
    } else {
        SetWindowSubclass(GetDlgItem(window, IDC_HELP_TEXT), helpTextProc, 1, 0);
    }
}

LRESULT modalWindowOnCreate(HWND window, LPARAM lParam) {
    const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    const auto kind = static_cast<ModalKind>(reinterpret_cast<INT_PTR>(creation->lpCreateParams));
    createModalControls(window, kind);
    makeModalWindowAccessible(window);
    // As the main window does: focus rectangles only once the keyboard is in use.
    SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS), 0);
    return 0;
}

LRESULT modalWindowOnCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
    case IDC_MODAL_CLOSE:
    case IDCANCEL: // Escape, through the dialog navigation of the message loop
        closeModalWindow(window);
        return 0;
    case IDC_IMPORT:
        // A double click also sends BN_DOUBLECLICKED; the import runs once per click.
        if (HIWORD(wParam) == BN_CLICKED) {
            importLocalPair(window);
        }
        return 0;
    case IDOK:
        // Enter. Owner-drawn buttons never become default buttons, so the dialog navigation
        // sends IDOK even while "Cancel" has the focus; the user then means Cancel.
        if (window != appState.importDialog) {
            return DefWindowProcW(window, WM_COMMAND, wParam, lParam);
        }
        if (GetFocus() == GetDlgItem(window, IDC_MODAL_CLOSE)) {
            closeModalWindow(window);
        } else {
            importLocalPair(window);
        }
        return 0;
    default:
        return DefWindowProcW(window, WM_COMMAND, wParam, lParam);
    }
}

LRESULT modalWindowOnDestroy(HWND window) {
    if (appState.importDialog == window) {
        appState.importDialog = nullptr;
    }
    if (appState.helpWindow == window) {
        appState.helpWindow = nullptr;
    }
    // Every close path enables the main window before the destruction already; this catches
    // a modal window destroyed some other way, with its owner for instance.
    if (appState.mainWindow) {
        EnableWindow(appState.mainWindow, TRUE);
        SetForegroundWindow(appState.mainWindow);
    }
    return 0;
}

// "Import pair" is the dialog's main action; Cancel is a plain button in both modes.
LRESULT modalWindowOnDrawItem(HWND window, WPARAM wParam, LPARAM lParam) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item->CtlType != ODT_BUTTON) {
        return DefWindowProcW(window, WM_DRAWITEM, wParam, lParam);
    }
    const bool accent = static_cast<int>(item->CtlID) == IDC_IMPORT;
    drawOwnerButton(*item, accent ? ButtonLook::Accent : ButtonLook::Plain);
    return 1;
}

// One scale and one font serve the whole program, so the main window's controls follow
// the new scale as well, although that window may stay on its own monitor.
LRESULT modalWindowOnDpiChanged(HWND window, WPARAM wParam, LPARAM lParam) {
    adoptDpiChange(window, wParam, lParam);
    renewUiFont();
    layoutModalControls();
    layoutControls();
    return 0;
}

LRESULT modalWindowOnColor(WPARAM wParam) {
    return answerControlColour(wParam, ModalPaper, ModalInk, appState.modalBrush);
}

} // namespace

void openModalWindow(ModalKind kind) {
    if (appState.importDialog || appState.helpWindow) {
        return;
    }
    const bool import = kind == ModalKind::ImportMode;
    const ModalGeometry& size = import ? ImportGeometry : HelpGeometry;
    RECT owner{};
    GetWindowRect(appState.mainWindow, &owner);
    HWND window = CreateWindowExW(
        WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME, ModalWindowClass,
        import ? localizedText(TextId::ImportTitle) : HelpTitle, WS_CAPTION | WS_SYSMENU,
        owner.left + scaled(ModalOffsetX), owner.top + scaled(ModalOffsetY), scaled(size.width),
        scaled(size.height), appState.mainWindow, nullptr, appState.instanceHandle,
        reinterpret_cast<LPVOID>(static_cast<INT_PTR>(kind)));
    if (!window) {
        return;
    }
    (import ? appState.importDialog : appState.helpWindow) = window;
    modalOpener = GetFocus();
    EnableWindow(appState.mainWindow, FALSE);
    ShowWindow(window, SW_SHOW);
    SetFocus(GetDlgItem(window, import ? IDC_FIRST_PATH : IDC_MODAL_CLOSE));
}

void closeModalWindow(HWND window) {
    // While the owner is disabled Windows would activate some other program's window when
    // this one goes, and ours would then jump back in front of it.
    if (appState.mainWindow) {
        EnableWindow(appState.mainWindow, TRUE);
    }
    DestroyWindow(window);
    // The main window, activated again, gives the focus to itself; the user expects it back
    // on the button that opened the window, if that button can still take it.
    HWND opener = std::exchange(modalOpener, nullptr);
    if (opener && IsWindow(opener) && IsWindowVisible(opener) && IsWindowEnabled(opener) &&
        GetAncestor(opener, GA_ROOT) == appState.mainWindow) {
        SetFocus(opener);
    }
}

void layoutModalControls() {
    HWND window = appState.importDialog ? appState.importDialog : appState.helpWindow;
    if (!window) {
        return;
    }
    const ModalKind kind =
        window == appState.importDialog ? ModalKind::ImportMode : ModalKind::HelpMode;
    // The statics all have id 0; the child list keeps the controls in creation order, which
    // is the table's.
    HWND child = GetWindow(window, GW_CHILD);
    for (const ModalControl& c : controlsOf(kind)) {
        if (!child) {
            break;
        }
        MoveWindow(child, scaled(c.x), scaled(c.y), scaled(c.width), scaled(c.height), TRUE);
        child = GetWindow(child, GW_HWNDNEXT);
    }
}

LRESULT CALLBACK modalWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return modalWindowOnCreate(window, lParam);
    case WM_COMMAND:
        return modalWindowOnCommand(window, wParam, lParam);
    case WM_CLOSE:
        closeModalWindow(window);
        return 0;
    case WM_DESTROY:
        return modalWindowOnDestroy(window);
    case WM_DRAWITEM:
        return modalWindowOnDrawItem(window, wParam, lParam);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
        return modalWindowOnColor(wParam);
    case WM_DROPFILES:
        acceptDroppedFiles(window, reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_DPICHANGED:
        return modalWindowOnDpiChanged(window, wParam, lParam);
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK guardedModalWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return callModalGuarded(window,
                            [&] { return modalWindowProc(window, message, wParam, lParam); });
}
