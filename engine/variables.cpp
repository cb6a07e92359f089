// The variable table: lookup by level, creation under the underscore rules.
#include "engine/engine_state.h"
#include "engine/message_numbers.h"
#include "engine/messages.h"
#include "engine/names.h"
#include "engine/number_text.h"

#include <algorithm>
#include <utility>

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
    index = AppendVariable(std::move(v));
  }
  Tvariable& v = e.Variables[std::size_t(index)];
  v.SetText(value);
  v.kind = kind;
  return index;
}

QString GetVariableText(QStringView name) {
  const int i = FindVariable(name);
  return i < 0 ? QString() : Engine().Variables[std::size_t(i)].Text();
}

int AppendVariable(Tvariable v) {
  EngineState& e = Engine();
  e.Variables.push_back(std::move(v));
  e.VariableOrder.push_back(0);
  const int index = int(e.Variables.size()) - 1;
  const Tvariable& appended = e.Variables.back();
  const std::size_t level = std::size_t(std::max(0, appended.function_level));
  if (e.VariablesOfLevel.size() <= level) e.VariablesOfLevel.resize(level + 1, 0);
  ++e.VariablesOfLevel[level];
  VariableAppendedToNames(appended.VarName, appended.function_level, index);
  return index;
}

const QString& Tvariable::Text() const {
  if (numberPending_) {
    text_ = NumberText(pendingNumber_);
    readText_ = text_;
    readNumber_ = pendingNumber_;
    numberPending_ = false;
  }
  return text_;
}

void Tvariable::SetText(QString text) {
  text_ = std::move(text);
  numberPending_ = false;
}

void Tvariable::SetNumber(double value) {
  // The text is written when it is read; the number kept is the one that text reads as.
  double readBack = 0;
  if (NumberTextValue(value, readBack)) {
    pendingNumber_ = readBack;
    numberPending_ = true;
    text_.clear();
    return;
  }
  text_ = NumberText(value, readBack);
  numberPending_ = false;
  readText_ = text_;
  readNumber_ = readBack;
}

double Tvariable::Number() const {
  if (numberPending_) return pendingNumber_;
  if (text_.constData() != readText_.constData() || text_.size() != readText_.size()) {
    readText_ = text_;
    readNumber_ = 0;
    ParseValueNumber(text_, readNumber_);
  }
  return readNumber_;
}

bool Tvariable::ReadNumber(double& value) const {
  if (numberPending_) {
    value = pendingNumber_;
    return true;
  }
  return ParseValueNumber(text_, value);
}

void RemoveVariable(int index) {
  EngineState& e = Engine();
  if (index < 0 || index >= int(e.Variables.size())) return;
  if (const std::size_t level = std::size_t(std::max(0, e.Variables[std::size_t(index)].function_level));
      level < e.VariablesOfLevel.size())
    --e.VariablesOfLevel[level];
  e.Variables.erase(e.Variables.begin() + index);
  e.VariableOrder.pop_back();
  VariableRemovedFromNames(e.NamesGeneration, index);
}

void ClearVariables() {
  EngineState& e = Engine();
  e.Variables.clear();
  e.VariableOrder.clear();
  e.VariablesOfLevel.clear();
  NamesChanged();
}
