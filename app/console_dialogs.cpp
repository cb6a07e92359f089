#include "app/console_dialogs.h"

#include <termios.h>
#include <unistd.h>

#include "app/console_io.h"
#include "engine/local_texts.h"
#include "engine/messages.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// Turns the terminal's echo off for as long as it lives (nothing when the input is no terminal).
class HiddenTyping {
 public:
  explicit HiddenTyping(std::FILE* input) : fd_(fileno(input)) {
    if (!isatty(fd_) || tcgetattr(fd_, &saved_) != 0) return;
    termios quiet = saved_;
    quiet.c_lflag &= ~tcflag_t(ECHO);
    hidden_ = tcsetattr(fd_, TCSAFLUSH, &quiet) == 0;
  }
  ~HiddenTyping() {
    if (hidden_) tcsetattr(fd_, TCSAFLUSH, &saved_);
  }
  HiddenTyping(const HiddenTyping&) = delete;
  HiddenTyping& operator=(const HiddenTyping&) = delete;

 private:
  int fd_;
  termios saved_{};
  bool hidden_ = false;
};

// The buttons of a message box as the console shows them: "[1 OK] [2 Cancel]".
QString ButtonLine(const QList<MessageButton>& buttons) {
  QStringList shown;
  for (MessageButton b : buttons)
    shown << u"[%1 %2]"_s.arg(int(b)).arg(MessageButtonName(b, LanguageIndex()));
  return shown.join(u' ');
}

}  // namespace

void ConsoleDialogs::show(const QString& text) {
  if (!text.isEmpty()) WriteConsoleLine(out_, text);
}

bool ConsoleDialogs::answer(QString& line) {
  return ReadConsoleLine(in_, line);
}

bool ConsoleDialogs::InputLine(const QString& prompt, const QString&, QString& text) {
  show(prompt);
  return answer(text);
}

QString ConsoleDialogs::InputText(const QString& prompt, const QString& defaultText) {
  show(prompt);
  QString line;
  if (!answer(line)) return defaultText;
  return line.replace(u"\\n"_s, u"\r\n"_s);
}

MessageButton ConsoleDialogs::ShowMessage(const QString& text, const QString& caption, int style) {
  const MessageBoxStyle box = MessageBoxStyle::From(style);
  show(caption);
  show(text);
  show(ButtonLine(box.buttons));
  for (QString line; answer(line);) {
    if (line.isEmpty()) return box.buttons.first();
    if (MessageButton pressed; MessageButtonFromAnswer(line, pressed)) return pressed;
    show(Bilingual(u"Answer with a button's number or name: %1",
                   u"Ответьте номером или названием кнопки: %1")
             .arg(ButtonLine(box.buttons)));
  }
  return box.escape;
}

int ConsoleDialogs::ChooseLine(const QString& prompt, const QStringList& lines, int selected) {
  show(prompt);
  for (qsizetype i = 0; i < lines.size(); ++i) show(u"%1. %2"_s.arg(i + 1).arg(lines[i]));
  for (QString line; answer(line);) {
    if (line.isEmpty()) return selected >= 1 && selected <= lines.size() ? selected : 0;
    bool isNumber = false;
    const int number = line.trimmed().toInt(&isNumber);
    if (isNumber && number >= 0 && number <= lines.size()) return number;
    if (const qsizetype index = lines.indexOf(line); index >= 0) return int(index) + 1;
    show(Bilingual(u"Answer with a line number from 0 to %1 or a line's text.",
                   u"Ответьте номером строки от 0 до %1 или её текстом.")
             .arg(lines.size()));
  }
  return 0;
}

QString ConsoleDialogs::SaveFileName(const QString& proposedName) {
  show(Bilingual(u"Save as (%1):", u"Сохранить как (%1):").arg(proposedName));
  QString line;
  if (!answer(line)) return {};
  return line.isEmpty() ? proposedName : line;
}

bool ConsoleDialogs::Password(const QString& prompt, QString& password) {
  show(prompt);
  const HiddenTyping hidden(in_);
  return answer(password);
}
