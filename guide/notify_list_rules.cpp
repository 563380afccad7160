#include "guide/notify_list_rules.h"

#include <string>

#include "app/sites.h"

namespace corvanto {

namespace {
const std::wstring kDefaultSite(sites::kLivetube);
const std::wstring kAllSites(sites::kAll);
}  // namespace

NotifyListRules::NotifyListRules(GridModel& grid, NotifyLiveList& live) : grid_(grid), live_(live) {
  grid_.AddListener(this);
}

NotifyListRules::~NotifyListRules() { grid_.RemoveListener(this); }

NotifyNode NotifyListRules::NewRecord() {
  return NotifyNode{kDefaultSite, L"", L"", L"", L"", std::vector<std::wstring>{kNowLiveIdPlaceholder}};
}

void NotifyListRules::Load(const std::vector<NotifyNode>& records) {
  for (const NotifyNode& r : records) {
    const int row = grid_.AddRow();
    grid_.SetCell(row, kNotifySite, r.server.value_or(kDefaultSite));
    const OptText* texts[] = {&r.author, &r.nickName, &r.keyword, &r.tag};
    const int columns[] = {kNotifyAuthor, kNotifyNickName, kNotifyKeyword, kNotifyTag};
    for (int i = 0; i < 4; ++i)
      if (texts[i]->has_value() && !(*texts[i])->empty()) grid_.SetCell(row, columns[i], **texts[i]);
  }
}

void NotifyListRules::NotifyListView_RowsAdded(int first, int count) {
  for (int i = 0; i < count; ++i) live_.Append(NewRecord());
}

void NotifyListRules::NotifyListView_RowsRemoved(int first, int count) {
  for (int i = 0; i < count; ++i) live_.RemoveAt(static_cast<size_t>(first));
}

void NotifyListRules::NotifyListView_CellValueChanged(int row, int column) {
  if (row < 0 || row >= grid_.NewRowIndex()) return;  // the header row, or a row already gone
  const GridCell& value = grid_.Cell(row, column);
  if (column == kNotifySite) {
    live_.Modify(static_cast<size_t>(row), [&](NotifyNode& n) { n.server = value.value_or(kDefaultSite); });
    return;
  }
  if (grid_.IsEmpty(row, kNotifyAuthor) && grid_.IsEmpty(row, kNotifyNickName) && grid_.IsEmpty(row, kNotifyKeyword) &&
      grid_.IsEmpty(row, kNotifyTag)) {
    grid_.RemoveRow(row);
    return;
  }
  const std::wstring text = value.value_or(L"");
  live_.Modify(static_cast<size_t>(row), [&](NotifyNode& n) {
    switch (column) {
      case kNotifyAuthor: n.author = text; break;
      case kNotifyNickName: n.nickName = text; break;
      case kNotifyKeyword: n.keyword = text; break;
      case kNotifyTag: n.tag = text; break;
      default: break;
    }
  });
  if (grid_.IsEmpty(row, kNotifySite)) grid_.SetCell(row, kNotifySite, kAllSites);
}

std::vector<NotifyNode> NotifyListRules::ApplySaveRules() {
  // Each put runs the cell rule, which may delete the row; then the row now at this position is checked next.
  int i = 0;
  auto put = [&](int column, const std::wstring& text) {
    const int before = grid_.RowCount();
    grid_.SetCell(i, column, text);
    return grid_.RowCount() == before;  // false: the row is gone
  };
  auto unset = [&](int column) { return !grid_.Cell(i, column).has_value(); };
  while (i < grid_.NewRowIndex()) {
    if (unset(kNotifyAuthor) && unset(kNotifyKeyword) && unset(kNotifyTag) && !unset(kNotifyNickName)) {
      const std::wstring nick = *grid_.Cell(i, kNotifyNickName);
      if (!put(kNotifyAuthor, nick) || !put(kNotifyKeyword, L"") || !put(kNotifyTag, L"")) continue;
    }
    if (unset(kNotifyAuthor) && unset(kNotifyKeyword) && unset(kNotifyTag)) {
      grid_.RemoveRow(i);
      continue;
    }
    bool gone = false;
    for (int column : {kNotifyAuthor, kNotifyNickName, kNotifyKeyword, kNotifyTag}) {
      if (unset(column) && !put(column, L"")) {
        gone = true;
        break;
      }
    }
    if (!gone) ++i;
  }

  std::vector<NotifyNode> out;
  out.reserve(static_cast<size_t>(grid_.NewRowIndex()));
  for (int r = 0; r < grid_.NewRowIndex(); ++r) {
    auto text = [&](int column) { return grid_.Cell(r, column).value_or(L""); };
    out.push_back(NotifyNode{grid_.Cell(r, kNotifySite).value_or(kDefaultSite), text(kNotifyAuthor),
                             text(kNotifyNickName), text(kNotifyKeyword), text(kNotifyTag),
                             std::vector<std::wstring>{kNowLiveIdPlaceholder}});
  }
  return out;
}

}  // namespace corvanto
