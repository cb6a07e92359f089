// Small text conversions shared by the engine, the function units and the views.
#pragma once

#include <QString>

// " dddd" per hexadecimal digit: "1F" gives " 0001 1111".
QString HexToBinGroups(QStringView hexDigits);

// Base64 of the text's UTF-16LE bytes, in MIME lines of 76 characters joined by CR LF.
// Both routines leave the bytes in the engine's ByteBuffer.
QString EncodeBase64Utf16(const QString& text);
QString DecodeBase64Utf16(const QString& base64);

QString BoolText(bool value);

// The text between the first start marker and the next end marker after it; an empty marker
// means "from the beginning" / "to the end". Empty when a given marker is missing.
QString TextBetween(const QString& text, const QString& startMarker, const QString& endMarker);
// The text after the first occurrence of the marker (at most 999999 characters), or empty.
QString TextAfter(const QString& text, const QString& marker);
