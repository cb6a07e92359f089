#include "ide/highlight_overlay.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QWidget>

#include "ide/compositing_check.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr Qt::WindowFlags kPieceFlags = Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                                        Qt::X11BypassWindowManagerHint | Qt::WindowTransparentForInput |
                                        Qt::WindowDoesNotAcceptFocus;

// One full-screen window, transparent but for the border around `frame`.
class FullScreenFrame : public QWidget {
 public:
  FullScreenFrame(const QRect& screenArea, const QRect& frame) : QWidget(nullptr, kPieceFlags), frame_(frame) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setGeometry(screenArea);
  }
  void setColour(const QColor& colour) {
    colour_ = colour;
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), Qt::transparent);
    const QRect outer = frame_.translated(-geometry().topLeft());
    painter.fillRect(outer, colour_);
    painter.fillRect(outer.adjusted(HighlightOverlay::kSideWidth, HighlightOverlay::kTopHeight,
                                    -HighlightOverlay::kSideWidth, -HighlightOverlay::kTopHeight),
                     Qt::transparent);
  }

 private:
  QRect frame_;
  QColor colour_ = Qt::red;
};

// The four bars of the border: top, bottom, left, right.
std::vector<QRect> BarsAround(const QRect& r) {
  const int side = HighlightOverlay::kSideWidth, top = HighlightOverlay::kTopHeight;
  return {QRect(r.left(), r.top(), r.width(), top), QRect(r.left(), r.bottom() - top + 1, r.width(), top),
          QRect(r.left(), r.top() + top, side, std::max(0, r.height() - 2 * top)),
          QRect(r.right() - side + 1, r.top() + top, side, std::max(0, r.height() - 2 * top))};
}

}  // namespace

HighlightOverlay::HighlightOverlay(const QRect& frame, int blinkCount, Style style)
    : frame_(frame.normalized()), blinkCount_(blinkCount), style_(style) {
  if (style_ == Style::Automatic) style_ = CompositingAvailable() ? Style::FullScreen : Style::FourBars;
  timer_.setInterval(200);
  connect(&timer_, &QTimer::timeout, this, &HighlightOverlay::tick);
  if (style_ == Style::FullScreen) {
    const QScreen* screen = QGuiApplication::screenAt(frame_.center());
    if (!screen) screen = QGuiApplication::primaryScreen();
    pieces_.push_back(std::make_unique<FullScreenFrame>(screen ? screen->geometry() : frame_, frame_));
  } else {
    for (const QRect& bar : BarsAround(frame_)) {
      auto piece = std::make_unique<QWidget>(nullptr, kPieceFlags);
      piece->setAttribute(Qt::WA_ShowWithoutActivating);
      piece->setAutoFillBackground(true);
      piece->setGeometry(bar);
      pieces_.push_back(std::move(piece));
    }
  }
  for (const auto& piece : pieces_) piece->setObjectName(u"HighlightFrame"_s);
  paint();
}

HighlightOverlay::~HighlightOverlay() = default;

bool HighlightOverlay::CompositingAvailable() {
  return QGuiApplication::platformName() == u"xcb"_s && CompositingManagerRuns();
}

QColor HighlightOverlay::NextColour(const QColor& colour) {
  if (colour == QColor(Qt::red)) return Qt::green;
  if (colour == QColor(Qt::green)) return Qt::yellow;
  return Qt::red;
}

void HighlightOverlay::exec() {
  if (blinkCount_ <= 0 || frame_.isEmpty()) return;
  QEventLoop loop;
  connect(this, &HighlightOverlay::finished, &loop, &QEventLoop::quit);
  for (const auto& piece : pieces_) piece->show();
  timer_.start();
  loop.exec();
}

void HighlightOverlay::tick() {
  if (++ticks_ > blinkCount_) {
    timer_.stop();
    for (const auto& piece : pieces_) piece->hide();
    Q_EMIT finished();
    return;
  }
  colour_ = NextColour(colour_);
  paint();
  Q_EMIT colourChanged(colour_);
}

void HighlightOverlay::paint() {
  for (const auto& piece : pieces_) {
    if (auto* full = dynamic_cast<FullScreenFrame*>(piece.get())) {
      full->setColour(colour_);
      continue;
    }
    QPalette palette = piece->palette();
    palette.setColor(QPalette::Window, colour_);
    piece->setPalette(palette);
  }
}
