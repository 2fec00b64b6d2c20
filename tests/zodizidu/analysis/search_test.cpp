// The frame search reads blocks, yet positions, results and the pump rhythm are those of a
// byte-by-byte search; the pump may run handlers, even another analysis, and may change the file.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "tests/support/mpeg_builder.h"
#include "tests/zodizidu/analysis/analysis_fixture.h"
#include "zodizidu/analysis/detail/file_window.h"
#include "zodizidu/analysis/detail/frame_search.h"
#include "zodizidu/analysis/detail/sync_scan.h"

namespace {

using testsupport::MakeHeader;
using testsupport::Mp3File;
using zodizidu::TMPEGData;
using zodizidu::detail::SearchEnd;

std::vector<std::int64_t> gPumpPositions;
void RecordingPump() { gPumpPositions.push_back(zodizidu::SearchPosition()); }

// Installs a pump for one test and takes it away again.
class ScopedPump {
 public:
  explicit ScopedPump(zodizidu::MessagePump pump) {
    gPumpPositions.clear();
    zodizidu::SetMessagePump(pump);
  }
  ~ScopedPump() { zodizidu::SetMessagePump(nullptr); }
};

TMPEGData SearchRecord(std::int64_t size) {
  TMPEGData data;
  data.FileLength = static_cast<std::int32_t>(size);
  data.FileStamp = 0x5A210000;
  return data;
}

struct Outcome {
  SearchEnd end;
  std::int64_t position;
  std::vector<std::int64_t> pumps;
  bool operator==(const Outcome&) const = default;
};

// The search as the rule states it: four bytes, then one byte at a time.
Outcome ByteByByte(const std::string& bytes, std::int64_t start, std::int32_t scanLimit) {
  const auto size = static_cast<std::int64_t>(bytes.size());
  if (start + 4 > size) return {SearchEnd::kShortRead, 0, {}};
  auto at = [&](std::int64_t i) { return static_cast<std::uint8_t>(bytes[static_cast<std::size_t>(i)]); };
  std::uint32_t h = std::uint32_t{at(start)} << 24 | std::uint32_t{at(start + 1)} << 16 |
                    std::uint32_t{at(start + 2)} << 8 | at(start + 3);
  std::int64_t p = start + 4;
  Outcome out{SearchEnd::kStopped, 0, {}};
  TMPEGData data = SearchRecord(size);
  while (!zodizidu::DecodeHeader(h, data)) {
    if (p >= size || (scanLimit > 0 && p > scanLimit)) {
      out.position = p;
      return out;
    }
    h = h << 8 | at(p);
    ++p;
    if (p % 300 == 0) out.pumps.push_back(p);
  }
  out.end = SearchEnd::kFound;
  out.position = p;
  return out;
}

// Random bytes (syncs and valid headers included, about one in 5500 positions) with valid
// headers planted around the positions where the reader's blocks meet.
std::string Material(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  // The reader's blocks are 8, 32, 128 and 256 KiB: they meet at these positions. Headers start
  // 7, 3 (across the meeting point) and -1 bytes before them, shifted by 0..2 with the seed.
  const std::string header = MakeHeader(1, 3, 128, 44100).Bytes();
  const std::size_t shift = seed % 3;
  for (std::size_t boundary : {8192u, 40960u, 172032u, 434176u}) {
    for (std::size_t offset : {boundary - 7 + shift, boundary - 3 + shift, boundary + 1 + shift})
      if (offset + 4 <= size) bytes.replace(offset, 4, header);
  }
  return bytes;
}

class SearchTest : public zodizidu_test::AnalysisTest {};

// The first sync start in [from, end), one position after another.
std::size_t FirstSyncStart(const std::vector<std::uint8_t>& v, std::size_t from, std::size_t end) {
  for (std::size_t k = from; k < end; ++k)
    if (v[k] == 0xFF && (v[k + 1] & 0xE0) == 0xE0) return k;
  return end;
}

TEST(SyncScanTest, VectorScansFindEverySyncStartInOrder) {
  std::mt19937 random(7);
  std::vector<zodizidu::detail::SyncFinder> finders{&zodizidu::detail::FindSyncStartPortable};
  if (zodizidu::detail::HasWideVectors()) finders.push_back(&zodizidu::detail::FindSyncStartWide);
  for (int round = 0; round < 200; ++round) {
    // Few syncs: bytes below 0xFF except where one is planted, with near misses (0xFF then 0xDF).
    std::vector<std::uint8_t> v(700);
    for (auto& b : v) b = static_cast<std::uint8_t>(random() % 0xFF);
    for (int plant = 0; plant < 3; ++plant) {
      const std::size_t at = random() % (v.size() - 1);
      v[at] = 0xFF;
      v[at + 1] = static_cast<std::uint8_t>(plant == 0 ? 0xDF : 0xE0 | (random() & 0x1F));
    }
    const std::size_t end = v.size() - 1 - random() % 200;
    for (const auto find : finders) {
      for (std::size_t from = random() % 130; from < end; from = FirstSyncStart(v, from, end) + 1) {
        ASSERT_EQ(find(v.data(), from, end), FirstSyncStart(v, from, end)) << "round " << round << " from " << from;
      }
      EXPECT_EQ(find(v.data(), end, end), end);
    }
  }
}

TEST_F(SearchTest, BlockReadsFindWhatAByteByByteSearchFinds) {
  ScopedPump pump(&RecordingPump);
  for (unsigned seed : {1u, 2u, 3u}) {
    const std::string bytes = Material(600'000, seed);
    const std::string path = dir_.WriteFile("material.bin", bytes).string();
    for (std::int32_t scanLimit : {0, 150'000, 8'190}) {
      const int fd = ::open(path.c_str(), O_RDONLY);
      ASSERT_GE(fd, 0);
      zodizidu::detail::FileWindow window(fd);
      TMPEGData data = SearchRecord(static_cast<std::int64_t>(bytes.size()));
      std::int64_t start = 0;
      int searches = 0;
      while (true) {
        gPumpPositions.clear();
        const auto got = zodizidu::detail::SearchFrameHeader(window, start, scanLimit, data);
        const Outcome expected = ByteByByte(bytes, start, scanLimit);
        ++searches;
        ASSERT_EQ(got.end, expected.end) << "seed " << seed << " start " << start;
        if (got.end == SearchEnd::kShortRead) break;
        ASSERT_EQ((Outcome{got.end, got.position, gPumpPositions}), expected) << "seed " << seed << " start " << start;
        if (got.end == SearchEnd::kStopped) break;
        start = got.position - 3;  // on, one byte after the header found
      }
      EXPECT_GT(searches, scanLimit == 0 ? 50 : 1);
      ::close(fd);
    }
  }
}

TEST_F(SearchTest, PumpRunsAtEveryMultipleOf300DuringTheSearch) {
  ScopedPump pump(&RecordingPump);
  const std::string file = testsupport::Junk(1500) + Mp3File(10);
  ASSERT_EQ(AnalyzeBytes("rhythm.mp3", file), 0);
  // The search reaches 1504, where the header at 1500 is complete.
  EXPECT_EQ(gPumpPositions, (std::vector<std::int64_t>{300, 600, 900, 1200, 1500}));
  EXPECT_EQ(zodizidu::SearchPosition(), -1);
}

TEST_F(SearchTest, FourByteReadsAfterARejectedHeaderDoNotPump) {
  // The valid header at 295 has no second frame: its try ends at 299, the search goes on with a
  // four-byte read at 296 that reaches 300 without the pump; after that every multiple counts.
  const testsupport::MpegHeader cd = MakeHeader(1, 3, 128, 44100);
  const std::string file = testsupport::Junk(295) + cd.Bytes() + testsupport::Junk(1000, 7) + Mp3File(3);
  ScopedPump pump(&RecordingPump);
  ASSERT_EQ(AnalyzeBytes("restart.mp3", file), 0);
  EXPECT_EQ(audio_.HeaderPos(), 1299);
  EXPECT_EQ(gPumpPositions, (std::vector<std::int64_t>{600, 900, 1200}));
}

TEST_F(SearchTest, NoPumpNoCalls) {
  gPumpPositions.clear();
  zodizidu::SetMessagePump(nullptr);
  ASSERT_EQ(AnalyzeBytes("quiet.mp3", testsupport::Junk(5000) + Mp3File(10)), 0);
  EXPECT_TRUE(gPumpPositions.empty());
}

// An analysis started from inside the pump, as a click handled there would start one.
std::string gNestedPath;
int gNestedResult = 99;
int gDepth = 0;
void NestingPump() {
  gPumpPositions.push_back(zodizidu::SearchPosition());
  if (gDepth > 0 || gNestedResult != 99) return;
  ++gDepth;
  zodizidu::TMPEGAudio nested;
  nested.SetAutoRead(false);
  nested.SetFileName(gNestedPath);
  gNestedResult = nested.Analyze();
  --gDepth;
  gPumpPositions.push_back(zodizidu::SearchPosition());
}

TEST_F(SearchTest, AnotherAnalysisMayRunInsideThePump) {
  gNestedPath = dir_.WriteFile("inner.mp3", testsupport::Junk(700, 3) + Mp3File(5)).string();
  gNestedResult = 99;
  ScopedPump pump(&NestingPump);
  ASSERT_EQ(AnalyzeBytes("outer.mp3", testsupport::Junk(1000) + Mp3File(5)), 0);
  EXPECT_EQ(gNestedResult, 0);
  EXPECT_EQ(audio_.HeaderPos(), 1000);
  // Outer 300; inner 300 and 600; the outer position again after the inner analysis; outer 600, 900.
  EXPECT_EQ(gPumpPositions, (std::vector<std::int64_t>{300, 300, 600, 300, 600, 900}));
}

// The pump cuts the file being analysed, as another program might while the search runs.
std::string gShrinkPath;
std::uintmax_t gShrinkTo = 0;
void ShrinkingPump() {
  if (gShrinkTo != 0) std::filesystem::resize_file(gShrinkPath, gShrinkTo);
  gShrinkTo = 0;
}

TEST_F(SearchTest, FileCutDuringTheSearchEndsItWithoutAFrame) {
  const std::string file = testsupport::Junk(4'000'000) + Mp3File(10, testsupport::Id3v1Fields().Title("Gone"));
  gShrinkPath = dir_.WriteFile("shrinking.mp3", file).string();
  gShrinkTo = 1000;
  ScopedPump pump(&ShrinkingPump);
  EXPECT_EQ(AnalyzePath(gShrinkPath), -1);
  EXPECT_FALSE(audio_.IsValid());
  EXPECT_EQ(data().Title, "[notag]");
  EXPECT_EQ(data().FileLength, static_cast<std::int32_t>(file.size()));
}

TEST_F(SearchTest, FileCutAfterTheFirstHeaderKeepsIt) {
  // The cut leaves the first header and 100 bytes of its frame: the second header cannot be read.
  const std::string file = testsupport::Junk(100'000) + Mp3File(10, testsupport::Id3v1Fields().Title("Gone"));
  gShrinkPath = dir_.WriteFile("cut.mp3", file).string();
  gShrinkTo = 100'100;
  ScopedPump pump(&ShrinkingPump);
  EXPECT_EQ(AnalyzePath(gShrinkPath), -1);
  EXPECT_EQ(audio_.HeaderPos(), 100'000);
  EXPECT_TRUE(audio_.IsValid());
  EXPECT_EQ(data().Title, "[notag]");
}

}  // namespace
