#include "guide/grid_model.h"

#include <algorithm>

namespace corvanto {

namespace {
const GridCell kUnset;
}

GridModel::GridModel(int columns) : columns_(columns) {}

void GridModel::RemoveListener(GridEvents* listener) {
  listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

// A handler may add or remove listeners or change the grid again; iterate over a copy.
template <class F>
void GridModel::Raise(F&& f) {
  const std::vector<GridEvents*> listeners = listeners_;
  for (GridEvents* l : listeners) f(*l);
}

const GridCell& GridModel::Cell(int row, int column) const {
  if (row < 0 || row >= static_cast<int>(rows_.size()) || column < 0 || column >= columns_) return kUnset;
  return rows_[static_cast<size_t>(row)][static_cast<size_t>(column)];
}

int GridModel::AddRow() {
  const int index = static_cast<int>(rows_.size());
  rows_.emplace_back(static_cast<size_t>(columns_));
  Raise([&](GridEvents& l) { l.RowsAdded(index, 1); });
  return index;
}

bool GridModel::RemoveRow(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return false;
  rows_.erase(rows_.begin() + row);
  Raise([&](GridEvents& l) { l.RowsRemoved(row, 1); });
  return true;
}

bool GridModel::SetCell(int row, int column, GridCell value) {
  if (row < 0 || row >= static_cast<int>(rows_.size()) || column < 0 || column >= columns_) return false;
  rows_[static_cast<size_t>(row)][static_cast<size_t>(column)] = std::move(value);
  Raise([&](GridEvents& l) { l.CellValueChanged(row, column); });
  return true;
}

bool GridModel::CommitUserEdit(int row, int column, const std::wstring& text) {
  if (row < 0 || row > NewRowIndex() || column < 0 || column >= columns_) return false;
  if (Cell(row, column).value_or(std::wstring()) == text) return false;
  if (IsNewRow(row)) row = AddRow();
  return SetCell(row, column, text);
}

}  // namespace corvanto
