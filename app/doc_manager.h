// The document manager of a program with one document, one view and one window for its whole
// life: New and Open act on that document instead of replacing it.
#pragma once

#include <wx/docview.h>
#include <wx/translation.h>

#include <functional>

class CDocManager : public wxDocManager {
 public:
  CDocManager();

  // The first call creates the document and its view; later ones re-initialise it (New) or
  // give it a file (Open), keeping document, view and figure.
  wxDocument* CreateDocument(const wxString& path, long flags = 0) override;
  wxString MakeNewDocumentName() override { return _("Untitled"); }
  wxFileHistory* OnCreateFileHistory() override;
  // Both tell the listener of the change to the recent-file list after making it.
  void AddFileToHistory(const wxString& file) override;
  void RemoveFileFromHistory(size_t i) override;

  // Called with the file put on top of the list (added true) or taken off it.
  using RecentFilesListener = std::function<void(const wxString& file, bool added)>;
  void SetRecentFilesListener(RecentFilesListener listener) { m_listener = std::move(listener); }

 private:
  RecentFilesListener m_listener;
  // The open dialog with the program's own filter.
  wxDocTemplate* SelectDocumentPath(wxDocTemplate** templates, int noTemplates, wxString& path,
                                    long flags, bool save = false) override;
};
