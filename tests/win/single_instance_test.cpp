// Starts the real Driftpane.exe twice: the second start hands over to the first, whose window
// comes back from the tray, and ends with 0; the first ends with 0 through its Exit command.
#include "app/control_ids.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring programPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L"\\/") + 1);
    return folder + L"Driftpane.exe";
}

// A started process, ended by the test or, should the test fail early, here.
struct StartedProcess {
    PROCESS_INFORMATION info{};
    bool started = false;
    ~StartedProcess() {
        if (started) {
            if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(info.hProcess, 99);
                WaitForSingleObject(info.hProcess, 10000);
            }
            CloseHandle(info.hThread);
            CloseHandle(info.hProcess);
        }
    }
    DWORD waitForExit() const {
        // Generous: only a hang ends up here, and the exit code then shows it.
        WaitForSingleObject(info.hProcess, 60000);
        DWORD code = 12345;
        GetExitCodeProcess(info.hProcess, &code);
        return code;
    }
};

bool start(StartedProcess& process) {
    std::wstring path = programPath();
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    process.started = CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                     nullptr, nullptr, &startup, &process.info) != FALSE;
    return process.started;
}

struct WindowSearch {
    DWORD processId;
    HWND found = nullptr;
    int count = 0;
};

BOOL CALLBACK collectMainWindows(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (std::wstring(className) != L"DriftpaneMain") {
        return TRUE;
    }
    ++search->count;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId) {
        search->found = window;
    }
    return TRUE;
}

WindowSearch findMainWindows(DWORD processId) {
    WindowSearch search{processId};
    EnumWindows(collectMainWindows, reinterpret_cast<LPARAM>(&search));
    return search;
}

// The program's main window once it is shown; null if it never appears.
HWND waitForVisibleMainWindow(DWORD processId) {
    for (int attempt = 0; attempt < 600; ++attempt) {
        HWND window = findMainWindows(processId).found;
        if (window && IsWindowVisible(window)) {
            return window;
        }
        Sleep(100);
    }
    return nullptr;
}

void expectSecondStartRestores(HWND first) {
    StartedProcess second;
    ASSERT_TRUE(start(second));
    EXPECT_EQ(second.waitForExit(), 0u);
    EXPECT_TRUE(IsWindowVisible(first));
    EXPECT_FALSE(IsIconic(first));
    EXPECT_EQ(findMainWindows(second.info.dwProcessId).found, nullptr);
}

} // namespace

TEST(SingleInstance, SecondStartBringsTheFirstWindowBackAndEnds) {
    const std::wstring path = programPath();
    StartedProcess first;
    ASSERT_TRUE(start(first)) << "cannot start " << std::string(path.begin(), path.end());
    HWND window = waitForVisibleMainWindow(first.info.dwProcessId);
    ASSERT_NE(window, nullptr);

    ShowWindow(window, SW_HIDE);
    ASSERT_FALSE(IsWindowVisible(window));
    expectSecondStartRestores(window);

    // Minimising hides the window to the tray.
    ShowWindow(window, SW_MINIMIZE);
    ASSERT_FALSE(IsWindowVisible(window));
    expectSecondStartRestores(window);

    EXPECT_EQ(findMainWindows(first.info.dwProcessId).count, 1);
    PostMessageW(window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(first.waitForExit(), 0u);
}
