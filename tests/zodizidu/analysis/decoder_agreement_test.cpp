// The play time the analysis gives (the window's total time and the position bar's range) against
// the length the decoder library plays, for songs with covers, end tags and VBRI blocks.
#include <gtest/gtest.h>

#include <string>

#include "tests/mpegdll/dll_fixture.h"
#include "tests/support/lame_encoder.h"
#include "tests/support/mpeg_builder.h"
#include "zodizidu/analysis/mpeg_audio.h"
#include "zodizidu/analysis/mpeg_data.h"

namespace {

using testsupport::CoverTag;
using testsupport::GeneratedMp3;
using testsupport::Id3v1Fields;
using testsupport::Id3v1Tag;
using testsupport::LameSettings;

class DecoderAgreementTest : public mpegdlltest::DllTest {
 protected:
  // Writes the song, analyses it and opens it in the decoder; the two lengths must agree within
  // a second. Returns the analysed play time.
  int ExpectSameLength(const std::string& name, const std::string& bytes) {
    const std::string path = Write(name, bytes);
    zodizidu::TMPEGAudio audio;
    audio.SetFileName(path);
    EXPECT_TRUE(audio.IsValid()) << name;
    EXPECT_EQ(dll.OpenFile(path), 0) << name;
    const int decoderMs = dll.GetLength();
    dll.Close();
    EXPECT_GT(decoderMs, 0) << name;
    EXPECT_NEAR(audio.Data().Duration, decoderMs / 1000.0, 1.0) << name;
    return audio.Data().Duration;
  }
};

// The number of frames in `mp3` from its start, each frame's length from its own header.
std::uint32_t CountFrames(const std::string& mp3) {
  zodizidu::TMPEGData data;
  data.FileLength = static_cast<std::int32_t>(mp3.size());
  data.FileStamp = 1;
  std::uint32_t frames = 0;
  for (std::size_t at = 0; at + 4 <= mp3.size(); at += data.FrameLength, ++frames) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(mp3.data() + at);
    if (!zodizidu::DecodeHeader(zodizidu::ReadBE32(std::span<const std::uint8_t, 4>(p, 4)), data)) break;
  }
  return frames;
}

TEST_F(DecoderAgreementTest, ConstantBitRateSongsBehindCoversAndBeforeEndTags) {
  // 8 s at 96 kbit/s behind a 300 KB cover: counting the cover would add 25 s.
  const std::string stereo = GeneratedMp3(8.0, LameSettings{44100, 2, 96, false, true});
  EXPECT_EQ(ExpectSameLength("cover.mp3", CoverTag(300 * 1024) + stereo + Id3v1Tag(Id3v1Fields().Title("S"))), 8);
  // MPEG 2.0 single channel at 32 kbit/s, with an APE tag and an ID3v1 tag after the audio.
  const std::string mono = GeneratedMp3(6.0, LameSettings{22050, 1, 32, false, true}, 2);
  EXPECT_EQ(ExpectSameLength("ends.mp3", CoverTag(60 * 1024, 4096, 3) + mono + testsupport::ApeTag(5000) +
                                             Id3v1Tag(Id3v1Fields().Title("S"))),
            6);
}

TEST_F(DecoderAgreementTest, VariableBitRateSongWithXingBehindACover) {
  const std::string vbr = GeneratedMp3(7.0, LameSettings{44100, 2, 128, true, true}, 4);
  EXPECT_EQ(ExpectSameLength("xing.mp3", CoverTag(200 * 1024, 0, 5) + vbr + Id3v1Tag(Id3v1Fields())), 7);
}

TEST_F(DecoderAgreementTest, VariableBitRateSongWithAVbriBlock) {
  // Variable-rate frames without a Xing frame, led by a silent frame that holds a VBRI block, as
  // the encoders that write one do.
  const std::string frames = GeneratedMp3(9.0, LameSettings{44100, 2, 128, true, false}, 6);
  testsupport::MpegHeader h = testsupport::MakeHeader(1, 3, 128, 44100);
  h.mode = 1;
  const std::uint32_t count = CountFrames(frames) + 1;
  ASSERT_GT(count, 300u);
  const std::string song = testsupport::VbriFrame(h, count, static_cast<std::uint32_t>(frames.size() + 417)) + frames;
  EXPECT_EQ(ExpectSameLength("vbri.mp3", CoverTag(50 * 1024, 0, 7) + song), 9);
}

}  // namespace
