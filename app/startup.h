// The program's entry sequence: hardening, single instance, COM and GDI+, per-user folder,
// scale and font, window classes, the main window and the one message loop.
#pragma once

#include "core/platform_types.h"

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr wchar_t SingleInstanceMutexName[] = L"Local\\Driftpane-1.0";
inline constexpr wchar_t MainWindowClass[] = L"DriftpaneMain";
inline constexpr wchar_t ModalWindowClass[] = L"DriftpaneModal";
inline constexpr wchar_t MainWindowTitle[] = L"Driftpane";

inline constexpr int ExitNormal = 0;
inline constexpr int ExitGdiplusFailed = 2;
inline constexpr int ExitWindowFailed = 3;

// The per-user folder for a LocalAppData path: a backslash goes between the two parts unless
// the path already ends in a slash or backslash. An empty path stays empty.
std::wstring appDataDirFor(std::wstring_view localAppData);

// Height handed to CreateFontW for the interface font: -round(13 * scale), a character
// height in pixels.
std::int32_t uiFontHeight(float scale);

#ifdef _WIN32
// Runs the whole program and returns its exit code.
int runDriftpane(HINSTANCE instance, int showCommand);

// "Segoe UI", 13 units high at the given scale; the caller owns the font.
HFONT createUiFont(float scale);

// Registers "DriftpaneMain" and "DriftpaneModal" for appState.instanceHandle.
void registerWindowClasses();

// Creates (but does not show) the main window at the size of appState.uiScale; null when
// creation fails.
HWND createMainWindow();

// Runs the message loop until the quit message or an error.
void runMessageLoop();
#endif
