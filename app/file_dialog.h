// Showing the program's file dialogs.
#pragma once

#include <wx/filedlg.h>

#include <functional>

// The filter of the program's file dialogs: labelled as all files, and listing every file
// (on Linux "*.*" would hide names without a dot).
wxString AllFilesFilter();

// Shows the dialog modally and returns the chosen path, or an empty string for Cancel. A path
// that is not UTF-8 comes back as PathToWx makes it.
wxString ChooseFile(wxFileDialog& dialog);

// Answers file dialogs without showing them, for tests that drive the application in their
// own process: the answer sees the dialog as it was set up and returns the path to choose
// (empty for Cancel). An empty function restores the real dialogs.
void SetFileDialogAnswer(std::function<wxString(wxFileDialog&)> answer);
