// Bilingual texts for the few errors the catalogue has no entry for.
#pragma once

#include <QString>
#include <QStringList>

enum class LocalTextId {
  BlockStackFull,        // loops, conditions and calls nested deeper than the block stack
  FunctionNotAvailable,  // %1: a described function this version does not carry out yet
  UnitNotAvailable,      // %1: the function, %2: its unit (a unit not built yet)
  IntegerOutOfRange,     // %1: the value, %2: the array (an int element cannot hold it)
  NestingTooDeep,        // calls and brackets inside one another deeper than evaluation allows
};

QString LocalText(LocalTextId id);
// A text that has no catalogue entry, in the current interface language.
QString Bilingual(QStringView english, QStringView russian);

// The text with %1, %2 … filled in.
QString LocalText(LocalTextId id, const QStringList& args);
