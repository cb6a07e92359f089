// The system-automation unit without a desktop: window paths, the constants, the processes
// from /proc, ending a child process, and the clear error of the window functions when there
// is no X display.
#include <signal.h>
#include <unistd.h>

#include <QHash>
#include <QProcess>
#include <algorithm>

#include "../engine/script_runner.h"
#include "app/unit_list.h"
#include "automation/processes.h"
#include "automation/window_path.h"
#include "engine/constants.h"

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(WindowPath, PartsOfClassesAndQuotedTitles) {
  const auto parts = ParseWindowPath(u" Shell / \"*Report 1/2\"Edit/ /\"Exact\" "_s);
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[0].className, u"Shell"_s);
  EXPECT_FALSE(parts[0].quoted);
  EXPECT_TRUE(parts[1].quoted && parts[1].contains);
  EXPECT_EQ(parts[1].title, u"Report 1/2"_s);  // a slash inside quotes belongs to the title
  EXPECT_EQ(parts[1].className, u"Edit"_s);
  EXPECT_TRUE(parts[2].quoted && !parts[2].contains);
  EXPECT_EQ(parts[2].title, u"Exact"_s);
  EXPECT_TRUE(parts[2].className.isEmpty());
  EXPECT_TRUE(ParseWindowPath(u" / "_s).empty());
}

// A small tree: 1 (A "Main") holds 3 (B "first") and 4 (B "second"), 4 holds 5 (C "leaf");
// 2 is another top-level window of class A titled "Other Main".
TEST(WindowPath, SearchWalksOneLevelPerPart) {
  const QHash<quint64, std::vector<quint64>> children{{0, {1, 2}}, {1, {3, 4}}, {4, {5}}};
  const QHash<quint64, QString> classes{{1, u"A"_s}, {2, u"A"_s}, {3, u"B"_s}, {4, u"B"_s}, {5, u"C"_s}};
  const QHash<quint64, QString> titles{{1, u"Main"_s}, {2, u"Other Main"_s}, {3, u"first"_s},
                                       {4, u"second"_s}, {5, u"leaf"_s}};
  const WindowTree tree{[&](quint64 w) { return children.value(w); },
                        [&](quint64 w, const QString& c) { return classes.value(w).compare(c, Qt::CaseInsensitive) == 0; },
                        [&](quint64 w) { return titles.value(w); }};
  EXPECT_EQ(FindWindowByPath(tree, u"a"_s, 0, 0), 1u);
  EXPECT_EQ(FindWindowByPath(tree, u"A"_s, 0, 1), 2u);  // after window 1
  EXPECT_EQ(FindWindowByPath(tree, u"\"other main\""_s, 0, 0), 2u);
  EXPECT_EQ(FindWindowByPath(tree, u"\"*Main\"A"_s, 0, 0), 1u);
  EXPECT_EQ(FindWindowByPath(tree, u"\"*r M\"A"_s, 0, 0), 2u);
  EXPECT_EQ(FindWindowByPath(tree, u"\"*main\"A"_s, 0, 0), 0u);  // "contains" keeps the case
  EXPECT_EQ(FindWindowByPath(tree, u"\"Mai\""_s, 0, 0), 0u);      // an exact title must be whole
  EXPECT_EQ(FindWindowByPath(tree, u"A/\"second\"B/C"_s, 0, 0), 5u);
  EXPECT_EQ(FindWindowByPath(tree, u"A/B/C"_s, 0, 0), 0u);  // the first B has no C
  EXPECT_EQ(FindWindowByPath(tree, u"A/X/C"_s, 0, 0), 0u);
  EXPECT_EQ(FindWindowByPath(tree, u"C"_s, 4, 0), 5u);
}

TEST(Processes, SnapshotAndTermination) {
  const auto processes = ProcessSnapshot();
  ASSERT_FALSE(processes.empty());
  EXPECT_TRUE(std::is_sorted(processes.begin(), processes.end(), [](auto& a, auto& b) { return a.id < b.id; }));
  const qint64 self = getpid();
  const auto me = std::find_if(processes.begin(), processes.end(), [&](auto& p) { return p.id == self; });
  ASSERT_NE(me, processes.end());
  EXPECT_EQ(me->executable, u"automation_tests"_s);

  QProcess child;
  child.start(u"sleep"_s, {u"30"_s});
  ASSERT_TRUE(child.waitForStarted());
  const qint64 id = child.processId();
  EXPECT_TRUE(TerminateProcess(id));
  child.waitForFinished(2000);
  const auto after = ProcessSnapshot();
  EXPECT_TRUE(std::none_of(after.begin(), after.end(), [&](auto& p) { return p.id == id; }));
  EXPECT_FALSE(TerminateProcess(0x7FFFFFF0));
}

class OsScriptTest : public ScriptTest {
 protected:
  void SetUp() override {
    RegisterUnits();
    ScriptTest::SetUp();
  }
};

TEST_F(OsScriptTest, ConstantsHaveWin32Values) {
  EXPECT_EQ(Run({u"a = WM_CLOSE"_s, u"b = VK_RETURN"_s, u"c = LB_GETTEXTLENGTH"_s, u"d = MOUSE_DblClick"_s,
                 u"e = CB_GETCOUNT + SB_ENDSCROLL"_s, u"f = VK_F12"_s, u"g = HWND_TOPMOST"_s, u"h = MF_CHECKED"_s}),
            QString());
  EXPECT_EQ(Cell(u"a"_s).trimmed(), u"16"_s);
  EXPECT_EQ(Cell(u"b"_s).trimmed(), u"13"_s);
  EXPECT_EQ(Cell(u"c"_s).trimmed(), u"394"_s);
  EXPECT_EQ(Cell(u"d"_s).trimmed(), u"65536"_s);
  EXPECT_EQ(Cell(u"e"_s).trimmed(), u"334"_s);
  EXPECT_EQ(Cell(u"f"_s).trimmed(), u"123"_s);
  EXPECT_EQ(Cell(u"g"_s).trimmed(), u"-1"_s);
  EXPECT_EQ(Cell(u"h"_s).trimmed(), u"8"_s);
  const QStringList& table = ConstantsTable();
  const auto first = std::find_if(table.begin(), table.end(), [](const QString& l) { return l.startsWith(u"WM_SETFOCUS "_s); });
  ASSERT_NE(first, table.end());
  const auto last = std::find_if(table.begin(), table.end(), [](const QString& l) { return l.startsWith(u"SB_ENDSCROLL "_s); });
  EXPECT_EQ(last - first + 1, 229);
}

TEST_F(OsScriptTest, WithoutDisplayWindowFunctionsReportIt) {
  const QByteArray display = qgetenv("DISPLAY");
  qunsetenv("DISPLAY");  // the connection is opened on first use, and never here
  for (const QString& line : {u"h = FindWindow('x')"_s, u"Mouse(MOUSE_LEFTDOWN)"_s, u"t = GetClipboardText()"_s,
                              u"SendHotKey(1, 0, 65)"_s, u"m = GetWindowMenuHandle(1)"_s})
    EXPECT_TRUE(Run({line}).startsWith(u"No X display: the DISPLAY variable is not set."_s)) << line.toStdString();
  EXPECT_EQ(Run({u"p = Processes_List('automation_tests')"_s, u"n = p[1,1]"_s}), QString());
  EXPECT_EQ(Cell(u"n"_s), u"●%1●"_s.arg(getpid()));
  if (!display.isEmpty()) qputenv("DISPLAY", display);
}

TEST_F(OsScriptTest, OutOfRangeArgumentsAreErrors) {
  EXPECT_TRUE(Run({u"SendHotKey(1, 0, 256)"_s}).contains(u"key code 256 is out of range"_s));
  EXPECT_TRUE(Run({u"t = GetWindowText(-5)"_s}).contains(u"must not be negative"_s));
  EXPECT_TRUE(Run({u"t = GetWindowMenuItems(4294967296)"_s}).contains(u"out of range"_s));
  EXPECT_TRUE(Run({u"ok = Process_Terminate(-1)"_s}).contains(u"must not be negative"_s));
  EXPECT_EQ(Run({u"ok = Process_Terminate(2147483000)"_s}), QString());
  EXPECT_EQ(Cell(u"ok"_s), u"<false>"_s);
}

}  // namespace
