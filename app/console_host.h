// The run host of console mode: message boxes go to stdout, the error that stops a run to
// stderr, answers to questions come from stdin, and Ctrl+C acts as the Pause key. The dialogs,
// the graphics surface and the information window of console mode are in console_dialogs.h,
// console_surface.h and console_information.h.
#pragma once


#include "engine/event_throttle.h"
#include "engine/run_host.h"

// Makes Ctrl+C act as the Pause key from now on (the host's constructor calls it again).
// Console mode calls it before anything else, so that a Ctrl+C during start-up stops the run
// at its first line instead of killing the program before its dump.
void InstallInterruptHandler();

class ConsoleHost : public RunHost {
 public:
  ConsoleHost();
  ~ConsoleHost() override;

  // Lets the application answer the desktop now and then (other programs asking for the
  // clipboard this program owns); at most every 50 ms, so that loops keep their speed.
  void ProcessEvents() override;
  bool PauseRequested() override;
  bool PauseRequestedFromAnyThread() override;
  void ShowMessageBox(const QString& text, MessageIcon icon) override;
  bool AskQuestion(const QString& text) override;
  // Exit() records the request; the run has already stopped, so console mode goes on to write
  // its dump and ends with exitStatus() (0 for Exit()).
  void ExitProgram(int status) override;

  bool errorShown() const { return errorShown_; }
  bool interrupted() const;
  bool exitRequested() const { return exitRequested_; }
  int exitStatus() const { return exitStatus_; }

 private:
  EventThrottle eventsDue_{50};
  bool errorShown_ = false;
  bool exitRequested_ = false;
  int exitStatus_ = 0;
};
