#pragma once
// Livetube's Atom feed of the programs on air.
#include <string>

#include "app/config_node.h"
#include "app/logger.h"
#include "feeds/feed_reader.h"

namespace corvanto {

class LivetubeAtomFeed : public FeedReader {
 public:
  explicit LivetubeAtomFeed(Logger& logger);

  using FeedReader::getProgramList;
  // The same with the settings' AtomLivetubeURL, AtomLivetubeFile in `feedFolder` and TimeoutTime.
  ProgramList getProgramList(const ConfigNode& config, const std::wstring& feedFolder);

  int parseFeed(const std::wstring& path) override;
};

}  // namespace corvanto
