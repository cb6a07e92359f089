// The coordinate system: the constants, the mapping and its rounding, each scaling mode, the
// grid steps, and the axes and grid drawn on the chosen layer.
#include <QRegularExpression>

#include "engine/constants.h"
#include "graphics/graphics_state.h"
#include "graphics_fixture.h"

using namespace Qt::Literals::StringLiterals;

namespace {

TEST_F(GraphicsTest, ConstantsAreTheColourAndTransformationLines) {
  Draw({u"black = clBlack"_s, u"red = clRed"_s, u"pink = clPink"_s, u"yg = clYellowGreen"_s,
        u"flags = ROT90 + ROT180 + ROT270 + HSYMM + VSYMM"_s, u"white = clWhite"_s});
  EXPECT_EQ(Integer(u"black"_s), 65793) << "clBlack is not pure black";
  EXPECT_EQ(Integer(u"red"_s), 2113791);
  EXPECT_EQ(Integer(u"pink"_s), 13353215);
  EXPECT_EQ(Integer(u"yg"_s), 3329434);
  EXPECT_EQ(Integer(u"flags"_s), 31);
  EXPECT_EQ(Integer(u"white"_s), 16777215);
  const QStringList& table = ConstantsTable();
  EXPECT_TRUE(table.contains(u"clYellowGreen =$32CD9A"_s));
  EXPECT_TRUE(table.contains(u"ROT90  = 1"_s));
  // The colours and the five transformation flags; other units add lines of their own.
  EXPECT_EQ(table.filter(QRegularExpression(u"^(cl\\w+|ROT\\d+|[HV]SYMM) *="_s)).size(), 30);
}

TEST_F(GraphicsTest, UserPointsMapToPixelsRoundedHalfToEven) {
  Draw({u"SetCoordinateSystem(0, 0, 600, 400)"_s});
  EXPECT_EQ(surface->Size(), QSize(600, 400));
  EXPECT_EQ(WorldToPixel(2.5, 10), QPoint(2, 390));
  EXPECT_EQ(WorldToPixel(3.5, 10.5), QPoint(4, 390));
  EXPECT_EQ(WorldToPixel(0, 400), QPoint(0, 0)) << "y2 is the top edge";

  // The pixel functions address the row above.
  Draw({u"SetCoordinateSystem(0, 0, 600, 400)"_s, u"PixelWrite(2.5, 10, clRed)"_s, u"a = PixelRead(2.5, 10)"_s,
        u"grey = PixelRead(2.5, 10, 1, 1)"_s, u"outside = PixelRead(-5, 10)"_s, u"other = PixelRead(2.5, 10, 2)"_s});
  EXPECT_EQ(Pixel(1, 2, 389), kRed);
  EXPECT_EQ(Integer(u"a"_s), 2113791);
  EXPECT_EQ(Integer(u"grey"_s), (255 + 64 + 32) / 3);
  EXPECT_EQ(Integer(u"outside"_s), -1);
  EXPECT_EQ(Integer(u"other"_s), kWhite) << "layer 2 is untouched";
}

TEST_F(GraphicsTest, NothingIsDrawnBeforeACoordinateSystem) {
  Draw({u"PixelWrite(1, 1, clRed)"_s, u"MoveTo(0, 0)"_s, u"LineTo(500, 300)"_s, u"Circle(10, 10, 5)"_s,
        u"v = PixelRead(1, 1)"_s});
  EXPECT_EQ(Integer(u"v"_s), -1);
  EXPECT_EQ(CountColour(1, kWhite), 600 * 400);
}

TEST_F(GraphicsTest, ScalingModesSizeTheLayers) {
  // Mode 0 fits the ranges' proportions into the panel.
  Draw({u"SetCoordinateSystem(0, 0, 100, 100)"_s});
  EXPECT_EQ(surface->Size(), QSize(400, 400));
  EXPECT_DOUBLE_EQ(Graphics().kx, 4);

  // Mode 1: one pixel per unit, shown enlarged to the panel.
  Draw({u"SetCoordinateSystem(0, 0, 200, 100, 0, 1, 1)"_s});
  EXPECT_EQ(surface->Size(), QSize(200, 100));
  EXPECT_EQ(Graphics().display, QSize(600, 300));
  EXPECT_DOUBLE_EQ(Graphics().zoom, 3);

  // Mode 2: one pixel per unit, shown unscaled.
  Draw({u"SetCoordinateSystem(0, 0, 400, 250, 0, 1, 2)"_s});
  EXPECT_EQ(surface->Size(), QSize(400, 250));
  EXPECT_EQ(Graphics().display, QSize(400, 250));
  EXPECT_DOUBLE_EQ(Graphics().zoom, 1);

  // Mode 3 widens the ranges by a tenth each side; the panel's height limits a 1.414 ratio.
  Draw({u"SetCoordinateSystem(0, 0, 100, 100, 0, 1, 3)"_s});
  EXPECT_DOUBLE_EQ(Graphics().x1, -10);
  EXPECT_DOUBLE_EQ(Graphics().y2, 110);
  EXPECT_EQ(surface->Size(), QSize(565, 400));
  // ... and its width limits a ratio of 2.
  Draw({u"SetCoordinateSystem(0, 0, 100, 100, 0, 1, 3, 2)"_s});
  EXPECT_EQ(surface->Size(), QSize(600, 300));
}

TEST_F(GraphicsTest, BadModesAndSmallBitmapsAreReported) {
  EXPECT_EQ(Run({u"SetCoordinateSystem(0, 0, 100, 100, 0, 1, 5)"_s}), ErrorAt(0, 176, {5}));
  EXPECT_EQ(Run({u"SetCoordinateSystem(0, 0, 1000, 1, 0, 1, 0)"_s}), ErrorAt(0, 175));
  EXPECT_EQ(Run({u"SetCoordinateSystem(0, 0, 40, 40, 0, 1, 2)"_s}), ErrorAt(0, 175));
  EXPECT_EQ(Run({u"SetCoordinateSystem(0, 0, 0, 0)"_s}), ErrorAt(0, 175)) << "empty ranges";
  EXPECT_EQ(Run({u"SetCoordinateSystem(0, 0, 50000, 50000, 0, 1, 2)"_s}), ErrorAt(0, 202))
      << "a bitmap larger than a surface can be";
  EXPECT_EQ(Run({u"SetCoordinateSystem(0, 0, 10000, 10000, 0, 1, 2)"_s}), ErrorAt(0, 202))
      << "sides within bounds, but too many pixels";
}

TEST(GridStep, DividesARangeIntoFiveToThirteenRoundSteps) {
  EXPECT_EQ(GridStep(800, 400), 50);
  EXPECT_EQ(GridStep(500, 250), 25);
  EXPECT_EQ(GridStep(500, 1), 0.1);
  EXPECT_EQ(GridStep(500, 7), 1);
  EXPECT_EQ(GridStep(500, 100000), 10000);
  EXPECT_EQ(GridStep(500, 0.001), 0.0001);
  EXPECT_EQ(GridStep(99, 400), 0) << "too few pixels";
  EXPECT_EQ(GridStep(500, 0.0005), 0) << "range too small";
  EXPECT_EQ(GridStep(500, 200000), 0) << "range too large";
}

TEST(GridLabel, SevenDigitsAndALongExponent) {
  EXPECT_EQ(GridLabel(3 * 0.1), u"0.3"_s);
  EXPECT_EQ(GridLabel(-25), u"-25"_s);
  EXPECT_EQ(GridLabel(1234567.8), u"1234568"_s);
  EXPECT_EQ(GridLabel(0.00005), u"5E-005"_s);
  EXPECT_EQ(GridLabel(25000000), u"2.5E+007"_s);
}

TEST_F(GraphicsTest, GridOnLayerTwoWithItsSteps) {
  Draw({u"SetCoordinateSystem(0, 0, 400, 250, 2, 2, 2)"_s});
  EXPECT_EQ(surface->Size(), QSize(400, 250));
  EXPECT_EQ(Graphics().stepX, 50);
  EXPECT_EQ(Graphics().stepY, 25);
  EXPECT_EQ(CountColour(1, kWhite), 400 * 250) << "layer 1 stays white";
  // The zero line is solid, the others dash-dot: gaps along them.
  for (int row = 0; row < 200; row += 10) EXPECT_EQ(Pixel(2, 0, row), kSilver) << row;
  int column50 = 0;
  for (int row = 0; row < 200; ++row) column50 += Pixel(2, 50, row) == kSilver;
  EXPECT_GT(column50, 50);
  EXPECT_LT(column50, 200);
  int row125 = 0;
  for (int column = 100; column < 400; ++column) row125 += Pixel(2, column, 125) == kSilver;
  EXPECT_GT(row125, 50);
  EXPECT_LT(row125, 300);
  // The tools are back to pure black and solid afterwards.
  EXPECT_EQ(Graphics().layer(2).penColour, 0);
  EXPECT_EQ(Graphics().layer(2).penStyle, 0);
}

TEST_F(GraphicsTest, AxesCarryTicksOverBothRanges) {
  Draw({u"SetCoordinateSystem(-100, -100, 10, 10, 1)"_s});
  const QPoint origin = WorldToPixel(0, 0);
  EXPECT_EQ(Pixel(1, origin.x(), 5 * Graphics().stepYpx), kSilver) << "the y axis";
  EXPECT_EQ(Pixel(1, origin.x() - 30, origin.y()), kSilver) << "the x axis";
  // A tick on the x axis at each step left of the origin.
  const int tick = RoundToInt(Graphics().stepXpx / 10);
  ASSERT_GT(tick, 1);
  for (double x = -Graphics().stepX; x > -100; x -= Graphics().stepX) {
    const QPoint p = WorldToPixel(x, 0);
    EXPECT_EQ(Pixel(1, p.x(), p.y() - tick + 1), kSilver) << x;
  }
  int labelPixels = 0;  // the y labels, left of the y axis below the x axis, in silver
  for (int x = 0; x < origin.x() - tick - 1; ++x)
    for (int y = origin.y() + 20; y < surface->Size().height(); ++y) {
      const int colour = Pixel(1, x, y);
      EXPECT_TRUE(colour == kWhite || colour == kSilver) << x << "," << y;
      labelPixels += colour == kSilver;
    }
  EXPECT_GT(labelPixels, 50);
}

}  // namespace
