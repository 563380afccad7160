#pragma once
// Livetube's Atom feed of the programs on air.
#include <string>

#include "app/config_node.h"
#include "app/logger.h"
#include "feeds/download_file.h"
#include "feeds/program_node.h"

namespace corvanto {

// One read at a time per instance: `programList` and the ".tmp" copy belong to the read that runs.
class LivetubeAtomFeed : public DownloadFile {
 public:
  explicit LivetubeAtomFeed(Logger& logger);

  // Downloads `url` to `path` and reads it. A network failure gives its log lines and an empty list; every other
  // failure (file failure of the download, a timestamp that does not convert, taking the text of an end tag)
  // goes on to the caller.
  ProgramList getProgramList(const std::wstring& url, const std::wstring& path, int timeout);
  // The same with the settings' AtomLivetubeURL, AtomLivetubeFile in `feedFolder` and TimeoutTime.
  ProgramList getProgramList(const ConfigNode& config, const std::wstring& feedFolder);

  // Reads the feed file `path` (through its hidden copy) into `programList`; returns the number of records added.
  int parseFeed(const std::wstring& path);

 private:
  ProgramList programList;
};

}  // namespace corvanto
