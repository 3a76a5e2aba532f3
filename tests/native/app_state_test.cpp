// Tests of the state record's process-start defaults and of putting them back.
#include "core/app_state.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

void expectDefaults(const AppState& state) {
    EXPECT_EQ(state.firstImage, nullptr);
    EXPECT_EQ(state.secondImage, nullptr);
    EXPECT_EQ(state.firstYear, 2000);
    EXPECT_EQ(state.secondYear, 2018);
    EXPECT_EQ(state.caption, L"Aral Sea");
    EXPECT_FALSE(state.isLocalPair);
    EXPECT_EQ(state.generation, 0);

    EXPECT_EQ(state.selectedPlace, 0);
    EXPECT_TRUE(state.yearRows.empty());
    EXPECT_EQ(state.firstCatalogIndex, 0);
    EXPECT_EQ(state.secondCatalogIndex, 18);

    EXPECT_EQ(state.dividerPos, 0.5f);
    EXPECT_EQ(state.zoom, 1.0f);
    EXPECT_EQ(state.panX, 0.0f);
    EXPECT_EQ(state.panY, 0.0f);
    EXPECT_FALSE(state.dragging);
    EXPECT_FALSE(state.dragIsPan);
    EXPECT_EQ(state.lastMouseX, 0);
    EXPECT_EQ(state.lastMouseY, 0);

    EXPECT_EQ(state.uiScale, 1.0f);
    EXPECT_EQ(state.languageIndex, 0);
    EXPECT_EQ(state.uiFont, nullptr);
    EXPECT_EQ(state.panelBrush, nullptr);

    EXPECT_TRUE(state.statusText.empty());
    EXPECT_FALSE(state.statusIsError);
    EXPECT_FALSE(state.downloadInProgress.load());
    EXPECT_TRUE(state.savedPairFiles.empty());
    EXPECT_TRUE(state.appDataDir.empty());

    EXPECT_EQ(state.mainWindow, nullptr);
    EXPECT_EQ(state.importDialog, nullptr);
    EXPECT_EQ(state.helpWindow, nullptr);
    EXPECT_EQ(state.instanceHandle, nullptr);
    EXPECT_EQ(state.gdiplusToken, 0u);
    EXPECT_FALSE(state.trayIconAdded);
    EXPECT_EQ(state.taskbarCreatedMessage, 0u);
    const NOTIFYICONDATAW zero{};
    EXPECT_EQ(std::memcmp(&state.trayIconData, &zero, sizeof zero), 0);
}

} // namespace

TEST(AppStateDefaults, FreshRecordHoldsProcessStartValues) {
    AppState state;
    expectDefaults(state);
}

TEST(AppStateDefaults, ResetPutsEveryFieldBack) {
    AppState state;
    state.firstImage = std::shared_ptr<ImageData>(std::make_shared<int>(1), nullptr);
    state.firstYear = 1990;
    state.secondYear = 1991;
    state.caption = L"Local pair";
    state.isLocalPair = true;
    state.generation = 7;
    state.selectedPlace = 2;
    state.yearRows = {50, 51};
    state.firstCatalogIndex = 50;
    state.secondCatalogIndex = 51;
    state.dividerPos = 0.1f;
    state.zoom = 3.0f;
    state.panX = 0.5f;
    state.panY = -0.5f;
    state.dragging = true;
    state.dragIsPan = true;
    state.lastMouseX = 12;
    state.lastMouseY = 34;
    state.uiScale = 2.0f;
    state.languageIndex = 3;
    state.statusText = L"x";
    state.statusIsError = true;
    state.downloadInProgress.store(true);
    state.savedPairFiles = {L"a.dpf"};
    state.appDataDir = L"C:\\Driftpane";
    state.gdiplusToken = 99;
    state.trayIconAdded = true;
    state.taskbarCreatedMessage = 0xC123;
    std::memset(&state.trayIconData, 0x5A, sizeof state.trayIconData);

    resetAppStateForTests(state);
    expectDefaults(state);
}
