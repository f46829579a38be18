// The path a file dialog's user chose, as the system gives it, in files named for the system.
#pragma once

#include <wx/filedlg.h>

wxString ChosenPath(wxFileDialog& dialog);
