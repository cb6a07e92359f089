// The editor as a user types into it in edit mode: the completion list opened by "." and by
// Ctrl+Space, what completes an item, and the symbol keyboard's clicks and its width.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QTest>
#include <QToolButton>
#include <memory>

#include "engine/engine_state.h"
#include "ide/completion.h"
#include "ide/main_window.h"
#include "ide/script_editor.h"
#include "ide/symbol_keyboard.h"

using namespace Qt::Literals::StringLiterals;

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace {

class EditorTyping : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetEngine();
    window = std::make_unique<TForm_Interpretator>(QStringList{});
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->action(WindowAction::NewScript)->trigger();  // an empty script in edit mode
    editor = window->editor();
    editor->setFocus();
  }

  // Types the keys into whichever widget has the keyboard focus, as a user's keystrokes go.
  void Type(const QString& keys) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_TRUE(focus);
    QTest::keyClicks(focus, keys);
  }
  QString Line(int line = 0) const { return editor->text(line).remove(u'\n'); }
  QStringList ShownItems() const {
    QStringList items;
    if (const QListWidget* list = editor->completionList())
      for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
    return items;
  }

  std::unique_ptr<TForm_Interpretator> window;
  ScriptEditor* editor = nullptr;
};

TEST_F(EditorTyping, DotOpensTheListWithoutEverCompletingIt) {
  Type(u"w = 7."_s);
  EXPECT_EQ(Line(), u"w = 7."_s);
  EXPECT_TRUE(editor->isListActive());
  EXPECT_FALSE(ShownItems().isEmpty());
  Type(u"5 * 1.25"_s);
  EXPECT_EQ(Line(), u"w = 7.5 * 1.25"_s);
  // Typing a name after "." narrows the list to the items that begin with it.
  Type(u" + x.arr"_s);
  ASSERT_TRUE(editor->isListActive());
  EXPECT_EQ(ShownItems(), CompletionCandidates(CurrentCompletionList(), u"arr"_s));
  QTest::keyClick(editor, Qt::Key_Backspace);
  EXPECT_EQ(ShownItems(), CompletionCandidates(CurrentCompletionList(), u"ar"_s));
  QTest::keyClick(editor, Qt::Key_Escape);
  EXPECT_EQ(Line(), u"w = 7.5 * 1.25 + x.ar"_s);
  // A completing character right after "." is typed, not used to complete.
  for (const QString& key : {u" "_s, u"("_s, u"."_s}) {
    editor->setText(u"s"_s);
    editor->setCursorPosition(0, 1);
    Type(u"."_s);
    ASSERT_TRUE(editor->isListActive());
    Type(key);
    EXPECT_EQ(Line(), u"s."_s + key);
  }
}

TEST_F(EditorTyping, CtrlSpaceShowsTheItemsOfTheTypedPrefixAndEnterReplacesIt) {
  Type(u"y = flo"_s);
  QTest::keyClick(editor, Qt::Key_Space, Qt::ControlModifier);
  ASSERT_TRUE(editor->isListActive());
  const QStringList shown = ShownItems();
  EXPECT_EQ(shown, CompletionCandidates(CurrentCompletionList(), u"flo"_s));
  EXPECT_TRUE(shown.contains(u"float"_s));
  for (const QString& item : shown) EXPECT_TRUE(item.startsWith(u"flo"_s, Qt::CaseInsensitive)) << item.toStdString();
  EXPECT_EQ(editor->completionList()->width(), 300);
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_EQ(Line(), u"y = "_s + CompletionInsertText(shown.first()));
  EXPECT_FALSE(editor->isListActive());
  // A name of other letters, with text after the caret: only the letters before it count.
  editor->setText(u"z = πzz"_s);
  editor->setCursorPosition(0, 5);
  QTest::keyClick(editor, Qt::Key_Space, Qt::ControlModifier);
  EXPECT_EQ(ShownItems(), QStringList{u"π"_s});
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_EQ(Line(), u"z = πzz"_s);
}

TEST_F(EditorTyping, TabAndACompletingCharacterAfterAPrefixChooseTheSelectedItem) {
  Type(u"n = Array_Len"_s);
  QTest::keyClick(editor, Qt::Key_Space, Qt::ControlModifier);
  QTest::keyClick(editor, Qt::Key_Tab);
  EXPECT_EQ(Line(), u"n = Array_Length"_s);
  Type(u"(a) + str_upp"_s);
  QTest::keyClick(editor, Qt::Key_Space, Qt::ControlModifier);
  Type(u"(x)"_s);  // "(" completes the name and is typed after it
  EXPECT_EQ(Line(), u"n = Array_Length(a) + Str_UpperCase(x)"_s);
  Type(u" + zzz"_s);  // no item begins with the prefix: no list, nothing inserted
  QTest::keyClick(editor, Qt::Key_Space, Qt::ControlModifier);
  EXPECT_FALSE(editor->isListActive());
  EXPECT_EQ(Line(), u"n = Array_Length(a) + Str_UpperCase(x) + zzz"_s);
}

TEST_F(EditorTyping, SymbolKeyboardKeepsTheFocusInTheEditorAndFitsTheWindow) {
  const int width = window->width();
  window->action(WindowAction::AdditionalKeyboard)->trigger();
  SymbolKeyboard* keyboard = window->symbolKeyboard();
  ASSERT_TRUE(keyboard->isVisible());
  QApplication::processEvents();
  EXPECT_EQ(window->width(), width);
  EXPECT_LE(keyboard->geometry().right(), window->centralWidget()->width());
  auto* pi = keyboard->findChild<QToolButton*>(u"symbol_960"_s);
  ASSERT_TRUE(pi);
  Type(u"r = 2"_s);
  editor->setCursorPosition(0, 4);
  QTest::mouseClick(pi, Qt::LeftButton);
  EXPECT_EQ(QApplication::focusWidget(), editor);
  Type(u" * "_s);  // the keys go on at the caret after the inserted symbol
  QTest::mouseClick(keyboard->findChild<QToolButton*>(u"symbol_178"_s), Qt::LeftButton);
  EXPECT_EQ(Line(), u"r = π * ²2"_s);
  // Every button lies inside the strip, wrapped into rows.
  for (const QToolButton* button : keyboard->findChildren<QToolButton*>())
    EXPECT_TRUE(keyboard->rect().contains(QRect(button->mapTo(keyboard, QPoint()), button->size())))
        << button->text().toStdString();
  // A narrower window still fits; the strip grows in height instead.
  const int rowsHeight = keyboard->height();
  window->resize(500, window->height());
  QApplication::processEvents();
  EXPECT_EQ(window->width(), 500);
  EXPECT_GT(keyboard->height(), rowsHeight);
}

}  // namespace
