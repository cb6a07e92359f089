#include "automation/exec_command.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QStringList>
#include <array>
#include <cerrno>
#include <optional>
#include <utility>
#include <vector>

#include "automation/x11_windows.h"
#include "engine/engine_state.h"
#include "engine/message_numbers.h"
#include "engine/messages.h"
#include "engine/names.h"
#include "engine/run_host.h"
#include "engine/script_error.h"
#include "engine/text_codec.h"
#include "engine/word_reader.h"

extern char** environ;

using namespace Qt::Literals::StringLiterals;

namespace {

quint64 g_lastFoundWindow = 0;
qint64 g_lastProcess = 0;
// Programs started without waiting; reaped by later calls once they have ended.
std::vector<pid_t> g_detached;

constexpr int kRoundMs = 100;
constexpr qsizetype kReadChunk = 64 * 1024;
// Reads per look at the pipe, so that a program that writes without pause cannot hold the
// collection in one place.
constexpr int kReadsPerLook = 64;

// The command interpreter's own commands and the POSIX shell built-ins.
const QSet<QString>& ShellBuiltIns() {
  static const QSet<QString> names = [] {
    const QString list =
        u"APPEND ARP ASSOC AT ATMADM ATTRIB BCDEDIT BLASTCLN BOOTCFG BREAK CACLS CALL CD CHANGE "
        u"CHCP CHDIR CHKDSK CHKNTFS CIDDAEMON CIPHER CLS CMD CMSTP COLOR COMP COMPACT CONVERT "
        u"COPY CPROFILE DATE DEBUG DEFRAG DEVCON DEL DIR DISKCOMP DISKCOPY DISKPART DISKPERF "
        u"DOSKEY DRIVERQUERY ECHO EDIT ENDLOCAL EDLIN ERASE ESENTUTL EVENTCREATE EVENTRIGGERS "
        u"EXE2BIN EXIT EXPAND FC FIND FINDSTR FINGER FLATTEMP FLTMC FOR FORMAT FSUTIL FTP FTYPE "
        u"GETMAC GOTO GPRESULT GPUPDATE GRAFTABL HELP HOSTNAME ICACLS IF IPCONFIG IPSECCMD "
        u"IPXROUTE IRFTP LABEL LODCTR LOGMAN LOGOFF LSASS MAKECAB MD MEM MKDIR MKLINK MMC MODE "
        u"MOFCOMP MORE MOUNTVOL MOVE MQBKUP MQSVC MRINFO MSG MSIEXEC NBTSTAT NET NETSH NETSTAT "
        u"NSLOOKUP NTBACKUP NTSD OPENFILES PAGEFILECONFIG PATH PATHPING PAUSE PERFMON PING POPD "
        u"POWERCFG PRINT PROMPT PROXYCFG PUSHD QAPPSRV QPROCESS QWINSTA RASDIAL RCP RD RECOVER "
        u"REG REGSVR32 RELOG REM REN RENAME REPLACE RESET REXEC RMDIR ROBOCOPY ROUTE RSH RSM "
        u"RUNAS RUNDLL32 RWINSTA SDBINST SECEDIT SET SETVER SFC SHADOW SETLOCAL SC SCHTASKS SHIFT "
        u"SHUTDOWN SORT START SUBST SYSTEMINFO TASKLIST TASKKILL TCMSETUP TFTP TIME TITLE "
        u"TLNTADMN TRACERT TRACERRT TRACERT6 TREE TSCON TSDISCON TSKILL TSSHUTDN TYPE TYPEPERF "
        u"UNLODCTR USERINIT VER VERIFY VOL VSSADMIN XCOPY WMIC W32TM WBEMTEST WINVER "
        // POSIX shell: special built-ins, then the regular ones.
        u"BREAK : CONTINUE . EVAL EXEC EXIT EXPORT READONLY RETURN SET SHIFT TIMES TRAP UNSET "
        u"ALIAS BG CD COMMAND FALSE FC FG GETOPTS HASH JOBS KILL NEWGRP PWD READ TRUE TYPE "
        u"ULIMIT UMASK UNALIAS WAIT"_s;
    const QStringList words = list.split(u' ', Qt::SkipEmptyParts);
    return QSet<QString>(words.begin(), words.end());
  }();
  return names;
}

// The trimmed command up to its first blank, or the text between its first two double quotes
// when it begins with one.
QString ProgramPart(const QString& command) {
  const QString trimmed = TrimControl(command);
  if (trimmed.startsWith(u'"')) {
    const qsizetype close = trimmed.indexOf(u'"', 1);
    return close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1);
  }
  qsizetype end = 0;
  while (end < trimmed.size() && !IsTrimmable(trimmed[end])) ++end;
  return trimmed.left(end);
}

// The program part cut by the line reader in its lenient mode. The words only classify the
// command, so what the reader would report about them (a stray quote, a bad number) is dropped
// and the words read until then are kept.
QStringList ProgramWords(const QString& command) {
  const QString part = ProgramPart(command);
  EngineState& e = Engine();
  const QString saved = std::exchange(e.ErrorText, QString());
  QStringList words;
  int position = 1;
  try {
    while (words.size() < kMaxWords && e.ErrorText.isEmpty()) {
      const int before = position;
      TWordStatus word;
      ReadWord(part, position, word, false);
      if ((word.kind == wkNone && word.str.isEmpty()) || position <= before) break;
      words << word.str;
    }
  } catch (const ScriptException&) {
  }
  e.ErrorText = saved;
  return words;
}

bool IsBuiltInWords(const QStringList& words) {
  return !words.isEmpty() && ShellBuiltIns().contains(AsciiUpper(words.first()));
}

// A command file named without a folder: "name.cmd" or "name.sh".
bool IsCommandFileWords(const QStringList& words) {
  if (words.size() < 3 || words[1] != u"."_s) return false;
  const QString extension = AsciiUpper(words[2]);
  return extension == u"CMD"_s || extension == u"SH"_s;
}

// A failed start of a command file, as the code the file-start messages are numbered by.
int FileStartCode(int error) {
  switch (error) {
    case ENOENT: return 2;
    case ENOTDIR: return 3;
    case EACCES: case EPERM: case EISDIR: return 5;
    case ENOMEM: return 8;
    case ENOEXEC: return 11;
    case ETXTBSY: return 26;
    case EAGAIN: case EMFILE: case ENFILE: return 0;
    default: return error;
  }
}

QString FileStartMessage(int code) {
  switch (code) {
    case 0: return MessageText(msg::kOutOfResources);
    case 2: return MessageText(msg::kFileNotFound);
    case 3: return MessageText(msg::kPathNotFound);
    case 5: return MessageText(msg::kAccessDenied);
    case 8: return MessageText(msg::kNotEnoughMemory);
    case 11: return MessageText(msg::kInvalidExecutable);
    case 26: return MessageText(msg::kSharingViolation);
    case 27: return MessageText(msg::kBadAssociation);
    case 28: return MessageText(msg::kDdeTimeout);
    case 29: return MessageText(msg::kDdeFailed);
    case 30: return MessageText(msg::kDdeBusy);
    case 31: return MessageText(msg::kNoAssociation);
    case 32: return MessageText(msg::kDllNotFound);
    default: return MessageText(msg::kUnknownStartError, {code});
  }
}

struct Spawned {
  pid_t pid = -1;
  int error = 0;  // errno of a failed start
};

// Starts argv[0] (searched in PATH when it has no "/") in a process group of its own, with
// stdin from /dev/null and stdout and stderr on `outputFd` (/dev/null when it is -1).
Spawned Spawn(const QStringList& argv, int outputFd) {
  if (argv.isEmpty() || argv.first().isEmpty()) return {-1, ENOENT};
  std::vector<QByteArray> encoded;
  encoded.reserve(std::size_t(argv.size()));
  for (const QString& arg : argv) encoded.push_back(QFile::encodeName(arg));
  std::vector<char*> pointers;
  for (QByteArray& arg : encoded) pointers.push_back(arg.data());
  pointers.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (outputFd >= 0) {
    posix_spawn_file_actions_adddup2(&actions, outputFd, 1);
  } else {
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  }
  posix_spawn_file_actions_adddup2(&actions, 1, 2);

  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setpgroup(&attributes, 0);
  sigset_t defaults, mask;
  sigemptyset(&defaults);
  for (int sig : {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD, SIGALRM, SIGUSR1, SIGUSR2})
    sigaddset(&defaults, sig);
  sigemptyset(&mask);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setsigmask(&attributes, &mask);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

  Spawned result;
  const int rc = posix_spawnp(&result.pid, pointers[0], &actions, &attributes, pointers.data(),
                              environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) result = {-1, rc};
  return result;
}

void ReapDetached() {
  std::erase_if(g_detached, [](pid_t pid) {
    const pid_t r = waitpid(pid, nullptr, WNOHANG);
    return r == pid || (r < 0 && errno == ECHILD);
  });
}

// A ".cmd" or ".sh" file is started with /bin/sh and not waited for. A shell script has no
// window, so the window mode has nothing to apply to.
void StartCommandFile(const QString& command) {
  QStringList argv = QProcess::splitCommand(command);
  const QFileInfo file(argv.isEmpty() ? QString() : argv.first());
  int error = 0;
  if (!file.exists()) error = ENOENT;
  else if (file.isDir() || !file.isReadable()) error = EACCES;
  if (error == 0) {
    argv.prepend(u"/bin/sh"_s);
    const Spawned started = Spawn(argv, -1);
    if (started.pid > 0) {
      g_lastProcess = started.pid;
      g_detached.push_back(started.pid);
    }
    error = started.error;
  }
  if (error != 0) RaiseScriptError(FileStartMessage(FileStartCode(error)));
}

// A started console program and the read end of the pipe holding its output.
class ConsoleChild {
 public:
  ConsoleChild(pid_t pid, int readFd) : pid_(pid), fd_(readFd) {
    fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) | O_NONBLOCK);
  }
  ConsoleChild(const ConsoleChild&) = delete;
  ConsoleChild& operator=(const ConsoleChild&) = delete;
  ~ConsoleChild() { Stop(); }

  // Collects output for up to `ms` milliseconds. False once the program has ended and what the
  // pipe held is taken: the collection is complete.
  bool Collect(int ms) {
    QElapsedTimer clock;
    clock.start();
    for (;;) {
      CheckEnded();
      if (ended_) {
        ReadAvailable();
        return false;
      }
      const qint64 remaining = ms - clock.elapsed();
      if (remaining <= 0) return true;
      if (eof_) {
        // The program closed its output but has not ended yet.
        poll(nullptr, 0, int(qMin<qint64>(remaining, 2)));
        continue;
      }
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, int(remaining)) > 0) ReadAvailable();
    }
  }

  // Kills the program (with its process group) unless it has ended, keeps what it wrote,
  // and closes the pipe.
  void Stop() {
    if (!ended_) {
      kill(-pid_, SIGKILL);
      kill(pid_, SIGKILL);
      // SIGKILL ends a process at once unless it is stuck in the kernel; such a one is left
      // to the later reaping instead of blocking here.
      for (int i = 0; i < 100 && !ended_; ++i) {
        CheckEnded();
        if (!ended_) poll(nullptr, 0, 5);
      }
      if (!ended_) g_detached.push_back(pid_);
      ended_ = true;
    }
    if (fd_ >= 0) {
      ReadAvailable();
      close(fd_);
      fd_ = -1;
    }
  }

  const QByteArray& bytes() const { return bytes_; }

 private:
  void CheckEnded() {
    if (ended_) return;
    const pid_t r = waitpid(pid_, nullptr, WNOHANG);
    if (r == pid_ || (r < 0 && errno != EINTR)) ended_ = true;
  }

  void ReadAvailable() {
    if (fd_ < 0 || eof_) return;
    char buffer[kReadChunk];
    for (int i = 0; i < kReadsPerLook; ++i) {
      const ssize_t n = read(fd_, buffer, sizeof buffer);
      if (n > 0) {
        const qsizetype room = kMaxCommandOutputBytes - bytes_.size();
        if (room > 0) bytes_.append(buffer, qMin<qsizetype>(room, n));
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n == 0 || errno != EAGAIN) eof_ = true;
      return;
    }
  }

  pid_t pid_;
  int fd_;
  bool ended_ = false;
  bool eof_ = false;
  QByteArray bytes_;
};

// Lets the host handle its events; true when the user asks to pause.
bool ServiceHost() {
  Host().ProcessEvents();
  return Host().PauseRequested();
}

// Length of the valid UTF-8 sequence at p (shortest form, no surrogates, at most U+10FFFF),
// or 0 when the bytes there are not one.
int Utf8SequenceLength(const uchar* p, qsizetype left) {
  const uchar c = p[0];
  int length;
  uchar low = 0x80, high = 0xBF;
  if (c >= 0xC2 && c <= 0xDF) {
    length = 2;
  } else if (c >= 0xE0 && c <= 0xEF) {
    length = 3;
    if (c == 0xE0) low = 0xA0;
    if (c == 0xED) high = 0x9F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    length = 4;
    if (c == 0xF0) low = 0x90;
    if (c == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (left < length || p[1] < low || p[1] > high) return 0;
  for (int k = 2; k < length; ++k)
    if (p[k] < 0x80 || p[k] > 0xBF) return 0;
  return length;
}

}  // namespace

QString DecodeConsoleOutput(const QByteArray& bytes) {
  if (bytes.isValidUtf8()) return QString::fromUtf8(bytes);
  std::array<QChar, 128> ansi;
  for (int b = 0x80; b <= 0xFF; ++b) {
    const QString c = DecodeScriptBytes(QByteArray(1, char(b)));
    ansi[std::size_t(b - 0x80)] = c.size() == 1 ? c[0] : QChar(char16_t(b));
  }
  const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
  const qsizetype n = bytes.size();
  QString text;
  text.reserve(n);
  for (qsizetype i = 0; i < n;) {
    const uchar c = p[i];
    if (c < 0x80) {
      text += QChar(char16_t(c));
      ++i;
      continue;
    }
    const int length = Utf8SequenceLength(p + i, n - i);
    if (length == 0) {
      text += ansi[std::size_t(c - 0x80)];
      ++i;
      continue;
    }
    char32_t code = c & (0x7F >> length);
    for (int k = 1; k < length; ++k) code = (code << 6) | (p[i + k] & 0x3F);
    if (code > 0xFFFF) {
      text += QChar(QChar::highSurrogate(code));
      text += QChar(QChar::lowSurrogate(code));
    } else {
      text += QChar(char16_t(code));
    }
    i += length;
  }
  return text;
}

bool IsShellBuiltIn(const QString& command) { return IsBuiltInWords(ProgramWords(command)); }

quint64 FindWindowByClassAndPosition(const QString& className, int left, int top) {
  if (!XDisplayOrNull()) return 0;
  for (XWindow window : TopLevelWindows()) {
    if (!WindowHasClass(window, className) || WindowTitle(window).startsWith(u"Skype"_s) ||
        !WindowShownNormal(window))
      continue;
    const auto rect = WindowRect(window, true);
    if (rect && rect->topLeft() == QPoint(left, top)) return window;
  }
  return 0;
}

void ResetCommandState() {
  g_lastFoundWindow = 0;
  g_lastProcess = 0;
}

quint64 LastFoundWindow() { return g_lastFoundWindow; }
qint64 LastProcessId() { return g_lastProcess; }

void ExecCommand(const QString& command, int showWindow, bool console, QString& output, int top,
                 int left, int timeoutMs, const QString& className) {
  Q_UNUSED(showWindow);
  output.clear();
  ReapDetached();
  const QStringList words = ProgramWords(command);
  if (IsCommandFileWords(words)) {
    StartCommandFile(command);
    return;
  }
  const bool builtIn = IsBuiltInWords(words);
  const QStringList argv =
      builtIn ? QStringList{u"/bin/sh"_s, u"-c"_s, command} : QProcess::splitCommand(command);

  int pipeFds[2] = {-1, -1};
  if (console && pipe2(pipeFds, O_CLOEXEC) != 0) {
    RaiseScriptError(u"CreatePipe Error"_s);
    return;
  }
  const Spawned started = Spawn(argv, console ? pipeFds[1] : -1);
  if (console) close(pipeFds[1]);
  if (started.pid < 0) {
    if (console) close(pipeFds[0]);
    RaiseScriptError(MessageText(msg::kCannotExecute, {started.error}));
    return;
  }
  g_lastProcess = started.pid;
  if (!console) g_detached.push_back(started.pid);

  QElapsedTimer clock;
  clock.start();
  const qint64 limit = timeoutMs > 0 ? timeoutMs : 0;
  bool stopped = false;  // by Pause or by the time limit
  std::optional<ConsoleChild> child;
  if (console) child.emplace(started.pid, pipeFds[0]);

  if (!builtIn) {
    // The wait before the window search; a console program's output is gathered meanwhile.
    bool running = true;
    while (!stopped && clock.elapsed() < limit) {
      const int slice = int(qMin<qint64>(kRoundMs, limit - clock.elapsed()));
      if (child && running) running = child->Collect(slice);
      else poll(nullptr, 0, slice);
      if (!running && className.isEmpty()) break;  // nothing left to wait for
      stopped = ServiceHost();
    }
    if (!className.isEmpty()) {
      g_lastFoundWindow = FindWindowByClassAndPosition(className, left, top);
      output = QString::number(g_lastFoundWindow);
    }
  }
  if (!child) return;

  while (!stopped) {
    int slice = kRoundMs;
    if (limit > 0) slice = int(qMin<qint64>(slice, limit - clock.elapsed()));
    if (slice <= 0 || !child->Collect(slice)) break;
    stopped = ServiceHost();
  }
  child->Stop();
  output += DecodeConsoleOutput(child->bytes());
}
