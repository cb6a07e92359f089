// Power and root symbols become pow(...) calls.
#include "engine/word_reader.h"
#include "engine_fixture.h"
#include "test_units.h"

using namespace Qt::Literals::StringLiterals;

class PowerSymbols : public EngineTest {
 protected:
  ListUnit general{wkEmbeddedFunction, {u"pow"_s, u"sin"_s}};
  ScopedUnits units{&general};

  QString Rewritten(const QString& text) {
    TWordArray w;
    SplitWords(text, w);
    QStringList parts;
    for (const TWordStatus& word : w) parts << word.str;
    return parts.join(u' ');
  }
};

TEST_F(PowerSymbols, PostfixAndPrefixOperands) {
  EXPECT_EQ(Rewritten(u"x=√(3²+4²)"_s), u"x = pow((pow(3,2)+pow(4,2)),0.5)"_s);
  EXPECT_EQ(Rewritten(u"y = a³ + 1"_s), u"y = pow(a,3) + 1"_s);
  EXPECT_EQ(Rewritten(u"∛27 * ∜16"_s), u"pow(27,0.333333333333333) * pow(16,0.25)"_s);
  EXPECT_EQ(Rewritten(u"'ab'²"_s), u"pow(ab,2)"_s);  // a literal's text goes in without quotes
  EXPECT_EQ(Rewritten(u"((a+b)*c)²"_s), u"pow(((a+b)*c),2)"_s);
  EXPECT_TRUE(Error().isEmpty());

  TWordArray w;
  SplitWords(u"z = √x"_s, w);
  EXPECT_EQ(w[2].kind, wkEmbeddedFunction);
  EXPECT_EQ(w.lastIndex(), 2);
}

TEST_F(PowerSymbols, ArrayElements) {
  Engine().Arrays.push_back({});
  Engine().Arrays.back().name = u"A"_s;
  EXPECT_EQ(Rewritten(u"A[i, j+1]³"_s), u"pow(A[i,j+1],3)"_s);
  EXPECT_EQ(Rewritten(u"√A[A[1]]"_s), u"pow(A[A[1]],0.5)"_s);
  EXPECT_TRUE(Error().isEmpty());
}

TEST_F(PowerSymbols, Errors) {
  const struct {
    const char16_t* text;
    int message;
    const char16_t* arg;
  } cases[] = {
      {u"x = sin(1)²", 213, u"²"}, {u"x = 1)²", 211, u"²"}, {u"x = 1]³", 211, u"³"},
      {u"x = √(1", 212, u"√"},     {u"²", 97, u"²"},        {u"x = ∛", 97, u"∛"},
  };
  for (const auto& c : cases) {
    Engine().ErrorText.clear();
    const QString text = QString::fromUtf16(c.text);
    Rewritten(text);
    EXPECT_EQ(Error(), Expected(c.message, {QString::fromUtf16(c.arg)})) << text.toStdString();
  }
}
