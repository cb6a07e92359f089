// A small unit built the way every unit is built, standing in for the dialogs unit in the
// tests: functions of a description table as {name, handler} families behind a HandlerTable,
// a named constant, lifecycle hooks, a dialog through the dialog service, and a script function
// called from an event (a click on one of its "buttons").
#pragma once

#include <QString>

class FunctionUnit;

struct SampleUnitLog {
  int runsStarted = 0;
  int resets = 0;
};

FunctionUnit& SampleUnit();
SampleUnitLog& SampleLog();
// A click on a button whose handler is the script function `handler`; false while another
// handler still runs.
bool ClickSampleButton(const QString& handler);
