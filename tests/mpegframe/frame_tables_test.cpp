// The frame tables against the test builder's own, frame lengths, and the frame-count readers.
#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "mpegframe/frame_count.h"
#include "mpegframe/frame_header.h"
#include "tests/support/lame_encoder.h"
#include "tests/support/mpeg_builder.h"

namespace {

using mpegframe::ParseFrameHeader;
using testsupport::MakeHeader;
using testsupport::MpegHeader;

std::span<const std::uint8_t> Bytes(const std::string& s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

TEST(FrameHeaderTest, EveryValidHeaderAgreesWithTheBuilder) {
  // The builder holds the standard's tables and formula of its own.
  for (std::uint8_t versionBits : {0, 2, 3}) {
    for (std::uint8_t layerBits = 1; layerBits <= 3; ++layerBits) {
      for (std::uint8_t rate = 1; rate <= 14; ++rate) {
        for (std::uint8_t freq = 0; freq <= 2; ++freq) {
          for (bool padding : {false, true}) {
            MpegHeader h;
            h.versionBits = versionBits;
            h.layerBits = layerBits;
            h.bitRateIndex = rate;
            h.sampleRateIndex = freq;
            h.padding = padding;
            const std::string bytes = h.Bytes();
            const auto parsed = ParseFrameHeader(Bytes(bytes).data());
            ASSERT_TRUE(parsed) << std::hex << h.Value();
            EXPECT_EQ(parsed->version, h.Version());
            EXPECT_EQ(parsed->layer, h.Layer());
            EXPECT_EQ(parsed->bitRateKbps, h.BitRateKbps()) << std::hex << h.Value();
            EXPECT_EQ(parsed->sampleRateHz, h.SampleRateHz()) << std::hex << h.Value();
            EXPECT_EQ(parsed->length, static_cast<int>(h.FrameLength())) << std::hex << h.Value();
            EXPECT_EQ(mpegframe::SamplesPerFrame(*parsed), h.SamplesPerFrame());
          }
        }
      }
    }
  }
  EXPECT_EQ(mpegframe::FrameLength(1, 3, 0, 128, true), 0) << "no frequency, no length";
}

TEST(FrameHeaderTest, ReservedAndFreeFormatFieldsAreRefused) {
  const auto valid = MakeHeader(1, 3, 128, 44100);
  EXPECT_TRUE(ParseFrameHeader(valid.Value()));
  using Spoil = void (*)(MpegHeader&);
  for (Spoil spoil : {+[](MpegHeader& h) { h.versionBits = 1; }, +[](MpegHeader& h) { h.layerBits = 0; },
                      +[](MpegHeader& h) { h.bitRateIndex = 0; }, +[](MpegHeader& h) { h.bitRateIndex = 15; },
                      +[](MpegHeader& h) { h.sampleRateIndex = 3; }}) {
    auto h = valid;
    spoil(h);
    EXPECT_FALSE(ParseFrameHeader(h.Value())) << std::hex << h.Value();
  }
  EXPECT_FALSE(ParseFrameHeader(valid.Value() & ~0x00200000u));  // one sync bit missing
}

std::optional<mpegframe::FrameCount> CountIn(const std::string& bytes) {
  return mpegframe::ReadFrameCount(Bytes(bytes).data(), bytes.size());
}

TEST(FrameCountTest, XingInfoAndVbriCountsAreRead) {
  for (const auto& header : {MakeHeader(1, 3, 128, 44100), MakeHeader(2, 3, 64, 22050), MakeHeader(3, 3, 32, 11025)}) {
    for (const std::uint8_t mode : {0, 3}) {
      auto h = header;
      h.mode = mode;
      const auto count = CountIn(testsupport::XingFrame(h, testsupport::XingFields().Frames(375).Toc()));
      ASSERT_TRUE(count) << h.Version() << "/" << int{mode};
      EXPECT_EQ(count->kind, mpegframe::FrameCount::Kind::kXing);
      EXPECT_EQ(count->frames, 375);
    }
  }
  // A Xing block without the frame count counts for nothing.
  EXPECT_FALSE(CountIn(testsupport::XingFrame(MakeHeader(1, 3, 128, 44100), testsupport::XingFields().Bytes(5000))));
  // What the encoder writes for a variable bit rate: an Info-style frame with the count.
  const auto lame = CountIn(testsupport::GeneratedMp3(1.0, {44100, 2, 128, true, true}).substr(0, 600));
  ASSERT_TRUE(lame);
  // One second, with the encoder's delay and padding: more than 38.3 frames, less than two more.
  EXPECT_GE(lame->frames * 1152, 44100);
  EXPECT_LT(lame->frames * 1152, 44100 + 2 * 1152);

  std::string vbri = testsupport::Frame(MakeHeader(1, 3, 128, 44100));
  vbri.replace(36, 4, "VBRI");
  vbri[36 + 14 + 2] = 0x01;  // 0x00000100 frames, big-endian
  const auto count = CountIn(vbri);
  ASSERT_TRUE(count);
  EXPECT_EQ(count->kind, mpegframe::FrameCount::Kind::kVbri);
  EXPECT_EQ(count->frames, 256);

  EXPECT_FALSE(CountIn(testsupport::Frame(MakeHeader(1, 3, 128, 44100))));
  EXPECT_FALSE(CountIn(testsupport::Frame(MakeHeader(1, 2, 128, 44100))));
  EXPECT_FALSE(CountIn(vbri.substr(0, 40)));
}

TEST(XingTest, FrameCountOnlyWhenFlagBitZeroIsSet) {
  const std::string withFrames = testsupport::XingBlock(testsupport::XingFields().Frames(0x01020304u).Bytes(99u).Toc());
  EXPECT_EQ(mpegframe::XingFrameCount(Bytes(withFrames).subspan(4)), 0x01020304u);
  const std::string bytesOnly = testsupport::XingBlock(testsupport::XingFields().Bytes(5000u).Quality(80u));
  EXPECT_EQ(mpegframe::XingFrameCount(Bytes(bytesOnly).subspan(4)), 0u);
  const std::vector<std::uint8_t> cut{0, 0, 0, 1, 0, 0};
  EXPECT_EQ(mpegframe::XingFrameCount(cut), 0u);
}

TEST(XingTest, DurationRoundsHalvesToEven) {
  using mpegframe::XingDuration;
  // 1152 x 125 / 32000 = 4.5 and 1152 x 375 / 32000 = 13.5.
  EXPECT_EQ(XingDuration(125, 1152, 32000), 4);
  EXPECT_EQ(XingDuration(375, 1152, 32000), 14);
  // 576 x 1000 / 22050 = 26.12 (MPEG 2.0 layer III), 576 x 1000 / 8000 = 72 (MPEG 2.5).
  EXPECT_EQ(XingDuration(1000, 576, 22050), 26);
  EXPECT_EQ(XingDuration(1000, 576, 8000), 72);
  // 384 x 125 / 32000 = 1.5 (layer I); 1152 x 1000 / 44100 = 26.12; 1152 x 1100 / 44100 = 28.73.
  EXPECT_EQ(XingDuration(125, 384, 32000), 2);
  EXPECT_EQ(XingDuration(1000, 1152, 44100), 26);
  EXPECT_EQ(XingDuration(1100, 1152, 44100), 29);
  EXPECT_EQ(XingDuration(0, 1152, 44100), 0);
  // 2^32 - 1 frames would play for about 3.5 years: the field saturates.
  EXPECT_EQ(XingDuration(0xFFFFFFFFu, 1152, 8000), 65535);
  EXPECT_EQ(XingDuration(100, 1152, 0), 0);
}

TEST(VbriFrameCountTest, ReadsTheCountAfterTheMarkVersionDelayQualityAndBytes) {
  const testsupport::MpegHeader h = testsupport::MakeHeader(1, 3, 128, 44100);
  const std::string frame = testsupport::VbriFrame(h, 0x01020304, 5'000'000);
  const auto block = Bytes(frame).subspan(mpegframe::kVbriOffset);
  EXPECT_EQ(mpegframe::VbriFrameCount(block), 0x01020304u);
  EXPECT_EQ(mpegframe::VbriFrameCount(block.first(mpegframe::kVbriSize)), 0x01020304u);
  EXPECT_EQ(mpegframe::VbriFrameCount(block.first(mpegframe::kVbriSize - 1)), 0u);
  EXPECT_EQ(mpegframe::VbriFrameCount(Bytes(frame).subspan(mpegframe::kVbriOffset - 1)), 0u);
  EXPECT_EQ(mpegframe::VbriFrameCount(Bytes(testsupport::XingBlock(testsupport::XingFields().Frames(9)))), 0u);
}

}  // namespace
