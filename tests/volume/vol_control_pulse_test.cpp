// TmVolControl on the wave output of a private sound server, whose sink volume pactl reads and sets.
#include "volume/vol_control.h"

#include <QTest>

#include <gtest/gtest.h>

#include "platform/mixer/mixer.h"
#include "tests/support/pulse_server.h"

namespace {

using testsupport::PulseServer;
using volume::TDeviceType;
using volume::TmVolControl;

class PulseVolControl : public ::testing::Test {
 protected:
  PulseVolControl() {
    platform::CloseMixer();  // reach this test's server
    control_ = std::make_unique<TmVolControl>();
    control_->SetDeviceType(TDeviceType::dvWave);
  }
  ~PulseVolControl() override {
    control_.reset();
    platform::CloseMixer();
  }

  PulseServer server_;
  std::unique_ptr<TmVolControl> control_;
};

TEST_F(PulseVolControl, FollowsPactlAndSetsTheSinkVolume) {
  ASSERT_TRUE(server_.Running()) << server_.Why();
  ASSERT_EQ(control_->DeviceIndex(), 0);
  EXPECT_EQ(control_->Volume(), 255);

  ASSERT_TRUE(server_.SetSinkVolume(32768, 32768));  // 50 %
  std::uint8_t seen = 0;
  control_->onChange = [&](TmVolControl& sender) { seen = sender.Volume(); };
  ASSERT_TRUE(QTest::qWaitFor([&] { return seen == 128; }, 3000)) << "seen " << int{seen};

  control_->SetVolume(200);
  std::uint32_t left = 0, right = 0;
  ASSERT_TRUE(server_.SinkVolume(left, right));
  EXPECT_EQ(left, 51401u);  // 200 / 255 of 0..65536, rounded
  EXPECT_EQ(right, 51401u);
  EXPECT_EQ(control_->Volume(), 200);
}

TEST_F(PulseVolControl, UnbalancedVolumeIsBalancedAndThenStaysPutOverManyTicks) {
  ASSERT_TRUE(server_.Running()) << server_.Why();
  ASSERT_TRUE(server_.SetSinkVolume(60000, 10001));
  int ticks = 0;
  control_->onChange = [&](TmVolControl&) { ++ticks; };
  std::uint32_t left = 0, right = 0;
  ASSERT_TRUE(QTest::qWaitFor([&] { return server_.SinkVolume(left, right) && left == right; }, 3000))
      << left << " " << right;
  const std::uint32_t settled = left;
  EXPECT_NEAR(settled, (60000 + 10001) / 2, 300);
  const int before = ticks;
  ASSERT_TRUE(QTest::qWaitFor([&] { return ticks >= before + 20; }, 10000));
  ASSERT_TRUE(server_.SinkVolume(left, right));
  EXPECT_EQ(left, settled);
  EXPECT_EQ(right, settled);
}

}  // namespace
