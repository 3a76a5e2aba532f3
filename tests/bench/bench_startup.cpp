// Start-up time of the real program: from CreateProcess of Driftpane.exe until its window
// shows the default pair, read back from the screen, so the program needs no hook of its own.
#include "tests/bench/bench.h"

#include "app/control_ids.h"
#include "core/app_state.h"
#include "core/view_controller.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr int Runs = 3;
constexpr COLORREF PaperPixel = RGB(0xF4, 0xF0, 0xE8);
constexpr COLORREF ViewBackgroundPixel = RGB(0x1B, 0x27, 0x28);

std::wstring programPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L"\\/") + 1);
    return folder + L"Driftpane.exe";
}

struct Search {
    DWORD processId;
    HWND found = nullptr;
};

BOOL CALLBACK findProgramWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    if (owner == search->processId && std::wstring(className) == L"DriftpaneMain") {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

COLORREF screenPixel(HWND window, int x, int y) {
    POINT point{x, y};
    ClientToScreen(window, &point);
    HDC screen = GetDC(nullptr);
    const COLORREF color = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return color;
}

// The paint is double-buffered, so once the paper beside the view is on screen the whole
// client area is; the view's left quarter must then show the first photo.
bool showsDefaultPair(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    // The started program runs at 96 DPI, where units are pixels.
    const ViewRect view = viewRect(AppState{}, client.right, client.bottom);
    if (screenPixel(window, 260, 100) != PaperPixel) {
        return false;
    }
    const COLORREF photo = screenPixel(window, static_cast<int>(view.left + view.width / 4),
                                       static_cast<int>(view.top + view.height / 2));
    return photo != ViewBackgroundPixel && photo != PaperPixel && photo != CLR_INVALID;
}

struct StartupTimes {
    double windowMs = -1;
    double paintedMs = -1;
};

StartupTimes timeOneStart() {
    StartupTimes times;
    std::wstring path = programPath();
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const BenchTimer timer;
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        benchNote("cannot start Driftpane.exe");
        return times;
    }
    HWND window = nullptr;
    while (timer.elapsedMs() < 60000) {
        if (!window) {
            Search search{process.dwProcessId};
            EnumWindows(findProgramWindow, reinterpret_cast<LPARAM>(&search));
            if (search.found && IsWindowVisible(search.found)) {
                window = search.found;
                times.windowMs = timer.elapsedMs();
            }
        }
        if (window && showsDefaultPair(window)) {
            times.paintedMs = timer.elapsedMs();
            break;
        }
        Sleep(2);
    }
    if (window) {
        PostMessageW(window, WM_COMMAND, IDM_EXIT, 0);
    }
    if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 10000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return times;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

DRIFTPANE_BENCH(startupToFirstPaint) {
    std::vector<double> window;
    std::vector<double> painted;
    for (int run = 0; run < Runs; ++run) {
        const StartupTimes times = timeOneStart();
        if (times.paintedMs < 0) {
            benchNote("the default pair never appeared on screen");
            return;
        }
        window.push_back(times.windowMs);
        painted.push_back(times.paintedMs);
    }
    benchReport("process start to visible main window", median(window));
    benchReport("process start to default pair on screen", median(painted));
}
