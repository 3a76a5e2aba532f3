// The platform-free half of storage: joining a folder and a name, and the name pattern that
// every save and export is stamped with.
#include "pairs/storage.h"

#include <gtest/gtest.h>

#include <string>

TEST(StoragePaths, JoinPutsExactlyOneSeparatorBetween) {
    const struct {
        const wchar_t* folder;
        const wchar_t* name;
        const wchar_t* joined;
    } cases[] = {
        {L"C:\\Local", L"Pairs", L"C:\\Local\\Pairs"},
        {L"C:\\Local\\", L"Pairs", L"C:\\Local\\Pairs"},
        {L"C:/Local/", L"Pairs", L"C:/Local/Pairs"},
        {L"C:/Local", L"Pairs", L"C:/Local\\Pairs"},
        {L"C:\\", L"Driftpane", L"C:\\Driftpane"},
        {L"", L"Pairs", L"Pairs"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(joinPath(c.folder, c.name), c.joined) << testing::PrintToString(c.folder);
    }
}

TEST(StoragePaths, NamesForAHeldClock) {
    const UtcStamp stamp{2026, 1, 2, 3, 4, 5, 6};
    const struct {
        UtcStamp stamp;
        int attempt;
        const wchar_t* extension;
        const wchar_t* name;
    } cases[] = {
        {stamp, 0, L".dpf", L"pair-20260102-030405-006-000.dpf"},
        {stamp, 999, L".dpf", L"pair-20260102-030405-006-999.dpf"},
        {stamp, 42, L".png", L"pair-20260102-030405-006-042.png"},
        {{1999, 12, 31, 23, 59, 59, 999}, 999, L".png", L"pair-19991231-235959-999-999.png"},
        {{2030, 10, 20, 0, 0, 0, 0}, 0, L".dpf", L"pair-20301020-000000-000-000.dpf"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(uniqueNameCandidate(c.stamp, c.attempt, c.extension), c.name)
            << testing::PrintToString(c.name);
    }
}
