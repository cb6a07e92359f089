#include "net/ftp_listing.h"

#include <QList>

#include "engine/conversions.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qsizetype kMaxNameLength = 9999;

// The type fact of a line; a line without ";type=" may begin with it.
QString EntryType(const QString& line) {
  if (line.contains(u";type="_s)) return TextBetween(line, u";type="_s, u";"_s);
  const qsizetype semicolon = line.indexOf(u';');
  return semicolon >= 5 ? line.mid(5, semicolon - 5) : QString();
}

QString RepairedUtf8(const QString& name) {
  QString repaired;
  for (qsizetype i = 0; i < name.size(); ++i) {
    const char16_t c = name[i].unicode();
    if (c < 128) {
      repaired += name[i];
      continue;
    }
    QByteArray pair(1, char(c));
    if (i + 1 < name.size()) pair += char(name[++i].unicode());
    repaired += QString::fromUtf8(pair);
  }
  return repaired;
}

}  // namespace

QString ListedNames(const QByteArray& listing, QStringView type) {
  QString names;
  for (const QByteArray& bytes : listing.split('\n')) {
    const QString line = QString::fromLatin1(bytes).remove(u'\r');
    if (EntryType(line) != type) continue;
    const QString name = line.mid(line.lastIndexOf(u';') + 1).trimmed().left(kMaxNameLength);
    names += RepairedUtf8(name) + u"\r\n"_s;
  }
  return names;
}
