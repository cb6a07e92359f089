// The run loop and the run actions. Every host shares this code; what a host shows (marks,
// views, boxes, sounds) goes through RunHost.
#include "engine/run_control.h"

#include <vector>

#include "engine/engine_state.h"
#include "engine/line_text.h"
#include "engine/message_numbers.h"
#include "engine/messages.h"
#include "engine/names.h"
#include "engine/number_text.h"
#include "engine/run_host.h"
#include "engine/script_files.h"
#include "engine/statements.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// After the blanks at its start, the text begins with "stop" in any case; returns the index
// after it, or -1.
qsizetype AfterStop(const QString& line) {
  qsizetype i = 0;
  while (i < line.size() && IsTrimmable(line[i])) ++i;
  static constexpr char16_t kStop[] = u"stop";
  if (line.size() - i < 4) return -1;
  for (int k = 0; k < 4; ++k)
    if ((line[i + k].unicode() | 0x20) != kStop[k]) return -1;  // ASCII letters only
  return i + 4;
}

// What the run loop asks of every line before and after its step, read once per script text.
enum StopFlag : std::uint8_t { kBeginsWithStop = 1, kIsStopLine = 2 };

std::uint64_t g_stopFlagsScript = 0;
std::vector<std::uint8_t> g_stopFlags;

// Kept out of line: the run loop asks for the flags three times a line.
[[gnu::noinline]] void ReadStopFlags() {
  const EngineState& e = Engine();
  g_stopFlags.assign(std::size_t(e.ScriptLines.size()), 0);
  for (int i = 0; i < e.ScriptLines.size(); ++i)
    g_stopFlags[std::size_t(i)] = std::uint8_t((LineBeginsWithStop(e.ScriptLines[i]) ? kBeginsWithStop : 0) |
                                               (IsStopLine(e.ScriptLines[i]) ? kIsStopLine : 0));
  g_stopFlagsScript = e.ScriptGeneration;
}

std::uint8_t StopFlagsAt(int line) {
  const EngineState& e = Engine();
  if (g_stopFlagsScript != e.ScriptGeneration || g_stopFlags.size() != std::size_t(e.ScriptLines.size()))
    ReadStopFlags();
  return (line >= 0 && std::size_t(line) < g_stopFlags.size()) ? g_stopFlags[std::size_t(line)] : 0;
}

bool LineAtIsStop(int line) { return StopFlagsAt(line) & kIsStopLine; }

// RunFrom calls nested in a running RunFrom: the body of a script function called by a line.
int g_runDepth = 0;

}  // namespace

RunControlState& RunControl() {
  static RunControlState state;
  return state;
}

bool LineBeginsWithStop(const QString& line) { return AfterStop(line) >= 0; }

bool IsStopLine(const QString& line) {
  qsizetype i = AfterStop(line);
  if (i < 0) return false;
  // Only blanks may follow, up to the end or a comment.
  while (i < line.size() && IsTrimmable(line[i])) ++i;
  return i == line.size() || line[i] == u'#' || line[i] == u';';
}

void ComputeLineIndents() {
  EngineState& e = Engine();
  e.LineIndent.resize(std::size_t(e.ScriptLines.size()));
  for (int i = 0; i < e.ScriptLines.size(); ++i) e.LineIndent[std::size_t(i)] = LineIndentOf(e.ScriptLines[i]);
  ScriptChanged();
}

void PrepareScript() {
  EngineState& e = Engine();
  QStringList& lines = e.ScriptLines;
  while (lines.size() >= 2 && TrimControl(lines.last()).isEmpty()) lines.removeLast();
  if (lines.size() > kMaxScriptLines) {
    Host().ShowMessageBox(MessageText(msg::kScriptTooLong, {kMaxScriptLines}), MessageIcon::Error);
    while (lines.size() > kMaxScriptLines) lines.removeLast();
  }
  Host().HideInterfaceWindow();

  e.ScriptFunctionNames.clear();
  e.ScriptFunctionHeaders.clear();
  int firstFunction = -1;
  for (int i = 0; i < lines.size(); ++i) {
    const QString upper = AsciiUpper(TrimControl(StripComment(lines[i])));
    if (!upper.startsWith(u"FUNCTION "_s)) continue;
    if (firstFunction < 0) firstFunction = i;
    const QString name = upper.mid(8).section(u'(', 0, 0).trimmed();
    if (name.isEmpty()) continue;
    e.ScriptFunctionNames.append(name);
    e.ScriptFunctionHeaders.append(lines[i]);
  }
  NamesChanged();

  // The main program always ends with a stop line, before the first definition or at the end,
  // also when it is one line long or empty (then the script begins with the stop line).
  int n = firstFunction >= 0 ? firstFunction - 1 : int(lines.size()) - 1;
  if (n > 0 || (n == 0 && firstFunction > 0)) {
    while (n > 0 && TrimControl(StripComment(lines[n])).isEmpty()) --n;
    if (!AsciiUpper(TrimControl(lines[n])).startsWith(u"STOP"_s)) lines.insert(n + 1, u"stop"_s);
  } else if (firstFunction == 0) {
    lines.insert(0, u"stop"_s);
  }
  if (lines.size() == 1 && !TrimControl(lines[0]).isEmpty() &&
      AsciiUpper(TrimControl(lines[0])) != u"STOP"_s)
    lines.append(u"stop"_s);
  ComputeLineIndents();
  Host().ScriptPrepared();
}

void RunFrom(int startLine, RunInitiator initiator) {
  EngineState& e = Engine();
  RunControlState& rc = RunControl();
  // The body of a called function runs inside the run of its caller: the run's clock, its
  // status panels and its toolbar stay as they are.
  const bool nested = initiator == RunInitiator::Engine && g_runDepth > 0;
  struct DepthGuard {
    DepthGuard() { ++g_runDepth; }
    ~DepthGuard() { --g_runDepth; }
  } depth;
  if (!nested) rc.RunStartTime.start();
  e.CurrentLine = startLine;
  const qsizetype linesBefore = e.ScriptLines.size();
  ExpandIncludes();
  if (e.ScriptLines.size() != linesBefore) ComputeLineIndents();
  // The display mode is settled first, so that the actions shown for the run reflect it.
  if (initiator == RunInitiator::Start || initiator == RunInitiator::Timer) rc.FastDisplay = true;
  else if (initiator == RunInitiator::Continue) rc.FastDisplay = false;
  if (!nested) {
    Host().SetActionStatusWorkMode(true);
    for (int panel = 0; panel < 7; ++panel) Host().SetStatusText(panel, QString());
  }

  for (;;) {
    if (e.CurrentLine >= e.ScriptLines.size()) break;
    if (StopFlagsAt(e.CurrentLine) & kBeginsWithStop) break;
    Host().ProcessEvents();
    A_StepExecute(initiator);
    // Step over ends once the blocks are back at (or, after a RETURN, below) its depth.
    if (e.BlockDepth <= rc.StepOverDepth && e.RunMode == rmContinuing && rc.StepOverLine >= 0) {
      rc.StepOverLine = rc.StepOverDepth = -1;
      e.RunMode = rmSingleStep;
    }
    if (!e.ErrorText.isEmpty() || !RunInProgress()) break;
    if (LineAtIsStop(e.CurrentLine)) break;
    if (e.Blocks[std::size_t(e.BlockDepth)].pt == pt_ReturnScriptFunction) break;
    if (Host().PauseRequested()) {
      A_PauseExecute();
      Host().SetCurrentLineMark(e.CurrentLine);
    }
  }
  if (!nested || !RunInProgress()) Host().SetActionStatusWorkMode(RunInProgress());
}

void A_StepExecute(RunInitiator initiator) {
  EngineState& e = Engine();
  RunControlState& rc = RunControl();
  if (initiator == RunInitiator::Step) {
    e.RunMode = rmSingleStep;
    rc.RunStartLine = 0;
    rc.StepOverLine = rc.StepOverDepth = -1;
    e.StepCount = 0;
    rc.ShowErrors = true;
    rc.AutoRun = false;
  }
  if (e.CurrentLine == 0) Host().HideInterfaceWindow();
  if (e.CurrentLine >= e.ScriptLines.size()) return;
  rc.ExecutingLine = e.CurrentLine;
  ExecuteStep();
  const bool idleOrStepping = e.RunMode == rmIdle || e.RunMode == rmSingleStep;
  if (!rc.FastDisplay || idleOrStepping) Host().SetCurrentLineMark(e.CurrentLine);
  if (e.CurrentLine > e.ScriptLines.size() - 1) {
    // Past the last line (a script of blank lines): the run has reached its end.
    e.CurrentLine = std::max(0, int(e.ScriptLines.size()) - 1);
    if (e.BlockDepth == 0) e.RunMode = rmIdle;
  }
  if (!e.ErrorText.isEmpty()) ErrorStop();
  rc.StopMark = Host().HasBreakpoint(e.CurrentLine);
  if (LineAtIsStop(e.CurrentLine) || rc.StopMark) e.RunMode = rmIdle;
  const bool watched = !rc.FastDisplay || initiator == RunInitiator::Step;
  if (watched || e.RunMode == rmIdle || e.CurrentLine == 0 || e.StepWarning) {
    Host().SetCurrentLineMark(e.CurrentLine);
    A_StatusBarFillingExecute();
    Host().RefreshViews();
  }
  if (e.RunMode == rmIdle || e.RunMode == rmSingleStep) Host().SetActionStatusWorkMode(false);
}

void A_StartExecute(RunInitiator initiator) {
  EngineState& e = Engine();
  RunControlState& rc = RunControl();
  e.RunMode = rmRunning;
  e.CurrentLine = 0;
  rc.StepOverLine = rc.StepOverDepth = -1;
  e.BlockDepth = 0;
  e.FunctionLevel = 0;
  rc.RunStartLine = 0;
  e.ResumeFunctionLevel = 0;
  e.StepCount = 0;
  rc.ResumeInFunction = false;
  rc.ShowErrors = true;
  Host().SetCurrentLineMark(0);
  RunFrom(0, initiator);
  if (e.ErrorText.isEmpty() && e.BlockDepth == 0) {
    Host().PlaySound(SystemSound::Asterisk);
    if (rc.AutoRun && e.CurrentLine >= 0 && e.CurrentLine < e.ScriptLines.size() &&
        AsciiUpper(TrimControl(e.ScriptLines[e.CurrentLine])) == u"STOP"_s)
      Host().AutoRunFinished();
  } else if (!e.ErrorText.isEmpty()) {
    Host().PlaySound(SystemSound::Hand);
  }
  Host().SetCaretLine(e.CurrentLine);
  A_StatusBarFillingExecute();
  Host().RefreshViews();
  A_PauseExecute();
}

void A_StepOverExecute() {
  EngineState& e = Engine();
  RunControl().StepOverLine = e.CurrentLine;
  RunControl().StepOverDepth = e.BlockDepth;
  A_Continue_runExecute(RunInitiator::StepOver);
}

void A_Continue_runExecute(RunInitiator initiator) {
  EngineState& e = Engine();
  RunControlState& rc = RunControl();
  const int n = int(e.ScriptLines.size());
  while (e.CurrentLine < n - 1 && LineIndentAt(e.CurrentLine) == -1) ++e.CurrentLine;
  const int indent = LineIndentAt(e.CurrentLine);
  if (e.Blocks[std::size_t(e.BlockDepth)].indent != indent) {
    RaiseScriptError(MessageText(msg::kIndentError, {indent}));
    ErrorStop();
    return;
  }
  int entry = 0;
  for (int d = e.BlockDepth; d >= 1; --d)
    if (e.Blocks[std::size_t(d)].FunctionLevel != 0) {
      entry = d;
      break;
    }
  rc.ResumeInFunction = e.Blocks[std::size_t(entry)].pt == pt_ScriptFunction;
  e.ResumeFunctionLevel = e.Blocks[std::size_t(entry)].FunctionLevel;
  e.RunMode = rmContinuing;
  rc.RunStartLine = e.CurrentLine;
  e.StepCount = 0;
  rc.ShowErrors = true;
  rc.AutoRun = false;
  RunFrom(e.CurrentLine, initiator);
  if (e.ErrorText.isEmpty() && e.BlockDepth == 0) Host().PlaySound(SystemSound::Asterisk);
  else if (!e.ErrorText.isEmpty()) Host().PlaySound(SystemSound::Hand);
  Host().SetCaretLine(e.CurrentLine);
  A_StatusBarFillingExecute();
  Host().RefreshViews();
  A_PauseExecute();
}

void A_PauseExecute() {
  Host().DiscardPendingKeys();
  Engine().RunMode = rmIdle;
  Host().SetActionStatusWorkMode(false);
  Host().PlaySound(SystemSound::Asterisk);
}

void ErrorStop() {
  EngineState& e = Engine();
  Host().SetCaretLine(e.CurrentLine);
  if (!RunControl().ShowErrors) return;
  e.RunMode = rmIdle;
  // The marker, the status bar and the views show the failing line before the box does.
  Host().SetCurrentLineMark(e.CurrentLine);
  A_StatusBarFillingExecute();
  Host().RefreshViews();
  Host().ShowMessageBox(e.ErrorText, MessageIcon::Error);
  e.ErrorText.clear();
  Host().PlaySound(SystemSound::Hand);
}

QString StatusPanelText(int panel) {
  const EngineState& e = Engine();
  const TBlockLevel& top = e.Blocks[std::size_t(e.BlockDepth)];
  const bool loop = top.LoopIndex >= 1 && top.LoopIndex <= int(e.Variables.size());
  switch (panel) {
    case 0:
      return u"Line="_s + QString::number(e.CurrentLine);
    case 1:
      return u"Processing Level="_s + QString::number(e.BlockDepth);
    case 2:
      return u"Function Level="_s + QString::number(e.FunctionLevel);
    case 3: {
      if (!loop) return {};
      const QString value = e.Variables[std::size_t(top.LoopIndex - 1)].Text();
      double v = 0;
      const bool whole = ParseValueNumber(value, v) && v == std::trunc(v) && !value.contains(u'.');
      return u"loop counter="_s + value + (whole ? QString() : u" ???"_s);
    }
    case 4:
      return loop ? u"loop limit="_s + QString::number(top.LoopLimit) : QString();
    case 5: {
      const qint64 seconds = RunControl().RunStartTime.isValid() ? RunControl().RunStartTime.elapsed() / 1000 : 0;
      return u"time "_s + u"%1:%2"_s.arg((seconds / 60) % 60, 2, 10, QChar(u'0')).arg(seconds % 60, 2, 10, QChar(u'0'));
    }
    default:
      return {};
  }
}

void A_StatusBarFillingExecute() {
  const EngineState& e = Engine();
  for (int panel = 0; panel <= 4; ++panel) Host().SetStatusText(panel, StatusPanelText(panel));
  // The elapsed time shows when no loop counter does; the graphics area may own the panel.
  const TBlockLevel& top = e.Blocks[std::size_t(e.BlockDepth)];
  if (top.LoopIndex == 0) Host().SetStatusText(5, StatusPanelText(5));
}
