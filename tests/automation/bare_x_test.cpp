// The unit on an X server without a window manager (run under xvfb-run): client windows found
// by their WM_STATE, rectangles without a frame, placement by the unit itself, the highlight
// of a FindWindow with a blink count, the pointer moved and the cursor shape stored.
#include <QRect>

#include "../engine/script_runner.h"
#include "app/unit_list.h"
#include "unit_support/dialog_service.h"

// Xlib after Qt: its macros clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace Qt::Literals::StringLiterals;

namespace {

struct RecordingDialogs : DialogService {
  QRect rect;
  int blinks = 0;
  void Highlight(const QRect& r, int count) override {
    rect = r;
    blinks = count;
  }
};

class BareXTest : public ScriptTest {
 protected:
  void SetUp() override {
    display_ = XOpenDisplay(nullptr);
    ASSERT_NE(display_, nullptr) << "run under xvfb-run";
    RegisterUnits();
    ScriptTest::SetUp();
    SetDialogService(&dialogs_);
    window_ = MakeWindow(DefaultRootWindow(display_), {30, 40, 200, 100}, "BareClass", "Bare window");
    child_ = MakeWindow(window_, {10, 10, 50, 20}, "BareChild", "Inner");
    // What a window manager would have written: the client is in the normal state.
    const long state[2] = {NormalState, 0};
    const Atom wmState = XInternAtom(display_, "WM_STATE", False);
    XChangeProperty(display_, window_, wmState, wmState, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(state), 2);
    XSync(display_, False);
  }
  void TearDown() override {
    SetDialogService(nullptr);
    if (display_) {
      XDestroyWindow(display_, window_);
      XCloseDisplay(display_);
    }
    ScriptTest::TearDown();
  }
  Window MakeWindow(Window parent, QRect r, const char* className, const char* title) {
    const Window w = XCreateSimpleWindow(display_, parent, r.x(), r.y(), unsigned(r.width()), unsigned(r.height()), 0, 0, 0);
    XClassHint hint{const_cast<char*>(className), const_cast<char*>(className)};
    XSetClassHint(display_, w, &hint);
    XStoreName(display_, w, title);
    XMapWindow(display_, w);
    return w;
  }
  QString Number(const QString& name) { return Cell(name).trimmed(); }

  Display* display_ = nullptr;
  Window window_ = 0, child_ = 0;
  RecordingDialogs dialogs_;
};

TEST_F(BareXTest, FindsClientWindowsAndHighlightsTheFoundOne) {
  ASSERT_EQ(Run({u"h = FindWindow('BareClass', 0, 0, 3)"_s, u"t = GetWindowText(h)"_s,
                 u"c = FindWindow('\"Bare window\"BareClass/BareChild')"_s, u"r = GetWindowRect(c)"_s,
                 u"frame = GetWindowRect(h)"_s, u"inside = GetWindowClientRect(h)"_s}),
            QString());
  EXPECT_EQ(Number(u"h"_s), QString::number(window_));
  EXPECT_EQ(Cell(u"t"_s), u"●Bare window●"_s);
  EXPECT_EQ(Number(u"c"_s), QString::number(child_));
  EXPECT_EQ(dialogs_.rect, QRect(30, 40, 200, 100));
  EXPECT_EQ(dialogs_.blinks, 3);
  EXPECT_EQ(Cell(u"r[]"_s), u"(40,50,50,20)"_s);
  // No window manager, no frame: both rectangles are the window's.
  EXPECT_EQ(Cell(u"frame[]"_s), u"(30,40,200,100)"_s);
  EXPECT_EQ(Cell(u"inside[]"_s), u"(30,40,200,100)"_s);
}

TEST_F(BareXTest, PlacesWindowsAndMovesThePointer) {
  ASSERT_EQ(Run({u"h = FindWindow('BareClass')"_s, u"SetWindowPos(h, HWND_TOP, 5, 6, 150, 80, 0)"_s,
                 u"r = GetWindowRect(h)"_s, u"SetWindowPos(h, HWND_TOP, 90, 90, 10, 10)"_s, u"kept = GetWindowRect(h)"_s,
                 u"Mouse(MOUSE_MOVE, 100, 120)"_s, u"ok = BringWindowToTop(h)"_s}),
            QString());
  EXPECT_EQ(Cell(u"r[]"_s), u"(5,6,150,80)"_s);
  EXPECT_EQ(Cell(u"kept[]"_s), u"(5,6,150,80)"_s) << "two arguments neither move nor size";
  Window root = 0, child = 0;
  int x = 0, y = 0, wx = 0, wy = 0;
  unsigned int mask = 0;
  XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &x, &y, &wx, &wy, &mask);
  EXPECT_EQ(QPoint(x, y), QPoint(100, 120));
  EXPECT_FALSE(Cell(u"MouseCursor"_s).isEmpty());
  EXPECT_EQ(Cell(u"ok"_s), u"<true>"_s);
}

TEST_F(BareXTest, GoneWindowsGiveEmptyAnswers) {
  ASSERT_EQ(Run({u"t = GetWindowText(99999999)"_s, u"r = GetWindowRect(99999999)"_s,
                 u"p = PostMessage(99999999, WM_CLOSE)"_s, u"s = SendMessage(99999999, WM_SETTEXT, 0, 'x')"_s,
                 u"m = GetWindowMenuHandle(99999999)"_s, u"none = FindWindow('NoSuchClass')"_s}),
            QString());
  EXPECT_EQ(Cell(u"t"_s), u"●●"_s);
  EXPECT_EQ(Cell(u"r[]"_s), u"(0,0,0,0)"_s);
  EXPECT_EQ(Cell(u"p"_s), u"<false>"_s);
  EXPECT_EQ(Number(u"s"_s), u"0"_s);
  EXPECT_EQ(Number(u"m"_s), u"0"_s);
  EXPECT_EQ(Number(u"none"_s), u"0"_s);
}

}  // namespace
