// The one process-wide record of the running program. Every field but downloadInProgress
// is read and written on the UI thread only.
#pragma once

#include "core/palette.h"
#include "core/platform_types.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct ImageData;
struct FetchResult;

struct AppState {
    // Pair on display.
    std::shared_ptr<ImageData> firstImage;
    std::shared_ptr<ImageData> secondImage;
    std::int32_t firstYear = 2000;
    std::int32_t secondYear = 2018;
    std::wstring caption = L"Aral Sea";
    bool isLocalPair = false;
    std::int32_t generation = 0;

    // Archive selection.
    std::int32_t selectedPlace = 0;
    std::vector<std::int32_t> yearRows;
    std::int32_t firstCatalogIndex = 0;
    std::int32_t secondCatalogIndex = 18;

    // View.
    float dividerPos = 0.5f;
    float zoom = 1.0f;
    float panX = 0.0f;
    float panY = 0.0f;
    bool dragging = false;
    bool dragIsPan = false;
    std::int32_t lastMouseX = 0;
    std::int32_t lastMouseY = 0;

    // Interface presentation.
    float uiScale = 1.0f;
    std::int32_t languageIndex = 0;
    // The fixed look, or Windows' colours while high contrast is on; the brushes below are
    // of its colours.
    InterfaceColours colours = FixedColours;
    // Owned: replacing or resetting one deletes the object it held.
    UniqueFont uiFont;
    UniqueBrush panelBrush;
    UniqueBrush modalBrush; // the modal windows' background, statics and edits

    // Status line.
    std::wstring statusText;
    bool statusIsError = false;

    // Download.
    std::atomic<bool> downloadInProgress{false};
    // The result record the running fetch will hand back; the only one its completion
    // message may carry.
    FetchResult* fetchResultHandedOut = nullptr;

    // Saved pairs.
    std::vector<std::wstring> savedPairFiles;

    // Storage.
    std::wstring appDataDir;

    // Windows and platform handles.
    HWND mainWindow = nullptr;
    HWND importDialog = nullptr;
    HWND helpWindow = nullptr;
    HINSTANCE instanceHandle = nullptr;
    ULONG_PTR gdiplusToken = 0;
    bool trayIconAdded = false;
    NOTIFYICONDATAW trayIconData{};
    UINT taskbarCreatedMessage = 0;
};

extern AppState appState;

// Puts every field of the record back to its process-start default. Tests use it to begin
// from a known state; the program itself never needs it.
void resetAppStateForTests(AppState& state);
