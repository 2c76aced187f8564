// Calendar dates for the done mark: Gregorian dates and Julian Day Numbers.
#ifndef VORN_SUPPORT_DATES_H_
#define VORN_SUPPORT_DATES_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace vorn {

struct CalendarDate {
  std::int32_t Year = 0;   // astronomical numbering: may be 0 or negative
  std::int32_t Month = 1;  // 1-12
  std::int32_t Day = 1;    // 1-31
  std::int32_t CalendarCode = 'G';
  std::int32_t Jdn = 0;  // Julian Day Number of the date
};

// Julian Day Number of a Gregorian date (Fliegel and Van Flandern, integer
// arithmetic truncating toward zero). 2000-01-01 gives 2451545.
std::int32_t GregorianToJdn(std::int32_t year, std::int32_t month,
                            std::int32_t day);

// The Gregorian date of a Julian Day Number: the inverse of GregorianToJdn.
// Fills Year, Month and Day of the result; CalendarCode is 'G'.
CalendarDate JdnToGregorian(std::int32_t jdn);

// Today's Julian Day Number from the system clock, in local time.
std::int32_t GetTodayJdn();

// "Y-MM-DD" (order year, month, day) with `separator` between the fields;
// a year above 9999 or below -9999 gets `thousands` between digit groups.
std::string FormatCalendarDate(const CalendarDate& date,
                               std::string_view separator = "-",
                               std::string_view thousands = ",");

// A digit string (optionally signed) with `separator` between groups of
// three digits; unchanged when the separator is empty.
std::string SeparateThousands(std::string_view digits,
                              std::string_view separator);

// Today's date as the done mark writes it, e.g. "2008-01-31".
std::string TodayForDoneTag();

}  // namespace vorn

#endif  // VORN_SUPPORT_DATES_H_
