// Saved pairs: "Save pair" writes the pair on display into a new pair file, the list box
// shows the pair files newest first, and selecting one puts its photos on display.
#pragma once

#include "pairs/pair_file.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr wchar_t PairExtension[] = L".dpf";

// True when the entry name's extension (from its last dot on) is exactly ".dpf", code unit
// by code unit. A name whose only dot is its first character has no extension.
bool hasPairExtension(std::wstring_view name);

// Sorts paths in descending order, element by element, each element by its code units as
// unsigned numbers without case folding: for names made by makeUniquePath, newest first.
void sortPathsDescending(std::vector<std::wstring>& paths);

// "n  |  first / second", or "n  |  ?" when there is no header, a year lies outside
// 1800..2200 or the years are equal. Nothing else in the header is looked at here.
std::wstring savedPairItemText(int position, const std::optional<PairFileHeader>& header);

#ifdef _WIN32
// The action of "Save pair".
void saveCurrentPair();
// Rebuilds savedPairFiles and the list box from the Pairs folder.
void refreshSavedPairs();
// The action of a selection change in the list box.
void openSelectedPair();
#endif
