// Script code started from outside the run loop: a mouse-area click, a form button, a timer.
// Units reach the run only through these entry points.
#pragma once

#include <QString>

#include "engine/words.h"

// Calls the script function named in `callText` with evaluated `args`, running its body at once
// whether or not a run is in progress, as a click handler does. The step state (current line,
// run mode, block stack, function level) is saved before and restored after the call, so an
// interrupted or finished run carries on as it was. `interfaceCallMode` is 2 for a button of the
// script-built interface (the engine re-enables its row when the call ends) and 0 otherwise.
// A pending error is shown in an error box afterwards. Returns false, without calling, while
// another event call is still running (a handler is never entered twice).
bool CallScriptFunctionFromEvent(const QString& callText, const TWordArray& args, TWordStatus& result,
                                 int interfaceCallMode = 0);
// Runs the command of a button of the script-built interface window the same way: a call of a
// script function (interface call mode 2), or else one script line executed at once between two
// steps of the run (mode 1), with the whole block stack saved and restored. Returns false, doing
// nothing, while another event call runs.
bool RunInterfaceCommand(const QString& command);
// True while an event call runs.
bool EventCallInProgress();

// Ends the run at the end of the current step (a script asked to stop, or a question was
// answered No); the run can be continued from where it stopped.
void StopRun();
