// Decoding cover pictures: scale, progress, damaged and oversized files.
#include "app/cover_picture.h"

#include <sys/stat.h>

#include <QBuffer>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <tuple>

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

TEST_F(CoverPictureTest, PrintScansInCmykAndYcckShowTheirColours) {
  using testsupport::InkForm;
  struct Case {
    int c, m, y, k;
    QColor expected;
  };
  // Inks let through 255 - ink of their light; black dims all three.
  for (const Case& ink : {Case{0, 255, 255, 0, QColor(255, 0, 0)}, Case{200, 100, 0, 50, QColor(44, 124, 205)},
                          Case{0, 0, 0, 0, QColor(255, 255, 255)}, Case{0, 0, 0, 255, QColor(0, 0, 0)}}) {
    for (InkForm form : {InkForm::kAdobeCmyk, InkForm::kAdobeYcck, InkForm::kPlainCmyk}) {
      const auto cover =
          DecodeCover(Write(testsupport::JpegInks(QSize(240, 200), ink.c, ink.m, ink.y, ink.k, form)), kArea);
      ASSERT_FALSE(cover.image.isNull()) << cover.error;
      EXPECT_EQ(cover.image.size(), QSize(240, 200));
      const QColor seen = cover.image.pixelColor(120, 100);
      const auto form_name = static_cast<int>(form);
      EXPECT_NEAR(seen.red(), ink.expected.red(), 8) << "form " << form_name << " ink " << ink.c;
      EXPECT_NEAR(seen.green(), ink.expected.green(), 8) << "form " << form_name << " ink " << ink.c;
      EXPECT_NEAR(seen.blue(), ink.expected.blue(), 8) << "form " << form_name << " ink " << ink.c;
    }
  }
}

TEST_F(CoverPictureTest, LargeCmykPictureIsScaledAndDrawnInBands) {
  int bands = 0;
  const auto cover =
      DecodeCover(Write(testsupport::JpegInks(QSize(1600, 1600), 255, 0, 255, 0, testsupport::InkForm::kAdobeCmyk)),
                  kArea, [&](const QImage&) { ++bands; });
  ASSERT_FALSE(cover.image.isNull()) << cover.error;
  EXPECT_EQ(cover.image.size(), QSize(200, 200));
  EXPECT_GE(bands, 2);
  const QColor seen = cover.image.pixelColor(100, 100);
  EXPECT_LT(seen.red(), 10);
  EXPECT_GT(seen.green(), 245);
  EXPECT_LT(seen.blue(), 10);
}

TEST_F(CoverPictureTest, PicturesBeyondTheBoundsAreRefusedWithTheirReason) {
  // A 256 x 256 progressive picture in 4:2:0 has 1024 luma and 2 x 256 chroma blocks; its ten
  // scans cover 8192 blocks, and each copy of its last scan (luma) 1024 more.
  const std::string scans = testsupport::JpegRepeatingLastScan(QSize(256, 256), 50);
  const std::string photo = testsupport::JpegPhoto(QSize(256, 256), false);
  const std::string progressive = testsupport::JpegPhoto(QSize(256, 256), true);
  const long long size = static_cast<long long>(photo.size());
  const std::tuple<const std::string&, app::CoverLimits, std::string> cases[] = {
      {scans, {}, ""},
      {scans, {.scanBlocks = 8192 + 50 * 1024}, ""},
      {scans, {.scanBlocks = 8192 + 50 * 1024 - 1}, "Picture has too many scans to decode (scan 60 of 256x256)"},
      {scans, {.memoryBytes = 400 << 10}, "Picture too large to decode (256x256 needs 1 MB)"},
      {photo, {.dataBytes = size / 2}, "Picture has too much data to decode (256x256)"},
      {photo, {.dataBytes = 2 * size}, ""},
      {progressive, {.dataBytes = 2 * size}, "Picture has too much data to decode (256x256)"},  // counts 4 times
  };
  for (const auto& [bytes, limits, refused] : cases) {
    const auto cover = DecodeCover(Write(bytes), kArea, {}, limits);
    EXPECT_EQ(cover.error, refused);
    EXPECT_EQ(cover.image.isNull(), !refused.empty()) << refused;
  }
}

TEST_F(CoverPictureTest, PngPicturesAreBoundedAndReducedAsJpegsAre) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  QImage picture(1000, 800, QImage::Format_RGB32);
  picture.fill(Qt::red);
  picture.save(&buffer, "PNG");
  const std::string claiming = png.toStdString().replace(16, 8, std::string("\0\0\xFD\xE8\0\0\xFD\xE8", 8));
  const std::string widest = png.toStdString().replace(16, 8, std::string(8, '\xFF'));  // no overflow either
  const std::tuple<std::string, app::CoverLimits, std::string> cases[] = {
      {png.toStdString(), {}, ""},
      {claiming, {}, "Picture too large (65000x65000)"},
      {widest, {}, "Picture too large (4294967295x4294967295)"},
      {png.toStdString(), {.memoryBytes = 3 << 20}, "Picture too large to decode (1000x800 needs 4 MB)"},
  };
  for (const auto& [bytes, limits, refused] : cases) {
    const auto cover =
        app::DecodeCoverBytes({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, kArea, limits);
    EXPECT_EQ(cover.error, refused);
    EXPECT_EQ(cover.image.size(), refused.empty() ? QSize(250, 200) : QSize(0, 0));
  }
}

TEST_F(CoverPictureTest, FifoIsRefusedAtOnceAsAMissingFile) {
  const std::string fifo = dir_.str() + "/front.jpg";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto decoding = std::async(std::launch::async, [&] { return DecodeCover(fifo, kArea).error; });
  if (decoding.wait_for(std::chrono::seconds(10)) != std::future_status::ready)
    std::fclose(std::fopen(fifo.c_str(), "wb"));  // a writer lets the waiting open go on, so the test ends
  EXPECT_EQ(decoding.get(), "Cannot open " + fifo);
}

}  // namespace
