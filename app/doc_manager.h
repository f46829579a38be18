// The document manager of a program with one document, one view and one window for its whole
// life: New and Open act on that document instead of replacing it.
#pragma once

#include <wx/docview.h>

class CDocManager : public wxDocManager {
 public:
  CDocManager();

  // The first call creates the document and its view; later ones re-initialise it (New) or
  // give it a file (Open), keeping document, view and figure.
  wxDocument* CreateDocument(const wxString& path, long flags = 0) override;
  wxString MakeNewDocumentName() override { return "Untitled"; }
  wxFileHistory* OnCreateFileHistory() override;
  // The open dialog with the program's own filter.
  wxDocTemplate* SelectDocumentPath(wxDocTemplate** templates, int noTemplates, wxString& path,
                                    long flags, bool save = false) override;
};
