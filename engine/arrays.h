// Array statements and element access: declarations with initial values, element references,
// element assignment, and the texts the views show.
#pragma once

#include <QList>
#include <QString>

#include "engine/words.h"

struct ElementRef {
  int array = 0;        // 1-based index in Arrays
  qint64 offset = 0;    // element offset, row-major
  int closeIndex = -1;  // index of the "]" that closes the indexes
};

// ARRAY name[dims] type [= list]. Words as SplitWords cut them.
void DeclareArray(const TWordArray& words);
// Declares an array as the statement "array name[sizes...]type" does, for function units that
// make result arrays: the same limits, messages and replacement of an array of that name.
// Returns the new array's 1-based index, or 0 with the error set.
int DeclareArrayOf(const QString& name, const QList<qint64>& sizes, TWordKind type);
// Reads the array name at `position` and its bracketed indexes.
bool ElementOffset(const TWordArray& words, int position, ElementRef& ref);
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
