// The clock text of the bottom strip: the local time in the user's time format picture,
// formatted in the UI language's locale, followed by the UTC offset.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr wchar_t TwentyFourHourPicture[] = L"HH:mm:ss";
inline constexpr wchar_t TwelveHourPicture[] = L"h:mm:ss tt";
inline constexpr wchar_t UnformattedTime[] = L"--:--";

// Results of GetTimeZoneInformation that select an extra bias.
inline constexpr std::uint32_t TimeZoneIdStandard = 1;
inline constexpr std::uint32_t TimeZoneIdDaylight = 2;

// True when any character lies in U+0400..U+052F (Cyrillic and Cyrillic Supplement).
bool containsCyrillic(std::wstring_view text);

// The picture to format with. pictureRead is false when the user's picture could not be
// read; itime is the user's LOCALE_ITIME value ("1" for 24-hour), empty if unreadable.
// A picture with a Cyrillic letter anywhere is replaced by a fallback picture.
std::wstring chooseTimePicture(bool pictureRead, std::wstring_view userPicture,
                               std::wstring_view itime);

// Minutes east of UTC: -(bias + DaylightBias) in daylight time, -(bias + StandardBias) in
// standard time, -bias for any other zone result.
std::int64_t utcOffsetMinutes(std::int32_t bias, std::int32_t standardBias,
                              std::int32_t daylightBias, std::uint32_t zoneResult);

// "  UTC+hh:mm" (two leading spaces); zero counts as positive.
std::wstring utcOffsetText(std::int64_t offsetMinutes);

// The clock line for the current local time, time zone and UI language. Windows only.
std::wstring clockText();

#ifdef _WIN32
#include <windows.h>

// The time formatted with the given picture in the given locale, or "--:--".
std::wstring formatClockTime(const SYSTEMTIME& localTime, const wchar_t* picture,
                             const wchar_t* localeName);

// The whole clock line from injected inputs: time, picture, locale and time zone record
// with the result GetTimeZoneInformation gave for it.
std::wstring clockTextFor(const SYSTEMTIME& localTime, const wchar_t* picture,
                          const wchar_t* localeName, const TIME_ZONE_INFORMATION& zone,
                          DWORD zoneResult);
#endif
