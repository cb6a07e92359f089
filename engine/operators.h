// The 24 operators with their priorities, in lookup order. A word read as an operator carries
// its entry in `op`, so that the evaluator compares codes instead of texts.
#pragma once

#include <QStringView>
#include <array>
#include <cstdint>

enum TOperator : std::uint8_t {
  opNone = 0,
  opOr, opAnd, opNot,
  opPlus, opMinus, opMultiply, opDivide, opRemainder,
  opGreater, opGreaterEqual, opLess, opLessEqual, opEqual, opNotEqual,
  opShiftLeft, opShiftRight, opBitAnd, opBitXor, opBitOr,
  opSquareRoot, opCubeRoot, opFourthRoot, opSquare, opCube,
};

struct OperatorEntry {
  QStringView text;
  std::uint8_t priority;
};

// Indexed by TOperator; entry 0 is no operator.
inline constexpr std::array<OperatorEntry, 25> kOperatorTable = {{
    {u"", 0},
    {u"OR", 1},  {u"AND", 2}, {u"NOT", 3},
    {u"+", 14},  {u"-", 14},  {u"*", 15},  {u"/", 15},  {u"%", 15},
    {u">", 6},   {u">=", 6},  {u"<", 6},   {u"<=", 6},  {u"=", 6},  {u"<>", 6},
    {u"<<", 13}, {u">>", 13}, {u"&", 12},  {u"^", 11},  {u"|", 10},
    {u"√", 19},  {u"∛", 19},  {u"∜", 19},  {u"²", 20},  {u"³", 20},
}};

inline TOperator FindOperator(QStringView text) {
  for (std::size_t i = 1; i < kOperatorTable.size(); ++i)
    if (kOperatorTable[i].text == text) return TOperator(i);
  return opNone;
}
