#include "base/xml_reader.h"

#include <shlwapi.h>

#include "base/text.h"

namespace corvanto {

namespace {

// Reads that return a node without moving the reader on; well above anything a real document produces.
constexpr UINT kMaxStalledReads = 10000;

std::wstring HResultText(HRESULT hr) {
  wchar_t buf[16];
  swprintf(buf, 16, L"0x%08lX", static_cast<unsigned long>(hr));
  return buf;
}

}  // namespace

XmlParseError::XmlParseError(HRESULT hr, UINT line, UINT position, std::wstring message)
    : std::runtime_error(WideToUtf8(message)), hr_(hr), line_(line), position_(position), message_(std::move(message)) {}

XmlLiteReader::XmlLiteReader(std::string_view bytes) {
  Microsoft::WRL::ComPtr<IStream> stream;
  stream.Attach(::SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size())));
  if (!stream) throw XmlParseError(E_OUTOFMEMORY, 0, 0, L"SHCreateMemStream");
  HRESULT hr = ::CreateXmlReader(__uuidof(IXmlReader), reinterpret_cast<void**>(reader_.GetAddressOf()), nullptr);
  if (FAILED(hr)) throw XmlParseError(hr, 0, 0, L"CreateXmlReader " + HResultText(hr));
  reader_->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit);
  reader_->SetProperty(XmlReaderProperty_MaxElementDepth, kMaxDepth);
  hr = reader_->SetInput(stream.Get());
  if (FAILED(hr)) throw XmlParseError(hr, 0, 0, L"SetInput " + HResultText(hr));
}

XmlLiteReader::XmlLiteReader(IUnknown* input) {
  HRESULT hr = ::CreateXmlReader(__uuidof(IXmlReader), reinterpret_cast<void**>(reader_.GetAddressOf()), nullptr);
  if (FAILED(hr)) throw XmlParseError(hr, 0, 0, L"CreateXmlReader " + HResultText(hr));
  reader_->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit);
  reader_->SetProperty(XmlReaderProperty_MaxElementDepth, kMaxDepth);
  hr = reader_->SetInput(input);
  if (FAILED(hr)) throw XmlParseError(hr, 0, 0, L"SetInput " + HResultText(hr));
}

void XmlLiteReader::Fail(HRESULT hr, const std::wstring& message) const {
  throw XmlParseError(hr, Line(), Position(), message);
}

bool XmlLiteReader::Read() {
  XmlNodeType type = XmlNodeType_None;
  const HRESULT hr = reader_->Read(&type);
  if (hr == S_FALSE) {
    type_ = XmlNodeType_None;
    return false;
  }
  if (FAILED(hr)) Fail(hr, L"XML " + HResultText(hr));
  type_ = type;
  const UINT line = Line(), pos = Position();
  if (line == lastLine_ && pos == lastPos_) {
    if (++stalled_ > kMaxStalledReads) Fail(WC_E_SYNTAX, L"XML reader makes no progress (truncated document)");
  } else {
    lastLine_ = line, lastPos_ = pos, stalled_ = 0;
  }
  if (Depth() > kMaxDepth) Fail(SC_E_MAXELEMENTDEPTH, L"XML nesting too deep");
  return true;
}

std::wstring XmlLiteReader::LocalName() const {
  const wchar_t* s = nullptr;
  UINT n = 0;
  return SUCCEEDED(reader_->GetLocalName(&s, &n)) && s ? std::wstring(s, n) : std::wstring();
}

std::wstring XmlLiteReader::QualifiedName() const {
  const wchar_t* s = nullptr;
  UINT n = 0;
  return SUCCEEDED(reader_->GetQualifiedName(&s, &n)) && s ? std::wstring(s, n) : std::wstring();
}

std::wstring XmlLiteReader::NamespaceUri() const {
  const wchar_t* s = nullptr;
  UINT n = 0;
  return SUCCEEDED(reader_->GetNamespaceUri(&s, &n)) && s ? std::wstring(s, n) : std::wstring();
}

std::wstring XmlLiteReader::Value() const {
  const wchar_t* s = nullptr;
  UINT n = 0;
  return SUCCEEDED(reader_->GetValue(&s, &n)) && s ? std::wstring(s, n) : std::wstring();
}

bool XmlLiteReader::IsEmptyElement() const { return reader_->IsEmptyElement() != FALSE; }

UINT XmlLiteReader::Depth() const {
  UINT d = 0;
  reader_->GetDepth(&d);
  return d;
}

UINT XmlLiteReader::Line() const {
  UINT v = 0;
  reader_->GetLineNumber(&v);
  return v;
}

UINT XmlLiteReader::Position() const {
  UINT v = 0;
  reader_->GetLinePosition(&v);
  return v;
}

}  // namespace corvanto
