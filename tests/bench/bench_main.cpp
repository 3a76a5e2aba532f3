// Entry point of the benchmark program: starts COM and GDI+ as the program does and runs
// every registered benchmark in name order, printing its figures.
#include "tests/bench/bench.h"

#include "core/app_state.h"

#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstring>

int wmain() {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        return 2;
    }
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) {
        CoUninitialize();
        return 2;
    }
    appState.instanceHandle = GetModuleHandleW(nullptr);
    appState.gdiplusToken = token;

    std::vector<BenchEntry> entries = benchRegistry;
    std::sort(entries.begin(), entries.end(), [](const BenchEntry& a, const BenchEntry& b) {
        return std::strcmp(a.name, b.name) < 0;
    });
    for (const BenchEntry& entry : entries) {
        std::printf("%s\n", entry.name);
        std::fflush(stdout);
        entry.function();
    }

    appState.firstImage.reset();
    appState.secondImage.reset();
    Gdiplus::GdiplusShutdown(token);
    CoUninitialize();
    return 0;
}
