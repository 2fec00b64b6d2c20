// Number, date and time forms of the macros under explicitly set regional settings.
#include "zodizidu/macros/value_format.h"

#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

#include "platform/regional.h"

namespace {

using namespace zodizidu;

class ValueFormatTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::SetRegionalSettings({"%d/%m/%Y", "%H.%M.%S", "'", ",", "."}); }
};

TEST_F(ValueFormatTest, NumbersShowTheNearestValueWithHalvesAwayFromZero) {
  EXPECT_EQ(FormatNumber(1234567, 1, 0, true), "1'234'567");
  EXPECT_EQ(FormatNumber(-1234567, 1, 0, false), "-1234567");
  EXPECT_EQ(FormatNumber(2560, 1024, 0, true), "3");  // 2.5: away from zero, not to even
  EXPECT_EQ(FormatNumber(-1536, 1024, 0, true), "-2");
  EXPECT_EQ(FormatNumber(69, 60, 1, true), "1,2");  // 1.15, held by a double as 1.1499..
  EXPECT_EQ(FormatNumber(11025, 1000, 1, false), "11,0");
  EXPECT_EQ(FormatNumber(999999, 1000, 2, true), "1'000,00");  // the carry reaches the integer
  EXPECT_EQ(FormatNumber(-1, 100, 1, true), "0,0");            // no minus on a zero shown
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  EXPECT_EQ(FormatNumber(kMin, 1, 0, false), "-9223372036854775808");
  EXPECT_EQ(FormatNumber(kMax, 1048576, 1, false), "8796093022208,0");

  platform::SetRegionalSettings({"%d.%m.%Y", "%H:%M:%S", "\xE2\x80\xAF", "\xC2\xB7", ":"});
  EXPECT_EQ(FormatNumber(1234567, 10, 1, true),
            "123\xE2\x80\xAF"
            "456\xC2\xB7"
            "7");
  platform::SetRegionalSettings({"%d.%m.%Y", "%H:%M:%S", "", ".", ":"});
  EXPECT_EQ(FormatNumber(1234567, 1, 0, true), "1234567");
}

TEST_F(ValueFormatTest, DateTimeValuesCountDaysFromTheEndOf1899) {
  auto parts = [](double v) {
    const DateTimeParts p = DecodeDateTime(v);
    return std::vector<int>{p.Year, p.Month, p.Day, p.Hour, p.Minute, p.Second};
  };
  EXPECT_EQ(parts(0.0), (std::vector<int>{1899, 12, 30, 0, 0, 0}));
  EXPECT_EQ(parts(36526.75), (std::vector<int>{2000, 1, 1, 18, 0, 0}));
  // 29 February 2024, 23:59:59.9996 rounds to the next day's midnight.
  EXPECT_EQ(parts(45351.0 + 86399.9996 / 86400.0), (std::vector<int>{2024, 3, 1, 0, 0, 0}));
  EXPECT_EQ(parts(-1.25), (std::vector<int>{1899, 12, 29, 6, 0, 0}));  // the fraction counts as is
  EXPECT_EQ(parts(std::numeric_limits<double>::quiet_NaN()), parts(0.0));
  EXPECT_EQ(parts(1e300), parts(0.0));
}

TEST_F(ValueFormatTest, DatesAndTimesFollowTheRegionalPatterns) {
  EXPECT_EQ(FormatShortDate(0.0) + " " + FormatLongTime(0.0), "30/12/1899 00.00.00");
  EXPECT_EQ(FormatSortableDateTime(0.0), "18991230000000");
  const double stamp = 44259.0 + (5 * 3600 + 6 * 60 + 8) / 86400.0;  // 4 March 2021 05:06:08
  EXPECT_EQ(FormatShortDate(stamp) + " " + FormatLongTime(stamp), "04/03/2021 05.06.08");
  EXPECT_EQ(FormatSortableDateTime(stamp), "20210304050608");
  EXPECT_EQ(FormatTm(ToTm(DecodeDateTime(0.0)), "%A %j"), "Saturday 364");
  EXPECT_EQ(FormatTm(ToTm(DecodeDateTime(stamp)), "%a %j"), "Thu 063");
  EXPECT_EQ(FormatTm(ToTm(DecodeDateTime(stamp)), std::string(500, 'x') + "%Y").size(), 504u);
}

TEST_F(ValueFormatTest, SecondsAsMinutesAndHours) {
  EXPECT_EQ(FormatMinutesSeconds(3725), "2.05");  // whole hours are dropped
  EXPECT_EQ(FormatMinutesSeconds(600), "10.00");
  EXPECT_EQ(FormatHoursMinutesSeconds(3725), "01.02.05");
  EXPECT_EQ(FormatHoursMinutesSeconds(360000), "100.00.00");  // not wrapped at a day
  EXPECT_EQ(FormatHoursMinutesSeconds(-5), "00.00.00");
}

}  // namespace
