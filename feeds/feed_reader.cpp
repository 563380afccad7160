#include "feeds/feed_reader.h"

#include "feeds/feed_frame.h"

namespace corvanto {

ProgramList FeedReader::getProgramList(const std::wstring& url, const std::wstring& path, int timeout) {
  programList = ProgramList();
  try {
    Download(url, path, timeout);
  } catch (const WebException& e) {
    LogDownloadProblem(logger, e);
    return programList;
  }
  parseFeed(path);
  return programList;
}

}  // namespace corvanto
