// The wildcard directory search behind the song lists, and the wildcard match itself.
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/paths.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using platform::FindMatching;
using platform::WildcardMatch;
using testsupport::ScopedCurrentDir;
using testsupport::TempDir;

std::vector<std::string> Sorted(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  return names;
}

TEST(WildcardMatch, StarAndQuestionMarkIgnoringCase) {
  EXPECT_TRUE(WildcardMatch("*.mp3", "SONG.MP3"));
  EXPECT_TRUE(WildcardMatch("*.MP3", "b.Mp3"));
  EXPECT_TRUE(WildcardMatch("*.mp3", ".mp3"));
  EXPECT_FALSE(WildcardMatch("*.mp3", "song.mp3x"));
  EXPECT_FALSE(WildcardMatch("*.mp3", "song.mp"));
  EXPECT_TRUE(WildcardMatch("s?ng.*", "Sung.wav"));
  EXPECT_FALSE(WildcardMatch("s?ng.*", "sng.wav"));
  EXPECT_TRUE(WildcardMatch("a*b*c", "aXXbYYc"));
  EXPECT_FALSE(WildcardMatch("a*b*c", "aXXbYY"));
  EXPECT_TRUE(WildcardMatch("*a", "banana"));
  EXPECT_TRUE(WildcardMatch("**", ""));
  EXPECT_TRUE(WildcardMatch("", ""));
  EXPECT_FALSE(WildcardMatch("", "a"));
  EXPECT_FALSE(WildcardMatch("?", ""));
  EXPECT_TRUE(WildcardMatch("front.jpg", "FRONT.JPG"));
  EXPECT_TRUE(WildcardMatch("name with blanks *", "Name With Blanks 2.mp3"));
}

TEST(WildcardMatch, QuestionMarkTakesOneWholeCharacter) {
  EXPECT_TRUE(WildcardMatch("citt?.mp3", "città.mp3"));
  EXPECT_TRUE(WildcardMatch("CITTÀ*", "città.mp3"));
  EXPECT_FALSE(WildcardMatch("citt??.mp3", "città.mp3"));
  EXPECT_TRUE(WildcardMatch("?", "\xE0"));  // a stray byte is one character too
}

TEST(WildcardMatch, ManyStarsDoNotExplode) {
  // Backtracking into every star would try an astronomical number of splits here.
  const std::string name(400, 'a');
  EXPECT_FALSE(WildcardMatch("*a*a*a*a*a*a*a*a*a*a*a*a*a*a*b", name));
  EXPECT_TRUE(WildcardMatch("*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a", name));
  EXPECT_TRUE(WildcardMatch("*a*a*a*a*a*a*a*a*a*a*a*a*a*a*b", name + "b"));
}

TEST(FindMatching, FindsEveryKindOfEntryIgnoringCase) {
  TempDir tmp;
  tmp.WriteFile("Album/b.MP3", "x");
  tmp.WriteFile("Album/A.mp3", "x");
  tmp.WriteFile("Album/c.Mp3", "x");
  tmp.WriteFile("Album/.hidden.mp3", "x");
  tmp.WriteFile("Album/name with blanks.mp3", "x");
  const fs::path locked = tmp.WriteFile("Album/locked.mp3", "x");
  fs::permissions(locked, fs::perms::none);
  tmp.MakeDir("Album/folder.mp3");
  fs::create_symlink("A.mp3", tmp.path() / "Album/link.mp3");
  fs::create_symlink("missing.mp3", tmp.path() / "Album/dangling.mp3");
  fs::create_symlink("loop.mp3", tmp.path() / "Album/loop.mp3");
  tmp.WriteFile("Album/song.mp3x", "x");
  tmp.WriteFile("Album/song.wav", "x");
  tmp.WriteFile("Album/mp3", "x");

  const std::vector<std::string> expected = {
      ".hidden.mp3", "A.mp3",    "b.MP3",      "c.Mp3",    "dangling.mp3",
      "folder.mp3",  "link.mp3", "locked.mp3", "loop.mp3", "name with blanks.mp3"};
  EXPECT_EQ(Sorted(FindMatching(tmp.str() + "/Album/*.mp3")), expected);
  EXPECT_EQ(Sorted(FindMatching(tmp.str() + "/ALBUM/*.MP3")), expected);
}

TEST(FindMatching, RelativePatternsSearchTheCurrentDirectory) {
  TempDir tmp;
  tmp.WriteFile("Album/cd1/One.mp3", "x");
  tmp.WriteFile("top.mp3", "x");
  ScopedCurrentDir cwd(tmp.path());
  EXPECT_EQ(FindMatching("./album/CD1/*.mp3"), std::vector<std::string>{"One.mp3"});
  EXPECT_EQ(FindMatching("*.mp3"), std::vector<std::string>{"top.mp3"});
  EXPECT_EQ(Sorted(FindMatching("*")), (std::vector<std::string>{"Album", "top.mp3"}));
}

TEST(FindMatching, DotEntriesAreNeverNames) {
  TempDir tmp;
  tmp.WriteFile("d/x", "x");
  EXPECT_EQ(FindMatching(tmp.str() + "/d/*"), std::vector<std::string>{"x"});
  EXPECT_TRUE(FindMatching(tmp.str() + "/d/.*").empty());
}

TEST(FindMatching, MissingOrUnlistableFoldersGiveNoNames) {
  TempDir tmp;
  EXPECT_TRUE(FindMatching(tmp.str() + "/missing/*.mp3").empty());
  EXPECT_TRUE(FindMatching(tmp.str() + "/").empty());
  tmp.WriteFile("file", "x");
  EXPECT_TRUE(FindMatching(tmp.str() + "/file/*").empty());
  fs::create_symlink("loop", tmp.path() / "loop");
  EXPECT_TRUE(FindMatching(tmp.str() + "/loop/*").empty());

  tmp.WriteFile("Locked/song.mp3", "x");
  ::chmod((tmp.str() + "/Locked").c_str(), 0);
  if (testsupport::RunningAsRoot()) GTEST_SKIP() << "running as root: a folder without permissions can still be listed";
  EXPECT_TRUE(FindMatching(tmp.str() + "/Locked/*.mp3").empty());
}

}  // namespace
