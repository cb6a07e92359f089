// Gra_Indicator on a 600 x 400 picture where one user unit is one pixel and the row of y is
// 400 - y; offsets in the specifications point up. Number format pictures on their own.
#include <QDir>

#include "engine/program_folder.h"
#include "graphics/graphics_state.h"
#include "graphics/number_picture.h"
#include "graphics_fixture.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kDialFace = 0xF0CAA6, kBlack = 0x010101;  // clBlack

class IndicatorTest : public GraphicsTest {
 protected:
  // Draws one indicator at (x, y) after setting up the 1:1 coordinate system and the lines.
  QString Indicator(double value, int x, int y, const QString& spec, QStringList before = {}) {
    before.prepend(u"SetCoordinateSystem(0, 0, 600, 400)"_s);
    before.append(u"Gra_Indicator(%1, %2, %3, '%4')"_s.arg(value).arg(x).arg(y).arg(spec));
    return Run(before);
  }
  int RowsOfColour(int column, int from, int to, int colour) const {
    int n = 0;
    for (int row = from; row <= to; ++row) n += Pixel(2, column, row) == colour;
    return n;
  }
  int ColumnsOfColour(int row, int from, int to, int colour) const {
    int n = 0;
    for (int column = from; column <= to; ++column) n += Pixel(2, column, row) == colour;
    return n;
  }
};

// The column x 16..24, y 30..140 above the picture's lower-left corner: pixel columns
// 116..123, rows 160..269 with the anchor at (100, 100).
const QString kThermometer =
    uR"({"type":"Thermometer", "name":"t", "indicator_color":"Red", "ranges":{"min":0, "max":100},
 "picture":"thermo_test.png", "inner_rect":{"x1":16, "y1":30, "x2":24, "y2":140}})"_s;

TEST_F(IndicatorTest, ThermometerPictureAndColumn) {
  QImage picture(40, 160, QImage::Format_RGB32);
  picture.fill(QColor(0, 255, 255));  // clAqua
  const QString folder = ProgramFolder() + u"pictures/"_s;
  QDir().mkpath(folder);
  ASSERT_TRUE(picture.save(folder + u"thermo_test.png"_s));

  const struct {
    double value;
    int filledRows;
  } kCases[] = {{-5, 0}, {0, 0}, {50, 55}, {100, 110}, {150, 110}, {25, 28}};
  for (const auto& c : kCases) {
    EXPECT_EQ(Indicator(c.value, 100, 100, kThermometer), QString());
    EXPECT_EQ(RowsOfColour(120, 150, 280, kRed), c.filledRows) << c.value;
    EXPECT_EQ(RowsOfColour(120, 150, 280, kWhite), 110 - c.filledRows) << c.value;
    if (c.filledRows > 0) EXPECT_EQ(Pixel(2, 116, 269), kRed) << "grows from the lower edge";
  }
  EXPECT_EQ(ColumnsOfColour(265, 110, 130, kRed), 8) << "columns 116..123";
  EXPECT_EQ(Pixel(2, 100, 140), kAqua) << "the picture's top-left pixel";
  EXPECT_EQ(Pixel(2, 139, 299), kAqua) << "its lower-right pixel";
  EXPECT_EQ(Pixel(2, 140, 299), kWhite);
  EXPECT_EQ(Pixel(2, 100, 300), kWhite);

  QString missing = kThermometer;
  missing.replace(u"thermo_test.png"_s, u"none.png"_s);
  EXPECT_EQ(Indicator(50, 100, 100, missing), ErrorAt(1, 170, {folder + u"none.png"_s}));
}

// Outer box columns 300..319, rows 200..299; inside the 2-pixel frame columns 302..317 and
// rows 202..297 (96 high).
const QString kVerticalBar =
    uR"({"type":"rect_vert", "name":"b", "rect_color":"Blue", "rect":{"x1":0, "y1":0, "x2":20, "y2":100},
 "freespace_color":"lime", "width":2, "indicator_color":"RED", "ranges":{"min":10, "max":20}})"_s;

TEST_F(IndicatorTest, VerticalBarFillsFromTheBottom) {
  for (const auto& [value, rows] : {std::pair{5.0, 0}, {10.0, 0}, {15.0, 48}, {20.0, 96}, {99.0, 96}}) {
    EXPECT_EQ(Indicator(value, 300, 100, kVerticalBar), QString());
    EXPECT_EQ(RowsOfColour(310, 195, 305, kRed), rows) << value;
    EXPECT_EQ(RowsOfColour(310, 195, 305, kLime), 96 - rows) << value;
    EXPECT_EQ(RowsOfColour(310, 195, 305, kBlue), 4) << "two frame rows at each end";
  }
  EXPECT_EQ(Pixel(2, 310, 297), kRed);
  EXPECT_EQ(Pixel(2, 301, 250), kBlue);
  EXPECT_EQ(Pixel(2, 320, 250), kWhite);
}

TEST_F(IndicatorTest, HorizontalBarRoundsHalfTheInnerWidth) {
  // Inner columns 101..199 (99 wide): half of them rounds to 50.
  const QString bar =
      uR"({"type":"rect_horiz", "name":"h", "rect_color":"NoSuchColour", "rect":{"x1":0, "y1":0, "x2":101, "y2":20},
 "freespace_color":"White", "width":1, "indicator_color":"red", "ranges":{"min":0, "max":1}})"_s;
  EXPECT_EQ(Indicator(0.5, 100, 100, bar), QString());
  EXPECT_EQ(ColumnsOfColour(290, 95, 210, kRed), 50);
  EXPECT_EQ(Pixel(2, 101, 290), kRed) << "grows from the left";
  EXPECT_EQ(ColumnsOfColour(290, 95, 210, kWhite), 49 + 15) << "the rest and the picture beside the bar";
  EXPECT_EQ(Pixel(2, 100, 290), kPureBlack) << "an unknown frame colour is black";
  EXPECT_EQ(Indicator(1, 100, 100, bar), QString());
  EXPECT_EQ(ColumnsOfColour(290, 95, 210, kRed), 99);
}

TEST_F(IndicatorTest, BrushOfLayerTwoIsRestored) {
  for (const QString& spec : {kVerticalBar, uR"({"type":"gauge", "name":"n"})"_s}) {
    EXPECT_EQ(Indicator(15, 300, 100, spec, {u"SetBrushParameters(clAqua, 0, 2)"_s}), QString());
    EXPECT_EQ(Graphics().layer(2).brushColour, kAqua);
    EXPECT_FALSE(Graphics().layer(2).brushClear);
  }
  EXPECT_EQ(Indicator(15, 300, 100, kVerticalBar, {u"SetBrushParameters(clLime, 1, 2)"_s}), QString());
  EXPECT_EQ(Graphics().layer(2).brushColour, kLime);
  EXPECT_TRUE(Graphics().layer(2).brushClear) << "a clear brush stays clear";
  EXPECT_EQ(CountColour(1, kRed), 0) << "nothing on layer 1";
}

// A dial of radius 50 around (300, 300): min at the left, max at the right.
QString Dial(const QString& ranges) {
  return uR"({"type":"arrow_indicator", "name":"d", "min":0, "max":100, "r":50, "ranges":[%1]})"_s.arg(ranges);
}
const QString kTwoRanges = uR"({"color":"Lime", "min":0, "max":50}, {"color":"Red", "min":50, "max":100})"_s;

TEST_F(IndicatorTest, DialRangesFaceNeedleAndHub) {
  EXPECT_EQ(Indicator(50, 300, 100, Dial(kTwoRanges), {u"SetPenParameters(5, clBlack, 0, 2)"_s}), QString());
  EXPECT_EQ(Pixel(2, 261, 277), kLime) << "the low range on the left, outside the face";
  EXPECT_EQ(Pixel(2, 339, 277), kRed) << "the high range on the right";
  EXPECT_EQ(Pixel(2, 280, 275), kDialFace);
  EXPECT_EQ(Pixel(2, 300, 253), kBlack) << "the needle points up";
  EXPECT_EQ(Pixel(2, 300, 275), kSilver) << "its blade";
  EXPECT_EQ(Pixel(2, 304, 304), kSilver) << "the hub";
  EXPECT_EQ(Pixel(2, 330, 302), kDialFace) << "the band beneath the face";
  EXPECT_EQ(Pixel(2, 300, 249), kBlack) << "the rim";
  EXPECT_EQ(Pixel(2, 300, 240), kWhite);
  EXPECT_EQ(Graphics().layer(2).penWidth, 1) << "the dial leaves a 1-pixel pen";

  EXPECT_EQ(Indicator(0, 300, 100, Dial(kTwoRanges), {u"SetPenParameters(1, clBlack, 0, 2)"_s}), QString());
  EXPECT_EQ(Pixel(2, 300, 270), kDialFace) << "the needle lies to the left at min";
  EXPECT_EQ(Pixel(2, 253, 300), kBlack);
}

TEST_F(IndicatorTest, DialRangesOutsideTheScale) {
  const QString startsBelow = uR"({"color":"Lime", "min":-10, "max":50}, {"color":"Red", "min":50, "max":100})"_s;
  EXPECT_EQ(Indicator(50, 300, 100, Dial(startsBelow)), QString());
  EXPECT_EQ(CountColour(2, kLime) + CountColour(2, kRed), 0) << "no wedges at all";
  EXPECT_EQ(Pixel(2, 280, 275), kDialFace) << "the dial itself is drawn";

  const QString endsAbove = uR"({"color":"Lime", "min":0, "max":150})"_s;
  EXPECT_EQ(Indicator(50, 300, 100, Dial(endsAbove)), ErrorAt(1, 182, {150.0, 0.0, 100.0}));

  EXPECT_EQ(Indicator(50, 300, 100, Dial(uR"({"color":"Aqua", "min":0, "max":100})"_s)), QString());
  EXPECT_EQ(Pixel(2, 261, 277), kAqua);
  EXPECT_EQ(Indicator(50, 300, 100, Dial(uR"({"color":"Unheard", "min":0, "max":100})"_s)), QString());
  EXPECT_EQ(Pixel(2, 261, 277), kWhite) << "an unknown wedge colour is white";
}

TEST_F(IndicatorTest, PanelTakesTheColourOfItsRange) {
  const QString panel =
      uR"({"type":"panel", "name":"p", "fontsize":10, "fontname":"", "format":"0.0 V",
 "ranges":[{"color":"Lime", "min":0, "max":50}, {"color":"Red", "min":50, "max":100}, {"color":"Nope", "min":100, "max":200}]})"_s;
  EXPECT_EQ(Indicator(75, 100, 100, panel), QString());
  EXPECT_EQ(Pixel(2, 100, 300), kRed) << "inside the frame at the anchor";
  EXPECT_EQ(Pixel(2, 99, 301), kPureBlack) << "the frame in the pen";
  EXPECT_EQ(Pixel(2, 98, 300), kWhite);
  EXPECT_GT(CountColour(2, kPureBlack), 4 + 30) << "frame and digits";
  EXPECT_EQ(Indicator(150, 100, 100, panel), QString());
  EXPECT_EQ(Pixel(2, 100, 300), kWhite) << "an unknown colour is white";
  EXPECT_EQ(Indicator(150, 100, 100, uR"({"type":"panel", "name":"p", "fontsize":10, "fontname":"", "format":"0"})"_s),
            QString());
  EXPECT_EQ(Graphics().layer(2).fontSize, 10);
}

TEST_F(IndicatorTest, MissingOrBadFieldsAreReported) {
  EXPECT_EQ(Indicator(1, 10, 10, uR"({"type":"rect_vert", "name":"b"})"_s), ErrorAt(1, 178, {u"rect_color"_s}));
  EXPECT_EQ(Indicator(1, 10, 10, Dial(kTwoRanges).replace(u"\"max\":100"_s, u"\"max\":\"lots\""_s)),
            ErrorAt(1, 179, {u"lots"_s, u"max"_s}));
  EXPECT_EQ(CountColour(2, kDialFace), 0) << "nothing drawn after the error";
}

TEST(NumberPicture, PlaceholdersSectionsAndLiterals) {
  const struct {
    double value;
    const char16_t* picture;
    QChar point;
    const char16_t* text;
  } kCases[] = {
      {75, u"0.0 V", u'.', u"75.0 V"},
      {2.5, u"0.0 V", u',', u"2,5 V"},
      {1234.5, u"#,##0.00", u'.', u"1,234.50"},
      {2.5, u"0.##", u'.', u"2.5"},
      {0.25, u"#.00", u'.', u".25"},
      {7, u"000", u'.', u"007"},
      {-1.5, u"0.00", u'.', u"-1.50"},
      {-1.5, u"0.00;(0.00)", u'.', u"(1.50)"},
      {0, u"0.0;-0.0;'none'", u'.', u"none"},
      {-0.04, u"0.0", u'.', u"0.0"},
      {3, u"'0 = '0", u'.', u"0 = 3"},
      {2.5, u"", u'.', u"2.5"},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(FormatNumberPicture(c.value, QString::fromUtf16(c.picture), c.point, u','), QString::fromUtf16(c.text))
        << QString::fromUtf16(c.picture).toStdString();
}

}  // namespace
