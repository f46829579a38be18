// The menu bar and the accelerator table, as data and as the wx objects built from it.
#pragma once

#include <wx/accel.h>
#include <wx/menu.h>

#include <vector>

// The texts are English; the menu bar shows them in the user's language.
struct MenuItemDefinition {
  const char* text;  // with its mnemonic; nullptr for a separator
  int id;
  const char* prompt;  // status-bar prompt while highlighted; nullptr for none
  wxItemKind kind;
};

struct MenuDefinition {
  const char* title;
  std::vector<MenuItemDefinition> items;
};

struct AcceleratorDefinition {
  int flags;    // wxACCEL_CTRL, wxACCEL_ALT, wxACCEL_SHIFT, wxACCEL_NORMAL
  int keyCode;  // a character or a WXK_ code
  int id;
};

// The menu bar: File, Mode, Help.
const std::vector<MenuDefinition>& MainMenu();

// The accelerator table, in its order.
const std::vector<AcceleratorDefinition>& MainAccelerators();

wxMenuBar* CreateMainMenuBar();
// The table above, and F1 for Help, Index.
wxAcceleratorTable CreateMainAccelerators();
