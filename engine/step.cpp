// ExecuteStep and ExecuteLine: reading a line, recognising its statement, assignments and
// call statements; the rest of the statements live in control_flow.cpp, arrays.cpp and
// script_functions.cpp.
#include <QStringList>
#include <optional>

#include "engine/arrays.h"
#include "engine/conversions.h"
#include "engine/engine_state.h"
#include "engine/evaluator.h"
#include "engine/function_units.h"
#include "engine/line_cache.h"
#include "engine/message_numbers.h"
#include "engine/messages.h"
#include "engine/names.h"
#include "engine/script_error.h"
#include "engine/script_functions.h"
#include "engine/statements.h"

using namespace Qt::Literals::StringLiterals;

namespace {


// True when the run was paused or stopped while this line was being evaluated (a script
// function it called was halted). A pause requested before the line leaves it to run.
// Set by ExecuteLine; statements copy it before evaluating, since a nested run overwrites it.
bool g_idleAtLineStart = false;
bool BecameIdle(bool idleAtStart) { return Engine().RunMode == rmIdle && !idleAtStart; }

void ExecuteStatement(TWordKind& kind);

QStringList& CommandLineParameters() {
  static QStringList parameters;
  return parameters;
}

// A temporary array that a finished step left behind carries no value any more.
void DeleteTemporaryArrays() {
  EngineState& e = Engine();
  for (int i = 1; i <= e.ArrayCount();) {
    if (IsTemporaryArrayName(e.Array(i).name)) DeleteArray(i);
    else ++i;
  }
}

// The target of "name = array" takes over the array that the value names.
void AssignArray(const TWordStatus& target, const TWordStatus& value) {
  EngineState& e = Engine();
  int level = IsLocalName(target.str) ? e.FunctionLevel : 0;
  if (const int old = FindArray(target.str); old > 0) {
    level = e.Array(old).function_level;
    if (!SameName(e.Array(old).name, value.str)) DeleteArray(old);
  }
  const int source = FindArrayAtLevel(value.str, e.FunctionLevel);
  if (source == 0) {
    RaiseScriptError(MessageText(msg::kUnknownArray, {value.str}));
    return;
  }
  t_arr_specification& a = e.Array(source);
  a.name = target.str;
  a.function_level = level;
  SortArrays();
  const int index = FindArrayAtLevel(target.str, level);
  e.ChangedArrayName = AsciiUpper(target.str);
  e.ChangedArrayLevel = level;
  e.ChangedArrayIndex = index;
  AdvanceLine();
}

// The variable the line assigns to, created when it is new; nullptr after an error.
Tvariable* AssignedVariable(const TWordStatus& target) {
  EngineState& e = Engine();
  if (e.AssignTarget == 0) {
    const int created = SetVariable(target.str, QString(), wkNone);
    if (ErrorPending()) return nullptr;
    e.AssignTarget = created + 1;
  }
  e.LastAssignedVariable = e.AssignTarget;
  return &e.Variables[std::size_t(e.AssignTarget - 1)];
}

void ExecuteAssignment(const TWordArray& w) {
  EngineState& e = Engine();
  const TWordStatus& target = w[0];
  if (target.kind == wkConst) {
    RaiseScriptError(MessageText(msg::kConstantAssigned, {target.str}));
    return;
  }
  // A value a numeric program gives is stored as a number; its text is written when read.
  double number = 0;
  TWordKind numberKind = wkNone;
  if (!e.TryFlag && target.kind != wkArrayName && ProgramValue(w, 2, w.lastIndex(), number, numberKind)) {
    Tvariable* v = AssignedVariable(target);
    if (!v) return;
    if (numberKind == wkBool) v->SetText(BoolText(number != 0));
    else v->SetNumber(number);
    v->kind = numberKind;
    AdvanceLine();
    return;
  }
  const bool idleAtStart = g_idleAtLineStart;
  TWordStatus value;
  try {
    EvaluateRange(w, 2, w.lastIndex(), value);
  } catch (const ScriptException& ex) {
    if (!e.TryFlag) throw;
    e.TryErrorText = ex.message();
  }
  if (e.TryFlag) {
    if (ErrorPending()) {
      e.TryErrorText = e.ErrorText;
      e.ErrorText.clear();
    }
    if (!e.TryErrorText.isEmpty()) SetNumber(value, 0);
  }
  if (ErrorPending() || BecameIdle(idleAtStart)) return;
  if (e.ScriptCallSuspended && !e.TryFlag) return;  // the line runs again after the RETURN
  if (!e.TryFlag) {
    if (value.kind == wkNone) {
      RaiseScriptError(MessageText(msg::kEmptyRightSide));
      return;
    }
    if (!(value.kind >= wkString && value.kind <= wkBool) && value.kind != wkArrayName) {
      RaiseScriptError(MessageText(msg::kInvalidRightSide, {value.str}));
      return;
    }
  }
  if (value.kind == wkArrayName) {
    if (target.var_index >= 1) RaiseScriptError(MessageText(msg::kArrayToVariable));
    else AssignArray(target, value);
    return;
  }
  if (target.kind == wkArrayName) {
    RaiseScriptError(MessageText(msg::kArrayToNonArray));
    return;
  }
  Tvariable* v = AssignedVariable(target);
  if (!v) return;
  v->SetText(std::move(value.str));
  v->kind = value.kind;
  AdvanceLine();
}

void ExecuteCallStatement(const TWordArray& w) {
  EngineState& e = Engine();
  const bool idleAtStart = g_idleAtLineStart;
  TWordStatus value;
  Evaluate(w, 0, value);
  if (ErrorPending() || BecameIdle(idleAtStart)) return;
  if (e.ScriptCallSuspended) return;  // stepping into the function: stay on its first line
  AdvanceLine();
}

void ReportMisuse(const TWordArray& w) {
  const int message = w[1].kind == wkOpeningSquareBracket ? msg::kNotAnArray
                      : w[1].kind == wkOpeningBracket       ? msg::kUnknownFunction
                                                            : msg::kVariableMisuse;
  RaiseScriptError(MessageText(message, {w[0].str}));
}

}  // namespace

void SetCommandLineParameters(const QStringList& parameters) { CommandLineParameters() = parameters; }

void DefineCommandLineArray() {
  ClearArrays();
  if (!CommandLineParameters().isEmpty()) DefineStringArray(u"cmdLineParams"_s, CommandLineParameters());
}

void ExecuteLine(TWordKind& kind) {
  EngineState& e = Engine();
  e.ScriptCallSuspended = false;
  g_idleAtLineStart = e.RunMode == rmIdle;
  if (e.CurrentLine == 0) {
    for (int i = 0; i <= 50; ++i) e.Blocks[std::size_t(i)] = EmptyBlock;
    e.BlockDepth = 0;
    e.FunctionLevel = 0;
  }
  BeginLineCalls();
  struct PassEnd {
    int level;
    ~PassEnd() { EndLineCalls(level); }
  } passEnd{e.FunctionLevel};
  ExecuteStatement(kind);
}

namespace {

void ExecuteStatement(TWordKind& kind) {
  EngineState& e = Engine();
  const LocalShared<const LineWords> line = ReadLineWords(e.CurrentLine);
  const ProgramWordsScope executing(line ? &line->words : nullptr, line ? &line->programs : nullptr);
  if (line && line->text.isEmpty()) {
    ++e.CurrentLine;
    return;
  }
  const int indent = LineIndentAt(e.CurrentLine);
  if (e.Blocks[std::size_t(e.BlockDepth)].indent != indent) {
    RaiseScriptError(MessageText(msg::kIndentError, {indent}));
    return;
  }
  e.TryFlag = false;
  if (!line) return;
  std::optional<TWordArray> withoutTry;  // made only for a TRY line
  const TWordArray* words = &line->words;
  if (line->words[0].kind == wkTry) {
    e.TryFlag = true;
    withoutTry = line->words;
    withoutTry->removeRange(0, 0);
    words = &*withoutTry;
    SetVariable(u"Error"_s, QString(), wkString);
    if (ErrorPending()) return;
  }
  const TWordArray& w = *words;
  kind = w[0].kind;
  e.AssignTarget = w[0].var_index;
  e.ChangedArrayName.clear();
  e.ChangedArrayLevel = -1;
  e.ChangedArrayIndex = -1;

  const bool assignable = w[0].var_index >= 1 || kind == wkArrayName || kind == wkUnknownIdentifier ||
                          kind == wkConst;
  if (w.count() >= 3 && w[1].isOperator(opEqual) && assignable) {
    ExecuteAssignment(w);
    return;
  }
  if (w.count() >= 5 && kind == wkArrayName) {
    AssignElement(w);
    if (!ErrorPending() && !e.ScriptCallSuspended) AdvanceLine();
    return;
  }
  if (w.count() == 1 && IsCallKind(kind) && kind != wkVBSFunction) {
    ExecuteCallStatement(w);
    return;
  }
  switch (kind) {
    case wkVariableName:
    case wkUnknownIdentifier:
      ReportMisuse(w);
      return;
    case wkFor:
      ExecuteFor(w);
      return;
    case wkRepeat:
      ExecuteRepeat(w);
      return;
    case wkIf:
      ExecuteIf(w);
      return;
    case wkBreak:
    case wkBreakIf:
      ExecuteBreak(w);
      return;
    case wkContinue:
    case wkContinueIf:
      ExecuteContinue(w);
      return;
    case wkReturn:
      ExecuteReturn(w);
      return;
    case wkArrayDescription:
      DeclareArray(w);
      if (!ErrorPending() && !e.ScriptCallSuspended) AdvanceLine();
      return;
    case wkStop:
      e.RunMode = rmIdle;
      return;
    default:
      RaiseScriptError(MessageText(msg::kIncorrectExpression, {line->text}));
  }
}

}  // namespace

void ExecuteStep() {
  EngineState& e = Engine();
  if (e.CurrentLine == 0) {
    ClearVariables();
    DefineCommandLineArray();
    ForgetLineCalls();
    NotifyRunStarting();
  }
  e.ErrorText.clear();
  e.TryErrorText.clear();
  const int startLine = e.CurrentLine;
  e.StepWarning = false;

  TWordKind kind = wkNone;
  const auto runLine = [&](TWordKind& k) -> bool {
    try {
      ExecuteLine(k);
      return true;
    } catch (const ScriptException& ex) {
      if (!e.TryFlag) {
        RaiseScriptError(ex.message());
        e.RunMode = rmIdle;
        return false;
      }
      // Under TRY the failure is logged in Error and the run goes on after the line.
      e.TryErrorText = ex.message();
      e.ErrorText.clear();
      AdvanceLine();
      return true;
    } catch (const std::bad_alloc&) {
      RaiseScriptError(u"Out of memory."_s);
      e.RunMode = rmIdle;
      return false;
    }
  };
  if (!runLine(kind)) return;
  if (e.InterfaceCallMode == 1) {
    e.InterfaceCallMode = 0;
    return;
  }
  if (!e.TryErrorText.isEmpty()) {
    SetVariable(u"Error"_s, e.TryErrorText + u" Line="_s + QString::number(startLine), wkString);
    e.StepWarning = true;
  }
  if (!ErrorPending() || e.TryFlag) {
    ++e.StepCount;
    // A RETURN that the stepper completes runs the calling line again, which takes the value;
    // when that line is itself a RETURN, its function returns in the same step.
    while (kind == wkReturn && !ErrorPending() &&
           (e.RunMode == rmSingleStep ||
            (e.ResumeFunctionLevel > 0 && e.ResumeFunctionLevel >= e.FunctionLevel)) &&
           e.BlockDepth > 0 && e.Blocks[std::size_t(e.BlockDepth)].pt == pt_ReturnScriptFunction) {
      if (e.ResumeFunctionLevel > 0) --e.ResumeFunctionLevel;
      e.ReturnBlock = e.Blocks[std::size_t(e.BlockDepth)];
      e.CurrentLine = e.ReturnBlock.nLine;
      PopBlock();
      e.FunctionLevel = std::max(0, e.FunctionLevel - 1);
      kind = wkReturn;
      if (!runLine(kind) || (ErrorPending() && !e.TryFlag)) return;
    }
    if (e.BlockDepth == 0) DeleteTemporaryArrays();
  }
}
