// The real main window created as start-up creates it, driven with window messages: its
// controls, the archive selection, installPair, the commands, the view input and its pixels.
#include "app/commands.h"
#include "app/control_ids.h"
#include "app/layout.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "app/tray.h"
#include "archive/catalog.h"
#include "core/app_state.h"
#include "core/palette.h"
#include "core/text_table.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

namespace {

std::wstring windowText(HWND window) {
    wchar_t buffer[256] = {};
    GetWindowTextW(window, buffer, 256);
    return buffer;
}

std::wstring comboItem(HWND combo, int item) {
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(item), 0);
    if (length == CB_ERR) {
        return L"<none>";
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(item),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::wstring comboSelection(HWND combo) {
    return comboItem(combo, static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)));
}

int comboCount(HWND combo) {
    return static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
}

// RGB of a captured pixel, without alpha.
struct Rgb {
    int r;
    int g;
    int b;
};

Rgb rgbOf(std::uint32_t argb) {
    return {static_cast<int>((argb >> 16) & 0xFF), static_cast<int>((argb >> 8) & 0xFF),
            static_cast<int>(argb & 0xFF)};
}

std::uint32_t rgbOnly(std::uint32_t argb) {
    return argb & 0x00FFFFFF;
}

// Pixels of a window's client area as the screen shows them, top-down, 0x00RRGGBB.
struct Capture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(int x, int y) const {
        return rgbOnly(pixels[static_cast<std::size_t>(y) * width + x]);
    }
};

Capture captureClient(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    Capture capture;
    capture.width = client.right;
    capture.height = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = capture.width;
    info.bmiHeader.biHeight = -capture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, capture.width, capture.height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* source = static_cast<const std::uint32_t*>(bits);
    capture.pixels.assign(source,
                          source + static_cast<std::size_t>(capture.width) * capture.height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return capture;
}

// A control's rectangle in its parent's client coordinates.
RECT childRect(HWND parent, int id) {
    RECT rect{};
    GetWindowRect(GetDlgItem(parent, id), &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void pumpMessages() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            continue; // never let a quit message leak into the next test
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

LPARAM clientPoint(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}

class MainWindowTest : public testing::Test {
  protected:
    void createWindow(float scale) {
        const HINSTANCE instance = appState.instanceHandle;
        const ULONG_PTR token = appState.gdiplusToken;
        resetAppStateForTests(appState);
        appState.instanceHandle = instance;
        appState.gdiplusToken = token;
        appState.uiScale = scale;
        appState.uiFont = createUiFont(scale);
        INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                      ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        registerWindowClasses();
        window = createMainWindow();
        ASSERT_NE(window, nullptr);
        pumpMessages();
    }

    // Only tests that look at the screen or at visibility show the window: under Wine without
    // a window manager, every hiding of a shown top-level window waits about two seconds.
    void show() {
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
        pumpMessages();
    }

    void SetUp() override { createWindow(1.0f); }

    void TearDown() override {
        if (window && IsWindow(window)) {
            DestroyWindow(window);
        }
        // WM_DESTROY posted a quit message; it must not end a later test's loop.
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
        if (appState.uiFont) {
            DeleteObject(appState.uiFont);
        }
        if (appState.panelBrush) {
            DeleteObject(appState.panelBrush);
        }
        // Later tests of other parts start from the defaults, not from this window's state.
        const HINSTANCE instance = appState.instanceHandle;
        const ULONG_PTR token = appState.gdiplusToken;
        resetAppStateForTests(appState);
        appState.instanceHandle = instance;
        appState.gdiplusToken = token;
        window = nullptr;
    }

    HWND item(int id) const { return GetDlgItem(window, id); }
    void command(int id) { SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    void click(int id) { SendMessageW(item(id), BM_CLICK, 0, 0); }
    void redraw() {
        RedrawWindow(window, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE);
        pumpMessages();
    }
    int sliderPosition() const {
        return static_cast<int>(SendMessageW(item(IDC_COMPARISON), TBM_GETPOS, 0, 0));
    }
    RECT client() const {
        RECT rect{};
        GetClientRect(window, &rect);
        return rect;
    }

    HWND window = nullptr;
};

class MainWindowAtOneAndAHalf : public MainWindowTest {
  protected:
    void SetUp() override { createWindow(1.5f); }
};

} // namespace

TEST_F(MainWindowTest, CreationShowsTheDefaultAralSeaPair) {
    EXPECT_EQ(appState.mainWindow, window);
    EXPECT_EQ(windowText(window), L"Driftpane");
    EXPECT_EQ(appState.caption, L"Aral Sea");
    EXPECT_EQ(appState.firstYear, 2000);
    EXPECT_EQ(appState.secondYear, 2018);
    EXPECT_TRUE(appState.firstImage);
    EXPECT_TRUE(appState.secondImage);
    EXPECT_FALSE(appState.isLocalPair);
    EXPECT_EQ(appState.generation, 1);
    EXPECT_EQ(appState.firstCatalogIndex, 0);
    EXPECT_EQ(appState.secondCatalogIndex, 18);
    EXPECT_EQ(appState.statusText, localizedText(TextId::Ready));
    EXPECT_FALSE(appState.statusIsError);

    HWND first = item(IDC_FIRST_YEAR);
    HWND second = item(IDC_SECOND_YEAR);
    EXPECT_EQ(comboCount(first), 19);
    EXPECT_EQ(comboCount(second), 19);
    EXPECT_EQ(comboSelection(first), L"2000");
    EXPECT_EQ(comboSelection(second), L"2018");
    EXPECT_TRUE(IsWindowEnabled(first));
    EXPECT_TRUE(IsWindowEnabled(item(IDC_LOAD_YEARS)));
    EXPECT_TRUE(IsWindowEnabled(item(IDC_FETCH)));

    HWND slider = item(IDC_COMPARISON);
    EXPECT_EQ(SendMessageW(slider, TBM_GETRANGEMIN, 0, 0), 0);
    EXPECT_EQ(SendMessageW(slider, TBM_GETRANGEMAX, 0, 0), 1000);
    EXPECT_EQ(SendMessageW(slider, TBM_GETPAGESIZE, 0, 0), 100);
    EXPECT_EQ(SendMessageW(slider, TBM_GETLINESIZE, 0, 0), 1);
    EXPECT_EQ(sliderPosition(), 500);
}

TEST_F(MainWindowTest, SeventeenControlsInCreationOrderWithTheirTexts) {
    const int expected[] = {200, 201, 202, 100, 101, 102, 103, 108, 104,
                            105, 106, 107, 113, 109, 110, 111, 112};
    std::vector<int> ids;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        ids.push_back(GetDlgCtrlID(child));
        // The slider draws no text and keeps no font.
        if (GetDlgCtrlID(child) != IDC_COMPARISON) {
            EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)),
                      appState.uiFont);
        }
        EXPECT_TRUE(GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP);
    }
    EXPECT_EQ(ids, std::vector<int>(std::begin(expected), std::end(expected)));
    EXPECT_EQ(windowText(item(201)), L"Columbia Glacier");
    EXPECT_EQ(windowText(item(IDC_SWAP)), localizedText(TextId::Swap));
    EXPECT_EQ(windowText(item(IDC_OPEN_FOLDER)), L"LocalAppData / Driftpane");
    EXPECT_EQ(windowText(item(IDC_COMPARISON)), L"Comparison");
    EXPECT_EQ(GetWindowLongW(item(IDC_SAVE_PAIR), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_EQ(GetWindowLongW(item(IDC_FIRST_YEAR), GWL_STYLE) & 3, CBS_DROPDOWNLIST);
    EXPECT_FALSE(GetWindowLongW(item(IDC_FIRST_YEAR), GWL_STYLE) & CBS_SORT);
    EXPECT_FALSE(GetWindowLongW(item(IDC_SAVED_PAIRS), GWL_STYLE) & LBS_SORT);
    EXPECT_TRUE(GetWindowLongW(item(IDC_SAVED_PAIRS), GWL_STYLE) & LBS_NOTIFY);
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

TEST_F(MainWindowTest, LayoutAtScaleOne) {
    const RECT size = client();
    const RECT place = childRect(window, 201);
    EXPECT_EQ(place.left, 20);
    EXPECT_EQ(place.top, 239);
    EXPECT_EQ(place.right - place.left, 206);
    EXPECT_EQ(place.bottom - place.top, 36);
    const RECT fit = childRect(window, IDC_FIT);
    EXPECT_EQ(fit.left, size.right - 124);
    EXPECT_EQ(fit.top, size.bottom - 80);
    const RECT slider = childRect(window, IDC_COMPARISON);
    EXPECT_EQ(slider.right - slider.left, size.right - 432);
    // After a resize the right and bottom rows follow the new client size.
    SetWindowPos(window, nullptr, 0, 0, 1300, 900, SWP_NOZORDER | SWP_NOMOVE);
    const RECT resized = client();
    EXPECT_EQ(childRect(window, IDC_HIDE_TO_TRAY).left, resized.right - 115);
    EXPECT_EQ(childRect(window, IDC_OPEN_FOLDER).top, resized.bottom - 82);
}

TEST_F(MainWindowAtOneAndAHalf, PlaceButtonsAt293And359And425) {
    const int expectedY[] = {293, 359, 425};
    for (int i = 0; i < 3; ++i) {
        const RECT place = childRect(window, IDC_PLACE_FIRST + i);
        EXPECT_EQ(place.left, 30);
        EXPECT_EQ(place.top, expectedY[i]);
        EXPECT_EQ(place.right - place.left, 309);
        EXPECT_EQ(place.bottom - place.top, 54);
    }
    LOGFONTW font{};
    GetObjectW(appState.uiFont, sizeof(font), &font);
    EXPECT_EQ(font.lfHeight, -20);
    MINMAXINFO info{};
    SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 1575);
    EXPECT_EQ(info.ptMinTrackSize.y, 1125);
}

TEST_F(MainWindowTest, MinimumTrackSize) {
    MINMAXINFO info{};
    SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 1050);
    EXPECT_EQ(info.ptMinTrackSize.y, 750);
}

TEST_F(MainWindowTest, ColumbiaGlacierShowsTwentyNineYears) {
    click(IDC_PLACE_FIRST + 1);
    HWND first = item(IDC_FIRST_YEAR);
    HWND second = item(IDC_SECOND_YEAR);
    ASSERT_EQ(comboCount(first), 29);
    ASSERT_EQ(comboCount(second), 29);
    EXPECT_EQ(comboItem(first, 0), L"1986");
    EXPECT_EQ(comboItem(first, 28), L"2024");
    EXPECT_EQ(comboItem(second, 0), L"1986");
    EXPECT_EQ(comboSelection(first), L"1986");
    EXPECT_EQ(comboSelection(second), L"2024");
    EXPECT_EQ(appState.selectedPlace, 1);
    EXPECT_EQ(appState.caption, L"Columbia Glacier");
    EXPECT_EQ(appState.firstYear, 1986);
    EXPECT_EQ(appState.secondYear, 2024);
    EXPECT_EQ(appState.firstCatalogIndex, 19);
    EXPECT_EQ(appState.secondCatalogIndex, 47);
    EXPECT_EQ(appState.generation, 2);
    EXPECT_EQ(appState.statusText, localizedText(TextId::Ready));
    EXPECT_FALSE(appState.statusIsError);
}

TEST_F(MainWindowTest, EqualYearsAreRefusedAndNothingElseChanges) {
    const auto firstPhoto = appState.firstImage;
    SendMessageW(item(IDC_FIRST_YEAR), CB_SETCURSEL, 5, 0);
    SendMessageW(item(IDC_SECOND_YEAR), CB_SETCURSEL, 5, 0);
    command(IDC_LOAD_YEARS);
    EXPECT_EQ(appState.statusText, localizedText(TextId::InvalidYears));
    EXPECT_TRUE(appState.statusIsError);
    EXPECT_EQ(appState.generation, 1);
    EXPECT_EQ(appState.firstYear, 2000);
    EXPECT_EQ(appState.secondYear, 2018);
    EXPECT_EQ(appState.firstImage, firstPhoto);
    EXPECT_EQ(appState.firstCatalogIndex, 0);
    EXPECT_EQ(appState.secondCatalogIndex, 18);
    // The user's selection stays in the lists.
    EXPECT_EQ(SendMessageW(item(IDC_FIRST_YEAR), CB_GETCURSEL, 0, 0), 5);
    EXPECT_EQ(SendMessageW(item(IDC_SECOND_YEAR), CB_GETCURSEL, 0, 0), 5);
}

TEST_F(MainWindowTest, LaterYearFirstIsAccepted) {
    SendMessageW(item(IDC_FIRST_YEAR), CB_SETCURSEL, 18, 0);
    SendMessageW(item(IDC_SECOND_YEAR), CB_SETCURSEL, 0, 0);
    click(IDC_LOAD_YEARS);
    EXPECT_EQ(appState.firstYear, 2018);
    EXPECT_EQ(appState.secondYear, 2000);
    EXPECT_EQ(appState.firstCatalogIndex, 18);
    EXPECT_EQ(appState.secondCatalogIndex, 0);
    EXPECT_EQ(appState.generation, 2);
    EXPECT_EQ(appState.statusText, localizedText(TextId::Ready));
}

TEST_F(MainWindowTest, ChangingAListWithoutLoadChangesNothing) {
    const auto secondPhoto = appState.secondImage;
    SendMessageW(item(IDC_FIRST_YEAR), CB_SETCURSEL, 3, 0);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_FIRST_YEAR, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(item(IDC_FIRST_YEAR)));
    SendMessageW(item(IDC_SECOND_YEAR), CB_SETCURSEL, 7, 0);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_SECOND_YEAR, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(item(IDC_SECOND_YEAR)));
    EXPECT_EQ(appState.firstYear, 2000);
    EXPECT_EQ(appState.secondYear, 2018);
    EXPECT_EQ(appState.secondImage, secondPhoto);
    EXPECT_EQ(appState.generation, 1);
}

TEST_F(MainWindowTest, LocalPairLocksTheArchiveControlsUntilAPlaceIsChosen) {
    ASSERT_TRUE(installPair(appState.firstImage, appState.secondImage, 1950, 2020,
                            localizedText(TextId::LocalPair), true));
    HWND first = item(IDC_FIRST_YEAR);
    HWND second = item(IDC_SECOND_YEAR);
    EXPECT_EQ(comboCount(first), 1);
    EXPECT_EQ(comboCount(second), 1);
    EXPECT_EQ(comboSelection(first), L"1950");
    EXPECT_EQ(comboSelection(second), L"2020");
    EXPECT_FALSE(IsWindowEnabled(first));
    EXPECT_FALSE(IsWindowEnabled(second));
    EXPECT_FALSE(IsWindowEnabled(item(IDC_LOAD_YEARS)));
    EXPECT_FALSE(IsWindowEnabled(item(IDC_FETCH)));
    EXPECT_TRUE(IsWindowEnabled(item(IDC_PLACE_FIRST)));

    click(IDC_PLACE_FIRST);
    EXPECT_FALSE(appState.isLocalPair);
    EXPECT_EQ(comboCount(first), 19);
    EXPECT_EQ(comboSelection(first), L"2000");
    EXPECT_EQ(comboSelection(second), L"2018");
    EXPECT_TRUE(IsWindowEnabled(first));
    EXPECT_TRUE(IsWindowEnabled(second));
    EXPECT_TRUE(IsWindowEnabled(item(IDC_LOAD_YEARS)));
    EXPECT_TRUE(IsWindowEnabled(item(IDC_FETCH)));
}

TEST_F(MainWindowTest, FetchButtonFollowsARunningDownload) {
    appState.downloadInProgress = true;
    click(IDC_PLACE_FIRST + 2);
    EXPECT_TRUE(IsWindowEnabled(item(IDC_LOAD_YEARS)));
    EXPECT_FALSE(IsWindowEnabled(item(IDC_FETCH)));
    appState.downloadInProgress = false;
    command(IDC_LOAD_YEARS);
    EXPECT_TRUE(IsWindowEnabled(item(IDC_FETCH)));
}

TEST_F(MainWindowTest, SwapExchangesTheListSelections) {
    const auto firstPhoto = appState.firstImage;
    click(IDC_SWAP);
    EXPECT_EQ(comboSelection(item(IDC_FIRST_YEAR)), L"2018");
    EXPECT_EQ(comboSelection(item(IDC_SECOND_YEAR)), L"2000");
    EXPECT_EQ(appState.firstYear, 2018);
    EXPECT_EQ(appState.secondImage, firstPhoto);
    EXPECT_EQ(appState.firstCatalogIndex, 18);
    EXPECT_EQ(appState.generation, 2);
    EXPECT_EQ(sliderPosition(), 500);
}

TEST_F(MainWindowTest, InstallPairWithAnEmptyPhotoChangesNothing) {
    const auto firstPhoto = appState.firstImage;
    const auto secondPhoto = appState.secondImage;
    appState.zoom = 2.0f;
    EXPECT_FALSE(installPair(firstPhoto, nullptr, 1900, 1901, L"Other", true));
    EXPECT_FALSE(installPair(nullptr, secondPhoto, 1900, 1901, L"Other", true));
    EXPECT_EQ(appState.generation, 1);
    EXPECT_EQ(appState.firstYear, 2000);
    EXPECT_EQ(appState.secondYear, 2018);
    EXPECT_EQ(appState.caption, L"Aral Sea");
    EXPECT_FALSE(appState.isLocalPair);
    EXPECT_EQ(appState.firstImage, firstPhoto);
    EXPECT_EQ(appState.secondImage, secondPhoto);
    EXPECT_FLOAT_EQ(appState.zoom, 2.0f);
    EXPECT_EQ(comboCount(item(IDC_FIRST_YEAR)), 19);
}

TEST_F(MainWindowTest, InstallPairResetsTheViewAndRaisesGeneration) {
    const RECT size = client();
    // Zoom in twice over the view and move the divider, then install the same photos again.
    POINT centre{size.right / 2, size.bottom / 2};
    ClientToScreen(window, &centre);
    SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(centre.x, centre.y));
    SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(centre.x, centre.y));
    appState.panX = 0.1f;
    SendMessageW(window, WM_KEYDOWN, VK_LEFT, 0);
    ASSERT_GT(appState.zoom, 1.4f);
    ASSERT_EQ(sliderPosition(), 480);

    EXPECT_TRUE(installPair(appState.firstImage, appState.secondImage, appState.firstYear,
                            appState.secondYear, appState.caption, false));
    EXPECT_EQ(appState.generation, 2);
    EXPECT_FLOAT_EQ(appState.dividerPos, 0.5f);
    EXPECT_FLOAT_EQ(appState.zoom, 1.0f);
    EXPECT_FLOAT_EQ(appState.panX, 0.0f);
    EXPECT_FLOAT_EQ(appState.panY, 0.0f);
    EXPECT_EQ(sliderPosition(), 500);
    EXPECT_EQ(appState.caption, L"Aral Sea"); // passing the caption itself keeps it
}

TEST_F(MainWindowTest, ExceptionGuardTurnsAThrowIntoCannotReadPhotos) {
    WNDCLASSW registered{};
    ASSERT_TRUE(GetClassInfoW(appState.instanceHandle, MainWindowClass, &registered));
    EXPECT_EQ(registered.lpfnWndProc, &guardedMainWindowProc);

    appState.zoom = 3.0f;
    const LRESULT result = callGuarded([]() -> LRESULT {
        appState.zoom = 4.0f; // changed before the failure: stays changed
        throw std::bad_alloc();
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(appState.statusText, localizedText(TextId::CannotReadPhotos));
    EXPECT_TRUE(appState.statusIsError);
    EXPECT_FLOAT_EQ(appState.zoom, 4.0f);

    setStatus(TextId::Ready, false);
    EXPECT_EQ(callGuarded([]() -> LRESULT { throw 42; }), 0);
    EXPECT_TRUE(appState.statusIsError);
    // Without a failure the handler's own result passes through and the status stays.
    setStatus(TextId::Ready, false);
    EXPECT_EQ(callGuarded([]() -> LRESULT { return 7; }), 7);
    EXPECT_FALSE(appState.statusIsError);
}

TEST_F(MainWindowTest, ExitDuringADownloadWaitsAndBringsTheWindowBack) {
    appState.downloadInProgress = true;
    ASSERT_FALSE(IsWindowVisible(window)); // as if hidden in the tray
    command(IDM_EXIT);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(appState.statusText, localizedText(TextId::WaitForDownload));
    EXPECT_FALSE(appState.statusIsError);
    MSG quit{};
    EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));

    appState.downloadInProgress = false;
    SendMessageW(window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_FALSE(IsWindow(window));
    ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 0u);
}

TEST_F(MainWindowTest, CreationAddsTheTrayIcon) {
    ASSERT_TRUE(appState.trayIconAdded);
    const NOTIFYICONDATAW& data = appState.trayIconData;
    EXPECT_EQ(data.cbSize, 976u);
    EXPECT_EQ(data.hWnd, window);
    EXPECT_EQ(data.uID, 1u);
    EXPECT_EQ(data.uFlags, 0x7u);
    EXPECT_EQ(data.uCallbackMessage, 32769u);
    EXPECT_NE(data.hIcon, nullptr);
    EXPECT_STREQ(data.szTip, L"Driftpane");
    EXPECT_EQ(data.uVersion, static_cast<UINT>(NOTIFYICON_VERSION_4));
}

TEST_F(MainWindowTest, CloseMinimizeEscapeAndHideButtonHideToTheTray) {
    show();
    auto trayEvent = [&](WORD event) {
        SendMessageW(window, WM_APP_TRAY, 0, MAKELPARAM(event, 1));
    };
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window)); // closing never ends the program
    EXPECT_FALSE(IsWindowVisible(window));
    trayEvent(WM_LBUTTONUP);
    EXPECT_TRUE(IsWindowVisible(window));

    command(IDC_HIDE_TO_TRAY);
    EXPECT_FALSE(IsWindowVisible(window));
    trayEvent(NIN_KEYSELECT);
    EXPECT_TRUE(IsWindowVisible(window));

    command(IDCANCEL);
    EXPECT_FALSE(IsWindowVisible(window));
    trayEvent(NIN_SELECT);
    EXPECT_TRUE(IsWindowVisible(window));

    SendMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(IsWindowVisible(window));
    trayEvent(WM_MOUSEMOVE); // other events do nothing
    EXPECT_FALSE(IsWindowVisible(window));
    trayEvent(WM_LBUTTONUP);

    ShowWindow(window, SW_MINIMIZE);
    EXPECT_FALSE(IsWindowVisible(window));
    trayEvent(WM_LBUTTONUP);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(IsIconic(window));
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(MainWindowTest, EnterDoesNothing) {
    const int generation = appState.generation;
    const std::wstring status = appState.statusText;
    command(IDOK);
    EXPECT_EQ(appState.generation, generation);
    EXPECT_EQ(appState.statusText, status);
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(MainWindowTest, TrayMenuOpensAndExits) {
    HMENU menu = buildTrayMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 2);
    EXPECT_EQ(GetMenuItemID(menu, 0), IDM_TRAY_OPEN);
    EXPECT_EQ(GetMenuItemID(menu, 1), IDM_TRAY_EXIT);
    wchar_t text[64] = {};
    GetMenuStringW(menu, 0, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, localizedText(TextId::OpenApp));
    GetMenuStringW(menu, 1, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, localizedText(TextId::Exit));
    DestroyMenu(menu);

    ASSERT_FALSE(IsWindowVisible(window));
    runTrayMenuChoice(IDM_TRAY_OPEN);
    EXPECT_TRUE(IsWindowVisible(window));

    // Exit while a download runs brings the hidden window back with a notice.
    hideToTray();
    ASSERT_FALSE(IsWindowVisible(window));
    appState.downloadInProgress = true;
    runTrayMenuChoice(IDM_TRAY_EXIT);
    pumpMessages();
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(appState.statusText, localizedText(TextId::WaitForDownload));

    runTrayMenuChoice(0); // nothing chosen
    pumpMessages();
    EXPECT_TRUE(IsWindow(window));

    appState.downloadInProgress = false;
    runTrayMenuChoice(IDM_TRAY_EXIT);
    pumpMessages();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(appState.trayIconAdded); // the destruction removed the icon
}

TEST_F(MainWindowTest, ShellRestartAddsTheIconAgain) {
    const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    EXPECT_EQ(appState.taskbarCreatedMessage, taskbarCreated);
    Shell_NotifyIconW(NIM_DELETE, &appState.trayIconData); // what a shell restart loses
    appState.trayIconData = NOTIFYICONDATAW{};
    SendMessageW(window, taskbarCreated, 0, 0);
    EXPECT_TRUE(appState.trayIconAdded);
    EXPECT_EQ(appState.trayIconData.hWnd, window);
    // The icon is really back: changing its tip succeeds only for a known icon.
    NOTIFYICONDATAW probe = appState.trayIconData;
    probe.uFlags = NIF_TIP;
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &probe));
}

TEST_F(MainWindowTest, DragInTheViewMovesTheDividerAndTheSlider) {
    const RECT size = client();
    const int viewWidth = size.right - 302;
    const int y = 192 + 50;
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, clientPoint(274 + viewWidth / 4, y));
    EXPECT_TRUE(appState.dragging);
    EXPECT_FALSE(appState.dragIsPan);
    EXPECT_EQ(GetCapture(), window);
    EXPECT_NEAR(appState.dividerPos, 0.25f, 0.002f);
    EXPECT_NEAR(sliderPosition(), 250, 2);
    // Coordinates left of the client area arrive as negative 16-bit values while captured.
    SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, clientPoint(-40, y));
    EXPECT_FLOAT_EQ(appState.dividerPos, 0.0f);
    EXPECT_EQ(sliderPosition(), 0);
    SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, clientPoint(size.right + 400, y));
    EXPECT_FLOAT_EQ(appState.dividerPos, 1.0f);
    EXPECT_EQ(sliderPosition(), 1000);
    SendMessageW(window, WM_LBUTTONUP, 0, clientPoint(size.right + 400, y));
    EXPECT_FALSE(appState.dragging);
    EXPECT_NE(GetCapture(), window);
    // A press outside the view (over the left panel) does nothing.
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, clientPoint(100, y));
    EXPECT_FALSE(appState.dragging);
    EXPECT_FLOAT_EQ(appState.dividerPos, 1.0f);
}

TEST_F(MainWindowTest, ShiftDragPansAZoomedView) {
    const RECT size = client();
    POINT centre{size.right / 2, 192 + (size.bottom - 355) / 2};
    POINT screen = centre;
    ClientToScreen(window, &screen);
    for (int i = 0; i < 4; ++i) {
        SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA),
                     MAKELPARAM(screen.x, screen.y));
    }
    EXPECT_NEAR(appState.zoom, 2.0736f, 1e-4f);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, clientPoint(centre.x, centre.y));
    EXPECT_TRUE(appState.dragIsPan);
    EXPECT_FLOAT_EQ(appState.dividerPos, 0.5f);
    SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, clientPoint(centre.x + 5000, centre.y));
    EXPECT_NEAR(appState.panX, 0.5368f, 1e-4f);
    EXPECT_FLOAT_EQ(appState.panY, 0.0f);
    SendMessageW(window, WM_LBUTTONUP, 0, clientPoint(centre.x + 5000, centre.y));
    // One step out clamps the pan to the smaller limit.
    SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                 MAKELPARAM(screen.x, screen.y));
    EXPECT_NEAR(appState.zoom, 1.728f, 1e-4f);
    EXPECT_NEAR(appState.panX, 0.364f, 1e-4f);
}

TEST_F(MainWindowTest, WheelOutsideTheViewChangesNothing) {
    const RECT place = childRect(window, IDC_PLACE_FIRST);
    POINT over{place.left + 5, place.top + 5};
    ClientToScreen(window, &over);
    SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(over.x, over.y));
    EXPECT_FLOAT_EQ(appState.zoom, 1.0f);
    // The same client point given as if it were a screen point would land elsewhere when the
    // window is not at the screen origin; the view's own screen point zooms.
    const RECT size = client();
    POINT inside{size.right / 2, size.bottom / 2};
    ClientToScreen(window, &inside);
    SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(inside.x, inside.y));
    EXPECT_NEAR(appState.zoom, 1.2f, 1e-6f);
}

TEST_F(MainWindowTest, KeysAndSliderMoveTheDivider) {
    SendMessageW(window, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_NEAR(appState.dividerPos, 0.52f, 1e-6f);
    EXPECT_EQ(sliderPosition(), 520);
    SendMessageW(window, WM_KEYDOWN, 'A', 0);
    EXPECT_NEAR(appState.dividerPos, 0.52f, 1e-6f);

    HWND slider = item(IDC_COMPARISON);
    SendMessageW(slider, TBM_SETPOS, TRUE, 333);
    SendMessageW(window, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 333),
                 reinterpret_cast<LPARAM>(slider));
    EXPECT_FLOAT_EQ(appState.dividerPos, 0.333f);
    // A scroll message from anything but the slider is ignored.
    SendMessageW(slider, TBM_SETPOS, TRUE, 900);
    SendMessageW(window, WM_HSCROLL, SB_THUMBPOSITION, 0);
    EXPECT_FLOAT_EQ(appState.dividerPos, 0.333f);

    click(IDC_FIT);
    EXPECT_FLOAT_EQ(appState.dividerPos, 0.5f);
    EXPECT_EQ(sliderPosition(), 500);
    EXPECT_EQ(appState.generation, 1);
}

TEST_F(MainWindowTest, ArrowKeysReachTheWindowThroughDialogNavigation) {
    // The message loop hands every message to IsDialogMessageW first; with the main window
    // focused the arrows must still move the divider, and Escape must still hide.
    show();
    SetFocus(window);
    ASSERT_EQ(GetFocus(), window);
    MSG key{window, WM_KEYDOWN, VK_LEFT, 0, 0, {}};
    EXPECT_TRUE(IsDialogMessageW(window, &key));
    EXPECT_NEAR(appState.dividerPos, 0.48f, 1e-6f);
    EXPECT_EQ(GetFocus(), window);
    key.wParam = VK_RIGHT;
    IsDialogMessageW(window, &key);
    IsDialogMessageW(window, &key);
    EXPECT_NEAR(appState.dividerPos, 0.52f, 1e-6f);
    EXPECT_EQ(sliderPosition(), 520);
    key.wParam = VK_ESCAPE;
    EXPECT_TRUE(IsDialogMessageW(window, &key));
    EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(MainWindowTest, ClockStripIsInvalidatedOnlyWhileVisible) {
    show();
    redraw();
    ValidateRect(window, nullptr);
    SendMessageW(window, WM_TIMER, IDT_CLOCK, 0);
    RECT update{};
    ASSERT_TRUE(GetUpdateRect(window, &update, FALSE));
    const RECT size = client();
    EXPECT_EQ(update.top, size.bottom - 42);
    EXPECT_EQ(update.bottom, size.bottom);
    EXPECT_EQ(update.left, 0);
    EXPECT_EQ(update.right, size.right);

    ValidateRect(window, nullptr);
    SendMessageW(window, WM_TIMECHANGE, 0, 0);
    ASSERT_TRUE(GetUpdateRect(window, &update, FALSE));
    EXPECT_EQ(update.top, size.bottom - 42);

    ValidateRect(window, nullptr);
    ShowWindow(window, SW_HIDE);
    ValidateRect(window, nullptr);
    SendMessageW(window, WM_TIMER, IDT_CLOCK, 0);
    EXPECT_FALSE(GetUpdateRect(window, &update, FALSE));
}

TEST_F(MainWindowTest, SettingChangeRestoresTextsAndSetsReady) {
    appState.languageIndex = 1;
    setStatus(TextId::CannotSave, true);
    const std::wstring german = appState.statusText;
    SetDlgItemTextW(window, IDC_SWAP, L"x");
    SetDlgItemTextW(window, IDC_OPEN_FOLDER, L"y");
    SetDlgItemTextW(window, IDC_PLACE_FIRST, L"z");
    SendMessageW(window, WM_SETTINGCHANGE, 0, 0);
    // Wine's UI language is English; the status set in German was not translated but replaced.
    EXPECT_EQ(appState.languageIndex, 0);
    EXPECT_NE(appState.statusText, german);
    EXPECT_EQ(appState.statusText, TextTable[static_cast<int>(TextId::Ready)][0]);
    EXPECT_FALSE(appState.statusIsError);
    EXPECT_EQ(windowText(item(IDC_SWAP)), TextTable[static_cast<int>(TextId::Swap)][0]);
    EXPECT_EQ(windowText(item(IDC_HELP)), TextTable[static_cast<int>(TextId::HelpLabel)][0]);
    EXPECT_EQ(windowText(item(IDC_OPEN_FOLDER)), L"LocalAppData / Driftpane");
    EXPECT_EQ(windowText(item(IDC_PLACE_FIRST)), L"z"); // place buttons keep their text
}

TEST_F(MainWindowTest, DpiChangeRescalesFontAndLayout) {
    RECT suggested{};
    GetWindowRect(window, &suggested);
    suggested.right = suggested.left + 1700;
    suggested.bottom = suggested.top + 1150;
    HFONT oldFont = appState.uiFont;
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_FLOAT_EQ(appState.uiScale, 1.5f);
    EXPECT_NE(appState.uiFont, oldFont);
    LOGFONTW font{};
    GetObjectW(appState.uiFont, sizeof(font), &font);
    EXPECT_EQ(font.lfHeight, -20);
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(child) != IDC_COMPARISON) {
            EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)),
                      appState.uiFont);
        }
    }
    RECT outer{};
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.right - outer.left, 1700);
    EXPECT_EQ(childRect(window, IDC_PLACE_FIRST + 2).top, 425);
    EXPECT_EQ(childRect(window, IDC_FIT).left, client().right - scaledBy(124.0f, 1.5f));
}

TEST_F(MainWindowTest, SelectedPlaceButtonIsDarkOnlyForAnArchivePair) {
    show();
    redraw();
    Capture shot = captureClient(window);
    auto inside = [&](int id) {
        const RECT rect = childRect(window, id);
        return shot.at(rect.left + 2, rect.top + 2);
    };
    EXPECT_EQ(inside(IDC_PLACE_FIRST), rgbOnly(Palette::Ink));
    EXPECT_EQ(inside(IDC_PLACE_FIRST + 1), rgbOnly(PanelColor));
    EXPECT_EQ(inside(IDC_PLACE_FIRST + 2), rgbOnly(PanelColor));
    EXPECT_EQ(inside(IDC_SAVE_PAIR), rgbOnly(Palette::Accent));
    EXPECT_EQ(inside(IDC_SWAP), rgbOnly(PanelColor));

    ASSERT_TRUE(installPair(appState.firstImage, appState.secondImage, 1950, 2020,
                            localizedText(TextId::LocalPair), true));
    redraw();
    shot = captureClient(window);
    EXPECT_EQ(appState.selectedPlace, 0);
    for (int place = 0; place < PlaceCount; ++place) {
        EXPECT_EQ(inside(IDC_PLACE_FIRST + place), rgbOnly(PanelColor)) << "place " << place;
    }

    click(IDC_PLACE_FIRST + 2);
    redraw();
    shot = captureClient(window);
    EXPECT_EQ(inside(IDC_PLACE_FIRST + 2), rgbOnly(Palette::Ink));
    EXPECT_EQ(inside(IDC_PLACE_FIRST), rgbOnly(PanelColor));
}

TEST_F(MainWindowTest, StatusLineColourFollowsTheErrorMark) {
    show();
    const RECT size = client();
    // The status box: 274, H - 39, W - 595 wide, 38 high.
    auto reddest = [&]() {
        redraw();
        const Capture shot = captureClient(window);
        int best = -256;
        int inked = 0;
        for (int y = size.bottom - 39; y < size.bottom - 1; ++y) {
            for (int x = 274; x < size.right - 321; ++x) {
                const Rgb c = rgbOf(shot.at(x, y));
                if (c.r + c.g + c.b < 3 * 0xC0) {
                    ++inked;
                    best = std::max(best, c.r - c.g);
                }
            }
        }
        EXPECT_GT(inked, 20) << "no status text found";
        return best;
    };
    setStatus(TextId::InvalidYears, true);
    EXPECT_GT(reddest(), 60); // 0xA13327: red well above green
    setStatus(TextId::InvalidYears, false);
    EXPECT_LT(reddest(), 25); // 0x69726F: grey
}

TEST(OwnerDrawnButton, StatesAndKinds) {
    const HINSTANCE instance = appState.instanceHandle;
    appState.uiScale = 1.0f;
    appState.selectedPlace = 1;
    appState.isLocalPair = false;
    HWND button = CreateWindowExW(0, L"BUTTON", L"Load years", WS_POPUP | BS_OWNERDRAW, 0, 0, 120,
                                  36, nullptr, nullptr, instance, nullptr);
    ASSERT_NE(button, nullptr);
    constexpr int Width = 120;
    constexpr int Height = 36;

    auto draw = [&](UINT id, UINT state) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = Width;
        info.bmiHeader.biHeight = -Height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC memory = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(memory, bitmap);
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.CtlID = id;
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = state;
        item.hwndItem = button;
        item.hDC = memory;
        item.rcItem = RECT{0, 0, Width, Height};
        drawOwnerButton(item);
        GdiFlush();
        const auto* p = static_cast<const std::uint32_t*>(bits);
        std::vector<std::uint32_t> pixels(p, p + Width * Height);
        for (auto& pixel : pixels) {
            pixel = rgbOnly(pixel);
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        return pixels;
    };
    auto darkest = [](const std::vector<std::uint32_t>& pixels) {
        int best = 3 * 255;
        for (std::uint32_t pixel : pixels) {
            const Rgb c = rgbOf(pixel);
            best = std::min(best, c.r + c.g + c.b);
        }
        return best / 3;
    };
    auto lightest = [](const std::vector<std::uint32_t>& pixels) {
        int best = 0;
        for (std::uint32_t pixel : pixels) {
            const Rgb c = rgbOf(pixel);
            best = std::max(best, c.r + c.g + c.b);
        }
        return best / 3;
    };

    const auto normal = draw(IDC_LOAD_YEARS, 0);
    EXPECT_EQ(normal[0], rgbOnly(PanelColor));
    EXPECT_EQ(normal[Width * Height - 1], rgbOnly(PanelColor));
    EXPECT_LT(darkest(normal), 0x60) << "ink text expected";

    const auto disabled = draw(IDC_LOAD_YEARS, ODS_DISABLED);
    EXPECT_EQ(disabled[0], rgbOnly(PanelColor)); // keeps its background
    EXPECT_GE(darkest(disabled), 0x80) << "grey text expected";
    EXPECT_LT(darkest(disabled), 0xC0) << "some text expected";

    const auto pressed = draw(IDC_PLACE_FIRST + 1, ODS_SELECTED);
    EXPECT_EQ(pressed[0], rgbOnly(ButtonPressedColor));
    const auto selectedPlace = draw(IDC_PLACE_FIRST + 1, 0);
    EXPECT_EQ(selectedPlace[0], rgbOnly(Palette::Ink));
    EXPECT_GT(lightest(selectedPlace), 0xE8) << "white text expected";
    const auto otherPlace = draw(IDC_PLACE_FIRST + 2, 0);
    EXPECT_EQ(otherPlace[0], rgbOnly(PanelColor));
    const auto accent = draw(IDC_SAVE_PAIR, 0);
    EXPECT_EQ(accent[0], rgbOnly(Palette::Accent));
    EXPECT_GT(lightest(accent), 0xE8);
    EXPECT_EQ(draw(IDC_IMPORT, 0)[0], rgbOnly(Palette::Accent));

    // The focus rectangle runs 3 pixels inside the edge and nowhere else.
    const auto focused = draw(IDC_SWAP, ODS_FOCUS);
    int changedOnFrame = 0;
    for (int x = 3; x < Width - 3; ++x) {
        changedOnFrame += focused[3 * Width + x] != rgbOnly(PanelColor) ? 1 : 0;
    }
    EXPECT_GT(changedOnFrame, Width / 4);
    EXPECT_EQ(focused[2 * Width + 10], rgbOnly(PanelColor));
    const auto unfocused = draw(IDC_SWAP, 0);
    EXPECT_EQ(unfocused[3 * Width + 10], rgbOnly(PanelColor));

    DestroyWindow(button);
    appState.selectedPlace = 0;
}
