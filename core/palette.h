// The five ARGB colours shared by the window painting, the divider knob, the owner-drawn
// buttons and the modal windows.
#pragma once
#include <cstdint>

namespace Palette {
inline constexpr std::uint32_t Paper = 0xFFF4F0E8;
inline constexpr std::uint32_t Ink = 0xFF262F30;
inline constexpr std::uint32_t Muted = 0xFF69726F;
inline constexpr std::uint32_t Accent = 0xFFAF5939;
inline constexpr std::uint32_t Rule = 0xFFD9D3C7;
} // namespace Palette
