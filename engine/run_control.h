// Run control: Start, Step, Step over, Continue, Pause, the run loop and the error stop,
// written once for every host. The host adds the display work (marks, views, sounds).
#pragma once

#include <QElapsedTimer>
#include <QString>

enum class RunInitiator { Start, Step, StepOver, Continue, Timer, Engine };

struct RunControlState {
  bool FastDisplay = false;
  bool AutoRun = false;
  bool StopMark = false;
  bool ShowErrors = true;
  bool ResumeInFunction = false;
  int StepOverLine = -1;
  int StepOverDepth = -1;
  int RunStartLine = 0;
  int ExecutingLine = 0;
  QElapsedTimer RunStartTime;
};

RunControlState& RunControl();

// Readies ScriptLines for work mode: trailing blank lines, the 1000-line limit, the script
// functions, the stop line before them, the indents.
void PrepareScript();
// Recomputes LineIndent for every line.
void ComputeLineIndents();

void RunFrom(int startLine, RunInitiator initiator);
void A_StepExecute(RunInitiator initiator);
void A_StartExecute(RunInitiator initiator = RunInitiator::Start);
void A_StepOverExecute();
void A_Continue_runExecute(RunInitiator initiator = RunInitiator::Continue);
void A_PauseExecute();
void ErrorStop();

// The texts of the seven status-bar panels, and their display through the host.
QString StatusPanelText(int panel);
void A_StatusBarFillingExecute();

// The trimmed line begins with "stop" (any case).
bool LineBeginsWithStop(const QString& line);
// The line is "stop" (any case) once its comment is removed and it is trimmed.
bool IsStopLine(const QString& line);
