// The text protocol spoken with the boards: free-form command requests, replies of the form
// "<<<" name "=" value ">>>", and the variable "sender" that names the board that answered.
#pragma once

#include <QString>

class GeneralCall;

// Command + ":" followed by each parameter given from argument `firstParam` on, each + ";".
QString CommandRequest(const GeneralCall& call, int commandArg, int firstParam);
// The text in front of the first `marker`; empty when it does not occur.
QString TextBefore(const QString& text, const QString& marker);
// The variable "sender" := `name` (created when missing).
void SetSender(const QString& name);
// A reply "<<<" name "=" value ">>>": "sender" := name, the result := value.
void TakeNamedReply(GeneralCall& call, const QString& reply);
// The decoding of bytes read from a serial line: a byte that cannot start a UTF-8 sequence is
// skipped; a lead byte and a continuation byte decode together as one character; any other
// byte is one character of the 8-bit code page.
QString DecodeSerialBytes(QByteArrayView bytes);
