#include "feeds/himawari_rss_feed.h"

#include "app/sites.h"
#include "feeds/convert_date_time.h"
#include "feeds/feed_frame.h"

namespace corvanto {

std::wstring CutHimawariAuthor(const std::wstring& description) {
  static const std::wstring kStart = L"配信者:<b>";
  const size_t at = description.find(kStart);
  if (at == std::wstring::npos) return L"";
  const size_t from = at + kStart.size();
  const size_t end = description.find(L"</b>", from);
  return description.substr(from, end == std::wstring::npos ? std::wstring::npos : end - from);
}

HimawariRssFeed::HimawariRssFeed(Logger& logger) : DownloadFile(sites::kHimawari, logger) {}

ProgramList HimawariRssFeed::getProgramList(const std::wstring& url, const std::wstring& path, int timeout) {
  programList = ProgramList();
  int total = 0;
  for (int page = 0;; ++page) {
    if (page == kMaxPages) {
      logger.WriteLine(L" [Warn]: ひまわりストリームのフィードが" + std::to_wstring(kMaxPages) +
                       L"ページを超えるので、以降のページは読みません。");
      break;
    }
    const int before = total;
    try {
      Download(url + std::to_wstring(page), path, timeout);
    } catch (const WebException& e) {
      LogDownloadProblem(logger, e);
      break;
    }
    total = parseFeed(path, total);
    if (total - before != kPageSize) break;
  }
  return programList;
}

ProgramList HimawariRssFeed::getProgramList(const ConfigNode& config, const std::wstring& feedFolder) {
  return getProgramList(SettingText(config.RssHimawariURL), FeedFilePath(feedFolder, config.RssHimawariFile),
                        config.TimeoutTime);
}

int HimawariRssFeed::parseFeed(const std::wstring& path, int start) {
  if (!CheckFeedFile(logger, path)) return 0;
  HiddenCopy copy(path);
  // Kept across one page, never reset between items.
  std::wstring title, link, author;
  WalkXmlFile(logger, L"HimawariRssFeed", copy.path(), [&](ForwardXmlReader& reader) {
    while (reader.Read()) {
      // Each test sees the node the previous one left the reader on.
      if (reader.Name() == L"title") title = reader.ReadElementContentAsString();
      if (reader.Name() == L"link") link = reader.ReadElementContentAsString();
      if (reader.Name() == L"description") author = CutHimawariAuthor(reader.ReadElementContentAsString());
      if (reader.Name() == L"pubDate") {
        const std::wstring time = ConvertDateTime::ConvertRssDateTime(reader.ReadElementContentAsString(), false);
        // Duplicates only within this page: the same broadcaster on two pages gives two records.
        if (HasAuthor(programList, author, static_cast<size_t>(start))) {
          reader.SkipTo(L"item");
          continue;
        }
        if (programList.size() >= kMaxProgramsPerRead) {
          LogProgramCap(logger, L"HimawariRssFeed");
          return;
        }
        auto node = std::make_shared<ProgramNode>();
        node->server = std::wstring(sites::kHimawari);
        node->title = title;
        node->AuthorName = author;
        node->NowLiveId = link;
        node->updateTime = time;
        node->number = std::to_wstring(programList.size() + 1);
        programList.push_back(std::move(node));
      }
    }
  });
  return static_cast<int>(programList.size());
}

}  // namespace corvanto
