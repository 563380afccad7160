#pragma once
// Himawari Stream's paged RSS search of the programs on air.
#include <string>

#include "app/config_node.h"
#include "app/logger.h"
#include "feeds/download_file.h"
#include "feeds/program_node.h"

namespace corvanto {

// One read at a time per instance. Pages are read while each adds exactly 30 programs, at most kMaxPages.
class HimawariRssFeed : public DownloadFile {
 public:
  static constexpr int kPageSize = 30;
  // A site that ignores the page number would otherwise be read for ever.
  static constexpr int kMaxPages = 50;

  explicit HimawariRssFeed(Logger& logger);

  // Downloads `url` followed by the page number (0, 1, ...) to `path` and reads each page. A network failure
  // gives its log lines and the records of the pages read before it; other failures go on to the caller.
  ProgramList getProgramList(const std::wstring& url, const std::wstring& path, int timeout);
  // The same with the settings' RssHimawariURL, RssHimawariFile in `feedFolder` and TimeoutTime.
  ProgramList getProgramList(const ConfigNode& config, const std::wstring& feedFolder);

  // Reads one page; `start` is the number of records before it. Returns the number after it (0 when the file
  // is missing).
  int parseFeed(const std::wstring& path, int start);

 private:
  ProgramList programList;
};

// The broadcaster in an item's description: the text after the first "配信者:<b>" up to the next "</b>" (or the
// end of the text); the empty text when the description has no "配信者:<b>".
std::wstring CutHimawariAuthor(const std::wstring& description);

}  // namespace corvanto
