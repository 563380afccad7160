#pragma once
// Livetube's JSON document of the programs on air: an array of objects, with counts and tags.
#include <string>
#include <vector>

#include "app/config_node.h"
#include "app/logger.h"
#include "feeds/feed_reader.h"

namespace corvanto {

// One member of the document's array. A missing member (or a JSON null) is the empty text, 0 or no tags.
struct LivetubeJsonNode {
  std::wstring id;
  std::wstring link;
  std::wstring author;
  std::wstring title;
  int viewing = 0;
  int view = 0;
  int comments = 0;
  std::wstring created;
  std::vector<std::wstring> tags;
};

// One read at a time per instance; shares the Livetube download lock with LivetubeAtomFeed.
class LivetubeJsonFeed : public FeedReader {
 public:
  explicit LivetubeJsonFeed(Logger& logger);

  using FeedReader::getProgramList;
  // The same with the settings' JsonLivetubeURL, JsonLivetubeFile in `feedFolder` and TimeoutTime.
  ProgramList getProgramList(const ConfigNode& config, const std::wstring& feedFolder);

  // Reads the document through its hidden copy; every member becomes a record (no duplicate rule).
  // A document that does not deserialise adds nothing:
  //  - the copy is gone: " [Worn]: <copy> が存在しない";
  //  - well-formed JSON of the wrong shape (not an array, a member that is not an object, a member of the wrong
  //    type such as a text count, a count outside 32 bits, a tag that is not a text):
  //    " [Error]: <path> のフォーマットが異常です";
  //  - text that is not JSON at all, or a copy that cannot be read: no line.
  // Members past kMaxProgramsPerRead are left out with a warning line. A `created` that does not convert (or is
  // missing) throws FormatException to the caller.
  int parseFeed(const std::wstring& path) override;
};

// The tags in order, each followed by one blank, the whole trimmed of white space at both ends.
std::wstring JoinTags(const std::vector<std::wstring>& tags);

}  // namespace corvanto
