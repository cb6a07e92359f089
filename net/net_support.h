// What the network functions share: letting the user interface work while a call waits, port
// arguments, and the plain message box that pauses the run.
#pragma once

#include <QString>
#include <functional>

class GeneralCall;

// Lets the window (or console mode) handle its pending events: received datagrams and serial
// data are delivered, the window paints, the Pause key is noticed.
void ProcessPendingEvents();
// Sleeps `ms` milliseconds in short slices with the events processed between them; the Pause
// key ends the sleep early (a script's long delay never freezes the program).
void SleepProcessingEvents(qint64 ms);
// Up to `rounds` rounds: process events; stop once `arrived` is true; else sleep 50 ms.
void WaitForReply(int rounds, const std::function<bool()>& arrived);

// Argument `n` rounded as a port number; reports an error and returns false outside 0..65535.
bool PortArgument(GeneralCall& call, int n, quint16& port);

// A plain message box with `text`, then the run pauses after the current line.
void ShowFailureAndPause(const QString& text);

// The line the call stands on is marked and the views refreshed: the call may wait a while.
void ShowWaitingLine();
