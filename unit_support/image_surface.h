// A graphics surface kept as a picture in memory: what console mode paints on, and what the
// window shows. Needs QtGui (header only, so that the unit-support library itself does not).
#pragma once

#include <QImage>

#include "unit_support/graphics_surface.h"

class ImageSurface : public GraphicsSurface {
 public:
  // The greatest width and height a surface may have.
  static constexpr int kMaxSide = 16384;

  static bool Fits(QSize size) {
    return size.width() >= 1 && size.height() >= 1 && size.width() <= kMaxSide &&
           size.height() <= kMaxSide;
  }

  bool Resize(QSize size) override {
    if (!Fits(size)) return false;
    QImage picture(size, QImage::Format_RGB32);
    if (picture.isNull()) return false;  // no memory for it
    picture.fill(Qt::white);
    image_ = std::move(picture);
    return true;
  }
  QSize Size() const override { return image_.size(); }
  QImage* PaintTarget() override { return image_.isNull() ? nullptr : &image_; }

 private:
  QImage image_;
};
