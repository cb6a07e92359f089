// The script editor: QScintilla with a gutter numbered from 0, breakpoint marks, numbered
// bookmarks and the current-line marker.
#pragma once

#include <Qsci/qsciscintilla.h>

class QListWidget;
class TSynTrsSyn;

class ScriptEditor : public QsciScintilla {
  Q_OBJECT

 public:
  // Marker numbers of the editor's marks.
  enum Marker { BreakpointMarker = 10, CurrentLineMarker = 15, FirstBookmark = 20 };

  explicit ScriptEditor(QWidget* parent = nullptr);

  // Replaces the text; breakpoints, bookmarks and the marker stay on their line numbers.
  void setLines(const QStringList& lines);
  // Every mark as (marker, line), and putting such a list back in place of the current marks.
  QList<QPair<int, int>> marks() const;
  void restoreMarks(const QList<QPair<int, int>>& marks);
  QStringList lines() const;

  bool hasBreakpoint(int line) const;
  void toggleBreakpoint(int line);
  void setCurrentLineMark(int line);
  int currentLineMark() const;
  // Lines (0-based) of every mark of a kind, for the marker strip.
  QList<int> markedLines(Marker marker) const;
  void setBookmark(int digit, int line);
  int bookmarkLine(int digit) const;

  TSynTrsSyn* lexer() const { return lexer_; }
  // The editor's font goes through the highlighter.
  void setEditorFont(const QFont& font);
  // The gutter and caret-line colours of edit mode or work mode, in the variant (light or dark)
  // of the current palette; kept when the palette changes.
  void setModeColours(bool editMode);
  // The completion list of edit mode (variables of the last run, functions, constants).
  void setCompletionItems(const QStringList& items) { completionItems_ = items; }
  // Opens the completion list with the items that begin with the name before the caret.
  void showCompletion();
  // The shown completion list, or null.
  QListWidget* completionList() const;
  // Tab and Shift+Tab: two blanks more or less in front of every line of the selected block.
  void indentBlock(bool outdent);

 Q_SIGNALS:
  // A click in the gutter on a 0-based line; ctrl tells whether Ctrl was held.
  void gutterClicked(int line, bool ctrl);
  void marksChanged();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  // A new palette (the desktop switched between light and dark) recolours the editor.
  void changeEvent(QEvent* event) override;

 private:
  void renumber();
  // The name characters directly before the caret.
  QString typedPrefix() const;
  TSynTrsSyn* lexer_;
  QStringList completionItems_;
  bool editModeColours_ = false;
  // Paper, text and token colours in the variant of the current palette, then the mode colours.
  void followPalette();
};
