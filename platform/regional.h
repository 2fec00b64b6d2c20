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

// The settings of the process's LC_TIME and LC_NUMERIC locale (read once, after setlocale),
// unless a test has put its own in place with SetRegionalSettings.
const RegionalSettings& CurrentRegionalSettings();

// Replaces the settings for the rest of the process (tests set them explicitly).
void SetRegionalSettings(const RegionalSettings& settings);

// Reads the settings of the C library's current locale.
RegionalSettings ReadLocaleSettings();

}  // namespace platform
