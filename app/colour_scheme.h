// Which colours the interface takes: its own fixed ones, or Windows' system colours while
// high contrast is on. Windows only.
#pragma once

// Whether Windows reports high contrast on. Called through this pointer so that a test can
// answer in its place: Wine cannot switch high contrast on.
extern bool (*highContrastIsOn)();

// Reads the switch and, while it is on, the system colours into appState.colours. When the
// look changes, the kept control brushes are deleted (the next colour message makes them
// anew) and every window of the program repaints whole; otherwise they are kept. Returns
// whether the look changed.
bool followSystemColours();
