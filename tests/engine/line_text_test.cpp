// Comments, indents, continuation lines and line breaks.
#include "engine/line_breaks.h"
#include "engine/line_text.h"
#include "engine/recent_texts.h"
#include "engine_fixture.h"

using namespace Qt::Literals::StringLiterals;

TEST(StripComment, OnlyApostrophesProtect) {
  EXPECT_EQ(StripComment(u"x = 1   # note"_s), u"x = 1"_s);
  EXPECT_EQ(StripComment(u"x = 1; y"_s), u"x = 1"_s);
  EXPECT_EQ(StripComment(u"s = 'a#b;c' # c"_s), u"s = 'a#b;c'"_s);
  EXPECT_EQ(StripComment(u"s = \"a#b\""_s), u"s = \"a"_s);  // double quotes do not protect
  EXPECT_EQ(StripComment(u"s = 'it''s' ;x"_s), u"s = 'it''s'"_s);
  EXPECT_EQ(StripComment(u"no comment  "_s), u"no comment  "_s);
  EXPECT_EQ(StripComment(u"\t# tab stays"_s), u"\t"_s);  // only blanks before the mark go
  EXPECT_EQ(StripComment(u"'open # string"_s), u"'open # string"_s);
}

TEST(LineBreaks, EachCrLfPairAndEachLoneCrBecomeOneLf) {
  EXPECT_EQ(WithLfLineBreaks(u"a\rb"_s), u"a\nb"_s);
  EXPECT_EQ(WithLfLineBreaks(u"a\r\nb"_s), u"a\nb"_s);
  EXPECT_EQ(WithLfLineBreaks(u"a\r\rb"_s), u"a\n\nb"_s);  // an empty line stays
  EXPECT_EQ(WithLfLineBreaks(u"a\n\rb\r"_s), u"a\n\nb\n"_s);  // LF CR is two breaks
  EXPECT_EQ(WithLfLineBreaks(u"\r\n\r\n"_s), u"\n\n"_s);
  EXPECT_EQ(WithLfLineBreaks(u"plain\ttext"_s), u"plain\ttext"_s);
  EXPECT_EQ(WithLfLineBreaks(QString()), QString());
}

// Answers come only for the same characters, whether the text is the object kept, an equal
// copy (its slot is chosen by its own address: it may or may not be found) or a view.
TEST(RecentByText, AnswersOnlyForTheSameCharacters) {
  RecentByText<int> recent;
  const QString sin = u"Sin"_s;
  EXPECT_EQ(recent.Find(sin), nullptr);
  recent.Keep(sin, 7);
  ASSERT_NE(recent.Find(sin), nullptr);
  EXPECT_EQ(*recent.Find(sin), 7);
  const QString line = u"x = Sin(1) + Cos(2)"_s;
  const QStringView cos = QStringView(line).mid(13, 3);
  recent.Keep(cos, 9);
  ASSERT_NE(recent.Find(cos), nullptr);
  EXPECT_EQ(*recent.Find(cos), 9);
  // Texts of other characters at the slots of those kept are never answered.
  for (int i = 0; i < 2000; ++i) {
    const QString other = u"S"_s + QString::number(i % 90 + 10);  // three characters, like "Sin"
    if (const int* found = recent.Find(other)) ADD_FAILURE() << other.toStdString() << " -> " << *found;
    if (const int* found = recent.Find(QStringView(other).left(2))) ADD_FAILURE() << *found;
  }
}

TEST(LineIndent, CountsSpacesOfCodeLines) {
  EXPECT_EQ(LineIndentOf(u"x=1"_s), 0);
  EXPECT_EQ(LineIndentOf(u"    x=1 # c"_s), 4);
  EXPECT_EQ(LineIndentOf(u"   "_s), -1);
  EXPECT_EQ(LineIndentOf(u"  # only a comment"_s), -1);
  EXPECT_EQ(LineIndentOf(u"  > continued"_s), -1);
  EXPECT_EQ(LineIndentOf(u""_s), -1);
}

using Continuations = EngineTest;

TEST_F(Continuations, JoinedWithoutSeparatorUpToTheLastLine) {
  EngineState& e = Engine();
  e.ScriptLines = {u"array A[3]float=(1,"_s,
                   u"  > 2, # two"_s,
                   u""_s,
                   u"  # note"_s,
                   u">3)"_s,
                   u"x = 1"_s,
                   u">4"_s,
                   u">never"_s};
  e.CurrentLine = 0;
  e.CurrentLineText = StripComment(e.ScriptLines[0]).trimmed();
  JoinContinuations();
  EXPECT_EQ(e.CurrentLineText, u"array A[3]float=(1, 2,3)"_s);

  // The last line of the script is never joined.
  e.CurrentLine = 5;
  e.CurrentLineText = u"x = 1"_s;
  JoinContinuations();
  EXPECT_EQ(e.CurrentLineText, u"x = 14"_s);
}
