#include "net/webdriver_server.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>

#include "engine/local_texts.h"
#include "net/net_support.h"
#include "net/webdriver_client.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QProcess*& StartedServer() {
  static QProcess* process = nullptr;
  return process;
}

bool ServerAnswers() {
  WebDriverClient server(WebDriverServerUrl());
  server.setTimeout(2000);
  return server.Get(u"/status"_s).success;
}

}  // namespace

bool EnsureLocalWebDriverServer(QString* error) {
  if (ServerAnswers()) return true;
  const QString program = QStandardPaths::findExecutable(u"chromedriver"_s);
  if (program.isEmpty()) {
    if (error)
      *error = Bilingual(u"chromedriver is not installed (Debian package chromium-driver)."_s,
                         u"chromedriver не установлен (пакет Debian chromium-driver)."_s);
    return false;
  }
  StopLocalWebDriverServer();
  auto* process = new QProcess;
  process->setProgram(program);
  process->setArguments({u"--port=4444"_s, u"--url-base=/wd/hub"_s});
  process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process->setStandardOutputFile(QProcess::nullDevice());
  process->start();
  StartedServer() = process;
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 10000 && process->state() != QProcess::NotRunning) {
    if (ServerAnswers()) return true;
    SleepProcessingEvents(100);
  }
  if (error)
    *error = Bilingual(u"chromedriver did not start on port 4444."_s, u"chromedriver не запустился на порту 4444."_s);
  StopLocalWebDriverServer();
  return false;
}

void StopLocalWebDriverServer() {
  QProcess*& process = StartedServer();
  if (!process) return;
  process->terminate();
  if (!process->waitForFinished(3000)) process->kill();
  process->waitForFinished(1000);
  delete process;
  process = nullptr;
}
