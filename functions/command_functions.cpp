// General functions that run commands.
#include "automation/exec_command.h"
#include "functions/general_unit.h"

namespace {

// OS_ExecCommand(Command[, ShowWindow, ConsoleApplication, ClassName, Timeout, WLeft, WTop]):
// the command's console output, or the found window's handle as text.
void OsExecCommand(GeneralCall& call) {
  const qint64 defaults[] = {0, 1, 1, 0, 0, 9999, 9999};
  qint64 numbers[7] = {};
  for (int n : {1, 2, 4, 5, 6}) {
    numbers[n] = call.integerOr(n, defaults[n]);
    if (numbers[n] < 0) {
      call.fail(118, {call.name(), call.text(n)});
      return;
    }
    numbers[n] = qMin<qint64>(numbers[n], INT_MAX);
  }
  const QString className = call.has(3) ? call.text(3) : QString();
  QString output;
  ExecCommand(call.text(0), int(numbers[1]), numbers[2] == 1, output, int(numbers[6]),
              int(numbers[5]), int(numbers[4]), className);
  if (!call.failed()) call.setText(output);
}

constexpr UnitFunctionEntry kCommandFunctions[] = {
    {u"OS_ExecCommand", OsExecCommand},
};

}  // namespace

std::span<const UnitFunctionEntry> CommandFunctions() { return kCommandFunctions; }
