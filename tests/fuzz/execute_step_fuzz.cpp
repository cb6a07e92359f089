// Runs arbitrary one-line scripts as Start does: every input must end in an error box or a
// clean stop, never a crash or a hang.
#include <QString>
#include <cstddef>
#include <cstdint>

#include "engine/engine_state.h"
#include "engine/run_control.h"
#include "engine/run_host.h"

namespace {

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
