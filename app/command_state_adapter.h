// CommandState over the toolkit's update-UI event, and the test state of the check that runs
// just before a command: it records only whether the command is enabled.
#pragma once

#include <wx/event.h>

#include "view/command_state.h"

class UpdateUIState : public CommandState {
 public:
  explicit UpdateUIState(wxUpdateUIEvent& event) : m_event(event) {}
  void Enable(bool on) override { m_event.Enable(on); }
  void SetCheck(int check) override { m_event.Check(check != 0); }
  void SetRadio(bool on) override { m_event.Check(on); }  // a radio item shows a bullet
  void SetText(const char* text) override { m_event.SetText(wxString::FromUTF8(text)); }

 private:
  wxUpdateUIEvent& m_event;
};

class EnableTestState : public CommandState {
 public:
  void Enable(bool on) override { m_enabled = on; }
  void SetCheck(int) override {}
  void SetRadio(bool) override {}
  void SetText(const char*) override {}
  bool Enabled() const { return m_enabled; }

 private:
  bool m_enabled = true;
};
