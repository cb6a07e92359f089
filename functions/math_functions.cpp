// General functions: square and cube roots, powers and pseudo-random numbers.
#include <chrono>
#include <cmath>
#include <random>

#include "engine/message_numbers.h"
#include "functions/general_unit.h"

namespace {

double SquareRoot(double x) { return std::sqrt(x); }
double CubeRoot(double x) { return std::cbrt(x); }

// sqrt(X): catalogue message 115 for a negative argument.
void Sqrt(GeneralCall& c) {
  const double x = c.number(0);
  if (x < 0) return c.fail(msg::kNegativeSquareRoot, {x});
  c.setNumber(SquareRoot(x));
}

// cubic_root(X): the real cube root, negative for a negative argument.
void CubicRoot(GeneralCall& c) {
  c.setNumber(CubeRoot(c.number(0)));
}

// pow(X, Y). A negative base takes only whole exponents, or 1/3, which is how the engine writes
// the cube-root sign; other fractional exponents give catalogue message 116.
void Pow(GeneralCall& c) {
  const double x = c.number(0);
  const double y = c.number(1);
  if (x >= 0) return c.setNumber(std::pow(x, y));
  if (std::fabs(y - 1.0 / 3.0) < 1e-13) return c.setNumber(-std::pow(-x, 1.0 / 3.0));
  if (y != std::trunc(y)) return c.fail(msg::kNegativeFractionalPower, {x, y});
  c.setNumber(std::pow(x, y));
}

std::mt19937_64& Generator() {
  // Seeded once, from the clock, the first time a number is drawn.
  static std::mt19937_64 generator(
      std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()) ^
      std::uint64_t(std::chrono::system_clock::now().time_since_epoch().count()));
  return generator;
}

// Random(): a real in [0, 1). Random(Limit): a whole number from 0 to Round(Limit), both ends
// included; a negative limit gives one from Round(Limit) up to 0.
void Random(GeneralCall& c) {
  if (!c.has(0)) {
    // 53 random bits scaled into [0, 1): never 1 itself.
    return c.setSystemNumber(double(Generator()() >> 11) * 0x1.0p-53);
  }
  const qint64 limit = c.integer(0);
  std::uniform_int_distribution<qint64> pick(std::min<qint64>(0, limit),
                                             std::max<qint64>(0, limit));
  c.setSystemNumber(double(pick(Generator())));
}

constexpr UnitFunctionEntry kMathFunctions[] = {
    {u"sqrt", Sqrt},
    {u"cubic_root", CubicRoot},
    {u"pow", Pow},
    {u"Random", Random},
};

// sqrt and cubic_root computed directly, where they succeed: a finite argument (not negative
// for sqrt).
bool RootValue(const NumericFunction& self, const TWordStatus& argument, double& result) {
  const double x = argument.float_val;
  if (!std::isfinite(x) || (self.math == SquareRoot && x < 0)) return false;
  result = self.math(x);
  return true;
}

}  // namespace

std::span<const UnitFunctionEntry> MathFunctions() {
  return kMathFunctions;
}

NumericFunction MathNumericFunction(const T_FunctionDescription& function) {
  const QString canonicalName = function.CanonicalName();
  if (canonicalName == u"sqrt") return {RootValue, SquareRoot};
  if (canonicalName == u"cubic_root") return {RootValue, CubeRoot};
  return {};
}
