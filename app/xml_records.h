#pragma once
// The settings record and the list rows in the XML layout of the data files, both ways.
//
// Written: UTF-8 without BOM, `<?xml version="1.0"?>`, CR LF, two blanks per level, the xsi and xsd namespace
// declarations on the root, fields as elements in declaration order, an empty text as `<X />`, an absent one
// omitted, no line break after the root's end tag. Read: elements in any order, unknown ones ignored, a missing
// field keeps its fresh value, blanks around numbers and flags ignored, flags also "1"/"0".
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/config_node.h"
#include "app/list_nodes.h"

namespace corvanto {

// A record holding a text that XML cannot carry (a control character, an unpaired surrogate).
class XmlSerializeError : public std::runtime_error {
 public:
  explicit XmlSerializeError(std::wstring message);
  const std::wstring& message() const { return message_; }

 private:
  std::wstring message_;
};

std::string SerializeConfigNode(const ConfigNode& c);
std::string SerializeNotifyList(const std::vector<NotifyNode>& rows);
std::string SerializeNgList(const std::vector<NgWordNode>& rows);
std::string SerializeAuthorList(const std::vector<AuthorNode>& rows);
std::string SerializeKeywordList(const std::vector<KeywordNode>& rows);

// Nothing when the document is empty, not well-formed, has another root, or holds an unreadable number or flag.
std::optional<ConfigNode> DeserializeConfigNode(std::string_view bytes);
std::optional<std::vector<NotifyNode>> DeserializeNotifyList(std::string_view bytes);
std::optional<std::vector<NgWordNode>> DeserializeNgList(std::string_view bytes);
std::optional<std::vector<AuthorNode>> DeserializeAuthorList(std::string_view bytes);
std::optional<std::vector<KeywordNode>> DeserializeKeywordList(std::string_view bytes);

}  // namespace corvanto
