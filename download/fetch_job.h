// The fetch command: both selected years downloaded and verified on one detached worker
// thread while the window stays responsive, the result handed back by a posted message.
// Windows only.
#pragma once

#include "archive/image_data.h"

#include <windows.h>

#include <cstdint>
#include <memory>

inline constexpr UINT WM_APP_FETCH_DONE = WM_APP + 2;

struct FetchResult {
    std::shared_ptr<ImageData> firstImage;
    std::shared_ptr<ImageData> secondImage;
    std::int32_t firstCatalogIndex = 0;
    std::int32_t secondCatalogIndex = 0;
    std::int32_t generation = 0;
    bool succeeded = false;
};

// Handed to the worker, which owns it from the thread's start to its end. The result is
// made with the job, on the UI thread before the fetch counts as running, so that no job
// exists without the record its worker must hand back (a failed allocation of it fails the
// start instead), and the UI thread knows the one pointer that may come back.
struct FetchJob {
    std::int32_t firstCatalogIndex = 0;
    std::int32_t secondCatalogIndex = 0;
    HWND targetWindow = nullptr;
    std::int32_t generation = 0;
    std::unique_ptr<FetchResult> result = std::make_unique<FetchResult>();
};

// IDC_FETCH: WaitForDownload while a fetch runs; otherwise reads the year lists and starts
// the worker. If anything fails on the way, the flag and the button are put back and the
// status is DownloadFailed.
void startFetch();

// The worker's work: both downloads one after the other, both decodes, then the job's
// result posted to the job's window (retried while that window exists), failed if anything
// went wrong on the way, an exception included. The job gives up its result with the post.
void runFetchJob(FetchJob& job);

// WM_APP_FETCH_DONE of the main window: accepted only while a fetch runs and only with the
// result handed out by startFetch; any other lParam is ignored and never touched.
LRESULT mainWindowOnFetchDone(LPARAM lParam);

// Takes the result home: clears the flag, sets the fetch button, then shows the stale
// notice, DownloadFailed, or installs the fetched pair with Downloaded.
void onFetchDone(std::unique_ptr<FetchResult> result);
