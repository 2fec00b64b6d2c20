// Analyze on files as they are made today: ID3v2 tags with covers in front, ID3v1 and APE tags at
// the end, VBRI blocks in the first frame.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/mpeg_builder.h"
#include "tests/zodizidu/analysis/analysis_fixture.h"

namespace {

using testsupport::ApeTag;
using testsupport::CoverTag;
using testsupport::Frames;
using testsupport::Id3v1Fields;
using testsupport::Id3v1Tag;
using testsupport::Id3v2Fields;
using testsupport::Id3v2Tag;
using testsupport::MakeHeader;
using testsupport::MpegHeader;

using TaggedFileTest = zodizidu_test::AnalysisTest;

// MPEG 2.0 layer III at 8 kbit/s: 36-byte frames, 1000 bytes a second, so that a tag byte counted
// as audio, or an audio byte counted as tag, moves the play time across a whole second.
const MpegHeader kSlow = MakeHeader(2, 3, 8, 16000);

// `bytes` of audio: whole frames, then zero bytes.
std::string SlowAudio(std::size_t bytes) {
  std::string out = Frames(kSlow, bytes / 36);
  out.resize(bytes, '\0');
  return out;
}

struct Wrapping {
  const char* name;
  std::string front;
  std::string back;
};

std::vector<Wrapping> Wrappings() {
  return {
      {"none", "", ""},
      {"ID3v2.3 with padding", Id3v2Tag(Id3v2Fields().Body("TIT2").Padding(4000)), ""},
      {"ID3v2.2", Id3v2Tag(Id3v2Fields().Version(2).Body("TT2").Padding(700)), ""},
      {"ID3v2.4 with footer", Id3v2Tag(Id3v2Fields().Version(4).Body("TIT2").Padding(3000).Footer()), ""},
      {"cover of 500 KB", CoverTag(500 * 1024), ""},
      {"two ID3v2 tags", Id3v2Tag(Id3v2Fields().Padding(1000)) + Id3v2Tag(Id3v2Fields().Version(4).Footer()), ""},
      {"ID3v1", "", Id3v1Tag(Id3v1Fields().Title("Song"))},
      {"APEv2 with header", "", ApeTag(600, true)},
      {"APEv2 without header", "", ApeTag(600, false)},
      {"APEv1", "", ApeTag(60, false, 1000)},
      {"APEv2 and ID3v1", "", ApeTag(2500, true) + Id3v1Tag(Id3v1Fields().Title("Song"))},
      {"all of them", CoverTag(20'000, 512), ApeTag(100, false) + Id3v1Tag(Id3v1Fields().Title("Song"))},
  };
}

TEST_F(TaggedFileTest, PlayTimeOfAConstantBitRateCountsOnlyTheAudioBytes) {
  // 9995 bytes play 9.995 s and 10000 bytes 10 s: a tag byte left in, or an audio byte left out,
  // shows in the whole seconds.
  for (const std::size_t audio : {std::size_t{9995}, std::size_t{10000}}) {
    for (const Wrapping& w : Wrappings()) {
      SCOPED_TRACE(std::string(w.name) + ", audio bytes " + std::to_string(audio));
      const std::string file = w.front + SlowAudio(audio) + w.back;
      ASSERT_EQ(AnalyzeBytes("song.mp3", file), 0);
      EXPECT_TRUE(audio_.IsValid());
      EXPECT_EQ(data().BitRate, 8);
      EXPECT_EQ(data().Duration, audio == 9995 ? 9 : 10);
      EXPECT_EQ(data().FileLength, static_cast<std::int32_t>(file.size()));
      EXPECT_EQ(audio_.HeaderPos(), static_cast<std::int32_t>(w.front.size()));
      EXPECT_EQ(data().FrameLength, 36);
    }
  }
}

TEST_F(TaggedFileTest, SongWithAnEmbeddedCoverShowsItsOwnPlayTime) {
  // 60 s at 96 kbit/s behind a cover of 905 KB: the whole file would make it 137 s.
  const MpegHeader h = MakeHeader(1, 3, 96, 44100);
  const std::string audio = Frames(h, testsupport::FramesForSeconds(h, 60.0));
  const std::string tag = CoverTag(905 * 1024);
  ASSERT_EQ(AnalyzeBytes("bare.mp3", audio), 0);
  const std::uint16_t bare = data().Duration;
  EXPECT_EQ(bare, 59);  // 2297 frames of 313 bytes: 59.9 s at the header's rate
  ASSERT_EQ(AnalyzeBytes("covered.mp3", tag + audio + Id3v1Tag(Id3v1Fields().Title("Song"))), 0);
  EXPECT_EQ(data().Duration, bare);
  EXPECT_EQ(data().BitRate, 96);
  EXPECT_EQ(data().Layer, 3);
  EXPECT_EQ(data().Title, "Song");
  EXPECT_EQ(audio_.HeaderPos(), static_cast<std::int32_t>(tag.size()));
}

TEST_F(TaggedFileTest, HeaderPairInsideAWellFormedTagIsNotTakenForTheFirstFrame) {
  // A picture that happens to hold two MPEG 1.0 layer I headers a frame apart.
  const MpegHeader layer1 = MakeHeader(1, 1, 224, 44100);
  const std::string picture = testsupport::CoverPicture(3000) + Frames(layer1, 2) + testsupport::CoverPicture(3000, 7);
  const std::string tag = Id3v2Tag(Id3v2Fields().Body(testsupport::Id3v2PictureFrame(picture)));
  const MpegHeader cd = MakeHeader(1, 3, 128, 44100);
  ASSERT_EQ(AnalyzeBytes("tagged.mp3", tag + Frames(cd, 40)), 0);
  EXPECT_EQ(audio_.HeaderPos(), static_cast<std::int32_t>(tag.size()));
  EXPECT_EQ(data().Layer, 3);
  EXPECT_EQ(data().BitRate, 128);
}

TEST_F(TaggedFileTest, MalformedOrOversizedTagIsSearchedFromTheStart) {
  const MpegHeader layer1 = MakeHeader(1, 1, 224, 44100);
  const std::string picture = testsupport::Junk(500) + Frames(layer1, 2);
  const std::string good = Id3v2Tag(Id3v2Fields().Body(testsupport::Id3v2PictureFrame(picture)));
  const std::size_t pairAt = good.find(layer1.Bytes());
  ASSERT_NE(pairAt, std::string::npos);
  const std::string audio = Frames(MakeHeader(1, 3, 128, 44100), 40);

  std::string notSynchSafe = good;
  notSynchSafe[8] = '\x80';
  std::string unknownVersion = good;
  unknownVersion[3] = '\x05';
  std::string oversized = good;
  oversized[6] = '\x7F';  // about 254 MB, far beyond the file
  for (const std::string& tag : {notSynchSafe, unknownVersion, oversized}) {
    ASSERT_EQ(AnalyzeBytes("tagged.mp3", tag + audio), 0);
    EXPECT_EQ(audio_.HeaderPos(), static_cast<std::int32_t>(pairAt));
    EXPECT_EQ(data().Layer, 1);
    EXPECT_EQ(data().BitRate, 224);
    // Without a tag to leave out, the whole file counts.
    EXPECT_EQ(data().Duration, static_cast<std::uint16_t>((tag.size() + audio.size()) * 8 / 224'000));
  }
}

TEST_F(TaggedFileTest, TagFillingTheFileLeavesNothingToFind) {
  const std::string tag = Id3v2Tag(Id3v2Fields().Body(testsupport::Junk(5000)));
  ASSERT_EQ(AnalyzeBytes("only-tag.mp3", tag), -1);
  EXPECT_FALSE(audio_.IsValid());
  EXPECT_EQ(audio_.HeaderPos(), static_cast<std::int32_t>(tag.size()) + 1);
}

TEST_F(TaggedFileTest, ApeFooterClaimingMoreThanTheAudioIsNoTag) {
  const std::string ape = ApeTag(10, false);
  ASSERT_EQ(AnalyzeBytes("ape.mp3", SlowAudio(9950) + ape), 0);
  EXPECT_EQ(data().Duration, 9);
  std::string claims = ape;
  claims[claims.size() - 32 + 14] = '\x10';  // the footer's size: about 1 MB
  ASSERT_EQ(AnalyzeBytes("claims.mp3", SlowAudio(9950) + claims), 0);
  EXPECT_EQ(data().Duration, 10);  // 10 045 bytes, the footer's claim ignored
}

// A VBRI first frame followed by frames of 32 kbit/s: 8500 frames of 1152 samples at 44100 Hz.
TEST_F(TaggedFileTest, VbriFileTakesPlayTimeAndAverageFrameLengthFromItsFrameCount) {
  MpegHeader h = MakeHeader(1, 3, 32, 44100);
  const std::string audio = testsupport::VbriFrame(h, 8500, 884'000) + Frames(h, 8499);
  const std::string tag = CoverTag(10'000);
  ASSERT_EQ(AnalyzeBytes("vbri.mp3", tag + audio + Id3v1Tag(Id3v1Fields().Title("Song"))), 0);
  EXPECT_TRUE(audio_.IsValid());
  EXPECT_EQ(data().BitRate, -1);
  EXPECT_EQ(data().Duration, 222);     // 8500 x 1152 / 44100 = 222.04 s
  EXPECT_EQ(data().FrameLength, 104);  // the audio bytes, without the tags, per frame
  EXPECT_EQ(data().Title, "Song");

  // MPEG 2.0 single channel: the block stands 32 bytes after the header all the same, and the
  // frames hold 576 samples.
  h = MakeHeader(2, 3, 64, 22050);
  h.mode = 3;
  ASSERT_EQ(AnalyzeBytes("vbri2.mp3", testsupport::VbriFrame(h, 1000, 0) + Frames(h, 10)), 0);
  EXPECT_EQ(data().BitRate, -1);
  EXPECT_EQ(data().Duration, 26);  // 1000 x 576 / 22050 = 26.1 s
}

TEST_F(TaggedFileTest, VbriBlockWithoutFramesOrOutsideLayerThreeIsNotUsed) {
  const MpegHeader h = MakeHeader(1, 3, 128, 44100);
  const std::string empty = testsupport::VbriFrame(h, 0, 0) + Frames(h, 299);
  ASSERT_EQ(AnalyzeBytes("empty.mp3", empty), 0);
  EXPECT_EQ(data().BitRate, 128);
  EXPECT_EQ(data().FrameLength, 417);
  EXPECT_EQ(data().Duration, 7);  // 125 100 bytes at 128 kbit/s

  const MpegHeader layer2 = MakeHeader(1, 2, 128, 44100);
  ASSERT_EQ(AnalyzeBytes("layer2.mp3", testsupport::VbriFrame(layer2, 8500, 0) + Frames(layer2, 30)), 0);
  EXPECT_EQ(data().BitRate, 128);
  EXPECT_EQ(data().Layer, 2);
}

}  // namespace
