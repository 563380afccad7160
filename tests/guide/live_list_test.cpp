// The live lists shared with the fetch worker: a second thread reads snapshots and appends to rows'
// NowLiveIdList while the grid is edited on this thread.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <random>
#include <thread>
#include <vector>

#include "app/live_lists.h"
#include "guide/grid_model.h"
#include "guide/ng_word_list_rules.h"
#include "guide/notify_list_rules.h"
#include "tests/guide/guide_test_util.h"

namespace corvanto::test {
namespace {

// One random user edit on a grid of `columns` columns whose column 0 is the site.
void RandomEdit(GridModel& grid, std::mt19937& rng) {
  static const wchar_t* const kSites[] = {L"Livetube", L"CaveTube", L"ひまわりストリーム", L"全部"};
  static const wchar_t* const kTexts[] = {L"", L"a", L"配信者", L"キーワード", L"tag"};
  const int row = static_cast<int>(rng() % static_cast<unsigned>(grid.RowCount()));
  const int pick = static_cast<int>(rng() % 10);
  if (pick == 0) {
    grid.RemoveRow(row);
  } else if (pick == 1) {
    grid.CommitUserEdit(row, 0, kSites[rng() % 4]);
  } else {
    const int column = 1 + static_cast<int>(rng() % static_cast<unsigned>(grid.ColumnCount() - 1));
    grid.CommitUserEdit(row, column, kTexts[rng() % 5]);
  }
}

TEST(LiveLists, WorkerReadsAndAppendsWhileTheGridIsEdited) {
  GridModel notifyGrid(kNotifyColumns);
  NotifyLiveList notifyLive;
  NotifyListRules notifyRules(notifyGrid, notifyLive);
  GridModel ngGrid(kNgColumns);
  NgWordLiveList ngLive;
  NgWordListRules ngRules(ngGrid, ngLive);

  std::atomic<bool> stop{false};
  std::atomic<int> passes{0};
  std::atomic<int> bad{0};
  // What the worker appended, per row handle, in order.
  std::map<NotifyLiveList::RowPtr, std::vector<std::wstring>> appended;
  std::thread worker([&] {
    int serial = 0;
    while (!stop.load()) {
      for (const NgWordNode& rule : ngLive.Snapshot())
        if (!rule.serverNg || rule.serverNg->empty() || !rule.NgAuthorName || !rule.NgKeyword || !rule.NgTag) ++bad;
      auto rows = notifyLive.SnapshotRows();
      for (const auto& entry : rows) {
        const NotifyNode& n = entry.node;
        if (!n.server || n.server->empty() || !n.NowLiveIdList || n.NowLiveIdList->empty() ||
            n.NowLiveIdList->front() != kNowLiveIdPlaceholder)
          ++bad;
      }
      if (!rows.empty()) {
        const auto& target = rows[static_cast<size_t>(serial) % rows.size()];
        const std::wstring id = L"http://live/" + std::to_wstring(++serial);
        if (!NowLiveIdKnown(notifyLive, target.row, id)) {
          AppendNowLiveId(notifyLive, target.row, id);
          appended[target.row].push_back(id);
        }
      }
      ++passes;
    }
  });

  std::mt19937 rng(20261211);
  for (int i = 0; i < 4000; ++i) {
    RandomEdit(notifyGrid, rng);
    RandomEdit(ngGrid, rng);
    if (i % 64 == 0) std::this_thread::yield();
  }
  // Keep editing until the worker has had a fair share of passes alongside.
  while (passes.load() < 200) RandomEdit(notifyGrid, rng);
  stop = true;
  worker.join();

  EXPECT_EQ(bad.load(), 0);
  ExpectNotifyLiveMatchesGrid(notifyGrid, notifyLive);
  ExpectNgLiveMatchesGrid(ngGrid, ngLive);
  // Every row still listed kept exactly what the worker appended to it, after the placeholder.
  for (const auto& entry : notifyLive.SnapshotRows()) {
    std::vector<std::wstring> expected{kNowLiveIdPlaceholder};
    auto it = appended.find(entry.row);
    if (it != appended.end()) expected.insert(expected.end(), it->second.begin(), it->second.end());
    EXPECT_EQ(entry.node.NowLiveIdList, expected);
  }
}

}  // namespace
}  // namespace corvanto::test
