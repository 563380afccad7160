#include "feeds/livetube_json_feed.h"

#include <climits>

#include <nlohmann/json.hpp>

#include "app/sites.h"
#include "base/files.h"
#include "base/text.h"
#include "feeds/convert_date_time.h"
#include "feeds/feed_frame.h"
#include "feeds/feed_text.h"

namespace corvanto {

namespace {

using Json = nlohmann::json;

// Maps the document onto LivetubeJsonNode records while it is parsed, without building the whole document in
// memory: at most kMaxProgramsPerRead records are kept, and members the records do not use are only checked for
// syntax. A document of the wrong shape is recorded as such, but the parse goes on to the end, so that text
// which is not JSON at all is told apart from JSON of the wrong shape.
class NodeMapper : public nlohmann::json_sax<Json> {
 public:
  std::vector<LivetubeJsonNode> nodes;
  bool wrongShape = false;
  bool notJson = false;
  bool truncated = false;  // members past the limit were left out

  bool null() override { return Scalar(Kind::Null); }
  bool boolean(bool) override { return Scalar(Kind::Other); }
  bool number_integer(number_integer_t v) override { return Integer(v >= INT_MIN && v <= INT_MAX, static_cast<int>(v)); }
  bool number_unsigned(number_unsigned_t v) override {
    return Integer(v <= static_cast<number_unsigned_t>(INT_MAX), static_cast<int>(v));
  }
  bool number_float(number_float_t, const string_t&) override { return Scalar(Kind::Other); }
  bool binary(binary_t&) override { return Scalar(Kind::Other); }
  bool string(string_t& v) override {
    text_ = &v;
    return Scalar(Kind::Text);
  }

  bool start_object(std::size_t) override {
    if (depth_ == 1) {
      active_ = nodes.size() < kMaxProgramsPerRead;
      truncated = truncated || !active_;
      current_ = LivetubeJsonNode();
    } else {
      Container();
    }
    ++depth_;
    return true;
  }
  bool end_object() override {
    if (--depth_ == 1 && active_ && !wrongShape) nodes.push_back(std::move(current_));
    if (depth_ == 1) active_ = false;
    return true;
  }
  bool start_array(std::size_t) override {
    if (depth_ == 2 && active_ && key_ == "tags") {
      inTags_ = true;
      current_.tags.clear();
    } else if (depth_ != 0) {
      Container();
    }
    ++depth_;
    return true;
  }
  bool end_array() override {
    if (--depth_ == 2) inTags_ = false;
    return true;
  }
  bool key(string_t& k) override {
    if (depth_ == 2) key_ = k;
    return true;
  }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
    notJson = true;
    return false;
  }

 private:
  enum class Kind { Null, Text, Other };

  // A container where the records need a member of their own (the document, a member, a mapped value, a tag).
  void Container() {
    if (depth_ <= 1 || (depth_ == 2 && active_ && Mapped()) || (depth_ == 3 && inTags_)) wrongShape = true;
  }
  bool Mapped() const {
    for (const char* name : {"id", "link", "author", "title", "created", "viewing", "view", "comments", "tags"}) {
      if (key_ == name) return true;
    }
    return false;
  }
  bool IsCount() const { return key_ == "viewing" || key_ == "view" || key_ == "comments"; }

  bool Scalar(Kind kind) {
    if (depth_ <= 1) {
      wrongShape = true;  // a document or a member that is not an object
    } else if (depth_ == 3 && inTags_ && active_) {
      if (kind == Kind::Other) wrongShape = true;
      else current_.tags.push_back(kind == Kind::Text ? Utf8ToWide(*text_) : std::wstring());
    } else if (depth_ == 2 && active_ && Mapped()) {
      if (kind == Kind::Other) {
        wrongShape = true;
      } else if (IsCount() || key_ == "tags") {
        if (kind == Kind::Text) wrongShape = true;
        else if (key_ == "tags") current_.tags.clear();
        else Count() = 0;
      } else {
        Text() = kind == Kind::Text ? Utf8ToWide(*text_) : std::wstring();
      }
    }
    return true;
  }

  bool Integer(bool fits, int value) {
    if (depth_ == 2 && active_ && IsCount()) {
      if (fits) Count() = value;
      else wrongShape = true;
      return true;
    }
    return Scalar(Kind::Other);
  }

  std::wstring& Text() {
    if (key_ == "id") return current_.id;
    if (key_ == "link") return current_.link;
    if (key_ == "author") return current_.author;
    if (key_ == "title") return current_.title;
    return current_.created;
  }
  int& Count() {
    if (key_ == "viewing") return current_.viewing;
    if (key_ == "view") return current_.view;
    return current_.comments;
  }

  int depth_ = 0;          // containers open
  bool active_ = false;    // inside a member that is kept
  bool inTags_ = false;    // directly inside the kept member's tags
  std::string key_;        // the member's key being read
  const std::string* text_ = nullptr;
  LivetubeJsonNode current_;
};

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

LivetubeJsonFeed::LivetubeJsonFeed(Logger& logger) : FeedReader(sites::kLivetube, logger) {}

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
      NodeMapper mapper;
      Json::sax_parse(WideToUtf8(DecodeText(*bytes)), &mapper);
      if (mapper.notJson) {
        // not JSON at all: no line
      } else if (mapper.wrongShape) {
        logger.WriteLine(L" [Error]: " + path + L" のフォーマットが異常です");
      } else {
        nodes = std::move(mapper.nodes);
        if (mapper.truncated) LogProgramCap(logger, L"LivetubeJsonFeed");
      }
    }
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
