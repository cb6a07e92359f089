// The array and matrix functions: sizes, construction, selection, sorting, filtering, linear
// algebra, deletion and the temporary arrays that carry their results.
#include <cmath>

#include "function_fixture.h"
#include "functions/general_unit.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// The people table used by the selection, sorting and filtering tests.
const QString kPeople =
    u"array P[4,2]string=(('Johanson','Alex'),('Peterson','Mary'),('Anderson','Tim'),('Peterson','Louise'))"_s;

class ArrayFunctions : public FunctionTest {
 protected:
  // Runs the lines after `setup` and returns the error, reported against the line numbers of the
  // whole script.
  QString RunWith(const QStringList& setup, const QStringList& lines) { return Run(setup + lines); }
  static QString Arr(const QString& name) { return Cell(name + u"[]"_s); }
  static bool AnyTemporaryArray() {
    for (const t_arr_specification& a : Engine().Arrays)
      if (IsTemporaryArrayName(a.name)) return true;
    return false;
  }
};

}  // namespace

TEST_F(ArrayFunctions, SizesOfDeclaredAndMissingDimensions) {
  EXPECT_EQ(Run({u"array A[3,4]float"_s, u"array V[2..6]int"_s, u"n = Array_Length(A)"_s,
                 u"a1 = Dim1(A)"_s, u"a2 = Arr_dim2(A)"_s, u"a3 = Dim3(A)"_s, u"v1 = Dim1(V)"_s,
                 u"v2 = Dim2(V)"_s, u"v4 = Dim4(V)"_s}),
            QString());
  for (auto [name, value] : {std::pair{u"n", u"12"}, {u"a1", u"3"}, {u"a2", u"4"}, {u"a3", u"0"},
                             {u"v1", u"5"}, {u"v2", u"0"}, {u"v4", u"0"}})
    EXPECT_EQ(Value(QString::fromUtf16(name)), QString::fromUtf16(value))
        << QString::fromUtf16(name).toStdString();
  // An INT element passes validation as an array argument but names no array.
  EXPECT_EQ(Run({u"array I[1]int"_s, u"n = Dim1(I[1])"_s}), ErrorAt(1, 147, {u"0"_s}));
}

TEST_F(ArrayFunctions, SmallArraysTakeTheArgumentTexts) {
  EXPECT_EQ(Run({u"A = Array3(1, 2, 3)"_s, u"B = Array2(-1.5, 2 * 3)"_s, u"C = Array4(1, 2, 3, 1E-5)"_s,
                 u"D = Array2(0.1 + 0.2, 0)"_s, u"same = D[1] = 0.3"_s}),
            QString());
  EXPECT_EQ(Arr(u"A"_s), u"(1,2,3)"_s);
  EXPECT_EQ(Arr(u"B"_s), u"(-1.5,6)"_s);
  EXPECT_EQ(Arr(u"C"_s), u"(1,2,3,1E-005)"_s);
  // The value goes through its 15-digit text, so 0.1 + 0.2 is stored as 0.3.
  EXPECT_EQ(Value(u"same"_s), u"true"_s);
  EXPECT_FALSE(AnyTemporaryArray());
}

TEST_F(ArrayFunctions, SmallArraysOfTextsThatDoNotReadBack) {
  // A system-form text with a decimal comma and an infinite value still give two elements.
  TWordArray args;
  for (auto [text, value] : {std::pair{u"1,5", 1.5}, {u"INF", HUGE_VAL}}) {
    TWordStatus w;
    w.kind = wkFloat;
    w.str = QString::fromUtf16(text);
    w.float_val = value;
    args.append(w);
  }
  TWordStatus result;
  CallGeneralFunction(u"Array2"_s, args, result);
  ASSERT_EQ(Engine().ErrorText, QString());
  ASSERT_EQ(result.kind, wkArrayName);
  const std::vector<double>& e = Engine().Array(FindArray(result.str)).P->floats;
  EXPECT_EQ(e, (std::vector<double>{1.5, HUGE_VAL}));
}

TEST_F(ArrayFunctions, SortIsStableAscendingAndReversedDescending) {
  EXPECT_EQ(Run({kPeople, u"T = Array_Sort(P)"_s, u"U = Sort_Array(P, 1, 1)"_s, u"W = Array_Sort(P, 2)"_s,
                 u"array F[4]float=(3, 1, 2, 1)"_s, u"G = Array_Sort(F)"_s, u"H = Array_Sort(F, 1, 5)"_s,
                 u"array S[4]string=('b', 'B', 'a', 'A')"_s, u"R = Array_Sort(S)"_s,
                 u"array L[7]string=('abcdz', 'abcd', 'abcdA', 'ab', 'abcda', 'B', 'abcd')"_s,
                 u"K = Array_Sort(L)"_s}),
            QString());
  EXPECT_EQ(Arr(u"T"_s), u"(('Anderson','Tim')('Johanson','Alex')('Peterson','Mary')('Peterson','Louise'))"_s);
  EXPECT_EQ(Arr(u"U"_s), u"(('Peterson','Louise')('Peterson','Mary')('Johanson','Alex')('Anderson','Tim'))"_s);
  EXPECT_EQ(Arr(u"W"_s), u"(('Johanson','Alex')('Peterson','Louise')('Peterson','Mary')('Anderson','Tim'))"_s);
  EXPECT_EQ(Arr(u"G"_s), u"(1,1,2,3)"_s);
  EXPECT_EQ(Arr(u"H"_s), u"(3,2,1,1)"_s);
  EXPECT_EQ(Arr(u"R"_s), u"('A','B','a','b')"_s);  // code-unit order: capitals first
  EXPECT_EQ(Arr(u"K"_s), u"('B','ab','abcd','abcd','abcdA','abcda','abcdz')"_s);  // shorter first
  EXPECT_EQ(Arr(u"P"_s).left(22), u"(('Johanson','Alex')('"_s);  // the source is untouched
  EXPECT_FALSE(AnyTemporaryArray());

  // Float rows move whole with their key.
  EXPECT_EQ(Run({u"array M[3,2]float=((5,50),(-1,10),(2,20))"_s, u"N = Array_Sort(M, 1, 1)"_s}), QString());
  EXPECT_EQ(Arr(u"N"_s), u"((5,50)(2,20)(-1,10))"_s);
}

TEST_F(ArrayFunctions, EqualKeysKeepSourceOrderInLargeSorts) {
  ASSERT_EQ(Run({u"array N[300,2]float"_s, u"array S[300,2]string"_s, u"FOR i = 1,300"_s,
                 u"  N[i,1] = i % 7"_s, u"  N[i,2] = i"_s, u"  S[i,1] = 1000 + i % 7"_s, u"  S[i,2] = i"_s,
                 u"A = Array_Sort(N)"_s, u"B = Array_Sort(S, 1, 1)"_s}),
            QString());
  const std::vector<double>& a = Engine().Array(FindArray(u"A")).P->floats;
  const std::vector<QString>& b = Engine().Array(FindArray(u"B")).P->strings;
  for (std::size_t r = 1; r < 300; ++r) {
    SCOPED_TRACE(r);
    // ascending: equal keys in source order
    ASSERT_TRUE(a[2 * r - 2] < a[2 * r] || (a[2 * r - 2] == a[2 * r] && a[2 * r - 1] < a[2 * r + 1]));
    // descending: the exact reverse, so equal keys in reverse source order
    ASSERT_TRUE(b[2 * r - 2] > b[2 * r] ||
                (b[2 * r - 2] == b[2 * r] && b[2 * r - 1].toInt() > b[2 * r + 1].toInt()));
  }
}

TEST_F(ArrayFunctions, SortRefusals) {
  const QStringList setup = {kPeople, u"array F[3]float"_s, u"array C[2,2,2]float"_s, u"array I[2]int"_s};
  EXPECT_EQ(RunWith(setup, {u"T = Array_Sort(P, 3)"_s}), ErrorAt(4, 166, {u"Array_Sort"_s, 2}));
  EXPECT_EQ(RunWith(setup, {u"T = Array_Sort(F, 2)"_s}), ErrorAt(4, 167, {u"Array_Sort"_s}));
  EXPECT_EQ(RunWith(setup, {u"T = Array_Sort(P, 0)"_s}), ErrorAt(4, 163, {u"Array_Sort"_s}));
  EXPECT_EQ(RunWith(setup, {u"T = Array_Sort(C)"_s}), ErrorAt(4, 165, {u"C"_s}));
  // Int arrays are not sorted: the call has no value.
  EXPECT_EQ(RunWith(setup, {u"T = Array_Sort(I)"_s}), ErrorAt(4, 85));
}

TEST_F(ArrayFunctions, FilterKeepsMatchingRowsInOrder) {
  EXPECT_EQ(Run({kPeople, u"A = Array_Filter(P, 'an')"_s, u"B = Array_Filter(P, 'an', 1, '')"_s,
                 u"C = Firter_Array(P, 'AR', 2)"_s, u"D = Array_Filter(P, 'zzz')"_s, u"d1 = Dim1(D)"_s,
                 u"d2 = Dim2(D)"_s, u"n = Dim1(Array_Filter(P, 'peter', 1, 'I'))"_s}),
            QString());
  EXPECT_EQ(Arr(u"A"_s), u"(('Johanson','Alex')('Anderson','Tim'))"_s);
  EXPECT_EQ(Arr(u"B"_s), u"(('Johanson','Alex'))"_s);
  EXPECT_EQ(Arr(u"C"_s), u"(('Peterson','Mary'))"_s);
  EXPECT_EQ(Value(u"d1"_s), u"0"_s);
  EXPECT_EQ(Value(u"d2"_s), u"2"_s);
  EXPECT_EQ(Value(u"n"_s), u"2"_s);
  EXPECT_FALSE(AnyTemporaryArray());

  const QStringList setup = {kPeople, u"array F[2,2]float"_s, u"array V[3]string"_s};
  EXPECT_EQ(RunWith(setup, {u"A = Array_Filter(F, 'a')"_s}), ErrorAt(3, 149, {u"F"_s}));
  EXPECT_EQ(RunWith(setup, {u"A = Array_Filter(V, 'a')"_s}), ErrorAt(3, 156, {u"V"_s}));
  EXPECT_EQ(RunWith(setup, {u"A = Array_Filter(P, 'a', 3)"_s}), ErrorAt(3, 163, {u"Array_Filter"_s}));
}

TEST_F(ArrayFunctions, RowsAndColumns) {
  EXPECT_EQ(Run({kPeople, u"array M[3,2]float=((1,2),(3,4),(5,6))"_s, u"array I[2,2]int=((7,8),(9,10))"_s,
                 u"R = Array_Row(P, 3)"_s, u"S = Matrix_Row(M, 2)"_s, u"T = Array_Row(I, 2)"_s,
                 u"C = Array_Col(M, 2)"_s}),
            QString());
  EXPECT_EQ(Arr(u"R"_s), u"('Anderson','Tim')"_s);
  EXPECT_EQ(Arr(u"S"_s), u"(3,4)"_s);
  EXPECT_EQ(Arr(u"T"_s), u"(9,10)"_s);
  EXPECT_EQ(Arr(u"C"_s), u"(2,4,6)"_s);

  const QStringList setup = {kPeople, u"array M[3,2]float"_s, u"array N[3,1]float"_s};
  EXPECT_EQ(RunWith(setup, {u"R = Array_Row(N, 1)"_s}), ErrorAt(3, 156, {u"N"_s}));
  EXPECT_EQ(RunWith(setup, {u"R = Array_Row(M, 0)"_s}), ErrorAt(3, 163, {u"array_row"_s}));
  EXPECT_EQ(RunWith(setup, {u"R = Array_Row(M, 4)"_s}), ErrorAt(3, 163, {u"array_row"_s}));
  EXPECT_EQ(RunWith(setup, {u"R = Array_Col(M, 3)"_s}), ErrorAt(3, 163, {u"array_col"_s}));
  EXPECT_EQ(RunWith(setup, {u"R = Array_Col(P, 1)"_s}), ErrorAt(3, 163, {u"array_col"_s}));
}

TEST_F(ArrayFunctions, RowsFoundByName) {
  EXPECT_EQ(Run({kPeople, u"R = Array_Row_By_Name(P, 'Peterson')"_s, u"E = Array_Row_By_Name(P, 'peterson')"_s,
                 u"first = Array_Row_By_Name(P, 'Tim', 2, 1)"_s, u"none = Array_Row_By_Name(P, 'X', 1, 2)"_s,
                 u"n = Array_RowNumber_By_Name(P, 'Peterson')"_s, u"m = Array_RowNumber_By_Name(P, 'Louise', 2)"_s,
                 u"z = Array_RowNumber_By_Name(P, 'Nobody')"_s}),
            QString());
  EXPECT_EQ(Arr(u"R"_s), u"('Peterson','Mary')"_s);
  EXPECT_EQ(Arr(u"E"_s), u"('','')"_s);  // case-sensitive: no row matched
  EXPECT_EQ(Value(u"first"_s), u"Anderson"_s);
  EXPECT_EQ(KindOf(u"none"_s), wkString);
  EXPECT_EQ(Value(u"none"_s), QString());
  EXPECT_EQ(Value(u"n"_s), u"2"_s);
  EXPECT_EQ(Value(u"m"_s), u"4"_s);
  EXPECT_EQ(Value(u"z"_s), u"0"_s);

  const QStringList setup = {kPeople, u"array F[2,2]float"_s, u"array V[3]string"_s};
  EXPECT_EQ(RunWith(setup, {u"x = Array_Row_By_Name(P, 'Tim', 2, 3)"_s}),
            ErrorAt(3, 163, {u"array_row_by_name"_s}));
  EXPECT_EQ(RunWith(setup, {u"x = Array_RowNumber_By_Name(P, 'Tim', 0)"_s}),
            ErrorAt(3, 163, {u"array_rownumber_by_name"_s}));
  EXPECT_EQ(RunWith(setup, {u"x = Array_RowNumber_By_Name(F, 'a')"_s}),
            ErrorAt(3, 163, {u"array_rownumber_by_name"_s}));
  EXPECT_EQ(RunWith(setup, {u"x = Array_RowNumber_By_Name(V, 'a')"_s}), ErrorAt(3, 156, {u"V"_s}));
}

TEST_F(ArrayFunctions, InversionAndDeterminant) {
  EXPECT_EQ(Run({u"array A[2,2]float=((4,7),(2,6))"_s, u"B = Matrix_inversion(A)"_s,
                 u"d = Matrix_Determinant(A)"_s,
                 // a zero on the diagonal needs row and column interchanges
                 u"array C[3,3]float=((2,1,1),(1,3,2),(1,0,0))"_s, u"dc = GaussJordan_Determinant(C)"_s,
                 u"E = Matrix_multiplication(C, Inversion_GaussJordan(C))"_s,
                 u"array Z[2,2]float=((1,2),(2,4))"_s, u"dz = Matrix_Determinant(Z)"_s}),
            QString());
  EXPECT_EQ(Arr(u"B"_s), u"((0.6,-0.7)(-0.2,0.4))"_s);
  EXPECT_EQ(Value(u"d"_s), u"10"_s);
  EXPECT_EQ(Value(u"dc"_s), u"-1"_s);
  const int e = FindArray(u"E");
  ASSERT_GT(e, 0);
  for (int i = 0; i < 9; ++i) EXPECT_NEAR(Engine().Array(e).P->floats[std::size_t(i)], i % 4 == 0 ? 1 : 0, 1e-12);
  EXPECT_EQ(Value(u"dz"_s), u"0"_s);

  const QStringList setup = {u"array Z[2,2]float=((1,2),(2,4))"_s, u"array R[2,3]float"_s,
                             u"array V[4]float"_s, u"array S[2,2]string"_s};
  EXPECT_EQ(RunWith(setup, {u"B = Matrix_inversion(Z)"_s}), ErrorAt(4, 159, {u"Z"_s}));
  EXPECT_EQ(RunWith(setup, {u"B = Matrix_inversion(R)"_s}), ErrorAt(4, 158, {u"R"_s}));
  EXPECT_EQ(RunWith(setup, {u"d = Matrix_Determinant(V)"_s}), ErrorAt(4, 156, {u"V"_s}));
  EXPECT_EQ(RunWith(setup, {u"d = Matrix_Determinant(S)"_s}), ErrorAt(4, 185, {u"S"_s}));
}

TEST_F(ArrayFunctions, Products) {
  EXPECT_EQ(Run({u"array A[2,3]float=((1,2,3),(4,5,6))"_s, u"array B[3,2]float=((7,8),(9,10),(11,12))"_s,
                 u"C = Matrix_multiplication(A, B)"_s, u"D = Matrix_multiplication(B, A)"_s,
                 u"d1 = Dim1(D)"_s, u"d2 = Dim2(D)"_s, u"X = Vector_Product(Array3(1,0,0), Array3(0,1,0))"_s,
                 u"s = Matrix_Scalar_Product(Array3(1,2,3), Array3(4,5,6))"_s, u"T = Matrix_transposition(A)"_s}),
            QString());
  EXPECT_EQ(Arr(u"C"_s), u"((58,64)(139,154))"_s);
  EXPECT_EQ(Value(u"d1"_s), u"3"_s);
  EXPECT_EQ(Value(u"d2"_s), u"3"_s);
  EXPECT_EQ(Arr(u"X"_s), u"(0,0,1)"_s);
  EXPECT_EQ(Value(u"s"_s), u"32"_s);
  EXPECT_EQ(Arr(u"T"_s), u"((1,4)(2,5)(3,6))"_s);

  const QStringList setup = {u"array A[2,3]float"_s, u"array V[3]float"_s, u"array W[2]float"_s,
                             u"array K[3,1]float"_s};
  EXPECT_EQ(RunWith(setup, {u"C = Matrix_multiplication(A, A)"_s}), ErrorAt(4, 157));
  EXPECT_EQ(RunWith(setup, {u"C = Matrix_multiplication(A, V)"_s}), ErrorAt(4, 156, {u"V"_s}));
  EXPECT_EQ(RunWith(setup, {u"C = Matrix_Vector_Product(V, W)"_s}), ErrorAt(4, 164, {u"W"_s}));
  EXPECT_EQ(RunWith(setup, {u"C = Matrix_Vector_Product(K, V)"_s}), ErrorAt(4, 164, {u"K"_s}));
  EXPECT_EQ(RunWith(setup, {u"s = Matrix_Scalar_Product(V, K)"_s}), ErrorAt(4, 168, {u"V"_s, u"K"_s}));
  EXPECT_EQ(RunWith(setup, {u"T = Matrix_transposition(V)"_s}), ErrorAt(4, 156, {u"V"_s}));
}

TEST_F(ArrayFunctions, SumsDuplicatesAndScaling) {
  EXPECT_EQ(Run({u"array A[2,2]float=((1,2),(3,4))"_s, u"array B[2,2]int=((10,20),(30,40))"_s,
                 u"S = Matrix_Sum(A, B)"_s, u"D = Subtr_Matrix(A, B)"_s, u"C = Array_Duplication(B)"_s,
                 u"C[1,1] = 0.5"_s, u"Matrix_mult_number(A, 2)"_s, u"Matrix_mult_number(B, 0.25)"_s}),
            QString());
  EXPECT_EQ(Arr(u"S"_s), u"((11,22)(33,44))"_s);
  EXPECT_EQ(Arr(u"D"_s), u"((-9,-18)(-27,-36))"_s);
  EXPECT_EQ(Arr(u"C"_s), u"((0.5,20)(30,40))"_s);  // a float copy, apart from its source
  EXPECT_EQ(Arr(u"A"_s), u"((2,4)(6,8))"_s);       // scaled in place
  EXPECT_EQ(Arr(u"B"_s), u"((2,5)(8,10))"_s);      // int elements rounded half to even

  const QStringList setup = {u"array A[2,2]float"_s, u"array V[4]float"_s, u"array S[2]string"_s};
  EXPECT_EQ(RunWith(setup, {u"X = Matrix_Sum(A, V)"_s}), ErrorAt(3, 168, {u"A"_s, u"V"_s}));
  EXPECT_EQ(RunWith(setup, {u"X = Matrix_Duplication(S)"_s}), ErrorAt(3, 185, {u"S"_s}));
  EXPECT_EQ(RunWith(setup, {u"x = Matrix_mult_number(A, 2)"_s}), ErrorAt(3, 85));  // no value
}

TEST_F(ArrayFunctions, MinimaAndMaxima) {
  EXPECT_EQ(Run({u"array Q[2,2]float=((1,9),(5,3))"_s, u"array K[3,1]float=((4),(-2),(7))"_s,
                 u"A = Arr_MinMax(Array3(4,-2,7))"_s, u"B = MinMax(Q)"_s, u"C = Arr_MinMax(K)"_s}),
            QString());
  EXPECT_EQ(Arr(u"A"_s), u"(-2,7)"_s);
  EXPECT_EQ(Arr(u"B"_s), u"((1,3)(5,9))"_s);
  EXPECT_EQ(Arr(u"C"_s), u"(-2,7)"_s);
  EXPECT_EQ(Run({u"array T[2,2,2]float"_s, u"A = Arr_MinMax(T)"_s}), ErrorAt(1, 165, {u"T"_s}));
  EXPECT_EQ(Run({u"array E[0]float"_s, u"A = Arr_MinMax(E)"_s}), ErrorAt(1, 165, {u"E"_s}));
}

TEST_F(ArrayFunctions, DeleteRemovesOnlyKnownArrays) {
  EXPECT_EQ(Run({u"array A[2]float"_s, u"v = 1"_s, u"Array_Delete(v)"_s, u"Array_Delete(Missing)"_s,
                 u"Delete_Array(A)"_s}),
            QString());
  EXPECT_EQ(Value(u"v"_s), u"1"_s);
  EXPECT_EQ(FindArray(u"A"), 0);
}

TEST_F(ArrayFunctions, ResultArraysNeedRoomInTheTable) {
  QStringList lines;
  for (int i = 1; i <= 25; ++i) lines << u"array A%1[1]float"_s.arg(i);
  EXPECT_EQ(Run(lines + QStringList{u"B = Array2(1, 2)"_s}), ErrorAt(25, 138, {25}));
  EXPECT_EQ(Run(lines + QStringList{u"B = Matrix_duplication(A1)"_s}), ErrorAt(25, 138, {25}));

  // A product too large for any array fails in the declaration of its result.
  const QString error = Run({u"array R[50000,1]float"_s, u"array C[1,50000]float"_s,
                             u"M = Matrix_multiplication(R, C)"_s});
  EXPECT_TRUE(error.startsWith(MessageText(146, {u"tARR"_s}).chopped(2))) << error.toStdString();
  EXPECT_FALSE(AnyTemporaryArray());
}
