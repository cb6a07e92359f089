// The reduction of substituted words by operators (the rounds of Evaluate).
#pragma once

#include "engine/words.h"

// Reduces the words to one value in rounds, innermost bracket group first. On failure
// ErrorText is set (messages 47, 49, 83).
void ReduceWords(TWordArray& w, TWordStatus& result);
