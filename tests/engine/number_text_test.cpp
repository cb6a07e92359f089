#include <gtest/gtest.h>

#include "engine_fixture.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

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

// Small whole numbers share texts written in advance; they must read exactly like the others,
// end in a 0 like a string's own data, and stay intact when a copy of them is changed.
TEST_F(NumberTextTest, SmallWholeNumbersAcrossTheSharedRange) {
  for (long long v = -1100; v <= 10100; ++v) {
    const QString text = NumberText(double(v));
    ASSERT_EQ(text, QString::number(v)) << "value " << v;
    ASSERT_EQ(text.constData()[text.size()], QChar(u'\0')) << "value " << v;
    double back = 0;
    ASSERT_EQ(NumberText(double(v), back), text);
    ASSERT_EQ(back, double(v));
  }
  QString changed = NumberText(42);
  changed.append(u'!');
  changed[0] = u'7';
  EXPECT_EQ(changed, u"72!"_s);
  EXPECT_EQ(NumberText(42), u"42"_s);
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

namespace {

// The general form built from printf's correctly rounded digits, written plainly with strings:
// the reference the fast writer is held to.
QString ReferenceGeneralText(double value, int digits, int maxPlainExponent, int minExponentDigits) {
  if (value == 0) return u"0"_s;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", digits - 1, value);
  const std::string sci(buf);
  const std::size_t ePos = sci.find('e');
  const bool negative = sci.front() == '-';
  std::string mantissa;
  for (char c : sci.substr(negative ? 1 : 0, ePos - (negative ? 1 : 0)))
    if (c != '.') mantissa += c;
  while (mantissa.size() > 1 && mantissa.back() == '0') mantissa.pop_back();
  const int X = std::atoi(sci.c_str() + ePos + 1) + 1;
  std::string out = negative ? "-" : "";
  if (X > maxPlainExponent || X < -3) {
    out += mantissa[0];
    if (mantissa.size() > 1) out += '.' + mantissa.substr(1);
    std::string mag = std::to_string(std::abs(X - 1));
    while (int(mag.size()) < minExponentDigits) mag.insert(mag.begin(), '0');
    out += std::string("E") + (X - 1 < 0 ? "-" : "") + mag;
  } else if (X <= 0) {
    out += "0." + std::string(std::size_t(-X), '0') + mantissa;
  } else if (X >= int(mantissa.size())) {
    out += mantissa + std::string(std::size_t(X) - mantissa.size(), '0');
  } else {
    out += mantissa.substr(0, std::size_t(X)) + '.' + mantissa.substr(std::size_t(X));
  }
  return QString::fromStdString(out);
}

}  // namespace

TEST_F(NumberTextTest, GeneralFormMatchesTheReferenceOverManyValues) {
  // Random bit patterns over the whole range, decimal fractions, and values at the edges of
  // the plain form, in both settings the program uses.
  std::uint64_t state = 0x9E3779B97F4A7C15u;
  const auto next = [&] {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
  };
  std::vector<double> values = {1e15, 999999999999999.5, 1e-3, 9.99999999999999e-4, 0.001, 123.456,
                                -0.000123456789012345, 5e-324, 1.7976931348623157e308, 0.1 + 0.2};
  for (int i = 0; i < 20000; ++i) {
    double v;
    const std::uint64_t bits = next();
    std::memcpy(&v, &bits, sizeof v);
    if (std::isfinite(v)) values.push_back(v);
    values.push_back(double(std::int64_t(next() % 2000000) - 1000000) / double(1 + next() % 100000));
  }
  for (double v : values) {
    ASSERT_EQ(GeneralNumberText(v, 15, 15, 1), ReferenceGeneralText(v, 15, 15, 1)) << v;
    ASSERT_EQ(GeneralNumberText(v, 5, 5, 3), ReferenceGeneralText(v, 5, 5, 3)) << v;
  }
  // The number a text reads as, found while writing it, is the one reading it gives.
  values.insert(values.end(), {0.0, -0.0, 7.0, -123456789012345.0, 1e15 + 2, 1e300, -1e-300,
                               std::numeric_limits<double>::infinity(), std::nan("")});
  for (double v : values) {
    double readBack = 0, read = 0;
    const QString text = NumberText(v, readBack);
    ASSERT_EQ(text, NumberText(v)) << v;
    if (!ParseNumberText(text, read)) read = 0;  // a text past the range reads as none
    if (std::isnan(read)) ASSERT_TRUE(std::isnan(readBack)) << v;
    else ASSERT_EQ(std::memcmp(&readBack, &read, sizeof read), 0) << v << " " << text.toStdString();
    // Found without the text: the same number, whose own text is the value's text. A variable
    // keeps that number and writes the text only when it is read.
    double unwritten = 0;
    if (NumberTextValue(v, unwritten)) {
      ASSERT_EQ(std::memcmp(&unwritten, &read, sizeof read), 0) << v << " " << text.toStdString();
      ASSERT_EQ(NumberText(unwritten), text) << v;
    }
    Tvariable variable;
    variable.SetNumber(v);
    const double held = variable.Number();
    if (!std::isnan(readBack)) {
      ASSERT_EQ(std::memcmp(&held, &readBack, sizeof held), 0) << v;
    }
    ASSERT_EQ(variable.Text(), text) << v;
  }
}
