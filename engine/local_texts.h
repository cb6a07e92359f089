// Bilingual texts for the few errors the catalogue has no entry for.
#pragma once

#include <QString>

enum class LocalTextId {
  BlockStackFull,  // loops, conditions and calls nested deeper than the block stack
};

QString LocalText(LocalTextId id);
