// Identifiers of the main window's controls, its command and its timer, shared by the window,
// the command table, the archive selection and the layout table.
#pragma once

#include "core/platform_types.h"

// winuser.h names one of its stock cursors IDC_HELP; this program never loads that cursor and
// needs the name for its Help button, so the macro goes before the constant is declared.
#ifdef IDC_HELP
#undef IDC_HELP
#endif

inline constexpr int IDC_LOCAL_PHOTOS = 100;
inline constexpr int IDC_LOAD_YEARS = 101;
inline constexpr int IDC_FETCH = 102;
inline constexpr int IDC_SAVE_PAIR = 103;
inline constexpr int IDC_SWAP = 104;
inline constexpr int IDC_FIT = 105;
inline constexpr int IDC_HIDE_TO_TRAY = 106;
inline constexpr int IDC_HELP = 107;
inline constexpr int IDC_EXPORT_PNG = 108;
inline constexpr int IDC_FIRST_YEAR = 109;
inline constexpr int IDC_SECOND_YEAR = 110;
inline constexpr int IDC_COMPARISON = 111;
inline constexpr int IDC_SAVED_PAIRS = 112;
inline constexpr int IDC_OPEN_FOLDER = 113;
inline constexpr int IDM_EXIT = 114;
inline constexpr int IDC_PLACE_FIRST = 200;

inline constexpr unsigned IDT_CLOCK = 1;
