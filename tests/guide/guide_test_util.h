#pragma once
// Shared by the guide tests: a row of cells written compactly, and the check that a live list matches its grid.
#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "app/live_lists.h"
#include "guide/grid_model.h"
#include "guide/ng_word_list_rules.h"
#include "guide/notify_list_rules.h"
#include "tests/support/test_support.h"

namespace corvanto::test {

using Cells = std::vector<GridCell>;

inline std::vector<Cells> GridRows(const GridModel& grid) {
  std::vector<Cells> rows;
  for (int r = 0; r < grid.NewRowIndex(); ++r) {
    Cells cells;
    for (int c = 0; c < grid.ColumnCount(); ++c) cells.push_back(grid.Cell(r, c));
    rows.push_back(cells);
  }
  return rows;
}

// The live notify list holds one record per ordinary row, texts equal to the cells (defaults where unset).
inline void ExpectNotifyLiveMatchesGrid(const GridModel& grid, const NotifyLiveList& live) {
  const auto records = live.Snapshot();
  ASSERT_EQ(records.size(), static_cast<size_t>(grid.NewRowIndex()));
  for (int r = 0; r < grid.NewRowIndex(); ++r) {
    const NotifyNode& n = records[static_cast<size_t>(r)];
    EXPECT_EQ(n.server, grid.Cell(r, kNotifySite).value_or(L"Livetube")) << "row " << r;
    EXPECT_EQ(n.author, grid.Cell(r, kNotifyAuthor).value_or(L"")) << "row " << r;
    EXPECT_EQ(n.nickName, grid.Cell(r, kNotifyNickName).value_or(L"")) << "row " << r;
    EXPECT_EQ(n.keyword, grid.Cell(r, kNotifyKeyword).value_or(L"")) << "row " << r;
    EXPECT_EQ(n.tag, grid.Cell(r, kNotifyTag).value_or(L"")) << "row " << r;
    ASSERT_TRUE(n.NowLiveIdList.has_value());
    ASSERT_FALSE(n.NowLiveIdList->empty());
    EXPECT_EQ(n.NowLiveIdList->front(), kNowLiveIdPlaceholder);
  }
}

inline void ExpectNgLiveMatchesGrid(const GridModel& grid, const NgWordLiveList& live) {
  const auto records = live.Snapshot();
  ASSERT_EQ(records.size(), static_cast<size_t>(grid.NewRowIndex()));
  for (int r = 0; r < grid.NewRowIndex(); ++r) {
    const NgWordNode& n = records[static_cast<size_t>(r)];
    EXPECT_EQ(n.serverNg, grid.Cell(r, kNgSite).value_or(L"全部")) << "row " << r;
    EXPECT_EQ(n.NgAuthorName, grid.Cell(r, kNgAuthor).value_or(L"")) << "row " << r;
    EXPECT_EQ(n.NgKeyword, grid.Cell(r, kNgKeyword).value_or(L"")) << "row " << r;
    EXPECT_EQ(n.NgTag, grid.Cell(r, kNgTag).value_or(L"")) << "row " << r;
  }
}

}  // namespace corvanto::test
