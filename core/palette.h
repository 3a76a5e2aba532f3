// The five ARGB colours shared by the window painting, the divider knob, the owner-drawn
// buttons and the modal windows; beside them the interface's typeface, and the one choice
// between these fixed colours and Windows' own while high contrast is on.
#pragma once
#include <cstdint>

namespace Palette {
inline constexpr std::uint32_t Paper = 0xFFF4F0E8;
inline constexpr std::uint32_t Ink = 0xFF262F30;
inline constexpr std::uint32_t Muted = 0xFF69726F;
inline constexpr std::uint32_t Accent = 0xFFAF5939;
inline constexpr std::uint32_t Rule = 0xFFD9D3C7;
} // namespace Palette

// The main window's other colours (ARGB), beside the palette so that painting, the
// owner-drawn buttons and the panel controls agree.
namespace WindowColour {
inline constexpr std::uint32_t Panel = 0xFFE6E4D8;
inline constexpr std::uint32_t HeaderStart = 0xFF253C39;
inline constexpr std::uint32_t HeaderEnd = 0xFF484F39;
inline constexpr std::uint32_t Hatch = 0x50DCCDA5;
inline constexpr std::uint32_t Title = 0xFFFAF5E6;
inline constexpr std::uint32_t Tagline = 0xFFD9E0CE;
inline constexpr std::uint32_t FieldNotes = 0xFFD0BF98;
// The status line while it reports an error.
inline constexpr std::uint32_t ErrorRed = 0xFFA13327;
inline constexpr std::uint32_t ButtonPressed = 0xFF685542;
inline constexpr std::uint32_t ButtonDisabledText = 0xFF92928C;
inline constexpr std::uint32_t ButtonLightText = 0xFFFFFFFF;
} // namespace WindowColour

// The one typeface of the interface: the controls' font, the owner-drawn buttons and every
// painted text.
inline constexpr wchar_t UiFontFace[] = L"Segoe UI";

// The same colour as a GDI COLORREF (0x00BBGGRR), for the controls GDI paints.
constexpr std::uint32_t colorRefOf(std::uint32_t argb) {
    return ((argb & 0xFFu) << 16) | (argb & 0xFF00u) | ((argb >> 16) & 0xFFu);
}

// A GDI COLORREF as an opaque ARGB colour.
constexpr std::uint32_t argbOfColorRef(std::uint32_t colorRef) {
    return 0xFF000000u | colorRefOf(colorRef & 0xFFFFFFu);
}

// Alpha 0: a part that one look draws and the other leaves out.
inline constexpr std::uint32_t NotDrawn = 0x00000000;

// The comparison's colours. The export always takes the fixed ones.
struct ComparisonColours {
    std::uint32_t background; // behind and beside the photos
    std::uint32_t divider;
    std::uint32_t dividerEdge; // a wider line under the divider, so it shows on any photo
    // The knob's disc, an outline round it and its arrows.
    std::uint32_t knob;
    std::uint32_t knobRing;
    std::uint32_t knobArrows;
    std::uint32_t chip;
    std::uint32_t chipText;
    bool operator==(const ComparisonColours&) const = default;
};

inline constexpr ComparisonColours FixedComparisonColours{
    .background = 0xFF1B2728,
    .divider = 0xFFFAF4E6,
    .dividerEdge = NotDrawn,
    .knob = Palette::Accent,
    .knobRing = NotDrawn,
    .knobArrows = 0xFFFFFFFF,
    .chip = 0xE1192526,
    .chipText = 0xFFFFFFFF,
};

// Every colour of the main window's painting, of the owner-drawn buttons and of the controls
// that ask their window for colours, by role, in one look.
struct InterfaceColours {
    bool highContrast;
    // Painting.
    std::uint32_t paper, panel, headerStart, headerEnd, hatch, title, tagline, fieldNotes;
    std::uint32_t ink, muted, rule, errorRed;
    ComparisonColours view;
    // Owner-drawn buttons: faces by kind, their texts, and an outline.
    std::uint32_t buttonFace, buttonText, accentFace, selectedFace, lightText, pressedFace;
    std::uint32_t disabledText, buttonFrame;
    // Statics, lists and edits: the main window's panel controls and the modal windows'.
    std::uint32_t controlBackground, controlText, modalBackground, modalText;
    bool operator==(const InterfaceColours&) const = default;
};

inline constexpr InterfaceColours FixedColours{
    .highContrast = false,
    .paper = Palette::Paper,
    .panel = WindowColour::Panel,
    .headerStart = WindowColour::HeaderStart,
    .headerEnd = WindowColour::HeaderEnd,
    .hatch = WindowColour::Hatch,
    .title = WindowColour::Title,
    .tagline = WindowColour::Tagline,
    .fieldNotes = WindowColour::FieldNotes,
    .ink = Palette::Ink,
    .muted = Palette::Muted,
    .rule = Palette::Rule,
    .errorRed = WindowColour::ErrorRed,
    .view = FixedComparisonColours,
    .buttonFace = WindowColour::Panel,
    .buttonText = Palette::Ink,
    .accentFace = Palette::Accent,
    .selectedFace = Palette::Ink,
    .lightText = WindowColour::ButtonLightText,
    .pressedFace = WindowColour::ButtonPressed,
    .disabledText = WindowColour::ButtonDisabledText,
    .buttonFrame = NotDrawn,
    .controlBackground = WindowColour::Panel,
    .controlText = Palette::Ink,
    .modalBackground = Palette::Paper,
    .modalText = Palette::Ink,
};

// The system colours high contrast uses, as opaque ARGB.
struct SystemColours {
    std::uint32_t window, windowText, buttonFace, buttonText, highlight, highlightText, grayText;
};

// The look while Windows' high contrast is on: its colours for every role; the photos are
// left alone.
InterfaceColours highContrastColours(const SystemColours& system);

// How an owner-drawn button stands out: not at all, as the window's main action, or as the
// chosen one of a group. The window that owns the button decides.
enum class ButtonLook {
    Plain,
    Accent,
    Selected,
};

struct ButtonColours {
    std::uint32_t background, text, frame;
    bool operator==(const ButtonColours&) const = default;
};

ButtonColours buttonColours(const InterfaceColours& colours, ButtonLook look, bool pressed,
                            bool disabled);
