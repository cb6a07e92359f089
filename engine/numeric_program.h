// Numeric expressions of a cached line, reduced without words. The first evaluation of an
// expression made only of numbers, truth values, variables and array elements holding them,
// operators and brackets goes the general way with a trace; the trace becomes a program of operations on
// slots that later evaluations replay on plain values, as long as every variable still holds
// the kind it held then (the kinds decide which operations the reduction chooses). Only the
// final value is written as text. Anything else the program cannot reproduce exactly (an
// operand that makes an operation fail) sends the evaluation the general way again.
#pragma once

#include <memory>
#include <vector>

#include "engine/reduction.h"
#include "engine/words.h"

struct NumericProgram;
struct NumericOperand;
struct NumericValue;

class NumericPrograms {
 public:
  NumericPrograms();
  ~NumericPrograms();
  NumericPrograms(const NumericPrograms&) = delete;
  NumericPrograms& operator=(const NumericPrograms&) = delete;

  // Evaluates words from..to of the line they belong to. Returns false when the expression
  // has to be evaluated the general way (and then `Trace` may make a program of it).
  // `evaluate` is the general evaluation of a prepared copy of the words.
  using GeneralEvaluation = void (*)(TWordArray& copy, TWordStatus& result, ReductionTrace* trace);
  bool Run(const TWordArray& words, int from, int to, TWordStatus& result, GeneralEvaluation evaluate) const;
  // How many evaluations a program has made so far (for tests and benchmarks).
  static std::uint64_t RunCount();

  // Evaluates the general way, recording a program when the expression allows one.
  void Evaluate(const TWordArray& words, int from, int to, TWordStatus& result,
                GeneralEvaluation evaluate) const;

 private:
  struct Entry;
  Entry* Find(int from, int to) const;
  // The value of words from..to by their program; with `mayTrace`, an expression without a
  // program yet is evaluated the general way and gets one.
  bool Compute(const TWordArray& words, int from, int to, GeneralEvaluation evaluate, bool mayTrace,
               NumericValue& out) const;
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
