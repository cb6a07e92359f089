// Script functions: calls with their parameters, the nested run of the body, RETURN.
#pragma once

#include <QString>

#include "engine/words.h"

struct Tvariable;

// Calls the script function named in `callText` with evaluated `args`. While a run is in
// progress the body runs to its RETURN and `result` receives the value; while stepping, the
// call stops at the first body line (ScriptCallSuspended) and `result` stays empty.
void CallScriptFunction(const QString& callText, const TWordArray& args, TWordStatus& result);

// The lower-case name of the script function a call text calls (the text before its bracket).
QString CalledFunctionName(const QString& callText);

// Creates one formal parameter at the current function level; `variableExists` tells that a
// variable of its name is visible there.
void DeclareParameter(const QString& functionName, const QString& parameterName,
                      const TWordStatus& argument, bool isVar, bool variableExists);
// Gives a parameter the value of its (number, text or truth value) argument, as
// DeclareParameter does.
void KeepArgument(Tvariable& parameter, const TWordStatus& argument);

// RETURN [expression]: marks the call block returned, stores the value, removes the locals.
void ExecuteReturn(const TWordArray& words);

// ---- Calls a line completed before it had to wait ----------------------------------------------
// A line whose script-function call is being stepped through (or halted at a breakpoint) runs
// again from its start when the call returns. Every call it completed on the way keeps its value
// for that pass, so that no call runs twice and the line can finish.

// A new pass of the current line at the current function level begins.
void BeginLineCalls();
// The pass ended: the line finished (or failed) unless a call of it is waiting.
void EndLineCalls(int level);
// Forgets every waiting line (a run starts from line 0).
void ForgetLineCalls();
// The value of the call `expression` when this pass already has it; false when it must run.
bool TakeCompletedCall(const QString& expression, TWordStatus& result);
// Keeps the value of a call the current pass completed.
void RecordCompletedCall(const QString& expression, const TWordStatus& value);
// How far the current pass has taken its completed calls; going back there makes the calls
// after it give their kept values again (an evaluation that starts over after its calls).
std::size_t CompletedCallsTaken();
void TakeCompletedCallsFrom(std::size_t taken);

// Pushes an empty block; false (with the error set) when the stack is full.
bool PushBlock();
// Resets and removes the top block.
void PopBlock();
