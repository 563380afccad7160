#include "base/xml_reader.h"

#include <algorithm>
#include <atomic>
#include <cstring>

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

class XmlInputStream final : public ISequentialStream {
 public:
  XmlInputStream(std::string data, bool endOnAscii) : data_(std::move(data)), endOnAscii_(endOnAscii) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    if (riid == __uuidof(IUnknown) || riid == __uuidof(ISequentialStream)) {
      *object = static_cast<ISequentialStream*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG size, ULONG* read) override {
    size_t n = std::min<size_t>(size, data_.size() - at_);
    if (endOnAscii_ && at_ + n < data_.size()) {
      // Back to the last ASCII byte, so that no character is split; a piece without one goes whole.
      size_t end = n;
      while (end > 0 && static_cast<unsigned char>(data_[at_ + end - 1]) >= 0x80) --end;
      if (end > 0) n = end;
    }
    if (n) std::memcpy(buffer, data_.data() + at_, n);
    at_ += n;
    if (read) *read = static_cast<ULONG>(n);
    return n == 0 && size != 0 ? S_FALSE : S_OK;
  }
  HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return STG_E_ACCESSDENIED; }

 private:
  std::atomic<ULONG> refs_{1};
  std::string data_;
  size_t at_ = 0;
  bool endOnAscii_;
};

}  // namespace

bool RunningUnderWine() {
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

Microsoft::WRL::ComPtr<ISequentialStream> CreateXmlInputStream(std::string bytes) {
  static const bool underWine = RunningUnderWine();
  const bool utf16 = bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
                                           (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
  Microsoft::WRL::ComPtr<ISequentialStream> stream;
  stream.Attach(new XmlInputStream(std::move(bytes), underWine && !utf16));
  return stream;
}

XmlParseError::XmlParseError(HRESULT hr, UINT line, UINT position, std::wstring message)
    : std::runtime_error(WideToUtf8(message)), hr_(hr), line_(line), position_(position), message_(std::move(message)) {}

XmlLiteReader::XmlLiteReader(std::string_view bytes)
    : XmlLiteReader(CreateXmlInputStream(std::string(bytes)).Get()) {}

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
