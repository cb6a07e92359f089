// The one interface through which the engine and the run loop reach the outside world.
// The IDE's main window and the console host implement it; the default host is silent
// except for message boxes, which go to stderr.
#pragma once

#include <QString>

enum class MessageIcon { None, Information, Warning, Error, Question };

class RunHost {
 public:
  virtual ~RunHost() = default;

  // Lets the user interface handle its pending events (called before each line of a run).
  virtual void ProcessEvents() {}
  // True while the user asks the run to pause (the Pause key; Ctrl+C in console mode).
  virtual bool PauseRequested() { return false; }
  // A modal message box with the given icon and an empty title.
  virtual void ShowMessageBox(const QString& text, MessageIcon icon);
  // A yes/no question; false means No or Cancel.
  virtual bool AskQuestion(const QString& text) { return false; }
  // Text that a script shows to the user (information windows, message texts).
  virtual void ShowText(const QString& text) {}
  // Refreshes the variable views, the current-line mark and the status bar.
  virtual void RefreshViews() {}
  virtual void SetCurrentLineMark(int line) {}
  virtual void SetStatusText(int panel, const QString& text) {}
};

RunHost& Host();
// Installs a host (not owned); nullptr restores the default host.
void SetRunHost(RunHost* host);
