#include "app/about_dialog.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/translation.h>

#include "app/app_icon.h"

CAboutDlg::CAboutDlg(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, _("About tobrin"), wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX) {
  // Laid out in dialog units, so it keeps its proportions with any font.
  const auto du = [this](int x, int y) { return ConvertDialogToPixels(wxSize(x, y)); };
  auto* icon = new wxStaticBitmap(this, wxID_ANY, AppIconBitmap(32));
  auto* version = new wxStaticText(this, wxID_ANY, _("Tobrin Version 1.0"));
  auto* second = new wxStaticText(this, wxID_ANY, _("A viewer for one articulated figure."));
  auto* ok = new wxButton(this, wxID_OK, _("OK"));
  auto* third = new wxStaticText(
      this, wxID_ANY, _("Move it, turn it with the arcball, and bend its joints with the mouse."));
  ok->SetDefault();
  SetAffirmativeId(wxID_OK);
  SetEscapeId(wxID_OK);

  auto* texts = new wxBoxSizer(wxVERTICAL);
  texts->Add(version, 0, wxBOTTOM, du(0, 7).y);
  texts->Add(second, 0, wxBOTTOM, du(0, 7).y);
  texts->Add(third, 0);
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->Add(icon, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, du(9, 0).x);
  row->Add(texts, 1, wxALIGN_TOP);
  row->Add(ok, 0, wxALIGN_TOP | wxLEFT, du(12, 0).x);
  auto* outer = new wxBoxSizer(wxVERTICAL);
  outer->Add(row, 1, wxEXPAND | wxALL, du(8, 8).x);
  SetSizerAndFit(outer);
  ok->SetFocus();
  CentreOnParent();
}
