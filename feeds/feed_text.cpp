#include "feeds/feed_text.h"

#include "base/text.h"

namespace corvanto {

namespace {

std::wstring DecodeUtf16(std::string_view bytes, bool bigEndian) {
  std::wstring out;
  out.reserve(bytes.size() / 2 + 1);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
    out.push_back(static_cast<wchar_t>(bigEndian ? (a << 8 | b) : (b << 8 | a)));
  }
  if (bytes.size() % 2) out.push_back(0xFFFD);
  // Unpaired surrogates become U+FFFD here, so that the text round-trips through UTF-8.
  for (size_t i = 0; i < out.size(); ++i) {
    const wchar_t c = out[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < out.size() && out[i + 1] >= 0xDC00 && out[i + 1] <= 0xDFFF) {
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      out[i] = 0xFFFD;
    }
  }
  return out;
}

}  // namespace

std::wstring DecodeText(std::string_view bytes) {
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') return DecodeUtf16(bytes.substr(2), false);
  if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF') return DecodeUtf16(bytes.substr(2), true);
  return Utf8ToWide(StripUtf8Bom(bytes));
}

std::string XmlAsUtf8(std::wstring_view text) {
  std::wstring doc(text);
  if (doc.rfind(L"<?xml", 0) == 0 && doc.size() > 5 &&
      (doc[5] == L' ' || doc[5] == L'\t' || doc[5] == L'\r' || doc[5] == L'\n')) {
    const size_t end = doc.find(L"?>");
    const size_t enc = doc.find(L"encoding");
    if (end != std::wstring::npos && enc != std::wstring::npos && enc < end) {
      const size_t open = doc.find_first_of(L"\"'", enc);
      if (open != std::wstring::npos && open < end) {
        const size_t close = doc.find(doc[open], open + 1);
        if (close != std::wstring::npos && close < end) doc.replace(open + 1, close - open - 1, L"UTF-8");
      }
    }
  }
  return WideToUtf8(doc);
}

}  // namespace corvanto
