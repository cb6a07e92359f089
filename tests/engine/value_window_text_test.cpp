// The value window's text for variables and arrays, and the unprintable-character rewrite.
#include "engine/value_window_text.h"

#include "engine/arrays.h"
#include "script_runner.h"

using namespace Qt::Literals::StringLiterals;

namespace {

using ValueWindowTest = EngineTest;

QString Window(const QString& value, TWordKind kind) {
  SetVariable(u"v"_s, value, kind);
  return VariableWindowText(u"v"_s);
}

TEST_F(ValueWindowTest, WholeNonNegativeNumbersShowHexAndBinary) {
  EXPECT_EQ(Window(u"255"_s, wkFloat), u"Variable\rv = 255\rhex: FF\rbin:  1111 1111"_s);
  EXPECT_EQ(Window(u"0"_s, wkInt), u"Variable\rv = 0\rhex: 0\rbin:  0000"_s);
  EXPECT_EQ(Window(u"4096"_s, wkInt), u"Variable\rv = 4096\rhex: 1000\rbin:  0001 0000 0000 0000"_s);
  EXPECT_TRUE(Window(u"18446744073709551615"_s, wkFloat).endsWith(u"hex: FFFFFFFFFFFFFFFF\rbin: "_s +
                                                                   u" 1111"_s.repeated(16)));
}

TEST_F(ValueWindowTest, OtherWholeTextsShowOnlyTheValue) {
  for (const QString& text : {u"-5"_s, u"1E20"_s, u"18446744073709551616"_s, u"INF"_s})
    EXPECT_EQ(Window(text, wkFloat), u"Variable\rv = "_s + text) << text.toStdString();
}

TEST_F(ValueWindowTest, FractionsShowPlainAndExponentForms) {
  EXPECT_EQ(Window(u"0.1"_s, wkFloat), u"Variable\rv = 0.1  1.00000000000000E-001"_s);
  EXPECT_EQ(Window(u"-2.5"_s, wkFloat), u"Variable\rv = -2.5  -2.50000000000000E+000"_s);
  EXPECT_EQ(Window(u"123456.789"_s, wkFloat),
            u"Variable\rv = 123456.789  1.23456789000000E+005"_s);
  // Beyond 15 decimals the plain form rounds away; the exponent form keeps the digits.
  EXPECT_EQ(Window(u"1.25E-20"_s, wkFloat), u"Variable\rv = 0  1.25000000000000E-020"_s);
  EXPECT_EQ(Window(u"1.5E20"_s, wkFloat),
            u"Variable\rv = 150000000000000000000  1.50000000000000E+020"_s);
}

TEST_F(ValueWindowTest, NonNumbersAreInApostrophesOnTheirOwnLine) {
  EXPECT_EQ(Window(u"abc"_s, wkString), u"Variable\rv = \r'abc'"_s);
  EXPECT_EQ(Window(u"1.5"_s, wkStringDQ), u"Variable\rv = \r'1.5'"_s);
  EXPECT_EQ(Window(u"true"_s, wkBool), u"Variable\rv = \r'true'"_s);
  SetLanguageIndex(1);
  EXPECT_TRUE(VariableWindowText(u"v"_s).startsWith(MessageText(25) + u"\rv = "_s));
}

TEST_F(ValueWindowTest, UnknownNamesGiveNoText) {
  EXPECT_EQ(VariableWindowText(u"missing"_s), QString());
  EXPECT_EQ(VariableWindowText(u"missing[]"_s), QString());
}

TEST_F(ValueWindowTest, UnprintableRewriteUsesPascalCodes) {
  EXPECT_EQ(ShowUnprintableCharacters(Window(u"ab\r\ncd"_s, wkString)), u"ab'#$D#$A'cd"_s);
  const QChar nul(0), unit(0x1F);
  EXPECT_EQ(ShowUnprintableCharacters(Window(u"\tab"_s + unit, wkString)), u"#$9'ab'#$1F"_s);
  EXPECT_EQ(ShowUnprintableCharacters(Window(QString(nul) + u"\r"_s, wkString)), u"#$0#$D"_s);
  // Apostrophes inside the value stay; blanks and characters from 32 up are printable.
  EXPECT_EQ(ShowUnprintableCharacters(Window(u"it's ok\n"_s, wkString)), u"it's ok'#$A"_s);
  EXPECT_EQ(ShowUnprintableCharacters(Window(QString(), wkString)), QString());
  EXPECT_EQ(ShowUnprintableCharacters(u"no quotes"_s), QString());
}

TEST_F(ValueWindowTest, UnprintableItemOnlyForApostropheStrings) {
  SetVariable(u"s"_s, u"x"_s, wkString);
  SetVariable(u"d"_s, u"x"_s, wkStringDQ);
  SetVariable(u"n"_s, u"1"_s, wkFloat);
  EXPECT_TRUE(OffersUnprintableItem(u"s"_s));
  EXPECT_FALSE(OffersUnprintableItem(u"d"_s));
  EXPECT_FALSE(OffersUnprintableItem(u"n"_s));
  EXPECT_FALSE(OffersUnprintableItem(u"s[]"_s));
  EXPECT_FALSE(OffersUnprintableItem(u"missing"_s));
}

TEST_F(ScriptTest, ValueWindowOfAnArrayIsItsListing) {
  ASSERT_EQ(Run({u"array A[2]float=(1,2)"_s, u"array T[1]string"_s}), QString());
  const QString listing = VariableWindowText(u"a[]"_s);
  EXPECT_EQ(listing, ArrayListing(FindArray(u"A")));
  EXPECT_TRUE(listing.contains(u"[1-2]  "_s));
  EXPECT_EQ(VariableWindowText(u"T[]"_s), ArrayListing(FindArray(u"T")));
  EXPECT_FALSE(OffersUnprintableItem(u"T[]"_s));
}

}  // namespace
