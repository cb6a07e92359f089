// The program's one link to a spreadsheet application: a LibreOffice Calc (soffice) process
// reached through UNO on a named pipe, and the workbook the spreadsheet functions work on.
// Every operation that fails throws CalcError with the failure's own text; the spreadsheet
// functions decide which failures become a false result and which stop the script. Rows,
// columns and sheet numbers are 1-based, as the spreadsheet counts them.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QTime>
#include <memory>
#include <variant>

struct CalcError {
  QString text;
};

// One typed cell of a block: nothing (the cell is left as it is), a number, a truth value, a
// text, or a date, time or date-time (stored as the spreadsheet's serial day number with a date
// or time format).
using CalcCell = std::variant<std::monostate, double, bool, QString, QDate, QTime, QDateTime>;
using CalcBlock = QList<QList<CalcCell>>;

class CalcSession {
 public:
  CalcSession();
  ~CalcSession();
  CalcSession(const CalcSession&) = delete;
  CalcSession& operator=(const CalcSession&) = delete;

  // Why the spreadsheet functions cannot work here (in the interface language), or empty when
  // LibreOffice Calc and the UNO bridge are available.
  static QString Unavailable();

  // An application is attached (the automation reference is set).
  bool attached() const;
  // Starts an application on the program's pipe (or reuses the one listening there) and
  // connects to it, retrying while it starts.
  void Start();
  // Attaches to the application listening on the program's pipe; false when none does.
  bool AttachRunning();
  // Ends the application: asks it to terminate, then ends its process when it is still there.
  // The session stays attached to the dead application unless `detach` is true.
  void Quit(bool detach = true);
  // Forgets the application without ending it.
  void Detach();
  // The process of the application on the program's pipe is ended (no UNO involved).
  static void EndRunningProcess();

  // The open spreadsheet documents ("workbooks") of the application.
  int documentCount();
  // Adds a document: a new one based on `templatePath`, or an empty one when it is empty; it
  // becomes the active document.
  void AddDocument(const QString& templatePath);
  // The local path of the active document, empty when it has never been stored.
  QString activeDocumentPath();
  bool visible();
  void setVisible(bool visible);
  // Closes the active document, first storing it under `fileName` (the format chosen by the
  // extension) when `save` is true.
  void CloseActive(bool save, const QString& fileName);

  int sheetCount();
  QString sheetName(int number);
  void SelectSheet(int number);
  void SelectSheet(const QString& name);
  // Inserts a sheet with the application's default name before the active one and activates it.
  void AddSheetBeforeActive();
  void RenameActiveSheet(const QString& name);

  // Cells of the active sheet.
  void SetNumber(int row, int col, double value);
  void SetText(int row, int col, const QString& text);
  // A formula in the R1C1 notation with English function names, e.g. "=R[-1]C*2".
  void SetFormulaR1C1(int row, int col, const QString& formula);
  // The cell's value as text: empty for an empty cell, the engine's number text for a number.
  QString CellText(int row, int col);
  // Writes `block` row by row from (row, col) of the active sheet.
  void WriteBlock(int row, int col, const CalcBlock& block);

  // While one is alive, the cell operations keep to the sheet that was active when it was made
  // instead of asking the application for the active sheet at every cell (ranges).
  class SheetHold {
   public:
    explicit SheetHold(CalcSession& session);
    ~SheetHold();
    SheetHold(const SheetHold&) = delete;
    SheetHold& operator=(const SheetHold&) = delete;

   private:
    CalcSession& session_;
  };

  // Called when the program ends: an application started here without windows is ended.
  void ProgramEnding();

 private:
  struct Link;
  std::unique_ptr<Link> link_;
};

// The one session of the program: the spreadsheet functions and the database export share it.
CalcSession& Calc();
