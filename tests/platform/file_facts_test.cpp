// File facts: DOS time stamps, attribute bits, 8.3 short names and volume labels.
#include "platform/file_facts.h"
#include "platform/volume_label.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/detail/volume_label.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testsupport::ScopedCurrentDir;
using testsupport::TempDir;

// Puts a POSIX time zone rule in place for one test (rules of this form need no zone files).
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* rule) {
    if (const char* old = std::getenv("TZ")) previous_ = old;
    ::setenv("TZ", rule, 1);
    ::tzset();
  }
  ~ScopedTimeZone() {
    if (previous_)
      ::setenv("TZ", previous_->c_str(), 1);
    else
      ::unsetenv("TZ");
    ::tzset();
  }

 private:
  std::optional<std::string> previous_;
};

// Sets the modification time of `file` to the given moment in universal time.
void SetModified(const fs::path& file, int year, int month, int day, int hour, int minute, int second) {
  std::tm utc{};
  utc.tm_year = year - 1900;
  utc.tm_mon = month - 1;
  utc.tm_mday = day;
  utc.tm_hour = hour;
  utc.tm_min = minute;
  utc.tm_sec = second;
  const timespec times[2] = {{::timegm(&utc), 0}, {::timegm(&utc), 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
}

TEST(DosFileStamp, PacksTheLocalModificationTime) {
  TempDir tmp;
  const fs::path file = tmp.WriteFile("Song.mp3", "x");
  SetModified(file, 2001, 2, 3, 4, 5, 6);
  {
    ScopedTimeZone zone("UTC0");
    // year 21, month 2, day 3, 04:05, 6 s / 2.
    EXPECT_EQ(platform::DosFileStamp(file.string()), (21 << 25) | (2 << 21) | (3 << 16) | (4 << 11) | (5 << 5) | 3);
    EXPECT_EQ(platform::DosFileStamp(tmp.str() + "/SONG.MP3"), 0x2A4320A3);
  }
  {
    ScopedTimeZone zone("CET-1");  // one hour ahead of universal time
    EXPECT_EQ(platform::DosFileStamp(file.string()), 0x2A4328A3);
  }
}

TEST(DosFileStamp, TimesOutside1980To2107AreClampedNotLost) {
  ScopedTimeZone zone("UTC0");
  TempDir tmp;
  const fs::path file = tmp.WriteFile("f", "x");
  SetModified(file, 1979, 12, 31, 23, 59, 59);
  EXPECT_EQ(platform::DosFileStamp(file.string()), 0x00210000);
  SetModified(file, 1980, 1, 1, 0, 0, 0);
  EXPECT_EQ(platform::DosFileStamp(file.string()), 0x00210000);
  SetModified(file, 2107, 12, 31, 23, 59, 58);
  EXPECT_EQ(static_cast<std::uint32_t>(platform::DosFileStamp(file.string())), 0xFF9FBF7Du);
  SetModified(file, 2108, 1, 1, 0, 0, 0);
  EXPECT_EQ(static_cast<std::uint32_t>(platform::DosFileStamp(file.string())), 0xFF9FBF7Du);
}

TEST(DosFileStamp, PacksAGivenTimeAlike) {
  ScopedTimeZone zone("UTC0");
  EXPECT_EQ(platform::DosStampOf(981173106), 0x2A4320A3);  // 2001-02-03 04:05:06
  EXPECT_EQ(platform::DosStampOf(0), 0x00210000);          // 1970 is clamped to 1980-01-01
}

TEST(DosFileStamp, MissingFileGivesZero) {
  TempDir tmp;
  EXPECT_EQ(platform::DosFileStamp(tmp.str() + "/missing.mp3"), 0);
  EXPECT_EQ(platform::DosFileStamp(""), 0);
}

TEST(FileAttributes, KindAndHiddenBits) {
  TempDir tmp;
  tmp.WriteFile("song.mp3", "x");
  tmp.WriteFile(".hidden.mp3", "x");
  tmp.MakeDir("Album");
  tmp.MakeDir(".config");
  fs::create_symlink("Album", tmp.path() / "link");
  fs::create_symlink("missing", tmp.path() / "dangling");
  ScopedCurrentDir cwd(tmp.path());
  EXPECT_EQ(platform::FileAttributes("song.mp3"), platform::kAttrArchive);
  EXPECT_EQ(platform::FileAttributes("./SONG.MP3"), platform::kAttrArchive);
  EXPECT_EQ(platform::FileAttributes(".hidden.mp3"), platform::kAttrArchive | platform::kAttrHidden);
  EXPECT_EQ(platform::FileAttributes("Album"), platform::kAttrDirectory);
  EXPECT_EQ(platform::FileAttributes("Album/"), platform::kAttrDirectory);
  EXPECT_EQ(platform::FileAttributes(".config/"), platform::kAttrDirectory | platform::kAttrHidden);
  EXPECT_EQ(platform::FileAttributes("link"), platform::kAttrDirectory);
  EXPECT_EQ(platform::FileAttributes("."), platform::kAttrDirectory);
  EXPECT_EQ(platform::FileAttributes("dangling"), 0);
  EXPECT_EQ(platform::FileAttributes("missing"), 0);
}

TEST(FileAttributes, NoWritePermissionIsReadOnly) {
  TempDir tmp;
  const fs::path file = tmp.WriteFile("locked.mp3", "x");
  fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  if (testsupport::RunningAsRoot()) GTEST_SKIP() << "running as root: write permission is never refused";
  EXPECT_EQ(platform::FileAttributes(file.string()), platform::kAttrArchive | platform::kAttrReadOnly);
}

TEST(ShortName, ValidUpperCaseNamesStay) {
  EXPECT_EQ(platform::ShortName("SONG.MP3"), "SONG.MP3");
  EXPECT_EQ(platform::ShortName("README"), "README");
  EXPECT_EQ(platform::ShortName("CD1"), "CD1");
  EXPECT_EQ(platform::ShortName("12345678.ABC"), "12345678.ABC");
  EXPECT_EQ(platform::ShortName("A-B_(1)!.{X}"), "A-B_(1)!.{X}");
  EXPECT_EQ(platform::ShortName("."), ".");
  EXPECT_EQ(platform::ShortName(".."), "..");
}

TEST(ShortName, OtherNamesGetTheAlias) {
  EXPECT_EQ(platform::ShortName("song.mp3"), "SONG~1.MP3");
  EXPECT_EQ(platform::ShortName("Long File Name.mpeg"), "LONGFI~1.MPE");
  EXPECT_EQ(platform::ShortName("My.Album.2000"), "MYALBU~1.200");
  EXPECT_EQ(platform::ShortName("a+b,c;d=e[f]g.t[t"), "A_B_C_~1.T_T");
  EXPECT_EQ(platform::ShortName(".hidden"), "HIDDEN~1");
  EXPECT_EQ(platform::ShortName("Città.mp3"), "CITT_~1.MP3");
  EXPECT_EQ(platform::ShortName("noext."), "NOEXT~1");
  EXPECT_EQ(platform::ShortName("TOOLONGNAME"), "TOOLON~1");
  EXPECT_EQ(platform::ShortName("ABC.ABCD"), "ABC~1.ABC");
  EXPECT_EQ(platform::ShortName("a b"), "AB~1");
  EXPECT_EQ(platform::ShortName("x*y?.m\xE0"), "X_Y_~1.M_");
}

TEST(ShortName, NothingLeftOfTheBaseCannotBeFormed) {
  EXPECT_EQ(platform::ShortName("..."), std::nullopt);
  EXPECT_EQ(platform::ShortName(" .mp3"), std::nullopt);
  EXPECT_EQ(platform::ShortName("   "), std::nullopt);
  EXPECT_EQ(platform::ShortName(""), std::nullopt);
}

TEST(ShortPathName, ConvertsEveryComponentOfAnExistingPath) {
  TempDir tmp;
  tmp.WriteFile("Long Album Name/CD1/song.mp3", "x");
  tmp.MakeDir("...");
  ScopedCurrentDir cwd(tmp.path());
  EXPECT_EQ(platform::ShortPathName("Long Album Name/CD1/song.mp3"), "LONGAL~1/CD1/SONG~1.MP3");
  EXPECT_EQ(platform::ShortPathName("./long album name/cd1/SONG.MP3"), "./LONGAL~1/CD1/SONG~1.MP3");
  const std::optional<std::string> full = platform::ShortPathName(tmp.str() + "/Long Album Name/CD1");
  ASSERT_TRUE(full.has_value());
  EXPECT_TRUE(full->starts_with('/'));
  EXPECT_TRUE(full->ends_with("/LONGAL~1/CD1")) << *full;
  EXPECT_EQ(platform::ShortPathName("/"), "/");
  EXPECT_EQ(platform::ShortPathName("missing.mp3"), std::nullopt);
  EXPECT_EQ(platform::ShortPathName("..."), std::nullopt);
  EXPECT_EQ(platform::ShortPathName(""), std::nullopt);
}

class VolumeLabelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tmp.WriteFile("dev/sda1", "");
    tmp.WriteFile("dev/sdb1", "");
    tmp.WriteFile("dev/sdc1", "");
    tmp.MakeDir("by-label");
    fs::create_symlink("../dev/sdb1", tmp.path() / "by-label/My\\x20Music");
    fs::create_symlink(tmp.path() / "dev/sdc1", tmp.path() / "by-label/DATA");
  }
  std::string Mounts() const {
    const std::string dev = tmp.str() + "/dev/";
    return "27 1 254:0 / / rw - ext4 " + dev + "sda1 rw\n" + "40 27 8:17 / /media/music rw shared:5 - vfat " + dev +
           "sdb1 rw\n" + "41 40 8:33 / /media/music/data rw - ext4 " + dev + "sdc1 rw\n" +
           "42 27 8:33 / /media/my\\040disk rw - ext4 " + dev + "sdc1 rw\n" +
           "43 27 0:25 / /media/ram rw - tmpfs tmpfs rw\n" + "44 27 8:17 / /media/over rw - vfat " + dev + "sdb1 rw\n" +
           "45 27 8:33 / /media/over rw - ext4 " + dev + "sdc1 rw\n" + "broken line\n";
  }
  std::string Label(const std::string& path) const {
    return platform::detail::VolumeLabelFrom(path, Mounts(), tmp.str() + "/by-label");
  }
  TempDir tmp;
};

TEST_F(VolumeLabelTest, LongestMountPointContainingThePathDecides) {
  EXPECT_EQ(Label("/media/music/Album/song.mp3"), "My Music");
  EXPECT_EQ(Label("/media/music"), "My Music");
  EXPECT_EQ(Label("/media/music/data/x.mp3"), "DATA");
  EXPECT_EQ(Label("/media/my disk/x.mp3"), "DATA");
  EXPECT_EQ(Label("/media/over/x.mp3"), "DATA");  // the later mount hides the earlier one
}

TEST_F(VolumeLabelTest, UnknownWhenNoLabelNamesTheSource) {
  EXPECT_EQ(Label("/media/musicbox/x.mp3"), "");  // on "/", whose device has no label
  EXPECT_EQ(Label("/media/ram/x"), "");
  EXPECT_EQ(platform::detail::VolumeLabelFrom("/media/music/x", Mounts(), tmp.str() + "/absent"), "");
  EXPECT_EQ(platform::detail::VolumeLabelFrom("/media/music/x", "", tmp.str() + "/by-label"), "");
}

TEST(VolumeLabel, LabelNamesAreUnescaped) {
  EXPECT_EQ(platform::detail::DecodeLabelName("My\\x20Music"), "My Music");
  EXPECT_EQ(platform::detail::DecodeLabelName("50\\x25\\x2f2"), "50%/2");
  EXPECT_EQ(platform::detail::DecodeLabelName("odd\\xZ1\\x4"), "odd\\xZ1\\x4");
  EXPECT_EQ(platform::VolumeLabel(""), "");
}

}  // namespace
