// The interface language chosen from the Windows UI language of the test machine, and the
// preferred UI language it leaves on the thread.
#include "core/app_state.h"
#include "core/text_table.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

TEST(LanguageChoice, EnglishUserLanguageSelectsAndPrefersEnglish) {
    wchar_t userLocale[LOCALE_NAME_MAX_LENGTH] = {};
    LCIDToLocaleName(GetUserDefaultUILanguage(), userLocale, LOCALE_NAME_MAX_LENGTH, 0);
    ASSERT_STREQ(userLocale, L"en-US") << "the test prefix runs with an English UI";
    appState.languageIndex = 2;
    chooseLanguage();
    EXPECT_EQ(appState.languageIndex, 0);
    EXPECT_STREQ(localizedText(TextId::Ready), L"Ready. Photos stay on this computer.");

    ULONG count = 0;
    ULONG size = 0;
    ASSERT_TRUE(GetThreadPreferredUILanguages(MUI_LANGUAGE_NAME | MUI_THREAD_LANGUAGES, &count,
                                              nullptr, &size));
    std::vector<wchar_t> names(size + 1);
    ASSERT_TRUE(GetThreadPreferredUILanguages(MUI_LANGUAGE_NAME | MUI_THREAD_LANGUAGES, &count,
                                              names.data(), &size));
    ASSERT_GT(count, 0u);
    EXPECT_STREQ(names.data(), L"en-US");
    appState.languageIndex = 0;
}
