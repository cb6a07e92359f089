// The dialogs of a running script in the real window on an X display: each answered with keys
// and clicks as a user answers it; the information window whose buttons and check boxes act
// while a script runs; the highlight overlay as it appears on the screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>

#include "app/unit_list.h"
#include "engine/engine_state.h"
#include "engine/messages.h"
#include "engine/program_folder.h"
#include "ide/highlight_overlay.h"
#include "ide/information_form.h"
#include "ide/main_window.h"
#include "ide/settings_file.h"

using namespace Qt::Literals::StringLiterals;

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace {

using Answer = std::function<void(QWidget* modal)>;

class DialogsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetEngine();
    // Each modal dialog that opens is handed to the next answer; one without an answer is a
    // fault: it is noted and rejected so that the run can go on.
    answerer_.callOnTimeout([this] {
      QWidget* modal = QApplication::activeModalWidget();
      // (A dialog may take the place in memory of the one before: the mark is on the widget.)
      if (!modal || !modal->isVisible()) return;
      if (modal->property("answered").toBool()) {
        // An answer that did not close its dialog must not hang the tests.
        if (++stillOpen_ > 250) {
          unexpected << u"still open after its answer"_s;
          if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
        }
        return;
      }
      stillOpen_ = 0;
      modal->setProperty("answered", true);
      if (answers.empty()) {
        const auto* box = qobject_cast<QMessageBox*>(modal);
        unexpected << (box ? box->text() : QString::fromLatin1(modal->metaObject()->className()));
        if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
        return;
      }
      const Answer answer = answers.front();
      answers.pop_front();
      answer(modal);
    });
    answerer_.start(20);
  }
  void TearDown() override {
    EXPECT_TRUE(answers.empty()) << answers.size() << " dialogs did not open";
    EXPECT_EQ(unexpected, QStringList());
  }

  // The window with `lines` as its script, run from the first line to the end.
  std::unique_ptr<TForm_Interpretator> Run(const QStringList& lines) {
    QFile file(ScriptsFolder() + u"dialogs.txt"_s);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write((lines.join(u'\n') + u'\n').toUtf8());
    file.close();
    auto w = std::make_unique<TForm_Interpretator>(QStringList{file.fileName()});
    w->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    w->action(WindowAction::Start)->trigger();
    return w;
  }

  std::deque<Answer> answers;
  QStringList unexpected;

 private:
  QTimer answerer_;
  int stillOpen_ = 0;
};

Answer ClickButton(QMessageBox::StandardButton which) {
  return [which](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_TRUE(box && box->button(which));
    QTest::mouseClick(box->button(which), Qt::LeftButton);
  };
}

// The widget that has the keyboard in a dialog: its list or its line, else the dialog (the focus
// itself may not have arrived yet on a busy machine).
QWidget* KeyTarget(QWidget* modal) {
  if (auto* list = modal->findChild<QListWidget*>()) return list;
  if (auto* line = modal->findChild<QLineEdit*>()) return line;
  return modal;
}

Answer Key(Qt::Key key) {
  return [key](QWidget* modal) { QTest::keyClick(KeyTarget(modal), key); };
}

Answer TypeInto(const QString& text, Qt::Key then) {
  return [text, then](QWidget* modal) {
    QWidget* field = KeyTarget(modal);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, text);
    QTest::keyClick(field, then);
  };
}

Answer ClickMenuLine(int row) {
  return [row](QWidget* modal) {
    auto* list = modal->findChild<QListWidget*>();
    ASSERT_TRUE(list && list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
  };
}

QString Value(const QString& name) { return GetVariableText(name); }

QWidget* FormInterface() {
  for (QWidget* top : QApplication::topLevelWidgets())
    if (top->objectName() == u"Form_Interface"_s) return top;
  return nullptr;
}

TEST_F(DialogsWindowTest, ScriptDialogsAnswerWhatTheUserPressed) {
  answers = {ClickButton(QMessageBox::Yes),    ClickButton(QMessageBox::No),
             ClickButton(QMessageBox::Cancel), Key(Qt::Key_Escape),
             TypeInto(u"Bob"_s, Qt::Key_Return), Key(Qt::Key_Escape),
             ClickMenuLine(2),                 Key(Qt::Key_Return),
             Key(Qt::Key_Escape)};
  auto w = Run({u"array Fruit[4]string=('apple', 'pear', 'plum', 'fig')"_s,
                u"yes = Message('Save?', '', 3)"_s,
                u"no = Message('Save?', '', 3)"_s,
                u"cancel = Message('Save?', '', 3)"_s,
                u"esc = Message('Save?', '', 3)"_s,
                u"name = InputString('Name?', 'Ann')"_s,
                u"none = InputString('Name?', 'Ann')"_s,
                u"third = Menu('Fruit?', Fruit)"_s,
                u"preselected = Menu('Fruit?', Fruit, 2)"_s,
                u"nothing = Menu('Fruit?', Fruit, 2)"_s,
                u"stop"_s});
  EXPECT_EQ(Engine().ErrorText, QString());
  EXPECT_EQ(Value(u"yes"_s), u"6"_s);
  EXPECT_EQ(Value(u"no"_s), u"7"_s);
  EXPECT_EQ(Value(u"cancel"_s), u"2"_s);
  EXPECT_EQ(Value(u"esc"_s), u"2"_s);
  EXPECT_EQ(Value(u"name"_s), u"Bob"_s);
  EXPECT_EQ(Value(u"none"_s), QString());
  EXPECT_EQ(Value(u"third"_s), u"3"_s);
  EXPECT_EQ(Value(u"preselected"_s), u"2"_s);
  EXPECT_EQ(Value(u"nothing"_s), u"0"_s);
}

// The text window comes back where and as large as it was when OK closed it last; Cancel keeps
// the edited text but not the place.
TEST_F(DialogsWindowTest, TextWindowGeometryRoundTripsThroughTheSettingsFile) {
  QFile::remove(ProgramSettingsPath());
  QRect closedAt;
  answers = {[&](QWidget* modal) {
               modal->move(120, 140);
               modal->resize(520, 330);
               QTest::qWait(200);  // the window manager places it
               closedAt = QRect(modal->pos(), modal->size());
               auto* field = modal->findChild<QPlainTextEdit*>();
               field->moveCursor(QTextCursor::End);
               QTest::keyClicks(field, u"more"_s);
               QTest::mouseClick(modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
             },
             [&](QWidget* modal) {
               QTest::qWait(200);
               EXPECT_EQ(QRect(modal->pos(), modal->size()), closedAt) << "where OK closed it";
               modal->move(10, 10);
               modal->resize(300, 200);
               qobject_cast<QDialog*>(modal)->reject();
             },
             [&](QWidget* modal) {
               QTest::qWait(200);
               EXPECT_EQ(QRect(modal->pos(), modal->size()), closedAt) << "Cancel does not move it";
               qobject_cast<QDialog*>(modal)->reject();
             }};
  auto w = Run({u"a = InputText('Notes', 'x')"_s, u"b = InputText('Notes', 'y')"_s,
                u"c = InputText('Notes', 'z')"_s, u"stop"_s});
  EXPECT_EQ(Value(u"a"_s), u"xmore"_s);
  EXPECT_EQ(Value(u"b"_s), u"y"_s);
  IniFile stored;
  ASSERT_TRUE(stored.Load(ProgramSettingsPath()));
  EXPECT_EQ(stored.GetInt(u"FormMemo", u"Width", 0), closedAt.width());
  EXPECT_EQ(stored.GetInt(u"FormMemo", u"Height", 0), closedAt.height());
}

// Buttons and check boxes act in the middle of a running loop, whose own state goes on
// untouched: a script function (Counted), one line (clicks = clicks + 10), a check box.
TEST_F(DialogsWindowTest, InformationWindowActsWhileTheScriptRuns) {
  QStringList seen;
  QTimer clicker;
  clicker.callOnTimeout([&] {
    auto* form = qobject_cast<InformationForm*>(FormInterface());
    if (!form || !form->isVisible()) return;
    clicker.stop();
    auto* count = form->findChild<QPushButton*>(u"ButtonCaption0"_s);
    auto* add = form->findChild<QPushButton*>(u"ButtonCaption1"_s);
    auto* option = form->findChild<QCheckBox*>(u"CheckBox2"_s);
    ASSERT_TRUE(count && add && option);
    seen << QStringList{count->text(), add->text(), option->text(), form->textArea()->toPlainText().trimmed()}.join(u'|');
    QTest::mouseClick(count, Qt::LeftButton);
    QTest::mouseClick(add, Qt::LeftButton);
    QTest::mouseClick(option, Qt::LeftButton);
  });
  clicker.start(50);
  auto w = Run({u"clicks = 0"_s,
           u"n = 0"_s,
           u"Info_form('button \"Count\" Counted()' + Char(13) + 'button \"Add\" clicks = clicks + 10' + Char(13) + 'checkbox \"Option\" flag' + Char(13) + 'Hello')"_s,
           u"repeat"_s,
           u"  n = n + 1"_s,
           u"  breakif clicks >= 11"_s,
           u"  breakif n >= 100000000"_s,
           u"after = n"_s,
           u"stop"_s,
           u"function Counted()"_s,
           u"  clicks = clicks + 1"_s,
           u"  return clicks"_s});
  InformationForm* form = w->informationForm();
  EXPECT_EQ(Engine().ErrorText, QString());
  EXPECT_EQ(seen, QStringList{u"Count|Add|Option|Hello"_s});
  EXPECT_EQ(Value(u"clicks"_s), u"11"_s);
  EXPECT_EQ(Value(u"flag"_s), u"true"_s);
  const int n = Value(u"n"_s).toInt();
  EXPECT_GT(n, 0);
  EXPECT_LT(n, 100000000) << "the loop ended through the clicks";
  EXPECT_EQ(Value(u"after"_s), Value(u"n"_s)) << "the loop's own state came through the clicks";
  EXPECT_TRUE(form->isVisible()) << "the window stays after the run";
}

TEST_F(DialogsWindowTest, InformationWindowButtonsWorkAfterTheRunAndErrorsShowInABox) {
  auto w = Run({u"n = 1"_s,
                u"Info_form('button \"Twice\" n = n * 2' + Char(13) + 'button \"Broken\" n = nothing' + Char(13) + 'checkbox \"Flag\" n' + Char(13) + 'button \"Hi\" Message(\"Hi there\")' + Char(13))"_s,
                u"stop"_s});
  InformationForm* form = w->informationForm();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
  EXPECT_EQ(Value(u"n"_s), u"false"_s) << "a check box makes its variable Boolean";
  auto* option = form->findChild<QCheckBox*>(u"CheckBox2"_s);
  QTest::mouseClick(option, Qt::LeftButton);
  EXPECT_EQ(Value(u"n"_s), u"true"_s);
  QTest::mouseClick(option, Qt::LeftButton);
  EXPECT_EQ(Value(u"n"_s), u"false"_s);

  QString shown;
  answers = {[&](QWidget* modal) {
    shown = qobject_cast<QMessageBox*>(modal)->text();
    qobject_cast<QDialog*>(modal)->accept();
  }};
  QTest::mouseClick(form->findChild<QPushButton*>(u"ButtonCaption1"_s), Qt::LeftButton);
  EXPECT_TRUE(shown.contains(u"nothing"_s)) << shown.toStdString();
  // A built-in function called from a button runs as a line of its own.
  answers = {[&](QWidget* modal) {
    shown = qobject_cast<QMessageBox*>(modal)->text();
    qobject_cast<QDialog*>(modal)->accept();
  }};
  QTest::mouseClick(form->findChild<QPushButton*>(u"ButtonCaption3"_s), Qt::LeftButton);
  EXPECT_EQ(shown, u"Hi there"_s);
  EXPECT_TRUE(Engine().ErrorText.isEmpty());
  EXPECT_TRUE(form->findChild<QPushButton*>(u"ButtonCaption0"_s)->isEnabled()) << "the row is enabled again";
}

TEST_F(DialogsWindowTest, InformationWindowPlacementAndItsErrors) {
  auto w = Run({u"Info_form('A text' + Char(13) + 'of two lines')"_s, u"stop"_s});
  InformationForm* form = w->informationForm();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
  const QRect area = form->screen()->availableGeometry();
  QTRY_COMPARE_WITH_TIMEOUT(form->frameGeometry().bottomRight(), area.bottomRight(), 1000);  // framed by the WM
  EXPECT_GT(form->textArea()->width(), form->textArea()->fontMetrics().horizontalAdvance(u"of two lines"_s));

  answers = {[](QWidget* modal) { qobject_cast<QDialog*>(modal)->accept(); }};
  w = Run({u"array Place[4]float=(100, 120, 400, 250)"_s, u"Info_form('Placed', 12, Place)"_s, u"stop"_s});
  form = w->informationForm();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
  EXPECT_EQ(form->size(), QSize(400, 250));
  EXPECT_EQ(form->textArea()->font().pointSize(), 12);

  QStringList boxes;
  const Answer note = [&](QWidget* modal) {
    boxes << qobject_cast<QMessageBox*>(modal)->text();
    qobject_cast<QDialog*>(modal)->accept();
  };
  answers = {note, note, note};
  for (const QString& info : {u"'button \"\" Run()' + Char(13)"_s, u"'checkbox \"Flag\"' + Char(13)"_s,
                              u"'button \"Go\" Run()'"_s}) {
    w = Run({u"Info_form("_s + info + u")"_s, u"stop"_s});
    EXPECT_FALSE(w->informationForm()->isVisible()) << "no window stays open: " << info.toStdString();
  }
  ASSERT_EQ(boxes.size(), 3);
  EXPECT_TRUE(boxes[0].contains(u"keyword must be followed by the button name"_s)) << boxes[0].toStdString();
  EXPECT_TRUE(boxes[1].contains(u"The keyword \"Checkbox\""_s)) << boxes[1].toStdString();
  EXPECT_TRUE(boxes[2].contains(u"Error in line ●●"_s)) << "a last line without a line break is empty";
}

// Under Xvfb no compositing manager runs: the frame is four bars, and the screen shows their
// colour change at every tick: green, yellow, red, then the frame is gone.
TEST_F(DialogsWindowTest, HighlightFrameBlinksOnTheScreen) {
  const QRect frame(200, 150, 300, 200);
  HighlightOverlay overlay(frame, 3);
  EXPECT_EQ(overlay.style(), HighlightOverlay::Style::FourBars);
  const auto pixelAt = [](QPoint p) {
    QCoreApplication::processEvents();
    return QGuiApplication::primaryScreen()->grabWindow(0, p.x(), p.y(), 1, 1).toImage().pixelColor(0, 0);
  };
  const QPoint border(frame.left() + 2, frame.center().y());
  QList<QColor> colours, onScreen;
  QObject::connect(&overlay, &HighlightOverlay::colourChanged, [&](const QColor& c) {
    colours << c;
    QTest::qWait(30);
    onScreen << pixelAt(border);
  });
  overlay.exec();
  EXPECT_EQ(colours, (QList<QColor>{Qt::green, Qt::yellow, Qt::red}));
  EXPECT_EQ(onScreen, colours);
  QTest::qWait(50);
  EXPECT_NE(pixelAt(border), QColor(Qt::red)) << "the frame is gone";
}

}  // namespace
