// The catalogue's contents, formatting in both languages and error reporting.
#include "engine/script_error.h"
#include "engine_fixture.h"

#include <QRegularExpression>

using namespace Qt::Literals::StringLiterals;

using Catalogue = EngineTest;

TEST_F(Catalogue, EntriesAndColumns) {
  EXPECT_EQ(CatalogueText(2, -1), u"02"_s);
  EXPECT_EQ(CatalogueText(370, -1), u"370"_s);
  EXPECT_EQ(CatalogueText(2, 0), u"Line %d."_s);
  EXPECT_EQ(CatalogueText(2, 1), u"Строка %d."_s);
  EXPECT_EQ(CatalogueText(28, 0).count(u'\r'), 3);
  EXPECT_EQ(CatalogueText(3, 0), QString());  // an entry without text
  EXPECT_EQ(CatalogueText(0, 0), QString());
  EXPECT_EQ(CatalogueText(371, 1), QString());
  EXPECT_EQ(CatalogueText(153, 1),
            u"Индекс(ы) массива \"%s\" выходит за пределы указанные в описании массива."_s);
  // "operаtor" is spelt with the Cyrillic letter а (U+0430) in these three entries.
  for (int n : {71, 211, 212}) EXPECT_TRUE(CatalogueText(n, 0).contains(u"per\u0430tor"_s)) << n;
  EXPECT_EQ(CatalogueText(212, 0), u"Bracket mismatch after root o per\u0430tor \"%s\"."_s);
}

TEST_F(Catalogue, EveryRussianTextMatchesItsEnglishPlaceholders) {
  static const QRegularExpression placeholder(u"%[sdfn]"_s);
  int withText = 0;
  for (int n = 1; n <= kMessageCount; ++n) {
    const QString en = CatalogueText(n, 0), ru = CatalogueText(n, 1);
    if (en.isEmpty()) continue;
    ++withText;
    EXPECT_FALSE(ru.isEmpty()) << n;
    QStringList a, b;
    for (const auto& m : placeholder.globalMatch(en)) a << m.captured();
    for (const auto& m : placeholder.globalMatch(ru)) b << m.captured();
    EXPECT_EQ(a, b) << n;
  }
  EXPECT_GT(withText, 240);
}

TEST_F(Catalogue, FormattingPlaceholders) {
  EXPECT_EQ(FormatTemplate(u"%s|%d|%f|%n|%%"_s, {u"x"_s, 42, 2.0 / 3, 1234567.891}),
            u"x|42|0.67|1,234,567.89|%"_s);
  EXPECT_EQ(FormatTemplate(u"[%5d][%-4s][%.3f][%6.0f]"_s, {7, u"ab"_s, 1.0, 12.75}),
            u"[    7][ab  ][1.000][    13]"_s);
  EXPECT_EQ(FormatTemplate(u"%n"_s, {-999.5}), u"-999.50"_s);
  EXPECT_EQ(FormatTemplate(u"%f"_s, {3}), u"3.00"_s);  // an integer is a fine real
}

TEST_F(Catalogue, MismatchedArgumentsRaise) {
  EXPECT_THROW(FormatTemplate(u"%d"_s, {u"x"_s}), ScriptException);
  EXPECT_THROW(FormatTemplate(u"%s"_s, {1.5}), ScriptException);
  EXPECT_THROW(FormatTemplate(u"%s %s"_s, {u"x"_s}), ScriptException);
  EXPECT_THROW(FormatTemplate(u"50%"_s, {}), ScriptException);
  EXPECT_THROW(MessageText(76, {}), ScriptException);
}

TEST_F(Catalogue, ErrorTextCarriesTheLineInTheCurrentLanguage) {
  Engine().CurrentLine = 7;
  RaiseScriptError(MessageText(76, {u"q"_s}));
  EXPECT_EQ(Error(), u"Unrecognised identifier \"q\".\r\rLine 7."_s);
  SetLanguageIndex(1);
  RaiseScriptError(MessageText(76, {u"q"_s}));  // replaces the previous error
  EXPECT_TRUE(Error().startsWith(CatalogueText(76, 1).replace(u"%s"_s, u"q"_s)));
  EXPECT_TRUE(Error().endsWith(u"\r\rСтрока 7."_s));
}

TEST_F(Catalogue, TranslateText) {
  QString dest = u"old"_s;
  TranslateText(u"Parameter"_s, dest);
  EXPECT_EQ(dest, u"Parameter"_s);
  SetLanguageIndex(1);
  TranslateText(u"Parameter"_s, dest);
  EXPECT_EQ(dest, u"Параметр"_s);
  TranslateText(u" must be"_s, dest);
  EXPECT_EQ(dest, u" должен быть"_s);
  dest = u"kept"_s;
  TranslateText(u"no such entry"_s, dest);
  EXPECT_EQ(dest, u"kept"_s);
  TranslateText(u"parameter"_s, dest);  // case-sensitive
  EXPECT_EQ(dest, u"kept"_s);
}

TEST(Language, TakenFromTheEnvironment) {
  const auto with = [](const char* all, const char* messages, const char* lang) {
    setenv("LC_ALL", all, 1);
    setenv("LC_MESSAGES", messages, 1);
    setenv("LANG", lang, 1);
    return LanguageFromEnvironment();
  };
  EXPECT_EQ(with("", "", "ru_RU.UTF-8"), 1);
  EXPECT_EQ(with("en_US.UTF-8", "", "ru_RU.UTF-8"), 0);
  EXPECT_EQ(with("", "ru_RU", "en_US"), 1);
  EXPECT_EQ(with("", "", "C"), 0);
  EXPECT_EQ(with("", "", ""), 0);
  unsetenv("LC_ALL");
  unsetenv("LC_MESSAGES");
  setenv("LANG", "C", 1);
}
