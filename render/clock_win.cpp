// The clock text from the system: local time, the user's time format picture, the UI
// language's locale and the current time zone.
#include "render/clock.h"

#include "core/app_state.h"
#include "core/text_table.h"

std::wstring formatClockTime(const SYSTEMTIME& localTime, const wchar_t* picture,
                             const wchar_t* localeName) {
    wchar_t text[128] = {};
    if (GetTimeFormatEx(localeName, 0, &localTime, picture, text, 128) == 0) {
        return UnformattedTime;
    }
    return text;
}

std::wstring clockTextFor(const SYSTEMTIME& localTime, const wchar_t* picture,
                          const wchar_t* localeName, const TIME_ZONE_INFORMATION& zone,
                          DWORD zoneResult) {
    const std::int64_t offset =
        utcOffsetMinutes(zone.Bias, zone.StandardBias, zone.DaylightBias, zoneResult);
    return formatClockTime(localTime, picture, localeName) + utcOffsetText(offset);
}

namespace {
// The user's own picture (24- or 12-hour, with or without seconds), read afresh each
// time so a change in the control panel shows at the next tick.
std::wstring userTimePicture() {
    wchar_t picture[96] = {};
    const bool pictureRead = GetLocaleInfoEx(nullptr, LOCALE_STIMEFORMAT, picture, 96) != 0;
    wchar_t itime[8] = {};
    if (pictureRead && containsCyrillic(picture)) {
        if (GetLocaleInfoEx(nullptr, LOCALE_ITIME, itime, 8) == 0) {
            itime[0] = L'\0';
        }
    }
    return chooseTimePicture(pictureRead, pictureRead ? picture : L"", itime);
}
} // namespace

std::wstring clockText() {
    SYSTEMTIME localTime{};
    GetLocalTime(&localTime);
    const std::wstring picture = userTimePicture();
    TIME_ZONE_INFORMATION zone{};
    const DWORD zoneResult = GetTimeZoneInformation(&zone);
    return clockTextFor(localTime, picture.c_str(), localeNameForLanguage(appState.languageIndex),
                        zone, zoneResult);
}
