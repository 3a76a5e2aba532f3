// A disk that fills up during the write, for real: a small tmpfs reached through Wine's Z:
// drive. The full_disk_tests entry mounts it in a private mount namespace and names it in
// DRIFTPANE_FULL_DISK; the ordinary run has no such disk and skips these tests.
#include "app/commands.h"
#include "pairs/saved_pairs.h"
#include "pairs/storage.h"
#include "render/png_export.h"
#include "tests/win/scratch_folder.h"
#include "tests/win/test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <tuple>

namespace {

// A photo of noise, which PNG cannot shrink: its file is larger than the small disk.
std::shared_ptr<ImageData> noisyPngPhoto(int side, std::uint32_t seed) {
    Gdiplus::Bitmap bitmap(side, side, PixelFormat32bppARGB);
    std::uint32_t state = seed;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            state = state * 1664525u + 1013904223u;
            bitmap.SetPixel(x, y, Gdiplus::Color(0xFF000000u | (state >> 8)));
        }
    }
    std::vector<std::uint8_t> bytes = encodePng(bitmap);
    return bytes.empty() ? nullptr : decodePhoto(std::move(bytes));
}

class FullDisk : public FreshAppStateTest {
  protected:
    void SetUp() override {
        FreshAppStateTest::SetUp();
        const char* disk = std::getenv("DRIFTPANE_FULL_DISK");
        if (!disk || !*disk) {
            GTEST_SKIP() << "run by the full_disk_tests entry, on a small tmpfs";
        }
        folder = std::wstring(disk, disk + std::strlen(disk));
        ASSERT_TRUE(isFolder(folder));
        ASSERT_TRUE(folderEntries(folder).empty()) << "the small disk starts empty";
    }
    std::wstring folder;
};

} // namespace

TEST_F(FullDisk, WriteSaveAndExportLeaveNoFileBehind) {
    // The plain atomic write: neither the temporary nor the final file survives.
    const std::vector<std::uint8_t> large(600 * 1024, 0x5A);
    const std::wstring path = joinPath(folder, L"large.dpf");
    EXPECT_FALSE(writeFileAtomically(path, large));
    EXPECT_TRUE(folderEntries(folder).empty());

    // Saving a pair larger than the disk.
    appState.appDataDir = joinPath(folder, L"Driftpane");
    ASSERT_TRUE(
        installPair(noisyPngPhoto(300, 1), noisyPngPhoto(300, 2), 1990, 2010, L"Local pair", true));
    ASSERT_GT(appState.firstImage->bytes.size() + appState.secondImage->bytes.size(), 600u * 1024);
    saveCurrentPair();
    EXPECT_EQ(std::tuple(appState.statusText, appState.statusIsError),
              std::tuple(std::wstring(localizedText(TextId::CannotSave)), true));
    // The folder was made before the write failed; only the file is missing.
    const std::wstring pairs = joinPath(appState.appDataDir, L"Pairs");
    EXPECT_TRUE(isFolder(pairs));
    EXPECT_TRUE(folderEntries(pairs).empty());

    // Exporting those noisy photos makes a PNG of several megabytes.
    setStatus(TextId::Ready, false);
    exportPng();
    EXPECT_EQ(appState.statusText, localizedText(TextId::CannotSave));
    const std::wstring exports = joinPath(appState.appDataDir, L"Exports");
    EXPECT_TRUE(isFolder(exports));
    EXPECT_TRUE(folderEntries(exports).empty());

    // The disk itself works: what failed was the room.
    const std::vector<std::uint8_t> small(1000, 1);
    EXPECT_TRUE(writeFileAtomically(path, small));
    EXPECT_EQ(readWholeFile(path, 1000), small);
}
