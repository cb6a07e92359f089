// Numeric expressions evaluated by their programs give exactly what the general evaluation
// gave: the same text, the same kind, the same errors, also after a variable changed kind.
#include "engine/message_numbers.h"
#include "engine/numeric_program.h"
#include "program_passes.h"
#include "script_runner.h"

using namespace Qt::Literals::StringLiterals;

namespace {

using NumericProgramTest = ScriptTest;

const QStringList kSetUp = {u"a = 7"_s, u"b = -2.5"_s, u"c = 0.1"_s, u"n = 3"_s, u"t = true"_s,
                            u"f = false"_s, u"m = 13 | 0"_s};

QStringList Passes(const QString& expression) { return ProgramPasses(kSetUp, expression); }

}  // namespace

TEST_F(NumericProgramTest, ProgramsGiveTheGeneralEvaluationsTextAndKind) {
  const QStringList expressions = {
      u"a + b * c"_s, u"(a + b) * c - -a"_s, u"-a + 2"_s, u"a % n + a / n"_s, u"-a % n"_s,
      u"a * n"_s, u"a / n"_s, u"c + c + c"_s, u"2 * (a - (b + c) * 3) / 4"_s, u"(((a))) + 1"_s,
      u"a * a * a * a * a * a * a * a * a * a * a * a * a * a * a * a * a * a"_s,
      u"a < b"_s, u"(a >= 7) <> c"_s, u"t AND a > 1 OR f"_s, u"NOT t"_s, u"NOT (a > b) OR f"_s,
      u"a = t"_s, u"a <> t"_s, u"a << 2 | 1 ^ n & 6"_s, u"a >> 1"_s, u"b - c = -2.6"_s,
      u"1 + 2 * 3 - 4 / 8"_s, u"a - 1 - 1 - 1"_s, u"+a - 1"_s, u"n * 1.5 > a - 3"_s, u"m / 4"_s, u"m / m"_s, u"m * m - m % 5"_s};
  for (const QString& expression : expressions) {
    SCOPED_TRACE(expression.toStdString());
    const std::uint64_t runsBefore = NumericPrograms::RunCount();
    ASSERT_EQ(Run(Passes(expression)), QString());
    EXPECT_GE(NumericPrograms::RunCount() - runsBefore, 2u);
    EXPECT_EQ(Value(u"r"_s), Value(u"r1"_s));
    EXPECT_EQ(KindOf(u"r"_s), KindOf(u"r1"_s));
  }
  ASSERT_EQ(Run(Passes(u"c + c + c"_s)), QString());
  EXPECT_EQ(Value(u"r"_s), u"0.3"_s);
  ASSERT_EQ(Run(Passes(u"a * n"_s)), QString());
  EXPECT_EQ(KindOf(u"r"_s), KindOf(u"a"_s));
}

TEST_F(NumericProgramTest, VariablesThatChangeKindAreReadAnew) {
  // x is a number, then a truth value, then a text: "=" compares numbers, then tells the
  // kinds apart, then cannot add.
  const QStringList lines = {u"x = 1"_s,          u"s = ''"_s,     u"FOR k = 1,6"_s,    u"  r = x = 1"_s,
                             u"  IF r"_s,          u"    s = s + 'y'"_s, u"  ELSE"_s,        u"    s = s + 'n'"_s,
                             u"  IF k = 3"_s,      u"    x = true"_s,  u"  IF k = 5"_s,    u"    x = 'one'"_s};
  ASSERT_EQ(Run(lines), QString());
  EXPECT_EQ(Value(u"s"_s), u"yyynnn"_s);

  EXPECT_EQ(Run({u"x = 2"_s, u"FOR k = 1,4"_s, u"  r = x * 2"_s, u"  IF k = 3"_s, u"    x = 'two'"_s}),
            ErrorAt(2, msg::kParsingError));
}

TEST_F(NumericProgramTest, FailuresOnLaterPassesReportAsTheFirstPassWould) {
  // Division by zero and a negative bit operand on the fourth pass.
  for (const QString& expression : {u"10 / d"_s, u"10 % d"_s, u"d & 3"_s}) {
    SCOPED_TRACE(expression.toStdString());
    const QString failing = expression.contains(u'&') ? u"-1"_s : u"0"_s;
    const QString atOnce = Run({u"d = "_s + failing, u"r = "_s + expression});
    const QString later = Run({u"d = 5"_s, u"FOR k = 1,5"_s, u"  r = "_s + expression, u"  IF k = 3"_s,
                               u"    d = "_s + failing});
    EXPECT_FALSE(atOnce.isEmpty());
    EXPECT_EQ(later.section(u'\r', 0, 0), atOnce.section(u'\r', 0, 0));
  }
}

TEST_F(NumericProgramTest, ElementsReadAsTheGeneralEvaluationReadsThem) {
  QStringList setUp = kSetUp;
  setUp << u"array I[5]int"_s << u"array G[3,4]float"_s << u"I[2] = 9"_s << u"I[3] = -4"_s
        << u"G[2,3] = 0.25"_s << u"G[3,4] = 7.5"_s;
  const QStringList expressions = {u"I[2] + 1"_s, u"I[n] * I[2]"_s, u"I[n - 1] / 2"_s,
                                   u"G[2, n] + G[n, I[2] - 5]"_s, u"G[(n + 1) / 2, 3] * a"_s,
                                   u"I[2] > G[3,4]"_s, u"-I[3] % 3"_s};
  for (const QString& expression : expressions) {
    SCOPED_TRACE(expression.toStdString());
    QStringList lines = setUp;
    lines << u"FOR k = 1,4"_s << u"  r = "_s + expression << u"  IF k = 1"_s << u"    r1 = r"_s;
    const std::uint64_t runsBefore = NumericPrograms::RunCount();
    ASSERT_EQ(Run(lines), QString());
    EXPECT_GE(NumericPrograms::RunCount() - runsBefore, 2u);
    EXPECT_EQ(Value(u"r"_s), Value(u"r1"_s));
    EXPECT_EQ(KindOf(u"r"_s), KindOf(u"r1"_s));
  }
}

TEST_F(NumericProgramTest, ElementFailuresOnLaterPassesReportAsTheFirstPassWould) {
  // An index that leaves the bounds, an index expression that divides by zero, or an array
  // that became texts.
  const QStringList cases[][2] = {
      {{u"array A[3]int"_s, u"j = 1"_s, u"FOR k = 1,5"_s, u"  r = A[j] + 1"_s, u"  j = j + 1"_s},
       {u"array A[3]int"_s, u"j = 4"_s, u"r = A[j] + 1"_s}},
      {{u"array A[3]int"_s, u"j = 3"_s, u"FOR k = 1,5"_s, u"  r = A[3 / j] + 1"_s, u"  j = j - 1"_s},
       {u"array A[3]int"_s, u"j = 0"_s, u"r = A[3 / j] + 1"_s}},
      {{u"array A[3]int"_s, u"FOR k = 1,5"_s, u"  r = A[2] + 1"_s, u"  IF k = 3"_s, u"    array A[3]string"_s},
       {u"array A[3]string"_s, u"r = A[2] + 1"_s}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c[0].join(u" | "_s).toStdString());
    const QString atOnce = Run(c[1]);
    ASSERT_FALSE(atOnce.isEmpty());
    EXPECT_EQ(Run(c[0]).section(u'\r', 0, 0), atOnce.section(u'\r', 0, 0));
  }
}

TEST_F(NumericProgramTest, AssignedNumbersKeepTheTextsTheGeneralAssignmentWrites) {
  // Whole numbers are kept as numbers until their text is read: the texts, the numbers read
  // back and what other lines make of them stay as when the text was written at once.
  const QStringList expressions = {u"a * n"_s, u"0 * -a"_s, u"b - b"_s, u"999999999999999 + n - 3"_s,
                                   u"999999999999999 + a"_s, u"-999999999999999 - 1"_s, u"a / n"_s,
                                   u"c * 3"_s, u"1e300 * a"_s, u"m << 40"_s};
  for (const QString& expression : expressions) {
    SCOPED_TRACE(expression.toStdString());
    QStringList lines = Passes(expression);
    lines << u"  t = r"_s << u"  u = r * 1"_s << u"  same = r = r1"_s << u"  IF k = 1"_s << u"    t1 = t"_s
          << u"    u1 = u"_s;
    ASSERT_EQ(Run(lines), QString());
    for (const QString& name : {u"r"_s, u"t"_s, u"u"_s}) {
      EXPECT_EQ(Value(name), Value(name + u"1"_s)) << name.toStdString();
      EXPECT_EQ(KindOf(name), KindOf(name + u"1"_s)) << name.toStdString();
    }
    EXPECT_EQ(Value(u"same"_s), u"true"_s);
  }
  ASSERT_EQ(Run(Passes(u"0 * -a"_s)), QString());
  EXPECT_EQ(Value(u"r"_s), u"0"_s);
  ASSERT_EQ(Run(Passes(u"999999999999999 + a"_s)), QString());
  EXPECT_EQ(Value(u"r"_s), u"1.00000000000001E15"_s);  // 15 significant digits
  // A loop counter is a kept number too; text and number agree after the loop.
  ASSERT_EQ(Run({u"FOR i = 1,3"_s, u"  x = i"_s, u"s = i * 10"_s}), QString());
  EXPECT_EQ(Value(u"x"_s), u"3"_s);
  EXPECT_EQ(Value(u"s"_s), u"30"_s);
}
