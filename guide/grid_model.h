#pragma once
// The content of an editable grid without its window: rows of cells that are unset or hold a text, always
// followed by one empty row for new entries, and the events a data grid raises when rows come and go or a cell
// changes. The editors' rules listen to these events; the grid window only draws the content and turns the
// user's keys and clicks into calls here.
#include <optional>
#include <string>
#include <vector>

namespace corvanto {

// Unset (nothing was ever put into it since its row was made) or a text, possibly empty.
using GridCell = std::optional<std::wstring>;

inline bool CellIsEmpty(const GridCell& cell) { return !cell || cell->empty(); }

// The rules that keep a live list in step with the grid. Handlers may change the grid again (set another cell,
// delete the row); the grid supports that.
class GridEvents {
 public:
  virtual ~GridEvents() = default;
  virtual void RowsAdded(int first, int count) = 0;
  virtual void RowsRemoved(int first, int count) = 0;
  virtual void CellValueChanged(int row, int column) = 0;
};

class GridModel {
 public:
  explicit GridModel(int columns);
  GridModel(const GridModel&) = delete;
  GridModel& operator=(const GridModel&) = delete;

  // Listeners hear every event in the order they were added (the window first, then the editor's rules).
  void AddListener(GridEvents* listener) { listeners_.push_back(listener); }
  void RemoveListener(GridEvents* listener);

  int ColumnCount() const { return columns_; }
  // Every row, the empty new-entry row included: that row is always the last, at NewRowIndex().
  int RowCount() const { return static_cast<int>(rows_.size()) + 1; }
  int NewRowIndex() const { return static_cast<int>(rows_.size()); }
  bool IsNewRow(int row) const { return row == NewRowIndex(); }

  // The new-entry row's cells are unset; out-of-range reads are unset too.
  const GridCell& Cell(int row, int column) const;
  bool IsEmpty(int row, int column) const { return CellIsEmpty(Cell(row, column)); }

  // Inserts an ordinary row just above the new-entry row and raises RowsAdded for it. Returns its index.
  int AddRow();
  // Removes an ordinary row and raises RowsRemoved; the new-entry row cannot be removed.
  bool RemoveRow(int row);
  // Puts a value into a cell of an ordinary row and raises CellValueChanged, even when the value is the same
  // (as a program's put does). False for the new-entry row or out of range.
  bool SetCell(int row, int column, GridCell value);

  // The user committed `text` into a cell. Nothing happens when the cell already shows that text (an unset cell
  // shows the empty text). Otherwise, in the new-entry row, the row first becomes an ordinary row (RowsAdded)
  // and a new empty row appears below it; then the cell takes the text (CellValueChanged). Returns whether the
  // cell changed.
  bool CommitUserEdit(int row, int column, const std::wstring& text);

 private:
  template <class F>
  void Raise(F&& f);

  int columns_;
  std::vector<std::vector<GridCell>> rows_;
  std::vector<GridEvents*> listeners_;
};

}  // namespace corvanto
