#include "app/tobrin_doc.h"

#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/log.h>
#include <wx/translation.h>

#include "app/file_dialog.h"
#include "app/path_text.h"
#include "files/document_file.h"

wxIMPLEMENT_DYNAMIC_CLASS(CTobrinDoc, wxDocument);

bool CTobrinDoc::OnNewDocument() {
  m_openedFile.clear();
  return wxDocument::OnNewDocument();
}

bool CTobrinDoc::DoOpenDocument(const wxString& file) {
  std::string message;
  if (!OpenDocumentFile(PathFromWx(file), &message)) {
    wxLogError("%s", MessageText(message));
    return false;
  }
  m_openedFile = file;
  return true;
}

bool CTobrinDoc::DoSaveDocument(const wxString& file) {
  // The document holds nothing, so a file that Open gave it is never written over.
  if (!m_openedFile.empty() && file == m_openedFile) return true;
  std::string message;
  if (!CreateEmptyDocumentFile(PathFromWx(file), &message)) {
    wxLogError("%s", MessageText(message));
    return false;
  }
  return true;
}

bool CTobrinDoc::SaveAs() {
  wxString folder = wxPathOnly(GetFilename());
  if (folder.empty()) folder = GetDocumentManager()->GetLastDirectory();
  wxFileDialog dialog(GetDocumentWindow(), _("Save As"), folder, wxFileNameFromPath(GetFilename()),
                      AllFilesFilter(), wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
  const wxString file = ChooseFile(dialog);
  if (file.empty()) return false;
  if (!OnSaveDocument(file)) return false;
  SetTitle(wxFileNameFromPath(file));
  SetFilename(file, true);
  GetDocumentManager()->AddFileToHistory(file);
  return true;
}
