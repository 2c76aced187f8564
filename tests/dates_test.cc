// Gregorian dates and Julian Day Numbers, and the date of the done mark.
#include "support/dates.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <string>

namespace vorn {
namespace {

TEST(DatesTest, KnownDaysBothWays) {
  const struct {
    int year, month, day;
    std::int32_t jdn;
  } kCases[] = {
      {2000, 1, 1, 2451545},  {2000, 2, 29, 2451604},  {2000, 3, 1, 2451605},
      {1900, 2, 28, 2415079}, {1900, 3, 1, 2415080},   {2100, 3, 1, 2488129},
      {1970, 1, 1, 2440588},  {1582, 10, 15, 2299161}, {0, 1, 1, 1721060},
      {-1, 12, 31, 1721059},  {-4713, 11, 24, 0},      {2008, 1, 31, 2454497},
  };
  for (const auto& k : kCases) {
    const std::string row = std::to_string(k.year) + "-" +
                            std::to_string(k.month) + "-" +
                            std::to_string(k.day);
    EXPECT_EQ(GregorianToJdn(k.year, k.month, k.day), k.jdn) << row;
    const CalendarDate d = JdnToGregorian(k.jdn);
    EXPECT_EQ(FormatCalendarDate(d, "-", ""),
              FormatCalendarDate({k.year, k.month, k.day}, "-", ""))
        << row;
    EXPECT_EQ(d.Jdn, k.jdn) << row;
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
  const struct {
    int year, month, day;
    const char* separator;
    const char* thousands;
    const char* text;
  } kCases[] = {
      {2008, 3, 5, "-", ",", "2008-03-05"},
      {999, 10, 9, "-", ",", "999-10-09"},
      {-44, 3, 15, "-", ",", "-44-03-15"},
      {9999, 1, 1, "-", ",", "9999-01-01"},
      {-9999, 1, 1, "-", ",", "-9999-01-01"},
      {10000, 1, 1, "-", ",", "10,000-01-01"},
      {-10000, 1, 1, "-", ",", "-10,000-01-01"},
      {1234567, 6, 7, "/", ".", "1.234.567/06/07"},
      {12345, 6, 7, "-", "", "12345-06-07"},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(
        FormatCalendarDate({k.year, k.month, k.day}, k.separator, k.thousands),
        k.text);
  EXPECT_EQ(SeparateThousands("+123456", ", "), "+123, 456");
}

TEST(DatesTest, TodayIsTheLocalDate) {
  // The clock is read around the call, so that midnight cannot fail it.
  auto local = [] {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d", &tm);
    return std::string(text);
  };
  const std::string before = local();
  const std::string today = TodayForDoneTag();
  const std::string after = local();
  EXPECT_TRUE(today == before || today == after) << today;
}

}  // namespace
}  // namespace vorn
