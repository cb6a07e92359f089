// TForm_help: the small help window. It shows HelpLines in the plain format (a caption line,
// headings, italic text, an example part in a fixed font) or, when the text holds "<fnt1>",
// in the marked format, with tables and examples unwrapped and the window as wide as they
// need within the screen. Once the mouse has been inside, it closes when the pointer moves more
// than 50 pixels away; Esc closes it too.
#pragma once

#include <QDialog>
#include <QTextEdit>
#include <QTimer>

class TForm_help : public QDialog {
  Q_OBJECT

 public:
  explicit TForm_help(QWidget* parent = nullptr);

  // Shows the lines modally. With `offerUnprintable` the right-click menu offers
  // "Show unprintable characters" (string variables in the value window).
  void showLines(const QStringList& lines, bool offerUnprintable = false);
  QString plainText() const { return view_->toPlainText(); }
  // The window's text as it was given, before formatting (for the unprintable rewrite).
  const QString& sourceText() const { return source_; }
  void showUnprintable();
  // The closing rule: once the pointer has been inside, the window closes when the pointer is
  // more than 50 pixels outside its rectangle on any side.
  static bool PointerFarOutside(const QRect& window, const QPoint& pointer);
  // Where the window goes at its first showing: right of the main window's left part.
  static QPoint FirstPosition(const QRect& mainWindow, int leftPartWidth, int desktopWidth, int helpWidth);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void renderPlain(const QStringList& lines);
  void renderMarked(const QString& text);
  void checkPointer();
  void fitWidthToContent();

  QTextEdit* view_;
  QTimer closeTimer_;
  bool pointerWasInside_ = false;
  bool offerUnprintable_ = false;
  bool placed_ = false;
  QString source_;
};
