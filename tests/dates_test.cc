// Gregorian dates and Julian Day Numbers, and the date of the done mark.
#include "support/dates.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <string>
#include <tuple>

namespace vorn {
namespace {

TEST(DatesTest, KnownDaysBothWays) {
  const struct {
    int year, month, day;
    std::int32_t jdn;
  } kCases[] = {
      {2000, 2, 29, 2451604},  {1900, 3, 1, 2415080}, {1970, 1, 1, 2440588},
      {1582, 10, 15, 2299161}, {-1, 12, 31, 1721059}, {-4713, 11, 24, 0},
  };
  for (const auto& k : kCases) {
    EXPECT_EQ(GregorianToJdn(k.year, k.month, k.day), k.jdn) << k.jdn;
    const CalendarDate d = JdnToGregorian(k.jdn);
    EXPECT_EQ(FormatCalendarDate(d, "-", ""),
              FormatCalendarDate({k.year, k.month, k.day}, "-", ""));
    EXPECT_EQ(d.Jdn, k.jdn);
  }
  EXPECT_EQ(JdnToGregorian(-1).Day, 23);  // before day 0 too
}

TEST(DatesTest, EveryDayRoundTrips) {
  // From the year -4799, where the formula's truncating divisions act on
  // non-negative numbers, to the year 30000, each next day number gives the
  // next day, whose number comes back.
  CalendarDate last = JdnToGregorian(GregorianToJdn(-4799, 1, 1) - 1);
  for (std::int32_t jdn = GregorianToJdn(-4799, 1, 1);
       jdn <= GregorianToJdn(30000, 12, 31); ++jdn) {
    const CalendarDate d = JdnToGregorian(jdn);
    const bool next = d.Day == 1
                          ? d.Month == last.Month % 12 + 1
                          : d.Month == last.Month && d.Day == last.Day + 1;
    if (!next || GregorianToJdn(d.Year, d.Month, d.Day) != jdn) {
      ADD_FAILURE() << "JDN " << jdn << " gave "
                    << FormatCalendarDate(d, "-", "") << " after "
                    << FormatCalendarDate(last, "-", "");
      break;
    }
    last = d;
  }
}

TEST(DatesTest, FormatAndThousands) {
  const std::tuple<CalendarDate, const char*, const char*, const char*>
      kCases[] = {
          {{999, 10, 9}, "-", ",", "999-10-09"},
          {{-44, 3, 15}, "-", ",", "-44-03-15"},
          {{9999, 1, 1}, "-", ",", "9999-01-01"},
          {{10000, 1, 1}, "-", ",", "10,000-01-01"},
          {{-10000, 1, 1}, "-", ",", "-10,000-01-01"},
          {{1234567, 6, 7}, "/", ".", "1.234.567/06/07"},
          {{12345, 6, 7}, "-", "", "12345-06-07"},
      };
  for (const auto& [date, separator, thousands, text] : kCases)
    EXPECT_EQ(FormatCalendarDate(date, separator, thousands), text) << text;
  EXPECT_EQ(SeparateThousands("+123456", ", "), "+123, 456");
}

TEST(DatesTest, TodayIsTheLocalDate) {
  // The clock is read around the call, so that midnight cannot fail it.
  auto local = [] {
    const std::time_t now = std::time(nullptr);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d", std::localtime(&now));
    return std::string(text);
  };
  const std::string before = local(), today = TodayForDoneTag();
  EXPECT_TRUE(today == before || today == local()) << today;
}

}  // namespace
}  // namespace vorn
