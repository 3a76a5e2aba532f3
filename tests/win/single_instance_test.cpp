// Starts the real Driftpane.exe twice: the second start hands over to the first, whose window
// comes back from the tray, and ends with 0; the first ends with 0 through its Exit command.
#include "app/control_ids.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// A started process, ended here should the test fail before it ends by itself.
struct StartedProcess {
    PROCESS_INFORMATION info{};
    bool started = false;

    StartedProcess() {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring program(path);
        program.replace(program.find_last_of(L"\\/") + 1, std::wstring::npos, L"Driftpane.exe");
        std::wstring commandLine = L"\"" + program + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                 nullptr, nullptr, &startup, &info) != FALSE;
    }
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
    // Generous: only a hang waits this long, and the exit code then shows it.
    DWORD waitForExit() const {
        WaitForSingleObject(info.hProcess, 60000);
        DWORD code = 12345;
        GetExitCodeProcess(info.hProcess, &code);
        return code;
    }
};

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
            auto* search = reinterpret_cast<WindowSearch*>(context);
            wchar_t className[64] = {};
            GetClassNameW(window, className, 64);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (std::wstring(className) == L"DriftpaneMain") {
                ++search->count;
                search->found = owner == search->processId ? window : search->found;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search;
}

void expectSecondStartRestores(HWND first) {
    StartedProcess second;
    ASSERT_TRUE(second.started);
    EXPECT_EQ(second.waitForExit(), 0u);
    EXPECT_TRUE(IsWindowVisible(first));
    EXPECT_FALSE(IsIconic(first));
    EXPECT_EQ(findMainWindows(second.info.dwProcessId).found, nullptr);
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

    ShowWindow(window, SW_HIDE);
    ASSERT_FALSE(IsWindowVisible(window));
    expectSecondStartRestores(window);
    ShowWindow(window, SW_MINIMIZE); // minimising hides to the tray
    ASSERT_FALSE(IsWindowVisible(window));
    expectSecondStartRestores(window);

    EXPECT_EQ(findMainWindows(first.info.dwProcessId).count, 1);
    PostMessageW(window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(first.waitForExit(), 0u);
}
