#include "feeds/livetube_json_feed.h"

#include <climits>
#include <optional>

#include <nlohmann/json.hpp>

#include "app/sites.h"
#include "base/files.h"
#include "base/text.h"
#include "feeds/convert_date_time.h"
#include "feeds/feed_frame.h"

namespace corvanto {

namespace {

// Well-formed JSON that does not map onto an array of LivetubeJsonNode.
struct WrongShape {};

using Json = nlohmann::json;

std::wstring TextMember(const Json& object, const char* name) {
  const auto it = object.find(name);
  if (it == object.end() || it->is_null()) return L"";
  if (!it->is_string()) throw WrongShape{};
  return Utf8ToWide(it->get_ref<const std::string&>());
}

int IntMember(const Json& object, const char* name) {
  const auto it = object.find(name);
  if (it == object.end() || it->is_null()) return 0;
  if (it->is_number_unsigned()) {
    const auto v = it->get<std::uint64_t>();
    if (v > static_cast<std::uint64_t>(INT_MAX)) throw WrongShape{};
    return static_cast<int>(v);
  }
  if (it->is_number_integer()) {
    const auto v = it->get<std::int64_t>();
    if (v > INT_MAX || v < INT_MIN) throw WrongShape{};
    return static_cast<int>(v);
  }
  throw WrongShape{};
}

std::vector<std::wstring> TagsMember(const Json& object) {
  std::vector<std::wstring> tags;
  const auto it = object.find("tags");
  if (it == object.end() || it->is_null()) return tags;
  if (!it->is_array()) throw WrongShape{};
  for (const auto& tag : *it) {
    if (tag.is_null()) {
      tags.emplace_back();
    } else if (tag.is_string()) {
      tags.push_back(Utf8ToWide(tag.get_ref<const std::string&>()));
    } else {
      throw WrongShape{};
    }
  }
  return tags;
}

std::vector<LivetubeJsonNode> Deserialize(const Json& document) {
  if (!document.is_array()) throw WrongShape{};
  std::vector<LivetubeJsonNode> nodes;
  for (const auto& member : document) {
    if (!member.is_object()) throw WrongShape{};
    LivetubeJsonNode n;
    n.id = TextMember(member, "id");
    n.link = TextMember(member, "link");
    n.author = TextMember(member, "author");
    n.title = TextMember(member, "title");
    n.viewing = IntMember(member, "viewing");
    n.view = IntMember(member, "view");
    n.comments = IntMember(member, "comments");
    n.created = TextMember(member, "created");
    n.tags = TagsMember(member);
    nodes.push_back(std::move(n));
  }
  return nodes;
}

bool IsWhiteSpace(wchar_t c) {
  return c == L' ' || (c >= L'\t' && c <= L'\r') || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

}  // namespace

std::wstring JoinTags(const std::vector<std::wstring>& tags) {
  std::wstring joined;
  for (const auto& t : tags) joined += t + L" ";
  size_t first = 0, last = joined.size();
  while (first < last && IsWhiteSpace(joined[first])) ++first;
  while (last > first && IsWhiteSpace(joined[last - 1])) --last;
  return joined.substr(first, last - first);
}

LivetubeJsonFeed::LivetubeJsonFeed(Logger& logger) : DownloadFile(sites::kLivetube, logger) {}

ProgramList LivetubeJsonFeed::getProgramList(const std::wstring& url, const std::wstring& path, int timeout) {
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

ProgramList LivetubeJsonFeed::getProgramList(const ConfigNode& config, const std::wstring& feedFolder) {
  return getProgramList(SettingText(config.JsonLivetubeURL), FeedFilePath(feedFolder, config.JsonLivetubeFile),
                        config.TimeoutTime);
}

int LivetubeJsonFeed::parseFeed(const std::wstring& path) {
  if (!CheckFeedFile(logger, path)) return 0;
  const size_t before = programList.size();
  HiddenCopy copy(path);

  std::vector<LivetubeJsonNode> nodes;
  try {
    const auto bytes = ReadWholeFile(copy.path());
    if (!bytes) {
      logger.WriteLine(L" [Worn]: " + copy.path() + L" が存在しない");
    } else {
      nodes = Deserialize(Json::parse(WideToUtf8(DecodeText(*bytes))));
    }
  } catch (const WrongShape&) {
    logger.WriteLine(L" [Error]: " + path + L" のフォーマットが異常です");
    nodes.clear();
  } catch (const Json::exception&) {
    nodes.clear();  // not JSON at all
  } catch (const Win32Error&) {
    nodes.clear();  // the copy cannot be read
  }

  const std::wstring base = sites::LivetubeBaseAddress();
  for (const auto& n : nodes) {
    auto node = std::make_shared<ProgramNode>();
    node->server = std::wstring(sites::kLivetube);
    node->title = n.title;
    node->AuthorName = n.author;
    node->NowLiveId = base + L"/" + n.link;
    node->tag = JoinTags(n.tags);
    node->TotalUserNum = std::to_wstring(n.view);
    node->UserNum = std::to_wstring(n.viewing);
    node->CommentNum = std::to_wstring(n.comments);
    node->updateTime = ConvertDateTime::ConvertRssDateTime(n.created, true);
    node->number = std::to_wstring(programList.size() + 1);
    programList.push_back(std::move(node));
  }
  return static_cast<int>(programList.size() - before);
}

}  // namespace corvanto
