#include "app/console_host.h"

#include <csignal>
#include <pthread.h>
#include <cstdio>
#include <unistd.h>

#include <QCoreApplication>

#include "app/console_io.h"

namespace {

volatile std::sig_atomic_t g_interrupts = 0;

// The first Ctrl+C pauses the run; a second one, if the run does not stop, ends the program.
void OnInterrupt(int) {
  g_interrupts = g_interrupts + 1;
  if (g_interrupts > 1) _exit(130);
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

ConsoleHost::ConsoleHost() {
  InstallInterruptHandler();
}

void ConsoleHost::ProcessEvents() {
  if (eventsDue_.Due()) QCoreApplication::processEvents();
}
ConsoleHost::~ConsoleHost() { std::signal(SIGINT, SIG_DFL); }

bool ConsoleHost::PauseRequested() { return g_interrupts > 0; }
bool ConsoleHost::PauseRequestedFromAnyThread() { return g_interrupts > 0; }
bool ConsoleHost::interrupted() const { return g_interrupts > 0; }

void ConsoleHost::ShowMessageBox(const QString& text, MessageIcon icon) {
  if (icon == MessageIcon::Error) {
    errorShown_ = true;
    WriteConsoleLine(stderr, text);
  } else {
    WriteConsoleLine(stdout, text);
  }
}

bool ConsoleHost::AskQuestion(const QString& text) {
  WriteConsoleLine(stdout, text);
  QString answer;
  if (!ReadConsoleLine(stdin, answer)) return false;
  answer = answer.trimmed().toLower();
  return answer == QStringLiteral("y") || answer == QStringLiteral("yes") ||
         answer == QStringLiteral("д") || answer == QStringLiteral("да");
}

void ConsoleHost::ExitProgram(int status) {
  exitRequested_ = true;
  exitStatus_ = status;
}
