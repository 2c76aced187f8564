#include "support/dates.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>

namespace vorn {
namespace {

TEST(GregorianToJdnTest, KnownDays) {
  const struct {
    int year, month, day;
    std::int32_t jdn;
  } kCases[] = {
      {2000, 1, 1, 2451545},   {2000, 2, 29, 2451604}, {1970, 1, 1, 2440588},
      {1582, 10, 15, 2299161}, {-4713, 11, 24, 0},     {1900, 3, 1, 2415080},
      {2100, 3, 1, 2488129},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(GregorianToJdn(k.year, k.month, k.day), k.jdn)
        << k.year << "-" << k.month << "-" << k.day;
}

bool IsLeap(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

struct Ymd {
  int year, month, day;
};

void NextDay(Ymd& d) {
  if (++d.day <= DaysInMonth(d.year, d.month)) return;
  d.day = 1;
  if (++d.month <= 12) return;
  d.month = 1;
  ++d.year;
}

void PreviousDay(Ymd& d) {
  if (--d.day >= 1) return;
  if (--d.month < 1) {
    d.month = 12;
    --d.year;
  }
  d.day = DaysInMonth(d.year, d.month);
}

// Steps day by day from 2000-01-01 (JDN 2451545) in both directions and
// checks each day against both conversions. The formula of GregorianToJdn
// holds from March of year -4800 on, where its truncating divisions act on
// non-negative numbers; JdnToGregorian must hold everywhere.
constexpr int kFormulaFirstYear = -4799;

void ExpectDay(const Ymd& d, std::int32_t jdn, int* failures) {
  if (*failures > 10) return;  // one fault would otherwise flood the output
  const CalendarDate date = JdnToGregorian(jdn);
  const bool converted =
      date.Year == d.year && date.Month == d.month && date.Day == d.day;
  EXPECT_TRUE(converted) << "JDN " << jdn << " gave " << date.Year << "-"
                         << date.Month << "-" << date.Day << ", expected "
                         << d.year << "-" << d.month << "-" << d.day;
  EXPECT_EQ(date.Jdn, jdn);
  EXPECT_EQ(date.CalendarCode, 'G');
  bool back = true;
  if (d.year >= kFormulaFirstYear) {
    back = GregorianToJdn(d.year, d.month, d.day) == jdn;
    EXPECT_TRUE(back) << d.year << "-" << d.month << "-" << d.day
                      << " expected JDN " << jdn;
  }
  if (!converted || !back) ++*failures;
}

TEST(JdnToGregorianTest, RoundTripsDayByDay) {
  int failures = 0;
  Ymd d{2000, 1, 1};
  for (std::int32_t jdn = 2451545; d.year <= 30000; ++jdn, NextDay(d))
    ExpectDay(d, jdn, &failures);
  d = Ymd{2000, 1, 1};
  for (std::int32_t jdn = 2451545; d.year >= -30000; --jdn, PreviousDay(d))
    ExpectDay(d, jdn, &failures);
  EXPECT_EQ(failures, 0);
}

TEST(JdnToGregorianTest, ExtremeDayNumbers) {
  const struct {
    std::int32_t jdn;
    int year, month, day;
  } kCases[] = {
      {0, -4713, 11, 24},
      {-1, -4713, 11, 23},
      {1721060, 0, 1, 1},
      {1721059, -1, 12, 31},
  };
  for (const auto& k : kCases) {
    const CalendarDate date = JdnToGregorian(k.jdn);
    EXPECT_EQ(date.Year, k.year) << k.jdn;
    EXPECT_EQ(date.Month, k.month) << k.jdn;
    EXPECT_EQ(date.Day, k.day) << k.jdn;
  }
  // The far ends of the range must still give a valid date.
  for (const std::int32_t jdn : {INT32_MIN, INT32_MAX}) {
    const CalendarDate date = JdnToGregorian(jdn);
    EXPECT_GE(date.Month, 1) << jdn;
    EXPECT_LE(date.Month, 12) << jdn;
    EXPECT_GE(date.Day, 1) << jdn;
    EXPECT_LE(date.Day, 31) << jdn;
  }
}

TEST(FormatCalendarDateTest, YearMonthDayWithThousandsGrouped) {
  const struct {
    int year, month, day;
    const char* separator;
    const char* thousands;
    const char* text;
  } kCases[] = {
      {2008, 1, 31, "-", ",", "2008-01-31"},
      {2008, 3, 5, "-", ",", "2008-03-05"},
      {999, 10, 9, "-", ",", "999-10-09"},
      {-44, 3, 15, "-", ",", "-44-03-15"},
      {-10000, 1, 1, "-", ",", "-10,000-01-01"},
      {1234567, 6, 7, "-", ",", "1,234,567-06-07"},
      {12345, 6, 7, "/", ".", "12.345/06/07"},
      {12345, 6, 7, "-", "", "12345-06-07"},
      {2008, 1, 31, "", ",", "20080131"},
  };
  for (const auto& k : kCases) {
    CalendarDate date;
    date.Year = k.year;
    date.Month = k.month;
    date.Day = k.day;
    EXPECT_EQ(FormatCalendarDate(date, k.separator, k.thousands), k.text)
        << k.text;
  }
  EXPECT_EQ(FormatCalendarDate(JdnToGregorian(2454497)), "2008-01-31");
  const struct {
    const char* digits;
    const char* separator;
    const char* text;
  } kGroups[] = {
      {"", ",", ""},
      {"123", ",", "123"},
      {"1234", ",", "1,234"},
      {"123456", ",", "123,456"},
      {"-123", ",", "-123"},
      {"-1234", ",", "-1,234"},
      {"+1000", ",", "+1,000"},
      {"1234567", ", ", "1, 234, 567"},
  };
  for (const auto& k : kGroups)
    EXPECT_EQ(SeparateThousands(k.digits, k.separator), k.text)
        << k.digits << " with \"" << k.separator << "\"";
}

std::string LocalDateText() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d", &local);
  return text;
}

TEST(TodayTest, IsTheLocalDate) {
  // Read the clock around the call, so that a change of day in between
  // cannot fail the test.
  const std::string before = LocalDateText();
  const std::string today = TodayForDoneTag();
  const std::string after = LocalDateText();
  EXPECT_TRUE(today == before || today == after)
      << today << " is neither " << before << " nor " << after;
}

TEST(TodayTest, JdnIsWithinADayOfTheUtcDayNumber) {
  // The local date differs from the UTC date by at most one day.
  const std::int64_t utc_jdn = 2440588 + std::time(nullptr) / 86400;
  EXPECT_LE(std::abs(GetTodayJdn() - utc_jdn), 1);
}

}  // namespace
}  // namespace vorn
