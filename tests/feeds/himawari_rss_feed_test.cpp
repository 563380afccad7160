#include "feeds/himawari_rss_feed.h"

#include <gtest/gtest.h>

#include "base/files.h"
#include "tests/feeds/feed_fixtures.h"
#include "tests/feeds/feed_test_util.h"

namespace corvanto {
namespace {

using test::HimawariItem;
using test::HimawariItems;
using test::HimawariPage;
using test::HttpReply;
using test::LocalHttpServer;
using test::TempDir;
using test::TestLog;

const std::string kPage = "/?mode=program&cat=search&rss=1&page=";

class HimawariRssFeedTest : public ::testing::Test {
 protected:
  TempDir dir;
  TestLog log{dir};
  LocalHttpServer server;
  HimawariRssFeed reader{log.logger()};
  std::wstring file = dir / L"rsshima.xml";

  void SetPage(int page, const std::string& items) { server.Set(kPage + std::to_string(page), HttpReply::Ok(HimawariPage(items))); }
  ProgramList Read() { return reader.getProgramList(test::LocalSettings(server), dir.path()); }
  size_t Downloads() const {
    size_t n = 0;
    for (const auto& r : server.Requests()) n += r.target.rfind(kPage, 0) == 0;
    return n;
  }
};

TEST_F(HimawariRssFeedTest, ThirtyThenTwelve) {
  SetPage(0, HimawariItems(1, 30));
  SetPage(1, HimawariItems(31, 12));
  const ProgramList list = Read();
  ASSERT_EQ(list.size(), 42u);
  EXPECT_EQ(Downloads(), 2u);
  for (size_t i = 0; i < list.size(); ++i) EXPECT_EQ(list[i]->number, std::to_wstring(i + 1));
  EXPECT_EQ(test::Fields(*list[40]),
            (std::vector<std::string>{"41", "ひまわりストリーム", "番組41 & 雑談", "配信者41", "",
                                      "http://himast.example/program/41", "", "", "", "", "",
                                      "2026/12/11 21:41:00", "0"}));  // the clock time as written, no shift
  EXPECT_EQ(test::ReadBytes(file), HimawariPage(HimawariItems(31, 12)));  // the last page read
  EXPECT_TRUE(log.Lines().empty());
  EXPECT_EQ(test::ListFolder(dir.path()), (std::vector<std::wstring>{L"log.txt", L"rsshima.xml"}));
}

TEST_F(HimawariRssFeedTest, PagingGoesOnWhileEachPageAddsExactlyThirty) {
  struct Case {
    const char* name;
    std::vector<std::string> pages;
    size_t records;
    size_t downloads;
  };
  const std::string dupPage = HimawariItems(1, 15) + HimawariItem(16, "配信者3") + HimawariItems(17, 14);
  const Case cases[] = {
      {"30 + 30 + 5", {HimawariItems(1, 30), HimawariItems(31, 30), HimawariItems(61, 5)}, 65, 3},
      {"a page of 30 with one author twice adds 29 and ends the paging", {dupPage, HimawariItems(31, 30)}, 29, 1},
      {"the same author on two pages gives two records", {HimawariItems(1, 30), HimawariItems(1, 3)}, 33, 2},
      {"31 items on a page end the paging", {HimawariItems(1, 31), HimawariItems(32, 30)}, 31, 1},
      {"an empty first page", {""}, 0, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LocalHttpServer s;
    for (size_t i = 0; i < c.pages.size(); ++i) s.Set(kPage + std::to_string(i), HttpReply::Ok(HimawariPage(c.pages[i])));
    TempDir caseDir;
    TestLog caseLog(caseDir);
    HimawariRssFeed r(caseLog.logger());
    const ProgramList list = r.getProgramList(test::LocalSettings(s), caseDir.path());
    EXPECT_EQ(list.size(), c.records);
    EXPECT_EQ(s.Requests().size(), c.downloads);
    EXPECT_TRUE(caseLog.Lines().empty());
    for (size_t i = 0; i < list.size(); ++i) EXPECT_EQ(list[i]->number, std::to_wstring(i + 1));
  }
}

TEST_F(HimawariRssFeedTest, DuplicateInTheMiddleOfAPageSkipsTheRestOfItsItem) {
  SetPage(0, HimawariItems(1, 2) + HimawariItem(3, "配信者1") + HimawariItems(4, 2));
  const ProgramList list = Read();
  EXPECT_EQ(test::Authors(list), (std::vector<std::string>{"配信者1", "配信者2", "配信者4", "配信者5"}));
  EXPECT_EQ(list[2]->NowLiveId, L"http://himast.example/program/4");
}

TEST_F(HimawariRssFeedTest, AuthorCutFromTheDescription) {
  struct Case {
    const wchar_t* description;
    const wchar_t* author;
  };
  const Case cases[] = {
      {L"<img src=\"a.jpg\" />配信者:<b>ひまわり</b> 視聴者数:5", L"ひまわり"},
      {L"配信者:<b>前</b>配信者:<b>後</b>", L"前"},
      {L"配信者:<b>閉じタグなし 視聴者数:5", L"閉じタグなし 視聴者数:5"},
      {L"</b>配信者:<b>x</b>", L"x"},
      {L"作者の記載なし", L""},
      {L"配信者: <b>空白入り</b>", L""},
      {L"", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(CutHimawariAuthor(c.description), c.author) << WideToUtf8(c.description);

  // Through the reader, in a CDATA section as well as escaped.
  SetPage(0, "<item><title>t</title>\n<link>l</link>\n<description><![CDATA[配信者:<b>生配信</b>]]></description>\n"
             "<pubDate>Fri, 11 Dec 2026 21:30:00 GMT</pubDate></item>\n");
  const ProgramList list = Read();
  EXPECT_EQ(test::Authors(list), std::vector<std::string>{"生配信"});
}

TEST_F(HimawariRssFeedTest, PubDateAtChannelLevelMakesARecordOfTheChannel) {
  server.Set(kPage + "0", HttpReply::Ok("<rss version=\"2.0\"><channel>\n<title>チャンネル</title>\n"
                                        "<link>http://himast.example/</link>\n<description>配信者:<![CDATA[<b>運営</b>]]>"
                                        "</description>\n<pubDate>Fri, 11 Dec 2026 09:00:00 +0900</pubDate>\n" +
                                        HimawariItems(1, 1) + "</channel></rss>"));
  const ProgramList list = Read();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0]->title, L"チャンネル");
  EXPECT_EQ(list[0]->AuthorName, L"運営");
  EXPECT_EQ(list[0]->NowLiveId, L"http://himast.example/");
}

TEST_F(HimawariRssFeedTest, NetworkFailureOnALaterPageKeepsTheEarlierPages) {
  SetPage(0, HimawariItems(1, 30));
  server.Set(kPage + "1", HttpReply::Status(500, "Internal Server Error"));
  const ProgramList list = Read();
  EXPECT_EQ(list.size(), 30u);
  const auto lines = log.Lines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].rfind(L" [Error] WebException ", 0), 0u);
  EXPECT_EQ(lines[1], L" [Error] Response HTTP/1.1 500 Internal Server Error");
  EXPECT_EQ(lines[2], L" [Error]: フィードダウンロードに問題発生");
  EXPECT_EQ(lines[3].rfind(L" [Error]: ", 0), 0u);
}

TEST_F(HimawariRssFeedTest, XmlErrorKeepsTheRecordsBeforeIt) {
  SetPage(0, HimawariItems(1, 3) + "<item><title>壊れた</link></item>");
  const ProgramList list = Read();
  EXPECT_EQ(list.size(), 3u);
  const auto lines = log.Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], L" [error]: HimawariRssFeed XML異常発生。以降のXMLは無視されます。");
}

TEST_F(HimawariRssFeedTest, PubDateThatDoesNotConvertLosesEveryPage) {
  SetPage(0, HimawariItems(1, 30));
  SetPage(1, "<item><title>t</title><pubDate>2026-12-11T21:30:00Z</pubDate></item>");
  EXPECT_THROW(Read(), FormatException);
}

TEST_F(HimawariRssFeedTest, MissingFileEndsWithZero) {
  EXPECT_EQ(reader.parseFeed(file, 30), 0);
  EXPECT_EQ(log.Lines(), std::vector<std::wstring>{L" [error]: " + file + L"が見つからないので処理を飛ばします。"});
}

// A site that ignores the page number serves the same 30 items for ever: the read stops after a fixed number of
// pages with a warning.
TEST_F(HimawariRssFeedTest, PagingStopsAfterTheLastAllowedPage) {
  for (int page = 0; page <= HimawariRssFeed::kMaxPages; ++page) SetPage(page, HimawariItems(1, 30));
  const ProgramList list = Read();
  EXPECT_EQ(Downloads(), static_cast<size_t>(HimawariRssFeed::kMaxPages));
  EXPECT_EQ(list.size(), static_cast<size_t>(HimawariRssFeed::kMaxPages) * 30);
  EXPECT_EQ(log.Lines(), std::vector<std::wstring>{L" [Warn]: ひまわりストリームのフィードが50ページを超えるので、以降のページは読みません。"});
}

}  // namespace
}  // namespace corvanto
