// The words of script lines, kept between passes. A line is still read anew on every pass as
// far as anything observable goes: cached words are used only while the line's text, the
// names that classify its words (NamesGeneration) and the function level are unchanged.
#pragma once

#include <QString>

#include "engine/words.h"

// Fills CurrentLineText (comment removed, trimmed, continuations joined) and the line's words.
// Returns false with ErrorText set when the words cannot be read.
bool ReadLineWords(int line, TWordArray& words);

void ClearLineCache();
