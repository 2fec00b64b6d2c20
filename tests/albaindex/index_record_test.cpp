// The byte layout of one ALBUMS.INF record.
#include "tools/albaindex/index_record.h"

#include <gtest/gtest.h>

namespace {

TEST(AppendRecord, LengthByteNameZeroPaddingAndLittleEndianFlag) {
  std::vector<std::uint8_t> index;
  ASSERT_TRUE(albaindex::AppendRecord(index, "Beta", 0x01020304));
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
  ASSERT_TRUE(albaindex::AppendRecord(index, "", -2));
  EXPECT_EQ(index[0], 0);
  EXPECT_EQ(index[256], 0xFE);
  EXPECT_EQ(index[257], 0xFF);
  EXPECT_EQ(index[258], 0xFF);
  EXPECT_EQ(index[259], 0xFF);
}

TEST(AppendRecord, RecordsFollowOneAnother) {
  std::vector<std::uint8_t> index;
  ASSERT_TRUE(albaindex::AppendRecord(index, "Title", 1));
  ASSERT_TRUE(albaindex::AppendRecord(index, "Album", 0));
  ASSERT_EQ(index.size(), 520u);
  EXPECT_EQ(index[260], 5);
  EXPECT_EQ(index[261], 'A');
  EXPECT_EQ(index[256], 1);
  EXPECT_EQ(index[516], 0);
}

TEST(AppendRecord, At255BytesTheNameFillsTheRecordAnd256IsRefused) {
  std::vector<std::uint8_t> index;
  ASSERT_TRUE(albaindex::AppendRecord(index, std::string(255, '\xE0'), 1));
  EXPECT_EQ(index[0], 255);
  EXPECT_EQ(index[255], 0xE0);
  EXPECT_EQ(index[256], 1);
  EXPECT_FALSE(albaindex::AppendRecord(index, std::string(256, 'x'), 0));
  EXPECT_EQ(index.size(), 260u);
}

}  // namespace
