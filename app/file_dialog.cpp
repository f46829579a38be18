#include "app/file_dialog.h"

#include <wx/translation.h>

#include "app/chosen_path.h"

namespace {

std::function<wxString(wxFileDialog&)>& Answer() {
  static std::function<wxString(wxFileDialog&)> answer;
  return answer;
}

}  // namespace

wxString AllFilesFilter() {
  return _("All Files (*.*)") + "|*";
}

wxString ChooseFile(wxFileDialog& dialog) {
  if (Answer()) return Answer()(dialog);
  return dialog.ShowModal() == wxID_OK ? ChosenPath(dialog) : wxString();
}

void SetFileDialogAnswer(std::function<wxString(wxFileDialog&)> answer) {
  Answer() = std::move(answer);
}
