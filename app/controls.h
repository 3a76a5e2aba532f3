// The control helpers both windows share: creating a child control, reading its text, the
// interface font of all controls, their colour messages and the owner-drawn buttons.
// Windows only.
#pragma once

#include "core/handles_win.h"
#include "core/palette.h"

#include <windows.h>

#include <string>

// A child control with WS_CHILD | WS_VISIBLE added to styles, placed at the scaled rectangle
// and given appState.uiFont. Failures are not reported.
HWND createControl(HWND parent, const wchar_t* className, const wchar_t* text, DWORD styles, int id,
                   float x, float y, float width, float height);

// The whole text of a control; empty for a null handle.
std::wstring readControlText(HWND control);

// Makes appState.uiFont anew at appState.uiScale and hands it to every control of the main
// window and of an open modal window; the old font is released only after that.
void renewUiFont();

// The first half of WM_DPICHANGED for either window: the program's one scale becomes the
// message's (wParam) and the window takes the rectangle Windows suggests (lParam).
void adoptDpiChange(HWND window, WPARAM wParam, LPARAM lParam);

// A brush of the background colour, made the first time and kept from then on; one whose
// colour changes is reset by the caller first.
HBRUSH keptBrush(UniqueBrush& brush, COLORREF background);

// The answer to WM_CTLCOLOR*: background and text colour set on the control's device
// context (wParam), and the kept brush of that background.
LRESULT answerControlColour(WPARAM dc, COLORREF background, COLORREF text, UniqueBrush& brush);

// Draws one owner-drawn button of the main window or of a modal window in appState.colours.
void drawOwnerButton(const DRAWITEMSTRUCT& item, ButtonLook look);
