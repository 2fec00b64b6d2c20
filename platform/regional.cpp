// Regional settings for dates, times and numbers, read once from the C library's locale.
#include "platform/regional.h"

#include <langinfo.h>
#include <locale.h>

#include <mutex>
#include <optional>

#include "platform/detail/time_format.h"

namespace platform {

namespace detail {

namespace {

// One conversion of a strftime pattern starting at a '%': its letter and its whole length
// (flags '_', '-', '0', '^', '#', a width and the 'E' / 'O' modifiers included).
struct Conversion {
  char letter;
  std::size_t length;
};

Conversion ReadConversion(std::string_view format, std::size_t percent) {
  std::size_t pos = percent + 1;
  while (pos < format.size() && std::string_view("_-0^#").find(format[pos]) != std::string_view::npos) ++pos;
  while (pos < format.size() && format[pos] >= '0' && format[pos] <= '9') ++pos;
  if (pos < format.size() && (format[pos] == 'E' || format[pos] == 'O')) ++pos;
  if (pos >= format.size()) return {'\0', format.size() - percent};
  return {format[pos], pos + 1 - percent};
}

bool IsHour(char letter) { return letter == 'H' || letter == 'I' || letter == 'k' || letter == 'l'; }

}  // namespace

std::string ExpandTimeFormat(std::string_view format, std::string_view ampmFormat) {
  std::string ampm = ampmFormat.empty() || ampmFormat.find("%r") != std::string_view::npos ? std::string("%I:%M:%S %p")
                                                                                           : std::string(ampmFormat);
  std::string out;
  for (std::size_t pos = 0; pos < format.size();) {
    if (format[pos] != '%') {
      out += format[pos++];
      continue;
    }
    const Conversion conversion = ReadConversion(format, pos);
    if (conversion.length == 2 && conversion.letter == 'T')
      out += "%H:%M:%S";
    else if (conversion.length == 2 && conversion.letter == 'R')
      out += "%H:%M";
    else if (conversion.length == 2 && conversion.letter == 'r')
      out += ampm;
    else
      out += format.substr(pos, conversion.length);
    pos += conversion.length;
  }
  return out;
}

std::string TimeSeparatorOf(std::string_view format) {
  bool afterHour = false;
  std::string text;
  for (std::size_t pos = 0; pos < format.size();) {
    if (format[pos] != '%') {
      if (afterHour) text += format[pos];
      ++pos;
      continue;
    }
    const Conversion conversion = ReadConversion(format, pos);
    pos += conversion.length;
    if (conversion.letter == '%') {
      if (afterHour) text += '%';
      continue;
    }
    if (afterHour) return conversion.letter == 'M' && !text.empty() ? text : std::string(":");
    afterHour = IsHour(conversion.letter);
  }
  return ":";
}

}  // namespace detail

namespace {

struct SettingsStore {
  std::mutex mutex;
  std::optional<RegionalSettings> settings;
};

SettingsStore& Store() {
  static SettingsStore store;
  return store;
}

std::string LangInfo(nl_item item) {
  const char* text = ::nl_langinfo(item);
  return text ? std::string(text) : std::string();
}

}  // namespace

RegionalSettings ReadLocaleSettings() {
  RegionalSettings settings;
  settings.shortDateFormat = LangInfo(D_FMT);
  if (settings.shortDateFormat.empty()) settings.shortDateFormat = "%m/%d/%y";
  settings.longTimeFormat = detail::ExpandTimeFormat(LangInfo(T_FMT), LangInfo(T_FMT_AMPM));
  if (settings.longTimeFormat.empty()) settings.longTimeFormat = "%H:%M:%S";
  settings.thousandSeparator = LangInfo(THOUSEP);
  settings.decimalSeparator = LangInfo(RADIXCHAR);
  if (settings.decimalSeparator.empty()) settings.decimalSeparator = ".";
  settings.timeSeparator = detail::TimeSeparatorOf(settings.longTimeFormat);
  return settings;
}

RegionalSettings ReadUserLocaleSettings() {
  const locale_t user = ::newlocale(LC_TIME_MASK | LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
  if (user == static_cast<locale_t>(nullptr)) return ReadLocaleSettings();
  // Switches only this thread, and only while reading.
  const locale_t previous = ::uselocale(user);
  RegionalSettings settings = ReadLocaleSettings();
  ::uselocale(previous);
  ::freelocale(user);
  return settings;
}

const RegionalSettings& CurrentRegionalSettings() {
  SettingsStore& store = Store();
  std::lock_guard<std::mutex> lock(store.mutex);
  // Read from the environment, so the answer does not depend on whether the program has
  // called setlocale before its first date or number was formatted.
  if (!store.settings) store.settings = ReadUserLocaleSettings();
  return *store.settings;
}

void SetRegionalSettings(const RegionalSettings& settings) {
  SettingsStore& store = Store();
  std::lock_guard<std::mutex> lock(store.mutex);
  store.settings = settings;
}

}  // namespace platform
