// The clock text with injected time, picture, locale and time zone, as the system formats
// it, and the live clock against the same system calls.
#include "render/clock.h"

#include "core/app_state.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// 14 March 2024, a Thursday, at the given hour and minute and 9 seconds.
SYSTEMTIME at(WORD hour, WORD minute) {
    return SYSTEMTIME{2024, 3, 4, 14, hour, minute, 9, 0};
}

TIME_ZONE_INFORMATION zone(LONG bias, LONG daylightBias) {
    TIME_ZONE_INFORMATION zone{};
    zone.Bias = bias;
    zone.DaylightBias = daylightBias;
    return zone;
}

} // namespace

TEST(ClockFormat, PictureAndLocaleAreTheInjectedOnes) {
    // The locale's own afternoon designator, as the system provides it.
    wchar_t german[32] = {};
    GetLocaleInfoEx(L"de-DE", LOCALE_S2359, german, 32);
    const struct {
        SYSTEMTIME time;
        const wchar_t* picture;
        const wchar_t* locale;
        std::wstring expected;
    } cases[] = {
        {at(14, 5), L"HH:mm:ss", L"en-US", L"14:05:09"},
        {at(14, 5), L"HH:mm", L"en-US", L"14:05"},
        {at(14, 5), L"h:mm:ss tt", L"en-US", L"2:05:09 PM"},
        {at(14, 5), L"h:mm:ss tt", L"de-DE", L"2:05:09 " + std::wstring(german)},
        {at(0, 5), L"h:mm:ss tt", L"en-US", L"12:05:09 AM"},
        {at(25, 5), L"HH:mm:ss", L"en-US", L"--:--"},
        {at(14, 5), L"HH:mm:ss", L"no-such-locale-name", L"--:--"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatClockTime(c.time, c.picture, c.locale), c.expected);
    }
}

TEST(ClockFormat, OffsetFollowsTheZoneResult) {
    const TIME_ZONE_INFORMATION london = zone(0, -60);
    const auto text = [](const SYSTEMTIME& time, const wchar_t* picture,
                         const TIME_ZONE_INFORMATION& zone, DWORD result) {
        return clockTextFor(time, picture, L"en-US", zone, result);
    };
    EXPECT_EQ(text(at(14, 5), L"HH:mm:ss", london, TIME_ZONE_ID_DAYLIGHT), L"14:05:09  UTC+01:00");
    EXPECT_EQ(text(at(14, 5), L"HH:mm:ss", london, TIME_ZONE_ID_STANDARD), L"14:05:09  UTC+00:00");
    EXPECT_EQ(text(at(14, 5), L"HH:mm:ss", zone(-330, 0), TIME_ZONE_ID_UNKNOWN),
              L"14:05:09  UTC+05:30");
    EXPECT_EQ(text(at(14, 5), L"HH:mm", zone(210, -60), TIME_ZONE_ID_STANDARD),
              L"14:05  UTC-03:30");
    EXPECT_EQ(text(at(14, 5), L"HH:mm:ss", TIME_ZONE_INFORMATION{}, TIME_ZONE_ID_INVALID),
              L"14:05:09  UTC+00:00");
    EXPECT_EQ(text(at(14, 61), L"HH:mm:ss", zone(-60, 0), TIME_ZONE_ID_UNKNOWN),
              L"--:--  UTC+01:00");
}

TEST(ClockFormat, LiveClockUsesTheSystemZoneAndTheUiLanguage) {
    TIME_ZONE_INFORMATION system{};
    const DWORD result = GetTimeZoneInformation(&system);
    const std::wstring offset = utcOffsetText(
        utcOffsetMinutes(system.Bias, system.StandardBias, system.DaylightBias, result));
    wchar_t picture[96] = {};
    ASSERT_NE(GetLocaleInfoEx(nullptr, LOCALE_STIMEFORMAT, picture, 96), 0);
    ASSERT_FALSE(containsCyrillic(picture));

    const std::int32_t savedLanguage = appState.languageIndex;
    appState.languageIndex = 1;
    // The second may turn between the readings; one taken within a single second settles it.
    bool matched = false;
    for (int attempt = 0; attempt < 5 && !matched; ++attempt) {
        SYSTEMTIME before{}, after{};
        GetLocalTime(&before);
        const std::wstring text = clockText();
        GetLocalTime(&after);
        if (before.wSecond == after.wSecond) {
            matched = true;
            EXPECT_EQ(text, formatClockTime(before, picture, L"de-DE") + offset);
        }
    }
    appState.languageIndex = savedLanguage;
    EXPECT_TRUE(matched) << "the second turned at every attempt";
}
