// General functions: file.
//
// Text files in three character sets, files of bytes and of little-endian doubles, deletion,
// opening with the desktop's application, folder listings and the parts of a file name.
// Writes go through engine/file_writing: a failed replacing write leaves the old file as it was,
// a failed append is cut back to the old length.
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStringDecoder>
#include <QtEndian>
#include <algorithm>
#include <new>

#include "engine/arrays.h"
#include "engine/byte_buffer.h"
#include "engine/constants.h"
#include "engine/engine_state.h"
#include "engine/file_writing.h"
#include "engine/names.h"
#include "engine/text_codec.h"
#include "engine/word_reader.h"
#include "functions/file_paths.h"
#include "functions/general_unit.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qsizetype kMaxTextLength = 20000000;
constexpr qint64 kChunkBytes = qint64(1) << 20;
constexpr qint64 kDoubleSize = 8;

// ---- Character sets ---------------------------------------------------------------------------

enum class CharSet { Ansi, Utf8, Utf16, Unknown };

CharSet CharSetNamed(const QString& name) {
  if (name == u"ANSI"_s) return CharSet::Ansi;
  if (name == u"UTF8"_s) return CharSet::Utf8;
  if (name == u"UTF16"_s) return CharSet::Utf16;
  return CharSet::Unknown;
}

const QByteArray kUtf8Mark("\xEF\xBB\xBF", 3);
const QByteArray kUtf16Mark("\xFF\xFE", 2);

// Decoding never drops a second mark: only the one the caller skipped is special.
QString DecodeUnicode(QStringConverter::Encoding encoding, QByteArrayView bytes) {
  QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless |
                                       QStringConverter::Flag::ConvertInitialBom);
  return decoder.decode(bytes);
}

// A mark of the file's own set is skipped; any other mark is text.
QString DecodeText(QByteArrayView bytes, CharSet set) {
  switch (set) {
    case CharSet::Utf8:
      if (bytes.startsWith(kUtf8Mark)) bytes = bytes.sliced(kUtf8Mark.size());
      return DecodeUnicode(QStringConverter::Utf8, bytes);
    case CharSet::Utf16:
      if (bytes.startsWith(kUtf16Mark)) bytes = bytes.sliced(kUtf16Mark.size());
      if (bytes.size() % 2) bytes.chop(1);
      return DecodeUnicode(QStringConverter::Utf16LE, bytes);
    default:
      return DecodeAnsiBytes(bytes);
  }
}

QByteArray EncodeText(const QString& text, CharSet set) {
  switch (set) {
    case CharSet::Utf8:
      return text.toUtf8();
    case CharSet::Utf16: {
      QByteArray bytes(text.size() * 2, Qt::Uninitialized);
      qToLittleEndian<char16_t>(text.utf16(), text.size(), bytes.data());
      return bytes;
    }
    default:
      return EncodeAnsi(text);
  }
}

// The most bytes that can feed the first kMaxTextLength + 2 characters of a file's text (a
// character takes at most 4 bytes of UTF-8 or 2 of UTF-16), with room for the mark.
qint64 TextReadLimit(CharSet set) {
  const qint64 characters = kMaxTextLength + 2;
  switch (set) {
    case CharSet::Utf8: return 4 * characters + kUtf8Mark.size();
    case CharSet::Utf16: return 2 * characters + kUtf16Mark.size();
    default: return characters;
  }
}

// Every line break (CR LF, lone CR, lone LF) becomes CR LF, and a text that does not end with
// a break gets one, as splitting into lines and joining them with a break after each does.
QString JoinLines(QStringView text) {
  QString out;
  out.reserve(text.size() + text.size() / 32 + 2);
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c == u'\r') {
      out += u"\r\n"_s;
      if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    } else if (c == u'\n') {
      out += u"\r\n"_s;
    } else {
      out += c;
    }
  }
  if (!out.isEmpty() && !out.endsWith(u'\n')) out += u"\r\n"_s;
  return out;
}

// ---- Files ------------------------------------------------------------------------------------

bool IsExistingFile(const QString& path) { return QFileInfo(path).isFile(); }

bool CopyBytes(QFile& from, QIODevice& to, qint64 count) {
  QByteArray chunk;
  while (count > 0) {
    chunk = from.read(std::min(count, kChunkBytes));
    if (chunk.isEmpty() || to.write(chunk) != chunk.size()) return false;
    count -= chunk.size();
  }
  return true;
}

bool WriteDoubles(QIODevice& to, const std::vector<double>& values) {
  constexpr qsizetype perChunk = qsizetype(kChunkBytes / kDoubleSize);
  QByteArray chunk;
  for (std::size_t done = 0; done < values.size();) {
    const qsizetype n = qsizetype(std::min<std::size_t>(values.size() - done, perChunk));
    chunk.resize(n * kDoubleSize);
    qToLittleEndian<double>(values.data() + done, n, chunk.data());
    if (to.write(chunk) != chunk.size()) return false;
    done += std::size_t(n);
  }
  return true;
}

// Creates an empty file where none is; an existing file is left alone.
void CreateEmptyFile(const QString& path) {
  if (QFileInfo::exists(path)) return;
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.close();
}

// ---- Arguments and result arrays --------------------------------------------------------------

// An integer given as the argument's text (decimal, or hexadecimal after "$"); a text that is
// not an integer ends the step with the conversion error.
int IntegerText(const GeneralCall& call, int n) { return TextToInteger(call.text(n)); }

void FailArrayTooLarge(GeneralCall& call) { call.fail(146, {NewTemporaryArrayName()}); }

// ---- Text files -------------------------------------------------------------------------------

void ReadStr(GeneralCall& call) {
  const QString setName = call.has(1) ? AsciiUpper(call.text(1)) : u"ANSI"_s;
  const QString path = ResolveDataFileName(call.text(0));
  if (!IsExistingFile(path)) return call.fail(170, {path});
  const CharSet set = CharSetNamed(setName);
  if (set == CharSet::Unknown) return call.fail(171, {u"ReadFromFile"_s, setName});

  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return call.fail(170, {path});
  QString text;
  try {
    const QByteArray bytes = file.read(std::min(file.size(), TextReadLimit(set)));
    if (file.error() != QFileDevice::NoError) return call.fail(170, {path});
    text = JoinLines(DecodeText(bytes, set));
    if (text.size() > kMaxTextLength) text = JoinLines(QStringView(text).left(kMaxTextLength));
  } catch (const std::bad_alloc&) {
    return call.fail(170, {path});
  }
  if (text.endsWith(u"\r\n"_s)) text.chop(2);
  call.setText(text);
}

void WriteStr(GeneralCall& call) {
  const QString path = ResolveDataFileName(call.text(0));
  const qint64 append = call.integerOr(2, 0);
  const QString setName = call.has(3) ? call.text(3) : u"ANSI"_s;
  const CharSet set = CharSetNamed(setName);
  const bool inPlace = append == 1 && IsExistingFile(path);

  if (set == CharSet::Unknown) {
    // Nothing is written; an existing file keeps its content.
    if (!inPlace) CreateEmptyFile(path);
    return call.fail(171, {u"WriteToFile"_s, setName});
  }
  bool written = false;
  try {
    QByteArray bytes;
    if (!inPlace && set == CharSet::Utf8) bytes = kUtf8Mark;
    if (!inPlace && set == CharSet::Utf16) bytes = kUtf16Mark;
    bytes += EncodeText(call.text(1), set);
    const auto fill = [&bytes](QIODevice& out) { return out.write(bytes) == bytes.size(); };
    written = inPlace ? AppendToFile(path, fill) : ReplaceFileContents(path, fill);
  } catch (const std::bad_alloc&) {
    written = false;
  }
  if (!written) call.fail(170, {path});
}

// ---- Byte and number files --------------------------------------------------------------------

void ReadBinary(GeneralCall& call) {
  const QString path = ResolveDataFileName(call.text(0));
  const int start = call.has(1) ? IntegerText(call, 1) : 0;
  if (!IsExistingFile(path)) return call.fail(170, {path});
  const qint64 available = QFileInfo(path).size() - start;
  if (start < 0 || available <= 0) return call.fail(183, {start, path});
  if (available > kMaxArrayElements) return FailArrayTooLarge(call);

  ReadFileBytes(path, start);
  if (call.failed()) return;
  const QByteArray& bytes = Engine().ByteBuffer;
  const int index = call.newArray({int(bytes.size())}, wkFloat);
  if (index == 0) return;
  std::vector<double>& values = Engine().Array(index).P->floats;
  for (qsizetype i = 0; i < bytes.size(); ++i) values[std::size_t(i)] = uchar(bytes[i]);
}

void ReadFloat(GeneralCall& call) {
  const QString path = ResolveDataFileName(call.text(0));
  const int start = call.has(1) ? IntegerText(call, 1) : 0;
  QFile file(path);
  if (!IsExistingFile(path) || !file.open(QIODevice::ReadOnly)) return call.fail(170, {path});
  const qint64 available = file.size() / kDoubleSize - start;
  if (start < 0 || available < 1) return call.fail(183, {start, path});

  QList<qint64> dims{call.has(2) ? qint64(IntegerText(call, 2)) : available};
  for (int n = 3; n <= 5 && call.has(n); ++n) dims << IntegerText(call, n);
  qint64 total = 1;
  bool negative = false;
  for (qint64 d : dims) {
    if (d < 0) negative = true;
    else if (total <= kMaxArrayElements) total *= d;
  }
  if (!negative && total > kMaxArrayElements) return FailArrayTooLarge(call);
  QList<int> sizes;
  for (qint64 d : dims) sizes << int(d);  // a negative size is refused by the declaration
  const int index = call.newArray(sizes, wkFloat);
  if (index == 0) return;

  std::vector<double>& values = Engine().Array(index).P->floats;
  const qint64 count = std::min<qint64>(available, qint64(values.size()));
  if (!file.seek(start * kDoubleSize)) return;
  constexpr qint64 perChunk = kChunkBytes / kDoubleSize;
  for (qint64 done = 0; done < count;) {
    const QByteArray chunk = file.read(std::min(count - done, perChunk) * kDoubleSize);
    const qint64 n = chunk.size() / kDoubleSize;
    if (n == 0) break;  // the file got shorter meanwhile: the rest stays 0
    qFromLittleEndian<double>(chunk.constData(), n, values.data() + done);
    done += n;
  }
}

void WriteFloat(GeneralCall& call) {
  const QString path = ResolveDataFileName(call.text(0));
  const int start = call.has(2) ? IntegerText(call, 2) : -1;
  const QString arrayName = call.text(1);
  const int index = FindArray(arrayName);
  if (index == 0) return call.fail(186, {arrayName});
  const t_arr_specification& array = Engine().Array(index);
  if (array.data_type != wkFloat) return call.fail(185, {arrayName});
  static const std::vector<double> kNoValues;
  const std::vector<double>& values = array.P ? array.P->floats : kNoValues;

  if (!QFileInfo::exists(path)) CreateEmptyFile(path);
  QFile old(path);
  if (!IsExistingFile(path) || !old.open(QIODevice::ReadOnly)) return call.fail(170, {path});
  const qint64 oldSize = old.size();
  const qint64 count = oldSize / kDoubleSize;
  if (start > count) return call.fail(184, {start, path});
  const qint64 position = start >= 1 ? start * kDoubleSize : start == -1 ? count * kDoubleSize : 0;
  const qint64 end = position + qint64(values.size()) * kDoubleSize;

  const auto writeValues = [&values](QIODevice& out) { return WriteDoubles(out, values); };
  bool written;
  if (position == oldSize) {
    old.close();
    written = AppendToFile(path, writeValues);
  } else {
    written = ReplaceFileContents(path, [&](QIODevice& out) {
      if (!CopyBytes(old, out, position) || !writeValues(out)) return false;
      if (end >= oldSize) return true;
      return old.seek(end) && CopyBytes(old, out, oldSize - end);
    });
  }
  if (!written) call.fail(170, {path});
}

void Delete(GeneralCall& call) {
  const QString path = ResolveDataFileName(call.text(0));
  if (IsExistingFile(path)) {
    QFile::remove(path);  // a refusal is not reported
    return;
  }
  if (call.integerOr(1, 0) == 1) call.fail(192);
}

// ---- The desktop ------------------------------------------------------------------------------

// The desktop opener takes no window mode, so the second argument has no effect here. The
// failures the opener would meet are found before it is started, and reported with the
// messages of the matching system codes.
void OpenFile(GeneralCall& call) {
  const QFileInfo file(ResolveOpenFileName(call.text(0)));
  if (!file.exists()) return call.fail(QFileInfo(file.absolutePath()).isDir() ? 192 : 193);
  if (!file.isReadable()) return call.fail(195);
  if (!QProcess::startDetached(u"xdg-open"_s, {file.absoluteFilePath()})) return call.fail(201);
  call.setBool(true);
}

void ScanDir(GeneralCall& call) {
  const ListingTarget target = ListingTargetOf(call.text(0), call.has(1) ? call.text(1) : u"*.*"_s);
  const qint64 filter = call.integerOr(2, 0);
  const bool showTime = call.integerOr(3, 0) != 0;

  QFileInfoList taken;
  if (filter == 0 || filter == 1) {
    const FilePattern pattern(target.pattern);
    const QFileInfoList entries = QDir(target.folder).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
        QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& entry : entries)
      if (pattern.matches(entry.fileName()) && (filter == 0 ? entry.isFile() : entry.isDir()))
        taken << entry;
  }
  if (taken.size() * (showTime ? 2 : 1) > kMaxArrayElements) return FailArrayTooLarge(call);

  const QString name =
      u"DIR"_s + QDateTime::currentDateTime().toString(u"yyMMddhhmmsszzz"_s);
  QList<int> sizes{int(taken.size())};
  if (showTime) sizes << 2;
  const int index = call.declareArray(name, sizes, wkString);
  if (index == 0) return;
  call.setArray(name);
  std::vector<QString>& cells = Engine().Array(index).P->strings;
  for (qsizetype i = 0; i < taken.size(); ++i) {
    if (showTime) {
      cells[std::size_t(2 * i)] = taken[i].fileName();
      cells[std::size_t(2 * i + 1)] =
          taken[i].lastModified().toLocalTime().toString(u"yyyy.MM.dd HH:mm:ss"_s);
    } else {
      cells[std::size_t(i)] = taken[i].fileName();
    }
  }
}

// ---- Name parts -------------------------------------------------------------------------------

void ExtractExt(GeneralCall& call) { call.setText(FileNameExtension(call.text(0))); }
void ExtractName(GeneralCall& call) { call.setText(FileNameLastPart(call.text(0))); }
void ExtractPath(GeneralCall& call) { call.setText(FileNameFolderPart(call.text(0))); }

constexpr UnitFunctionEntry kFileFunctions[] = {
    {u"File_ReadStr", ReadStr},         {u"File_WriteStr", WriteStr},
    {u"File_ReadBinary", ReadBinary},   {u"File_ReadFloat", ReadFloat},
    {u"File_WriteFloat", WriteFloat},   {u"File_Delete", Delete},
    {u"OS_OpenFile", OpenFile},         {u"ScanDir", ScanDir},
    {u"File_ExtractExt", ExtractExt},   {u"File_ExtractName", ExtractName},
    {u"File_ExtractPath", ExtractPath},
};

}  // namespace

std::span<const UnitFunctionEntry> FileFunctions() { return kFileFunctions; }
