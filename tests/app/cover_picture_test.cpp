// Decoding cover pictures: scale, progress, damaged and oversized files.
#include "app/cover_picture.h"

#include <gtest/gtest.h>

#include "tests/app/jpeg_files.h"
#include "tests/support/temp_dir.h"

namespace {

using app::DecodeCover;
using testsupport::JpegPicture;

constexpr QSize kArea(193, 173);

class CoverPictureTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& bytes) { return dir_.WriteFile("cover.jpg", bytes).string(); }
  testsupport::TempDir dir_;
};

TEST_F(CoverPictureTest, SmallPictureIsDecodedWholeInItsColours) {
  const auto cover = DecodeCover(Write(JpegPicture(QSize(120, 80), QColor(200, 30, 30))), kArea);
  ASSERT_FALSE(cover.image.isNull()) << cover.error;
  EXPECT_EQ(cover.image.size(), QSize(120, 80));
  const QColor top = cover.image.pixelColor(60, 10);
  EXPECT_NEAR(top.red(), 200, 8);
  EXPECT_NEAR(top.green(), 30, 8);
  EXPECT_EQ(cover.image.pixelColor(60, 75), QColor(255, 255, 255));
}

TEST_F(CoverPictureTest, LargePictureIsDecodedAtAReducedScaleThatStillCoversTheArea) {
  const auto cover = DecodeCover(Write(JpegPicture(QSize(1600, 1400), Qt::blue)), kArea);
  ASSERT_FALSE(cover.image.isNull()) << cover.error;
  EXPECT_EQ(cover.image.size(), QSize(200, 175));
  const auto wide = DecodeCover(Write(JpegPicture(QSize(800, 180), Qt::blue)), kArea);
  EXPECT_EQ(wide.image.size(), QSize(800, 180)) << "halving would make it lower than the area";
}

TEST_F(CoverPictureTest, PictureAppearsInBandsWhileItIsDecoded) {
  std::vector<int> whiteRowsLeft;
  const auto cover = DecodeCover(Write(JpegPicture(QSize(64, 400), Qt::black)), kArea, [&](const QImage& partial) {
    int blank = 0;
    for (int y = 0; y < partial.height() * 3 / 4; ++y) {
      if (partial.pixelColor(32, y) == QColor(255, 255, 255)) ++blank;
    }
    whiteRowsLeft.push_back(blank);
  });
  ASSERT_FALSE(cover.image.isNull());
  ASSERT_GE(whiteRowsLeft.size(), 2u);
  EXPECT_GT(whiteRowsLeft.front(), whiteRowsLeft.back()) << "later bands show more of the picture";
}

TEST_F(CoverPictureTest, DamagedMissingAndOversizedFilesGiveTheirReason) {
  const auto notJpeg = DecodeCover(Write("zzzz not a picture"), kArea);
  EXPECT_TRUE(notJpeg.image.isNull());
  EXPECT_NE(notJpeg.error.find("Not a JPEG file"), std::string::npos) << notJpeg.error;

  std::string cut = JpegPicture(QSize(300, 300), Qt::green);
  cut.resize(cut.size() / 3);
  const auto truncated = DecodeCover(Write(cut), kArea);
  EXPECT_FALSE(truncated.image.isNull()) << "what arrived is shown: " << truncated.error;

  const auto missing = DecodeCover(dir_.str() + "/none.jpg", kArea);
  EXPECT_TRUE(missing.image.isNull());
  EXPECT_FALSE(missing.error.empty());

  const auto huge = DecodeCover(Write(testsupport::JpegClaiming(QSize(60000, 60000))), kArea);
  EXPECT_TRUE(huge.image.isNull());
  EXPECT_EQ(huge.error, "Picture too large (60000x60000)");
}

}  // namespace
