// Song times and the display order of the lists.
#include <QStringList>

#include <gtest/gtest.h>

#include "app/detail/position_bar.h"
#include "app/display_order.h"
#include "app/format_min_sec.h"
#include "app/percent_of.h"

namespace {

TEST(FormatMinSecTest, MinutesHaveAtLeastTwoDigitsSecondsExactlyTwo) {
  EXPECT_EQ(app::FormatMinSec(0), "00:00");
  EXPECT_EQ(app::FormatMinSec(59), "00:59");
  EXPECT_EQ(app::FormatMinSec(61), "01:01");
  EXPECT_EQ(app::FormatMinSec(3725), "62:05");
  EXPECT_EQ(app::FormatMinSec(6000), "100:00");
  EXPECT_EQ(app::FormatMinSec(65535), "1092:15");
}

TEST(PercentOfTest, RoundsHalvesToTheEvenNeighbourAndZeroRangeGivesZero) {
  EXPECT_EQ(app::PercentOf(1, 8), 12);  // 12.5
  EXPECT_EQ(app::PercentOf(3, 8), 38);  // 37.5
  EXPECT_EQ(app::PercentOf(5, 8), 62);  // 62.5
  EXPECT_EQ(app::PercentOf(2, 3), 67);
  EXPECT_EQ(app::PercentOf(0, 0), 0);
  EXPECT_EQ(app::PercentOf(7, 0), 0);
  EXPECT_EQ(app::PercentOf(65535, 65535), 100);
}

TEST(PositionBarTest, PageStepIsATenthOfTheSongBetweenOneSecondAndAMinute) {
  EXPECT_EQ(app::detail::PositionBar::PageStepFor(0), 1);
  EXPECT_EQ(app::detail::PositionBar::PageStepFor(4), 1);
  EXPECT_EQ(app::detail::PositionBar::PageStepFor(240), 24);
  EXPECT_EQ(app::detail::PositionBar::PageStepFor(3600), 60);
}

QStringList InOrder(const QStringList& texts) {
  QStringList shown;
  for (int i : app::DisplayOrder(texts)) shown.push_back(texts[i]);
  return shown;
}

TEST(DisplayOrderTest, IgnoresLetterCase) {
  EXPECT_EQ(InOrder({"b.MP3", "A.mp3", "c.Mp3"}), (QStringList{"A.mp3", "b.MP3", "c.Mp3"}));
  EXPECT_EQ(InOrder({"Zeta", "alfa", "Beta"}), (QStringList{"alfa", "Beta", "Zeta"}));
}

TEST(DisplayOrderTest, IgnoresAccentsAtFirstAndPutsCapitalsFirstAmongEquals) {
  EXPECT_EQ(InOrder({"Zeta", QString::fromUtf8("Èlite"), "Elfo", "citta", QString::fromUtf8("Città")}),
            (QStringList{QString::fromUtf8("Città"), "citta", "Elfo", QString::fromUtf8("Èlite"), "Zeta"}));
  EXPECT_EQ(app::OrderKey(QString::fromUtf8("ÀBÇ")), app::OrderKey("abc"));
}

TEST(DisplayOrderTest, TextsEqualButForCaseShowTheSameWayWhateverTheirFileOrder) {
  EXPECT_EQ(InOrder({"abc", "ABC", "Abc"}), InOrder({"Abc", "abc", "ABC"}));
  const std::vector<int> same = app::DisplayOrder({"x", "x", "x"});
  EXPECT_EQ(same, (std::vector<int>{0, 1, 2}));
}

TEST(DisplayOrderTest, EmptyListHasNoOrder) { EXPECT_TRUE(app::DisplayOrder({}).empty()); }

}  // namespace
