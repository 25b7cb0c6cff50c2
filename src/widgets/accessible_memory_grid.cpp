// The memory grid to assistive technology: a table with a row per line of
// the dump (one machine word in this system) and two columns, the digits
// and the text. Cells are made when they are first asked for and live as
// long as the grid's interface; each reads the grid afresh.

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

#include <algorithm>
#include <utility>

#include "widgets/accessibility.h"
#include "widgets/hex_editor.h"

namespace orben {

namespace {

using Area = THexEditor::Area;

constexpr int kColumns = 2;  // the digits, the text

Area areaOf(int column) {
  return column == 0 ? Area::Digits : Area::Text;
}

int rowsOf(const THexEditor& grid) {
  return static_cast<int>(grid.rowCount());
}

// The caret's cell: its row and its area's column.
int caretRow(const THexEditor& grid) {
  return static_cast<int>(grid.caretByteIndex() / grid.bytesPerLine());
}
int caretColumn(const THexEditor& grid) {
  return grid.caretArea() == Area::Digits ? 0 : 1;
}

class GridCell final : public QAccessibleInterface, public QAccessibleTableCellInterface {
 public:
  GridCell(THexEditor* grid, int row, int column) : grid_(grid), row_(row), column_(column) {}

  bool isValid() const override { return grid_ && row_ < rowsOf(*grid_); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override {
    QAccessibleInterface* grid = table();
    return grid ? grid->window() : nullptr;
  }
  QAccessibleInterface* parent() const override { return table(); }
  QAccessibleInterface* child(int) const override { return nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessible::Role role() const override { return QAccessible::Cell; }

  // "H0012: 2105": the row's label, then what the cell shows.
  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Name || !isValid()) return {};
    const QString label = grid_->rowLabel(row_);
    const QString shown = grid_->rowText(row_, areaOf(column_));
    return label.isEmpty() ? shown : label + u' ' + shown;
  }
  void setText(QAccessible::Text, const QString&) override {}

  QRect rect() const override {
    if (!isValid()) return {};
    const int bytes = grid_->bytesPerLine();
    const std::size_t first = static_cast<std::size_t>(row_) * bytes;
    const std::size_t last = std::min(first + bytes, grid_->dataSize()) - 1;
    const Area area = areaOf(column_);
    const QRect local = grid_->cellRect(first, area).united(grid_->cellRect(last, area, 1));
    return QRect(grid_->viewport()->mapToGlobal(local.topLeft()), local.size());
  }

  QAccessible::State state() const override {
    QAccessible::State state;
    if (!isValid()) {
      state.invalid = true;
      return state;
    }
    state.focusable = true;
    state.focused = grid_->hasFocus() && row_ == caretRow(*grid_) && column_ == caretColumn(*grid_);
    const long long top = grid_->firstVisibleRow();
    state.offscreen = row_ < top || row_ >= top + grid_->visibleRowCount();
    return state;
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::TableCellInterface
               ? static_cast<QAccessibleTableCellInterface*>(this)
               : nullptr;
  }

  // QAccessibleTableCellInterface
  bool isSelected() const override { return false; }
  QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
  QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
  int columnIndex() const override { return column_; }
  int rowIndex() const override { return row_; }
  int columnExtent() const override { return 1; }
  int rowExtent() const override { return 1; }
  QAccessibleInterface* table() const override {
    return QAccessible::queryAccessibleInterface(grid_.data());
  }

 private:
  QPointer<THexEditor> grid_;
  int row_;
  int column_;
};

class AccessibleMemoryGrid final : public QAccessibleWidget, public QAccessibleTableInterface {
 public:
  explicit AccessibleMemoryGrid(THexEditor* grid) : QAccessibleWidget(grid, QAccessible::Table) {}

  ~AccessibleMemoryGrid() override {
    for (QAccessible::Id id : std::as_const(cells_)) QAccessible::deleteAccessibleInterface(id);
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  // The cells are the children, row by row.
  int childCount() const override { return rowCount() * kColumns; }
  QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= childCount()) return nullptr;
    return cellAt(index / kColumns, index % kColumns);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    auto* cell = const_cast<QAccessibleInterface*>(child)->tableCellInterface();
    if (cell == nullptr || cell->table() != this) return -1;
    return cell->rowIndex() * kColumns + cell->columnIndex();
  }
  QAccessibleInterface* focusChild() const override {
    if (rowCount() == 0) return nullptr;
    return cellAt(caretRow(*grid()), caretColumn(*grid()));
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    const long long top = grid()->firstVisibleRow();
    for (long long row = top;
         row < std::min<long long>(top + grid()->visibleRowCount() + 1, rowCount()); ++row) {
      for (int column = 0; column < kColumns; ++column) {
        QAccessibleInterface* cell = cellAt(static_cast<int>(row), column);
        if (cell->rect().contains(x, y)) return cell;
      }
    }
    return nullptr;
  }

  // QAccessibleTableInterface
  QAccessibleInterface* caption() const override { return nullptr; }
  QAccessibleInterface* summary() const override { return nullptr; }
  QAccessibleInterface* cellAt(int row, int column) const override {
    if (row < 0 || row >= rowCount() || column < 0 || column >= kColumns) return nullptr;
    const int index = row * kColumns + column;
    if (const QAccessible::Id id = cells_.value(index)) return QAccessible::accessibleInterface(id);
    auto* cell = new GridCell(grid(), row, column);
    cells_.insert(index, QAccessible::registerAccessibleInterface(cell));
    return cell;
  }
  QString columnDescription(int column) const override {
    if (column == 0) return QStringLiteral("Dígitos");
    return column == 1 ? QStringLiteral("Texto") : QString();
  }
  QString rowDescription(int row) const override { return grid()->rowLabel(row); }
  int columnCount() const override { return kColumns; }
  int rowCount() const override { return rowsOf(*grid()); }
  // Nothing is ever selected: the caret's cell is the focused one.
  int selectedCellCount() const override { return 0; }
  QList<QAccessibleInterface*> selectedCells() const override { return {}; }
  int selectedColumnCount() const override { return 0; }
  int selectedRowCount() const override { return 0; }
  QList<int> selectedColumns() const override { return {}; }
  QList<int> selectedRows() const override { return {}; }
  bool isColumnSelected(int) const override { return false; }
  bool isRowSelected(int) const override { return false; }
  bool selectRow(int) override { return false; }
  bool selectColumn(int) override { return false; }
  bool unselectRow(int) override { return false; }
  bool unselectColumn(int) override { return false; }
  void modelChange(QAccessibleTableModelChangeEvent*) override {}

 private:
  THexEditor* grid() const { return static_cast<THexEditor*>(widget()); }

  mutable QHash<int, QAccessible::Id> cells_;
};

}  // namespace

QAccessibleInterface* accessibleMemoryGrid(THexEditor* grid) {
  return new AccessibleMemoryGrid(grid);
}

void announceCaretCell(THexEditor& grid) {
  if (grid.dataSize() == 0) return;
  QAccessibleEvent event(&grid, QAccessible::Focus);
  event.setChild(caretRow(grid) * kColumns + caretColumn(grid));
  QAccessible::updateAccessibility(&event);
}

}  // namespace orben
