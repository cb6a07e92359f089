// Cutting text into classified words.
#pragma once

#include <QString>

#include "engine/words.h"

// Reads one word of `text` from the 1-based `position`, advancing it past the word. Strict
// mode (script lines, argument and value lists) requires call words to carry their bracketed
// arguments and reports stray characters; lenient mode (command output) does neither.
// Errors go to RaiseScriptError. At the end of the text the word stays EmptyWord.
void ReadWord(const QString& text, int& position, TWordStatus& word, bool strict);

// Classifies a name: literal, operator word, keyword, variable, constant, array, function
// of a unit, or unknown identifier. Throws ScriptException for a constant whose value text
// does not read as a number.
void ClassifyName(const QString& name, TWordStatus& word);

// Cuts a whole text into words (strict mode) and rewrites the power symbols into pow(...)
// calls. Returns the last index (-1 for an empty text); stops at the first error.
int SplitWords(const QString& text, TWordArray& words);
int SplitWords(const QString& text, TLongWordArray& words);

// Replaces every "²"/"³" and then every "√"/"∛"/"∜" with its operand by one pow(...) call word.
void RewritePowerSymbols(TWordArray& words);
