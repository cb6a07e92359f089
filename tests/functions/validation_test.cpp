// Description lookup and call validation against the real tables.
#include "function_fixture.h"
#include "unit_support/described_unit.h"
#include "engine/evaluator.h"
#include "unit_support/validation.h"

using namespace Qt::Literals::StringLiterals;

namespace {

TWordStatus Str(const QString& s) {
  TWordStatus w;
  w.kind = wkString;
  w.str = s;
  return w;
}
TWordStatus Num(double v, int varIndex = 0) {
  TWordStatus w;
  w.kind = wkFloat;
  w.float_val = v;
  w.str = QString::number(v);
  w.var_index = varIndex;
  return w;
}
TWordArray Args(std::initializer_list<TWordStatus> words) {
  TWordArray a;
  for (const TWordStatus& w : words) a.append(w);
  return a;
}

}  // namespace

class Validation : public FunctionTest {
 protected:
  QString Check(QString name, const TWordArray& args, TWordKind kind = wkEmbeddedFunction) {
    Engine().ErrorText.clear();
    ValidateFunctionCall(kind, name, args);
    return Error().isEmpty() ? name : Error();
  }
};

TEST_F(Validation, LookupBySynonymFirstThenFormulaAnyCase) {
  const DescriptionTable& general = Table(TableId::General);
  EXPECT_EQ(FindFunctionDescription(general, u"UpperCase"), 1);
  EXPECT_EQ(FindFunctionDescription(general, u"  uppercase  "), 1);
  EXPECT_EQ(FindFunctionDescription(general, u"STR_UPPERCASE"), 10001);
  EXPECT_EQ(FindFunctionDescription(general, u"Upper"), -1);
  EXPECT_EQ(FindFunctionDescription(general, u""), -1);
  // Two slots share a synonym: the first one wins.
  const DescriptionTable& graphics = Table(TableId::Graph);
  EXPECT_EQ(MatchedSlot(FindFunctionDescription(graphics, u"Gra_ReadPixel")),
            FindFunctionDescription(graphics, u"PixelRead"));
  EXPECT_EQ(Check(u"str_uppercase"_s, Args({Str(u"a"_s)})), u"UpperCase"_s);
}

// A synonym match decodes to the first slot that carries the synonym (tables without the
// synonym pass find none).
TEST_F(Validation, EverySynonymMatchDecodesToTheFirstSlotCarryingIt) {
  int synonyms = 0;
  for (TableId id : HelpTableOrder()) {
    const DescriptionTable& table = Table(id);
    for (int slot = 0; slot < int(table.entries.size()); ++slot) {
      const QString& synonym = table.entries[std::size_t(slot)].Sinonim;
      const int found = FindFunctionDescription(table, synonym);
      if (synonym.isEmpty() || found < kSynonymMatchOffset) continue;
      ++synonyms;
      EXPECT_EQ(found, SynonymMatch(MatchedSlot(found))) << synonym.toStdString();
      EXPECT_LE(MatchedSlot(found), slot) << synonym.toStdString();
      EXPECT_EQ(MatchedEntry(table, found).Sinonim.toLower(), synonym.toLower());
    }
  }
  EXPECT_GT(synonyms, 0);
  // A formula name decodes to itself.
  const int upper = FindFunctionDescription(Table(TableId::General), u"UpperCase");
  EXPECT_EQ(MatchedSlot(upper), upper);
  EXPECT_EQ(MatchedEntry(Table(TableId::General), upper).CanonicalName(), u"UpperCase"_s);
}

TEST_F(Validation, EveryFormulaOfTheGeneralTableHasValidTypeWords) {
  for (const T_FunctionDescription& d : Table(TableId::General).entries) {
    const Signature s = ParseSignature(d.Formula);
    EXPECT_FALSE(s.missingCloseBracket) << d.Formula.toStdString();
    EXPECT_FALSE(s.badResultType) << d.Formula.toStdString();
    for (const auto& p : s.parameters) EXPECT_FALSE(p.badType) << d.Formula.toStdString();
  }
}

TEST_F(Validation, ArgumentCounts) {
  EXPECT_EQ(Check(u"Exit"_s, Args({})), u"Exit"_s);
  EXPECT_EQ(Check(u"Exit"_s, Args({Num(1)})), ErrorAt(0, 120, {u"Exit"_s, 0}));
  EXPECT_EQ(Check(u"SubStr"_s, Args({Str(u"abc"_s)})), ErrorAt(0, 81, {u"SubStr"_s, 1, 2}));
  EXPECT_EQ(Check(u"SubStr"_s, Args({Str(u"abc"_s), Num(2)})), u"SubStr"_s);
  EXPECT_EQ(Check(u"Format"_s, Args({Str(u"x"_s)})), ErrorAt(0, 81, {u"Format"_s, 1, 2}));
  EXPECT_EQ(Check(u"Random"_s, Args({})), u"Random"_s);
  EXPECT_EQ(Check(u"Random"_s, Args({Num(10)})), u"Random"_s);
  EXPECT_EQ(Check(u"RE_GetM"_s, Args({})), u"RE_GetM"_s);
}

TEST_F(Validation, ArgumentKinds) {
  EXPECT_EQ(Check(u"UpperCase"_s, Args({Num(5)})),
            u"Function \"UpperCase\". Parameter № 1 must be\" string\". \r\rLine 0."_s);
  TWordStatus boolean;
  SetBool(boolean, true);
  EXPECT_TRUE(Check(u"Trim"_s, Args({boolean})).contains(u"Parameter № 1"_s));
  TWordStatus array;
  array.kind = wkArrayName;
  array.str = u"A"_s;
  EXPECT_TRUE(Check(u"LenStr"_s, Args({array})).contains(u"must be\" string\""_s));
  TWordStatus intValue = Num(3);
  intValue.kind = wkInt;  // accepted for any declared type
  EXPECT_EQ(Check(u"UpperCase"_s, Args({intValue})), u"UpperCase"_s);
  TWordStatus unknown;
  unknown.kind = wkUnknownIdentifier;
  unknown.str = u"zz"_s;
  EXPECT_EQ(Check(u"UpperCase"_s, Args({unknown})),
            u"Function \"UpperCase\". Actual parameter № 1 (zz) is incorrect. \r\rLine 0."_s);
  SetLanguageIndex(1);
  EXPECT_TRUE(Check(u"UpperCase"_s, Args({Num(5)})).startsWith(u"Функция \"UpperCase\". Параметр № 1 должен быть\""_s));
}

TEST_F(Validation, SignatureGrammar) {
  Signature s = ParseSignature(u"Float_ToStr(FloatVal:float[DecimalSeparetor:string]):string"_s);
  ASSERT_EQ(s.parameters.size(), 2u);
  EXPECT_EQ(s.required, 1);
  EXPECT_EQ(s.resultType, u"string"_s);
  s = ParseSignature(u"Ord(Str:):float"_s);
  EXPECT_EQ(s.parameters[0].type, u"anytype"_s);
  s = ParseSignature(u"F(var X:int,Y:string)"_s);
  EXPECT_EQ(s.varChecks, std::vector<int>{0});
  s = ParseSignature(u"Bad(X:number)"_s);
  EXPECT_TRUE(s.parameters[0].badType);
  EXPECT_TRUE(ParseSignature(u"NoClose(X:int"_s).missingCloseBracket);
}

TEST_F(Validation, ScriptsReachTheUnits) {
  // A module not built answers with a clear error naming the function and the module.
  FunctionUnit* built = FunctionUnitFor(wkArduinoFunction);
  DescribedUnit pending(TableId::Arduino, u"Arduino boards"_s, u"платы Arduino"_s);
  RegisterFunctionUnit(&pending);
  const QString error = Run({u"s = ARD_UDP_Digital_Read('127.0.0.2', 3)"_s});
  if (built) RegisterFunctionUnit(built);
  else UnregisterFunctionUnit(wkArduinoFunction);
  EXPECT_TRUE(error.contains(u"ARD_UDP_Digital_Read"_s)) << error.toStdString();
  EXPECT_TRUE(error.contains(u"Arduino boards"_s)) << error.toStdString();
  // Argument errors are reported before the module is asked.
  EXPECT_EQ(Run({u"x = UpperCase('a', 2)"_s}), ErrorAt(0, 120, {u"UpperCase"_s, 1}));
}

TEST_F(Validation, EveryFilledSlotHasHelpInBothLanguages) {
  const std::array<TableId, 8> tables = HelpTableOrder();
  int filled = 0;
  for (TableId id : tables)
    for (const T_FunctionDescription& d : Table(id).entries) {
      if (d.isEmpty()) continue;
      ++filled;
      const QString name = d.Formula.isEmpty() ? d.Sinonim : d.CanonicalName();
      EXPECT_FALSE(d.Description()[0].isEmpty()) << name.toStdString();
      EXPECT_FALSE(d.Description()[1].isEmpty()) << name.toStdString();
      EXPECT_TRUE(d.Description()[0].contains(u"Example"_s)) << name.toStdString();
      EXPECT_TRUE(d.Description()[1].contains(u"Пример"_s)) << name.toStdString();
    }
  EXPECT_EQ(filled, 71 + 23 + 5 + 5 + 31 + 13 + 11 + 39);
}
