#include "ide/editor_colours.h"

namespace {

struct ColourPair {
  EditorColour colour;
  QColor light;
  QColor dark;
};

// The light column is the editor's classic look; the dark column keeps each token's hue,
// lightened enough to read on the dark paper.
const ColourPair kColours[] = {
    {EditorColour::Paper, QColor(0xFF, 0xFF, 0xFF), QColor(0x1E, 0x1F, 0x22)},
    {EditorColour::Text, QColor(0x00, 0x00, 0x00), QColor(0xDC, 0xDC, 0xDC)},
    {EditorColour::Comment, QColor(128, 128, 128), QColor(0x9A, 0x9A, 0x9A)},
    {EditorColour::Identifier, QColor(0, 0, 255), QColor(0x7A, 0xA8, 0xFF)},
    {EditorColour::Keyword, QColor(128, 0, 0), QColor(0xF0, 0x8A, 0x80)},
    {EditorColour::NonKeyword, QColor(255, 0, 255), QColor(0xFF, 0x80, 0xFF)},
    {EditorColour::Number, QColor(0, 0, 128), QColor(0xA8, 0xC0, 0xFF)},
    {EditorColour::Symbol, QColor(128, 0, 128), QColor(0xD8, 0x9C, 0xE8)},
    {EditorColour::String, QColor(0, 128, 0), QColor(0x80, 0xD0, 0x80)},
    {EditorColour::WorkGutter, QColor(0xA6, 0xCA, 0xF0), QColor(0x2A, 0x3C, 0x55)},
    {EditorColour::EditGutter, QColor(0xC0, 0xFF, 0xC0), QColor(0x25, 0x45, 0x25)},
    {EditorColour::CaretLine, QColor(0xC0, 0xFF, 0xFF), QColor(0x1D, 0x3F, 0x44)},
    {EditorColour::GutterText, QColor(0x00, 0x00, 0x00), QColor(0xC8, 0xC8, 0xC8)},
};

}  // namespace

bool IsDarkPalette(const QPalette& palette) {
  return palette.color(QPalette::Window).lightness() < 128;
}

QColor EditorColourOf(EditorColour colour, bool dark) {
  for (const ColourPair& pair : kColours)
    if (pair.colour == colour) return dark ? pair.dark : pair.light;
  return {};
}

QPalette DarkDesktopPalette() {
  const QColor window(0x2D, 0x2D, 0x30), text(0xE6, 0xE6, 0xE6), base(0x1E, 0x1E, 0x1E);
  QPalette p(text, window, window.lighter(130), window.darker(130), window.darker(110), text, text, base, window);
  p.setColor(QPalette::AlternateBase, window);
  p.setColor(QPalette::Highlight, QColor(0x2F, 0x65, 0xCA));
  p.setColor(QPalette::HighlightedText, Qt::white);
  p.setColor(QPalette::ToolTipBase, window);
  p.setColor(QPalette::ToolTipText, text);
  p.setColor(QPalette::PlaceholderText, QColor(0x90, 0x90, 0x90));
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    p.setColor(QPalette::Disabled, role, QColor(0x80, 0x80, 0x80));
  return p;
}
