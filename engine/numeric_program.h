// Numeric expressions of a cached line, reduced without words. The first evaluation of an
// expression made only of numbers, truth values, variables and array elements holding them,
// calls of numeric functions (NumericFunction) with one such argument or of script functions
// that return numbers, operators and brackets goes the general way with a trace; the trace
// becomes a program of operations on slots that later evaluations replay on plain values, as
// long as every variable still holds the kind it held then (the kinds decide which operations
// the reduction chooses). Only the final value is written as text. Anything else the program
// cannot reproduce exactly (an operand that makes an operation fail) sends the evaluation the
// general way again.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "engine/reduction.h"
#include "engine/words.h"

struct NumericProgram;
struct NumericCall;
struct NumericOperand;
struct NumericFunction;
class NumericPrograms;

// A value a program works on: a number of kind wkInt or wkFloat, or a truth value (wkBool).
struct NumericValue {
  double number;
  bool truth;
  TWordKind kind;
};

// A kept program in a form other code can run on values of its own (compiled functions): its
// operands by where they come from, and its steps.
struct ProgramOperand {
  enum class From : std::uint8_t { Value, Variable, Element, NumericCall, ScriptCall } from;
  std::uint8_t slot;
  std::int32_t varIndex;  // a variable's index when the program was made
  TWordKind kind;         // a variable's, an element's or a call's kind when the program was made
  double number;          // a value's
  bool truth;
  const QString* callText;  // a call's text
  // A numeric call: its function, and its one argument as the call receives it: a literal word
  // (as substitution writes it), a variable, or words first..last of the call's own words.
  enum class Argument : std::uint8_t { Literal, Variable, Expression } argument = Argument::Literal;
  const NumericFunction* function = nullptr;
  const TWordStatus* literal = nullptr;
  std::int32_t argumentVarIndex = 0;
  const TWordArray* argumentWords = nullptr;
  const NumericPrograms* argumentPrograms = nullptr;
  int argumentFirst = 0, argumentLast = 0;
};
struct ProgramParts {
  std::vector<ProgramOperand> operands;
  const std::vector<TracedStep>* steps = nullptr;
  std::uint8_t resultSlot = 0;
};

// Runs traced steps on the operands' values in `slots`; false when an operation fails (the
// general way reports it).
bool RunTracedSteps(const std::vector<TracedStep>& steps, std::uint8_t resultSlot, NumericValue* slots,
                    NumericValue& out);

class NumericPrograms {
 public:
  NumericPrograms();
  ~NumericPrograms();
  NumericPrograms(const NumericPrograms&) = delete;
  NumericPrograms& operator=(const NumericPrograms&) = delete;

  // `evaluate` is the general evaluation of a prepared copy of the words.
  using GeneralEvaluation = void (*)(TWordArray& copy, TWordStatus& result, ReductionTrace* trace);
  // Evaluates words from..to of the list the programs belong to: by the expression's program
  // when it has one that applies, else the general way, recording a program when the
  // expression allows one.
  void Evaluate(const TWordArray& words, int from, int to, TWordStatus& result,
                GeneralEvaluation evaluate) const;
  // The value of words from..to by the expression's program, when it has one that applies,
  // without writing its text (a truth value as 1 or 0 with kind wkBool); false otherwise.
  bool Replayed(const TWordArray& words, int from, int to, GeneralEvaluation evaluate, double& number,
                TWordKind& kind) const;
  // How many evaluations a program has made so far (for tests and benchmarks).
  static std::uint64_t RunCount();
  // The program kept for words from..to, when one has been made; false otherwise.
  bool PartsOf(int from, int to, ProgramParts& parts) const;

 private:
  struct Entry;
  Entry& EntryFor(const TWordArray& words, int from, int to) const;
  // The program's value; false when it does not apply (a kind changed, an operation fails),
  // and for a program that calls script functions (only Evaluate runs those).
  bool Replay(const NumericProgram& program, const TWordArray& words, GeneralEvaluation evaluate,
              NumericValue& out) const;
  enum class Outcome { Value, Declined, Ended };
  // A program that calls script functions: its other operands first, then the calls in
  // order, as the general evaluation substitutes and then calls. Declined leaves the completed
  // calls for the general evaluation to take; Ended when a call ended the evaluation.
  Outcome ReplayCalling(const NumericProgram& program, const TWordArray& words, GeneralEvaluation evaluate,
                        NumericValue& out) const;
  void EvaluateGenerally(Entry& entry, const TWordArray& words, TWordStatus& result,
                         GeneralEvaluation evaluate) const;
  // The value of an element's index expression, by its program or (it reads only values)
  // the general way; false with nothing changed when that would report an error.
  bool IndexValue(const TWordArray& words, int from, int to, GeneralEvaluation evaluate, NumericValue& out) const;
  // The value of an expression by its program alone; false without one that applies.
  bool ProgramValue(const TWordArray& words, int from, int to, GeneralEvaluation evaluate, NumericValue& out) const;
  bool CallValue(const NumericCall& call, GeneralEvaluation evaluate, NumericValue& out) const;
  // The values of the operands other than script-function calls; false when one does not apply.
  bool OperandValues(const NumericProgram& program, const TWordArray& words, GeneralEvaluation evaluate,
                     std::array<NumericValue, 256>& slots) const;
  bool ElementValue(const TWordArray& words, const NumericOperand& element, GeneralEvaluation evaluate,
                    NumericValue& out) const;
  mutable std::vector<std::unique_ptr<Entry>> entries_;
};

// The word list being worked on whose expressions keep programs: the executing line's words,
// or the argument words of a call. Scopes nest; the innermost one counts.
class ProgramWordsScope {
 public:
  ProgramWordsScope(const TWordArray* words, const NumericPrograms* programs);
  ~ProgramWordsScope();
  ProgramWordsScope(const ProgramWordsScope&) = delete;
  ProgramWordsScope& operator=(const ProgramWordsScope&) = delete;

  // The programs of these words, when they are the innermost scope's; else nullptr.
  static const NumericPrograms* ProgramsOf(const TWordArray& words);

 private:
  const TWordArray* outerWords_;
  const NumericPrograms* outerPrograms_;
};
