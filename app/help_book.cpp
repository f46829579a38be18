#include "app/help_book.h"

#include <wx/filename.h>
#include <wx/html/helpdata.h>
#include <wx/html/helpfrm.h>
#include <wx/stdpaths.h>
#include <wx/translation.h>

#include "app/translations.h"

namespace {

constexpr const char* kBookFile = "tobrin.hhp";

// The help window's count of index entries ("12 of 148"), which the toolkit's own catalog lacks
// in Japanese: here, so that they are in the program's catalog, where the toolkit looks too.
[[maybe_unused]] constexpr const char* kHelpWindowTexts[] = {
    wxTRANSLATE("%d of %lu"), wxTRANSLATE("%lu of %lu"), wxTRANSLATE("%i of %u"),
    wxTRANSLATE("%u of %u")};

}  // namespace

HelpBook::HelpBook() : m_candidates(Candidates()) {}
HelpBook::HelpBook(wxArrayString candidates) : m_candidates(std::move(candidates)) {}

HelpBook::~HelpBook() {
  // An open help frame outlives its controller: the toolkit deletes it later (at idle time, or
  // with its parent), and its help window then writes into the controller it was given. Closed
  // the way its close box closes it, the help window lets go of the controller first. The
  // controller forgets its help window when that is deleted, but not its frame: only a live help
  // window says the frame is still there.
  if (m_controller != nullptr && m_controller->GetHelpWindow() != nullptr) {
    if (wxHtmlHelpFrame* frame = m_controller->GetFrame()) frame->Close(true);
  }
}

wxArrayString HelpBook::Candidates() {
  // The book in the language of the program's texts, then the English one; each beside the
  // executable (the build tree) and under the installation prefix (share/tobrin/help).
  const wxFileName exe(wxStandardPaths::Get().GetExecutablePath());
  wxFileName inBuild(exe.GetPath(), kBookFile);
  inBuild.AppendDir("help");
  wxFileName installed(exe.GetPath(), kBookFile);
  installed.RemoveLastDir();  // from bin
  installed.AppendDir("share");
  installed.AppendDir("tobrin");
  installed.AppendDir("help");
  installed.Normalize(wxPATH_NORM_DOTS | wxPATH_NORM_ABSOLUTE);
  wxArrayString paths;
  const wxString language = CatalogLanguage();
  for (wxFileName book : {inBuild, installed}) {
    if (language.empty()) continue;
    book.AppendDir(language);
    paths.Add(book.GetFullPath());
  }
  paths.Add(inBuild.GetFullPath());
  paths.Add(installed.GetFullPath());
  return paths;
}

bool HelpBook::DisplayIndex(wxWindow* parent, wxString* message) {
  if (m_controller == nullptr) {
    wxString book;
    for (const wxString& candidate : m_candidates) {
      if (wxFileName::FileExists(candidate)) {
        book = candidate;
        break;
      }
    }
    if (book.empty()) {
      *message =
          wxString::Format(_("The help book could not be found. Tobrin looked for it here:\n%s"),
                           wxJoin(m_candidates, '\n'));
      return false;
    }
    // A book whose project file cannot be read, or whose contents hold nothing but the book
    // itself, or whose index is empty, is damaged.
    wxHtmlHelpData check;
    auto controller = std::make_unique<wxHtmlHelpController>(wxHF_DEFAULT_STYLE, parent);
    if (!check.AddBook(book) || check.GetContentsArray().size() < 2 ||
        check.GetIndexArray().empty() || !controller->AddBook(wxFileName(book), false)) {
      *message = wxString::Format(_("The help book \"%s\" could not be read."), book);
      return false;
    }
    // TRANSLATORS: the help window's title; %s is the title of the page shown.
    controller->SetFrameParameters(_("Tobrin Help: %s"), parent->FromDIP(wxSize(760, 560)));
    m_controller = std::move(controller);
  }
  m_controller->DisplayIndex();
  return true;
}
