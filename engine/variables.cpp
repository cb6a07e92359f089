// The variable table: lookup by level, creation under the underscore rules.
#include "engine/engine_state.h"
#include "engine/message_numbers.h"
#include "engine/messages.h"
#include "engine/names.h"
#include "engine/number_text.h"

bool IsLocalName(QStringView name) {
  return name.startsWith(u'_');
}

int FindVariable(QStringView name) {
  const EngineState& e = Engine();
  const int n = int(e.Variables.size());
  for (int i = 0; i < n; ++i)
    if (e.Variables[std::size_t(i)].function_level == e.FunctionLevel &&
        SameName(e.Variables[std::size_t(i)].VarName, name))
      return i;
  if (e.FunctionLevel > 0)
    for (int i = 0; i < n; ++i)
      if (e.Variables[std::size_t(i)].function_level == 0 &&
          SameName(e.Variables[std::size_t(i)].VarName, name))
        return i;
  return -1;
}

int SetVariable(const QString& name, const QString& value, TWordKind kind, int level) {
  EngineState& e = Engine();
  if (level < 0) level = e.FunctionLevel;
  int index = FindVariable(name);
  if (index < 0) {
    const bool local = IsLocalName(name);
    if (local && level == 0) {
      RaiseScriptError(MessageText(msg::kGlobalWithUnderscore, {name}));
      return -1;
    }
    if (!local && level > 0) {
      RaiseScriptError(MessageText(msg::kGlobalInFunctionBody, {name}));
      return -1;
    }
    Tvariable v;
    v.VarName = name;
    v.function_level = local ? level : 0;
    index = AppendVariable(v);
  }
  Tvariable& v = e.Variables[std::size_t(index)];
  v.VarVal = value;
  v.kind = kind;
  return index;
}

QString GetVariableText(QStringView name) {
  const int i = FindVariable(name);
  return i < 0 ? QString() : Engine().Variables[std::size_t(i)].VarVal;
}

int AppendVariable(const Tvariable& v) {
  EngineState& e = Engine();
  e.Variables.push_back(v);
  e.VariableOrder.push_back(0);
  const int index = int(e.Variables.size()) - 1;
  VariableAppendedToNames(v.VarName, v.function_level, index);
  return index;
}

double Tvariable::Number() const {
  if (VarVal.constData() != readText.constData() || VarVal.size() != readText.size()) {
    readText = VarVal;
    readNumber = 0;
    ParseValueNumber(VarVal, readNumber);
  }
  return readNumber;
}

void RemoveVariable(int index) {
  EngineState& e = Engine();
  if (index < 0 || index >= int(e.Variables.size())) return;
  e.Variables.erase(e.Variables.begin() + index);
  e.VariableOrder.pop_back();
  VariableRemovedFromNames(e.NamesGeneration, index);
}

void ClearVariables() {
  EngineState& e = Engine();
  e.Variables.clear();
  e.VariableOrder.clear();
  NamesChanged();
}
