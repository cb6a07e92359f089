// The state of the names that classify words (variables and arrays by generation, the script
// and its functions, the function level). Words read from a text are valid only in the state
// they were read in; the caches keep them per state.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/engine_state.h"

struct NamesState {
  std::uint64_t names = 0;
  std::uint64_t script = 0;
  std::int32_t level = -1;

  static NamesState Current() {
    const EngineState& e = Engine();
    return {e.NamesGeneration, e.ScriptGeneration, e.FunctionLevel};
  }
  bool operator==(const NamesState&) const = default;
};

// What one text gave in each of a few names states. The body of a recursive function runs
// at every level of the recursion in turn, each with its own variables: a deep recursion needs
// many states; most texts are only ever read in one, so room is taken as needed.
template <typename T>
class PerNamesState {
 public:
  static constexpr std::size_t kMaxStates = 32;

  // The value kept for the state (and passing the test), or nullptr.
  template <typename Accept>
  const T* Find(const NamesState& state, Accept accept) const {
    for (const Entry& e : entries_)
      if (e.state == state && accept(e.value)) return &e.value;
    return nullptr;
  }
  const T* Find(const NamesState& state) const {
    return Find(state, [](const T&) { return true; });
  }
  void Keep(const NamesState& state, T value) {
    if (entries_.size() < kMaxStates) {
      entries_.push_back({state, std::move(value)});
      return;
    }
    entries_[nextToReplace_] = {state, std::move(value)};
    nextToReplace_ = (nextToReplace_ + 1) % kMaxStates;
  }

 private:
  struct Entry {
    NamesState state;
    T value;
  };
  std::vector<Entry> entries_;
  std::size_t nextToReplace_ = 0;
};
