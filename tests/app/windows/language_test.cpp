// The Windows program in a German session (the test runs with LC_ALL=de_DE.UTF-8, which Wine
// takes for the display language): its menus, a prompt, the About box and the help book are
// German, from the catalogs that the executable carries as resources.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/menu.h>

#include <memory>

#include "app/about_dialog.h"
#include "app/command_ids.h"
#include "app/help_book.h"
#include "app/menus.h"
#include "app/translations.h"

namespace {

TEST(WindowsLanguage, AGermanSessionGetsGermanMenusPromptsAboutBoxAndHelp) {
  wxApp::SetInstance(new wxApp);  // the toolkit owns it and deletes it at its end
  wxInitializer toolkit;
  ASSERT_TRUE(toolkit.IsOk());
  UseTheUsersLanguage();
  EXPECT_EQ(CatalogLanguage().Lower(), "de");
  const std::unique_ptr<wxMenuBar> bar(CreateMainMenuBar());
  EXPECT_EQ(bar->GetMenuLabel(0), "&Datei");
  EXPECT_EQ(bar->FindItem(ID_MODE_POSITION)->GetHelp(), "Den tobrin verschieben.");
  auto* frame = new wxFrame(nullptr, wxID_ANY, "Tobrin");  // the toolkit deletes it on Destroy
  {
    const CAboutDlg about(frame);
    EXPECT_EQ(about.GetTitle(), wxString::FromUTF8("Über tobrin"));
  }
  EXPECT_TRUE(HelpBook::Candidates()[0].Lower().EndsWith("\\help\\de\\tobrin.hhp"))
      << HelpBook::Candidates()[0];
  frame->Destroy();
}

}  // namespace
