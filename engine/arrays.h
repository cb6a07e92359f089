// Array statements and element access: declarations with initial values, element references,
// element assignment, and the texts the views show.
#pragma once

#include <QList>
#include <QString>

#include "engine/engine_state.h"
#include "engine/words.h"

struct ElementRef {
  int array = 0;        // 1-based index in Arrays
  qint64 offset = 0;    // element offset, row-major
  int closeIndex = -1;  // index of the "]" that closes the indexes
};

// ARRAY name[dims] type [= list]. Words as SplitWords cut them.
void DeclareArray(const TWordArray& words);
// Declares an array as the statement "array name[sizes...]type = (values)" does, for function
// units that make result arrays: the same limits, messages and replacement of an array of that
// name. `values`, when given, fill the elements in row-major order (as many as there are).
// Returns the new array's 1-based index, or 0 with the error set.
int DeclareArrayOf(const QString& name, const QList<qint64>& sizes, TWordKind type,
                   const QList<TWordStatus>& values = {});
// Reads the array name at `position` and its bracketed indexes.
bool ElementOffset(const TWordArray& words, int position, ElementRef& ref);
// Follows the brackets inside an element's indexes, word by word: true when the word of kind
// `k` ends an index (a comma or the closing "]" outside any inner bracket).
inline bool EndsElementIndex(TWordKind k, int& depth) {
  if (k == wkOpeningSquareBracket || k == wkOpeningBracket) ++depth;
  if ((k == wkClosingSquareBracket || k == wkClosingBracket) && depth > 0) {
    --depth;
    return false;
  }
  return depth == 0 && (k == wkComma || k == wkClosingSquareBracket);
}
// The offset of the element at the whole-number indexes in the array's elements; false when an
// index lies outside its bounds or there are more indexes than dimensions.
bool OffsetOfIndexes(const t_arr_specification& a, const std::int64_t* indexes, int given, std::int64_t& offset);
// Replaces the array name at `position` and its indexes by the element's value.
void ReadElement(TWordArray& words, int position);
// name[indexes] = expression
void AssignElement(const TWordArray& words);
// Stores an initial-value list into the new array at `arrayIndex`.
void FillFromList(int arrayIndex, const QString& listText);

// Compact text of an array for the variable grids: ((1,2)(3,4)), at most 200 characters + "...".
QString ArrayValueText(int arrayIndex);
// The full listing for the value window.
QString ArrayListing(int arrayIndex);

// Creates (or replaces) a string array of one dimension with the given texts.
void DefineStringArray(const QString& name, const QStringList& values);
