// MPEGDLL.DLL decoding into WAV files, compared sample by sample with a direct libmpg123 decode.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <thread>

#include "tests/mpegdll/dll_fixture.h"
#include "tests/mpegdll/memory_stream.h"
#include "tests/support/lame_encoder.h"
#include "tests/support/mpeg_builder.h"

namespace mpegdlltest {
namespace {

using testsupport::GeneratedMp3;
using testsupport::LameSettings;

class DecodingTest : public DllTest {};

struct Material {
  const char* name;
  LameSettings settings;
};

class WavMatchesDirectDecode : public DllTest, public ::testing::WithParamInterface<Material> {};

TEST_P(WavMatchesDirectDecode, SamplesLengthAndHeaderAgree) {
  const std::string path = Write("song.mp3", GeneratedMp3(2.0, GetParam().settings));
  const Pcm direct = DirectDecode(path);
  ASSERT_GT(direct.Frames(), 0u);

  const WavFile wav = PlayToWav(path);
  ASSERT_TRUE(wav.valid);
  EXPECT_EQ(wav.pcm.rate, direct.rate);
  EXPECT_EQ(wav.pcm.channels, direct.channels);
  EXPECT_EQ(wav.dataSize, wav.fileSize - 44);
  EXPECT_EQ(wav.riffSize, wav.dataSize + 36);
  std::size_t firstDifference = 0;
  while (firstDifference < std::min(wav.pcm.samples.size(), direct.samples.size()) &&
         wav.pcm.samples[firstDifference] == direct.samples[firstDifference]) {
    ++firstDifference;
  }
  EXPECT_TRUE(wav.pcm.samples == direct.samples) << wav.pcm.Frames() << " frames against " << direct.Frames()
                                                 << ", first difference at sample " << firstDifference;
  EXPECT_EQ(dll.GetLength(), static_cast<int>(direct.Frames() * 1000 / static_cast<std::size_t>(direct.rate)));
  EXPECT_EQ(dll.GetCurrentPos(), dll.GetLength());
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_ENDED);
}

INSTANTIATE_TEST_SUITE_P(Kinds, WavMatchesDirectDecode,
                         ::testing::Values(Material{"ConstantBitRate", {44100, 2, 128, false, true}},
                                           Material{"VariableBitRateWithXing", {44100, 2, 128, true, true}},
                                           Material{"ConstantBitRateWithoutTag", {44100, 2, 160, false, false}},
                                           Material{"Mono", {44100, 1, 64, false, true}},
                                           Material{"LowRate22050", {22050, 2, 48, false, true}},
                                           Material{"LowRateMonoVbr", {16000, 1, 32, true, true}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DecodingTest, StartAndEndPositionsCutTheDirectDecode) {
  const std::string path = Write("vbr.mp3", GeneratedMp3(3.0, {44100, 2, 128, true, true}));
  const Pcm direct = DirectDecode(path);
  const WavFile wav = PlayToWav(path, 700, 2100);
  ASSERT_TRUE(wav.valid);
  const std::size_t from = 700 * 44100 / 1000;
  const std::size_t to = 2100 * 44100 / 1000;
  EXPECT_EQ(wav.pcm.Frames(), to - from);
  EXPECT_TRUE(wav.pcm.samples == direct.Slice(from, to - from).samples);
  EXPECT_EQ(dll.GetCurrentPos(), 2100);
}

TEST_F(DecodingTest, StartWithoutEndPlaysToTheEndAndAnEmptyRangeEndsAtOnce) {
  const std::string path = Write("cbr.mp3", GeneratedMp3(2.0));
  const Pcm direct = DirectDecode(path);
  const WavFile tail = PlayToWav(path, 1500, 0);
  ASSERT_TRUE(tail.valid);
  EXPECT_TRUE(tail.pcm.samples == direct.Slice(1500 * 44100 / 1000, direct.Frames()).samples);

  const WavFile empty = PlayToWav(path, 1500, 1000);
  ASSERT_TRUE(empty.valid);
  EXPECT_EQ(empty.pcm.Frames(), 0u);
  EXPECT_EQ(endByte, 1);

  const WavFile beyond = PlayToWav(path, 60000, 0);
  ASSERT_TRUE(beyond.valid);
  EXPECT_EQ(beyond.pcm.Frames(), 0u);
}

TEST_F(DecodingTest, SeekWhilePausedGoesOnWithTheSamplesOfTheDirectDecode) {
  MemoryStream stream;
  stream.data = GeneratedMp3(3.0, {44100, 2, 128, true, true});
  stream.readDelayUs = 2000;
  const Pcm direct = DirectDecode(Write("vbr.mp3", stream.data));
  ASSERT_EQ(stream.OpenWith(dll), 0);
  const std::string wav = (dir.path() / "seek.wav").string();
  ASSERT_EQ(dll.SetOutputDevice(MPEG_DEVICE_WAV_FILE, wav.c_str()), 0);
  stream.paced = true;
  ASSERT_EQ(dll.Play(0, 0, &endByte), 0);
  ASSERT_EQ(dll.Pause(0), 0);
  ASSERT_EQ(dll.GetPlayerMode(), MPEG_MODE_PAUSED);
  ASSERT_EQ(dll.Seek(1777), 0);
  EXPECT_EQ(dll.GetCurrentPos(), 1777);
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_PAUSED);
  stream.paced = false;
  ASSERT_EQ(dll.Pause(1), 0);
  ASSERT_TRUE(WaitForByte(&endByte, 30.0));

  const WavFile out = ReadWav(wav);
  ASSERT_TRUE(out.valid);
  const std::size_t target = (1777 * 44100 + 999) / 1000;
  const std::size_t after = direct.Frames() - target;
  ASSERT_GE(out.pcm.Frames(), after);
  const std::size_t before = out.pcm.Frames() - after;
  EXPECT_TRUE(out.pcm.Slice(0, before).samples == direct.Slice(0, before).samples);
  EXPECT_TRUE(out.pcm.Slice(before, after).samples == direct.Slice(target, after).samples);
}

TEST_F(DecodingTest, TenMegabytesOfJunkBeforeTheFirstFrameArePassedOver) {
  const std::string clean = GeneratedMp3(1.0);
  const Pcm direct = DirectDecode(Write("clean.mp3", clean));
  // Random bytes hold false frame syncs, and even false frame pairs, every few megabytes.
  const std::string path = Write("junk.mp3", RandomBytes(10 * 1024 * 1024, 7) + clean);
  const WavFile wav = PlayToWav(path);
  ASSERT_TRUE(wav.valid);
  EXPECT_TRUE(wav.pcm.samples == direct.samples);
  EXPECT_EQ(dll.GetLength(), static_cast<int>(direct.Frames() * 1000 / 44100));
}

TEST_F(DecodingTest, LeadingId3v2TagAndUnknownBlockArePassedOver) {
  const std::string clean = GeneratedMp3(1.0);
  const Pcm direct = DirectDecode(Write("clean.mp3", clean));
  const WavFile tagged = PlayToWav(Write("tagged.mp3", testsupport::Id3v2Block(64 * 1024) + clean));
  ASSERT_TRUE(tagged.valid);
  EXPECT_TRUE(tagged.pcm.samples == direct.samples);
  const WavFile unknown = PlayToWav(Write("unknown.mp3", testsupport::Junk(3 * 1024 * 1024) + clean));
  ASSERT_TRUE(unknown.valid);
  EXPECT_TRUE(unknown.pcm.samples == direct.samples);
}

TEST_F(DecodingTest, TruncatedFilePlaysWhatItHolds) {
  const std::string full = GeneratedMp3(2.0);
  const std::string path = Write("cut.mp3", full.substr(0, full.size() * 6 / 10 + 123));
  const Pcm direct = DirectDecode(path);
  const WavFile wav = PlayToWav(path);
  ASSERT_TRUE(wav.valid);
  EXPECT_EQ(endByte, 1);
  EXPECT_GT(wav.pcm.Frames(), 44100u);
  EXPECT_TRUE(wav.pcm.samples == direct.samples) << wav.pcm.Frames() << " frames against " << direct.Frames();
}

TEST_F(DecodingTest, GarbageInTheMiddlePlaysToTheEnd) {
  const std::string full = GeneratedMp3(3.0);
  const Pcm direct = DirectDecode(Write("full.mp3", full));
  const std::size_t middle = full.size() / 2;
  const std::string damaged = full.substr(0, middle) + RandomBytes(20000, 3) + full.substr(middle);
  const WavFile wav = PlayToWav(Write("damaged.mp3", damaged));
  ASSERT_TRUE(wav.valid);
  EXPECT_EQ(endByte, 1);
  // The frames after the damage play too: about the whole length comes out.
  EXPECT_GT(wav.pcm.Frames(), direct.Frames() * 9 / 10);
  const std::size_t sure = direct.Frames() * 4 / 10;
  EXPECT_TRUE(wav.pcm.Slice(0, sure).samples == direct.Slice(0, sure).samples);
}

TEST_F(DecodingTest, FormatChangeIsConvertedIntoTheFirstFormatOfTheWavFile) {
  const std::string first = GeneratedMp3(1.0, {44100, 2, 128, false, false});
  const std::string second = GeneratedMp3(1.0, {22050, 1, 32, false, false}, 2);
  const std::size_t expected =
      DirectDecode(Write("first.mp3", first)).Frames() + 2 * DirectDecode(Write("second.mp3", second)).Frames();
  const WavFile wav = PlayToWav(Write("change.mp3", first + second));
  ASSERT_TRUE(wav.valid);
  EXPECT_EQ(wav.pcm.rate, 44100);
  EXPECT_EQ(wav.pcm.channels, 2);
  EXPECT_NEAR(static_cast<double>(wav.pcm.Frames()), static_cast<double>(expected), 2 * 1152);
}

TEST_F(DecodingTest, FileNamesAreFoundIgnoringLetterCase) {
  const std::string path = Write("Album/Song.MP3", GeneratedMp3(0.5));
  EXPECT_EQ(dll.OpenFile((dir.path() / "ALBUM/song.mp3").string()), 0);
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_OPENED);
  EXPECT_EQ(dll.GetFrequency(), 44100);
  EXPECT_EQ(dll.GetBitrate(), 128);
  EXPECT_EQ(dll.GetLayer(), 3);
}

TEST_F(DecodingTest, MissingUnreadableAndNonMpegInputsAreInputErrors) {
  EXPECT_EQ(dll.OpenFile((dir.path() / "absent.mp3").string()), MPEG_ERROR_INPUT);
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_CLOSED);
  EXPECT_EQ(dll.OpenFile(Write("text.mp3", std::string(5000, 'x'))), MPEG_ERROR_INPUT);
  EXPECT_EQ(dll.OpenFile(Write("junk.mp3", RandomBytes(300000, 11))), MPEG_ERROR_INPUT);
  EXPECT_EQ(dll.OpenFile(Write("empty.mp3", "")), MPEG_ERROR_INPUT);
  EXPECT_EQ(dll.OpenFile(dir.MakeDir("folder.mp3").string()), MPEG_ERROR_INPUT);
  EXPECT_EQ(dll.OpenFile(""), MPEG_ERROR_INPUT);
  dll.Open(nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(dll.LastError(), MPEG_ERROR_INPUT);
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_CLOSED);
  EXPECT_EQ(dll.Play(0, 0, &endByte), MPEG_ERROR_MODE);
}

TEST_F(DecodingTest, FifoAndDevicesAreRefusedWithoutWaiting) {
  const std::string fifo = (dir.path() / "pipe.mp3").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto opening = std::async(std::launch::async, [&] { return dll.OpenFile(fifo); });
  if (opening.wait_for(std::chrono::seconds(10)) == std::future_status::timeout) {
    // Let the waiting open go on: a writer comes and leaves at once.
    ::close(::open(fifo.c_str(), O_RDWR));
    ADD_FAILURE() << "Open waited for a writer of the FIFO";
  }
  EXPECT_EQ(opening.get(), MPEG_ERROR_INPUT);
  EXPECT_EQ(dll.OpenFile("/dev/zero"), MPEG_ERROR_INPUT);
  EXPECT_EQ(dll.OpenFile("/dev/null"), MPEG_ERROR_INPUT);
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_CLOSED);
}

TEST_F(DecodingTest, OpenReadsTheStartOfTheStreamOnly) {
  for (const bool infoTag : {true, false}) {
    MemoryStream stream;
    stream.data = GeneratedMp3(60.0, {44100, 2, 128, false, infoTag});
    ASSERT_EQ(stream.OpenWith(dll), 0);
    EXPECT_LT(stream.bytesRead, 64u * 1024) << stream.data.size() << " bytes, info frame " << infoTag;
    // A constant bit rate gives the length within a frame.
    EXPECT_NEAR(dll.GetLength(), 60000, 60) << infoTag;
  }
}

TEST_F(DecodingTest, FileWithoutFrameCountIsMeasuredWhileItIsOpen) {
  const std::string path = Write("cbr.mp3", GeneratedMp3(4.0, {44100, 2, 160, false, false}));
  const Pcm direct = DirectDecode(path);
  const auto directMs = static_cast<int>(direct.Frames() * 1000 / 44100);
  ASSERT_EQ(dll.OpenFile(path), 0);
  EXPECT_NEAR(dll.GetLength(), directMs, 27);
  // Exact once the file has been read through on the side, without playing it.
  for (int i = 0; i < 5000 && dll.GetLength() != directMs; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_EQ(dll.GetLength(), directMs);
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_OPENED);
}

TEST_F(DecodingTest, VbriFrameCountGivesTheLengthOfAVariableBitRate) {
  // A VBRI first frame at 128 kbit/s, then 200 frames at 32 kbit/s: the size alone would give
  // about a quarter of the length.
  std::string first = testsupport::Frame(testsupport::MakeHeader(1, 3, 128, 44100));
  first.replace(36, 4, "VBRI");
  first[36 + 17] = static_cast<char>(200);
  MemoryStream stream;
  stream.data = first + testsupport::Frames(testsupport::MakeHeader(1, 3, 32, 44100), 200);
  ASSERT_EQ(stream.OpenWith(dll), 0);
  EXPECT_NEAR(dll.GetLength(), 200 * 1152 * 1000 / 44100, 30);
}

TEST_F(DecodingTest, LengthFromTheSizeLeavesOutTheTagsAtTheEnd) {
  // No frame count: the length follows from the bytes between the first frame and the APE and
  // ID3v1 tags at the end (20 KB of tags would add more than a second at 128 kbit/s).
  MemoryStream stream;
  const std::string audio = GeneratedMp3(2.0, {44100, 2, 128, false, false});
  stream.data = audio + testsupport::ApeTag(20000) + testsupport::Id3v1Tag(testsupport::Id3v1Fields().Title("t"));
  const Pcm direct = DirectDecode(Write("cbr.mp3", audio));
  ASSERT_EQ(stream.OpenWith(dll), 0);
  EXPECT_NEAR(dll.GetLength(), static_cast<int>(direct.Frames() * 1000 / 44100), 27);
  stream.data = audio + testsupport::ApeTag(20000);
  ASSERT_EQ(stream.OpenWith(dll), 0);
  EXPECT_NEAR(dll.GetLength(), static_cast<int>(direct.Frames() * 1000 / 44100), 27);
}

TEST_F(DecodingTest, ForwardOnlyStreamTakesItsLengthFromItsSize) {
  MemoryStream stream;
  stream.nonseekable = true;
  stream.data = GeneratedMp3(2.0, {44100, 2, 128, false, false});
  const Pcm direct = DirectDecode(Write("cbr.mp3", stream.data));
  const auto directMs = static_cast<int>(direct.Frames() * 1000 / 44100);
  ASSERT_EQ(stream.OpenWith(dll), 0);
  // Without a frame count the length follows from the size and the bit rate: one frame either way.
  EXPECT_NEAR(dll.GetLength(), directMs, 27);
  EXPECT_GT(dll.GetLength(), 0);
  stream.reportsSize = false;
  ASSERT_EQ(stream.OpenWith(dll), 0);
  EXPECT_EQ(dll.GetLength(), 0);
}

TEST_F(DecodingTest, StreamThatCannotSeekAfterAllIsReadForward) {
  MemoryStream stream;
  stream.failSeeks = true;
  stream.data = testsupport::Id3v2Block(3000) + GeneratedMp3(1.0);
  const Pcm direct = DirectDecode(Write("song.mp3", stream.data));
  ASSERT_EQ(stream.OpenWith(dll), 0);
  EXPECT_EQ(dll.GetLength(), static_cast<int>(direct.Frames() * 1000 / 44100));
  const std::string wav = (dir.path() / "stream.wav").string();
  ASSERT_EQ(dll.SetOutputDevice(MPEG_DEVICE_WAV_FILE, wav.c_str()), 0);
  ASSERT_EQ(dll.Play(0, 0, &endByte), 0);
  ASSERT_TRUE(WaitForByte(&endByte, 30.0));
  EXPECT_TRUE(ReadWav(wav).pcm.samples == direct.samples);
  // Played again through its restart callback.
  endByte = 0;
  ASSERT_EQ(dll.Restart(), 0);
  EXPECT_EQ(stream.restarts, 1);
  ASSERT_TRUE(WaitForByte(&endByte, 30.0));
  EXPECT_TRUE(ReadWav(wav).pcm.samples == direct.samples);
}

TEST_F(DecodingTest, SeekableStreamPlaysLikeTheFileAndIsClosedOnce) {
  MemoryStream stream;
  stream.data = GeneratedMp3(1.5, {44100, 2, 128, true, true});
  const Pcm direct = DirectDecode(Write("vbr.mp3", stream.data));
  ASSERT_EQ(stream.OpenWith(dll), 0);
  EXPECT_EQ(stream.opens, 1);
  EXPECT_EQ(dll.GetLength(), static_cast<int>(direct.Frames() * 1000 / 44100));
  const std::string wav = (dir.path() / "stream.wav").string();
  ASSERT_EQ(dll.SetOutputDevice(MPEG_DEVICE_WAV_FILE, wav.c_str()), 0);
  ASSERT_EQ(dll.Play(0, 0, &endByte), 0);
  ASSERT_TRUE(WaitForByte(&endByte, 30.0));
  EXPECT_TRUE(ReadWav(wav).pcm.samples == direct.samples);
  EXPECT_EQ(stream.closes, 0);
  EXPECT_EQ(dll.Close(), 0);
  EXPECT_EQ(stream.closes, 1);
  EXPECT_EQ(dll.Close(), 0);
  EXPECT_EQ(stream.closes, 1);
}

TEST_F(DecodingTest, NonSeekableStreamRestartsThroughItsCallbackAndRefusesSeeks) {
  MemoryStream stream;
  stream.nonseekable = true;
  stream.data = testsupport::Junk(5000) + GeneratedMp3(1.0);
  const Pcm direct = DirectDecode(Write("cbr.mp3", stream.data.substr(5000)));
  ASSERT_EQ(stream.OpenWith(dll), 0);
  const std::string wav = (dir.path() / "stream.wav").string();
  ASSERT_EQ(dll.SetOutputDevice(MPEG_DEVICE_WAV_FILE, wav.c_str()), 0);
  stream.readDelayUs = 1000;
  stream.paced = true;
  ASSERT_EQ(dll.Play(0, 0, &endByte), 0);
  EXPECT_EQ(dll.Seek(500), MPEG_ERROR_NONSEEKABLE);
  stream.paced = false;
  ASSERT_TRUE(WaitForByte(&endByte, 30.0));
  EXPECT_TRUE(ReadWav(wav).pcm.samples == direct.samples);

  endByte = 0;
  ASSERT_EQ(dll.Restart(), 0);
  EXPECT_EQ(stream.restarts, 1);
  ASSERT_TRUE(WaitForByte(&endByte, 30.0));
  EXPECT_TRUE(ReadWav(wav).pcm.samples == direct.samples);

  stream.restartSucceeds = false;
  EXPECT_EQ(dll.Restart(), MPEG_ERROR_NONSEEKABLE);
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_STOPPED);
}

TEST_F(DecodingTest, ForwardOnlyStreamReachesItsStartPositionByDecoding) {
  MemoryStream stream;
  stream.nonseekable = true;
  stream.data = GeneratedMp3(2.0);
  const Pcm direct = DirectDecode(Write("cbr.mp3", stream.data));
  ASSERT_EQ(stream.OpenWith(dll), 0);
  const std::string wav = (dir.path() / "stream.wav").string();
  ASSERT_EQ(dll.SetOutputDevice(MPEG_DEVICE_WAV_FILE, wav.c_str()), 0);
  ASSERT_EQ(dll.Play(1200, 1800, &endByte), 0);
  ASSERT_TRUE(WaitForByte(&endByte, 30.0));
  const std::size_t from = 1200 * 44100 / 1000;
  EXPECT_TRUE(ReadWav(wav).pcm.samples == direct.Slice(from, 1800 * 44100 / 1000 - from).samples);
}

TEST_F(DecodingTest, StreamsThatCannotBeReadAreInputErrors) {
  MemoryStream failing;
  failing.data = GeneratedMp3(0.5);
  failing.failReads = true;
  EXPECT_EQ(failing.OpenWith(dll), MPEG_ERROR_INPUT);
  EXPECT_EQ(failing.opens, 1);
  EXPECT_EQ(failing.closes, 1);

  MemoryStream empty;
  EXPECT_EQ(empty.OpenWith(dll), MPEG_ERROR_INPUT);

  // Without a read callback nothing is called at all.
  dll.Open(nullptr, 1, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &failing);
  EXPECT_EQ(dll.LastError(), MPEG_ERROR_INPUT);
  EXPECT_EQ(failing.opens, 1);
}

}  // namespace
}  // namespace mpegdlltest
