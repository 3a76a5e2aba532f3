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

std::vector<std::wstring> paragraphsOf(const std::wstring& value) {
    std::vector<std::wstring> paragraphs;
    for (std::size_t start = 0;;) {
        const std::size_t end = value.find(L"\n\n", start);
        paragraphs.push_back(value.substr(start, end - start));
        if (end == std::wstring::npos) {
            return paragraphs;
        }
        start = end + 2;
    }
}

} // namespace

TEST(TextTable, EveryTextIsPresentAndTrimmed) {
    for (int row = 0; row < TextCount; ++row) {
        for (int column = 0; column < LanguageCount; ++column) {
            SCOPED_TRACE(testing::Message() << row << "/" << column);
            ASSERT_NE(TextTable[row][column], nullptr);
            const std::wstring value = TextTable[row][column];
            ASSERT_FALSE(value.empty());
            EXPECT_EQ(value.find(L'\r'), std::wstring::npos);
            EXPECT_NE(value.front(), L' ');
            EXPECT_NE(value.back(), L' ');
        }
    }
}

TEST(TextTable, ExactStringsInEachLanguage) {
    const std::wstring host = ArchiveHost;
    struct Case {
        TextId id;
        std::wstring texts[LanguageCount];
    };
    const Case cases[] = {
        {TextId::Ready,
         {L"Ready. Photos stay on this computer.", L"Bereit. Fotos bleiben auf diesem Computer.",
          L"Pr\u00EAt. Les photos restent sur cet ordinateur.",
          L"Listo. Las fotos permanecen en este equipo."}},
        {TextId::Downloading,
         {L"Downloading two images from " + host + L"...",
          L"Zwei Bilder von " + host + L" werden geladen...",
          L"T\u00E9l\u00E9chargement de deux images depuis " + host + L"...",
          L"Descargando dos im\u00E1genes de " + host + L"..."}},
        {TextId::CannotReadPhotos,
         {L"Cannot read these photos. Use JPEG, PNG or BMP, up to 40 MiB and 80 megapixels each.",
          L"Fotos nicht lesbar. JPEG, PNG oder BMP, bis 40 MiB und 80 Megapixel pro Bild.",
          L"Photos illisibles. JPEG, PNG ou BMP, 40 Mio et 80 m\u00E9gapixels maximum par image.",
          L"No se pueden leer. Usa JPEG, PNG o BMP, hasta 40 MiB y 80 megap\u00EDxeles por "
          L"foto."}},
        {TextId::LanguageName, {L"English", L"Deutsch", L"Fran\u00E7ais", L"Espa\u00F1ol"}},
        {TextId::Swap, {L"Swap", L"Tauschen", L"Inverser", L"Invertir"}},
    };
    for (const Case& c : cases) {
        for (int column = 0; column < LanguageCount; ++column) {
            EXPECT_EQ(text(c.id, column), c.texts[column])
                << static_cast<int>(c.id) << "/" << column;
        }
    }
    EXPECT_EQ(text(TextId::Tagline, 0), L"A place. Two moments.");
    EXPECT_EQ(text(TextId::OpenApp, 1), L"Driftpane \u00F6ffnen");
    EXPECT_EQ(text(TextId::SavedPairs, 2), L"PAIRES ENREGISTR\u00C9ES");
    EXPECT_EQ(text(TextId::CannotSave, 2),
              L"\u00C9chec de sauvegarde. V\u00E9rifiez l'espace disque et les droits du dossier.");
    EXPECT_EQ(text(TextId::FirstYear, 3), L"Primer a\u00F1o");
}

TEST(TextTable, HelpTextParagraphs) {
    const std::size_t counts[LanguageCount] = {8, 7, 7, 7};
    for (int column = 0; column < LanguageCount; ++column) {
        const std::wstring help = text(TextId::HelpText, column);
        EXPECT_EQ(help.find(L"\n\n\n"), std::wstring::npos) << column;
        const std::vector<std::wstring> paragraphs = paragraphsOf(help);
        ASSERT_EQ(paragraphs.size(), counts[column]) << column;
        EXPECT_EQ(paragraphs.front(), L"Driftpane 1.0");
        for (const std::wstring& paragraph : paragraphs) {
            EXPECT_FALSE(paragraph.empty()) << column;
            EXPECT_EQ(paragraph.find(L'\n'), std::wstring::npos) << column;
        }
    }
    EXPECT_EQ(paragraphsOf(text(TextId::HelpText, 0))[7],
              L"Original archive sources and image hashes are provided in the accompanying "
              L"source catalog.");
    EXPECT_EQ(paragraphsOf(text(TextId::HelpText, 1))[2],
              L"Schlie\u00DFen blendet die App in den Infobereich aus. Beenden stoppt sie. Kein "
              L"Autostart.");
}

TEST(TextTable, LocalizedTextGuardsOutOfRangeValues) {
    for (std::int32_t language : {1, 4, -1}) {
        appState.languageIndex = language;
        EXPECT_STREQ(localizedText(TextId::Exit), language == 1 ? L"Beenden" : L"Exit");
        EXPECT_STREQ(localizedText(static_cast<TextId>(TextCount)), L"");
        EXPECT_STREQ(localizedText(static_cast<TextId>(-1)), L"");
    }
    resetAppStateForTests(appState);
}

TEST(TextTable, LocaleNamesSelectColumns) {
    const std::pair<const wchar_t*, std::int32_t> cases[] = {
        {L"de-DE", 1}, {L"de-AT", 1}, {L"de-CH", 1}, {L"de", 1},    {L"fr-FR", 2}, {L"fr-CA", 2},
        {L"es-ES", 3}, {L"es-MX", 3}, {L"en-US", 0}, {L"pt-BR", 0}, {L"it-IT", 0}, {L"DE-de", 0},
        {L"Fr-FR", 0}, {L"", 0},      {L"d", 0},     {L"e", 0},     {L"dx-DE", 0}, {L"sr-Latn", 0}};
    for (const auto& [name, column] : cases) {
        EXPECT_EQ(languageIndexForLocaleName(name), column) << name;
    }
    const wchar_t* const names[] = {L"en-US", L"de-DE", L"fr-FR", L"es-ES"};
    for (std::int32_t column = 0; column < LanguageCount; ++column) {
        EXPECT_STREQ(localeNameForLanguage(column), names[column]);
        EXPECT_EQ(languageIndexForLocaleName(localeNameForLanguage(column)), column);
    }
    EXPECT_STREQ(localeNameForLanguage(4), L"en-US");
    EXPECT_STREQ(localeNameForLanguage(-1), L"en-US");
}
