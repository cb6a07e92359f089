// The function description tables: one record per slot with the signature (Formula), the
// synonym, the categories and the help texts. They drive name lookup, call validation, the
// help window and completion. The data lives in resources/functions and resources/help.
#pragma once

#include <QHash>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "engine/recent_texts.h"
#include "engine/word_kinds.h"

enum fType : std::uint8_t {
  fNone, fMath, fStr, fDateTime, fFile, fArr, fDialog, fMatrix, fGraph, fMisc,
  fRegExp, fDataBase, fExcel, fOS, fFTP, fUDP, fBrowser, fArduino, fComPort,
};
using fTypes = std::uint32_t;  // one bit per fType
constexpr bool HasType(fTypes set, fType t) { return (set >> t) & 1u; }

enum TJSF_obj : std::uint8_t { jso_None, jso_Str, jso_String, jso_Date, jso_Math, jso_RE };

enum class TableId { General, Graph, Dialog, DB, OS, FTP, Arduino, JS, Topics };

struct T_FunctionDescription {
  QString ReturnType;  // JavaScript table only: "str", "bool", "float", "int"
  TJSF_obj Obj = jso_None;
  QString Formula;
  QString Sinonim;
  fTypes Types = 0;
  TableId Table = TableId::General;

  // The help text: 0 English, 1 Russian. Read from the help files the first time any is asked
  // for, not at start-up.
  std::array<QString, 2> Description() const;

  bool isEmpty() const { return Formula.isEmpty() && Sinonim.isEmpty(); }
  // The part of the formula before "(": the name calls are dispatched under (kept by the
  // tables when they are read; every call asks for it).
  QString CanonicalName() const { return Canonical.isNull() ? Formula.section(u'(', 0, 0) : Canonical; }
  QString Canonical;
};

struct DescriptionTable {
  TableId id;
  QString name;        // e.g. "GeneralFunctionTable"
  TWordKind kind;      // word kind of its calls
  std::vector<T_FunctionDescription> entries;
  QHash<QString, int> lookup;  // lower-cased name -> FindFunctionDescription's answer
  mutable RecentByText<int> recent;  // its answers for the names met last, as they were written
};

const DescriptionTable& Table(TableId id);
// The tables of the eight modules, in the order of the help features: general, JavaScript,
// graphics, dialog, database, system automation, FTP, Arduino.
const std::array<TableId, 8>& HelpTableOrder();

// Slot index of the name, SynonymMatch(slot) when it matched through the synonym, or -1.
int FindFunctionDescription(const DescriptionTable& table, QStringView name);
// A synonym's match is its slot plus the offset (a table has far fewer slots); MatchedSlot
// recovers the slot from either kind of match.
inline constexpr int kSynonymMatchOffset = 10000;
inline int SynonymMatch(int slot) { return slot + kSynonymMatchOffset; }
inline int MatchedSlot(int found) { return found % kSynonymMatchOffset; }
// The entry of a name FindFunctionDescription found (`found` >= 0).
inline const T_FunctionDescription& MatchedEntry(const DescriptionTable& table, int found) {
  return table.entries[std::size_t(MatchedSlot(found))];
}
// The table whose calls get the given word kind (general ... Arduino, JavaScript).
const DescriptionTable* TableForKind(TWordKind kind);
