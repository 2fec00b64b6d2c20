// MPEGDLL.DLL driven as the playback component drives it: exports, modes, codes, end byte, sound device.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

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
  ASSERT_EQ(OpenPaced(), 0);
  const int length = dll.GetLength();
  const Pcm direct = DirectDecode(Write("paced.mp3", paced.data));
  EXPECT_EQ(length, static_cast<int>(direct.Frames() * 1000 / static_cast<std::size_t>(direct.rate)));
  ASSERT_EQ(dll.Play(0, 0, &endByte), 0);
  int last = 0;
  while (!__atomic_load_n(&endByte, __ATOMIC_SEQ_CST)) {
    const int pos = dll.GetCurrentPos();
    EXPECT_GE(pos, last);
    EXPECT_LE(pos, length);
    last = pos;
    Sleep(2);
  }
  EXPECT_EQ(dll.GetCurrentPos(), length);
}

TEST_F(ControlTest, MissingSoundDeviceEndsPlayingWithOutputFailureOnce) {
  UseSoundDevice(SoundDevice::kMissing);
  ASSERT_EQ(dll.OpenFile(Write("song.mp3", GeneratedMp3(0.5))), 0);
  // The device is opened by the decode thread: its failure comes with the next call, or with
  // "Play" itself when the thread was that quick.
  int seen = dll.Play(0, 0, &endByte);
  for (int i = 0; i < 5000 && seen == 0; ++i) {
    dll.GetCurrentPos();
    seen = dll.LastError();
    if (seen == 0) Sleep(1);
  }
  EXPECT_EQ(seen, MPEG_ERROR_OUTPUT);
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_STOPPED);
  EXPECT_EQ(dll.LastError(), 0);
  EXPECT_EQ(endByte, 0);
  EXPECT_EQ(dll.Stop(), 0);
  // Once the device is there again, the same stream plays.
  UseSoundDevice(SoundDevice::kNull);
  ASSERT_EQ(dll.Restart(), 0);
  ASSERT_TRUE(WaitForByte(&endByte, 10.0));
  EXPECT_EQ(dll.Close(), 0);
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

TEST_F(ControlTest, WavFileThatCannotBeCreatedFailsThePlay) {
  ASSERT_EQ(dll.OpenFile(Write("song.mp3", GeneratedMp3(0.5))), 0);
  const std::string bad = (dir.path() / "no-such-folder" / "out.wav").string();
  ASSERT_EQ(dll.SetOutputDevice(MPEG_DEVICE_WAV_FILE, bad.c_str()), 0);
  EXPECT_EQ(dll.Play(0, 0, &endByte), MPEG_ERROR_OUTPUT);
  EXPECT_EQ(dll.LastError(), MPEG_ERROR_OUTPUT);
  EXPECT_EQ(dll.GetPlayerMode(), MPEG_MODE_OPENED);
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
