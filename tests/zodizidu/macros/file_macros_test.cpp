// The file, composite and system macros of the global table over generated MP3 files.
#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>
#include <string>

#include <gtest/gtest.h>

#include "platform/regional.h"
#include "tests/support/mpeg_builder.h"
#include "tests/support/temp_dir.h"
#include "zodizidu/analysis/mpeg_audio.h"
#include "zodizidu/macros/macro_table.h"
#include "zodizidu/macros/value_format.h"

namespace {

using namespace zodizidu;
using testsupport::Id3v1Fields;
using testsupport::MakeHeader;

std::string Blanks(std::size_t n) { return std::string(n, ' '); }

class FileMacrosTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::SetRegionalSettings({"%d/%m/%Y", "%H.%M.%S", "'", ",", "."}); }
  // Writes `bytes` as `name` and analyses it.
  TMPEGAudio& Analyse(const std::string& name, const std::string& bytes) {
    path = tmp.WriteFile(name, bytes).string();
    file.SetFileName(path);
    return file;
  }
  std::string X(std::string_view t) const { return MacroDefinitions().Expand(t, &file, 0); }

  testsupport::TempDir tmp;
  std::string path;
  TMPEGAudio file;
};

TEST_F(FileMacrosTest, NameMacrosOfAPathLongerThanTheRecordUseTheWholePath) {
  std::string folder;
  for (int level = 0; level < 6; ++level) folder += std::string(50, static_cast<char>('a' + level)) + "/";
  Analyse(folder + "Artista - Canzone.mp3", testsupport::Mp3File(20));
  ASSERT_GT(path.size(), 300u);
  ASSERT_TRUE(file.IsValid());
  EXPECT_EQ(X("%FN,T%|%GA,T%|%GT,T%|%T,T%"), "Artista - Canzone.mp3|Artista|Canzone|Unknown Title");
  EXPECT_EQ(X("%FP,T%"), tmp.str() + "/" + folder);
  EXPECT_EQ(X("%FPN,T%"), path);
}

TEST_F(FileMacrosTest, TaglessFileGuessesArtistAndTitleFromItsName) {
  Analyse("Artista - Canzone.mp3", testsupport::Mp3File(20));
  ASSERT_TRUE(file.IsValid());
  EXPECT_EQ(X("%GAT%"), "Artista - Canzone" + Blanks(63));
  EXPECT_EQ(X("%GAT,T%"), "Artista - Canzone");
  EXPECT_EQ(X("%GT,T,,,U%"), "CANZONE");
  EXPECT_EQ(X("%ET%|%EA,T%"), "Canzone" + Blanks(23) + "|Artista");
  EXPECT_EQ(X("%T,T%|%A,T%"), "Unknown Title|Unknown Artist");
  EXPECT_EQ(X("%ALB,T%|%CMNT,T%|%Y%|%G,T%|%GNR%|%TR%"), "[notag]|[notag]|    |Unknown|255|  0");
  const std::string dir = tmp.str() + "/";
  EXPECT_EQ(X("%FN,T%"), "Artista - Canzone.mp3");
  EXPECT_EQ(X("%FP,T%"), dir);
  EXPECT_EQ(X("%FPN,T%"), dir + "Artista - Canzone.mp3");
  EXPECT_EQ(X("%FNS,T%"), "ARTIST~1.MP3");
}

TEST_F(FileMacrosTest, TagValuesAndGenreCode) {
  Id3v1Fields tag;
  tag.title = "la vita (dal vivo)";
  tag.artist = "Banda";
  tag.album = "Dischi";
  tag.year = "2001";
  tag.comment = "primo";
  tag.track = 7;
  tag.genre = 17;
  tag.fill = ' ';
  Analyse("Canzone.mp3", testsupport::Mp3File(20, tag));
  ASSERT_TRUE(file.HasTag());
  EXPECT_EQ(X("%FN,R,3%"), "Can");
  EXPECT_EQ(X("%GNR%"), " 17");
  EXPECT_EQ(X("%GNR,L,5,0%"), "17000");
  EXPECT_EQ(X("%GNR,C,6,*%"), "**17**");
  EXPECT_EQ(X("%G%"), "Rock" + Blanks(21));
  EXPECT_EQ(X("%GT,T,,,C%"), "La Vita (Dal Vivo)");
  EXPECT_EQ(X("%GAT,T%"), "Banda - la vita (dal vivo)");
  EXPECT_EQ(X("%T,T%|%A,T%|%ALB%|%Y%|%CMNT,T%|%TR%"),
            "la vita (dal vivo)|Banda|Dischi" + Blanks(29) + "|2001|primo|  7");
}

TEST_F(FileMacrosTest, TagMacrosOfAFileWithOnlyAnId3v2TagShowItsTextsInFull) {
  using testsupport::Id3v2Frame;
  const std::string title = "A title longer than the thirty bytes of a record";
  const auto text = [](std::string_view id, std::string_view t) { return Id3v2Frame(id, '\0' + std::string(t)); };
  const std::string frames = text("TIT2", title) + text("TPE1", "Banda") + text("TALB", "Dischi") +
                             text("TYER", "2001") + text("TCON", "(17)") +
                             Id3v2Frame("COMM", std::string("\0eng\0primo", 11));
  Analyse("Altro - Nome.mp3",
          testsupport::Id3v2Tag(testsupport::Id3v2Fields().Body(frames)) + testsupport::Mp3File(20));
  ASSERT_EQ(file.Tags(), TagSource::kId3v2);
  EXPECT_EQ(X("%T,T%|%A,T%|%ALB,T%|%Y%|%G,T%|%GNR%|%CMNT,T%"), title + "|Banda|Dischi|2001|Rock| 17|primo");
  EXPECT_EQ(X("%GAT,T%"), "Banda - " + title);
}

TEST_F(FileMacrosTest, HeaderValuesOfAStereoMpeg1File) {
  Analyse("a.mp3", testsupport::Mp3File(20));
  EXPECT_EQ(X("%V%|%LY%|%LYN%|%SR%|%SRK%|%BR%"), "1.0|III|3|44100|44,1|128");
  EXPECT_EQ(X("%M%|%S%"), "Stereo      |Stereo");
  EXPECT_EQ(X("[%EP%][%EP*%][%C%][%C*%][%O%][%O*%]"), "[No ][ ][No ][ ][No ][   ]");
}

TEST_F(FileMacrosTest, HeaderValuesOfAProtectedSingleChannelMpeg2File) {
  testsupport::MpegHeader h = MakeHeader(2, 2, 64, 22050);
  h.mode = 3;
  h.crc = true;
  h.copyright = true;
  h.original = true;
  Analyse("b.mp3", testsupport::Mp3File(20, std::nullopt, h));
  ASSERT_TRUE(file.IsValid());
  EXPECT_EQ(X("%M%"), "Single-Chann");
  EXPECT_EQ(X("%M,T%|%S%"), "Single-Channel|Mono  ");
  EXPECT_EQ(X("%V%|%LY%|%LYN%|%SR%|%SRK%|%BR%"), "2.0|II |2|22050|22,1| 64");
  EXPECT_EQ(X("[%EP%][%EP*%][%C%][%C*%][%O%][%O*%]"), "[Yes][*][Yes][*][Yes][*  ]");
}

TEST_F(FileMacrosTest, SizesInBytesKilobytesAndMegabytes) {
  // 3143 frames of 417 bytes and 89 bytes more: 1,310,720 bytes, 1.25 MB, 1280 KB, 81 s.
  Analyse("big.mp3", testsupport::Mp3File(3143) + testsupport::Junk(89));
  ASSERT_EQ(file.Data().FileLength, 1'310'720);
  EXPECT_EQ(X("%L%"), "     1310720");
  EXPECT_EQ(X("%LC%"), "      1'310'720");
  EXPECT_EQ(X("%LK%|%LKC%"), "     1280|      1'280");
  EXPECT_EQ(X("%LM%"), "      1,3");  // 1.25, half away from zero
  EXPECT_EQ(X("%D%|%DC%|%DF%"), "      81|        81|    1.21");
  EXPECT_EQ(X("%DM%|%DMC%"), "    1,4|      1,4");  // 1.35 minutes

  // One and a half kilobytes: LK drops the half, LKC rounds it up.
  Analyse("small.mp3", testsupport::Mp3File(3) + testsupport::Junk(285));
  ASSERT_EQ(file.Data().FileLength, 1536);
  EXPECT_EQ(X("%LK,T%|%LKC,T%|%LM,T%"), "1|2|0,0");
}

TEST_F(FileMacrosTest, VariableBitRateFileOfOverAnHour) {
  const testsupport::MpegHeader h = MakeHeader(1, 3, 128, 44100);
  // 142,598 frames of 1152 samples at 44,100 Hz play 3725 s: 1 hour, 2 minutes, 5 seconds.
  testsupport::XingFields xing;
  xing.frames = 142'598;
  Analyse("vbr.mp3", testsupport::XingFrame(h, xing) + testsupport::Frames(h, 3));
  ASSERT_EQ(file.Data().Duration, 3725);
  EXPECT_EQ(X("%BR%"), "VBR");
  EXPECT_EQ(X("%DF%"), "    2.05");
  EXPECT_EQ(X("%D%|%DC%"), "    3725|     3'725");
  EXPECT_EQ(X("%DM%|%DMC%"), "   62,1|     62,1");
}

TEST_F(FileMacrosTest, FileDateAndTimeFollowTheRegionalPatterns) {
  Analyse("dated.mp3", testsupport::Mp3File(20));
  std::tm local{};
  local.tm_year = 2021 - 1900;
  local.tm_mon = 2;
  local.tm_mday = 4;
  local.tm_hour = 5;
  local.tm_min = 6;
  local.tm_sec = 8;
  local.tm_isdst = -1;
  const timespec times[2] = {{std::mktime(&local), 0}, {std::mktime(&local), 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  file.SetFileName(path);
  EXPECT_EQ(X("%FD%|%FDTFS%|%FT%"), "04/03/2021|20210304050608|05.06.08   ");

  // A file never analysed has no date: the date-time value 0.
  const TMPEGAudio fresh;
  EXPECT_EQ(MacroDefinitions().Expand("%FD%|%FDTFS%|%FT,T%", &fresh, 0), "30/12/1899|18991230000000|00.00.00");
}

TEST_F(FileMacrosTest, TemplateResultFollowsEachAnalysisAndReset) {
  file.SetTemplate("%FN,T%: %GAT,T% %BR,T%");
  EXPECT_EQ(file.TemplateResult(), "");  // nothing expanded before the first analysis
  Analyse("Duo - Tema.mp3", testsupport::Mp3File(20));
  EXPECT_EQ(file.TemplateResult(), "Duo - Tema.mp3: Duo - Tema 128");
  file.ResetData();
  EXPECT_EQ(file.TemplateResult(), ": Unknown Artist - Unknown Title 0");
  file.SetTemplate("");
  file.SetFileName(path);
  EXPECT_EQ(file.TemplateResult(), "");
}

TEST(SystemMacrosTest, CurrentDateAndTimeAreRightAligned) {
  platform::SetRegionalSettings({"%Y-%m-%d", "%H:%M", "'", ",", ":"});
  auto today = [] {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return FormatTm(local, "%Y-%m-%d");
  };
  const std::string before = today();
  const std::string date = MacroDefinitions().Expand("%CD%", nullptr, 0);
  const std::string after = today();
  EXPECT_TRUE(date == before || date == after) << date;
  EXPECT_EQ(date.size(), 10u);
  const std::string time = MacroDefinitions().Expand("[%CT%]", nullptr, 0);
  ASSERT_EQ(time.size(), 10u);
  EXPECT_EQ(time.substr(0, 4), "[   ");  // five characters right-aligned in eight
  EXPECT_EQ(time[6], ':');
}

}  // namespace
