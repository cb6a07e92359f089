// The information window of console mode: its text, then one line per control ("[Caption]" a
// button, "[ ] Caption" and "[x] Caption" a check box), written to the output. Nothing can be
// clicked.
#pragma once

#include <cstdio>

#include "unit_support/information_window.h"

class ConsoleInformationWindow : public InformationWindow {
 public:
  explicit ConsoleInformationWindow(std::FILE* output = stdout) : out_(output) {}

  void Show(const InformationContent& content, std::function<void(int control)> clicked) override;
  void Hide() override { shown_ = false; }
  bool IsShown() const override { return shown_; }

 private:
  std::FILE* out_;
  bool shown_ = false;
};
