// The embedded archive photos: every row loads from its resource as a private copy of the
// committed file and hashes to its catalog digest; rows outside the catalog are refused
// before any resource lookup; a stand-in never carries the digest published for an original.
#include "archive/archive_photo.h"
#include "archive/catalog.h"
#include "core/app_state.h"
#include "download/sha256.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace {

// The "<folder>/<file>" tail of a row's URL.
std::string photoPath(int row) {
    const std::wstring url = ArchiveCatalog[row].url;
    const std::wstring tail = url.substr(url.find(L"/images/") + 8);
    return std::string(tail.begin(), tail.end());
}

} // namespace

TEST(ArchivePhoto, EveryRowLoadsAPrivateCopyOfItsCommittedFile) {
    for (int row = 0; row < CatalogSize; ++row) {
        SCOPED_TRACE(photoPath(row));
        const auto image = loadArchivePhoto(row);
        ASSERT_TRUE(image);
        EXPECT_GT(image->bitmap->GetWidth(), 0u);
        EXPECT_EQ(sha256Hex(image->bytes), ArchiveCatalog[row].sha256);
        std::ifstream in(DRIFTPANE_SOURCE_DIR "/archive/photos/" + photoPath(row),
                         std::ios::binary);
        EXPECT_TRUE(image->bytes ==
                    std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {}));
        // The module's own resource memory never backs a photo.
        HRSRC resource = FindResourceW(appState.instanceHandle,
                                       MAKEINTRESOURCEW(ArchiveCatalog[row].resourceId), RT_RCDATA);
        const auto* begin = static_cast<const std::uint8_t*>(
            LockResource(LoadResource(appState.instanceHandle, resource)));
        const std::uint8_t* data = image->bytes.data();
        EXPECT_TRUE(data + image->bytes.size() <= begin ||
                    data >= begin + SizeofResource(appState.instanceHandle, resource));
    }
    // Another module holds no archive: nothing is found there.
    const HINSTANCE saved = appState.instanceHandle;
    appState.instanceHandle = GetModuleHandleW(L"kernel32.dll");
    EXPECT_FALSE(loadArchivePhoto(0));
    appState.instanceHandle = saved;
}

TEST(ArchivePhoto, RowsOutsideTheCatalogAreRefusedBeforeAnyLookup) {
    // An application error code (bit 29) that no Windows function sets: a failed lookup
    // overwrites it, a refusal before any lookup leaves it.
    constexpr DWORD Untouched = 0x20000D1F;
    SetLastError(Untouched);
    EXPECT_EQ(FindResourceW(appState.instanceHandle, MAKEINTRESOURCEW(1071), RT_RCDATA), nullptr);
    EXPECT_NE(GetLastError(), Untouched);
    for (const std::int32_t row : {71, -1, INT_MIN, INT_MAX}) {
        SetLastError(Untouched);
        EXPECT_FALSE(loadArchivePhoto(row)) << row;
        EXPECT_EQ(GetLastError(), Untouched) << row;
    }
}

TEST(ArchivePhoto, OnlyAnOriginalCarriesItsPublishedDigest) {
    // archive/published-digests.txt: "row sha256 file" lines after '#' comments.
    std::ifstream in(DRIFTPANE_SOURCE_DIR "/archive/published-digests.txt");
    int rows = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        int row = -1;
        std::string digest, file;
        fields >> row >> digest >> file;
        ASSERT_TRUE(row >= 0 && row < CatalogSize) << line;
        EXPECT_EQ(photoPath(row).substr(photoPath(row).rfind('/') + 1), file);
        EXPECT_EQ(digest.size(), 64u) << line;
        ++rows;
    }
    EXPECT_EQ(rows, 5);
}
