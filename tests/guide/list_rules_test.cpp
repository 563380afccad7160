// The editors' rules without a window: loading, rows added and removed, cells changed, and the saves.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/data_files.h"
#include "app/logger.h"
#include "guide/author_adder.h"
#include "guide/grid_model.h"
#include "guide/ng_word_list_rules.h"
#include "guide/notify_list_rules.h"
#include "tests/guide/guide_test_util.h"
#include "tests/support/test_support.h"

namespace corvanto::test {
namespace {

const std::nullopt_t unset = std::nullopt;
const std::vector<std::wstring> kPlaceholder{kNowLiveIdPlaceholder};

NotifyNode Notify(std::wstring site, std::wstring author, std::wstring nick, std::wstring keyword, std::wstring tag) {
  return NotifyNode{site, author, nick, keyword, tag, kPlaceholder};
}

struct NotifyFixture {
  GridModel grid{kNotifyColumns};
  NotifyLiveList live;
  NotifyListRules rules{grid, live};
};

struct NgFixture {
  GridModel grid{kNgColumns};
  NgWordLiveList live;
  NgWordListRules rules{grid, live};
};

// One step of a user's editing: commit a text into a cell, or delete a row.
struct Step {
  enum Kind { kCommit, kDelete } kind;
  int row;
  int column;
  std::wstring text;
};
Step Commit(int row, int column, std::wstring text) { return Step{Step::kCommit, row, column, std::move(text)}; }
Step Delete(int row) { return Step{Step::kDelete, row, 0, L""}; }

void Apply(GridModel& grid, const std::vector<Step>& steps) {
  for (const Step& s : steps) {
    if (s.kind == Step::kCommit)
      grid.CommitUserEdit(s.row, s.column, s.text);
    else
      grid.RemoveRow(s.row);
  }
}

TEST(NotifyListRules, LoadingThreeRecordsGivesThreeRowsAndTheNewEntryRow) {
  NotifyFixture f;
  f.rules.Load({Notify(L"Livetube", L"作者A", L"", L"", L""), Notify(L"全部", L"", L"", L"雑談", L""),
                NotifyNode{L"ひまわりストリーム", L"B", L"Bさん", std::nullopt, L"歌",
                           std::vector<std::wstring>{L"http://elsewhere/1"}}});
  EXPECT_EQ(f.grid.RowCount(), 4);
  EXPECT_TRUE(f.grid.IsNewRow(3));
  const std::vector<Cells> expected = {
      {L"Livetube", L"作者A", unset, unset, unset},
      {L"全部", unset, unset, L"雑談", unset},
      {L"ひまわりストリーム", L"B", L"Bさん", unset, L"歌"},
  };
  EXPECT_EQ(GridRows(f.grid), expected);
  ExpectNotifyLiveMatchesGrid(f.grid, f.live);
  // Whatever memory the file held, every live record starts with the placeholder alone.
  for (const NotifyNode& n : f.live.Snapshot()) EXPECT_EQ(n.NowLiveIdList, kPlaceholder);
}

TEST(NotifyListRules, EditsKeepTheLiveList) {
  struct Case {
    const char* name;
    std::vector<NotifyNode> loaded;
    std::vector<Step> steps;
    std::vector<Cells> rows;
  };
  const std::vector<Case> cases = {
      {"typing a broadcaster into the new-entry row sets the site to all", {},
       {Commit(0, kNotifyAuthor, L"配信者")},
       {{L"全部", L"配信者", unset, unset, unset}}},
      {"choosing a site in the new-entry row makes a row with the site alone", {},
       {Commit(0, kNotifySite, L"CaveTube")},
       {{L"CaveTube", unset, unset, unset, unset}}},
      {"a chosen site is kept when a text follows", {},
       {Commit(0, kNotifySite, L"CaveTube"), Commit(0, kNotifyKeyword, L"ゲーム")},
       {{L"CaveTube", unset, unset, L"ゲーム", unset}}},
      {"clearing the last text deletes the row", {Notify(L"Livetube", L"A", L"", L"", L"")},
       {Commit(0, kNotifyAuthor, L"")},
       {}},
      {"clearing one of two texts keeps the row with an empty text", {Notify(L"Livetube", L"A", L"", L"K", L"")},
       {Commit(0, kNotifyAuthor, L"")},
       {{L"Livetube", L"", unset, L"K", unset}}},
      {"a nickname alone is something to keep", {Notify(L"Livetube", L"A", L"", L"", L"")},
       {Commit(0, kNotifyNickName, L"あだ名"), Commit(0, kNotifyAuthor, L"")},
       {{L"Livetube", L"", L"あだ名", unset, unset}}},
      {"committing the text a cell already shows changes nothing", {Notify(L"Livetube", L"A", L"", L"", L"")},
       {Commit(0, kNotifyAuthor, L"A"), Commit(1, kNotifyTag, L""), Commit(0, kNotifyTag, L"")},
       {{L"Livetube", L"A", unset, unset, unset}}},
      {"deleting the middle row drops its record",
       {Notify(L"Livetube", L"A", L"", L"", L""), Notify(L"Livetube", L"B", L"", L"", L""),
        Notify(L"CaveTube", L"C", L"", L"", L"")},
       {Delete(1)},
       {{L"Livetube", L"A", unset, unset, unset}, {L"CaveTube", L"C", unset, unset, unset}}},
      {"the new-entry row cannot be deleted", {Notify(L"Livetube", L"A", L"", L"", L"")},
       {Delete(1)},
       {{L"Livetube", L"A", unset, unset, unset}}},
      {"two new entries one after the other", {},
       {Commit(0, kNotifyTag, L"t1"), Commit(1, kNotifyKeyword, L"k2"), Commit(1, kNotifySite, L"Livetube")},
       {{L"全部", unset, unset, unset, L"t1"}, {L"Livetube", unset, unset, L"k2", unset}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NotifyFixture f;
    f.rules.Load(c.loaded);
    Apply(f.grid, c.steps);
    EXPECT_EQ(GridRows(f.grid), c.rows);
    ExpectNotifyLiveMatchesGrid(f.grid, f.live);
  }
}

TEST(NotifyListRules, EventsComeInTheOrderOfAUsersEdit) {
  struct Recorder : GridEvents {
    std::vector<std::string> seen;
    void RowsAdded(int first, int count) override { seen.push_back("added " + std::to_string(first)); }
    void RowsRemoved(int first, int count) override { seen.push_back("removed " + std::to_string(first)); }
    void CellValueChanged(int row, int column) override {
      seen.push_back("changed " + std::to_string(row) + "," + std::to_string(column));
    }
  };
  // The recorder listens first, as the grid window does; the rules come after it.
  GridModel grid(kNotifyColumns);
  Recorder rec;
  grid.AddListener(&rec);
  NotifyLiveList live;
  NotifyListRules rules(grid, live);
  grid.CommitUserEdit(0, kNotifyKeyword, L"k");  // the row comes first, then the cell, then the site rule
  grid.CommitUserEdit(0, kNotifyKeyword, L"");   // the cell, then the deletion
  const std::vector<std::string> expected = {"added 0", "changed 0,3", "changed 0,0", "changed 0,3", "removed 0"};
  EXPECT_EQ(rec.seen, expected);
  EXPECT_EQ(live.Count(), 0u);
}

TEST(NotifyListRules, EditingARowKeepsItsMemoryAndRemovingItDropsIt) {
  NotifyFixture f;
  f.rules.Load({Notify(L"Livetube", L"A", L"", L"", L""), Notify(L"Livetube", L"B", L"", L"", L"")});
  auto rows = f.live.SnapshotRows();
  AppendNowLiveId(f.live, rows[0].row, L"http://live/a1");
  AppendNowLiveId(f.live, rows[1].row, L"http://live/b1");
  f.grid.CommitUserEdit(0, kNotifyKeyword, L"キーワード");
  f.grid.CommitUserEdit(0, kNotifySite, L"全部");
  EXPECT_EQ(f.live.At(0)->NowLiveIdList, (std::vector<std::wstring>{kNowLiveIdPlaceholder, L"http://live/a1"}));
  EXPECT_TRUE(NowLiveIdKnown(f.live, rows[0].row, L"http://live/a1"));
  EXPECT_TRUE(NowLiveIdKnown(f.live, rows[0].row, L"live/a"));  // a part of a remembered address counts
  EXPECT_FALSE(NowLiveIdKnown(f.live, rows[0].row, L"http://live/b1"));

  f.grid.RemoveRow(0);
  EXPECT_FALSE(f.live.Contains(rows[0].row));
  AppendNowLiveId(f.live, rows[0].row, L"http://live/a2");  // a worker late with a removed row: harmless
  ASSERT_EQ(f.live.Count(), 1u);
  EXPECT_EQ(f.live.At(0)->NowLiveIdList, (std::vector<std::wstring>{kNowLiveIdPlaceholder, L"http://live/b1"}));
  // A new row in its place starts afresh.
  f.grid.CommitUserEdit(1, kNotifyAuthor, L"A");
  EXPECT_EQ(f.live.At(1)->NowLiveIdList, kPlaceholder);
}

TEST(NotifyListRules, SaveRulesInSequence) {
  struct Case {
    const char* name;
    std::vector<Cells> rows;
    std::vector<Cells> rowsAfter;
    std::vector<NotifyNode> saved;
  };
  const std::vector<Case> cases = {
      {"a nickname alone becomes the broadcaster",
       {{L"Livetube", unset, L"ニック", unset, unset}},
       {{L"Livetube", L"ニック", L"ニック", L"", L""}},
       {Notify(L"Livetube", L"ニック", L"ニック", L"", L"")}},
      {"several site-only rows in a row all go",
       {{L"Livetube", unset, unset, unset, unset},
        {L"CaveTube", unset, unset, unset, unset},
        {L"全部", L"A", unset, unset, unset},
        {L"Livetube", unset, unset, unset, unset},
        {L"ひまわりストリーム", unset, unset, unset, unset},
        {L"全部", unset, unset, unset, unset}},
       {{L"全部", L"A", L"", L"", L""}},
       {Notify(L"全部", L"A", L"", L"", L"")}},
      {"a nickname with a keyword stays as it is, unset texts empty",
       {{L"CaveTube", unset, L"ニック", L"雑談", unset}},
       {{L"CaveTube", L"", L"ニック", L"雑談", L""}},
       {Notify(L"CaveTube", L"", L"ニック", L"雑談", L"")}},
      {"empty texts are kept, the row order too",
       {{L"Livetube", L"B", unset, unset, L"タグ"}, {L"全部", unset, unset, L"K", unset}},
       {{L"Livetube", L"B", L"", L"", L"タグ"}, {L"全部", L"", L"", L"K", L""}},
       {Notify(L"Livetube", L"B", L"", L"", L"タグ"), Notify(L"全部", L"", L"", L"K", L"")}},
      {"no rows", {}, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NotifyFixture f;
    for (const Cells& cells : c.rows) {
      const int r = f.grid.AddRow();
      for (int col = 0; col < kNotifyColumns; ++col)
        if (cells[static_cast<size_t>(col)]) f.grid.SetCell(r, col, cells[static_cast<size_t>(col)]);
    }
    const auto saved = f.rules.ApplySaveRules();
    EXPECT_EQ(saved, c.saved);
    EXPECT_EQ(GridRows(f.grid), c.rowsAfter);
    ExpectNotifyLiveMatchesGrid(f.grid, f.live);
  }
}

TEST(NotifyListRules, SavedFileIsByteExact) {
  TempDir dir;
  Logger logger(dir / L"log.txt");
  NotifyFixture f;
  f.rules.Load({Notify(L"Livetube", L"作者", L"", L"", L""), Notify(L"全部", L"", L"", L"a&b", L"")});
  const std::wstring path = dir / L"NotifyList.xml";
  ASSERT_TRUE(SaveNotifyListFile(path, f.rules.ApplySaveRules(), logger));
  const std::string expected = XmlLines({
      "<?xml version=\"1.0\"?>",
      "<ArrayOfNotifyNode " CORVANTO_XML_NS ">",
      "  <NotifyNode>",
      "    <server>Livetube</server>",
      "    <author>\xE4\xBD\x9C\xE8\x80\x85</author>",
      "    <nickName />",
      "    <keyword />",
      "    <tag />",
      "    <NowLiveIdList>",
      "      <string>http://example.com/sample/</string>",
      "    </NowLiveIdList>",
      "  </NotifyNode>",
      "  <NotifyNode>",
      "    <server>\xE5\x85\xA8\xE9\x83\xA8</server>",
      "    <author />",
      "    <nickName />",
      "    <keyword>a&amp;b</keyword>",
      "    <tag />",
      "    <NowLiveIdList>",
      "      <string>http://example.com/sample/</string>",
      "    </NowLiveIdList>",
      "  </NotifyNode>",
      "</ArrayOfNotifyNode>",
  });
  EXPECT_EQ(ReadBytes(path), expected);
}

TEST(NgWordListRules, LoadingKeepsEveryRuleAsStored) {
  NgFixture f;
  f.rules.Load({NgWordNode{L"全部", L"荒らし", L"", std::nullopt},
                NgWordNode{L"CaveTube", std::nullopt, L"", std::nullopt},
                NgWordNode{L"Livetube", L"", L"", L""}});
  EXPECT_EQ(f.grid.RowCount(), 4);
  const std::vector<Cells> expected = {
      {L"全部", L"荒らし", L"", unset},
      {L"CaveTube", unset, L"", unset},
      {L"Livetube", L"", L"", L""},
  };
  EXPECT_EQ(GridRows(f.grid), expected);
  ExpectNgLiveMatchesGrid(f.grid, f.live);
}

TEST(NgWordListRules, EditsKeepTheLiveList) {
  struct Case {
    const char* name;
    std::vector<NgWordNode> loaded;
    std::vector<Step> steps;
    std::vector<Cells> rows;
  };
  const std::vector<Case> cases = {
      {"typing a keyword into the new-entry row sets the site to all", {},
       {Commit(0, kNgKeyword, L"宣伝")},
       {{L"全部", unset, L"宣伝", unset}}},
      {"a row with only a site stays", {},
       {Commit(0, kNgSite, L"CaveTube")},
       {{L"CaveTube", unset, unset, unset}}},
      {"clearing the last text deletes the row", {NgWordNode{L"全部", L"X", std::nullopt, std::nullopt}},
       {Commit(0, kNgAuthor, L"")},
       {}},
      {"a loaded all-empty rule goes once a text is cleared", {NgWordNode{L"全部", L"", L"", L""}},
       {Commit(0, kNgTag, L"t"), Commit(0, kNgTag, L"")},
       {}},
      {"deleting a row drops its record",
       {NgWordNode{L"全部", L"X", std::nullopt, std::nullopt}, NgWordNode{L"Livetube", L"Y", L"", std::nullopt}},
       {Delete(0)},
       {{L"Livetube", L"Y", L"", unset}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NgFixture f;
    f.rules.Load(c.loaded);
    Apply(f.grid, c.steps);
    EXPECT_EQ(GridRows(f.grid), c.rows);
    ExpectNgLiveMatchesGrid(f.grid, f.live);
  }
}

TEST(NgWordListRules, SaveWritesUnsetCellsAsAbsentElements) {
  TempDir dir;
  Logger logger(dir / L"log.txt");
  NgFixture f;
  f.rules.Load({NgWordNode{L"全部", L"荒らし", L"", std::nullopt}});
  f.grid.CommitUserEdit(f.grid.NewRowIndex(), kNgSite, L"CaveTube");  // a site alone: three absent texts
  const auto saved = f.rules.SaveRecords();
  const std::vector<NgWordNode> expected = {NgWordNode{L"全部", L"荒らし", L"", std::nullopt},
                                            NgWordNode{L"CaveTube", std::nullopt, std::nullopt, std::nullopt}};
  EXPECT_EQ(saved, expected);
  EXPECT_EQ(f.grid.RowCount(), 3);  // nothing is removed by the save
  // The live record of the site-only row has three empty texts, which match everything of its site.
  EXPECT_EQ(f.live.At(1), (NgWordNode{L"CaveTube", L"", L"", L""}));

  const std::wstring path = dir / L"NgList.xml";
  ASSERT_TRUE(SaveNgListFile(path, saved, logger));
  EXPECT_EQ(ReadBytes(path), XmlLines({
                                 "<?xml version=\"1.0\"?>",
                                 "<ArrayOfNgWordNode " CORVANTO_XML_NS ">",
                                 "  <NgWordNode>",
                                 "    <serverNg>\xE5\x85\xA8\xE9\x83\xA8</serverNg>",
                                 "    <NgAuthorName>\xE8\x8D\x92\xE3\x82\x89\xE3\x81\x97</NgAuthorName>",
                                 "    <NgKeyword />",
                                 "  </NgWordNode>",
                                 "  <NgWordNode>",
                                 "    <serverNg>CaveTube</serverNg>",
                                 "  </NgWordNode>",
                                 "</ArrayOfNgWordNode>",
                             }));
}

TEST(AuthorAdder, AddsRowsThroughTheEditorsRules) {
  NotifyFixture n;
  NgFixture g;
  n.rules.Load({Notify(L"Livetube", L"A", L"", L"", L"")});
  AuthorAdder adder(n.grid, g.grid);
  adder.AddAuthorList(L"CaveTube", L"配信者", L"配信者");
  adder.AddAuthorList(L"CaveTube", L"配信者", L"配信者");  // no look for an existing row: two rows
  adder.AddNgWordList(L"ひまわりストリーム", L"荒らし");

  const std::vector<Cells> notifyRows = {{L"Livetube", L"A", unset, unset, unset},
                                         {L"CaveTube", L"配信者", L"配信者", L"", L""},
                                         {L"CaveTube", L"配信者", L"配信者", L"", L""}};
  EXPECT_EQ(GridRows(n.grid), notifyRows);
  EXPECT_TRUE(n.grid.IsNewRow(3));
  ExpectNotifyLiveMatchesGrid(n.grid, n.live);

  const std::vector<Cells> ngRows = {{L"ひまわりストリーム", L"荒らし", L"", unset}};
  EXPECT_EQ(GridRows(g.grid), ngRows);
  ExpectNgLiveMatchesGrid(g.grid, g.live);
  EXPECT_EQ(g.rules.SaveRecords(), (std::vector<NgWordNode>{{L"ひまわりストリーム", L"荒らし", L"", std::nullopt}}));

  // A broadcaster without a name leaves nothing behind rather than a row that matches every program.
  adder.AddNgWordList(L"CaveTube", L"");
  EXPECT_EQ(GridRows(g.grid), ngRows);
  ExpectNgLiveMatchesGrid(g.grid, g.live);
}

}  // namespace
}  // namespace corvanto::test
