// Names generations: one number for each state of the names that classify a word. Cached line
// words are valid for the generation they were read in, so a generation must never stand for two
// different states; a state may have several generations (that only costs a cache miss).
//
// Any change takes a generation never handed out before. Appending or removing a variable is a
// change whose result depends only on the state before it and on the change itself, so those are
// remembered: the same change of the same generation leads to the same generation again, and
// removing the variable just appended leads back to the generation before it. A script-function
// call (its parameters and locals appended, then removed) thus hands the caller back its own
// generation, and every call of a function from the same state reaches the same generations in
// the body, so the line cache keeps serving the caller's lines and the body's.
#include <QHash>
#include <QString>
#include <array>

#include "engine/engine_state.h"
#include "engine/line_text.h"

namespace {

struct NamesChange {
  std::uint64_t from = 0;
  QString appendedName;    // empty for a removal
  std::int32_t where = 0;  // the level of an appended variable, the index of a removed one

  bool operator==(const NamesChange&) const = default;
};

size_t qHash(const NamesChange& c, size_t seed) {
  return qHashMulti(seed, c.from, c.appendedName, c.where);
}

// Bounded: forgetting changes only costs cache misses.
constexpr qsizetype kMaxRememberedChanges = 1 << 16;

QHash<NamesChange, std::uint64_t>& RememberedChanges() {
  static QHash<NamesChange, std::uint64_t> changes;
  return changes;
}

// The changes met last, in slots chosen without reading the name: a script-function call
// repeats the same few changes, and hashing a name costs more than comparing it. What a slot
// holds stays true (generations are never handed out twice), also after the table forgot it.
struct RecentChange {
  NamesChange change;
  std::uint64_t to = 0;
};
std::array<RecentChange, 256> g_recent;

RecentChange& RecentSlot(std::uint64_t from, qsizetype nameSize, std::int32_t where) {
  const std::uint64_t mix =
      (from * 0x9E3779B97F4A7C15ull) ^ (std::uint64_t(where) << 8) ^ std::uint64_t(nameSize);
  return g_recent[(mix * 0xD6E8FEB86659FD93ull) >> 56];
}

RecentChange& RecentSlot(const NamesChange& c) { return RecentSlot(c.from, c.appendedName.size(), c.where); }

void Remember(const NamesChange& change, std::uint64_t to) {
  auto& changes = RememberedChanges();
  if (changes.size() >= kMaxRememberedChanges) changes.clear();
  changes.insert(change, to);
  RecentSlot(change) = {change, to};
}

// The slot holds this change (given in parts, so that asking copies no name). A parameter's
// name comes from the same words at every call: its data answers before its characters.
bool Holds(const RecentChange& r, std::uint64_t from, const QString& appendedName, std::int32_t where) {
  return r.to != 0 && r.change.from == from && r.change.where == where &&
         SameText(r.change.appendedName, appendedName);
}

// The generation the change led to before, from its recent slot or else the table (which puts
// it in the slot); 0 when it is not remembered (generations start at 1).
std::uint64_t Recall(std::uint64_t from, const QString& appendedName, std::int32_t where) {
  RecentChange& r = RecentSlot(from, appendedName.size(), where);
  if (Holds(r, from, appendedName, where)) return r.to;
  const NamesChange change{from, appendedName, where};
  const auto& changes = RememberedChanges();
  const auto known = changes.constFind(change);
  if (known == changes.cend()) return 0;
  r = {change, *known};
  return *known;
}

void FollowChange(std::uint64_t from, const QString& appendedName, std::int32_t where) {
  if (const std::uint64_t to = Recall(from, appendedName, where)) {
    Engine().NamesGeneration = to;
    return;
  }
  NamesChanged();
  Remember({from, appendedName, where}, Engine().NamesGeneration);
}

}  // namespace

std::uint64_t FreshNamesGeneration() {
  static std::uint64_t last = 1;
  return ++last;
}

void NamesChanged() {
  Engine().NamesGeneration = FreshNamesGeneration();
}

void VariableAppendedToNames(const QString& name, int level, int index) {
  const std::uint64_t before = Engine().NamesGeneration;
  FollowChange(before, name, level);
  const std::uint64_t after = Engine().NamesGeneration;
  if (const RecentChange& r = RecentSlot(after, 0, index); r.to == before && Holds(r, after, QString(), index))
    return;
  Remember({after, QString(), index}, before);
}

std::uint64_t RememberedAppend(std::uint64_t from, const QString& name, int level) {
  return Recall(from, name, level);
}

void VariableRemovedFromNames(std::uint64_t before, int index) {
  FollowChange(before, QString(), index);
}
