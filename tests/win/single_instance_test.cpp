// Starts the real Driftpane.exe twice: the second start hands over to the first, whose window
// comes back from the tray, and ends with 0; the first ends with 0 through its Exit command.
#include "app/control_ids.h"
#include "tests/win/test_support.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>

namespace {

struct WindowSearch {
    DWORD processId = 0;
    HWND found = nullptr;
    int count = 0; // main windows of any process
};

WindowSearch findMainWindows(DWORD processId) {
    WindowSearch search;
    search.processId = processId;
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto* into = reinterpret_cast<WindowSearch*>(context);
            wchar_t className[64] = {};
            GetClassNameW(window, className, 64);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (std::wstring(className) == L"DriftpaneMain") {
                ++into->count;
                into->found = owner == into->processId ? window : into->found;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search;
}

void expectSecondStartRestores(HWND first, bool maximized) {
    StartedProcess second;
    ASSERT_TRUE(second.started);
    EXPECT_EQ(second.waitForExit(), 0u);
    EXPECT_TRUE(IsWindowVisible(first));
    EXPECT_FALSE(IsIconic(first));
    EXPECT_EQ(IsZoomed(first) != FALSE, maximized);
    EXPECT_EQ(findMainWindows(second.info.dwProcessId).found, nullptr);
}

// The process's error mode, asked inside it: a thread started there at GetErrorMode ends
// with the answer as its exit code. System libraries lie at the same address in every
// process of a session, so this process's address of the function is valid there too.
DWORD errorModeOf(HANDLE process) {
    const FARPROC query = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetErrorMode");
    HANDLE thread =
        CreateRemoteThread(process, nullptr, 0,
                           reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void*>(query)),
                           nullptr, 0, nullptr);
    DWORD mode = 0xFFFFFFFF;
    if (thread) {
        WaitForSingleObject(thread, 10000);
        GetExitCodeThread(thread, &mode);
        CloseHandle(thread);
    }
    return mode;
}

} // namespace

TEST(SingleInstance, SecondStartBringsTheFirstWindowBackAndEnds) {
    StartedProcess first;
    ASSERT_TRUE(first.started) << "cannot start Driftpane.exe next to the tests";
    HWND window = nullptr;
    for (int attempt = 0; attempt < 600 && !(window && IsWindowVisible(window)); ++attempt) {
        Sleep(100);
        window = findMainWindows(first.info.dwProcessId).found;
    }
    ASSERT_TRUE(window && IsWindowVisible(window));
    // A path on an empty removable drive fails quietly instead of asking for a disk.
    const DWORD errorMode = errorModeOf(first.info.hProcess);
    ASSERT_NE(errorMode, 0xFFFFFFFF);
    EXPECT_TRUE(errorMode & SEM_FAILCRITICALERRORS);

    // Ways to the tray (minimising hides to it), and whether the window comes back maximized.
    const std::tuple<const char*, std::function<void()>, bool> hidings[] = {
        {"hidden", [&] { ShowWindow(window, SW_HIDE); }, false},
        {"minimized", [&] { ShowWindow(window, SW_MINIMIZE); }, false},
        {"maximized, then hidden",
         [&] {
             ShowWindow(window, SW_MAXIMIZE);
             ShowWindow(window, SW_HIDE);
         },
         true},
        {"minimized while maximized", [&] { ShowWindow(window, SW_MINIMIZE); }, true},
    };
    for (const auto& [name, hide, maximized] : hidings) {
        SCOPED_TRACE(name);
        hide();
        ASSERT_FALSE(IsWindowVisible(window));
        expectSecondStartRestores(window, maximized);
    }

    EXPECT_EQ(findMainWindows(first.info.dwProcessId).count, 1);
    PostMessageW(window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(first.waitForExit(), 0u);
}
