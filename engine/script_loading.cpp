#include "engine/script_loading.h"

#include <QFileInfo>

#include "engine/engine_state.h"
#include "engine/message_numbers.h"
#include "engine/messages.h"
#include "engine/run_control.h"
#include "engine/script_files.h"

bool LoadScript(const QString& fileName) {
  EngineState& e = Engine();
  QString name = fileName;
  bool ok = false;
  if (QFileInfo(name).isFile()) e.ScriptLines = ReadScriptFile(name, &ok);
  if (!ok) {
    if (!name.isEmpty()) RaiseScriptError(MessageText(msg::kInvalidFileName, {name}));
    name.clear();
    e.ScriptLines.clear();
  }
  if (e.ScriptLines.isEmpty()) e.ScriptLines.append(QString());
  ExpandIncludes();
  e.ScriptFileName = name;
  ScriptChanged();
  if (!e.ErrorText.isEmpty()) {
    ComputeLineIndents();
    ErrorStop();
    return false;
  }
  PrepareScript();
  e.CurrentLine = 0;
  return true;
}
