// Excel_Cell_SetValue, Excel_Cell_GetValue, Excel_Range_SetValues and Excel_Range_GetValues on
// the active sheet.
#include <algorithm>
#include <climits>
#include <cmath>

#include "automation/spreadsheet/calc_session.h"
#include "automation/spreadsheet/spreadsheet_families.h"
#include "engine/engine_state.h"
#include "engine/number_text.h"

namespace {

// A number when the whole text reads as one, with "," taken as the decimal separator.
bool CellNumber(const QString& text, double& value) {
  return ParseNumberText(QString(text).replace(u',', u'.'), value) && std::isfinite(value);
}

// A text beginning with "=" is a formula in the R1C1 notation; any other text is stored as is.
void WriteText(int row, int col, const QString& text) {
  if (text.startsWith(u'=')) Calc().SetFormulaR1C1(row, col, text);
  else Calc().SetText(row, col, text);
}

// The array a range is written from: two dimensions of size 1 or more (messages 147, 156).
const t_arr_specification* TwoDimensionalArray(GeneralCall& call, const QString& name) {
  const int index = FindArray(name);
  if (index <= 0) {
    call.fail(147, {name});
    return nullptr;
  }
  const t_arr_specification& a = Engine().Array(index);
  if (a.dim[0] < 1 || a.dim[1] < 1 || a.dim[2] != 0 || a.dim[3] != 0 || !a.P) {
    call.fail(156, {name});
    return nullptr;
  }
  return &a;
}

}  // namespace

void ExcelCellSetValue(GeneralCall& call) {
  if (!RequireSpreadsheetApp(call)) return;
  const int row = CellIndex(call, 0), col = CellIndex(call, 1);
  const QString text = call.text(2);
  bool ok = true;
  try {
    double number = 0;
    if (CellNumber(text, number)) Calc().SetNumber(row, col, number);
    else WriteText(row, col, text);
  } catch (const CalcError&) {
    ok = false;
  }
  call.setBool(ok);
}

// Failures of the application stop the script with their own text.
void ExcelCellGetValue(GeneralCall& call) {
  if (!RequireSpreadsheetApp(call)) return;
  try {
    call.setText(Calc().CellText(CellIndex(call, 0), CellIndex(call, 1)));
  } catch (const CalcError& e) {
    call.failText(e.text);
  }
}

// Row i, column j of the array go to cell (Row + i, Col + j); a whole-number array writes
// nothing. A cell that fails makes the result false and the others are still written.
void ExcelRangeSetValues(GeneralCall& call) {
  if (!RequireSpreadsheetApp(call)) return;
  const t_arr_specification* a = TwoDimensionalArray(call, call.text(2));
  if (!a) return;
  const int row = CellIndex(call, 0), col = CellIndex(call, 1);
  const int rows = a->dim[0], cols = a->dim[1];
  const CalcSession::SheetHold hold(Calc());
  bool ok = true;
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < cols; ++j) {
      const std::size_t offset = std::size_t(i) * std::size_t(cols) + std::size_t(j);
      try {
        if (a->data_type == wkFloat) Calc().SetNumber(row + i, col + j, a->P->floats.at(offset));
        else if (a->data_type == wkString) WriteText(row + i, col + j, a->P->strings.at(offset));
      } catch (const CalcError&) {
        ok = false;
      } catch (const std::out_of_range&) {
        ok = false;
      }
    }
  call.setBool(ok);
}

// A text array of the cells' texts, or (DataType not 0) a float array of their numbers: empty
// cells give 0, a text that is no number stops with message 130 keeping what was read so far.
void ExcelRangeGetValues(GeneralCall& call) {
  if (!RequireSpreadsheetApp(call)) return;
  const bool numbers = call.count() == 5 && call.integer(4) != 0;
  const int row = CellIndex(call, 0), col = CellIndex(call, 1);
  const qint64 rows = call.integer(2), cols = call.integer(3);
  const int index = call.newArray({int(std::clamp<qint64>(rows, INT_MIN, INT_MAX)), int(std::clamp<qint64>(cols, INT_MIN, INT_MAX))},
                                  numbers ? wkFloat : wkString);
  if (index == 0) return;
  const CalcSession::SheetHold hold(Calc());
  try {
    for (int i = 0; i < rows; ++i)
      for (int j = 0; j < cols; ++j) {
        const QString text = Calc().CellText(row + i, col + j);
        TArrayElements& elements = *Engine().Array(index).P;
        const std::size_t offset = std::size_t(i) * std::size_t(cols) + std::size_t(j);
        if (!numbers) {
          elements.strings[offset] = text;
          continue;
        }
        if (text.isEmpty()) continue;
        double value = 0;
        if (!CellNumber(text.trimmed(), value)) return call.fail(130, {text});
        elements.floats[offset] = value;
      }
  } catch (const CalcError& e) {
    call.failText(e.text);
  }
}
