// The drawing area's texts as a screen reader on Windows gets them: through the window's MSAA
// object, which AccessibleObjectFromWindow returns for it.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/window.h>
// After the toolkit, which includes <windows.h> in the order Windows' headers need.
#include <oleacc.h>

#include <memory>
#include <string>

#include "app/accessible_text.h"

namespace {

// The accessible name and description of `window`'s client area: "" where there is none.
std::pair<std::wstring, std::wstring> Texts(wxWindow& window) {
  IAccessible* accessible = nullptr;
  if (AccessibleObjectFromWindow(static_cast<HWND>(window.GetHandle()),
                                 static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                 reinterpret_cast<void**>(&accessible)) != S_OK) {
    return {};
  }
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr, description = nullptr;
  std::pair<std::wstring, std::wstring> texts;
  if (accessible->get_accName(self, &name) == S_OK && name != nullptr) texts.first = name;
  if (accessible->get_accDescription(self, &description) == S_OK && description != nullptr) {
    texts.second = description;
  }
  SysFreeString(name);
  SysFreeString(description);
  accessible->Release();
  return texts;
}

TEST(WindowsAccessibleText, AScreenReaderGetsTheNameAndTheLatestDescription) {
  // A GUI application object, which the toolkit owns and deletes at its end: windows need one.
  wxApp::SetInstance(new wxApp);
  wxInitializer toolkit;
  ASSERT_TRUE(toolkit.IsOk());
  auto* frame = new wxFrame(nullptr, wxID_ANY, "frame");  // the toolkit deletes it on Destroy
  auto* area = new wxWindow(frame, wxID_ANY);
  frame->Show();

  SetAccessibleText(*area, "Tobrin figure", "Orientation mode. Nothing selected.");
  EXPECT_EQ(Texts(*area), std::make_pair(std::wstring(L"Tobrin figure"),
                                         std::wstring(L"Orientation mode. Nothing selected.")));
  // Set again, as after each paint that changes it: the same object answers with the new text.
  SetAccessibleText(*area, "Tobrin figure", "Joints mode. Selected: head.");
  EXPECT_EQ(Texts(*area).second, L"Joints mode. Selected: head.");
  frame->Destroy();
}

}  // namespace
