// Runs arbitrary one-line scripts as Start does: every input must end in an error box or a
// clean stop, never a crash or a hang.
#include <QString>
#include <cstddef>
#include <cstdint>

#include <cmath>

#include "engine/engine_state.h"
#include "engine/evaluator.h"
#include "engine/function_units.h"
#include "engine/messages.h"
#include "engine/names.h"
#include "engine/run_control.h"
#include "engine/run_host.h"

namespace {

// Two functions of one number that numeric programs compute directly: root fails for a
// negative argument, halve never does.
class MathUnit : public FunctionUnit {
 public:
  TWordKind WordKind() const override { return wkEmbeddedFunction; }
  int FindFunction(QStringView name) const override {
    return SameName(name, u"root") ? 0 : SameName(name, u"halve") ? 1 : -1;
  }
  void Dispatch(const QString& name, const TWordArray& args, TWordStatus& result) override {
    result = EmptyWord;
    double value = 0;
    if (args.count() != 1 || !IsNumberKind(args[0].kind) || !Value(FunctionFor(name), args[0], value)) {
      RaiseScriptError(QStringLiteral("bad argument"));
      return;
    }
    SetNumber(result, value);
  }
  NumericFunction NumericFunctionFor(QStringView name) const override { return FunctionFor(name); }

 private:
  static bool Value(const NumericFunction& f, const TWordStatus& argument, double& result) {
    return f.value(f, argument, result);
  }
  static NumericFunction FunctionFor(QStringView name) {
    if (SameName(name, u"root"))
      return {[](const NumericFunction&, const TWordStatus& a, double& r) {
                if (!(a.float_val >= 0)) return false;
                r = std::sqrt(a.float_val);
                return true;
              }};
    return {[](const NumericFunction&, const TWordStatus& a, double& r) {
      r = a.float_val / 2;
      return true;
    }};
  }
};

// Shows nothing, and pauses a run after a bounded number of lines (loops may be endless).
class SilentHost : public RunHost {
 public:
  int steps = 0;
  void ProcessEvents() override { ++steps; }
  bool PauseRequested() override { return steps > 20000; }
  void ShowMessageBox(const QString&, MessageIcon) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static SilentHost host;
  static MathUnit math;
  static const bool registered = (RegisterFunctionUnit(&math), true);
  (void)registered;
  SetRunHost(&host);
  if (size == 0 || size > 4096) return 0;
  // The first byte picks the decoding: UTF-8, or raw UTF-16 (which yields lone surrogates).
  QString text;
  if (data[0] & 1)
    text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
  else
    text = QString(reinterpret_cast<const QChar*>(data + 1), qsizetype((size - 1) / 2));
  // Line breaks in the input make several lines: loops and functions get exercised too.
  ResetEngine();
  host.steps = 0;
  Engine().ScriptLines = text.split(u'\n');
  if (Engine().ScriptLines.size() > 40) return 0;
  PrepareScript();
  A_StartExecute(RunInitiator::Start);
  return 0;
}
