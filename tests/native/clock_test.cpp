// Time picture choice and UTC offset text of the clock.
#include "render/clock.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <iterator>

TEST(ClockPicture, CyrillicAnywhereSwapsThePictureForTheHourPreference) {
    struct Case {
        bool read;
        const wchar_t* picture;
        const wchar_t* itime;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {true, L"HH:mm", L"1", L"HH:mm"},
        {true, L"h:mm:ss tt", L"", L"h:mm:ss tt"},
        // Greek and Armenian sit just outside U+0400..U+052F.
        {true, L"H:mm '\u03C9\u03C1\u03B1'", L"0", L"H:mm '\u03C9\u03C1\u03B1'"},
        {true, L"H:mm \u03FF\u0530", L"0", L"H:mm \u03FF\u0530"},
        {false, L"", L"", L"HH:mm:ss"},
        {false, L"h:mm tt", L"0", L"HH:mm:ss"},
        // Inside quoted literal text too, and at both ends of the range.
        {true, L"H:mm:ss '\u0447.'", L"1", L"HH:mm:ss"},
        {true, L"\u0400H:mm", L"1", L"HH:mm:ss"},
        {true, L"H:mm\u052F", L"0", L"h:mm:ss tt"},
        {true, L"H:mm '\u0447.'", L"10", L"HH:mm:ss"},
        // Anything but a leading "1", including an unreadable setting, means 12 hours.
        {true, L"H:mm '\u0447.'", L"", L"h:mm:ss tt"},
        {true, L"H:mm '\u0447.'", L"01", L"h:mm:ss tt"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(chooseTimePicture(cases[i].read, cases[i].picture, cases[i].itime),
                  cases[i].expected);
    }
    EXPECT_FALSE(containsCyrillic(L""));
}

TEST(ClockOffset, ZoneResultPicksTheExtraBiasAndTheTextIsSignedHoursAndMinutes) {
    struct Case {
        std::int32_t bias, standardBias, daylightBias;
        std::uint32_t zoneResult;
        std::int64_t minutes;
        const wchar_t* text;
    };
    const Case cases[] = {
        {0, 0, -60, TimeZoneIdDaylight, 60, L"  UTC+01:00"},
        {0, 0, -60, TimeZoneIdStandard, 0, L"  UTC+00:00"},
        {0, 0, -60, 0, 0, L"  UTC+00:00"},
        // A failed query: the zeroed record and TIME_ZONE_ID_INVALID give UTC.
        {0, 0, 0, 0xFFFFFFFFu, 0, L"  UTC+00:00"},
        {0, 0, -60, 0xFFFFFFFFu, 0, L"  UTC+00:00"},
        {-60, 15, -60, TimeZoneIdStandard, 45, L"  UTC+00:45"},
        {-330, 0, 0, 0, 330, L"  UTC+05:30"},
        {210, 0, -60, TimeZoneIdStandard, -210, L"  UTC-03:30"},
        {-840, 0, 0, 0, 840, L"  UTC+14:00"},
        {720, 0, 0, 0, -720, L"  UTC-12:00"},
        {1, 0, 0, 0, -1, L"  UTC-00:01"},
        {-6000, 0, 0, 0, 6000, L"  UTC+100:00"},
        // No overflow at the ends of the 32-bit fields.
        {INT_MIN, 0, INT_MIN, TimeZoneIdDaylight, -(2LL * INT_MIN), L"  UTC+71582788:16"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const Case& c = cases[i];
        const std::int64_t minutes =
            utcOffsetMinutes(c.bias, c.standardBias, c.daylightBias, c.zoneResult);
        EXPECT_EQ(minutes, c.minutes);
        EXPECT_EQ(utcOffsetText(minutes), c.text);
    }
    EXPECT_EQ(utcOffsetText(LLONG_MIN), L"  UTC-153722867280912930:08");
}
