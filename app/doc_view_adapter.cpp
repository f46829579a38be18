#include "app/doc_view_adapter.h"

#include <wx/app.h>

#include "app/gl_canvas.h"
#include "app/main_frame.h"

wxIMPLEMENT_DYNAMIC_CLASS(CDocViewAdapter, wxView);

bool CDocViewAdapter::OnCreate(wxDocument* doc, long flags) {
  if (!wxView::OnCreate(doc, flags)) return false;
  auto* frame = dynamic_cast<CMainFrame*>(wxTheApp->GetTopWindow());
  if (frame == nullptr) return false;
  SetFrame(frame);
  Activate(true);
  return true;
}

void CDocViewAdapter::OnUpdate(wxView* sender, wxObject* hint) {
  wxView::OnUpdate(sender, hint);
  if (auto* frame = dynamic_cast<CMainFrame*>(GetFrame())) frame->Canvas().Refresh(false);
}

bool CDocViewAdapter::OnClose(bool deleteWindow) {
  if (!wxView::OnClose(deleteWindow)) return false;
  Activate(false);
  // The window belongs to the application, which closes it itself.
  SetFrame(nullptr);
  return true;
}
