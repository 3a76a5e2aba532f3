// Invariants of the built-in archive catalog that the selection, loading and download code
// rely on.
#include "archive/catalog.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

struct PlaceRange {
    int first;
    int last;
    const wchar_t* name;
    const wchar_t* folder;
};

constexpr PlaceRange Places[PlaceCount] = {{0, 18, L"Aral Sea", L"aral"},
                                           {19, 47, L"Columbia Glacier", L"columbia_glacier"},
                                           {48, 70, L"Lake Powell", L"lakepowell"}};

const std::wstring UrlPrefix =
    std::wstring(L"https://") + ArchiveHost + L"/content/dam/science/esd/eo/woc/images/";

} // namespace

TEST(Catalog, RowsGroupedByPlaceWithRisingYearsAndConsecutiveResourceIds) {
    for (int place = 0; place < PlaceCount; ++place) {
        EXPECT_EQ(std::wstring(placeNames[place]), Places[place].name);
        for (int row = Places[place].first; row <= Places[place].last; ++row) {
            SCOPED_TRACE(row);
            EXPECT_EQ(ArchiveCatalog[row].resourceId, 1000 + row);
            EXPECT_EQ(ArchiveCatalog[row].place, placeNames[place]) << "the very pointer";
            if (row > Places[place].first) {
                EXPECT_LT(ArchiveCatalog[row - 1].year, ArchiveCatalog[row].year);
            }
        }
    }
    EXPECT_EQ(ArchiveCatalog[0].year, 2000);
    EXPECT_EQ(ArchiveCatalog[18].year, 2018);
    EXPECT_EQ(ArchiveCatalog[48].year, 1999);
    EXPECT_EQ(ArchiveCatalog[70].year, 2021);
    std::vector<int> columbia;
    for (int row = 19; row <= 47; ++row) {
        columbia.push_back(ArchiveCatalog[row].year);
    }
    EXPECT_EQ(columbia,
              (std::vector<int>{1986, 1987, 1989, 1995, 1996, 1997, 1999, 2000, 2001, 2002,
                                2003, 2004, 2005, 2006, 2008, 2009, 2010, 2011, 2013, 2014,
                                2015, 2016, 2017, 2018, 2019, 2020, 2021, 2022, 2024}));
}

TEST(Catalog, UrlsFollowTheArchiveRuleAndNoPhotoIsEmbeddedTwice) {
    std::set<std::wstring> urls;
    std::set<std::string> digests;
    for (const PlaceRange& place : Places) {
        const std::wstring folder = UrlPrefix + place.folder + L"/";
        for (int row = place.first; row <= place.last; ++row) {
            SCOPED_TRACE(row);
            const std::wstring url = ArchiveCatalog[row].url;
            ASSERT_EQ(url.rfind(folder, 0), 0u);
            const std::wstring file = url.substr(folder.size());
            EXPECT_EQ(file.find_first_of(L"/\\?"), std::wstring::npos) << "one plain file name";
            EXPECT_EQ(file.find(L".."), std::wstring::npos);
            // Every original is a "_lrg" rendition except row 43's.
            ASSERT_GT(file.size(), 8u);
            EXPECT_EQ(file.find(L"_lrg"), row == 43 ? std::wstring::npos : file.size() - 8);
            EXPECT_EQ(file.substr(file.size() - 4), L".jpg");
            EXPECT_TRUE(urls.insert(url).second) << "duplicate URL";

            const std::string digest = ArchiveCatalog[row].sha256;
            EXPECT_TRUE(digests.insert(digest).second) << "one photo embedded twice";
        }
    }
    EXPECT_EQ(ArchiveCatalog[43].url, UrlPrefix + L"columbia_glacier/columbia_oli_20190621.jpg");
}
