// File names as the file functions take them from scripts: where a name points, the parts of a
// name, folder-listing patterns, and the 8-bit code page of data files.
#pragma once

#include <QByteArrayView>
#include <QRegularExpression>
#include <QString>

// A data file a script names: "\" and "/" both separate parts; "~/" is the home folder; a
// name that starts with "/", "~/" or a drive letter and colon is taken as it stands; any other
// name lies in the program folder.
QString ResolveDataFileName(const QString& name);

// A file to open with the desktop's application: a name without any separator lies in the
// program folder; a name with separators is taken as it stands (relative to the current folder
// when not absolute).
QString ResolveOpenFileName(const QString& name);

// The folder and name pattern of a listing: `folder` (blanks trimmed, a separator added when
// missing; relative to the current folder) followed by `model`. An empty pattern matches
// nothing.
struct ListingTarget {
  QString folder;   // "/" separators, never empty ("." for the current folder)
  QString pattern;  // the last part of folder + model
};
ListingTarget ListingTargetOf(const QString& folder, const QString& model);

// Wildcard match as the listing does it: "*" any run of characters, "?" one character, letter
// case ignored; a pattern ending in ".*" also matches names without an extension, so "*.*"
// matches every name.
class FilePattern {
 public:
  explicit FilePattern(const QString& pattern);
  bool matches(const QString& name) const;

 private:
  QRegularExpression expression_;
};

// Parts of a name, as text only; "\", "/" and ":" end a folder part.
// The extension: from the last "." of the last part, "." included; empty without one.
QString FileNameExtension(const QString& name);
// The last part: the text after the last separator.
QString FileNameLastPart(const QString& name);
// The folder part: the text up to and including the last separator; empty without one.
QString FileNameFolderPart(const QString& name);

// Bytes in the 8-bit code page of data files (AnsiCodePage()): every byte is one character.
QString DecodeAnsiBytes(QByteArrayView bytes);
