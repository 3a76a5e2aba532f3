// Tests of the interface language choice against the Windows UI language of the test
// machine, and of the preferred UI languages it leaves behind.
#include "core/app_state.h"
#include "core/text_table.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::wstring userUiLocaleName() {
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    if (LCIDToLocaleName(GetUserDefaultUILanguage(), name, LOCALE_NAME_MAX_LENGTH, 0) == 0) {
        return {};
    }
    return name;
}

// The first name of the thread's preferred UI language list, or empty when none is set.
std::wstring firstThreadPreferredLanguage() {
    ULONG count = 0;
    ULONG size = 0;
    if (!GetThreadPreferredUILanguages(MUI_LANGUAGE_NAME | MUI_THREAD_LANGUAGES, &count, nullptr,
                                       &size) ||
        size == 0) {
        return {};
    }
    std::vector<wchar_t> buffer(size);
    if (!GetThreadPreferredUILanguages(MUI_LANGUAGE_NAME | MUI_THREAD_LANGUAGES, &count,
                                       buffer.data(), &size) ||
        count == 0) {
        return {};
    }
    return buffer.data();
}

class LanguageChoice : public testing::Test {
  protected:
    void TearDown() override { appState.languageIndex = 0; }
};

} // namespace

TEST_F(LanguageChoice, EnglishUserLanguageSelectsFirstColumn) {
    ASSERT_EQ(userUiLocaleName(), L"en-US") << "the test prefix runs with an English UI";
    appState.languageIndex = 2;
    chooseLanguage();
    EXPECT_EQ(appState.languageIndex, 0);
    EXPECT_STREQ(localizedText(TextId::Ready), L"Ready. Photos stay on this computer.");
}

TEST_F(LanguageChoice, ThreadPrefersTheChosenLocale) {
    chooseLanguage();
    EXPECT_EQ(firstThreadPreferredLanguage(), localeNameForLanguage(appState.languageIndex));
    EXPECT_EQ(firstThreadPreferredLanguage(), L"en-US");
}
