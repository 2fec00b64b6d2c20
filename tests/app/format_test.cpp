// Song times and the display order of the lists.
#include <QStringList>

#include <gtest/gtest.h>

#include "app/display_order.h"
#include "app/format_min_sec.h"

namespace {

TEST(FormatMinSecTest, MinutesHaveAtLeastTwoDigitsSecondsExactlyTwo) {
  EXPECT_EQ(app::FormatMinSec(0), "00:00");
  EXPECT_EQ(app::FormatMinSec(59), "00:59");
  EXPECT_EQ(app::FormatMinSec(61), "01:01");
  EXPECT_EQ(app::FormatMinSec(3725), "62:05");
  EXPECT_EQ(app::FormatMinSec(6000), "100:00");
  EXPECT_EQ(app::FormatMinSec(65535), "1092:15");
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
