#include "graphics_fixture.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include "app/unit_list.h"
#include "graphics/graphics_state.h"
#include "graphics/layer_painting.h"

void GraphicsTest::SetUp() {
  RegisterUnits();
  ScriptTest::SetUp();
  Graphics() = GraphicsState{};
  surface = std::make_unique<ConsoleSurface>(kPanel);
  SetGraphicsSurface(surface.get());
}

void GraphicsTest::TearDown() {
  SetGraphicsSurface(nullptr);
  ScriptTest::TearDown();
}

void GraphicsTest::Draw(const QStringList& lines) {
  EXPECT_EQ(Run(lines), QString());
}

int GraphicsTest::Pixel(int layer, int column, int row) const {
  const QImage* image = surface->Layer(layer);
  if (!image || !image->rect().contains(column, row)) return -1;
  return ColourValue(image->pixel(column, row));
}

int GraphicsTest::CountColour(int layer, int colour) const {
  const QImage* image = surface->Layer(layer);
  int n = 0;
  for (int y = 0; image && y < image->height(); ++y)
    for (int x = 0; x < image->width(); ++x) n += ColourValue(image->pixel(x, y)) == colour;
  return n;
}

int main(int argc, char** argv) {
  QTemporaryDir home;
  qputenv("TRESSALY_HOME", home.path().toUtf8());
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);  // fonts for the text functions
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
