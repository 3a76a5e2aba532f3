// Benchmarks of saving the default pair beside plain Win32 writing and flushing of the same
// bytes, and beside its true floor, the same write and flush into a temporary file renamed
// without replacing as the save does; and of one PNG export beside its rendering and
// encoding alone.
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

// Creates the file, writes all bytes in one call and flushes them; true when all of it worked.
bool writeAndFlush(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size() && FlushFileBuffers(file);
    CloseHandle(file);
    return ok;
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

DRIFTPANE_BENCH(savePairBesideItsFloor) {
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
    int plainWritten = 0;
    for (int run = 0; run < Runs; ++run) {
        const std::wstring path = scratch / (L"plain-" + std::to_wstring(run) + L".bin");
        BenchTimer timer;
        plainWritten += writeAndFlush(path, image);
        plain.push_back(timer.elapsedMs());
    }

    // What the save cannot avoid: the temporary file, then the rename that never replaces,
    // written through as the save asks.
    std::vector<double> renamed;
    int renamedWritten = 0;
    for (int run = 0; run < Runs; ++run) {
        const std::wstring path = scratch / (L"floor-" + std::to_wstring(run) + L".bin");
        const std::wstring temporary = path + L".tmp";
        BenchTimer timer;
        renamedWritten += writeAndFlush(temporary, image) &&
                          MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH);
        renamed.push_back(timer.elapsedMs());
    }
    benchNote("pair file " + std::to_string(image.size()) + " bytes; of " + std::to_string(Runs) +
              " each: " + std::to_string(saved) + " saves, " + std::to_string(plainWritten) +
              " plain writes, " + std::to_string(renamedWritten) + " renamed writes");
    benchReport("saveCurrentPair, median of 5", median(saves), image.size());
    benchReport("write+flush+rename (floor), median of 5", median(renamed), image.size());
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
