#pragma once
// CaveTube's Atom feed of the programs on air, with its ct: elements (tags and counts).
#include <string>

#include "app/config_node.h"
#include "app/logger.h"
#include "feeds/feed_reader.h"

namespace corvanto {

// One read at a time per instance. In this feed `ct:max_listener` completes a program.
class CaveTubeAtomFeed : public FeedReader {
 public:
  explicit CaveTubeAtomFeed(Logger& logger);

  using FeedReader::getProgramList;
  // The same with the settings' AtomCaveTubeURL, AtomCaveTubeFile in `feedFolder` and TimeoutTime.
  ProgramList getProgramList(const ConfigNode& config, const std::wstring& feedFolder);
  int parseFeed(const std::wstring& path) override;
};

}  // namespace corvanto
