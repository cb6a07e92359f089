// Processes_List and Process_Terminate: no display needed.
#include "automation/os_families.h"
#include "automation/processes.h"
#include "engine/arrays.h"
#include "engine/engine_state.h"

namespace {

TWordStatus TextWord(const QString& text) {
  TWordStatus word;
  word.kind = wkString;
  word.str = text;
  return word;
}

// A two-column string array of identifiers and executable names. With a sample, only the
// processes whose name contains it (in upper case); the first process of the snapshot is
// listed only without a sample.
void ProcessesList(GeneralCall& call) {
  const bool filtered = call.count() == 1;
  const QString sample = call.text(0).toUpper();
  const std::vector<ProcessEntry> processes = ProcessSnapshot();
  QList<TWordStatus> values;
  for (std::size_t i = 0; i < processes.size(); ++i) {
    const ProcessEntry& p = processes[i];
    if (filtered && (i == 0 || !p.executable.toUpper().contains(sample))) continue;
    values << TextWord(QString::number(p.id)) << TextWord(p.executable);
  }
  const QString name = NewTemporaryArrayName();
  if (DeclareArrayOf(name, {values.size() / 2, 2}, wkString, values) != 0) call.setArray(name);
}

void ProcessTerminate(GeneralCall& call) {
  call.setBool(TerminateProcess(RequireNonNegative(call, 0, call.integer(0))));
}

constexpr UnitFunctionEntry kProcessFunctions[] = {
    {u"Processes_List", ProcessesList},
    {u"Process_Terminate", ProcessTerminate},
};

}  // namespace

std::span<const UnitFunctionEntry> ProcessFunctions() { return kProcessFunctions; }
