// The search for the first frame, and the view libmpg123 reads through.
#include <gtest/gtest.h>

#include "mpegdll/detail/frame_finder.h"
#include "mpegdll/detail/stream_view.h"
#include "tests/mpegdll/memory_input.h"
#include "tests/mpegdll/reference_decode.h"
#include "tests/support/mpeg_builder.h"
#include "tests/support/temp_dir.h"

namespace mpegdlltest {
namespace {

using mpegdll::detail::FindFirstFrame;
using testsupport::MakeHeader;

std::optional<std::int64_t> Find(const std::string& data, bool seekable = true) {
  MemoryInput input(data, seekable);
  const auto first = FindFirstFrame(input);
  if (!first) return std::nullopt;
  return first->offset;
}

TEST(FrameFinderTest, FindsTheFirstFramePastTagsAndJunk) {
  const std::string frames = testsupport::Mp3File(20);
  EXPECT_EQ(Find(frames), 0);
  EXPECT_EQ(Find(testsupport::Id3v2Block(5000) + frames), 5000);
  EXPECT_EQ(Find(testsupport::Junk(700000) + frames), 700000);
  EXPECT_EQ(Find(testsupport::Junk(700000) + frames, false), 700000);
}

TEST(FrameFinderTest, FalsePairsInRandomJunkLoseToARunOfFrames) {
  // A false sync, and a false pair: a valid header followed one frame later by another one.
  const auto a = MakeHeader(1, 3, 128, 44100);
  const auto b = MakeHeader(2, 2, 64, 22050);
  const std::string falsePair = a.Bytes() + std::string(413, '\0') + b.Bytes();
  const std::string junk = RandomBytes(3 * 1024 * 1024, 5) + falsePair + testsupport::Junk(999);
  const std::string frames = testsupport::Mp3File(10);
  EXPECT_EQ(Find(junk + frames), static_cast<std::int64_t>(junk.size()));
  EXPECT_EQ(Find(junk + frames, false), static_cast<std::int64_t>(junk.size()));
}

TEST(FrameFinderTest, ABarePairIsTakenWhenNothingBetterFollows) {
  const auto header = MakeHeader(1, 3, 128, 44100);
  const std::string pair = testsupport::Frames(header, 2);
  EXPECT_EQ(Find(testsupport::Junk(100) + pair + testsupport::Junk(300)), 100);
  // A single frame is no pair, and a frame cut short by the end of the input neither.
  EXPECT_FALSE(Find(testsupport::Junk(100) + testsupport::Frame(header) + testsupport::Junk(50)));
  EXPECT_FALSE(Find(testsupport::Junk(100) + testsupport::Frame(header).substr(0, 200)));
  EXPECT_FALSE(Find(""));
  EXPECT_FALSE(Find(testsupport::Junk(2 * 1024 * 1024)));
}

TEST(FrameFinderTest, FramesUpToTheEndOrATagCountAsARun) {
  const auto header = MakeHeader(2, 3, 64, 22050);
  const std::string file = testsupport::Frames(header, 3) + testsupport::Id3v1Tag({});
  // An earlier false pair in junk must not win over three frames that reach the tag.
  const std::string falsePair = testsupport::Frames(MakeHeader(1, 1, 32, 48000), 2);
  EXPECT_EQ(Find(testsupport::Junk(10) + falsePair + testsupport::Junk(5000) + file),
            10 + 5000 + static_cast<std::int64_t>(falsePair.size()));
}

TEST(FrameFinderTest, ForwardOnlyInputKeepsTheBytesItReadFromTheFrameOn) {
  const std::string frames = testsupport::Mp3File(10);
  const std::string data = testsupport::Junk(300000) + frames;
  MemoryInput input(data, false);
  const auto first = FindFirstFrame(input);
  ASSERT_TRUE(first);
  ASSERT_EQ(first->offset, 300000);
  // What was read from the frame on is handed back, so that nothing is lost.
  const std::string kept(first->readAhead.begin(), first->readAhead.end());
  ASSERT_LE(kept.size(), frames.size());
  EXPECT_EQ(kept, frames.substr(0, kept.size()));
  EXPECT_EQ(input.bytesRead, 300000 + kept.size());
}

TEST(StreamViewTest, OffsetsCountFromTheFirstFrame) {
  MemoryInput input(std::string(100, 'j') + "0123456789", true);
  mpegdll::detail::StreamView view(input, 100, {});
  char buffer[8] = {};
  EXPECT_EQ(view.Read(buffer, 3), 3);
  EXPECT_EQ(std::string(buffer, 3), "012");
  EXPECT_EQ(view.Seek(0, SEEK_CUR), 3);
  EXPECT_EQ(view.Seek(-2, SEEK_END), 8);
  EXPECT_EQ(view.Read(buffer, 8), 2);
  EXPECT_EQ(std::string(buffer, 2), "89");
  EXPECT_EQ(view.Seek(5, SEEK_SET), 5);
  EXPECT_EQ(view.Read(buffer, 1), 1);
  EXPECT_EQ(buffer[0], '5');
  EXPECT_EQ(view.Seek(-1, SEEK_SET), -1);  // before the first frame
}

TEST(StreamViewTest, ForwardOnlyViewServesTheReadAheadFirst) {
  MemoryInput input("jjjjABCDEFGH", false);
  char skip[6];
  ASSERT_EQ(input.Read(skip, 6), 6);  // "jjjjAB" taken by the search
  mpegdll::detail::StreamView view(input, 4, {'A', 'B'});
  char buffer[16] = {};
  EXPECT_EQ(view.Read(buffer, 16), 8);
  EXPECT_EQ(std::string(buffer, 8), "ABCDEFGH");
  EXPECT_EQ(view.Seek(0, SEEK_SET), -1);
  EXPECT_FALSE(view.failed());
}

TEST(FileInputTest, BufferedReadsAndSeeksGiveTheFileBytes) {
  testsupport::TempDir dir;
  const std::string data = RandomBytes(300000, 9);
  auto input = mpegdll::detail::OpenFileInput(dir.WriteFile("data.bin", data).string());
  ASSERT_TRUE(input);
  EXPECT_EQ(input->Size(), 300000);
  std::string got(200000, '\0');
  auto read = [&](std::size_t n) {
    const long r = input->Read(got.data(), n);
    return r < 0 ? std::string("<failed>") : got.substr(0, static_cast<std::size_t>(r));
  };
  EXPECT_EQ(read(10), data.substr(0, 10));
  EXPECT_EQ(input->Seek(0, SEEK_CUR), 10);
  EXPECT_EQ(input->Seek(5, SEEK_SET), 5);  // inside the buffer
  EXPECT_EQ(read(100), data.substr(5, 100));
  EXPECT_EQ(read(150000), data.substr(105, 150000));  // past the buffer, straight from the file
  EXPECT_EQ(input->Seek(0, SEEK_CUR), 150105);
  EXPECT_EQ(read(7), data.substr(150105, 7));
  EXPECT_EQ(input->Seek(-128, SEEK_END), 300000 - 128);
  EXPECT_EQ(read(1000), data.substr(300000 - 128));
  EXPECT_EQ(read(1000), "");
  EXPECT_EQ(input->Seek(-1, SEEK_SET), -1);
  EXPECT_TRUE(input->Rewind());
  EXPECT_EQ(read(3), data.substr(0, 3));
  EXPECT_FALSE(mpegdll::detail::OpenFileInput((dir.path() / "missing.bin").string()));
  EXPECT_FALSE(mpegdll::detail::OpenFileInput(dir.path().string()));
}

}  // namespace
}  // namespace mpegdlltest
