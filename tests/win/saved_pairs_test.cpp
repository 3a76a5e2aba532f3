// Saving, listing and reopening pairs, the folder button and PNG export, driven through the
// real main window with its per-user folder in a scratch folder.
#include "app/commands.h"
#include "app/control_ids.h"
#include "app/startup.h"
#include "archive/archive_photo.h"
#include "core/text_table.h"
#include "pairs/pair_file.h"
#include "pairs/saved_pairs.h"
#include "render/comparison.h"
#include "tests/win/import_hook.h"
#include "tests/win/scratch_folder.h"
#include "tests/win/test_support.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Texts = std::vector<std::wstring>;

const std::wstring Placeholder = L"Your saved pairs appear here.";
constexpr std::uint32_t Red = 0xFFC03020;
constexpr std::uint32_t Blue = 0xFF2030C0;

class SavedPairsWindow : public FreshAppStateTest {
  protected:
    void SetUp() override {
        FreshAppStateTest::SetUp();
        appState.appDataDir = scratch / L"Driftpane";
        window = createMainWindowAt(1.0f);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        DestroyWindow(window);
        for (MSG message{}; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
        }
        FreshAppStateTest::TearDown();
    }

    std::wstring folder(const wchar_t* name) const { return joinPath(appState.appDataDir, name); }
    HWND list() const { return GetDlgItem(window, IDC_SAVED_PAIRS); }
    void command(int id, WORD code = BN_CLICKED) {
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, code), 0);
    }
    void select(int index, WORD code = LBN_SELCHANGE) {
        SendMessageW(list(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        command(IDC_SAVED_PAIRS, code);
    }
    Texts listTexts() const {
        Texts texts(static_cast<std::size_t>(SendMessageW(list(), LB_GETCOUNT, 0, 0)));
        for (std::size_t i = 0; i < texts.size(); ++i) {
            texts[i].resize(static_cast<std::size_t>(SendMessageW(list(), LB_GETTEXTLEN, i, 0)));
            SendMessageW(list(), LB_GETTEXT, i, reinterpret_cast<LPARAM>(texts[i].data()));
        }
        return texts;
    }
    static void expectStatus(TextId id, bool isError) {
        EXPECT_EQ(std::tuple(appState.statusText, appState.statusIsError),
                  std::tuple(std::wstring(localizedText(id)), isError));
    }

    ScratchFolder scratch;
    HWND window = nullptr;
};

} // namespace

TEST_F(SavedPairsWindow, SaveListAndReopenTheDefaultPairBitForBit) {
    // No Pairs folder: only the placeholder, which opens nothing; listing creates nothing.
    EXPECT_EQ(listTexts(), Texts{Placeholder});
    select(0);
    EXPECT_EQ(appState.generation, 1);
    EXPECT_FALSE(pathExists(folder(L"Pairs")));

    command(IDC_SAVE_PAIR);
    expectStatus(TextId::PairSaved, false);
    EXPECT_EQ(listTexts(), Texts{L"1  |  2000 / 2018"});
    EXPECT_EQ(SendMessageW(list(), LB_GETCURSEL, 0, 0), LB_ERR) << "the new entry is not selected";
    const Texts files = folderEntries(folder(L"Pairs"));
    ASSERT_EQ(files.size(), 1u) << "no temporary file beside the pair";
    EXPECT_EQ(appState.savedPairFiles, Texts{joinPath(folder(L"Pairs"), files[0])});

    // Another pair on display; only a selection change brings the saved one back.
    command(IDC_PLACE_FIRST + 2);
    command(IDC_LOAD_YEARS);
    select(0, LBN_DBLCLK);
    ASSERT_EQ(appState.caption, L"Lake Powell");
    select(0);
    expectStatus(TextId::Ready, false);
    EXPECT_EQ(
        std::tuple(appState.caption, appState.isLocalPair, appState.firstYear, appState.secondYear),
        std::tuple(std::wstring(L"Local pair"), true, 2000, 2018));
    EXPECT_TRUE(appState.firstImage->bytes == loadArchivePhoto(0)->bytes);
    EXPECT_TRUE(appState.secondImage->bytes == loadArchivePhoto(18)->bytes);

    // Swapped and saved again: the later save on top, in its own year order.
    command(IDC_SWAP);
    command(IDC_SAVE_PAIR);
    EXPECT_EQ(listTexts(), (Texts{L"1  |  2018 / 2000", L"2  |  2000 / 2018"}));
}

TEST_F(SavedPairsWindow, ADoubleClickOnSavePairSavesOnceAndTenQuickClicksSaveTen) {
    // Small photos: each click saves them and repaints the window, which with the archive's
    // photos took minutes on a busy machine.
    ASSERT_TRUE(installPair(solidPhoto(64, 48, 0xFF336699), solidPhoto(64, 48, 0xFF996633), 1950,
                            2020, L"Local pair", true));
    const CommandNotices notices(IDC_SAVE_PAIR);
    ASSERT_NE(notices.hook, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    HWND save = GetDlgItem(window, IDC_SAVE_PAIR);

    clickWithMouse(save, {60, 16}, 2);
    EXPECT_EQ(notices.codes, (std::vector<WORD>{BN_CLICKED, BN_DOUBLECLICKED}));
    EXPECT_EQ(folderEntries(folder(L"Pairs")).size(), 1u);
    // Quick clicks, each too far from the one before to make a double click with it.
    notices.codes.clear();
    for (int i = 0; i < 10; ++i) {
        clickWithMouse(save, {i % 2 ? 30 : 100, 16}, 1);
    }
    EXPECT_EQ(notices.codes, std::vector<WORD>(10, BN_CLICKED));
    EXPECT_EQ(folderEntries(folder(L"Pairs")).size(), 11u);
}

TEST_F(SavedPairsWindow, PlaceholderFollowsTheLanguage) {
    appState.languageIndex = 1;
    refreshSavedPairs();
    EXPECT_EQ(listTexts(), Texts{TextTable[static_cast<int>(TextId::SavedPairsEmpty)][1]});
    SendMessageW(window, WM_SETTINGCHANGE, 0, 0); // Wine's UI language is English
    EXPECT_EQ(listTexts(), Texts{Placeholder});
}

TEST_F(SavedPairsWindow, FilesTheProgramDidNotWriteAreListedAndRefused) {
    const Bytes second = solidPhoto(16, 10, Blue)->bytes;
    const Bytes valid = encodePairFile(1990, 2010, solidPhoto(16, 10, Red)->bytes, second);
    const auto with = [&](std::size_t at, std::uint32_t value) {
        Bytes image = valid;
        for (int i = 0; i < 4; ++i) {
            image[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
        }
        return image;
    };
    Bytes trailing = valid;
    trailing.push_back(0);
    const std::wstring years = L"1  |  1990 / 2010", unknown = L"1  |  ?";
    const struct {
        const char* name;
        Bytes image;
        std::wstring text;
    } cases[] = {
        {"0 bytes", {}, unknown},
        {"23 bytes", Bytes(valid.begin(), valid.begin() + 23), unknown},
        {"truncated by one byte", Bytes(valid.begin(), valid.end() - 1), years},
        {"one trailing byte", trailing, years},
        {"wrong magic, sensible years", with(0, 0x32465044), years}, // "DPF2"
        {"version 2", with(4, 2), years},
        {"equal years", with(12, 1990), unknown},
        {"year 1799", with(8, 1799), unknown},
        {"year 2201", with(12, 2201), unknown},
        {"year -1", with(8, 0xFFFFFFFFu), unknown},
        {"lengths 0", encodePairFile(1990, 2010, {}, {}), years},
        {"blocks that are not photos", encodePairFile(1990, 2010, Bytes(300, 0x42), second), years},
    };
    ASSERT_TRUE(ensureDirectory(folder(L"Pairs")));
    const std::wstring path = joinPath(folder(L"Pairs"), L"pair-x.dpf");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeTestFile(path, c.image));
        refreshSavedPairs();
        EXPECT_EQ(listTexts(), Texts{c.text});
        select(0);
        expectStatus(TextId::InvalidSavedPair, true);
        EXPECT_EQ(std::tuple(appState.generation, appState.caption),
                  std::tuple(1, std::wstring(L"Aral Sea")));
        EXPECT_EQ(SendMessageW(list(), LB_GETCURSEL, 0, 0), 0) << "the selection stays put";
    }
    // The valid file opens, so the refusals were the files' own; then it is deleted
    // between listing and selecting.
    ASSERT_TRUE(writeTestFile(path, valid));
    refreshSavedPairs();
    select(0);
    expectStatus(TextId::Ready, false);
    EXPECT_TRUE(appState.secondImage->bytes == second);
    ASSERT_TRUE(DeleteFileW(path.c_str()));
    select(0);
    expectStatus(TextId::InvalidSavedPair, true);
    EXPECT_EQ(appState.generation, 2);

    // Upper-case extension: not listed. A folder named like a pair file: listed, refused.
    ASSERT_TRUE(writeTestFile(joinPath(folder(L"Pairs"), L"upper.DPF"), valid));
    refreshSavedPairs();
    EXPECT_EQ(listTexts(), Texts{Placeholder});
    ASSERT_TRUE(CreateDirectoryW(joinPath(folder(L"Pairs"), L"x.dpf").c_str(), nullptr));
    refreshSavedPairs();
    EXPECT_EQ(listTexts(), Texts{unknown});
    select(0);
    expectStatus(TextId::InvalidSavedPair, true);
}

namespace {

// The folder button really opens the folder; the window it opens is the test's to close.
using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
std::vector<HANDLE> folderWindows;

HINSTANCE WINAPI openKeepingTheProcess(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                                       LPCWSTR directory, INT show) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.hwnd = owner;
    info.lpVerb = verb;
    info.lpFile = file;
    info.lpParameters = parameters;
    info.lpDirectory = directory;
    info.nShow = show;
    if (!ShellExecuteExW(&info)) {
        return reinterpret_cast<HINSTANCE>(SE_ERR_NOASSOC);
    }
    if (info.hProcess) {
        folderWindows.push_back(info.hProcess);
    }
    return info.hInstApp;
}

struct FolderWindowsClosed {
    ImportHook<ShellExecuteFunction> hook{L"shell32.dll", "ShellExecuteW", &openKeepingTheProcess};
    ~FolderWindowsClosed() {
        for (HANDLE process : folderWindows) {
            TerminateProcess(process, 0);
            WaitForSingleObject(process, 10000);
            CloseHandle(process);
        }
        folderWindows.clear();
    }
};

} // namespace

TEST_F(SavedPairsWindow, WhatCannotBeWrittenShowsCannotSaveAndWritesNothing) {
    const FolderWindowsClosed folderWindowsClosed;
    ASSERT_TRUE(folderWindowsClosed.hook.installed());
    // Files where the Pairs folder and then the per-user folder itself belong.
    ASSERT_TRUE(ensureDirectory(appState.appDataDir));
    ASSERT_TRUE(writeTestFile(folder(L"Pairs"), {7}));
    command(IDC_SAVE_PAIR);
    expectStatus(TextId::CannotSave, true);
    EXPECT_EQ(folderEntries(appState.appDataDir), Texts{L"Pairs"});
    const std::wstring perUser = appState.appDataDir;
    appState.appDataDir = folder(L"Pairs");
    setStatus(TextId::Ready, false);
    command(IDC_OPEN_FOLDER);
    expectStatus(TextId::CannotSave, true);

    // The folder button makes a missing folder with its parents and leaves the status.
    appState.appDataDir = perUser + L"\\Local\\Driftpane";
    setStatus(TextId::Ready, false);
    command(IDC_OPEN_FOLDER);
    expectStatus(TextId::Ready, false);
    EXPECT_TRUE(isFolder(appState.appDataDir));

    // No per-user folder: no placeholder, and every writer reports CannotSave.
    appState.appDataDir.clear();
    SendMessageW(window, WM_SETTINGCHANGE, 0, 0);
    EXPECT_EQ(listTexts(), Texts{});
    for (int id : {IDC_SAVE_PAIR, IDC_EXPORT_PNG, IDC_OPEN_FOLDER}) {
        setStatus(TextId::Ready, false);
        command(id);
        expectStatus(TextId::CannotSave, true);
    }

    // No pair on display: saving does nothing at all; exporting reports CannotSave.
    appState.appDataDir = perUser;
    appState.firstImage.reset();
    ASSERT_TRUE(DeleteFileW(folder(L"Pairs").c_str()));
    setStatus(TextId::Ready, false);
    command(IDC_SAVE_PAIR);
    expectStatus(TextId::Ready, false);
    command(IDC_EXPORT_PNG);
    expectStatus(TextId::CannotSave, true);
    EXPECT_EQ(folderEntries(appState.appDataDir), Texts{L"Local"});
}

TEST_F(SavedPairsWindow, ExportIsAFullSizeOpaquePngWhateverTheScreen) {
    // Photos of the export's own aspect ratio fill the frame edge to edge.
    ASSERT_TRUE(installPair(solidPhoto(160, 100, Red), solidPhoto(160, 100, Blue), 1990, 2010,
                            L"Local pair", true));
    std::vector<Pixels> exports;
    const auto exportOnce = [&] {
        command(IDC_EXPORT_PNG);
        expectStatus(TextId::PngExported, false);
        const Texts names = folderEntries(folder(L"Exports"));
        ASSERT_EQ(names.size(), exports.size() + 1) << "one new file each time, no .tmp";
        EXPECT_TRUE(names.back().starts_with(L"pair-") && names.back().ends_with(L".png"));
        Gdiplus::Bitmap png(joinPath(folder(L"Exports"), names.back()).c_str());
        ASSERT_EQ(std::tuple(png.GetWidth(), png.GetHeight()), std::tuple(1920u, 1200u));
        exports.push_back(bitmapPixels(png, true));
    };
    exportOnce();
    ASSERT_EQ(exports.size(), 1u);
    const Pixels& png = exports[0];
    EXPECT_TRUE(std::all_of(png.argb.begin(), png.argb.end(), [](std::uint32_t pixel) {
        return pixel >> 24 == 0xFF;
    })) << "every pixel opaque";
    const auto chip = [](std::uint32_t photo) {
        return blend(photo, ChipColour | 0xFF000000u, (ChipColour >> 24) / 255.0f);
    };
    // The 2-pixel line at 960; chips 76 x 34, 14 pixels from the top corners.
    expectPixels(png, {{958, 600, Red, 4},
                       {959, 600, DividerColour, 4},
                       {960, 600, DividerColour, 4},
                       {961, 600, Blue, 4},
                       {14, 14, chip(Red), 4},
                       {89, 47, chip(Red), 4},
                       {13, 14, Red, 4},
                       {14, 48, Red, 4},
                       {90, 30, Red, 4},
                       {1830, 14, chip(Blue), 4},
                       {1905, 47, chip(Blue), 4},
                       {1829, 30, Blue, 4},
                       {1906, 20, Blue, 4}});

    // Another scale and window size give the very same pixels, in a second file.
    appState.uiScale = 1.5f;
    SetWindowPos(window, nullptr, 0, 0, 1700, 1150, SWP_NOZORDER | SWP_NOMOVE);
    exportOnce();
    ASSERT_EQ(exports.size(), 2u);
    EXPECT_TRUE(exports[1].argb == exports[0].argb);

    // Divider 0: the second photo alone.
    appState.dividerPos = 0.0f;
    exportOnce();
    ASSERT_EQ(exports.size(), 3u);
    EXPECT_EQ(countPixels(exports[2], {0, 0, 1920, 1200},
                          [](std::uint32_t pixel, int, int) { return closeTo(pixel, Red, 40); }),
              0);
}
