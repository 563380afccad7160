#include "feeds/xml_input_stream.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace corvanto {

namespace {

class Utf8Stream final : public ISequentialStream {
 public:
  Utf8Stream(std::string data, bool endOnAscii) : data_(std::move(data)), endOnAscii_(endOnAscii) {}

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

Microsoft::WRL::ComPtr<ISequentialStream> CreateXmlInputStream(std::string utf8) {
  static const bool underWine = RunningUnderWine();
  Microsoft::WRL::ComPtr<ISequentialStream> stream;
  stream.Attach(new Utf8Stream(std::move(utf8), underWine));
  return stream;
}

}  // namespace corvanto
