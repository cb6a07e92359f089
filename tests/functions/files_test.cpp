// The file functions against real files in a private program folder.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>

#include "../small_disk.h"
#include "engine/program_folder.h"
#include "function_fixture.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray Doubles(std::initializer_list<double> values) {
  QByteArray bytes;
  for (double v : values) {
    char le[8];
    qToLittleEndian(v, le);
    bytes.append(le, 8);
  }
  return bytes;
}

}  // namespace

class FileFunctions : public FunctionTest {
 protected:
  QTemporaryDir home;
  QByteArray savedHome;

  void SetUp() override {
    FunctionTest::SetUp();
    ASSERT_TRUE(home.isValid());
    savedHome = qgetenv("TRESSALY_HOME");
    qputenv("TRESSALY_HOME", home.path().toUtf8());
    ResetProgramFolderForTests();
  }
  void TearDown() override {
    if (savedHome.isEmpty()) qunsetenv("TRESSALY_HOME");
    else qputenv("TRESSALY_HOME", savedHome);
    ResetProgramFolderForTests();
    FunctionTest::TearDown();
  }
  // The error of this run only, or "".
  QString Run(const QStringList& lines) {
    host.errors.clear();
    return FunctionTest::Run(lines);
  }
  QString PathOf(const QString& name) const { return home.path() + u'/' + name; }
  void Put(const QString& name, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(PathOf(name)).absolutePath());
    QFile f(PathOf(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  QByteArray Get(const QString& name) const { return BytesAt(PathOf(name)); }
  static QByteArray BytesAt(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
  }
  // Reads a file through File_ReadStr; "" after an error.
  QString ReadStr(const QString& file, const QString& set) {
    return Eval(u"File_ReadStr('"_s + file + u"', '"_s + set + u"')"_s);
  }
  static const t_arr_specification* ArrayNamed(const QString& name) {
    const int i = FindArray(name);
    return i > 0 ? &Engine().Array(i) : nullptr;
  }
  static std::vector<double> Floats(const QString& name) {
    const t_arr_specification* a = ArrayNamed(name);
    return a && a->P ? a->P->floats : std::vector<double>{};
  }
  static QStringList Strings(const QString& name) {
    const t_arr_specification* a = ArrayNamed(name);
    return a && a->P ? QStringList(a->P->strings.begin(), a->P->strings.end()) : QStringList();
  }
};

// ---- Text files ---------------------------------------------------------------------------------

TEST_F(FileFunctions, EachCharacterSetRoundTripsWithItsMark) {
  ASSERT_EQ(Run({u"File_WriteStr('u16.txt', 'Cities', 0, 'UTF16')"_s,
                 u"File_WriteStr('u8.txt', 'Grüße €', 0, 'UTF8')"_s,
                 u"File_WriteStr('ansi.txt', 'Grüße € Жж')"_s}),
            QString());
  EXPECT_EQ(Get(u"u16.txt"_s), QByteArray("\xFF\xFE" "C\0i\0t\0i\0e\0s\0", 14));
  EXPECT_EQ(Get(u"u8.txt"_s), QByteArray("\xEF\xBB\xBF") + u"Grüße €"_s.toUtf8());
  EXPECT_EQ(Get(u"ansi.txt"_s), QByteArray("Gr\xFC\xDF" "e \x80 ??"));  // Western code page
  EXPECT_EQ(ReadStr(u"u16.txt"_s, u"UTF16"_s), u"Cities"_s);
  EXPECT_EQ(ReadStr(u"u8.txt"_s, u"utf8"_s), u"Grüße €"_s);  // reading upper-cases the set
  EXPECT_EQ(Eval(u"File_ReadStr('ansi.txt')"_s), u"Grüße € ??"_s);

  SetLanguageIndex(1);  // Russian interface: Cyrillic code page
  ASSERT_EQ(Run({u"File_WriteStr('ru.txt', 'Жж', 0, 'ANSI')"_s}), QString());
  EXPECT_EQ(Get(u"ru.txt"_s), QByteArray("\xC6\xE6"));
  EXPECT_EQ(ReadStr(u"ru.txt"_s, u"ANSI"_s), u"Жж"_s);
}

TEST_F(FileFunctions, ReadingSkipsOnlyTheMarkOfItsOwnSetAndNormalisesBreaks) {
  Put(u"m8.txt"_s, "\xEF\xBB\xBF" "a");
  EXPECT_EQ(ReadStr(u"m8.txt"_s, u"UTF8"_s), u"a"_s);
  EXPECT_EQ(ReadStr(u"m8.txt"_s, u"ANSI"_s), u"ï»¿a"_s);
  Put(u"twice.txt"_s, "\xEF\xBB\xBF\xEF\xBB\xBF" "a");
  EXPECT_EQ(ReadStr(u"twice.txt"_s, u"UTF8"_s), QChar(0xFEFF) + u"a"_s);
  Put(u"m16.txt"_s, QByteArray("\xFF\xFE" "a\0b\0c", 7));  // an odd last byte is dropped
  EXPECT_EQ(ReadStr(u"m16.txt"_s, u"UTF16"_s), u"ab"_s);

  Put(u"mixed.txt"_s, "a\nb\rc\r\nd\n");
  EXPECT_EQ(ReadStr(u"mixed.txt"_s, u"ANSI"_s), u"a\r\nb\r\nc\r\nd"_s);
  Put(u"blank.txt"_s, "a\n\n");
  EXPECT_EQ(ReadStr(u"blank.txt"_s, u"ANSI"_s), u"a\r\n"_s);
  Put(u"sub/in.txt"_s, "");
  EXPECT_EQ(Run({u"x = File_ReadStr('sub\\in.txt', 'UTF16')"_s}), QString());
}

TEST_F(FileFunctions, AppendAddsTextWithoutASecondMark) {
  EXPECT_EQ(Run({u"File_WriteStr('log.txt', 'one', 0, 'UTF8')"_s,
                 u"File_WriteStr('log.txt', 'two', 1, 'UTF8')"_s,
                 u"File_WriteStr('new.txt', 'x', 1, 'UTF16')"_s}),
            QString());
  EXPECT_EQ(Get(u"log.txt"_s), QByteArray("\xEF\xBB\xBF" "onetwo"));
  EXPECT_EQ(Get(u"new.txt"_s), QByteArray("\xFF\xFE" "x\0", 4));  // a missing file gets its mark
  EXPECT_EQ(Run({u"File_WriteStr('log.txt', 'three', 2)"_s}), QString());
  EXPECT_EQ(Get(u"log.txt"_s), QByteArray("three"));
}

TEST_F(FileFunctions, TextErrorsKeepExistingFiles) {
  EXPECT_EQ(Run({u"x = File_ReadStr('missing.txt', 'KOI8')"_s}),
            ErrorAt(0, 170, {PathOf(u"missing.txt"_s)}));  // the file is checked first
  Put(u"there.txt"_s, "abc");
  EXPECT_EQ(Run({u"x = File_ReadStr('there.txt', 'koi8')"_s}),
            ErrorAt(0, 171, {u"ReadFromFile"_s, u"KOI8"_s}));
  EXPECT_EQ(Run({u"File_WriteStr('there.txt', 'new', 0, 'utf8')"_s}),
            ErrorAt(0, 171, {u"WriteToFile"_s, u"utf8"_s}));
  EXPECT_FALSE(Run({u"File_WriteStr('there.txt', 'new', 1, 'Utf16')"_s}).isEmpty());
  EXPECT_EQ(Get(u"there.txt"_s), QByteArray("abc"));
  EXPECT_EQ(Run({u"File_WriteStr('no\\dir\\x.txt', 'a')"_s}),
            ErrorAt(0, 170, {PathOf(u"no/dir/x.txt"_s)}));

  // The scratch copy of a replacing write has a short name of its own, so even the longest
  // name the file system takes is replaced.
  const QString name = QString(250, u'n');
  Put(name, Doubles({1, 2, 3}));
  EXPECT_EQ(Run({u"array A[1]float=(9)"_s, u"File_WriteFloat('"_s + name + u"', A, 1)"_s}),
            QString());
  EXPECT_EQ(Get(name), Doubles({1, 9, 3}));
  EXPECT_EQ(Run({u"File_WriteStr('"_s + name + u"', 'new')"_s}), QString());
  EXPECT_EQ(Get(name), QByteArray("new"));
}

// A text file and a number file on a small disk of their own.
class FilesOnSmallDisk : public FileFunctions {
 protected:
  SmallDisk disk;
  QString text, numbers;

  void SetUp() override {
    FileFunctions::SetUp();
    SKIP_WITHOUT_SMALL_DISK(disk);
    text = disk.file(u"text.txt"_s);
    numbers = disk.file(u"numbers.bin"_s);
    disk.Put(u"text.txt"_s, "old text");
    disk.Put(u"numbers.bin"_s, Doubles({1, 2, 3}));
  }
};

TEST_F(FilesOnSmallDisk, AFullDiskKeepsWhatFilesHeld) {
  disk.Fill();
  const auto fails = [&](const QString& line) {
    const QStringList script{u"array A[1]float=(9)"_s, u"s = 'x'"_s, u"FOR i = 1,14"_s,
                             u"  s = s + s"_s, line};  // s: 16384 characters
    EXPECT_NE(Run(script), QString()) << line.toStdString();
  };
  fails(u"File_WriteStr('"_s + text + u"', 'new')"_s);
  fails(u"File_WriteFloat('"_s + numbers + u"', A, 1)"_s);
  disk.Free(4096);  // room for part of an append only
  fails(u"File_WriteStr('"_s + text + u"', s, 1)"_s);
  EXPECT_EQ(BytesAt(text), "old text");
  EXPECT_EQ(BytesAt(numbers), Doubles({1, 2, 3}));
}

TEST_F(FilesOnSmallDisk, AFolderWithoutFreeEntriesIsWrittenInPlace) {
  disk.UseAllEntries();
  EXPECT_EQ(Run({u"File_WriteStr('"_s + text + u"', 'new')"_s, u"array A[1]float=(9)"_s,
                 u"File_WriteFloat('"_s + numbers + u"', A, 1)"_s}),
            QString());
  EXPECT_EQ(BytesAt(text), "new");
  EXPECT_EQ(BytesAt(numbers), Doubles({1, 9, 3}));
}

// ---- Byte and number files ----------------------------------------------------------------------

TEST_F(FileFunctions, ReadBinaryGivesByteValuesFromTheStart) {
  Put(u"b.bin"_s, "0123ABCD\xFF");
  const QString path = PathOf(u"b.bin"_s);
  EXPECT_EQ(Run({u"a = File_ReadBinary('b.bin')"_s, u"t = File_ReadBinary('b.bin', 5)"_s}), QString());
  EXPECT_EQ(Floats(u"a"_s), (std::vector<double>{48, 49, 50, 51, 65, 66, 67, 68, 255}));
  EXPECT_EQ(Floats(u"t"_s), (std::vector<double>{66, 67, 68, 255}));
  EXPECT_EQ(Run({u"a = File_ReadBinary('b.bin', 9)"_s}), ErrorAt(0, 183, {9, path}));
  EXPECT_EQ(Run({u"a = File_ReadBinary('b.bin', -1)"_s}), ErrorAt(0, 183, {-1, path}));
  EXPECT_EQ(Run({u"a = File_ReadBinary('none.bin')"_s}), ErrorAt(0, 170, {PathOf(u"none.bin"_s)}));
  EXPECT_FALSE(Run({u"a = File_ReadBinary('b.bin', 1.5)"_s}).isEmpty());  // not an integer text
}

TEST_F(FileFunctions, FloatFilesRoundTripWithDimensions) {
  EXPECT_EQ(Run({u"array A[3,2]float=((1,2),(3,4),(5,6))"_s, u"array B[2]float=(7,8)"_s,
                 u"array C[2]float=(111,222)"_s, u"File_WriteFloat('f.bin', A)"_s,
                 u"File_WriteFloat('f.bin', B)"_s, u"File_WriteFloat('f.bin', C, 2)"_s,
                 u"m = File_ReadFloat('f.bin', 2, 2, 3)"_s, u"x = m[2,1]"_s,
                 u"wide = File_ReadFloat('f.bin', 6, 2, 2)"_s}),
            QString());
  EXPECT_EQ(Get(u"f.bin"_s), Doubles({1, 2, 111, 222, 5, 6, 7, 8}));
  EXPECT_EQ(Floats(u"m"_s), (std::vector<double>{111, 222, 5, 6, 7, 8}));
  EXPECT_EQ(ArrayNamed(u"m"_s)->dim[1], 3);
  EXPECT_EQ(Value(u"x"_s), u"6"_s);
  EXPECT_EQ(Floats(u"wide"_s), (std::vector<double>{7, 8, 0, 0}));  // beyond the file: 0

  // Position 0 overwrites the start and keeps the rest; appending replaces an incomplete tail.
  Put(u"tail.bin"_s, Doubles({1, 2}) + "abc");
  EXPECT_EQ(Run({u"array D[1]float=(-1.5)"_s, u"File_WriteFloat('tail.bin', D, 0)"_s,
                 u"File_WriteFloat('tail.bin', D)"_s, u"all = File_ReadFloat('tail.bin')"_s}),
            QString());
  EXPECT_EQ(Get(u"tail.bin"_s), Doubles({-1.5, 2, -1.5}));
  EXPECT_EQ(Floats(u"all"_s), (std::vector<double>{-1.5, 2, -1.5}));
}

TEST_F(FileFunctions, FloatFileErrors) {
  Put(u"two.bin"_s, Doubles({1, 2}) + "1234567");
  const QString path = PathOf(u"two.bin"_s);
  EXPECT_EQ(Run({u"a = File_ReadFloat('two.bin', 2)"_s}), ErrorAt(0, 183, {2, path}));
  EXPECT_EQ(Run({u"a = File_ReadFloat('none.bin')"_s}), ErrorAt(0, 170, {PathOf(u"none.bin"_s)}));
  // Too many elements is refused before anything is allocated.
  EXPECT_TRUE(Run({u"a = File_ReadFloat('two.bin', 0, 100000, 100000, 100000)"_s})
                  .startsWith(MessageText(146, {u"tARR"_s}).left(20)));

  EXPECT_EQ(Run({u"array A[1]float=(9)"_s, u"File_WriteFloat('two.bin', A, 3)"_s}),
            ErrorAt(1, 184, {3, path}));
  EXPECT_EQ(Run({u"array S[1]string"_s, u"File_WriteFloat('two.bin', S)"_s}),
            ErrorAt(1, 185, {u"S"_s}));
  EXPECT_EQ(Run({u"array I[1]int"_s, u"File_WriteFloat('two.bin', I)"_s}),
            ErrorAt(1, 185, {u"I"_s}));
  EXPECT_EQ(Get(u"two.bin"_s), Doubles({1, 2}) + "1234567");
}

// ---- Deleting and opening -----------------------------------------------------------------------

TEST_F(FileFunctions, DeleteReportsAMissingFileOnlyWhenAsked) {
  Put(u"gone.txt"_s, "x");
  QDir().mkpath(PathOf(u"folder"_s));
  EXPECT_EQ(Run({u"File_Delete('gone.txt', 1)"_s, u"File_Delete('gone.txt')"_s,
                 u"File_Delete('gone.txt', 0)"_s}),
            QString());
  EXPECT_FALSE(QFile::exists(PathOf(u"gone.txt"_s)));
  EXPECT_EQ(Run({u"File_Delete('gone.txt', 1)"_s}), ErrorAt(0, 192));
  EXPECT_EQ(Run({u"File_Delete('folder', 1)"_s}), ErrorAt(0, 192));  // a folder is no file
  EXPECT_TRUE(QFileInfo(PathOf(u"folder"_s)).isDir());
}

TEST_F(FileFunctions, OpenFileReportsMissingFilesAndFolders) {
  EXPECT_EQ(Run({u"ok = OS_OpenFile('absent.pdf')"_s}), ErrorAt(0, 192));
  EXPECT_EQ(Run({u"ok = OS_OpenFile('"_s + PathOf(u"no/dir/a.pdf"_s) + u"', 1)"_s}), ErrorAt(0, 193));
}

// ---- Listing folders and name parts -------------------------------------------------------------

TEST_F(FileFunctions, ScanDirFiltersAndItsResultArray) {
  for (const QString& f : {u"d/b.TXT"_s, u"d/a.txt"_s, u"d/c.dat"_s, u"d/README"_s, u"d/.hidden"_s})
    Put(f, "x");
  QDir().mkpath(PathOf(u"d/sub"_s));
  const QString dir = PathOf(u"d"_s);
  const auto list = [&](const QString& args) {
    EXPECT_EQ(Run({u"L = ScanDir('"_s + dir + u"'"_s + args + u")"_s}), QString());
    return Strings(u"L"_s);
  };
  EXPECT_EQ(list({}), (QStringList{u".hidden"_s, u"a.txt"_s, u"b.TXT"_s, u"c.dat"_s, u"README"_s}));
  EXPECT_EQ(list(u", '*.txt'"_s), (QStringList{u"a.txt"_s, u"b.TXT"_s}));
  EXPECT_EQ(list(u", 'readme.*'"_s), QStringList{u"README"_s});
  EXPECT_EQ(list(u", '*.*', 1"_s), QStringList{u"sub"_s});
  EXPECT_EQ(list(u", '*.*', 2"_s), QStringList());
  EXPECT_EQ(list(u", '*.none'"_s), QStringList());
  EXPECT_EQ(ArrayNamed(u"L"_s)->count, 0);

  const QStringList timed = list(u", 'a.txt', 0, 1"_s);
  EXPECT_EQ(ArrayNamed(u"L"_s)->dim[1], 2);
  EXPECT_EQ(timed, (QStringList{u"a.txt"_s, QFileInfo(PathOf(u"d/a.txt"_s))
                                                .lastModified()
                                                .toString(u"yyyy.MM.dd HH:mm:ss"_s)}));

  // The result keeps its own name and stays after the step.
  EXPECT_EQ(Run({u"ScanDir('"_s + dir + u"')"_s}), QString());
  int listings = 0;
  for (const t_arr_specification& a : Engine().Arrays)
    if (a.name.startsWith(u"DIR"_s) && a.name.size() == 18) ++listings;
  EXPECT_EQ(listings, 1);
}

TEST_F(FileFunctions, NamePartsSplitAtEitherSlashAndTheColon) {
  EXPECT_EQ(Eval(u"File_ExtractExt('c.txt')"_s), u".txt"_s);
  EXPECT_EQ(Eval(u"File_ExtractExt('C:\\dir.x\\file')"_s), QString());
  EXPECT_EQ(Eval(u"File_ExtractExt('/home/u.v/a.tar.gz')"_s), u".gz"_s);
  EXPECT_EQ(Eval(u"File_ExtractName('C:\\dir\\file.txt')"_s), u"file.txt"_s);
  EXPECT_EQ(Eval(u"File_ExtractName('C:x.txt')"_s), u"x.txt"_s);
  EXPECT_EQ(Eval(u"File_ExtractPath('C:\\dir\\file.txt')"_s), u"C:\\dir\\"_s);
  EXPECT_EQ(Eval(u"File_ExtractPath('/usr/lib/x')"_s), u"/usr/lib/"_s);
  EXPECT_EQ(Eval(u"File_ExtractPath('plain.txt')"_s), QString());
  EXPECT_EQ(KindOf(u"x"_s), wkString);
}
