#include "engine/line_cache.h"

#include <array>
#include <cstdint>
#include <vector>

#include "engine/engine_state.h"
#include "engine/line_text.h"
#include "engine/names.h"
#include "engine/names_state.h"
#include "engine/word_reader.h"

namespace {

struct CacheEntry {
  QString source;  // the raw script line
  LocalShared<const LineWords> words;
};

std::vector<PerNamesState<CacheEntry>>& Cache() {
  static std::vector<PerNamesState<CacheEntry>> cache;
  return cache;
}

// The lines read last, in slots chosen by line and names state: a loop body or a recursive
// function reads the same few lines in the same few states over and over, and the slot answers
// without searching the states kept for the line.
struct RecentLine {
  NamesState state;
  int line = -1;
  CacheEntry entry;
};
std::array<RecentLine, 256> g_recent;

RecentLine& RecentSlot(int line, const NamesState& state) {
  const std::uint64_t mix = (state.names * 0x9E3779B97F4A7C15ull) ^ (state.script << 40) ^
                            (std::uint64_t(std::uint32_t(state.level)) << 20) ^ std::uint64_t(std::uint32_t(line));
  return g_recent[(mix * 0xD6E8FEB86659FD93ull) >> 56];
}

}  // namespace

void ClearLineCache() {
  Cache().clear();
  g_recent.fill(RecentLine{});
}

namespace {

// The entry kept for the line's present text in the state, or nullptr.
const CacheEntry* KeptEntry(int line, const NamesState& state) {
  const std::vector<PerNamesState<CacheEntry>>& cache = Cache();
  if (line < 0 || std::size_t(line) >= cache.size() || line >= Engine().ScriptLines.size()) return nullptr;
  const QString& source = Engine().ScriptLines[line];
  return cache[std::size_t(line)].Find(state, [&](const CacheEntry& c) { return SameText(c.source, source); });
}

}  // namespace

LocalShared<const LineWords> KeptLineWords(int line, const NamesState& state) {
  const CacheEntry* c = KeptEntry(line, state);
  return c ? c->words : nullptr;
}

LocalShared<const LineWords> ReadLineWords(int line) {
  EngineState& e = Engine();
  const QString& source = e.ScriptLines[line];
  std::vector<PerNamesState<CacheEntry>>& cache = Cache();
  const NamesState state = NamesState::Current();
  RecentLine& recent = RecentSlot(line, state);
  if (recent.line == line && recent.state == state && recent.entry.words && SameText(recent.entry.source, source))
    return recent.entry.words;
  if (const CacheEntry* c = KeptEntry(line, state)) {
    recent = {state, line, *c};
    return c->words;
  }
  auto result = MakeLocalShared<LineWords>();
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
    recent = {state, line, {source, result}};
  }
  return result;
}
