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

// One of 64 slots for a text, chosen by the address of its data. Texts taken from kept words
// come back as the same object, so a small table of the texts met last finds them again
// without hashing their characters; the slot's own text is checked with SameText.
inline constexpr std::size_t kTextDataSlots = 64;
inline std::size_t TextDataSlot(const QString& text) {
  const auto address = std::uintptr_t(text.constData());
  return std::size_t(((address >> 3) * 0x9E3779B97F4A7C15ull) >> 58);
}

inline std::size_t TextDataSlot(QStringView text) {
  const auto address = std::uintptr_t(text.data());
  return std::size_t(((address >> 3) * 0x9E3779B97F4A7C15ull) >> 58);
}

// What a lookup by text gave for the texts met last, one per TextDataSlot. A text that comes
// back as the same object (a name from kept words) is answered without hashing or copying it;
// another text is compared by its characters.
template <typename T>
class RecentByText {
 public:
  const T* Find(QStringView text) const {
    const Slot& s = slots_[TextDataSlot(text)];
    if (!s.kept || s.text.size() != text.size()) return nullptr;
    return (s.text.constData() == text.data() || QStringView(s.text) == text) ? &s.value : nullptr;
  }
  // The slot shares a QString's data, so that the same text met again is seen by its address;
  // a view's text is copied.
  void Keep(const QString& text, T value) { slots_[TextDataSlot(text)] = {text, std::move(value), true}; }
  void Keep(QStringView text, T value) { slots_[TextDataSlot(text)] = {text.toString(), std::move(value), true}; }

 private:
  struct Slot {
    QString text;
    T value{};
    bool kept = false;
  };
  std::array<Slot, kTextDataSlots> slots_;
};

// TrimControl(StripComment(line)) without copying: a view into the line.
QStringView CodeOf(const QString& line);

// Spaces before the first character of the code part; -1 for a blank or comment-only line
// and for a continuation line (one whose first character is ">").
int LineIndentOf(const QString& line);

// Appends to CurrentLineText the continuation lines that follow CurrentLine.
void JoinContinuations();
