// Regional settings: the locale's patterns and separators, and settings put in place by tests.
#include "platform/regional.h"

#include <clocale>
#include <cstdlib>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/detail/time_format.h"

namespace {

using platform::detail::ExpandTimeFormat;
using platform::detail::TimeSeparatorOf;

// Switches the whole locale for one test and puts the previous one back.
class ScopedLocale {
 public:
  explicit ScopedLocale(const char* name) : previous_(std::setlocale(LC_ALL, nullptr)) {
    ok_ = std::setlocale(LC_ALL, name) != nullptr;
  }
  ~ScopedLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
  bool ok() const { return ok_; }

 private:
  std::string previous_;
  bool ok_ = false;
};

TEST(TimeFormat, ShorthandConversionsAreWrittenOut) {
  EXPECT_EQ(ExpandTimeFormat("%T", ""), "%H:%M:%S");
  EXPECT_EQ(ExpandTimeFormat("%R Uhr", ""), "%H:%M Uhr");
  EXPECT_EQ(ExpandTimeFormat("%r", "%I.%M.%S %p"), "%I.%M.%S %p");
  EXPECT_EQ(ExpandTimeFormat("%r", ""), "%I:%M:%S %p");
  EXPECT_EQ(ExpandTimeFormat("%r", "%r"), "%I:%M:%S %p");  // never expands into itself
  EXPECT_EQ(ExpandTimeFormat("%%T %H", ""), "%%T %H");
  EXPECT_EQ(ExpandTimeFormat("%OH:%OM", ""), "%OH:%OM");
  EXPECT_EQ(ExpandTimeFormat("%", ""), "%");
}

TEST(TimeFormat, SeparatorLiesBetweenHourAndMinute) {
  EXPECT_EQ(TimeSeparatorOf("%H:%M:%S"), ":");
  EXPECT_EQ(TimeSeparatorOf("%H.%M.%S"), ".");
  EXPECT_EQ(TimeSeparatorOf("%I h %M min %p"), " h ");
  EXPECT_EQ(TimeSeparatorOf("%p %-l時%M分%S秒"), "時");
  EXPECT_EQ(TimeSeparatorOf("%OH·%OM"), "·");
  EXPECT_EQ(TimeSeparatorOf("%k%%%M"), "%");
  // No text, no minute right after the hour, or no hour at all: ':'.
  EXPECT_EQ(TimeSeparatorOf("%H%M%S"), ":");
  EXPECT_EQ(TimeSeparatorOf("%H-%S"), ":");
  EXPECT_EQ(TimeSeparatorOf("%M.%S"), ":");
  EXPECT_EQ(TimeSeparatorOf(""), ":");
  EXPECT_EQ(TimeSeparatorOf("%H."), ":");
}

TEST(ReadLocaleSettings, PosixLocaleValues) {
  ScopedLocale locale("C");
  ASSERT_TRUE(locale.ok());
  const platform::RegionalSettings settings = platform::ReadLocaleSettings();
  EXPECT_EQ(settings.shortDateFormat, "%m/%d/%y");
  EXPECT_EQ(settings.longTimeFormat, "%H:%M:%S");
  EXPECT_EQ(settings.thousandSeparator, "");
  EXPECT_EQ(settings.decimalSeparator, ".");
  EXPECT_EQ(settings.timeSeparator, ":");
}

TEST(ReadLocaleSettings, ItalianLocaleValues) {
  ScopedLocale locale("it_IT.UTF-8");
  if (!locale.ok()) GTEST_SKIP() << "locale it_IT.UTF-8 is not installed on this machine";
  const platform::RegionalSettings settings = platform::ReadLocaleSettings();
  EXPECT_EQ(settings.shortDateFormat, "%d/%m/%Y");
  EXPECT_EQ(settings.longTimeFormat, "%H:%M:%S");
  EXPECT_EQ(settings.thousandSeparator, ".");
  EXPECT_EQ(settings.decimalSeparator, ",");
  EXPECT_EQ(settings.timeSeparator, ":");
}

// Sets one environment variable for one test and puts the previous value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) previous_ = old;
    ::setenv(name, value, 1);
  }
  ~ScopedEnv() {
    if (previous_)
      ::setenv(name_, previous_->c_str(), 1);
    else
      ::unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> previous_;
};

TEST(ReadUserLocaleSettings, TheEnvironmentDecidesNotTheProcessLocale) {
  ScopedLocale process("C");
  ScopedEnv user("LC_ALL", "it_IT.UTF-8");
  if (!std::setlocale(LC_NUMERIC, "it_IT.UTF-8")) GTEST_SKIP() << "locale it_IT.UTF-8 is not installed on this machine";
  std::setlocale(LC_NUMERIC, "C");
  const platform::RegionalSettings settings = platform::ReadUserLocaleSettings();
  EXPECT_EQ(settings.shortDateFormat, "%d/%m/%Y");
  EXPECT_EQ(settings.decimalSeparator, ",");
  EXPECT_EQ(std::string(std::setlocale(LC_NUMERIC, nullptr)), "C");  // the process is left alone
}

TEST(ReadUserLocaleSettings, AMissingLocaleFallsBackToTheProcessLocale) {
  ScopedLocale process("C");
  ScopedEnv user("LC_ALL", "xx_NOWHERE.UTF-8");
  const platform::RegionalSettings settings = platform::ReadUserLocaleSettings();
  EXPECT_EQ(settings.shortDateFormat, "%m/%d/%y");
  EXPECT_EQ(settings.decimalSeparator, ".");
  EXPECT_EQ(settings.thousandSeparator, "");
}

TEST(ReadUserLocaleSettings, ThePosixLocaleByName) {
  ScopedEnv user("LC_ALL", "POSIX");
  const platform::RegionalSettings settings = platform::ReadUserLocaleSettings();
  EXPECT_EQ(settings.longTimeFormat, "%H:%M:%S");
  EXPECT_EQ(settings.decimalSeparator, ".");
}

TEST(CurrentRegionalSettings, TestsPutTheirOwnInPlace) {
  const platform::RegionalSettings& current = platform::CurrentRegionalSettings();
  EXPECT_FALSE(current.decimalSeparator.empty());
  platform::RegionalSettings own;
  own.shortDateFormat = "%d.%m.%Y";
  own.longTimeFormat = "%H.%M.%S";
  own.thousandSeparator = "'";
  own.decimalSeparator = ",";
  own.timeSeparator = ".";
  platform::SetRegionalSettings(own);
  const platform::RegionalSettings& after = platform::CurrentRegionalSettings();
  EXPECT_EQ(&after, &current);  // references handed out earlier see the new settings
  EXPECT_EQ(after.shortDateFormat, "%d.%m.%Y");
  EXPECT_EQ(after.thousandSeparator, "'");
  EXPECT_EQ(after.decimalSeparator, ",");
  EXPECT_EQ(after.timeSeparator, ".");
}

}  // namespace
