// The main window's answer to WM_PAINT: everything that is not a child control, drawn
// into an offscreen buffer and copied to the window in one step. Windows only.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "core/palette.h"

#include <cstdint>

// Status line colour while statusIsError is set.
using WindowColour::ErrorRed;

// Paints the whole client area of the main window; brackets its work in BeginPaint and
// EndPaint.
void paintMainWindow(HWND window);

// Draws the whole main window for a client area of the given size in device pixels onto
// graphics: sets the uiScale world scale and the smoothing and text modes, then every
// painted element in order.
void drawMainWindow(Gdiplus::Graphics& graphics, std::int32_t clientWidthPx,
                    std::int32_t clientHeightPx);
