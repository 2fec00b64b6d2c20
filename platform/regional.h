// Regional settings for dates, times and numbers, read from the C library's locale.
#pragma once

#include <string>

namespace platform {

struct RegionalSettings {
  std::string shortDateFormat;    // strftime pattern of the short date, e.g. "%m/%d/%y"
  std::string longTimeFormat;     // strftime pattern of the long time, e.g. "%H:%M:%S"
  std::string thousandSeparator;  // may be empty, may be several bytes
  std::string decimalSeparator;   // never empty
  std::string timeSeparator;      // the text between hours and minutes of the long time
};

// The user's settings (ReadUserLocaleSettings, read once, on first use), unless a test has put
// its own in place with SetRegionalSettings. The reference stays valid for the whole run.
const RegionalSettings& CurrentRegionalSettings();

// Replaces the settings for the rest of the process (tests set them explicitly).
void SetRegionalSettings(const RegionalSettings& settings);

// Reads the settings of the C library's current locale.
RegionalSettings ReadLocaleSettings();

// Reads the settings of the locale the environment names for LC_TIME and LC_NUMERIC (LC_ALL,
// LC_TIME / LC_NUMERIC, LANG), as setlocale(LC_ALL, "") would choose, whether or not the
// process has called it yet; the current locale's when the environment names none installed.
RegionalSettings ReadUserLocaleSettings();

}  // namespace platform
