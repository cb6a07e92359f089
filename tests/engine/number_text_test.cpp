#include <gtest/gtest.h>

#include "engine_fixture.h"

#include <cmath>
#include <limits>

#include "engine/engine_state.h"
#include "engine/messages.h"
#include "engine/number_text.h"

using namespace Qt::Literals::StringLiterals;

namespace {

class NumberTextTest : public EngineTest {
 protected:
};

struct NumberCase {
  double value;
  QString text;
};

TEST_F(NumberTextTest, NumberTextPlainAndScientificForms) {
  const NumberCase cases[] = {
      {0.0, u"0"_s},
      {0.5, u"0.5"_s},
      {1e15, u"1E15"_s},
      {1e-5, u"1E-5"_s},
      {0.0001, u"0.0001"_s},
      {123456789012345.0, u"123456789012345"_s},
      {0.1 + 0.2, u"0.3"_s},
      {1.0 / 3, u"0.333333333333333"_s},
      {-2.5, u"-2.5"_s},
      {1e300, u"1E300"_s},
      {1.5e-7, u"1.5E-7"_s},
      {-1.5e-7, u"-1.5E-7"_s},
      {1e14, u"100000000000000"_s},
      {2.5e16, u"2.5E16"_s},
      {0.00125, u"0.00125"_s},
      {-0.0, u"0"_s},
      {1234.5, u"1234.5"_s},
      {100.0, u"100"_s},
      {std::numeric_limits<double>::infinity(), u"INF"_s},
  };
  for (const auto& c : cases) EXPECT_EQ(NumberText(c.value), c.text) << "value " << c.value;
}

TEST_F(NumberTextTest, ParseNumberTextAcceptsDotFormsAndRejectsOthers) {
  const NumberCase good[] = {{1.5, u"1.5"_s},    {-17.0, u"-17"_s}, {2500.0, u"  2.5E3 "_s},
                             {0.001, u"1e-3"_s}, {3.0, u"+3"_s},    {0.25, u" 0.25  "_s}};
  for (const auto& c : good) {
    double v = -1;
    EXPECT_TRUE(ParseNumberText(c.text, v)) << c.text.toStdString();
    EXPECT_DOUBLE_EQ(v, c.value) << c.text.toStdString();
  }
  double inf = 0;
  EXPECT_TRUE(ParseNumberText(u" INF", inf) && std::isinf(inf) && inf > 0);

  for (const QString& bad : {u""_s, u"   "_s, u"1,5"_s, u"1e"_s, u"abc"_s, u"0x10"_s, u"1.2.3"_s}) {
    double v = 42;
    EXPECT_FALSE(ParseNumberText(bad, v)) << bad.toStdString();
    EXPECT_EQ(v, 42) << "value changed by " << bad.toStdString();
  }
}

struct WidthCase {
  int width;
  double value;
  QString text;
};

TEST_F(NumberTextTest, FormatNumberWidthFixedAndGeneralForms) {
  const WidthCase cases[] = {
      {10, 100.0, u"       100"_s},
      {10, 2.5, u"2.5       "_s},
      {10, 123456789.5, u" 123456789"_s},
      {10, 0.0, u"         0"_s},
      {10, 0.00005, u"    5E-005"_s},
      {10, 0.0001, u"    0.0001"_s},
      {10, -0.0001, u"   -0.0001"_s},
      {10, 12345678901.0, u"1.2346E010"_s},
      {10, -3.0, u"        -3"_s},
      {10, -2.5, u"-2.5      "_s},
      {10, 9999999999.0, u"     1E010"_s},
      {10, -999999999.0, u"    -1E009"_s},
      {10, 1.5e-7, u"  1.5E-007"_s},
      {10, 1e100, u"     1E100"_s},
      {10, -5e-6, u"   -5E-006"_s},
      // Fixed form: digits past the width are dropped, never rounded.
      {10, 2.0 / 3, u"0.66666666"_s},
      {10, 10.5, u"10.5      "_s},
      {10, 1000.0, u"      1000"_s},
      {10, 100000000.0, u" 100000000"_s},
      // No "." left after the cut: the zeros of the integer part stay.
      {10, 1000000000.0, u"1000000000"_s},
      {10, 1234567890.5, u"1234567890"_s},
      // Other widths.
      {11, 2.5, u"2.5        "_s},
      {11, 100.0, u"        100"_s},
      {12, 2.5, u" 2.5        "_s},
      {12, 12345678901.0, u"  1.2346E010"_s},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatNumberWidth(c.width, c.value), c.text)
        << "width " << c.width << " value " << c.value;
}

}  // namespace
