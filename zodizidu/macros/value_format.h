// Number, date and time forms used by the report macros, following the regional settings.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace zodizidu {

// A date-time value split into its parts (month and day 1-based, hour 0..23).
struct DateTimeParts {
  int Year = 1899;
  int Month = 12;
  int Day = 30;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
};

// Splits a date-time value (days since 30 December 1899; the fraction is the time of day, read
// to the nearest millisecond). A value that is not finite or lies outside the years 1..9999
// gives the parts of 0.
DateTimeParts DecodeDateTime(double value);

// The broken-down time of `parts`, week day and year day filled in, for strftime.
std::tm ToTm(const DateTimeParts& parts);

// `tm` written with the strftime pattern `pattern`; empty for an empty pattern.
std::string FormatTm(const std::tm& tm, const std::string& pattern);

// The value in the regional short date format, and in the regional long time format.
std::string FormatShortDate(double value);
std::string FormatLongTime(double value);

// The value as "yyyymmddhhnnss": year, month, day, hour, minute, second, each zero-filled.
std::string FormatSortableDateTime(double value);

// numerator / denominator (denominator > 0) with `decimals` decimals (0..6) and the regional
// decimal separator, the nearest value shown with halves rounded away from zero. With
// `thousands` the integer digits are grouped by three with the regional thousands separator
// (the "n" pattern); without, they are not (the "f" pattern).
std::string FormatNumber(std::int64_t numerator, std::int64_t denominator, int decimals, bool thousands);

// Whole seconds as hours (not wrapped at a day), minutes 0..59 and seconds 0..59.
struct TimeParts {
  std::int64_t Hours = 0;
  int Minutes = 0;
  int Seconds = 0;
};
TimeParts SecondsToTime(std::int64_t seconds);

// The "MM:SS" form: minutes without leading zero, the regional time separator, two-digit
// seconds; whole hours are dropped (3725 s gives "2:05").
std::string FormatMinutesSeconds(std::int64_t seconds);

// The "HH:MM:SS" form: hours at least two digits (not wrapped at a day), minutes and seconds
// two digits, joined by the regional time separator (3725 s gives "01:02:05").
std::string FormatHoursMinutesSeconds(std::int64_t seconds);

}  // namespace zodizidu
