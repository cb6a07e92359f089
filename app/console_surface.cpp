#include "app/console_surface.h"

#include <QRegularExpression>

bool ConsoleSurface::ParseSize(const QString& text, QSize& size) {
  static const QRegularExpression kSize(QStringLiteral("^([0-9]{1,5})[xX]([0-9]{1,5})$"));
  const QRegularExpressionMatch m = kSize.match(text);
  if (!m.hasMatch()) return false;
  const QSize parsed(m.captured(1).toInt(), m.captured(2).toInt());
  if (!Fits(parsed)) return false;
  size = parsed;
  return true;
}
