// Lines that nest calls deeply, and calls in initial-value lists, with the real function library.
#include <QFile>

#include "engine/local_texts.h"
#include "function_fixture.h"

using namespace Qt::Literals::StringLiterals;

TEST_F(FunctionTest, DeepNestingInOneLineEndsInAnErrorInsteadOfACrash) {
  const QString tooDeep = LocalText(LocalTextId::NestingTooDeep) + u"\r\r"_s + MessageText(2, {0});
  for (const QString& call : {u"sqrt("_s, u"abs("_s, u"Trim(UpperCase("_s}) {
    const int depth = 5000;
    const int closing = depth * int(call.count(u'('));
    const QString line = u"x = "_s + call.repeated(depth) + u"1"_s + u")"_s.repeated(closing);
    EXPECT_EQ(Run({line, u"y = 2"_s}).toStdString(), tooDeep.toStdString()) << call.toStdString();
    EXPECT_EQ(Value(u"y"_s), QString());
  }
  // Ordinary nesting is untouched.
  EXPECT_EQ(Eval(u"sqrt("_s.repeated(100) + u"1"_s + u")"_s.repeated(100)), u"1"_s);
}

TEST_F(FunctionTest, InitialValueListsCallBuiltInFunctions) {
  EXPECT_EQ(Run({u"array A[3]float=(sqrt(4), 1, max(2, 5))"_s, u"v1 = A[1]"_s, u"v3 = A[3]"_s,
                 u"array S[2]string=(UpperCase('x'), 'y')"_s, u"t1 = S[1]"_s})
                .toStdString(),
            "");
  EXPECT_EQ(Value(u"v1"_s), u"2"_s);
  EXPECT_EQ(Value(u"v3"_s), u"5"_s);
  EXPECT_EQ(Value(u"t1"_s), u"X"_s);
}

namespace {

// The lines of an example script as loading gives them (no include lines in the examples).
QStringList ExampleLines(const QString& name) {
  QFile file(QStringLiteral(TRESSALY_SOURCE_DIR "/examples/") + name);
  if (!file.open(QIODevice::ReadOnly)) return {};
  QString text = QString::fromUtf8(file.readAll());
  text.remove(u'\r');
  return text.split(u'\n');
}

}  // namespace

// Single steps through every line of the examples end with the values a Start run gives.
TEST_F(FunctionTest, SteppingThroughTheExamplesGivesTheValuesOfARun) {
  for (const QString& name : {u"functions.txt"_s, u"loops.txt"_s, u"arrays.txt"_s, u"texts.txt"_s}) {
    SCOPED_TRACE(name.toStdString());
    const QStringList lines = ExampleLines(name);
    ASSERT_FALSE(lines.isEmpty());
    Run(lines);
    const QList<ViewRow> ran = GlobalViewRows();
    ASSERT_TRUE(host.errors.isEmpty()) << host.errors.join(u'|').toStdString();

    Load(lines);
    int steps = 0;
    do {
      A_StepExecute(RunInitiator::Step);
    } while (host.errors.isEmpty() && ++steps < 5000 && !IsStopLine(Engine().ScriptLines[Engine().CurrentLine]));
    ASSERT_TRUE(host.errors.isEmpty()) << host.errors.join(u'|').toStdString();
    const QList<ViewRow> stepped = GlobalViewRows();
    ASSERT_EQ(stepped.size(), ran.size());
    for (qsizetype i = 0; i < ran.size(); ++i) {
      EXPECT_EQ(stepped[i].name.toStdString(), ran[i].name.toStdString());
      if (!ran[i].name.startsWith(u"tARR"_s, Qt::CaseInsensitive))
        EXPECT_EQ(stepped[i].value.toStdString(), ran[i].value.toStdString()) << ran[i].name.toStdString();
    }
  }
}
