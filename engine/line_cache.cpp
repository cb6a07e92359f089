#include "engine/line_cache.h"

#include <array>
#include <vector>

#include "engine/engine_state.h"
#include "engine/line_text.h"
#include "engine/names.h"
#include "engine/word_reader.h"

namespace {

struct CacheEntry {
  QString source;  // the raw script line
  std::shared_ptr<const LineWords> words;
  std::uint64_t names = 0;
  std::uint64_t script = 0;
  std::int32_t level = -1;
};

// A line keeps the words of a few names states: the body of a recursive function runs at
// several levels in turn, and each level has its own variables.
constexpr std::size_t kEntriesPerLine = 8;

struct LineEntries {
  std::array<CacheEntry, kEntriesPerLine> entries;
  std::size_t nextToReplace = 0;
};

std::vector<LineEntries>& Cache() {
  static std::vector<LineEntries> cache;
  return cache;
}

bool SameText(const QString& a, const QString& b) {
  return a.size() == b.size() && (a.constData() == b.constData() || a == b);
}

}  // namespace

void ClearLineCache() { Cache().clear(); }

namespace {
const LineWords* g_executingLine = nullptr;
}

const LineWords* ExecutingLine() { return g_executingLine; }
ExecutingLineScope::ExecutingLineScope(const LineWords* line) : outer_(g_executingLine) {
  g_executingLine = line;
}
ExecutingLineScope::~ExecutingLineScope() { g_executingLine = outer_; }

std::shared_ptr<const LineWords> ReadLineWords(int line) {
  EngineState& e = Engine();
  const QString& source = e.ScriptLines[line];
  std::vector<LineEntries>& cache = Cache();
  if (std::size_t(line) < cache.size()) {
    for (const CacheEntry& c : cache[std::size_t(line)].entries) {
      if (c.names == e.NamesGeneration && c.script == e.ScriptGeneration &&
          c.level == e.FunctionLevel && c.words && SameText(c.source, source)) {
        e.CurrentLineText = c.words->text;
        return c.words;
      }
    }
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
    LineEntries& slot = cache[std::size_t(line)];
    slot.entries[slot.nextToReplace] = {source, result, e.NamesGeneration, e.ScriptGeneration,
                                        e.FunctionLevel};
    slot.nextToReplace = (slot.nextToReplace + 1) % kEntriesPerLine;
  }
  return result;
}
