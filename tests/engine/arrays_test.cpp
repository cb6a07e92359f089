// Array declarations, initial-value lists, element access and the texts the views show.
#include <cmath>

#include "engine/arrays.h"
#include "script_runner.h"

using namespace Qt::Literals::StringLiterals;

namespace {

using Arrays = ScriptTest;

const t_arr_specification* ArrayNamed(const QString& name) {
  const int i = FindArray(name);
  return i > 0 ? &Engine().Array(i) : nullptr;
}

}  // namespace

TEST_F(Arrays, DeclaredBoundsAreTheValidIndexes) {
  EXPECT_EQ(Run({u"array XYZ[0..2]float"_s, u"XYZ[0] = 1"_s, u"XYZ[2] = 3"_s,
                 u"a = XYZ[0] + XYZ[2]"_s, u"b = XYZ[3]"_s}),
            ErrorAt(4, 153, {u"XYZ"_s}));
  EXPECT_EQ(Value(u"a"_s), u"4"_s);

  struct Case {
    const char16_t* line;
    int message;
  } cases[] = {
      {u"XYZ[-1] = 0", 153}, {u"b = XYZ[1, 5]", 153},  // an index beyond a later dimension
      {u"b = XYZ[2, 0]", 0}, {u"b = XYZ[1.5]", 161},  {u"b = XYZ[2.0, 0]", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(QString::fromUtf16(c.line).toStdString());
    host.errors.clear();
    const QString error =
        Run({u"array XYZ[2, -1..1]float"_s, u"XYZ[2,0] = 5"_s, QString::fromUtf16(c.line)});
    if (c.message == 153)
      EXPECT_EQ(error, ErrorAt(2, 153, {u"XYZ"_s}));
    else if (c.message == 161)
      EXPECT_EQ(error, ErrorAt(2, 161, {u"XYZ"_s, u"1.5"_s}));
    else
      EXPECT_EQ(error, QString());
  }
  EXPECT_EQ(Value(u"b"_s), u"5"_s);
}

TEST_F(Arrays, InitialValuesFillRowMajor) {
  EXPECT_EQ(
      Run({u"array A[2,3]float=((1.1,1.2,1.3),(2.1,2.2,2.3))"_s, u"x = A[2,1]"_s, u"y = A[1,3]"_s}),
      QString());
  EXPECT_EQ(Value(u"x"_s), u"2.1"_s);
  EXPECT_EQ(Value(u"y"_s), u"1.3"_s);

  const QString badLists[] = {
      u"array A[2,3]float=((1.1,1.2,1.3),(2.1,2.2))"_s,  // a short row
      u"array A[2,3]float=((1,2,3),(4,5,6,7))"_s,        // a long row
      u"array A[2,3]float=((1,2,3),(4,5,6),(7,8,9))"_s,  // a row too many
      u"array A[2,3]float=(1,2,3,4,5,6)"_s,              // a bracket level missing
      u"array A[2]float=(1,,2)"_s,
  };
  for (const QString& line : badLists) {
    SCOPED_TRACE(line.toStdString());
    host.errors.clear();
    EXPECT_EQ(Run({u"x = 0"_s, line}), ErrorAt(1, 155));
  }
  // The array stays with the values stored before the fault.
  const t_arr_specification* a = ArrayNamed(u"A"_s);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->P->floats, (std::vector<double>{1, 0}));
}

TEST_F(Arrays, InitialValuesMayBeExpressions) {
  EXPECT_EQ(Run({u"k = 3"_s, u"array A[6]float=(1+1, k, -2, PI, k*2, -k)"_s,
                 u"array S[2]string = ( 'a b' , 'c' )"_s}),
            QString());
  const t_arr_specification* a = ArrayNamed(u"A"_s);
  ASSERT_NE(a, nullptr);
  const std::vector<double>& f = a->P->floats;
  ASSERT_EQ(f.size(), 6u);
  EXPECT_EQ(f[0], 2);
  EXPECT_EQ(f[1], 3);
  EXPECT_EQ(f[2], -2);
  EXPECT_DOUBLE_EQ(f[3], M_PI);
  EXPECT_EQ(f[4], 6);
  EXPECT_EQ(f[5], -3);
  const t_arr_specification* s = ArrayNamed(u"S"_s);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->P->strings[0], u"a b"_s);
  EXPECT_EQ(s->P->strings[1], u"c"_s);
}

TEST_F(Arrays, IntegerElementsRoundHalfToEven) {
  EXPECT_EQ(Run({u"array I[5]int=(2.5, 3.5, -2.5, 0.5, 1.6)"_s, u"array J[3]integer"_s,
                 u"J[1] = 2.5"_s, u"J[2] = 3.5"_s, u"J[3] = -7.5"_s, u"x = I[1] + I[2]"_s}),
            QString());
  EXPECT_EQ(Cell(u"I[]"_s), u"(2,4,-2,0,2)"_s);
  EXPECT_EQ(Cell(u"J[]"_s), u"(2,4,-8)"_s);
  EXPECT_EQ(Value(u"x"_s), u"6"_s);
}

TEST_F(Arrays, ComputedIndexIsRounded) {
  EXPECT_EQ(Run({u"array A[3]float=(10,20,30)"_s, u"j = 0.6"_s, u"x = A[1 + 0.5]"_s,
                 u"y = A[2.5 + 0]"_s, u"A[j + 2.4] = 7"_s, u"z = A[3]"_s}),
            QString());
  EXPECT_EQ(Value(u"x"_s), u"20"_s);
  EXPECT_EQ(Value(u"y"_s), u"20"_s);
  EXPECT_EQ(Value(u"z"_s), u"7"_s);
}

TEST_F(Arrays, IndexVariableHoldingAFractionIsRounded) {
  EXPECT_EQ(Run({u"array A[3]float=(10,20,30)"_s, u"i = 1.5"_s, u"x = A[i]"_s, u"i = 2.5"_s,
                 u"y = A[i]"_s}),
            QString());
  EXPECT_EQ(Value(u"x"_s), u"20"_s);
  EXPECT_EQ(Value(u"y"_s), u"20"_s);
}

TEST_F(Arrays, RedeclaringReplacesTheArray) {
  EXPECT_EQ(Run({u"array A[2]float=(1,2)"_s, u"array a[3]string"_s, u"x = A[1]"_s, u"n = 1"_s}),
            QString());
  const t_arr_specification* a = ArrayNamed(u"A"_s);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->count, 3);
  EXPECT_EQ(a->data_type, wkString);
  EXPECT_EQ(Value(u"x"_s), QString());
  EXPECT_EQ(KindOf(u"x"_s), wkString);
  EXPECT_EQ(Engine().ArrayCount(), 1);
}

TEST_F(Arrays, DeclarationErrors) {
  struct Case {
    const char16_t* line;
    int message;
  } cases[] = {
      {u"array A[1,1,1,1,1]float", 145},     {u"array A[3]", 144},
      {u"array A[3] = (1,2,3)", 144},        {u"array A[3]double", 144},
      {u"array A[3]float (1,2,3)", 162},     {u"array A[-1]float", 146},
      {u"array A[5..3]float", 146},          {u"array A[3000000000]float", 146},
      {u"array A[100000,100000]float", 146},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(QString::fromUtf16(c.line).toStdString());
    host.errors.clear();
    const QString expected = c.message == 162 ? ErrorAt(1, 162) : ErrorAt(1, c.message, {u"A"_s});
    EXPECT_EQ(Run({u"x = 1"_s, QString::fromUtf16(c.line), u"y = 2"_s}), expected);
    EXPECT_EQ(Value(u"y"_s), QString());
  }
}

TEST_F(Arrays, FourDimensionsAndLargeArraysAreAccepted) {
  EXPECT_EQ(
      Run({u"array Q[2,3,4,5]int"_s, u"Q[2,3,4,5] = 9"_s, u"v = Q[2,3,4,5]"_s, u"array Z[0]float"_s,
           u"array H[10000000]float"_s, u"H[10000000] = 1.5"_s, u"w = H[10000000] + H[1]"_s}),
      QString());
  EXPECT_EQ(Value(u"v"_s), u"9"_s);
  EXPECT_EQ(ArrayNamed(u"Q"_s)->P->ints[119], 9);
  EXPECT_EQ(Value(u"w"_s), u"1.5"_s);
  EXPECT_EQ(ArrayNamed(u"Z"_s)->count, 0);
  EXPECT_EQ(ArrayNamed(u"H"_s)->count, 10000000);
}

TEST_F(Arrays, AtMostTwentyFiveArrays) {
  QStringList lines;
  for (int i = 1; i <= 25; ++i) lines << u"array A%1[1]float"_s.arg(i);
  const QString extra[] = {u"array A26[1]float"_s, u"array A1[2]float"_s};  // also a redeclaration
  for (const QString& line : extra) {
    SCOPED_TRACE(line.toStdString());
    host.errors.clear();
    EXPECT_EQ(Run(lines + QStringList{line}), ErrorAt(25, 138, {25}));
    EXPECT_EQ(Engine().ArrayCount(), 25);
    EXPECT_EQ(ArrayNamed(u"A1"_s)->count, 1);
  }
}

TEST_F(Arrays, StringElementsCompareWithLiterals) {
  EXPECT_EQ(Run({u"array S[2]string"_s, u"S[1] = 'abc'"_s, u"IF S[1] = 'abc'"_s, u"  same = TRUE"_s,
                 u"IF S[1] = 'abd'"_s, u"  other = TRUE"_s, u"IF S[2] = ''"_s, u"  empty = TRUE"_s,
                 u"t = S[1]"_s}),
            QString());
  EXPECT_EQ(Cell(u"same"_s), u"<true>"_s);
  EXPECT_EQ(Value(u"other"_s), QString());
  EXPECT_EQ(Cell(u"empty"_s), u"<true>"_s);
  EXPECT_EQ(KindOf(u"t"_s), wkString);
  EXPECT_EQ(Value(u"t"_s), u"abc"_s);
}

TEST_F(Arrays, WholeArrayCannotBeAssigned) {
  EXPECT_EQ(Run({u"array A[2]float"_s, u"B = A"_s}), ErrorAt(1, 151, {u"A"_s}));
}

TEST_F(Arrays, ValueText) {
  EXPECT_EQ(Run({u"array A[2,2]float=((1,2),(3,4))"_s, u"array F[3]float=(1.5, -0.25, 0)"_s,
                 u"array S[3]string=('a','','c d')"_s,
                 u"array T[2,2,2]int=(((1,2),(3,4)),((5,6),(7,8)))"_s, u"array L[150]int"_s,
                 u"array W[3]string"_s, u"W[1] = '"_s + QString(100, u'x') + u"'"_s,
                 u"W[2] = '"_s + QString(100, u'y') + u"'"_s}),
            QString());
  EXPECT_EQ(Cell(u"A[]"_s), u"((1,2)(3,4))"_s);
  EXPECT_EQ(Cell(u"F[]"_s), u"(1.5,-0.25,0)"_s);
  EXPECT_EQ(Cell(u"S[]"_s), u"('a','','c d')"_s);
  EXPECT_EQ(Cell(u"T[]"_s), u"(((1,2)(3,4))((5,6)(7,8)))"_s);
  // Cut after the element that takes the text beyond 200 characters.
  EXPECT_EQ(Cell(u"L[]"_s), u"(0"_s + QString(u",0"_s).repeated(100) + u"..."_s);
  const QString w = u"('"_s + QString(100, u'x') + u"','"_s + QString(100, u'y') + u"'"_s;
  EXPECT_EQ(Cell(u"W[]"_s), w.left(200) + u"..."_s);
}

TEST_F(Arrays, Listing) {
  EXPECT_EQ(Run({u"array N[0..1,2..4]int=((1,2,3),(4,5,6))"_s, u"array F[2]float=(1,-20)"_s,
                 u"array S[2,2]string=(('a','b'),('','d'))"_s}),
            QString());
  const QString head = u"Array\r"_s;
  EXPECT_EQ(ArrayListing(FindArray(u"N")),
            head + u"N\rThe number of elements: 6.\r[1,2-4]  1,2,3\r\n[2,2-4]  4,5,6\r\n"_s);
  EXPECT_EQ(ArrayListing(FindArray(u"F")), head + u"F\rThe number of elements: 2.\r[1-2]  "_s +
                                               u"1"_s.rightJustified(12) + u","_s +
                                               u"-20"_s.rightJustified(12) + u"\r\n"_s);
  EXPECT_EQ(
      ArrayListing(FindArray(u"S")),
      head +
          u"S\rThe number of elements: 4.\r[1,1]: 'a'\r\n[1,2]: 'b'\r\n[2,1]: ''\r\n[2,2]: 'd'\r\n"_s);
}

TEST_F(ScriptTest, ZeroSizedLaterDimensionHoldsNothing) {
  EXPECT_EQ(Run({u"array Z[5,0] float"_s}), QString());
  EXPECT_EQ(Cell(u"Z[]"_s), u"()"_s);
  EXPECT_EQ(Run({u"array Y[5,0] float = (1,2,3,4,5)"_s}), ErrorAt(0, 155));
}
