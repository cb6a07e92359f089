#include "functions/js_math.h"

#include <cmath>

#include "engine/number_text.h"
#include "engine/word_kinds.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// Math.round as the JavaScript engine computes it: half added, then rounded down (so that the
// sum's own rounding decides near 2^52), with the magnitudes below one half giving zero.
double JavaScriptRound(double x) {
  return std::fabs(x) < 0.5 ? 0.0 : std::floor(x + 0.5);
}

struct UnaryMath {
  const char16_t* name;
  double (*compute)(double);
};

constexpr UnaryMath kUnary[] = {
    {u"abs", [](double x) { return std::fabs(x); }},
    {u"sin", [](double x) { return std::sin(x); }},
    {u"cos", [](double x) { return std::cos(x); }},
    {u"tan", [](double x) { return std::tan(x); }},
    {u"asin", [](double x) { return std::asin(x); }},
    {u"acos", [](double x) { return std::acos(x); }},
    {u"atan", [](double x) { return std::atan(x); }},
    {u"ceil", [](double x) { return std::ceil(x); }},
    {u"floor", [](double x) { return std::floor(x); }},
    {u"round", JavaScriptRound},
    {u"log", [](double x) { return std::log(x); }},
    {u"exp", [](double x) { return std::exp(x); }},
};

// A text JavaScript reads as a decimal numeric literal, with an optional minus sign in front:
// digits without a leading zero (JavaScript does not read those as decimals), an optional
// fraction, an optional exponent.
bool IsPlainNumberText(const QString& text) {
  qsizetype i = 0;
  const qsizetype n = text.size();
  const auto digits = [&] {
    const qsizetype start = i;
    while (i < n && text[i] >= u'0' && text[i] <= u'9') ++i;
    return i > start;
  };
  if (i < n && text[i] == u'-') ++i;
  const qsizetype integerStart = i;
  if (!digits() || (text[integerStart] == u'0' && i - integerStart > 1)) return false;
  if (i < n && text[i] == u'.') {
    ++i;
    if (!digits()) return false;
  }
  if (i < n && (text[i] == u'e' || text[i] == u'E')) {
    ++i;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) ++i;
    if (!digits()) return false;
  }
  return i == n;
}

bool ArgumentNumber(const TWordStatus& argument, double& value) {
  return !IsStringKind(argument.kind) && argument.kind != wkBool && IsPlainNumberText(argument.str) &&
         ParseNumberText(argument.str, value);
}

}  // namespace

namespace {

// Infinities and NaN take the engine's way, with its texts and messages; the number text of
// negative zero is "0".
bool FinishResult(double result, double& value) {
  if (!std::isfinite(result)) return false;
  value = result == 0 ? 0.0 : result;
  return true;
}

bool UnaryValue(const NumericFunction& self, const TWordStatus& argument, double& result) {
  double x = argument.float_val;  // a null text is the number's own text, which reads as it
  if (!(argument.str.isNull() && IsNumberKind(argument.kind)) && !ArgumentNumber(argument, x)) return false;
  return FinishResult(self.math(x), result);
}

}  // namespace

NumericFunction JavaScriptNumericFunction(const T_FunctionDescription& function) {
  if (function.Obj != jso_Math) return {};
  const QString lowerName = function.CanonicalName().toLower();
  for (const UnaryMath& u : kUnary)
    if (lowerName == u.name) return {UnaryValue, u.compute};
  return {};
}

bool NativeMathValue(const QString& lowerName, const TWordArray& args, double& value) {
  const int count = ArgumentCount(args);
  double result = 0;
  if (lowerName == u"min"_s || lowerName == u"max"_s) {
    if (count < 1) return false;
    const bool min = lowerName == u"min"_s;
    for (int i = 0; i < count; ++i) {
      double x = 0;
      if (!ArgumentNumber(args[i], x)) return false;
      if (i == 0 || (min ? x < result : x > result)) result = x;
    }
  } else {
    const auto entry = std::find_if(std::begin(kUnary), std::end(kUnary),
                                    [&](const UnaryMath& u) { return lowerName == u.name; });
    double x = 0;
    if (entry == std::end(kUnary) || count != 1 || !ArgumentNumber(args[0], x)) return false;
    result = entry->compute(x);
  }
  return FinishResult(result, value);
}
