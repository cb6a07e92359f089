// A first smoke test of the harness; the statement suites fill this file.
#include "script_runner.h"

using namespace Qt::Literals::StringLiterals;

TEST_F(ScriptTest, LoopsConditionsAndAssignments) {
  EXPECT_EQ(Run({u"x = 0"_s, u"FOR i = 1,5"_s, u"  x = x + i"_s, u"IF x = 15"_s, u"  ok = TRUE"_s}), QString());
  EXPECT_EQ(Value(u"x"_s), u"15"_s);
  EXPECT_EQ(Value(u"i"_s), u"5"_s);
  EXPECT_EQ(Cell(u"ok"_s), u"<true>"_s);
}
