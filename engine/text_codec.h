// Decoding script bytes (byte-order mark, UTF-8, or the Windows code page of the interface
// language) and encoding text in that code page.
#pragma once

#include <QByteArray>
#include <QString>

// 1251 (Cyrillic) when the interface language is Russian, else 1252 (Western).
int AnsiCodePage();

// A byte-order mark names the encoding (UTF-8, UTF-16LE, UTF-16BE) and is dropped; without
// one, valid UTF-8 is UTF-8 and anything else is in AnsiCodePage(). Every byte decodes: bytes
// the code page leaves undefined become the character with the same Latin-1 value.
QString DecodeScriptBytes(const QByteArray& bytes);

// The text in AnsiCodePage(); characters the code page lacks become "?".
QByteArray EncodeAnsi(const QString& text);
