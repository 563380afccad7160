#include <gtest/gtest.h>

#include "base/text.h"

namespace corvanto {
namespace {

struct DecodeCase {
  const char* name;
  std::string utf8;
  std::wstring wide;
};

TEST(Utf8ToWide, DecodesAndReplacesInvalidSequences) {
  const DecodeCase cases[] = {
      {"ascii", "abc", L"abc"},
      {"japanese", "\xE7\x95\xAA\xE7\xB5\x84\xE8\xA1\xA8", L"番組表"},
      {"outside the BMP", "\xF0\x9F\x8E\xA4", L"\U0001F3A4"},
      {"lone continuation byte", "a\x80z", L"a\uFFFDz"},
      {"truncated three-byte sequence", "\xE7\x95", L"\uFFFD"},
      {"truncated then ascii", "\xE7\x95z", L"\uFFFDz"},
      {"overlong slash", "\xC0\xAF", L"\uFFFD\uFFFD"},
      {"encoded surrogate", "\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"invalid lead byte", "\xFF", L"\uFFFD"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToWide(c.utf8), c.wide) << c.name;
}

TEST(WideToUtf8, EncodesPairsAndReplacesLoneSurrogates) {
  EXPECT_EQ(WideToUtf8(L"番組表"), "\xE7\x95\xAA\xE7\xB5\x84\xE8\xA1\xA8");
  EXPECT_EQ(WideToUtf8(L"\U0001F3A4"), "\xF0\x9F\x8E\xA4");
  EXPECT_EQ(WideToUtf8(std::wstring(1, wchar_t(0xD800)) + L"a"), "\xEF\xBF\xBD" "a");
  EXPECT_EQ(WideToUtf8(std::wstring(1, wchar_t(0xDC00))), "\xEF\xBF\xBD");
}

TEST(StripUtf8Bom, DropsOnlyALeadingMark) {
  EXPECT_EQ(StripUtf8Bom("\xEF\xBB\xBFx"), "x");
  EXPECT_EQ(StripUtf8Bom("x\xEF\xBB\xBF"), "x\xEF\xBB\xBF");
  EXPECT_EQ(StripUtf8Bom("\xEF\xBB"), "\xEF\xBB");
}

}  // namespace
}  // namespace corvanto
