// The main window driven as a user drives it: run actions and their keys, gutter clicks, the
// error box, edit and work modes, the grids and status bar after a run, the unattended /R run
// and loading a script with includes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QToolBar>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>
#include <utility>

#include "engine/engine_state.h"
#include "engine/message_numbers.h"
#include "engine/messages.h"
#include "engine/run_control.h"
#include "engine/script_files.h"
#include "app/unit_list.h"
#include "ide/find_replace.h"
#include "engine/program_folder.h"
#include "ide/help_menu.h"
#include "ide/help_window.h"
#include "ide/inspector_window.h"
#include "automation/x11_display.h"
#include "ide/main_window.h"
#include "ide/symbol_keyboard.h"
#include "ide/script_editor.h"
#include "ide/variable_grids.h"

using namespace Qt::Literals::StringLiterals;

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

namespace {

class WindowTest : public ::testing::Test {
 protected:
  // Every modal box is closed at once and noted as "icon:title:text"; a test that expects boxes
  // says how many.
  void SetUp() override {
    ResetEngine();
    boxCloser_.callOnTimeout([this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal) return;
      if (onDialog && !qobject_cast<QMessageBox*>(modal)) {
        // Taken once: the handler accepts or rejects the dialog itself.
        const auto handler = std::exchange(onDialog, nullptr);
        handler(modal);
        return;
      }
      const auto* box = qobject_cast<QMessageBox*>(modal);
      // What the window shows behind the box: "marker line|status panel 0".
      if (const auto* w = qobject_cast<TForm_Interpretator*>(modal->parentWidget()))
        behindBoxes << u"%1|%2"_s.arg(w->editor()->currentLineMark()).arg(w->statusText(0));
      boxes << (box ? u"%1:%2:%3"_s.arg(int(box->icon())).arg(box->windowTitle(), box->text()) : u"dialog"_s);
      if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
    });
    boxCloser_.start(10);
  }
  void TearDown() override { EXPECT_EQ(boxes.size(), expectedBoxes) << boxes.join(u'|').toStdString(); }

  static QString WriteScript(const QString& name, const QStringList& lines) {
    QFile file(ScriptsFolder() + name);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write((lines.join(u'\n') + u'\n').toUtf8());
    return file.fileName();
  }

  // A shown, active window with the script given on its command line.
  static std::unique_ptr<TForm_Interpretator> Open(const QStringList& lines, const QStringList& switches = {}) {
    auto w = std::make_unique<TForm_Interpretator>(QStringList{WriteScript(u"test.txt"_s, lines)} + switches);
    w->show();
    EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
    return w;
  }

  QStringList boxes;
  QStringList behindBoxes;
  qsizetype expectedBoxes = 0;
  // Handles the next modal dialog that is not a message box (file and font dialogs).
  std::function<void(QWidget*)> onDialog;

 private:
  QTimer boxCloser_;
};

// A loop that runs for seconds unless it is paused.
QStringList LongLoop() { return {u"n = 0"_s, u"REPEAT"_s, u"  n = n + 1"_s, u"  BREAKIF n >= 20000000"_s, u"stop"_s}; }

void Trigger(TForm_Interpretator& w, WindowAction id) { w.action(id)->trigger(); }

// "CurrentLine marker RunMode".
QString Where(TForm_Interpretator& w) {
  return u"%1 %2 %3"_s.arg(Engine().CurrentLine).arg(w.editor()->currentLineMark()).arg(Engine().RunMode);
}

// "name=value" of each variable, an empty value when it does not exist.
QString Vars(const QString& names) {
  QStringList out;
  for (const QString& n : names.split(u' ')) out << n + u'=' + GetVariableText(n);
  return out.join(u' ');
}

// The grid's rows, cells joined by "|" (an empty cell for none).
QStringList Rows(const QTableWidget* grid) {
  QStringList rows;
  for (int r = 0; r < grid->rowCount(); ++r) {
    QStringList cells;
    for (int c = 0; c < grid->columnCount(); ++c) cells << (grid->item(r, c) ? grid->item(r, c)->text() : QString());
    rows << cells.join(u'|');
  }
  return rows;
}

QString Panels(TForm_Interpretator& w) {
  QStringList texts;
  for (int i = 0; i < 7; ++i) texts << w.statusText(i);
  return texts.join(u'|');
}

// Shown and enabled state of actions: "VE", "V-", "-E" or "--" each.
QString States(TForm_Interpretator& w, const QList<WindowAction>& ids) {
  QStringList out;
  for (WindowAction n : ids) {
    const QAction* a = w.action(n);
    out << (a ? QString(a->isVisible() ? u'V' : u'-') + (a->isEnabled() ? u'E' : u'-') : u"missing"_s);
  }
  return out.join(u' ');
}

TEST_F(WindowTest, StartRunsToTheStopLineAndFillsGridsAndStatusBar) {
  auto w = Open({u"s = 'abc'"_s, u"q = \"abc\""_s, u"r = 2.5 * 2"_s, u"h = 2.5"_s, u"big = 12345678.0"_s,
                 u"b = 1 < 2"_s, u"n = 7"_s, u"stop"_s, u"after = 1"_s});
  EXPECT_EQ(Where(*w), u"0 0 0"_s);
  EXPECT_EQ(w->editor()->lines(), Engine().ScriptLines);
  Trigger(*w, WindowAction::Start);
  EXPECT_EQ(Where(*w), u"7 7 0"_s);
  EXPECT_EQ(Vars(u"n after"_s), u"n=7 after="_s);
  const QStringList global = Rows(w->grids()->globalGrid());
  ASSERT_EQ(global.size(), 8);
  EXPECT_EQ(global.mid(0, 7), (QStringList{u"b|<true>"_s, u"big|   12345678"_s, u"h|2.5        "_s, u"n|     7"_s,
                                           u"q|\"abc\""_s, u"r|     5"_s, u"s|●abc●"_s}));
  EXPECT_TRUE(global[7].startsWith(u"cmdLineParams[]|"_s)) << global[7].toStdString();
  EXPECT_EQ(w->grids()->globalGrid()->currentRow(), 3) << "the last assigned variable is selected";
  EXPECT_EQ(Rows(w->grids()->localGrid()), QStringList{u"||"_s}) << "no locals outside functions";
  EXPECT_EQ(Panels(*w), u"Line=7|Processing Level=0|Function Level=0|||time 00:00|"_s);
}

TEST_F(WindowTest, StepStepOverAndContinueByKeys) {
  auto w = Open({u"a = 1"_s, u"FOR i = 1,3"_s, u"  a = a * 2"_s, u"b = a"_s, u"FOR j = 1,2"_s,
                 u"  b = b + 1"_s, u"c = b"_s, u"stop"_s});
  QTest::keyClick(w.get(), Qt::Key_F8);  // Step
  EXPECT_EQ(Where(*w), u"1 1 3"_s);
  EXPECT_EQ(Rows(w->grids()->globalGrid()).value(0), u"a|     1"_s) << "a step refreshes the grid";
  EXPECT_TRUE(Panels(*w).startsWith(u"Line=1|"_s)) << Panels(*w).toStdString();

  QTest::keyClick(w.get(), Qt::Key_F7);  // Step over a loop: the whole loop runs
  EXPECT_EQ(Where(*w), u"3 3 0"_s);
  EXPECT_EQ(Vars(u"a"_s), u"a=8"_s);

  QTest::keyClick(w.get(), Qt::Key_F8);
  QTest::keyClick(w.get(), Qt::Key_F8);  // into the second loop's body
  EXPECT_EQ(Where(*w), u"5 5 3"_s);
  EXPECT_TRUE(Panels(*w).startsWith(u"Line=5|Processing Level=1|Function Level=0|loop counter=1|loop limit=2|"_s))
      << Panels(*w).toStdString();

  QTest::keyClick(w.get(), Qt::Key_F7);  // Step over a plain line in the loop: one line
  EXPECT_EQ(Where(*w), u"5 5 0"_s);
  EXPECT_EQ(Vars(u"b j"_s), u"b=9 j=2"_s);

  QTest::keyClick(w.get(), Qt::Key_F10, Qt::ControlModifier);  // Continue
  EXPECT_EQ(Where(*w), u"7 7 0"_s);
  EXPECT_EQ(Vars(u"c"_s), u"c=10"_s);
  EXPECT_TRUE(Rows(w->grids()->globalGrid()).contains(u"c|    10"_s));
}

// A run is stopped by the Pause action, by the Pause key, or by closing the window (which is
// refused while the script runs).
TEST_F(WindowTest, PauseKeyActionAndCloseStopARunningLoop) {
  auto w = Open(LongLoop());
  const QList<WindowAction> rows{WindowAction::Start, WindowAction::Step, WindowAction::Edit, WindowAction::LoadScript, WindowAction::Fast, WindowAction::Pause};
  for (const char* how : {"action", "key", "close"}) {
    SCOPED_TRACE(how);
    QString whileRunning;
    bool closed = true;
    QTimer::singleShot(60, w.get(), [&] {
      whileRunning = States(*w, rows);
      if (how[0] == 'a') Trigger(*w, WindowAction::Pause);
      else if (how[0] == 'k') QTest::keyClick(w.get(), Qt::Key_Pause);
      else closed = w->close();
    });
    Trigger(*w, WindowAction::Start);
    EXPECT_EQ(whileRunning, u"V- V- V- V- VE VE"_s);
    EXPECT_EQ(States(*w, rows), u"VE VE VE VE V- V-"_s);
    const int n = GetVariableText(u"n").toInt();
    EXPECT_TRUE(n > 0 && n < 20000000) << "the run was not paused: " << n;
    EXPECT_TRUE(Engine().CurrentLine == 2 || Engine().CurrentLine == 3) << Engine().CurrentLine;
    EXPECT_EQ(Where(*w), u"%1 %1 0"_s.arg(Engine().CurrentLine));
    EXPECT_EQ(Rows(w->grids()->globalGrid()).value(0), u"n|%1"_s.arg(n, 6)) << "the views show the paused state";
    if (how[0] == 'c') EXPECT_TRUE(!closed && w->isVisible());
  }
}

TEST_F(WindowTest, GutterClicksSetBreakpointsAndMoveTheExecutionPoint) {
  auto w = Open({u"a = 1"_s, u"b = 2"_s, u""_s, u"c = 3"_s, u"d = 4"_s, u"stop"_s});
  ScriptEditor* ed = w->editor();
  Q_EMIT ed->gutterClicked(3, false);
  Q_EMIT ed->gutterClicked(2, false);   // a blank line takes no breakpoint
  Q_EMIT ed->gutterClicked(40, false);  // beyond the script
  EXPECT_EQ(ed->markedLines(ScriptEditor::BreakpointMarker), QList<int>{3});

  Trigger(*w, WindowAction::Start);  // halts before the breakpoint line
  EXPECT_EQ(Where(*w), u"3 3 0"_s);
  EXPECT_EQ(Vars(u"b c"_s), u"b=2 c="_s);

  Q_EMIT ed->gutterClicked(4, true);  // Ctrl: line 4 runs next
  EXPECT_EQ(Where(*w), u"4 4 0"_s);
  EXPECT_TRUE(ed->hasBreakpoint(3)) << "Ctrl+click keeps the breakpoint";
  Trigger(*w, WindowAction::ContinueRun);
  EXPECT_EQ(Where(*w), u"5 5 0"_s);
  EXPECT_EQ(Vars(u"c d"_s), u"c= d=4"_s) << "line 3 was skipped";

  Q_EMIT ed->gutterClicked(3, true);  // Continue does not stop on its own breakpoint line
  Trigger(*w, WindowAction::ContinueRun);
  EXPECT_EQ(Where(*w), u"5 5 0"_s);
  EXPECT_EQ(Vars(u"c"_s), u"c=3"_s);

  Q_EMIT ed->gutterClicked(3, false);  // a second click removes it
  EXPECT_FALSE(ed->hasBreakpoint(3));
  Trigger(*w, WindowAction::Edit);  // edit mode ignores the gutter
  Q_EMIT ed->gutterClicked(1, false);
  Q_EMIT ed->gutterClicked(4, true);
  EXPECT_FALSE(ed->hasBreakpoint(1));
  EXPECT_EQ(Engine().CurrentLine, 5);
}

TEST_F(WindowTest, ErrorStopShowsABoxAndHaltsOnTheFailingLine) {
  expectedBoxes = 2;
  auto w = Open({u"x = 1"_s, u"FOR i = 1,2"_s, u"  y = x + undefined_name"_s, u"z = 3"_s, u"stop"_s});
  Trigger(*w, WindowAction::Start);
  ASSERT_EQ(boxes.size(), 1);
  EXPECT_EQ(behindBoxes.value(0), u"2|Line=2"_s) << "marker and status bar reach the failing line before the box";
  EXPECT_TRUE(boxes[0].startsWith(u"%1::"_s.arg(int(QMessageBox::Critical)))) << boxes[0].toStdString();
  EXPECT_TRUE(boxes[0].endsWith(MessageText(2, {2}).replace(u'\r', u'\n'))) << boxes[0].toStdString();
  EXPECT_EQ(Where(*w), u"2 2 0"_s);
  EXPECT_TRUE(Engine().ErrorText.isEmpty());
  EXPECT_EQ(Vars(u"z"_s), u"z="_s);
  EXPECT_EQ(Rows(w->grids()->globalGrid()).value(1), u"x|     1"_s);
  EXPECT_TRUE(Panels(*w).startsWith(u"Line=2|Processing Level=1|"_s)) << Panels(*w).toStdString();
  EXPECT_EQ(States(*w, {WindowAction::Start, WindowAction::Pause}), u"VE V-"_s);

  // Moved with Ctrl to a line outside the open loop: Continue refuses with message 52.
  Q_EMIT w->editor()->gutterClicked(3, true);
  Trigger(*w, WindowAction::ContinueRun);
  ASSERT_EQ(boxes.size(), 2);
  EXPECT_TRUE(boxes[1].contains(u":"_s + MessageText(52, {0}))) << boxes[1].toStdString();
  EXPECT_EQ(Vars(u"z"_s), u"z="_s) << "nothing ran";
  EXPECT_EQ(Engine().RunMode, rmIdle);
}

TEST_F(WindowTest, EditAndWorkModes) {
  auto w = Open({u"a = 1"_s, u"b = 2"_s, u"c = 3"_s, u"stop"_s});
  ScriptEditor* ed = w->editor();
  const QList<WindowAction> rows{WindowAction::Edit, WindowAction::Start, WindowAction::ContinueRun, WindowAction::Step, WindowAction::Save,
                         WindowAction::Pause, WindowAction::Work, WindowAction::CancelChanges};
  const QString work = u"VE VE VE VE VE V- -- --"_s;
  EXPECT_EQ(States(*w, rows), work);
  EXPECT_TRUE(ed->isReadOnly() && !w->editMode());

  QTest::keyClick(w.get(), Qt::Key_F4);  // Edit
  EXPECT_EQ(States(*w, rows), u"-- -- -- -- -- -- VE VE"_s);
  EXPECT_FALSE(w->action(WindowAction::Fast)->isVisible());
  EXPECT_TRUE(!ed->isReadOnly() && w->editMode());

  ed->setCursorPosition(0, 5);
  QTest::keyClicks(ed, u"0"_s);  // typed text becomes the script with Work
  QTest::keyClick(w.get(), Qt::Key_F5);
  EXPECT_EQ(States(*w, rows), work);
  EXPECT_TRUE(ed->isReadOnly() && !w->editMode() && w->scriptChanged());
  EXPECT_EQ(Engine().ScriptLines, (QStringList{u"a = 10"_s, u"b = 2"_s, u"c = 3"_s, u"stop"_s}));
  Trigger(*w, WindowAction::Start);
  EXPECT_EQ(Vars(u"a"_s), u"a=10"_s);

  const QStringList before = Engine().ScriptLines;  // Cancel drops the edit
  Trigger(*w, WindowAction::Edit);
  ed->setCursorPosition(1, 0);
  QTest::keyClicks(ed, u"zz"_s);
  Trigger(*w, WindowAction::CancelChanges);
  EXPECT_EQ(States(*w, rows), work);
  EXPECT_EQ(Engine().ScriptLines, before);
  EXPECT_EQ(ed->lines(), before);
  EXPECT_FALSE(w->scriptChanged());

  Trigger(*w, WindowAction::NewScript);  // one empty line: Step only
  EXPECT_TRUE(w->editMode());
  Trigger(*w, WindowAction::Work);
  EXPECT_EQ(Engine().ScriptLines, QStringList{QString()});
  EXPECT_EQ(States(*w, {WindowAction::Start, WindowAction::ContinueRun, WindowAction::Step}), u"V- V- VE"_s);
}

TEST_F(WindowTest, FastShowsAndSwitchesTheDisplayOfARun) {
  auto w = Open(LongLoop());
  QAction* fast = w->action(WindowAction::Fast);
  bool checkedInStart = false, checkedInContinue = true, fastAfterClick = true;
  QTimer::singleShot(40, w.get(), [&] {
    checkedInStart = fast->isChecked();
    fast->trigger();  // the user switches to line-by-line display
    fastAfterClick = RunControl().FastDisplay;
    Trigger(*w, WindowAction::Pause);
  });
  Trigger(*w, WindowAction::Start);
  EXPECT_TRUE(checkedInStart) << "Start runs with fast display";
  EXPECT_FALSE(fastAfterClick);
  RunControl().FastDisplay = true;
  QTimer::singleShot(40, w.get(), [&] {
    checkedInContinue = fast->isChecked();
    Trigger(*w, WindowAction::Pause);
  });
  Trigger(*w, WindowAction::ContinueRun);
  EXPECT_FALSE(checkedInContinue) << "Continue runs with line-by-line display";
}

TEST_F(WindowTest, MarksSurviveWorkAndCancel) {
  auto w = Open({u"a = 1"_s, u"b = 2"_s, u"c = 3"_s, u"d = 4"_s, u"stop"_s});
  ScriptEditor* ed = w->editor();
  for (const bool cancel : {false, true}) {
    SCOPED_TRACE(cancel ? "Cancel" : "Work");
    Q_EMIT ed->gutterClicked(1, true);
    if (!ed->hasBreakpoint(3)) Q_EMIT ed->gutterClicked(3, false);
    Trigger(*w, WindowAction::Edit);
    ed->setCursorPosition(0, 5);
    QTest::keyClicks(ed, u"1"_s);
    Trigger(*w, cancel ? WindowAction::CancelChanges : WindowAction::Work);
    EXPECT_TRUE(ed->hasBreakpoint(3));
    EXPECT_EQ(Where(*w), u"1 1 0"_s);
  }
  Trigger(*w, WindowAction::Start);
  EXPECT_EQ(Engine().CurrentLine, 3) << "the kept breakpoint halts the run";
}

TEST_F(WindowTest, FunctionBreakpointShowsLocals) {
  auto w = Open({u"t = Twice(21)"_s, u"stop"_s, u"function Twice(_v)"_s, u"  _w = _v * 2"_s, u"  return _w"_s});
  Q_EMIT w->editor()->gutterClicked(4, false);
  Trigger(*w, WindowAction::Start);  // the nested run of the function halts at the breakpoint
  EXPECT_EQ(Where(*w), u"4 4 0"_s);
  EXPECT_TRUE(Panels(*w).startsWith(u"Line=4|Processing Level=1|Function Level=1|"_s)) << Panels(*w).toStdString();
  EXPECT_EQ(Rows(w->grids()->localGrid()), (QStringList{u"1|_v|    21"_s, u"1|_w|    42"_s}));
  Trigger(*w, WindowAction::ContinueRun);
  EXPECT_EQ(Where(*w), u"1 1 0"_s);
  EXPECT_EQ(Vars(u"t"_s), u"t=42"_s);
  EXPECT_EQ(Rows(w->grids()->localGrid()), QStringList{u"||"_s});
}

TEST_F(WindowTest, UnattendedRunClosesAfterACleanEnd) {
  QElapsedTimer clock;
  clock.start();
  auto w = Open({u"x = 1"_s, u"y = 2"_s, u"stop"_s}, {u"/R"_s});
  EXPECT_TRUE(GetVariableText(u"y").isEmpty()) << "the run waits for the timer";
  QTRY_VERIFY_WITH_TIMEOUT(GetVariableText(u"y") == u"2"_s, 2000);
  EXPECT_GE(clock.elapsed(), 400);
  EXPECT_TRUE(w->isVisible());
  QTRY_VERIFY_WITH_TIMEOUT(!w->isVisible(), 4000);
  EXPECT_GE(clock.elapsed(), 2300);
}

TEST_F(WindowTest, UnattendedRunEndingWithAnErrorStaysOpen) {
  expectedBoxes = 1;
  auto w = Open({u"x = 1"_s, u"y = x + nothing"_s, u"stop"_s}, {u"/R"_s});
  QTRY_COMPARE_WITH_TIMEOUT(boxes.size(), 1, 2000);
  QTest::qWait(2300);
  EXPECT_TRUE(w->isVisible());
  EXPECT_EQ(Engine().CurrentLine, 1);
}

TEST_F(WindowTest, LoadShowsIncludedLines) {
  WriteScript(u"util.txt"_s, {u"u = 7"_s, u"v = u + 1"_s});
  auto w = Open({u"a = 1"_s, u"stop"_s});
  w->loadScript(WriteScript(u"main.txt"_s, {u"#INCLUDE util.txt"_s, u"x = v * 2"_s, u"stop"_s}));
  EXPECT_EQ(w->editor()->lines(), (QStringList{u"#INCLUDE util.txt"_s, u"u = 7"_s, u"v = u + 1"_s,
                                                IncludeEndLine(u"UTIL.TXT"_s), u"x = v * 2"_s, u"stop"_s}));
  EXPECT_EQ(w->editor()->lines(), Engine().ScriptLines);
  EXPECT_EQ(Where(*w), u"0 0 0"_s);
  Trigger(*w, WindowAction::Start);
  EXPECT_EQ(Vars(u"x"_s), u"x=16"_s);
}

}  // namespace

int main(int argc, char** argv) {
  QTemporaryDir home;
  qputenv("TRESSALY_HOME", home.path().toUtf8());
  qputenv("LANG", "C");
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  RegisterUnits();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

namespace {

TEST_F(WindowTest, LanguageSwitchRecaptionsActionsGridsAndCaption) {
  auto w = Open({u"x = 1"_s, u"stop"_s});
  SetLanguageIndex(1);
  w->ApplyInterfaceLanguage();
  EXPECT_EQ(w->action(WindowAction::Start)->text(), CatalogueText(301, 1));
  EXPECT_EQ(w->action(WindowAction::Start)->toolTip(), CatalogueText(302, 1));
  EXPECT_EQ(w->action(WindowAction::Save)->text(), CatalogueText(323, 1));
  EXPECT_TRUE(w->windowTitle().startsWith(CatalogueText(1, 1) + u"   "_s));
  EXPECT_EQ(w->grids()->globalGrid()->horizontalHeaderItem(0)->text(), CatalogueText(88, 1));
  SetLanguageIndex(0);
  w->ApplyInterfaceLanguage();
  EXPECT_EQ(w->action(WindowAction::Start)->text(), u"Start"_s);
}

TEST_F(WindowTest, SettingsAreWrittenAtCloseAndReadAtTheNextStart) {
  QFile::remove(ProgramFolder() + u"tressaly.ini"_s);
  {
    auto w = Open({u"x = 1"_s, u"stop"_s});
    EXPECT_EQ(w->settings().width, 800);  // defaults without a settings file
    w->setGeometry(40, 50, 700, 500);
    EXPECT_TRUE(w->close());
  }
  const WindowSettings stored = LoadWindowSettings(ProgramFolder() + u"tressaly.ini"_s);
  EXPECT_EQ(stored.width, 700);
  EXPECT_EQ(stored.state, WindowState::Normal);
  auto again = Open({u"x = 1"_s, u"stop"_s});
  EXPECT_EQ(again->settings().height, stored.height);
  EXPECT_EQ(again->width(), 700);
}

}  // namespace

namespace {

TEST_F(WindowTest, HelpTextsForFunctionsWordsAndKeywordSearch) {
  auto w = Open({u"x = 1"_s, u"stop"_s});
  EXPECT_TRUE(WordHelpText(u"Excel_Open"_s).startsWith(MessageText(41) + u'\r'));
  EXPECT_TRUE(WordHelpText(u"FTP_Connect"_s).startsWith(MessageText(44) + u'\r'));
  EXPECT_EQ(WordHelpText(u"pi"_s), MessageText(37) + u"\rPI = 3.14159265358979323846"_s);
  EXPECT_TRUE(WordHelpText(u"nothing_here"_s).isEmpty());
  const QStringList upper = FunctionHelpLines(u"UpperCase"_s);
  ASSERT_GE(upper.size(), 3);
  EXPECT_EQ(upper[0], MessageText(32));
  EXPECT_TRUE(upper[1].startsWith(u"UpperCase("_s));
  EXPECT_EQ(upper[2], MessageText(86) + u"Str_UpperCase"_s);
  const QString found = KeywordSearchLines(u"array length"_s).join(u'\n');
  EXPECT_TRUE(found.contains(u"Array_Length("_s));
  EXPECT_FALSE(found.contains(u"UpperCase("_s));
}

TEST_F(WindowTest, CategoryMenusListIntroductionFirstThenAlphabetically) {
  auto w = Open({u"x = 1"_s, u"stop"_s});
  QMenu* math = nullptr;
  for (QAction* a : w->helpMenu()->actions())
    if (a->menu() && a->text() == MessageText(231)) math = a->menu();
  ASSERT_TRUE(math);
  QStringList captions;
  for (QAction* a : math->actions()) captions << a->text().toLower();
  QStringList sorted = captions;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(captions, sorted);
  EXPECT_TRUE(captions.contains(u"sqrt(x:float) synonym:  math_square_root"_s));
}

TEST_F(WindowTest, FindReplaceAndTheSymbolKeyboard) {
  auto w = Open({u"a = 1"_s, u"b = a + a"_s, u"stop"_s});
  Trigger(*w, WindowAction::Edit);
  w->editor()->setCursorPosition(0, 0);
  Trigger(*w, WindowAction::Replace);
  auto* dialog = w->findChild<FindReplaceDialog*>();
  ASSERT_TRUE(dialog);
  dialog->searchText()->setText(u"a"_s);
  dialog->replacementText()->setText(u"z"_s);
  dialog->wholeWord()->setChecked(true);
  EXPECT_EQ(dialog->replaceAll(), 3);
  EXPECT_EQ(w->editor()->lines().mid(0, 2), (QStringList{u"z = 1"_s, u"b = z + z"_s}));
  dialog->close();
  w->editor()->setCursorPosition(0, 0);
  Trigger(*w, WindowAction::AdditionalKeyboard);
  auto* pi = w->symbolKeyboard()->findChild<QToolButton*>(u"symbol_960"_s);
  ASSERT_TRUE(pi);
  pi->click();
  EXPECT_TRUE(w->editor()->lines().first().startsWith(u"πz"_s));
  Trigger(*w, WindowAction::CancelChanges);
  EXPECT_FALSE(w->symbolKeyboard()->isVisible());
}

}  // namespace

TEST(HelpWindow, ClosingRuleAndFirstPosition) {
  const QRect window(100, 100, 200, 100);  // right edge 299, bottom 199
  EXPECT_FALSE(TForm_help::PointerFarOutside(window, {299 + 40, 150}));
  EXPECT_FALSE(TForm_help::PointerFarOutside(window, {299 + 50, 150}));
  EXPECT_TRUE(TForm_help::PointerFarOutside(window, {299 + 51, 150}));
  EXPECT_TRUE(TForm_help::PointerFarOutside(window, {150, 100 - 51}));
  EXPECT_EQ(TForm_help::FirstPosition({10, 20, 800, 600}, 600, 1920, 535), QPoint(610, 30));
  EXPECT_EQ(TForm_help::FirstPosition({1500, 20, 800, 600}, 600, 1920, 535), QPoint(1385, 30));
}

TEST_F(WindowTest, TabIndentsTheSelectedBlockAndWordHelpFindsTutorials) {
  auto w = Open({u"a = 1"_s, u"b = 2"_s, u" c = 3"_s, u"stop"_s});
  Trigger(*w, WindowAction::Edit);
  w->editor()->setSelection(0, 0, 2, 2);
  w->editor()->indentBlock(false);
  EXPECT_EQ(w->editor()->lines().mid(0, 3), (QStringList{u"  a = 1"_s, u"  b = 2"_s, u"   c = 3"_s}));
  w->editor()->setSelection(2, 0, 3, 0);  // ends at the first column: line 3 is left alone
  w->editor()->indentBlock(true);
  w->editor()->indentBlock(true);
  EXPECT_EQ(w->editor()->lines().mid(2, 2), (QStringList{u"c = 3"_s, u"stop"_s}));
  Trigger(*w, WindowAction::CancelChanges);
  ASSERT_GE(FindTutorialTopic(u"FOR"_s), 0);
  EXPECT_TRUE(WordHelpText(u"for"_s).startsWith(u"<fnt1>For\r\r<fnt1>"_s));
  EXPECT_EQ(TutorialTopics().size(), 21);
}

namespace {

QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QString WriteText(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
  file.write(bytes);
  return path;
}

// Types into the first line in edit mode and takes it over with Work: the script is changed.
void EditFirstLine(TForm_Interpretator& w) {
  Trigger(w, WindowAction::Edit);
  w.editor()->setCursorPosition(0, 5);
  QTest::keyClicks(w.editor(), u"2"_s);
  Trigger(w, WindowAction::Work);
}

// A new script or a run from the first line leaves nothing of what the views showed before.
TEST_F(WindowTest, ViewsClearWhenAScriptIsReplacedOrARunStartsAfresh) {
  auto w = Open({u"old = 1"_s, u"stop"_s});
  Trigger(*w, WindowAction::Start);
  ASSERT_EQ(Rows(w->grids()->globalGrid()).value(0), u"old|     1"_s);
  for (const bool viaNew : {false, true}) {
    if (viaNew) Trigger(*w, WindowAction::NewScript);
    else w->loadScript(WriteScript(u"loop.txt"_s, LongLoop()));
    EXPECT_EQ(Rows(w->grids()->globalGrid()) + Rows(w->grids()->localGrid()), (QStringList{u"|"_s, u"||"_s}));
    EXPECT_EQ(Panels(*w), u"||||||"_s);
    EXPECT_TRUE(GetVariableText(u"old").isEmpty()) << "the old values are gone, not only hidden";
  }
  // While a fast run goes on, the grids do not show the state before it.
  w->loadScript(ScriptsFolder() + u"loop.txt"_s);
  QTest::keyClick(w.get(), Qt::Key_F8);
  ASSERT_EQ(Rows(w->grids()->globalGrid()).value(0), u"n|     0"_s);
  QStringList duringRun;
  QTimer::singleShot(60, w.get(), [&] {
    duringRun = Rows(w->grids()->globalGrid());
    Trigger(*w, WindowAction::Pause);
  });
  Trigger(*w, WindowAction::Start);
  EXPECT_EQ(duringRun, QStringList{u"|"_s});
}

// The real Load and Save actions, the dialog accepted as it opens: it proposes the script in its
// own folder (the Scripts folder for a new one), and saving over the script asks nothing.
TEST_F(WindowTest, LoadAndSaveDialogsProposeTheCurrentScript) {
  EXPECT_EQ(ScriptDialogStart::For(QString()).folder, QDir(ScriptsFolder()).absolutePath());
  EXPECT_EQ(ScriptDialogStart::For(u"/gone/d.txt"_s).folder, QDir(ScriptsFolder()).absolutePath());
  QTemporaryDir folder;
  const QString script = WriteText(folder.filePath(u"mine.txt"_s), "a = 1\nstop\n");
  auto w = Open({u"x = 1"_s, u"stop"_s});
  w->loadScript(script);
  QStringList seen;
  const auto acceptAsProposed = [&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_TRUE(dialog);
    seen << dialog->directory().absolutePath() + u'|' + dialog->selectedFiles().join(u',');
    static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept, as its button does
  };
  onDialog = acceptAsProposed;
  Trigger(*w, WindowAction::LoadScript);
  EditFirstLine(*w);
  onDialog = acceptAsProposed;
  Trigger(*w, WindowAction::Save);
  const QString proposed = folder.path() + u'|' + script;
  EXPECT_EQ(seen, (QStringList{proposed, proposed}));
  EXPECT_TRUE(ReadBytes(script).contains("a = 12\r\n"));
  EXPECT_FALSE(w->scriptChanged());

  // A new script saved over an existing file: only after a Yes (the box closer answers No).
  expectedBoxes = 1;
  Trigger(*w, WindowAction::NewScript);
  Trigger(*w, WindowAction::Work);
  onDialog = [&](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    seen << dialog->directory().absolutePath() + u'|' + dialog->selectedFiles().join(u',');
    dialog->findChild<QLineEdit*>(u"fileNameEdit"_s)->setText(u"test"_s);  // typed by the user: test.txt
    static_cast<QDialog*>(dialog)->accept();
  };
  const QByteArray before = ReadBytes(ScriptsFolder() + u"test.txt"_s);
  Trigger(*w, WindowAction::Save);
  const QString scripts = QDir(ScriptsFolder()).absolutePath();
  EXPECT_EQ(seen.value(2), scripts + u'|' + scripts) << "a new script: the Scripts folder, no name";
  EXPECT_EQ(ReadBytes(ScriptsFolder() + u"test.txt"_s), before);
}

// A Save that cannot write keeps everything that tells the user the edits are not on disk.
TEST_F(WindowTest, FailedSaveShowsTheErrorAndKeepsTheScriptChanged) {
  expectedBoxes = 2;
  QTemporaryDir folder;
  const QString sub = folder.filePath(u"sub"_s);
  ASSERT_TRUE(QDir().mkpath(sub));
  const QString script = WriteText(sub + u"/mine.txt"_s, "a = 1\nstop\n");
  auto w = Open({u"x = 1"_s, u"stop"_s});
  w->loadScript(script);
  const QString caption = w->windowTitle();
  EditFirstLine(*w);
  onDialog = [&](QWidget* modal) {
    QDir(sub).removeRecursively();  // the folder goes while the dialog is open
    static_cast<QDialog*>(qobject_cast<QFileDialog*>(modal))->accept();
  };
  Trigger(*w, WindowAction::Save);
  ASSERT_EQ(boxes.size(), 1);
  EXPECT_TRUE(boxes[0].startsWith(u"%1::"_s.arg(int(QMessageBox::Critical))) && boxes[0].contains(script))
      << boxes[0].toStdString();
  EXPECT_EQ(w->windowTitle(), caption);
  EXPECT_TRUE(w->scriptChanged());
  EXPECT_FALSE(w->close()) << "closing still warns about the unsaved script (answered No)";
  EXPECT_TRUE(boxes.value(1).contains(MessageText(29).replace(u'\r', u'\n'))) << boxes.value(1).toStdString();
}

TEST_F(WindowTest, FontDialogOpensAtTheEditorsFont) {
  const QString ini = WriteText(ProgramFolder() + u"tressaly.ini"_s, "[Edit_Font]\r\nName=DejaVu Sans Mono\r\nSize=13\r\n");
  auto w = Open({u"x = 1"_s, u"stop"_s});
  QFont seen;
  onDialog = [&](QWidget* modal) {
    auto* dialog = qobject_cast<QFontDialog*>(modal);
    ASSERT_TRUE(dialog);
    seen = dialog->currentFont();
    dialog->reject();
  };
  Trigger(*w, WindowAction::Font);
  EXPECT_EQ(seen.family() + u' ' + QString::number(seen.pointSize()), u"DejaVu Sans Mono 13"_s);
  QFile::remove(ini);
}

// Every shown action has its own button on a tool bar (none behind an overflow arrow), and the
// grid columns are as wide as their headers and names, in Russian at 800 pixels.
TEST_F(WindowTest, RussianToolBarsAndGridHeadersFitANarrowWindow) {
  auto w = Open({u"greeting_with_a_long_name = 'x'"_s, u"stop"_s});
  SetLanguageIndex(1);
  w->ApplyInterfaceLanguage();
  w->resize(800, 600);
  const auto hiddenButtons = [&] {
    QTest::qWait(20);
    QStringList hidden;
    for (const QToolBar* bar : w->findChildren<QToolBar*>())
      for (QAction* a : bar->actions()) {
        const QWidget* button = bar->widgetForAction(a);
        if (a->isVisible() && !(button && button->isVisible() && bar->rect().contains(button->geometry())))
          hidden << a->objectName();
      }
    return hidden.join(u' ');
  };
  EXPECT_EQ(w->width(), 800);
  EXPECT_EQ(hiddenButtons(), QString()) << "work mode";
  Trigger(*w, WindowAction::Edit);
  EXPECT_EQ(hiddenButtons(), QString()) << "edit mode";
  Trigger(*w, WindowAction::CancelChanges);

  Trigger(*w, WindowAction::Start);
  for (const QTableWidget* grid : {w->grids()->globalGrid(), w->grids()->localGrid()})
    for (int c = 0; c + 1 < grid->columnCount(); ++c)
      EXPECT_GE(grid->columnWidth(c), grid->horizontalHeader()->sectionSizeHint(c)) << c;
  const QTableWidget* global = w->grids()->globalGrid();
  EXPECT_GT(global->columnWidth(0), global->fontMetrics().horizontalAdvance(u"greeting_with_a_long_name"_s));
  SetLanguageIndex(0);
}

// Closing and starting again keeps the window (its frame where it was) and its panels.
TEST_F(WindowTest, GeometryAndPanelSizesSurviveRestarts) {
  const QString path = ProgramFolder() + u"tressaly.ini"_s;
  QFile::remove(path);
  QList<WindowSettings> stored;
  for (int start = 0; start < 3; ++start) {
    auto w = Open({u"x = 1"_s, u"stop"_s});
    if (start == 0) w->resize(600, 500), w->move(30, 40);
    EXPECT_TRUE(w->close());
    stored << LoadWindowSettings(path);
  }
  EXPECT_EQ(std::tuple(stored[0].left, stored[0].top, stored[0].bottomPanelHeight), std::tuple(30, 40, 220));
  EXPECT_EQ(stored[1], stored[0]);
  EXPECT_EQ(stored[2], stored[0]);
  QFile::remove(path);
}

// A box breaks its text once for each CR LF pair and each lone CR, as the console does.
TEST_F(WindowTest, BoxesBreakLinesOnceForEachCrLfAndEachCr) {
  expectedBoxes = 1;
  auto w = Open({u"s = 'a' + Char(13) + Char(10) + 'b' + Char(13) + 'c'"_s, u"Check(s, 'x')"_s,
                 u"y = 1"_s, u"stop"_s});
  Trigger(*w, WindowAction::Start);
  ASSERT_EQ(boxes.size(), 1);
  EXPECT_EQ(boxes[0], u"%1::a\nb\nc <> x\n\n%2?"_s.arg(int(QMessageBox::Question))
                          .arg(MessageText(msg::kContinueCaption)));
  EXPECT_EQ(Vars(u"y"_s), u"y="_s) << "No stops the run";
}

// The first run puts the sample pictures where scripts find them by their bare names.
TEST_F(WindowTest, FirstRunInstallsTheSamplePictures) {
  auto w = Open({u"a = 1"_s, u"stop"_s});
  Trigger(*w, WindowAction::Start);
  for (const char* name : {"thermometer.png", "lamp_on.bmp", "valve_open.bmp"})
    EXPECT_TRUE(QFile::exists(ProgramFolder() + u"pictures/"_s + QString::fromLatin1(name))) << name;
}

}  // namespace

// Each action constant names its own action, under the object name and on the tool bar the
// table gives it.
TEST_F(WindowTest, ActionConstantsNameTheirOwnActions) {
  auto w = Open({u"x = 1"_s, u"stop"_s});
  const char* const names[] = {"A_Start",       "A_Step",           "A_StepOver", "A_Continue_run", "a_Fast",
                               "A_Pause",       "A_Load_script",    "A_New_script", "A_Edit",       "A_Work",
                               "A_Save",        "A_Cancel_changes", "A_Find",     "A_Replace",      "A_settings",
                               "A_Additional_kbd", "A_Font",        "A_Help"};
  ASSERT_EQ(std::size(names), kWindowActionCount);
  QStringList bars;
  for (std::size_t i = 0; i < kWindowActionCount; ++i) {
    const QAction* a = w->action(WindowAction(i));
    ASSERT_TRUE(a) << i;
    EXPECT_EQ(a->objectName(), QLatin1StringView(names[i]));
    QStringList barsOfAction;
    for (const QObject* o : a->associatedObjects())
      if (qobject_cast<const QToolBar*>(o)) barsOfAction << o->objectName();
    EXPECT_EQ(barsOfAction.size(), 1) << names[i];
    bars << barsOfAction.join(u',');
  }
  EXPECT_EQ(bars.mid(0, 6), QStringList(6, u"RunBar"_s));
  EXPECT_EQ(bars.mid(6, 8), QStringList(8, u"ScriptBar"_s));
  EXPECT_EQ(bars.mid(14), QStringList(4, u"ToolsBar"_s));
}

// With the external editor chosen, Edit hands the script to that program and takes back what it
// saved; without a program, or with one that is gone, a box says so and the script stays.
TEST_F(WindowTest, EditInTheExternalEditor) {
  QTemporaryDir dir;
  const QString editor = dir.filePath(u"editor.sh"_s);
  // Saves a second later, as a person would, with a new last line.
  WriteText(editor, "#!/bin/sh\nsleep 1.1\nprintf 'x = 2\\r\\ny = 3\\r\\nstop\\r\\n' > \"$1\"\n");
  QFile::setPermissions(editor, QFile::permissions(editor) | QFileDevice::ExeOwner);
  const QString ini = ProgramFolder() + u"tressaly.ini"_s;
  const auto chooseEditor = [&](const QString& program) {
    WriteText(ini, u"[MainForm]\r\nEditorKind=ekExternal\r\nExternalEditorFile=%1\r\n"_s.arg(program).toUtf8());
  };
  for (const QString& program : {QString(), dir.filePath(u"gone"_s)}) {
    chooseEditor(program);
    auto w = Open({u"x = 1"_s, u"stop"_s});
    Trigger(*w, WindowAction::Edit);
    EXPECT_EQ(Engine().ScriptLines.value(0), u"x = 1"_s);
    EXPECT_FALSE(w->editMode());
  }
  ASSERT_EQ(boxes.size(), 2);
  EXPECT_TRUE(boxes[0].endsWith(MessageText(180).replace(u'\r', u'\n'))) << boxes[0].toStdString();
  EXPECT_TRUE(boxes[1].endsWith(MessageText(170, {dir.filePath(u"gone"_s)}))) << boxes[1].toStdString();
  expectedBoxes = 2;

  chooseEditor(editor);
  auto w = Open({u"x = 1"_s, u"stop"_s});
  Trigger(*w, WindowAction::Edit);
  EXPECT_EQ(w->editor()->lines().mid(0, 3), (QStringList{u"x = 2"_s, u"y = 3"_s, u"stop"_s}));
  EXPECT_TRUE(w->scriptChanged());
  EXPECT_FALSE(w->editMode());
  QFile::remove(ini);
  w->close();  // answers the unsaved-script question (closed as No)
  expectedBoxes = 3;
}

namespace {

// BringWindowToTop(0) raises this program's own window; the help menu opens the window
// inspector, which says what it needs when there is no X display to inspect.
TEST_F(WindowTest, OwnWindowToTopAndTheWindowInspector) {
  auto w = Open({u"ok = BringWindowToTop(0)"_s, u"stop"_s});
  Trigger(*w, WindowAction::Start);
  EXPECT_EQ(Vars(u"ok"_s), u"ok=true"_s);
  QAction* open = w->findChild<QAction*>(u"A_Window_inspector"_s);
  ASSERT_NE(open, nullptr);
  EXPECT_TRUE(w->helpMenu()->actions().contains(open));
  EXPECT_EQ(open->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I));
  open->trigger();
  auto* inspector = w->findChild<InspectorWindow*>();
  ASSERT_NE(inspector, nullptr);
  EXPECT_TRUE(inspector->isVisible());
  EXPECT_EQ(inspector->shown().handle, 0u);
  const QString fields = inspector->findChild<QLabel*>()->text();
  if (XDisplayOrNull()) EXPECT_TRUE(fields.startsWith(u"Move the pointer"_s)) << fields.toStdString();
  else EXPECT_EQ(fields, NoDisplayText());
}

}  // namespace
