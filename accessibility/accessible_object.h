// The accessible object each of the program's accessible windows answers WM_GETOBJECT with,
// and the record it shares with the window's subclass (app/accessibility_win.cpp). Windows
// only.
#pragma once

#include "accessibility/accessible_text.h"
#include "core/text_table.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

enum class ElementKind {
    MainClient,
    Button,
    YearList,
    Slider,
    SavedPairsList,
    MessageLine,
    Dialog,   // the import dialog and the help box themselves
    HelpText, // the help box's text
};

// What every object made for one window shares with the window's subclass. A reader may hold
// an object long after the window is gone; it then finds connected false and fails cleanly.
struct AccessibleWindow {
    HWND window = nullptr;
    ElementKind kind = ElementKind::Button;
    TextId nameText = TextId::FirstYear; // the year lists' names
    bool connected = true;
    // The last name and value readers were told of, so that only real changes are sent.
    std::wstring lastName;
    std::wstring lastValue;                          // the main window's: the view's
    std::int32_t announcedGeneration = 0;            // the pair the last announcement knew of
    std::wstring lastPartTexts[PaintedParts.size()]; // the main window's painted parts
};
using SharedWindow = std::shared_ptr<AccessibleWindow>;

// Child ids of the main window's object: the painted parts first, by their fixed order, so
// that an event can name the status line by a number that never moves; the child windows
// follow, in the order the window manager keeps them.
inline constexpr LONG FirstWindowChildId = static_cast<LONG>(PaintedParts.size()) + 1;
LONG childIdOf(PaintedPart part);

// The child windows in the order the window manager keeps them.
std::vector<HWND> childWindows(HWND window);

// The name and value the window's own object gives; empty where the standard object answers.
std::wstring accessibleName(const AccessibleWindow& record);
std::wstring accessibleValue(const AccessibleWindow& record);

// The text a painted part of the main window shows now, the clock included.
std::wstring paintedPartNow(PaintedPart part);

// How many of the objects live now, for the tests that look for leaks.
long liveAccessibleObjects();

// A new object for the record's window, marshalled into the answer to WM_GETOBJECT; 0 when
// none could be made, and the default procedure answers.
LRESULT answerGetObject(const SharedWindow& record, WPARAM wParam);
