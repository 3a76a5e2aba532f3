// The embedded archive photos: every row loads from its resource, decodes and hashes to its
// catalog digest; indices outside the catalog are refused before any resource lookup; and a
// stand-in photo never carries the digest published for an original.
#include "archive/archive_photo.h"
#include "archive/catalog.h"
#include "core/app_state.h"
#include "download/sha256.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr wchar_t UrlPath[] = L"/content/dam/science/esd/eo/woc/images/";

// "<folder>/<file>" of a row, taken from its URL.
std::string photoPath(const CatalogEntry& entry) {
    const std::wstring url = entry.url;
    const std::wstring tail = url.substr(url.find(UrlPath) + std::wstring(UrlPath).size());
    return std::string(tail.begin(), tail.end());
}

std::string fileName(const CatalogEntry& entry) {
    const std::string path = photoPath(entry);
    return path.substr(path.rfind('/') + 1);
}

std::vector<std::uint8_t> committedPhoto(const CatalogEntry& entry) {
    std::ifstream in(DRIFTPANE_SOURCE_DIR "/archive/photos/" + photoPath(entry), std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
}

struct PublishedDigest {
    std::string sha256;
    std::string file;
};

// archive/published-digests.txt: "row sha256 file" lines; '#' starts a comment line.
std::map<int, PublishedDigest> readPublishedDigests() {
    std::map<int, PublishedDigest> digests;
    std::ifstream in(DRIFTPANE_SOURCE_DIR "/archive/published-digests.txt");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        int row = -1;
        PublishedDigest digest;
        fields >> row >> digest.sha256 >> digest.file;
        digests[row] = digest;
    }
    return digests;
}

// Puts appState.instanceHandle back however the test ends.
struct InstanceHandleRestorer {
    HINSTANCE saved = appState.instanceHandle;
    ~InstanceHandleRestorer() { appState.instanceHandle = saved; }
};

// An application-defined error code (bit 29) that no Windows function sets.
constexpr DWORD UntouchedError = 0x20000D1F;

} // namespace

TEST(ArchivePhoto, EveryRowLoadsDecodesAndHashesToItsDigest) {
    for (int row = 0; row < CatalogSize; ++row) {
        const CatalogEntry& entry = ArchiveCatalog[row];
        SCOPED_TRACE(photoPath(entry));
        std::shared_ptr<ImageData> image = loadArchivePhoto(row);
        ASSERT_TRUE(image);
        ASSERT_TRUE(image->bitmap);
        EXPECT_GT(image->bitmap->GetWidth(), 0u);
        EXPECT_GT(image->bitmap->GetHeight(), 0u);
        EXPECT_EQ(sha256Hex(image->bytes), entry.sha256);
        // The resource is the committed file byte for byte.
        EXPECT_TRUE(image->bytes == committedPhoto(entry));
    }
}

TEST(ArchivePhoto, IndicesOutsideTheCatalogAreRefusedBeforeAnyLookup) {
    // A failed lookup leaves its trace in the thread's last error...
    SetLastError(UntouchedError);
    EXPECT_EQ(FindResourceW(appState.instanceHandle, MAKEINTRESOURCEW(1071), RT_RCDATA), nullptr);
    EXPECT_NE(GetLastError(), UntouchedError);

    // ...and a refused index leaves none: nothing was looked up. Taken as unsigned, INT_MIN
    // and -1 are far above the last row.
    for (const std::int32_t index : {71, -1, INT_MIN, INT_MAX, 1000}) {
        SetLastError(UntouchedError);
        std::shared_ptr<ImageData> image = loadArchivePhoto(index);
        const DWORD error = GetLastError();
        EXPECT_FALSE(image) << index;
        EXPECT_EQ(error, UntouchedError) << index;
    }
}

TEST(ArchivePhoto, ReadsTheModuleNamedInTheState) {
    InstanceHandleRestorer restore;
    // A module without the archive: the photo is not found there, so nothing else is asked.
    appState.instanceHandle = GetModuleHandleW(L"kernel32.dll");
    ASSERT_NE(appState.instanceHandle, nullptr);
    EXPECT_FALSE(loadArchivePhoto(0));
    appState.instanceHandle = restore.saved;
    EXPECT_TRUE(loadArchivePhoto(0));
}

TEST(ArchivePhoto, EachLoadIsAnIndependentCopy) {
    std::shared_ptr<ImageData> first = loadArchivePhoto(0);
    std::shared_ptr<ImageData> second = loadArchivePhoto(0);
    ASSERT_TRUE(first);
    ASSERT_TRUE(second);
    EXPECT_NE(first.get(), second.get());
    EXPECT_NE(first->bitmap.get(), second->bitmap.get());
    EXPECT_NE(first->bytes.data(), second->bytes.data());
    EXPECT_TRUE(first->bytes == second->bytes);

    // Neither record holds the module's own resource memory.
    HRSRC resource = FindResourceW(appState.instanceHandle, MAKEINTRESOURCEW(1000), RT_RCDATA);
    ASSERT_NE(resource, nullptr);
    const auto* begin = static_cast<const std::uint8_t*>(
        LockResource(LoadResource(appState.instanceHandle, resource)));
    const auto* end = begin + SizeofResource(appState.instanceHandle, resource);
    ASSERT_EQ(static_cast<std::size_t>(end - begin), first->bytes.size());
    for (const auto& image : {first, second}) {
        const std::uint8_t* data = image->bytes.data();
        EXPECT_TRUE(data + image->bytes.size() <= begin || data >= end);
    }
}

TEST(ArchivePhoto, OnlyAnOriginalCarriesItsPublishedDigest) {
    const std::map<int, PublishedDigest> published = readPublishedDigests();
    ASSERT_FALSE(published.empty());
    for (const auto& [row, digest] : published) {
        ASSERT_GE(row, 0);
        ASSERT_LT(row, CatalogSize);
        const CatalogEntry& entry = ArchiveCatalog[row];
        SCOPED_TRACE(digest.file);
        EXPECT_EQ(digest.file, fileName(entry));
        std::shared_ptr<ImageData> image = loadArchivePhoto(row);
        ASSERT_TRUE(image);
        const bool originalEmbedded = sha256Hex(image->bytes) == digest.sha256;
        // The row claims the published digest exactly when the original itself is embedded:
        // a stand-in carries its own digest, so a download of the original is checked against
        // the stand-in's and refused rather than the stand-in passing for the original.
        EXPECT_EQ(digest.sha256 == entry.sha256, originalEmbedded);
    }
}
