#pragma once
// Feed bytes as text, the way the downloader and the readers decode them.
#include <string>
#include <string_view>

namespace corvanto {

// A UTF-8, UTF-16LE or UTF-16BE byte-order mark decides and is dropped; without one the bytes are UTF-8. Invalid
// sequences (and unpaired surrogates) become U+FFFD.
std::wstring DecodeText(std::string_view bytes);

// The document as UTF-8 bytes, its XML declaration (if any) naming UTF-8, so that the XML reader reads exactly
// this text whatever encoding the declaration named before.
std::string XmlAsUtf8(std::wstring_view text);

}  // namespace corvanto
