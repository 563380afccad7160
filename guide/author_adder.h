#pragma once
// Appends a program's broadcaster to the notify grid or the NG grid, as a user's new row would be; the editors'
// own rules then give their live lists the matching record. It owns neither grid.
#include <string>

#include "guide/grid_model.h"

namespace corvanto {

class AuthorAdder {
 public:
  AuthorAdder(GridModel& notifyView, GridModel& ngView) : NotifyListView(notifyView), NgWordView(ngView) {}

  // A notify row: site, broadcaster, nickname, empty keyword and tag.
  void AddAuthorList(const std::wstring& site, const std::wstring& author, const std::wstring& nickName);
  // An NG row: site, broadcaster, empty keyword; the tag stays unset.
  void AddNgWordList(const std::wstring& site, const std::wstring& author);

 private:
  GridModel& NotifyListView;
  GridModel& NgWordView;
};

}  // namespace corvanto
