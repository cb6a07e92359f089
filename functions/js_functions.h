// The JavaScript-mapped functions: each call becomes JavaScript text for the shared engine.
#pragma once

#include <QString>

#include "engine/words.h"

// Builds the JavaScript text of a call of the JavaScript table's function `name` (any case, or
// its synonym) with the evaluated arguments.
QString JavaScriptCallText(const QString& name, const TWordArray& args);
// The dispatcher of the JavaScript table: the Math functions natively where the result is the
// engine's (js_math.h), everything else through the JavaScript engine.
void CallJavaScriptFunction(const QString& name, const TWordArray& args, TWordStatus& result);
// A call of the JavaScript table evaluated by the JavaScript engine.
void EvaluateInJavaScript(const QString& name, const TWordArray& args, TWordStatus& result);
// A script text as a JavaScript string literal in double quotes.
QString JavaScriptStringLiteral(const QString& text);

class FunctionUnit;
// The unit of the JavaScript-mapped functions, for the unit list; a long evaluation is broken
// off by the Pause key.
FunctionUnit& JavaScriptUnit();
