// Number-to-text rules of the main window painting, kept free of Windows so they are
// tested natively.
#include "render/paint_text.h"

#include <cmath>

std::wstring yearText(std::int32_t year) {
    return std::to_wstring(year);
}

std::wstring zoomText(std::wstring_view zoomLabel, float zoom) {
    // The product stays in float on purpose: the shown number must match single
    // precision, where 1.728f * 100 lands just above 172.8 and truncates to 172.
    const float percent = zoom * 100.0f;
    long long whole = 0;
    // The zoom is clamped to 1..8 by the view input; a value the cast cannot hold
    // must still not be undefined behaviour.
    if (std::isfinite(percent) && std::fabs(percent) < 1e15f) {
        whole = static_cast<long long>(std::trunc(percent));
    }
    std::wstring text(zoomLabel);
    text += L' ';
    text += std::to_wstring(whole);
    text += L'%';
    return text;
}

std::wstring sourceLineText(bool isLocalPair, std::wstring_view fitNote) {
    return isLocalPair ? std::wstring(fitNote) : std::wstring(ArchiveCredit);
}
