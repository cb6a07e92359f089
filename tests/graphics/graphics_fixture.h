// Scripts run with the graphics unit on a console surface of 600 x 400 pixels.
#pragma once

#include <memory>

#include "../engine/script_runner.h"
#include "app/console_surface.h"
#include "graphics/graphics_state.h"  // kWhite, kSilver

class GraphicsTest : public ScriptTest {
 protected:
  static constexpr QSize kPanel{600, 400};

  void SetUp() override;
  void TearDown() override;

  // Runs the lines and expects no error.
  void Draw(const QStringList& lines);
  // The colour ($00BBGGRR) of a pixel of a layer, -1 outside it.
  int Pixel(int layer, int column, int row) const;
  // How many pixels of a layer have the colour.
  int CountColour(int layer, int colour) const;
  int Integer(const QString& name) const { return Value(name).toInt(); }

  std::unique_ptr<ConsoleSurface> surface;
};

// $00BBGGRR values the tests compare with.
inline constexpr int kRed = 0x2040FF, kAqua = 0xFFFF00, kLime = 0x00FF00, kBlue = 0xFF0000;
inline constexpr int kPureBlack = 0;
