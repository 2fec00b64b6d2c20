// TMPEGAudio: defaults, the FileName property, the texts and the values guessed from file names.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/mpeg_builder.h"
#include "tests/zodizidu/analysis/analysis_fixture.h"

namespace {

using testsupport::Id3v1Fields;
using testsupport::Mp3File;
using zodizidu::TMPEGAudio;

// Packs a date and time the way the file system's stamps are packed.
std::int32_t Stamp(int year, int month, int day, int hour, int minute, int second) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(year - 1980) << 25 |
                                   static_cast<std::uint32_t>(month) << 21 | static_cast<std::uint32_t>(day) << 16 |
                                   static_cast<std::uint32_t>(hour) << 11 | static_cast<std::uint32_t>(minute) << 5 |
                                   static_cast<std::uint32_t>(second / 2));
}

class MpegAudioTest : public zodizidu_test::AnalysisTest {};

TEST_F(MpegAudioTest, FreshObjectHoldsAZeroRecordAndTheDefaults) {
  const TMPEGAudio audio;
  EXPECT_FALSE(audio.IsValid());
  EXPECT_FALSE(audio.HasTag());
  EXPECT_EQ(audio.GenreText(), "Blues");  // code 0: the record is zero, not reset
  EXPECT_EQ(audio.Data().Header, "");
  EXPECT_EQ(audio.Title(), "Unknown Title");
  EXPECT_EQ(audio.Artist(), "Unknown Artist");
  EXPECT_EQ(audio.ScanLimit(), 0);
  EXPECT_TRUE(audio.AutoRead());
  EXPECT_EQ(audio.HeaderPos(), 0);
  EXPECT_EQ(audio.TemplateResult(), "");
  EXPECT_EQ(audio.FileDateTime(), 0.0);
}

TEST_F(MpegAudioTest, ResetDataGivesTheEmptyState) {
  TMPEGAudio audio;
  audio.ResetData();
  EXPECT_EQ(audio.Data().Header, "BAD");
  EXPECT_EQ(audio.Data().Title, "[notag]");
  EXPECT_EQ(audio.Data().Artist, "[notag]");
  EXPECT_EQ(audio.Data().Album, "[notag]");
  EXPECT_EQ(audio.Data().Comment, "[notag]");
  EXPECT_EQ(audio.Data().Year, "    ");
  EXPECT_EQ(audio.Data().GenreNr, 255);
  EXPECT_EQ(audio.GenreText(), "Unknown");
  EXPECT_EQ(audio.Data().FileName, "");
}

TEST_F(MpegAudioTest, SettingFileNameAnalysesOnlyWithAutoRead) {
  const std::string path = dir_.WriteFile("song.mp3", Mp3File(10)).string();
  TMPEGAudio manual;
  manual.SetAutoRead(false);
  manual.SetFileName(path);
  EXPECT_EQ(manual.FileName(), path);
  EXPECT_FALSE(manual.IsValid());
  EXPECT_EQ(manual.Data().Header, "");

  TMPEGAudio automatic;
  automatic.SetFileName(path);
  EXPECT_TRUE(automatic.IsValid());
  EXPECT_EQ(automatic.Data().Title, "song.mp3");

  // The record's field holds 255 characters; the object keeps the whole name.
  TMPEGAudio cut;
  cut.SetAutoRead(false);
  cut.SetFileName(std::string(300, 'x'));
  EXPECT_EQ(cut.Data().FileName.size(), 255u);
  EXPECT_EQ(cut.FileName(), std::string(300, 'x'));
}

// A folder inside the test's folder whose full path is longer than the record's 255 characters.
std::filesystem::path DeepFolder(const testsupport::TempDir& dir) {
  std::string relative;
  for (int level = 0; level < 6; ++level)
    relative += (level ? "/" : "") + std::string(50, static_cast<char>('a' + level));
  return dir.MakeDir(relative);
}

TEST_F(MpegAudioTest, PathLongerThanTheRecordIsOpenedAndNamedWhole) {
  const std::filesystem::path deep = DeepFolder(dir_);
  const std::string path = (deep / "Band - Song.mp3").string();
  ASSERT_GT(path.size(), 300u);
  dir_.WriteFile((deep / "Band - Song.mp3").lexically_relative(dir_.path()).string(), Mp3File(10));

  EXPECT_EQ(AnalyzePath(path), 0);
  EXPECT_TRUE(audio_.IsValid());
  EXPECT_EQ(audio_.FileName(), path);
  EXPECT_EQ(audio_.Data().FileName.str(), path.substr(0, 255));
  EXPECT_EQ(audio_.Data().Title.str(), "Band - Song.mp3");
  EXPECT_EQ(audio_.GuessedArtist(), "Band");
  EXPECT_EQ(audio_.GuessedTitle(), "Song");
  EXPECT_EQ(audio_.Analyze(), 0) << "a second analysis reads the same file";
  EXPECT_TRUE(audio_.IsValid());
  EXPECT_EQ(audio_.FileName(), path);

  // A short relative name whose full path is long.
  const testsupport::ScopedCurrentDir inside(deep);
  TMPEGAudio relative;
  relative.SetFileName("Band - Song.mp3");
  EXPECT_TRUE(relative.IsValid());
  EXPECT_EQ(relative.FileName(), path);
  EXPECT_EQ(relative.Data().Title.str(), "Band - Song.mp3");
  EXPECT_EQ(relative.ExtractedTitle(), "Song");
  EXPECT_TRUE(relative.ShortPathName().ends_with("/BAND-S~1.MP3") ||
              relative.ShortPathName() == "Error converting long filename to short.");

  relative.ResetData();
  EXPECT_EQ(relative.FileName(), "");
  relative.SetFileName("Gone - Song.mp3");
  EXPECT_EQ(relative.Data().Title.str(), "[not found: Gone - Song.mp3]");
  EXPECT_EQ(relative.FileName(), (deep / "Gone - Song.mp3").string());
}

TEST_F(MpegAudioTest, TaglessFileGuessesArtistAndTitleFromItsName) {
  audio_.SetFileName(dir_.WriteFile("Band - Song.mp3", Mp3File(10)).string());
  ASSERT_TRUE(audio_.IsValid());
  EXPECT_EQ(audio_.Title(), "Unknown Title");
  EXPECT_EQ(audio_.Artist(), "Unknown Artist");
  EXPECT_EQ(audio_.ExtractedArtist(), "Band");
  EXPECT_EQ(audio_.ExtractedTitle(), "Song");
  EXPECT_EQ(audio_.GuessedArtist(), "Band");
  EXPECT_EQ(audio_.GuessedTitle(), "Song");
  EXPECT_EQ(audio_.Data().Title, "Band - Song.mp3");
}

TEST_F(MpegAudioTest, TagWinsEvenWithABlankArtist) {
  Id3v1Fields tag = testsupport::Id3v1Fields().Title("Tagged").Fill(' ');
  audio_.SetFileName(dir_.WriteFile("Band - Song.mp3", Mp3File(10, tag)).string());
  ASSERT_TRUE(audio_.HasTag());
  EXPECT_EQ(audio_.Artist(), "");
  EXPECT_EQ(audio_.GuessedArtist(), "");
  EXPECT_EQ(audio_.Title(), "Tagged");
  EXPECT_EQ(audio_.GuessedTitle(), "Tagged");
  EXPECT_EQ(audio_.ExtractedArtist(), "Band");
}

TEST_F(MpegAudioTest, EmptyDefaultsShowTheRecord) {
  audio_.SetDefaultTitle("");
  audio_.SetDefaultArtist("");
  audio_.SetFileName(dir_.WriteFile("NoDash.mp3", Mp3File(10)).string());
  EXPECT_EQ(audio_.Title(), "NoDash.mp3");
  EXPECT_EQ(audio_.Artist(), "[notag]");
  EXPECT_EQ(audio_.GuessedTitle(), "");
  audio_.SetFileName(PathOf("gone.mp3"));
  EXPECT_EQ(audio_.Title(), "[not found: gone.mp3]");
}

TEST_F(MpegAudioTest, NameSplitsAtTheFirstDash) {
  struct Case {
    const char* name;
    const char* artist;
    const char* title;
  };
  for (const Case& c : {Case{"Band - Song.mp3", "Band", "Song"}, Case{"Up-Side - Song.mp3", "Up", "Side - Song"},
                        Case{"A - B.C.mp3", "A", "B.C"}, Case{"Song.mp3", "", ""}, Case{"  X  -  Y  ", "X", "Y"},
                        Case{"-Title.mp3", "", "Title"}, Case{"Band - .mp3", "Band", ""}}) {
    TMPEGAudio audio;
    audio.SetAutoRead(false);
    audio.SetFileName(std::string("/music/") + c.name);
    EXPECT_EQ(audio.ExtractedArtist(), c.artist) << c.name;
    EXPECT_EQ(audio.ExtractedTitle(), c.title) << c.name;
  }
  TMPEGAudio noDash;
  noDash.SetAutoRead(false);
  noDash.SetFileName("/music/Song.mp3");
  EXPECT_EQ(noDash.GuessedArtist(), "Unknown Artist");
  EXPECT_EQ(noDash.GuessedTitle(), "Unknown Title");
  // The dash of a folder name does not count.
  noDash.SetFileName("/Band - Album/Song.mp3");
  EXPECT_EQ(noDash.ExtractedArtist(), "");
}

TEST_F(MpegAudioTest, FlagTextsFollowTheRecord) {
  testsupport::MpegHeader h = testsupport::MakeHeader(1, 3, 128, 44100);
  h.copyright = true;
  h.crc = true;
  audio_.SetFileName(dir_.WriteFile("flags.mp3", testsupport::Frames(h, 5)).string());
  ASSERT_TRUE(audio_.IsValid());
  EXPECT_EQ(audio_.CopyrightText("Yes", "No"), "Yes");
  EXPECT_EQ(audio_.OriginalText("Yes", "No"), "No");
  EXPECT_EQ(audio_.ErrorProtText("*", " "), "*");
  EXPECT_EQ(audio_.VersionText(), "1.0");
  EXPECT_EQ(audio_.LayerText(), "III");
  EXPECT_EQ(audio_.ModeText(), "Stereo");
}

TEST(DateTimeTest, StampsBecomeDaysSince30December1899) {
  using zodizidu::DosStampToDateTime;
  EXPECT_DOUBLE_EQ(DosStampToDateTime(Stamp(1980, 1, 1, 0, 0, 0)), 29221.0);
  EXPECT_DOUBLE_EQ(DosStampToDateTime(Stamp(2000, 1, 1, 12, 0, 0)), 36526.5);
  EXPECT_DOUBLE_EQ(DosStampToDateTime(Stamp(2024, 2, 29, 18, 30, 58)), 45351.0 + (18 * 3600 + 30 * 60 + 58) / 86400.0);
  // 2107 is the last year a stamp holds; its sign bit is set.
  EXPECT_DOUBLE_EQ(DosStampToDateTime(Stamp(2107, 12, 31, 0, 0, 0)), 75971.0);
}

TEST(DateTimeTest, InvalidStampsGiveZero) {
  using zodizidu::DosStampToDateTime;
  EXPECT_EQ(DosStampToDateTime(0), 0.0);
  EXPECT_EQ(DosStampToDateTime(Stamp(2023, 2, 29, 0, 0, 0)), 0.0);
  EXPECT_EQ(DosStampToDateTime(Stamp(2023, 13, 1, 0, 0, 0)), 0.0);
  EXPECT_EQ(DosStampToDateTime(Stamp(2023, 0, 1, 0, 0, 0)), 0.0);
  EXPECT_EQ(DosStampToDateTime(Stamp(2023, 1, 0, 0, 0, 0)), 0.0);
  EXPECT_EQ(DosStampToDateTime(Stamp(2023, 1, 1, 24, 0, 0)), 0.0);
  EXPECT_EQ(DosStampToDateTime(Stamp(2023, 1, 1, 0, 60, 0)), 0.0);
  EXPECT_EQ(DosStampToDateTime(Stamp(2023, 1, 1, 0, 0, 60)), 0.0);
}

TEST_F(MpegAudioTest, FileDateTimeIsTheStampOfTheFile) {
  audio_.SetFileName(dir_.WriteFile("dated.mp3", Mp3File(5)).string());
  ASSERT_NE(audio_.Data().FileStamp, 0);
  EXPECT_DOUBLE_EQ(audio_.FileDateTime(), zodizidu::DosStampToDateTime(audio_.Data().FileStamp));
  // Today lies after 1 January 2020 (43831) and before 2107.
  EXPECT_GT(audio_.FileDateTime(), 43831.0);
  EXPECT_LT(audio_.FileDateTime(), 75971.0);
}

TEST_F(MpegAudioTest, ShortPathNameOrItsFailureText) {
  audio_.SetFileName(dir_.WriteFile("Band - Song.mp3", Mp3File(5)).string());
  const std::string shortName = audio_.ShortPathName();
  ASSERT_NE(shortName, "Error converting long filename to short.");
  EXPECT_TRUE(shortName.ends_with("/BAND-S~1.MP3")) << shortName;
  audio_.SetFileName(PathOf("missing.mp3"));
  EXPECT_EQ(audio_.ShortPathName(), "Error converting long filename to short.");
}

// The template's text without the blanks that fit it to the macro's width.
std::string Shown(const TMPEGAudio& audio) { return zodizidu::StripRight(audio.TemplateResult()); }

TEST_F(MpegAudioTest, TemplateResultFollowsEachAnalysis) {
  audio_.SetTemplate("%T%");
  audio_.SetFileName(dir_.WriteFile("one.mp3", Mp3File(5, Id3v1Fields().Title("One"))).string());
  EXPECT_EQ(Shown(audio_), "One");
  audio_.SetFileName(dir_.WriteFile("two.mp3", Mp3File(5, Id3v1Fields().Title("Two"))).string());
  EXPECT_EQ(Shown(audio_), "Two");
  // A read that runs off the end leaves the expansion of the reset at the start of the analysis.
  testsupport::MpegHeader h = testsupport::MakeHeader(1, 3, 128, 44100);
  h.crc = true;
  audio_.SetFileName(dir_.WriteFile("cut.mp3", testsupport::Frame(h) + "\xFF").string());
  ASSERT_TRUE(audio_.IsValid());
  EXPECT_EQ(Shown(audio_), "Unknown Title");
  // A missing file ends normally: the result names it.
  audio_.SetDefaultTitle("");
  audio_.SetFileName(PathOf("gone.mp3"));
  EXPECT_EQ(Shown(audio_), "[not found: gone.mp3]");
  audio_.SetTemplate("");
  audio_.ResetData();
  EXPECT_EQ(audio_.TemplateResult(), "");
}

}  // namespace
