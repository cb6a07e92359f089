// One classified word or one value, and the bounded word lists that lines are cut into.
#pragma once

#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

#include "engine/operators.h"
#include "engine/word_kinds.h"

struct TWordStatus {
  QString str;
  TWordKind kind = wkNone;
  double float_val = 0.0;
  bool bool_val = false;
  std::int32_t pointer = 0;
  std::uint8_t oper_prioritet = 0;
  std::uint8_t power = 0;
  std::int32_t var_index = 0;
  std::int32_t func_index = 0;
  TOperator op = opNone;  // which operator, for an operator word
  std::uint8_t slot = 0;  // the word's place in the original list while a reduction is traced

  bool isEmpty() const { return kind == wkNone && str.isEmpty(); }
  bool isOperator(TOperator o) const { return kind == wkOperator && op == o; }
};

inline const TWordStatus EmptyWord{};
// What writable access past the end of a word list yields (the engine runs on one thread).
inline TWordStatus g_scratchWord{};

// A word list of at most Capacity words. Only the used words are stored; reading past the
// last index yields EmptyWord, exactly as if the fixed list were padded with it.
template <int Capacity>
class TWordList {
 public:
  static constexpr int kCapacity = Capacity;

  int lastIndex() const { return int(words_.size()) - 1; }
  int count() const { return int(words_.size()); }
  bool isEmpty() const { return words_.empty(); }
  bool isFull() const { return int(words_.size()) >= Capacity; }

  const TWordStatus& operator[](int i) const {
    return (i >= 0 && i < count()) ? words_[std::size_t(i)] : EmptyWord;
  }
  // Writable access to a used word; callers grow the list with append() first. Past the last
  // index it yields a scratch EmptyWord, so that looking ahead is as safe as on a const list.
  TWordStatus& operator[](int i) {
    if (i >= 0 && i < count()) return words_[std::size_t(i)];
    g_scratchWord = EmptyWord;
    return g_scratchWord;
  }

  // Appends a word; returns false (and stores nothing) when the list is full.
  bool append(const TWordStatus& w) {
    if (isFull()) return false;
    words_.push_back(w);
    return true;
  }
  bool append(TWordStatus&& w) {
    if (isFull()) return false;
    words_.push_back(std::move(w));
    return true;
  }
  void clear() { words_.clear(); }
  // Becomes a copy of the other list's words from..to (inclusive).
  void assign(const TWordList& other, int from, int to) {
    if (from < 0) from = 0;
    if (to > other.lastIndex()) to = other.lastIndex();
    if (from > to) {
      words_.clear();
      return;
    }
    words_.assign(other.words_.begin() + from, other.words_.begin() + to + 1);
  }
  void truncate(int newCount) {
    if (newCount < count()) words_.resize(std::size_t(newCount < 0 ? 0 : newCount));
  }
  // Removes words from..to (inclusive); the later words move left.
  void removeRange(int from, int to) {
    if (from > to || from < 0 || from >= count()) return;
    if (to >= count()) to = count() - 1;
    words_.erase(words_.begin() + from, words_.begin() + to + 1);
  }
  // Replaces words from..to (inclusive) with one word.
  void replaceRange(int from, int to, TWordStatus w) {
    removeRange(from + 1, to);
    words_[std::size_t(from)] = std::move(w);
  }

  auto begin() const { return words_.begin(); }
  auto end() const { return words_.end(); }

 private:
  std::vector<TWordStatus> words_;
};

// The number of leading arguments whose kind is not wkNone (a call sees at most 99).
template <int Capacity>
int ArgumentCount(const TWordList<Capacity>& args) {
  int n = 0;
  while (n < 99 && n < args.count() && args[n].kind != wkNone) ++n;
  return n;
}

inline constexpr int kMaxWords = 100;
inline constexpr int kMaxInitValueWords = 5501;

using TWordArray = TWordList<kMaxWords>;
using TLongWordArray = TWordList<kMaxInitValueWords>;
