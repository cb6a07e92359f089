#include "automation/x11_display.h"

#include <QHash>
#include <QByteArray>
#include <utility>

#include "engine/local_texts.h"
#include "engine/messages.h"

// Xlib last: its macros (Status, Bool, None, ...) clash with Qt's names.
#include <X11/Xlib.h>

namespace {

bool g_xError = false;

// Windows vanish while we look at them: such errors are answers, not reasons to end.
int RecordXError(Display*, XErrorEvent*) {
  g_xError = true;
  return 0;
}

Display* OpenOnce() {
  static Display* display = [] {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) return static_cast<Display*>(nullptr);
    Display* d = XOpenDisplay(nullptr);
    if (d) XSetErrorHandler(RecordXError);
    return d;
  }();
  return display;
}

}  // namespace

Display* XDisplayOrNull() { return OpenOnce(); }

QString NoDisplayText() {
  const QString name = qEnvironmentVariable("DISPLAY");
  if (name.isEmpty())
    return Bilingual(u"No X display: the DISPLAY variable is not set. Window, keyboard, mouse, menu and "
                     u"clipboard functions need an X server.",
                     u"Нет дисплея X: переменная DISPLAY не задана. Функциям окон, клавиатуры, мыши, меню и "
                     u"буфера обмена нужен X-сервер.");
  return Bilingual(u"No X display: cannot connect to the X server \"%1\". Window, keyboard, mouse, menu and "
                   u"clipboard functions need an X server.",
                   u"Нет дисплея X: не удаётся подключиться к X-серверу \"%1\". Функциям окон, клавиатуры, "
                   u"мыши, меню и буфера обмена нужен X-сервер.")
      .arg(name);
}

Display* RequireXDisplay() {
  Display* d = OpenOnce();
  if (!d) RaiseScriptError(NoDisplayText());
  return d;
}

unsigned long XAtom(const char* name) {
  static QHash<QByteArray, unsigned long> cache;
  const QByteArray key(name);
  auto it = cache.constFind(key);
  if (it != cache.constEnd()) return *it;
  const unsigned long atom = XInternAtom(OpenOnce(), name, False);
  cache.insert(key, atom);
  return atom;
}

XWindow XRoot() { return DefaultRootWindow(OpenOnce()); }

bool TakeXError() {
  XSync(OpenOnce(), False);
  return std::exchange(g_xError, false);
}
