// The extents of ID3v2 and APE tags, read from their bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>

#include "tests/support/mpeg_builder.h"
#include "zodizidu/analysis/ape_tag.h"
#include "zodizidu/analysis/id3v2_tag.h"

namespace {

using testsupport::Id3v2Fields;
using testsupport::Id3v2Tag;

std::span<const std::uint8_t> Bytes(const std::string& s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

std::int64_t Id3v2Length(const std::string& tag) { return zodizidu::Id3v2TagLength(Bytes(tag)); }

// The lengths of whole tags are checked on files (tagged_file_test); here the header bytes.
TEST(Id3v2TagLengthTest, LargestSizeTheSynchSafeBytesHold) {
  const std::string largest{"ID3\x04\x00\x10\x7F\x7F\x7F\x7F", 10};
  EXPECT_EQ(Id3v2Length(largest), 10 + (std::int64_t{1} << 28) - 1 + 10);
}

TEST(Id3v2TagLengthTest, MalformedHeadersHaveNoLength) {
  const std::string good = Id3v2Tag(Id3v2Fields().Body("body"));
  ASSERT_GT(Id3v2Length(good), 0);
  const auto changed = [&](std::size_t at, char byte) {
    std::string bad = good;
    bad[at] = byte;
    return Id3v2Length(bad);
  };
  EXPECT_EQ(changed(0, 'i'), 0);     // "iD3"
  EXPECT_EQ(changed(3, '\x01'), 0);  // version 1
  EXPECT_EQ(changed(3, '\x05'), 0);  // a version this reader does not know
  EXPECT_EQ(changed(4, '\xFF'), 0);  // revision 255
  EXPECT_EQ(changed(5, '\x10'), 0);  // footer bit, undefined in version 3
  EXPECT_EQ(changed(5, '\x01'), 0);  // an undefined flag bit
  EXPECT_EQ(changed(9, '\x80'), 0);  // a size byte that is not synch-safe
  EXPECT_GT(changed(5, '\x40'), 0);  // extended header: defined in version 3
  EXPECT_EQ(Id3v2Length(good.substr(0, 9)), 0);
  // Flags that version 2 does not define but version 4 does.
  EXPECT_EQ(Id3v2Length(Id3v2Tag(Id3v2Fields().Version(2).Flags(0x20))), 0);
  EXPECT_GT(Id3v2Length(Id3v2Tag(Id3v2Fields().Version(4).Flags(0x20))), 0);
}

TEST(ApeTagLengthTest, OtherBytesHaveNoLength) {
  const std::string footer = testsupport::ApeTag().substr(testsupport::ApeTag().size() - 32);
  ASSERT_GT(zodizidu::ApeTagLength(Bytes(footer)), 0);
  const auto changed = [&](std::size_t at, char byte) {
    std::string bad = footer;
    bad[at] = byte;
    return zodizidu::ApeTagLength(Bytes(bad));
  };
  EXPECT_EQ(changed(7, 'Y'), 0);      // "APETAGEY"
  EXPECT_EQ(changed(8, '\x01'), 0);   // version 2001
  EXPECT_EQ(changed(12, '\x1F'), 0);  // a size below the footer's own
  EXPECT_EQ(changed(23, '\xA0'), 0);  // the header's block, not the footer
  EXPECT_EQ(zodizidu::ApeTagLength(Bytes(footer).first(31)), 0);
  // The header block of a tag, read where a footer should stand, is no footer.
  EXPECT_EQ(zodizidu::ApeTagLength(Bytes(testsupport::ApeTag()).first(32)), 0);
}

}  // namespace
