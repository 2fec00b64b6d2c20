// The ID3v1 tag block, the strip rules, the genre table and the Xing block.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/mpeg_builder.h"
#include "zodizidu/analysis/genre_table.h"
#include "zodizidu/analysis/id3v1_tag.h"
#include "zodizidu/analysis/mpeg_data.h"
#include "zodizidu/analysis/xing_header.h"

namespace {

using testsupport::Id3v1Fields;
using zodizidu::TMPEGData;

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// A record in the empty state, as the tag step finds it.
TMPEGData EmptyRecord() {
  TMPEGData data;
  data.Header = "BAD";
  data.Title = data.Artist = data.Album = data.Comment = "[notag]";
  data.Year = "    ";
  data.GenreNr = 255;
  return data;
}

TEST(StripTest, CutsAtTheFirstNulThenDropsTrailingBlanksAndNuls) {
  EXPECT_EQ(zodizidu::StripRight("Song" + std::string(26, ' ')), "Song");
  EXPECT_EQ(zodizidu::StripRight("  Song  "), "  Song");
  EXPECT_EQ(zodizidu::StripRight(std::string("AB\0CD  ", 7)), "AB");
  EXPECT_EQ(zodizidu::StripRight(std::string("AB \0", 4)), "AB");
  EXPECT_EQ(zodizidu::StripRight(std::string("\0Song", 5)), "");
  EXPECT_EQ(zodizidu::StripRight("   "), "");
  EXPECT_EQ(zodizidu::StripLeft("  Song  "), "Song  ");
  EXPECT_EQ(zodizidu::Strip(std::string("  Band \0x", 9)), "Band");
  EXPECT_EQ(zodizidu::Strip(""), "");
}

TEST(Id3v1TagTest, FillsEveryFieldOfATag) {
  Id3v1Fields fields{"Song", "  Band", "Album", "1999", "A comment", std::uint8_t{7}, 17, ' '};
  const auto block = Bytes(testsupport::Id3v1Tag(fields));
  TMPEGData data = EmptyRecord();
  zodizidu::ReadId3v1Tag(block, "file.mp3", data);
  EXPECT_EQ(data.Header, "TAG");
  EXPECT_EQ(data.Title, "Song");
  EXPECT_EQ(data.Artist, "  Band");  // leading blanks stay
  EXPECT_EQ(data.Album, "Album");
  EXPECT_EQ(data.Year, "1999");
  EXPECT_EQ(data.Comment, "A comment");
  EXPECT_EQ(data.Track, 7);
  EXPECT_EQ(data.GenreNr, 17);
}

TEST(Id3v1TagTest, TrackAndCommentShareTheLastCommentByte) {
  // 28 comment characters, byte 125 zero, byte 126 the track.
  Id3v1Fields withTrack;
  withTrack.comment = std::string(28, 'c');
  withTrack.track = 7;
  TMPEGData data = EmptyRecord();
  zodizidu::ReadId3v1Tag(Bytes(testsupport::Id3v1Tag(withTrack)), "f", data);
  EXPECT_EQ(data.Comment, std::string(28, 'c'));
  EXPECT_EQ(data.Track, 7);

  // A comment filling all 30 bytes: the track is the code of its last character.
  Id3v1Fields full;
  full.comment = std::string(29, 'x') + "A";
  data = EmptyRecord();
  zodizidu::ReadId3v1Tag(Bytes(testsupport::Id3v1Tag(full)), "f", data);
  EXPECT_EQ(data.Comment, full.comment);
  EXPECT_EQ(data.Track, 'A');
}

TEST(Id3v1TagTest, YearKeepsItsBytesAndTextsAreCutAtNul) {
  Id3v1Fields fields;
  fields.title = std::string("AB\0CD", 5);
  TMPEGData data = EmptyRecord();
  zodizidu::ReadId3v1Tag(Bytes(testsupport::Id3v1Tag(fields)), "f", data);
  EXPECT_EQ(data.Title, "AB");
  EXPECT_EQ(data.Year.str(), std::string(4, '\0'));
  EXPECT_EQ(data.Artist, "");
  EXPECT_EQ(data.GenreNr, 255);
}

TEST(Id3v1TagTest, WithoutTagOnlyTheTitleTakesTheFileName) {
  auto block = Bytes(testsupport::Id3v1Tag({}));
  block[0] = 't';  // "tAG": the marker is case-sensitive
  TMPEGData data = EmptyRecord();
  zodizidu::ReadId3v1Tag(block, "Artist - A Rather Long Song Title.mp3", data);
  EXPECT_EQ(data.Header, "BAD");
  EXPECT_EQ(data.Title, "Artist - A Rather Long Song Ti");  // cut to 30
  EXPECT_EQ(data.Artist, "[notag]");
  EXPECT_EQ(data.Album, "[notag]");
  EXPECT_EQ(data.Comment, "[notag]");
  EXPECT_EQ(data.Year, "    ");
  EXPECT_EQ(data.GenreNr, 255);
  EXPECT_EQ(data.Track, 0);
}

TEST(GenreTest, HoldsTheNamesOfCodesZeroTo125) {
  EXPECT_EQ(zodizidu::kGenreTable.size(), 126u);
  EXPECT_EQ(zodizidu::GenreText(0), "Blues");
  EXPECT_EQ(zodizidu::GenreText(14), "R&B");
  EXPECT_EQ(zodizidu::GenreText(40), "AlternRock");
  EXPECT_EQ(zodizidu::GenreText(67), "Psychadelic");
  EXPECT_EQ(zodizidu::GenreText(79), "Hard Rock");
  EXPECT_EQ(zodizidu::GenreText(80), "Folk");
  EXPECT_EQ(zodizidu::GenreText(92), "Progessive Rock");
  EXPECT_EQ(zodizidu::GenreText(123), "A capella");
  EXPECT_EQ(zodizidu::GenreText(125), "Dance Hall");
  EXPECT_EQ(zodizidu::GenreText(126), "Unknown");
  EXPECT_EQ(zodizidu::GenreText(255), "Unknown");
}

TEST(XingTest, FrameCountOnlyWhenFlagBitZeroIsSet) {
  const auto withFrames = Bytes(testsupport::XingBlock(testsupport::XingFields().Frames(0x01020304u).Bytes(99u).Toc()));
  EXPECT_EQ(zodizidu::XingFrameCount(std::span(withFrames).subspan(4)), 0x01020304u);
  const auto bytesOnly = Bytes(testsupport::XingBlock(testsupport::XingFields().Bytes(5000u).Quality(80u)));
  EXPECT_EQ(zodizidu::XingFrameCount(std::span(bytesOnly).subspan(4)), 0u);
  const std::vector<std::uint8_t> cut{0, 0, 0, 1, 0, 0};
  EXPECT_EQ(zodizidu::XingFrameCount(cut), 0u);
}

TEST(XingTest, DurationRoundsHalvesToEven) {
  using zodizidu::XingDuration;
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

}  // namespace
