#include "ide/script_editor.h"

#include <QKeyEvent>
#include <QListWidget>

#include <algorithm>

#include "engine/names.h"
#include "ide/completion.h"
#include "ide/editor_colours.h"
#include "ide/syntax_lexer.h"

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr int kNumberMargin = 0;
constexpr int kMarkMargin = 1;
// The completion window: 15 lines high, 300 pixels wide; these characters complete the chosen
// item (and are typed after it) when the list shows items for a typed prefix.
constexpr int kCompletionLines = 15;
constexpr int kCompletionWidth = 300;
constexpr char kCompletingCharacters[] = "()[]. ";
}  // namespace

ScriptEditor::ScriptEditor(QWidget* parent) : QsciScintilla(parent), lexer_(new TSynTrsSyn(this)) {
  setUtf8(true);
  setLexer(lexer_);
  setEditorFont(QFont(QStringLiteral("Courier New"), 10));
  // Line numbers are written into a text margin so that they can start at 0, the number the
  // run control and the messages use.
  setMarginType(kNumberMargin, TextMarginRightJustified);
  setMarginWidth(kNumberMargin, QStringLiteral("00000"));
  setMarginType(kMarkMargin, SymbolMargin);
  setMarginWidth(kMarkMargin, 16);
  setMarginSensitivity(kNumberMargin, true);
  setMarginSensitivity(kMarkMargin, true);
  markerDefine(Circle, BreakpointMarker);
  setMarkerBackgroundColor(Qt::red, BreakpointMarker);
  markerDefine(RightArrow, CurrentLineMarker);
  setMarkerBackgroundColor(QColor(255, 200, 0), CurrentLineMarker);
  for (int d = 0; d < 10; ++d) markerDefine(Rectangle, FirstBookmark + d);
  setIndentationsUseTabs(false);
  setTabWidth(2);
  setAutoIndent(true);
  setIndentationGuides(true);
  setIndentationWidth(2);
  setFolding(BoxedTreeFoldStyle, 2);
  SendScintilla(SCI_SETFOLDFLAGS, SC_FOLDFLAG_LINEAFTER_CONTRACTED);
  // Matching brackets in lime.
  setBraceMatching(SloppyBraceMatch);
  setMatchedBraceBackgroundColor(QColor(0, 255, 0));
  setUnmatchedBraceBackgroundColor(QColor(0, 255, 0));
  setMatchedBraceForegroundColor(Qt::black);
  setUnmatchedBraceForegroundColor(Qt::black);
  SendScintilla(SCI_STYLESETBOLD, STYLE_BRACELIGHT, 1L);
  SendScintilla(SCI_STYLESETBOLD, STYLE_BRACEBAD, 1L);
  // Completion: Ctrl+Space and after ".".
  SendScintilla(SCI_AUTOCSETSEPARATOR, long('\n'));
  SendScintilla(SCI_AUTOCSETIGNORECASE, 1L);
  SendScintilla(SCI_AUTOCSETFILLUPS, kCompletingCharacters);
  SendScintilla(SCI_AUTOCSETMAXHEIGHT, long(kCompletionLines));
  // The items are sorted without regard to case by our own rule; Scintilla must not assume its
  // own order when it looks for the item that matches the typed text.
  SendScintilla(SCI_AUTOCSETORDER, long(SC_ORDER_CUSTOM));
  SendScintilla(SCI_AUTOCSETCANCELATSTART, 0L);  // Backspace within the typed name keeps the list
  connect(this, qOverload<const char*, int, int, int>(&QsciScintillaBase::SCN_AUTOCSELECTION), this,
          [this](const char* chosen, int start, int, int) {
            SendScintilla(SCI_AUTOCCANCEL);  // insert the name only, not the whole signature
            SendScintilla(SCI_SETSEL, long(start), SendScintilla(SCI_GETCURRENTPOS));
            replaceSelectedText(CompletionInsertText(QString::fromUtf8(chosen)));
          });
  connect(this, &QsciScintilla::marginClicked, this, [this](int, int line, Qt::KeyboardModifiers m) {
    Q_EMIT gutterClicked(line, m.testFlag(Qt::ControlModifier));
  });
  connect(this, &QsciScintilla::linesChanged, this, &ScriptEditor::renumber);
  renumber();
  followPalette();  // last: the folding set-up above defines the fold markers' colours
}

void ScriptEditor::renumber() {
  clearMarginText();
  for (int i = 0; i < QsciScintilla::lines(); ++i) setMarginText(i, QString::number(i), STYLE_LINENUMBER);
}

void ScriptEditor::setLines(const QStringList& lines) {
  const QList<QPair<int, int>> kept = marks();
  const bool readOnly = isReadOnly();
  setReadOnly(false);
  setText(lines.join(QLatin1Char('\n')));
  setReadOnly(readOnly);
  renumber();
  restoreMarks(kept);
}

QList<QPair<int, int>> ScriptEditor::marks() const {
  QList<QPair<int, int>> all;
  for (int marker : {int(BreakpointMarker), int(CurrentLineMarker)})
    for (int line : markedLines(Marker(marker))) all.append({marker, line});
  for (int d = 0; d < 10; ++d)
    if (const int line = bookmarkLine(d); line >= 0) all.append({FirstBookmark + d, line});
  return all;
}

void ScriptEditor::restoreMarks(const QList<QPair<int, int>>& marks) {
  markerDeleteAll();
  for (const auto& [marker, line] : marks)
    if (line >= 0 && line < QsciScintilla::lines()) markerAdd(line, marker);
  Q_EMIT marksChanged();
}

QStringList ScriptEditor::lines() const {
  QString t = text();
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return t.split(QLatin1Char('\n'));
}

bool ScriptEditor::hasBreakpoint(int line) const {
  return line >= 0 && (markersAtLine(line) & (1u << BreakpointMarker));
}

void ScriptEditor::toggleBreakpoint(int line) {
  if (hasBreakpoint(line)) markerDelete(line, BreakpointMarker);
  else markerAdd(line, BreakpointMarker);
  Q_EMIT marksChanged();
}

void ScriptEditor::setCurrentLineMark(int line) {
  markerDeleteAll(CurrentLineMarker);
  if (line >= 0 && line < QsciScintilla::lines()) {
    markerAdd(line, CurrentLineMarker);
    ensureLineVisible(line);
  }
  Q_EMIT marksChanged();
}

int ScriptEditor::currentLineMark() const {
  const QList<int> marks = markedLines(CurrentLineMarker);
  return marks.isEmpty() ? -1 : marks.first();
}

QList<int> ScriptEditor::markedLines(Marker marker) const {
  QList<int> found;
  for (int line = markerFindNext(0, 1u << marker); line >= 0; line = markerFindNext(line + 1, 1u << marker))
    found.append(line);
  return found;
}

void ScriptEditor::setBookmark(int digit, int line) {
  markerDeleteAll(FirstBookmark + digit);
  markerAdd(line, FirstBookmark + digit);
  Q_EMIT marksChanged();
}

int ScriptEditor::bookmarkLine(int digit) const {
  return markerFindNext(0, 1u << (FirstBookmark + digit));
}

void ScriptEditor::setEditorFont(const QFont& font) {
  lexer_->SetEditorFont(font);
  setMarginsFont(font);
}

void ScriptEditor::setModeColours(bool editMode) {
  editModeColours_ = editMode;
  const bool dark = lexer_->DarkColours();
  setMarginsBackgroundColor(EditorColourOf(editMode ? EditorColour::EditGutter : EditorColour::WorkGutter, dark));
  setCaretLineBackgroundColor(EditorColourOf(EditorColour::CaretLine, dark));
}

void ScriptEditor::followPalette() {
  const bool dark = IsDarkPalette(palette());
  lexer_->SetDarkColours(dark);
  setPaper(EditorColourOf(EditorColour::Paper, dark));
  setColor(EditorColourOf(EditorColour::Text, dark));
  setCaretForegroundColor(EditorColourOf(EditorColour::Text, dark));
  setMarginsForegroundColor(EditorColourOf(EditorColour::GutterText, dark));
  // The fold boxes and lines: filled with the paper, drawn in the text colour.
  for (int marker = SC_MARKNUM_FOLDEREND; marker <= SC_MARKNUM_FOLDEROPEN; ++marker) {
    setMarkerForegroundColor(EditorColourOf(EditorColour::Paper, dark), marker);
    setMarkerBackgroundColor(EditorColourOf(EditorColour::GutterText, dark), marker);
  }
  // The fold margin's own light checker pattern would be a bright stripe on dark paper.
  if (dark)
    setFoldMarginColors(EditorColourOf(EditorColour::Paper, dark), EditorColourOf(EditorColour::Paper, dark));
  else
    resetFoldMarginColors();
  setModeColours(editModeColours_);
}

void ScriptEditor::changeEvent(QEvent* event) {
  QsciScintilla::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) followPalette();
}

QString ScriptEditor::typedPrefix() const {
  int line = 0, index = 0;
  getCursorPosition(&line, &index);
  return CompletionPrefix(QStringView(text(line)).left(index));
}

void ScriptEditor::showCompletion() {
  if (isReadOnly()) return;
  const QString prefix = typedPrefix();
  const QStringList shown = CompletionCandidates(completionItems_, prefix);
  if (shown.isEmpty()) return;
  SendScintilla(SCI_AUTOCSHOW, long(prefix.toUtf8().size()), shown.join(u'\n').toUtf8().constData());
  // Scintilla sizes the list to its longest signature; the window has a fixed width instead,
  // and a signature too long for it ends in "…".
  if (QListWidget* list = completionList()) {
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setTextElideMode(Qt::ElideRight);
    const int rows = std::min(int(shown.size()), kCompletionLines);
    list->resize(kCompletionWidth, rows * list->sizeHintForRow(0) + 2 * list->frameWidth());
  }
}

QListWidget* ScriptEditor::completionList() const {
  if (!isListActive()) return nullptr;
  // Scintilla makes a new list each time; those it dropped may not be deleted yet.
  const QList<QListWidget*> lists = findChildren<QListWidget*>();
  for (auto it = lists.rbegin(); it != lists.rend(); ++it)
    if ((*it)->isVisible() && (*it)->count() > 0) return *it;
  return nullptr;
}

void ScriptEditor::indentBlock(bool outdent) {
  int lineFrom = 0, indexFrom = 0, lineTo = 0, indexTo = 0;
  if (hasSelectedText()) {
    getSelection(&lineFrom, &indexFrom, &lineTo, &indexTo);
  } else {
    getCursorPosition(&lineFrom, &indexFrom);
    lineTo = lineFrom;
    indexTo = indexFrom;
  }
  // A selection that ends at the first column leaves that line out.
  const int last = indexTo == 0 ? lineTo - 1 : lineTo;
  if (last < lineFrom) return;
  beginUndoAction();
  for (int line = lineFrom; line <= last; ++line) {
    if (!outdent) {
      insertAt(QStringLiteral("  "), line, 0);
      continue;
    }
    const QString text = this->text(line);
    int blanks = 0;
    while (blanks < 2 && blanks < text.size() && text[blanks] == u' ') ++blanks;
    if (blanks > 0) {
      setSelection(line, 0, line, blanks);
      removeSelectedText();
    }
  }
  endUndoAction();
  setSelection(lineFrom, 0, last + 1, 0);
}

void ScriptEditor::keyPressEvent(QKeyEvent* event) {
  // A completing character completes only a typed prefix; after a bare "." it is just typed.
  const QString typed = event->text();
  if (isListActive() && typed.size() == 1 && QLatin1StringView(kCompletingCharacters).contains(typed[0]) &&
      typedPrefix().isEmpty())
    SendScintilla(SCI_AUTOCCANCEL);
  if (!isReadOnly() && !isListActive()) {
    if (event->key() == Qt::Key_Tab && event->modifiers() == Qt::NoModifier) {
      indentBlock(false);
      return;
    }
    if (event->key() == Qt::Key_Backtab) {
      indentBlock(true);
      return;
    }
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::ControlModifier) {
      showCompletion();
      return;
    }
  }
  // Ctrl+Shift+digit sets a numbered bookmark, Ctrl+digit jumps to it.
  const Qt::KeyboardModifiers m = event->modifiers();
  int key = event->key();
  // With Shift the key reports the shifted symbol; the digit row's scan codes (X11 keycodes
  // 10..19 for 1..9, 0) name the digit whatever the layout.
  const quint32 scan = event->nativeScanCode();
  if (m.testFlag(Qt::ShiftModifier) && scan >= 10 && scan <= 19) key = scan == 19 ? Qt::Key_0 : int(Qt::Key_1 + (scan - 10));
  if (m.testFlag(Qt::ControlModifier) && key >= Qt::Key_0 && key <= Qt::Key_9) {
    int line = 0, index = 0;
    getCursorPosition(&line, &index);
    const int digit = key - Qt::Key_0;
    if (m.testFlag(Qt::ShiftModifier)) {
      setBookmark(digit, line);
    } else if (const int target = bookmarkLine(digit); target >= 0) {
      setCursorPosition(target, 0);
      ensureLineVisible(target);
    }
    return;
  }
  const bool listWasActive = isListActive();
  QsciScintilla::keyPressEvent(event);
  if (isReadOnly()) return;
  // "." opens the list once Scintilla has added it, so the "." itself never completes anything.
  // While the list is open, each change of the typed name narrows it to the matching items.
  const bool nameChanged = event->key() == Qt::Key_Backspace || (typed.size() == 1 && IsIdentifierChar(typed[0]));
  if (typed == u"."_s || (listWasActive && isListActive() && nameChanged)) showCompletion();
}
