#pragma once
// Feed timestamps to the program's one time text, yyyy/MM/dd HH:mm:ss, which sorts as text in time order.
#include <string>

namespace corvanto {

class ConvertDateTime {
 public:
  // Atom form: 2015-06-05T21:30:00Z. Every "T" becomes ":", every "Z" goes, every "-" becomes ":"; the first six
  // parts are year, month, day, hour, minute, second, and the rest is ignored (so a negative zone offset is
  // dropped while a positive one leaves "00+09" in the seconds and fails). `shift` adds 9 hours (UTC to Japan).
  // Throws FormatException for anything that does not convert.
  static std::wstring ConvertAtomDateTime(const std::wstring& text, bool shift);

  // RSS form: Fri, 05 Jun 2015 21:30:00 GMT. Blanks become ":"; part 2 is the day, 3 the English month
  // abbreviation (exact case), 4 the year, 5 to 7 the time; the weekday and the zone are not read, only `shift`
  // moves the clock. Throws FormatException for anything that does not convert.
  static std::wstring ConvertRssDateTime(const std::wstring& text, bool shift);
};

}  // namespace corvanto
