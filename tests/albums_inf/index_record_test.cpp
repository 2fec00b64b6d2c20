// The byte layout of one ALBUMS.INF record, and an index written then read back as the window reads it.
#include "albums_inf/index_record.h"

#include "albums_inf/album_index.h"

#include <gtest/gtest.h>

namespace {

TEST(AppendRecord, LengthByteNameZeroPaddingAndLittleEndianFlag) {
  std::vector<std::uint8_t> index;
  ASSERT_TRUE(albums_inf::AppendRecord(index, "Beta", 0x01020304));
  ASSERT_EQ(index.size(), 260u);
  EXPECT_EQ(index[0], 4);
  EXPECT_EQ(std::string(index.begin() + 1, index.begin() + 5), "Beta");
  for (std::size_t i = 5; i < 256; ++i) ASSERT_EQ(index[i], 0) << i;
  EXPECT_EQ(index[256], 0x04);
  EXPECT_EQ(index[257], 0x03);
  EXPECT_EQ(index[258], 0x02);
  EXPECT_EQ(index[259], 0x01);
}

TEST(AppendRecord, NegativeFlagsAreTwosComplement) {
  std::vector<std::uint8_t> index;
  ASSERT_TRUE(albums_inf::AppendRecord(index, "", -2));
  EXPECT_EQ(index[0], 0);
  EXPECT_EQ(index[256], 0xFE);
  EXPECT_EQ(index[257], 0xFF);
  EXPECT_EQ(index[258], 0xFF);
  EXPECT_EQ(index[259], 0xFF);
}

TEST(AppendRecord, RecordsFollowOneAnother) {
  std::vector<std::uint8_t> index;
  ASSERT_TRUE(albums_inf::AppendRecord(index, "Title", 1));
  ASSERT_TRUE(albums_inf::AppendRecord(index, "Album", 0));
  ASSERT_EQ(index.size(), 520u);
  EXPECT_EQ(index[260], 5);
  EXPECT_EQ(index[261], 'A');
  EXPECT_EQ(index[256], 1);
  EXPECT_EQ(index[516], 0);
}

TEST(AppendRecord, At255BytesTheNameFillsTheRecordAnd256IsRefused) {
  std::vector<std::uint8_t> index;
  ASSERT_TRUE(albums_inf::AppendRecord(index, std::string(255, '\xE0'), 1));
  EXPECT_EQ(index[0], 255);
  EXPECT_EQ(index[255], 0xE0);
  EXPECT_EQ(index[256], 1);
  EXPECT_FALSE(albums_inf::AppendRecord(index, std::string(256, 'x'), 0));
  EXPECT_EQ(index.size(), 260u);
}

TEST(IndexRoundTrip, WhatTheWriterStoresTheReaderGivesBack) {
  const std::string title = "Compilation \xE8 2000";  // Windows-1252 bytes stay bytes
  const std::vector<std::pair<std::string, std::int32_t>> albums = {{"Alfa", albums_inf::kSingleDisc},
                                                                    {std::string(255, 'n'), albums_inf::kMultiDisc},
                                                                    {" Spaced ", 0},
                                                                    {"Odd flag", -7},
                                                                    {"Citt\xE0", 0}};
  std::vector<std::uint8_t> index;
  ASSERT_TRUE(albums_inf::AppendRecord(index, title, albums_inf::kTitleFlag));
  for (const auto& [name, flag] : albums) ASSERT_TRUE(albums_inf::AppendRecord(index, name, flag));

  const albums_inf::AlbumIndex read = albums_inf::ParseAlbumIndex(index);
  EXPECT_EQ(read.error, "");
  EXPECT_EQ(read.Caption(), title);
  ASSERT_EQ(read.entries.size(), albums.size());
  for (std::size_t i = 0; i < albums.size(); ++i) {
    EXPECT_EQ(read.entries[i].EntryName, albums[i].first) << i;
    EXPECT_EQ(read.entries[i].EntryFlag, albums[i].second) << i;
  }
  for (std::size_t i = 0; i <= albums.size(); ++i) {
    const albums_inf::Record record = albums_inf::DecodeRecord(std::span<const std::uint8_t, albums_inf::kRecordSize>(
        index.data() + i * albums_inf::kRecordSize, albums_inf::kRecordSize));
    EXPECT_EQ(record.name, i == 0 ? title : albums[i - 1].first);
  }
}

}  // namespace
