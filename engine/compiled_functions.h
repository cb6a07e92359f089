// Script functions compiled for fast runs. A function whose body is made of IF/ELSE, RETURN and
// assignments to its own locals, over numbers, truth values, its parameters and locals, calls of
// unit NumericFunctions and of such script functions (itself included), is compiled from the
// words and numeric programs its lines were kept with, once every line has run. While a run goes
// fast (Start, no stepping), a call of it runs the compiled body: no blocks, variables or records
// are made for the calls inside it, and only the final value is written as text. Nothing of that
// can be seen from outside: the call leaves the state as the general call would. Whenever
// something could tell (a breakpoint on a line of it, Pause, the run stopping, an error, a value
// of another kind, the block stack filling), the compiled run is dropped, having changed nothing,
// and the call goes the general way from its start.
#pragma once

#include <QString>

#include "engine/local_shared.h"
#include "engine/words.h"

// What is known of one script function's compiled form while the script text stays the same.
struct FunctionCompilation;

// The compilation of the script function with the lower-case name, kept for the script text.
LocalShared<FunctionCompilation> CompilationOf(const QString& lowerName);

// Called by a general call once its parameters are declared, before its body runs: compiles the
// function from the words its body lines were read into in this names state, when all of them
// have been read and have their programs, and the body is one that compiles.
void TryToCompile(FunctionCompilation& compilation, int headerLine, int bodyIndent, const TWordArray& formals);

// Runs the call compiled when the function has compiled and the run goes fast: true with the
// result the general call would give, and the state it would leave; false, with nothing changed,
// when the call must go the general way.
bool CallCompiled(FunctionCompilation& compilation, const TWordArray& args, TWordStatus& result);

// How many calls have run compiled so far (for tests and benchmarks).
std::uint64_t CompiledCallCount();
