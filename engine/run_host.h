// The one interface through which the engine and the run loop reach the outside world:
// events, the Pause key, message and question boxes, sounds, the views and the marks of the
// editor. The IDE's main window and the console host implement it; the default host does
// nothing except writing message boxes to stderr. What the function units show the user goes
// through host services of its own (unit_support/: dialogs, graphics surface, information
// window).
#pragma once

#include <QString>

enum class MessageIcon { None, Information, Warning, Error, Question };
enum class SystemSound { Asterisk, Hand };

class RunHost {
 public:
  virtual ~RunHost() = default;

  // Lets the user interface handle its pending events (before each line of a run).
  virtual void ProcessEvents() {}
  // True while the user asks the run to pause (the Pause key; Ctrl+C in console mode).
  virtual bool PauseRequested() { return false; }
  // The same question asked from another thread (the watchdog of a long JavaScript
  // evaluation); it must not touch the user interface.
  virtual bool PauseRequestedFromAnyThread() { return false; }
  // Forgets pending key presses (Pause discards them).
  virtual void DiscardPendingKeys() {}
  // A modal message box with the given icon and an empty title.
  virtual void ShowMessageBox(const QString& text, MessageIcon icon);
  // A yes/no question; false means No or Cancel.
  virtual bool AskQuestion(const QString& text) { return false; }
  virtual void PlaySound(SystemSound sound) {}

  // Editor and views.
  virtual bool HasBreakpoint(int line) { return false; }
  virtual void SetCurrentLineMark(int line) {}
  virtual void SetCaretLine(int line) {}
  virtual void RefreshViews() {}
  virtual void SetStatusText(int panel, const QString& text) {}
  virtual void SetActionStatusWorkMode(bool running) {}
  // The script was prepared for work mode (editor text, keyword list, marks).
  virtual void ScriptPrepared() {}
  // The script-built information window hides when a script is prepared and when a run begins
  // at the first line.
  virtual void HideInterfaceWindow() {}
  // A run started with /R ended cleanly at a stop line.
  virtual void AutoRunFinished() {}
  // The script called Exit(): its run has already been stopped (RunMode 0). The host ends the
  // program with `status` once the run has unwound; the console host after writing its dump.
  // The default host has no program of its own to end.
  virtual void ExitProgram(int status) {}
};

RunHost& Host();
// Installs a host (not owned); nullptr restores the default host.
void SetRunHost(RunHost* host);
