// Texts and pictures of ID3v2 tags of every version and text encoding, built frame by frame.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/mpeg_builder.h"
#include "tests/zodizidu/analysis/analysis_fixture.h"
#include "zodizidu/analysis/embedded_picture.h"

namespace {

using testsupport::Id3v1Fields;
using testsupport::Id3v2Fields;
using testsupport::Id3v2Frame;
using testsupport::Id3v2Tag;
using zodizidu::TagSource;

using Id3v2Test = zodizidu_test::AnalysisTest;

// A frame of a version 2.2 tag: three-character identifier, three-byte size.
std::string Frame22(std::string_view id, std::string_view content) {
  const auto n = content.size();
  return std::string(id) + char(n >> 16) + char(n >> 8 & 0xFF) + char(n & 0xFF) + std::string(content);
}

// A text frame's content: the encoding byte (0 Latin-1, 1 UTF-16 with a byte-order mark, written
// little-endian, 2 UTF-16BE, 3 UTF-8), then `text`, given in Latin-1 (in UTF-8 for encoding 3).
std::string Text(int encoding, std::string_view text) {
  std::string out = encoding == 1 ? "\1\xFF\xFE" : std::string(1, static_cast<char>(encoding));
  for (char c : text)
    out += encoding == 1 ? std::string{c, '\0'} : encoding == 2 ? std::string{'\0', c} : std::string(1, c);
  return out;
}

// Unsynchronisation: a zero byte after every 0xFF followed by a sync pattern's byte or a zero.
std::string Unsynchronised(std::string_view bytes) {
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    out += bytes[i];
    const unsigned char next = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
    if (bytes[i] == '\xFF' && (next >= 0xE0 || next == 0)) out += '\0';
  }
  return out;
}

std::string Song() { return testsupport::Mp3File(20); }

struct TextCase {
  const char* what;
  std::string file;
  std::string title;
  const char* artist;
  const char* album;
  const char* year;
  const char* genre;
  const char* comment;
  int genreNr;
};

TEST_F(Id3v2Test, TextsOfEveryVersionEncodingAndPlaceStandInForAMissingId3v1Tag) {
  const std::string v23 = Id3v2Frame("TIT2", Text(1, "Caff\xE8")) + Id3v2Frame("TPE1", Text(0, "Banda")) +
                          Id3v2Frame("TALB", Text(0, "Album")) + Id3v2Frame("TYER", Text(0, "1999")) +
                          Id3v2Frame("TCON", Text(0, "(17)")) + Id3v2Frame("COMM", std::string("\0engsaid\0no", 11)) +
                          Id3v2Frame("COMM", std::string("\0eng\0yes", 8));
  const std::string v24 = Id3v2Frame("TIT2", Text(3, "Citt\xC3\xA0"), 4) + Id3v2Frame("TPE1", Text(2, "Voce"), 4) +
                          Id3v2Frame("TDRC", Text(3, "2010-05-01"), 4) +
                          Id3v2Frame("TCON", Text(3, std::string("13\0Synthwave", 12)), 4) +
                          Id3v2Frame("COMM", std::string("\3engonly\0one", 12), 4);
  std::string unsyncFrame = Id3v2Frame("TIT2", Unsynchronised(Text(1, "Perch\xE9")), 4);
  unsyncFrame[9] = '\x02';  // the frame's own unsynchronisation flag
  const std::string v22 = Frame22("TT2", Text(0, "Vecchio")) + Frame22("TP1", Text(1, "Band")) +
                          Frame22("TYE", Text(0, "1987")) + Frame22("TCO", Text(0, "Synthwave")) +
                          Frame22("COM", std::string("\0eng\0c", 6));
  const std::string ext23 = std::string("\0\0\0\x06\0\0\0\0\0\0", 10);  // size 6 (itself not counted)
  const std::string ext24 = std::string("\0\0\0\x06\x01\0", 6);         // size 6 (itself counted)
  // 41 bytes, the 30th of which begins a character.
  std::string longTitle = "x";
  for (int i = 0; i < 20; ++i) longTitle += "\xC3\xA0";
  const std::vector<TextCase> cases = {
      {"2.3, Latin-1 and UTF-16, genre reference", Id3v2Tag(Id3v2Fields().Body(v23).Padding(200)) + Song(),
       "Caff\xC3\xA8", "Banda", "Album", "1999", "Rock", "yes", 17},
      {"2.4, UTF-8 and UTF-16BE, two genres", Id3v2Tag(Id3v2Fields().Version(4).Body(v24)) + Song(), "Citt\xC3\xA0",
       "Voce", "", "2010", "Pop / Synthwave", "one", 13},
      {"2.2", Id3v2Tag(Id3v2Fields().Version(2).Body(v22).Padding(50)) + Song(), "Vecchio", "Band", "", "1987",
       "Synthwave", "c", 255},
      {"2.3 unsynchronised", Id3v2Tag(Id3v2Fields().Flags(0x80).Body(Unsynchronised(v23))) + Song(), "Caff\xC3\xA8",
       "Banda", "Album", "1999", "Rock", "yes", 17},
      {"2.4 frame unsynchronised", Id3v2Tag(Id3v2Fields().Version(4).Body(unsyncFrame)) + Song(), "Perch\xC3\xA9", "",
       "", "", "", "", 255},
      {"2.3 extended header", Id3v2Tag(Id3v2Fields().Flags(0x40).Body(ext23 + v23)) + Song(), "Caff\xC3\xA8", "Banda",
       "Album", "1999", "Rock", "yes", 17},
      {"2.4 extended header", Id3v2Tag(Id3v2Fields().Version(4).Flags(0x40).Body(ext24 + v24)) + Song(), "Citt\xC3\xA0",
       "Voce", "", "2010", "Pop / Synthwave", "one", 13},
      {"2.4 at the end", Song() + Id3v2Tag(Id3v2Fields().Version(4).Body(v24).Footer()), "Citt\xC3\xA0", "Voce", "",
       "2010", "Pop / Synthwave", "one", 13},
      {"longer than the record", Id3v2Tag(Id3v2Fields().Body(Id3v2Frame("TIT2", Text(3, longTitle)))) + Song(),
       longTitle, "", "", "", "", "", 255},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(AnalyzeBytes("song.mp3", c.file), 0);
    ASSERT_TRUE(audio_.IsValid());
    EXPECT_EQ(audio_.Tags(), TagSource::kId3v2);
    EXPECT_FALSE(audio_.HasTag());
    EXPECT_EQ(audio_.Title(), c.title);
    EXPECT_EQ(audio_.Artist(), c.artist);
    EXPECT_EQ(audio_.Album(), c.album);
    EXPECT_EQ(audio_.Year(), c.year);
    EXPECT_EQ(audio_.GenreText(), c.genre);
    EXPECT_EQ(audio_.Comment(), c.comment);
    EXPECT_EQ(audio_.GuessedTitle(), c.title);
    EXPECT_EQ(data().GenreNr, c.genreNr);
    if (c.title.size() <= 30) {
      EXPECT_EQ(data().Title.str(), c.title);
    }
    EXPECT_EQ(data().Header, "ID3");
  }
  // The record holds as many whole characters as fit its 30 bytes.
  EXPECT_EQ(data().Title.str(), longTitle.substr(0, 29));
}

TEST_F(Id3v2Test, AnId3v1TagWinsAndATagWithoutTextsIsNoTag) {
  const std::string v2 =
      Id3v2Tag(Id3v2Fields().Body(Id3v2Frame("TIT2", Text(0, "Two")) + Id3v2Frame("TALB", Text(0, "Other"))));
  ASSERT_EQ(AnalyzeBytes("both.mp3", v2 + testsupport::Mp3File(20, Id3v1Fields().Title("One").Genre(255))), 0);
  EXPECT_EQ(audio_.Tags(), TagSource::kId3v1);
  EXPECT_EQ(audio_.Title(), "One");
  EXPECT_EQ(audio_.Album(), "");
  EXPECT_EQ(audio_.GenreText(), "Unknown");

  // Only a picture: the file counts as untagged.
  ASSERT_EQ(AnalyzeBytes("Band - Song.mp3", testsupport::Id3v2Tag(Id3v2Fields().Body(
                                                testsupport::Id3v2PictureFrame(testsupport::CoverPicture(300)))) +
                                                Song()),
            0);
  EXPECT_EQ(audio_.Tags(), TagSource::kNone);
  EXPECT_EQ(audio_.Title(), "Unknown Title");
  EXPECT_EQ(audio_.GuessedTitle(), "Song");
  EXPECT_EQ(audio_.Album(), "[notag]");
}

// A picture frame: encoding, MIME type, picture type, description, the picture.
std::string Picture(char type, std::string_view bytes, std::string_view mime = "image/jpeg") {
  return Id3v2Frame(
      "APIC", std::string(1, '\0') + std::string(mime) + '\0' + type + std::string("d\0", 2) + std::string(bytes));
}

TEST(EmbeddedPictureTest, FrontCoverElseFirstJpegOrPng) {
  testsupport::TempDir dir;
  const std::string jpeg = testsupport::CoverPicture(2000, 1);
  const std::string other = testsupport::CoverPicture(3000, 2);
  const std::string png = std::string("\x89PNG\r\n\x1A\n", 8) + std::string(500, 'p');
  const std::string gif = "GIF89a" + std::string(100, 'g');
  const std::string huge = testsupport::CoverPicture(zodizidu::kMaxEmbeddedPictureBytes + 1, 3);
  const std::string pic22 = Frame22("PIC", std::string("\0PNG\x03\0", 6) + png);
  struct Case {
    const char* what;
    std::string tag;
    std::string expected;  // the picture's bytes; empty: none
    const char* mime;
  };
  const std::vector<Case> cases = {
      {"front cover after a back cover", Id3v2Tag(Id3v2Fields().Body(Picture(4, other) + Picture(3, jpeg))), jpeg,
       "image/jpeg"},
      {"no front cover: the first", Id3v2Tag(Id3v2Fields().Body(Picture(0, png, "image/png") + Picture(4, other))), png,
       "image/png"},
      {"version 2.2", Id3v2Tag(Id3v2Fields().Version(2).Body(pic22)), png, "image/png"},
      {"neither JPEG nor PNG", Id3v2Tag(Id3v2Fields().Body(Picture(3, gif, "image/gif"))), "", ""},
      {"a front cover over the limit is passed over",
       Id3v2Tag(Id3v2Fields().Body(Picture(3, huge) + Picture(4, other))), other, "image/jpeg"},
      {"no picture", Id3v2Tag(Id3v2Fields().Body(Id3v2Frame("TIT2", Text(0, "x")))), "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = dir.WriteFile("song.mp3", c.tag + Song()).string();
    const std::optional<zodizidu::EmbeddedPicture> picture = zodizidu::ReadEmbeddedPicture(path);
    ASSERT_EQ(picture.has_value(), !c.expected.empty());
    if (!picture) continue;
    EXPECT_EQ(std::string(picture->bytes.begin(), picture->bytes.end()), c.expected);
    EXPECT_EQ(picture->mimeType, c.mime);
  }
  // The same picture in another song is the same picture; another one is not.
  const std::string a = dir.WriteFile("a.mp3", Id3v2Tag(Id3v2Fields().Body(Picture(3, jpeg))) + Song()).string();
  const std::string b = dir.WriteFile("B.MP3", Id3v2Tag(Id3v2Fields().Body(Picture(3, jpeg)).Padding(70)) + Song());
  const std::string c = dir.WriteFile("c.mp3", Id3v2Tag(Id3v2Fields().Body(Picture(3, other))) + Song()).string();
  const auto identity = [](const std::string& path) { return zodizidu::ReadEmbeddedPicture(path)->identity; };
  EXPECT_TRUE(identity(a).SamePicture(identity(dir.str() + "/b.mp3")));
  EXPECT_FALSE(identity(a).SamePicture(identity(c)));
  EXPECT_FALSE(zodizidu::ReadEmbeddedPicture(dir.str() + "/missing.mp3"));
}

}  // namespace
