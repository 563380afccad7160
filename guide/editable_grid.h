#pragma once
// An editable data grid for Win32, which has none: a report-mode list view that draws the rows of a GridModel
// itself (every second row AliceBlue on SeaShell, rows 21 pixels high, a row header marking the current row and
// the new-entry row) and edits the current cell in place with an edit box (text cells, optional length limit)
// or a drop-down list (choice cells).
//
// Keys: arrows, Tab, Page Up/Down, Home/End move the current cell; F2 or typing starts editing (typing replaces
// the text); while editing Enter commits and Escape cancels; Delete removes the current row (not the new-entry
// row). Mouse: a click makes a cell current, a click on the current cell or a double click edits it.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "guide/grid_model.h"

namespace corvanto {

struct GridColumn {
  std::wstring header;
  int width = 100;
  bool dropDown = false;              // a choice among `choices` instead of free text
  std::vector<std::wstring> choices;
  int maxLength = 0;                  // characters a text cell takes; 0 for no limit
  std::wstring toolTip;               // shown over the column's header; empty for none
};

class EditableGrid : private GridEvents {
 public:
  static constexpr int kRowHeight = 21;
  static constexpr COLORREF kSeaShell = RGB(255, 245, 238);
  static constexpr COLORREF kAliceBlue = RGB(240, 248, 255);

  // A child window of `parent` at the given place, with its own model. `resizableColumns` false keeps the column
  // widths fixed.
  EditableGrid(HWND parent, int controlId, RECT bounds, std::vector<GridColumn> columns, HFONT font,
               bool resizableColumns);
  EditableGrid(const EditableGrid&) = delete;
  EditableGrid& operator=(const EditableGrid&) = delete;
  ~EditableGrid() override;

  GridModel& Model() { return model_; }
  const GridModel& Model() const { return model_; }

  HWND hwnd() const { return hwnd_; }
  HWND ListView() const { return list_; }
  HWND Header() const;
  HWND ToolTip() const { return tip_; }
  // The in-place editors; hidden while no cell is edited.
  HWND TextEditor() const { return edit_; }
  HWND ChoiceEditor() const { return combo_; }

  void SetBounds(RECT bounds);

  int CurrentRow() const { return curRow_; }
  int CurrentColumn() const { return curCol_; }
  void SetCurrentCell(int row, int column);

  // Starts editing the current cell; `typed` replaces a text cell's content (the user began by typing), and a
  // choice cell opens its list when `dropDown` is set. False when the cell cannot be edited.
  bool BeginEdit(const std::wstring* typed = nullptr, bool dropDown = false);
  // Ends editing; with `commit` the editor's value goes into the model (a new-entry row then becomes a row).
  // The keyboard focus goes back to the grid if the editor had it, unless `restoreFocus` is false (the focus is
  // moving elsewhere already).
  void EndEdit(bool commit, bool restoreFocus = true);
  bool IsEditing() const { return editing_; }
  int EditRow() const { return editRow_; }

  // Removes the current row unless it is the new-entry row.
  bool DeleteCurrentRow();

  // A cell's rectangle in the list view's client coordinates (column -1 is the row header).
  RECT CellRect(int row, int column) const;

  // A cell holds a value its editor cannot show (a choice not in the list). The editor decides what to do.
  std::function<void(int row, int column)> DataError;

 private:
  // GridEvents: keep the current cell and an open editor on their row while rows come and go.
  void RowsAdded(int first, int count) override;
  void RowsRemoved(int first, int count) override;
  void CellValueChanged(int row, int column) override;

  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK ListProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref);
  static LRESULT CALLBACK EditorProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref);
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT OnListMessage(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnEditorMessage(HWND editor, UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnNotify(NMHDR* hdr);
  void DrawRow(const DRAWITEMSTRUCT& dis);
  void Refresh();
  void UpdateToolTips();
  void MoveCurrent(int rowDelta, int columnDelta);
  bool HitCell(POINT pt, int& row, int& column) const;
  int ColumnLeft(int column) const;  // list view client x of a model column (-1: the row header)

  GridModel model_;
  std::vector<GridColumn> columns_;
  bool resizable_;
  HWND hwnd_ = nullptr;
  HWND list_ = nullptr;
  HWND edit_ = nullptr;
  HWND combo_ = nullptr;
  HWND tip_ = nullptr;
  HFONT font_ = nullptr;
  int curRow_ = 0;
  int curCol_ = 0;
  bool editing_ = false;
  bool ending_ = false;
  int editRow_ = -1;
  int editCol_ = -1;
  unsigned editGeneration_ = 0;
};

}  // namespace corvanto
