#include "feeds/convert_date_time.h"

#include <array>
#include <climits>
#include <string_view>
#include <vector>

#include "feeds/feed_errors.h"

namespace corvanto {

namespace {

std::wstring ReplaceAll(std::wstring text, std::wstring_view from, std::wstring_view to) {
  size_t at = 0;
  while ((at = text.find(from, at)) != std::wstring::npos) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
  return text;
}

std::vector<std::wstring> Split(const std::wstring& text, wchar_t separator) {
  std::vector<std::wstring> parts;
  size_t start = 0;
  for (;;) {
    const size_t at = text.find(separator, start);
    if (at == std::wstring::npos) {
      parts.push_back(text.substr(start));
      return parts;
    }
    parts.push_back(text.substr(start, at - start));
    start = at + 1;
  }
}

bool IsParseSpace(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }

// A decimal integer: white space around it and one leading sign allowed, ASCII digits, 32-bit range.
int ParseInteger(const std::vector<std::wstring>& parts, size_t index, const std::wstring& text) {
  if (index >= parts.size()) throw FormatException(L"日時の要素が足りません: " + text);
  const std::wstring& s = parts[index];
  size_t i = 0, end = s.size();
  while (i < end && IsParseSpace(s[i])) ++i;
  while (end > i && IsParseSpace(s[end - 1])) --end;
  bool negative = false;
  if (i < end && (s[i] == L'+' || s[i] == L'-')) negative = s[i++] == L'-';
  if (i == end) throw FormatException(L"日時の要素が整数ではありません: " + text);
  long long value = 0;
  for (; i < end; ++i) {
    if (s[i] < L'0' || s[i] > L'9') throw FormatException(L"日時の要素が整数ではありません: " + text);
    value = value * 10 + (s[i] - L'0');
    if (value > static_cast<long long>(INT_MAX) + 1) throw FormatException(L"日時の要素が大きすぎます: " + text);
  }
  if (negative) value = -value;
  if (value > INT_MAX || value < INT_MIN) throw FormatException(L"日時の要素が大きすぎます: " + text);
  return static_cast<int>(value);
}

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

// Builds the calendar time, shifts it by 9 hours when asked and writes it as yyyy/MM/dd HH:mm:ss.
std::wstring Finish(int year, int month, int day, int hour, int minute, int second, bool shift,
                    const std::wstring& text) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) ||
      hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) {
    throw FormatException(L"日時が暦の範囲外です: " + text);
  }
  if (shift) {
    hour += 9;
    if (hour > 23) {
      hour -= 24;
      if (++day > DaysInMonth(year, month)) {
        day = 1;
        if (++month > 12) {
          month = 1;
          if (++year > 9999) throw FormatException(L"日時が暦の範囲外です: " + text);
        }
      }
    }
  }
  wchar_t buf[32];
  swprintf(buf, 32, L"%04d/%02d/%02d %02d:%02d:%02d", year, month, day, hour, minute, second);
  return buf;
}

}  // namespace

std::wstring ConvertDateTime::ConvertAtomDateTime(const std::wstring& text, bool shift) {
  const std::wstring s = ReplaceAll(ReplaceAll(ReplaceAll(text, L"T", L":"), L"Z", L""), L"-", L":");
  const auto parts = Split(s, L':');
  const int year = ParseInteger(parts, 0, text), month = ParseInteger(parts, 1, text),
            day = ParseInteger(parts, 2, text), hour = ParseInteger(parts, 3, text),
            minute = ParseInteger(parts, 4, text), second = ParseInteger(parts, 5, text);
  return Finish(year, month, day, hour, minute, second, shift, text);
}

std::wstring ConvertDateTime::ConvertRssDateTime(const std::wstring& text, bool shift) {
  static constexpr std::array<std::wstring_view, 12> kMonths = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                                                                 L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
  const auto parts = Split(ReplaceAll(text, L" ", L":"), L':');
  if (parts.size() < 3) throw FormatException(L"日時の要素が足りません: " + text);
  int month = 0;
  for (size_t i = 0; i < kMonths.size(); ++i) {
    if (parts[2] == kMonths[i]) month = static_cast<int>(i) + 1;
  }
  const int year = ParseInteger(parts, 3, text), day = ParseInteger(parts, 1, text),
            hour = ParseInteger(parts, 4, text), minute = ParseInteger(parts, 5, text),
            second = ParseInteger(parts, 6, text);
  return Finish(year, month, day, hour, minute, second, shift, text);
}

}  // namespace corvanto
