// Time picture choice and UTC offset text of the clock.
#include "render/clock.h"

#include <gtest/gtest.h>

#include <climits>

TEST(ClockPicture, UserPictureWithoutCyrillicIsKept) {
    EXPECT_EQ(chooseTimePicture(true, L"HH:mm", L"1"), L"HH:mm");
    EXPECT_EQ(chooseTimePicture(true, L"h:mm:ss tt", L""), L"h:mm:ss tt");
    // Greek and Armenian sit just outside the Cyrillic blocks.
    EXPECT_EQ(chooseTimePicture(true, L"H:mm '\u03C9\u03C1\u03B1'", L"0"),
              L"H:mm '\u03C9\u03C1\u03B1'");
    EXPECT_EQ(chooseTimePicture(true, L"H:mm \u0530\u0531", L"0"), L"H:mm \u0530\u0531");
}

TEST(ClockPicture, UnreadablePictureFallsBackToTwentyFourHours) {
    EXPECT_EQ(chooseTimePicture(false, L"", L""), L"HH:mm:ss");
    EXPECT_EQ(chooseTimePicture(false, L"h:mm tt", L"0"), L"HH:mm:ss");
}

TEST(ClockPicture, CyrillicAnywhereIsReplacedByTheHourPreference) {
    // Inside quoted literal text too, and at both ends of the two blocks.
    EXPECT_EQ(chooseTimePicture(true, L"H:mm:ss '\u0447.'", L"1"), L"HH:mm:ss");
    EXPECT_EQ(chooseTimePicture(true, L"\u0400H:mm", L"1"), L"HH:mm:ss");
    EXPECT_EQ(chooseTimePicture(true, L"H:mm\u052F", L"0"), L"h:mm:ss tt");
    EXPECT_EQ(chooseTimePicture(true, L"H:mm '\u0447.'", L"10"), L"HH:mm:ss");
    // Anything but a leading "1", including an unreadable setting, means 12 hours.
    EXPECT_EQ(chooseTimePicture(true, L"H:mm '\u0447.'", L""), L"h:mm:ss tt");
    EXPECT_EQ(chooseTimePicture(true, L"H:mm '\u0447.'", L"01"), L"h:mm:ss tt");
}

TEST(ClockPicture, CyrillicRangeBounds) {
    EXPECT_FALSE(containsCyrillic(L""));
    EXPECT_FALSE(containsCyrillic(L"HH:mm:ss"));
    EXPECT_FALSE(containsCyrillic(L"\u03FF\u0530"));
    EXPECT_TRUE(containsCyrillic(L"\u0400"));
    EXPECT_TRUE(containsCyrillic(L"a\u052F"));
}

TEST(ClockOffset, BiasAndExtraBiasByZoneResult) {
    // Bias 0, DaylightBias -60: daylight shows +60, standard and unknown show 0.
    EXPECT_EQ(utcOffsetMinutes(0, 0, -60, TimeZoneIdDaylight), 60);
    EXPECT_EQ(utcOffsetMinutes(0, 0, -60, TimeZoneIdStandard), 0);
    EXPECT_EQ(utcOffsetMinutes(0, 0, -60, 0), 0);
    EXPECT_EQ(utcOffsetMinutes(0, 0, -60, 0xFFFFFFFFu), 0);
    EXPECT_EQ(utcOffsetMinutes(-60, 15, -60, TimeZoneIdStandard), 45);
    EXPECT_EQ(utcOffsetMinutes(-330, 0, 0, 0), 330);
    EXPECT_EQ(utcOffsetMinutes(210, 0, -60, TimeZoneIdStandard), -210);
    EXPECT_EQ(utcOffsetMinutes(INT_MIN, 0, INT_MIN, TimeZoneIdDaylight), -(2LL * INT_MIN));
}

TEST(ClockOffset, TextHasSignPaddedHoursAndMinutes) {
    EXPECT_EQ(utcOffsetText(330), L"  UTC+05:30");
    EXPECT_EQ(utcOffsetText(-210), L"  UTC-03:30");
    EXPECT_EQ(utcOffsetText(60), L"  UTC+01:00");
    EXPECT_EQ(utcOffsetText(0), L"  UTC+00:00");
    EXPECT_EQ(utcOffsetText(-1), L"  UTC-00:01");
    EXPECT_EQ(utcOffsetText(840), L"  UTC+14:00");
    EXPECT_EQ(utcOffsetText(-720), L"  UTC-12:00");
    EXPECT_EQ(utcOffsetText(6000), L"  UTC+100:00");
    EXPECT_EQ(utcOffsetText(LLONG_MIN), L"  UTC-153722867280912930:08");
}

TEST(ClockOffset, DefaultsOfAZeroedRecordGiveUtc) {
    EXPECT_EQ(utcOffsetText(utcOffsetMinutes(0, 0, 0, 0xFFFFFFFFu)), L"  UTC+00:00");
}
