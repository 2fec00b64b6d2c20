// Loads MPEGDLL.DLL once per test program; each test starts with no stream and the null device.
#include "tests/mpegdll/dll_fixture.h"

#include <dlfcn.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace mpegdlltest {

MpegDll DllTest::dll;

namespace {

// The configuration folder outlives every test of the program.
const testsupport::TempDir& ConfigDir() {
  static const testsupport::TempDir dir;
  return dir;
}

}  // namespace

void UseSoundDevice(SoundDevice device) {
  // ALSA reads the files again whenever the variable names other ones.
  static const std::string null = ConfigDir().WriteFile("null.conf", "pcm.!default { type null }\n").string();
  static const std::string missing =
      ConfigDir().WriteFile("missing.conf", "pcm.!default { type hw card 97 device 0 }\n").string();
  setenv("ALSA_CONFIG_PATH", (device == SoundDevice::kNull ? null : missing).c_str(), 1);
}

void DllTest::SetUpTestSuite() {
  UseSoundDevice(SoundDevice::kNull);
  std::string missing;
  dll = LoadMpegDll(MPEGDLL_PATH, &missing);
  ASSERT_NE(dll.handle, nullptr) << missing;
  ASSERT_NE(dll.init(), 0);
}

void DllTest::TearDownTestSuite() {
  if (!dll.handle) return;
  dll.deinit();
  dlclose(dll.handle);
  dll = MpegDll{};
}

void DllTest::SetUp() {
  ASSERT_NE(dll.handle, nullptr);
  UseSoundDevice(SoundDevice::kNull);
  dll.SetOutputDevice(MPEG_DEVICE_WAVE_MAPPER, "");
}

void DllTest::TearDown() {
  if (dll.handle) dll.Close();
}

std::string DllTest::Write(const std::string& name, const std::string& bytes) const {
  return dir.WriteFile(name, bytes).string();
}

WavFile DllTest::PlayToWav(const std::string& path, int startMs, int endMs) {
  const std::string wav = (dir.path() / "out.wav").string();
  endByte = 0;
  if (dll.OpenFile(path) != 0) return {};
  if (dll.SetOutputDevice(MPEG_DEVICE_WAV_FILE, wav.c_str()) != 0) return {};
  if (dll.Play(startMs, endMs, &endByte) != 0) return {};
  if (!WaitForByte(&endByte, 30.0)) return {};
  return ReadWav(wav);
}

bool DllTest::WaitForMode(int mode, double seconds) const {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (dll.GetPlayerMode() != mode) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace mpegdlltest
