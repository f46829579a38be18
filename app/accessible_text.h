// The name and description that screen readers announce for a window.
#pragma once

#include <wx/window.h>

// Gives the window its accessible name and description through the system's accessibility
// interface. Does nothing where that interface cannot be reached.
void SetAccessibleText(wxWindow& window, const wxString& name, const wxString& description);

// Tells screen readers that the window is a status bar and what its message reads now, where
// the system does not know it already (a status bar the toolkit draws itself).
void SetAccessibleStatus(wxWindow& bar, const wxString& message);
