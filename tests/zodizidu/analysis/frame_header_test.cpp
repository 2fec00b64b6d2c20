// Frame header decoding into the record: fields, play time, validity, and the builder it is tested with.
#include <gtest/gtest.h>

#include "tests/support/mpeg_builder.h"
#include "zodizidu/analysis/mpeg_data.h"

namespace {

using testsupport::MakeHeader;
using testsupport::MpegHeader;
using zodizidu::TMPEGData;

// A record as the search holds it: the file's size and stamp are known before any header.
TMPEGData Record(std::int32_t fileLength = 1'000'000) {
  TMPEGData data;
  data.FileLength = fileLength;
  data.FileStamp = 0x5A210000;  // some valid stamp
  return data;
}

TEST(BuilderTest, HeaderBytesFollowTheBitLayout) {
  // MPEG 1.0 layer III, no CRC, 128 kbit/s (index 9), 44100 Hz (index 0), stereo.
  EXPECT_EQ(MakeHeader(1, 3, 128, 44100).Value(), 0xFFFB9000u);
  // MPEG 2.0 layer III, 64 kbit/s (index 8), 22050 Hz; MPEG 2.5 layer III, 8 kbit/s, 8000 Hz.
  EXPECT_EQ(MakeHeader(2, 3, 64, 22050).Value(), 0xFFF38000u);
  EXPECT_EQ(MakeHeader(3, 3, 8, 8000).Value(), 0xFFE31800u);
  MpegHeader h = MakeHeader(1, 2, 384, 48000);
  h.crc = true;
  h.padding = true;
  h.mode = 3;
  h.copyright = true;
  h.original = true;
  EXPECT_EQ(h.Bytes(), std::string("\xFF\xFC\xE6\xCC", 4));
  EXPECT_THROW(MakeHeader(1, 3, 144, 44100), std::invalid_argument);
}

TEST(DecodeHeaderTest, ReadsEveryFieldOfAHeader) {
  MpegHeader h = MakeHeader(1, 2, 384, 48000);
  h.crc = true;
  h.padding = true;
  h.mode = 1;
  h.copyright = true;
  h.original = true;
  TMPEGData data = Record();
  ASSERT_TRUE(zodizidu::DecodeHeader(h.Value(), data));
  EXPECT_EQ(data.Version, 1);
  EXPECT_EQ(data.Layer, 2);
  EXPECT_EQ(data.BitRate, 384);
  EXPECT_EQ(data.SampleRate, 48000);
  EXPECT_EQ(data.Mode, 1);
  EXPECT_TRUE(data.ErrorProt);
  EXPECT_TRUE(data.Padding);
  EXPECT_TRUE(data.Copyright);
  EXPECT_TRUE(data.Original);
  EXPECT_EQ(data.FrameLength, 144000 * 384 / 48000 + 1);
  EXPECT_EQ(data.Duration, 1'000'000 * 8 / 384'000);

  // The same record takes a plain header next: every flag goes back to false.
  ASSERT_TRUE(zodizidu::DecodeHeader(MakeHeader(3, 1, 32, 12000).Value(), data));
  EXPECT_EQ(data.Version, 3);
  EXPECT_EQ(data.Layer, 1);
  EXPECT_EQ(data.SampleRate, 12000);
  EXPECT_FALSE(data.ErrorProt || data.Padding || data.Copyright || data.Original);
  EXPECT_EQ(data.Mode, 0);
}

TEST(DecodeHeaderTest, ReservedAndFreeValuesAreNeverAccepted) {
  const MpegHeader good = MakeHeader(1, 3, 128, 44100);
  MpegHeader freeFormat = good, index15 = good, rate3 = good, layer0 = good, version1 = good;
  freeFormat.bitRateIndex = 0;
  index15.bitRateIndex = 15;
  rate3.sampleRateIndex = 3;
  layer0.layerBits = 0;
  version1.versionBits = 1;
  for (const MpegHeader& h : {freeFormat, index15, rate3, layer0, version1}) {
    TMPEGData data = Record();
    EXPECT_FALSE(zodizidu::DecodeHeader(h.Value(), data)) << std::hex << h.Value();
  }
  TMPEGData data = Record();
  EXPECT_FALSE(zodizidu::DecodeHeader(good.Value() & ~0x00200000u, data)) << "one sync bit missing";
  EXPECT_EQ(data.Version, 0);

  // A reserved version stops decoding before the other fields.
  data = Record();
  EXPECT_FALSE(zodizidu::DecodeHeader(version1.Value(), data));
  EXPECT_EQ(data.Layer, 0);
  EXPECT_EQ(data.SampleRate, 0);
  // A reserved layer decodes the rest but has no bit rate.
  data = Record();
  EXPECT_FALSE(zodizidu::DecodeHeader(layer0.Value(), data));
  EXPECT_EQ(data.SampleRate, 44100);
  EXPECT_EQ(data.BitRate, 0);
  EXPECT_EQ(data.Duration, 0);
}

TEST(DecodeHeaderTest, DurationIsFileBitsOverBitRate) {
  TMPEGData data = Record(4'000'000);
  ASSERT_TRUE(zodizidu::DecodeHeader(MakeHeader(1, 3, 128, 44100).Value(), data));
  EXPECT_EQ(data.Duration, 250);  // 32,000,000 div 128,000
  EXPECT_EQ(data.FrameLength, 417);

  // From 256 MiB on FileLength x 8 no longer fits 32 bits: 300 MiB at 320 kbit/s is 7864 s.
  data = Record(300 * 1024 * 1024);
  ASSERT_TRUE(zodizidu::DecodeHeader(MakeHeader(1, 3, 320, 44100).Value(), data));
  EXPECT_EQ(data.Duration, 7864);
  // 300 MiB at 32 kbit/s is 78643 s, more than the field holds: it saturates.
  data = Record(300 * 1024 * 1024);
  ASSERT_TRUE(zodizidu::DecodeHeader(MakeHeader(1, 3, 32, 44100).Value(), data));
  EXPECT_EQ(data.Duration, 65535);
}

TEST(DecodeHeaderTest, AnUndecodableHeaderLeavesDurationAlone) {
  TMPEGData data = Record(4'000'000);
  data.Duration = 123;
  EXPECT_FALSE(zodizidu::DecodeHeader(0x12345678u, data));
  EXPECT_EQ(data.Duration, 123);
}

TEST(IsValidTest, NeedsEveryFactOfAnAcceptedFile) {
  TMPEGData data = Record();
  ASSERT_TRUE(zodizidu::DecodeHeader(MakeHeader(1, 3, 128, 44100).Value(), data));
  ASSERT_TRUE(zodizidu::IsValid(data));
  TMPEGData broken = data;
  broken.FileLength = 5;
  EXPECT_FALSE(zodizidu::IsValid(broken));
  broken = data;
  broken.FileStamp = 0;
  EXPECT_FALSE(zodizidu::IsValid(broken));
  broken = data;
  broken.BitRate = -1;  // variable bit rate
  EXPECT_TRUE(zodizidu::IsValid(broken));
  broken.BitRate = -2;
  EXPECT_FALSE(zodizidu::IsValid(broken));
  broken = data;
  broken.SampleRate = 0;
  EXPECT_FALSE(zodizidu::IsValid(broken));
  EXPECT_FALSE(zodizidu::IsValid(TMPEGData{}));
}

TEST(HeaderTextTest, NamesEveryCode) {
  EXPECT_EQ(zodizidu::VersionText(0), "Unknown");
  EXPECT_EQ(zodizidu::VersionText(1), "1.0");
  EXPECT_EQ(zodizidu::VersionText(2), "2.0");
  EXPECT_EQ(zodizidu::VersionText(3), "2.5");
  EXPECT_EQ(zodizidu::LayerText(0), "Unknown");
  EXPECT_EQ(zodizidu::LayerText(1), "I");
  EXPECT_EQ(zodizidu::LayerText(2), "II");
  EXPECT_EQ(zodizidu::LayerText(3), "III");
  EXPECT_EQ(zodizidu::ModeText(0), "Stereo");
  EXPECT_EQ(zodizidu::ModeText(1), "Joint-Stereo");
  EXPECT_EQ(zodizidu::ModeText(2), "Dual-Channel");
  EXPECT_EQ(zodizidu::ModeText(3), "Single-Channel");
  EXPECT_EQ(zodizidu::VersionText(4), "Unknown");
}

}  // namespace
