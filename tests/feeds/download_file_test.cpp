#include "feeds/download_file.h"

#include <gtest/gtest.h>

#include <thread>

#include "base/files.h"
#include "base/text.h"
#include "tests/feeds/feed_test_util.h"

namespace corvanto {
namespace {

using test::HttpReply;
using test::LocalHttpServer;
using test::TempDir;
using test::TestLog;

constexpr int kTimeout = 10000;

class DownloadFileTest : public ::testing::Test {
 protected:
  TempDir dir;
  TestLog log{dir};
  LocalHttpServer server;
  DownloadFile download{L"Test", log.logger()};
  std::wstring file = dir / L"feed.xml";
};

TEST_F(DownloadFileTest, WritesTheBodyAndSendsTheRequestHeaders) {
  server.Set("/index.live.xml", HttpReply::Ok("<feed>配信中</feed>"));
  EXPECT_TRUE(download.Download(server.Url("/index.live.xml"), file, kTimeout));
  EXPECT_EQ(test::ReadBytes(file), "<feed>配信中</feed>");
  EXPECT_TRUE(log.Lines().empty());

  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].method, "GET");
  EXPECT_EQ(requests[0].Header("User-Agent"), "Corvanto");
  EXPECT_EQ(requests[0].Header("Cache-Control"), "no-cache");
  EXPECT_EQ(requests[0].HeaderCount("Cache-Control"), 1);
  EXPECT_EQ(requests[0].Header("Pragma"), "no-cache");
  EXPECT_FALSE(download.MutexState());
}

TEST_F(DownloadFileTest, DecodesTheBodyAsUtf8) {
  struct Case {
    const char* name;
    std::string body;
    std::string stored;
  };
  const Case cases[] = {
      {"plain", "<a>ひまわり</a>", "<a>ひまわり</a>"},
      {"byte-order mark dropped", "\xEF\xBB\xBF<a>x</a>", "<a>x</a>"},
      {"invalid bytes replaced", "<a>\x82\xA0\xFF</a>", "<a>\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD</a>"},
      {"truncated sequence replaced", "<a>\xE3\x81</a>", "<a>\xEF\xBF\xBD</a>"},
      {"UTF-16 byte-order mark honoured", std::string("\xFF\xFE<\0a\0>\0", 8), "<a>"},
      {"empty", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    server.Set("/body", HttpReply::Ok(c.body));
    EXPECT_TRUE(download.Download(server.Url("/body"), file, kTimeout));
    EXPECT_EQ(test::ReadBytes(file), c.stored);
  }
}

TEST_F(DownloadFileTest, FollowsARedirect) {
  server.Set("/old", HttpReply::Redirect("/new"));
  server.Set("/new", HttpReply::Ok("<moved/>"));
  EXPECT_TRUE(download.Download(server.Url("/old"), file, kTimeout));
  EXPECT_EQ(test::ReadBytes(file), "<moved/>");
  EXPECT_EQ(server.RequestsTo("/new").size(), 1u);
}

TEST_F(DownloadFileTest, ErrorStatusIsANetworkFailureThatKeepsThePreviousFile) {
  struct Case {
    int status;
    const char* reason;
  };
  for (const Case c : {Case{404, "Not Found"}, Case{500, "Internal Server Error"}}) {
    SCOPED_TRACE(c.status);
    TempDir caseDir;
    TestLog caseLog(caseDir);
    DownloadFile d(L"Test", caseLog.logger());
    const std::wstring path = caseDir / L"feed.xml";
    test::WriteBytes(path, "previous");
    server.Set("/err", HttpReply::Status(c.status, c.reason, "<html>error page</html>"));
    try {
      d.Download(server.Url("/err"), path, kTimeout);
      ADD_FAILURE() << "no failure";
    } catch (const WebException& e) {
      const std::wstring code = std::to_wstring(c.status), reason = Utf8ToWide(c.reason);
      EXPECT_EQ(caseLog.Lines(), (std::vector<std::wstring>{
                                     L" [Error] WebException " + e.message(),
                                     L" [Error] Response HTTP/1.1 " + code + L" " + reason,
                                 }));
      EXPECT_NE(e.message().find(L"(" + code + L")"), std::wstring::npos);
    }
    EXPECT_EQ(test::ReadBytes(path), "previous");
    EXPECT_FALSE(d.MutexState());
  }
}

TEST_F(DownloadFileTest, NoResponseInTimeIsANetworkFailure) {
  test::WriteBytes(file, "previous");
  server.Set("/silent", HttpReply::Silent());
  EXPECT_THROW(download.Download(server.Url("/silent"), file, 1000), WebException);
  const auto lines = log.Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].rfind(L" [Error] WebException ", 0), 0u);
  EXPECT_EQ(lines[1], L" [Error] Response ");
  EXPECT_EQ(test::ReadBytes(file), "previous");
  EXPECT_FALSE(download.MutexState());
}

TEST_F(DownloadFileTest, ClosedPortIsANetworkFailure) {
  std::wstring url;
  {
    LocalHttpServer gone;
    url = gone.Url("/index.live.xml");
  }
  EXPECT_THROW(download.Download(url, file, kTimeout), WebException);
  const auto lines = log.Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].rfind(L" [Error] WebException ", 0), 0u);
  EXPECT_EQ(lines[1], L" [Error] Response ");
  EXPECT_FALSE(FileExists(file));
}

TEST_F(DownloadFileTest, BodyOverTheLimitIsANetworkFailure) {
  std::string big(DownloadFile::kMaxBodyBytes + 1, 'x');
  for (const bool withLength : {true, false}) {
    SCOPED_TRACE(withLength ? "declared length" : "length unknown until the end");
    TempDir caseDir;
    TestLog caseLog(caseDir);
    DownloadFile d(L"Test", caseLog.logger());
    const std::wstring path = caseDir / L"feed.xml";
    HttpReply reply = HttpReply::Ok(big);
    reply.withLength = withLength;
    server.Set("/big", reply);
    EXPECT_THROW(d.Download(server.Url("/big"), path, kTimeout), WebException);
    const auto lines = caseLog.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind(L" [Error] WebException ", 0), 0u);
    EXPECT_EQ(lines[1], L" [Error] Response ");
    EXPECT_FALSE(FileExists(path));
  }
  // A body of exactly the limit is accepted.
  big.pop_back();
  HttpReply reply = HttpReply::Ok(big);
  reply.withLength = false;
  server.Set("/limit", reply);
  EXPECT_TRUE(download.Download(server.Url("/limit"), file, kTimeout));
  EXPECT_EQ(test::ReadBytes(file).size(), big.size());
}

TEST_F(DownloadFileTest, UnwritableFileIsAFileFailure) {
  server.Set("/ok", HttpReply::Ok("<ok/>"));
  try {
    download.Download(server.Url("/ok"), dir / L"no-such-folder\\feed.xml", kTimeout);
    ADD_FAILURE() << "no failure";
  } catch (const IOException& e) {
    EXPECT_EQ(log.Lines(), std::vector<std::wstring>{L" [Error] IOException " + e.message()});
  }
  EXPECT_FALSE(download.MutexState());
}

TEST_F(DownloadFileTest, ConnectionClosedBeforeTheDeclaredLengthIsAFileFailure) {
  test::WriteBytes(file, "previous");
  HttpReply reply = HttpReply::Ok("<feed>" + std::string(5000, 'x') + "</feed>");
  reply.cutAfter = 1000;
  server.Set("/cut", reply);
  try {
    download.Download(server.Url("/cut"), file, kTimeout);
    ADD_FAILURE() << "no failure";
  } catch (const IOException& e) {
    EXPECT_EQ(log.Lines(), std::vector<std::wstring>{L" [Error] IOException " + e.message()});
  }
  EXPECT_EQ(test::ReadBytes(file), "previous");
  EXPECT_FALSE(download.MutexState());
}

TEST_F(DownloadFileTest, AddressThatIsNotHttpFailsWithoutALogLine) {
  for (const wchar_t* url : {L"ftp://127.0.0.1/feed.xml", L"index.live.xml", L""}) {
    SCOPED_TRACE(WideToUtf8(url));
    EXPECT_THROW(download.Download(url, file, kTimeout), ArgumentException);
  }
  EXPECT_TRUE(log.Lines().empty());
  EXPECT_FALSE(download.MutexState());
  EXPECT_FALSE(FileExists(file));
}

// Against a plain HTTP server an https:// address fails in the TLS handshake: the server never sees a request.
TEST_F(DownloadFileTest, HttpsAddressUsesTls) {
  server.Set("/index.live.xml", HttpReply::Ok("<plain/>"));
  std::wstring url = server.Url("/index.live.xml");
  url.replace(0, 4, L"https");
  EXPECT_THROW(download.Download(url, file, 3000), WebException);
  EXPECT_TRUE(server.RequestsTo("/index.live.xml").empty());
  EXPECT_FALSE(FileExists(file));
}

// One download of a site at a time, across threads and instances; other sites are not held up.
TEST_F(DownloadFileTest, TheSiteLockSerialisesDownloadsOfOneSite) {
  struct Case {
    const wchar_t* first;
    const wchar_t* second;
    bool serialised;
  };
  for (const Case c : {Case{L"Livetube", L"Livetube", true}, Case{L"CaveTube", L"ひまわりストリーム", false}}) {
    SCOPED_TRACE(WideToUtf8(c.first) + " / " + WideToUtf8(c.second));
    LocalHttpServer s;
    HttpReply held = HttpReply::Ok("<first/>");
    held.held = true;
    s.Set("/first", held);
    s.Set("/second", HttpReply::Ok("<second/>"));
    DownloadFile a(c.first, log.logger()), b(c.second, log.logger());
    EXPECT_EQ(a.MutexName(), L"Corvanto_dl" + std::wstring(c.first));

    std::thread t1([&] { a.Download(s.Url("/first"), dir / L"first.xml", kTimeout); });
    ASSERT_TRUE(test::WaitUntil([&] { return !s.RequestsTo("/first").empty(); }, std::chrono::seconds(10)));
    EXPECT_EQ(b.MutexState(), c.serialised);
    std::thread t2([&] { b.Download(s.Url("/second"), dir / L"second.xml", kTimeout); });
    const bool secondArrived =
        test::WaitUntil([&] { return !s.RequestsTo("/second").empty(); }, std::chrono::milliseconds(2500));
    EXPECT_EQ(secondArrived, !c.serialised);
    s.Release("/first");
    t1.join();
    t2.join();

    const auto first = s.RequestsTo("/first"), second = s.RequestsTo("/second");
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(second.size(), 1u);
    if (c.serialised) {
      EXPECT_GT(second[0].arrived, first[0].answered);
    }
    EXPECT_EQ(test::ReadBytes(dir / L"second.xml"), "<second/>");
    EXPECT_FALSE(a.MutexState());
    EXPECT_FALSE(b.MutexState());
  }
}

}  // namespace
}  // namespace corvanto
