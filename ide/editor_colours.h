// The editor's colours in a light and a dark variant. The window follows the desktop's palette;
// the editor takes the variant that matches it, so no text ends up light on light or dark on
// dark.
#pragma once

#include <QColor>
#include <QPalette>

enum class EditorColour {
  Paper,
  Text,
  Comment,
  Identifier,
  Keyword,
  NonKeyword,
  Number,
  Symbol,
  String,
  WorkGutter,
  EditGutter,
  CaretLine,
  GutterText,
};

// A palette is dark when its window colour is (the desktop's dark theme).
bool IsDarkPalette(const QPalette& palette);
QColor EditorColourOf(EditorColour colour, bool dark);

// A dark palette like the one a desktop's dark theme hands the program; the screenshot tool and
// the tests use it to show the dark variant without such a desktop.
QPalette DarkDesktopPalette();
