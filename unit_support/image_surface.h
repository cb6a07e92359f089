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

  // The pictures are made white when first painted on or shown: most runs never paint, and
  // filling two screen-sized pictures would take a good part of the start-up.
  bool Resize(QSize size) override {
    if (!Fits(size) || qint64(size.width()) * size.height() > kMaxPixels) return false;
    size_ = size;
    layers_[0] = layers_[1] = QImage();
    return true;
  }
  QSize Size() const override { return size_; }
  QImage* Layer(int layer) override {
    if ((layer != 1 && layer != 2) || !Made()) return nullptr;
    return &layers_[layer - 1];
  }

  // What is shown: layer 1 with the pixels of layer 2 that are not white over it.
  QImage Composed() const {
    if (!Made()) return {};
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
  // Makes the white pictures of the current size; false when there is no memory for them.
  bool Made() const {
    if (!layers_[0].isNull() && !layers_[1].isNull()) return true;
    if (size_.isEmpty()) return false;
    QImage picture(size_, QImage::Format_RGB32), upper(size_, QImage::Format_RGB32);
    if (picture.isNull() || upper.isNull()) return false;
    picture.fill(Qt::white);
    upper.fill(Qt::white);
    layers_[0] = std::move(picture);
    layers_[1] = std::move(upper);
    return true;
  }

  QSize size_;
  mutable QImage layers_[2];
};
