// A small application for the automation tests: a menu bar with a submenu and a checkable
// item, a line edit, a button, a check box, a list, a combo box, a mouse pad and two nested native child
// windows with classes of their own. It reports on stdout, one line each, what reaches it.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>

// Xlib after Qt: its macros clash with Qt's names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

void Report(const QString& line) {
  std::printf("%s\n", line.toUtf8().constData());
  std::fflush(stdout);
}

// A pad that reports presses and double clicks with their screen position.
class MousePad : public QWidget {
 public:
  MousePad() {
    setMinimumSize(200, 80);
    setAutoFillBackground(true);
    setPalette(QPalette(Qt::darkCyan));
  }

 protected:
  void mousePressEvent(QMouseEvent* e) override { ReportAt(u"press", e); }
  void mouseDoubleClickEvent(QMouseEvent* e) override { ReportAt(u"double", e); }

 private:
  void ReportAt(QStringView what, QMouseEvent* e) {
    const QPoint p = e->globalPosition().toPoint();
    Report(QStringLiteral("mouse %1 %2 %3").arg(what).arg(p.x()).arg(p.y()));
  }
};

// Gives a native child window its own WM_CLASS and name, as other toolkits' controls have.
void NameNativeWindow(QWidget* widget, const char* className, const char* title) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return;
  XClassHint hint{const_cast<char*>(className), const_cast<char*>(className)};
  XSetClassHint(display, widget->winId(), &hint);
  XStoreName(display, widget->winId(), title);
  XChangeProperty(display, widget->winId(), XInternAtom(display, "_NET_WM_NAME", False),
                  XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(title), int(qstrlen(title)));
  XCloseDisplay(display);
}

// Where the controls lie inside the client area (for clicks computed by the tests), then the
// window id: the tests start once this line is out.
void ReportReady(QWidget& window, QLayout* layout, std::initializer_list<std::pair<const char*, QWidget*>> placed) {
  layout->activate();
  for (const auto& [name, widget] : placed) {
    const QPoint at = widget->mapTo(&window, QPoint(0, 0));
    Report(QStringLiteral("layout %1 %2 %3 %4 %5").arg(name).arg(at.x()).arg(at.y()).arg(widget->width()).arg(widget->height()));
  }
  Report(QStringLiteral("ready %1").arg(window.winId()));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
  QApplication app(argc, argv);
  app.setApplicationName(QStringLiteral("TressalyProbe"));
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("Tressaly Probe Window"));

  QMenu* file = window.menuBar()->addMenu(QStringLiteral("&File"));
  QObject::connect(file->addAction(QStringLiteral("&Open")), &QAction::triggered, [] { Report("action Open"); });
  QMenu* options = file->addMenu(QStringLiteral("O&ptions"));
  QAction* wrap = options->addAction(QStringLiteral("&Wrap lines"));
  wrap->setCheckable(true);
  wrap->setChecked(true);
  QObject::connect(wrap, &QAction::toggled, [](bool on) { Report(QStringLiteral("wrap %1").arg(on)); });
  QObject::connect(file->addAction(QStringLiteral("E&xit")), &QAction::triggered, &app, &QApplication::quit);

  auto* central = new QWidget;
  auto* layout = new QVBoxLayout(central);
  auto* edit = new QLineEdit;
  edit->setAccessibleName(QStringLiteral("Name"));
  QObject::connect(edit, &QLineEdit::textChanged, [](const QString& t) { Report(QStringLiteral("edit ") + t); });
  auto* button = new QPushButton(QStringLiteral("Apply"));
  QObject::connect(button, &QPushButton::clicked, [] { Report("button Apply"); });
  auto* check = new QCheckBox(QStringLiteral("Verbose"));
  QObject::connect(check, &QCheckBox::toggled, [](bool on) { Report(QStringLiteral("check %1").arg(on)); });
  auto* list = new QListWidget;
  list->addItems({QStringLiteral("alpha"), QStringLiteral("beta"), QStringLiteral("gamma")});
  list->setMaximumHeight(70);
  QObject::connect(list, &QListWidget::currentRowChanged, [](int row) { Report(QStringLiteral("row %1").arg(row)); });
  auto* combo = new QComboBox;
  combo->addItems({QStringLiteral("red"), QStringLiteral("green"), QStringLiteral("blue"), QStringLiteral("white")});
  QObject::connect(combo, &QComboBox::currentIndexChanged, [](int index) { Report(QStringLiteral("combo %1").arg(index)); });
  auto* pad = new MousePad;
  for (QWidget* w : std::initializer_list<QWidget*>{edit, button, check, list, combo, pad})
    layout->addWidget(w);
  layout->addSpacing(50);  // room for the native panel below
  window.setCentralWidget(central);
  window.resize(360, 460);
  // Direct children of the main window, so that each is one level below the one above.
  auto* panel = new QWidget(&window);
  panel->setGeometry(10, 405, 120, 40);
  auto* inner = new QWidget(panel);
  inner->setGeometry(5, 5, 60, 20);

  panel->setAttribute(Qt::WA_NativeWindow);
  inner->setAttribute(Qt::WA_NativeWindow);
  window.show();
  edit->setFocus();

  QObject::connect(QApplication::clipboard(), &QClipboard::dataChanged,
                   [] { Report(QStringLiteral("clipboard ") + QApplication::clipboard()->text()); });
  QApplication::clipboard()->setText(QStringLiteral("from probe"));
  // Qt names its native windows as it shows them; ours are named once that is done.
  QTimer::singleShot(300, [&] {
    NameNativeWindow(panel, "ProbePanel", "Outer panel");
    NameNativeWindow(inner, "ProbeInner", "Inner panel");
    ReportReady(window, layout, {{"button", button}, {"pad", pad}, {"check", check}});
  });
  return app.exec();
}

