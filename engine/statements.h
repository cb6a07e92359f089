// One step of execution: the line at CurrentLine is read, executed, and CurrentLine moves to
// the next line by the block structure.
#pragma once

#include <QStringList>

#include "engine/words.h"

// Executes the line at CurrentLine (a new run begins at line 0).
void ExecuteStep();
// The statement part of a step; `kind` receives the kind of the line's first word.
void ExecuteLine(TWordKind& kind);

// Control-flow statements (control_flow.cpp).
void ExecuteFor(const TWordArray& words);
void ExecuteRepeat(const TWordArray& words);
void ExecuteIf(const TWordArray& words);
void ExecuteBreak(const TWordArray& words);
void ExecuteContinue(const TWordArray& words);

// Finds the next line after a completed statement. `jumping` is set for CONTINUE and for a
// CONTINUEIF whose condition held; `isContinue` for the plain CONTINUE.
void AdvanceLine(bool jumping = false, bool isContinue = false);

// Re-creates the command-line array (cmdLineParams) from the parameters given to the run.
void DefineCommandLineArray();
void SetCommandLineParameters(const QStringList& parameters);
