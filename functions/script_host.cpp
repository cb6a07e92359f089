#include "functions/script_host.h"

#include <QJSEngine>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "engine/local_texts.h"

using namespace Qt::Literals::StringLiterals;

namespace {

std::mutex g_checkMutex;
std::function<bool()> g_interruptCheck;

bool InterruptRequested() {
  std::lock_guard lock(g_checkMutex);
  return g_interruptCheck && g_interruptCheck();
}

}  // namespace

void SetScriptInterruptCheck(std::function<bool()> check) {
  std::lock_guard lock(g_checkMutex);
  g_interruptCheck = std::move(check);
}

// Watches running evaluations from a thread of its own and interrupts the engine when the
// user asks for it. Between evaluations it sleeps.
struct JavaScriptHost::Watchdog {
  std::mutex mutex;
  std::condition_variable wake;
  QJSEngine* running = nullptr;
  bool stop = false;
  std::atomic<bool> fired{false};
  std::thread thread{[this] { Loop(); }};

  void Loop() {
    std::unique_lock lock(mutex);
    while (!stop) {
      if (!running) {
        wake.wait(lock);
        continue;
      }
      wake.wait_for(lock, std::chrono::milliseconds(50));
      if (running && !stop && InterruptRequested()) {
        fired = true;
        running->setInterrupted(true);
      }
    }
  }
  void Begin(QJSEngine* engine) {
    std::lock_guard lock(mutex);
    fired = false;
    running = engine;
    wake.notify_one();
  }
  void End() {
    std::lock_guard lock(mutex);
    running = nullptr;
  }
  ~Watchdog() {
    {
      std::lock_guard lock(mutex);
      stop = true;
      wake.notify_one();
    }
    thread.join();
  }
};

JavaScriptHost& JavaScriptHost::Instance() {
  static JavaScriptHost host;
  return host;
}

JavaScriptHost::JavaScriptHost() : watchdog_(std::make_unique<Watchdog>()) {}
JavaScriptHost::~JavaScriptHost() = default;

void JavaScriptHost::Release() {
  engine_.reset();
}

bool JavaScriptHost::Eval(const QString& text, QString& value, QString& error) {
  if (!engine_) engine_ = std::make_unique<QJSEngine>();
  interrupted_ = false;
  watchdog_->Begin(engine_.get());
  const QJSValue result = engine_->evaluate(text);
  watchdog_->End();
  if (watchdog_->fired) {
    engine_->setInterrupted(false);
    interrupted_ = true;
    error = Bilingual(u"The JavaScript evaluation was interrupted by the user.",
                      u"Выполнение JavaScript прервано пользователем.");
    return false;
  }
  if (result.isError()) {
    error = result.property(u"message"_s).toString();
    if (error.isEmpty()) error = result.toString();
    return false;
  }
  value = result.isUndefined() ? QString() : result.toString();
  return true;
}
