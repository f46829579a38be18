// The document. It holds no data: opening a file reads nothing from it, and saving a new
// document creates an empty file. It is never modified, so nothing ever asks to save it.
#pragma once

#include <wx/docview.h>

class CTobrinDoc : public wxDocument {
 public:
  CTobrinDoc() = default;
  bool OnNewDocument() override;
  // Saving asks for a name with the program's own filter ("All Files (*.*)", every file).
  bool SaveAs() override;

 protected:
  bool DoOpenDocument(const wxString& file) override;
  bool DoSaveDocument(const wxString& file) override;

 private:
  wxString m_openedFile;  // the file Open gave the document; never written

  wxDECLARE_DYNAMIC_CLASS(CTobrinDoc);
};
