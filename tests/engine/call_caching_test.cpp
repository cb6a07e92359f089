// What script-function calls keep between calls (definition lines, parameter words, names
// generations, the expanded script) never outlives the script or the names it was taken from.
#include "engine/message_numbers.h"
#include "script_runner.h"

using namespace Qt::Literals::StringLiterals;

namespace {

using CallCaching = ScriptTest;

Tvariable Local(const QString& name, int level) {
  Tvariable v;
  v.VarName = name;
  v.function_level = level;
  return v;
}

}  // namespace

TEST_F(CallCaching, EditedScriptIsReadAnewBetweenRuns) {
  const QStringList first = {u"x = F(2)"_s, u"stop"_s, u"function F(_a)"_s, u"  return _a * 10"_s};
  EXPECT_EQ(Run(first), QString());
  EXPECT_EQ(Value(u"x"_s), u"20"_s);

  // The body changed.
  EXPECT_EQ(Run({u"x = F(2)"_s, u"stop"_s, u"function F(_a)"_s, u"  return _a + 1"_s}), QString());
  EXPECT_EQ(Value(u"x"_s), u"3"_s);

  // The definition moved to another line and takes two parameters now.
  EXPECT_EQ(Run({u"x = F(2, 5)"_s, u"stop"_s, u"# moved"_s, u""_s, u"function F(_a, _b)"_s,
                 u"  return _a - _b"_s}),
            QString());
  EXPECT_EQ(Value(u"x"_s), u"-3"_s);

  // The same lines edited in place, without loading.
  Load(first);
  Engine().ScriptLines[3] = u"  return _a * 100"_s;
  A_StartExecute(RunInitiator::Start);
  EXPECT_EQ(Value(u"x"_s), u"200"_s);
}

TEST_F(CallCaching, FunctionAddedAfterItWasMissing) {
  // A header on the last line has no body: the call does not find it.
  EXPECT_EQ(Run({u"x = G(1)"_s, u"stop"_s, u"function G(_a)"_s}),
            ErrorAt(0, msg::kScriptFunctionNotFound, {u"g"_s}));
  EXPECT_EQ(Run({u"x = G(1)"_s, u"stop"_s, u"function G(_a)"_s, u"  return F(_a) + 7"_s,
                 u"function F(_a)"_s, u"  return _a"_s}),
            QString());
  EXPECT_EQ(Value(u"x"_s), u"8"_s);
}

TEST_F(CallCaching, RepeatedCallsSeeTheirOwnLocals) {
  // The line "try _v = _t" reads _t as a variable only in the calls that created it; the calls
  // alternate, from a loop and recursively, so a word kept from the other kind of call would
  // give a wrong sum.
  EXPECT_EQ(Run({u"Error = 0"_s, u"s = 0"_s, u"FOR i = 1,6"_s, u"  s = s + F(i % 2) + Deep(3)"_s, u"stop"_s,
                 u"function F(_n)"_s, u"  _v = 0"_s, u"  IF _n = 1"_s, u"    _t = 10"_s,
                 u"  try _v = _t"_s, u"  return _v"_s, u"function Deep(_d)"_s,
                 u"  IF _d = 0"_s, u"    return F(1)"_s, u"  return Deep(_d - 1) + F(0)"_s}),
            QString());
  EXPECT_EQ(Value(u"s"_s), u"90"_s);  // 3 x 10 from F(i % 2), 6 x 10 from Deep
  EXPECT_EQ(Engine().FunctionLevel, 0);
}

TEST_F(CallCaching, ParameterErrorsRepeatOnEveryCall) {
  // The first call binds; the header's words are then kept, and each later call is checked
  // against its own arguments all the same.
  EXPECT_EQ(Run({u"x = F(1, 2)"_s, u"y = F(3)"_s, u"stop"_s, u"function F(_p, _q)"_s,
                 u"  return _p + _q"_s}),
            ErrorAt(1, msg::kParameterCountMismatch));
  EXPECT_EQ(Value(u"x"_s), u"3"_s);
  EXPECT_EQ(Run({u"q = 5"_s, u"x = F(1)"_s, u"stop"_s, u"function F(q)"_s, u"  return q"_s}),
            ErrorAt(1, msg::kFormalWithoutUnderscore, {u"q"_s}));
}

TEST_F(CallCaching, NamesGenerationFollowsVariableChanges) {
  SetVariable(u"g"_s, u"1"_s, wkFloat);
  const auto start = Engine().NamesGeneration;

  AppendVariable(Local(u"_a"_s, 1));
  const auto withA = Engine().NamesGeneration;
  EXPECT_NE(withA, start);
  RemoveVariable(1);
  EXPECT_EQ(Engine().NamesGeneration, start);  // the very state before: its generation

  AppendVariable(Local(u"_a"_s, 1));
  EXPECT_EQ(Engine().NamesGeneration, withA);  // the same change again
  RemoveVariable(1);
  AppendVariable(Local(u"_b"_s, 1));
  EXPECT_NE(Engine().NamesGeneration, withA);  // another name
  RemoveVariable(1);
  AppendVariable(Local(u"_a"_s, 2));
  EXPECT_NE(Engine().NamesGeneration, withA);  // another level

  // Removing the first variable leaves another state than removing the last would.
  RemoveVariable(0);
  const auto withoutG = Engine().NamesGeneration;
  EXPECT_NE(withoutG, start);
  EXPECT_NE(withoutG, withA);

  // Other changes always take a generation never seen.
  const auto before = Engine().NamesGeneration;
  NamesChanged();
  EXPECT_NE(Engine().NamesGeneration, before);
  EXPECT_NE(Engine().NamesGeneration, start);
  const auto reset = Engine().NamesGeneration;
  ResetEngine();
  EXPECT_GT(Engine().NamesGeneration, reset);
}

TEST_F(CallCaching, ArgumentWordsFollowTheNamesTheyAreReadWith) {
  // y is unknown on the first pass and a variable from the second on: the argument text
  // "y * 2" must be read anew, not served from the first pass.
  EXPECT_EQ(Run({u"Error = 0"_s, u"r = 0"_s, u"FOR k = 1,3"_s, u"  IF k = 2"_s, u"    y = 5"_s,
                 u"  try r = F(y * 2)"_s, u"stop"_s, u"function F(_a)"_s, u"  return _a + 1"_s}),
            QString());
  EXPECT_EQ(Value(u"r"_s), u"11"_s);

  // A recursion deeper than the states a text keeps: every level still reads its own _n.
  EXPECT_EQ(Run({u"r = D(45) + D(3)"_s, u"stop"_s, u"function D(_n)"_s, u"  IF _n = 0"_s,
                 u"    return 0"_s, u"  return D(_n - 1) + _n"_s}),
            QString());
  EXPECT_EQ(Value(u"r"_s), u"1041"_s);

  // Array elements among the arguments are read at each call.
  EXPECT_EQ(Run({u"array A[3]float"_s, u"s = 0"_s, u"FOR k = 1,3"_s, u"  A[k] = k * k"_s,
                 u"  s = s + F(A[k], k)"_s, u"stop"_s, u"function F(_a, _b)"_s, u"  return _a - _b"_s}),
            QString());
  EXPECT_EQ(Value(u"s"_s), u"8"_s);
}
