// Number, date and time forms of the macros under explicitly set regional settings.
#include "zodizidu/value_format.h"

#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "platform/regional.h"

namespace {

using namespace zodizidu;

class ValueFormatTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetRegionalSettings({"%d/%m/%Y", "%H.%M.%S", "'", ",", "."});
  }
};

TEST_F(ValueFormatTest, NumbersUseTheRegionalSeparators) {
  EXPECT_EQ(FormatNumber(1234567, 1, 0, true), "1'234'567");
  EXPECT_EQ(FormatNumber(1234567, 1, 0, false), "1234567");
  EXPECT_EQ(FormatNumber(123, 1, 0, true), "123");
  EXPECT_EQ(FormatNumber(1234, 1, 0, true), "1'234");
  EXPECT_EQ(FormatNumber(0, 1, 1, true), "0,0");
  EXPECT_EQ(FormatNumber(3725, 60, 1, true), "62,1");
  EXPECT_EQ(FormatNumber(44100, 1000, 1, false), "44,1");
  EXPECT_EQ(FormatNumber(-1234567, 1, 0, true), "-1'234'567");

  platform::SetRegionalSettings({"%d.%m.%Y", "%H:%M:%S", "\xE2\x80\xAF", "\xC2\xB7", ":"});
  EXPECT_EQ(FormatNumber(1234567, 10, 1, true), "123\xE2\x80\xAF" "456\xC2\xB7" "7");
  platform::SetRegionalSettings({"%d.%m.%Y", "%H:%M:%S", "", ".", ":"});
  EXPECT_EQ(FormatNumber(1234567, 1, 0, true), "1234567");
}

TEST_F(ValueFormatTest, TheNearestValueIsShownWithHalvesAwayFromZero) {
  EXPECT_EQ(FormatNumber(1536, 1024, 0, true), "2");    // 1.5
  EXPECT_EQ(FormatNumber(2560, 1024, 0, true), "3");    // 2.5: not to even
  EXPECT_EQ(FormatNumber(1535, 1024, 0, true), "1");
  EXPECT_EQ(FormatNumber(-1536, 1024, 0, true), "-2");
  EXPECT_EQ(FormatNumber(69, 60, 1, true), "1,2");      // 1.15, which binary floats hold as 1.149..
  EXPECT_EQ(FormatNumber(45, 60, 1, true), "0,8");      // 0.75
  EXPECT_EQ(FormatNumber(22050, 1000, 1, false), "22,1");
  EXPECT_EQ(FormatNumber(11025, 1000, 1, false), "11,0");
  EXPECT_EQ(FormatNumber(1310720, 1048576, 1, false), "1,3");  // 1.25 MB
  EXPECT_EQ(FormatNumber(999999, 1000, 2, true), "1'000,00");  // the carry reaches the integer
  EXPECT_EQ(FormatNumber(-1, 100, 1, true), "0,0");             // no minus for a zero shown
}

TEST_F(ValueFormatTest, ExtremeNumbersDoNotOverflow) {
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  EXPECT_EQ(FormatNumber(kMin, 1, 0, false), "-9223372036854775808");
  EXPECT_EQ(FormatNumber(kMax, 1, 0, true), "9'223'372'036'854'775'807");
  EXPECT_EQ(FormatNumber(kMax, 1048576, 1, false), "8796093022208,0");
  EXPECT_EQ(FormatNumber(kMax, kMax, 6, false), "1,000000");
  EXPECT_EQ(FormatNumber(7, 0, 0, false), "7");  // a zero divisor counts as 1
}

TEST_F(ValueFormatTest, DateTimeValuesCountDaysFromTheEndOf1899) {
  const DateTimeParts zero = DecodeDateTime(0.0);
  EXPECT_EQ(zero.Year, 1899);
  EXPECT_EQ(zero.Month, 12);
  EXPECT_EQ(zero.Day, 30);
  EXPECT_EQ(zero.Hour, 0);

  const DateTimeParts y2k = DecodeDateTime(36526.75);  // 1 January 2000, 18:00
  EXPECT_EQ(y2k.Year, 2000);
  EXPECT_EQ(y2k.Month, 1);
  EXPECT_EQ(y2k.Day, 1);
  EXPECT_EQ(y2k.Hour, 18);
  EXPECT_EQ(y2k.Minute, 0);

  // 29 February 2024, 23:59:59.9996 rounds to the next day's midnight.
  const DateTimeParts leap = DecodeDateTime(45351.0 + (86399.9996 / 86400.0));
  EXPECT_EQ(leap.Month, 3);
  EXPECT_EQ(leap.Day, 1);
  EXPECT_EQ(leap.Hour, 0);
  EXPECT_EQ(leap.Second, 0);

  const DateTimeParts before = DecodeDateTime(-1.25);  // the day before, a quarter into it
  EXPECT_EQ(before.Day, 29);
  EXPECT_EQ(before.Hour, 6);

  const DateTimeParts nonsense = DecodeDateTime(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(nonsense.Year, 1899);
  EXPECT_EQ(DecodeDateTime(1e300).Day, 30);
}

TEST_F(ValueFormatTest, DatesAndTimesFollowTheRegionalPatterns) {
  EXPECT_EQ(FormatShortDate(0.0), "30/12/1899");
  EXPECT_EQ(FormatLongTime(0.0), "00.00.00");
  EXPECT_EQ(FormatSortableDateTime(0.0), "18991230000000");
  const double stamp = 44259.0 + (5 * 3600 + 6 * 60 + 8) / 86400.0;  // 4 March 2021 05:06:08
  EXPECT_EQ(FormatShortDate(stamp), "04/03/2021");
  EXPECT_EQ(FormatLongTime(stamp), "05.06.08");
  EXPECT_EQ(FormatSortableDateTime(stamp), "20210304050608");
  EXPECT_EQ(FormatTm(ToTm(DecodeDateTime(0.0)), "%A %j"), "Saturday 364");
  EXPECT_EQ(FormatTm(ToTm(DecodeDateTime(stamp)), "%a %j"), "Thu 063");
  EXPECT_EQ(FormatTm(ToTm(DecodeDateTime(stamp)), ""), "");
  EXPECT_EQ(FormatTm(ToTm(DecodeDateTime(stamp)), std::string(500, 'x') + "%Y").size(), 504u);
}

TEST_F(ValueFormatTest, SecondsAsMinutesAndHours) {
  const TimeParts t = SecondsToTime(3725);
  EXPECT_EQ(t.Hours, 1);
  EXPECT_EQ(t.Minutes, 2);
  EXPECT_EQ(t.Seconds, 5);
  EXPECT_EQ(FormatMinutesSeconds(3725), "2.05");  // whole hours are dropped
  EXPECT_EQ(FormatMinutesSeconds(59), "0.59");
  EXPECT_EQ(FormatMinutesSeconds(600), "10.00");
  EXPECT_EQ(FormatMinutesSeconds(0), "0.00");
  EXPECT_EQ(FormatHoursMinutesSeconds(3725), "01.02.05");
  EXPECT_EQ(FormatHoursMinutesSeconds(360000), "100.00.00");  // not wrapped at a day
  EXPECT_EQ(FormatHoursMinutesSeconds(-5), "00.00.00");
}

}  // namespace
