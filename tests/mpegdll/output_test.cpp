// The WAV file and the ALSA output, the latter with faults put between it and a fake device.
#include <gtest/gtest.h>

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <deque>
#include <numeric>

#include "mpegdll/detail/alsa_output.h"
#include "mpegdll/detail/playback.h"
#include "mpegdll/detail/priority.h"
#include "mpegdll/detail/wav_output.h"
#include "tests/mpegdll/memory_input.h"
#include "tests/mpegdll/reference_decode.h"
#include "tests/support/lame_encoder.h"
#include "tests/support/temp_dir.h"

namespace mpegdlltest {
namespace {

using mpegdll::detail::AlsaOutput;
using mpegdll::detail::PcmFormat;
using mpegdll::detail::WavOutput;

std::vector<std::int16_t> Ramp(std::size_t count, std::int16_t from) {
  std::vector<std::int16_t> v(count);
  std::iota(v.begin(), v.end(), from);
  return v;
}

TEST(WavOutputTest, SizesAreRightAfterPauseAndClose) {
  testsupport::TempDir dir;
  const std::string path = (dir.path() / "out.wav").string();
  WavOutput wav(path);
  ASSERT_TRUE(wav.Create());
  ASSERT_TRUE(wav.Open(PcmFormat{22050, 1}));
  const auto first = Ramp(1000, 0);
  EXPECT_EQ(wav.Write(first.data(), 1000), 1000);
  wav.Pause();
  WavFile paused = ReadWav(path);
  ASSERT_TRUE(paused.valid);
  EXPECT_EQ(paused.dataSize, 2000u);
  EXPECT_EQ(paused.pcm.samples, first);

  // A different format is refused: the file keeps its first one.
  EXPECT_FALSE(wav.Open(PcmFormat{44100, 2}));
  EXPECT_TRUE(wav.Open(PcmFormat{22050, 1}));
  const auto second = Ramp(500, 1000);
  EXPECT_EQ(wav.Write(second.data(), 500), 500);
  wav.Close();
  const WavFile closed = ReadWav(path);
  ASSERT_TRUE(closed.valid);
  EXPECT_EQ(closed.pcm.rate, 22050);
  EXPECT_EQ(closed.pcm.channels, 1);
  EXPECT_EQ(closed.dataSize, 3000u);
  EXPECT_EQ(closed.riffSize, 3036u);
  EXPECT_EQ(closed.pcm.samples, Ramp(1500, 0));
  EXPECT_EQ(wav.Write(second.data(), 1), -1);
}

TEST(WavOutputTest, FileInAMissingFolderCannotBeCreated) {
  testsupport::TempDir dir;
  WavOutput wav((dir.path() / "missing" / "out.wav").string());
  EXPECT_FALSE(wav.Create());
  EXPECT_FALSE(wav.Open(PcmFormat{44100, 2}));
}

// A playback device in memory: it holds `capacity` frames and plays them when the test says so.
struct FakeDevice {
  std::vector<std::int16_t> written;
  long capacity = 1000;
  long queued = 0;
  snd_pcm_state_t state = SND_PCM_STATE_PREPARED;
  int openResult = 0;
  std::deque<int> writeFaults;    // returned by the next writes instead of writing
  std::deque<int> resumeResults;  // of the next resumes; 0 when empty
  int delayResult = 0;            // of delay() outside the setup state
  int pollFd = -1;                // handed out as the device's descriptor (ready for writing)
  int prepares = 0, starts = 0, drops = 0, resumes = 0, closes = 0;
};

FakeDevice* device = nullptr;
snd_pcm_t* Handle() { return reinterpret_cast<snd_pcm_t*>(device); }

const mpegdll::detail::PcmApi& FakeApi() {
  static const mpegdll::detail::PcmApi api{
      .open =
          [](snd_pcm_t** pcm, const char*, snd_pcm_stream_t, int, snd_config_t*) {
            *pcm = Handle();
            return device->openResult;
          },
      .updateConfig =
          [](snd_config_t** config, snd_config_update_t**) {
            *config = reinterpret_cast<snd_config_t*>(device);
            return 0;
          },
      .freeConfig = [](snd_config_t*, snd_config_update_t*) {},
      .setParams = [](snd_pcm_t*, snd_pcm_format_t, snd_pcm_access_t, unsigned, unsigned, int, unsigned) { return 0; },
      .getParams =
          [](snd_pcm_t*, snd_pcm_uframes_t* buffer, snd_pcm_uframes_t* period) {
            *buffer = static_cast<snd_pcm_uframes_t>(device->capacity);
            *period = *buffer / 4;
            return 0;
          },
      .writei = [](snd_pcm_t*, const void* data, snd_pcm_uframes_t frames) -> snd_pcm_sframes_t {
        if (!device->writeFaults.empty()) {
          const int fault = device->writeFaults.front();
          device->writeFaults.pop_front();
          return fault;
        }
        const long n = std::min<long>(static_cast<long>(frames), device->capacity - device->queued);
        if (n == 0) return -EAGAIN;
        const auto* s = static_cast<const std::int16_t*>(data);
        device->written.insert(device->written.end(), s, s + n * 2);
        device->queued += n;
        if (device->queued == device->capacity) device->state = SND_PCM_STATE_RUNNING;
        return n;
      },
      .delay =
          [](snd_pcm_t*, snd_pcm_sframes_t* frames) {
            *frames = device->queued;
            return device->state == SND_PCM_STATE_SETUP ? -EBADFD : device->delayResult;
          },
      .state = [](snd_pcm_t*) { return device->state; },
      .prepare =
          [](snd_pcm_t*) {
            ++device->prepares;
            device->queued = 0;
            device->state = SND_PCM_STATE_PREPARED;
            return 0;
          },
      .start =
          [](snd_pcm_t*) {
            ++device->starts;
            device->state = SND_PCM_STATE_RUNNING;
            return 0;
          },
      .drop =
          [](snd_pcm_t*) {
            ++device->drops;
            device->queued = 0;
            device->state = SND_PCM_STATE_SETUP;
            return 0;
          },
      .resume =
          [](snd_pcm_t*) {
            ++device->resumes;
            if (device->resumeResults.empty()) return 0;
            const int r = device->resumeResults.front();
            device->resumeResults.pop_front();
            return r;
          },
      .recover = [](snd_pcm_t* pcm, int, int) { return FakeApi().prepare(pcm); },
      .pollCount = [](snd_pcm_t*) { return device->pollFd >= 0 ? 1 : 0; },
      .pollDescriptors =
          [](snd_pcm_t*, struct pollfd* fds, unsigned space) {
            if (device->pollFd < 0 || space < 1) return 0;
            fds[0] = pollfd{device->pollFd, POLLOUT, 0};
            return 1;
          },
      .close =
          [](snd_pcm_t*) {
            ++device->closes;
            return 0;
          },
  };
  return api;
}

class AlsaOutputTest : public ::testing::Test {
 protected:
  void SetUp() override { device = &fake; }
  FakeDevice fake;
  AlsaOutput output{FakeApi()};
};

TEST_F(AlsaOutputTest, UnderrunIsRecoveredAndWritingGoesOn) {
  ASSERT_TRUE(output.Open(PcmFormat{44100, 2}));
  const auto samples = Ramp(200, 0);
  fake.writeFaults = {-EPIPE};
  EXPECT_EQ(output.Write(samples.data(), 100), 0);
  EXPECT_EQ(fake.prepares, 1);
  EXPECT_EQ(output.Write(samples.data(), 100), 100);
  EXPECT_EQ(fake.written, samples);
}

TEST_F(AlsaOutputTest, SuspendIsResumedWhenTheDeviceIsReadyWithoutWaiting) {
  ASSERT_TRUE(output.Open(PcmFormat{44100, 2}));
  const auto samples = Ramp(200, 0);
  fake.writeFaults = {-ESTRPIPE};
  fake.resumeResults = {-EAGAIN, -EAGAIN, 0};
  EXPECT_EQ(output.Write(samples.data(), 100), 0);
  EXPECT_EQ(output.Write(samples.data(), 100), 0);
  EXPECT_EQ(output.Write(samples.data(), 100), 100);
  EXPECT_EQ(fake.resumes, 3);
  EXPECT_EQ(fake.prepares, 0);

  // A device that cannot resume is prepared again instead.
  fake.writeFaults = {-ESTRPIPE};
  fake.resumeResults = {-ENOSYS};
  EXPECT_EQ(output.Write(samples.data(), 100), 0);
  EXPECT_EQ(fake.prepares, 1);
  EXPECT_EQ(output.Write(samples.data(), 100), 100);
}

TEST_F(AlsaOutputTest, VanishedDeviceIsFinal) {
  ASSERT_TRUE(output.Open(PcmFormat{44100, 2}));
  const auto samples = Ramp(200, 0);
  fake.writeFaults = {-ENODEV};
  EXPECT_EQ(output.Write(samples.data(), 100), -1);
  fake.openResult = -ENOENT;
  EXPECT_FALSE(output.Open(PcmFormat{44100, 2}));
  EXPECT_EQ(output.Write(samples.data(), 100), -1);
}

TEST_F(AlsaOutputTest, PauseHandsBackWhatTheDeviceHadNotPlayed) {
  ASSERT_TRUE(output.Open(PcmFormat{44100, 2}));
  const auto first = Ramp(600, 0);
  ASSERT_EQ(output.Write(first.data(), 300), 300);
  fake.queued = 120;  // the device has played 180 of the 300 frames
  EXPECT_EQ(output.Delay(), 120);
  output.Pause();
  EXPECT_EQ(fake.drops, 1);
  EXPECT_EQ(output.Delay(), 120);
  output.Resume();
  const auto second = Ramp(100, 600);
  EXPECT_EQ(output.Write(second.data(), 50), 50);
  std::vector<std::int16_t> expected(first.begin(), first.end());
  expected.insert(expected.end(), first.begin() + 360, first.end());  // frames 180..299 again
  expected.insert(expected.end(), second.begin(), second.end());
  EXPECT_EQ(fake.written, expected);
  fake.delayResult = -EIO;  // as the sound server's plugin before its first report on a stream set up again
  EXPECT_EQ(output.Delay(), 170);
  output.Pause();
  EXPECT_EQ(output.Delay(), 170);
}

TEST_F(AlsaOutputTest, DrainedStartsADeviceThatHoldsLessThanItsStartThreshold) {
  ASSERT_TRUE(output.Open(PcmFormat{44100, 2}));
  const auto samples = Ramp(20, 0);
  ASSERT_EQ(output.Write(samples.data(), 10), 10);
  EXPECT_FALSE(output.Drained());
  EXPECT_EQ(fake.starts, 1);
  EXPECT_FALSE(output.Drained());
  fake.queued = 0;
  EXPECT_TRUE(output.Drained());
  output.Close();
  EXPECT_EQ(fake.closes, 1);
  EXPECT_TRUE(output.Drained());
}

TEST_F(AlsaOutputTest, PlaybackWaitsForTheLastFramesInsteadOfPolling) {
  // A device with room all along, as a real one has while its last frames play.
  int pipeFds[2];
  ASSERT_EQ(::pipe(pipeFds), 0);
  fake.pollFd = pipeFds[1];
  fake.capacity = 1 << 20;
  const std::string mp3 = testsupport::GeneratedMp3(0.3);
  testsupport::TempDir dir;
  const std::size_t frames = DirectDecode(dir.WriteFile("song.mp3", mp3).string()).Frames();
  mpegdll::detail::Status status = mpegdll::detail::Status::kOk;
  auto decoder = mpegdll::detail::Decoder::Open(std::make_unique<MemoryInput>(mp3, true), &status);
  ASSERT_TRUE(decoder);
  mpegdll::detail::Playback playback{-1};
  playback.Attach(std::move(decoder));
  std::uint8_t endByte = 0;
  mpegdll::detail::StartRequest request;
  request.endByte = &endByte;
  request.output = std::make_unique<AlsaOutput>(FakeApi());
  ASSERT_EQ(playback.Start(std::move(request)), mpegdll::detail::Status::kOk);
  for (int i = 0; i < 10000 && fake.written.size() < frames * 2; ++i) playback.Step();
  ASSERT_EQ(fake.written.size(), frames * 2);

  // The device holds 0.3 s that it does not play here: each step waits a while for it.
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 5; ++i) playback.Step();
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(40));
  EXPECT_EQ(endByte, 0);
  fake.queued = 0;
  playback.Step();
  EXPECT_EQ(endByte, 1);
  ::close(pipeFds[0]);
  ::close(pipeFds[1]);
}

TEST(PriorityTest, ThreadPriorityLevelsMapOntoNiceValues) {
  EXPECT_EQ(mpegdll::detail::NiceForPriority(-15), 19);
  EXPECT_EQ(mpegdll::detail::NiceForPriority(-2), 10);
  EXPECT_EQ(mpegdll::detail::NiceForPriority(-1), 5);
  EXPECT_EQ(mpegdll::detail::NiceForPriority(0), 0);
  EXPECT_EQ(mpegdll::detail::NiceForPriority(1), -5);
  EXPECT_EQ(mpegdll::detail::NiceForPriority(2), -10);
  EXPECT_EQ(mpegdll::detail::NiceForPriority(15), -20);
  EXPECT_EQ(mpegdll::detail::NiceForPriority(-100), 19);
  EXPECT_EQ(mpegdll::detail::NiceForPriority(7), -10);
}

}  // namespace
}  // namespace mpegdlltest
