// The engine's number texts. Every number the engine writes goes through NumberText, so the
// "." separator and the 15-digit rule live in one place.
#pragma once

#include <QString>
#include <cmath>

// General text of a number: 15 significant digits, "." separator, no grouping, plain notation
// for decimal exponents from -3 to 15, else d.dddE[-]x; "INF" for an infinite value.
QString NumberText(double value);
// Whole numbers below 10^15 are written digit for digit and read back as themselves (negative
// zero as zero).
inline bool IsShortWholeNumber(double value) { return value == std::trunc(value) && std::fabs(value) < 1e15; }
// The same text, with the number it reads as (what ParseNumberText makes of it), found without
// reading it where that is exact.
QString NumberText(double value, double& readBack);
// The number NumberText's text of the value reads as, found without writing the text; false
// where that takes reading the text (non-finite values, magnitudes beyond 10^22 or so). The
// text of that number is the value's text again (15 digits survive a trip through a double).
bool NumberTextValue(double value, double& readBack);
// True when the text is NumberText's own text of a small whole number (its shared data, not only
// equal characters): a copy of such a text can be kept as the number instead.
bool IsTabledNumberText(const QString& text, double value);

// Reads a number written with "." as separator (optional sign and exponent; blanks at the ends
// allowed; "INF"/"NAN" accepted). Returns false, leaving value unchanged, when it does not read.
bool ParseNumberText(QStringView text, double& value);

// Reads the number text of a value (a variable's text): the engine's dot form, or the system
// form some functions write (the locale's decimal separator), which reads as the same number.
bool ParseValueNumber(QStringView text, double& value);

// Fixed-width display of reals used by array listings (widths 10, 12) and variable views (11).
QString FormatNumberWidth(int width, double value);

// The shared general-form writer: `digits` significant digits, plain notation while the
// decimal exponent X (value = 0.d1d2... * 10^X) lies in [-3, maxPlainExponent], exponent
// written with at least minExponentDigits digits.
// With `readBack`, also the number the text reads as when it can be had without reading the
// text (else NaN).
QString GeneralNumberText(double value, int digits, int maxPlainExponent, int minExponentDigits,
                          double* readBack = nullptr);
