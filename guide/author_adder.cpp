#include "guide/author_adder.h"

#include "guide/ng_word_list_rules.h"
#include "guide/notify_list_rules.h"

namespace corvanto {

void AuthorAdder::AddAuthorList(const std::wstring& site, const std::wstring& author, const std::wstring& nickName) {
  // The new row takes the new-entry row's index; that row moves down below it.
  const int k = NotifyListView.RowCount() - 1;
  NotifyListView.AddRow();
  // A put can delete the row (an empty broadcaster with nothing else yet); later puts then miss the new-entry row
  // harmlessly, since that row takes no values.
  NotifyListView.SetCell(k, kNotifySite, site);
  NotifyListView.SetCell(k, kNotifyAuthor, author);
  NotifyListView.SetCell(k, kNotifyNickName, nickName);
  NotifyListView.SetCell(k, kNotifyKeyword, L"");
  NotifyListView.SetCell(k, kNotifyTag, L"");
}

void AuthorAdder::AddNgWordList(const std::wstring& site, const std::wstring& author) {
  const int k = NgWordView.RowCount() - 1;
  NgWordView.AddRow();
  NgWordView.SetCell(k, kNgSite, site);
  NgWordView.SetCell(k, kNgAuthor, author);
  NgWordView.SetCell(k, kNgKeyword, L"");
}

}  // namespace corvanto
