// The name and argument words of call texts ("Name(arguments)"), kept between evaluations.
// Reading the argument words depends on the names that classify them, so a text keeps its
// words for a few names states (generation, script, function level), like the line cache.
#pragma once

#include <QString>
#include <memory>

#include "engine/local_shared.h"
#include "engine/names_state.h"
#include "engine/numeric_program.h"
#include "engine/words.h"

struct CallWords {
  enum Shape { NameOnly, NoCall, NoArguments, WithArguments };
  Shape shape = NameOnly;
  QString name;
  TWordArray words;          // the argument words, commas included (shape WithArguments)
  bool hasElements = false;  // an array name with "[" among the words
  bool takesNames = false;   // the function reads its arguments as names (TakesNames)
  bool callsScriptFunction = false;  // a script-function call among the words
  NumericPrograms programs;  // of the numeric arguments
};

// The functions whose arguments are names, not values.
bool TakesNames(QStringView functionName);

// The call text read into its parts. Returns nullptr with ErrorText set when the arguments
// cannot be read (such texts are not kept).
LocalShared<const CallWords> ReadCallWords(const QString& callText);
// The words kept for the call text in a names state, without reading it; nullptr
// when none are kept.
LocalShared<const CallWords> KeptCallWords(const QString& callText, const NamesState& state);
