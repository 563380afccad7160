#pragma once
// Rows of the notify list, the NG list and the two legacy lists, as stored in their files.
#include <optional>
#include <string>
#include <vector>

#include "app/config_node.h"

namespace corvanto {

using OptTextList = std::optional<std::vector<std::wstring>>;

struct NotifyNode {
  OptText server;
  OptText author;
  OptText nickName;
  OptText keyword;
  OptText tag;
  OptTextList NowLiveIdList;
  bool operator==(const NotifyNode&) const = default;
};

struct NgWordNode {
  OptText serverNg;
  OptText NgAuthorName;
  OptText NgKeyword;
  OptText NgTag;
  bool operator==(const NgWordNode&) const = default;
};

// Legacy List.xml row (read only).
struct AuthorNode {
  OptText serverAuthor;
  OptText AuthorName;
  OptText NickName;
  OptText NowLiveId;
  bool AlertFlg = false;
};

// Legacy Keyword.xml row (read only).
struct KeywordNode {
  OptText serverKeyword;
  OptText Keyword;
  OptTextList NowLiveIdList;
};

// The address every stored NowLiveIdList holds: it can never equal a real watch address.
inline constexpr wchar_t kNowLiveIdPlaceholder[] = L"http://example.com/sample/";

}  // namespace corvanto
