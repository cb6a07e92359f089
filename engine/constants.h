// Named numeric constants registered by the units at start-up, and the integer conversion
// that reads their values.
#pragma once

#include <QString>
#include <QStringList>

// "name = value" lines, in registration order.
QStringList& ConstantsTable();
// Empties the table and registers the engine's own constants (PI and π) again.
void ResetConstantsTable();
void RegisterConstant(const QString& name, const QString& valueText);

// Index of the first entry whose text begins with the name and one blank (ASCII case ignored),
// with its trimmed name and value texts; -1 and empty outputs when there is none.
int LookupConstant(QStringView name, QString* foundName = nullptr, QString* valueText = nullptr);

// Decimal or "$"-hexadecimal 32-bit integer text. Throws ScriptException on bad input.
int TextToInteger(QStringView text);

// The numeric value of a constant's value text: a real when it contains ".", else an integer.
// Throws ScriptException on bad input.
double ConstantValue(QStringView valueText);
