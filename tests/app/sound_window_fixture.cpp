// The window on a compilation with the real decoder and a private sound server.
#include "tests/app/sound_window_fixture.h"

#include <QToolButton>

#include "tests/support/lame_encoder.h"

namespace testsupport {

PulseServer* SoundWindowTest::server_ = nullptr;

void SoundWindowTest::SetUpTestSuite() { server_ = new PulseServer; }

void SoundWindowTest::TearDownTestSuite() {
  delete server_;
  server_ = nullptr;
}

void SoundWindowTest::SetUp() {
  ASSERT_TRUE(server_->Running()) << server_->Why();
  InstallLibrary(MPEGDLL_PATH);
}

void SoundWindowTest::TearDown() {
  if (form_ && form_->MPEGPlayer.DecoderLoaded()) form_->MPEGPlayer.UnloadDecoder();
}

std::string SoundWindowTest::AddMusic(const std::string& relative, double seconds, std::uint32_t seed) {
  return root_.WriteFile(relative, GeneratedMp3(seconds, {}, seed)).string();
}

bool SoundWindowTest::Stopped(const app::TMainForm& form) {
  return form.ButtonPlay->isEnabled() && !form.ButtonPause->isEnabled() && !form.ButtonStop->isEnabled();
}

}  // namespace testsupport
