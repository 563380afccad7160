#pragma once
// UTF-8 <-> UTF-16 at the file and network edges. Texts inside the program are std::wstring.
#include <string>
#include <string_view>

namespace corvanto {

// Decodes UTF-8; each invalid or truncated sequence becomes one U+FFFD (maximal subparts, as browsers do).
std::wstring Utf8ToWide(std::string_view utf8);
// Encodes UTF-16; an unpaired surrogate becomes U+FFFD.
std::string WideToUtf8(std::wstring_view wide);
// The text without a leading UTF-8 byte-order mark.
std::string_view StripUtf8Bom(std::string_view bytes);

}  // namespace corvanto
