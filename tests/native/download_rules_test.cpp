// The address rule of the download, the request path it sends, and the decisions of a
// finished fetch, all without a network.
#include "archive/catalog.h"
#include "download/archive_url.h"
#include "download/fetch_outcome.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::wstring Prefix = ArchiveUrlPrefix;

} // namespace

TEST(ArchiveUrl, PrefixIsTheArchiveHostOverHttps) {
    // Written out, not rebuilt from the host constant, so that a changed host or folder shows.
    EXPECT_EQ(Prefix, L"https://assets.science.nasa.gov/content/dam/science/esd/eo/");
    EXPECT_EQ(std::wstring(ArchiveHost), L"assets.science.nasa.gov");
    for (const CatalogEntry& entry : ArchiveCatalog) {
        EXPECT_TRUE(isAllowedArchiveUrl(entry.url)) << entry.resourceId;
    }
}

TEST(ArchiveUrl, AllowsOnlyPrefixNameAndLowerCaseJpg) {
    const std::wstring host = ArchiveHost;
    const struct {
        std::wstring url;
        bool allowed;
    } cases[] = {
        {Prefix + L"a.jpg", true},
        {Prefix + L".jpg", false}, // nothing between prefix and extension
        {Prefix + L"ab.jpg", true},
        {Prefix + L"woc/images/aral/x.JPG", false},
        {Prefix + L"woc/images/aral/x.Jpg", false},
        {Prefix + L"woc/images/aral/x.jpeg", false},
        {Prefix + L"woc/images/aral/x.jpg ", false},
        {Prefix + L"woc/x.jpg?size=1.jpg", false},
        {Prefix + L"a?.jpg", false},
        {Prefix + L"../x.jpg", false},
        {Prefix + L"a..b.jpg", false},
        {Prefix + L"woc/./x.jpg", true}, // a single dot is no parent step
        {L"http://" + host + L"/content/dam/science/esd/eo/x.jpg", false},
        {L"HTTPS://" + host + L"/content/dam/science/esd/eo/x.jpg", false},
        {L"https://" + host + L".evil.example/content/dam/science/esd/eo/x.jpg", false},
        {L"https://evil.example/" + host + L"/content/dam/science/esd/eo/x.jpg", false},
        // Another host with the whole prefix inside its URL: in the path, behind a host
        // name that merely begins with the archive's, in a fragment.
        {L"https://evil.example/" + Prefix + L"x.jpg", false},
        {L"https://" + host + L".evil.example/" + Prefix + L"x.jpg", false},
        {L"https://evil.example#" + Prefix + L"x.jpg", false},
        {L"https://" + host + L":8443/content/dam/science/esd/eo/x.jpg", false},
        {L"https://" + host + L"/content/dam/science/esd/x.jpg", false},
        {L"https://user@" + host + L"/content/dam/science/esd/eo/x.jpg", false},
        {Prefix.substr(0, Prefix.size() - 1), false},
        {L"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isAllowedArchiveUrl(c.url), c.allowed) << std::string(c.url.begin(), c.url.end());
    }
}

TEST(ArchiveUrl, PathStartsAtTheFirstSlashAfterTheScheme) {
    const std::pair<std::wstring, std::wstring> cases[] = {
        {std::wstring(ArchiveCatalog[0].url),
         L"/content/dam/science/esd/eo/woc/images/aral/aralsea_tmo_2000238_lrg.jpg"},
        {Prefix + L"a.jpg", L"/content/dam/science/esd/eo/a.jpg"},
        {L"https://h/", L"/"},
        {L"https:///x", L"/x"}, // index 8 is itself a slash
        {L"https://h", L""},    // no path at all
        {L"https://", L""},
        {L"http://h/x", L"/x"}, // index 7 is the scheme's second slash, not looked at
    };
    for (const auto& [url, path] : cases) {
        EXPECT_EQ(archiveUrlPath(url), path) << std::string(url.begin(), url.end());
    }
}

TEST(FetchOutcome, StaleBeforeFailureBeforeSuccess) {
    const struct {
        std::int32_t resultGeneration, currentGeneration;
        bool succeeded;
        FetchOutcome outcome;
    } cases[] = {
        {4, 4, true, FetchOutcome::Succeeded}, {4, 4, false, FetchOutcome::Failed},
        {4, 5, true, FetchOutcome::Stale},     {4, 5, false, FetchOutcome::Stale},
        {5, 4, true, FetchOutcome::Stale},     {0, 0, false, FetchOutcome::Failed},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fetchOutcome(c.resultGeneration, c.currentGeneration, c.succeeded), c.outcome)
            << c.resultGeneration << " " << c.currentGeneration << " " << c.succeeded;
    }
}

TEST(FetchOutcome, StaleNoticeInFourLanguagesAndEnglishOutOfRange) {
    const std::wstring texts[] = {
        L"Download finished. Your newer comparison was kept.",
        L"Download beendet. Der neuere Vergleich bleibt erhalten.",
        L"T\u00E9l\u00E9chargement termin\u00E9. La comparaison actuelle est conserv\u00E9e.",
        L"Descarga finalizada. Se conserva la comparaci\u00F3n m\u00E1s reciente.",
    };
    for (int language = -1; language <= 4; ++language) {
        const int expected = language >= 0 && language < 4 ? language : 0;
        EXPECT_EQ(staleFetchText(language), texts[expected]) << language;
    }
}

TEST(FetchOutcome, PlaceOfCaptionAndListItemOfRow) {
    EXPECT_EQ(placeIndexOfCaption(L"Aral Sea"), 0);
    EXPECT_EQ(placeIndexOfCaption(L"Columbia Glacier"), 1);
    EXPECT_EQ(placeIndexOfCaption(L"Lake Powell"), 2);
    EXPECT_EQ(placeIndexOfCaption(L"lake powell"), -1);
    EXPECT_EQ(placeIndexOfCaption(L"Local pair"), -1);
    const std::vector<std::int32_t> rows{19, 20, 47};
    EXPECT_EQ(yearItemOfRow(rows, 19), 0);
    EXPECT_EQ(yearItemOfRow(rows, 47), 2);
    EXPECT_EQ(yearItemOfRow(rows, 18), -1);
    EXPECT_EQ(yearItemOfRow({}, 0), -1);
}
