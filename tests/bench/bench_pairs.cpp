// Benchmarks of saving the default pair beside plain Win32 writing and flushing of the same
// bytes (the floor), and of one PNG export beside its rendering and encoding alone.
#include "tests/bench/bench.h"

#include "archive/archive_photo.h"
#include "core/app_state.h"
#include "pairs/pair_file.h"
#include "pairs/saved_pairs.h"
#include "pairs/storage.h"
#include "render/png_export.h"
#include "tests/win/scratch_folder.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr int Runs = 5;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool loadDefaultPair() {
    appState.firstImage = loadArchivePhoto(0);
    appState.secondImage = loadArchivePhoto(18);
    appState.firstYear = 2000;
    appState.secondYear = 2018;
    if (!appState.firstImage || !appState.secondImage) {
        benchNote("the default pair could not be loaded");
        return false;
    }
    return true;
}

} // namespace

DRIFTPANE_BENCH(savePairBesideThePlainWrite) {
    if (!loadDefaultPair()) {
        return;
    }
    ScratchFolder scratch;
    appState.appDataDir = scratch.path();
    const std::vector<std::uint8_t> image =
        encodePairFile(appState.firstYear, appState.secondYear, appState.firstImage->bytes,
                       appState.secondImage->bytes);

    std::vector<double> saves;
    for (int run = 0; run < Runs; ++run) {
        BenchTimer timer;
        saveCurrentPair();
        saves.push_back(timer.elapsedMs());
    }
    const std::size_t saved = folderEntries(joinPath(scratch.path(), L"Pairs")).size();

    std::vector<double> plain;
    for (int run = 0; run < Runs; ++run) {
        const std::wstring path = scratch / (L"plain-" + std::to_wstring(run) + L".bin");
        BenchTimer timer;
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(file, image.data(), static_cast<DWORD>(image.size()), &written, nullptr);
        FlushFileBuffers(file);
        CloseHandle(file);
        plain.push_back(timer.elapsedMs());
    }
    benchNote("pair file " + std::to_string(image.size()) + " bytes; " + std::to_string(saved) +
              " of " + std::to_string(Runs) + " saves written");
    benchReport("saveCurrentPair, median of 5", median(saves), image.size());
    benchReport("CreateFile+WriteFile+Flush, median of 5", median(plain), image.size());
    appState.appDataDir.clear();
}

DRIFTPANE_BENCH(exportBesideRenderAndEncode) {
    if (!loadDefaultPair()) {
        return;
    }
    ScratchFolder scratch;
    appState.appDataDir = scratch.path();
    std::vector<double> exports;
    for (int run = 0; run < Runs; ++run) {
        BenchTimer timer;
        exportPng();
        exports.push_back(timer.elapsedMs());
    }
    const std::size_t written = folderEntries(joinPath(scratch.path(), L"Exports")).size();
    std::vector<double> renders;
    std::size_t pngBytes = 0;
    for (int run = 0; run < Runs; ++run) {
        BenchTimer timer;
        pngBytes = renderExportPng().size();
        renders.push_back(timer.elapsedMs());
    }
    benchNote("PNG " + std::to_string(pngBytes) + " bytes; " + std::to_string(written) + " of " +
              std::to_string(Runs) + " exports written");
    benchReport("exportPng 1920 x 1200, median of 5", median(exports));
    benchReport("render + PNG encode alone, median of 5", median(renders));
    appState.appDataDir.clear();
}
