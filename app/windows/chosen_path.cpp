#include "app/chosen_path.h"

// Windows gives the dialog's path as UTF-16, which the toolkit's string holds whole.
wxString ChosenPath(wxFileDialog& dialog) {
  return dialog.GetPath();
}
