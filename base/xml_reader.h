#pragma once
// A thin XmlLite reader over bytes in memory: DTDs prohibited, element depth capped, and a guard against a
// reader that stops making progress (Wine's XmlLite returns empty text nodes forever on a truncated document).
#include <windows.h>
#include <objidl.h>
#include <xmllite.h>
#include <wrl/client.h>

#include <stdexcept>
#include <string>
#include <string_view>

namespace corvanto {

// A document that is not well-formed, or one the reader refuses. Line and position are 1-based (0: unknown).
class XmlParseError : public std::runtime_error {
 public:
  XmlParseError(HRESULT hr, UINT line, UINT position, std::wstring message);
  HRESULT hr() const { return hr_; }
  UINT line() const { return line_; }
  UINT position() const { return position_; }
  const std::wstring& message() const { return message_; }

 private:
  HRESULT hr_;
  UINT line_, position_;
  std::wstring message_;
};

// A read-only stream over `bytes` for XmlLite. Under Wine, unless the bytes start with a UTF-16 byte-order mark,
// every read ends on an ASCII byte: Wine's XmlLite misreads a multibyte UTF-8 character that is split between two
// reads of its input (a long Japanese document then fails part way with a bogus XML error). Elsewhere reads are
// plain.
Microsoft::WRL::ComPtr<ISequentialStream> CreateXmlInputStream(std::string bytes);

// True when the program runs under Wine.
bool RunningUnderWine();

class XmlLiteReader {
 public:
  static constexpr UINT kMaxDepth = 256;

  // Copies `bytes`; a byte-order mark or the declared encoding decides how they are decoded.
  explicit XmlLiteReader(std::string_view bytes);
  // Reads the document from `input` (an ISequentialStream or IStream), which the reader keeps.
  explicit XmlLiteReader(IUnknown* input);

  // Moves to the next node. False at the end of the document; throws XmlParseError on malformed input.
  bool Read();

  XmlNodeType NodeType() const { return type_; }
  std::wstring LocalName() const;
  std::wstring QualifiedName() const;  // with its prefix, as written
  std::wstring NamespaceUri() const;
  std::wstring Value() const;
  bool IsEmptyElement() const;         // <x/> gives no end-element node
  UINT Depth() const;
  UINT Line() const;
  UINT Position() const;
  IXmlReader* raw() const { return reader_.Get(); }

  [[noreturn]] void Fail(HRESULT hr, const std::wstring& message) const;

 private:
  Microsoft::WRL::ComPtr<IXmlReader> reader_;
  XmlNodeType type_ = XmlNodeType_None;
  UINT lastLine_ = 0, lastPos_ = 0, stalled_ = 0;
};

}  // namespace corvanto
