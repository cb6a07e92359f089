// Expression evaluation: substitution of variables, elements and constants, calls through the
// function units, then reduction by operators in rounds, innermost brackets first.
#pragma once

#include <QString>

#include "engine/words.h"

// Evaluates words 0..lastIndex (the caller's list is not changed). On failure ErrorText is set
// and `result` is unspecified. An empty list gives EmptyWord.
void Evaluate(const TWordArray& words, int lastIndex, TWordStatus& result);
void EvaluateRange(const TWordArray& words, int from, int to, TWordStatus& result);

// The value of words from..to by their numeric program, without writing its text (a truth
// value as 1 or 0 with kind wkBool); false when the words must go to EvaluateRange.
bool ProgramValue(const TWordArray& words, int from, int to, double& number, TWordKind& kind);

// A variable's word that the phases would only substitute: alone, it is the variable's value.
inline bool IsLoneVariable(const TWordStatus& word) {
  return word.var_index >= 1 && word.power == 0 && word.kind != wkUnknownIdentifier;
}

// The number words from..to stand for when they are a variable holding a number or have a
// numeric program that gives one, read without writing a text; false when they must go to
// EvaluateRange.
bool NumberWithoutText(const TWordArray& words, int from, int to, double& number);

// Cuts a call word's text into the function name (given to `name` unless it is nullptr) and
// its evaluated arguments. Returns false when the text is no call (an "=" before the first "(")
// or on error (ErrorText set).
bool SplitCall(const QString& callText, QString* name, TWordArray& args);

// Calls the function of a call word (a completed script-function call of the line's pass gives
// its value again); false when evaluation must end: an error, or a script function halted or
// now being stepped through.
bool PerformCall(TWordKind kind, const QString& callText, TWordStatus& result);

// Squares or cubes a numeric call result written with "²" or "³" after the function name.
void ApplyPower(TWordStatus& value, int power);

// Turns a word into a number value: kind, float_val and the engine's number text.
void SetNumber(TWordStatus& w, double value, TWordKind kind = wkFloat);
void SetBool(TWordStatus& w, bool value);

// Rounds to the nearest integer, halves to even (the engine's rule for every rounding).
double RoundHalfEven(double v);
