// What the main window's accessible objects say and where its painted parts lie for a
// screen reader's hit test.
#include "accessibility/accessible_text.h"

#include "core/text_table.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>

namespace {

// Enough of upper-casing for the four headings.
std::wstring upper(std::wstring text) {
    for (wchar_t& c : text) {
        c = c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c == L'é' ? L'É' : c;
    }
    return text;
}

} // namespace

TEST(AccessibleText, YearsViewNameAndDividerPercent) {
    EXPECT_EQ(pairYearsText(2000, 2018), L"2000 / 2018");
    EXPECT_EQ(pairYearsText(2018, 2000), L"2018 / 2000");
    EXPECT_EQ(viewName(L"Aral Sea", 2000, 2018), L"Aral Sea, 2000 / 2018");
    EXPECT_EQ(viewName(L"Lokales Paar", 1800, 2200), L"Lokales Paar, 1800 / 2200");

    const std::tuple<float, int, const wchar_t*> percents[] = {
        {0.5f, 0, L"50.0%"},
        {0.0f, 0, L"0.0%"},
        {1.0f, 0, L"100.0%"},
        {0.643f, 0, L"64.3%"},
        {0.643f, 1, L"64,3%"}, // German, French and Spanish write a decimal comma
        {0.643f, 3, L"64,3%"},
        {0.643f, 9, L"64.3%"}, // no such language: English
        {0.0625f, 0, L"6.3%"}, // an exact half (in binary too) rounds up
        {0.0624f, 0, L"6.2%"},
        {0.001f, 0, L"0.1%"},  // one slider step from the left end
        {0.999f, 0, L"99.9%"}, // and from the right end
        {0.501f, 0, L"50.1%"}, // each step from the middle reads as a change
        {0.9996f, 0, L"100.0%"},
        {-0.2f, 0, L"0.0%"},
        {1.7f, 0, L"100.0%"},
        {std::numeric_limits<float>::quiet_NaN(), 0, L"0.0%"},
        {std::numeric_limits<float>::infinity(), 0, L"100.0%"},
    };
    for (const auto& [divider, language, text] : percents) {
        EXPECT_EQ(dividerPercentText(divider, language), text) << divider << " " << language;
    }
}

TEST(AccessibleText, SavedPairsNameIsTheHeadingInNormalCase) {
    EXPECT_STREQ(savedPairsListName(0), L"Saved pairs");
    EXPECT_STREQ(savedPairsListName(1), L"Gespeicherte Paare");
    for (int language = 0; language < LanguageCount; ++language) {
        EXPECT_EQ(upper(savedPairsListName(language)),
                  TextTable[static_cast<int>(TextId::SavedPairs)][language])
            << language;
    }
    EXPECT_STREQ(savedPairsListName(7), L"Saved pairs");
    EXPECT_STREQ(savedPairsListName(-1), L"Saved pairs");
    // The other texts of the objects' own follow the same language rule.
    EXPECT_STREQ(openActionName(1), L"\u00D6ffnen");
    EXPECT_STREQ(openActionName(-1), L"Open");
    EXPECT_EQ(std::wstring(viewDescription(4)), viewDescription(0));
}

TEST(AccessibleText, PaintedPartsReadInTheStatesLanguage) {
    // The window test reads an archive pair; a local one shows the fit note of the language.
    AppState state;
    state.languageIndex = 1;
    state.isLocalPair = true;
    state.caption = L"Lokales Paar";
    state.firstYear = 2024;
    state.secondYear = 1999;
    EXPECT_EQ(paintedPartText(PaintedPart::SourceLine, state, L""),
              TextTable[static_cast<int>(TextId::FitNote)][1]);
    EXPECT_EQ(paintedPartText(PaintedPart::View, state, L""), L"Lokales Paar, 2024 / 1999");
    state.zoom = 2.5f;
    EXPECT_EQ(paintedPartText(PaintedPart::Zoom, state, L""), L"Zoom 250%");
    EXPECT_EQ(paintedPartText(PaintedPart::Clock, state, L"14:05:09  UTC+01:00"),
              L"14:05:09  UTC+01:00");
}

TEST(AccessibleText, PartsLieWhereThePaintingPutsThemAndHitTestsAgree) {
    AppState state;
    state.uiScale = 1.5f; // 1800 x 1275 pixels are 1200 x 850 units
    const struct {
        PaintedPart part;
        PixelRect box;
    } cases[] = {
        {PaintedPart::Caption, {411, 33, 1401, 102}},
        {PaintedPart::SourceLine, {414, 107, 1734, 149}},
        {PaintedPart::View, {411, 288, 1758, 1031}},
        {PaintedPart::Zoom, {1410, 1166, 1590, 1202}},
        {PaintedPart::Status, {411, 1217, 1319, 1274}},
        {PaintedPart::Clock, {1347, 1223, 1764, 1263}},
    };
    for (const auto& c : cases) {
        const PixelRect box = paintedPartPixels(c.part, state, 1800, 1275);
        EXPECT_EQ(std::tuple(box.left, box.top, box.right, box.bottom),
                  std::tuple(c.box.left, c.box.top, c.box.right, c.box.bottom))
            << static_cast<int>(c.part);
        EXPECT_EQ(paintedPartAt(state, box.left, box.top, 1800, 1275), c.part);
        EXPECT_EQ(paintedPartAt(state, box.right - 1, box.bottom - 1, 1800, 1275), c.part);
        EXPECT_NE(paintedPartAt(state, box.right, box.top, 1800, 1275), c.part);
        EXPECT_NE(paintedPartAt(state, box.left, box.bottom, 1800, 1275), c.part);
    }
    // The left panel, the year row and the gap between status and clock hold no part.
    EXPECT_EQ(paintedPartAt(state, 100, 600, 1800, 1275), std::nullopt);
    EXPECT_EQ(paintedPartAt(state, 500, 200, 1800, 1275), std::nullopt);
    EXPECT_EQ(paintedPartAt(state, 1330, 1240, 1800, 1275), std::nullopt);

    // A window narrower than the fixed parts: boxes shrink to nothing, never inside out.
    state.uiScale = 1.0f;
    const PixelRect narrow = paintedPartPixels(PaintedPart::Status, state, 500, 400);
    EXPECT_EQ(narrow.right, narrow.left);
    EXPECT_EQ(paintedPartAt(state, narrow.left, narrow.top, 500, 400), std::nullopt);
}
