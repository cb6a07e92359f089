#include "ide/help_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QStyle>
#include <QTextDocument>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <memory>

#include "engine/message_numbers.h"
#include "engine/messages.h"
#include "engine/value_window_text.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// The client area's design size.
constexpr int kDesignWidth = 535;
constexpr int kDesignHeight = 227;

QTextCharFormat Format(const QString& family, bool bold, bool italic) {
  QTextCharFormat f;
  f.setFontFamilies({family});
  f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
  f.setFontItalic(italic);
  return f;
}

// Tables drawn with box characters and examples keep their lines whole; running text wraps.
void KeepLinesWhole(QTextCursor& cursor, bool whole) {
  QTextBlockFormat block = cursor.blockFormat();
  block.setNonBreakableLines(whole);
  cursor.setBlockFormat(block);
}

}  // namespace

TForm_help::TForm_help(QWidget* parent) : QDialog(parent), view_(new QTextEdit) {
  setWindowFlags(Qt::Tool | Qt::WindowCloseButtonHint);
  setStyleSheet(u"QDialog { background: #87CEEB; }"_s);
  view_->setReadOnly(true);
  view_->setFont(QFont(u"Arial Unicode MS"_s, 14));
  view_->setContextMenuPolicy(Qt::CustomContextMenu);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(view_);
  resize(kDesignWidth, kDesignHeight);
  connect(view_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QMenu menu(this);
    menu.addAction(u"Copy (Ctrl C)"_s, view_, &QTextEdit::copy);
    if (offerUnprintable_) menu.addAction(u"Show unprintable characters"_s, this, &TForm_help::showUnprintable);
    menu.exec(view_->mapToGlobal(at));
  });
  closeTimer_.setInterval(250);
  connect(&closeTimer_, &QTimer::timeout, this, &TForm_help::checkPointer);
}

void TForm_help::showLines(const QStringList& lines, bool offerUnprintable) {
  view_->clear();
  offerUnprintable_ = offerUnprintable;
  pointerWasInside_ = false;
  source_ = lines.join(u'\r');
  if (lines.isEmpty()) return;
  if (source_.contains(u"<fnt1>"_s)) renderMarked(lines.join(u'\n'));
  else renderPlain(lines);
  view_->moveCursor(QTextCursor::Start);
  fitWidthToContent();
  if (!placed_ && parentWidget()) {
    const QWidget* main = parentWidget();
    const int leftPart = main->property("leftPartWidth").toInt();
    const int desktop = main->screen() ? main->screen()->availableGeometry().width() : 1920;
    move(FirstPosition(main->geometry(), leftPart, desktop, width()));
    placed_ = true;
  }
  closeTimer_.start();
  exec();
}

// Heading, text and example styles; "Example" switches to the example style, a dashed line
// back to headings.
void TForm_help::renderPlain(const QStringList& lines) {
  setWindowTitle(lines.first());
  enum class State { Heading, Text, Example } state = State::Heading;
  const QString exampleWord = MessageText(msg::kExampleCaption).toUpper();
  QTextCursor cursor(view_->document());
  for (int i = 1; i < lines.size(); ++i) {
    const QString& line = lines[i];
    if (state == State::Heading) {
      KeepLinesWhole(cursor, false);
      cursor.insertText(line + u'\n', Format(u"Ariel"_s, true, false));
      cursor.insertText(u"\n"_s);
      state = State::Text;
    } else if (state == State::Text) {
      const bool table = line.contains(u'─') || line.contains(u'│');
      KeepLinesWhole(cursor, table);
      cursor.insertText(line + u'\n', Format(table ? u"Courier New"_s : u"Ariel"_s, false, true));
    } else {
      KeepLinesWhole(cursor, true);
      cursor.insertText(line + u'\n', Format(u"Courier New"_s, true, false));
    }
    if (!exampleWord.isEmpty() && line.toUpper().contains(exampleWord)) {
      cursor.insertText(u"\n"_s);
      state = State::Example;
    } else if (line.contains(u"---------------"_s)) {
      cursor.insertText(u"\n"_s);
      state = State::Heading;
    }
  }
}

// "<fntN>" markers switch the style up to the next marker; "~~eol~~" is a line break. The
// caption names the topic: the catalogue's "Tutorial for Syntax" and the first title.
void TForm_help::renderMarked(const QString& text) {
  QTextCursor cursor(view_->document());
  QTextCharFormat format = Format(u"Arial Unicode MS"_s, false, true);
  bool whole = false;
  QString title;
  qsizetype pos = 0;
  while (pos < text.size()) {
    const qsizetype marker = text.indexOf(u"<fnt"_s, pos);
    const qsizetype end = marker < 0 ? text.size() : marker;
    QString piece = text.mid(pos, end - pos);
    piece.replace(u"~~eol~~"_s, u"\n"_s);
    KeepLinesWhole(cursor, whole);
    cursor.insertText(piece, format);
    if (marker < 0) break;
    const QChar n = marker + 4 < text.size() ? text[marker + 4] : QChar(u'2');
    if (n == u'1' && title.isEmpty()) title = text.mid(marker + 6).section(u'\n', 0, 0).trimmed();
    if (n == u'1' || n == u'3') format = Format(u"Arial Unicode MS"_s, true, false);
    else if (n == u'4') format = Format(u"Courier New"_s, true, false);
    else format = Format(u"Arial Unicode MS"_s, false, true);
    whole = n == u'3' || n == u'4';
    pos = marker + 6;
  }
  setWindowTitle(title.isEmpty() ? MessageText(msg::kSyntaxTutorial)
                                 : MessageText(msg::kSyntaxTutorial) + u" — "_s + title);
}

// At least the design width, wide enough for the longest line that must not wrap, and never
// wider than the screen (a horizontal scroll bar then shows the rest).
void TForm_help::fitWidthToContent() {
  std::unique_ptr<QTextDocument> probe(view_->document()->clone());
  // Running text wraps at every blank; whole lines and long words (signatures) keep their width.
  QTextOption wrapAtBlanks = probe->defaultTextOption();
  wrapAtBlanks.setWrapMode(QTextOption::WordWrap);
  probe->setDefaultTextOption(wrapAtBlanks);
  probe->setTextWidth(1);
  const QMargins margins = layout()->contentsMargins();
  const int chrome = margins.left() + margins.right() + 2 * view_->frameWidth() +
                     style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view_) + 2;
  int wanted = std::max(kDesignWidth, int(std::ceil(probe->idealWidth())) + chrome);
  const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen();
  if (screen) {
    const QRect desk = screen->availableGeometry();
    wanted = std::min(wanted, desk.width());
    if (x() + wanted > desk.right() + 1) move(std::max(desk.left(), desk.right() + 1 - wanted), y());
  }
  resize(wanted, height());
}

void TForm_help::showUnprintable() {
  const QString rewritten = ShowUnprintableCharacters(source_);
  view_->setPlainText(rewritten);
}

bool TForm_help::PointerFarOutside(const QRect& window, const QPoint& pointer) {
  return pointer.x() < window.left() - 50 || pointer.x() > window.right() + 50 || pointer.y() < window.top() - 50 ||
         pointer.y() > window.bottom() + 50;
}

QPoint TForm_help::FirstPosition(const QRect& mainWindow, int leftPartWidth, int desktopWidth, int helpWidth) {
  return {std::min(mainWindow.left() + leftPartWidth, desktopWidth - helpWidth), mainWindow.top() + 10};
}

void TForm_help::checkPointer() {
  const QPoint p = QCursor::pos();
  if (frameGeometry().contains(p)) pointerWasInside_ = true;
  else if (pointerWasInside_ && PointerFarOutside(frameGeometry(), p)) close();
}

void TForm_help::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  if (event->matches(QKeySequence::Copy) ||
      (event->key() == Qt::Key_Insert && event->modifiers() == Qt::ShiftModifier)) {
    if (view_->textCursor().hasSelection()) {
      QApplication::clipboard()->setText(view_->textCursor().selectedText());
      QTextCursor c = view_->textCursor();
      c.clearSelection();
      view_->setTextCursor(c);
    }
    return;
  }
  QDialog::keyPressEvent(event);
}

void TForm_help::closeEvent(QCloseEvent* event) {
  closeTimer_.stop();
  view_->clear();
  source_.clear();
  QDialog::closeEvent(event);
}
