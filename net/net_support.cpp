#include "net/net_support.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include "engine/engine_state.h"
#include "engine/event_calls.h"
#include "engine/local_texts.h"
#include "engine/run_host.h"
#include "unit_support/call_frame.h"

using namespace Qt::Literals::StringLiterals;

void ProcessPendingEvents() {
  if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
  Host().ProcessEvents();
}

void SleepProcessingEvents(qint64 ms) {
  QElapsedTimer clock;
  clock.start();
  for (qint64 left = ms; left > 0 && !Host().PauseRequested(); left = ms - clock.elapsed()) {
    QThread::msleep(std::min<qint64>(left, 20));
    ProcessPendingEvents();
  }
}

void WaitForReply(int rounds, const std::function<bool()>& arrived) {
  for (int round = 0; round < rounds; ++round) {
    ProcessPendingEvents();
    if (arrived()) return;
    QThread::msleep(50);
  }
}

bool PortArgument(GeneralCall& call, int n, quint16& port) {
  const qint64 value = call.integer(n);
  if (value < 0 || value > 65535) {
    call.failText(Bilingual(u"The port number %1 is out of range (0-65535)."_s,
                            u"Номер порта %1 вне допустимого диапазона (0-65535)."_s)
                      .arg(value));
    return false;
  }
  port = quint16(value);
  return true;
}

void ShowFailureAndPause(const QString& text) {
  Host().ShowMessageBox(text, MessageIcon::None);
  StopRun();
}

void ShowWaitingLine() {
  Host().SetCurrentLineMark(Engine().CurrentLine);
  Host().RefreshViews();
}
