// Word and value kinds: one byte, fixed ordinals (several algorithms test ranges of them).
#pragma once

#include <cstdint>

enum TWordKind : std::uint8_t {
  wkNone = 0,
  wkString = 1,
  wkStringDQ = 2,
  wkFloat = 3,
  wkInt = 4,
  wkBool = 5,
  wkConst = 6,
  wkColor = 7,
  wkMouseEvent = 8,
  wkOperator = 9,
  wkOpeningBracket = 10,
  wkClosingBracket = 11,
  wkOpeningSquareBracket = 12,
  wkClosingSquareBracket = 13,
  wkComma = 14,
  wkDblDot = 15,
  wkVariableName = 16,
  wkEmbeddedFunction = 17,
  wkGraphFunction = 18,
  wkDialogFunction = 19,
  wkDBaseFunction = 20,
  wkOS_FunctionsFunction = 21,
  wkFTPFunction = 22,
  wkArduinoFunction = 23,
  wkScriptFunction = 24,
  wkVBSFunction = 25,
  wkJS_Function = 26,
  wkFor = 27,
  wkRepeat = 28,
  wkBreak = 29,
  wkBreakIf = 30,
  wkContinue = 31,
  wkContinueIf = 32,
  wkIf = 33,
  wkElse = 34,
  wkReturn = 35,
  wkFunction = 36,
  wkArrayDescription = 37,
  wkArrayName = 38,
  wkArrayInitValues = 39,
  wkIntegerDescription = 40,
  wkFloatDescription = 41,
  wkDatetimeDescription = 42,
  wkStringDescription = 43,
  wkTry = 44,
  wkStop = 45,
  wkUnknownIdentifier = 46,
};

inline constexpr int kWordKindCount = 47;

// Call words: kinds 17 to 26 (the reserved VBScript kind included).
constexpr bool IsCallKind(TWordKind k) {
  return k >= wkEmbeddedFunction && k <= wkJS_Function;
}
constexpr bool IsNumberKind(TWordKind k) {
  return k == wkFloat || k == wkInt;
}
constexpr bool IsStringKind(TWordKind k) {
  return k == wkString || k == wkStringDQ;
}
