// Info_form: the script describes a window of buttons and check boxes above a text in a small
// notation (one control per line: button "Caption" command, checkbox "Caption" variable), and
// the window stays open while the script runs on. Its buttons run script code, its check boxes
// flip Boolean script variables.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "unit_support/information_window.h"

class GeneralCall;

// What the notation describes: the window's content and, per control, its command (a button's
// script code, a check box's variable name).
struct InformationLayout {
  InformationContent content;
  QStringList commands;
};

// A line the notation cannot read: the catalogue message, the line and its keyword.
struct InformationLayoutError {
  int message = 0;
  QString line, keyword;
};

// Reads the notation. Check boxes are not yet bound to variables (`checked` stays false).
std::optional<InformationLayoutError> ParseInformationLayout(const QString& info, InformationLayout& layout);

// Info_form(Info[, FontSize, LeftTopWidthHeight])
void InfoForm(GeneralCall& call);
