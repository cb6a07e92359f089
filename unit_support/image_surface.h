// A graphics surface kept as two pictures in memory: what console mode paints on, and what the
// window shows. Needs QtGui (header only, so that the unit-support library itself does not).
#pragma once

#include <QImage>

#include "unit_support/graphics_surface.h"

class ImageSurface : public GraphicsSurface {
 public:
  // The greatest width and height a surface may have.
  static constexpr int kMaxSide = 16384;
  // The most pixels a layer may have (256 MB each): a script's ranges cannot take the memory.
  static constexpr qint64 kMaxPixels = 64 * 1024 * 1024;

  static bool Fits(QSize size) {
    return size.width() >= 1 && size.height() >= 1 && size.width() <= kMaxSide &&
           size.height() <= kMaxSide;
  }

  bool Resize(QSize size) override {
    if (!Fits(size) || qint64(size.width()) * size.height() > kMaxPixels) return false;
    QImage picture(size, QImage::Format_RGB32);
    if (picture.isNull()) return false;  // no memory for it
    QImage upper(size, QImage::Format_RGB32);
    if (upper.isNull()) return false;
    picture.fill(Qt::white);
    upper.fill(Qt::white);
    layers_[0] = std::move(picture);
    layers_[1] = std::move(upper);
    return true;
  }
  QSize Size() const override { return layers_[0].size(); }
  QImage* Layer(int layer) override {
    if (layer != 1 && layer != 2) return nullptr;
    QImage& image = layers_[layer - 1];
    return image.isNull() ? nullptr : &image;
  }

  // What is shown: layer 1 with the pixels of layer 2 that are not white over it.
  QImage Composed() const {
    QImage picture = layers_[0].copy();
    const QImage& upper = layers_[1];
    if (picture.isNull() || upper.size() != picture.size()) return picture;
    for (int y = 0; y < picture.height(); ++y) {
      const auto* from = reinterpret_cast<const QRgb*>(upper.constScanLine(y));
      auto* to = reinterpret_cast<QRgb*>(picture.scanLine(y));
      for (int x = 0; x < picture.width(); ++x)
        if ((from[x] & 0xFFFFFF) != 0xFFFFFF) to[x] = from[x];
    }
    return picture;
  }

 private:
  QImage layers_[2];
};
