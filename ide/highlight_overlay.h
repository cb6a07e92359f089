// The highlight overlay: a frame around a rectangle of the screen whose border blinks
// red -> green -> yellow -> red every 200 ms, to show the user which window a script found.
// Where a compositing manager runs, the frame is drawn on one transparent full-screen window;
// without one, transparency would show black, so four thin borderless windows form the frame.
#pragma once

#include <QColor>
#include <QObject>
#include <QRect>
#include <QTimer>
#include <memory>
#include <vector>

class QWidget;

class HighlightOverlay : public QObject {
  Q_OBJECT

 public:
  enum class Style { Automatic, FullScreen, FourBars };

  HighlightOverlay(const QRect& frame, int blinkCount, Style style = Style::Automatic);
  ~HighlightOverlay() override;

  // Shows the frame and returns when the blinking has ended.
  void exec();

  QColor colour() const { return colour_; }
  Style style() const { return style_; }
  // The border's widths: left and right, top and bottom.
  static constexpr int kSideWidth = 4, kTopHeight = 5;
  // The colour that follows `colour` in the cycle (any other colour is followed by red).
  static QColor NextColour(const QColor& colour);
  // A compositing manager runs on the X display (translucent windows are really transparent).
  static bool CompositingAvailable();

 Q_SIGNALS:
  void colourChanged(const QColor& colour);
  void finished();

 private:
  void tick();
  void paint();

  QRect frame_;
  int blinkCount_;
  Style style_;
  int ticks_ = 0;
  QColor colour_ = Qt::red;
  QTimer timer_;
  std::vector<std::unique_ptr<QWidget>> pieces_;
};
