// The five ARGB colours shared by the window painting, the divider knob, the owner-drawn
// buttons and the modal windows; beside them the interface's typeface.
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
