// Evaluate's three phases (substitution, array elements, calls) and the call interface.
#include "engine/evaluator.h"

#include <cmath>
#include <memory>
#include <vector>

#include "engine/arrays.h"
#include "engine/engine_state.h"
#include "engine/function_units.h"
#include "engine/call_words.h"
#include "engine/local_texts.h"
#include "engine/message_numbers.h"
#include "engine/messages.h"
#include "engine/names.h"
#include "engine/number_text.h"
#include "engine/reduction.h"
#include "engine/script_functions.h"
#include "engine/word_reader.h"

using namespace Qt::Literals::StringLiterals;

namespace {


// Index of the "]" closing the "[" at `open`, or -1.
int ClosingSquareBracket(const TWordArray& w, int open) {
  int depth = 0;
  for (int i = open; i <= w.lastIndex(); ++i) {
    if (w[i].kind == wkOpeningSquareBracket) ++depth;
    else if (w[i].kind == wkClosingSquareBracket && --depth == 0) return i;
  }
  return -1;
}

// s[i]: the character at the 1-based position, empty outside the text.
bool IndexString(TWordArray& w, int at) {
  const int close = ClosingSquareBracket(w, at + 1);
  if (close < 0) {
    RaiseScriptError(MessageText(msg::kBracketMismatch));
    return false;
  }
  TWordStatus index;
  EvaluateRange(w, at + 2, close - 1, index);
  if (ErrorPending()) return false;
  const double position = RoundHalfEven(index.float_val);
  const QString& text = w[at].str;
  w[at].str = (position >= 1 && position <= text.size()) ? QString(text[qsizetype(position) - 1]) : QString();
  w.removeRange(at + 1, close);
  return true;
}

// A variable's word takes the variable's value; false (with the error raised) when it has none.
bool SubstituteVariable(TWordStatus& word) {
  const std::vector<Tvariable>& vars = Engine().Variables;
  if (std::size_t(word.var_index) > vars.size()) {
    RaiseScriptError(MessageText(msg::kUnrecognisedIdentifier, {word.str}));
    return false;
  }
  const Tvariable& v = vars[std::size_t(word.var_index - 1)];
  switch (v.kind) {
    case wkString:
    case wkStringDQ:
      word.kind = v.kind;
      word.str = v.Text();
      return true;
    case wkFloat:
    case wkInt:
      word.kind = v.kind;
      word.float_val = v.Number();
      word.str = v.Text();
      return true;
    case wkBool:
      word.kind = wkBool;
      word.bool_val = SameName(v.Text(), u"TRUE");
      word.float_val = word.bool_val ? 1 : 0;
      word.str = v.Text();
      return true;
    default:
      RaiseScriptError(MessageText(msg::kInvalidDataType, {v.VarName}));
      return false;
  }
}

// Phase 1: variables and constants become values.
bool Substitute(TWordArray& w) {
  const TWordArray& next = w;  // looking ahead past the last word reads EmptyWord
  for (int i = 0; i <= w.lastIndex(); ++i) {
    TWordStatus& word = w[i];
    if (word.kind == wkUnknownIdentifier) {
      RaiseScriptError(next[i + 1].kind == wkOpeningBracket
                           ? MessageText(msg::kUnsupportedFunction, {word.str})
                           : MessageText(msg::kUnrecognisedIdentifier, {word.str}));
      return false;
    }
    if (word.var_index >= 1) {
      if (!SubstituteVariable(word)) return false;
      if (IsStringKind(word.kind) && next[i + 1].kind == wkOpeningSquareBracket && !IndexString(w, i))
        return false;
    } else if (word.kind == wkConst || word.kind == wkColor || word.kind == wkMouseEvent) {
      SetNumber(word, word.float_val);
    }
  }
  return true;
}

// Phase 2: every array name with its indexes becomes the element's value.
bool SubstituteElements(TWordArray& w) {
  for (int i = 0; i <= w.lastIndex(); ++i) {
    if (w[i].kind != wkArrayName) continue;
    ReadElement(w, i);
    if (ErrorPending()) return false;
  }
  return true;
}

void CallUnit(TWordKind kind, QString& name, TWordArray& args, TWordStatus& result) {
  FunctionUnit* unit = FunctionUnitFor(kind);
  if (!unit) {
    RaiseScriptError(MessageText(msg::kUnknownFunction, {name}));
    return;
  }
  if (kind != wkJS_Function && !(kind == wkEmbeddedFunction && TakesNames(name))) {
    unit->Validate(name, args);
    if (ErrorPending()) return;
  }
  unit->Dispatch(name, args, result);
}

// Phase 3: calls, left to right. Returns false when evaluation must end (an error, or a
// script function that is now being stepped through).
bool PerformCalls(TWordArray& w) {
  for (int i = 0; i <= w.lastIndex(); ++i) {
    const TWordKind kind = w[i].kind;
    if (!IsCallKind(kind) || kind == wkVBSFunction) continue;
    TWordStatus result;
    if (!PerformCall(kind, w[i].str, result)) return false;
    ApplyPower(result, w[i].power);
    result.oper_prioritet = 0;
    result.power = 0;
    result.slot = w[i].slot;  // the value stands where its call stood (traced reductions)
    w[i] = std::move(result);
  }
  return true;
}

// The argument list of a call in progress, one per nesting of calls, kept with its room: a call
// allocates nothing for its arguments once a call as deep has run before.
class CallArguments {
 public:
  CallArguments() {
    if (depth_ == lists_.size()) lists_.push_back(std::make_unique<TWordArray>());
    list_ = lists_[depth_++].get();
  }
  ~CallArguments() {
    list_->clear();
    --depth_;
  }
  CallArguments(const CallArguments&) = delete;
  CallArguments& operator=(const CallArguments&) = delete;
  TWordArray& list() { return *list_; }

 private:
  static inline std::vector<std::unique_ptr<TWordArray>> lists_;
  static inline std::size_t depth_ = 0;
  TWordArray* list_;
};

}  // namespace

bool PerformCall(TWordKind kind, const QString& callText, TWordStatus& result) {
  EngineState& e = Engine();
  e.CallExpression = callText;
  if (kind == wkScriptFunction) {
    const QStringView called = QStringView(e.CallExpression).left(e.CallExpression.indexOf(u'('));
    if (called != e.CalledScriptFunction) e.CalledScriptFunction = called.toString();  // a recursion keeps it
    // completed before this pass of the line: the function does not run again
    if (TakeCompletedCall(e.CallExpression, result)) return true;
  }
  QString name;
  CallArguments arguments;
  TWordArray& args = arguments.list();
  SplitCall(callText, kind == wkScriptFunction ? nullptr : &name, args);  // a script call needs no name
  if (ErrorPending() || e.ScriptCallSuspended) return false;
  if (kind == wkScriptFunction) {
    CallScriptFunction(callText, args, result);
    if (ErrorPending() || (e.RunMode != rmRunning && e.RunMode != rmContinuing)) return false;
    RecordCompletedCall(callText, result);
  } else {
    CallUnit(kind, name, args, result);
    if (ErrorPending()) return false;
  }
  return true;
}

double RoundHalfEven(double v) { return std::nearbyint(v); }

void SetNumber(TWordStatus& w, double value, TWordKind kind) {
  w.kind = kind;
  w.float_val = value;
  w.str = NumberText(value);
  w.oper_prioritet = 0;
}

void SetBool(TWordStatus& w, bool value) {
  w.kind = wkBool;
  w.bool_val = value;
  w.float_val = value ? 1 : 0;
  w.str = value ? u"true"_s : u"false"_s;
  w.oper_prioritet = 0;
}

void ApplyPower(TWordStatus& value, int power) {
  if ((power != 2 && power != 3) || !IsNumberKind(value.kind)) return;
  const double v = value.float_val;
  SetNumber(value, power == 2 ? v * v : v * v * v, value.kind);
}

namespace {

// Evaluates the caller's own copy of the words.
void EvaluateCopy(TWordArray& w, TWordStatus& result, ReductionTrace* trace) {
  result = EmptyWord;
  if (w.isEmpty()) return;
  if (!Substitute(w) || !SubstituteElements(w) || !PerformCalls(w)) return;
  ReduceWords(w, result, trace);
}

}  // namespace

void Evaluate(const TWordArray& words, int lastIndex, TWordStatus& result) {
  EvaluateRange(words, 0, lastIndex, result);
}

namespace {

struct DepthGuard {
  std::int32_t& depth;
  explicit DepthGuard(std::int32_t& d) : depth(d) { ++depth; }
  ~DepthGuard() { --depth; }
};

}  // namespace

bool ProgramValue(const TWordArray& words, int from, int to, double& number, TWordKind& kind) {
  EngineState& e = Engine();
  const NumericPrograms* programs = ProgramWordsScope::ProgramsOf(words);
  if (!programs || e.EvaluationDepth >= kMaxEvaluationDepth) return false;
  const DepthGuard guard(e.EvaluationDepth);  // as EvaluateRange counts it
  return programs->Replayed(words, from, to, EvaluateCopy, number, kind);
}

bool NumberWithoutText(const TWordArray& words, int from, int to, double& number) {
  TWordKind kind = wkNone;
  if (from != to) return ProgramValue(words, from, to, number, kind) && IsNumberKind(kind);
  const TWordStatus& word = words[from];
  const EngineState& e = Engine();
  if (!IsLoneVariable(word) || std::size_t(word.var_index) > e.Variables.size() ||
      e.EvaluationDepth >= kMaxEvaluationDepth)
    return false;
  const Tvariable& v = e.Variables[std::size_t(word.var_index - 1)];
  if (!IsNumberKind(v.kind)) return false;
  number = v.Number();
  return true;
}

void EvaluateRange(const TWordArray& words, int from, int to, TWordStatus& result) {
  // Calls inside arguments and bracket groups recurse through here: a bound keeps a hostile
  // line from exhausting the stack.
  EngineState& e = Engine();
  if (e.EvaluationDepth >= kMaxEvaluationDepth) {
    result = EmptyWord;
    RaiseScriptError(LocalText(LocalTextId::NestingTooDeep));
    return;
  }
  const DepthGuard guard(e.EvaluationDepth);
  // A variable alone is its value: what the phases would make of it, without a copy of the list.
  if (from == to && IsLoneVariable(words[from])) {
    result = words[from];
    if (!SubstituteVariable(result)) result = EmptyWord;
    return;
  }
  // The words of the executing line and of call arguments keep programs for their numeric
  // expressions.
  if (const NumericPrograms* programs = ProgramWordsScope::ProgramsOf(words)) {
    programs->Evaluate(words, from, to, result, EvaluateCopy);
    return;
  }
  TWordArray w;
  w.assign(words, from, to);
  EvaluateCopy(w, result, nullptr);
}

bool SplitCall(const QString& callText, QString* nameOut, TWordArray& args) {
  EngineState& e = Engine();
  args.clear();
  const LocalShared<const CallWords> call = ReadCallWords(callText);
  if (!call) return false;
  if (call->shape == CallWords::NoCall) return false;
  const QString& name = call->name;
  if (nameOut) *nameOut = name;
  if (call->shape != CallWords::WithArguments) return true;

  if (call->callsScriptFunction && !e.CalledScriptFunction.isEmpty() &&
      SameName(name, QStringView(e.CalledScriptFunction).trimmed())) {
    for (const TWordStatus& word : call->words)
      if (word.kind == wkScriptFunction) {
        RaiseScriptError(MessageText(msg::kNestedScriptFunction, {name, word.str}));
        return false;
      }
  }
  // Elements first, so that the commas between their indexes do not cut arguments. Without
  // elements the kept words serve as they are, with their programs.
  TWordArray withElements;
  const TWordArray* words = &call->words;
  if (call->hasElements) {
    withElements = call->words;
    for (int i = 0; i <= withElements.lastIndex(); ++i) {
      if (withElements[i].kind != wkArrayName || withElements[i + 1].kind != wkOpeningSquareBracket) continue;
      ReadElement(withElements, i);
      if (ErrorPending()) return false;
    }
    words = &withElements;
  }
  const ProgramWordsScope scope(words, call->hasElements ? nullptr : &call->programs);

  const bool unevaluated = call->takesNames;
  int from = 0;
  for (int i = 0; i <= words->lastIndex() + 1; ++i) {
    if (i <= words->lastIndex() && (*words)[i].kind != wkComma) continue;
    const int to = i - 1;  // the argument is words from..to
    TWordStatus value;
    const TWordStatus& first = (*words)[from];
    const bool single = from == to;
    if (unevaluated) {
      const TWordKind k = first.kind;
      if (!single || (k != wkVariableName && k != wkArrayName && k != wkUnknownIdentifier)) {
        RaiseScriptError(MessageText(msg::kParameterNotVariable, {name}));
        return false;
      }
      value = first;
    } else if (single && first.kind == wkArrayName) {
      value = first;
    } else {
      EvaluateRange(*words, from, to, value);
      if (ErrorPending() || e.ScriptCallSuspended) return false;
      value.var_index = single ? first.var_index : 0;
    }
    args.append(std::move(value));
    from = i + 1;
  }
  return true;
}
