#pragma once
// The pattern of the readers that fetch one document: download it, then parse the stored file.
#include <string>

#include "feeds/download_file.h"
#include "feeds/program_node.h"

namespace corvanto {

// One read at a time per instance: `programList` and the ".tmp" copy belong to the read that runs.
class FeedReader : public DownloadFile {
 public:
  using DownloadFile::DownloadFile;
  virtual ~FeedReader() = default;

  // Downloads `url` to `path` and reads it. A network failure gives its log lines and an empty list; every other
  // failure (file failure of the download, a timestamp that does not convert, taking the text of an end tag)
  // goes on to the caller.
  ProgramList getProgramList(const std::wstring& url, const std::wstring& path, int timeout);

  // Reads the feed file `path` (through its hidden copy) into `programList`; returns the number of records added.
  virtual int parseFeed(const std::wstring& path) = 0;

 protected:
  ProgramList programList;
};

}  // namespace corvanto
