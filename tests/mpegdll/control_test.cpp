// MPEGDLL.DLL driven as the playback component drives it: exports, modes, codes, end byte, sound device.
#include <alsa/asoundlib.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <functional>
#include <thread>

#include "read_fault.h"
#include "tests/mpegdll/dll_fixture.h"
#include "tests/mpegdll/memory_stream.h"
#include "tests/support/lame_encoder.h"

namespace mpegdlltest {
namespace {

using testsupport::GeneratedMp3;

void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

class ControlTest : public DllTest {
 protected:
  // A stream that plays for a few hundred milliseconds on the null device: each read waits.
  int OpenPaced(double seconds = 3.0) {
    paced.data = GeneratedMp3(seconds, {22050, 1, 32, false, true});
    paced.readDelayUs = 3000;
    const int code = paced.OpenWith(dll);
    paced.paced = true;
    return code;
  }
  // Plays a short file on the null device to its end.
  void PlayShortFileToTheEnd() {
    ASSERT_EQ(dll.OpenFile(Write("short.mp3", GeneratedMp3(0.5))), 0);
    ASSERT_EQ(dll.Play(0, 0, &endByte), 0);
    ASSERT_TRUE(WaitForByte(&endByte, 10.0));
  }

  // Waits until the listener has heard at least `ms` milliseconds (a loaded machine may need long).
  void WaitForPosition(int ms) {
    for (int i = 0; i < 10000 && dll.GetCurrentPos() < ms; ++i) Sleep(1);
    ASSERT_GE(dll.GetCurrentPos(), ms);
  }

  MemoryStream paced;
};

int alsaMessages = 0;
void CountAlsaMessage(const char*, int, const char*, int, const char*, ...) { ++alsaMessages; }

// In a process of its own: "init" fails for want of file descriptors, the library is unloaded as
// the program does then, and ALSA reports an error afterwards. Exits 0 when all went well.
[[noreturn]] void InitFailsAndTheLibraryIsUnloaded() {
  snd_lib_error_set_handler(&CountAlsaMessage);
  void* handle = dlopen(MPEGDLL_PATH, RTLD_NOW | RTLD_LOCAL);
  if (!handle) _exit(10);
  const auto init = reinterpret_cast<MpegDll_init_t>(dlsym(handle, "init"));
  const auto lastError = reinterpret_cast<MpegDll_LastError_t>(dlsym(handle, "LastError"));
  rlimit limit{};
  getrlimit(RLIMIT_NOFILE, &limit);
  const rlimit before = limit;
  limit.rlim_cur = 64;
  setrlimit(RLIMIT_NOFILE, &limit);
  std::vector<int> held;
  for (int fd; (fd = open("/dev/null", O_RDONLY)) >= 0;) held.push_back(fd);
  const int ready = init();
  const int code = lastError();
  for (const int fd : held) close(fd);
  setrlimit(RLIMIT_NOFILE, &before);
  if (ready != 0 || code != MPEG_ERROR_DECODER) _exit(11);
  dlclose(handle);
  if (snd_lib_error != &CountAlsaMessage) _exit(12);
  snd_pcm_t* pcm = nullptr;
  if (snd_pcm_open(&pcm, "albavox_no_such_device", SND_PCM_STREAM_PLAYBACK, 0) >= 0) _exit(13);
  _exit(alsaMessages > 0 ? 0 : 14);
}

TEST(InitDeathTest, FailedInitLeavesTheAlsaErrorHandlerAsItFoundIt) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(InitFailsAndTheLibraryIsUnloaded(), ::testing::ExitedWithCode(0), "");
}

TEST_F(ControlTest, ExportsExactlyTheNineteenEntryPoints) {
  std::vector<std::string> expected{MPEGDLL_ENTRY_POINT_NAMES};
  std::vector<std::string> names = ExportedNames(MPEGDLL_PATH);
  std::sort(expected.begin(), expected.end());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, expected);
}

TEST_F(ControlTest, FirstStartPauseResumeStopAndCloseGiveTheirModes) {
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_CLOSED);
  ASSERT_EQ(OpenPaced(), 0);
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_OPENED);
  EXPECT_EQ(dll.SetPriority(0), 0);
  EXPECT_EQ(dll.SetOutputDevice(MPEG_DEVICE_WAVE_MAPPER, ""), 0);
  EXPECT_EQ(dll.Play(0, 0, &endByte), 0);
  EXPECT_EQ(dll.LastError(), 0);
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_PLAYING);
  EXPECT_EQ(dll.Pause(0), 0);
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_PAUSED);
  EXPECT_EQ(dll.Pause(1), 0);
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_PLAYING);
  EXPECT_EQ(dll.Stop(), 0);
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_STOPPED);
  EXPECT_EQ(dll.Close(), 0);
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_CLOSED);
  EXPECT_EQ(endByte, 0);
  EXPECT_EQ(paced.closes, 1);
}

TEST_F(ControlTest, MisuseGivesIncorrectModeAndChangesNothing) {
  EXPECT_EQ(dll.Play(0, 0, &endByte), MPEG_ERROR_MODE);
  EXPECT_EQ(dll.Restart(), MPEG_ERROR_MODE);
  EXPECT_EQ(dll.Stop(), MPEG_ERROR_MODE);
  EXPECT_EQ(dll.Pause(0), MPEG_ERROR_MODE);
  EXPECT_EQ(dll.Seek(1000), MPEG_ERROR_MODE);
  EXPECT_EQ(dll.LastError(), MPEG_ERROR_MODE);
  EXPECT_EQ(dll.Close(), 0);
  EXPECT_EQ(dll.LastError(), 0);
  EXPECT_EQ(dll.GetCurrentPos(), 0);
  EXPECT_EQ(dll.GetLength(), 0);

  ASSERT_EQ(OpenPaced(), 0);
  EXPECT_EQ(dll.Restart(), MPEG_ERROR_MODE);  // no range given yet
  EXPECT_EQ(dll.Pause(0), MPEG_ERROR_MODE);
  EXPECT_EQ(dll.Seek(1000), MPEG_ERROR_MODE);
  EXPECT_EQ(dll.Pause(1), MPEG_ERROR_MODE);
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_OPENED);
  EXPECT_EQ(dll.LastError(), 0);
}

TEST_F(ControlTest, StopThenRestartPlaysFromTheStartAgain) {
  ASSERT_EQ(OpenPaced(), 0);
  ASSERT_EQ(dll.Play(0, 0, &endByte), 0);
  // Far enough in that the restarted stream cannot have caught up by the time it is asked.
  WaitForPosition(500);
  ASSERT_EQ(dll.Stop(), 0);
  const int stoppedAt = dll.GetCurrentPos();
  EXPECT_GT(stoppedAt, 0);
  Sleep(20);
  EXPECT_EQ(dll.GetCurrentPos(), stoppedAt);
  // Stopping again, pausing and seeking a stopped stream are harmless.
  EXPECT_EQ(dll.Stop(), 0);
  EXPECT_EQ(dll.Pause(0), 0);
  EXPECT_EQ(dll.Seek(100), 0);
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_STOPPED);
  ASSERT_EQ(dll.Restart(), 0);
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_PLAYING);
  EXPECT_LT(dll.GetCurrentPos(), stoppedAt);
  paced.paced = false;
  ASSERT_TRUE(WaitForByte(&endByte, 10.0));
  EXPECT_EQ(dll.GetCurrentPos(), dll.GetLength());
}

TEST_F(ControlTest, PauseHoldsThePositionAndSeekWhilePausedStaysPaused) {
  ASSERT_EQ(OpenPaced(), 0);
  ASSERT_EQ(dll.Play(0, 0, &endByte), 0);
  WaitForPosition(1);
  ASSERT_EQ(dll.Pause(0), 0);
  const int pausedAt = dll.GetCurrentPos();
  Sleep(30);
  EXPECT_EQ(dll.GetCurrentPos(), pausedAt);
  EXPECT_EQ(dll.Pause(0), 0);  // pausing twice keeps it paused
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_PAUSED);
  EXPECT_EQ(dll.Seek(2000), 0);
  EXPECT_EQ(dll.GetCurrentPos(), 2000);
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_PAUSED);
  EXPECT_EQ(dll.Pause(1), 0);
  paced.paced = false;
  ASSERT_TRUE(WaitForByte(&endByte, 10.0));
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_ENDED);
}

TEST_F(ControlTest, StopOrCloseWhilePausedAndCloseWhilePlaying) {
  ASSERT_EQ(OpenPaced(), 0);
  ASSERT_EQ(dll.Play(0, 0, &endByte), 0);
  ASSERT_EQ(dll.Pause(0), 0);
  EXPECT_EQ(dll.Stop(), 0);
  EXPECT_EQ(dll.Close(), 0);

  ASSERT_EQ(OpenPaced(), 0);
  ASSERT_EQ(dll.Play(0, 0, &endByte), 0);
  ASSERT_EQ(dll.Pause(0), 0);
  EXPECT_EQ(dll.Close(), 0);
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_CLOSED);

  ASSERT_EQ(OpenPaced(), 0);
  ASSERT_EQ(dll.Play(0, 0, &endByte), 0);
  EXPECT_EQ(dll.Close(), 0);
  EXPECT_EQ(paced.closes, 3);
  EXPECT_EQ(endByte, 0);
}

TEST_F(ControlTest, OpenWhilePlayingClosesTheFirstStream) {
  ASSERT_EQ(OpenPaced(), 0);
  ASSERT_EQ(dll.Play(0, 0, &endByte), 0);
  ASSERT_EQ(dll.OpenFile(Write("next.mp3", GeneratedMp3(0.5))), 0);
  EXPECT_EQ(paced.closes, 1);
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_OPENED);
  unsigned char second = 0;
  ASSERT_EQ(dll.Play(0, 0, &second), 0);
  ASSERT_TRUE(WaitForByte(&second, 10.0));
  EXPECT_EQ(endByte, 0);
}

TEST_F(ControlTest, EndByteIsSetOnceAndAgainAfterRestart) {
  PlayShortFileToTheEnd();
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_ENDED);
  EXPECT_EQ(dll.GetCurrentPos(), dll.GetLength());
  endByte = 0;
  Sleep(30);
  EXPECT_EQ(endByte, 0);
  // The playback component clears the byte itself before a restart.
  ASSERT_EQ(dll.Restart(), 0);
  ASSERT_TRUE(WaitForByte(&endByte, 10.0));
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_ENDED);
  // A race with the end: stop and seek after it are harmless.
  EXPECT_EQ(dll.Seek(100), 0);
  EXPECT_EQ(dll.Stop(), 0);
  EXPECT_EQ(dll.ResetPlayerMode(), 0);
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_OPENED);
  EXPECT_EQ(dll.Close(), 0);
  EXPECT_EQ(dll.GetFrequency(), 0);
  EXPECT_EQ(dll.GetLayer(), 0);
}

TEST_F(ControlTest, PositionGrowsAndNeverPassesTheLength) {
  // The frames of this stream are too short for an Info frame: its length is estimated at first.
  ASSERT_EQ(OpenPaced(), 0);
  const Pcm direct = DirectDecode(Write("paced.mp3", paced.data));
  const auto directMs = static_cast<int>(direct.Frames() * 1000 / static_cast<std::size_t>(direct.rate));
  EXPECT_NEAR(dll.GetLength(), directMs, 27);
  ASSERT_EQ(dll.Play(0, 0, &endByte), 0);
  int last = 0;
  while (!__atomic_load_n(&endByte, __ATOMIC_SEQ_CST)) {
    const int pos = dll.GetCurrentPos();
    EXPECT_GE(pos, last);
    EXPECT_LE(pos, dll.GetLength());
    last = pos;
    Sleep(2);
  }
  // Played to its end, the length is exact.
  EXPECT_EQ(dll.GetLength(), directMs);
  EXPECT_EQ(dll.GetCurrentPos(), directMs);
}

TEST_F(ControlTest, SoundDeviceThatCannotBeOpenedFailsThePlayItself) {
  UseSoundDevice(SoundDevice::kMissing);
  ASSERT_EQ(dll.OpenFile(Write("song.mp3", GeneratedMp3(0.5))), 0);
  EXPECT_EQ(dll.Play(0, 0, &endByte), MPEG_ERROR_OUTPUT);
  EXPECT_EQ(dll.LastError(), MPEG_ERROR_OUTPUT);
  // Not started: the next start is a first start again, and no fault is left for later calls.
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_OPENED);
  EXPECT_EQ(dll.GetCurrentPos(), 0);
  EXPECT_EQ(dll.LastError(), 0);
  EXPECT_EQ(dll.Restart(), MPEG_ERROR_MODE);
  EXPECT_EQ(endByte, 0);
  // Once the device is there again, the same stream plays.
  UseSoundDevice(SoundDevice::kNull);
  ASSERT_EQ(dll.Play(0, 0, &endByte), 0);
  ASSERT_TRUE(WaitForByte(&endByte, 10.0));

  // A restart that cannot have the device leaves the stream stopped.
  UseSoundDevice(SoundDevice::kMissing);
  endByte = 0;
  EXPECT_EQ(dll.Restart(), MPEG_ERROR_OUTPUT);
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_STOPPED);
  EXPECT_EQ(dll.LastError(), 0);
  EXPECT_EQ(endByte, 0);
}

TEST_F(ControlTest, EndByteLeftSetIsClearedWhenARunStarts) {
  ASSERT_EQ(OpenPaced(), 0);
  endByte = 1;  // as an earlier run may leave it just after the caller cleared it
  ASSERT_EQ(dll.Play(0, 0, &endByte), 0);
  EXPECT_EQ(__atomic_load_n(&endByte, __ATOMIC_SEQ_CST), 0);
  endByte = 1;
  ASSERT_EQ(dll.Restart(), 0);
  EXPECT_EQ(__atomic_load_n(&endByte, __ATOMIC_SEQ_CST), 0);
  paced.paced = false;
  ASSERT_TRUE(WaitForByte(&endByte, 10.0));
}

TEST_F(ControlTest, AnswerHeldUpByASlowReadIsTheRealAnswer) {
  paced.data = GeneratedMp3(3.0, {22050, 1, 32, false, true});
  paced.nonseekable = true;
  ASSERT_EQ(paced.OpenWith(dll), 0);
  paced.stallMs = 800;
  paced.paced = true;
  ASSERT_EQ(dll.Play(0, 0, &endByte), 0);
  for (int i = 0; i < 5000 && !paced.stalled; ++i) Sleep(1);
  ASSERT_TRUE(paced.stalled);
  // The decode thread sits in the read callback longer than any fixed wait would allow for.
  EXPECT_EQ(dll.Seek(500), MPEG_ERROR_NONSEEKABLE);
  EXPECT_FALSE(paced.stalled);
  EXPECT_EQ(dll.LastError(), MPEG_ERROR_NONSEEKABLE);
  EXPECT_EQ(dll.Stop(), 0);
}

// A read of the playing file stuck for seconds (a scratched disc) holds up none of the calls that
// end or hold playing: each answers while the read still waits.
TEST_F(ControlTest, CallsAnswerWhileAReadOfTheMediumIsStuck) {
  const std::string song = Write("song.mp3", GeneratedMp3(8.0, {44100, 2, 320, false, true}));
  const std::string other = Write("other.mp3", GeneratedMp3(0.5));
  struct stat facts {};
  ASSERT_EQ(::stat(song.c_str(), &facts), 0);
  struct Case {
    const char* what;
    std::function<void()> call;
    int mode;  // after the call
  };
  const Case cases[] = {
      {"Stop", [&] { EXPECT_EQ(dll.Stop(), 0); }, MPEG_MODE_STOPPED},
      {"Pause", [&] { EXPECT_EQ(dll.Pause(0), 0); }, MPEG_MODE_PAUSED},
      {"Close", [&] { EXPECT_EQ(dll.Close(), 0); }, MPEG_MODE_CLOSED},
      {"Open of another song", [&] { EXPECT_EQ(dll.OpenFile(other), 0); }, MPEG_MODE_OPENED},
      {"deinit", [&] { EXPECT_TRUE(dll.deinit() == 0 && dll.init() != 0); }, MPEG_MODE_CLOSED},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(dll.OpenFile(song), 0);
    // The scratch lies in the middle; a read there waits (and fails once the drive gives up).
    ReadFaultHold(facts.st_dev, facts.st_ino, 96 * 1024, 224 * 1024);
    ASSERT_EQ(dll.Play(0, 0, &endByte), 0);
    // On the null device the decoder soon has all before the scratch (96 kB: 2.4 s at 320 kbit/s).
    WaitForPosition(1900);
    Sleep(50);
    ASSERT_EQ(ReadFaultHeld(), 1);
    c.call();
    EXPECT_EQ(dll.GetPlayerMode(), c.mode);
    EXPECT_EQ(ReadFaultHeld(), 1) << "the call waited for the medium";
    ReadFaultDisarm();  // the stuck read comes back while the next stream plays
    for (int i = 0; i < 1000 && ReadFaultHeld() > 0; ++i) Sleep(1);
  }
}

TEST_F(ControlTest, OutputDeviceCodesOtherThanWaveMapperAndFileAreRefused) {
  EXPECT_EQ(dll.SetOutputDevice(1, "x.wav"), MPEG_ERROR_OUTPUT);
  EXPECT_EQ(dll.SetOutputDevice(-1, "x.wav"), MPEG_ERROR_OUTPUT);
  EXPECT_EQ(dll.SetOutputDevice(MPEG_DEVICE_WAV_FILE, ""), MPEG_ERROR_OUTPUT);
  EXPECT_EQ(dll.SetOutputDevice(MPEG_DEVICE_WAV_FILE, nullptr), MPEG_ERROR_OUTPUT);
  // The refused settings left the sound device in place: this plays on the null device.
  PlayShortFileToTheEnd();
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "x.wav"));
}

TEST_F(ControlTest, WavFileIsCompleteWhenStoppedAndWhenClosedWhilePaused) {
  const std::string wav = (dir.path() / "stopped.wav").string();
  ASSERT_EQ(OpenPaced(), 0);
  ASSERT_EQ(dll.SetOutputDevice(MPEG_DEVICE_WAV_FILE, wav.c_str()), 0);
  ASSERT_EQ(dll.Play(0, 0, &endByte), 0);
  WaitForPosition(100);
  ASSERT_EQ(dll.Stop(), 0);
  const WavFile stopped = ReadWav(wav);
  ASSERT_TRUE(stopped.valid);
  EXPECT_GT(stopped.dataSize, 0u);
  EXPECT_EQ(stopped.dataSize, stopped.fileSize - 44);
  EXPECT_EQ(stopped.riffSize, stopped.dataSize + 36);

  ASSERT_EQ(dll.Restart(), 0);
  WaitForPosition(1);
  ASSERT_EQ(dll.Pause(0), 0);
  ASSERT_EQ(dll.Close(), 0);
  const WavFile closed = ReadWav(wav);
  ASSERT_TRUE(closed.valid);
  EXPECT_EQ(closed.dataSize, closed.fileSize - 44);
  EXPECT_EQ(endByte, 0);
}

TEST_F(ControlTest, WavFileHoldsExactlyTheNewRunAfterPlayOrRestartIntoIt) {
  const std::string wav = (dir.path() / "again.wav").string();
  ASSERT_EQ(OpenPaced(), 0);
  ASSERT_EQ(dll.SetOutputDevice(MPEG_DEVICE_WAV_FILE, wav.c_str()), 0);
  paced.paced = false;
  ASSERT_EQ(dll.Play(0, 0, &endByte), 0);
  ASSERT_TRUE(WaitForByte(&endByte, 10.0));
  const WavFile whole = ReadWav(wav);
  ASSERT_TRUE(whole.valid);

  // A shorter run into the same file while the earlier one still has it open (paused).
  paced.paced = true;
  ASSERT_EQ(dll.Play(0, 0, &endByte), 0);
  WaitForPosition(200);
  ASSERT_EQ(dll.Pause(0), 0);
  paced.paced = false;
  ASSERT_EQ(dll.Play(0, 300, &endByte), 0);
  ASSERT_TRUE(WaitForByte(&endByte, 10.0));
  const WavFile shorter = ReadWav(wav);
  ASSERT_TRUE(shorter.valid);
  EXPECT_EQ(shorter.pcm.Frames(), 300u * 22050 / 1000);
  EXPECT_EQ(shorter.fileSize, shorter.dataSize + 44);
  EXPECT_TRUE(shorter.pcm.samples == whole.pcm.Slice(0, shorter.pcm.Frames()).samples);

  // The same through Restart while the earlier run still writes.
  paced.paced = true;
  ASSERT_EQ(dll.Play(0, 0, &endByte), 0);
  WaitForPosition(200);
  ASSERT_EQ(dll.Play(100, 300, &endByte), 0);
  paced.paced = false;
  ASSERT_TRUE(WaitForByte(&endByte, 10.0));
  endByte = 0;
  ASSERT_EQ(dll.Restart(), 0);
  ASSERT_TRUE(WaitForByte(&endByte, 10.0));
  const WavFile restarted = ReadWav(wav);
  ASSERT_TRUE(restarted.valid);
  EXPECT_EQ(restarted.fileSize, restarted.dataSize + 44);
  EXPECT_EQ(restarted.pcm.Frames(), 200u * 22050 / 1000);
}

TEST_F(ControlTest, WavFileThatCannotBeCreatedFailsThePlay) {
  ASSERT_EQ(dll.OpenFile(Write("song.mp3", GeneratedMp3(0.5))), 0);
  const std::string bad = (dir.path() / "no-such-folder" / "out.wav").string();
  ASSERT_EQ(dll.SetOutputDevice(MPEG_DEVICE_WAV_FILE, bad.c_str()), 0);
  EXPECT_EQ(dll.Play(0, 0, &endByte), MPEG_ERROR_OUTPUT);
  EXPECT_EQ(dll.LastError(), MPEG_ERROR_OUTPUT);
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_OPENED);
}

// A WAV file that cannot be written to its end (a full disc: here the file size limit) is never
// reported as written: a run whose write fails, while playing or at its end, stops without the
// end byte and code 5 comes once; "Stop" and "Close" that complete such a file answer 5.
TEST_F(ControlTest, WavFileThatCannotBeWrittenToItsEndGivesOutputFailure) {
  enum class Then { kPlayOn, kStop, kClose };
  struct Case {
    const char* what;
    double seconds;  // of a slow stream of 44 kB of samples a second
    rlim_t limit;    // bytes the file may hold
    Then then;
  };
  const Case cases[] = {
      {"a write while playing", 8.0, 64 * 1024, Then::kPlayOn},
      {"the last write, at the end", 1.0, 16 * 1024, Then::kPlayOn},
      {"the last write, at Stop", 3.0, 4 * 1024, Then::kStop},
      {"the last write, at Close", 3.0, 4 * 1024, Then::kClose},
  };
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit unlimited{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &unlimited), 0);
  const std::string wav = (dir.path() / "full.wav").string();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    endByte = 0;
    ASSERT_EQ(OpenPaced(c.seconds), 0);
    ASSERT_EQ(dll.SetOutputDevice(MPEG_DEVICE_WAV_FILE, wav.c_str()), 0);
    rlimit limit = unlimited;
    limit.rlim_cur = c.limit;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    ASSERT_EQ(dll.Play(0, 0, &endByte), 0);
    bool failed = false;
    if (c.then == Then::kPlayOn) {
      for (int i = 0; i < 10000 && dll.GetPlayerMode() == MPEG_MODE_PLAYING; ++i) Sleep(1);
      failed = dll.LastError() == MPEG_ERROR_OUTPUT;
    } else {
      WaitForPosition(300);
      failed = (c.then == Then::kStop ? dll.Stop() : dll.Close()) == MPEG_ERROR_OUTPUT;
    }
    EXPECT_TRUE(failed);
    EXPECT_EQ(dll.GetPlayerMode(), c.then == Then::kClose ? MPEG_MODE_CLOSED : MPEG_MODE_STOPPED);
    EXPECT_EQ(dll.LastError(), 0) << "code 5 comes once";
    EXPECT_EQ(endByte, 0);
    EXPECT_EQ(dll.Close(), 0);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &unlimited), 0);
  }
}

TEST_F(ControlTest, EveryPriorityLevelIsAcceptedWhilePlaying) {
  ASSERT_EQ(OpenPaced(), 0);
  ASSERT_EQ(dll.Play(0, 0, &endByte), 0);
  for (int level : {-15, -2, -1, 0, 1, 2, 15, 99}) {
    EXPECT_EQ(dll.SetPriority(level), 0) << level;
  }
  EXPECT_EQ(dll.SetPriority(0), 0);
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_PLAYING);
}

TEST_F(ControlTest, NullEndByteStillPlays) {
  ASSERT_EQ(dll.OpenFile(Write("song.mp3", GeneratedMp3(0.5))), 0);
  ASSERT_EQ(dll.Play(0, 0, nullptr), 0);
  EXPECT_TRUE(WaitForMode(MPEG_MODE_ENDED));
}

TEST_F(ControlTest, DeinitWhilePlayingThenInitAgain) {
  ASSERT_EQ(OpenPaced(), 0);
  ASSERT_EQ(dll.Play(0, 0, &endByte), 0);
  EXPECT_EQ(dll.deinit(), 0);
  EXPECT_EQ(paced.closes, 1);
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_CLOSED);
  ASSERT_NE(dll.init(), 0);
  EXPECT_NE(dll.init(), 0);
  PlayShortFileToTheEnd();
}

}  // namespace
}  // namespace mpegdlltest
