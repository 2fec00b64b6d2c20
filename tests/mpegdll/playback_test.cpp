// The decode thread's state machine driven step by step on the test's thread with a fake output.
#include <gtest/gtest.h>

#include "mpegdll/detail/playback.h"
#include "tests/mpegdll/memory_input.h"
#include "tests/mpegdll/reference_decode.h"
#include "tests/support/lame_encoder.h"
#include "tests/support/temp_dir.h"

namespace mpegdlltest {
namespace {

using mpegdll::detail::Mode;
using mpegdll::detail::PcmFormat;
using mpegdll::detail::Status;

// Takes at most `chunk` frames per write and reports `delay` frames as not heard yet.
struct FakeOutputState {
  std::vector<PcmFormat> opened;
  std::vector<std::int16_t> samples;
  long chunk = 4096;
  long delay = 0;
  bool fail = false;
  int pauses = 0, resumes = 0, discards = 0, closes = 0;
};

class FakeOutput final : public mpegdll::detail::Output {
 public:
  FakeOutput(FakeOutputState& state, bool keepsFirst) : s_(state), keepsFirst_(keepsFirst) {}
  bool Open(const PcmFormat& format) override {
    s_.opened.push_back(format);
    format_ = format;
    return true;
  }
  long Write(const std::int16_t* samples, long frames) override {
    if (s_.fail) return -1;
    const long n = std::min(frames, s_.chunk);
    s_.samples.insert(s_.samples.end(), samples, samples + n * format_.channels);
    return n;
  }
  long Delay() override { return s_.delay; }
  void Wait(int, int) override {}
  void WaitPlayed(int, int) override {}
  void Pause() override { ++s_.pauses; }
  void Resume() override { ++s_.resumes; }
  void Discard() override { ++s_.discards; }
  bool Drained() override { return s_.delay == 0; }
  bool Close() override {
    ++s_.closes;
    return true;
  }
  bool KeepsFirstFormat() const override { return keepsFirst_; }
  bool Lingers() const override { return !keepsFirst_; }  // a sound device, unlike a file

 private:
  FakeOutputState& s_;
  bool keepsFirst_;
  PcmFormat format_;
};

class PlaybackTest : public ::testing::Test {
 protected:
  // Opens `mp3` and starts it from `startMs` into a fake output.
  void Start(const std::string& mp3, bool keepsFirst = false, std::int32_t startMs = 0) {
    path = dir.WriteFile("song.mp3", mp3).string();
    Status status = Status::kOk;
    auto decoder = mpegdll::detail::Decoder::Open(std::make_unique<MemoryInput>(mp3, true), &status);
    ASSERT_TRUE(decoder);
    playback.Attach(std::move(decoder));
    mpegdll::detail::StartRequest request;
    request.startMs = startMs;
    request.endByte = &endByte;
    request.output = std::make_unique<FakeOutput>(out, keepsFirst);
    ASSERT_EQ(playback.Start(std::move(request)), Status::kOk);
  }
  // Steps until the mode is no longer playing (or `frames` frames were written, when given).
  void Run(std::size_t frames = 0, int channels = 2) {
    for (int i = 0; i < 100000 && playback.mode() == Mode::kPlaying; ++i) {
      if (frames && out.samples.size() >= frames * static_cast<std::size_t>(channels)) return;
      playback.Step();
    }
  }

  testsupport::TempDir dir;
  std::string path;
  mpegdll::detail::Playback playback{-1};  // the fake output never waits, so no wake-up descriptor
  FakeOutputState out;
  std::uint8_t endByte = 0;
};

TEST_F(PlaybackTest, SeekWhilePlayingContinuesWithTheExactSamples) {
  Start(testsupport::GeneratedMp3(3.0, {44100, 2, 128, true, true}));
  const Pcm direct = DirectDecode(path);
  Run(20000);
  const std::size_t before = out.samples.size() / 2;
  ASSERT_EQ(playback.Seek(2222), Status::kOk);
  EXPECT_EQ(out.discards, 1);
  EXPECT_EQ(playback.positionMs(), 2222);
  Run();
  EXPECT_EQ(playback.mode(), Mode::kEnded);
  const std::size_t target = (2222 * 44100 + 999) / 1000;
  Pcm got{44100, 2, out.samples};
  EXPECT_TRUE(got.Slice(0, before).samples == direct.Slice(0, before).samples);
  EXPECT_TRUE(got.Slice(before, got.Frames()).samples == direct.Slice(target, direct.Frames()).samples);
}

TEST_F(PlaybackTest, FormatChangeOpensTheSoundDeviceAgainAfterItPlayedOut) {
  const std::string first = testsupport::GeneratedMp3(0.5, {44100, 2, 128, false, false});
  const std::string second = testsupport::GeneratedMp3(0.5, {22050, 1, 32, false, false}, 2);
  Start(first + second);
  out.delay = 100;
  Run(1, 2);
  // The first part has been written; its tail is still being heard, so the device stays.
  for (int i = 0; i < 200; ++i) playback.Step();
  ASSERT_EQ(out.opened.size(), 1u);
  out.delay = 0;
  Run();
  ASSERT_EQ(out.opened.size(), 2u);
  EXPECT_EQ(out.opened[0], (PcmFormat{44100, 2}));
  EXPECT_EQ(out.opened[1], (PcmFormat{22050, 1}));
  EXPECT_EQ(playback.mode(), Mode::kEnded);
  // The position goes on from where the first part ended, counted in the second part's rate.
  const std::size_t firstFrames = DirectDecode(dir.WriteFile("first.mp3", first).string()).Frames();
  const std::size_t secondFrames = DirectDecode(dir.WriteFile("second.mp3", second).string()).Frames();
  EXPECT_EQ(out.samples.size(), firstFrames * 2 + secondFrames);
  EXPECT_EQ(playback.positionMs(), static_cast<int>(firstFrames * 1000 / 44100 + secondFrames * 1000 / 22050));
}

TEST_F(PlaybackTest, FileOutputKeepsTheFirstFormat) {
  const std::string first = testsupport::GeneratedMp3(0.5, {44100, 2, 128, false, false});
  const std::string second = testsupport::GeneratedMp3(0.5, {22050, 1, 32, false, false}, 2);
  Start(first + second, true);
  Run();
  ASSERT_EQ(out.opened.size(), 1u);
  EXPECT_EQ(out.opened[0], (PcmFormat{44100, 2}));
  EXPECT_EQ(playback.mode(), Mode::kEnded);
}

// The device plays its last frames on its own: the byte comes when little is left to be heard.
TEST_F(PlaybackTest, EndByteWaitsUntilLittleIsLeftToBeHeardAndIsSetOnce) {
  Start(testsupport::GeneratedMp3(0.5));
  out.delay = 44100 / 2;
  Run(1);
  for (int i = 0; i < 500; ++i) playback.Step();
  EXPECT_EQ(endByte, 0);
  EXPECT_EQ(playback.mode(), Mode::kPlaying);
  const Pcm direct = DirectDecode(path);
  EXPECT_EQ(out.samples.size(), direct.samples.size());
  EXPECT_EQ(playback.positionMs(), static_cast<int>((direct.Frames() - 44100 / 2) * 1000 / 44100));
  out.delay = 44100 / 20;
  playback.Step();
  EXPECT_EQ(endByte, 1);
  EXPECT_EQ(playback.mode(), Mode::kEnded);
  EXPECT_EQ(out.closes, 0) << "the last 50 ms still play";
  endByte = 0;
  out.delay = 0;
  for (int i = 0; i < 10; ++i) playback.Step();
  EXPECT_EQ(endByte, 0);
  EXPECT_EQ(out.closes, 1);
  EXPECT_EQ(playback.positionMs(), static_cast<int>(direct.Frames() * 1000 / 44100));
}

TEST_F(PlaybackTest, FailingOutputStopsAndReportsTheFaultOnce) {
  Start(testsupport::GeneratedMp3(0.5));
  out.fail = true;
  Run();
  EXPECT_EQ(playback.mode(), Mode::kStopped);
  EXPECT_EQ(playback.TakeFault(), Status::kOutputError);
  EXPECT_EQ(playback.TakeFault(), Status::kOk);
  EXPECT_EQ(endByte, 0);
  EXPECT_EQ(out.closes, 1);
}

TEST_F(PlaybackTest, PauseAndResumeReachTheOutput) {
  Start(testsupport::GeneratedMp3(0.5));
  Run(2000);
  ASSERT_EQ(playback.Pause(true), Status::kOk);
  EXPECT_FALSE(playback.Active());
  const std::size_t held = out.samples.size();
  for (int i = 0; i < 10; ++i) playback.Step();
  EXPECT_EQ(out.samples.size(), held);
  ASSERT_EQ(playback.Pause(false), Status::kOk);
  EXPECT_EQ(out.pauses, 1);
  EXPECT_EQ(out.resumes, 1);
  Run();
  EXPECT_EQ(out.samples, DirectDecode(path).samples);
}

}  // namespace
}  // namespace mpegdlltest
