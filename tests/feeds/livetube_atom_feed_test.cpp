#include "feeds/livetube_atom_feed.h"

#include <gtest/gtest.h>

#include <thread>

#include "base/files.h"
#include "feeds/feed_frame.h"
#include "feeds/livetube_json_feed.h"
#include "tests/feeds/feed_fixtures.h"
#include "tests/feeds/feed_test_util.h"

namespace corvanto {
namespace {

using test::HttpReply;
using test::LocalHttpServer;
using test::TempDir;
using test::TestLog;
using Rows = std::vector<std::vector<std::string>>;

const char kXmlErrorLine[] = " [error]: LivetubeAtomFeed XML異常発生。以降のXMLは無視されます。";

class LivetubeAtomFeedTest : public ::testing::Test {
 protected:
  TempDir dir;
  TestLog log{dir};
  LocalHttpServer server;
  LivetubeAtomFeed reader{log.logger()};
  std::wstring file = dir / L"index.live.xml";
};

TEST_F(LivetubeAtomFeedTest, ReadsTheFeedFromTheServer) {
  server.Set("/index.live.xml", HttpReply::Ok(test::kLivetubeAtom));
  const ProgramList list = reader.getProgramList(test::LocalSettings(server), dir.path());
  EXPECT_EQ(test::AllFields(list),
            (Rows{
                {"1", "Livetube", "雑談 & お絵描き ★", "さくら", "", "http://livetube.example/watch/sakura", "", "", "",
                 "", "", "2026/12/11 11:30:00", "0"},
                {"2", "Livetube", "深夜のゲーム実況", "たろう", "", "http://livetube.example/watch/taro", "", "", "", "",
                 "", "2026/12/12 00:00:00", "0"},
                {"3", "Livetube", "歌枠 <初見歓迎>", "Hanako", "", "http://livetube.example/watch/hanako", "", "", "",
                 "", "", "2027/01/01 05:00:00", "0"},
                {"4", "Livetube", "作業用 <BGM>", "hanako", "", "http://livetube.example/watch/hanako-small", "", "",
                 "", "", "", "2026/12/11 14:06:07", "0"},
            }));
  EXPECT_TRUE(log.Lines().empty());
  // The feed stays; its hidden copy is gone.
  EXPECT_EQ(test::ListFolder(dir.path()), (std::vector<std::wstring>{L"index.live.xml", L"log.txt"}));
  EXPECT_EQ(test::ReadBytes(file), test::kLivetubeAtom);
}

TEST_F(LivetubeAtomFeedTest, EachReadMakesANewList) {
  server.Set("/index.live.xml", HttpReply::Ok(test::kLivetubeAtom));
  const ProgramList first = reader.getProgramList(test::LocalSettings(server), dir.path());
  const ProgramList second = reader.getProgramList(test::LocalSettings(server), dir.path());
  ASSERT_EQ(first.size(), 4u);
  ASSERT_EQ(second.size(), 4u);
  EXPECT_NE(first[0], second[0]);
  EXPECT_EQ(second[0]->number, L"1");
  EXPECT_EQ(first[3]->number, L"4");
}

std::string Entry(const std::string& inner) { return "<entry>\n" + inner + "\n</entry>\n"; }
std::string Feed(const std::string& entries) {
  return "<?xml version=\"1.0\"?>\n<feed xmlns=\"http://www.w3.org/2005/Atom\">\n<title>全体</title>\n"
         "<id>feed-id</id>\n" + entries + "</feed>\n";
}
std::string Plain(int n) {
  const std::string s = std::to_string(n);
  return Entry("<title>t" + s + "</title><id>i" + s + "</id>\n<author><name>n" + s +
               "</name></author>\n<published>2026-12-11T0" + s + ":00:00Z</published>");
}

TEST_F(LivetubeAtomFeedTest, WalkCases) {
  struct Case {
    const char* name;
    std::string document;
    std::vector<std::string> authors;  // of the records returned
    bool xmlError;                     // the two XML-error lines are written
  };
  std::string nested;
  for (int i = 0; i < 300; ++i) nested += "<a>";
  const Case cases[] = {
      {"XML error inside the fifth entry", Feed(Plain(1) + Plain(2) + Plain(3) + Plain(4) +
                                                Entry("<title>t5</titel><published>2026-12-11T05:00:00Z</published>") +
                                                Plain(6)),
       {"n1", "n2", "n3", "n4"}, true},
      {"text of an element with child elements", Feed(Plain(1) + Entry("<title>a<b>bold</b></title>") + Plain(2)),
       {"n1"}, true},
      {"truncated document", Feed(Plain(1) + Plain(2)).substr(0, Feed(Plain(1) + Plain(2)).size() - 40), {"n1"},
       true},
      {"document type declaration", "<?xml version=\"1.0\"?>\n<!DOCTYPE feed [<!ENTITY x \"y\">]>\n" +
                                        Feed(Plain(1)).substr(22),
       {}, true},
      {"nesting too deep", Feed(Plain(1) + nested), {"n1"}, true},
      {"not XML at all", "<html><body>503 Service Unavailable<br></body></html>", {}, true},
      {"empty feed", Feed(""), {}, false},
      {"same author twice: the first counts", Feed(Plain(1) + Plain(1)), {"n1"}, false},
      {"an entry without a name takes the one before",
       Feed(Plain(1) + Entry("<title>x</title><id>y</id><published>2026-12-11T09:00:00Z</published>") + Plain(2)),
       {"n1", "n2"}, false},
      {"names are compared with their prefix",
       Feed(Entry("<a:name xmlns:a=\"urn:x\">other</a:name><name>n1</name>"
                  "<published>2026-12-11T01:00:00Z</published>")),
       {"n1"}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir caseDir;
    TestLog caseLog(caseDir);
    LivetubeAtomFeed caseReader(caseLog.logger());
    server.Set("/index.live.xml", HttpReply::Ok(c.document));
    const ProgramList list = caseReader.getProgramList(test::LocalSettings(server), caseDir.path());
    EXPECT_EQ(test::Authors(list), c.authors);
    const auto lines = caseLog.Lines();
    if (c.xmlError) {
      ASSERT_EQ(lines.size(), 2u);
      EXPECT_EQ(WideToUtf8(lines[0]), kXmlErrorLine);
      EXPECT_NE(lines[1].find(L"Line "), std::wstring::npos) << WideToUtf8(lines[1]);
    } else {
      EXPECT_TRUE(lines.empty());
    }
    const std::wstring path = caseDir / L"index.live.xml";
    EXPECT_FALSE(FileExists(path + L".tmp"));
  }
}

// The feed file is text in UTF-8 (or as its byte-order mark says); an encoding named in the declaration does not
// change how it is read.
TEST_F(LivetubeAtomFeedTest, TheByteOrderMarkNotTheDeclarationDecidesTheEncoding) {
  const std::string body =
      Feed(Entry("<name>日本語の名前</name>\n<published>2026-12-11T01:00:00Z</published>"))
          .replace(0, 21, "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>");
  struct Case {
    const char* name;
    std::string bytes;
  };
  std::string utf16 = "\xFF\xFE";
  for (const wchar_t c : Utf8ToWide(body)) utf16 += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  for (const Case& c : {Case{"UTF-8", body}, Case{"UTF-8 with a byte-order mark", "\xEF\xBB\xBF" + body},
                        Case{"UTF-16 with a byte-order mark", utf16}}) {
    SCOPED_TRACE(c.name);
    test::WriteBytes(file, c.bytes);
    LivetubeAtomFeed fresh(log.logger());  // a reader of its own: the same author again would be a duplicate
    EXPECT_EQ(fresh.parseFeed(file), 1);
  }
  server.Set("/index.live.xml", HttpReply::Ok(body));
  const ProgramList list = reader.getProgramList(test::LocalSettings(server), dir.path());
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0]->AuthorName, L"日本語の名前");
  EXPECT_TRUE(log.Lines().empty());
}

TEST_F(LivetubeAtomFeedTest, ValuesCarryOverFromTheEntryBefore) {
  // The first entry's title and id come after its published: it gets the feed's own; the second gets the first's.
  server.Set("/index.live.xml",
             HttpReply::Ok(Feed(Entry("<author><name>n1</name></author>\n<published>2026-12-11T01:00:00Z</published>\n"
                                      "<title>t1</title>\n<id>i1</id>") +
                                Entry("<author><name>n2</name></author>\n<published>2026-12-11T02:00:00Z</published>"))));
  const ProgramList list = reader.getProgramList(test::LocalSettings(server), dir.path());
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0]->title, L"全体");
  EXPECT_EQ(list[0]->NowLiveId, L"feed-id");
  EXPECT_EQ(list[1]->title, L"t1");
  EXPECT_EQ(list[1]->NowLiveId, L"i1");
}

// A runaway feed is cut at the limit with a warning instead of holding the worker in the duplicate scan.
TEST_F(LivetubeAtomFeedTest, ReadStopsAtTheProgramLimit) {
  // A long Japanese feed also shows that no character is misread where XmlLite's reads of its input meet.
  std::string entries;
  for (size_t i = 1; i <= kMaxProgramsPerRead + 1; ++i) {
    entries += Entry("<name>配信者" + std::to_string(i) + "</name>\n<published>2026-12-11T01:00:00Z</published>");
  }
  server.Set("/index.live.xml", HttpReply::Ok(Feed(entries)));
  const ProgramList list = reader.getProgramList(test::LocalSettings(server), dir.path());
  ASSERT_EQ(list.size(), kMaxProgramsPerRead);
  EXPECT_EQ(list.back()->AuthorName, L"配信者" + std::to_wstring(kMaxProgramsPerRead));
  EXPECT_EQ(log.Lines(), std::vector<std::wstring>{L" [Warn]: LivetubeAtomFeed の番組数が上限(2000)を超えたので、以降の番組は読みません。"});
}

// Without white space the title's start tag directly follows the id's end tag: the id's test leaves the reader on
// it after the title test has run, and a later pass meets the title's end tag, whose text cannot be taken.
TEST_F(LivetubeAtomFeedTest, TextOfAnEndTagFailsOutsideTheXmlErrorPath) {
  server.Set("/index.live.xml",
             HttpReply::Ok(Feed("<entry><id>i1</id><title>t1</title><author><name>n1</name></author>"
                                "<published>2026-12-11T01:00:00Z</published></entry>")));
  EXPECT_THROW(reader.getProgramList(test::LocalSettings(server), dir.path()), InvalidOperationException);
  EXPECT_TRUE(log.Lines().empty());
}

TEST_F(LivetubeAtomFeedTest, TimestampThatDoesNotConvertReachesTheCaller) {
  server.Set("/index.live.xml",
             HttpReply::Ok(Feed(Plain(1) + Entry("<name>n9</name><published>2026-12-11T01:00:00+09:00</published>"))));
  EXPECT_THROW(reader.getProgramList(test::LocalSettings(server), dir.path()), FormatException);
  EXPECT_TRUE(log.Lines().empty());
}

TEST_F(LivetubeAtomFeedTest, NetworkFailureGivesFourLinesAndAnEmptyList) {
  server.Set("/index.live.xml", HttpReply::Status(404, "Not Found", "<html>missing</html>"));
  const ProgramList list = reader.getProgramList(test::LocalSettings(server), dir.path());
  EXPECT_TRUE(list.empty());
  const auto lines = log.Lines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].rfind(L" [Error] WebException ", 0), 0u);
  EXPECT_EQ(lines[1], L" [Error] Response HTTP/1.1 404 Not Found");
  EXPECT_EQ(lines[2], L" [Error]: フィードダウンロードに問題発生");
  EXPECT_EQ(lines[3], L" [Error]: " + lines[0].substr(std::wstring(L" [Error] WebException ").size()));
  EXPECT_FALSE(FileExists(file));
}

TEST_F(LivetubeAtomFeedTest, FileFailureOfTheDownloadReachesTheCaller) {
  server.Set("/index.live.xml", HttpReply::Ok(test::kLivetubeAtom));
  EXPECT_THROW(reader.getProgramList(test::LocalSettings(server), dir / L"missing-folder"), IOException);
  const auto lines = log.Lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind(L" [Error] IOException ", 0), 0u);
}

TEST_F(LivetubeAtomFeedTest, MissingFileIsSkipped) {
  EXPECT_EQ(reader.parseFeed(file), 0);
  EXPECT_EQ(log.Lines(), std::vector<std::wstring>{L" [error]: " + file + L"が見つからないので処理を飛ばします。"});
}

// The Atom feed and the JSON document of Livetube are never downloaded at the same time.
TEST_F(LivetubeAtomFeedTest, SharesTheDownloadLockWithTheJsonReader) {
  HttpReply held = HttpReply::Ok(test::kLivetubeAtom);
  held.held = true;
  server.Set("/index.live.xml", held);
  server.Set("/index.live.json", HttpReply::Ok(test::kLivetubeJson, "application/json"));
  LivetubeJsonFeed json(log.logger());
  const ConfigNode settings = test::LocalSettings(server);

  ProgramList atomList, jsonList;
  std::thread atom([&] { atomList = reader.getProgramList(settings, dir.path()); });
  ASSERT_TRUE(test::WaitUntil([&] { return !server.RequestsTo("/index.live.xml").empty(); }, std::chrono::seconds(10)));
  EXPECT_TRUE(json.MutexState());
  std::thread other([&] { jsonList = json.getProgramList(settings, dir.path()); });
  EXPECT_FALSE(test::WaitUntil([&] { return !server.RequestsTo("/index.live.json").empty(); },
                               std::chrono::milliseconds(2500)));
  server.Release("/index.live.xml");
  atom.join();
  other.join();
  EXPECT_GT(server.RequestsTo("/index.live.json").at(0).arrived, server.RequestsTo("/index.live.xml").at(0).answered);
  EXPECT_EQ(atomList.size(), 4u);
  EXPECT_EQ(jsonList.size(), 3u);
}

}  // namespace
}  // namespace corvanto
