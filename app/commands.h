// The status line, the one step that puts a new pair on display, the main window's command
// table and the exception guard around its window procedure. Windows only.
#pragma once

#include "archive/image_data.h"
#include "core/text_table.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

// Copies the text of id in the current language into the status line, repaints and tells
// screen readers. Every status goes through here.
void setStatus(TextId id, bool isError);
// The same for a status built from more than one text.
void setStatus(std::wstring text, bool isError);

// Replaces both photos, their years, caption and local flag together, raises generation,
// resets the view and brings the year controls in step. Refused (false, nothing changed)
// when either photo is empty. Sets no status.
bool installPair(std::shared_ptr<ImageData> firstPhoto, std::shared_ptr<ImageData> secondPhoto,
                 std::int32_t firstYear, std::int32_t secondYear, std::wstring caption,
                 bool isLocal);

// Exit: refused with WaitForDownload while a download runs, else the main window goes.
void exitProgram();

// WM_COMMAND of the main window.
LRESULT mainWindowOnCommand(HWND window, WPARAM wParam, LPARAM lParam);

// Runs one message handler; any exception it lets out becomes the CannotReadPhotos status and
// the message counts as handled with result 0. When the handler paints failedPaint, a failure
// leaves that window valid.
template <typename Handler> LRESULT callGuarded(Handler&& handler, HWND failedPaint = nullptr) {
    try {
        return handler();
    } catch (...) {
        // Whatever the handler changed before it failed stays changed; only the report is
        // added. setStatus itself only copies a text and invalidates.
        try {
            setStatus(TextId::CannotReadPhotos, true);
        } catch (...) {
        }
        // The status asks for a repaint, and a paint that failed once fails again: the window
        // would repaint without end. The clock's next repaint of the bottom strip shows the
        // status once painting works again.
        if (failedPaint) {
            ValidateRect(failedPaint, nullptr);
        }
        return 0;
    }
}

// The procedure of the "DriftpaneMain" class: the main window procedure inside callGuarded.
LRESULT CALLBACK guardedMainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
