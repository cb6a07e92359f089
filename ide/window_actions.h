// The tool-bar actions of the main window, named by constants. Each has its place in the action
// table (main_window_actions.cpp): its object name, tool bar, caption and shortcut.
#pragma once

#include <cstddef>

enum class WindowAction {
  Start,
  Step,
  StepOver,
  ContinueRun,
  Fast,
  Pause,
  LoadScript,
  NewScript,
  Edit,
  Work,
  Save,
  CancelChanges,
  Find,
  Replace,
  Settings,
  AdditionalKeyboard,
  Font,
  Help,
};

inline constexpr std::size_t kWindowActionCount = std::size_t(WindowAction::Help) + 1;
