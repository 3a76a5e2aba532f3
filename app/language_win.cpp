// Picks the interface language from the Windows UI language and makes it the preferred
// language of process and thread, so that system dialogs follow the same choice.
#include "core/app_state.h"
#include "core/text_table.h"

#include <windows.h>

#include <string>

void chooseLanguage() {
    wchar_t localeName[LOCALE_NAME_MAX_LENGTH] = {};
    if (LCIDToLocaleName(GetUserDefaultUILanguage(), localeName, LOCALE_NAME_MAX_LENGTH, 0) == 0) {
        localeName[0] = L'\0';
    }
    appState.languageIndex = languageIndexForLocaleName(localeName);

    // The list is a sequence of NUL-terminated names closed by an empty one.
    std::wstring preferred = localeNameForLanguage(appState.languageIndex);
    preferred.append(2, L'\0');
    ULONG languagesSet = 0;
    SetProcessPreferredUILanguages(MUI_LANGUAGE_NAME, preferred.c_str(), &languagesSet);
    SetThreadPreferredUILanguages(MUI_LANGUAGE_NAME, preferred.c_str(), &languagesSet);
}
