// The engine's process-wide state: variable table, array table, block stack and the state of
// one step. There is exactly one instance (Engine()); ResetEngine() restores a fresh one.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/words.h"

// ---- Variables -------------------------------------------------------------------------------

struct Tvariable {
  QString VarName;
  TWordKind kind = wkNone;
  std::int32_t function_level = 0;
  std::int32_t parameter_var_index = 0;
  bool is_parameter_variable = false;

  // The value is a text. A number assigned with SetNumber has the text NumberText gives it,
  // written out only when the text is read (loop counters and sums are read as numbers far more
  // often than as texts); until then the variable holds the number that text reads as.
  const QString& Text() const;
  void SetText(QString text);
  void SetNumber(double value);
  // The number the text reads as (0 when it reads as none). The reading is kept with the text
  // it was made from (shared, so any change of the text leaves it behind): a text read again
  // is not parsed again.
  double Number() const;
  // The number the text reads as; false when it reads as none.
  bool ReadNumber(double& value) const;
  // The number's text is not written yet: it is NumberText(Number()), which reads as Number().
  bool TextUnwritten() const { return numberPending_; }

 private:
  mutable QString text_;
  mutable bool numberPending_ = false;  // text_ is still to be written from pendingNumber_
  double pendingNumber_ = 0;
  mutable QString readText_;
  mutable double readNumber_ = 0;
};

// ---- Arrays ----------------------------------------------------------------------------------

inline constexpr int kMaxArrays = 525;         // entries the table can hold
inline constexpr int kMaxDeclaredArrays = 25;  // arrays an ARRAY statement may bring the count to
inline constexpr int kMaxArrayDimensions = 4;

// The element block of an array, held in a container of the element type. Only the container
// that matches the array's data_type is used. Shared so that a by-reference parameter entry
// can alias its caller's elements.
struct TArrayElements {
  std::vector<double> floats;
  std::vector<std::int64_t> ints;
  std::vector<QString> strings;
};

struct t_arr_specification {
  QString name;
  std::array<std::int32_t, kMaxArrayDimensions> dim{};    // dim[0] is dimension 1
  std::array<std::int32_t, kMaxArrayDimensions> first{};  // declared lower bound minus 1
  std::int32_t count = 0;
  TWordKind data_type = wkNone;
  std::shared_ptr<TArrayElements> P;
  std::int32_t function_level = 0;
  bool is_parameter_variable = false;
};

// ---- Block stack -----------------------------------------------------------------------------

enum TProcessingType : std::uint8_t {
  pt_None = 0,
  pt_For = 1,
  pt_Repeat = 2,
  pt_If = 3,
  pt_ElseIf = 4,
  pt_ScriptFunction = 5,
  pt_ReturnScriptFunction = 6,
};

struct TBlockLevel {
  std::int32_t nLine = 0;
  std::int32_t nELSE = 0;
  std::int32_t indent = 0;
  std::int32_t LoopIndex = 0;
  std::int32_t LoopLimit = 0;
  std::int32_t LoopIncrement = 0;
  std::int32_t nBodyFunctionLine = 0;
  std::int32_t FunctionLevel = 0;
  TProcessingType pt = pt_None;
  TWordStatus WordStatus;
  QString FunctionExpression;
};

inline const TBlockLevel EmptyBlock{};

// Makes the block equal to EmptyBlock. A fresh block is moved in: copying EmptyBlock's texts
// costs more, and blocks are pushed and popped for every call and every IF.
inline void ClearBlock(TBlockLevel& b) { b = TBlockLevel{}; }

inline constexpr int kMaxBlockDepth = 100;  // Blocks has entries 0..100
inline constexpr int kMaxScriptLines = 1000;
inline constexpr int kMaxEvaluationDepth = 500;  // evaluations nested in one another
inline constexpr std::int64_t kMaxArrayElements = 100000001;  // elements of one array

// ---- Run modes -------------------------------------------------------------------------------

enum TRunMode : std::uint8_t {
  rmIdle = 0,
  rmRunning = 1,     // after Start
  rmContinuing = 2,  // after Continue or Step over
  rmSingleStep = 3,
};

// ---- The state -------------------------------------------------------------------------------

struct EngineState {
  // Tables
  std::vector<Tvariable> Variables;
  std::vector<std::int32_t> VariableOrder;
  // How many of the variables belong to each function level (kept by AppendVariable,
  // RemoveVariable and ClearVariables): a returning call stops looking for its locals once it
  // has found them all.
  std::vector<std::int32_t> VariablesOfLevel;
  std::int32_t LastAssignedVariable = 0;

  std::vector<t_arr_specification> Arrays;  // used entries only; word index i is Arrays[i - 1]
  int ArrayCount() const { return int(Arrays.size()); }
  t_arr_specification& Array(int index1) { return Arrays[std::size_t(index1 - 1)]; }

  std::array<TBlockLevel, kMaxBlockDepth + 1> Blocks{};
  std::int32_t BlockDepth = 0;
  TBlockLevel ReturnBlock;

  // Script text
  QString ScriptFileName;  // empty for a new script
  QStringList ScriptLines;
  std::vector<std::int32_t> LineIndent;  // one entry per script line
  QStringList ScriptFunctionNames;       // upper case
  QStringList ScriptFunctionHeaders;

  // State of a step
  std::int32_t CurrentLine = 0;
  QString CurrentLineText;  // where a line read anew is put together (line_cache.cpp)
  std::int32_t FunctionLevel = 0;
  std::uint8_t RunMode = rmIdle;
  QString ErrorText;
  QString TryErrorText;
  bool TryFlag = false;
  std::int32_t StepCount = 0;
  bool StepWarning = false;
  std::int32_t AssignTarget = 0;
  QString ChangedArrayName;
  std::int32_t ChangedArrayLevel = -1;
  std::int32_t ChangedArrayIndex = -1;
  QString CallExpression;
  QString CalledScriptFunction;
  std::int32_t TempArrayCounter = 1000;
  std::int32_t ResumeFunctionLevel = 0;
  // Set when a script-function call inside the current line stopped at the function's first
  // body line (single-stepping or paused): the rest of the line waits for its return.
  bool ScriptCallSuspended = false;
  // 0 none, 1 a button's single command line runs, 2 a button's script-function call runs.
  std::int32_t InterfaceCallMode = 0;
  // The values of the script-function calls a line has completed, one record per function
  // level. A line that waits for a stepped or halted call runs again from its start when the
  // call returns; the calls it completed before take their values from here instead of running
  // a second time. Emptied when the line finishes.
  struct CompletedCalls {
    std::int32_t line = -1;
    QStringList expressions;
    std::vector<TWordStatus> values;
    std::size_t next = 0;  // the call of the current pass that is due next
  };
  std::vector<CompletedCalls> CompletedCallsByLevel;
  // Evaluations nested inside one another (calls in arguments, bracket groups), bounded so that
  // no line can exhaust the stack.
  std::int32_t EvaluationDepth = 0;

  // Changes whenever a name may classify differently: variables or arrays created, deleted or
  // renamed, script functions listed, constants or units registered. One generation stands for
  // one state of the names (names_generation.cpp). Cached line words are valid only for the
  // generation (and function level) they were read in.
  std::uint64_t NamesGeneration = 1;
  // Bumped whenever ScriptLines or LineIndent change.
  std::uint64_t ScriptGeneration = 1;

  // Shared byte buffer of the conversions and the byte-file functions
  QByteArray ByteBuffer;
};

// The one engine instance.
extern EngineState g_engine;
inline EngineState& Engine() {
  return g_engine;
}
// Names generations (names_generation.cpp). Any change of the names takes a fresh generation;
// appending and removing variables follow remembered changes, so that equal states met again
// (a call's locals appended and removed) keep their generation.
std::uint64_t FreshNamesGeneration();
void NamesChanged();
// After Variables received the variable at `index` (its last entry).
void VariableAppendedToNames(const QString& name, int level, int index);
// After the variable at `index` was removed from the state of generation `before`.
void VariableRemovedFromNames(std::uint64_t before, int index);
// The generation that appending the variable to the state of generation `from` has led to
// before; 0 when that change is not remembered.
std::uint64_t RememberedAppend(std::uint64_t from, const QString& name, int level);
// An error of the current step is pending: every stage returns at once.
inline bool ErrorPending() {
  return !Engine().ErrorText.isEmpty();
}
// A run is in progress (after Start, or after Continue or Step over).
inline bool RunInProgress() {
  return Engine().RunMode == rmRunning || Engine().RunMode == rmContinuing;
}
// Whoever changes ScriptLines calls this (PrepareScript and ComputeLineIndents do): caches
// of what the script holds are valid for one generation.
inline void ScriptChanged() {
  ++Engine().ScriptGeneration;
}
// The indent of a line (-1 for blank, comment-only and continuation lines, and outside).
inline int LineIndentAt(int line) {
  const auto& indents = Engine().LineIndent;
  return (line >= 0 && std::size_t(line) < indents.size()) ? indents[std::size_t(line)] : -1;
}
// A copy of the script lines for a cache: a list of its own, so that ScriptLines is never copied
// on its account when it is written, sharing the text of each line.
QStringList KeptScript();
// The kept copy holds the current script lines (each line's text compared by its data first).
bool IsSameScript(const QStringList& kept);
// Restores the whole engine to its start-up state (tables empty, constants registered anew).
void ResetEngine();

// ---- Variable table (variables.cpp) ----------------------------------------------------------

// 0-based index or -1: first among the current level's entries, then among the globals.
int FindVariable(QStringView name);
// Stores a value, creating the variable when needed; level -1 means the current level.
// Returns the 0-based index, or -1 with ErrorText set (messages 125, 131).
int SetVariable(const QString& name, const QString& value, TWordKind kind, int level = -1);
QString GetVariableText(QStringView name);
// Appends a variable without the underscore checks (parameters); returns its 0-based index.
int AppendVariable(Tvariable v);
// Removes the variable at a 0-based index; later entries move down.
void RemoveVariable(int index);
void ClearVariables();
bool IsLocalName(QStringView name);

// ---- Array table (array_table.cpp) -----------------------------------------------------------

int FindArray(QStringView name);
int FindArrayAtLevel(QStringView name, int level);
void DeleteArray(int index1);
void SortArrays();
void ClearArrays();
// A temporary array carries a function result: its name begins with "tarr" (any case) and is
// longer than 16 characters.
bool IsTemporaryArrayName(QStringView name);
// "tARR" + the next TempArrayCounter + the time as hhmmsszzz: the name of a result array.
QString NewTemporaryArrayName();
