// Replacing and appending writes: a failed write loses nothing of the old file, and targets
// that are not plain files stay what they are.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include "../small_disk.h"
#include "engine/file_writing.h"
#include "engine/script_files.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

struct stat Status(const QString& path) {
  struct stat info {};
  EXPECT_EQ(::lstat(QFile::encodeName(path).constData(), &info), 0) << path.toStdString();
  return info;
}

QStringList FilesIn(const QString& folder) {
  return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

// The scripts folder of a program folder on the small disk.
class FullDiskScripts : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!disk.mounted()) return;
    qputenv("TRESSALY_HOME", disk.path().toUtf8());
    ResetProgramFolderForTests();
    ASSERT_TRUE(QDir().mkpath(ScriptsFolder()));
  }
  void TearDown() override {
    qunsetenv("TRESSALY_HOME");
    ResetProgramFolderForTests();
  }
  SmallDisk disk;
};

}  // namespace

TEST_F(FullDiskScripts, EveryReplacingWriteFailsAndKeepsTheOldFile) {
  SKIP_WITHOUT_SMALL_DISK(disk);
  const QString script = ScriptsFolder() + u"main.txt"_s;
  const QString include = ScriptsFolder() + u"INC.TXT"_s;
  disk.Put(u"Scripts/main.txt"_s, "old script");
  disk.Put(u"Scripts/INC.TXT"_s, "old include");
  disk.Fill();

  QString error;
  EXPECT_FALSE(ReplaceFileContents(script, QByteArray("new"), &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_FALSE(WriteTextFileAtomic(ScriptsFolder() + u"$$$.tmp"_s, {u"x"_s}, true));
  int failedInclude = 0;
  QString saved;
  EXPECT_FALSE(SaveScriptFile(script, {u"a"_s, u"#include inc.txt"_s, u"b"_s,
                                       u"#END INCLUDE INC.TXT"_s},
                              &failedInclude, &saved));
  EXPECT_EQ(Bytes(script), "old script");
  EXPECT_EQ(Bytes(include), "old include");
  // No scratch copy and no half-made new file is left behind.
  EXPECT_EQ(FilesIn(ScriptsFolder()), QStringList({u"INC.TXT"_s, u"main.txt"_s}));
}

TEST_F(FullDiskScripts, AFailedAppendIsCutBackToTheOldLength) {
  SKIP_WITHOUT_SMALL_DISK(disk);
  disk.Put(u"log"_s, "old");
  disk.Fill();
  disk.Free(4096);  // room for part of what is appended
  const QByteArray more(10000, 'x');
  QString error;
  EXPECT_FALSE(AppendToFile(
      disk.file(u"log"_s), [&](QIODevice& out) { return out.write(more) == more.size(); }, &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(Bytes(disk.file(u"log"_s)), "old");
}

TEST_F(FullDiskScripts, AFolderWithoutRoomForANewEntryIsWrittenInPlace) {
  SKIP_WITHOUT_SMALL_DISK(disk);
  const QString target = disk.file(u"data"_s);
  disk.Put(u"data"_s, "old old old");
  ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0640), 0);
  disk.Fill();
  disk.Free(2 * 4096);
  disk.UseAllEntries();
  const ino_t inode = Status(target).st_ino;

  EXPECT_TRUE(ReplaceFileContents(target, QByteArray("new")));
  EXPECT_EQ(Bytes(target), "new");
  const QByteArray longer(6000, 'L');  // fits in the blocks left
  EXPECT_TRUE(ReplaceFileContents(target, longer));
  EXPECT_EQ(Bytes(target), longer);
  EXPECT_EQ(Status(target).st_ino, inode);
  EXPECT_EQ(Status(target).st_mode & 07777, 0640u);

  // More than the disk has room for is refused before the old bytes are touched.
  QString error;
  EXPECT_FALSE(ReplaceFileContents(target, QByteArray(40000, 'T'), &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_EQ(Bytes(target), longer);
}

TEST(FileWriting, OnlyASingleRegularFileIsReplacedByRename) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const auto path = [&](const char* name) { return dir.filePath(QString::fromLatin1(name)); };
  const auto encoded = [&](const char* name) { return QFile::encodeName(path(name)); };
  const bool root = ::geteuid() == 0;

  // A plain file keeps its mode and (where this process may give it) its owner.
  ASSERT_TRUE(ReplaceFileContents(path("plain"), QByteArray("1")));
  ASSERT_EQ(::chmod(encoded("plain").constData(), 0604), 0);
  if (root) {
    ASSERT_EQ(::chown(encoded("plain").constData(), 65534, 65534), 0);
  }
  EXPECT_TRUE(ReplaceFileContents(path("plain"), QByteArray("2")));
  EXPECT_EQ(Bytes(path("plain")), "2");
  EXPECT_EQ(Status(path("plain")).st_mode & 07777, 0604u);
  if (root) {
    EXPECT_EQ(Status(path("plain")).st_uid, 65534u);
  }

  // Both names of a hard link see the new content.
  ASSERT_EQ(::link(encoded("plain").constData(), encoded("second name").constData()), 0);
  EXPECT_TRUE(ReplaceFileContents(path("second name"), QByteArray("linked")));
  EXPECT_EQ(Bytes(path("plain")), "linked");
  EXPECT_EQ(Status(path("plain")).st_nlink, 2u);

  // A symbolic link stays a link to the replaced file.
  ASSERT_EQ(::symlink("plain", encoded("link").constData()), 0);
  EXPECT_TRUE(ReplaceFileContents(path("link"), QByteArray("through")));
  EXPECT_TRUE(S_ISLNK(Status(path("link")).st_mode));
  EXPECT_EQ(Bytes(path("plain")), "through");

  // A FIFO gets the bytes and stays a FIFO; without a reader the write is refused at once.
  ASSERT_EQ(::mkfifo(encoded("fifo").constData(), 0600), 0);
  EXPECT_FALSE(ReplaceFileContents(path("fifo"), QByteArray("nobody reads")));
  const int reader = ::open(encoded("fifo").constData(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_TRUE(ReplaceFileContents(path("fifo"), QByteArray("piped")));
  char got[16] = {};
  EXPECT_EQ(::read(reader, got, sizeof got), 5);
  EXPECT_STREQ(got, "piped");
  ::close(reader);
  EXPECT_TRUE(S_ISFIFO(Status(path("fifo")).st_mode));

  // A device node (a private copy of /dev/null, made where this process may) stays one.
  if (::mknod(encoded("null").constData(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
    EXPECT_TRUE(ReplaceFileContents(path("null"), QByteArray("gone")));
    EXPECT_TRUE(S_ISCHR(Status(path("null")).st_mode));
  }
  EXPECT_EQ(FilesIn(dir.path()).filter(u".tressaly-"_s), QStringList());
}

TEST(FileWriting, AFileOfAnotherUserKeepsItsOwner) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root, to write as another user";
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString target = dir.filePath(u"shared"_s);
  ASSERT_TRUE(ReplaceFileContents(target, QByteArray("root's")));
  ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0777), 0);
  ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 0666), 0);
  // Another user may write the file but not give a copy of it to root: it is written in place.
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
    ::_exit(ReplaceFileContents(target, QByteArray("nobody's")) ? 0 : 1);
  }
  int status = -1;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(Bytes(target), "nobody's");
  EXPECT_EQ(Status(target).st_uid, 0u);
  EXPECT_EQ(Status(target).st_mode & 07777, 0666u);
}
