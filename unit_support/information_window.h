// The information window a script builds: a row of buttons and check boxes above a text. It
// stays open while the script runs on; a click on a control is handed to the one who showed it.
// The window and console mode each install their own; the default shows nothing.
#pragma once

#include <QList>
#include <QRect>
#include <QString>
#include <functional>

struct InformationControl {
  enum class Kind { Button, CheckBox };
  Kind kind = Kind::Button;
  QString caption;
  bool checked = false;  // check boxes
};

struct InformationContent {
  QString text;  // lines end with CR, CR LF or LF
  QList<InformationControl> controls;
  int fontSize = 0;  // points; 0 keeps the size of the previous window
  QRect placement;   // all zero (QRect()): the window sizes itself to its text and sits in the
                     // bottom-right corner of the screen's work area
};

class InformationWindow {
 public:
  virtual ~InformationWindow() = default;

  // Shows `content` anew (the previous controls go). `clicked` hears the index of a control
  // the user clicks, a check box already toggled.
  virtual void Show(const InformationContent& content, std::function<void(int control)> clicked) {}
  // Hides the window, keeping what it shows (a run started from the first line hides it).
  virtual void Hide() {}
  virtual bool IsShown() const { return false; }
  // Enables or disables every control of the row (while a button's command runs).
  virtual void SetControlsEnabled(bool enabled) {}
};

InformationWindow& InfoWindow();
// Installs an information window (not owned); nullptr restores the default one.
void SetInformationWindow(InformationWindow* window);
