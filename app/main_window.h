// The main window: its procedure and dispatch, its seventeen controls, their layout and the
// execution of the view controller's effects. Windows only.
#pragma once

#include "core/view_controller.h"

#include <windows.h>

// The main window procedure without the exception guard.
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Moves the main window's child with that id to the scaled rectangle and repaints it.
void moveControl(int id, float x, float y, float width, float height);

// Places every control from the current client size.
void layoutControls();

// Carries out the effects the view controller asked for, in order.
void runViewEffects(const ViewEffects& effects);

// The work area (screen minus taskbar) of the monitor that holds most of the window.
RECT monitorWorkArea(HWND window);

// Shrinks and moves the window so that it lies within its monitor's work area; a window
// that fits is left alone.
void fitMainWindowToWorkArea(HWND window);
