// The information window of the window: a row of buttons and check boxes (left to right, no
// wrapping) above the text. It stays above the main window without taking the focus from it.
#pragma once

#include <QTimer>
#include <QWidget>

#include "unit_support/information_window.h"

class QHBoxLayout;
class QTextEdit;

class InformationForm : public QWidget, public InformationWindow {
  Q_OBJECT

 public:
  explicit InformationForm(QWidget* owner);

  void Show(const InformationContent& content, std::function<void(int control)> clicked) override;
  void Hide() override { hide(); }
  bool IsShown() const override { return isVisible(); }
  void SetControlsEnabled(bool enabled) override;

  QTextEdit* textArea() const { return text_; }

 private:
  void rebuildRow(const QList<InformationControl>& controls);
  void place(const QRect& placement);
  void moveIntoCorner();
  QRect workArea() const;

  QHBoxLayout* row_;
  QTextEdit* text_;
  std::function<void(int)> clicked_;
  QTimer cornerCheck_;
  int cornerChecks_ = 0;
};
