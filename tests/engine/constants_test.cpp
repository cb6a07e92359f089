#include <gtest/gtest.h>

#include "engine_fixture.h"

#include <climits>

#include "engine/constants.h"
#include "engine/engine_state.h"
#include "engine/messages.h"
#include "engine/script_error.h"

using namespace Qt::Literals::StringLiterals;

namespace {

class ConstantsTest : public EngineTest {
 protected:
  // The message of the ScriptException thrown by TextToInteger, or "<no throw>".
  static QString ThrowMessage(const QString& text) {
    try {
      TextToInteger(text);
    } catch (const ScriptException& e) {
      return e.message();
    }
    return u"<no throw>"_s;
  }
};

TEST_F(ConstantsTest, LookupFindsInitialConstantsIgnoringCase) {
  QString name, value;
  EXPECT_EQ(LookupConstant(u"pi", &name, &value), 0);
  EXPECT_EQ(name, u"PI"_s);
  EXPECT_EQ(value, u"3.14159265358979323846"_s);
  EXPECT_EQ(LookupConstant(u"Pi"), 0);
  EXPECT_EQ(LookupConstant(u"π", &name, &value), 1);
  EXPECT_EQ(name, u"π"_s);
  EXPECT_EQ(value, u"3.14159265358979323846"_s);

  name = value = u"junk"_s;
  EXPECT_EQ(LookupConstant(u"P", &name, &value), -1);
  EXPECT_TRUE(name.isEmpty());
  EXPECT_TRUE(value.isEmpty());
  EXPECT_EQ(LookupConstant(u"PIE"), -1);
}

TEST_F(ConstantsTest, RegisteredConstantsAreFoundByWholeNameAndResetClearsThem) {
  RegisterConstant(u"MaxValue"_s, u"$FF"_s);
  RegisterConstant(u"Max"_s, u"10"_s);
  RegisterConstant(u"max"_s, u"20"_s);
  QString name, value;
  // "maxvalue = ..." does not start with "max ": the first exact entry is found.
  EXPECT_EQ(LookupConstant(u"MAX", &name, &value), 3);
  EXPECT_EQ(name, u"Max"_s);
  EXPECT_EQ(value, u"10"_s);
  EXPECT_EQ(LookupConstant(u"maxvalue", &name, &value), 2);
  EXPECT_EQ(name, u"MaxValue"_s);
  EXPECT_EQ(value, u"$FF"_s);
  EXPECT_EQ(ConstantsTable().size(), 5);

  ResetConstantsTable();
  EXPECT_EQ(LookupConstant(u"max"), -1);
  EXPECT_EQ(LookupConstant(u"pi"), 0);
  EXPECT_EQ(ConstantsTable().size(), 2);

  RegisterConstant(u"Max"_s, u"10"_s);
  ResetEngine();
  EXPECT_EQ(LookupConstant(u"max"), -1);
  EXPECT_EQ(LookupConstant(u"π"), 1);
}

TEST_F(ConstantsTest, TextToIntegerReadsDecimalAndHexadecimal) {
  const struct {
    QString text;
    int value;
  } cases[] = {
      {u""_s, 0},
      {u"   "_s, 0},
      {u"  42 "_s, 42},
      {u"-17"_s, -17},
      {u"$ff"_s, 255},
      {u"$FF"_s, 255},
      {u" $10 "_s, 16},
      {u"$0"_s, 0},
      {u"$7FFFFFFF"_s, INT_MAX},
      {u"2147483647"_s, INT_MAX},
      {u"-2147483648"_s, INT_MIN},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ThrowMessage(c.text), u"<no throw>"_s) << c.text.toStdString();
  for (const auto& c : cases) EXPECT_EQ(TextToInteger(c.text), c.value) << c.text.toStdString();
}

TEST_F(ConstantsTest, TextToIntegerRejectsBadTexts) {
  EXPECT_EQ(ThrowMessage(u"$80000000"_s), u"Integer overflow"_s);
  EXPECT_EQ(ThrowMessage(u"$FFFFFFFF"_s), u"Integer overflow"_s);
  EXPECT_EQ(ThrowMessage(u"$1G"_s), u"String to integer conversion error ($1G)."_s);
  EXPECT_EQ(ThrowMessage(u"abc"_s), u"'ABC' is not a valid integer value"_s);
  for (const QString& bad : {u"2147483648"_s, u"-2147483649"_s, u"1.5"_s, u"12a"_s, u"$"_s})
    EXPECT_NE(ThrowMessage(bad), u"<no throw>"_s) << bad.toStdString();
}

TEST_F(ConstantsTest, ConstantValueReadsRealsAndIntegers) {
  EXPECT_DOUBLE_EQ(ConstantValue(u"3.5"), 3.5);
  EXPECT_DOUBLE_EQ(ConstantValue(u"$10"), 16.0);
  EXPECT_DOUBLE_EQ(ConstantValue(u"-17"), -17.0);
  EXPECT_THROW(ConstantValue(u"abc"), ScriptException);
}

}  // namespace
