// A small tmpfs mounted for one test: a disk the test can fill up, or whose every entry it can
// use, to see what writes do when the disk is full or a folder takes no new file. Mounting
// needs root (as in CI); elsewhere the tests skip with a notice (SKIP_WITHOUT_SMALL_DISK).
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

class SmallDisk {
 public:
  // `entries`: how many files and folders the disk can hold, its root folder included.
  explicit SmallDisk(int kilobytes = 256, int entries = 64) {
    if (!folder_.isValid()) return;
    const QByteArray options =
        "size=" + QByteArray::number(kilobytes) + "k,nr_inodes=" + QByteArray::number(entries);
    mounted_ = ::mount("tmpfs", Encoded(path()).constData(), "tmpfs", 0, options.constData()) == 0;
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(Encoded(path()).constData(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool mounted() const { return mounted_; }
  QString path() const { return folder_.path(); }
  QString file(const QString& name) const { return path() + u'/' + name; }

  // A file with these bytes, written the plain way.
  void Put(const QString& name, const QByteArray& bytes) const {
    QFile f(file(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush());
  }
  // A filler file takes every free block.
  void Fill() const {
    const int fd = ::open(Encoded(Filler()).constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    static const char block[4096] = {};
    while (::write(fd, block, sizeof block) > 0) {
    }
    ::close(fd);
  }
  // Gives back `bytes` of what Fill took.
  void Free(qint64 bytes) const {
    ASSERT_EQ(::truncate(Encoded(Filler()).constData(), QFile(Filler()).size() - bytes), 0);
  }
  // Empty files take every free entry.
  void UseAllEntries() const {
    for (int i = 0;; ++i) {
      const int fd = ::open(Encoded(file(QStringLiteral(".entry") + QString::number(i))).constData(),
                            O_WRONLY | O_CREAT | O_EXCL, 0600);
      if (fd < 0) return;
      ::close(fd);
    }
  }

 private:
  static QByteArray Encoded(const QString& p) { return QFile::encodeName(p); }
  QString Filler() const { return file(QStringLiteral(".filler")); }

  QTemporaryDir folder_;
  bool mounted_ = false;
};

#define SKIP_WITHOUT_SMALL_DISK(disk) \
  if (!(disk).mounted())              \
  GTEST_SKIP() << "mounting a small tmpfs needs root; the full-disk cases are not run here"
