// The clock text with injected time, picture, locale and time zone, as the system formats
// it.
#include "render/clock.h"

#include "core/app_state.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

SYSTEMTIME afternoon() {
    SYSTEMTIME time{};
    time.wYear = 2024;
    time.wMonth = 3;
    time.wDay = 14;
    time.wDayOfWeek = 4;
    time.wHour = 14;
    time.wMinute = 5;
    time.wSecond = 9;
    return time;
}

// The locale's own afternoon designator, as the system provides it.
std::wstring afternoonDesignator(const wchar_t* localeName) {
    wchar_t text[32] = {};
    GetLocaleInfoEx(localeName, LOCALE_S2359, text, 32);
    return text;
}

TIME_ZONE_INFORMATION zoneWithBias(LONG bias, LONG standardBias, LONG daylightBias) {
    TIME_ZONE_INFORMATION zone{};
    zone.Bias = bias;
    zone.StandardBias = standardBias;
    zone.DaylightBias = daylightBias;
    return zone;
}

} // namespace

TEST(ClockFormat, TwentyFourHourPictureInEnglish) {
    EXPECT_EQ(formatClockTime(afternoon(), L"HH:mm:ss", L"en-US"), L"14:05:09");
    // A picture without seconds gives no seconds.
    EXPECT_EQ(formatClockTime(afternoon(), L"HH:mm", L"en-US"), L"14:05");
}

TEST(ClockFormat, TwelveHourPictureTakesTheDesignatorOfTheUiLocale) {
    const std::wstring english = afternoonDesignator(L"en-US");
    const std::wstring german = afternoonDesignator(L"de-DE");
    ASSERT_EQ(english, L"PM");
    EXPECT_EQ(formatClockTime(afternoon(), L"h:mm:ss tt", L"en-US"), L"2:05:09 PM");
    EXPECT_EQ(formatClockTime(afternoon(), L"h:mm:ss tt", L"de-DE"), L"2:05:09 " + german);
    SYSTEMTIME morning = afternoon();
    morning.wHour = 0;
    EXPECT_EQ(formatClockTime(morning, L"h:mm:ss tt", L"en-US"), L"12:05:09 AM");
}

TEST(ClockFormat, FailureGivesDashes) {
    SYSTEMTIME invalid = afternoon();
    invalid.wHour = 25;
    EXPECT_EQ(formatClockTime(invalid, L"HH:mm:ss", L"en-US"), L"--:--");
    EXPECT_EQ(formatClockTime(afternoon(), L"HH:mm:ss", L"no-such-locale-name"), L"--:--");
}

TEST(ClockFormat, OffsetFollowsTheZoneResult) {
    const TIME_ZONE_INFORMATION london = zoneWithBias(0, 0, -60);
    EXPECT_EQ(clockTextFor(afternoon(), L"HH:mm:ss", L"en-US", london, TIME_ZONE_ID_DAYLIGHT),
              L"14:05:09  UTC+01:00");
    EXPECT_EQ(clockTextFor(afternoon(), L"HH:mm:ss", L"en-US", london, TIME_ZONE_ID_STANDARD),
              L"14:05:09  UTC+00:00");
    EXPECT_EQ(clockTextFor(afternoon(), L"HH:mm:ss", L"en-US", zoneWithBias(-330, 0, 0),
                           TIME_ZONE_ID_UNKNOWN),
              L"14:05:09  UTC+05:30");
    EXPECT_EQ(clockTextFor(afternoon(), L"HH:mm", L"en-US", zoneWithBias(210, 0, -60),
                           TIME_ZONE_ID_STANDARD),
              L"14:05  UTC-03:30");
    // A failed zone query leaves the record zeroed.
    EXPECT_EQ(clockTextFor(afternoon(), L"HH:mm:ss", L"en-US", TIME_ZONE_INFORMATION{},
                           TIME_ZONE_ID_INVALID),
              L"14:05:09  UTC+00:00");
    SYSTEMTIME invalid = afternoon();
    invalid.wMinute = 61;
    EXPECT_EQ(
        clockTextFor(invalid, L"HH:mm:ss", L"en-US", zoneWithBias(-60, 0, 0), TIME_ZONE_ID_UNKNOWN),
        L"--:--  UTC+01:00");
}

TEST(ClockFormat, LiveClockUsesTheSystemZoneAndTheUiLanguage) {
    TIME_ZONE_INFORMATION zone{};
    const DWORD result = GetTimeZoneInformation(&zone);
    const std::wstring offset =
        utcOffsetText(utcOffsetMinutes(zone.Bias, zone.StandardBias, zone.DaylightBias, result));

    const std::int32_t savedLanguage = appState.languageIndex;
    appState.languageIndex = 1;
    wchar_t picture[96] = {};
    ASSERT_NE(GetLocaleInfoEx(nullptr, LOCALE_STIMEFORMAT, picture, 96), 0);
    ASSERT_FALSE(containsCyrillic(picture));
    // The second may turn between the two readings; a reading taken within one second
    // on both sides settles it.
    bool matched = false;
    std::wstring text;
    for (int attempt = 0; attempt < 5 && !matched; ++attempt) {
        SYSTEMTIME before{};
        GetLocalTime(&before);
        text = clockText();
        SYSTEMTIME after{};
        GetLocalTime(&after);
        if (before.wSecond == after.wSecond) {
            matched = true;
            EXPECT_EQ(text, formatClockTime(before, picture, L"de-DE") + offset);
        }
    }
    appState.languageIndex = savedLanguage;
    EXPECT_TRUE(matched) << "the second turned at every attempt";
    ASSERT_GE(text.size(), offset.size());
    EXPECT_EQ(text.substr(text.size() - offset.size()), offset);
}
