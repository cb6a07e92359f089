#include "ide/external_editor.h"

#include <QDateTime>
#include <QFileInfo>
#include <QProcess>
#include <cmath>

#include "engine/program_folder.h"
#include "engine/script_files.h"

using namespace Qt::Literals::StringLiterals;

ExternalEdit EditInExternalEditor(const QString& editorProgram, const QStringList& lines,
                                  int currentLine) {
  if (editorProgram.isEmpty()) return {ExternalEdit::NoEditorChosen, {}};
  if (!QFileInfo::exists(editorProgram)) return {ExternalEdit::EditorMissing, {}};
  const QString copy = ScriptsFolder() + u"$$$1.tmp"_s;
  WriteTextFileAtomic(copy, lines, true);
  const QDateTime before = QFileInfo(copy).lastModified();
  QStringList arguments;
  if (QFileInfo(editorProgram).fileName() == u"notepad++.exe"_s)
    arguments << u"-alwaysOnTop"_s << u"-multiInst"_s << u"-lada"_s
              << u"-n"_s + QString::number(currentLine + 1);
  QProcess::execute(editorProgram, arguments << copy);
  // Saved at least a second later, and more than a byte-order mark.
  const QFileInfo after(copy);
  if (std::llround(before.msecsTo(after.lastModified()) / 1000.0) <= 0 || after.size() <= 3)
    return {};
  bool ok = false;
  QStringList edited = ReadScriptFile(copy, &ok);
  if (!ok) return {};
  return {ExternalEdit::Changed, std::move(edited)};
}
