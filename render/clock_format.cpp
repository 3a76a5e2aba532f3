// Platform-free rules of the clock text: choosing the time picture and writing the UTC
// offset.
#include "render/clock.h"

namespace {
// At least two digits with a leading zero, like "%02d".
std::wstring twoDigits(std::uint64_t value) {
    std::wstring digits = std::to_wstring(value);
    return digits.size() < 2 ? L"0" + digits : digits;
}
} // namespace

bool containsCyrillic(std::wstring_view text) {
    for (wchar_t c : text) {
        if (c >= 0x0400 && c <= 0x052F) {
            return true;
        }
    }
    return false;
}

std::wstring chooseTimePicture(bool pictureRead, std::wstring_view userPicture,
                               std::wstring_view itime) {
    if (!pictureRead) {
        return TwentyFourHourPicture;
    }
    // Cyrillic pictures often carry literal words (such as an hour abbreviation) that
    // would show untranslated beside another UI language; a plain picture keeps only
    // the user's 12/24-hour choice.
    if (containsCyrillic(userPicture)) {
        return !itime.empty() && itime.front() == L'1' ? TwentyFourHourPicture : TwelveHourPicture;
    }
    return std::wstring(userPicture);
}

std::int64_t utcOffsetMinutes(std::int32_t bias, std::int32_t standardBias,
                              std::int32_t daylightBias, std::uint32_t zoneResult) {
    std::int64_t extra = 0;
    if (zoneResult == TimeZoneIdDaylight) {
        extra = daylightBias;
    } else if (zoneResult == TimeZoneIdStandard) {
        extra = standardBias;
    }
    // Widened so that no bias pair, however odd, overflows.
    return -(static_cast<std::int64_t>(bias) + extra);
}

std::wstring utcOffsetText(std::int64_t offsetMinutes) {
    // Negated in unsigned arithmetic so that even the most negative value is safe.
    const std::uint64_t magnitude = offsetMinutes >= 0
                                        ? static_cast<std::uint64_t>(offsetMinutes)
                                        : 0 - static_cast<std::uint64_t>(offsetMinutes);
    std::wstring text = L"  UTC";
    text += offsetMinutes >= 0 ? L'+' : L'-';
    text += twoDigits(magnitude / 60);
    text += L':';
    text += twoDigits(magnitude % 60);
    return text;
}
