// What a user repeats for weeks in one session, each repeated here on the real window: the
// process's committed private memory and the program's live accessible objects must come
// back to where they were, and a replaced font must really be gone.
#include "accessibility/accessible_object.h"
#include "app/commands.h"
#include "app/control_ids.h"
#include "import/modal_window.h"
#include "pairs/storage.h"
#include "render/png_export.h"
#include "tests/win/scratch_folder.h"
#include "tests/win/test_support.h"

#include <windows.h>
#include <oleacc.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <string>

namespace {

// The process's committed private bytes. Windows counts them as PrivateUsage; Wine 8
// answers 0 there and keeps the same count in PagefileUsage.
std::size_t committedBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(GetCurrentProcess(),
                              reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof(counters))) {
        return 0;
    }
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

constexpr std::size_t MiB = 1024 * 1024;

// Every name, role and child object of the main window's tree, as a reader walks it on each
// visit; the child objects are the controls' own.
void readTree(HWND window) {
    IAccessible* raw = nullptr;
    AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                               reinterpret_cast<void**>(&raw));
    const ComPtr<IAccessible> main(raw);
    ASSERT_NE(main, nullptr);
    LONG count = 0;
    main->get_accChildCount(&count);
    for (LONG id = 1; id <= count; ++id) {
        VARIANT child{};
        child.vt = VT_I4;
        child.lVal = id;
        BSTR name = nullptr;
        main->get_accName(child, &name);
        const UniqueBstr held(name);
        ScopedVariant role;
        main->get_accRole(child, role.out());
        IDispatch* object = nullptr;
        main->get_accChild(child, &object);
        const ComPtr<IDispatch> childObject(object);
    }
}

class Leaks : public FreshAppStateTest {
  protected:
    void SetUp() override {
        FreshAppStateTest::SetUp();
        appState.appDataDir = scratch / L"Driftpane";
        window = createMainWindowAt(1.0f);
        ASSERT_NE(window, nullptr);
        ShowWindow(window, SW_SHOWNOACTIVATE);
        pumpMessages();
    }
    void TearDown() override {
        DestroyWindow(window);
        pumpMessages();
        FreshAppStateTest::TearDown();
    }
    void command(int id) { SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

    ScratchFolder scratch;
    HWND window = nullptr;
};

} // namespace

// Each operation runs twice to settle what is made once (codecs, caches, the listing), then
// `times` times more; the growth allowed over all of them is `bound`. The bounds lie
// well below one leaked photo or exported PNG per repetition (checked below for the PNG,
// whose size depends on the photos), and a single leaked accessible object fails at once.
TEST_F(Leaks, RepeatedOperationsGiveBackTheirMemoryAndObjects) {
    // Two local photos of 1000 x 800: each decodes into 3.2 MB.
    const std::wstring first = scratch / L"first.png", second = scratch / L"second.png";
    ASSERT_TRUE(writeFileAtomically(first, encodePng(*solidPhoto(1000, 800, 0xFF336699)->bitmap)));
    ASSERT_TRUE(writeFileAtomically(second, encodePng(*solidPhoto(1000, 800, 0xFF996633)->bitmap)));
    command(IDC_SAVE_PAIR);
    const std::size_t pngBytes = renderExportPng().size();
    int round = 0;
    const struct {
        const char* name;
        int times;
        std::size_t bound;
        std::function<void()> once;
    } operations[] = {
        {"export a PNG", 5, 6 * MiB, [&] { command(IDC_EXPORT_PNG); }},
        {"paint the window", 8, 4 * MiB,
         [&] { RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW); }},
        {"install an archive pair", 6, 8 * MiB, [&] { command(IDC_PLACE_FIRST + (round++ % 3)); }},
        {"open the saved pair", 6, 8 * MiB,
         [&] {
             HWND list = GetDlgItem(window, IDC_SAVED_PAIRS);
             SendMessageW(list, LB_SETCURSEL, 0, 0);
             SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_SAVED_PAIRS, LBN_SELCHANGE),
                          reinterpret_cast<LPARAM>(list));
         }},
        {"import two local photos", 6, 8 * MiB,
         [&] {
             command(IDC_LOCAL_PHOTOS);
             SetDlgItemTextW(appState.importDialog, IDC_FIRST_PATH, first.c_str());
             SetDlgItemTextW(appState.importDialog, IDC_SECOND_PATH, second.c_str());
             importLocalPair(appState.importDialog);
             pumpMessages();
         }},
        {"read the screen-reader tree", 10, 2 * MiB, [&] { readTree(window); }},
        {"open and close the import dialog and the help box", 5, 2 * MiB,
         [&] {
             for (int opener : {IDC_LOCAL_PHOTOS, IDC_HELP}) {
                 command(opener);
                 HWND modal = appState.importDialog ? appState.importDialog : appState.helpWindow;
                 readTree(window);
                 closeModalWindow(modal);
                 pumpMessages();
             }
         }},
        {"change the DPI", 6, 2 * MiB,
         [&] {
             const UINT dpi = (round++ % 2) ? 96 : 144;
             RECT rect{};
             GetWindowRect(window, &rect);
             SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                          reinterpret_cast<LPARAM>(&rect));
         }},
    };
    ASSERT_GT(pngBytes * 5, 6 * MiB) << "a leaked PNG per export would stay under the bound";
    for (const auto& operation : operations) {
        SCOPED_TRACE(operation.name);
        for (int i = 0; i < 2; ++i) {
            operation.once();
        }
        pumpMessages();
        const std::size_t before = committedBytes();
        const long objectsBefore = liveAccessibleObjects();
        ASSERT_GT(before, 0u);
        for (int i = 0; i < operation.times; ++i) {
            operation.once();
        }
        pumpMessages();
        const std::size_t after = committedBytes();
        EXPECT_LE(after, before + operation.bound)
            << (after - before) / 1024 << " KiB more after " << operation.times;
        EXPECT_EQ(liveAccessibleObjects(), objectsBefore);
    }
    EXPECT_EQ(appState.statusText, localizedText(TextId::Ready)) << "every operation succeeded";
}

TEST_F(Leaks, ADpiChangeDeletesTheOldFontAndKeepsTheBrushes) {
    // The colour answers make the brushes; they are kept for the window's life.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    const HFONT oldFont = appState.uiFont.get();
    const HBRUSH panel = appState.panelBrush.get();
    ASSERT_NE(panel, nullptr);
    ASSERT_EQ(GetObjectType(oldFont), static_cast<DWORD>(OBJ_FONT));
    RECT rect{};
    GetWindowRect(window, &rect);
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&rect));
    EXPECT_EQ(GetObjectType(oldFont), 0u) << "the replaced font is deleted";
    EXPECT_EQ(GetObjectType(appState.uiFont.get()), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(appState.panelBrush.get(), panel);
    EXPECT_EQ(GetObjectType(panel), static_cast<DWORD>(OBJ_BRUSH));
}
