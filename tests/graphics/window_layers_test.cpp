// The window's picture area shows the layers as the graphics unit lays them out: opened beside
// the script panel on first use, layer 2 over layer 1, scaled to the panel as it changes size.
#include <QApplication>
#include <QSplitter>
#include <QFile>
#include <QProcess>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>

#include "../engine/script_runner.h"
#include "app/unit_list.h"
#include "graphics/graphics_state.h"
#include "ide/window_surface.h"
#include "unit_support/graphics_surface.h"

using namespace Qt::Literals::StringLiterals;

namespace {

class WindowLayersTest : public ScriptTest {
 protected:
  void SetUp() override {
    RegisterUnits();
    ScriptTest::SetUp();
    splitter.addWidget(new QWidget);
    splitter.addWidget(area);
    splitter.resize(800, 600);
    splitter.setSizes({800, 0});
    area->hide();
    splitter.show();
    SetGraphicsSurface(area);
  }
  void TearDown() override {
    SetGraphicsSurface(nullptr);
    ScriptTest::TearDown();
  }
  QSplitter splitter;  // the script panel and the graphics panel, as in the main window
  WindowSurface* area = new WindowSurface;
};

TEST_F(WindowLayersTest, LayersAreShownScaledWithLayerTwoOnTop) {
  ASSERT_FALSE(area->isVisible()) << "no panel before the first coordinate system";
  EXPECT_FALSE(splitter.handle(1)->isVisible());
  // The panel opens at three quarters of the width: 600 x 600. Mode 1: a 200 x 100 bitmap
  // shown three times as large.
  EXPECT_EQ(Run({u"SetCoordinateSystem(0, 0, 200, 100, 0, 1, 1)"_s, u"SetBrushParameters(clBlue)"_s,
                 u"SetPenParameters(1, clBlue)"_s, u"FillRect(0, 0, 200, 100)"_s, u"PixelWrite(100, 50, clRed, 2)"_s}),
            QString());
  EXPECT_EQ(area->width(), 600);
  EXPECT_EQ(area->Size(), QSize(200, 100));
  const QImage shown = area->grab().toImage();
  EXPECT_EQ(shown.pixelColor(550, 250), QColor(0, 0, 255)) << "layer 1, scaled";
  EXPECT_EQ(shown.pixelColor(301, 148), QColor(255, 64, 32)) << "layer 2's pixel over it";
  EXPECT_EQ(shown.pixelColor(310, 148), QColor(0, 0, 255)) << "white on layer 2 is transparent";
  QApplication::processEvents();  // the splitter lays out the handle it now shows
  EXPECT_TRUE(splitter.handle(1)->isVisible());

  // A narrower panel shows the layers smaller.
  splitter.setSizes({400, 400});
  const int width = area->width();
  ASSERT_LT(width, 500);
  EXPECT_EQ(Graphics().display, QSize(width, width / 2));
  EXPECT_NEAR(Graphics().zoom, width / 200.0, 0.01);
  EXPECT_EQ(area->grab().toImage().pixelColor(width - 10, width / 2 - 10), QColor(0, 0, 255));
}

// Another script closes the panel, and the next coordinate system opens it again.
TEST_F(WindowLayersTest, ClosingHidesThePanelAndItsHandle) {
  EXPECT_EQ(Run({u"SetCoordinateSystem(0, 0, 200, 100)"_s}), QString());
  const int opened = area->width();
  ASSERT_GT(opened, 0);
  area->Close();
  QApplication::processEvents();
  EXPECT_FALSE(area->isVisible());
  EXPECT_FALSE(splitter.handle(1)->isVisible());
  EXPECT_EQ(Run({u"SetCoordinateSystem(0, 0, 200, 100)"_s}), QString());
  EXPECT_EQ(area->width(), opened);
  QApplication::processEvents();  // the splitter lays out its handle
  EXPECT_TRUE(splitter.handle(1)->isVisible());
}


// A click on a mouse area of the picture calls its function with the click in user units and
// the button; the pointer shows the hand over the area.
TEST_F(WindowLayersTest, ClickingAMouseAreaCallsItsFunction) {
  // A 200 x 100 bitmap shown three times as large; the area is (50, 25)..(100, 75) in user units.
  EXPECT_EQ(Run({u"SetCoordinateSystem(0, 0, 200, 100, 0, 1, 1)"_s, u"array R[4]float=(50, 25, 100, 75)"_s,
                 u"Define_Mouse_Click_Handler(R, 'Clicked')"_s, u"clicks = 0"_s, u"stop"_s,
                 u"function Clicked()"_s, u"  clicks = clicks + 1"_s, u"  return"_s}),
            QString());
  QApplication::processEvents();  // the splitter settles the panel's width
  const double zoom = Graphics().zoom;
  ASSERT_GT(zoom, 2.5);
  const auto coordinates = [] {
    const int index = FindArray(u"MouseCoordinates"_s);
    return index > 0 ? Engine().Array(index).P->floats : std::vector<double>{};
  };
  // The click in user units, with the button.
  const auto expectClick = [&](QPoint at, double button) {
    const std::vector<double> c = coordinates();
    ASSERT_EQ(c.size(), 3u);
    EXPECT_NEAR(c[0], at.x() / zoom, 1e-9);
    EXPECT_NEAR(c[1], 100 - at.y() / zoom, 1e-9);
    EXPECT_EQ(c[2], button);
  };

  QTest::mouseMove(area, {30, 30});
  EXPECT_EQ(area->cursor().shape(), Qt::ArrowCursor);
  QTest::mouseMove(area, {225, 150});
  EXPECT_EQ(area->cursor().shape(), Qt::PointingHandCursor);
  QTest::mouseClick(area, Qt::LeftButton, {}, {225, 150});
  EXPECT_EQ(Value(u"clicks"_s), u"1"_s);
  expectClick({225, 150}, 1);
  QTest::mouseClick(area, Qt::RightButton, {}, {160, 200});
  EXPECT_EQ(Value(u"clicks"_s), u"2"_s);
  expectClick({160, 200}, 2);

  QTest::mouseClick(area, Qt::LeftButton, {}, {30, 30});  // outside the area
  EXPECT_EQ(Value(u"clicks"_s), u"2"_s);
  EXPECT_TRUE(host.errors.isEmpty());
}

// A click on a pictogram opens the menu of its statuses; choosing one sets the status variable
// and draws its picture.
TEST_F(WindowLayersTest, ClickingAPictogramOffersItsStatuses) {
  EXPECT_EQ(Run({u"SetCoordinateSystem(0, 0, 200, 100, 0, 1, 1)"_s, u"lamp = 1"_s,
                 u"spec = '{\"statuses\":[{\"status_name\":\"off\", \"picture\":\"lamp_off.bmp\"}, "
                 u"{\"status_name\":\"on\", \"picture\":\"lamp_on.bmp\"}]}'"_s,
                 u"Pictograms(lamp, 20, 20, spec)"_s}),
            QString());
  QApplication::processEvents();
  const double zoom = Graphics().zoom;
  const QPoint inside(int(36 * zoom), int((100 - 36) * zoom));  // within the 32 x 32 lamp
  QStringList offered;
  QTimer chooser;  // answers the menu once it is shown
  chooser.callOnTimeout([&] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      auto* menu = qobject_cast<QMenu*>(widget);
      if (!menu || !menu->isVisible()) continue;
      for (QAction* item : menu->actions()) offered << item->text();
      menu->setActiveAction(menu->actions().value(1));  // "on"
      QTest::keyClick(menu, Qt::Key_Return);
      chooser.stop();
    }
  });
  chooser.start(10);
  QTest::mouseMove(area, inside);
  EXPECT_EQ(area->cursor().shape(), Qt::PointingHandCursor);
  QTest::mouseClick(area, Qt::LeftButton, {}, inside);
  EXPECT_EQ(offered, (QStringList{u"off"_s, u"on"_s}));
  EXPECT_EQ(Value(u"lamp"_s), u"2"_s);
  EXPECT_TRUE(host.errors.isEmpty());
}

// The same script gives the same pixels in the window and in console mode at the panel's size.
TEST_F(WindowLayersTest, TheWindowAndConsoleModeDrawTheSamePixels) {
  const QString script = QStringLiteral(TRESSALY_SOURCE_DIR "/examples/graphics.txt");
  QFile file(script);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QStringList lines = QString::fromUtf8(file.readAll()).remove(u'\r').split(u'\n');
  EXPECT_EQ(Run(lines), QString());
  const QSize panel = area->PanelSize();
  const QImage shown = area->Composed();
  ASSERT_FALSE(shown.isNull());

  QTemporaryDir folder;
  const QString picture = folder.filePath(u"console.png"_s);
  QProcess console;
  console.setProcessEnvironment([&] {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"TRESSALY_HOME"_s, folder.path());
    return env;
  }());
  console.start(QStringLiteral(TRESSALY_PROGRAM),
                {u"--console"_s, u"--canvas"_s, u"%1x%2"_s.arg(panel.width()).arg(panel.height()), u"--picture"_s,
                 picture, script});
  ASSERT_TRUE(console.waitForFinished(60000));
  ASSERT_EQ(console.exitCode(), 0) << console.readAllStandardError().toStdString();
  const QImage written(picture);
  ASSERT_EQ(written.size(), shown.size());
  int differing = 0;
  for (int y = 0; y < shown.height(); ++y)
    for (int x = 0; x < shown.width(); ++x) differing += written.pixel(x, y) != shown.pixel(x, y);
  EXPECT_EQ(differing, 0);
}

}  // namespace

int main(int argc, char** argv) {
  QTemporaryDir home;
  qputenv("TRESSALY_HOME", home.path().toUtf8());
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
