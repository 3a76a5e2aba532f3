// The entry sequence of the program, its message loop and its shutdown, in the fixed order
// the rest of the program relies on.
#include "app/startup.h"

#include "app/commands.h"
#include "app/layout.h"
#include "app/main_window.h"
#include "app/tray.h"
#include "core/app_state.h"
#include "core/handles_win.h"
#include "core/palette.h"
#include "core/text_table.h"
#include "import/modal_window.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <knownfolders.h>
#include <gdiplus.h>

#include <memory>

namespace {

std::wstring localAppDataDir() {
    PWSTR raw = nullptr;
    const HRESULT result = SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &raw);
    // The buffer is the shell's to allocate and ours to free, even on failure.
    UniqueTaskMem<wchar_t> path(raw);
    return SUCCEEDED(result) ? appDataDirFor(path.get()) : std::wstring();
}

// True when another instance owns the mutex; its window has then been brought forward.
bool handOverToRunningInstance(UniqueHandle& mutex) {
    mutex.reset(CreateMutexW(nullptr, TRUE, SingleInstanceMutexName));
    if (!mutex || GetLastError() != ERROR_ALREADY_EXISTS) {
        return false;
    }
    if (HWND running = FindWindowW(MainWindowClass, nullptr)) {
        // This also brings a window back that hides in the tray.
        showWindowAsItWas(running);
        SetForegroundWindow(running);
    }
    mutex.reset();
    return true;
}

void shutDown(UniqueHandle& mutex) {
    appState.firstImage.reset();
    appState.secondImage.reset();
    appState.uiFont.reset();
    Gdiplus::GdiplusShutdown(appState.gdiplusToken);
    CoUninitialize();
    mutex.reset();
}

} // namespace

HFONT createUiFont(float scale) {
    return CreateFontW(uiFontHeight(scale), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, UiFontFace);
}

void registerWindowClasses() {
    WNDCLASSW mainClass{};
    mainClass.style = 0;
    mainClass.lpfnWndProc = guardedMainWindowProc;
    mainClass.hInstance = appState.instanceHandle;
    mainClass.hIcon = LoadIconW(appState.instanceHandle, MAKEINTRESOURCEW(1));
    mainClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    mainClass.hbrBackground = nullptr; // the window paints all of its client area itself
    mainClass.lpszClassName = MainWindowClass;
    RegisterClassW(&mainClass);

    WNDCLASSW modalClass = mainClass;
    modalClass.lpfnWndProc = guardedModalWindowProc;
    // The modal window erases with the brush of its controls, which follows high contrast.
    modalClass.hbrBackground = nullptr;
    modalClass.lpszClassName = ModalWindowClass;
    RegisterClassW(&modalClass);
}

HWND createMainWindow() {
    // WS_CLIPCHILDREN keeps the window's own paint off its controls; without it every
    // repaint covers them until they repaint themselves, and they flicker.
    HWND window =
        CreateWindowExW(WS_EX_CONTROLPARENT | WS_EX_ACCEPTFILES, MainWindowClass, MainWindowTitle,
                        WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                        scaled(InitialWindowWidth), scaled(InitialWindowHeight), nullptr, nullptr,
                        appState.instanceHandle, nullptr);
    if (window) {
        fitMainWindowToWorkArea(window);
    }
    return window;
}

void runMessageLoop() {
    MSG message{};
    // GetMessageW answers -1 on error; only a positive answer carries a message.
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        HWND target = appState.importDialog ? appState.importDialog
                      : appState.helpWindow ? appState.helpWindow
                                            : appState.mainWindow;
        if (target && IsDialogMessageW(target, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

int runDriftpane(HINSTANCE instance, int showCommand) {
    // Before any file is touched: a path on an empty removable drive then fails like any
    // missing file instead of raising the system's "no disk" box. Inherited bits stay.
    SetErrorMode(GetErrorMode() | SEM_FAILCRITICALERRORS);
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    SetDllDirectoryW(L""); // takes the current directory out of the search order
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    appState.instanceHandle = instance;
    chooseLanguage();

    UniqueHandle mutex;
    if (handOverToRunningInstance(mutex)) {
        return ExitNormal;
    }

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Gdiplus::GdiplusStartupInput gdiplusInput;
    if (Gdiplus::GdiplusStartup(&appState.gdiplusToken, &gdiplusInput, nullptr) != Gdiplus::Ok) {
        // The early exits leave every release to the system.
        mutex.release(); // NOLINT(bugprone-unused-return-value)
        return ExitGdiplusFailed;
    }
    appState.appDataDir = localAppDataDir();
    appState.uiScale = static_cast<float>(GetDpiForSystem()) / 96.0f;
    appState.uiFont.reset(createUiFont(appState.uiScale));

    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                  ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    registerWindowClasses();

    HWND window = createMainWindow();
    if (!window) {
        mutex.release(); // NOLINT(bugprone-unused-return-value): left to the system, as above
        return ExitWindowFailed;
    }
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    runMessageLoop();
    shutDown(mutex);
    return ExitNormal;
}
