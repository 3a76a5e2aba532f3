// "Export PNG": the comparison rendered offscreen at 1920 x 1200 pixels, encoded as PNG and
// written as a new file in the per-user Exports folder. Windows only.
#pragma once

#include "archive/photo_limits.h"

#include <cstdint>
#include <vector>

inline constexpr int ExportWidth = 1920;
inline constexpr int ExportHeight = 1200;
// Larger encodings are refused; the same bound as a photo's.
inline constexpr std::uint64_t MaxExportBytes = MaxPhotoBytes;

// The comparison of appState as PNG file bytes, drawn without knob or world transform;
// empty when drawing, encoding or reading back fails, or the result is empty or too large.
std::vector<std::uint8_t> renderExportPng();

// The action of "Export PNG": reports PngExported or CannotSave.
void exportPng();
