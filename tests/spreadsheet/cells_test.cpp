// Cells and ranges through scripts: numbers with either separator, R1C1 formulas, texts, and
// ranges written from and read into arrays with their messages (147, 156, 130).
#include "spreadsheet_fixture.h"
#include "unit_support/described_unit.h"

using namespace Qt::Literals::StringLiterals;

class SpreadsheetCellsTest : public SpreadsheetTest {
 protected:
  void SetUp() override {
    SpreadsheetTest::SetUp();
    if (!Calc().attached()) ASSERT_EQ(RunFor(u"r"_s, {u"r = Excel_Open()"_s}), u"true"_s);
  }
  static void TearDownTestSuite() { Calc().Quit(); }
};

TEST_F(SpreadsheetCellsTest, NumbersFormulasAndTexts) {
  EXPECT_EQ(RunFor(u"ok"_s, {u"ok = Excel_Cell_SetValue(1, 1, '3,5')"_s, u"Excel_Cell_SetValue(2, 1, '=R[-1]C * 2')"_s,
                            u"Excel_Cell_SetValue(3, 1, '=ROUND(SUM(R1C1:R2C1)/4, 1)')"_s,
                            u"Excel_Cell_SetValue(4, 1, 'abc')"_s, u"Excel_Cell_SetValue(5, 1, '1e3')"_s,
                            u"Excel_Cell_SetValue(6, 1, '1,5 kg')"_s, u"Excel_Cell_SetValue(7, 1, '=R[-3]C&\"!\"')"_s,
                            u"Excel_Cell_SetValue(1.5, 2.5, 'even')"_s}),
            u"true"_s);
  const QString expected[] = {u"3.5"_s, u"7"_s, u"2.6"_s, u"abc"_s, u"1000"_s, u"1,5 kg"_s, u"abc!"_s};
  for (int row = 1; row <= 7; ++row) EXPECT_EQ(Calc().CellText(row, 1), expected[row - 1]) << row;
  EXPECT_EQ(Calc().CellText(2, 2), u"even"_s);  // 1.5 and 2.5 round half to even
  EXPECT_EQ(RunFor(u"v"_s, {u"v = Excel_Cell_GetValue(2, 1)"_s, u"e = Excel_Cell_GetValue(9, 9)"_s}), u"7"_s);
  EXPECT_EQ(Value(u"e"_s), QString());

  // A cell outside the sheet: false from the setter, the application's error from the getter.
  EXPECT_EQ(RunFor(u"ok"_s, {u"ok = Excel_Cell_SetValue(0, 1, '1')"_s}), u"false"_s);
  EXPECT_NE(Run({u"v = Excel_Cell_GetValue(1, 0)"_s}), QString());
}

TEST_F(SpreadsheetCellsTest, RangesRoundTripThroughArrays) {
  EXPECT_EQ(RunFor(u"ok"_s, {u"array S[2,2]string=(('1,5',''),('2',' 7 '))"_s,
                            u"ok = Excel_Range_SetValues(11, 3, S)"_s,
                            u"array F[1,3]float=((0.25,-4,1e10))"_s, u"Excel_Range_SetValues(13, 3, F)"_s,
                            u"array G[1,2]string=(('=R[-2]C*10','=text'))"_s, u"Excel_Range_SetValues(14, 3, G)"_s,
                            u"N = Excel_Range_GetValues(11, 3, 2, 2, 1)"_s, u"n11 = N[1,1]"_s, u"n12 = N[1,2]"_s,
                            u"n21 = N[2,1]"_s, u"n22 = N[2,2]"_s, u"T = Excel_Range_GetValues(11, 3, 4, 3)"_s,
                            u"t12 = T[1,2]"_s, u"t22 = T[2,2]"_s, u"t33 = T[3,3]"_s, u"t41 = T[4,1]"_s,
                            u"t42 = T[4,2]"_s}),
            u"true"_s);
  const std::pair<const char16_t*, const char16_t*> values[] = {
      {u"n11", u"1.5"}, {u"n12", u"0"},    {u"n21", u"2"},      {u"n22", u"7"},      {u"t12", u""},
      {u"t22", u" 7 "}, {u"t33", u"10000000000"}, {u"t41", u"20"},     {u"t42", u"#NAME?"}};
  for (const auto& [name, value] : values)
    EXPECT_TRUE(Value(QString::fromUtf16(name)).startsWith(QString::fromUtf16(value), Qt::CaseSensitive) ||
                Value(QString::fromUtf16(name)) == QString::fromUtf16(value))
        << QString::fromUtf16(name).toStdString() << " = " << Value(QString::fromUtf16(name)).toStdString();
}

TEST_F(SpreadsheetCellsTest, RangeMessages) {
  EXPECT_EQ(Run({u"array L[3]string"_s, u"r = Excel_Range_SetValues(1, 1, L)"_s}), ErrorAt(1, 156, {u"L"_s}));
  // Call checking lets only array names through; the handler itself still names a missing one.
  TWordArray args;
  const TWordStatus one{.str = u"1"_s, .kind = wkFloat, .float_val = 1};
  args.append(one);
  args.append(one);
  args.append({.str = u"Missing"_s, .kind = wkArrayName});
  TWordStatus result;
  SpreadsheetCall(u"Excel_Range_SetValues"_s, args, result);
  EXPECT_EQ(Error(), Expected(147, {u"Missing"_s}));
  EXPECT_EQ(Run({u"array C[2,3,1]string"_s, u"r = Excel_Range_SetValues(1, 1, C)"_s}), ErrorAt(1, 156, {u"C"_s}));

  // A text that is no number stops the float read with 130; what was read before stays.
  ASSERT_EQ(RunFor(u"ok"_s, {u"ok = Excel_Cell_SetValue(21, 1, '4')"_s, u"Excel_Cell_SetValue(21, 2, 'x')"_s}),
            u"true"_s);
  EXPECT_EQ(Run({u"A = Excel_Range_GetValues(21, 1, 1, 2, 1)"_s}), ErrorAt(0, 130, {u"x"_s}));
}
