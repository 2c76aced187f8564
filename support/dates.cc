#include "support/dates.h"

#include <ctime>

namespace vorn {
namespace {

// JDN of 1970-01-01, the day that DaysToCivil counts from.
constexpr std::int64_t kUnixEpochJdn = 2440588;

// Floor division for a positive divisor.
constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return (a >= 0 ? a : a - b + 1) / b;
}

// The proleptic Gregorian date `days` days after 1970-01-01 (negative
// before it). Works in 400-year eras of 146097 days, with years starting
// on 1 March so that the leap day is the last day of a year.
CalendarDate DaysToCivil(std::int64_t days) {
  const std::int64_t z = days + 719468;  // days since 0000-03-01
  const std::int64_t era = FloorDiv(z, 146097);
  const std::int64_t doe = z - era * 146097;  // [0, 146096]
  const std::int64_t yoe =
      (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;         // [0, 399]
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);  // [0, 365]
  const std::int64_t mp = (5 * doy + 2) / 153;  // March = 0
  CalendarDate date;
  date.Day = static_cast<std::int32_t>(doy - (153 * mp + 2) / 5 + 1);
  date.Month = static_cast<std::int32_t>(mp < 10 ? mp + 3 : mp - 9);
  date.Year =
      static_cast<std::int32_t>(yoe + era * 400 + (date.Month <= 2 ? 1 : 0));
  return date;
}

std::string TwoDigits(std::int32_t n) {
  std::string s = std::to_string(n);
  if (n >= 0 && n < 10) s.insert(s.begin(), '0');
  return s;
}

}  // namespace

std::int32_t GregorianToJdn(std::int32_t year, std::int32_t month,
                            std::int32_t day) {
  // 64-bit intermediates keep large years free of overflow; C++ division
  // truncates toward zero, as the formula requires.
  const std::int64_t y = year;
  const std::int64_t m = month;
  const std::int64_t a = (m - 14) / 12;
  const std::int64_t jdn = (1461 * (y + 4800 + a)) / 4 +
                           (367 * (m - 2 - 12 * a)) / 12 -
                           (3 * ((y + 4900 + a) / 100)) / 4 + day - 32075;
  return static_cast<std::int32_t>(jdn);
}

CalendarDate JdnToGregorian(std::int32_t jdn) {
  CalendarDate date = DaysToCivil(std::int64_t{jdn} - kUnixEpochJdn);
  date.CalendarCode = 'G';
  date.Jdn = jdn;
  return date;
}

std::int32_t GetTodayJdn() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (::localtime_r(&now, &local) == nullptr) ::gmtime_r(&now, &local);
  return GregorianToJdn(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

std::string FormatCalendarDate(const CalendarDate& date,
                               std::string_view separator,
                               std::string_view thousands) {
  std::string year = std::to_string(date.Year);
  if (date.Year > 9999 || date.Year < -9999)
    year = SeparateThousands(year, thousands);
  std::string out = year;
  out.append(separator);
  out += TwoDigits(date.Month);
  out.append(separator);
  out += TwoDigits(date.Day);
  return out;
}

std::string SeparateThousands(std::string_view digits,
                              std::string_view separator) {
  if (separator.empty()) return std::string(digits);
  std::string out;
  if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) {
    out.push_back(digits[0]);
    digits.remove_prefix(1);
  }
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out.append(separator);
    out.push_back(digits[i]);
  }
  return out;
}

std::string TodayForDoneTag() {
  return FormatCalendarDate(JdnToGregorian(GetTodayJdn()));
}

}  // namespace vorn
