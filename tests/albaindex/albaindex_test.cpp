// albaindex run on generated folder trees; the index it writes is read back byte by byte.
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "albums_inf/index_record.h"
#include "tests/support/run_tool.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testsupport::RunTool;
using testsupport::TempDir;
using testsupport::ToolRun;

struct Record {
  std::string name;
  std::int32_t flag;
  bool unusedBytesZero;
};

std::string ReadFile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The records of an index file; a size that is no multiple of 260 fails the test.
std::vector<Record> ReadIndex(const fs::path& file) {
  const std::string bytes = ReadFile(file);
  EXPECT_EQ(bytes.size() % albums_inf::kRecordSize, 0u) << "index size " << bytes.size();
  std::vector<Record> records;
  for (std::size_t start = 0; start + albums_inf::kRecordSize <= bytes.size(); start += albums_inf::kRecordSize) {
    const auto* r = reinterpret_cast<const std::uint8_t*>(bytes.data() + start);
    const albums_inf::Record decoded =
        albums_inf::DecodeRecord(std::span<const std::uint8_t, albums_inf::kRecordSize>(r, albums_inf::kRecordSize));
    Record record{decoded.name, decoded.flag, true};
    for (std::size_t i = albums_inf::kNameOffset + decoded.name.size(); i < albums_inf::kFlagOffset; ++i) {
      record.unusedBytesZero = record.unusedBytesZero && r[i] == 0;
    }
    records.push_back(record);
  }
  return records;
}

ToolRun Albaindex(const std::vector<std::string>& args, const std::string& cwd = "") {
  return RunTool(ALBAINDEX_PATH, args, cwd);
}

// Names in the folder other than the albums and the index: leftovers of a write.
std::vector<std::string> Leftovers(const fs::path& folder) {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with("ALBUMS.INF.tmp")) names.push_back(name);
  }
  return names;
}

TEST(AlbaindexCommandLine, HelpPrintsUsageAndSucceeds) {
  const ToolRun run = Albaindex({"--help"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRUE(run.out.starts_with("Usage: albaindex [--title TEXT] [--with-decoder [--force]] [FOLDER]")) << run.out;
  EXPECT_EQ(run.err, "");
}

TEST(AlbaindexCommandLine, UsageErrorsExitWithTwoAndWriteNothing) {
  TempDir tmp;
  tmp.MakeDir("Album");
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--bogus"}, {"--title"}, {tmp.str(), tmp.str()}, {"--title", "a", "--title", "b", tmp.str()}, {""}}) {
    const ToolRun run = Albaindex(args);
    EXPECT_EQ(run.exitCode, 2) << args[0];
    EXPECT_NE(run.err.find("albaindex: "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Usage: albaindex"), std::string::npos) << run.err;
  }
  EXPECT_FALSE(fs::exists(tmp.path() / "ALBUMS.INF"));
}

TEST(AlbaindexIndex, HeaderThenAlbumsSortedByNameWithDiscFlags) {
  TempDir tmp;
  tmp.MakeDir("Zeta");
  tmp.MakeDir("alfa/cd1");  // a disc folder in lower case counts
  tmp.MakeDir("Beta/CD4");
  tmp.MakeDir(" Spaced Album ");
  tmp.MakeDir("Città");
  tmp.MakeDir(".hidden");
  tmp.MakeDir("NotMulti/CD5");
  tmp.WriteFile("NotMulti/CD1", "a file, not a disc folder");
  tmp.MakeDir("LinkedDisc/Real");
  fs::create_directory_symlink("Real", tmp.path() / "LinkedDisc/Cd2");
  fs::create_directory_symlink("Zeta", tmp.path() / "Linked");
  fs::create_symlink("missing", tmp.path() / "Dangling");
  fs::create_symlink("Loop", tmp.path() / "Loop");
  tmp.WriteFile("song.MP3", "not an album");

  const ToolRun run = Albaindex({}, tmp.str());
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::vector<Record> records = ReadIndex(tmp.path() / "ALBUMS.INF");
  const std::vector<std::pair<std::string, std::int32_t>> expected = {
      {"", 0},           {" Spaced Album ", 0}, {"Beta", 1}, {"Città", 0}, {"Linked", 0},
      {"LinkedDisc", 1}, {"NotMulti", 0},       {"Zeta", 0}, {"alfa", 1}};
  ASSERT_EQ(records.size(), expected.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    EXPECT_EQ(records[i].name, expected[i].first) << "record " << i;
    EXPECT_EQ(records[i].flag, expected[i].second) << "record " << i;
    EXPECT_TRUE(records[i].unusedBytesZero) << "record " << i;
  }
  EXPECT_TRUE(Leftovers(tmp.path()).empty());
}

TEST(AlbaindexIndex, TitleGoesIntoTheHeader) {
  TempDir tmp;
  tmp.MakeDir("Album");
  ToolRun run = Albaindex({"--title", "Compilation 2000", tmp.str()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  std::vector<Record> records = ReadIndex(tmp.path() / "ALBUMS.INF");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].name, "Compilation 2000");
  EXPECT_EQ(records[0].flag, 1);
  EXPECT_TRUE(records[0].unusedBytesZero);

  run = Albaindex({"--title=Musica italiana", tmp.str()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  records = ReadIndex(tmp.path() / "ALBUMS.INF");
  EXPECT_EQ(records[0].name, "Musica italiana");

  run = Albaindex({"--title", "", tmp.str()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  records = ReadIndex(tmp.path() / "ALBUMS.INF");
  EXPECT_EQ(records[0].name, "");
  EXPECT_EQ(records[0].flag, 0);
}

TEST(AlbaindexIndex, NamesAndTitlesOfExactly255BytesFit) {
  TempDir tmp;
  const std::string longest(255, 'n');
  tmp.MakeDir(longest + "/CD3");
  const std::string title(255, 't');
  const ToolRun run = Albaindex({"--title", title, tmp.str()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<Record> records = ReadIndex(tmp.path() / "ALBUMS.INF");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].name, title);
  EXPECT_EQ(records[1].name, longest);
  EXPECT_EQ(records[1].flag, 1);
}

TEST(AlbaindexRefusal, TitleOf256BytesLeavesTheOldIndex) {
  TempDir tmp;
  tmp.MakeDir("Album");
  tmp.WriteFile("ALBUMS.INF", "old index");
  const ToolRun run = Albaindex({"--title", std::string(256, 't'), tmp.str()});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("title"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("255"), std::string::npos) << run.err;
  EXPECT_EQ(ReadFile(tmp.path() / "ALBUMS.INF"), "old index");
  EXPECT_TRUE(Leftovers(tmp.path()).empty());
}

TEST(AlbaindexRefusal, MissingOrNonFolderIsNamed) {
  TempDir tmp;
  tmp.WriteFile("plain", "x");
  fs::create_symlink("Loop", tmp.path() / "Loop");
  for (const std::string& folder : {tmp.str() + "/missing", tmp.str() + "/plain", tmp.str() + "/Loop"}) {
    const ToolRun run = Albaindex({folder});
    EXPECT_EQ(run.exitCode, 1) << folder;
    EXPECT_NE(run.err.find("'" + folder + "'"), std::string::npos) << run.err;
  }
  EXPECT_TRUE(Leftovers(tmp.path()).empty());
}

TEST(AlbaindexRefusal, FailedReplaceRemovesTheTemporaryFile) {
  TempDir tmp;
  tmp.MakeDir("Album");
  tmp.MakeDir("ALBUMS.INF/occupied");  // a folder in the index's place cannot be renamed over
  const ToolRun run = Albaindex({tmp.str()});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("ALBUMS.INF"), std::string::npos) << run.err;
  EXPECT_TRUE(Leftovers(tmp.path()).empty());
  EXPECT_TRUE(fs::is_directory(tmp.path() / "ALBUMS.INF"));
}

TEST(AlbaindexRefusal, UnreadableFoldersAreNamedAndNothingIsWritten) {
  TempDir tmp;
  tmp.MakeDir("Root/Album");
  tmp.MakeDir("Root/Locked/CD1");
  tmp.WriteFile("Root/ALBUMS.INF", "old index");
  ::chmod((tmp.str() + "/Root/Locked").c_str(), 0);
  ::chmod((tmp.str() + "/Root").c_str(), 0300);  // enter and write, but not list
  if (testsupport::RunningAsRoot()) GTEST_SKIP() << "running as root: permission bits do not stop reading a folder";
  ToolRun run = Albaindex({tmp.str() + "/Root"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("'" + tmp.str() + "/Root'"), std::string::npos) << run.err;

  ::chmod((tmp.str() + "/Root").c_str(), 0700);
  run = Albaindex({tmp.str() + "/Root"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("Locked"), std::string::npos) << run.err;
  EXPECT_EQ(ReadFile(tmp.path() / "Root/ALBUMS.INF"), "old index");
  EXPECT_TRUE(Leftovers(tmp.path() / "Root").empty());
}

TEST(AlbaindexIndex, NoAlbumsGivesHeaderOnlyWithAWarning) {
  TempDir tmp;
  tmp.WriteFile("song.mp3", "x");
  tmp.MakeDir(".git");
  const ToolRun run = Albaindex({tmp.str()});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.err.find("warning"), std::string::npos);
  EXPECT_NE(run.err.find("at least one album"), std::string::npos) << run.err;
  const std::vector<Record> records = ReadIndex(tmp.path() / "ALBUMS.INF");
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].flag, 0);
}

TEST(AlbaindexIndex, BlankAlbumNamesAreWrittenWithAWarning) {
  TempDir tmp;
  tmp.MakeDir("  ");
  tmp.MakeDir("Album");
  const ToolRun run = Albaindex({tmp.str()});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.err.find("'  '"), std::string::npos) << run.err;
  const std::vector<Record> records = ReadIndex(tmp.path() / "ALBUMS.INF");
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[1].name, "  ");
}

TEST(AlbaindexIndex, ReplacesTheOldIndexReadableByOthers) {
  TempDir tmp;
  tmp.MakeDir("Album");
  tmp.WriteFile("ALBUMS.INF", std::string(2000, 'x'));
  const mode_t previous = ::umask(022);
  const ToolRun run = Albaindex({tmp.str()});
  ::umask(previous);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadIndex(tmp.path() / "ALBUMS.INF").size(), 2u);
  struct stat info {};
  ASSERT_EQ(::stat((tmp.str() + "/ALBUMS.INF").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST(AlbaindexIndex, ManyFilesBesideTheAlbums) {
  TempDir tmp;
  for (int i = 0; i < 5000; ++i) std::ofstream(tmp.path() / ("track" + std::to_string(i) + ".MP3")).put('x');
  tmp.MakeDir("Album B/CD2");
  tmp.MakeDir("Album A");
  const ToolRun run = Albaindex({tmp.str()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const std::vector<Record> records = ReadIndex(tmp.path() / "ALBUMS.INF");
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[1].name, "Album A");
  EXPECT_EQ(records[1].flag, 0);
  EXPECT_EQ(records[2].name, "Album B");
  EXPECT_EQ(records[2].flag, 1);
}

}  // namespace
