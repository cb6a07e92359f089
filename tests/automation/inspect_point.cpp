// The window inspector at a screen point, for the desktop tests: the inspector window looks at
// the point, writes its FindWindow line into an editor, and everything is printed as
// "key<TAB>value" lines. Usage: automation_inspect X Y
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "ide/inspector_window.h"
#include "ide/script_editor.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 3) return 2;
  ScriptEditor editor;
  editor.setText(QStringLiteral("first line\n"));
  InspectorWindow inspector(&editor, nullptr);
  inspector.inspectAt(QPoint(std::atoi(argv[1]), std::atoi(argv[2])));
  inspector.insertIntoEditor();
  const InspectedControl& c = inspector.shown();
  auto line = [](const char* key, const QString& value) {
    std::printf("%s\t%s\n", key, QString(value).replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n")).toUtf8().constData());
  };
  line("path", c.path);
  line("class", c.className);
  line("title", c.title);
  line("role", c.role);
  line("rect", QStringLiteral("%1,%2,%3,%4").arg(c.rect.x()).arg(c.rect.y()).arg(c.rect.width()).arg(c.rect.height()));
  line("actions", c.actions.join(u','));
  line("menu", c.menuListing);
  line("editor", editor.text());
  return c.handle ? 0 : 1;
}
