// The real main window created as start-up creates it, driven with window messages: its
// controls, the archive selection, installPair, the commands, the view input and its pixels.
#include "app/commands.h"
#include "app/control_ids.h"
#include "app/controls.h"
#include "app/layout.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "app/tray.h"
#include "core/palette.h"
#include "core/text_table.h"
#include "core/view_controller.h"
#include "tests/win/import_hook.h"
#include "tests/win/test_support.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <tuple>

namespace {

// Item `item` of a combo box, or its selection when item is -1.
std::wstring comboText(HWND combo, LRESULT item = -1) {
    wchar_t buffer[64] = {};
    item = item < 0 ? SendMessageW(combo, CB_GETCURSEL, 0, 0) : item;
    if (item >= 0 && SendMessageW(combo, CB_GETLBTEXTLEN, item, 0) < 64) {
        SendMessageW(combo, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(buffer));
    }
    return buffer;
}

RECT childRect(HWND parent, int id) {
    RECT rect{};
    GetWindowRect(GetDlgItem(parent, id), &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

struct ScaleCase {
    float scale;
    int placeX, placeWidth, placeHeight, placeY[3], fontHeight, minWidth, minHeight;
};
const ScaleCase ScaleOne{1.0f, 20, 206, 36, {195, 239, 283}, -13, 1050, 750};
const ScaleCase ScaleOneAndAHalf{1.5f, 30, 309, 54, {293, 359, 425}, -20, 1575, 1125};

// Drawing a photo fails the way exhausted memory makes a paint fail: the call throws.
using DrawImageFunction = Gdiplus::GpStatus(WINAPI*)(Gdiplus::GpGraphics*, Gdiplus::GpImage*,
                                                     Gdiplus::REAL, Gdiplus::REAL, Gdiplus::REAL,
                                                     Gdiplus::REAL, Gdiplus::REAL, Gdiplus::REAL,
                                                     Gdiplus::REAL, Gdiplus::REAL, Gdiplus::GpUnit,
                                                     const Gdiplus::GpImageAttributes*,
                                                     Gdiplus::DrawImageAbort, VOID*);
Gdiplus::GpStatus WINAPI throwingDrawImage(Gdiplus::GpGraphics*, Gdiplus::GpImage*, Gdiplus::REAL,
                                           Gdiplus::REAL, Gdiplus::REAL, Gdiplus::REAL,
                                           Gdiplus::REAL, Gdiplus::REAL, Gdiplus::REAL,
                                           Gdiplus::REAL, Gdiplus::GpUnit,
                                           const Gdiplus::GpImageAttributes*,
                                           Gdiplus::DrawImageAbort, VOID*) {
    throw std::bad_alloc();
}

class MainWindowTest : public testing::Test {
  protected:
    void SetUp() override { createWindow(1.0f); }
    void createWindow(float scale) {
        resetAppStateKeepingHandles();
        window = createMainWindowAt(scale);
        ASSERT_NE(window, nullptr);
        pumpMessages();
    }
    void TearDown() override {
        if (IsWindow(window)) {
            DestroyWindow(window);
        }
        pumpMessages();
        resetAppStateKeepingHandles();
    }

    // Created hidden, as at start-up; only tests about the screen or visibility show it.
    void show() {
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
        pumpMessages();
    }
    Pixels screenshot() {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        pumpMessages();
        return captureClient(window);
    }
    HWND item(int id) const { return GetDlgItem(window, id); }
    void command(int id) { SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    void click(int id) { SendMessageW(item(id), BM_CLICK, 0, 0); }
    void mouse(UINT message, WPARAM keys, int x, int y) {
        SendMessageW(window, message, keys, MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    }
    void wheel(POINT at, int steps) { // one message per step, at screen coordinates
        ClientToScreen(window, &at);
        const WORD delta = static_cast<WORD>(steps > 0 ? WHEEL_DELTA : -WHEEL_DELTA);
        for (int i = 0; i < std::abs(steps); ++i) {
            SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(at.x, at.y));
        }
    }
    int slider() const {
        return static_cast<int>(SendMessageW(item(IDC_COMPARISON), TBM_GETPOS, 0, 0));
    }
    RECT client() const {
        RECT rect{};
        GetClientRect(window, &rect);
        return rect;
    }
    void selectYears(int firstItem, int secondItem) {
        for (auto [id, index] :
             {std::pair{IDC_FIRST_YEAR, firstItem}, {IDC_SECOND_YEAR, secondItem}}) {
            SendMessageW(item(id), CB_SETCURSEL, index, 0);
            SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(item(id)));
        }
    }
    bool installLocalPair() {
        return installPair(appState.firstImage, appState.secondImage, 1950, 2020,
                           localizedText(TextId::LocalPair), true);
    }

    static void expectPair(int firstYear, int secondYear, int firstRow, int secondRow,
                           int generation) {
        EXPECT_EQ(std::tuple(appState.firstYear, appState.secondYear, appState.firstCatalogIndex,
                             appState.secondCatalogIndex, appState.generation),
                  std::tuple(firstYear, secondYear, firstRow, secondRow, generation));
    }
    static void expectStatus(TextId id, bool isError) {
        EXPECT_EQ(appState.statusText, localizedText(id));
        EXPECT_EQ(appState.statusIsError, isError);
    }
    void expectYearLists(LRESULT count, const wchar_t* first, const wchar_t* second, bool enabled) {
        for (int id : {IDC_FIRST_YEAR, IDC_SECOND_YEAR}) {
            EXPECT_EQ(SendMessageW(item(id), CB_GETCOUNT, 0, 0), count);
            EXPECT_EQ(comboText(item(id)), id == IDC_FIRST_YEAR ? first : second);
            EXPECT_EQ(IsWindowEnabled(item(id)) != FALSE, enabled);
        }
        EXPECT_EQ(IsWindowEnabled(item(IDC_LOAD_YEARS)) != FALSE, enabled);
        EXPECT_EQ(IsWindowEnabled(item(IDC_FETCH)) != FALSE,
                  enabled && !appState.downloadInProgress);
    }
    void expectLayout(const ScaleCase& c) {
        SCOPED_TRACE(c.scale);
        for (int i = 0; i < 3; ++i) {
            const RECT r = childRect(window, IDC_PLACE_FIRST + i);
            EXPECT_EQ(std::tuple(r.left, r.top, r.right - r.left, r.bottom - r.top),
                      std::tuple(c.placeX, c.placeY[i], c.placeWidth, c.placeHeight));
        }
        // The right and bottom rows follow the client size, counted in units.
        const float w = client().right / c.scale, h = client().bottom / c.scale;
        const RECT fit = childRect(window, IDC_FIT), bar = childRect(window, IDC_COMPARISON);
        EXPECT_EQ(std::tuple(fit.left, fit.top, bar.right - bar.left,
                             childRect(window, IDC_HIDE_TO_TRAY).left,
                             childRect(window, IDC_OPEN_FOLDER).top),
                  std::tuple(scaledBy(w - 124, c.scale), scaledBy(h - 80, c.scale),
                             scaledBy(w - 432, c.scale), scaledBy(w - 115, c.scale),
                             scaledBy(h - 82, c.scale)));
        LOGFONTW font{};
        GetObjectW(appState.uiFont.get(), sizeof(font), &font);
        EXPECT_EQ(font.lfHeight, c.fontHeight);
        for (HWND child = GetWindow(window, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            if (GetDlgCtrlID(child) != IDC_COMPARISON) { // the slider shows no text
                EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)),
                          appState.uiFont.get());
            }
        }
        MINMAXINFO info{};
        SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(std::tuple(info.ptMinTrackSize.x, info.ptMinTrackSize.y),
                  std::tuple(c.minWidth, c.minHeight));
    }

    HWND window = nullptr;
};

class MainWindowLayout : public MainWindowTest, public testing::WithParamInterface<ScaleCase> {
    void SetUp() override { createWindow(GetParam().scale); }
};

} // namespace

TEST_F(MainWindowTest, CreationShowsTheDefaultAralSeaPairInSeventeenControls) {
    EXPECT_EQ(appState.mainWindow, window);
    EXPECT_EQ(readControlText(window), L"Driftpane");
    EXPECT_EQ(std::tuple(appState.caption, appState.isLocalPair), std::tuple(L"Aral Sea", false));
    EXPECT_TRUE(appState.firstImage && appState.secondImage);
    expectPair(2000, 2018, 0, 18, 1);
    expectStatus(TextId::Ready, false);
    expectYearLists(19, L"2000", L"2018", true);
    EXPECT_EQ(slider(), 500);
    std::vector<int> tabOrder;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        tabOrder.push_back(GetDlgCtrlID(child));
        EXPECT_TRUE(GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP) << tabOrder.back();
    }
    EXPECT_EQ(tabOrder, (std::vector<int>{200, 201, 202, 100, 101, 102, 103, 108, 104, 105, 106,
                                          107, 113, 109, 110, 111, 112}));
}

TEST_P(MainWindowLayout, PlacesControlsBeforeAndAfterAResize) {
    expectLayout(GetParam());
    SetWindowPos(window, nullptr, 0, 0, GetParam().minWidth + 250, GetParam().minHeight + 150,
                 SWP_NOZORDER | SWP_NOMOVE);
    expectLayout(GetParam());
}
INSTANTIATE_TEST_SUITE_P(MainWindow, MainWindowLayout, testing::Values(ScaleOne, ScaleOneAndAHalf));

TEST_F(MainWindowTest, DpiChangeRescalesFontAndLayout) {
    RECT suggested{};
    GetWindowRect(window, &suggested);
    suggested.right = suggested.left + 1700;
    suggested.bottom = suggested.top + 1150;
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_FLOAT_EQ(appState.uiScale, 1.5f);
    RECT outer{};
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.right - outer.left, 1700);
    expectLayout(ScaleOneAndAHalf);
}

TEST_F(MainWindowTest, ColumbiaGlacierShowsTwentyNineYears1986Against2024) {
    click(IDC_PLACE_FIRST + 1);
    expectYearLists(29, L"1986", L"2024", true);
    EXPECT_EQ(comboText(item(IDC_FIRST_YEAR), 28), L"2024");
    EXPECT_EQ(comboText(item(IDC_SECOND_YEAR), 0), L"1986");
    EXPECT_EQ(std::tuple(appState.selectedPlace, appState.caption),
              std::tuple(1, L"Columbia Glacier"));
    expectPair(1986, 2024, 19, 47, 2);
    expectStatus(TextId::Ready, false);
}

TEST_F(MainWindowTest, LoadYearsRefusesEqualYearsAndAcceptsALaterFirstYear) {
    const auto firstPhoto = appState.firstImage;
    selectYears(3, 7); // choosing in the lists alone loads nothing
    expectPair(2000, 2018, 0, 18, 1);
    selectYears(5, 5);
    click(IDC_LOAD_YEARS);
    expectStatus(TextId::InvalidYears, true);
    expectPair(2000, 2018, 0, 18, 1);
    EXPECT_EQ(appState.firstImage, firstPhoto);
    EXPECT_EQ(comboText(item(IDC_FIRST_YEAR)) + comboText(item(IDC_SECOND_YEAR)), L"20052005");

    selectYears(18, 0);
    click(IDC_LOAD_YEARS);
    expectStatus(TextId::Ready, false);
    expectPair(2018, 2000, 18, 0, 2);

    // Photos that cannot be read leave the pair, its rows and the user's choice as they were.
    const auto shown = std::pair(appState.firstImage, appState.secondImage);
    selectYears(3, 7);
    const HINSTANCE program = appState.instanceHandle;
    appState.instanceHandle = GetModuleHandleW(L"kernel32.dll"); // holds no archive
    click(IDC_LOAD_YEARS);
    appState.instanceHandle = program;
    expectStatus(TextId::CannotReadPhotos, true);
    expectPair(2018, 2000, 18, 0, 2);
    EXPECT_EQ(std::pair(appState.firstImage, appState.secondImage), shown);
    EXPECT_EQ(comboText(item(IDC_FIRST_YEAR)) + comboText(item(IDC_SECOND_YEAR)), L"20032007");
}

TEST_F(MainWindowTest, LocalPairLocksTheYearControlsUntilAPlaceIsChosen) {
    ASSERT_TRUE(installLocalPair());
    expectYearLists(1, L"1950", L"2020", false);
    EXPECT_TRUE(IsWindowEnabled(item(IDC_PLACE_FIRST)));
    click(IDC_PLACE_FIRST);
    EXPECT_FALSE(appState.isLocalPair);
    expectYearLists(19, L"2000", L"2018", true);

    appState.downloadInProgress = true; // keeps only Fetch off, until the next update
    click(IDC_PLACE_FIRST + 2);
    EXPECT_TRUE(IsWindowEnabled(item(IDC_LOAD_YEARS)));
    EXPECT_FALSE(IsWindowEnabled(item(IDC_FETCH)));
    appState.downloadInProgress = false;
    command(IDC_LOAD_YEARS);
    EXPECT_TRUE(IsWindowEnabled(item(IDC_FETCH)));
}

TEST_F(MainWindowTest, SwapExchangesPhotosAndSelectsTheSwappedYears) {
    const auto firstPhoto = appState.firstImage;
    click(IDC_SWAP);
    expectYearLists(19, L"2018", L"2000", true);
    expectPair(2018, 2000, 18, 0, 2);
    EXPECT_EQ(appState.secondImage, firstPhoto);
}

TEST_F(MainWindowTest, InstallPairRefusesAnEmptyPhotoAndOtherwiseResetsTheView) {
    const auto first = appState.firstImage, second = appState.secondImage;
    wheel({client().right / 2, client().bottom / 2}, 2);
    appState.panX = 0.1f;
    SendMessageW(window, WM_KEYDOWN, VK_LEFT, 0);
    ASSERT_GT(appState.zoom, 1.4f);
    ASSERT_EQ(slider(), 480);
    const auto view = std::tuple(appState.dividerPos, appState.zoom, appState.panX, slider());
    EXPECT_FALSE(installPair(first, nullptr, 1900, 1901, L"Other", true));
    EXPECT_FALSE(installPair(nullptr, second, 1900, 1901, L"Other", true));
    expectPair(2000, 2018, 0, 18, 1);
    EXPECT_EQ(std::tuple(appState.firstImage, appState.secondImage, appState.caption,
                         appState.isLocalPair),
              std::tuple(first, second, L"Aral Sea", false));
    EXPECT_EQ(std::tuple(appState.dividerPos, appState.zoom, appState.panX, slider()), view);
    EXPECT_EQ(SendMessageW(item(IDC_FIRST_YEAR), CB_GETCOUNT, 0, 0), 19);

    EXPECT_TRUE(installPair(first, second, 2000, 2018, appState.caption, false)); // own caption
    EXPECT_EQ(std::tuple(appState.generation, appState.caption), std::tuple(2, L"Aral Sea"));
    EXPECT_EQ(
        std::tuple(appState.dividerPos, appState.zoom, appState.panX, appState.panY, slider()),
        std::tuple(0.5f, 1.0f, 0.0f, 0.0f, 500));

    appState.generation = INT32_MAX; // wraps as Swap's does, never overflows
    EXPECT_TRUE(installPair(first, second, 2000, 2018, appState.caption, false));
    EXPECT_EQ(appState.generation, INT32_MIN);
}

TEST_F(MainWindowTest, ExceptionGuardTurnsAThrowIntoCannotReadPhotos) {
    WNDCLASSW registered{};
    ASSERT_TRUE(GetClassInfoW(appState.instanceHandle, MainWindowClass, &registered));
    EXPECT_EQ(registered.lpfnWndProc, &guardedMainWindowProc);
    setStatus(TextId::Ready, false);
    EXPECT_EQ(callGuarded([]() -> LRESULT {
                  appState.zoom = 4.0f; // changed before the failure: stays changed
                  throw std::bad_alloc();
              }),
              0);
    expectStatus(TextId::CannotReadPhotos, true);
    EXPECT_FLOAT_EQ(appState.zoom, 4.0f);
    setStatus(TextId::Ready, false);
    EXPECT_EQ(callGuarded([]() -> LRESULT { throw 42; }), 0);
    expectStatus(TextId::CannotReadPhotos, true);
    setStatus(TextId::Ready, false);
    EXPECT_EQ(callGuarded([]() -> LRESULT { return 7; }), 7);
    EXPECT_FALSE(appState.statusIsError);
}

TEST_F(MainWindowTest, APaintThatThrowsIsReportedWithoutRepaintingWithoutEnd) {
    show();
    setStatus(TextId::Ready, false);
    int paints = 0;
    {
        ImportHook<DrawImageFunction> hook(L"gdiplus.dll", "GdipDrawImageRectRect",
                                           &throwingDrawImage);
        ASSERT_TRUE(hook.installed());
        InvalidateRect(window, nullptr, FALSE);
        for (const ULONGLONG end = GetTickCount64() + 1500; GetTickCount64() < end;) {
            MSG message{};
            if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                Sleep(10);
                continue;
            }
            paints += message.message == WM_PAINT && message.hwnd == window ? 1 : 0;
            DispatchMessageW(&message);
        }
    }
    expectStatus(TextId::CannotReadPhotos, true);
    // The failed paint and one for each clock tick of the interval; a repaint loop makes
    // many more.
    EXPECT_GE(paints, 1);
    EXPECT_LE(paints, 4);
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
}

TEST_F(MainWindowTest, ExitWaitsForARunningDownloadThenEndsWithZero) {
    // Small photos, so that the window's repaints cost little on a busy machine.
    ASSERT_TRUE(installPair(solidPhoto(64, 48, 0xFF336699), solidPhoto(64, 48, 0xFF996633), 1950,
                            2020, L"Local pair", true));
    HMENU menu = buildTrayMenu();
    wchar_t texts[2][64] = {};
    GetMenuStringW(menu, IDM_TRAY_OPEN, texts[0], 64, MF_BYCOMMAND);
    GetMenuStringW(menu, IDM_TRAY_EXIT, texts[1], 64, MF_BYCOMMAND);
    EXPECT_EQ(std::tuple(GetMenuItemCount(menu), std::wstring(texts[0]), std::wstring(texts[1])),
              std::tuple(2, localizedText(TextId::OpenApp), localizedText(TextId::Exit)));
    DestroyMenu(menu);
    ASSERT_FALSE(IsWindowVisible(window));
    runTrayMenuChoice(IDM_TRAY_OPEN);
    EXPECT_TRUE(IsWindowVisible(window));

    // From the tray menu or as the command, Exit brings the hidden window back with a notice.
    appState.downloadInProgress = true;
    for (bool fromMenu : {true, false}) {
        hideToTray();
        ASSERT_FALSE(IsWindowVisible(window));
        fromMenu ? runTrayMenuChoice(IDM_TRAY_EXIT) : command(IDM_EXIT);
        EXPECT_EQ(pumpMessages(), -1);
        EXPECT_TRUE(IsWindowVisible(window));
        expectStatus(TextId::WaitForDownload, false);
    }
    appState.downloadInProgress = false;
    runTrayMenuChoice(0); // nothing chosen
    EXPECT_EQ(pumpMessages(), -1);
    runTrayMenuChoice(IDM_TRAY_EXIT);
    EXPECT_EQ(pumpMessages(), 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(appState.trayIconAdded);
}

TEST_F(MainWindowTest, TrayIconHidesRestoresAndComesBackAfterAShellRestart) {
    ASSERT_TRUE(appState.trayIconAdded);
    const NOTIFYICONDATAW& icon = appState.trayIconData;
    EXPECT_EQ(std::tuple(icon.hWnd, icon.uCallbackMessage, std::wstring(icon.szTip)),
              std::tuple(window, WM_APP_TRAY, L"Driftpane"));
    show();
    const std::pair<std::function<void()>, WORD> hideThenRestore[] = {
        {[&] { SendMessageW(window, WM_CLOSE, 0, 0); }, WM_LBUTTONUP},
        {[&] { command(IDC_HIDE_TO_TRAY); }, NIN_KEYSELECT},
        {[&] { command(IDCANCEL); }, NIN_SELECT},
        {[&] { SendMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0); }, WM_LBUTTONUP},
        {[&] { ShowWindow(window, SW_MINIMIZE); }, WM_LBUTTONUP}};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const auto& [hide, restore] = hideThenRestore[i];
        hide();
        EXPECT_TRUE(IsWindow(window)); // nothing but Exit ends the program
        SendMessageW(window, WM_APP_TRAY, 0, MAKELPARAM(WM_MOUSEMOVE, 1)); // ignored
        EXPECT_FALSE(IsWindowVisible(window));
        SendMessageW(window, WM_APP_TRAY, 0, MAKELPARAM(restore, 1));
        EXPECT_TRUE(IsWindowVisible(window) && !IsIconic(window));
    }
    Shell_NotifyIconW(NIM_DELETE, &appState.trayIconData); // what a shell restart loses
    appState.trayIconData = NOTIFYICONDATAW{};
    SendMessageW(window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(appState.trayIconAdded);
    NOTIFYICONDATAW probe = appState.trayIconData; // modifying succeeds only for a known icon
    probe.uFlags = NIF_TIP;
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &probe));
}

TEST_F(MainWindowTest, AMaximizedWindowComesBackFromTheTrayMaximizedOnEveryPath) {
    // Small photos: every maximize and restore repaints the whole screen, and with the
    // archive's photos that alone took minutes on a busy machine.
    ASSERT_TRUE(installPair(solidPhoto(64, 48, 0xFF336699), solidPhoto(64, 48, 0xFF996633), 1950,
                            2020, L"Local pair", true));
    show();
    appState.downloadInProgress = true; // Exit then only brings the window back
    const std::pair<const char*, std::function<void()>> paths[] = {
        {"click on the icon",
         [&] { SendMessageW(window, WM_APP_TRAY, 0, MAKELPARAM(WM_LBUTTONUP, 1)); }},
        {"icon selected", [&] { SendMessageW(window, WM_APP_TRAY, 0, MAKELPARAM(NIN_SELECT, 1)); }},
        {"icon selected with the keyboard",
         [&] { SendMessageW(window, WM_APP_TRAY, 0, MAKELPARAM(NIN_KEYSELECT, 1)); }},
        {"menu item Open", [] { runTrayMenuChoice(IDM_TRAY_OPEN); }},
        {"Exit during a download", [&] { command(IDM_EXIT); }},
    };
    for (const auto& [name, path] : paths) {
        SCOPED_TRACE(name);
        ShowWindow(window, SW_MAXIMIZE);
        ASSERT_TRUE(IsZoomed(window));
        command(IDC_HIDE_TO_TRAY);
        ASSERT_FALSE(IsWindowVisible(window));
        path();
        pumpMessages();
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_TRUE(IsZoomed(window));
    }
    appState.downloadInProgress = false;
}

TEST_F(MainWindowTest, DragMovesTheDividerShiftDragPansAndTheWheelZoomsOverTheViewOnly) {
    const RECT size = client();
    const ViewRect view = viewRect(appState, size.right, size.bottom); // at scale 1
    const int y = static_cast<int>(view.top) + 50;
    mouse(WM_LBUTTONDOWN, MK_LBUTTON, static_cast<int>(view.left + view.width / 4), y);
    EXPECT_TRUE(appState.dragging && !appState.dragIsPan && GetCapture() == window);
    EXPECT_NEAR(appState.dividerPos, 0.25f, 0.002f);
    EXPECT_NEAR(slider(), 250, 2);
    // Left of the client area the captured mouse reports negative 16-bit coordinates.
    for (const auto& [x, position] :
         {std::pair{-40, 0}, {static_cast<int>(size.right) + 400, 1000}}) {
        mouse(WM_MOUSEMOVE, MK_LBUTTON, x, y);
        EXPECT_EQ(std::tuple(appState.dividerPos, slider()),
                  std::tuple(position / 1000.0f, position));
    }
    mouse(WM_LBUTTONUP, 0, size.right + 400, y);
    EXPECT_FALSE(appState.dragging || GetCapture() == window);
    mouse(WM_LBUTTONDOWN, MK_LBUTTON, 100, y); // over the left panel: nothing
    EXPECT_FALSE(appState.dragging);
    const RECT place = childRect(window, IDC_PLACE_FIRST);
    wheel({place.left + 5, place.top + 5}, 1);
    EXPECT_FLOAT_EQ(appState.zoom, 1.0f);

    const POINT centre{size.right / 2, static_cast<LONG>(view.top + view.height / 2)};
    wheel(centre, 4);
    EXPECT_NEAR(appState.zoom, 2.0736f, 1e-4f);
    mouse(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, centre.x, centre.y);
    EXPECT_TRUE(appState.dragIsPan);
    mouse(WM_MOUSEMOVE, MK_LBUTTON, centre.x + 5000, centre.y);
    mouse(WM_LBUTTONUP, 0, centre.x + 5000, centre.y);
    EXPECT_FLOAT_EQ(appState.dividerPos, 1.0f);
    EXPECT_NEAR(appState.panX, 0.5368f, 1e-4f);
    EXPECT_FLOAT_EQ(appState.panY, 0.0f);
    wheel(centre, -1); // one step out clamps the pan to the smaller limit
    EXPECT_NEAR(appState.zoom, 1.728f, 1e-4f);
    EXPECT_NEAR(appState.panX, 0.364f, 1e-4f);
}

TEST_F(MainWindowTest, ArrowKeysReachTheWindowThroughDialogNavigationAndTheSliderMoves) {
    show(); // the loop offers every key to IsDialogMessageW first; arrows must get through
    SetFocus(window);
    auto key = [&](WPARAM code) {
        MSG message{window, WM_KEYDOWN, code, 0, 0, {}};
        return IsDialogMessageW(window, &message) != FALSE;
    };
    EXPECT_TRUE(key(VK_LEFT));
    EXPECT_NEAR(appState.dividerPos, 0.48f, 1e-6f);
    EXPECT_EQ(GetFocus(), window);
    key(VK_RIGHT);
    key(VK_RIGHT);
    SendMessageW(window, WM_KEYDOWN, 'A', 0);
    EXPECT_NEAR(appState.dividerPos, 0.52f, 1e-6f);
    EXPECT_EQ(slider(), 520);

    HWND bar = item(IDC_COMPARISON);
    for (auto [position, from] : {std::pair{333, bar}, {900, HWND{}}}) { // only the slider counts
        SendMessageW(bar, TBM_SETPOS, TRUE, position);
        SendMessageW(window, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, position),
                     reinterpret_cast<LPARAM>(from));
        EXPECT_FLOAT_EQ(appState.dividerPos, 0.333f);
    }
    command(IDOK); // Enter does nothing
    command(IDC_FIT);
    EXPECT_EQ(std::tuple(appState.dividerPos, slider()), std::tuple(0.5f, 500));
    expectPair(2000, 2018, 0, 18, 1);
    expectStatus(TextId::Ready, false);
    EXPECT_TRUE(key(VK_ESCAPE));
    EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(MainWindowTest, ClockInvalidatesOnlyTheBottomStripAndSettingChangeRestoresTexts) {
    show();
    screenshot();
    const RECT size = client();
    for (UINT message : {UINT{WM_TIMER}, UINT{WM_TIMECHANGE}}) {
        ValidateRect(window, nullptr);
        SendMessageW(window, message, IDT_CLOCK, 0);
        RECT update{};
        ASSERT_TRUE(GetUpdateRect(window, &update, FALSE)) << message;
        EXPECT_EQ(std::tuple(update.left, update.top, update.right, update.bottom),
                  std::tuple(0L, size.bottom - 42, size.right, size.bottom));
    }
    ShowWindow(window, SW_HIDE);
    ValidateRect(window, nullptr);
    SendMessageW(window, WM_TIMER, IDT_CLOCK, 0);
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));

    appState.languageIndex = 1;
    setStatus(TextId::CannotSave, true);
    for (int id : {IDC_SWAP, IDC_OPEN_FOLDER, IDC_PLACE_FIRST}) {
        SetDlgItemTextW(window, id, L"x");
    }
    SendMessageW(window, WM_SETTINGCHANGE, 0, 0);
    EXPECT_EQ(appState.languageIndex, 0); // Wine's UI language is English
    expectStatus(TextId::Ready, false);   // the German error is replaced, not kept
    EXPECT_EQ(readControlText(item(IDC_SWAP)), TextTable[static_cast<int>(TextId::Swap)][0]);
    EXPECT_EQ(readControlText(item(IDC_OPEN_FOLDER)), L"LocalAppData / Driftpane");
    EXPECT_EQ(readControlText(item(IDC_PLACE_FIRST)), L"x"); // place names are never translated
}

TEST_F(MainWindowTest, SelectedPlaceIsDarkOnlyForAnArchivePairAndDisabledButtonsAreGrey) {
    show();
    struct Look {
        std::uint32_t background;
        int darkest = 255, lightest = 0; // greys of the text
    };
    auto look = [&](const Pixels& shot, int id) {
        const RECT r = childRect(window, id);
        Look result{shot.at(r.left + 2, r.top + 2)};
        countPixels(shot, {r.left + 4, r.top + 4, r.right - 4, r.bottom - 4},
                    [&](std::uint32_t c, int, int) {
                        const int grey = (channelOf(c, 16) + channelOf(c, 8) + channelOf(c, 0)) / 3;
                        result.darkest = std::min(result.darkest, grey);
                        result.lightest = std::max(result.lightest, grey);
                        return false;
                    });
        return result;
    };
    using Colours = std::vector<std::uint32_t>;
    auto places = [&](const Pixels& shot) {
        return Colours{look(shot, IDC_PLACE_FIRST).background,
                       look(shot, IDC_PLACE_FIRST + 1).background,
                       look(shot, IDC_PLACE_FIRST + 2).background};
    };
    Pixels shot = screenshot();
    EXPECT_EQ(places(shot), (Colours{Palette::Ink, WindowColour::Panel, WindowColour::Panel}));
    EXPECT_EQ(look(shot, IDC_SAVE_PAIR).background, Palette::Accent);
    EXPECT_GT(look(shot, IDC_SAVE_PAIR).lightest, 0xE8); // white text
    EXPECT_LT(look(shot, IDC_LOAD_YEARS).darkest, 0x60); // ink text

    ASSERT_TRUE(installLocalPair());
    shot = screenshot();
    EXPECT_EQ(places(shot),
              (Colours{WindowColour::Panel, WindowColour::Panel, WindowColour::Panel}));
    const Look disabled = look(shot, IDC_LOAD_YEARS);
    EXPECT_EQ(disabled.background, WindowColour::Panel);
    EXPECT_GE(disabled.darkest, 0x80); // grey text
    EXPECT_LT(disabled.darkest, 0xC0);
    click(IDC_PLACE_FIRST + 2);
    EXPECT_EQ(places(screenshot()),
              (Colours{WindowColour::Panel, WindowColour::Panel, Palette::Ink}));
}

TEST_F(MainWindowTest, StatusLineShowsInvalidYearsInTheErrorColour) {
    show();
    const RECT size = client();
    auto reddest = [&] { // red minus green of the reddest inked pixel in the status box
        int best = -256;
        const LayoutBox& status = MainBox::Status; // at scale 1, less the clock's overlap
        const PixelBox box{static_cast<int>(status.x.at(size.right, size.bottom)),
                           static_cast<int>(status.y.at(size.right, size.bottom)), size.right - 321,
                           size.bottom - 1};
        const int inked = countPixels(screenshot(), box, [&](std::uint32_t c, int, int) {
            const int r = channelOf(c, 16), g = channelOf(c, 8);
            const bool ink = r + g + channelOf(c, 0) < 3 * 0xC0;
            best = ink ? std::max(best, r - g) : best;
            return ink;
        });
        EXPECT_GT(inked, 20) << "no status text found";
        return best;
    };
    selectYears(5, 5);
    click(IDC_LOAD_YEARS);
    EXPECT_GT(reddest(), 60); // 0xA13327: red well above green
    setStatus(TextId::InvalidYears, false);
    EXPECT_LT(reddest(), 25); // 0x69726F: grey
}

TEST_F(MainWindowTest, RepaintingTheWindowLeavesItsControlsPixelsAlone) {
    show();
    const Pixels before = screenshot();
    // The window alone repaints, as on a divider drag, a wheel step or a clock tick; its
    // controls have nothing to repaint, so whatever covers them stays on screen.
    InvalidateRect(window, nullptr, FALSE);
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        ValidateRect(child, nullptr);
    }
    UpdateWindow(window);
    const Pixels after = captureClient(window);
    ASSERT_EQ(std::tuple(after.width, after.height), std::tuple(before.width, before.height));
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        const RECT r = childRect(window, id);
        const PixelBox box{std::max<int>(r.left, 0), std::max<int>(r.top, 0),
                           std::min<int>(r.right, after.width),
                           std::min<int>(r.bottom, after.height)};
        EXPECT_EQ(countPixels(after, box,
                              [&](std::uint32_t c, int x, int y) { return c != before.at(x, y); }),
                  0)
            << "control " << id;
    }
}

TEST_F(MainWindowTest, AtOneAndAHalfOnAFullHdScreenTheWindowAndItsMinimumFitTheWorkArea) {
    RECT savedWork{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &savedWork, 0);
    RECT work{0, 0, 1920, 1080}; // a laptop's screen, with no taskbar in the way
    ASSERT_TRUE(SystemParametersInfoW(SPI_SETWORKAREA, 0, &work, 0));
    work = monitorWorkArea(window);
    ASSERT_EQ(std::tuple(work.right - work.left, work.bottom - work.top), std::tuple(1920, 1080));
    DestroyWindow(window);
    pumpMessages();
    createWindow(1.5f); // asks for 1830 x 1275

    RECT outer{};
    GetWindowRect(window, &outer);
    EXPECT_GE(outer.left, work.left);
    EXPECT_GE(outer.top, work.top);
    EXPECT_LE(outer.right, work.right);
    EXPECT_LE(outer.bottom, work.bottom);
    EXPECT_EQ(outer.bottom - outer.top, 1080);
    MINMAXINFO info{};
    SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(std::tuple(info.ptMinTrackSize.x, info.ptMinTrackSize.y), std::tuple(1575, 1080));

    // Every control lies inside the client area, and none covers another.
    const RECT area = client();
    std::vector<std::pair<int, RECT>> controls;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        const RECT r = childRect(window, id);
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= area.right && r.bottom <= area.bottom)
            << "control " << id << " at " << r.left << "," << r.top << " - " << r.right << ","
            << r.bottom << " in " << area.right << " x " << area.bottom;
        for (const auto& [otherId, other] : controls) {
            RECT overlap{};
            EXPECT_FALSE(IntersectRect(&overlap, &r, &other)) << id << " overlaps " << otherId;
        }
        controls.emplace_back(id, r);
    }
    SystemParametersInfoW(SPI_SETWORKAREA, 0, &savedWork, 0);
}

TEST_F(MainWindowTest, FocusRectangleFollowsTheKeyboardCues) {
    // The button drawn into a bitmap as the button control asks for it.
    HWND swap = item(IDC_SWAP);
    auto draw = [&](UINT state) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = 100;
        info.bmiHeader.biHeight = -32;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        std::vector<std::uint32_t> pixels;
        if (dib && bits) {
            HGDIOBJ previous = SelectObject(dc, dib);
            DRAWITEMSTRUCT drawItem{
                ODT_BUTTON, IDC_SWAP, 0, ODA_DRAWENTIRE, state, swap, dc, RECT{0, 0, 100, 32}, 0};
            drawOwnerButton(drawItem, ButtonLook::Plain);
            GdiFlush();
            const auto* first = static_cast<const std::uint32_t*>(bits);
            pixels.assign(first, first + 100 * 32);
            SelectObject(dc, previous);
            DeleteObject(dib);
        }
        DeleteDC(dc);
        return pixels;
    };
    const auto plain = draw(0);
    ASSERT_EQ(plain.size(), 3200u);
    EXPECT_NE(draw(ODS_FOCUS), plain);
    EXPECT_EQ(draw(ODS_FOCUS | ODS_NOFOCUSRECT), plain);
}

TEST_F(MainWindowTest, OneRightClickOnTheTrayIconOpensOneMenu) {
    static int menusOpened = 0;
    menusOpened = 0;
    // Counts the menus and closes each as soon as it waits for input.
    HHOOK hook = SetWindowsHookExW(
        WH_CALLWNDPROC,
        [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
            const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
            if (code == HC_ACTION && sent->message == WM_INITMENUPOPUP) {
                ++menusOpened;
            } else if (code == HC_ACTION && sent->message == WM_ENTERIDLE) {
                EndMenu();
            }
            return CallNextHookEx(nullptr, code, wParam, lParam);
        },
        nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    ASSERT_EQ(appState.trayIconData.uVersion, static_cast<UINT>(NOTIFYICON_VERSION_4));
    // What the shell sends for one right click under version 4, then the menu key alone.
    SendMessageW(window, WM_APP_TRAY, 0, MAKELPARAM(WM_RBUTTONUP, 1));
    SendMessageW(window, WM_APP_TRAY, 0, MAKELPARAM(WM_CONTEXTMENU, 1));
    pumpMessages();
    EXPECT_EQ(menusOpened, 1);
    SendMessageW(window, WM_APP_TRAY, 0, MAKELPARAM(WM_CONTEXTMENU, 1));
    pumpMessages();
    EXPECT_EQ(menusOpened, 2);
    UnhookWindowsHookEx(hook);
}

TEST_F(MainWindowTest, RepeatedTaskbarCreatedKeepsTheIconAndCloseStillHides) {
    show();
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    // The shell kept the icon: adding it again is refused, as Windows refuses a duplicate.
    SendMessageW(window, taskbarCreated, 0, 0);
    SendMessageW(window, taskbarCreated, 0, 0);
    EXPECT_TRUE(appState.trayIconAdded);
    NOTIFYICONDATAW probe = appState.trayIconData; // modifying succeeds only for a known icon
    probe.uFlags = NIF_TIP;
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &probe));
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(IsWindowVisible(window));
}
