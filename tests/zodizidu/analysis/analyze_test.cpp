// Analyze on generated files: where the first frame pair is found, what lands in the record.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/file_facts.h"
#include "tests/support/mpeg_builder.h"
#include "tests/zodizidu/analysis/analysis_fixture.h"

namespace {

using testsupport::Frame;
using testsupport::Frames;
using testsupport::MakeHeader;
using testsupport::Mp3File;
using testsupport::MpegHeader;

const MpegHeader kCd = MakeHeader(1, 3, 128, 44100);  // 417-byte frames

class AnalyzeTest : public zodizidu_test::AnalysisTest {
 protected:
  // The empty state with the file's facts that a rejected file keeps.
  void ExpectRejected(std::size_t size) {
    EXPECT_FALSE(audio_.IsValid());
    EXPECT_EQ(data().Header, "BAD");
    EXPECT_EQ(data().Title, "[notag]");
    EXPECT_EQ(data().Version, 0);
    EXPECT_EQ(data().BitRate, 0);
    EXPECT_EQ(data().Duration, 0);
    EXPECT_EQ(data().GenreNr, 255);
    EXPECT_EQ(data().FileLength, static_cast<std::int32_t>(size));
    EXPECT_NE(data().FileStamp, 0);
    EXPECT_EQ(data().FileAttr & platform::kAttrArchive, platform::kAttrArchive);
    EXPECT_EQ(audio_.HeaderPos(), static_cast<std::int32_t>(size) + 1);
  }
};

TEST_F(AnalyzeTest, PlainFileGivesHeaderValuesAndFileNameAsTitle) {
  const std::string file = Mp3File(100, std::nullopt, kCd);
  ASSERT_EQ(AnalyzeBytes("Band - Song.mp3", file), 0);
  EXPECT_TRUE(audio_.IsValid());
  EXPECT_EQ(audio_.HeaderPos(), 0);
  EXPECT_EQ(data().Version, 1);
  EXPECT_EQ(data().Layer, 3);
  EXPECT_EQ(data().SampleRate, 44100);
  EXPECT_EQ(data().BitRate, 128);
  EXPECT_EQ(data().FrameLength, 417);
  EXPECT_EQ(data().FileLength, 41700);
  EXPECT_EQ(data().Duration, 41700 * 8 / 128000);
  EXPECT_EQ(data().Header, "BAD");
  EXPECT_EQ(data().Title, "Band - Song.mp3");
  EXPECT_EQ(data().Artist, "[notag]");
  EXPECT_EQ(data().FileName, PathOf("Band - Song.mp3"));
  EXPECT_EQ(data().FileStamp, platform::DosFileStamp(PathOf("Band - Song.mp3")));
  EXPECT_EQ(data().FileAttr, platform::FileAttributes(PathOf("Band - Song.mp3")));
}

TEST_F(AnalyzeTest, FileFactsAreThoseOfTheFileSystem) {
  const std::string hidden = dir_.WriteFile(".hidden.mp3", Mp3File(10)).string();
  ASSERT_EQ(AnalyzePath(hidden), 0);
  EXPECT_EQ(data().FileAttr, platform::FileAttributes(hidden));
  EXPECT_EQ(data().FileAttr & platform::kAttrHidden, platform::kAttrHidden);

  const std::string locked = dir_.WriteFile("locked.mp3", Mp3File(10)).string();
  std::filesystem::permissions(locked, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
  ASSERT_EQ(AnalyzePath(locked), 0);
  EXPECT_EQ(data().FileAttr, platform::FileAttributes(locked));
  EXPECT_EQ(data().FileStamp, platform::DosFileStamp(locked));
  // Root may write anything, so only other users see the file as read-only.
  if (!testsupport::RunningAsRoot()) {
    EXPECT_EQ(data().FileAttr & platform::kAttrReadOnly, platform::kAttrReadOnly);
  }
}

TEST_F(AnalyzeTest, FourMillionBytesAt128KbitPlay250Seconds) {
  std::string file = Frames(kCd, 4'000'000 / 417);
  file.resize(4'000'000, '\0');
  ASSERT_EQ(AnalyzeBytes("long.mp3", file), 0);
  EXPECT_EQ(data().Duration, 250);
  EXPECT_EQ(data().FrameLength, 417);
}

TEST_F(AnalyzeTest, TagFieldsComeFromTheLastBlock) {
  testsupport::Id3v1Fields tag{"Title", "Artist", "Album", "2001", "Note", std::uint8_t{3}, 125, ' '};
  ASSERT_EQ(AnalyzeBytes("tagged.mp3", Mp3File(20, tag, kCd)), 0);
  EXPECT_TRUE(audio_.HasTag());
  EXPECT_EQ(data().Title, "Title");
  EXPECT_EQ(data().Artist, "Artist");
  EXPECT_EQ(data().Album, "Album");
  EXPECT_EQ(data().Year, "2001");
  EXPECT_EQ(data().Comment, "Note");
  EXPECT_EQ(data().Track, 3);
  EXPECT_EQ(audio_.GenreText(), "Dance Hall");
}

TEST_F(AnalyzeTest, LeadingTagAndJunkAreSkipped) {
  const std::string lead = testsupport::Id3v2Block(3000) + testsupport::Junk(1234);
  ASSERT_EQ(AnalyzeBytes("lead.mp3", lead + Mp3File(30, std::nullopt, kCd)), 0);
  EXPECT_EQ(audio_.HeaderPos(), 3000 + 1234);
  EXPECT_EQ(data().BitRate, 128);
}

TEST_F(AnalyzeTest, ValuesComeFromTheConfirmingSecondHeader) {
  MpegHeader first = kCd;
  first.padding = true;  // 418 bytes
  MpegHeader second = kCd;
  second.copyright = true;
  second.mode = 3;
  ASSERT_EQ(AnalyzeBytes("pair.mp3", Frame(first) + Frames(second, 10)), 0);
  EXPECT_EQ(audio_.HeaderPos(), 0);
  EXPECT_FALSE(data().Padding);
  EXPECT_TRUE(data().Copyright);
  EXPECT_EQ(data().Mode, 3);
  EXPECT_EQ(data().FrameLength, 417);
}

TEST_F(AnalyzeTest, FalseHeaderResumesOneByteLater) {
  // FF FF E2 18 is a valid MPEG 1.0 layer I header (448 kbit/s, 488 bytes) that nothing follows;
  // one byte on, FF E2 18 00 is MPEG 2.5 layer III, 8 kbit/s, 8000 Hz with a CRC: 72 bytes.
  MpegHeader inner = MakeHeader(3, 3, 8, 8000);
  inner.crc = true;
  ASSERT_EQ(inner.Bytes(), std::string("\xFF\xE2\x18\x00", 4));
  const std::string junk = testsupport::Junk(500);
  const std::string file = junk + "\xFF" + Frames(inner, 20);
  ASSERT_EQ(AnalyzeBytes("false.mp3", file), 0);
  EXPECT_EQ(audio_.HeaderPos(), 501);
  EXPECT_EQ(data().Version, 3);
  EXPECT_EQ(data().FrameLength, 72);
}

TEST_F(AnalyzeTest, FrameRunningPastTheEndResumesFourBytesLater) {
  // The layer I header at 500 needs 488 bytes, more than the file holds after it; the pair of
  // 72-byte frames one byte on is passed over, because the search goes on four bytes later.
  MpegHeader inner = MakeHeader(3, 3, 8, 8000);
  inner.crc = true;
  const std::string file = testsupport::Junk(500) + "\xFF" + Frames(inner, 2) + std::string(100, '\0');
  ASSERT_LT(file.size(), 500u + 488u);
  EXPECT_EQ(AnalyzeBytes("past.mp3", file), -1);
  ExpectRejected(file.size());
}

TEST_F(AnalyzeTest, ReservedValuesAreNeverAccepted) {
  MpegHeader freeFormat = kCd, index15 = kCd, rate3 = kCd, layer0 = kCd, version1 = kCd;
  freeFormat.bitRateIndex = 0;
  index15.bitRateIndex = 15;
  rate3.sampleRateIndex = 3;
  layer0.layerBits = 0;
  version1.versionBits = 1;
  for (const MpegHeader& bad : {freeFormat, index15, rate3, layer0, version1}) {
    std::string file;
    for (int i = 0; i < 20; ++i) file += bad.Bytes() + std::string(413, '\0');
    EXPECT_EQ(AnalyzeBytes("reserved.mp3", file), -1) << std::hex << bad.Value();
    ExpectRejected(file.size());
  }
}

TEST_F(AnalyzeTest, MpegTwoLayerThreeFramesHold576Samples) {
  // MPEG 2.0 layer III, 64 kbit/s, 22050 Hz: 72000 x 64 / 22050 = 208-byte frames. A second
  // header 208 bytes on confirms the first (the old 144000 factor would look 417 bytes on).
  const MpegHeader h = MakeHeader(2, 3, 64, 22050);
  ASSERT_EQ(AnalyzeBytes("mpeg2.mp3", Frames(h, 300)), 0);
  EXPECT_EQ(data().FrameLength, 208);
  EXPECT_EQ(data().Duration, 7);  // 62400 bytes x 8 / 64000 bit/s = 7.8 s

  // Xing: 1000 frames of 576 samples at 22050 Hz play for 26.12 s.
  ASSERT_EQ(
      AnalyzeBytes("mpeg2-vbr.mp3", testsupport::XingFrame(h, testsupport::XingFields().Frames(1000u)) + Frames(h, 10)),
      0);
  EXPECT_EQ(data().BitRate, -1);
  EXPECT_EQ(data().Duration, 26);
  EXPECT_EQ(data().FrameLength, 11 * 208 / 1000);
}

TEST_F(AnalyzeTest, MpegTwoPointFiveXingFileHasItsRealPlayTime) {
  // MPEG 2.5 layer III, mono, 8000 Hz: "Xing" 13 bytes after the header; 2000 frames of
  // 576 samples are 144 s.
  MpegHeader h = MakeHeader(3, 3, 32, 8000);
  h.mode = 3;
  const std::string file =
      testsupport::XingFrame(h, testsupport::XingFields().Frames(2000u).Bytes(70000u).Toc()) + Frames(h, 5);
  ASSERT_EQ(AnalyzeBytes("mpeg25-vbr.mp3", file), 0);
  EXPECT_EQ(data().Version, 3);
  EXPECT_EQ(data().BitRate, -1);
  EXPECT_EQ(data().Duration, 144);
  EXPECT_EQ(data().FrameLength, static_cast<std::uint16_t>(file.size() / 2000));
}

TEST_F(AnalyzeTest, XingFileTakesPlayTimeAndFrameLengthFromTheFrameCount) {
  // 1152 x 375 / 32000 = 13.5 s, which rounds to the even 14.
  const MpegHeader h = MakeHeader(1, 3, 128, 32000);
  testsupport::Id3v1Fields tag = testsupport::Id3v1Fields().Title("Vbr");
  const std::string file = testsupport::XingFrame(h, testsupport::XingFields().Frames(375u)) + Mp3File(30, tag, h);
  ASSERT_EQ(AnalyzeBytes("vbr.mp3", file), 0);
  EXPECT_TRUE(audio_.IsValid());
  EXPECT_EQ(data().BitRate, -1);
  EXPECT_EQ(data().Duration, 14);
  EXPECT_EQ(data().FrameLength, file.size() / 375);
  EXPECT_EQ(data().Title, "Vbr");
}

TEST_F(AnalyzeTest, XingWithoutFrameCountEndsBeforeTheTag) {
  const MpegHeader h = MakeHeader(1, 3, 128, 44100);
  testsupport::Id3v1Fields tag = testsupport::Id3v1Fields().Title("Never read");
  const std::string file = testsupport::XingFrame(h, testsupport::XingFields().Bytes(5000u)) + Mp3File(30, tag, h);
  EXPECT_EQ(AnalyzeBytes("noframes.mp3", file), -1);
  EXPECT_TRUE(audio_.IsValid());
  EXPECT_EQ(data().BitRate, -1);
  EXPECT_EQ(data().Duration, 0);
  EXPECT_EQ(data().FrameLength, 417);
  EXPECT_EQ(data().Header, "BAD");
  EXPECT_EQ(data().Title, "[notag]");
}

TEST_F(AnalyzeTest, XingIsLookedForAfterTheSideInformation) {
  // "Xing" at the mono offset of an MPEG 1.0 stereo frame is no Xing block.
  MpegHeader h = kCd;
  std::string first = Frame(h);
  first.replace(4 + 17, 4, "Xing");
  ASSERT_EQ(AnalyzeBytes("misplaced.mp3", first + Frames(h, 5)), 0);
  EXPECT_EQ(data().BitRate, 128);
}

TEST_F(AnalyzeTest, TinyFilesAreNotAnalysed) {
  for (std::size_t size = 0; size <= 5; ++size) {
    EXPECT_EQ(AnalyzeBytes("tiny.mp3", kCd.Bytes().append(2, '\0').substr(0, size)), 0) << size;
    EXPECT_FALSE(audio_.IsValid());
    EXPECT_EQ(data().FileLength, 0);
    EXPECT_EQ(data().FileStamp, 0);
    EXPECT_EQ(data().Title, "[notag]");
    EXPECT_EQ(data().FileName, PathOf("tiny.mp3"));
  }
}

TEST_F(AnalyzeTest, LoneHeaderWithoutRoomIsRejected) {
  // Six bytes: the header at 0 would need 417; after it two bytes cannot hold another try.
  EXPECT_EQ(AnalyzeBytes("six.mp3", kCd.Bytes() + std::string(2, '\0')), -1);
  EXPECT_FALSE(audio_.IsValid());
  EXPECT_EQ(data().FileLength, 6);
  EXPECT_EQ(data().Title, "[notag]");
}

TEST_F(AnalyzeTest, SecondHeaderReadRunningOffTheEndKeepsTheFirst) {
  // With a CRC the frame may end up to two bytes past the end of the file; the four bytes of a
  // second header cannot be read there.
  MpegHeader h = kCd;
  h.crc = true;
  std::string file = Frame(h) + "\xFF";
  EXPECT_EQ(AnalyzeBytes("cut.mp3", file), -1);
  EXPECT_TRUE(audio_.IsValid());
  EXPECT_EQ(audio_.HeaderPos(), 0);
  EXPECT_EQ(data().BitRate, 128);
  EXPECT_EQ(data().Title, "[notag]");
}

TEST_F(AnalyzeTest, HeaderWithoutSecondFrameIsRejected) {
  const std::string file = Frame(kCd) + std::string(1000, '\0');
  EXPECT_EQ(AnalyzeBytes("single.mp3", file), -1);
  ExpectRejected(file.size());
}

TEST_F(AnalyzeTest, TagIsReadOnlyFromFilesLongerThan128Bytes) {
  // MPEG 2.5 layer III, 8 kbit/s, 8000 Hz frames are 72 bytes: a pair fits in 128 bytes.
  const MpegHeader small = MakeHeader(3, 3, 8, 8000);
  std::string file = Frames(small, 2).substr(0, 128);
  ASSERT_EQ(AnalyzeBytes("small.mp3", file), 0);
  EXPECT_EQ(data().Title, "[notag]");
  ASSERT_EQ(AnalyzeBytes("small.mp3", file + '\0'), 0);
  EXPECT_EQ(data().Title, "small.mp3");
}

TEST_F(AnalyzeTest, ScanLimitEndsTheSearch) {
  const std::string file = testsupport::Junk(10000) + Mp3File(10, std::nullopt, kCd);
  audio_.SetScanLimit(5000);
  EXPECT_EQ(AnalyzeBytes("far.mp3", file), -1);
  ExpectRejected(file.size());
  // The header at 10000 is tried at position 10004; the search gives up once a failed try
  // leaves it beyond the limit, so it must get past 10003.
  audio_.SetScanLimit(10002);
  EXPECT_EQ(AnalyzeBytes("far.mp3", file), -1);
  audio_.SetScanLimit(10003);
  EXPECT_EQ(AnalyzeBytes("far.mp3", file), 0);
  EXPECT_EQ(audio_.HeaderPos(), 10000);
  audio_.SetScanLimit(-1);  // negative: no limit
  EXPECT_EQ(AnalyzeBytes("far.mp3", file), 0);
}

TEST_F(AnalyzeTest, DataOfAPreviousFileNeverSurvives) {
  testsupport::Id3v1Fields tag = testsupport::Id3v1Fields().Title("First");
  ASSERT_EQ(AnalyzeBytes("a.mp3", Mp3File(10, tag, kCd)), 0);
  ASSERT_TRUE(audio_.HasTag());
  EXPECT_EQ(AnalyzeBytes("b.mp3", testsupport::Junk(5000)), -1);
  ExpectRejected(5000);
  EXPECT_EQ(data().FileName, PathOf("b.mp3"));
}

TEST_F(AnalyzeTest, RelativeNamesAreCompletedAndFoundIgnoringCase) {
  dir_.WriteFile("Album/Song.MP3", Mp3File(10, std::nullopt, kCd));
  testsupport::ScopedCurrentDir cwd(dir_.path());
  EXPECT_EQ(AnalyzePath("./album/song.mp3"), 0);
  EXPECT_TRUE(audio_.IsValid());
  EXPECT_EQ(data().FileName, std::filesystem::current_path().string() + "/album/song.mp3");
  EXPECT_EQ(data().Title, "song.mp3");
}

TEST_F(AnalyzeTest, FileOfMoreThan2GiBSaturatesItsLength) {
  // A sparse file: MPEG 1.0 layer I frames at 448 kbit/s at the start, a tag at the very end,
  // 3 GiB in all: 3 x 2^30 x 8 / 448000 = 57521 s, which the whole length gives.
  const MpegHeader h = MakeHeader(1, 1, 448, 44100);
  const std::string path = PathOf("huge.mp3");
  dir_.WriteFile("huge.mp3", Mp3File(10, std::nullopt, h));
  const std::int64_t size = std::int64_t{3} << 30;
  std::filesystem::resize_file(path, static_cast<std::uintmax_t>(size - 128));
  {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out << testsupport::Id3v1Tag(testsupport::Id3v1Fields().Title("Huge"));
  }
  ASSERT_EQ(std::filesystem::file_size(path), static_cast<std::uintmax_t>(size));
  ASSERT_EQ(AnalyzePath(path), 0);
  EXPECT_EQ(data().FileLength, INT_MAX);
  EXPECT_EQ(data().Duration, 57521);
  EXPECT_EQ(data().Title, "Huge");
}

}  // namespace

namespace {

// A song whose modification time lies before 1980 (an archive or a copy that lost its dates)
// is still a good song: its time stamp is clamped, not lost.
TEST_F(AnalyzeTest, SongDatedBefore1980IsAccepted) {
  const std::string file = Mp3File(100, std::nullopt, kCd);
  ASSERT_EQ(AnalyzeBytes("old.mp3", file), 0);
  std::filesystem::last_write_time(PathOf("old.mp3"), std::filesystem::file_time_type::clock::from_sys(
                                                          std::chrono::sys_seconds{std::chrono::seconds{0}}));
  ASSERT_EQ(AnalyzePath(PathOf("old.mp3")), 0);
  EXPECT_TRUE(audio_.IsValid());
  EXPECT_NE(data().FileStamp, 0);
  EXPECT_EQ(data().FileStamp >> 25, 0);  // year 1980
}

}  // namespace
