// A tiny registry of benchmarks: each tests/bench/*.cpp file adds its functions with
// DRIFTPANE_BENCH(name) { ... }, and bench_main runs them all in name order.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

using BenchFunction = void (*)();

struct BenchEntry {
    const char* name;
    BenchFunction function;
};

// Constant-initialised (std::vector's default constructor is constexpr), so it is ready
// before any file's registrar runs, whatever order the files are initialised in.
inline constinit std::vector<BenchEntry> benchRegistry;

struct BenchRegistrar {
    BenchRegistrar(const char* name, BenchFunction function) {
        benchRegistry.push_back({name, function});
    }
};

#define DRIFTPANE_BENCH(name)                                                                      \
    static void name();                                                                            \
    static const BenchRegistrar name##Registrar(#name, name);                                      \
    static void name()

// Wall-clock time since construction, in milliseconds.
struct BenchTimer {
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();

    double elapsedMs() const {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count();
    }
};

// One line per figure: what was measured, its wall-clock time and, when bytes were
// processed, their rate in MB/s (10^6 bytes per second).
inline void benchReport(const std::string& what, double milliseconds, std::uint64_t bytes = 0) {
    if (bytes > 0 && milliseconds > 0) {
        std::printf("  %-44s %10.1f ms %10.1f MB/s\n", what.c_str(), milliseconds,
                    static_cast<double>(bytes) / 1e6 / (milliseconds / 1000.0));
    } else {
        std::printf("  %-44s %10.1f ms\n", what.c_str(), milliseconds);
    }
    std::fflush(stdout);
}

// A file the benchmark leaves for tools/bench, beside the benchmark program in its build
// folder, wherever it was started from.
inline FILE* openBenchOutput(const wchar_t* name) {
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = 0;
    while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) ==
           path.size()) {
        path.resize(path.size() * 2);
    }
    path.resize(length);
    path.erase(path.find_last_of(L"\\/") + 1);
    return _wfopen((path + name).c_str(), L"wb");
}

inline void benchNote(const std::string& text) {
    std::printf("  %s\n", text.c_str());
    std::fflush(stdout);
}
