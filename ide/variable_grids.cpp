#include "ide/variable_grids.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QVBoxLayout>

#include "engine/message_numbers.h"
#include "engine/messages.h"
#include "engine/variable_view.h"

namespace {

// The design widths of the columns before the value column, which takes the rest. A column
// grows beyond its design width when its header or a cell needs more.
const QList<int> kGlobalColumnWidths{81};
const QList<int> kLocalColumnWidths{25, 80};
constexpr int kShortValueColumn = 120;

void FitColumns(QTableWidget* grid, const QList<int>& designWidths) {
  for (int c = 0; c < designWidths.size(); ++c) {
    grid->resizeColumnToContents(c);
    grid->setColumnWidth(c, std::max(designWidths[c], grid->columnWidth(c)));
  }
}

QTableWidget* MakeGrid(int columns) {
  auto* grid = new QTableWidget(1, columns);
  QFont font(QStringLiteral("Consolas"));
  font.setPixelSize(16);
  grid->setFont(font);
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->setSelectionMode(QAbstractItemView::SingleSelection);
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->verticalHeader()->hide();
  grid->horizontalHeader()->setStretchLastSection(true);
  grid->setStyleSheet(QStringLiteral("QTableWidget::item:selected { background: #A6CAF0; color: black; }"));
  return grid;
}

QWidget* CaptionedPanel(QLabel* caption, QWidget* extra, QTableWidget* grid) {
  auto* panel = new QWidget;
  auto* layout = new QVBoxLayout(panel);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* head = new QWidget;
  auto* headLayout = new QHBoxLayout(head);
  headLayout->setContentsMargins(2, 0, 2, 0);
  headLayout->addWidget(caption, 1);
  if (extra) headLayout->addWidget(extra);
  layout->addWidget(head);
  layout->addWidget(grid, 1);
  return panel;
}

// Puts the rows into a grid (one empty row when there are none) and selects the marked row.
void Fill(QTableWidget* grid, const QList<ViewRow>& rows, bool withLevel) {
  grid->setRowCount(std::max<qsizetype>(1, rows.size()));
  grid->clearContents();
  int selected = 0;
  for (int r = 0; r < rows.size(); ++r) {
    const ViewRow& row = rows[r];
    int c = 0;
    if (withLevel) grid->setItem(r, c++, new QTableWidgetItem(QString::number(row.level)));
    grid->setItem(r, c++, new QTableWidgetItem(row.name));
    grid->setItem(r, c, new QTableWidgetItem(row.value));
    if (row.selected) selected = r;
  }
  grid->selectRow(selected);
}

void Clear(QTableWidget* grid) {
  grid->setRowCount(1);
  grid->clearContents();
}

}  // namespace

VariableGrids::VariableGrids(QWidget* parent)
    : QSplitter(Qt::Horizontal, parent),
      global_(MakeGrid(2)),
      local_(MakeGrid(3)),
      globalCaption_(new QLabel),
      localCaption_(new QLabel),
      allLevels_(new QCheckBox(QStringLiteral("Alll levels"))) {
  addWidget(CaptionedPanel(globalCaption_, nullptr, global_));
  addWidget(CaptionedPanel(localCaption_, allLevels_, local_));
  setSizes({600, 150});
  connect(allLevels_, &QCheckBox::toggled, this, &VariableGrids::refresh);
  const auto open = [this](QTableWidget* grid, int nameColumn) {
    connect(grid, &QTableWidget::cellDoubleClicked, this, [this, grid, nameColumn](int row, int) {
      if (const QTableWidgetItem* item = grid->item(row, nameColumn)) Q_EMIT valueWindowRequested(item->text());
    });
  };
  open(global_, 0);
  open(local_, 1);
  applyLanguage();
}

void VariableGrids::applyLanguage() {
  globalCaption_->setText(MessageText(msg::kGlobalVariables));
  localCaption_->setText(QStringLiteral("  ") + MessageText(msg::kLocalVariables));
  global_->setHorizontalHeaderLabels(
      {MessageText(msg::kNamesColumn), MessageText(msg::kValuesColumn)});
  local_->setHorizontalHeaderLabels({MessageText(msg::kFunctionLevelColumn),
                                     MessageText(msg::kNamesColumn),
                                     MessageText(msg::kValuesColumn)});
  fitColumns();
}

int VariableGrids::localPanelWidthNeeded() const {
  int width = kShortValueColumn + 2 * local_->frameWidth() + local_->verticalScrollBar()->sizeHint().width();
  for (int c = 0; c < kLocalColumnWidths.size(); ++c) width += local_->columnWidth(c);
  return width;
}

void VariableGrids::setRowHeight(int height) {
  // Never lower than the grid font needs: a fallback face may be taller than the design one.
  height = std::max(height, global_->fontMetrics().height() + 2);
  global_->verticalHeader()->setDefaultSectionSize(height);
  local_->verticalHeader()->setDefaultSectionSize(height);
}

void VariableGrids::refresh() {
  Fill(global_, GlobalViewRows(), false);
  Fill(local_, LocalViewRows(allLevels_->isChecked()), true);
  fitColumns();
}

void VariableGrids::clear() {
  Clear(global_);
  Clear(local_);
  fitColumns();
}

void VariableGrids::fitColumns() {
  FitColumns(global_, kGlobalColumnWidths);
  FitColumns(local_, kLocalColumnWidths);
}
