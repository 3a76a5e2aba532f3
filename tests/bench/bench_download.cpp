// Benchmark of one verified download: the largest embedded photo fetched through
// downloadArchivePhoto from the private archive host of tools/bench (a local TLS server in
// a network namespace). Its URL goes to bench-download-url.txt so that tools/bench can time
// curl on the same URL from the same server in the same run.
#include "tests/bench/bench.h"

#include "archive/catalog.h"
#include "core/app_state.h"
#include "download/archive_download.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

DRIFTPANE_BENCH(downloadLargestPhoto) {
    if (!_wgetenv(L"DRIFTPANE_DOWNLOAD_TEST_DIR")) {
        benchNote("skipped: needs the private archive host (tools/bench as root)");
        return;
    }
    int largest = 0;
    DWORD largestSize = 0;
    for (int row = 0; row < CatalogSize; ++row) {
        HRSRC resource = FindResourceW(appState.instanceHandle,
                                       MAKEINTRESOURCEW(ArchiveCatalog[row].resourceId), RT_RCDATA);
        const DWORD size = resource ? SizeofResource(appState.instanceHandle, resource) : 0;
        if (size > largestSize) {
            largest = row;
            largestSize = size;
        }
    }
    const CatalogEntry& entry = ArchiveCatalog[largest];
    double best = 0;
    std::size_t bytes = 0;
    for (int run = 0; run < 3; ++run) {
        BenchTimer timer;
        bytes = downloadArchivePhoto(entry).size();
        const double ms = timer.elapsedMs();
        best = run == 0 || ms < best ? ms : best;
    }
    if (bytes != largestSize) {
        benchNote("download failed: " + std::to_string(bytes) + " bytes");
        return;
    }
    benchReport("downloadArchivePhoto, best of 3", best, bytes);
    if (FILE* out = openBenchOutput(L"bench-download-url.txt")) {
        std::fprintf(out, "%ls\n", entry.url);
        std::fclose(out);
    }
}
