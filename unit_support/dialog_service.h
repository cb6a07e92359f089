// The dialogs a script asks the user through: one line of input, several lines, a message box
// with a choice of buttons, a menu of lines, a file to save to and a password. The window and
// console mode each install their own; the default answers every dialog as cancelled.
#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

// The result codes of the message box's buttons.
enum class MessageButton { Ok = 1, Cancel, Abort, Retry, Ignore, Yes, No };

// What the style value of a message box asks for: its low four bits choose the button set, the
// next four the icon, the four after them the default button (the flags of the Windows message
// box, kept so that scripts written for it show the same box).
struct MessageBoxStyle {
  enum class Icon { None, Error, Question, Warning, Information };

  QList<MessageButton> buttons;  // in the order shown
  MessageButton escape;          // what Esc (or the end of console input) answers
  Icon icon = Icon::None;
  int defaultButton = 0;  // index into buttons

  static MessageBoxStyle From(int style);
};

// A button's name in the interface language `language` (0 English, 1 Russian).
QString MessageButtonName(MessageButton button, int language);
// The button an answer names: its result code (1 to 7) or its name in either language, in any
// case. False when the answer names none.
bool MessageButtonFromAnswer(const QString& answer, MessageButton& button);

class DialogService {
 public:
  virtual ~DialogService() = default;

  // One line of text, proposed as `defaultText`; false after Cancel.
  virtual bool InputLine(const QString& prompt, const QString& defaultText, QString& text) {
    return false;
  }
  // Several lines; lines end with CR LF. The edited text after OK, the text as it stands after
  // Cancel (the default when nothing was edited).
  virtual QString InputText(const QString& prompt, const QString& defaultText) {
    return defaultText;
  }
  // A message box with the buttons of `style` (MessageBoxStyle); the pressed button.
  virtual MessageButton ShowMessage(const QString& text, const QString& caption, int style) {
    return MessageBoxStyle::From(style).escape;
  }
  // Lines to choose one from; `selected` (from 1, 0 none) is chosen at first. The chosen line's
  // number from 1, 0 after Cancel.
  virtual int ChooseLine(const QString& prompt, const QStringList& lines, int selected) {
    return 0;
  }
  // The file to save to, `proposedName` offered; empty after Cancel.
  virtual QString SaveFileName(const QString& proposedName) { return {}; }
  // A password, typed unseen; false after Cancel.
  virtual bool Password(const QString& prompt, QString& password) { return false; }
  // Frames the screen rectangle `rect` with a border blinking red, green, yellow every 200 ms,
  // `blinkCount` changes of colour, and returns when it is gone. Nothing to see without a screen.
  virtual void Highlight(const QRect& rect, int blinkCount) {}
};

DialogService& Dialogs();
// Installs a dialog service (not owned); nullptr restores the default one.
void SetDialogService(DialogService* service);
