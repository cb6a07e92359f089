// A small INI file of our own: "[Section]" lines followed by "Key=Value" lines. Section and key
// names are matched without regard to letter case and surrounding blanks; the first spelling
// seen is kept, as is the order of sections and keys.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>

class IniFile {
 public:
  // Load reads at most this many bytes; a line longer than kMaxLineBytes is ignored.
  static constexpr qsizetype kMaxFileBytes = 16 * 1024 * 1024;
  static constexpr qsizetype kMaxLineBytes = 64 * 1024;

  // Replaces the contents with the file at `path`. False, leaving the object empty, when the
  // file is missing, is not a regular file or cannot be read.
  bool Load(const QString& path);
  // Replaces the contents with the parsed text: UTF-8, an optional byte-order mark, CR LF, LF
  // or CR line ends. Blank lines, lines beginning with ";" or "#", keys outside any section,
  // lines without "=" or with an empty key, and the keys under a "[" line without a name and
  // "]" are ignored, as is text after a section's last "]". Names and values lose their
  // surrounding blanks. When a key repeats in a section, the first value counts; a repeated
  // section continues the first one.
  void Parse(const QByteArray& bytes);

  // The text Save writes: "[Section]" and "Key=Value" lines ending in CR LF, a blank line
  // between sections, UTF-8 without byte-order mark. Comments are not kept.
  QByteArray ToBytes() const;
  // Replaces the file at `path` through ReplaceFileContents: either the new text or the old file
  // survives.
  // False, with a reason in `error` when given, when the file cannot be written.
  bool Save(const QString& path, QString* error = nullptr) const;

  void Clear();
  bool IsEmpty() const { return sections_.isEmpty(); }
  QStringList Sections() const;
  QStringList Keys(QStringView section) const;
  bool HasSection(QStringView section) const;
  bool HasKey(QStringView section, QStringView key) const;

  // `fallback` when the key is missing.
  QString GetString(QStringView section, QStringView key, const QString& fallback = {}) const;
  // `fallback` when the key is missing or its value is not a decimal integer within int.
  int GetInt(QStringView section, QStringView key, int fallback) const;
  // "1", "true", "yes", "on" and any non-zero integer are true; "0", "false", "no", "off" are
  // false; anything else gives `fallback`.
  bool GetBool(QStringView section, QStringView key, bool fallback) const;

  // Adds or replaces a value, creating the section when needed. The value loses its
  // surrounding blanks and each CR or LF in it becomes a blank, so it reads back as it is
  // kept. False, changing nothing, for a name that could not be read back: an empty section or
  // key, a line break in a name, or a key that contains "=" or begins with "[", ";" or "#".
  bool SetString(QStringView section, QStringView key, const QString& value);
  bool SetInt(QStringView section, QStringView key, int value);
  bool SetBool(QStringView section, QStringView key, bool value);  // "1" or "0"

 private:
  struct Entry {
    QString key;
    QString value;
  };
  struct Section {
    QString name;
    QList<Entry> entries;
    QHash<QString, qsizetype> keyIndex;  // folded key -> index in entries
  };

  const Entry* Find(QStringView section, QStringView key) const;
  qsizetype AddSection(const QString& name);  // existing index, or a new section's
  void Put(qsizetype section, const QString& key, const QString& value, bool replace);

  QList<Section> sections_;
  QHash<QString, qsizetype> sectionIndex_;  // folded name -> index in sections_
};

// The program's settings file: "tressaly.ini" in the program folder.
QString ProgramSettingsPath();

// Reads the file at `path` (an empty file when it is missing or unreadable), lets `change`
// edit it and saves it; sections and keys that `change` does not touch survive. The result is
// Save's.
bool UpdateIniFile(const QString& path, const std::function<void(IniFile&)>& change,
                   QString* error = nullptr);
