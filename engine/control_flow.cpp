// FOR, REPEAT, IF/ELSE, BREAK(IF), CONTINUE(IF) and the search for the next line.
#include <cmath>
#include <vector>

#include "engine/conversions.h"
#include "engine/engine_state.h"
#include "engine/evaluator.h"
#include "engine/line_text.h"
#include "engine/message_numbers.h"
#include "engine/messages.h"
#include "engine/names.h"
#include "engine/number_text.h"
#include "engine/script_functions.h"
#include "engine/statements.h"

using namespace Qt::Literals::StringLiterals;

namespace {


int Sign(double v) { return (v > 0) - (v < 0); }

std::int32_t ClampToInt32(double v) {
  if (!(v == v)) return 0;
  return std::int32_t(std::clamp(v, -2147483648.0, 2147483647.0));
}

// Index of the next comma at bracket depth 0 from `from`, or lastIndex + 1.
int NextComma(const TWordArray& w, int from) {
  int depth = 0;
  for (int i = from; i <= w.lastIndex(); ++i) {
    const TWordKind k = w[i].kind;
    if (k == wkOpeningBracket || k == wkOpeningSquareBracket) ++depth;
    else if ((k == wkClosingBracket || k == wkClosingSquareBracket) && depth > 0) --depth;
    else if (k == wkComma && depth == 0) return i;
  }
  return w.lastIndex() + 1;
}

// Evaluates words from..to and requires a value of `kind`; otherwise the message.
bool EvaluateAs(const TWordArray& w, int from, int to, TWordKind kind, int message, TWordStatus& v) {
  EvaluateRange(w, from, to, v);
  // A script function called here is being stepped through: the line runs again on its return.
  if (ErrorPending() || Engine().ScriptCallSuspended) return false;
  if (v.kind != kind) {
    RaiseScriptError(MessageText(message));
    return false;
  }
  return true;
}

// The condition after the keyword must be a boolean; its text is "true" or "false".
bool Condition(const TWordArray& w, int message, QString& text) {
  // A condition with a numeric program takes its value without a word made for it.
  double number = 0;
  TWordKind kind = wkNone;
  if (!Engine().TryFlag && ProgramValue(w, 1, w.lastIndex(), number, kind)) {
    if (kind != wkBool) {
      RaiseScriptError(MessageText(message));
      return false;
    }
    text = BoolText(number != 0);
    return true;
  }
  TWordStatus v;
  if (!EvaluateAs(w, 1, w.lastIndex(), wkBool, message, v)) return false;
  text = v.str;
  return true;
}

// The innermost FOR or REPEAT block inside the current function, or -1.
int InnermostLoop() {
  const EngineState& e = Engine();
  for (int d = e.BlockDepth; d >= 1; --d) {
    const TProcessingType pt = e.Blocks[std::size_t(d)].pt;
    if (pt == pt_For || pt == pt_Repeat) return d;
    if (pt == pt_ScriptFunction) break;  // a loop of the caller is out of reach
  }
  return -1;
}

}  // namespace

void ExecuteFor(const TWordArray& w) {
  EngineState& e = Engine();
  int loopIndex = w[1].var_index;
  if (w[1].kind == wkUnknownIdentifier) {
    const int created = SetVariable(w[1].str, QString(), wkFloat);
    if (ErrorPending()) return;
    loopIndex = created + 1;
  } else if (w[1].kind != wkVariableName) {
    RaiseScriptError(MessageText(msg::kForNeedsLoopVariable));
    return;
  }
  if (!w[2].isOperator(opEqual)) {
    RaiseScriptError(MessageText(msg::kLoopVariableNeedsEquals));
    return;
  }
  const int startEnd = NextComma(w, 3);
  TWordStatus startValue, finalValue, stepValue;
  if (!EvaluateAs(w, 3, startEnd - 1, wkFloat, msg::kBadLoopStart, startValue)) return;
  if (w[startEnd].kind != wkComma) {
    RaiseScriptError(MessageText(msg::kLoopStartNeedsComma));
    return;
  }
  const int finalEnd = NextComma(w, startEnd + 1);
  if (!EvaluateAs(w, startEnd + 1, finalEnd - 1, wkFloat, msg::kBadLoopFinal, finalValue)) return;
  const bool stepGiven = w[finalEnd].kind == wkComma && finalEnd < w.lastIndex();
  if (stepGiven &&
      !EvaluateAs(w, finalEnd + 1, w.lastIndex(), wkFloat, msg::kBadLoopIncrement, stepValue))
    return;
  const double start = startValue.float_val, final = finalValue.float_val;
  const double step = stepGiven ? stepValue.float_val : 1;

  Tvariable& loopVar = e.Variables[std::size_t(loopIndex - 1)];
  for (int d = 0; d <= e.BlockDepth; ++d)
    if (e.Blocks[std::size_t(d)].LoopIndex == loopIndex) {
      RaiseScriptError(MessageText(msg::kOuterLoopVariable, {loopVar.VarName}));
      return;
    }
  loopVar.SetText(startValue.str);
  e.AssignTarget = loopIndex;

  const int s = Sign(step);
  if (s * final >= s * start) {
    const int indent = LineIndentAt(e.CurrentLine);
    if (!PushBlock()) return;
    TBlockLevel& b = e.Blocks[std::size_t(e.BlockDepth)];
    b.pt = pt_For;
    b.nLine = e.CurrentLine;
    b.LoopIndex = loopIndex;
    b.LoopLimit = ClampToInt32(RoundHalfEven(final));
    b.LoopIncrement = ClampToInt32(RoundHalfEven(step));
    b.indent = indent + 2;
  }
  AdvanceLine();
}

void ExecuteRepeat(const TWordArray& w) {
  EngineState& e = Engine();
  if (w.count() != 1) {
    RaiseScriptError(MessageText(msg::kTextAfterRepeat));
    return;
  }
  const int indent = LineIndentAt(e.CurrentLine);
  if (!PushBlock()) return;
  TBlockLevel& b = e.Blocks[std::size_t(e.BlockDepth)];
  b.pt = pt_Repeat;
  b.nLine = e.CurrentLine;
  b.indent = indent + 2;
  AdvanceLine();
}

namespace {

// The code of the line is ELSE, in any letter case.
bool IsElseLine(const QString& line) {
  qsizetype i = 0;
  while (i < line.size() && IsTrimmable(line[i])) ++i;
  if (i == line.size() || (line[i].unicode() | 0x20) != u'e') return false;  // most lines end here
  return SameName(CodeOf(line), u"ELSE");
}

}  // namespace

namespace {

// The ELSE line that belongs to the IF line, or 0.
int SearchElseLine(int ifLine) {
  const EngineState& e = Engine();
  const int ifIndent = LineIndentAt(ifLine);
  const int last = int(e.ScriptLines.size()) - 1;
  int candidate = last;
  for (int p = ifLine + 1; p < last; ++p) {
    const int d = LineIndentAt(p);
    if (d != -1 && d <= ifIndent) {
      candidate = p;
      break;
    }
  }
  if (candidate > ifLine && LineIndentAt(candidate) == ifIndent && IsElseLine(e.ScriptLines[candidate]))
    return candidate;
  return 0;
}

// The same, searched once per script text: an IF inside a loop asks at every pass.
int ElseLineOf(int ifLine) {
  static std::uint64_t searchedScript = 0;
  static std::vector<int> elseLines;  // -1 where not searched yet
  const EngineState& e = Engine();
  if (searchedScript != e.ScriptGeneration || elseLines.size() != std::size_t(e.ScriptLines.size())) {
    elseLines.assign(std::size_t(e.ScriptLines.size()), -1);
    searchedScript = e.ScriptGeneration;
  }
  int& found = elseLines[std::size_t(ifLine)];
  if (found < 0) found = SearchElseLine(ifLine);
  return found;
}

}  // namespace

void ExecuteIf(const TWordArray& w) {
  EngineState& e = Engine();
  QString condition;
  if (!Condition(w, msg::kIfNeedsBoolean, condition)) return;
  const int ifIndent = LineIndentAt(e.CurrentLine);
  const int elseLine = ElseLineOf(e.CurrentLine);

  if (condition == u"true"_s) {
    if (!PushBlock()) return;
    TBlockLevel& b = e.Blocks[std::size_t(e.BlockDepth)];
    b.pt = pt_If;
    b.nLine = e.CurrentLine;
    b.nELSE = elseLine;
    b.indent = ifIndent + 2;
  } else if (elseLine > 0) {
    e.CurrentLine = elseLine;
    if (!PushBlock()) return;
    TBlockLevel& b = e.Blocks[std::size_t(e.BlockDepth)];
    b.pt = pt_ElseIf;
    b.nLine = elseLine;
    b.nELSE = elseLine;
    b.indent = LineIndentAt(elseLine) + 2;
  }
  AdvanceLine();
}

void ExecuteBreak(const TWordArray& w) {
  EngineState& e = Engine();
  QString condition = u"true"_s;
  if (w[0].kind == wkBreakIf && !Condition(w, msg::kBreakIfNeedsBoolean, condition)) return;
  const int loop = InnermostLoop();
  if (loop < 0) {
    RaiseScriptError(MessageText(msg::kBreakIfOutsideLoop));
    return;
  }
  if (condition == u"true"_s) {
    e.CurrentLine = e.Blocks[std::size_t(e.BlockDepth)].nLine;
    while (e.BlockDepth >= loop) PopBlock();
  }
  AdvanceLine();
}

void ExecuteContinue(const TWordArray& w) {
  QString condition = u"true"_s;
  const bool conditional = w[0].kind == wkContinueIf;
  if (conditional && !Condition(w, msg::kContinueIfNeedsBoolean, condition)) return;
  if (InnermostLoop() < 0) {
    RaiseScriptError(MessageText(msg::kContinueIfOutsideLoop));
    return;
  }
  AdvanceLine(condition == u"true"_s, !conditional);
}

void AdvanceLine(bool jumping, bool isContinue) {
  EngineState& e = Engine();
  if (ErrorPending() || e.InterfaceCallMode == 1) return;
  const int n = int(e.ScriptLines.size());
  for (;;) {
    if (!jumping) {
      const int b = e.Blocks[std::size_t(e.BlockDepth)].indent;
      int p = e.CurrentLine, d = -1;
      for (;;) {
        ++p;
        d = p <= n - 1 ? LineIndentAt(p) : -1;
        if (p >= n - 1) break;
        if (d != -1 && d % 2 != 0) {
          RaiseScriptError(MessageText(msg::kIncorrectIndentInLine, {d, p}));
          return;
        }
        if (d >= 0 && d <= b) break;
      }
      if (d == b) {
        e.CurrentLine = p;
        return;
      }
    }
    if (isContinue) {
      const TProcessingType top = e.Blocks[std::size_t(e.BlockDepth)].pt;
      if (top != pt_If && top != pt_ElseIf) {
        RaiseScriptError(MessageText(msg::kOperatorMisuse, {u"continue"_s}));
        return;
      }
      PopBlock();
    }
    jumping = isContinue = false;

    if (e.BlockDepth == 0) {
      e.CurrentLine = n;
      return;
    }
    TBlockLevel& top = e.Blocks[std::size_t(e.BlockDepth)];
    switch (top.pt) {
      case pt_For: {
        const int index = top.LoopIndex;
        if (index < 1 || index > int(e.Variables.size())) {
          RaiseScriptError(MessageText(msg::kForCounterError, {QString()}));
          return;
        }
        Tvariable& var = e.Variables[std::size_t(index - 1)];
        double v = 0;
        if (!var.ReadNumber(v)) {
          RaiseScriptError(MessageText(msg::kForCounterError, {var.Text()}));
          return;
        }
        const int s = Sign(top.LoopIncrement);
        const double limit = top.LoopLimit;
        if (s * limit + 0.0001 < s * v) {
          RaiseScriptError(MessageText(msg::kForCounterError, {var.Text()}));
          return;
        }
        const double next = RoundHalfEven(v + top.LoopIncrement);
        if (s * limit < s * next) {
          e.CurrentLine = top.nLine;
          PopBlock();
          continue;
        }
        var.SetNumber(next);
        e.CurrentLine = top.nLine + 1;
        return;
      }
      case pt_Repeat:
        e.CurrentLine = top.nLine + 1;
        return;
      case pt_If:
      case pt_ElseIf:
        if (e.CurrentLine < top.nELSE) e.CurrentLine = top.nELSE;
        PopBlock();
        continue;
      default: {
        static const char16_t* const kNames[] = {u"FOR", u"REPEAT", u"IF", u"ElseIf", u"Script Function"};
        const int k = std::clamp(int(top.pt), 1, 5);
        RaiseScriptError(MessageText(msg::kStructureError, {QString::fromUtf16(kNames[k - 1])}));
        return;
      }
    }
  }
}
