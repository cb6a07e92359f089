// The two variable grids under the editor: global variables and arrays on the left, the
// locals of the current function level (or of all levels) on the right.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QSplitter>
#include <QTableWidget>

class VariableGrids : public QSplitter {
  Q_OBJECT

 public:
  explicit VariableGrids(QWidget* parent = nullptr);

  // Refills both grids from the engine's tables.
  void refresh();
  // Both grids back to their headers and one empty row.
  void clear();
  // The width the local panel needs to show its headers and a short value column.
  int localPanelWidthNeeded() const;
  void applyLanguage();
  void setRowHeight(int height);

  QTableWidget* globalGrid() const { return global_; }
  QTableWidget* localGrid() const { return local_; }

 Q_SIGNALS:
  // A row was double-clicked: the name of the variable, or an array name + "[]".
  void valueWindowRequested(const QString& name);

 private:
  // The columns before each value column follow their headers and cells.
  void fitColumns();

  QTableWidget* global_;
  QTableWidget* local_;
  QLabel* globalCaption_;
  QLabel* localCaption_;
  QCheckBox* allLevels_;
};
