// Console mode's dialogs, information window and graphics surface, each driven as a user at a
// terminal or a pipe drives them: one answer a line, the end of input as Cancel.
#include <gtest/gtest.h>

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

#include "app/console_dialogs.h"
#include "app/console_information.h"
#include "app/console_mode.h"
#include "app/console_surface.h"
#include "engine/messages.h"
#include "unit_support/graphics_surface.h"
#include "unit_support/information_window.h"

using namespace Qt::Literals::StringLiterals;

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
  *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

// Dialogs that read `answers` and write what they show into `shown()`.
class Console {
 public:
  explicit Console(const QByteArray& answers) : answers_(answers) {
    in_ = answers_.isEmpty() ? std::fopen("/dev/null", "r")
                             : fmemopen(answers_.data(), std::size_t(answers_.size()), "r");
    out_ = open_memstream(&outBuffer_, &outSize_);
    dialogs = std::make_unique<ConsoleDialogs>(in_, out_);
    information = std::make_unique<ConsoleInformationWindow>(out_);
  }
  ~Console() {
    std::fclose(in_);
    std::fclose(out_);
    std::free(outBuffer_);
  }
  QString shown() {
    std::fflush(out_);
    return QString::fromUtf8(outBuffer_, qsizetype(outSize_));
  }

  std::unique_ptr<ConsoleDialogs> dialogs;
  std::unique_ptr<ConsoleInformationWindow> information;

 private:
  QByteArray answers_;
  std::FILE* in_;
  std::FILE* out_;
  char* outBuffer_ = nullptr;
  std::size_t outSize_ = 0;
};

constexpr int kYesNoCancel = 3;

TEST(ConsoleDialogs, InputLineTakesTheLineAndCancelsAtTheEnd) {
  Console c("Bob\n\n");
  QString text = u"unchanged"_s;
  EXPECT_TRUE(c.dialogs->InputLine(u"Name?"_s, u"Ann"_s, text));
  EXPECT_EQ(text, u"Bob"_s);
  EXPECT_TRUE(c.dialogs->InputLine(u"Again?"_s, u"Ann"_s, text));
  EXPECT_EQ(text, QString()) << "an empty line is an empty answer";
  text = u"unchanged"_s;
  EXPECT_FALSE(c.dialogs->InputLine(u"Once more?"_s, QString(), text));
  EXPECT_EQ(text, u"unchanged"_s);
  EXPECT_EQ(c.shown(), u"Name?\nAgain?\nOnce more?\n"_s);
}

TEST(ConsoleDialogs, InputTextReadsLineBreaksAndGivesTheDefaultAtTheEnd) {
  Console c("first\\nsecond\\n\n");
  EXPECT_EQ(c.dialogs->InputText(u"Notes"_s, u"a"_s), u"first\r\nsecond\r\n"_s);
  EXPECT_EQ(c.dialogs->InputText(u"Notes"_s, u"a\r\nb"_s), u"a\r\nb"_s);
}

TEST(ConsoleDialogs, MessageTakesCodesAndButtonNamesInEitherLanguage) {
  Console c("6\nno\nОТМЕНА\n\n  Retry \nmaybe\n7\n");
  const auto ask = [&](int style) {
    return int(c.dialogs->ShowMessage(u"Save?"_s, u"Title"_s, style));
  };
  EXPECT_EQ(ask(kYesNoCancel), 6);
  EXPECT_EQ(ask(kYesNoCancel), 7);
  EXPECT_EQ(ask(kYesNoCancel), 2);
  EXPECT_EQ(ask(kYesNoCancel), 6) << "an empty line: the first button";
  EXPECT_EQ(ask(kYesNoCancel), 4) << "a code or name of any button";
  const qsizetype before = c.shown().size();
  EXPECT_EQ(ask(kYesNoCancel), 7) << "an answer naming no button is asked again";
  EXPECT_TRUE(c.shown().mid(before).contains(
      u"Answer with a button's number or name: [6 Yes] [7 No] [2 Cancel]"_s))
      << c.shown().mid(before).toStdString();
  EXPECT_TRUE(c.shown().startsWith(u"Title\nSave?\n[6 Yes] [7 No] [2 Cancel]\n"_s))
      << c.shown().toStdString();
}

TEST(ConsoleDialogs, MessageAtTheEndOfInputAnswersAsEsc) {
  const std::pair<int, int> escapes[] = {{0, 1}, {1, 2}, {2, 3},    {3, 2},
                                         {4, 7}, {5, 2}, {0x33, 2}, {9, 1}};
  for (const auto& [style, code] : escapes) {
    Console c("");
    EXPECT_EQ(int(c.dialogs->ShowMessage(u"x"_s, QString(), style)), code) << style;
  }
}

TEST(ConsoleDialogs, MenuTakesANumberOrALinesText) {
  const QStringList fruit{u"apple"_s, u"plum"_s, u"pear"_s, u"apricot"_s};
  Console c("3\npear\n\n\nkiwi\n9\n2\n0\n");
  EXPECT_EQ(c.dialogs->ChooseLine(u"Pick"_s, fruit, 0), 3);
  EXPECT_EQ(c.dialogs->ChooseLine(u"Pick"_s, fruit, 0), 3);
  EXPECT_EQ(c.dialogs->ChooseLine(u"Pick"_s, fruit, 4), 4) << "an empty line: the preselected line";
  EXPECT_EQ(c.dialogs->ChooseLine(u"Pick"_s, fruit, 0), 0) << "an empty line without one: 0";
  EXPECT_EQ(c.dialogs->ChooseLine(u"Pick"_s, fruit, 0), 2) << "kiwi and 9 are asked again";
  EXPECT_EQ(c.dialogs->ChooseLine(QString(), fruit, 1), 0);
  EXPECT_EQ(c.dialogs->ChooseLine(QString(), fruit, 1), 0) << "the end of input";
  EXPECT_TRUE(c.shown().startsWith(u"Pick\n1. apple\n2. plum\n3. pear\n4. apricot\n"_s))
      << c.shown().toStdString();
  EXPECT_EQ(c.shown().count(u"Answer with a line number from 0 to 4 or a line's text."_s), 2);
}

TEST(ConsoleDialogs, SaveFileNameAndPassword) {
  Console c("\nother.txt\nsecret\n");
  EXPECT_EQ(c.dialogs->SaveFileName(u"data.txt"_s), u"data.txt"_s);
  EXPECT_EQ(c.dialogs->SaveFileName(u"data.txt"_s), u"other.txt"_s);
  QString password;
  EXPECT_TRUE(c.dialogs->Password(u"Enter password"_s, password));
  EXPECT_EQ(password, u"secret"_s);
  EXPECT_FALSE(c.dialogs->Password(u"Enter password"_s, password));
  EXPECT_EQ(c.dialogs->SaveFileName(u"data.txt"_s), QString());
}

TEST(DialogService, ButtonAnswersAndStyles) {
  MessageButton b{};
  for (const char16_t* answer : {u"ok", u"ОК", u"1", u" Ok "}) {
    EXPECT_TRUE(MessageButtonFromAnswer(QString::fromUtf16(answer), b))
        << QString::fromUtf16(answer).toStdString();
    EXPECT_EQ(b, MessageButton::Ok);
  }
  for (const char16_t* answer : {u"", u"0", u"8", u"okay", u"-1"})
    EXPECT_FALSE(MessageButtonFromAnswer(QString::fromUtf16(answer), b))
        << QString::fromUtf16(answer).toStdString();
  EXPECT_TRUE(MessageButtonFromAnswer(u"пропустить"_s, b));
  EXPECT_EQ(b, MessageButton::Ignore);

  const MessageBoxStyle style = MessageBoxStyle::From(0x100 | 0x20 | 4);  // second button, question
  EXPECT_EQ(style.buttons, (QList<MessageButton>{MessageButton::Yes, MessageButton::No}));
  EXPECT_EQ(style.icon, MessageBoxStyle::Icon::Question);
  EXPECT_EQ(style.defaultButton, 1);
  EXPECT_EQ(MessageBoxStyle::From(0x200).defaultButton, 0) << "OK has no third button";
  EXPECT_EQ(MessageButtonName(MessageButton::Cancel, 1), u"Отмена"_s);
}

// Without an installed service every dialog is cancelled and there is nothing to paint on.
TEST(DialogService, DefaultsCancelAndShowNothing) {
  Console c("");
  SetDialogService(c.dialogs.get());
  EXPECT_EQ(&Dialogs(), c.dialogs.get());
  SetDialogService(nullptr);
  QString text;
  EXPECT_FALSE(Dialogs().InputLine(u"x"_s, u"d"_s, text));
  EXPECT_EQ(Dialogs().InputText(u"x"_s, u"d"_s), u"d"_s);
  EXPECT_EQ(Dialogs().ShowMessage(u"x"_s, QString(), 4), MessageButton::No);
  EXPECT_EQ(Dialogs().ChooseLine(u"x"_s, {u"a"_s}, 1), 0);
  EXPECT_EQ(Dialogs().SaveFileName(u"a"_s), QString());
  EXPECT_FALSE(Dialogs().Password(u"x"_s, text));
  EXPECT_EQ(Surface().PaintTarget(), nullptr);
  EXPECT_FALSE(Surface().Resize({10, 10}));
  InfoWindow().Show({u"x"_s, {}, 0, {}}, nullptr);
  EXPECT_FALSE(InfoWindow().IsShown());
}

TEST(ConsoleInformationWindow, WritesTheTextThenOneLinePerControl) {
  Console c("");
  InformationContent content;
  content.text = u"Hello\rworld\r"_s;
  content.controls = {{InformationControl::Kind::Button, u"Go"_s, false},
                      {InformationControl::Kind::CheckBox, u"Option"_s, false},
                      {InformationControl::Kind::CheckBox, u"Sound"_s, true}};
  EXPECT_FALSE(c.information->IsShown());
  c.information->Show(content, nullptr);
  EXPECT_EQ(c.shown(), u"Hello\nworld\n[Go]\n[ ] Option\n[x] Sound\n"_s);
  EXPECT_TRUE(c.information->IsShown());
  c.information->Hide();
  EXPECT_FALSE(c.information->IsShown());
}

TEST(ConsoleSurface, APictureOfTheCanvasSize) {
  ConsoleSurface surface;
  EXPECT_EQ(surface.Size(), QSize(800, 600));
  ASSERT_TRUE(surface.PaintTarget());
  EXPECT_EQ(surface.PaintTarget()->pixel(799, 599), qRgb(255, 255, 255));
  QPainter(surface.PaintTarget()).fillRect(0, 0, 10, 10, Qt::red);
  EXPECT_EQ(surface.PaintTarget()->pixel(5, 5), qRgb(255, 0, 0));
  EXPECT_FALSE(surface.Resize({0, 5}));
  EXPECT_FALSE(surface.Resize({20000, 5}));
  EXPECT_EQ(surface.PaintTarget()->pixel(5, 5), qRgb(255, 0, 0))
      << "a refused size keeps the picture";
  EXPECT_TRUE(surface.Resize({320, 200}));
  EXPECT_EQ(surface.Size(), QSize(320, 200));

  QSize size;
  EXPECT_TRUE(ConsoleSurface::ParseSize(u"1024x768"_s, size));
  EXPECT_EQ(size, QSize(1024, 768));
  for (const char16_t* bad :
       {u"", u"800", u"0x600", u"800x", u"x600", u"-1x5", u"800x600x2", u"99999x2", u"16385x1"})
    EXPECT_FALSE(ConsoleSurface::ParseSize(QString::fromUtf16(bad), size))
        << QString::fromUtf16(bad).toStdString();
}

TEST(ConsoleMode, CanvasOptionIsCheckedBeforeTheRun) {
  QTemporaryDir dir;
  QFile script(dir.filePath(u"s.txt"_s));
  ASSERT_TRUE(script.open(QIODevice::WriteOnly));
  script.write("x = 1\nstop\n");
  script.close();
  EXPECT_EQ(RunConsoleMode({u"--console"_s, u"--canvas"_s, u"0x5"_s, script.fileName()}), 2);
  EXPECT_EQ(RunConsoleMode({u"--console"_s, u"--canvas"_s}), 2);
  EXPECT_EQ(RunConsoleMode({u"--console"_s, u"--canvas"_s, u"320x200"_s, script.fileName()}), 0);
  EXPECT_EQ(Surface().PaintTarget(), nullptr) << "the console's services are gone after the run";
}

}  // namespace
