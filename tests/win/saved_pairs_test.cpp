// Saving, listing and reopening pairs, the folder button and PNG export, driven through the
// real main window with its per-user folder in a scratch folder.
#include "app/commands.h"
#include "app/control_ids.h"
#include "app/startup.h"
#include "archive/archive_photo.h"
#include "core/text_table.h"
#include "pairs/pair_file.h"
#include "pairs/saved_pairs.h"
#include "pairs/storage.h"
#include "render/comparison.h"
#include "render/png_export.h"
#include "tests/win/scratch_folder.h"
#include "tests/win/test_support.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace {

using Bytes = std::vector<std::uint8_t>;

void pumpMessages() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message != WM_QUIT) {
            DispatchMessageW(&message);
        }
    }
}

class SavedPairsWindow : public testing::Test {
  protected:
    void SetUp() override {
        resetAppStateKeepingHandles();
        appState.appDataDir = scratch / L"Driftpane";
        createWindow();
    }
    void createWindow() {
        appState.uiFont.reset(createUiFont(appState.uiScale));
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        registerWindowClasses();
        window = createMainWindow();
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

    std::wstring pairsFolder() const { return joinPath(appState.appDataDir, L"Pairs"); }
    std::wstring exportsFolder() const { return joinPath(appState.appDataDir, L"Exports"); }
    HWND list() const { return GetDlgItem(window, IDC_SAVED_PAIRS); }
    void command(int id, WORD code = BN_CLICKED) {
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(list()));
    }
    void select(int index, WORD code = LBN_SELCHANGE) {
        SendMessageW(list(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        command(IDC_SAVED_PAIRS, code);
    }
    std::vector<std::wstring> listTexts() const {
        std::vector<std::wstring> texts;
        const LRESULT count = SendMessageW(list(), LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            std::wstring text(static_cast<std::size_t>(SendMessageW(list(), LB_GETTEXTLEN, i, 0)),
                              L'\0');
            SendMessageW(list(), LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
            texts.push_back(text);
        }
        return texts;
    }
    static void expectStatus(TextId id, bool isError) {
        EXPECT_EQ(appState.statusText, localizedText(id));
        EXPECT_EQ(appState.statusIsError, isError);
    }

    ScratchFolder scratch;
    HWND window = nullptr;
};

const std::wstring Placeholder = L"Your saved pairs appear here.";

} // namespace

TEST_F(SavedPairsWindow, SaveListAndReopenTheDefaultPairBitForBit) {
    // No Pairs folder yet: only the placeholder, and selecting it does nothing.
    EXPECT_EQ(listTexts(), std::vector<std::wstring>{Placeholder});
    EXPECT_FALSE(pathExists(pairsFolder())) << "listing creates nothing";
    const int startGeneration = appState.generation;
    select(0);
    EXPECT_EQ(appState.generation, startGeneration);
    expectStatus(TextId::Ready, false);

    command(IDC_SAVE_PAIR);
    expectStatus(TextId::PairSaved, false);
    EXPECT_EQ(listTexts(), std::vector<std::wstring>{L"1  |  2000 / 2018"});
    ASSERT_EQ(appState.savedPairFiles.size(), 1u);
    const std::vector<std::wstring> files = folderEntries(pairsFolder());
    ASSERT_EQ(files.size(), 1u) << "no temporary file beside the pair";
    EXPECT_EQ(appState.savedPairFiles[0], joinPath(pairsFolder(), files[0]));
    EXPECT_EQ(SendMessageW(list(), LB_GETCURSEL, 0, 0), LB_ERR) << "the new entry is not selected";

    // Another pair on display, then the saved one back, under the local caption.
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_PLACE_FIRST + 2, BN_CLICKED), 0);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_LOAD_YEARS, BN_CLICKED), 0);
    ASSERT_NE(appState.caption, L"Aral Sea");
    select(0, LBN_DBLCLK);
    EXPECT_NE(appState.caption, L"Aral Sea") << "only a selection change opens a pair";
    select(0);
    expectStatus(TextId::Ready, false);
    EXPECT_EQ(std::tuple(appState.caption, appState.isLocalPair, appState.firstYear,
                         appState.secondYear),
              std::tuple(std::wstring(L"Local pair"), true, 2000, 2018));
    ASSERT_TRUE(appState.firstImage && appState.secondImage);
    EXPECT_TRUE(appState.firstImage->bytes == loadArchivePhoto(0)->bytes);
    EXPECT_TRUE(appState.secondImage->bytes == loadArchivePhoto(18)->bytes);

    // Swapped and saved again: the later save is listed on top, in its own year order.
    command(IDC_SWAP);
    command(IDC_SAVE_PAIR);
    EXPECT_EQ(listTexts(), (std::vector<std::wstring>{L"1  |  2018 / 2000", L"2  |  2000 / 2018"}));
    EXPECT_EQ(folderEntries(pairsFolder()).size(), 2u);
}

TEST_F(SavedPairsWindow, PlaceholderFollowsTheLanguage) {
    appState.languageIndex = 1;
    refreshSavedPairs();
    const std::vector<std::wstring> german = listTexts();
    ASSERT_EQ(german.size(), 1u);
    EXPECT_EQ(german[0], TextTable[static_cast<int>(TextId::SavedPairsEmpty)][1]);
    EXPECT_NE(german[0], Placeholder);
    SendMessageW(window, WM_SETTINGCHANGE, 0, 0); // Wine's UI language is English
    EXPECT_EQ(listTexts(), std::vector<std::wstring>{Placeholder});
}

TEST_F(SavedPairsWindow, FilesTheProgramDidNotWriteAreListedAndRefused) {
    const Bytes first = solidPhoto(16, 10, 0xFFC03020)->bytes;
    const Bytes second = solidPhoto(16, 10, 0xFF2030C0)->bytes;
    const Bytes valid = encodePairFile(1990, 2010, first, second);
    const auto withLe = [&](std::size_t at, std::uint32_t value) {
        Bytes image = valid;
        for (int i = 0; i < 4; ++i) {
            image[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
        }
        return image;
    };
    Bytes wrongMagic = valid;
    wrongMagic[3] = '2';
    Bytes trailing = valid;
    trailing.push_back(0);
    const std::wstring listed = L"1  |  1990 / 2010";
    const std::wstring unknown = L"1  |  ?";
    struct Case {
        const char* name;
        Bytes image;
        std::wstring text;
    } cases[] = {
        {"0 bytes", {}, unknown},
        {"23 bytes", Bytes(valid.begin(), valid.begin() + 23), unknown},
        {"truncated by one byte", Bytes(valid.begin(), valid.end() - 1), listed},
        {"one trailing byte", trailing, listed},
        {"wrong magic, sensible years", wrongMagic, listed},
        {"version 2", withLe(4, 2), listed},
        {"equal years", withLe(12, 1990), unknown},
        {"year 1799", withLe(8, 1799), unknown},
        {"year 2201", withLe(12, 2201), unknown},
        {"year -1", withLe(8, 0xFFFFFFFFu), unknown},
        {"lengths 0", encodePairFile(1990, 2010, {}, {}), listed},
        {"blocks that are not photos", encodePairFile(1990, 2010, Bytes(300, 0x42), Bytes(9, 1)),
         listed},
        {"only the second block a photo", encodePairFile(1990, 2010, Bytes(300, 0x42), second),
         listed},
    };
    ASSERT_TRUE(ensureDirectory(pairsFolder()));
    const std::wstring path = joinPath(pairsFolder(), L"pair-x.dpf");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeTestFile(path, c.image));
        refreshSavedPairs();
        EXPECT_EQ(listTexts(), std::vector<std::wstring>{c.text});
        const ImageData* shown = appState.firstImage.get();
        const int generation = appState.generation;
        setStatus(TextId::Ready, false);
        select(0);
        expectStatus(TextId::InvalidSavedPair, true);
        EXPECT_EQ(std::tuple(appState.firstImage.get(), appState.generation, appState.caption),
                  std::tuple(shown, generation, std::wstring(L"Aral Sea")));
        EXPECT_EQ(readTestFile(path), c.image) << "reading never changes the file";
        ASSERT_TRUE(DeleteFileW(path.c_str()));
    }

    // The same valid file opens, so the refusals above were the files' own.
    ASSERT_TRUE(writeTestFile(path, valid));
    refreshSavedPairs();
    select(0);
    expectStatus(TextId::Ready, false);
    EXPECT_EQ(std::tuple(appState.firstYear, appState.secondYear), std::tuple(1990, 2010));
    EXPECT_TRUE(appState.secondImage->bytes == second);

    // Deleted between listing and selecting.
    ASSERT_TRUE(DeleteFileW(path.c_str()));
    select(0);
    expectStatus(TextId::InvalidSavedPair, true);
    EXPECT_EQ(appState.firstYear, 1990);

    // Upper-case extension: not listed. A folder named like a pair file: listed, refused.
    ASSERT_TRUE(writeTestFile(joinPath(pairsFolder(), L"upper.DPF"), valid));
    refreshSavedPairs();
    EXPECT_EQ(listTexts(), std::vector<std::wstring>{Placeholder});
    ASSERT_TRUE(CreateDirectoryW(joinPath(pairsFolder(), L"x.dpf").c_str(), nullptr));
    refreshSavedPairs();
    EXPECT_EQ(listTexts(), std::vector<std::wstring>{unknown});
    select(0);
    expectStatus(TextId::InvalidSavedPair, true);
    EXPECT_TRUE(isFolder(joinPath(pairsFolder(), L"x.dpf")));
}

TEST_F(SavedPairsWindow, SaveFailuresReportCannotSaveAndWriteNothing) {
    // A file where the Pairs folder belongs.
    ASSERT_TRUE(ensureDirectory(appState.appDataDir));
    ASSERT_TRUE(writeTestFile(pairsFolder(), {7}));
    command(IDC_SAVE_PAIR);
    expectStatus(TextId::CannotSave, true);
    EXPECT_EQ(readTestFile(pairsFolder()), Bytes{7});
    EXPECT_EQ(folderEntries(appState.appDataDir).size(), 1u);

    // No photo on display: nothing at all happens.
    ASSERT_TRUE(DeleteFileW(pairsFolder().c_str()));
    setStatus(TextId::Ready, false);
    appState.firstImage.reset();
    command(IDC_SAVE_PAIR);
    expectStatus(TextId::Ready, false);
    EXPECT_FALSE(pathExists(pairsFolder()));
    command(IDC_EXPORT_PNG);
    expectStatus(TextId::CannotSave, true);
    EXPECT_FALSE(pathExists(exportsFolder()));
}

TEST_F(SavedPairsWindow, WithoutAPerUserFolderEverythingThatWritesFails) {
    DestroyWindow(window);
    pumpMessages();
    resetAppStateKeepingHandles();
    createWindow();
    ASSERT_TRUE(appState.appDataDir.empty());
    EXPECT_TRUE(listTexts().empty()) << "no placeholder without a folder";
    for (int id : {IDC_SAVE_PAIR, IDC_EXPORT_PNG, IDC_OPEN_FOLDER}) {
        setStatus(TextId::Ready, false);
        command(id);
        expectStatus(TextId::CannotSave, true);
    }
    EXPECT_TRUE(folderEntries(scratch.path()).empty());
}

TEST_F(SavedPairsWindow, FolderButtonCreatesTheFolderAndKeepsTheStatus) {
    // A file where the folder belongs cannot be opened.
    ASSERT_TRUE(writeTestFile(appState.appDataDir, {1}));
    command(IDC_OPEN_FOLDER);
    expectStatus(TextId::CannotSave, true);
    ASSERT_TRUE(DeleteFileW(appState.appDataDir.c_str()));

    setStatus(TextId::Ready, false);
    appState.appDataDir = scratch / L"Local\\Driftpane";
    command(IDC_OPEN_FOLDER);
    expectStatus(TextId::Ready, false);
    EXPECT_TRUE(isFolder(appState.appDataDir));
}

namespace {

// The written PNG decoded; alpha kept as stored.
struct DecodedPng {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;
    std::uint32_t at(int x, int y) const {
        return argb[static_cast<std::size_t>(y) * width + x] | 0xFF000000u;
    }
};

DecodedPng decodePngFile(const std::wstring& path) {
    DecodedPng png;
    Gdiplus::Bitmap bitmap(path.c_str());
    if (bitmap.GetLastStatus() != Gdiplus::Ok) {
        return png;
    }
    png.width = static_cast<int>(bitmap.GetWidth());
    png.height = static_cast<int>(bitmap.GetHeight());
    png.argb.assign(static_cast<std::size_t>(png.width) * png.height, 0);
    Gdiplus::Rect all(0, 0, png.width, png.height);
    Gdiplus::BitmapData data{};
    data.Width = static_cast<UINT>(png.width);
    data.Height = static_cast<UINT>(png.height);
    data.Stride = png.width * 4;
    data.PixelFormat = PixelFormat32bppARGB;
    data.Scan0 = png.argb.data();
    if (bitmap.LockBits(&all, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf,
                        PixelFormat32bppARGB, &data) == Gdiplus::Ok) {
        bitmap.UnlockBits(&data);
    }
    return png;
}

std::uint32_t chipOver(std::uint32_t photo) {
    return blend(photo, ChipColour | 0xFF000000u, static_cast<float>(ChipColour >> 24) / 255.0f);
}

constexpr std::uint32_t Red = 0xFFC03020;
constexpr std::uint32_t Blue = 0xFF2030C0;

} // namespace

TEST_F(SavedPairsWindow, ExportWritesAFullSizeOpaquePngWhateverTheScreen) {
    // Photos of the export's own aspect ratio fill the frame edge to edge.
    ASSERT_TRUE(installPair(solidPhoto(160, 100, Red), solidPhoto(160, 100, Blue), 1990, 2010,
                            L"Local pair", true));
    std::vector<DecodedPng> exports;
    const auto exportOnce = [&] {
        setStatus(TextId::Ready, false);
        command(IDC_EXPORT_PNG);
        expectStatus(TextId::PngExported, false);
        std::vector<std::wstring> names = folderEntries(exportsFolder());
        std::sort(names.begin(), names.end());
        ASSERT_EQ(names.size(), exports.size() + 1) << "one new file per export, no .tmp";
        const std::wstring& newest = names.back();
        EXPECT_TRUE(newest.starts_with(L"pair-") && newest.ends_with(L".png"));
        exports.push_back(decodePngFile(joinPath(exportsFolder(), newest)));
    };

    exportOnce();
    const DecodedPng& png = exports[0];
    ASSERT_EQ(std::tuple(png.width, png.height), std::tuple(1920, 1200));
    EXPECT_TRUE(std::all_of(png.argb.begin(), png.argb.end(),
                            [](std::uint32_t pixel) { return (pixel >> 24) == 0xFF; }))
        << "every pixel opaque";
    const std::vector<Probe> probes = {
        {958, 600, Red},          {959, 600, DividerColour}, {960, 600, DividerColour},
        {961, 600, Blue},         {500, 1180, Red},          {1500, 20, Blue},
        {14, 14, chipOver(Red)},  {89, 47, chipOver(Red)},   {13, 14, Red},
        {14, 48, Red},            {90, 30, Red},             {1830, 14, chipOver(Blue)},
        {1905, 47, chipOver(Blue)}, {1829, 30, Blue},        {1906, 20, Blue},
    };
    for (const Probe& probe : probes) {
        EXPECT_TRUE(closeTo(png.at(probe.x, probe.y), probe.colour, 4))
            << "at " << probe.x << "," << probe.y;
    }

    // Another scale and window size give the very same pixels, as a second file.
    appState.uiScale = 1.5f;
    SetWindowPos(window, nullptr, 0, 0, 1700, 1150, SWP_NOZORDER | SWP_NOMOVE);
    exportOnce();
    EXPECT_TRUE(exports[1].argb == exports[0].argb);

    // Divider 0: the second photo alone.
    appState.dividerPos = 0.0f;
    exportOnce();
    const DecodedPng& second = exports[2];
    EXPECT_EQ(std::count_if(second.argb.begin(), second.argb.end(),
                            [](std::uint32_t pixel) { return closeTo(pixel, Red, 40); }),
              0);
    EXPECT_TRUE(closeTo(second.at(500, 600), Blue, 4));
}
