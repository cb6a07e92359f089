#include "engine/names.h"

namespace {
char16_t FoldUpper(char16_t u) {
  return (u >= 'a' && u <= 'z') ? char16_t(u - 32) : u;
}
char16_t FoldLower(char16_t u) {
  return (u >= 'A' && u <= 'Z') ? char16_t(u + 32) : u;
}
}  // namespace

QString AsciiUpper(QStringView s) {
  QString out(s.size(), Qt::Uninitialized);
  QChar* d = out.data();
  for (qsizetype i = 0; i < s.size(); ++i) d[i] = QChar(FoldUpper(s[i].unicode()));
  return out;
}

QString AsciiLower(QStringView s) {
  QString out(s.size(), Qt::Uninitialized);
  QChar* d = out.data();
  for (qsizetype i = 0; i < s.size(); ++i) d[i] = QChar(FoldLower(s[i].unicode()));
  return out;
}

bool SameName(QStringView a, QStringView b) {
  if (a.size() != b.size()) return false;
  for (qsizetype i = 0; i < a.size(); ++i)
    if (FoldUpper(a[i].unicode()) != FoldUpper(b[i].unicode())) return false;
  return true;
}

QString TrimControl(QStringView s) {
  qsizetype from = 0, to = s.size();
  while (from < to && IsTrimmable(s[from])) ++from;
  while (to > from && IsTrimmable(s[to - 1])) --to;
  return s.mid(from, to - from).toString();
}
