#include "app/menus.h"

#include <wx/stockitem.h>
#include <wx/translation.h>

#include "app/command_ids.h"

const std::vector<MenuDefinition>& MainMenu() {
  static const std::vector<MenuDefinition> menus = {
      {wxTRANSLATE("&File"),
       {
           {wxTRANSLATE("&Reset"), ID_FILE_RESET,
            wxTRANSLATE("Reset the position and orientation of the tobrin."), wxITEM_NORMAL},
           {wxTRANSLATE("Reset &Joints"), ID_FILE_RESET_JOINTS,
            wxTRANSLATE("Reset the joints to the original position."), wxITEM_NORMAL},
           {wxTRANSLATE("E&xit"), ID_APP_EXIT, nullptr, wxITEM_NORMAL},
       }},
      {wxTRANSLATE("&Mode"),
       {
           {wxTRANSLATE("&Position"), ID_MODE_POSITION, wxTRANSLATE("Translate the tobrin."),
            wxITEM_RADIO},
           {wxTRANSLATE("&Orientation"), ID_MODE_ORIENTATION, wxTRANSLATE("Rotate the tobrin."),
            wxITEM_RADIO},
           {wxTRANSLATE("&Joints"), ID_MODE_JOINTS,
            wxTRANSLATE("Select the parts and then rotate about the joints."), wxITEM_RADIO},
           {nullptr, wxID_SEPARATOR, nullptr, wxITEM_SEPARATOR},
           {wxTRANSLATE("Visible &Arcball"), ID_MODE_VISIBLE_ARCBALL,
            wxTRANSLATE("Visualize the visual arcball in Orientation Mode"), wxITEM_CHECK},
       }},
      {wxTRANSLATE("&Help"),
       {
           {wxTRANSLATE("&Index"), ID_HELP_INDEX, nullptr, wxITEM_NORMAL},
           {wxTRANSLATE("&About Tobrin..."), ID_APP_ABOUT, nullptr, wxITEM_NORMAL},
       }},
  };
  return menus;
}

const std::vector<AcceleratorDefinition>& MainAccelerators() {
  static const std::vector<AcceleratorDefinition> table = {
      {wxACCEL_CTRL, 'N', ID_FILE_NEW},           {wxACCEL_CTRL, 'O', ID_FILE_OPEN},
      {wxACCEL_CTRL, 'S', ID_FILE_SAVE},          {wxACCEL_CTRL, 'Z', ID_EDIT_UNDO},
      {wxACCEL_CTRL, 'X', ID_EDIT_CUT},           {wxACCEL_CTRL, 'C', ID_EDIT_COPY},
      {wxACCEL_CTRL, 'V', ID_EDIT_PASTE},         {wxACCEL_ALT, WXK_BACK, ID_EDIT_UNDO},
      {wxACCEL_SHIFT, WXK_DELETE, ID_EDIT_CUT},   {wxACCEL_CTRL, WXK_INSERT, ID_EDIT_COPY},
      {wxACCEL_SHIFT, WXK_INSERT, ID_EDIT_PASTE}, {wxACCEL_NORMAL, WXK_F6, ID_NEXT_PANE},
      {wxACCEL_SHIFT, WXK_F6, ID_PREV_PANE},
  };
  return table;
}

namespace {

// Exit and About show the toolkit's standard prompts.
wxString PromptFor(const MenuItemDefinition& item) {
  if (item.prompt != nullptr) return wxGetTranslation(wxString::FromUTF8(item.prompt));
  if (item.id == ID_APP_EXIT) return wxGetStockHelpString(wxID_EXIT);
  if (item.id == ID_APP_ABOUT) return wxGetStockHelpString(wxID_ABOUT);
  return wxString();
}

}  // namespace

wxMenuBar* CreateMainMenuBar() {
  auto* bar = new wxMenuBar;
  for (const MenuDefinition& definition : MainMenu()) {
    auto* menu = new wxMenu;
    for (const MenuItemDefinition& item : definition.items) {
      if (item.kind == wxITEM_SEPARATOR) {
        menu->AppendSeparator();
      } else {
        menu->Append(item.id, wxGetTranslation(wxString::FromUTF8(item.text)), PromptFor(item),
                     item.kind);
      }
    }
    bar->Append(menu, wxGetTranslation(wxString::FromUTF8(definition.title)));
  }
  return bar;
}

wxAcceleratorTable CreateMainAccelerators() {
  std::vector<wxAcceleratorEntry> entries;
  for (const AcceleratorDefinition& a : MainAccelerators()) {
    entries.emplace_back(a.flags, a.keyCode, a.id);
  }
  // F1, where users of both systems look for help, beside the table's own keys.
  entries.emplace_back(wxACCEL_NORMAL, WXK_F1, ID_HELP_INDEX);
  return wxAcceleratorTable(static_cast<int>(entries.size()), entries.data());
}
