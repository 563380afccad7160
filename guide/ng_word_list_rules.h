#pragma once
// The NG editor's rules without its window: they keep the live NG list in step with the grid and turn the rows,
// unchanged, into the records that are saved.
#include <vector>

#include "app/list_nodes.h"
#include "app/live_lists.h"
#include "guide/grid_model.h"

namespace corvanto {

enum NgColumn : int { kNgSite = 0, kNgAuthor, kNgKeyword, kNgTag, kNgColumns };

class NgWordListRules : public GridEvents {
 public:
  NgWordListRules(GridModel& grid, NgWordLiveList& live);
  ~NgWordListRules() override;
  NgWordListRules(const NgWordListRules&) = delete;
  NgWordListRules& operator=(const NgWordListRules&) = delete;

  // The record a new row starts with: site "全部", empty texts.
  static NgWordNode NewRecord();

  // One row per rule with its four values, empty texts included; an absent value leaves its cell unset. No row
  // is deleted while loading, even one whose texts are all empty.
  void Load(const std::vector<NgWordNode>& rules);

  void NgWordView_RowsAdded(int first, int count);
  void NgWordView_RowsRemoved(int first, int count);
  void NgWordView_CellValueChanged(int row, int column);

  // One record per row as it stands: an unset cell gives an absent value. Nothing is checked or changed.
  std::vector<NgWordNode> SaveRecords() const;

 private:
  void RowsAdded(int first, int count) override { NgWordView_RowsAdded(first, count); }
  void RowsRemoved(int first, int count) override { NgWordView_RowsRemoved(first, count); }
  void CellValueChanged(int row, int column) override { NgWordView_CellValueChanged(row, column); }

  GridModel& grid_;
  NgWordLiveList& live_;
  bool loading_ = false;
};

}  // namespace corvanto
