// Editing the script in another program: a copy in "$$$1.tmp" in the Scripts folder is opened
// in the chosen editor, and read back when the editor has changed it.
#pragma once

#include <QString>
#include <QStringList>

struct ExternalEdit {
  enum Outcome { NoEditorChosen, EditorMissing, Unchanged, Changed };
  Outcome outcome = Unchanged;
  QStringList lines;  // the edited script when Changed
};

// Waits until `editorProgram` ends. `currentLine` (from 0) is where editors that take a line
// number open the copy.
ExternalEdit EditInExternalEditor(const QString& editorProgram, const QStringList& lines,
                                  int currentLine);
