#include "engine/file_writing.h"

#include <QBuffer>
#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

// A file descriptor, closed when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  void reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Closes now; false when the system reports that written data did not reach the file.
  bool close() { return ::close(std::exchange(fd_, -1)) == 0; }

 private:
  int fd_;
};

// The reason of the first failure of one write. Calls read `return fail();` in the failing
// step: they record errno (or the code given) and give false.
class Failure {
 public:
  bool operator()(int code = errno) { return Record(qt_error_string(code ? code : EIO)); }
  bool Record(const QString& reason) {
    if (reason_.isEmpty()) reason_ = reason;
    return false;
  }
  void Report(QString* error) const {
    if (error) *error = reason_;
  }

 private:
  QString reason_;
};

// Runs `fill` on the descriptor, unbuffered, so that every failed write is seen.
bool FillDescriptor(int fd, const FileFill& fill, Failure& fail) {
  QFile out;
  if (!out.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle))
    return fail.Record(out.errorString());
  errno = 0;
  try {
    if (fill(out)) return true;
  } catch (const std::bad_alloc&) {
    return fail(ENOMEM);
  }
  // A write cut short reports no error of its own: the system's reason is still in errno.
  return out.error() != QFileDevice::NoError ? fail.Record(out.errorString()) : fail();
}

// Runs `fill` into memory.
bool FillBytes(QByteArray& bytes, const FileFill& fill, Failure& fail) {
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  try {
    return fill(buffer) || fail(EIO);
  } catch (const std::bad_alloc&) {
    return fail(ENOMEM);
  }
}

bool SyncAndClose(Descriptor& fd, Failure& fail) {
  if (::fsync(fd.get()) != 0) return fail();
  return fd.close() || fail();
}

// Opens for writing without truncating. O_NONBLOCK only for the open itself: a FIFO that
// nobody reads is refused (ENXIO) instead of waited for.
int OpenForWriting(const QByteArray& path, int extraFlags) {
  const int fd = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | extraFlags, 0666);
  if (fd < 0) return -1;
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0) return fd;
  const int reason = errno;
  ::close(fd);
  errno = reason;
  return -1;
}

// ---- Choosing how to write ---------------------------------------------------------------------

enum class Route { ByRename, InPlace, Direct };

struct Target {
  QByteArray path;  // symbolic links resolved when the file exists
  bool exists = false;
  struct stat info {};
  Route route = Route::ByRename;
};

Target Examine(const QString& name) {
  Target t;
  t.path = QFile::encodeName(name);
  if (::stat(t.path.constData(), &t.info) == 0) {
    t.exists = true;
    if (char* resolved = ::realpath(t.path.constData(), nullptr)) {
      t.path = resolved;
      std::free(resolved);
    }
    if (!S_ISREG(t.info.st_mode)) t.route = Route::Direct;
    else t.route = t.info.st_nlink > 1 ? Route::InPlace : Route::ByRename;
    return t;
  }
  // Missing: a dangling symbolic link is written through; otherwise a new file is made.
  struct stat link {};
  const bool danglingLink = ::lstat(t.path.constData(), &link) == 0 && S_ISLNK(link.st_mode);
  t.route = danglingLink ? Route::Direct : Route::ByRename;
  return t;
}

// ---- The three ways ----------------------------------------------------------------------------

// The copy beside the target; removed unless it was renamed into place.
struct Scratch {
  QByteArray name;
  Descriptor fd;
  ~Scratch() {
    if (!name.isEmpty()) ::unlink(name.constData());
  }
};

bool CreateScratch(const QByteArray& target, mode_t mode, Scratch& scratch) {
  const QByteArray folder = target.left(target.lastIndexOf('/') + 1);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const QByteArray name = folder + ".tressaly-" +
                            QByteArray::number(QRandomGenerator::global()->generate64(), 36) +
                            ".tmp";
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0) {
      scratch.fd.reset(fd);
      scratch.name = name;
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

// Gives the copy the owner and mode of the file it replaces; false when this process may not.
bool TakeOwnerAndMode(int fd, const struct stat& old) {
  struct stat now {};
  if (::fstat(fd, &now) != 0) return false;
  if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
      ::fchown(fd, old.st_uid, old.st_gid) != 0)
    return false;
  return ::fchmod(fd, old.st_mode & 07777) == 0;
}

enum class Outcome { Written, Failed, NoCopy };

Outcome WriteByRename(const Target& t, const FileFill& fill, Failure& fail) {
  Scratch copy;
  // A copy of an existing file is private until it has the old file's mode.
  if (!CreateScratch(t.path, t.exists ? 0600 : 0666, copy)) return Outcome::NoCopy;
  if (t.exists && !TakeOwnerAndMode(copy.fd.get(), t.info)) return Outcome::NoCopy;
  if (!FillDescriptor(copy.fd.get(), fill, fail) || !SyncAndClose(copy.fd, fail))
    return Outcome::Failed;
  if (::rename(copy.name.constData(), t.path.constData()) != 0) {
    fail();
    return Outcome::Failed;
  }
  copy.name.clear();  // it is the file now
  return Outcome::Written;
}

// The whole new content is known before the first byte of the old one is overwritten, and the
// room a longer content needs is reserved first, so a full disk leaves the old file as it was.
bool WriteInPlace(const Target& t, const FileFill& fill, Failure& fail) {
  QByteArray bytes;
  if (!FillBytes(bytes, fill, fail)) return false;
  Descriptor fd(OpenForWriting(t.path, 0));
  struct stat now {};
  if (!fd.valid() || ::fstat(fd.get(), &now) != 0) return fail();
  const off_t newSize = off_t(bytes.size());
  if (newSize > now.st_size) {
    if (const int code = ::posix_fallocate(fd.get(), 0, newSize); code != 0) {
      (void)::ftruncate(fd.get(), now.st_size);  // gives back any part that was reserved
      return fail(code);
    }
  }
  for (off_t done = 0; done < newSize;) {
    const ssize_t n = ::pwrite(fd.get(), bytes.constData() + done, std::size_t(newSize - done), done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return fail();
    done += n;
  }
  if (newSize < now.st_size && ::ftruncate(fd.get(), newSize) != 0) return fail();
  return SyncAndClose(fd, fail);
}

// A FIFO or a device keeps being one; a new file made here is removed again on failure.
bool WriteDirectly(const Target& t, const FileFill& fill, Failure& fail) {
  const bool newFile = !t.exists && t.route != Route::Direct;
  Descriptor fd(OpenForWriting(t.path, newFile ? O_CREAT | O_EXCL : O_CREAT));
  if (!fd.valid()) return fail();
  if (FillDescriptor(fd.get(), fill, fail) && (fd.close() || fail())) return true;
  if (newFile) ::unlink(t.path.constData());
  return false;
}

}  // namespace

bool ReplaceFileContents(const QString& path, const FileFill& fill, QString* error) {
  Failure fail;
  const Target target = Examine(path);
  Route route = target.route;
  bool written = false;
  if (route == Route::ByRename) {
    const Outcome outcome = WriteByRename(target, fill, fail);
    written = outcome == Outcome::Written;
    if (outcome == Outcome::NoCopy) route = target.exists ? Route::InPlace : Route::Direct;
  }
  if (route == Route::InPlace) written = WriteInPlace(target, fill, fail);
  if (route == Route::Direct) written = WriteDirectly(target, fill, fail);
  if (!written) fail.Report(error);
  return written;
}

bool ReplaceFileContents(const QString& path, const QByteArray& bytes, QString* error) {
  return ReplaceFileContents(
      path, [&bytes](QIODevice& out) { return out.write(bytes) == bytes.size(); }, error);
}

bool AppendToFile(const QString& path, const FileFill& fill, QString* error) {
  Failure fail;
  Descriptor fd(OpenForWriting(QFile::encodeName(path), 0));
  struct stat info {};
  bool written = fd.valid() && ::fstat(fd.get(), &info) == 0;
  if (!written) {
    fail();
  } else if (!S_ISREG(info.st_mode)) {
    written = FillDescriptor(fd.get(), fill, fail) && (fd.close() || fail());
  } else {
    written = (::lseek(fd.get(), info.st_size, SEEK_SET) >= 0 || fail()) &&
              FillDescriptor(fd.get(), fill, fail) && SyncAndClose(fd, fail);
    if (!written && fd.valid()) (void)::ftruncate(fd.get(), info.st_size);
  }
  if (!written) fail.Report(error);
  return written;
}
