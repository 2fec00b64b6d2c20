// Reading ALBUMS.INF: header title rule, album records, trimming, short and partial files.
#include "albums_inf/album_index.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/app/compilation_files.h"
#include "tests/support/temp_dir.h"

namespace {

using albums_inf::AlbumIndex;
using testsupport::IndexAlbum;
using testsupport::IndexFile;
using testsupport::IndexRecord;

AlbumIndex Parse(const std::string& bytes) {
  return albums_inf::ParseAlbumIndex({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

std::vector<std::string> Names(const AlbumIndex& index) {
  std::vector<std::string> names;
  for (const auto& entry : index.entries) names.push_back(entry.EntryName);
  return names;
}

TEST(AlbumIndexTest, HeaderFlagOneGivesTheUntrimmedTitleAnyOtherFlagNone) {
  const AlbumIndex titled = Parse(IndexFile(" Compilation 2000 ", 1, {{"Album", 0}}));
  ASSERT_TRUE(titled.title);
  EXPECT_EQ(*titled.title, " Compilation 2000 ");
  EXPECT_EQ(titled.Caption(), " Compilation 2000 ");
  for (std::int32_t flag : {0, 2, -1, 256}) {
    const AlbumIndex untitled = Parse(IndexFile("Hidden title", flag, {{"Album", 0}}));
    EXPECT_FALSE(untitled.title) << "flag " << flag;
    EXPECT_EQ(untitled.Caption(), "Albavox v2.0");
    EXPECT_EQ(Names(untitled), std::vector<std::string>{"Album"}) << "the header is never an album";
  }
}

TEST(AlbumIndexTest, AlbumsKeepFileOrderAndTheirOwnFlags) {
  const AlbumIndex index = Parse(IndexFile("", 0, {{"Zeta", 0}, {"alfa", 0}, {"Beta", 1}}));
  EXPECT_EQ(Names(index), (std::vector<std::string>{"Zeta", "alfa", "Beta"}));
  EXPECT_FALSE(index.entries[0].MultiDisc());
  EXPECT_TRUE(index.entries[2].MultiDisc());
  EXPECT_EQ(index.error, "");
}

TEST(AlbumIndexTest, FlagIsSignedLittleEndian) {
  const AlbumIndex index = Parse(IndexFile("", 0, {{"A", 0x01000000}, {"B", -1}, {"C", 0x00000100}}));
  ASSERT_EQ(index.entries.size(), 3u);
  EXPECT_EQ(index.entries[0].EntryFlag, 0x01000000);
  EXPECT_EQ(index.entries[1].EntryFlag, -1);
  EXPECT_TRUE(index.entries[1].MultiDisc());
  EXPECT_EQ(index.entries[2].EntryFlag, 256);
}

TEST(AlbumIndexTest, EmptyAndBlankNamesAreSkippedOthersKeepTheirBlanks) {
  const AlbumIndex index =
      Parse(IndexFile("", 0, {{"", 0}, {"    ", 0}, {std::string("\t\x01\0 ", 4), 1}, {" Padded ", 0}}));
  EXPECT_EQ(Names(index), std::vector<std::string>{" Padded "});
}

TEST(AlbumIndexTest, LengthByteDecidesHowManyNameBytesCount) {
  std::string longName(255, 'x');
  longName[254] = 'z';
  std::string bytes = IndexRecord("", 0) + IndexRecord(longName, 0, 255) + IndexRecord("Abbey Road", 0, 5);
  const AlbumIndex index = Parse(bytes);
  EXPECT_EQ(Names(index), (std::vector<std::string>{longName, "Abbey"}));
}

TEST(AlbumIndexTest, NamesAreBytesAsStored) {
  const AlbumIndex index = Parse(IndexFile("", 0, {{"Citt\xE0", 0}}));
  EXPECT_EQ(Names(index), std::vector<std::string>{"Citt\xE0"});
}

TEST(AlbumIndexTest, FilesShorterThanTwoRecordsReadBeyondTheEnd) {
  for (std::size_t size : {0u, 100u, 259u}) {
    const AlbumIndex index = Parse(std::string(size, 'A'));
    EXPECT_EQ(index.error, "Read beyond end of file") << size << " bytes";
    EXPECT_FALSE(index.title);
    EXPECT_TRUE(index.entries.empty());
  }
  // The header alone: its title is taken, then the first album record is missing.
  const AlbumIndex headerOnly = Parse(IndexRecord("Compilation 2000", 1));
  EXPECT_EQ(headerOnly.error, "Read beyond end of file");
  ASSERT_TRUE(headerOnly.title);
  EXPECT_EQ(*headerOnly.title, "Compilation 2000");
  EXPECT_TRUE(headerOnly.entries.empty());
}

TEST(AlbumIndexTest, TrailingPartialRecordIsIgnored) {
  const std::string bytes = IndexFile("", 0, {{"Only", 1}}) + std::string(100, 'Q');
  ASSERT_EQ(bytes.size(), 2 * 260 + 100u);
  const AlbumIndex index = Parse(bytes);
  EXPECT_EQ(index.error, "");
  EXPECT_EQ(Names(index), std::vector<std::string>{"Only"});
}

TEST(AlbumIndexTest, TrimmedNameDropsCodesUpToBlankAtBothEnds) {
  EXPECT_EQ(albums_inf::TrimmedName(std::string("\0\x1F a b\t\r\n ", 10)), "a b");
  EXPECT_EQ(albums_inf::TrimmedName("\xA0x\x7F"), "\xA0x\x7F") << "only codes 0..32 are blanks";
  EXPECT_EQ(albums_inf::TrimmedName("   "), "");
}

TEST(AlbumIndexTest, FileReaderGivesTheSameAsTheBytesAndNamesOpenFailures) {
  testsupport::TempDir dir;
  const std::string bytes = IndexFile("Title", 1, {{"One", 0}, {"Two", 3}});
  const auto path = dir.WriteFile("ALBUMS.INF", bytes);
  const AlbumIndex fromFile = albums_inf::ReadAlbumIndex(path.string());
  EXPECT_EQ(Names(fromFile), Names(Parse(bytes)));
  EXPECT_EQ(fromFile.entries[1].EntryFlag, 3);
  EXPECT_EQ(fromFile.title, std::optional<std::string>("Title"));

  EXPECT_EQ(albums_inf::ReadAlbumIndex(dir.str() + "/missing.inf").error, "File not found");
  EXPECT_EQ(albums_inf::ReadAlbumIndex(dir.WriteFile("short.inf", "xyz").string()).error, "Read beyond end of file");
  if (testsupport::RunningAsRoot()) {
    GTEST_SKIP() << "running as root: permission bits do not stop reads, the unreadable index is not tried";
  }
  const auto locked = dir.WriteFile("locked.inf", bytes);
  std::filesystem::permissions(locked, std::filesystem::perms::none);
  EXPECT_EQ(albums_inf::ReadAlbumIndex(locked.string()).error, "File access denied");
}

TEST(AlbumIndexTest, ASpecialFileReadsAsAMissingOneWithoutWaiting) {
  // A FIFO without a writer, a socket and a device (through a link) in the index's place.
  testsupport::TempDir dir;
  const std::string fifo = dir.str() + "/fifo.inf";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string socketPath = dir.str() + "/socket.inf";
  const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  const std::string device = dir.str() + "/device.inf";
  ASSERT_EQ(::symlink("/dev/zero", device.c_str()), 0);
  for (const std::string& path : {fifo, socketPath, device}) {
    const AlbumIndex index = albums_inf::ReadAlbumIndex(path);
    EXPECT_EQ(index.error, "File not found") << path;
    EXPECT_FALSE(index.title) << path;
    EXPECT_TRUE(index.entries.empty()) << path;
  }
  ::close(listener);
}

}  // namespace
