// Number, date and time forms of the report macros.
#include "zodizidu/macros/value_format.h"

#include <array>
#include <cmath>
#include <vector>

#include "platform/regional.h"

namespace zodizidu {

namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;
// Day 0 of the date-time value (30 December 1899) counted from 1 January 1970.
constexpr std::int64_t kDay0FromUnixEpoch = -25'569;
// 1 January 0001 and 31 December 9999 as date-time values.
constexpr double kFirstDay = -693'593.0;
constexpr double kLastDay = 2'958'466.0;

// Year, month and day of a day count from 1 January 1970 (proleptic Gregorian calendar).
void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
  z += 719'468;
  const std::int64_t era = (z >= 0 ? z : z - 146'096) / 146'097;
  const std::int64_t doe = z - era * 146'097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36'524 - doe / 146'096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

// Day count from 1 January 1970 of a calendar date.
std::int64_t DaysFromCivil(int year, int month, int day) {
  const std::int64_t y = year - (month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t mp = month > 2 ? month - 3 : month + 9;
  const std::int64_t doy = (153 * mp + 2) / 5 + day - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146'097 + doe - 719'468;
}

std::string ZeroFilled(std::int64_t value, int digits) {
  std::string text = std::to_string(value);
  if (static_cast<int>(text.size()) < digits) text.insert(0, static_cast<std::size_t>(digits) - text.size(), '0');
  return text;
}

}  // namespace

DateTimeParts DecodeDateTime(double value) {
  DateTimeParts parts;
  if (!std::isfinite(value) || value < kFirstDay || value >= kLastDay) return parts;
  // The whole days count the date; the fraction, whatever the sign, is the time of day.
  auto days = static_cast<std::int64_t>(std::trunc(value));
  auto ms = static_cast<std::int64_t>(std::llround(std::fabs(value - std::trunc(value)) * kMsPerDay));
  if (ms >= kMsPerDay) {
    ms -= kMsPerDay;
    ++days;
  }
  CivilFromDays(days + kDay0FromUnixEpoch, parts.Year, parts.Month, parts.Day);
  const std::int64_t seconds = ms / 1000;
  parts.Hour = static_cast<int>(seconds / 3600);
  parts.Minute = static_cast<int>(seconds % 3600 / 60);
  parts.Second = static_cast<int>(seconds % 60);
  return parts;
}

std::tm ToTm(const DateTimeParts& parts) {
  std::tm tm{};
  tm.tm_year = parts.Year - 1900;
  tm.tm_mon = parts.Month - 1;
  tm.tm_mday = parts.Day;
  tm.tm_hour = parts.Hour;
  tm.tm_min = parts.Minute;
  tm.tm_sec = parts.Second;
  const std::int64_t days = DaysFromCivil(parts.Year, parts.Month, parts.Day);
  // 1 January 1970 was a Thursday.
  tm.tm_wday = static_cast<int>(((days + 4) % 7 + 7) % 7);
  tm.tm_yday = static_cast<int>(days - DaysFromCivil(parts.Year, 1, 1));
  tm.tm_isdst = -1;
  return tm;
}

std::string FormatTm(const std::tm& tm, const std::string& pattern) {
  if (pattern.empty()) return {};
  // A leading mark tells an empty result from a buffer that was too small.
  const std::string marked = "#" + pattern;
  std::vector<char> buffer(64 + pattern.size() * 8);
  for (int attempt = 0; attempt < 4; ++attempt) {
    const std::size_t n = std::strftime(buffer.data(), buffer.size(), marked.c_str(), &tm);
    if (n > 0) return std::string(buffer.data() + 1, n - 1);
    buffer.resize(buffer.size() * 8);
  }
  return {};
}

std::string FormatShortDate(double value) {
  return FormatTm(ToTm(DecodeDateTime(value)), platform::CurrentRegionalSettings().shortDateFormat);
}

std::string FormatLongTime(double value) {
  return FormatTm(ToTm(DecodeDateTime(value)), platform::CurrentRegionalSettings().longTimeFormat);
}

std::string FormatSortableDateTime(double value) {
  const DateTimeParts p = DecodeDateTime(value);
  return ZeroFilled(p.Year, 4) + ZeroFilled(p.Month, 2) + ZeroFilled(p.Day, 2) + ZeroFilled(p.Hour, 2) +
         ZeroFilled(p.Minute, 2) + ZeroFilled(p.Second, 2);
}

std::string FormatNumber(std::int64_t numerator, std::int64_t denominator, int decimals, bool thousands) {
  constexpr std::array<std::int64_t, 7> kPowers = {1, 10, 100, 1'000, 10'000, 100'000, 1'000'000};
  if (denominator <= 0) denominator = 1;
  if (decimals < 0) decimals = 0;
  if (decimals > 6) decimals = 6;
  const std::int64_t scale = kPowers[static_cast<std::size_t>(decimals)];
  const bool negative = numerator < 0;
  // Work on the magnitude as unsigned so that the most negative value has one too.
  const std::uint64_t magnitude =
      negative ? 0 - static_cast<std::uint64_t>(numerator) : static_cast<std::uint64_t>(numerator);
  const auto den = static_cast<std::uint64_t>(denominator);
  const std::uint64_t whole = magnitude / den;
  const std::uint64_t part = magnitude % den;
  // Long division digit by digit: the remainder stays below the denominator, so ten times it
  // fits in 64 bits for every denominator a report uses (up to 2^59).
  std::uint64_t fraction = 0;
  std::uint64_t remainder = part;
  for (int i = 0; i < decimals; ++i) {
    remainder *= 10;
    fraction = fraction * 10 + remainder / den;
    remainder %= den;
  }
  std::uint64_t integer = whole;
  if (remainder >= den - remainder) {  // half or more: away from zero
    ++fraction;
    if (fraction == static_cast<std::uint64_t>(scale)) {
      fraction = 0;
      ++integer;
    }
  }
  const platform::RegionalSettings& regional = platform::CurrentRegionalSettings();
  std::string digits = std::to_string(integer);
  std::string text;
  if (negative && (integer != 0 || fraction != 0)) text += '-';
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (thousands && i > 0 && (digits.size() - i) % 3 == 0) text += regional.thousandSeparator;
    text += digits[i];
  }
  if (decimals > 0) text += regional.decimalSeparator + ZeroFilled(static_cast<std::int64_t>(fraction), decimals);
  return text;
}

TimeParts SecondsToTime(std::int64_t seconds) {
  TimeParts parts;
  if (seconds <= 0) return parts;
  parts.Hours = seconds / 3600;
  parts.Minutes = static_cast<int>(seconds % 3600 / 60);
  parts.Seconds = static_cast<int>(seconds % 60);
  return parts;
}

std::string FormatMinutesSeconds(std::int64_t seconds) {
  const TimeParts t = SecondsToTime(seconds);
  return std::to_string(t.Minutes) + platform::CurrentRegionalSettings().timeSeparator + ZeroFilled(t.Seconds, 2);
}

std::string FormatHoursMinutesSeconds(std::int64_t seconds) {
  const TimeParts t = SecondsToTime(seconds);
  const std::string& separator = platform::CurrentRegionalSettings().timeSeparator;
  return ZeroFilled(t.Hours, 2) + separator + ZeroFilled(t.Minutes, 2) + separator + ZeroFilled(t.Seconds, 2);
}

}  // namespace zodizidu
