// The window's host services: installed by the main window, each shows a real Qt dialog or
// widget; the test answers the dialogs as a user would, from a timer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <functional>
#include <memory>

#include "engine/engine_state.h"
#include "engine/program_folder.h"
#include "engine/run_control.h"
#include "ide/information_form.h"
#include "ide/main_window.h"
#include "ide/settings_file.h"
#include "ide/window_surface.h"
#include "unit_support/dialog_service.h"
#include "unit_support/graphics_surface.h"
#include "unit_support/information_window.h"

using namespace Qt::Literals::StringLiterals;

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
  *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

class WindowServicesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetEngine();
    QFile script(ScriptsFolder() + u"services.txt"_s);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
    script.write("x = 1\nstop\n");
    script.close();
    window = std::make_unique<TForm_Interpretator>(QStringList{script.fileName()});
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }

  // Hands the next modal dialog to `answer`, which closes it.
  void WhenModal(std::function<void(QWidget*)> answer) {
    auto* timer = new QTimer(window.get());
    timer->callOnTimeout([timer, answer] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal) return;
      timer->deleteLater();
      timer->stop();
      answer(modal);
    });
    timer->start(10);
  }

  std::unique_ptr<TForm_Interpretator> window;
};

TEST_F(WindowServicesTest, TheWindowInstallsItsServicesAndTakesThemAway) {
  EXPECT_TRUE(dynamic_cast<WindowDialogs*>(&Dialogs()));
  EXPECT_EQ(&Surface(), static_cast<GraphicsSurface*>(window->graphicsSurface()));
  EXPECT_EQ(&InfoWindow(), static_cast<InformationWindow*>(window->informationForm()));
  window.reset();
  EXPECT_FALSE(dynamic_cast<WindowDialogs*>(&Dialogs()));
  EXPECT_EQ(Surface().PaintTarget(), nullptr);
  EXPECT_FALSE(InfoWindow().IsShown());
}

TEST_F(WindowServicesTest, MessageBoxShowsTheButtonSetAndAnswersThePressedButton) {
  QStringList buttons;
  WhenModal([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->windowTitle(), u"Title"_s);
    EXPECT_EQ(box->text(), u"Save\nnow?"_s);
    EXPECT_EQ(box->icon(), QMessageBox::Question);
    for (QAbstractButton* b : box->buttons()) buttons << b->text().remove(u'&');
    box->button(QMessageBox::No)->click();
  });
  EXPECT_EQ(Dialogs().ShowMessage(u"Save\rnow?"_s, u"Title"_s, 0x20 | 3), MessageButton::No);
  buttons.sort();
  EXPECT_EQ(buttons, (QStringList{u"Cancel"_s, u"No"_s, u"Yes"_s}));

  WhenModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
  EXPECT_EQ(Dialogs().ShowMessage(u"Sure?"_s, QString(), 1), MessageButton::Cancel);
  WhenModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
  EXPECT_EQ(Dialogs().ShowMessage(u"Saved"_s, QString(), 0), MessageButton::Ok);
}

TEST_F(WindowServicesTest, InputBoxAndPasswordBox) {
  WhenModal([](QWidget* modal) {
    auto* box = qobject_cast<QInputDialog*>(modal);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->labelText(), u"Name?"_s);
    EXPECT_EQ(box->textValue(), u"Ann"_s);
    box->setTextValue(u"Bob"_s);
    box->accept();
  });
  QString text;
  EXPECT_TRUE(Dialogs().InputLine(u"Name?"_s, u"Ann"_s, text));
  EXPECT_EQ(text, u"Bob"_s);

  WhenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
  EXPECT_FALSE(Dialogs().InputLine(u"Name?"_s, u"Ann"_s, text));
  EXPECT_EQ(text, u"Bob"_s);

  WhenModal([](QWidget* modal) {
    auto* box = qobject_cast<QInputDialog*>(modal);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->textEchoMode(), QLineEdit::Password);
    box->setTextValue(u"secret"_s);
    box->accept();
  });
  QString password;
  EXPECT_TRUE(Dialogs().Password(u"Enter password"_s, password));
  EXPECT_EQ(password, u"secret"_s);
}

// OK and Cancel both answer the field's text; only OK keeps the window's place.
TEST_F(WindowServicesTest, TextWindowKeepsItsPlaceOnlyAfterOk) {
  const QString ini = ProgramSettingsPath();
  QFile::remove(ini);
  WhenModal([](QWidget* modal) {
    auto* edit = modal->findChild<QPlainTextEdit*>();
    ASSERT_TRUE(edit);
    EXPECT_EQ(edit->toPlainText(), u"a"_s);
    qobject_cast<QDialog*>(modal)->reject();
  });
  EXPECT_EQ(Dialogs().InputText(u"Notes"_s, u"a"_s), u"a"_s);
  EXPECT_FALSE(QFile::exists(ini));

  WhenModal([](QWidget* modal) {
    modal->findChild<QPlainTextEdit*>()->setPlainText(u"one\ntwo"_s);
    modal->resize(500, 300);
    qobject_cast<QDialog*>(modal)->accept();
  });
  EXPECT_EQ(Dialogs().InputText(u"Notes"_s, u"a"_s), u"one\r\ntwo"_s);
  IniFile stored;
  ASSERT_TRUE(stored.Load(ini));
  EXPECT_EQ(stored.GetInt(u"FormMemo", u"Width", 0), 500);
  EXPECT_EQ(stored.GetInt(u"FormMemo", u"Height", 0), 300);
  QFile::remove(ini);
}

TEST_F(WindowServicesTest, MenuWindowAnswersTheClickedLineOrZero) {
  const QStringList fruit{u"apple"_s, u"plum"_s, u"pear"_s, u"apricot"_s};
  WhenModal([](QWidget* modal) {
    auto* list = modal->findChild<QListWidget*>();
    ASSERT_TRUE(list);
    EXPECT_EQ(list->count(), 4);
    // 11-pixel lines: 15 pixels each and one more, 11 pixels a character of "apricot".
    const int frame = 2 * list->frameWidth();
    EXPECT_EQ(list->size(), QSize(7 * 11 + frame, 15 * 5 + 4 + frame));
    EXPECT_TRUE(list->selectedItems().isEmpty()) << "nothing preselected";
    QTest::keyClick(list, Qt::Key_Return);
  });
  EXPECT_EQ(Dialogs().ChooseLine(u"Pick"_s, fruit, 0), 0) << "Enter without a selection";

  WhenModal([](QWidget* modal) {
    auto* list = modal->findChild<QListWidget*>();
    const QRect pear = list->visualItemRect(list->item(2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, pear.center());
  });
  EXPECT_EQ(Dialogs().ChooseLine(u"Pick"_s, fruit, 0), 3);

  WhenModal(
      [](QWidget* modal) { QTest::keyClick(modal->findChild<QListWidget*>(), Qt::Key_Return); });
  EXPECT_EQ(Dialogs().ChooseLine(QString(), fruit, 2), 2) << "Enter on the preselected line";
  WhenModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
  EXPECT_EQ(Dialogs().ChooseLine(QString(), fruit, 2), 0);
}

TEST_F(WindowServicesTest, SaveDialogProposesTheName) {
  WhenModal([](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(dialog->findChild<QLineEdit*>(u"fileNameEdit"_s)->text(), u"data.txt"_s);
    dialog->reject();
  });
  EXPECT_EQ(Dialogs().SaveFileName(u"data.txt"_s), QString());
}

TEST_F(WindowServicesTest, GraphicsSurfaceIsThePictureArea) {
  WindowSurface* surface = window->graphicsSurface();
  EXPECT_EQ(Surface().PaintTarget(), nullptr) << "no picture before the graphics open one";
  ASSERT_TRUE(Surface().Resize({200, 100}));
  QPainter(Surface().PaintTarget()).fillRect(0, 0, 200, 100, Qt::blue);
  Surface().Present();
  EXPECT_FALSE(Surface().Resize({0, 100}));
  EXPECT_EQ(Surface().Size(), QSize(200, 100));
  surface->resize(300, 150);
  const QImage grabbed = surface->grab().toImage();
  EXPECT_EQ(grabbed.pixelColor(10, 10), QColor(Qt::blue));
}

// Buttons and check boxes above the text; a click is handed back with the control's index; a
// run from the first line hides the window.
TEST_F(WindowServicesTest, InformationWindowShowsControlsAndReportsClicks) {
  InformationContent content;
  content.text = u"Hello\rworld"_s;
  content.controls = {{InformationControl::Kind::Button, u"Go"_s, false},
                      {InformationControl::Kind::CheckBox, u"Option"_s, true}};
  content.placement = QRect(50, 60, 300, 200);
  QList<int> clicks;
  InfoWindow().Show(content, [&](int control) { clicks << control; });
  InformationForm* form = window->informationForm();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
  EXPECT_TRUE(InfoWindow().IsShown());
  EXPECT_EQ(form->textArea()->toPlainText(), u"Hello\nworld"_s);
  EXPECT_EQ(form->size(), QSize(300, 200));
  auto* go = form->findChild<QPushButton*>(u"ButtonCaption0"_s);
  auto* option = form->findChild<QCheckBox*>(u"CheckBox1"_s);
  ASSERT_TRUE(go && option);
  EXPECT_EQ(go->text(), u"Go"_s);
  EXPECT_TRUE(option->isChecked());
  QTest::mouseClick(go, Qt::LeftButton);
  QTest::mouseClick(option, Qt::LeftButton);
  EXPECT_EQ(clicks, (QList<int>{0, 1}));
  EXPECT_FALSE(option->isChecked());

  content.controls.removeFirst();
  InfoWindow().Show(content, nullptr);
  EXPECT_FALSE(form->findChild<QPushButton*>(u"ButtonCaption0"_s)) << "the previous controls go";

  window->action(WindowAction::Start)->trigger();
  EXPECT_FALSE(InfoWindow().IsShown()) << "a run from the first line hides it";
}

}  // namespace
