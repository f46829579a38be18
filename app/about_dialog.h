// The About box: icon, version line, two lines about the program, and OK.
#pragma once

#include <wx/dialog.h>

class CAboutDlg : public wxDialog {
 public:
  explicit CAboutDlg(wxWindow* parent);
};
