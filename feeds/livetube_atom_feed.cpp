#include "feeds/livetube_atom_feed.h"

#include "app/sites.h"
#include "feeds/convert_date_time.h"
#include "feeds/feed_frame.h"

namespace corvanto {

LivetubeAtomFeed::LivetubeAtomFeed(Logger& logger) : FeedReader(sites::kLivetube, logger) {}

ProgramList LivetubeAtomFeed::getProgramList(const ConfigNode& config, const std::wstring& feedFolder) {
  return getProgramList(SettingText(config.AtomLivetubeURL), FeedFilePath(feedFolder, config.AtomLivetubeFile),
                        config.TimeoutTime);
}

int LivetubeAtomFeed::parseFeed(const std::wstring& path) {
  if (!CheckFeedFile(logger, path)) return 0;
  const size_t before = programList.size();
  HiddenCopy copy(path);
  // Kept across the whole document, never reset between entries.
  std::wstring title, name, id;
  WalkXmlFile(logger, L"LivetubeAtomFeed", copy.path(), [&](ForwardXmlReader& reader) {
    while (reader.Read()) {
      // Each test sees the node the previous one left the reader on.
      if (reader.Name() == L"title") title = reader.ReadElementContentAsString();
      if (reader.Name() == L"name") name = reader.ReadElementContentAsString();
      if (reader.Name() == L"id") id = reader.ReadElementContentAsString();
      if (reader.Name() == L"published") {
        const std::wstring time = ConvertDateTime::ConvertAtomDateTime(reader.ReadElementContentAsString(), true);
        if (HasAuthor(programList, name)) {
          reader.SkipTo(L"entry");
          continue;
        }
        if (programList.size() - before >= kMaxProgramsPerRead) {
          LogProgramCap(logger, L"LivetubeAtomFeed");
          return;
        }
        auto node = std::make_shared<ProgramNode>();
        node->server = std::wstring(sites::kLivetube);
        node->title = title;
        node->AuthorName = name;
        node->NowLiveId = id;
        node->updateTime = time;
        node->number = std::to_wstring(programList.size() + 1);
        programList.push_back(std::move(node));
      }
    }
  });
  return static_cast<int>(programList.size() - before);
}

}  // namespace corvanto
