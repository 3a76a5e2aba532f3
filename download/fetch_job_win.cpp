// The fetch job: start on the UI thread, work on a detached worker, completion back on the
// UI thread through WM_APP_FETCH_DONE.
#include "download/fetch_job.h"

#include "app/commands.h"
#include "app/control_ids.h"
#include "archive/archive_selection.h"
#include "archive/catalog.h"
#include "core/app_state.h"
#include "download/archive_download.h"
#include "download/fetch_outcome.h"

#include <thread>
#include <utility>

namespace {

constexpr DWORD PostRetryMs = 50;

HWND fetchButton() {
    return GetDlgItem(appState.mainWindow, IDC_FETCH);
}

// A disabled control cannot keep the keyboard focus: Tab would be lost with it.
void disableFetchButton() {
    HWND button = fetchButton();
    if (button && GetFocus() == button) {
        HWND next = GetNextDlgTabItem(appState.mainWindow, button, FALSE);
        SetFocus(next && next != button ? next : appState.mainWindow);
    }
    EnableWindow(button, FALSE);
}

// Drops whatever the work had made: a failed result carries no photos.
void markFailed(FetchResult& result) noexcept {
    result.firstImage.reset();
    result.secondImage.reset();
    result.succeeded = false;
}

// Exit is refused while a fetch runs, so a refused post means a full queue, not a gone
// window: keep trying while the window exists. From the post on, the UI thread owns the
// result; only when the window is gone does the job keep it and destroy it, with its photos.
void handBackResult(FetchJob& job) noexcept {
    while (job.result && IsWindow(job.targetWindow)) {
        if (PostMessageW(job.targetWindow, WM_APP_FETCH_DONE, 0,
                         reinterpret_cast<LPARAM>(job.result.get()))) {
            job.result.release(); // NOLINT(bugprone-unused-return-value): the UI thread owns it
            return;
        }
        Sleep(PostRetryMs);
    }
}

void fetchThreadEntry(std::unique_ptr<FetchJob> job) noexcept {
    // runFetchJob guards its own work; should anything still escape it (an exception
    // leaving a thread ends the whole process), the result goes back as failed all the same,
    // since the window waits for it with the fetch button and Exit blocked.
    try {
        runFetchJob(*job);
    } catch (...) {
        if (job->result) {
            markFailed(*job->result);
        }
        handBackResult(*job);
    }
}

void selectItem(int comboId, int item) {
    SendDlgItemMessageW(appState.mainWindow, comboId, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
}

void installFetchedPair(FetchResult& result) {
    const CatalogEntry& first = ArchiveCatalog[result.firstCatalogIndex];
    const CatalogEntry& second = ArchiveCatalog[result.secondCatalogIndex];
    installPair(std::move(result.firstImage), std::move(result.secondImage), first.year,
                second.year, std::wstring(first.place), false);
    appState.firstCatalogIndex = result.firstCatalogIndex;
    appState.secondCatalogIndex = result.secondCatalogIndex;
    appState.selectedPlace = placeIndexOfCaption(appState.caption);
    // The lists may show other years than those fetched; they go back to the fetched ones.
    fillYearCombos();
    selectItem(IDC_FIRST_YEAR, yearItemOfRow(appState.yearRows, appState.firstCatalogIndex));
    selectItem(IDC_SECOND_YEAR, yearItemOfRow(appState.yearRows, appState.secondCatalogIndex));
    setStatus(TextId::Downloaded, false);
}

} // namespace

void startFetch() {
    if (appState.downloadInProgress.load()) {
        setStatus(TextId::WaitForDownload, false);
        return;
    }
    std::int32_t firstRow = 0;
    std::int32_t secondRow = 0;
    if (!readYearSelection(firstRow, secondRow)) {
        return;
    }
    // Everything that can fail for want of memory happens before the flag is set.
    auto job = std::make_unique<FetchJob>();
    job->firstCatalogIndex = firstRow;
    job->secondCatalogIndex = secondRow;
    job->targetWindow = appState.mainWindow;
    job->generation = appState.generation;
    job->result->firstCatalogIndex = firstRow;
    job->result->secondCatalogIndex = secondRow;
    job->result->generation = appState.generation;

    appState.downloadInProgress.exchange(true);
    appState.fetchResultHandedOut = job->result.get();
    try {
        setStatus(TextId::Downloading, false);
        disableFetchButton();
        // The job moves into the thread's own copy of its arguments; if the thread cannot be
        // made, that copy and the job with it are destroyed before the exception arrives.
        std::thread(fetchThreadEntry, std::move(job)).detach();
    } catch (...) {
        // No completion will come: nothing may stay blocked waiting for one.
        appState.fetchResultHandedOut = nullptr;
        appState.downloadInProgress.exchange(false);
        syncYearControls();
        setStatus(TextId::DownloadFailed, true);
    }
}

void runFetchJob(FetchJob& job) {
    // The job carries its result from its creation, so no failure here can leave the window
    // without an answer; the result stays in the job until it is posted.
    FetchResult& result = *job.result;
    try {
        // Both downloads are always made, one after the other, even when the first failed.
        std::vector<std::uint8_t> firstBytes =
            downloadArchivePhoto(ArchiveCatalog[job.firstCatalogIndex]);
        std::vector<std::uint8_t> secondBytes =
            downloadArchivePhoto(ArchiveCatalog[job.secondCatalogIndex]);
        result.firstImage = decodePhoto(std::move(firstBytes));
        result.secondImage = decodePhoto(std::move(secondBytes));
        result.succeeded = result.firstImage && result.secondImage;
    } catch (...) {
        markFailed(result);
    }
    handBackResult(job);
}

LRESULT mainWindowOnFetchDone(LPARAM lParam) {
    // Any process may post this message number to a top-level window; only the pointer this
    // thread handed out, while its fetch runs, is ever taken.
    auto* posted = reinterpret_cast<FetchResult*>(lParam);
    if (!appState.downloadInProgress.load() || !posted || posted != appState.fetchResultHandedOut) {
        return 0;
    }
    appState.fetchResultHandedOut = nullptr;
    onFetchDone(std::unique_ptr<FetchResult>(posted));
    return 0;
}

void onFetchDone(std::unique_ptr<FetchResult> result) {
    appState.downloadInProgress.exchange(false);
    EnableWindow(fetchButton(), appState.isLocalPair ? FALSE : TRUE);
    switch (fetchOutcome(result->generation, appState.generation, result->succeeded)) {
    case FetchOutcome::Stale:
        setStatus(staleFetchText(appState.languageIndex), false);
        break;
    case FetchOutcome::Failed:
        setStatus(TextId::DownloadFailed, true);
        break;
    case FetchOutcome::Succeeded:
        installFetchedPair(*result);
        break;
    }
}
