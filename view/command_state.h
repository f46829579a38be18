// The state of a command as its state handler sets it: enabled, checked, with a radio bullet,
// and its text. The shell passes one per menu item or accelerator check.
#pragma once

class CommandState {
 public:
  virtual ~CommandState() = default;
  virtual void Enable(bool on = true) = 0;
  virtual void SetCheck(int check = 1) = 0;   // a check mark on a menu item
  virtual void SetRadio(bool on = true) = 0;  // a bullet on a menu item
  virtual void SetText(const char* text) = 0;
};
