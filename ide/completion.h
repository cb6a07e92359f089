// The completion list of the script editor (Ctrl+Space, or after "."): its contents, the
// filtering by the text typed so far and the text inserted for a chosen item.
#pragma once

#include <QString>
#include <QStringList>

// The items, sorted without regard to case: every signature of the general, graphics, dialog,
// JavaScript, database and system-automation tables (plus a copy under the synonym where there
// is one), the signatures of the FTP and Arduino tables, the given variable names, the names
// of the constants table lines ("name = value") and the language words.
QStringList BuildCompletionList(const QStringList& variableNames, const QStringList& constantsTable);

// The same for the variables of the engine and the constants table as they are now.
QStringList CurrentCompletionList();

// The items that begin with the typed text, ignoring case, in list order.
QStringList CompletionCandidates(const QStringList& items, QStringView typed);

// The name being typed: the name characters directly before the caret.
QString CompletionPrefix(QStringView textBeforeCaret);

// The text that replaces the typed prefix when an item is chosen: the item cut before its first
// "(" unless that is its first character.
QString CompletionInsertText(const QString& item);
