// The help book, an HTML help project opened at its index.
#pragma once

#include <wx/html/helpctrl.h>
#include <wx/string.h>

#include <memory>

class HelpBook {
 public:
  // Looks for the book in the user's language, then the English one, next to the executable
  // (the build tree) and under the installation prefix (share/tobrin/help), or in the given
  // places.
  HelpBook();
  explicit HelpBook(wxArrayString candidates);
  ~HelpBook();

  // Opens the help window at the index. False, with a message for the user, when the book is
  // missing or cannot be read; nothing else changes then.
  bool DisplayIndex(wxWindow* parent, wxString* message);

  // Where the book was looked for, first match first.
  static wxArrayString Candidates();

 private:
  wxArrayString m_candidates;
  std::unique_ptr<wxHtmlHelpController> m_controller;
};
