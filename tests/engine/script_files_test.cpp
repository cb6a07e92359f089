#include <gtest/gtest.h>

#include "engine_fixture.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "engine/engine_state.h"
#include "engine/messages.h"
#include "engine/script_files.h"

using namespace Qt::Literals::StringLiterals;

namespace {

class ScriptFilesTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    ASSERT_TRUE(dir_.isValid());
    qputenv("TRESSALY_HOME", dir_.path().toUtf8());
    ResetProgramFolderForTests();
  }
  void TearDown() override {
    qunsetenv("TRESSALY_HOME");
    ResetProgramFolderForTests();
    EngineTest::TearDown();
  }
  static void Put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  static QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
  }
  static void Script(const QString& name, const QByteArray& text) {
    Put(ScriptsFolder() + name, text);
  }
  QTemporaryDir dir_;
};

TEST_F(ScriptFilesTest, ProgramFolderAndScriptNames) {
  const QString home = dir_.path() + u"/"_s;
  EXPECT_EQ(ProgramFolder(), home);
  EXPECT_EQ(ScriptsFolder(), home + u"Scripts/"_s);
  for (const QString& sub : {u"Scripts"_s, u"Temp"_s, u"pictures"_s, u"js"_s})
    EXPECT_TRUE(QFileInfo(home + sub).isDir()) << sub.toStdString();

  EXPECT_TRUE(IsAbsoluteScriptPath(u"/x"_s));
  EXPECT_TRUE(IsAbsoluteScriptPath(u"~/x"_s));
  EXPECT_TRUE(IsAbsoluteScriptPath(u"c:x"_s));
  EXPECT_FALSE(IsAbsoluteScriptPath(u"sub/x"_s));
  EXPECT_FALSE(IsAbsoluteScriptPath(u"~x"_s));
  EXPECT_FALSE(IsAbsoluteScriptPath(u"1:x"_s));
  EXPECT_EQ(ResolveScriptName(u"a.txt"_s), home + u"Scripts/a.txt"_s);
  EXPECT_EQ(ResolveScriptName(u"sub\\a.txt"_s), home + u"sub/a.txt"_s);
  EXPECT_EQ(ResolveScriptName(u"~\\a.txt"_s), QDir::homePath() + u"/a.txt"_s);
  EXPECT_EQ(ResolveScriptName(u"/etc/a.txt"_s), u"/etc/a.txt"_s);

  // A missing TRESSALY_HOME is created; the cached folder only changes after a reset.
  qputenv("TRESSALY_HOME", (dir_.path() + u"/new/home"_s).toUtf8());
  EXPECT_EQ(ProgramFolder(), home);
  ResetProgramFolderForTests();
  EXPECT_EQ(ProgramFolder(), home + u"new/home/"_s);
  EXPECT_TRUE(QFileInfo(home + u"new/home/Temp"_s).isDir());

  // Without TRESSALY_HOME and without a Scripts folder beside the executable: the user's folder.
  const QByteArray realHome = qgetenv("HOME");
  qunsetenv("TRESSALY_HOME");
  qputenv("HOME", dir_.path().toUtf8());
  ResetProgramFolderForTests();
  EXPECT_EQ(ProgramFolder(), home + u".local/share/Tressaly/"_s);
  EXPECT_TRUE(QFileInfo(ScriptsFolder()).isDir());
  qputenv("HOME", realHome);
}

TEST_F(ScriptFilesTest, DecodesByMarkUtf8OrCodePage) {
  EXPECT_EQ(DecodeScriptBytes("\xEF\xBB\xBFx\xC3\xA9"), u"xé"_s);
  EXPECT_EQ(DecodeScriptBytes(QByteArray("\xFF\xFEx\0\x3F\x04", 6)), u"xп"_s);
  EXPECT_EQ(DecodeScriptBytes(QByteArray("\xFE\xFF\0x\x04\x3F", 6)), u"xп"_s);
  EXPECT_EQ(DecodeScriptBytes("\xD0\x9F\xD1\x80\xD0\xB8"), u"При"_s);  // no mark
  EXPECT_EQ(DecodeScriptBytes("caf\xe9 \x80"), u"café €"_s);
  // cp1252 leaves 0x81 undefined: it keeps its Latin-1 value and survives a round trip.
  EXPECT_EQ(DecodeScriptBytes("a\x81z"), u"a\u0081z"_s);
  EXPECT_EQ(EncodeAnsi(u"a\u0081z"_s), QByteArray("a\x81z"));
  // Unmappable: Cyrillic in cp1252, and a character outside the BMP is one "?".
  EXPECT_EQ(EncodeAnsi(u"é€П😀!"_s), QByteArray("\xe9\x80?"
                                               "?!"));
  EXPECT_EQ(AnsiCodePage(), 1252);

  SetLanguageIndex(1);
  EXPECT_EQ(AnsiCodePage(), 1251);
  EXPECT_EQ(DecodeScriptBytes("\xcf\xf0\xe8\xe2\xe5\xf2"), u"Привет"_s);
  EXPECT_EQ(EncodeAnsi(u"Привет é"_s), QByteArray("\xcf\xf0\xe8\xe2\xe5\xf2 ?"));
  QByteArray all(256, 0);  // every byte decodes to one character
  for (int b = 0; b < 256; ++b) all[b] = char(b);
  EXPECT_EQ(DecodeScriptBytes(all).size(), 256);
}

TEST_F(ScriptFilesTest, ReadsLinesAndWritesExactBytes) {
  const QString path = dir_.path() + u"/t.txt"_s;
  bool ok = false;
  Put(path, "a\r\nb\nc\rd\r\n\te\t!\r\n\n");
  EXPECT_EQ(ReadScriptFile(path, &ok),
            (QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"  e  !"_s, u""_s}));
  EXPECT_TRUE(ok);
  Put(path, "");
  EXPECT_TRUE(ReadScriptFile(path, &ok).isEmpty());
  EXPECT_TRUE(ok);
  ReadScriptFile(dir_.path() + u"/none.txt"_s, &ok);
  EXPECT_FALSE(ok);

  ASSERT_TRUE(WriteTextFileAtomic(path, {u"é"_s, u""_s, u"z"_s}, false));
  EXPECT_EQ(Bytes(path), QByteArray("\xEF\xBB\xBF\xC3\xA9\r\n\r\nz"));
  ASSERT_TRUE(WriteTextFileAtomic(path, {u"x"_s}, true));
  EXPECT_EQ(Bytes(path), QByteArray("\xEF\xBB\xBFx\r\n"));
  EXPECT_EQ(ReadScriptFile(path, &ok), QStringList{u"x"_s});
  EXPECT_FALSE(WriteTextFileAtomic(dir_.path() + u"/no/such/dir.txt"_s, {u"x"_s}, true));
}

TEST_F(ScriptFilesTest, ExpandsNestedIncludesOnce) {
  Script(u"A.TXT"_s, "x\n#include b.txt\ny");
  Script(u"b.txt"_s, "inner\n");  // found although the name is upper-cased
  QDir(dir_.path()).mkpath(u"Lib"_s);
  Put(dir_.path() + u"/Lib/Deep.txt"_s, "deep");
  Engine().ScriptLines = {u"start"_s, u"  ; Include a.txt "_s, u"#include lib\\deep.txt"_s};
  ExpandIncludes();
  const QStringList expanded{u"start"_s,
                             u"  ; Include a.txt "_s,
                             u"x"_s,
                             u"#include b.txt"_s,
                             u"inner"_s,
                             u"#END INCLUDE B.TXT"_s,
                             u"y"_s,
                             u"#END INCLUDE A.TXT"_s,
                             u"#include lib\\deep.txt"_s,
                             u"deep"_s,
                             u"#END INCLUDE LIB\\DEEP.TXT"_s};
  EXPECT_EQ(Engine().ScriptLines, expanded);

  // Expanded blocks are left alone, even when the file has changed since.
  Script(u"b.txt"_s, "changed");
  ExpandIncludes();
  EXPECT_EQ(Engine().ScriptLines, expanded);

  QString name;
  EXPECT_TRUE(IsIncludeLine(u" # INCLUDE  x.txt "_s, &name));
  EXPECT_EQ(name, u"X.TXT"_s);
  EXPECT_FALSE(IsIncludeLine(u"x # include y"_s, &name));
  EXPECT_FALSE(IsIncludeLine(u"#END INCLUDE Y"_s, &name));
}

TEST_F(ScriptFilesTest, ExpansionStopsAtMissingFileAndRunawayIncludes) {
  Script(u"OK"_s, "ok");
  Engine().ScriptLines = {u"#include missing"_s, u"#include ok"_s};
  ExpandIncludes();
  EXPECT_EQ(Engine().ScriptLines, (QStringList{u"#include missing"_s, u"#include ok"_s}));

  Script(u"SELF"_s, "#include self\nbody");
  Engine().ScriptLines = {u"#include self"_s};
  ExpandIncludes();
  EXPECT_EQ(Engine().ScriptLines, (QStringList{u"#include self"_s, u"#include self"_s, u"body"_s,
                                               u"#END INCLUDE SELF"_s}));

  // A chain of 40 files: blocks nest 32 deep at most, and every opened block is closed.
  for (int k = 0; k < 40; ++k) Script(u"C%1"_s.arg(k), "#include c" + QByteArray::number(k + 1));
  Engine().ScriptLines = {u"#include c0"_s};
  ExpandIncludes();
  EXPECT_EQ(Engine().ScriptLines.size(), 1 + 32 * 2);
  EXPECT_EQ(Engine().ScriptLines.last(), u"#END INCLUDE C0"_s);

  // Each file includes the next one twice: millions of lines unless the line limit ends it.
  Script(u"D20"_s, "leaf");
  for (int k = 0; k < 20; ++k)
    Script(u"D%1"_s.arg(k),
           "#include d" + QByteArray::number(k + 1) + "\n#include d" + QByteArray::number(k + 1));
  Engine().ScriptLines = {u"#include d0"_s, u"tail"_s};
  ExpandIncludes();
  EXPECT_GT(Engine().ScriptLines.size(), 90000);
  EXPECT_LE(Engine().ScriptLines.size(), 100000);
  EXPECT_EQ(Engine().ScriptLines.last(), u"tail"_s);
}

TEST_F(ScriptFilesTest, ExpansionIsRepeatedWhenScriptOrFilesCanChangeIt) {
  // A missing file is looked for again by the next expansion of the same lines.
  Engine().ScriptLines = {u"#include late"_s, u"x"_s};
  ExpandIncludes();
  EXPECT_EQ(Engine().ScriptLines, (QStringList{u"#include late"_s, u"x"_s}));
  Script(u"LATE"_s, "late line");
  ExpandIncludes();
  const QStringList expanded{u"#include late"_s, u"late line"_s, u"#END INCLUDE LATE"_s, u"x"_s};
  EXPECT_EQ(Engine().ScriptLines, expanded);

  // Once expanded, the same lines stay as they are, whatever the file says now.
  Script(u"LATE"_s, "changed");
  ExpandIncludes();
  ExpandIncludes();
  EXPECT_EQ(Engine().ScriptLines, expanded);

  // An include line added, or a line turned into one, is expanded at the next expansion.
  Script(u"MORE"_s, "more line");
  Engine().ScriptLines.append(u"#include more"_s);
  ScriptChanged();
  ExpandIncludes();
  EXPECT_EQ(Engine().ScriptLines.mid(4), (QStringList{u"#include more"_s, u"more line"_s,
                                                      u"#END INCLUDE MORE"_s}));
  ExpandIncludes();
  Engine().ScriptLines[3] = u"#include late"_s;
  ScriptChanged();
  ExpandIncludes();
  EXPECT_EQ(Engine().ScriptLines.mid(3, 3), (QStringList{u"#include late"_s, u"changed"_s,
                                                         u"#END INCLUDE LATE"_s}));
}

TEST_F(ScriptFilesTest, SaveWritesChangedIncludesBack) {
  Script(u"KEEP.TXT"_s, "\xEF\xBB\xBFk1\r\nk2");
  const QString keep = ScriptsFolder() + u"KEEP.TXT"_s;
  const QDateTime old = QDateTime::currentDateTime().addDays(-3);
  {
    QFile f(keep);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(old, QFileDevice::FileModificationTime));
  }
  Script(u"inc.txt"_s, "old");
  const QStringList script{u"a"_s,
                           u"#include keep.txt"_s,
                           u"k1"_s,
                           u"k2"_s,
                           u"# end include keep.txt"_s,
                           u";include inc.txt"_s,
                           u"new 1"_s,
                           u"new 2"_s,
                           u"#END INCLUDE INC.TXT"_s,
                           u"b"_s};
  const QString base = dir_.path() + u"/prog"_s;
  int failed = 0;
  QString saved;
  ASSERT_TRUE(SaveScriptFile(base, script, &failed, &saved));
  EXPECT_EQ(failed, -1);
  EXPECT_EQ(saved, base + u".txt"_s);
  EXPECT_EQ(Bytes(saved), QByteArray("\xEF\xBB\xBF"
                                     "a\r\n#include keep.txt\r\n;include inc.txt\r\nb\r\n"));
  EXPECT_EQ(Bytes(ScriptsFolder() + u"inc.txt"_s), QByteArray("\xEF\xBB\xBFnew 1\r\nnew 2"));
  EXPECT_EQ(QFileInfo(keep).lastModified(), old);
  EXPECT_EQ(Bytes(keep), QByteArray("\xEF\xBB\xBFk1\r\nk2"));

  // A block without its end line: marked, and it and everything after stays inline.
  ASSERT_TRUE(SaveScriptFile(base + u"."_s, {u"#include inc.txt"_s, u"x"_s, u"#include k"_s},
                             &failed, &saved));
  EXPECT_EQ(failed, 0);
  EXPECT_EQ(saved, base + u".txt"_s);
  EXPECT_EQ(Bytes(saved), QByteArray("\xEF\xBB\xBF#???INCLUDE INC.TXT\r\nx\r\n#include k\r\n"));

  // Indented include lines are not blocks; an extension stays.
  ASSERT_TRUE(SaveScriptFile(base + u".bas"_s, {u" #include inc.txt"_s}, &failed, &saved));
  EXPECT_EQ(saved, base + u".bas"_s);
  EXPECT_EQ(Bytes(saved), QByteArray("\xEF\xBB\xBF #include inc.txt\r\n"));
}

}  // namespace
