// Script functions: calls with their parameters, the nested run of the body, RETURN.
#pragma once

#include <QString>

#include "engine/words.h"

// Calls the script function named in `callText` with evaluated `args`. While a run is in
// progress the body runs to its RETURN and `result` receives the value; while stepping, the
// call stops at the first body line (ScriptCallSuspended) and `result` stays empty.
void CallScriptFunction(const QString& callText, const TWordArray& args, TWordStatus& result);

// Creates one formal parameter at the current function level.
void DeclareParameter(const QString& functionName, const QString& parameterName,
                      const TWordStatus& argument, bool isVar);

// RETURN [expression]: marks the call block returned, stores the value, removes the locals.
void ExecuteReturn(const TWordArray& words);

// Pushes an empty block; false (with the error set) when the stack is full.
bool PushBlock();
// Resets and removes the top block.
void PopBlock();
