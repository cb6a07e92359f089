#include "functions/file_paths.h"

#include <QDir>
#include <array>

#include "engine/names.h"
#include "engine/program_folder.h"
#include "engine/text_codec.h"

using namespace Qt::Literals::StringLiterals;

namespace {

bool IsPartSeparator(QChar c) { return c == u'\\' || c == u'/' || c == u':'; }

qsizetype LastPartSeparator(const QString& name) {
  for (qsizetype i = name.size() - 1; i >= 0; --i)
    if (IsPartSeparator(name[i])) return i;
  return -1;
}

QString ExpandHome(const QString& path) {
  return path.startsWith(u"~/"_s) ? QDir::homePath() + path.mid(1) : path;
}

using ByteTable = std::array<char16_t, 256>;

// One byte at a time through the script decoder: a lone byte of 128 or more is never valid
// UTF-8, so the decoder falls back to the code page for it.
ByteTable BuildByteTable() {
  ByteTable table{};
  for (int b = 0; b < 256; ++b) {
    const QString c = DecodeScriptBytes(QByteArray(1, char(b)));
    table[std::size_t(b)] = c.size() == 1 ? c[0].unicode() : char16_t(b);
  }
  return table;
}

const ByteTable& CurrentByteTable() {
  if (AnsiCodePage() == 1251) {
    static const ByteTable cyrillic = BuildByteTable();
    return cyrillic;
  }
  static const ByteTable western = BuildByteTable();
  return western;
}

}  // namespace

QString ResolveDataFileName(const QString& name) {
  QString path = name;
  path.replace(u'\\', u'/');
  if (path.startsWith(u"~/"_s)) return ExpandHome(path);
  if (IsAbsoluteScriptPath(path)) return path;
  return ProgramFolder() + path;
}

QString ResolveOpenFileName(const QString& name) {
  QString path = name;
  path.replace(u'\\', u'/');
  if (!path.contains(u'/')) return ProgramFolder() + path;
  return ExpandHome(path);
}

ListingTarget ListingTargetOf(const QString& folder, const QString& model) {
  QString dir = TrimControl(folder);
  if (!dir.isEmpty() && !dir.endsWith(u'\\') && !dir.endsWith(u'/')) dir += u'/';
  QString full = dir + model;
  full.replace(u'\\', u'/');
  if (full == u"~"_s) full = u"~/"_s;
  full = ExpandHome(full);
  const qsizetype slash = full.lastIndexOf(u'/');
  if (slash < 0) return {u"."_s, full};
  return {slash == 0 ? u"/"_s : full.left(slash), full.mid(slash + 1)};
}

FilePattern::FilePattern(const QString& pattern) {
  QString stem = pattern;
  const bool anyExtension = stem.endsWith(u".*"_s);
  if (anyExtension) stem.chop(2);
  QString rx;
  for (QChar c : stem) {
    if (c == u'*') rx += u".*"_s;
    else if (c == u'?') rx += u'.';
    else rx += QRegularExpression::escape(QString(c));
  }
  if (anyExtension) rx += u"(?:\\..*)?"_s;
  expression_.setPattern(QRegularExpression::anchoredPattern(rx));
  expression_.setPatternOptions(QRegularExpression::CaseInsensitiveOption |
                                QRegularExpression::DotMatchesEverythingOption);
}

bool FilePattern::matches(const QString& name) const {
  return !name.isEmpty() && expression_.match(name).hasMatch();
}

QString FileNameExtension(const QString& name) {
  for (qsizetype i = name.size() - 1; i >= 0; --i) {
    if (name[i] == u'.') return name.mid(i);
    if (IsPartSeparator(name[i])) break;
  }
  return {};
}

QString FileNameLastPart(const QString& name) { return name.mid(LastPartSeparator(name) + 1); }

QString FileNameFolderPart(const QString& name) { return name.left(LastPartSeparator(name) + 1); }

QString DecodeAnsiBytes(QByteArrayView bytes) {
  const ByteTable& table = CurrentByteTable();
  QString text(bytes.size(), Qt::Uninitialized);
  QChar* out = text.data();
  for (qsizetype i = 0; i < bytes.size(); ++i) out[i] = QChar(table[uchar(bytes[i])]);
  return text;
}
