#include "feeds/forward_xml_reader.h"

#include <cwchar>

#include "feeds/feed_errors.h"
#include "feeds/feed_text.h"

namespace corvanto {

namespace {

const wchar_t* NodeTypeName(XmlNodeType type) {
  switch (type) {
    case XmlNodeType_Element: return L"Element";
    case XmlNodeType_Attribute: return L"Attribute";
    case XmlNodeType_Text: return L"Text";
    case XmlNodeType_CDATA: return L"CDATA";
    case XmlNodeType_ProcessingInstruction: return L"ProcessingInstruction";
    case XmlNodeType_Comment: return L"Comment";
    case XmlNodeType_DocumentType: return L"DocumentType";
    case XmlNodeType_Whitespace: return L"Whitespace";
    case XmlNodeType_EndElement: return L"EndElement";
    case XmlNodeType_XmlDeclaration: return L"XmlDeclaration";
    default: return L"None";
  }
}

}  // namespace

// The file is text: its byte-order mark alone decides how it is decoded, never the declaration (which then names
// UTF-8, the form XmlLite is given).
ForwardXmlReader::ForwardXmlReader(std::string_view bytes)
    : reader_(CreateXmlInputStream(XmlAsUtf8(DecodeText(bytes))).Get()) {}

bool ForwardXmlReader::Read() {
  if (eof_) return false;
  if (!reader_.Read()) {
    eof_ = true;
    name_.clear();
    return false;
  }
  switch (reader_.NodeType()) {
    case XmlNodeType_Element:
    case XmlNodeType_EndElement:
    case XmlNodeType_ProcessingInstruction:
    case XmlNodeType_XmlDeclaration:
    case XmlNodeType_DocumentType:
      name_ = reader_.QualifiedName();
      break;
    default:
      name_.clear();
  }
  return true;
}

std::wstring ForwardXmlReader::ReadElementContentAsString() {
  const XmlNodeType type = NodeType();
  if (type != XmlNodeType_Element) {
    throw InvalidOperationException(std::wstring(L"The ReadElementContentAsString method is not supported on node type ") +
                                    NodeTypeName(type) + L".");
  }
  if (reader_.IsEmptyElement()) {
    Read();
    return L"";
  }
  const std::wstring element = name_;
  std::wstring text;
  for (;;) {
    if (!Read()) reader_.Fail(static_cast<HRESULT>(MX_E_INPUTEND), L"Unexpected end of file while reading the content of <" + element + L">.");
    switch (reader_.NodeType()) {
      case XmlNodeType_Text:
      case XmlNodeType_CDATA:
      case XmlNodeType_Whitespace:
        text += reader_.Value();
        break;
      case XmlNodeType_Element:
        reader_.Fail(static_cast<HRESULT>(WC_E_SYNTAX), L"ReadElementContentAs() methods cannot be called on an element that has child "
                                  L"elements.");
      case XmlNodeType_EndElement:
        Read();  // past the end tag, onto the next node
        return text;
      default:  // comments and processing instructions are not content
        break;
    }
  }
}

void ForwardXmlReader::SkipTo(std::wstring_view name) {
  while (!eof_ && name_ != name) Read();
}

std::wstring DescribeXmlError(const XmlParseError& error) {
  struct Known {
    unsigned long hr;
    const wchar_t* text;
  };
  static const Known kKnown[] = {
      {MX_E_INPUTEND, L"Unexpected end of input."},
      {MX_E_ENCODING, L"Unrecognized encoding."},
      {MX_E_ENCODINGSWITCH, L"Unable to switch the encoding."},
      {WC_E_XMLCHARACTER, L"Invalid character in the document."},
      {WC_E_SYNTAX, L"Syntax error."},
      {WC_E_NAME, L"Invalid name."},
      {WC_E_ROOTELEMENT, L"Invalid root element or content after it."},
      {WC_E_ELEMENTMATCH, L"The end tag does not match the start tag."},
      {WC_E_ENTITYCONTENT, L"Invalid entity content."},
      {WC_E_UNDECLAREDENTITY, L"Reference to an undeclared entity."},
      {WC_E_DTDPROHIBITED, L"DTD is prohibited."},
      {NC_E_UNDECLAREDPREFIX, L"Undeclared namespace prefix."},
      {SC_E_MAXELEMENTDEPTH, L"Elements nested too deeply."},
  };
  std::wstring what = error.message();
  // The base reader reports bare codes ("XML 0x..."); give those a readable text.
  if (what.rfind(L"XML 0x", 0) == 0) {
    for (const auto& k : kKnown) {
      if (k.hr == static_cast<unsigned long>(error.hr())) what = k.text;
    }
  }
  wchar_t where[96];
  swprintf(where, 96, L" (0x%08lX) Line %u, position %u.", static_cast<unsigned long>(error.hr()), error.line(),
           error.position());
  return what + where;
}

}  // namespace corvanto
