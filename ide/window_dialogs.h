// The dialogs of the window: the input box, the text window ("FormMemo", its place kept in the
// settings file), the message box with the button sets of MessageBoxStyle, the menu window, the
// save dialog and the password box. Each is modal over `parent`.
#pragma once

#include <QPointer>
#include <QWidget>

#include "unit_support/dialog_service.h"

class WindowDialogs : public DialogService {
 public:
  explicit WindowDialogs(QWidget* parent) : parent_(parent) {}

  bool InputLine(const QString& prompt, const QString& defaultText, QString& text) override;
  QString InputText(const QString& prompt, const QString& defaultText) override;
  MessageButton ShowMessage(const QString& text, const QString& caption, int style) override;
  int ChooseLine(const QString& prompt, const QStringList& lines, int selected) override;
  QString SaveFileName(const QString& proposedName) override;
  bool Password(const QString& prompt, QString& password) override;
  void Highlight(const QRect& rect, int blinkCount) override;

 private:
  QPointer<QWidget> parent_;
};
