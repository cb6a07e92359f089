#include "engine/line_cache.h"

#include <vector>

#include "engine/engine_state.h"
#include "engine/line_text.h"
#include "engine/names.h"
#include "engine/names_state.h"
#include "engine/word_reader.h"

namespace {

struct CacheEntry {
  QString source;  // the raw script line
  std::shared_ptr<const LineWords> words;
};

std::vector<PerNamesState<CacheEntry>>& Cache() {
  static std::vector<PerNamesState<CacheEntry>> cache;
  return cache;
}

}  // namespace

void ClearLineCache() { Cache().clear(); }

std::shared_ptr<const LineWords> ReadLineWords(int line) {
  EngineState& e = Engine();
  const QString& source = e.ScriptLines[line];
  std::vector<PerNamesState<CacheEntry>>& cache = Cache();
  const NamesState state = NamesState::Current();
  if (std::size_t(line) < cache.size()) {
    const auto sameSource = [&](const CacheEntry& c) { return SameText(c.source, source); };
    if (const CacheEntry* c = cache[std::size_t(line)].Find(state, sameSource)) return c->words;
  }
  auto result = std::make_shared<LineWords>();
  e.CurrentLineText = TrimControl(StripComment(source));
  bool joined = false;
  if (!e.CurrentLineText.isEmpty()) {
    const qsizetype before = e.CurrentLineText.size();
    JoinContinuations();
    joined = e.CurrentLineText.size() != before;
    SplitWords(e.CurrentLineText, result->words);
    if (!e.ErrorText.isEmpty()) return nullptr;
  }
  result->text = e.CurrentLineText;
  // Lines with continuations depend on other lines too; they are read anew every time.
  if (!joined) {
    if (cache.size() <= std::size_t(line)) cache.resize(std::size_t(line) + 1);
    cache[std::size_t(line)].Keep(state, {source, result});
  }
  return result;
}
