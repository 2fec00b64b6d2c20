// A test fixture around the loaded decoder library, with ALSA's null device as "default".
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/mpegdll/library.h"
#include "tests/mpegdll/reference_decode.h"
#include "tests/support/temp_dir.h"

namespace mpegdlltest {

// ALSA configuration files for the test process, chosen through ALSA_CONFIG_PATH.
enum class SoundDevice { kNull, kMissing };
void UseSoundDevice(SoundDevice device);

class DllTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;
  void TearDown() override;

  // Writes `bytes` to `name` in the test's folder; the full path.
  std::string Write(const std::string& name, const std::string& bytes) const;
  // Plays `path` from `startMs` to `endMs` into a WAV file and waits for the end byte.
  WavFile PlayToWav(const std::string& path, int startMs = 0, int endMs = 0);
  // Polls GetPlayerMode until it gives `mode`, at most `seconds`.
  bool WaitForMode(int mode, double seconds = 10.0) const;

  static MpegDll dll;
  testsupport::TempDir dir;
  unsigned char endByte = 0;
};

}  // namespace mpegdlltest
