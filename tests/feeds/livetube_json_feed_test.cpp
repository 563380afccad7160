#include "feeds/livetube_json_feed.h"

#include <gtest/gtest.h>

#include "base/files.h"
#include "feeds/feed_frame.h"
#include "tests/feeds/feed_fixtures.h"
#include "tests/feeds/feed_test_util.h"

namespace corvanto {
namespace {

using test::HttpReply;
using test::LocalHttpServer;
using test::TempDir;
using test::TestLog;
using Rows = std::vector<std::vector<std::string>>;

class LivetubeJsonFeedTest : public ::testing::Test {
 protected:
  TempDir dir;
  TestLog log{dir};
  LocalHttpServer server;
  LivetubeJsonFeed reader{log.logger()};
  std::wstring file = dir / L"index.live.json";

  ProgramList Read(const std::string& document) {
    server.Set("/index.live.json", HttpReply::Ok(document, "application/json"));
    return reader.getProgramList(test::LocalSettings(server), dir.path());
  }
};

TEST_F(LivetubeJsonFeedTest, ReadsTheDocumentFromTheServer) {
  const ProgramList list = Read(test::kLivetubeJson);
  // Every member becomes a record, the second by the same author too; link follows the site's base address.
  EXPECT_EQ(test::AllFields(list),
            (Rows{
                {"1", "Livetube", "雑談 &amp; お絵描き", "さくら", "", "http://livetube.cc/watch/sakura", "345", "",
                 "12", "67", "game talk", "2026/12/11 11:30:00", "0"},
                {"2", "Livetube", "二枠目", "さくら", "", "http://livetube.cc/watch/sakura2", "0", "", "0", "0", "",
                 "2026/12/12 00:00:00", "0"},
                {"3", "Livetube", "歌枠", "たろう", "", "http://livetube.cc/watch/%E3%81%9F?x=1&y=2", "0", "", "0", "0",
                 "歌  ゲーム 実況", "2026/12/12 10:02:03", "0"},
            }));
  EXPECT_TRUE(log.Lines().empty());
  EXPECT_EQ(test::ListFolder(dir.path()), (std::vector<std::wstring>{L"index.live.json", L"log.txt"}));
}

TEST_F(LivetubeJsonFeedTest, DocumentsThatDoNotDeserialise) {
  struct Case {
    const char* name;
    std::string document;
    bool formatLine;  // " [Error]: <path> のフォーマットが異常です"
  };
  const Case cases[] = {
      {"empty array", "[]", false},
      {"an HTML error page", "<html><body>503</body></html>", false},
      {"truncated JSON", R"([{"author": "x", "created": "Fri, 11 Dec 2026 02:30:00 GMT"})", false},
      {"empty text", "", false},
      {"an object instead of an array", R"({"author": "x"})", true},
      {"a member that is not an object", R"([1, 2])", true},
      {"a count written as text", R"([{"author": "x", "viewing": "12"}])", true},
      {"a count outside 32 bits", R"([{"author": "x", "view": 3000000000}])", true},
      {"a fractional count", R"([{"author": "x", "comments": 1.5}])", true},
      {"tags that are not a list", R"([{"author": "x", "tags": "game"}])", true},
      {"a tag that is not a text", R"([{"author": "x", "tags": [1]}])", true},
      {"an author that is not a text", R"([{"author": 7}])", true},
      {"a title that is an object", R"([{"title": {"ja": "x"}}])", true},
      {"a null member", R"([null])", true},
      {"a number instead of a document", "5", true},
      {"wrong shape first, then not JSON", R"({"author": "x")", false},
      {"text after the array", R"([] [])", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir caseDir;
    TestLog caseLog(caseDir);
    LivetubeJsonFeed caseReader(caseLog.logger());
    server.Set("/index.live.json", HttpReply::Ok(c.document, "application/json"));
    EXPECT_TRUE(caseReader.getProgramList(test::LocalSettings(server), caseDir.path()).empty());
    const std::wstring path = caseDir / L"index.live.json";
    if (c.formatLine) {
      EXPECT_EQ(caseLog.Lines(), std::vector<std::wstring>{L" [Error]: " + path + L" のフォーマットが異常です"});
    } else {
      EXPECT_TRUE(caseLog.Lines().empty());
    }
    EXPECT_FALSE(FileExists(path + L".tmp"));
  }
}

TEST_F(LivetubeJsonFeedTest, MissingOrNullMembersAreEmpty) {
  const ProgramList list =
      Read(R"([{"created": "Fri, 11 Dec 2026 02:30:00 GMT"},
               {"author": null, "title": null, "viewing": null, "tags": null, "created": "Fri, 11 Dec 2026 02:30:00 GMT"}])");
  ASSERT_EQ(list.size(), 2u);
  for (const auto& p : list) {
    EXPECT_EQ(test::Fields(*p), (std::vector<std::string>{p == list[0] ? "1" : "2", "Livetube", "", "", "",
                                                          "http://livetube.cc/", "0", "", "0", "0", "",
                                                          "2026/12/11 11:30:00", "0"}));
  }
}

TEST_F(LivetubeJsonFeedTest, TagsJoinedByBlanksAndTrimmed) {
  struct Case {
    const char* tags;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {R"(["game", "talk"])", L"game talk"},
      {R"([])", L""},
      {R"(["two words", "x"])", L"two words x"},
      {R"([" lead", "trail "])", L"lead trail"},
      {R"(["", "a", ""])", L"a"},
      {R"(["\u3000全角\u3000"])", L"全角"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tags);
    const ProgramList list =
        Read(std::string(R"([{"author": "a", "created": "Fri, 11 Dec 2026 02:30:00 GMT", "tags": )") + c.tags + "}]");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->tag, c.expected);
  }
}

TEST_F(LivetubeJsonFeedTest, ReadStopsAtTheProgramLimit) {
  std::string doc = "[";
  for (size_t i = 1; i <= kMaxProgramsPerRead + 5; ++i) {
    doc += std::string(i > 1 ? "," : "") + R"({"author": "a)" + std::to_string(i) +
           R"(", "created": "Fri, 11 Dec 2026 02:30:00 GMT", "tags": ["x"], "extra": [[{"deep": [1]}]]})";
  }
  const ProgramList list = Read(doc + "]");
  ASSERT_EQ(list.size(), kMaxProgramsPerRead);
  EXPECT_EQ(list.back()->AuthorName, L"a" + std::to_wstring(kMaxProgramsPerRead));
  EXPECT_EQ(log.Lines(), std::vector<std::wstring>{L" [Warn]: LivetubeJsonFeed の番組数が上限(2000)を超えたので、以降の番組は読みません。"});
}

TEST_F(LivetubeJsonFeedTest, CreatedThatDoesNotConvertReachesTheCaller) {
  for (const char* doc : {R"([{"author": "a", "created": "2026-12-11T02:30:00Z"}])", R"([{"author": "a"}])"}) {
    SCOPED_TRACE(doc);
    server.Set("/index.live.json", HttpReply::Ok(doc, "application/json"));
    EXPECT_THROW(reader.getProgramList(test::LocalSettings(server), dir.path()), FormatException);
  }
  EXPECT_TRUE(log.Lines().empty());
}

TEST_F(LivetubeJsonFeedTest, NetworkFailureAndMissingFile) {
  server.Set("/index.live.json", HttpReply::Status(500, "Internal Server Error"));
  EXPECT_TRUE(reader.getProgramList(test::LocalSettings(server), dir.path()).empty());
  const auto lines = log.Lines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[1], L" [Error] Response HTTP/1.1 500 Internal Server Error");
  EXPECT_EQ(lines[2], L" [Error]: フィードダウンロードに問題発生");

  EXPECT_EQ(reader.parseFeed(file), 0);
  EXPECT_EQ(log.Lines().back(), L" [error]: " + file + L"が見つからないので処理を飛ばします。");
}

}  // namespace
}  // namespace corvanto
