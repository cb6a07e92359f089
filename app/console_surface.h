// The graphics surface of console mode: a picture in memory, 800 x 600 pixels unless
// --canvas gives another size.
#pragma once

#include "unit_support/image_surface.h"

class ConsoleSurface : public ImageSurface {
 public:
  static constexpr QSize kDefaultSize{800, 600};

  explicit ConsoleSurface(QSize size = kDefaultSize) : panel_(size) { Resize(size); }

  QSize PanelSize() const override { return panel_; }
  // The canvas counts as shown from the first coordinate system on.
  void Open() override { opened_ = true; }
  bool Shown() const override { return opened_; }

  // Reads "WxH" (each side from 1 to kMaxSide); false when `text` is no such size.
  static bool ParseSize(const QString& text, QSize& size);

 private:
  QSize panel_;  // the canvas the coordinate systems are fitted into
  bool opened_ = false;
};
