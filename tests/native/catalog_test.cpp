// Invariants of the built-in archive catalog that the selection, loading and download code
// rely on, and the committed photo files the build embeds for it.
#include "archive/catalog.h"
#include "archive/photo_limits.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct PlaceRange {
    int first;
    int last;
    const wchar_t* folder;
};

// Rows 0-18, 19-47 and 48-70, in the order of placeNames.
constexpr PlaceRange Places[PlaceCount] = {
    {0, 18, L"aral"}, {19, 47, L"columbia_glacier"}, {48, 70, L"lakepowell"}};

constexpr wchar_t UrlPath[] = L"/content/dam/science/esd/eo/woc/images/";

std::wstring urlPrefix() {
    return std::wstring(L"https://") + ArchiveHost + UrlPath;
}

// The "<folder>/<file>" part after the fixed path, as a narrow string for file access.
std::string relativePhotoPath(const CatalogEntry& entry) {
    std::wstring url = entry.url;
    std::wstring tail = url.substr(urlPrefix().size());
    return std::string(tail.begin(), tail.end());
}

} // namespace

TEST(Catalog, HasSeventyOneRowsWithConsecutiveResourceIds) {
    ASSERT_EQ(CatalogSize, 71);
    ASSERT_EQ(std::size(ArchiveCatalog), 71u);
    for (int row = 0; row < CatalogSize; ++row) {
        EXPECT_EQ(ArchiveCatalog[row].resourceId, 1000 + row) << "row " << row;
    }
}

TEST(Catalog, PlaceNamesAreTheThreePlacesInOrder) {
    EXPECT_EQ(std::wstring_view(placeNames[0]), L"Aral Sea");
    EXPECT_EQ(std::wstring_view(placeNames[1]), L"Columbia Glacier");
    EXPECT_EQ(std::wstring_view(placeNames[2]), L"Lake Powell");
}

TEST(Catalog, RowsAreGroupedByPlaceAndShareThePlaceNameStrings) {
    for (int place = 0; place < PlaceCount; ++place) {
        for (int row = Places[place].first; row <= Places[place].last; ++row) {
            // The very pointer, not merely equal text.
            EXPECT_EQ(ArchiveCatalog[row].place, placeNames[place]) << "row " << row;
        }
    }
}

TEST(Catalog, YearsRiseStrictlyWithinEachPlace) {
    for (const PlaceRange& range : Places) {
        for (int row = range.first + 1; row <= range.last; ++row) {
            EXPECT_LT(ArchiveCatalog[row - 1].year, ArchiveCatalog[row].year) << "row " << row;
        }
    }
    EXPECT_EQ(ArchiveCatalog[0].year, 2000);
    EXPECT_EQ(ArchiveCatalog[18].year, 2018);
    EXPECT_EQ(ArchiveCatalog[48].year, 1999);
    EXPECT_EQ(ArchiveCatalog[70].year, 2021);
}

TEST(Catalog, ColumbiaGlacierHasItsGappedYears) {
    const std::vector<int> expected = {1986, 1987, 1989, 1995, 1996, 1997, 1999, 2000, 2001, 2002,
                                       2003, 2004, 2005, 2006, 2008, 2009, 2010, 2011, 2013, 2014,
                                       2015, 2016, 2017, 2018, 2019, 2020, 2021, 2022, 2024};
    std::vector<int> years;
    for (int row = 19; row <= 47; ++row) {
        years.push_back(ArchiveCatalog[row].year);
    }
    EXPECT_EQ(years, expected);
}

TEST(Catalog, UrlsFollowTheArchiveRule) {
    const std::wstring prefix = urlPrefix();
    std::set<std::wstring> seen;
    for (int place = 0; place < PlaceCount; ++place) {
        const std::wstring folderPrefix = prefix + Places[place].folder + L"/";
        for (int row = Places[place].first; row <= Places[place].last; ++row) {
            const std::wstring url = ArchiveCatalog[row].url;
            SCOPED_TRACE(row);
            EXPECT_EQ(url.rfind(L"https://assets.science.nasa.gov/content/dam/science/esd/eo/", 0),
                      0u);
            EXPECT_EQ(url.rfind(folderPrefix, 0), 0u);
            EXPECT_EQ(url.find(L".."), std::wstring::npos);
            EXPECT_EQ(url.find(L'?'), std::wstring::npos);
            EXPECT_EQ(url.find(L'\\'), std::wstring::npos);
            ASSERT_GT(url.size(), folderPrefix.size() + 4);
            EXPECT_EQ(url.substr(url.size() - 4), L".jpg");
            // Exactly one file name after the folder.
            EXPECT_EQ(url.find(L'/', folderPrefix.size()), std::wstring::npos);
            EXPECT_TRUE(seen.insert(url).second) << "duplicate URL";
        }
    }
}

TEST(Catalog, FileNamesKeepTheirIrregularities) {
    // Every original is a "_lrg" rendition except row 43's.
    for (int row = 0; row < CatalogSize; ++row) {
        const std::wstring url = ArchiveCatalog[row].url;
        const bool large = url.size() > 8 && url.substr(url.size() - 8) == L"_lrg.jpg";
        EXPECT_EQ(large, row != 43) << "row " << row;
    }
    EXPECT_EQ(std::wstring(ArchiveCatalog[43].url),
              urlPrefix() + L"columbia_glacier/columbia_oli_20190621.jpg");
    EXPECT_EQ(std::wstring(ArchiveCatalog[0].url),
              urlPrefix() + L"aral/aralsea_tmo_2000238_lrg.jpg");
    EXPECT_EQ(std::wstring(ArchiveCatalog[19].url),
              urlPrefix() + L"columbia_glacier/columbia_tm5_1986209_lrg.jpg");
    EXPECT_EQ(std::wstring(ArchiveCatalog[70].url),
              urlPrefix() + L"lakepowell/lakepowell_oli_2021120_lrg.jpg");
}

TEST(Catalog, DigestsAreDistinctLowerCaseHex) {
    std::set<std::string> seen;
    for (int row = 0; row < CatalogSize; ++row) {
        const std::string digest = ArchiveCatalog[row].sha256;
        SCOPED_TRACE(row);
        ASSERT_EQ(digest.size(), 64u);
        EXPECT_EQ(digest.find_first_not_of("0123456789abcdef"), std::string::npos);
        // Two rows with one digest would mean one photo embedded twice.
        EXPECT_TRUE(seen.insert(digest).second) << "duplicate digest";
    }
}

TEST(Catalog, EveryRowHasACommittedJpegWithinThePhotoLimit) {
    const std::filesystem::path photos =
        std::filesystem::path(DRIFTPANE_SOURCE_DIR) / "archive" / "photos";
    for (int row = 0; row < CatalogSize; ++row) {
        const std::filesystem::path path = photos / relativePhotoPath(ArchiveCatalog[row]);
        SCOPED_TRACE(path.string());
        std::ifstream file(path, std::ios::binary);
        ASSERT_TRUE(file) << "missing";
        std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)),
                                         std::istreambuf_iterator<char>());
        ASSERT_GE(bytes.size(), 4u);
        EXPECT_LE(bytes.size(), MaxPhotoBytes);
        // Start and end of image markers: a whole JPEG file, not a pointer or a stub.
        EXPECT_EQ(bytes[0], 0xFF);
        EXPECT_EQ(bytes[1], 0xD8);
        EXPECT_EQ(bytes[bytes.size() - 2], 0xFF);
        EXPECT_EQ(bytes[bytes.size() - 1], 0xD9);
    }
}
