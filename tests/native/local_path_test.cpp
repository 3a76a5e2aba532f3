// The import dialog's character rules: quotes, the shape of a drive path and its root, and
// how the two year fields are read and judged.
#include "import/local_path.h"
#include "pairs/pair_file.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct PathCase {
    const wchar_t* path;
    bool shaped;
    const wchar_t* root = nullptr; // asked about when shaped
};

const PathCase PathCases[] = {
    {L"C:\\a", true, L"C:\\"},
    {L"z:/photos/x.jpg", true, L"z:\\"},
    {L"A:\\x.jpg", true, L"A:\\"},
    {L"Z:\\x.jpg", true, L"Z:\\"},
    {L"a:/x.jpg", true, L"a:\\"},
    {L"@:\\x.jpg", false}, // the characters beside A, Z, a and z
    {L"[:\\x.jpg", false},
    {L"`:\\x.jpg", false},
    {L"{:\\x.jpg", false},
    {L"D:/", false},
    {L"C:\\Fotos\\Caf\u00E9 \u6771\u4EAC \U0001F600.jpg", true, L"C:\\"},
    {L"C:\\", false},    // three characters
    {L"C:", false},      // a bare drive
    {L"C:x.jpg", false}, // relative to the drive's current folder
    {L"C:photos\\x.jpg", false},
    {L"x.jpg", false},
    {L"..\\x.jpg", false},
    {L" C:\\x.jpg", false},    // a leading space is kept and refused
    {L"\"C:\\x.jpg\"", false}, // quotes are stripped before, not here
    {L"\\\\server\\share\\x.jpg", false},
    {L"\\\\?\\C:\\x.jpg", false}, // device paths begin with a backslash too
    {L"\\x.jpg", false},
    {L"C:\\x.jpg:stream", false}, // an alternate data stream
    {L"C:\\x.jpg::$DATA", false},
    {L"C::\\x.jpg", false},
    {L"1:\\x.jpg", false},
    {L"\u00C9:\\x.jpg", false}, // a letter, but not one a drive can have
    {L"\uFF23:\\x.jpg", false}, // fullwidth C
    {L"", false},
};

struct YearCase {
    const wchar_t* text;
    std::int32_t year;
};

const YearCase YearCases[] = {
    {L"2000", 2000},
    {L"1800", 1800},
    {L"", 0},
    {L"abc", 0},
    {L"12a4", 12},
    {L"  1999", 1999},
    {L"\t\r\n2001", 2001},
    {L"+2002", 2002},
    {L"-1900", -1900},
    {L"- 1900", 0},
    {L"2000 ", 2000},
    {L"2 000", 2},
    {L"00002024", 2024},
    {L"\u0662\u0660\u0662\u0664", 0}, // Arabic-Indic digits are not read
    {L"99999999999999999999", 999999999},
    {L"-99999999999999999999", -999999999},
};

} // namespace

TEST(LocalPath, StripQuotesRemovesOnlyOneEnclosingPair) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"\"C:\\x.jpg\"", L"C:\\x.jpg"},
        {L"\"\"C:\\x.jpg\"\"", L"\"C:\\x.jpg\""},
        {L"\"\"", L""},
        {L"\"", L"\""},
        {L"\"C:\\x.jpg", L"\"C:\\x.jpg"},
        {L"C:\\x.jpg\"", L"C:\\x.jpg\""},
        {L" \"C:\\x.jpg\"", L" \"C:\\x.jpg\""},
        {L"\"C:\\x.jpg\" ", L"\"C:\\x.jpg\" "},
        {L"", L""},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(stripQuotes(text), expected) << static_cast<int>(std::wstring(text).size());
    }
}

TEST(LocalPath, DrivePathShapeAndRoot) {
    for (const PathCase& c : PathCases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.path)));
        EXPECT_EQ(hasDrivePathShape(c.path), c.shaped);
        if (c.shaped) {
            // Asked with a backslash whatever the path uses: "Z:/" is not a root Windows knows.
            EXPECT_EQ(driveRootOf(c.path), c.root);
        }
    }
}

TEST(LocalPath, YearsReadLikeATypedOrPastedField) {
    for (const YearCase& c : YearCases) {
        EXPECT_EQ(readYear(c.text), c.year) << testing::PrintToString(std::wstring(c.text));
    }
}

TEST(LocalPath, YearFieldsMakeAPairOnlyAsTwoDifferentYearsIn1800To2200) {
    const struct {
        const wchar_t* first;
        const wchar_t* second;
        bool accepted;
    } cases[] = {
        {L"2000", L"2024", true},   {L"1800", L"2200", true},
        {L"2200", L"1800", true},   {L" 1999", L"+2001", true},
        {L"1799", L"2024", false},  {L"2000", L"2201", false},
        {L"", L"2024", false},      {L"2000", L"", false},
        {L"2000", L"2000", false},  {L"2000", L"+2000", false},
        {L"12a4", L"2024", false}, // read as 12
        {L"-1900", L"2000", false}, {L"2000", L"99999999999999999999", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(arePairYears(readYear(c.first), readYear(c.second)), c.accepted)
            << testing::PrintToString(std::wstring(c.first)) << " "
            << testing::PrintToString(std::wstring(c.second));
    }
}
