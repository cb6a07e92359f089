#include "graphics/graphics_state.h"

#include <QLocale>
#include <cmath>
#include <iterator>

#include "engine/evaluator.h"

using namespace Qt::Literals::StringLiterals;

GraphicsState& Graphics() {
  static GraphicsState state;
  return state;
}

int RoundToInt(double v) {
  const double r = RoundHalfEven(v);
  if (!(r == r)) return 0;
  if (r >= 2147483647.0) return 2147483647;
  if (r <= -2147483648.0) return -2147483647 - 1;
  return int(r);
}

int PixelCoordinate(double v) {
  constexpr int kLimit = 1 << 24;  // far outside any picture, well inside the painter's range
  const int p = RoundToInt(v);
  return p > kLimit ? kLimit : p < -kLimit ? -kLimit : p;
}

QPoint WorldToPixel(double x, double y) {
  const GraphicsState& g = Graphics();
  return {PixelCoordinate((x - g.x1) * g.kx), PixelCoordinate((g.y2 - y) * g.ky)};
}

namespace {

constexpr double kStepsUp[] = {1, 2.5, 5, 10, 25, 50, 100, 250, 500, 1000, 2500, 5000, 10000};
constexpr double kStepsDown[] = {1,     0.5,    0.25,    0.1,    0.05,    0.025,  0.01,
                                 0.005, 0.0025, 0.001, 0.0005, 0.00025, 0.0001, 0.00005};

// The value after `c` in a sequence, or 0 when `c` is its last value or not in it.
template <std::size_t N>
double NextStep(const double (&sequence)[N], double c) {
  for (std::size_t i = 0; i + 1 < N; ++i)
    if (std::fabs(sequence[i] - c) < 0.000001) return sequence[i + 1];
  return 0;
}

}  // namespace

// A grid label: up to 7 significant digits, an exponent of at least 3 digits, the locale's
// decimal separator.
QString GridLabel(double value) {
  QString text = QString::number(value, 'g', 7);
  if (const qsizetype e = text.indexOf(u'e'); e >= 0) {
    const int exponent = text.mid(e + 1).toInt();
    text = text.left(e) + (exponent < 0 ? u"E-"_s : u"E+"_s) +
           QString::number(std::abs(exponent)).rightJustified(3, u'0');
  }
  const QString point = QLocale::system().decimalPoint();
  if (!point.isEmpty() && point != u"."_s) text.replace(u'.', point);
  return text;
}

double GridStep(int pixels, double range) {
  if (pixels < 100 || !(range >= 0.001 && range <= 100000)) return 0;
  double c = 1;
  while (c != 0) {
    double k = RoundHalfEven(range / c);
    if (k == 0) k = 1;
    if (k > 4 && k <= 13) return c;
    c = k > 13 ? NextStep(kStepsUp, c) : NextStep(kStepsDown, c);
  }
  return 0;
}
