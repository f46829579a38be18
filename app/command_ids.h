// Command identifiers of the menus and accelerators.
//
// The commands keep their traditional names. Their traditional numbers (32771 for
// ID_MODE_POSITION, 57600 for ID_FILE_NEW and so on) lie outside the range the toolkit accepts
// for menu and accelerator identifiers (below 0x7FFF), so the framework's commands take the
// toolkit's standard identifiers and the viewer's own take numbers that no window of the
// toolkit ever has: from 12 to 99. The toolkit numbers its standard commands 4999 to 5999 and
// its own controls above them (the help window's toolbar and panels among them), counts the
// identifiers it hands out from 100 upwards and its automatic ones from -2000 downwards;
// Windows gives 1 to 11 to the buttons of its dialogs. An identifier shared with one of the
// help window's controls made that control's update events reach the frame as our command's.
#pragma once

#include <wx/defs.h>

// The view's commands: 20 plus the traditional number's offset from 32768.
inline constexpr int ID_MODE_POSITION = 23;         // 32771
inline constexpr int ID_MODE_ORIENTATION = 24;      // 32772
inline constexpr int ID_MODE_JOINTS = 25;           // 32773
inline constexpr int ID_FILE_RESET = 28;            // 32776
inline constexpr int ID_FILE_RESET_JOINTS = 29;     // 32777
inline constexpr int ID_MODE_VISIBLE_ARCBALL = 32;  // 32780

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
// The toolkit has no standard identifiers for these.
inline constexpr int ID_NEXT_PANE = 40;  // 57680
inline constexpr int ID_PREV_PANE = 41;  // 57681

inline constexpr int ID_STATUS_BAR = 50;  // 59393
