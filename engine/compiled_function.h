// What a compiled script function is made of: shared by the compiler (function_compiler.cpp)
// and the runner (compiled_calls.cpp). See compiled_functions.h.
#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "engine/compiled_functions.h"
#include "engine/function_units.h"
#include "engine/local_shared.h"
#include "engine/numeric_program.h"
#include "engine/reduction.h"
#include "engine/words.h"

namespace compiled {

constexpr int kMaxParameters = 8;
constexpr int kMaxVariables = 16;   // parameters and locals of one call
constexpr int kMaxSlots = 64;       // words of one compiled expression
constexpr int kMaxAttempts = 256;   // general calls that may find a line not read yet
constexpr int kMaxStatements = 64;  // lines of a compiled body

// A value an expression reads: a number written in the line, a variable of the running call
// (a parameter or a local), the result of a call of a compiled function, or of a unit's
// NumericFunction.
struct Operand {
  enum class From : std::uint8_t { Literal, Variable, Call, NumericCall } from;
  std::uint8_t slot;
  std::uint8_t variable;
  NumericValue literal;  // a literal's value; for the others, the kind the program was made for
  int call;              // index into the function's calls or numeric calls
};

// A numeric program over operands, a lone variable, a number alone, or a call alone.
struct Expression {
  enum class Shape : std::uint8_t { Program, Variable, Literal, Call } shape = Shape::Program;
  std::uint8_t variable = 0;
  NumericValue literal{};
  TWordStatus word;  // a lone variable or number as the line holds it
  int call = -1;
  std::vector<Operand> operands;  // all but script calls first, then those in their order
  std::vector<TracedStep> steps;
  std::uint8_t resultSlot = 0;
};

struct Call {
  QString text;        // the call word's text
  QString calledName;  // the text before its bracket, as a general call keeps it
  FunctionCompilation* callee = nullptr;
  LocalShared<FunctionCompilation> keptCallee;  // null for a call of the function itself
  std::vector<Expression> arguments;
};

// One line of the body. An IF's block is the statements after it up to thenEnd, its ELSE
// block (if any) the statements from there up to elseEnd.
struct Statement {
  enum class Kind : std::uint8_t { If, Return, Assign } kind;
  int line = 0;
  int indent = 0;
  Expression value;  // the condition, the value returned or the value assigned
  int thenEnd = 0, elseEnd = 0;
  bool hasElse = false;
  std::uint8_t target = 0;  // the variable assigned
  bool creates = false;     // the assignment appends the variable
};

// A call of a unit's NumericFunction with its one argument (a literal as its word).
struct NumericCallSite {
  QString text;
  NumericFunction function;
  Expression argument;
};

struct CompiledFunction {
  int parameters = 0;
  std::vector<NumericCallSite> numericCalls;
  std::vector<int> leadingBlankLines;  // a call steps through them before the first statement
  std::vector<Statement> body;
  std::vector<Call> calls;
};

}  // namespace compiled

struct FunctionCompilation {
  enum class State : std::uint8_t { Pending, Compiled, Never } state = State::Pending;
  QString lowerName;
  int attempts = 0;
  std::unique_ptr<compiled::CompiledFunction> function;
};
