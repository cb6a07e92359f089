#include "engine/line_cache.h"

#include <vector>

#include "engine/engine_state.h"
#include "engine/line_text.h"
#include "engine/names.h"
#include "engine/word_reader.h"

namespace {

struct CachedLine {
  QString source;  // the raw script line
  QString text;    // CurrentLineText
  TWordArray words;
  std::uint64_t names = 0;
  std::uint64_t script = 0;
  std::int32_t level = -1;
};

std::vector<CachedLine>& Cache() {
  static std::vector<CachedLine> cache;
  return cache;
}

}  // namespace

void ClearLineCache() { Cache().clear(); }

bool ReadLineWords(int line, TWordArray& words) {
  EngineState& e = Engine();
  const QString& source = e.ScriptLines[line];
  std::vector<CachedLine>& cache = Cache();
  if (std::size_t(line) < cache.size()) {
    const CachedLine& c = cache[std::size_t(line)];
    if (c.names == e.NamesGeneration && c.script == e.ScriptGeneration && c.level == e.FunctionLevel &&
        c.source == source) {
      e.CurrentLineText = c.text;
      words = c.words;
      return true;
    }
  }
  // CurrentLineText was set by the caller; continuation lines join it here.
  const int before = int(e.CurrentLineText.size());
  JoinContinuations();
  const bool joined = e.CurrentLineText.size() != before;
  SplitWords(e.CurrentLineText, words);
  if (!e.ErrorText.isEmpty()) return false;
  // Lines with continuations depend on other lines too; they are read anew every time.
  if (!joined) {
    if (cache.size() <= std::size_t(line)) cache.resize(std::size_t(line) + 1);
    cache[std::size_t(line)] = {source, e.CurrentLineText, words, e.NamesGeneration,
                                e.ScriptGeneration, e.FunctionLevel};
  }
  return true;
}
