// The spreadsheet that DB_Export_To_Excel writes into: the active sheet of the document the
// spreadsheet functions opened or attached to. The spreadsheet module installs the writer; without
// one the export says that no spreadsheet application is available.
#pragma once

#include <QString>
#include <QVariant>

class SheetWriter {
 public:
  virtual ~SheetWriter() = default;
  // Attaches to the running spreadsheet application with a document open. False when there is
  // none: `error` holds the reason, or stays empty for "no application with a document".
  virtual bool Attach(QString& error) = 0;
  // Writes one cell of the active sheet (row and column from 1): a number, a truth value, a
  // date, a time, a date and time, or a text. False with `error` on failure.
  virtual bool WriteCell(int row, int column, const QVariant& value, QString& error) = 0;
};

SheetWriter* InstalledSheetWriter();
// Installs the writer (not owned); nullptr removes it.
void InstallSheetWriter(SheetWriter* writer);
