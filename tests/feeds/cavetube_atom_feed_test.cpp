#include "feeds/cavetube_atom_feed.h"

#include <gtest/gtest.h>

#include "base/files.h"
#include "tests/feeds/feed_fixtures.h"
#include "tests/feeds/feed_test_util.h"

namespace corvanto {
namespace {

using test::HttpReply;
using test::LocalHttpServer;
using test::TempDir;
using test::TestLog;
using Rows = std::vector<std::vector<std::string>>;

class CaveTubeAtomFeedTest : public ::testing::Test {
 protected:
  TempDir dir;
  TestLog log{dir};
  LocalHttpServer server;
  CaveTubeAtomFeed reader{log.logger()};

  ProgramList Read(const std::string& document) {
    server.Set("/index_live.xml", HttpReply::Ok(document));
    return reader.getProgramList(test::LocalSettings(server), dir.path());
  }
};

TEST_F(CaveTubeAtomFeedTest, ReadsTheFeedFromTheServer) {
  const ProgramList list = Read(test::kCaveTubeAtom);
  EXPECT_EQ(test::AllFields(list),
            (Rows{
                {"1", "CaveTube", "お絵かき配信 あ", "みかん", "のんびり描きます <3",
                 "http://gae.cavelis.example/live/mikan", "120", "20", "15", "230", "お絵かき 雑談",
                 "2026/12/11 19:00:00", "0"},
                // ct:max_listener before its own tag and counts: those of the entry before; its summary too.
                {"2", "CaveTube", "ラジオ", "りんご", "のんびり描きます <3", "http://gae.cavelis.example/live/ringo",
                 "120", "8", "15", "230", "お絵かき 雑談", "2026/12/12 01:30:00", "0"},
                // The third entry made no record; みかん's second is dropped. めろん gets ぶどう's tag and counts,
                // since cave:tag is not ct:tag.
                {"3", "CaveTube", "メロン", "めろん", "マイクテスト中", "http://gae.cavelis.example/live/melon", "1",
                 "5", "3", "9", "テスト", "2026/12/11 22:00:00", "0"},
            }));
  EXPECT_TRUE(log.Lines().empty());
  EXPECT_EQ(test::ListFolder(dir.path()), (std::vector<std::wstring>{L"index_live.xml", L"log.txt"}));
}

TEST_F(CaveTubeAtomFeedTest, FailureCases) {
  const std::string head =
      "<feed xmlns=\"http://www.w3.org/2005/Atom\" xmlns:ct=\"urn:ct\"><title>c</title>\n";
  const std::string good =
      "<entry>\n<name>a</name>\n<published>2026-12-11T10:00:00Z</published>\n<ct:max_listener>1</ct:max_listener>\n"
      "</entry>\n";
  {
    SCOPED_TRACE("no entry has ct:max_listener: no records, no line");
    EXPECT_TRUE(Read(head + "<entry><name>a</name>\n<published>2026-12-11T10:00:00Z</published></entry></feed>").empty());
    EXPECT_TRUE(log.Lines().empty());
  }
  {
    SCOPED_TRACE("XML error after the first entry");
    const ProgramList list = Read(head + good + "<entry><ct:tag>x</ct:viewer></entry></feed>");
    EXPECT_EQ(test::Authors(list), std::vector<std::string>{"a"});
    const auto lines = log.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], L" [error]: CaveTubeAtomFeed XML異常発生。以降のXMLは無視されます。");
  }
  {
    SCOPED_TRACE("a published that does not convert fails before the duplicate rule");
    EXPECT_THROW(Read(head + good + "<entry><published>yesterday</published></entry></feed>"), FormatException);
  }
}

}  // namespace
}  // namespace corvanto
