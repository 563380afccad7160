#include "feeds/cavetube_atom_feed.h"

#include "app/sites.h"
#include "feeds/convert_date_time.h"
#include "feeds/feed_frame.h"

namespace corvanto {

CaveTubeAtomFeed::CaveTubeAtomFeed(Logger& logger) : FeedReader(sites::kCaveTube, logger) {}

ProgramList CaveTubeAtomFeed::getProgramList(const ConfigNode& config, const std::wstring& feedFolder) {
  return getProgramList(SettingText(config.AtomCaveTubeURL), FeedFilePath(feedFolder, config.AtomCaveTubeFile),
                        config.TimeoutTime);
}

int CaveTubeAtomFeed::parseFeed(const std::wstring& path) {
  if (!CheckFeedFile(logger, path)) return 0;
  const size_t before = programList.size();
  HiddenCopy copy(path);
  // Kept across the whole document, never reset between entries.
  std::wstring title, name, id, summary, tag, viewer, listener, commentNum, published;
  WalkXmlFile(logger, L"CaveTubeAtomFeed", copy.path(), [&](ForwardXmlReader& reader) {
    while (reader.Read()) {
      // Each test sees the node the previous one left the reader on.
      if (reader.Name() == L"title") title = reader.ReadElementContentAsString();
      if (reader.Name() == L"name") name = reader.ReadElementContentAsString();
      if (reader.Name() == L"id") id = reader.ReadElementContentAsString();
      if (reader.Name() == L"summary") summary = reader.ReadElementContentAsString();
      if (reader.Name() == L"published") {
        published = ConvertDateTime::ConvertAtomDateTime(reader.ReadElementContentAsString(), true);
      }
      if (reader.Name() == L"ct:tag") tag = reader.ReadElementContentAsString();
      if (reader.Name() == L"ct:viewer") viewer = reader.ReadElementContentAsString();
      if (reader.Name() == L"ct:listener") listener = reader.ReadElementContentAsString();
      if (reader.Name() == L"ct:comment_num") commentNum = reader.ReadElementContentAsString();
      if (reader.Name() == L"ct:max_listener") {
        const std::wstring maxListener = reader.ReadElementContentAsString();
        if (HasAuthor(programList, name)) {
          reader.SkipTo(L"entry");
          continue;
        }
        if (programList.size() - before >= kMaxProgramsPerRead) {
          LogProgramCap(logger, L"CaveTubeAtomFeed");
          return;
        }
        auto node = std::make_shared<ProgramNode>();
        node->server = std::wstring(sites::kCaveTube);
        node->title = title;
        node->AuthorName = name;
        node->summary = summary;
        node->NowLiveId = id;
        node->tag = tag;
        node->TotalUserNum = viewer;
        node->MaxUserNum = maxListener;
        node->UserNum = listener;
        node->CommentNum = commentNum;
        node->updateTime = published;
        node->number = std::to_wstring(programList.size() + 1);
        programList.push_back(std::move(node));
      }
    }
  });
  return static_cast<int>(programList.size() - before);
}

}  // namespace corvanto
