// Runs script text through the engine as Start (or Step, Continue) does, with a host that
// records what the run shows. For tests of statements, functions, arrays and run control.
#pragma once

#include <QStringList>
#include <set>

#include "engine/engine_state.h"
#include "engine/run_control.h"
#include "engine/run_host.h"
#include "engine/variable_view.h"
#include "engine_fixture.h"

class RecordingHost : public RunHost {
 public:
  QStringList errors;    // texts of error boxes
  QStringList messages;  // the other boxes
  std::set<int> breakpoints;
  int pauseAfterSteps = -1;  // PauseRequested turns true once this many lines ran
  int stepsSeen = 0;
  int marks = 0;
  int workModeSwitches = 0;
  int statusTexts = 0;

  void ShowMessageBox(const QString& text, MessageIcon icon) override {
    (icon == MessageIcon::Error ? errors : messages).append(text);
  }
  bool HasBreakpoint(int line) override { return breakpoints.count(line) > 0; }
  bool PauseRequested() override { return pauseAfterSteps >= 0 && ++stepsSeen > pauseAfterSteps; }
  void SetCurrentLineMark(int) override { ++marks; }
  void SetActionStatusWorkMode(bool) override { ++workModeSwitches; }
  void SetStatusText(int, const QString&) override { ++statusTexts; }
};

class ScriptTest : public EngineTest {
 protected:
  RecordingHost host;

  void SetUp() override {
    EngineTest::SetUp();
    SetRunHost(&host);
  }
  void TearDown() override {
    SetRunHost(nullptr);
    EngineTest::TearDown();
  }

  // Puts the lines in place as loading does (prepared: stop line, indents, function names).
  void Load(const QStringList& lines) {
    Engine().ScriptLines = lines;
    PrepareScript();
    Engine().CurrentLine = 0;
  }
  // Loads and runs as Start does; returns the text of the error box, or "".
  QString Run(const QStringList& lines) {
    host.errors.clear();
    Load(lines);
    A_StartExecute(RunInitiator::Start);
    return host.errors.isEmpty() ? QString() : host.errors.last();
  }
  // The value text of a variable as the global view shows it ("" when missing).
  static QString Cell(const QString& name) {
    for (const ViewRow& row : GlobalViewRows())
      if (row.name == name) return row.value;
    return {};
  }
  static QString Value(const QString& name) { return GetVariableText(name); }
  static TWordKind KindOf(const QString& name) {
    const int i = FindVariable(name);
    return i < 0 ? wkNone : Engine().Variables[std::size_t(i)].kind;
  }

 public:
  // The error text a message gives on a line.
  static QString ErrorAt(int line, int number, MessageArgs args = {}) {
    return MessageText(number, args) + QStringLiteral("\r\r") + MessageText(2, {line});
  }
};
