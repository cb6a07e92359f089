// The dialogs of console mode: each shows its prompt on the output and takes its answer from a
// line of the input. The end of input cancels.
//   InputLine   the line itself
//   InputText   one line in which "\n" stands for a line break; the end of input gives the
//               default text
//   ShowMessage a result code (1 to 7) or a button's name in either language, in any case; an
//               empty line the first button, the end of input what Esc answers
//   ChooseLine  a line's number or its exact text; an empty line the preselected line (or 0),
//               the end of input 0
//   SaveFileName a file name; an empty line the proposed name
//   Password    the line, not echoed when the input is a terminal
// An answer that names no button or line is asked for again.
#pragma once

#include <cstdio>

#include "unit_support/dialog_service.h"

class ConsoleDialogs : public DialogService {
 public:
  explicit ConsoleDialogs(std::FILE* input = stdin, std::FILE* output = stdout)
      : in_(input), out_(output) {}

  bool InputLine(const QString& prompt, const QString& defaultText, QString& text) override;
  QString InputText(const QString& prompt, const QString& defaultText) override;
  MessageButton ShowMessage(const QString& text, const QString& caption, int style) override;
  int ChooseLine(const QString& prompt, const QStringList& lines, int selected) override;
  QString SaveFileName(const QString& proposedName) override;
  bool Password(const QString& prompt, QString& password) override;

 private:
  void show(const QString& text);
  bool answer(QString& line);

  std::FILE* in_;
  std::FILE* out_;
};
