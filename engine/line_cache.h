// The words of script lines, kept between passes. A line is still read anew on every pass as
// far as anything observable goes: cached words are used only while the line's text, the
// names that classify its words (NamesGeneration), the script (ScriptGeneration) and the
// function level are unchanged.
#pragma once

#include <QString>
#include <memory>

#include "engine/local_shared.h"
#include "engine/names_state.h"
#include "engine/numeric_program.h"
#include "engine/words.h"

struct LineWords {
  QString text;  // comment removed, trimmed, continuation lines joined
  TWordArray words;
  NumericPrograms programs;  // of the numeric expressions among the words
};


// Reads the line and returns its words (a blank or comment-only line gives an empty text and
// no words). Returns nullptr with ErrorText set when the words cannot be read. A line read
// anew is put together in CurrentLineText (continuations joined).
LocalShared<const LineWords> ReadLineWords(int line);

// The words kept for the line in a names state, without reading it; nullptr when
// none are kept.
LocalShared<const LineWords> KeptLineWords(int line, const NamesState& state);

void ClearLineCache();
