// Screen-reader access to the main window and the modal windows: their windows answer
// WM_GETOBJECT with accessible objects of the program's own, and new statuses and import
// messages are announced. Windows only.
#pragma once

#include <windows.h>

// Gives the main window (its painted parts as children) and its controls their accessible
// objects. Called once, when the controls exist; nothing is announced before.
void makeMainWindowAccessible(HWND window);

// The same for a modal window itself (a dialog named by its title), its owner-drawn buttons,
// the help text and the import dialog's message line.
void makeModalWindowAccessible(HWND window);

// Tells screen readers of every name and value of the program's own that changed since they
// were last told: the pair's names, the view, the slider's position. The view's effects and
// every new status call it; nothing else changes them.
void noticeAccessibleChanges();

// Tells screen readers that the status line shows a new text, and that whatever else a new
// status usually comes with (the pair's names, the slider) changed too.
void announceStatus();

// Tells screen readers that the import dialog's message line shows a new message.
void announceImportMessage(HWND dialog);
