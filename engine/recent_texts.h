// Small tables of what lookups by text gave for the texts met last, found again by the address
// of a text's data before anything is hashed.
#pragma once

#include <QString>
#include <QStringView>
#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "engine/line_text.h"

// One of 128 slots for a text, chosen by the address of its data. Texts taken from kept words
// come back as the same object, so a small table of the texts met last finds them again
// without hashing their characters; the slot's own text is checked by its characters.
inline constexpr std::size_t kTextDataSlots = 128;
inline std::size_t TextDataSlot(QStringView text) {
  const auto address = std::uintptr_t(text.data());
  return std::size_t(((address >> 3) * 0x9E3779B97F4A7C15ull) >> 57);
}

// What a lookup by text gave for the texts met last. Slots go in pairs chosen by TextDataSlot
// and the text met last stays first, so that two texts whose data happen to choose the same
// pair (it depends on where the heap put them) do not keep pushing each other out. A text met
// as the same object is seen by its address; another is compared by its characters.
template <typename T>
class RecentByText {
 public:
  const T* Find(QStringView text) const {
    const std::size_t pair = TextDataSlot(text) & ~std::size_t(1);
    for (std::size_t at = pair; at < pair + 2; ++at)
      if (Holds(slots_[at], text)) return &slots_[at].value;
    return nullptr;
  }
  // A QString's data is shared with the slot, so that the same text met again is seen by its
  // address; a view's text is copied.
  void Keep(const QString& text, T value) { Put(text, text, std::move(value)); }
  void Keep(QStringView text, T value) { Put(text, text.toString(), std::move(value)); }

 private:
  struct Slot {
    QString text;
    T value{};
    bool kept = false;
  };
  static bool Holds(const Slot& s, QStringView text) { return s.kept && SameText(s.text, text); }
  void Put(QStringView asMet, QString text, T value) {
    const std::size_t pair = TextDataSlot(asMet) & ~std::size_t(1);
    Slot& first = slots_[pair];
    Slot& second = slots_[pair + 1];
    if (Holds(second, asMet)) {
      second = {std::move(text), std::move(value), true};
      return;
    }
    if (!Holds(first, asMet)) second = std::move(first);
    first = {std::move(text), std::move(value), true};
  }
  std::array<Slot, kTextDataSlots> slots_;
};
