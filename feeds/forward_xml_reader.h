#pragma once
// The forward-only walk that the three XML feed readers share, on XmlLite: one node at a time, names compared
// as written (prefix included), end tags carrying their element's name, and the element-text operation that
// leaves the reader on the node after the element's end tag.
#include <string>
#include <string_view>

#include "base/xml_reader.h"

namespace corvanto {

class ForwardXmlReader {
 public:
  // `bytes` is the whole document: UTF-8 unless a byte-order mark says otherwise (the declaration's encoding is
  // not looked at).
  explicit ForwardXmlReader(std::string_view bytes);

  // Moves to the next node; false at the end of the document (and on every call after it). Throws XmlParseError on
  // malformed input, nesting deeper than the cap, or a reader that makes no progress.
  bool Read();

  // The qualified name of the current node: "ct:tag" for <ct:tag>, the element's name for its end tag, "" for
  // text, white space, comments and the end of the document.
  const std::wstring& Name() const { return name_; }
  XmlNodeType NodeType() const { return eof_ ? XmlNodeType_None : reader_.NodeType(); }
  bool Eof() const { return eof_; }

  // On an element: its text content (text, CDATA and white space, character references resolved, comments
  // skipped), and the reader moves past the end tag onto the next node. An element holding child elements is an
  // XmlParseError. On any other node (an end tag, say) throws InvalidOperationException, which is not an XML error.
  std::wstring ReadElementContentAsString();

  // Advances until the current node is named `name` (the current node counts) or the document ends.
  void SkipTo(std::wstring_view name);

 private:
  XmlLiteReader reader_;
  std::wstring name_;
  bool eof_ = false;
};

// The reader's own description of an XML error for the log: what went wrong and where.
std::wstring DescribeXmlError(const XmlParseError& error);

}  // namespace corvanto
