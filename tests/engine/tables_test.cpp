// The variable and array tables: levels, underscore rules, lookup order and sorting.
#include "engine_fixture.h"

using namespace Qt::Literals::StringLiterals;

using VariableTable = EngineTest;

TEST_F(VariableTable, NamesMatchWithoutAsciiCase) {
  EXPECT_EQ(SetVariable(u"X"_s, u"1"_s, wkFloat), 0);
  EXPECT_EQ(SetVariable(u"x"_s, u"2"_s, wkFloat), 0);
  EXPECT_EQ(GetVariableText(u"X"), u"2"_s);
  EXPECT_EQ(SetVariable(u"Ж"_s, u"a"_s, wkString), 1);
  EXPECT_EQ(SetVariable(u"ж"_s, u"b"_s, wkString), 2);
  EXPECT_EQ(Engine().Variables.size(), 3u);
  EXPECT_EQ(Engine().VariableOrder.size(), 3u);
  EXPECT_EQ(Engine().Variables[0].VarName, u"X"_s);  // the name as first written
}

TEST_F(VariableTable, UnderscoreRulesDependOnLevel) {
  EXPECT_EQ(SetVariable(u"_a"_s, u"1"_s, wkFloat), -1);
  EXPECT_EQ(Error(), Expected(125, {u"_a"_s}));
  EXPECT_TRUE(Engine().Variables.empty());

  Engine().ErrorText.clear();
  SetVariable(u"g"_s, u"1"_s, wkFloat);
  Engine().FunctionLevel = 1;
  EXPECT_EQ(SetVariable(u"h"_s, u"1"_s, wkFloat), -1);
  EXPECT_EQ(Error(), Expected(131, {u"h"_s}));

  Engine().ErrorText.clear();
  EXPECT_EQ(SetVariable(u"g"_s, u"5"_s, wkFloat), 0);  // an existing global is assigned
  EXPECT_EQ(SetVariable(u"_l"_s, u"7"_s, wkFloat), 1);
  EXPECT_EQ(Engine().Variables[1].function_level, 1);
  EXPECT_TRUE(Error().isEmpty());
}

TEST_F(VariableTable, LookupPrefersCurrentLevelThenGlobals) {
  EngineState& e = Engine();
  SetVariable(u"g"_s, u"global"_s, wkString);
  e.FunctionLevel = 1;
  SetVariable(u"_v"_s, u"level1"_s, wkString);
  e.FunctionLevel = 2;
  SetVariable(u"_v"_s, u"level2"_s, wkString);
  EXPECT_EQ(GetVariableText(u"_V"), u"level2"_s);
  EXPECT_EQ(GetVariableText(u"g"), u"global"_s);
  e.FunctionLevel = 1;
  EXPECT_EQ(GetVariableText(u"_v"), u"level1"_s);
  e.FunctionLevel = 0;
  EXPECT_EQ(FindVariable(u"_v"), -1);  // locals are invisible at level 0
  EXPECT_EQ(GetVariableText(u"missing"), QString());
}

using ArrayTable = EngineTest;

namespace {
void AddArray(const QString& name, int level = 0) {
  t_arr_specification a;
  a.name = name;
  a.function_level = level;
  a.data_type = wkFloat;
  a.count = 2;
  a.dim[0] = 2;
  a.P = std::make_shared<TArrayElements>();
  a.P->floats.assign(2, 0.0);
  Engine().Arrays.push_back(a);
  SortArrays();
}
}  // namespace

TEST_F(ArrayTable, SortedByUpperCaseNameAndFoundByIndex) {
  AddArray(u"beta"_s);
  AddArray(u"Alpha"_s);
  AddArray(u"_z"_s, 1);
  AddArray(u"Zeta"_s);
  QStringList order;
  for (const auto& a : Engine().Arrays) order << a.name;
  // Upper-cased and compared by code: "BETA" < "ZETA" < "_Z".
  EXPECT_EQ(order, (QStringList{u"Alpha"_s, u"beta"_s, u"Zeta"_s, u"_z"_s}));
  EXPECT_EQ(FindArray(u"ZETA"), 3);
  EXPECT_EQ(FindArray(u"nothing"), 0);
}

TEST_F(ArrayTable, LocalArraysNeedTheirOwnLevel) {
  AddArray(u"_a"_s, 1);
  EXPECT_EQ(FindArray(u"_a"), 0);  // level 0 never sees locals
  Engine().FunctionLevel = 2;
  EXPECT_EQ(FindArray(u"_a"), 0);
  Engine().FunctionLevel = 1;
  EXPECT_EQ(FindArray(u"_A"), 1);
  EXPECT_EQ(FindArrayAtLevel(u"_a", 1), 1);
  EXPECT_EQ(FindArrayAtLevel(u"_a", 2), 0);
}

TEST_F(ArrayTable, DeletingAnAliasKeepsTheCallersElements) {
  AddArray(u"data"_s);
  Engine().Arrays[0].P->floats[1] = 42;
  t_arr_specification alias = Engine().Arrays[0];
  alias.name = u"_p"_s;
  alias.function_level = 1;
  alias.is_parameter_variable = true;
  Engine().Arrays.push_back(alias);
  DeleteArray(2);
  ASSERT_EQ(Engine().ArrayCount(), 1);
  EXPECT_EQ(Engine().Array(1).P->floats[1], 42);
  DeleteArray(7);  // out of range: nothing happens
  DeleteArray(1);
  EXPECT_EQ(Engine().ArrayCount(), 0);
}

TEST_F(ArrayTable, TemporaryNames) {
  EXPECT_TRUE(IsTemporaryArrayName(u"tARR1000123456789"));
  EXPECT_TRUE(IsTemporaryArrayName(u"TARR_abcdefghijklm"));
  EXPECT_FALSE(IsTemporaryArrayName(u"tARR100012345678"));  // 16 characters
  EXPECT_FALSE(IsTemporaryArrayName(u"xARR1000123456789"));
}
