// Field lookup in JSON-like text by plain substring search (no parsing). Failures are
// reported through ErrorText, and nothing is done while an error is pending.
#pragma once

#include <QString>
#include <QStringList>

QString JsonFieldText(const QString& text, const QString& key);
double JsonFieldNumber(const QString& text, const QString& key);
QStringList JsonObjectList(const QString& text, const QString& key);
