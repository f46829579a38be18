// Command identifiers of the menus and accelerators.
//
// The commands keep their traditional names. Their traditional numbers (32771 for
// ID_MODE_POSITION, 57600 for ID_FILE_NEW and so on) lie outside the range the toolkit accepts
// for menu and accelerator identifiers (below 0x7FFF), so the framework's commands take the
// toolkit's standard identifiers and the viewer's own take identifiers of the user range.
#pragma once

#include <wx/defs.h>

// The view's commands, in the order of their traditional numbers.
inline constexpr int ID_MODE_POSITION = wxID_HIGHEST + 1;
inline constexpr int ID_MODE_ORIENTATION = wxID_HIGHEST + 2;
inline constexpr int ID_MODE_JOINTS = wxID_HIGHEST + 3;
inline constexpr int ID_FILE_RESET = wxID_HIGHEST + 6;
inline constexpr int ID_FILE_RESET_JOINTS = wxID_HIGHEST + 7;
inline constexpr int ID_MODE_VISIBLE_ARCBALL = wxID_HIGHEST + 10;

// The framework's standard commands.
inline constexpr int ID_FILE_NEW = wxID_NEW;
inline constexpr int ID_FILE_OPEN = wxID_OPEN;
inline constexpr int ID_FILE_SAVE = wxID_SAVE;
inline constexpr int ID_EDIT_COPY = wxID_COPY;
inline constexpr int ID_EDIT_CUT = wxID_CUT;
inline constexpr int ID_EDIT_PASTE = wxID_PASTE;
inline constexpr int ID_EDIT_UNDO = wxID_UNDO;
inline constexpr int ID_APP_ABOUT = wxID_ABOUT;
inline constexpr int ID_APP_EXIT = wxID_EXIT;
inline constexpr int ID_HELP_INDEX = wxID_HELP_INDEX;
inline constexpr int ID_NEXT_PANE = wxID_HIGHEST + 20;
inline constexpr int ID_PREV_PANE = wxID_HIGHEST + 21;

inline constexpr int ID_STATUS_BAR = wxID_HIGHEST + 30;
