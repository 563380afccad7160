#pragma once
// The live notify and NG lists: one record per editor row, changed in place by the editor on the interface
// thread and read by the fetch worker on its own thread.
//
// Each record sits behind a shared pointer, so a worker that took a row before the editor removed it still holds
// valid memory (a dropped record nobody else sees). One mutex per list guards the row order and every record's
// fields; each side holds it only for a copy or a single change, never across a wait.
#include <algorithm>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/list_nodes.h"

namespace corvanto {

template <class Node>
class LiveList {
 public:
  // One row's record. Its fields may only be touched through the list (under its mutex).
  struct Row {
    explicit Row(Node n) : node(std::move(n)) {}
    Node node;
  };
  using RowPtr = std::shared_ptr<Row>;

  // A row as it stood when the snapshot was taken, with the handle that reaches the live record.
  struct Entry {
    RowPtr row;
    Node node;
  };

  LiveList() = default;
  LiveList(const LiveList&) = delete;
  LiveList& operator=(const LiveList&) = delete;

  // --- the editor's side (interface thread) ---

  void Append(Node node) {
    auto row = std::make_shared<Row>(std::move(node));
    std::lock_guard<std::mutex> lock(mutex_);
    rows_.push_back(std::move(row));
  }

  // Removes the record at `index`; a worker still holding its handle keeps the memory until it lets go.
  void RemoveAt(std::size_t index) {
    RowPtr dropped;  // released after the lock, in case it is the last reference
    std::lock_guard<std::mutex> lock(mutex_);
    if (index >= rows_.size()) return;
    dropped = std::move(rows_[index]);
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
  }

  // Changes the record at `index` in place: `change(Node&)` runs under the lock. False when there is none.
  template <class F>
  bool Modify(std::size_t index, F&& change) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (index >= rows_.size()) return false;
    change(rows_[index]->node);
    return true;
  }

  // --- any thread ---

  std::size_t Count() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return rows_.size();
  }

  std::optional<Node> At(std::size_t index) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (index >= rows_.size()) return std::nullopt;
    return rows_[index]->node;
  }

  // Copies of every record, in row order, all taken at one moment.
  std::vector<Node> Snapshot() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Node> out;
    out.reserve(rows_.size());
    for (const RowPtr& r : rows_) out.push_back(r->node);
    return out;
  }

  // Copies plus handles, for a reader that must later change the very records it read (the notification).
  std::vector<Entry> SnapshotRows() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Entry> out;
    out.reserve(rows_.size());
    for (const RowPtr& r : rows_) out.push_back(Entry{r, r->node});
    return out;
  }

  // Reads or changes one row's record through its handle, whether or not the row is still in the list.
  template <class F>
  auto WithRow(const RowPtr& row, F&& use) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return use(row->node);
  }

  // Whether the handle's row is still in the list.
  bool Contains(const RowPtr& row) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::find(rows_.begin(), rows_.end(), row) != rows_.end();
  }

 private:
  mutable std::mutex mutex_;
  std::vector<RowPtr> rows_;
};

using NotifyLiveList = LiveList<NotifyNode>;
using NgWordLiveList = LiveList<NgWordNode>;

// The notification's once-only memory of a row: true when an entry of its NowLiveIdList contains `liveUrl`.
inline bool NowLiveIdKnown(const NotifyLiveList& list, const NotifyLiveList::RowPtr& row,
                           const std::wstring& liveUrl) {
  return list.WithRow(row, [&](const NotifyNode& n) {
    if (!n.NowLiveIdList) return false;
    for (const std::wstring& id : *n.NowLiveIdList)
      if (id.find(liveUrl) != std::wstring::npos) return true;
    return false;
  });
}

// Appends `liveUrl` to the row's NowLiveIdList. A row the editor has removed meanwhile takes it harmlessly.
inline void AppendNowLiveId(NotifyLiveList& list, const NotifyLiveList::RowPtr& row, std::wstring liveUrl) {
  list.WithRow(row, [&](NotifyNode& n) {
    if (!n.NowLiveIdList) n.NowLiveIdList.emplace();
    n.NowLiveIdList->push_back(std::move(liveUrl));
  });
}

}  // namespace corvanto
