#include "app/doc_manager.h"

#include <wx/app.h>
#include <wx/filedlg.h>
#include <wx/filehistory.h>
#include <wx/filename.h>
#include <wx/translation.h>

#include "app/file_dialog.h"
#include "files/settings_file.h"

CDocManager::CDocManager() : wxDocManager(0, false) {
  // Created here rather than by the base constructor, so that our history size applies.
  Initialize();
}

wxFileHistory* CDocManager::OnCreateFileHistory() {
  return new wxFileHistory(MAX_RECENT_FILES);
}

void CDocManager::AddFileToHistory(const wxString& file) {
  wxDocManager::AddFileToHistory(file);
  if (m_listener) m_listener(file, true);
}

void CDocManager::RemoveFileFromHistory(size_t i) {
  const wxFileHistory* history = GetFileHistory();
  if (history == nullptr || i >= history->GetCount()) return;
  const wxString file = history->GetHistoryFile(i);
  wxDocManager::RemoveFileFromHistory(i);
  if (m_listener) m_listener(file, false);
}

wxDocTemplate* CDocManager::SelectDocumentPath(wxDocTemplate** templates, int noTemplates,
                                               wxString& path, long, bool) {
  if (noTemplates < 1) return nullptr;
  wxFileDialog dialog(wxTheApp->GetTopWindow(), _("Open"), GetLastDirectory(), wxString(),
                      AllFilesFilter(), wxFD_OPEN);
  const wxString chosen = ChooseFile(dialog);
  if (chosen.empty()) return nullptr;
  path = chosen;
  SetLastDirectory(wxPathOnly(path));
  return templates[0];
}

wxDocument* CDocManager::CreateDocument(const wxString& path, long flags) {
  wxDocument* doc = GetCurrentDocument();
  if (doc == nullptr && !GetDocumentsVector().empty()) doc = GetDocumentsVector().front();
  if (doc == nullptr) return wxDocManager::CreateDocument(path, flags);

  if (flags & wxDOC_NEW) {
    if (!doc->OnSaveModified()) return nullptr;
    doc->DeleteContents();
    doc->Modify(false);
    doc->OnNewDocument();
    doc->UpdateAllViews();
    return doc;
  }

  wxString file = path;
  if (file.empty()) {
    wxDocTemplateVector templates = GetTemplatesVector();
    if (templates.empty()) return nullptr;
    const int count = static_cast<int>(templates.size());
    if (SelectDocumentPath(&templates[0], count, file, flags) == nullptr) return nullptr;
  }
  if (!doc->OnSaveModified()) return nullptr;
  if (!doc->OnOpenDocument(file)) return nullptr;  // the document said why
  doc->SetTitle(wxFileNameFromPath(file));
  AddFileToHistory(file);
  return doc;
}
