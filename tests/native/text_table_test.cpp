// Tests of the interface texts and of the locale-name rule that picks their language.
#include "archive/archive_host.h"
#include "core/app_state.h"
#include "core/text_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::wstring text(TextId id, int language) {
    return TextTable[static_cast<int>(id)][language];
}

std::vector<std::wstring> splitParagraphs(const std::wstring& textValue) {
    std::vector<std::wstring> paragraphs;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = textValue.find(L"\n\n", start);
        paragraphs.push_back(textValue.substr(start, end - start));
        if (end == std::wstring::npos) {
            return paragraphs;
        }
        start = end + 2;
    }
}

class TextTableTest : public testing::Test {
  protected:
    void SetUp() override { resetAppStateForTests(appState); }
    void TearDown() override { resetAppStateForTests(appState); }
};

} // namespace

TEST_F(TextTableTest, EveryTextIsPresentInEveryLanguage) {
    for (int row = 0; row < TextCount; ++row) {
        for (int column = 0; column < LanguageCount; ++column) {
            ASSERT_NE(TextTable[row][column], nullptr) << row << "/" << column;
            EXPECT_FALSE(std::wstring(TextTable[row][column]).empty()) << row << "/" << column;
        }
    }
}

TEST_F(TextTableTest, NoTextCarriesSurroundingSpaceOrCarriageReturn) {
    for (int row = 0; row < TextCount; ++row) {
        for (int column = 0; column < LanguageCount; ++column) {
            const std::wstring value = TextTable[row][column];
            EXPECT_EQ(value.find(L'\r'), std::wstring::npos) << row << "/" << column;
            EXPECT_NE(value.front(), L' ') << row << "/" << column;
            EXPECT_NE(value.back(), L' ') << row << "/" << column;
        }
    }
}

TEST_F(TextTableTest, ExactStringsInEachLanguage) {
    EXPECT_EQ(text(TextId::Tagline, 0), L"A place. Two moments.");
    EXPECT_EQ(text(TextId::SavedPairs, 2), L"PAIRES ENREGISTR\u00C9ES");
    EXPECT_EQ(text(TextId::OpenApp, 1), L"Driftpane \u00F6ffnen");
    EXPECT_EQ(text(TextId::FirstYear, 3), L"Primer a\u00F1o");

    EXPECT_EQ(text(TextId::Ready, 0), L"Ready. Photos stay on this computer.");
    EXPECT_EQ(text(TextId::Ready, 1), L"Bereit. Fotos bleiben auf diesem Computer.");
    EXPECT_EQ(text(TextId::Ready, 2), L"Pr\u00EAt. Les photos restent sur cet ordinateur.");
    EXPECT_EQ(text(TextId::Ready, 3), L"Listo. Las fotos permanecen en este equipo.");

    EXPECT_EQ(text(TextId::CannotReadPhotos, 0),
              L"Cannot read these photos. Use JPEG, PNG or BMP, up to 40 MiB and 80 megapixels "
              L"each.");
    EXPECT_EQ(text(TextId::CannotReadPhotos, 1),
              L"Fotos nicht lesbar. JPEG, PNG oder BMP, bis 40 MiB und 80 Megapixel pro Bild.");
    EXPECT_EQ(text(TextId::CannotReadPhotos, 2),
              L"Photos illisibles. JPEG, PNG ou BMP, 40 Mio et 80 m\u00E9gapixels maximum par "
              L"image.");
    EXPECT_EQ(text(TextId::CannotReadPhotos, 3),
              L"No se pueden leer. Usa JPEG, PNG o BMP, hasta 40 MiB y 80 megap\u00EDxeles por "
              L"foto.");

    EXPECT_EQ(text(TextId::CannotSave, 2), L"\u00C9chec de sauvegarde. V\u00E9rifiez l'espace "
                                           L"disque et les droits du dossier.");
    EXPECT_EQ(text(TextId::SystemLanguageNote, 1), L"Systemsprache und Ortszeit");
    EXPECT_EQ(text(TextId::LocalTime, 3), L"Hora local");
}

TEST_F(TextTableTest, ViewHintKeepsDoubleSpacesAroundSlashes) {
    EXPECT_EQ(text(TextId::ViewHint, 0),
              L"Drag the divider  /  Scroll to zoom  /  Shift + drag to pan");
    EXPECT_EQ(text(TextId::ViewHint, 1),
              L"Trennlinie ziehen  /  Scrollen: Zoom  /  Umschalt + Ziehen: Verschieben");
    EXPECT_EQ(text(TextId::ViewHint, 2),
              L"Glisser le curseur  /  Molette : zoom  /  Maj + glisser : d\u00E9placer");
    EXPECT_EQ(text(TextId::ViewHint, 3),
              L"Arrastra el divisor  /  Rueda: zoom  /  May\u00FAs + arrastrar: mover");
}

TEST_F(TextTableTest, ZoomIsOneWordEverywhereAndLanguageNamesAreNative) {
    for (int column = 0; column < LanguageCount; ++column) {
        EXPECT_EQ(text(TextId::Zoom, column), L"Zoom");
    }
    EXPECT_EQ(text(TextId::LanguageName, 0), L"English");
    EXPECT_EQ(text(TextId::LanguageName, 1), L"Deutsch");
    EXPECT_EQ(text(TextId::LanguageName, 2), L"Fran\u00E7ais");
    EXPECT_EQ(text(TextId::LanguageName, 3), L"Espa\u00F1ol");
}

TEST_F(TextTableTest, DownloadingNamesTheArchiveHost) {
    for (int column = 0; column < LanguageCount; ++column) {
        EXPECT_NE(text(TextId::Downloading, column).find(ArchiveHost), std::wstring::npos)
            << column;
    }
    EXPECT_EQ(text(TextId::Downloading, 0),
              std::wstring(L"Downloading two images from ") + ArchiveHost + L"...");
    EXPECT_EQ(text(TextId::Downloading, 1),
              std::wstring(L"Zwei Bilder von ") + ArchiveHost + L" werden geladen...");
    EXPECT_EQ(text(TextId::Downloading, 2),
              std::wstring(L"T\u00E9l\u00E9chargement de deux images depuis ") + ArchiveHost +
                  L"...");
    EXPECT_EQ(text(TextId::Downloading, 3),
              std::wstring(L"Descargando dos im\u00E1genes de ") + ArchiveHost + L"...");
}

TEST_F(TextTableTest, HelpTextParagraphs) {
    const std::size_t expectedCounts[LanguageCount] = {8, 7, 7, 7};
    for (int column = 0; column < LanguageCount; ++column) {
        const std::wstring help = text(TextId::HelpText, column);
        EXPECT_EQ(help.find(L'\r'), std::wstring::npos);
        EXPECT_EQ(help.find(L"\n\n\n"), std::wstring::npos);
        const std::vector<std::wstring> paragraphs = splitParagraphs(help);
        ASSERT_EQ(paragraphs.size(), expectedCounts[column]) << column;
        EXPECT_EQ(paragraphs.front(), L"Driftpane 1.0");
        for (const std::wstring& paragraph : paragraphs) {
            EXPECT_FALSE(paragraph.empty());
            EXPECT_EQ(paragraph.find(L'\n'), std::wstring::npos) << column;
        }
    }
    const std::vector<std::wstring> english = splitParagraphs(text(TextId::HelpText, 0));
    EXPECT_EQ(english[7], L"Original archive sources and image hashes are provided in the "
                          L"accompanying source catalog.");
    const std::vector<std::wstring> german = splitParagraphs(text(TextId::HelpText, 1));
    EXPECT_EQ(german[2], L"Schlie\u00DFen blendet die App in den Infobereich aus. Beenden stoppt "
                         L"sie. Kein Autostart.");
}

TEST_F(TextTableTest, LocalizedTextFollowsLanguageIndex) {
    appState.languageIndex = 0;
    EXPECT_STREQ(localizedText(TextId::Swap), L"Swap");
    appState.languageIndex = 1;
    EXPECT_STREQ(localizedText(TextId::Swap), L"Tauschen");
    appState.languageIndex = 2;
    EXPECT_STREQ(localizedText(TextId::Swap), L"Inverser");
    appState.languageIndex = 3;
    EXPECT_STREQ(localizedText(TextId::Swap), L"Invertir");
}

TEST_F(TextTableTest, LocalizedTextGuardsOutOfRangeValues) {
    appState.languageIndex = 4;
    EXPECT_STREQ(localizedText(TextId::Exit), L"Exit");
    appState.languageIndex = -1;
    EXPECT_STREQ(localizedText(TextId::Exit), L"Exit");
    appState.languageIndex = 1;
    EXPECT_STREQ(localizedText(static_cast<TextId>(TextCount)), L"");
    EXPECT_STREQ(localizedText(static_cast<TextId>(-1)), L"");
}

TEST(LanguageRule, LocaleNamesSelectColumns) {
    struct Case {
        const wchar_t* name;
        std::int32_t index;
    };
    const Case cases[] = {{L"de-DE", 1}, {L"de-AT", 1}, {L"de-CH", 1},  {L"de", 1},
                          {L"fr-FR", 2}, {L"fr-CA", 2}, {L"es-ES", 3},  {L"es-MX", 3},
                          {L"en-US", 0}, {L"en-GB", 0}, {L"pt-BR", 0},  {L"it-IT", 0},
                          {L"DE-de", 0}, {L"Fr-FR", 0}, {L"", 0},       {L"d", 0},
                          {L"e", 0},     {L"dx-DE", 0}, {L"sr-Latn", 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(languageIndexForLocaleName(c.name), c.index) << c.name;
    }
}

TEST(LanguageRule, LocaleNameForEachColumn) {
    EXPECT_STREQ(localeNameForLanguage(0), L"en-US");
    EXPECT_STREQ(localeNameForLanguage(1), L"de-DE");
    EXPECT_STREQ(localeNameForLanguage(2), L"fr-FR");
    EXPECT_STREQ(localeNameForLanguage(3), L"es-ES");
    EXPECT_STREQ(localeNameForLanguage(4), L"en-US");
    EXPECT_STREQ(localeNameForLanguage(-1), L"en-US");
    for (std::int32_t column = 0; column < LanguageCount; ++column) {
        EXPECT_EQ(languageIndexForLocaleName(localeNameForLanguage(column)), column);
    }
}
