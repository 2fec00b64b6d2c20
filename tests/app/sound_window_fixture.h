// The main window with the real decoder library, heard through a private sound server.
#pragma once

#include <string>

#include "tests/app/main_form_fixture.h"
#include "tests/support/pulse_server.h"

namespace testsupport {

class SoundWindowTest : public MainFormTest {
 protected:
  // One sound server for the tests of a suite.
  static void SetUpTestSuite();
  static void TearDownTestSuite();

  // Puts the built MPEGDLL.DLL into the compilation root.
  void SetUp() override;
  // The window leaves its decoder playing when it goes, as the program does at its end; here the
  // next test must not hear it.
  void TearDown() override;

  // A song of `seconds` made by the encoder (each seed gives different music); its full path.
  std::string AddMusic(const std::string& relative, double seconds, std::uint32_t seed);
  // The window stopped: play enabled, pause and stop not.
  static bool Stopped(const app::TMainForm& form);

  static PulseServer* server_;
};

}  // namespace testsupport
