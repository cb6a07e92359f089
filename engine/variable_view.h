// What the variable views show: the order of the variables and the text of each value cell.
// The IDE's grids and the console's dump both read these.
#pragma once

#include <QList>
#include <QString>
#include <functional>

#include "engine/engine_state.h"

struct ViewRow {
  int level = 0;      // function level (local view)
  QString name;       // variable name, or array name + "[]"
  QString value;      // the cell text
  bool selected = false;  // the last assigned variable or the changed array
  bool outOfMemory = false;  // the cell could not be made: it holds OutOfMemoryCellText()
};

// What a cell or a value text shows when there is no memory to make it: "! " and the
// catalogue's out-of-memory message.
QString OutOfMemoryCellText();

// Fills VariableOrder with the variable indexes in upper-case name order.
void A_Sort_VariablesExecute();

// The value cell of a variable in the global (true) or the local grid.
QString VariableCellText(const Tvariable& v, bool globalGrid);

// The rows of the global grid: level-0 variables in sorted order, then level-0 arrays.
QList<ViewRow> GlobalViewRows();
// The same rows handed to `visit` one at a time, each made just before (the console dump
// writes a row before the next one takes memory).
void VisitGlobalViewRows(const std::function<void(const ViewRow&)>& visit);
// The rows of the local grid: the current level, or every level from 1 when allLevels.
QList<ViewRow> LocalViewRows(bool allLevels);
