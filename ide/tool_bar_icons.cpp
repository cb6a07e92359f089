#include "ide/tool_bar_icons.h"

#include <QApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <functional>

#include "ide/editor_colours.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// One icon's drawing on the 24-unit grid. The painter's pen is the outline (text colour, 2 units,
// round ends); `accent` is the one colour an icon may fill with.
using Drawing = std::function<void(QPainter&, const QColor& accent)>;

QPainterPath Polygon(std::initializer_list<QPointF> points) {
  QPainterPath path;
  path.addPolygon(QPolygonF(QList<QPointF>(points)));
  path.closeSubpath();
  return path;
}

void FillOutlined(QPainter& p, const QPainterPath& path, const QColor& fill) {
  p.setBrush(fill);
  p.drawPath(path);
  p.setBrush(Qt::NoBrush);
}

void DrawArrowHead(QPainter& p, QPointF tip, QPointF back1, QPointF back2) {
  p.drawPolyline(QPolygonF({back1, tip, back2}));
}

void DrawMagnifier(QPainter& p) {
  p.drawEllipse(QPointF(10, 10), 6, 6);
  p.drawLine(QPointF(14.5, 14.5), QPointF(20, 20));
}

// Accents: green for running, amber for stopping and changing, blue for files and tools. Each
// pair is (for a light palette, for a dark one), both readable against their background.
enum class Accent { Run, Change, File };
QColor AccentColour(Accent accent, bool dark) {
  switch (accent) {
    case Accent::Run: return dark ? QColor(0x6c, 0xd9, 0x7e) : QColor(0x17, 0x70, 0x2e);
    case Accent::Change: return dark ? QColor(0xff, 0xc8, 0x4a) : QColor(0xa8, 0x64, 0x00);
    case Accent::File: return dark ? QColor(0x7a, 0xb4, 0xff) : QColor(0x25, 0x63, 0xc0);
  }
  return {};
}

struct IconRule {
  WindowAction action;
  Accent accent;
  Drawing draw;
};

const IconRule kIcons[] = {
    {WindowAction::Start, Accent::Run,
     [](QPainter& p, const QColor& a) { FillOutlined(p, Polygon({{7, 4}, {20, 12}, {7, 20}}), a); }},
    {WindowAction::Step, Accent::Run,
     [](QPainter& p, const QColor& a) {
       p.drawLine(QPointF(12, 3), QPointF(12, 15));
       DrawArrowHead(p, {12, 16}, {7, 11}, {17, 11});
       p.setPen(QPen(a, 3, Qt::SolidLine, Qt::RoundCap));
       p.drawLine(QPointF(5, 21), QPointF(19, 21));
     }},
    {WindowAction::StepOver, Accent::Run,
     [](QPainter& p, const QColor& a) {
       QPainterPath arc(QPointF(4, 14));
       arc.cubicTo(QPointF(4, 3), QPointF(20, 3), QPointF(20, 13));
       p.drawPath(arc);
       DrawArrowHead(p, {20, 14}, {16, 10}, {23, 10});
       p.setPen(QPen(a, 3, Qt::SolidLine, Qt::RoundCap));
       p.drawLine(QPointF(5, 21), QPointF(19, 21));
     }},
    {WindowAction::ContinueRun, Accent::Run,
     [](QPainter& p, const QColor& a) {
       FillOutlined(p, Polygon({{3, 5}, {12, 12}, {3, 19}}), a);
       FillOutlined(p, Polygon({{12, 5}, {21, 12}, {12, 19}}), a);
     }},
    {WindowAction::Fast, Accent::Change,
     [](QPainter& p, const QColor& a) {
       FillOutlined(p, Polygon({{14, 2}, {5, 14}, {11, 14}, {9, 22}, {19, 9}, {13, 9}}), a);
     }},
    {WindowAction::Pause, Accent::Change,
     [](QPainter& p, const QColor& a) {
       FillOutlined(p, Polygon({{6, 4}, {10, 4}, {10, 20}, {6, 20}}), a);
       FillOutlined(p, Polygon({{14, 4}, {18, 4}, {18, 20}, {14, 20}}), a);
     }},
    {WindowAction::LoadScript, Accent::File,
     [](QPainter& p, const QColor& a) {
       p.drawPolyline(QPolygonF({{3, 19}, {3, 5}, {9, 5}, {11, 7}, {19, 7}, {19, 10}}));
       FillOutlined(p, Polygon({{3, 19}, {7, 10}, {22, 10}, {18, 19}}), a);
     }},
    {WindowAction::NewScript, Accent::File,
     [](QPainter& p, const QColor& a) {
       p.drawPolygon(QPolygonF({{5, 3}, {14, 3}, {19, 8}, {19, 21}, {5, 21}}));
       p.drawPolyline(QPolygonF({{14, 3}, {14, 8}, {19, 8}}));
       p.setPen(QPen(a, 2, Qt::SolidLine, Qt::RoundCap));
       p.drawLine(QPointF(12, 11), QPointF(12, 18));
       p.drawLine(QPointF(8.5, 14.5), QPointF(15.5, 14.5));
     }},
    {WindowAction::Edit, Accent::Change,
     [](QPainter& p, const QColor& a) {
       FillOutlined(p, Polygon({{16, 3}, {21, 8}, {9, 20}, {4, 20}, {4, 15}}), a);
       p.drawLine(QPointF(13, 6), QPointF(18, 11));
     }},
    {WindowAction::Work, Accent::Run,
     [](QPainter& p, const QColor& a) {
       p.setPen(QPen(a, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
       p.drawPolyline(QPolygonF({{4, 13}, {10, 19}, {20, 5}}));
     }},
    {WindowAction::Save, Accent::File,
     [](QPainter& p, const QColor& a) {
       p.drawPolygon(QPolygonF({{3, 3}, {17, 3}, {21, 7}, {21, 21}, {3, 21}}));
       FillOutlined(p, Polygon({{7, 3}, {16, 3}, {16, 9}, {7, 9}}), a);
       p.drawRect(QRectF(7, 14, 10, 7));
     }},
    {WindowAction::CancelChanges, Accent::Change,
     [](QPainter& p, const QColor& a) {
       QPainterPath back(QPointF(6, 10));
       back.cubicTo(QPointF(10, 4), QPointF(21, 6), QPointF(20, 14));
       back.cubicTo(QPointF(19, 19), QPointF(14, 21), QPointF(9, 20));
       p.drawPath(back);
       p.setPen(QPen(a, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
       DrawArrowHead(p, {5, 10}, {5, 4}, {11, 11});
     }},
    {WindowAction::Find, Accent::File,
     [](QPainter& p, const QColor& a) {
       p.setBrush(a);
       DrawMagnifier(p);
     }},
    {WindowAction::Replace, Accent::File,
     [](QPainter& p, const QColor& a) {
       p.setBrush(a);
       DrawMagnifier(p);
       p.setBrush(Qt::NoBrush);
       p.drawLine(QPointF(16, 3), QPointF(22, 3));
       DrawArrowHead(p, {22, 3}, {20, 1}, {20, 5});
       p.drawLine(QPointF(3, 21), QPointF(9, 21));
       DrawArrowHead(p, {3, 21}, {5, 19}, {5, 23});
     }},
    {WindowAction::Settings, Accent::File,
     [](QPainter& p, const QColor& a) {
       for (int spoke = 0; spoke < 8; ++spoke) {
         p.save();
         p.translate(12, 12);
         p.rotate(spoke * 45);
         p.drawLine(QPointF(0, 7), QPointF(0, 10));
         p.restore();
       }
       p.setBrush(a);
       p.drawEllipse(QPointF(12, 12), 6.5, 6.5);
       p.setBrush(Qt::NoBrush);
       p.drawEllipse(QPointF(12, 12), 2.5, 2.5);
     }},
    {WindowAction::AdditionalKeyboard, Accent::File,
     [](QPainter& p, const QColor& a) {
       p.drawRoundedRect(QRectF(2, 6, 20, 13), 2, 2);
       p.setPen(QPen(a, 2, Qt::SolidLine, Qt::RoundCap));
       for (double x : {6.0, 10.0, 14.0, 18.0}) p.drawPoint(QPointF(x, 10.5));
       p.drawLine(QPointF(8, 15), QPointF(16, 15));
     }},
    {WindowAction::Font, Accent::File,
     [](QPainter& p, const QColor& a) {
       p.drawPolyline(QPolygonF({{4, 21}, {11, 3}, {13, 3}, {20, 21}}));
       p.setPen(QPen(a, 2.5, Qt::SolidLine, Qt::RoundCap));
       p.drawLine(QPointF(7.5, 14), QPointF(16.5, 14));
     }},
    {WindowAction::Help, Accent::File,
     [](QPainter& p, const QColor& a) {
       p.setBrush(a);
       p.drawEllipse(QPointF(12, 12), 9.5, 9.5);
       p.setBrush(Qt::NoBrush);
       QPainterPath hook(QPointF(9, 9.5));
       hook.cubicTo(QPointF(9, 5.5), QPointF(15, 5.5), QPointF(15, 9.5));
       hook.cubicTo(QPointF(15, 12), QPointF(12, 12), QPointF(12, 14.5));
       p.drawPath(hook);
       p.drawPoint(QPointF(12, 18));
     }},
};
static_assert(std::size(kIcons) == kWindowActionCount);

class DrawnIconEngine : public QIconEngine {
 public:
  explicit DrawnIconEngine(const IconRule& rule) : rule_(rule) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    const QPalette palette = QApplication::palette();
    const bool disabled = mode == QIcon::Disabled;
    const QColor outline = palette.color(disabled ? QPalette::Disabled : QPalette::Active, QPalette::WindowText);
    QColor accent = AccentColour(rule_.accent, IsDarkPalette(palette));
    if (disabled) accent = outline;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->translate(rect.topLeft());
    painter->scale(rect.width() / 24.0, rect.height() / 24.0);
    painter->setPen(QPen(outline, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter->setBrush(Qt::NoBrush);
    rule_.draw(*painter, accent);
    painter->restore();
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    QPixmap picture(size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    paint(&painter, QRect(QPoint(), size), mode, state);
    return picture;
  }

  QIconEngine* clone() const override { return new DrawnIconEngine(rule_); }

 private:
  const IconRule& rule_;
};

}  // namespace

QIcon ToolBarIcon(WindowAction action) {
  for (const IconRule& rule : kIcons)
    if (rule.action == action) return QIcon(new DrawnIconEngine(rule));
  return {};
}

QIcon ApplicationIcon() {
  QIcon builtIn;
  for (int size : {16, 32, 48, 256})
    builtIn.addFile(u":/tressaly/icons/%1x%1/apps/org.tressaly.Tressaly.png"_s.arg(size));
  return QIcon::fromTheme(u"org.tressaly.Tressaly"_s, builtIn);
}
