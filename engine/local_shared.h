// Shared ownership of what the engine keeps between passes of a line (line words, call words,
// definitions, programs' calls), counted without atomic operations. The engine runs on one
// thread, and an atomic count change costs about as much as the rest of a short line's work.
#pragma once

#include <memory>
#include <utility>

template <typename T>
using LocalShared = std::__shared_ptr<T, __gnu_cxx::_S_single>;

template <typename T, typename... Args>
LocalShared<T> MakeLocalShared(Args&&... args) {
  return std::__make_shared<T, __gnu_cxx::_S_single>(std::forward<Args>(args)...);
}
