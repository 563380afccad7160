#pragma once
// The notify editor's rules without its window: they keep the live list in step with the grid, one record per
// ordinary row, and turn the rows into the records that are saved.
#include <vector>

#include "app/list_nodes.h"
#include "app/live_lists.h"
#include "guide/grid_model.h"

namespace corvanto {

// The notify grid's columns.
enum NotifyColumn : int { kNotifySite = 0, kNotifyAuthor, kNotifyNickName, kNotifyKeyword, kNotifyTag, kNotifyColumns };

class NotifyListRules : public GridEvents {
 public:
  // Listens to `grid` for as long as it lives; `grid` and `live` must outlive it.
  NotifyListRules(GridModel& grid, NotifyLiveList& live);
  ~NotifyListRules() override;
  NotifyListRules(const NotifyListRules&) = delete;
  NotifyListRules& operator=(const NotifyListRules&) = delete;

  // The record a new row starts with: site "Livetube", empty texts, the one-entry placeholder memory.
  static NotifyNode NewRecord();

  // One row per record in order: its site, then each text that is not empty (the others stay unset).
  void Load(const std::vector<NotifyNode>& records);

  void NotifyListView_RowsAdded(int first, int count);
  void NotifyListView_RowsRemoved(int first, int count);
  void NotifyListView_CellValueChanged(int row, int column);

  // The save's check of the rows (a nickname alone becomes the broadcaster, rows with nothing to look for go,
  // unset texts become empty), then the records to write, one per remaining row.
  std::vector<NotifyNode> ApplySaveRules();

 private:
  void RowsAdded(int first, int count) override { NotifyListView_RowsAdded(first, count); }
  void RowsRemoved(int first, int count) override { NotifyListView_RowsRemoved(first, count); }
  void CellValueChanged(int row, int column) override { NotifyListView_CellValueChanged(row, column); }

  GridModel& grid_;
  NotifyLiveList& live_;
};

}  // namespace corvanto
