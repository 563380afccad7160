#include "feeds/convert_date_time.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "feeds/feed_errors.h"

namespace corvanto {
namespace {

struct TimeCase {
  const wchar_t* text;
  bool shift;
  const wchar_t* expected;  // nullptr: the conversion fails
};

void CheckCases(std::wstring (*convert)(const std::wstring&, bool), const std::vector<TimeCase>& cases) {
  for (const auto& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.text) + (c.shift ? " (shift)" : ""));
    if (c.expected) {
      EXPECT_EQ(WideToUtf8(convert(c.text, c.shift)), WideToUtf8(c.expected));
    } else {
      EXPECT_THROW(convert(c.text, c.shift), FormatException);
    }
  }
}

TEST(ConvertDateTimeTest, AtomForms) {
  CheckCases(&ConvertDateTime::ConvertAtomDateTime,
             {
                 {L"2015-06-05T21:30:00Z", true, L"2015/06/06 06:30:00"},
                 {L"2015-06-05T21:30:00Z", false, L"2015/06/05 21:30:00"},
                 {L"2015-06-05T21:30:00", true, L"2015/06/06 06:30:00"},        // Z optional
                 {L"2015-06-05T21:30:00-05:00", false, L"2015/06/05 21:30:00"},  // negative offset ignored
                 {L"2015-06-05T21:30:00-05:00", true, L"2015/06/06 06:30:00"},
                 {L"2015-06-05T21:30:00+09:00", false, nullptr},  // seconds part "00+09"
                 {L"2015-06-05T21:30:00.5Z", true, nullptr},      // fractional seconds
                 {L"2015-06-05", true, nullptr},                  // date without time
                 {L"2015-12-31T20:00:00Z", true, L"2016/01/01 05:00:00"},
                 {L"2016-02-28T15:00:00Z", true, L"2016/02/29 00:00:00"},  // leap year
                 {L"2015-02-28T15:00:00Z", true, L"2015/03/01 00:00:00"},
                 {L"2015-06-05T14:59:59Z", true, L"2015/06/05 23:59:59"},
                 {L"2015-6-5T1:2:3Z", false, L"2015/06/05 01:02:03"},   // padded on output
                 {L" 2015 - 06 -05T 21:30 :00Z", false, L"2015/06/05 21:30:00"},  // blanks around parts
                 {L"+2015-06-05T21:30:00Z", false, L"2015/06/05 21:30:00"},      // leading sign
                 {L"2015-13-05T21:30:00Z", false, nullptr},                     // month 13
                 {L"2015-06-31T21:30:00Z", false, nullptr},                     // 31 June
                 {L"2015-06-05T24:00:00Z", false, nullptr},                     // hour 24
                 {L"2015-06-05T21:60:00Z", false, nullptr},
                 {L"0000-06-05T21:30:00Z", false, nullptr},
                 {L"9999-12-31T20:00:00Z", true, nullptr},  // past the last day of the calendar
                 {L"2015-06-05T21:3a:00Z", false, nullptr},
                 {L"2015-06-05T21::00Z", false, nullptr},   // empty part
                 {L"", false, nullptr},
                 {L"2015-06-05T21:30:00:99:abc", false, L"2015/06/05 21:30:00"},  // parts after the sixth ignored
                 {L"99999999999-06-05T21:30:00Z", false, nullptr},                // outside 32 bits
             });
}

TEST(ConvertDateTimeTest, RssForms) {
  CheckCases(&ConvertDateTime::ConvertRssDateTime,
             {
                 {L"Fri, 05 Jun 2015 21:30:00 GMT", true, L"2015/06/06 06:30:00"},
                 {L"Fri, 05 Jun 2015 21:30:00 +0900", false, L"2015/06/05 21:30:00"},
                 {L"Fri, 05 Jun 2015 21:30:00 +0900", true, L"2015/06/06 06:30:00"},  // the zone never counts
                 {L"Fri, 05 Jun 2015 21:30:00 -0500", false, L"2015/06/05 21:30:00"},
                 {L"Fri, 05 Jun 2015 21:30:00", false, L"2015/06/05 21:30:00"},  // no zone
                 {L"05 Jun 2015 21:30:00 GMT", false, nullptr},                 // no weekday
                 {L"Fri, 5 Jun 2015 21:30:00 GMT", false, L"2015/06/05 21:30:00"},
                 {L"Fri, 05 jun 2015 21:30:00 GMT", false, nullptr},  // month in lower case
                 {L"Fri, 05 June 2015 21:30:00 GMT", false, nullptr},
                 {L"Fri, 05  Jun 2015 21:30:00 GMT", false, nullptr},  // two blanks shift the parts
                 {L"Thu, 31 Dec 2015 20:00:00 GMT", true, L"2016/01/01 05:00:00"},
                 {L"Mon, 29 Feb 2016 10:00:00 GMT", false, L"2016/02/29 10:00:00"},
                 {L"Sun, 29 Feb 2015 10:00:00 GMT", false, nullptr},
                 {L"Fri, 31 Jun 2015 21:30:00 GMT", false, nullptr},
                 {L"Fri, 05 Jun 2015 24:30:00 GMT", false, nullptr},
                 {L"Fri, 05 Jun 2015 21:30", false, nullptr},  // no seconds
                 {L"Wed, 11 Jan 2017 08:09:10 GMT", false, L"2017/01/11 08:09:10"},
                 {L"Wed, 01 Nov 2017 00:00:00 GMT", true, L"2017/11/01 09:00:00"},
                 {L"", true, nullptr},
             });
}

TEST(ConvertDateTimeTest, EveryMonthName) {
  const wchar_t* names[] = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                            L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
  for (int m = 0; m < 12; ++m) {
    wchar_t expected[32];
    swprintf(expected, 32, L"2020/%02d/01 12:00:00", m + 1);
    EXPECT_EQ(ConvertDateTime::ConvertRssDateTime(std::wstring(L"Xxx, 01 ") + names[m] + L" 2020 12:00:00 GMT", false),
              expected);
  }
}

}  // namespace
}  // namespace corvanto
