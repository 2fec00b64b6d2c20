// The ID3v1 tag block, the strip rules and the genre table.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/support/mpeg_builder.h"
#include "zodizidu/analysis/genre_table.h"
#include "zodizidu/analysis/id3v1_tag.h"
#include "zodizidu/analysis/mpeg_data.h"

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

}  // namespace
