// Numbers written through a format picture such as "0.0 °C" or "#,##0.00;(0.00);zero": the
// number shows the picture's digit placeholders, the text around them is kept.
#pragma once

#include <QString>

// The picture's sections are separated by ";": the first is for positive values, the second
// (when given) for negative ones, written without their minus sign, the third (when given) for
// zero. Within a section "0" is a digit that is always written, "#" one written only when
// needed, the first "." the decimal separator, a "," before it asks for thousands groups;
// texts in quotes and every other character are copied. A section without placeholders is
// written as it stands; an empty picture gives the engine's number text.
QString FormatNumberPicture(double value, const QString& picture, QChar decimalSeparator,
                            QChar groupSeparator);
