// The single instance of the state record.
#include "core/app_state.h"

AppState appState;

void resetAppStateForTests(AppState& state) {
    AppState fresh;
    state.firstImage = nullptr;
    state.secondImage = nullptr;
    state.firstYear = fresh.firstYear;
    state.secondYear = fresh.secondYear;
    state.caption = fresh.caption;
    state.isLocalPair = fresh.isLocalPair;
    state.generation = fresh.generation;
    state.selectedPlace = fresh.selectedPlace;
    state.yearRows.clear();
    state.firstCatalogIndex = fresh.firstCatalogIndex;
    state.secondCatalogIndex = fresh.secondCatalogIndex;
    state.dividerPos = fresh.dividerPos;
    state.zoom = fresh.zoom;
    state.panX = fresh.panX;
    state.panY = fresh.panY;
    state.dragging = fresh.dragging;
    state.dragIsPan = fresh.dragIsPan;
    state.lastMouseX = fresh.lastMouseX;
    state.lastMouseY = fresh.lastMouseY;
    state.uiScale = fresh.uiScale;
    state.languageIndex = fresh.languageIndex;
    state.uiFont = fresh.uiFont;
    state.panelBrush = fresh.panelBrush;
    state.statusText.clear();
    state.statusIsError = fresh.statusIsError;
    state.downloadInProgress.store(false);
    state.savedPairFiles.clear();
    state.appDataDir.clear();
    state.mainWindow = nullptr;
    state.importDialog = nullptr;
    state.helpWindow = nullptr;
    state.instanceHandle = nullptr;
    state.gdiplusToken = 0;
    state.trayIconAdded = false;
    state.trayIconData = fresh.trayIconData;
    state.taskbarCreatedMessage = 0;
}
