// The reduction of substituted words by operators (the rounds of Evaluate).
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/words.h"

// What one reduction did to number and truth values, by the `slot` of the words involved
// (the result takes the left operand's slot). Recorded so that a numeric expression can be
// reduced again without words (see numeric_program.h).
enum class TracedOperation : std::uint8_t {
  Arithmetic, Bitwise, KindsDiffer, CompareNumbers, Logic, Negate, Not,
  Untraceable,  // texts: not replayed
};

struct TracedStep {
  TracedOperation operation;
  TOperator op;
  std::uint8_t left, right;  // slots; a sign or NOT uses `left` only
};

struct ReductionTrace {
  TWordArray start;  // the words as the reduction received them
  std::vector<TracedStep> steps;
  bool traceable = true;
};

// Reduces the words to one value in rounds, innermost bracket group first. On failure
// ErrorText is set (messages 47, 49, 83). With a trace, the value operations are recorded.
void ReduceWords(TWordArray& w, TWordStatus& result, ReductionTrace* trace = nullptr);

// The operations on plain numbers that the reduction applies.
double ArithmeticValue(double a, TOperator op, double b);
// An arithmetic result is whole when both operands are, except through division.
inline TWordKind ArithmeticKind(TWordKind a, TWordKind b, TOperator op) {
  return a == wkInt && b == wkInt && op != opDivide ? wkInt : wkFloat;
}
// A multiplication, division or remainder without a finite result is an error.
inline bool ArithmeticFailed(double value, TOperator op) {
  return !std::isfinite(value) && (op == opMultiply || op == opDivide || op == opRemainder);
}
// False when an operand is no whole non-negative number (message 229's case).
bool BitwiseValue(double a, TOperator op, double b, double& result);
bool CompareNumberValues(double a, TOperator op, double b);
