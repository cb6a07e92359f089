#include "ide/settings_file.h"

#include <QFile>
#include <QFileInfo>

#include "engine/file_writing.h"
#include "engine/program_folder.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QString Fold(QStringView name) {
  return name.trimmed().toString().toCaseFolded();
}

bool IsLineBreak(char c) {
  return c == '\n' || c == '\r';
}

bool ValidSectionName(QStringView name) {
  return !name.isEmpty() && !name.contains(u'\n') && !name.contains(u'\r');
}

bool ValidKey(QStringView key) {
  if (key.isEmpty() || key.contains(u'\n') || key.contains(u'\r') || key.contains(u'='))
    return false;
  const QChar first = key.front();
  return first != u'[' && first != u';' && first != u'#';
}

}  // namespace

void IniFile::Clear() {
  sections_.clear();
  sectionIndex_.clear();
}

bool IniFile::Load(const QString& path) {
  Clear();
  // Only regular files: a FIFO or device would block or never end.
  if (!QFileInfo(path).isFile()) return false;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  QByteArray bytes = file.read(kMaxFileBytes);
  if (file.error() != QFileDevice::NoError) return false;
  if (!file.atEnd()) {
    // Cut off: drop the partial last line rather than read half a value.
    qsizetype cut = bytes.size();
    while (cut > 0 && !IsLineBreak(bytes[cut - 1])) --cut;
    bytes.truncate(cut);
  }
  Parse(bytes);
  return true;
}

void IniFile::Parse(const QByteArray& bytes) {
  Clear();
  const qsizetype size = bytes.size();
  const char* data = bytes.constData();
  qsizetype pos = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
  qsizetype current = -1;  // section that takes the keys; -1: none
  while (pos < size) {
    qsizetype end = pos;
    while (end < size && !IsLineBreak(data[end])) ++end;

    if (end - pos > kMaxLineBytes) {
      // Ignored; when it looks like a section header, so are the keys below it.
      qsizetype first = pos;
      while (first < end && (data[first] == ' ' || data[first] == '\t')) ++first;
      if (first < end && data[first] == '[') current = -1;
    } else {
      const QString line = QString::fromUtf8(data + pos, end - pos).trimmed();
      if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#')) {
        // blank or comment
      } else if (line.startsWith(u'[')) {
        // Anything after the last "]" (a trailing comment) is ignored.
        const qsizetype close = line.lastIndexOf(u']');
        const QString name = close > 0 ? line.sliced(1, close - 1).trimmed() : QString();
        current = name.isEmpty() ? -1 : AddSection(name);
      } else if (current >= 0) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0) {
          const QString key = line.first(eq).trimmed();
          if (!key.isEmpty()) Put(current, key, line.sliced(eq + 1).trimmed(), false);
        }
      }
    }

    pos = end;
    if (pos < size && data[pos] == '\r') ++pos;
    if (pos < size && data[pos] == '\n') ++pos;
  }
}

QByteArray IniFile::ToBytes() const {
  QString text;
  for (qsizetype i = 0; i < sections_.size(); ++i) {
    if (i > 0) text += u"\r\n"_s;
    text += u'[' + sections_[i].name + u"]\r\n"_s;
    for (const Entry& entry : sections_[i].entries)
      text += entry.key + u'=' + entry.value + u"\r\n"_s;
  }
  return text.toUtf8();
}

bool IniFile::Save(const QString& path, QString* error) const {
  return ReplaceFileContents(path, ToBytes(), error);
}

QStringList IniFile::Sections() const {
  QStringList names;
  for (const Section& section : sections_) names.append(section.name);
  return names;
}

QStringList IniFile::Keys(QStringView section) const {
  QStringList keys;
  if (const auto it = sectionIndex_.constFind(Fold(section)); it != sectionIndex_.cend())
    for (const Entry& entry : sections_[*it].entries) keys.append(entry.key);
  return keys;
}

bool IniFile::HasSection(QStringView section) const {
  return sectionIndex_.contains(Fold(section));
}

bool IniFile::HasKey(QStringView section, QStringView key) const {
  return Find(section, key) != nullptr;
}

const IniFile::Entry* IniFile::Find(QStringView section, QStringView key) const {
  const auto it = sectionIndex_.constFind(Fold(section));
  if (it == sectionIndex_.cend()) return nullptr;
  const Section& found = sections_[*it];
  const auto keyIt = found.keyIndex.constFind(Fold(key));
  return keyIt == found.keyIndex.cend() ? nullptr : &found.entries[*keyIt];
}

QString IniFile::GetString(QStringView section, QStringView key, const QString& fallback) const {
  const Entry* entry = Find(section, key);
  return entry ? entry->value : fallback;
}

int IniFile::GetInt(QStringView section, QStringView key, int fallback) const {
  const Entry* entry = Find(section, key);
  if (!entry) return fallback;
  bool ok = false;
  const int value = entry->value.toInt(&ok, 10);
  return ok ? value : fallback;
}

bool IniFile::GetBool(QStringView section, QStringView key, bool fallback) const {
  const Entry* entry = Find(section, key);
  if (!entry) return fallback;
  const QString value = entry->value.toLower();
  if (value == u"true"_s || value == u"yes"_s || value == u"on"_s) return true;
  if (value == u"false"_s || value == u"no"_s || value == u"off"_s) return false;
  bool ok = false;
  const qlonglong number = value.toLongLong(&ok, 10);
  return ok ? number != 0 : fallback;
}

qsizetype IniFile::AddSection(const QString& name) {
  const QString folded = Fold(name);
  if (const auto it = sectionIndex_.constFind(folded); it != sectionIndex_.cend()) return *it;
  sections_.append(Section{name, {}, {}});
  sectionIndex_.insert(folded, sections_.size() - 1);
  return sections_.size() - 1;
}

void IniFile::Put(qsizetype section, const QString& key, const QString& value, bool replace) {
  Section& target = sections_[section];
  const QString folded = Fold(key);
  if (const auto it = target.keyIndex.constFind(folded); it != target.keyIndex.cend()) {
    if (replace) target.entries[*it].value = value;
    return;
  }
  target.entries.append(Entry{key, value});
  target.keyIndex.insert(folded, target.entries.size() - 1);
}

bool IniFile::SetString(QStringView section, QStringView key, const QString& value) {
  const QStringView sectionName = section.trimmed();
  const QStringView keyName = key.trimmed();
  if (!ValidSectionName(sectionName) || !ValidKey(keyName)) return false;
  QString kept = value;
  kept.replace(u'\r', u' ').replace(u'\n', u' ');
  Put(AddSection(sectionName.toString()), keyName.toString(), kept.trimmed(), true);
  return true;
}

bool IniFile::SetInt(QStringView section, QStringView key, int value) {
  return SetString(section, key, QString::number(value));
}

bool IniFile::SetBool(QStringView section, QStringView key, bool value) {
  return SetString(section, key, value ? u"1"_s : u"0"_s);
}

QString ProgramSettingsPath() {
  return ProgramFolder() + u"tressaly.ini"_s;
}

bool UpdateIniFile(const QString& path, const std::function<void(IniFile&)>& change,
                   QString* error) {
  IniFile file;
  file.Load(path);
  change(file);
  return file.Save(path, error);
}
