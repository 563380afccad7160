#pragma once
// The input stream the feed readers hand to XmlLite.
#include <windows.h>
#include <objidl.h>
#include <wrl/client.h>

#include <string>

namespace corvanto {

// A read-only stream over `utf8`. Under Wine every read ends on an ASCII byte: Wine's XmlLite misreads a
// multibyte UTF-8 character that is split between two reads of its input (a long Japanese feed then fails part
// way with a bogus XML error). Elsewhere reads are plain.
Microsoft::WRL::ComPtr<ISequentialStream> CreateXmlInputStream(std::string utf8);

// True when the program runs under Wine.
bool RunningUnderWine();

}  // namespace corvanto
