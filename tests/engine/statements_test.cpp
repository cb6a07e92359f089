// Statements and control flow, run through the engine as Start does.
#include "engine/statements.h"
#include "script_runner.h"
#include "test_units.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QStringList Lines(std::initializer_list<const char16_t*> texts) {
  QStringList lines;
  for (const char16_t* t : texts) lines << QString::fromUtf16(t);
  return lines;
}

// The error box of a message on a line, with its one text argument when there is one.
QString ExpectedError(int line, int message, const char16_t* arg) {
  return arg ? ScriptTest::ErrorAt(line, message, {QString::fromUtf16(arg)}) : ScriptTest::ErrorAt(line, message);
}

}  // namespace

TEST_F(ScriptTest, LoopsConditionsAndAssignments) {
  EXPECT_EQ(Run({u"x = 0"_s, u"FOR i = 1,5"_s, u"  x = x + i"_s, u"IF x = 15"_s, u"  ok = TRUE"_s}),
            QString());
  EXPECT_EQ(Value(u"x"_s), u"15"_s);
  EXPECT_EQ(Value(u"i"_s), u"5"_s);
  EXPECT_EQ(Cell(u"ok"_s), u"<true>"_s);
}

TEST_F(ScriptTest, ForRunsItsBodyForEachValueInRange) {
  const struct {
    const char16_t* header;
    const char16_t* trace;  // the loop values as digits, in order
    const char16_t* last;   // the loop variable afterwards
  } cases[] = {
      {u"FOR i = 1,5", u"12345", u"5"},
      {u"FOR i = 4,8,2", u"468", u"8"},
      {u"FOR i = 5,1", u"0", u"5"},
      {u"FOR i = 5,1,-1", u"54321", u"1"},
      {u"FOR i = 1,4,2", u"13", u"3"},
      {u"FOR i = 1, 2.5", u"12", u"2"},
      {u"FOR i = 2 - 1, 1 + 2", u"123", u"3"},
      {u"FOR i = 3,3", u"3", u"3"},
  };
  for (const auto& c : cases) {
    const QString header = QString::fromUtf16(c.header);
    host.errors.clear();
    EXPECT_EQ(Run({u"t = 0"_s, header, u"  t = t * 10 + i"_s, u"after = t"_s}), QString())
        << header.toStdString();
    EXPECT_EQ(Value(u"t"_s), QString::fromUtf16(c.trace)) << header.toStdString();
    EXPECT_EQ(Value(u"i"_s), QString::fromUtf16(c.last)) << header.toStdString();
    EXPECT_EQ(Value(u"after"_s), QString::fromUtf16(c.trace)) << header.toStdString();
    EXPECT_EQ(Engine().BlockDepth, 0) << header.toStdString();
  }

  // nested loops with their own variables
  EXPECT_EQ(Run(Lines({u"n = 0", u"FOR i = 1,3", u"  FOR j = 1,4", u"    n = n + 1", u"m = n"})),
            QString());
  EXPECT_EQ(Value(u"m"_s), u"12"_s);
}

TEST_F(ScriptTest, ForErrors) {
  const struct {
    std::initializer_list<const char16_t*> lines;
    int line;
    int message;
    const char16_t* arg;  // nullptr: no argument
  } cases[] = {
      {{u"FOR i = 1,10", u"  i = 20", u"x = 1"}, 1, 68, u"20"},
      {{u"FOR i = 1,3", u"  FOR i = 1,2", u"    x = 1"}, 1, 61, u"i"},
      {{u"ARRAY K[1] INT = (1)", u"n = K[1]", u"FOR i = n,3", u"  x = 1"}, 2, 57, nullptr},
      {{u"ARRAY K[1] INT = (1)", u"FOR i = K[1],3", u"  x = 1"}, 1, 57, nullptr},
      {{u"FOR i = 'a',3", u"  x = 1"}, 0, 57, nullptr},
      {{u"FOR i 1,5", u"  x = 1"}, 0, 56, nullptr},
      {{u"FOR i = 1", u"  x = 1"}, 0, 58, nullptr},
      {{u"FOR i = 1, TRUE", u"  x = 1"}, 0, 59, nullptr},
      {{u"FOR i = 1, 5, 'x'", u"  x = 1"}, 0, 60, nullptr},
      {{u"FOR 5 = 1,2", u"  x = 1"}, 0, 55, nullptr},
  };
  for (const auto& c : cases) {
    const QStringList lines = Lines(c.lines);
    host.errors.clear();
    EXPECT_EQ(Run(lines), ExpectedError(c.line, c.message, c.arg)) << lines.join(u" / "_s).toStdString();
    EXPECT_EQ(Engine().CurrentLine, c.line) << lines.join(u" / "_s).toStdString();
    EXPECT_EQ(Value(u"x"_s), QString()) << lines.join(u" / "_s).toStdString();
  }
}

TEST_F(ScriptTest, RepeatBreakAndContinue) {
  // BREAKIF ends the loop; the lines after it run
  EXPECT_EQ(Run(Lines({u"n = 0", u"REPEAT", u"  n = n + 1", u"  BREAKIF n = 3", u"  last = n",
                       u"m = n"})),
            QString());
  EXPECT_EQ(Value(u"m"_s), u"3"_s);
  EXPECT_EQ(Value(u"last"_s), u"2"_s);

  // BREAK inside an IF leaves the loop and the IF
  EXPECT_EQ(Run(Lines({u"n = 0", u"REPEAT", u"  n = n + 1", u"  IF n >= 4", u"    BREAK",
                       u"  x = n", u"done = n"})),
            QString());
  EXPECT_EQ(Value(u"x"_s), u"3"_s);
  EXPECT_EQ(Value(u"done"_s), u"4"_s);
  EXPECT_EQ(Engine().BlockDepth, 0);

  // BREAK in a FOR keeps the current value of the loop variable
  EXPECT_EQ(Run(Lines({u"FOR i = 1,10", u"  IF i = 3", u"    BREAK", u"done = i"})), QString());
  EXPECT_EQ(Value(u"done"_s), u"3"_s);

  // BREAK ends only the innermost loop
  EXPECT_EQ(Run(Lines({u"n = 0", u"FOR i = 1,3", u"  FOR j = 1,5", u"    BREAKIF j = 2",
                       u"    n = n + 1", u"m = n"})),
            QString());
  EXPECT_EQ(Value(u"m"_s), u"3"_s);

  // CONTINUE inside an IF, and inside an ELSE
  EXPECT_EQ(Run(Lines({u"s = 0", u"FOR i = 1,5", u"  IF i = 3", u"    CONTINUE", u"  s = s + i"})),
            QString());
  EXPECT_EQ(Value(u"s"_s), u"12"_s);
  EXPECT_EQ(Value(u"i"_s), u"5"_s);
  EXPECT_EQ(Run(Lines({u"s = 0", u"c = 0", u"FOR i = 1,4", u"  IF i % 2 = 0", u"    s = s + i",
                       u"  ELSE", u"    CONTINUE", u"  c = c + 1"})),
            QString());
  EXPECT_EQ(Value(u"s"_s), u"6"_s);
  EXPECT_EQ(Value(u"c"_s), u"2"_s);

  // CONTINUEIF in a FOR and in a REPEAT
  EXPECT_EQ(Run(Lines({u"s = 0", u"FOR i = 1,5", u"  CONTINUEIF i = 2", u"  s = s + i"})),
            QString());
  EXPECT_EQ(Value(u"s"_s), u"13"_s);
  EXPECT_EQ(Run(Lines({u"n = 0", u"s = 0", u"REPEAT", u"  n = n + 1", u"  BREAKIF n > 5",
                       u"  CONTINUEIF n % 2 = 0", u"  s = s + n", u"m = s"})),
            QString());
  EXPECT_EQ(Value(u"m"_s), u"9"_s);
}

TEST_F(ScriptTest, LoopStatementErrors) {
  const struct {
    std::initializer_list<const char16_t*> lines;
    int line;
    int message;
    const char16_t* arg;
  } cases[] = {
      {{u"FOR i = 1,3", u"  CONTINUE", u"  x = 1"}, 1, 97, u"continue"},
      {{u"x = 0", u"BREAK", u"y = 1"}, 1, 65, nullptr},
      {{u"IF TRUE", u"  BREAKIF TRUE"}, 1, 65, nullptr},
      {{u"TRY BREAK", u"y = 1"}, 0, 65, nullptr},  // TRY protects assignments only
      {{u"IF TRUE", u"  CONTINUE"}, 1, 66, nullptr},
      {{u"REPEAT 5", u"  x = 1"}, 0, 62, nullptr},
      {{u"REPEAT", u"  BREAKIF 5"}, 1, 63, nullptr},
      {{u"REPEAT", u"  BREAKIF"}, 1, 63, nullptr},
      {{u"FOR i = 1,2", u"  CONTINUEIF 'a'"}, 1, 64, nullptr},
  };
  for (const auto& c : cases) {
    const QStringList lines = Lines(c.lines);
    host.errors.clear();
    EXPECT_EQ(Run(lines), ExpectedError(c.line, c.message, c.arg)) << lines.join(u" / "_s).toStdString();
    EXPECT_EQ(Value(u"y"_s), QString()) << lines.join(u" / "_s).toStdString();
  }
}

TEST_F(ScriptTest, IfAndElse) {
  const struct {
    std::initializer_list<const char16_t*> lines;
    const char16_t* ran;  // names of the variables that were assigned
  } cases[] = {
      {{u"IF 1 < 2", u"  a = 1", u"ELSE", u"  b = 1", u"c = 1"}, u"ac"},
      {{u"IF 1 > 2", u"  a = 1", u"ELSE", u"  b = 1", u"c = 1"}, u"bc"},
      {{u"IF 1 > 2", u"  a = 1", u"", u"  # note", u"else   # otherwise", u"  b = 1", u"c = 1"},
       u"bc"},
      // no ELSE: a false condition skips the body
      {{u"IF FALSE", u"  a = 1", u"  b = 1", u"c = 1"}, u"c"},
      // an ELSE inside the body belongs to no IF here
      {{u"IF FALSE", u"  a = 1", u"  ELSE", u"    b = 1", u"c = 1"}, u"c"},
      // the ELSE at indent 0 belongs to the outer IF, not to the inner one
      {{u"IF TRUE", u"  IF FALSE", u"    a = 1", u"ELSE", u"  b = 1", u"c = 1"}, u"c"},
      {{u"IF FALSE", u"  IF TRUE", u"    a = 1", u"ELSE", u"  b = 1", u"c = 1"}, u"bc"},
      {{u"IF TRUE", u"  IF 2 > 3", u"    a = 1", u"  ELSE", u"    b = 1", u"c = 1"}, u"bc"},
  };
  for (const auto& c : cases) {
    const QStringList lines = Lines(c.lines);
    host.errors.clear();
    EXPECT_EQ(Run(lines), QString()) << lines.join(u" / "_s).toStdString();
    QString ran;
    for (const QString& name : {u"a"_s, u"b"_s, u"c"_s})
      if (!Value(name).isEmpty()) ran += name;
    EXPECT_EQ(ran, QString::fromUtf16(c.ran)) << lines.join(u" / "_s).toStdString();
    EXPECT_EQ(Engine().BlockDepth, 0) << lines.join(u" / "_s).toStdString();
  }

  // an ELSE line with more than the keyword is no ELSE; reached directly it is no statement
  EXPECT_EQ(Run(Lines({u"IF FALSE", u"  a = 1", u"ELSE x", u"  b = 1"})),
            ErrorAt(2, 94, {u"ELSE x"_s}));
  EXPECT_EQ(Value(u"a"_s), QString());

  for (const char16_t* condition : {u"IF 1", u"IF 'true'", u"IF", u"IF 1 + 1"}) {
    host.errors.clear();
    EXPECT_EQ(Run({QString::fromUtf16(condition), u"  a = 1"_s}), ErrorAt(0, 54))
        << QString::fromUtf16(condition).toStdString();
  }
}

TEST_F(ScriptTest, Indentation) {
  // an odd indent is found when the scan for the next line passes it
  EXPECT_EQ(Run(Lines({u"IF FALSE", u"   a = 1", u"b = 1"})), ErrorAt(0, 26, {3, 1}));
  EXPECT_EQ(Value(u"b"_s), QString());

  // a line indented deeper than its block allows, reached directly
  host.errors.clear();
  EXPECT_EQ(Run(Lines({u"  x = 1", u"y = 2"})), ErrorAt(0, 52, {2}));
  EXPECT_EQ(Value(u"x"_s), QString());
  host.errors.clear();
  EXPECT_EQ(Run(Lines({u"FOR i = 1,2", u"    x = 1", u"y = 2"})), ErrorAt(1, 52, {4}));
  EXPECT_EQ(Value(u"x"_s), QString());
}

TEST_F(ScriptTest, TryKeepsTheRunGoing) {
  EXPECT_EQ(Run(Lines({u"a = 1", u"TRY x = 1/0", u"y = x + 1"})), QString());
  EXPECT_EQ(Value(u"x"_s), u"0"_s);
  EXPECT_EQ(KindOf(u"x"_s), wkFloat);
  EXPECT_EQ(Value(u"y"_s), u"1"_s);
  EXPECT_EQ(Value(u"Error"_s), u"Devision by zero. Line=1"_s);
  EXPECT_EQ(KindOf(u"Error"_s), wkString);

  // an error with a line reference keeps it; a later TRY that succeeds clears Error
  EXPECT_EQ(Run(Lines({u"TRY z = q + 1", u"e = Error + ''", u"TRY w = 2"})), QString());
  EXPECT_EQ(Value(u"z"_s), u"0"_s);
  EXPECT_EQ(Value(u"e"_s), ErrorAt(0, 76, {u"q"_s}) + u" Line=0"_s);
  EXPECT_EQ(Value(u"w"_s), u"2"_s);
  EXPECT_EQ(Value(u"Error"_s), QString());
}

TEST_F(ScriptTest, StatementErrors) {
  ListUnit nothing{wkEmbeddedFunction, {u"nothing"_s}};  // a function without value
  ScopedUnits units{&nothing};
  const struct {
    const char16_t* line;
    int message;
    const char16_t* arg;
  } cases[] = {
      {u"PI = 3", 80, u"PI"},
      {u"x = nothing()", 85, nullptr},
      {u"v[1] = 2", 92, u"v"},
      {u"q[1] = 2", 92, u"q"},
      {u"v(1)", 95, u"v"},
      {u"foo(1)", 95, u"foo"},
      {u"v + 1", 93, u"v"},
      {u"v", 93, u"v"},
      {u"q", 93, u"q"},
      {u"5", 94, u"5"},
      {u"'abc'", 94, u"'abc'"},
      {u"ELSE", 94, u"ELSE"},
      {u"nothing() + 1", 94, u"nothing() + 1"},
  };
  for (const auto& c : cases) {
    const QString line = QString::fromUtf16(c.line);
    host.errors.clear();
    EXPECT_EQ(Run({u"v = 1"_s, line, u"after = 1"_s}), ExpectedError(1, c.message, c.arg)) << line.toStdString();
    EXPECT_EQ(Engine().CurrentLine, 1) << line.toStdString();
    EXPECT_EQ(Value(u"after"_s), QString()) << line.toStdString();
  }
  // a call statement on its own is fine
  host.errors.clear();
  EXPECT_EQ(Run({u"nothing()"_s, u"after = 1"_s}), QString());
  EXPECT_EQ(Value(u"after"_s), u"1"_s);
}

TEST_F(ScriptTest, AssignmentSetsKindAndText) {
  EXPECT_EQ(Run(Lines({u"s = 'abc'", u"d = \"abc\"", u"n = 3", u"b = TRUE", u"c = 1 < 0", u"k = 2",
                       u"k = 'two'", u"j = s + 'd'"})),
            QString());
  EXPECT_EQ(KindOf(u"s"_s), wkString);
  EXPECT_EQ(Value(u"s"_s), u"abc"_s);
  EXPECT_EQ(KindOf(u"d"_s), wkStringDQ);
  EXPECT_EQ(Value(u"d"_s), u"abc"_s);
  EXPECT_EQ(KindOf(u"n"_s), wkFloat);
  EXPECT_EQ(Value(u"n"_s), u"3"_s);
  EXPECT_EQ(KindOf(u"b"_s), wkBool);
  EXPECT_EQ(Value(u"b"_s), u"true"_s);
  EXPECT_EQ(Value(u"c"_s), u"false"_s);
  EXPECT_EQ(KindOf(u"k"_s), wkString);  // an assignment replaces kind and text together
  EXPECT_EQ(Value(u"k"_s), u"two"_s);
  EXPECT_EQ(Value(u"j"_s), u"abcd"_s);
  EXPECT_EQ(KindOf(u"j"_s), wkString);
}

TEST_F(ScriptTest, StopEndsTheRun) {
  // a "stop" line is not executed
  EXPECT_EQ(Run(Lines({u"x = 1", u"stop", u"x = 2"})), QString());
  EXPECT_EQ(Value(u"x"_s), u"1"_s);
  EXPECT_EQ(Engine().CurrentLine, 1);

  EXPECT_EQ(Run(Lines({u"x = 1", u"IF x = 1", u"  STOP", u"x = 2"})), QString());
  EXPECT_EQ(Value(u"x"_s), u"1"_s);
  EXPECT_EQ(Engine().CurrentLine, 2);
  EXPECT_TRUE(host.errors.isEmpty());

  // the STOP statement itself, executed as one step
  Load(Lines({u"x = 1", u"STOP", u"x = 2"}));
  Engine().RunMode = rmRunning;
  ExecuteStep();
  ASSERT_EQ(Engine().CurrentLine, 1);
  ExecuteStep();
  EXPECT_EQ(Engine().ErrorText, QString());
  EXPECT_EQ(int(Engine().RunMode), int(rmIdle));
  EXPECT_EQ(Engine().CurrentLine, 1);
  EXPECT_EQ(Value(u"x"_s), u"1"_s);
}

TEST_F(ScriptTest, ContinuationLinesJoinIntoOneStatement) {
  EXPECT_EQ(Run(Lines({u"x = 1 +", u">  2 +  # two", u"", u"  > 3", u"y = x * 2"})), QString());
  EXPECT_EQ(Value(u"x"_s), u"6"_s);
  EXPECT_EQ(Value(u"y"_s), u"12"_s);

  EXPECT_EQ(Run(Lines({u"s = 'a' +", u"> 'b'", u"IF s = 'ab'", u"  ok = 1"})), QString());
  EXPECT_EQ(Value(u"ok"_s), u"1"_s);
}

TEST_F(ScriptTest, BlockNestingIsLimited) {
  const auto nested = [](int depth) {
    QStringList lines;
    for (int k = 0; k < depth; ++k) lines << QString(2 * k, u' ') + u"IF TRUE"_s;
    lines << QString(2 * depth, u' ') + u"x = 1"_s;
    return lines;
  };
  EXPECT_EQ(Run(nested(100)), QString());
  EXPECT_EQ(Value(u"x"_s), u"1"_s);

  host.errors.clear();
  const QString error = Run(nested(101));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_TRUE(error.endsWith(u"\r\r"_s + MessageText(2, {100}))) << error.toStdString();
  EXPECT_EQ(Value(u"x"_s), QString());
  EXPECT_LE(Engine().BlockDepth, kMaxBlockDepth);
}

TEST_F(ScriptTest, HostileLinesEndInAnError) {
  const QByteArray garbage("\x01@\x7f\xa4\xff$`~\\?!\xc3\x28\xfe\xed\x80\x81", 18);
  for (const QString& line : {QString::fromLatin1(garbage), QString::fromUtf8(garbage)}) {
    host.errors.clear();
    EXPECT_FALSE(Run({line, u"after = 1"_s}).isEmpty());
    EXPECT_EQ(Value(u"after"_s), QString());
  }

  QString sum = u"x = 1"_s;
  while (sum.size() < 10000) sum += u"+1"_s;
  host.errors.clear();
  EXPECT_EQ(Run({sum, u"after = 1"_s}), ErrorAt(0, 45, {sum}));

  const QString name(10000, u'n');
  host.errors.clear();
  EXPECT_EQ(Run({name, u"after = 1"_s}), ErrorAt(0, 93, {name}));
  EXPECT_EQ(Value(u"after"_s), QString());
}
