// The document's view in the toolkit's document/view framework. The drawing itself belongs to
// the canvas and its CTobrinView, which live as long as the main window; this view connects
// the document to them and keeps the window's caption.
#pragma once

#include <wx/docview.h>

class CDocViewAdapter : public wxView {
 public:
  bool OnCreate(wxDocument* doc, long flags) override;
  void OnDraw(wxDC*) override {}  // the canvas paints with OpenGL
  void OnUpdate(wxView* sender, wxObject* hint) override;
  // The caption reads "Tobrin" whatever the document is called.
  void OnChangeFilename() override {}
  bool OnClose(bool deleteWindow) override;

 private:
  wxDECLARE_DYNAMIC_CLASS(CDocViewAdapter);
};
