#include "app/console_information.h"

#include "app/console_io.h"

using namespace Qt::Literals::StringLiterals;

void ConsoleInformationWindow::Show(const InformationContent& content, std::function<void(int)>) {
  QString text = content.text;
  while (text.endsWith(u'\r') || text.endsWith(u'\n')) text.chop(1);  // one line break ends it
  if (!text.isEmpty()) WriteConsoleLine(out_, text);
  for (const InformationControl& control : content.controls) {
    if (control.kind == InformationControl::Kind::Button)
      WriteConsoleLine(out_, u'[' + control.caption + u']');
    else
      WriteConsoleLine(out_, (control.checked ? u"[x] "_s : u"[ ] "_s) + control.caption);
  }
  shown_ = true;
}
