// Path resolution without regard to letter case, path arithmetic and existence tests.
#include "platform/paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using platform::ResolvePath;
using testsupport::ScopedCurrentDir;
using testsupport::TempDir;

class ResolvePathTest : public ::testing::Test {
 protected:
  std::string At(const std::string& relative) const { return tmp.str() + "/" + relative; }
  TempDir tmp;
};

TEST_F(ResolvePathTest, ExistingNamesComeBackUnchanged) {
  tmp.WriteFile("Album/CD1/song.mp3", "x");
  EXPECT_EQ(ResolvePath(At("Album/CD1/song.mp3")), At("Album/CD1/song.mp3"));
  EXPECT_EQ(ResolvePath(At("Album")), At("Album"));
  EXPECT_EQ(ResolvePath("/"), "/");
  EXPECT_EQ(ResolvePath(""), "");
}

TEST_F(ResolvePathTest, EachComponentIsMatchedIgnoringAsciiCase) {
  tmp.WriteFile("Album/cd1/FRONT.JPG", "x");
  EXPECT_EQ(ResolvePath(At("ALBUM/CD1/front.jpg")), At("Album/cd1/FRONT.JPG"));
  EXPECT_EQ(ResolvePath(At("album/Cd1/")), At("Album/cd1/"));
}

TEST_F(ResolvePathTest, RelativePathsResolveAgainstTheCurrentDirectory) {
  tmp.WriteFile("Album/cd2/Song.MP3", "x");
  ScopedCurrentDir cwd(tmp.path());
  EXPECT_EQ(ResolvePath("./album/CD2/song.mp3"), "./Album/cd2/Song.MP3");
  EXPECT_EQ(ResolvePath("ALBUM"), "Album");
  EXPECT_EQ(ResolvePath("mpegdll.dll"), "mpegdll.dll");
}

TEST_F(ResolvePathTest, MissingComponentsAreKeptAsWritten) {
  tmp.MakeDir("Album");
  EXPECT_EQ(ResolvePath(At("ALBUM/Missing/Song.mp3")), At("Album/Missing/Song.mp3"));
  EXPECT_EQ(ResolvePath(At("Nowhere/ALBUM")), At("Nowhere/ALBUM"));
}

TEST_F(ResolvePathTest, ExactMatchWinsElseLowestByteOrder) {
  tmp.WriteFile("dir/song.mp3", "lower");
  tmp.WriteFile("dir/Song.mp3", "capital");
  tmp.WriteFile("dir/SONG.mp3", "upper");
  EXPECT_EQ(ResolvePath(At("dir/song.mp3")), At("dir/song.mp3"));
  EXPECT_EQ(ResolvePath(At("dir/Song.mp3")), At("dir/Song.mp3"));
  // 'O' (0x4F) sorts before 'o' (0x6F): "SONG.mp3" < "Song.mp3" < "song.mp3".
  EXPECT_EQ(ResolvePath(At("dir/sONG.MP3")), At("dir/SONG.mp3"));
}

TEST_F(ResolvePathTest, BlanksArePartOfTheName) {
  tmp.MakeDir(" Album ");
  tmp.MakeDir("Album");
  EXPECT_EQ(ResolvePath(At(" ALBUM ")), At(" Album "));
  EXPECT_EQ(ResolvePath(At("ALBUM")), At("Album"));
  EXPECT_EQ(ResolvePath(At(" album")), At(" album"));
}

TEST_F(ResolvePathTest, Windows1252NameFindsItsUtf8Folder) {
  tmp.WriteFile("Città/Brano.mp3", "x");
  EXPECT_EQ(ResolvePath(At("Citt\xE0/Brano.mp3")), At("Città/Brano.mp3"));
  // 0xC0 is the capital A with grave accent in Windows-1252.
  EXPECT_EQ(ResolvePath(At("CITT\xC0/brano.MP3")), At("Città/Brano.mp3"));
}

TEST_F(ResolvePathTest, StoredBytesFirstThenTheirExactUtf8FormThenCaseVariants) {
  tmp.MakeDir("Città");
  tmp.MakeDir("citt\xE0");
  EXPECT_EQ(ResolvePath(At("citt\xE0")), At("citt\xE0"));
  EXPECT_EQ(ResolvePath(At("Citt\xE0")), At("Città"));
  EXPECT_EQ(ResolvePath(At("CITT\xE0")), At("citt\xE0"));
}

TEST_F(ResolvePathTest, NonAsciiLettersIgnoreCase) {
  tmp.MakeDir("été");
  tmp.MakeDir("Μουσική");
  tmp.MakeDir("Музыка");
  tmp.MakeDir("Łódź");
  EXPECT_EQ(ResolvePath(At("ÉTÉ")), At("été"));
  EXPECT_EQ(ResolvePath(At("ΜΟΥΣΙΚΉ")), At("Μουσική"));
  EXPECT_EQ(ResolvePath(At("МУЗЫКА")), At("Музыка"));
  EXPECT_EQ(ResolvePath(At("łÓDŹ")), At("Łódź"));
  // Letters that only look alike stay different: Latin "A" is not Greek "Α".
  EXPECT_EQ(ResolvePath(At("MOYΣIKH")), At("MOYΣIKH"));
}

TEST_F(ResolvePathTest, StrayBytesCompareByValueAroundFoldedAscii) {
  // A raw 0xE0 byte on disk is matched by itself, with ASCII letters around it folded...
  tmp.MakeDir("A\xE0");
  EXPECT_EQ(ResolvePath(At("a\xE0")), At("A\xE0"));
  // ...but a stray byte is not a letter: 0xC0 does not find 0xE0, and U+00E0 does not either.
  EXPECT_EQ(ResolvePath(At("A\xC0")), At("A\xC0"));
  EXPECT_EQ(ResolvePath(At("A\xC3\xA0")), At("A\xC3\xA0"));
}

TEST_F(ResolvePathTest, SymbolicLinkLoopIsJustAName) {
  fs::create_symlink("loop", tmp.path() / "loop");
  fs::create_symlink("LoopB", tmp.path() / "LoopA");
  fs::create_symlink("LoopA", tmp.path() / "LoopB");
  EXPECT_EQ(ResolvePath(At("LOOP")), At("loop"));
  EXPECT_EQ(ResolvePath(At("loopa/inner")), At("LoopA/inner"));
  EXPECT_FALSE(platform::FileExists(At("loop")));
  EXPECT_FALSE(platform::DirectoryExists(At("LOOPA")));
}

TEST_F(ResolvePathTest, FiveThousandEntriesStillResolve) {
  const fs::path dir = tmp.MakeDir("big");
  for (int i = 0; i < 5000; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "track-%05d.mp3", i);
    std::ofstream(dir / name).put('x');
  }
  EXPECT_EQ(ResolvePath(At("BIG/TRACK-04999.MP3")), At("big/track-04999.mp3"));
  EXPECT_EQ(ResolvePath(At("BIG/TRACK-00000.MP3")), At("big/track-00000.mp3"));
  EXPECT_EQ(ResolvePath(At("BIG/TRACK-05000.MP3")), At("big/TRACK-05000.MP3"));
  EXPECT_EQ(platform::FindMatching(At("Big/*.MP3")).size(), 5000u);
  EXPECT_EQ(platform::FindMatching(At("big/track-0499?.mp3")).size(), 10u);
}

TEST(FullPathName, JoinsTheCurrentDirectoryAndFoldsDots) {
  TempDir tmp;
  ScopedCurrentDir cwd(tmp.path());
  const std::string here = fs::current_path().string();
  EXPECT_EQ(platform::FullPathName("song.mp3"), here + "/song.mp3");
  EXPECT_EQ(platform::FullPathName("./Album/./CD1/../song.mp3"), here + "/Album/song.mp3");
  EXPECT_EQ(platform::FullPathName("Album/"), here + "/Album/");
  EXPECT_EQ(platform::FullPathName("."), here + "/");
}

TEST(FullPathName, AbsoluteNamesAreOnlyFolded) {
  EXPECT_EQ(platform::FullPathName("/a/b/../c/./d"), "/a/c/d");
  EXPECT_EQ(platform::FullPathName("/../.."), "/");
  EXPECT_EQ(platform::FullPathName("//a//b"), "/a/b");
  // Lexical: the link named by "link" is not followed.
  EXPECT_EQ(platform::FullPathName("/x/link/../y"), "/x/y");
}

TEST(PathParts, NameAndDirectorySplitAtTheLastSlash) {
  EXPECT_EQ(platform::NamePart("./Album/CD1/song.mp3"), "song.mp3");
  EXPECT_EQ(platform::DirPart("./Album/CD1/song.mp3"), "./Album/CD1/");
  EXPECT_EQ(platform::NamePart("song.mp3"), "song.mp3");
  EXPECT_EQ(platform::DirPart("song.mp3"), "");
  EXPECT_EQ(platform::NamePart("Album/"), "");
  EXPECT_EQ(platform::DirPart("/song"), "/");
  // Backslashes and colons are ordinary characters of a name here.
  EXPECT_EQ(platform::NamePart("C:\\Album\\song.mp3"), "C:\\Album\\song.mp3");
}

TEST(LeavesRoot, OnlyADotDotComponentCounts) {
  EXPECT_TRUE(platform::LeavesRoot(".."));
  EXPECT_TRUE(platform::LeavesRoot("../Album"));
  EXPECT_TRUE(platform::LeavesRoot("./Album/../../etc"));
  EXPECT_TRUE(platform::LeavesRoot("Album/.."));
  EXPECT_FALSE(platform::LeavesRoot("./Album/CD1/song.mp3"));
  EXPECT_FALSE(platform::LeavesRoot("Album..x/..."));
  EXPECT_FALSE(platform::LeavesRoot("..\\Album"));
  EXPECT_FALSE(platform::LeavesRoot(""));
}

TEST(Existence, FilesAndDirectoriesAreTellApartAfterResolution) {
  TempDir tmp;
  tmp.WriteFile("albums.inf", "x");
  tmp.MakeDir("Album/cd1");
  fs::create_symlink("albums.inf", tmp.path() / "link.inf");
  fs::create_symlink("missing", tmp.path() / "dangling");
  fs::create_symlink("Album", tmp.path() / "linkdir");
  ASSERT_EQ(::mkfifo((tmp.path() / "fifo.inf").c_str(), 0600), 0);
  ScopedCurrentDir cwd(tmp.path());

  EXPECT_TRUE(platform::FileExists("ALBUMS.INF"));
  EXPECT_FALSE(platform::DirectoryExists("ALBUMS.INF"));
  EXPECT_TRUE(platform::DirectoryExists("./ALBUM/CD1"));
  EXPECT_FALSE(platform::FileExists("./ALBUM/CD1"));
  EXPECT_TRUE(platform::FileExists("LINK.INF"));
  EXPECT_TRUE(platform::DirectoryExists("LinkDir"));
  EXPECT_FALSE(platform::FileExists("dangling"));
  EXPECT_FALSE(platform::DirectoryExists("dangling"));
  EXPECT_FALSE(platform::FileExists("nothing"));
  EXPECT_FALSE(platform::FileExists("FIFO.INF"));
  EXPECT_FALSE(platform::FileExists(""));
  EXPECT_FALSE(platform::DirectoryExists(""));
}

}  // namespace
