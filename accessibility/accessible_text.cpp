// Names, values and places of the main window's accessible parts, from the state and the
// painting's own geometry.
#include "accessibility/accessible_text.h"

#include "core/text_table.h"
#include "core/view_controller.h"
#include "render/paint_text.h"

#include <algorithm>
#include <cmath>

namespace {

// The painted heading is text 2 in capitals; read aloud it should be a name, not a shout.
// German keeps its capitalised noun, which no case rule would get right.
constexpr const wchar_t* SavedPairsNames[LanguageCount] = {
    L"Saved pairs",
    L"Gespeicherte Paare",
    L"Paires enregistrées",
    L"Pares guardados",
};

constexpr const wchar_t* ViewDescriptions[LanguageCount] = {
    L"Left and Right arrow keys move the divider. Plus and minus zoom, Shift with an arrow key "
    L"pans.",
    L"Pfeiltasten links und rechts verschieben die Trennlinie. Plus und Minus zoomen, Umschalt "
    L"mit einer Pfeiltaste verschiebt das Bild.",
    L"Les fl\u00E8ches gauche et droite d\u00E9placent le curseur. Plus et moins zooment, Maj "
    L"avec une fl\u00E8che d\u00E9place l'image.",
    L"Las flechas izquierda y derecha mueven el divisor. M\u00E1s y menos hacen zoom, "
    L"May\u00FAs con una flecha mueve la imagen.",
};

constexpr const wchar_t* OpenActionNames[LanguageCount] = {
    L"Open",
    L"\u00D6ffnen",
    L"Ouvrir",
    L"Abrir",
};

const wchar_t* inLanguage(const wchar_t* const (&texts)[LanguageCount],
                          std::int32_t languageIndex) {
    return languageIndex >= 0 && languageIndex < LanguageCount ? texts[languageIndex] : texts[0];
}

const wchar_t* textIn(const AppState& state, TextId id) {
    const std::int32_t column =
        state.languageIndex >= 0 && state.languageIndex < LanguageCount ? state.languageIndex : 0;
    return TextTable[static_cast<int>(id)][column];
}

PixelRect pixelsOf(float x, float y, float width, float height, float scale) {
    const std::int32_t left = scaledBy(x, scale);
    const std::int32_t top = scaledBy(y, scale);
    // A window narrower than the layout's fixed parts gives negative widths; the box is
    // then empty rather than inside out.
    return {left, top, std::max(left, scaledBy(x + width, scale)),
            std::max(top, scaledBy(y + height, scale))};
}

const LayoutBox* textBoxOf(PaintedPart part) {
    switch (part) {
    case PaintedPart::Zoom:
        return &MainBox::Zoom;
    case PaintedPart::Caption:
        return &MainBox::Caption;
    case PaintedPart::SourceLine:
        return &MainBox::SourceLine;
    case PaintedPart::Status:
        return &MainBox::Status;
    case PaintedPart::Clock:
        return &MainBox::Clock;
    case PaintedPart::View:
        break;
    }
    return nullptr;
}

} // namespace

std::wstring pairYearsText(std::int32_t firstYear, std::int32_t secondYear) {
    return yearText(firstYear) + L" / " + yearText(secondYear);
}

std::wstring viewName(std::wstring_view caption, std::int32_t firstYear, std::int32_t secondYear) {
    std::wstring name(caption);
    name += L", ";
    name += pairYearsText(firstYear, secondYear);
    return name;
}

std::wstring dividerPercentText(float dividerPos, std::int32_t languageIndex) {
    const double share = std::isnan(dividerPos) ? 0.0 : std::clamp<double>(dividerPos, 0.0, 1.0);
    // In double, so that 0.1235 is 123.5 tenths exactly and rounds up like every other half.
    const long tenths = std::lround(share * 1000.0);
    const wchar_t* decimalSign = languageIndex > 0 && languageIndex < LanguageCount ? L"," : L".";
    return std::to_wstring(tenths / 10) + decimalSign + std::to_wstring(tenths % 10) + L"%";
}

const wchar_t* savedPairsListName(std::int32_t languageIndex) {
    return inLanguage(SavedPairsNames, languageIndex);
}

const wchar_t* viewDescription(std::int32_t languageIndex) {
    return inLanguage(ViewDescriptions, languageIndex);
}

const wchar_t* openActionName(std::int32_t languageIndex) {
    return inLanguage(OpenActionNames, languageIndex);
}

std::wstring paintedPartText(PaintedPart part, const AppState& state, std::wstring_view clock) {
    switch (part) {
    case PaintedPart::Caption:
        return state.caption;
    case PaintedPart::SourceLine:
        return sourceLineText(state.isLocalPair, textIn(state, TextId::FitNote));
    case PaintedPart::View:
        return viewName(state.caption, state.firstYear, state.secondYear);
    case PaintedPart::Zoom:
        return zoomText(textIn(state, TextId::Zoom), state.zoom);
    case PaintedPart::Status:
        return state.statusText;
    case PaintedPart::Clock:
        return std::wstring(clock);
    }
    return {};
}

PixelRect paintedPartPixels(PaintedPart part, const AppState& state, std::int32_t clientWidthPx,
                            std::int32_t clientHeightPx) {
    const float scale = state.uiScale;
    if (part == PaintedPart::View) {
        const ViewRect view = viewRect(state, clientWidthPx, clientHeightPx);
        return pixelsOf(view.left, view.top, view.width, view.height, scale);
    }
    const LayoutBox* text = textBoxOf(part);
    if (!text) {
        return {};
    }
    const LayoutBox& box = *text;
    const float width = static_cast<float>(clientWidthPx) / scale;
    const float height = static_cast<float>(clientHeightPx) / scale;
    return pixelsOf(box.x.at(width, height), box.y.at(width, height), box.width.at(width, height),
                    box.height.at(width, height), scale);
}

std::optional<PaintedPart> paintedPartAt(const AppState& state, std::int32_t x, std::int32_t y,
                                         std::int32_t clientWidthPx, std::int32_t clientHeightPx) {
    for (PaintedPart part : PaintedParts) {
        const PixelRect box = paintedPartPixels(part, state, clientWidthPx, clientHeightPx);
        if (x >= box.left && x < box.right && y >= box.top && y < box.bottom) {
            return part;
        }
    }
    return std::nullopt;
}
