// Frame headers, the search for the first frame, and the view libmpg123 reads through.
#include <gtest/gtest.h>

#include "mpegdll/detail/frame_count.h"
#include "mpegdll/detail/frame_finder.h"
#include "mpegdll/detail/frame_header.h"
#include "mpegdll/detail/stream_view.h"
#include "tests/mpegdll/memory_input.h"
#include "tests/mpegdll/reference_decode.h"
#include "tests/support/lame_encoder.h"
#include "tests/support/mpeg_builder.h"
#include "tests/support/temp_dir.h"

namespace mpegdlltest {
namespace {

using mpegdll::ParseFrameHeader;
using mpegdll::detail::FindFirstFrame;
using testsupport::MakeHeader;

std::optional<std::int64_t> Find(const std::string& data, bool seekable = true) {
  MemoryInput input(data, seekable);
  const auto first = FindFirstFrame(input);
  if (!first) return std::nullopt;
  return first->offset;
}

TEST(FrameHeaderTest, LengthsFollowLayerAndVersion) {
  struct Case {
    int version, layer, kbps, hz;
    bool padding;
    int length;
  };
  for (const Case& c :
       {Case{1, 3, 128, 44100, false, 417}, Case{1, 3, 128, 44100, true, 418}, Case{2, 3, 64, 22050, false, 208},
        Case{3, 3, 8, 8000, true, 73}, Case{1, 2, 384, 32000, false, 1728}, Case{3, 2, 160, 8000, false, 2880},
        Case{1, 1, 448, 48000, true, 452}, Case{2, 1, 256, 16000, false, 768}}) {
    auto header = MakeHeader(c.version, c.layer, c.kbps, c.hz);
    header.padding = c.padding;
    const auto parsed = ParseFrameHeader(header.Value());
    ASSERT_TRUE(parsed) << c.version << "/" << c.layer << "/" << c.kbps;
    EXPECT_EQ(parsed->length, c.length) << c.version << "/" << c.layer << "/" << c.kbps;
    EXPECT_EQ(parsed->sampleRateHz, c.hz);
    EXPECT_EQ(parsed->bitRateKbps, c.kbps);
  }
}

TEST(FrameHeaderTest, ReservedAndFreeFormatFieldsAreRefused) {
  const auto valid = MakeHeader(1, 3, 128, 44100);
  EXPECT_TRUE(ParseFrameHeader(valid.Value()));
  using Spoil = void (*)(testsupport::MpegHeader&);
  for (Spoil spoil :
       {+[](testsupport::MpegHeader& h) { h.versionBits = 1; }, +[](testsupport::MpegHeader& h) { h.layerBits = 0; },
        +[](testsupport::MpegHeader& h) { h.bitRateIndex = 0; },
        +[](testsupport::MpegHeader& h) { h.bitRateIndex = 15; },
        +[](testsupport::MpegHeader& h) { h.sampleRateIndex = 3; }}) {
    auto h = valid;
    spoil(h);
    EXPECT_FALSE(ParseFrameHeader(h.Value())) << std::hex << h.Value();
  }
  EXPECT_FALSE(ParseFrameHeader(valid.Value() & ~0x00200000u));  // one sync bit missing
}

std::optional<mpegdll::FrameCount> CountIn(const std::string& bytes) {
  return mpegdll::ReadFrameCount(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

TEST(FrameCountTest, XingInfoAndVbriCountsAreRead) {
  for (const auto& header : {MakeHeader(1, 3, 128, 44100), MakeHeader(2, 3, 64, 22050), MakeHeader(3, 3, 32, 11025)}) {
    for (const std::uint8_t mode : {0, 3}) {
      auto h = header;
      h.mode = mode;
      const auto count = CountIn(testsupport::XingFrame(h, testsupport::XingFields().Frames(375).Toc()));
      ASSERT_TRUE(count) << h.Version() << "/" << int{mode};
      EXPECT_EQ(count->kind, mpegdll::FrameCount::Kind::kXing);
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
  EXPECT_EQ(count->kind, mpegdll::FrameCount::Kind::kVbri);
  EXPECT_EQ(count->frames, 256);

  EXPECT_FALSE(CountIn(testsupport::Frame(MakeHeader(1, 3, 128, 44100))));
  EXPECT_FALSE(CountIn(testsupport::Frame(MakeHeader(1, 2, 128, 44100))));
  EXPECT_FALSE(CountIn(vbri.substr(0, 40)));
}

TEST(FrameFinderTest, FindsTheFirstFramePastTagsAndJunk) {
  const std::string frames = testsupport::Mp3File(20);
  EXPECT_EQ(Find(frames), 0);
  EXPECT_EQ(Find(testsupport::Id3v2Block(5000) + frames), 5000);
  EXPECT_EQ(Find(testsupport::Junk(700000) + frames), 700000);
  EXPECT_EQ(Find(testsupport::Junk(700000) + frames, false), 700000);
}

TEST(FrameFinderTest, FalsePairsInRandomJunkLoseToARunOfFrames) {
  // A false sync, and a false pair: a valid header followed one frame later by another one.
  const auto a = MakeHeader(1, 3, 128, 44100);
  const auto b = MakeHeader(2, 2, 64, 22050);
  const std::string falsePair = a.Bytes() + std::string(413, '\0') + b.Bytes();
  const std::string junk = RandomBytes(3 * 1024 * 1024, 5) + falsePair + testsupport::Junk(999);
  const std::string frames = testsupport::Mp3File(10);
  EXPECT_EQ(Find(junk + frames), static_cast<std::int64_t>(junk.size()));
  EXPECT_EQ(Find(junk + frames, false), static_cast<std::int64_t>(junk.size()));
}

TEST(FrameFinderTest, ABarePairIsTakenWhenNothingBetterFollows) {
  const auto header = MakeHeader(1, 3, 128, 44100);
  const std::string pair = testsupport::Frames(header, 2);
  EXPECT_EQ(Find(testsupport::Junk(100) + pair + testsupport::Junk(300)), 100);
  // A single frame is no pair, and a frame cut short by the end of the input neither.
  EXPECT_FALSE(Find(testsupport::Junk(100) + testsupport::Frame(header) + testsupport::Junk(50)));
  EXPECT_FALSE(Find(testsupport::Junk(100) + testsupport::Frame(header).substr(0, 200)));
  EXPECT_FALSE(Find(""));
  EXPECT_FALSE(Find(testsupport::Junk(2 * 1024 * 1024)));
}

TEST(FrameFinderTest, FramesUpToTheEndOrATagCountAsARun) {
  const auto header = MakeHeader(2, 3, 64, 22050);
  const std::string file = testsupport::Frames(header, 3) + testsupport::Id3v1Tag({});
  // An earlier false pair in junk must not win over three frames that reach the tag.
  const std::string falsePair = testsupport::Frames(MakeHeader(1, 1, 32, 48000), 2);
  EXPECT_EQ(Find(testsupport::Junk(10) + falsePair + testsupport::Junk(5000) + file),
            10 + 5000 + static_cast<std::int64_t>(falsePair.size()));
}

TEST(FrameFinderTest, ForwardOnlyInputKeepsTheBytesItReadFromTheFrameOn) {
  const std::string frames = testsupport::Mp3File(10);
  const std::string data = testsupport::Junk(300000) + frames;
  MemoryInput input(data, false);
  const auto first = FindFirstFrame(input);
  ASSERT_TRUE(first);
  ASSERT_EQ(first->offset, 300000);
  // What was read from the frame on is handed back, so that nothing is lost.
  const std::string kept(first->readAhead.begin(), first->readAhead.end());
  ASSERT_LE(kept.size(), frames.size());
  EXPECT_EQ(kept, frames.substr(0, kept.size()));
  EXPECT_EQ(input.bytesRead, 300000 + kept.size());
}

TEST(StreamViewTest, OffsetsCountFromTheFirstFrame) {
  MemoryInput input(std::string(100, 'j') + "0123456789", true);
  mpegdll::detail::StreamView view(input, 100, {});
  char buffer[8] = {};
  EXPECT_EQ(view.Read(buffer, 3), 3);
  EXPECT_EQ(std::string(buffer, 3), "012");
  EXPECT_EQ(view.Seek(0, SEEK_CUR), 3);
  EXPECT_EQ(view.Seek(-2, SEEK_END), 8);
  EXPECT_EQ(view.Read(buffer, 8), 2);
  EXPECT_EQ(std::string(buffer, 2), "89");
  EXPECT_EQ(view.Seek(5, SEEK_SET), 5);
  EXPECT_EQ(view.Read(buffer, 1), 1);
  EXPECT_EQ(buffer[0], '5');
  EXPECT_EQ(view.Seek(-1, SEEK_SET), -1);  // before the first frame
}

TEST(StreamViewTest, ForwardOnlyViewServesTheReadAheadFirst) {
  MemoryInput input("jjjjABCDEFGH", false);
  char skip[6];
  ASSERT_EQ(input.Read(skip, 6), 6);  // "jjjjAB" taken by the search
  mpegdll::detail::StreamView view(input, 4, {'A', 'B'});
  char buffer[16] = {};
  EXPECT_EQ(view.Read(buffer, 16), 8);
  EXPECT_EQ(std::string(buffer, 8), "ABCDEFGH");
  EXPECT_EQ(view.Seek(0, SEEK_SET), -1);
  EXPECT_FALSE(view.failed());
}

TEST(FileInputTest, BufferedReadsAndSeeksGiveTheFileBytes) {
  testsupport::TempDir dir;
  const std::string data = RandomBytes(300000, 9);
  auto input = mpegdll::detail::OpenFileInput(dir.WriteFile("data.bin", data).string());
  ASSERT_TRUE(input);
  EXPECT_EQ(input->Size(), 300000);
  std::string got(200000, '\0');
  auto read = [&](std::size_t n) {
    const long r = input->Read(got.data(), n);
    return r < 0 ? std::string("<failed>") : got.substr(0, static_cast<std::size_t>(r));
  };
  EXPECT_EQ(read(10), data.substr(0, 10));
  EXPECT_EQ(input->Seek(0, SEEK_CUR), 10);
  EXPECT_EQ(input->Seek(5, SEEK_SET), 5);  // inside the buffer
  EXPECT_EQ(read(100), data.substr(5, 100));
  EXPECT_EQ(read(150000), data.substr(105, 150000));  // past the buffer, straight from the file
  EXPECT_EQ(input->Seek(0, SEEK_CUR), 150105);
  EXPECT_EQ(read(7), data.substr(150105, 7));
  EXPECT_EQ(input->Seek(-128, SEEK_END), 300000 - 128);
  EXPECT_EQ(read(1000), data.substr(300000 - 128));
  EXPECT_EQ(read(1000), "");
  EXPECT_EQ(input->Seek(-1, SEEK_SET), -1);
  EXPECT_TRUE(input->Rewind());
  EXPECT_EQ(read(3), data.substr(0, 3));
  EXPECT_FALSE(mpegdll::detail::OpenFileInput((dir.path() / "missing.bin").string()));
  EXPECT_FALSE(mpegdll::detail::OpenFileInput(dir.path().string()));
}

}  // namespace
}  // namespace mpegdlltest
