// TmVolControl on ALSA's mixer of a private sound server that comes, goes and comes again while the
// component polls: the device is let go and chosen again, and the volume read and set each time.
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/mixer/mixer.h"
#include "tests/support/pulse_server.h"
#include "volume/vol_control.h"

namespace {

using testsupport::PulseServer;
using volume::TmVolControl;

TEST(VolControlSoundServer, TheDeviceComesAndGoesWithTheSoundServer) {
  // No server answers when the component starts (and ALSA reads its configuration first).
  const char* const previous = std::getenv("PULSE_SERVER");
  const std::string restore = previous ? previous : "";
  ::setenv("PULSE_SERVER", "unix:/nonexistent/albavox-no-server", 1);
  platform::CloseMixer();
  std::vector<std::int32_t> inits;
  {
    TmVolControl control;
    control.SetDeviceType(volume::TDeviceType::dvWave);
    control.onInit = [&](TmVolControl& sender) { inits.push_back(sender.DeviceIndex()); };
    EXPECT_EQ(control.DeviceIndex(), -1);
    std::optional<PulseServer> server(std::in_place);
    for (const char* round : {"the server started", "the server started again"}) {
      ASSERT_TRUE(server->Running()) << server->Why();
      ASSERT_TRUE(QTest::qWaitFor([&] { return control.DeviceIndex() == 0; }, 5000)) << round;
      EXPECT_EQ(control.Volume(), 255) << round << ": a new sink is at 100 %";
      control.SetVolume(128);
      std::uint32_t left = 0, right = 0;
      ASSERT_TRUE(server->SinkVolume(left, right));
      EXPECT_EQ(left, 32897u) << round;  // 128 / 255 of 65536, rounded
      EXPECT_EQ(right, 32897u) << round;
      ASSERT_TRUE(server->Pactl("exit"));
      ASSERT_TRUE(QTest::qWaitFor([&] { return control.DeviceIndex() == -1; }, 5000)) << round;
      EXPECT_EQ(control.Volume(), 0);
      server.reset();
      server.emplace();
    }
  }
  EXPECT_EQ(inits, (std::vector<std::int32_t>{0, -1, 0, -1}));
  platform::CloseMixer();
  if (previous) {
    ::setenv("PULSE_SERVER", restore.c_str(), 1);
  } else {
    ::unsetenv("PULSE_SERVER");
  }
}

}  // namespace
