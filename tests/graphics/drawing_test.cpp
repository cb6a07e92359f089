// The drawing functions on a 600 x 400 picture where one user unit is one pixel and the row
// of y is 400 - y.
#include <QDir>
#include <QFile>

#include "engine/program_folder.h"
#include "graphics/graphics_state.h"
#include "graphics_fixture.h"

using namespace Qt::Literals::StringLiterals;

namespace {

class DrawingTest : public GraphicsTest {
 protected:
  void DrawOnPixels(QStringList lines) {
    lines.prepend(u"SetCoordinateSystem(0, 0, 600, 400)"_s);
    Draw(lines);
  }
  // The rows of column `column` that have the colour, between rows `from` and `to`.
  int RowsOfColour(int layer, int column, int from, int to, int colour) const {
    int n = 0;
    for (int row = from; row <= to; ++row) n += Pixel(layer, column, row) == colour;
    return n;
  }
};

TEST_F(DrawingTest, PenWidthStyleAndLayer) {
  DrawOnPixels({u"SetPenParameters(0, clRed)"_s, u"MoveTo(10, 300)"_s, u"LineTo(200, 300)"_s,
                u"SetPenParameters(5, clBlue)"_s, u"MoveTo(10, 200)"_s, u"LineTo(200, 200)"_s,
                u"SetPenParameters(3, clLime, 4)"_s, u"MoveTo(10, 150)"_s, u"LineTo(200, 150)"_s,
                u"SetPenParameters(1, clRed, 7)"_s, u"MoveTo(10, 100)"_s, u"LineTo(200, 100)"_s,
                u"SetPenParameters(1, clRed, 1)"_s, u"MoveTo(10, 50)"_s, u"LineTo(200, 50)"_s,
                u"SetPenParameters(9, clAqua, 0, 2)"_s});
  EXPECT_EQ(RowsOfColour(1, 100, 95, 105, kRed), 1) << "width 0 becomes 1";
  EXPECT_EQ(RowsOfColour(1, 100, 190, 210, kBlue), 5);
  EXPECT_EQ(RowsOfColour(1, 100, 240, 260, kLime), 0) << "style 4 draws no line";
  int solid = 0, dashed = 0;
  for (int column = 20; column < 190; ++column) {
    solid += Pixel(1, column, 300) == kRed;
    dashed += Pixel(1, column, 350) == kRed;
  }
  EXPECT_EQ(solid, 170) << "style 7 is solid";
  EXPECT_GT(dashed, 40);
  EXPECT_LT(dashed, 160) << "style 1 has gaps";
  EXPECT_EQ(Graphics().layer(1).penColour, kRed) << "the layer 2 pen is its own";
  EXPECT_EQ(Graphics().layer(2).penWidth, 9);
  EXPECT_EQ(Graphics().layer(1).penPosition, QPoint(200, 350));
}

TEST_F(DrawingTest, BrushesFillOrNot) {
  DrawOnPixels({u"SetBrushParameters(clAqua)"_s, u"FillRect(10, 10, 100, 100)"_s, u"SetBrushParameters(clRed, 1)"_s,
                u"FillRect(200, 10, 300, 100)"_s});
  EXPECT_EQ(Pixel(1, 50, 350), kAqua) << "transp absent: a solid brush";
  EXPECT_EQ(Pixel(1, 10, 350), kPureBlack) << "outlined with the pen";
  EXPECT_EQ(Pixel(1, 250, 350), kWhite) << "a clear brush leaves the inside";
  EXPECT_EQ(Pixel(1, 200, 350), kPureBlack);
  EXPECT_EQ(Pixel(1, 105, 350), kWhite);
}

TEST_F(DrawingTest, FloodFillIsFourConnectedWithTheBrush) {
  // A staircase diagonal: its pixels touch only at corners, which a 4-connected fill cannot pass.
  DrawOnPixels({u"MoveTo(0, 0)"_s, u"LineTo(400, 400)"_s, u"SetBrushParameters(clLime)"_s, u"FloodFill(300, 50, clRed)"_s});
  EXPECT_EQ(Pixel(1, 300, 349), kLime) << "painted with the brush, not the colour argument";
  EXPECT_EQ(Pixel(1, 599, 0), kLime);
  EXPECT_EQ(Pixel(1, 50, 50), kWhite) << "the other side of the diagonal";
  EXPECT_EQ(CountColour(1, kRed), 0);
  // A region of the brush's own colour is filled once.
  Draw({u"FloodFill(300, 50, 0)"_s});
  EXPECT_EQ(Pixel(1, 300, 349), kLime);
}

TEST_F(DrawingTest, CircleAndRoundedRect) {
  DrawOnPixels({u"SetBrushParameters(clAqua)"_s, u"Circle(300, 200, 50)"_s, u"SetBrushParameters(clLime)"_s,
                u"Rect(10, 10, 110, 110, 1, 20)"_s});
  EXPECT_EQ(Pixel(1, 300, 200), kAqua);
  EXPECT_EQ(Pixel(1, 300 + 53, 200), kWhite);
  EXPECT_EQ(RowsOfColour(1, 300, 145, 155, kPureBlack), 1) << "the outline";
  // Rect: left 10, right 110, top 400 - 110 - 1, bottom 400 - 10 - 1; corners cut by arcs.
  EXPECT_EQ(Pixel(1, 60, 339), kLime);
  EXPECT_EQ(Pixel(1, 10, 339), kPureBlack);
  EXPECT_EQ(Pixel(1, 60, 289), kPureBlack);
  EXPECT_EQ(Pixel(1, 11, 290), kWhite) << "outside the rounded corner";
  EXPECT_EQ(Pixel(1, 9, 339), kWhite) << "the fill stops at the border";
}

TEST_F(DrawingTest, TextInPureBlackAndTheEmptyTextCount) {
  DrawOnPixels({u"TextPrint(100, 100, 'Hello', 12)"_s});
  int black = 0;
  for (int y = 270; y < 300; ++y)
    for (int x = 100; x < 160; ++x) black += Pixel(1, x, y) == kPureBlack;
  EXPECT_GT(black, 20) << "written above the point, in pure black";
  EXPECT_EQ(CountColour(1, 65793), 0) << "not in clBlack";
  EXPECT_EQ(Graphics().layer(1).fontSize, 12);

  Graphics().layer(1).fontColour = kRed;
  Draw({u"TextPrint(100, 100, '', 12, clRed, 2)"_s});
  EXPECT_EQ(Graphics().layer(1).fontColour, 0) << "two arguments: colour 0 on layer 1";
}

TEST_F(DrawingTest, PolylinesWithMarkersAndPolygons) {
  DrawOnPixels({u"array a[3,2] float"_s, u"a[1,1] = 100"_s, u"a[1,2] = 100"_s, u"a[2,1] = 200"_s, u"a[2,2] = 100"_s,
                u"a[3,1] = 200"_s, u"a[3,2] = 200"_s, u"SetPenParameters(1, clRed)"_s, u"Polyline(a, 1, 2, 10)"_s});
  EXPECT_EQ(Pixel(1, 150, 300), kRed) << "the line";
  EXPECT_EQ(Pixel(1, 103, 297), kRed) << "a filled square marker";
  EXPECT_EQ(Pixel(1, 95, 295), kRed) << "its corner";
  EXPECT_EQ(Pixel(1, 94, 294), kWhite);
  EXPECT_EQ(Graphics().layer(1).brushColour, kWhite) << "the brush is restored";

  Draw({u"Clean()"_s, u"array b[2,2] float"_s, u"b[1,1] = 100"_s, u"b[1,2] = 100"_s, u"b[2,1] = 200"_s, u"b[2,2] = 100"_s,
        u"Polyline(b, 1, 5)"_s});
  EXPECT_EQ(Pixel(1, 103, 303), kRed) << "a cross";
  EXPECT_EQ(Pixel(1, 103, 300), kRed) << "... on the line";
  EXPECT_EQ(Pixel(1, 100, 303), kWhite);

  Draw({u"Clean()"_s, u"array y[3] float"_s, u"y[1] = 100"_s, u"y[2] = 150"_s, u"y[3] = 100"_s, u"PolyLine1(y, 100, 50)"_s});
  EXPECT_EQ(Pixel(1, 125, 275), kRed);
  EXPECT_EQ(Pixel(1, 175, 275), kRed);

  Draw({u"Clean()"_s, u"array t[3,2] float"_s, u"t[1,1] = 100"_s, u"t[1,2] = 100"_s, u"t[2,1] = 300"_s, u"t[2,2] = 100"_s,
        u"t[3,1] = 200"_s, u"t[3,2] = 300"_s, u"SetBrushParameters(clBlue)"_s, u"Polygon(t)"_s});
  EXPECT_EQ(Pixel(1, 200, 250), kBlue);
  EXPECT_EQ(Pixel(1, 120, 150), kWhite);

  Draw({u"Clean()"_s, u"array s[3,2] string"_s, u"Polyline(s)"_s, u"Polygon(s)"_s});
  EXPECT_EQ(CountColour(1, kWhite), 600 * 400) << "only float arrays are drawn";
}

TEST_F(DrawingTest, CleanKeepsTheBrushAndLayerTransferMergesTheLayers) {
  DrawOnPixels({u"SetBrushParameters(clLime)"_s, u"FillRect(10, 10, 50, 50)"_s, u"PixelWrite(300, 300, clRed, 2)"_s,
                u"PixelWrite(300, 300, clBlue)"_s, u"Clean()"_s});
  EXPECT_EQ(CountColour(1, kWhite), 600 * 400);
  EXPECT_EQ(Pixel(2, 300, 99), kRed) << "Clean() clears layer 1 only";
  EXPECT_EQ(Graphics().layer(1).brushColour, kLime);

  Draw({u"PixelWrite(100, 100, clBlue)"_s, u"SetBrushParameters(clRed, 1, 2)"_s, u"LayerTransferring()"_s});
  EXPECT_EQ(Pixel(1, 300, 99), kRed);
  EXPECT_EQ(Pixel(1, 100, 299), kBlue) << "white on layer 2 hides nothing";
  EXPECT_EQ(CountColour(2, kWhite), 600 * 400);
  EXPECT_FALSE(Graphics().layer(2).brushClear) << "layer 2's brush is white and solid afterwards";
  EXPECT_EQ(Graphics().layer(2).brushColour, kWhite);
  EXPECT_EQ(surface->Composed().pixel(300, 99) & 0xFFFFFF, 0xFF4020u) << "layer 1 shows";
}

TEST_F(DrawingTest, PicturesFromThePicturesFolder) {
  QImage picture(20, 10, QImage::Format_RGB32);
  picture.fill(QColor(0, 0, 255));
  const QString folder = ProgramFolder() + u"pictures/"_s;
  QDir().mkpath(folder);
  ASSERT_TRUE(picture.save(folder + u"blue.png"_s));
  ASSERT_TRUE(picture.save(folder + u"blue.bmp"_s));
  ASSERT_TRUE(picture.save(folder + u"blue.jpg"_s));
  ASSERT_TRUE(picture.save(folder + u"blue.jpeg"_s, "jpg"));
  QFile(folder + u"a.gif"_s).open(QIODevice::WriteOnly);

  DrawOnPixels({u"PictureImport('blue.png', 100, 100, 1)"_s, u"PictureImport('blue.bmp')"_s});
  EXPECT_EQ(Pixel(1, 100, 299), kBlue) << "the lower-left corner at the point";
  EXPECT_EQ(Pixel(1, 119, 290), kBlue);
  EXPECT_EQ(Pixel(1, 120, 299), kWhite);
  EXPECT_EQ(Pixel(1, 100, 289), kWhite);
  EXPECT_EQ(Pixel(2, 1, 398), kBlue) << "layer 2 at (1, 1) by default";
  Draw({u"PictureImport('blue.jpg', 300, 300, 1)"_s});
  const int jpeg = Pixel(1, 305, 95);
  EXPECT_GT(jpeg >> 16, 200) << "near blue, as JPEG keeps it";
  EXPECT_LT(jpeg & 0xFFFF, 0x3030);
  EXPECT_EQ(Run({u"PictureImport('blue.jpeg')"_s}), ErrorAt(0, 172, {u".jpeg"_s}));

  EXPECT_EQ(Run({u"PictureImport('a.gif')"_s}), ErrorAt(0, 172, {u".gif"_s}));
  EXPECT_EQ(Run({u"PictureImport('none.png')"_s}), ErrorAt(0, 170, {folder + u"none.png"_s}));
  QFile(folder + u"broken.png"_s).open(QIODevice::WriteOnly);
  EXPECT_EQ(Run({u"PictureImport('broken.png')"_s}), ErrorAt(0, 170, {folder + u"broken.png"_s}));
}

TEST_F(DrawingTest, IndicatorWithoutTypeIsAnError) {
  const QString error = Run({u"Gra_Indicator(1, 2, 3, 'x')"_s});
  EXPECT_TRUE(error.contains(u"JSON object \"type\""_s)) << error.toStdString();
}

}  // namespace
