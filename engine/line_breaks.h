// Texts of the catalogue and of scripts break their lines with CR (files with CR LF); message
// boxes, terminals and the editor's line lists break them with LF.
#pragma once

#include <QString>

// The text with each CR LF pair and each lone CR turned into one LF.
inline QString WithLfLineBreaks(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(u'\r', u'\n');
  return text;
}
