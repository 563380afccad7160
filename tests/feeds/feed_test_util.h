#pragma once
// What the feed tests share: a log in a temporary folder with a fixed clock, and settings pointed at the local
// server.
#include <string>
#include <vector>

#include "app/config_node.h"
#include "app/logger.h"
#include "tests/feeds/local_http_server.h"
#include "tests/support/test_support.h"

namespace corvanto::test {

// A log whose lines read "T <message>", so that tests compare the messages alone.
class TestLog {
 public:
  explicit TestLog(const TempDir& dir) : path_(dir / L"log.txt"), logger_(path_) {
    logger_.SetClockForTesting([] { return std::wstring(L"T"); });
  }
  Logger& logger() { return logger_; }
  // The messages written so far, each without the clock text and its blank.
  std::vector<std::wstring> Lines() const {
    std::vector<std::wstring> out;
    for (const auto& l : ReadLines(path_)) out.push_back(l.size() >= 2 ? l.substr(2) : l);
    return out;
  }

 private:
  std::wstring path_;
  Logger logger_;
};

// Settings whose feed addresses point at `server` (the Himawari address ends in "page=") and whose time-out is
// `timeout` ms.
inline ConfigNode LocalSettings(const LocalHttpServer& server, int timeout = 10000) {
  ConfigNode c;
  InitConfigNodeDat(c);
  c.AtomLivetubeURL = server.Url("/index.live.xml");
  c.JsonLivetubeURL = server.Url("/index.live.json");
  c.AtomCaveTubeURL = server.Url("/index_live.xml");
  c.RssHimawariURL = server.Url("/?mode=program&cat=search&rss=1&page=");
  c.TimeoutTime = timeout;
  return c;
}

}  // namespace corvanto::test

#include "base/text.h"
#include "feeds/program_node.h"

namespace corvanto::test {

// Every field of a record as UTF-8 in declaration order, the flag last ("0"/"1"): readable when a test fails.
inline std::vector<std::string> Fields(const ProgramNode& p) {
  std::vector<std::string> f;
  for (const std::wstring* s : {&p.number, &p.server, &p.title, &p.AuthorName, &p.summary, &p.NowLiveId,
                                &p.TotalUserNum, &p.MaxUserNum, &p.UserNum, &p.CommentNum, &p.tag, &p.updateTime}) {
    f.push_back(WideToUtf8(*s));
  }
  f.push_back(p.notifyFlg ? "1" : "0");
  return f;
}

inline std::vector<std::vector<std::string>> AllFields(const ProgramList& list) {
  std::vector<std::vector<std::string>> out;
  for (const auto& p : list) out.push_back(Fields(*p));
  return out;
}

// The authors of the records, in order.
inline std::vector<std::string> Authors(const ProgramList& list) {
  std::vector<std::string> out;
  for (const auto& p : list) out.push_back(WideToUtf8(p->AuthorName));
  return out;
}

}  // namespace corvanto::test
