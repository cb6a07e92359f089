// Comments, indents and continuation lines of script text.
#pragma once

#include <QString>
#include <QStringView>
#include <array>
#include <utility>
#include <cstddef>
#include <cstdint>

// The code part of a line: everything before the first "#" or ";" outside an apostrophe
// literal, without the blanks right before it. Double quotes do not protect.
QString StripComment(const QString& line);

// Two script lines hold the same text: shared data is seen at once, else the characters are
// compared. Caches of what a line says keep its text and check it this way.
inline bool SameText(const QString& a, const QString& b) {
  return a.size() == b.size() && (a.constData() == b.constData() || a == b);
}

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
  static bool Holds(const Slot& s, QStringView text) {
    return s.kept && s.text.size() == text.size() &&
           (s.text.constData() == text.data() || QStringView(s.text) == text);
  }
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

// TrimControl(StripComment(line)) without copying: a view into the line.
QStringView CodeOf(const QString& line);

// Spaces before the first character of the code part; -1 for a blank or comment-only line
// and for a continuation line (one whose first character is ">").
int LineIndentOf(const QString& line);

// Appends to CurrentLineText the continuation lines that follow CurrentLine.
void JoinContinuations();
