// The main window: its procedure and dispatch, its seventeen controls, their layout, the
// owner-drawn buttons and the execution of the view controller's effects. Windows only.
#pragma once

#include "core/view_controller.h"

#include "core/handles_win.h"

#include <windows.h>

// The main window procedure without the exception guard.
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A child control with WS_CHILD | WS_VISIBLE added to styles, placed at the scaled rectangle
// and given appState.uiFont. Failures are not reported.
HWND createControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD styles, int id,
                   float x, float y, float width, float height);

// Moves the main window's child with that id to the scaled rectangle and repaints it.
void moveControl(int id, float x, float y, float width, float height);

// Places every control from the current client size.
void layoutControls();

// Carries out the effects the view controller asked for, in order.
void runViewEffects(const ViewEffects& effects);

// The answer to WM_CTLCOLOR*: background and text colour set on the control's device
// context (wParam), and the brush of that background, made the first time.
LRESULT answerControlColour(WPARAM dc, COLORREF background, COLORREF text, UniqueBrush& brush);

// The work area (screen minus taskbar) of the monitor that holds most of the window.
RECT monitorWorkArea(HWND window);

// Shrinks and moves the window so that it lies within its monitor's work area; a window
// that fits is left alone.
void fitMainWindowToWorkArea(HWND window);

// Draws one owner-drawn button of the main window or of a modal window.
void drawOwnerButton(const DRAWITEMSTRUCT& item);
