#pragma once
// One live program as a site's feed describes it, and the lists that hold such records.
#include <memory>
#include <string>
#include <vector>

namespace corvanto {

// Filled by a feed reader; every later stage (merge, notification, guide) works on the same objects, shared
// by reference, so that a rewrite of `title`, `number` or `notifyFlg` is seen in every list that holds the record.
//
// Threads: a record is written only by its reader until `getProgramList` returns; the returned list is then
// handed over and the reader never touches those records again. After that, the fields that later stages rewrite
// in place (`number`, `title`, `notifyFlg`) are plain data: every thread that writes them and every thread that
// reads them while a writer may run must hold one common lock (the merge's, say), or work on copies of the texts
// taken under it. Reading a record that nobody rewrites any more needs no lock. The lists themselves are
// std::vector values: a reader hands out a copy of its list (the references, not the records), so replacing a
// site's list never touches a list another thread is reading.
struct ProgramNode {
  std::wstring number;        // position in its list from 1, as decimal text
  std::wstring server;        // "Livetube", "CaveTube" or "ひまわりストリーム"
  std::wstring title;         // as in the feed; character references are decoded by the merge
  std::wstring AuthorName;    // the broadcaster
  std::wstring summary;       // CaveTube only
  std::wstring NowLiveId;     // address of the program's page
  std::wstring TotalUserNum;  // counts as decimal text; empty when the site gives none
  std::wstring MaxUserNum;
  std::wstring UserNum;
  std::wstring CommentNum;
  std::wstring tag;
  std::wstring updateTime;    // yyyy/MM/dd HH:mm:ss, Japan time
  bool notifyFlg = false;
};

using ProgramNodePtr = std::shared_ptr<ProgramNode>;
using ProgramList = std::vector<ProgramNodePtr>;

}  // namespace corvanto
