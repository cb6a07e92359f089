// The script hosts: the shared JavaScript engine (Eval, the JavaScript-mapped functions, the
// time-zone query) and the small VBScript host of the regular-expression functions.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QJSEngine;

// Asked by the watchdog thread every 50 ms while JavaScript runs; true breaks the evaluation.
// Must be safe to call from any thread.
void SetScriptInterruptCheck(std::function<bool()> check);

// The one JavaScript engine. Its global state persists across calls and runs. An evaluation
// that runs on can be broken by the Pause key (Ctrl+C in console mode): a watchdog thread
// asks the host and interrupts the engine.
class JavaScriptHost {
 public:
  static JavaScriptHost& Instance();

  // Evaluates the text; `value` receives the last expression's value as text (empty for
  // undefined). Returns false with the engine's message in `error`.
  bool Eval(const QString& text, QString& value, QString& error);
  // Drops the engine and its global state; the next Eval creates a fresh one.
  void Release();
  // True when the last failed Eval was broken off by the user.
  bool wasInterrupted() const { return interrupted_; }

  ~JavaScriptHost();

 private:
  JavaScriptHost();
  struct Watchdog;
  std::unique_ptr<QJSEngine> engine_;
  std::unique_ptr<Watchdog> watchdog_;
  bool interrupted_ = false;
};

// Runs the regular-expression statements of the RE_ functions: a RegExp object "re" with
// IgnoreCase, Global and Pattern, its Test, Replace and Execute, and the match collection
// "Matches" with Count and Item(i).FirstIndex/Length/Value. Texts are VBScript string literals
// ("" stands for a quote; no line breaks). The expressions themselves run on an ECMAScript
// regular-expression engine.
class VBScriptHost {
 public:
  static VBScriptHost& Instance();

  bool ExecuteStatement(const QString& statement, QString& error);
  bool Eval(const QString& expression, QString& value, QString& error);

 private:
  QString flags() const;  // "i" and "g" for the ECMAScript engine
  struct Match {
    int firstIndex = 0;
    int length = 0;
    QString value;
  };
  bool reCreated_ = false;
  bool ignoreCase_ = false;
  bool global_ = false;
  QString pattern_;
  bool matchesSet_ = false;
  std::vector<Match> matches_;
};
