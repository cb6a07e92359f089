#include "ide/window_dialogs.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "ide/highlight_overlay.h"
#include "ide/settings_file.h"
#include "engine/line_breaks.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr QStringView kMemoSection = u"FormMemo";

// The dialogs show line breaks of any kind; their answers end lines with CR LF.
QString Shown(const QString& text) {
  return WithLfLineBreaks(text);
}

// The input box: an empty title, the prompt and one line; false after Cancel.
bool AskInInputBox(QWidget* parent, const QString& prompt, QLineEdit::EchoMode echo,
                   QString& text) {
  QInputDialog box(parent);
  box.setWindowTitle(QString());
  box.setLabelText(Shown(prompt));
  box.setTextEchoMode(echo);
  box.setTextValue(text);
  if (box.exec() != QDialog::Accepted) return false;
  text = box.textValue();
  return true;
}

QMessageBox::StandardButton StandardButtonOf(MessageButton button) {
  // Indexed by result code - 1.
  static constexpr QMessageBox::StandardButton kButtons[] = {
      QMessageBox::Ok,     QMessageBox::Cancel, QMessageBox::Abort, QMessageBox::Retry,
      QMessageBox::Ignore, QMessageBox::Yes,    QMessageBox::No};
  return kButtons[int(button) - 1];
}

QMessageBox::Icon IconOf(MessageBoxStyle::Icon icon) {
  static constexpr QMessageBox::Icon kIcons[] = {QMessageBox::NoIcon, QMessageBox::Critical,
                                                 QMessageBox::Question, QMessageBox::Warning,
                                                 QMessageBox::Information};
  return kIcons[int(icon)];
}

// The text window: a bold prompt above a multi-line field, OK and Cancel at the bottom left.
class TextWindow : public QDialog {
 public:
  TextWindow(QWidget* parent, const QString& prompt, const QString& text) : QDialog(parent) {
    setObjectName(u"FormMemo"_s);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(Shown(prompt));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    layout->addWidget(label);
    edit_ = new QPlainTextEdit(Shown(text));
    layout->addWidget(edit_, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->setCenterButtons(false);
    layout->addWidget(buttons, 0, Qt::AlignLeft);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  }
  QString text() const { return edit_->toPlainText().replace(u'\n', u"\r\n"_s); }

 private:
  QPlainTextEdit* edit_;
};

// The menu window: the prompt (hidden when empty) above the list; a click on a line or Enter
// chooses, Esc cancels.
class MenuWindow : public QDialog {
 public:
  MenuWindow(QWidget* parent, const QString& prompt, const QStringList& lines, int selected)
      : QDialog(parent) {
    setObjectName(u"Form_dialod"_s);
    setWindowFlags(windowFlags() | Qt::Tool);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(Shown(prompt));
    label->setVisible(!prompt.isEmpty());
    label->setStyleSheet(u"background: white; color: black"_s);  // readable under a dark palette too
    QFont promptFont(u"Tahoma"_s);
    promptFont.setPixelSize(13);
    label->setFont(promptFont);
    layout->addWidget(label);
    list_ = new QListWidget;
    constexpr int h = 11;  // the list font's height in pixels
    QFont listFont(u"Courier New"_s);
    listFont.setPixelSize(h);
    list_->setFont(listFont);
    list_->addItems(lines);
    // h + 4 pixels a line and one line more; h pixels a character of the longest text. The
    // prompt takes the list's width.
    qsizetype longest = prompt.size();
    for (const QString& line : lines) longest = std::max(longest, line.size());
    const int frame = list_->frameWidth() * 2;
    const QSize client(int(std::min<qsizetype>(longest, 1000)) * h, (h + 4) * int(lines.size() + 1) + 4);
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QSize room = screen ? screen->availableGeometry().size() : QSize(800, 600);
    list_->setFixedSize((client + QSize(frame, frame)).boundedTo(room * 9 / 10));
    label->setWordWrap(true);
    if (selected >= 1 && selected <= lines.size())
      list_->setCurrentRow(selected - 1);
    else
      list_->setCurrentRow(-1);
    layout->addWidget(list_);
    connect(list_, &QListWidget::itemClicked, this, &QDialog::accept);
    connect(list_, &QListWidget::itemActivated, this, &QDialog::accept);
  }
  // From 1; 0 when no line is selected.
  int chosen() const {
    return list_->currentItem() && list_->currentItem()->isSelected() ? list_->currentRow() + 1 : 0;
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
      accept();
    else
      QDialog::keyPressEvent(event);
  }

 private:
  QListWidget* list_;
};

}  // namespace

bool WindowDialogs::InputLine(const QString& prompt, const QString& defaultText, QString& text) {
  QString edited = defaultText;
  if (!AskInInputBox(parent_, prompt, QLineEdit::Normal, edited)) return false;
  text = edited;
  return true;
}

QString WindowDialogs::InputText(const QString& prompt, const QString& defaultText) {
  TextWindow window(parent_, prompt, defaultText);
  // Its place from the settings file, by default 800 x 600 in the middle of the work area.
  IniFile ini;
  ini.Load(ProgramSettingsPath());
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
  window.move(ini.GetInt(kMemoSection, u"Left", (area.width() - 800) / 2),
              ini.GetInt(kMemoSection, u"Top", (area.height() - 600) / 2));
  window.resize(ini.GetInt(kMemoSection, u"Width", 800), ini.GetInt(kMemoSection, u"Height", 600));
  if (window.exec() == QDialog::Accepted) {
    UpdateIniFile(ProgramSettingsPath(), [&](IniFile& file) {
      file.SetInt(kMemoSection, u"Left", window.x());
      file.SetInt(kMemoSection, u"Top", window.y());
      file.SetInt(kMemoSection, u"Width", window.width());
      file.SetInt(kMemoSection, u"Height", window.height());
    });
  }
  return window.text();
}

MessageButton WindowDialogs::ShowMessage(const QString& text, const QString& caption, int style) {
  const MessageBoxStyle look = MessageBoxStyle::From(style);
  QMessageBox box(IconOf(look.icon), caption, Shown(text), QMessageBox::NoButton, parent_);
  QList<QAbstractButton*> buttons;
  for (MessageButton b : look.buttons) buttons << box.addButton(StandardButtonOf(b));
  box.setDefaultButton(qobject_cast<QPushButton*>(buttons[look.defaultButton]));
  box.setEscapeButton(box.button(StandardButtonOf(look.escape)));
  box.exec();
  const qsizetype pressed = buttons.indexOf(box.clickedButton());
  return pressed >= 0 ? look.buttons[pressed] : look.escape;
}

int WindowDialogs::ChooseLine(const QString& prompt, const QStringList& lines, int selected) {
  MenuWindow window(parent_, prompt, lines, selected);
  if (parent_) {  // centred over the main window, within the work area
    window.adjustSize();
    QRect placed(QPoint(), window.frameGeometry().size());
    placed.moveCenter(parent_->frameGeometry().center());
    if (const QScreen* screen = parent_->screen()) {
      const QRect area = screen->availableGeometry();
      placed.moveRight(std::min(placed.right(), area.right()));
      placed.moveBottom(std::min(placed.bottom(), area.bottom()));
      placed.moveLeft(std::max(placed.left(), area.left()));
      placed.moveTop(std::max(placed.top(), area.top()));
    }
    window.move(placed.topLeft());
  }
  return window.exec() == QDialog::Accepted ? window.chosen() : 0;
}

QString WindowDialogs::SaveFileName(const QString& proposedName) {
  QFileDialog dialog(parent_);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.selectFile(proposedName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

bool WindowDialogs::Password(const QString& prompt, QString& password) {
  QString typed;
  if (!AskInInputBox(parent_, prompt, QLineEdit::Password, typed)) return false;
  password = typed;
  return true;
}

void WindowDialogs::Highlight(const QRect& rect, int blinkCount) {
  HighlightOverlay(rect, blinkCount).exec();
}
