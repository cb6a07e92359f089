#include "app/console_host.h"

#include <csignal>
#include <pthread.h>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "app/console_output.h"
#include "engine/line_breaks.h"
#include "engine/message_numbers.h"
#include "engine/messages.h"

namespace {

volatile std::sig_atomic_t g_interrupts = 0;

// The first Ctrl+C pauses the run; a second one, if the run does not stop, ends the program.
void OnInterrupt(int) {
  g_interrupts = g_interrupts + 1;
  if (g_interrupts > 1) _exit(130);
}

// Each CR LF and each lone CR ends a line. A text too large for memory ends with the
// out-of-memory message where it could not go on.
void Write(std::FILE* stream, const QString& text) {
  const bool whole = WriteInPieces(stream, text, [](QStringView piece) {
    return WithLfLineBreaks(piece.toString()).toUtf8();
  });
  if (!whole) std::fprintf(stream, "\n%s", MessageText(msg::kNotEnoughMemory).toUtf8().constData());
  std::fputc('\n', stream);
  std::fflush(stream);
}

bool ReadLine(QString& line) {
  std::string bytes;
  int c;
  while ((c = std::fgetc(stdin)) != EOF && c != '\n') bytes += char(c);
  if (c == EOF && bytes.empty()) return false;
  if (!bytes.empty() && bytes.back() == '\r') bytes.pop_back();
  line = QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
  return true;
}

}  // namespace

void InstallInterruptHandler() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  // A Ctrl+C the parent held back (blocked) until now is delivered at once.
  sigset_t interrupt;
  sigemptyset(&interrupt);
  sigaddset(&interrupt, SIGINT);
  pthread_sigmask(SIG_UNBLOCK, &interrupt, nullptr);
}

ConsoleHost::ConsoleHost() { InstallInterruptHandler(); }
ConsoleHost::~ConsoleHost() { std::signal(SIGINT, SIG_DFL); }

bool ConsoleHost::PauseRequested() { return g_interrupts > 0; }
bool ConsoleHost::PauseRequestedFromAnyThread() { return g_interrupts > 0; }
bool ConsoleHost::interrupted() const { return g_interrupts > 0; }

void ConsoleHost::ShowMessageBox(const QString& text, MessageIcon icon) {
  if (icon == MessageIcon::Error) {
    errorShown_ = true;
    Write(stderr, text);
  } else {
    Write(stdout, text);
  }
}

bool ConsoleHost::AskQuestion(const QString& text) {
  Write(stdout, text);
  QString answer;
  if (!ReadLine(answer)) return false;
  answer = answer.trimmed().toLower();
  return answer == QStringLiteral("y") || answer == QStringLiteral("yes") ||
         answer == QStringLiteral("д") || answer == QStringLiteral("да");
}

void ConsoleHost::ShowText(const QString& text) { Write(stdout, text); }

bool ConsoleHost::ReadInputLine(const QString& prompt, QString& line) {
  if (!prompt.isEmpty()) Write(stdout, prompt);
  return ReadLine(line);
}

void ConsoleHost::ExitProgram(int status) {
  exitRequested_ = true;
  exitStatus_ = status;
}
