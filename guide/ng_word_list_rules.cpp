#include "guide/ng_word_list_rules.h"

#include <string>

#include "app/sites.h"

namespace corvanto {

namespace {
const std::wstring kAllSites(sites::kAll);
}

NgWordListRules::NgWordListRules(GridModel& grid, NgWordLiveList& live) : grid_(grid), live_(live) {
  grid_.AddListener(this);
}

NgWordListRules::~NgWordListRules() { grid_.RemoveListener(this); }

NgWordNode NgWordListRules::NewRecord() { return NgWordNode{kAllSites, L"", L"", L""}; }

void NgWordListRules::Load(const std::vector<NgWordNode>& rules) {
  loading_ = true;
  for (const NgWordNode& r : rules) {
    const int row = grid_.AddRow();
    const OptText* values[] = {&r.serverNg, &r.NgAuthorName, &r.NgKeyword, &r.NgTag};
    for (int column = 0; column < kNgColumns; ++column)
      if (values[column]->has_value()) grid_.SetCell(row, column, **values[column]);
  }
  loading_ = false;
}

void NgWordListRules::NgWordView_RowsAdded(int first, int count) {
  for (int i = 0; i < count; ++i) live_.Append(NewRecord());
}

void NgWordListRules::NgWordView_RowsRemoved(int first, int count) {
  for (int i = 0; i < count; ++i) live_.RemoveAt(static_cast<size_t>(first));
}

void NgWordListRules::NgWordView_CellValueChanged(int row, int column) {
  if (row < 0 || row >= grid_.NewRowIndex()) return;
  const GridCell& value = grid_.Cell(row, column);
  if (column == kNgSite) {
    live_.Modify(static_cast<size_t>(row), [&](NgWordNode& n) { n.serverNg = value.value_or(kAllSites); });
    return;
  }
  if (!loading_ && grid_.IsEmpty(row, kNgAuthor) && grid_.IsEmpty(row, kNgKeyword) && grid_.IsEmpty(row, kNgTag)) {
    grid_.RemoveRow(row);
    return;
  }
  const std::wstring text = value.value_or(L"");
  live_.Modify(static_cast<size_t>(row), [&](NgWordNode& n) {
    switch (column) {
      case kNgAuthor: n.NgAuthorName = text; break;
      case kNgKeyword: n.NgKeyword = text; break;
      case kNgTag: n.NgTag = text; break;
      default: break;
    }
  });
  if (!loading_ && grid_.IsEmpty(row, kNgSite)) grid_.SetCell(row, kNgSite, kAllSites);
}

std::vector<NgWordNode> NgWordListRules::SaveRecords() const {
  std::vector<NgWordNode> out;
  out.reserve(static_cast<size_t>(grid_.NewRowIndex()));
  for (int r = 0; r < grid_.NewRowIndex(); ++r)
    out.push_back(NgWordNode{grid_.Cell(r, kNgSite), grid_.Cell(r, kNgAuthor), grid_.Cell(r, kNgKeyword),
                             grid_.Cell(r, kNgTag)});
  return out;
}

}  // namespace corvanto
