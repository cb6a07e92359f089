// The main window under a real window manager: its own X server (Xvfb) with openbox, so the
// window has a title bar and borders, as on a user's desktop. Skipped when either program is
// missing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>

#include "engine/program_folder.h"
#include "functions/described_unit.h"
#include "ide/main_window.h"
#include "ide/variable_grids.h"
#include "ide/window_settings.h"

using namespace Qt::Literals::StringLiterals;

// True once a window manager runs on the display (defined last: Xlib's macros clash with Qt).
bool WaitForWindowManager(const QByteArray& display);

namespace {

// Starts the X server and the window manager for the whole run, then the application on them.
class DesktopEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    const QString xvfb = QStandardPaths::findExecutable(u"Xvfb"_s);
    const QString openbox = QStandardPaths::findExecutable(u"openbox"_s);
    if (xvfb.isEmpty() || openbox.isEmpty()) {
      missing_ = u"Xvfb or openbox is not installed"_s;
      return;
    }
    // -displayfd 1: the server picks a free display and writes its number to stdout.
    server_.start(xvfb, {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s, u"1280x900x24"_s, u"-nolisten"_s, u"tcp"_s});
    if (!server_.waitForReadyRead(10000)) {
      missing_ = u"Xvfb did not start"_s;
      return;
    }
    const QByteArray display = ':' + server_.readLine().trimmed();
    qputenv("DISPLAY", display);
    qputenv("QT_QPA_PLATFORM", "xcb");
    manager_.start(openbox, {});
    if (!WaitForWindowManager(display)) {
      missing_ = u"openbox did not take over the display"_s;
      return;
    }
    qputenv("TRESSALY_HOME", home_.path().toUtf8());
    static int argc = 1;
    static char name[] = "window_frame_test";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QApplication>(argc, argv);
    RegisterFunctionLibrary();
  }

  void TearDown() override {
    app_.reset();
    for (QProcess* p : {&manager_, &server_}) {
      p->terminate();
      p->waitForFinished(5000);
    }
  }

  static const QString& Missing() { return missing_; }

 private:
  static inline QString missing_;
  QProcess server_;
  QProcess manager_;
  QTemporaryDir home_;
  std::unique_ptr<QApplication> app_;
};

struct Seen {
  QRect frame;
  QSize client;
  QList<int> gridSizes;
  int gridsHeight = 0;

  bool operator==(const Seen&) const = default;
};

void PrintTo(const Seen& s, std::ostream* os) {
  *os << "frame " << s.frame.x() << ',' << s.frame.y() << ' ' << s.frame.width() << 'x' << s.frame.height()
      << " client " << s.client.width() << 'x' << s.client.height() << " grids " << s.gridsHeight << " high, "
      << s.gridSizes.value(0) << '+' << s.gridSizes.value(1);
}

// Starts the window, waits for the window manager's frame around it, notes where it stands and
// closes it (which writes the settings).
Seen StartAndClose(const QString& script) {
  TForm_Interpretator w({script});
  w.show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
  EXPECT_TRUE(QTest::qWaitFor([&] { return w.frameGeometry().top() < w.geometry().top(); }, 5000))
      << "no title bar";
  QTest::qWait(100);
  const Seen seen{w.frameGeometry(), w.size(), w.grids()->sizes(), w.grids()->height()};
  EXPECT_TRUE(w.close());
  return seen;
}

TEST(WindowFrame, FirstStartShowsTheWholeFrameAndRestartsKeepIt) {
  if (!DesktopEnvironment::Missing().isEmpty()) GTEST_SKIP() << DesktopEnvironment::Missing().toStdString();
  const QString script = ScriptsFolder() + u"frame.txt"_s;
  QFile file(script);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("x = 1\nstop\n");
  file.close();
  QFile::remove(ProgramFolder() + u"tressaly.ini"_s);

  const Seen first = StartAndClose(script);
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(screen.contains(first.frame)) << "title bar and borders on the screen";
  EXPECT_EQ(first.client, QSize(MainWindowPlacement::kFirstStartWidth, MainWindowPlacement::kFirstStartHeight));
  EXPECT_LE((first.frame.center() - screen.center()).manhattanLength(), MainWindowPlacement::kFrameAllowance)
      << "centred";

  for (int start = 2; start <= 3; ++start) EXPECT_EQ(StartAndClose(script), first) << "start " << start;

  // A stored position whose title bar is above the screen is brought back.
  const QString ini = ProgramFolder() + u"tressaly.ini"_s;
  WindowSettings settings = LoadWindowSettings(ini);
  settings.left = -1, settings.top = -20, settings.width = 800, settings.height = 600;
  ASSERT_TRUE(StoreWindowSettings(ini, settings));
  const Seen corrected = StartAndClose(script);
  EXPECT_TRUE(screen.contains(corrected.frame)) << ::testing::PrintToString(corrected);
  EXPECT_EQ(corrected.client, QSize(800, 600));
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new DesktopEnvironment);
  return RUN_ALL_TESTS();
}

#include <X11/Xlib.h>

// A window manager owns the selection WM_S0 of screen 0 (ICCCM).
bool WaitForWindowManager(const QByteArray& display) {
  Display* x = XOpenDisplay(display.constData());
  if (!x) return false;
  const Atom selection = XInternAtom(x, "WM_S0", False);
  bool owned = false;
  for (int i = 0; i < 100 && !owned; ++i) {
    owned = XGetSelectionOwner(x, selection) != None;
    if (!owned) QTest::qSleep(50);
  }
  XCloseDisplay(x);
  return owned;
}
