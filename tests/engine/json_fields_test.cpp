#include <gtest/gtest.h>

#include "engine_fixture.h"

#include "engine/engine_state.h"
#include "engine/json_fields.h"
#include "engine/messages.h"

using namespace Qt::Literals::StringLiterals;

namespace {

class JsonFieldsTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    Engine().CurrentLine = 7;
  }
  static QString WithLine(const QString& message) {
    return message + u"\r\r"_s + MessageText(2, {7});
  }
};

TEST_F(JsonFieldsTest, FieldTextValues) {
  const QString obj =
      uR"({"a": "x", "b": 2, "A": true, "o": {"p": 1, "q": {"r": 2}}, "s":   " pad "  , "t":"last"})"_s;
  EXPECT_EQ(JsonFieldText(obj, u"a"_s), u"x"_s);
  EXPECT_EQ(JsonFieldText(obj, u"b"_s), u"2"_s);
  EXPECT_EQ(JsonFieldText(obj, u"A"_s), u"true"_s);  // case-sensitive key
  // An object value runs up to and including the next "}".
  EXPECT_EQ(JsonFieldText(obj, u"o"_s), uR"({"p": 1, "q": {"r": 2})"_s);
  EXPECT_EQ(JsonFieldText(obj, u"s"_s), u" pad "_s);  // trimmed, then the quotes removed
  EXPECT_EQ(JsonFieldText(obj, u"t"_s), u"last"_s);   // ended by "}"
  EXPECT_EQ(JsonFieldText(uR"({"k": 1, "k": 2})"_s, u"k"_s), u"1"_s);  // first occurrence
  EXPECT_EQ(JsonFieldText(uR"("k": 5)"_s, u"k"_s), u""_s);             // neither "," nor "}"
  EXPECT_EQ(JsonFieldText(uR"({"k":,})"_s, u"k"_s), u""_s);
  EXPECT_TRUE(Engine().ErrorText.isEmpty());
}

TEST_F(JsonFieldsTest, MissingKeyRaisesMessage178WithLine) {
  EXPECT_EQ(JsonFieldText(uR"({"A": 1, "ab": 2, "b": "xa"})"_s, u"a"_s), u""_s);
  EXPECT_EQ(Engine().ErrorText, WithLine(u"JSON object \"a\" was'n found."_s));
  EXPECT_EQ(Engine().ErrorText, WithLine(MessageText(178, {u"a"_s})));
}

TEST_F(JsonFieldsTest, NothingHappensWhileAnErrorIsPending) {
  Engine().ErrorText = u"earlier"_s;
  EXPECT_EQ(JsonFieldText(uR"({"a": 1})"_s, u"a"_s), u""_s);
  EXPECT_EQ(JsonFieldText(uR"({"a": 1})"_s, u"zz"_s), u""_s);
  EXPECT_EQ(JsonFieldNumber(uR"({"a": 1})"_s, u"a"_s), 0.0);
  EXPECT_EQ(JsonFieldNumber(uR"({"a": "x"})"_s, u"a"_s), 0.0);
  EXPECT_EQ(Engine().ErrorText, u"earlier"_s);

  // The first error of a line is the one kept.
  Engine().ErrorText.clear();
  JsonFieldNumber(uR"({"a": 1})"_s, u"missing"_s);
  const QString first = Engine().ErrorText;
  EXPECT_EQ(first, WithLine(u"JSON object \"missing\" was'n found."_s));
  EXPECT_EQ(JsonFieldNumber(uR"({"a": "bad"})"_s, u"a"_s), 0.0);
  EXPECT_EQ(JsonFieldNumber(uR"({"a": 3})"_s, u"a"_s), 0.0);
  EXPECT_EQ(Engine().ErrorText, first);
}

TEST_F(JsonFieldsTest, FieldNumberConvertsOrRaisesMessage179) {
  const QString obj = uR"({"i": 42, "f": -2.5, "q": "3.25", "e": 1e3})"_s;
  EXPECT_DOUBLE_EQ(JsonFieldNumber(obj, u"i"_s), 42.0);
  EXPECT_DOUBLE_EQ(JsonFieldNumber(obj, u"f"_s), -2.5);
  EXPECT_DOUBLE_EQ(JsonFieldNumber(obj, u"q"_s), 3.25);
  EXPECT_DOUBLE_EQ(JsonFieldNumber(obj, u"e"_s), 1000.0);
  EXPECT_TRUE(Engine().ErrorText.isEmpty());
  JsonFieldNumber(uR"({"n": "abc"})"_s, u"n"_s);
  EXPECT_EQ(Engine().ErrorText, WithLine(u"Invalid float value \"abc\" in JSON object \"n\"."_s));
}

TEST_F(JsonFieldsTest, ObjectListCollectsEveryBracedObjectAfterTheArray) {
  const QString text = uR"({"items":  [ {"a": 1}, {"b": 2} ], "tail": {"c": 3}})"_s;
  EXPECT_EQ(JsonObjectList(text, u"items"_s),
            (QStringList{uR"({"a": 1})"_s, uR"({"b": 2})"_s, uR"({"c": 3})"_s}));
  EXPECT_EQ(JsonObjectList(uR"({"items": []})"_s, u"items"_s), QStringList{});
  EXPECT_TRUE(JsonObjectList(text, u"tail"_s).isEmpty());     // value is not an array
  EXPECT_TRUE(JsonObjectList(text, u"missing"_s).isEmpty());  // no key: no error either
  EXPECT_TRUE(JsonObjectList(text, u"Items"_s).isEmpty());
  EXPECT_TRUE(Engine().ErrorText.isEmpty());
}

}  // namespace
