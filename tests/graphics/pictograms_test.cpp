// Pictograms: the picture transformations on a 3 x 2 picture, and the status'th picture drawn
// on layer 2 with its errors.
#include <QDir>

#include "engine/program_folder.h"
#include "graphics/mouse_areas.h"
#include "graphics/pictograms.h"
#include "graphics_fixture.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// A 3 x 2 picture whose pixels are numbered 0..5 row by row: colour qRgb(0, 0, n).
QImage Numbered() {
  QImage p(3, 2, QImage::Format_RGB32);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) p.setPixel(x, y, qRgb(0, 0, y * 3 + x));
  return p;
}

// The picture's numbers row by row, as "012|345".
std::string Numbers(const QImage& p) {
  std::string s;
  for (int y = 0; y < p.height(); ++y) {
    if (y) s += '|';
    for (int x = 0; x < p.width(); ++x) s += char('0' + qBlue(p.pixel(x, y)));
  }
  return s;
}

// A console surface whose pop-up menu answers with a chosen item and notes what it offered.
class MenuSurface : public ConsoleSurface {
 public:
  using ConsoleSurface::ConsoleSurface;
  int answer = -1;
  QStringList offered;
  int checked = -2;
  int PopUpMenu(const QStringList& items, int checkedItem, QPoint) override {
    offered = items;
    checked = checkedItem;
    return answer;
  }
};

class PictogramTest : public GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    auto menu = std::make_unique<MenuSurface>(kPanel);
    menus = menu.get();
    surface = std::move(menu);
    SetGraphicsSurface(surface.get());
    const QString folder = ProgramFolder() + u"pictures/"_s;
    QDir().mkpath(folder);
    QImage red(4, 2, QImage::Format_RGB32), green(4, 2, QImage::Format_RGB32);
    red.fill(QColor(255, 0, 0));
    green.fill(QColor(0, 255, 0));
    ASSERT_TRUE(red.save(folder + u"red.bmp"_s));
    ASSERT_TRUE(green.save(folder + u"green.bmp"_s));
    ASSERT_TRUE(red.save(folder + u"red.png"_s));
  }
  MenuSurface* menus = nullptr;
};

const QString kSpec =
    u"spec = '{\"statuses\": [{\"status_name\": \"off\", \"picture\": \"red.bmp\"}, "
    u"{\"status_name\": \"on\", \"picture\": \"green.bmp\"}, {\"status_name\": \"none\", \"picture\": \"\"}]}'"_s;

}  // namespace

TEST(PictureTransforms, RotationsAndMirrorsOfASmallPicture) {
  const QImage p = Numbered();
  EXPECT_EQ(Numbers(TransformedPicture(p, 0)), "012|345");
  EXPECT_EQ(Numbers(TransformedPicture(p, kRot90)), "30|41|52");   // a quarter turn clockwise
  EXPECT_EQ(Numbers(TransformedPicture(p, kRot180)), "543|210");
  EXPECT_EQ(Numbers(TransformedPicture(p, kRot270)), "25|14|03");  // counter-clockwise
  EXPECT_EQ(Numbers(TransformedPicture(p, kHorizontalSymmetry)), "345|012");
  EXPECT_EQ(Numbers(TransformedPicture(p, kVerticalSymmetry)), "210|543");
  EXPECT_EQ(Numbers(TransformedPicture(p, kRot90 | kRot270)), "25|14|03") << "the last rotation wins";
  EXPECT_EQ(Numbers(TransformedPicture(p, kRot90 | kVerticalSymmetry)), "03|14|25");
}

TEST_F(PictogramTest, TheStatusChoosesThePictureDrawnOnLayerTwo) {
  const QString folder = ProgramFolder() + u"pictures/"_s;
  const QString spec = kSpec;
  Draw({u"SetCoordinateSystem(0, 0, 600, 400)"_s, spec, u"s = 2"_s, u"Pictograms(s, 10, 10, spec)"_s,
        u"s = 1"_s, u"Pictograms(s, 100, 10, spec, ROT90)"_s, u"s = 3"_s, u"Pictograms(s, 200, 10, spec)"_s});
  EXPECT_EQ(Pixel(2, 10, 389), 0x00FF00) << "green, lower-left corner at (10, 10)";
  EXPECT_EQ(Pixel(2, 13, 388), 0x00FF00);
  EXPECT_EQ(Pixel(2, 14, 389), 0xFFFFFF);
  EXPECT_EQ(Pixel(2, 101, 386), 0x0000FF) << "red, turned: 2 wide and 4 high";
  EXPECT_EQ(Pixel(2, 102, 389), 0xFFFFFF);

  EXPECT_EQ(Run({spec, u"s = 4"_s, u"Pictograms(s, 10, 10, spec)"_s}), ErrorAt(2, 177, {4, 3}));
  EXPECT_EQ(Run({u"spec = '{\"statuses\": [{\"picture\": \"red.png\"}]}'"_s, u"s = 1"_s,
                 u"Pictograms(s, 10, 10, spec)"_s}),
            ErrorAt(2, 172, {u".png"_s}));
  EXPECT_EQ(Run({u"spec = '{\"statuses\": [{\"picture\": \"gone.bmp\"}]}'"_s, u"s = 1"_s,
                 u"Pictograms(s, 10, 10, spec)"_s}),
            ErrorAt(2, 170, {folder + u"gone.bmp"_s}));
}

// A click on a pictogram offers its statuses; the one chosen is stored and its picture drawn.
TEST_F(PictogramTest, AClickOffersTheStatusesAndRedrawsThePicture) {
  Draw({u"SetCoordinateSystem(0, 0, 600, 400)"_s, kSpec, u"s = 2"_s, u"Pictograms(s, 10, 10, spec)"_s,
        u"Pictograms(s, 10, 10, spec)"_s});
  ASSERT_EQ(MouseAreas().size(), 1) << "one area per place";
  EXPECT_EQ(MouseAreas()[0].varNameStatus, u"s"_s);
  menus->answer = 0;
  PointerReleasedOverArea(QPoint(11, 389), 1);
  EXPECT_EQ(menus->offered, (QStringList{u"off"_s, u"on"_s, u"none"_s}));
  EXPECT_EQ(menus->checked, 1);
  EXPECT_EQ(Value(u"s"_s), u"1"_s);
  EXPECT_EQ(Pixel(2, 10, 389), 0x0000FF) << "the red picture of status 1";
  menus->answer = -1;  // dismissed: nothing changes
  PointerReleasedOverArea(QPoint(11, 389), 1);
  EXPECT_EQ(Value(u"s"_s), u"1"_s);
  EXPECT_TRUE(host.errors.isEmpty());
}
