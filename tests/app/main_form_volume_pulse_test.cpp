// The volume slider on a private sound server: the slider and pactl follow each other, and the
// volume stays put while the slider polls.
#include <QLabel>
#include <QTest>

#include "app/application_setup.h"
#include "platform/mixer/mixer.h"
#include "platform/mixer/mixer_backend.h"
#include "tests/app/main_form_fixture.h"
#include "tests/support/pulse_server.h"

namespace {

using testsupport::PulseServer;

class PulseSliderTest : public testsupport::MainFormTest {
 protected:
  PulseSliderTest() {
    platform::SetMixerBackend(nullptr);  // the system's mixer, which reaches this server
    platform::CloseMixer();
  }
  ~PulseSliderTest() override {
    form_.reset();
    platform::CloseMixer();
  }

  // Opens the window and counts the volume component's polls.
  app::TMainForm& OpenCounting() {
    app::TMainForm& form = Open();
    auto handler = form.VolControl.onChange;
    form.VolControl.onChange = [this, handler](volume::TmVolControl& sender) {
      ++polls_;
      handler(sender);
    };
    return form;
  }

  PulseServer server_;
  int polls_ = 0;
};

TEST_F(PulseSliderTest, SliderAndSoundServerFollowEachOtherWithoutCreeping) {
  ASSERT_TRUE(server_.Running()) << server_.Why();
  InstallDecoder();
  app::TMainForm& form = OpenCounting();
  EXPECT_TRUE(form.VolTrackBar->isEnabled());
  EXPECT_EQ(form.VolTrackBar->value(), 255);

  // Another program sets 30 %: the slider follows within one poll period.
  ASSERT_TRUE(server_.SetSinkVolume(19661, 19661));
  const int before = polls_;
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.VolTrackBar->value() == 77; }, 3000));
  EXPECT_LE(polls_ - before, 2) << "the first poll after the change may come before its news";
  EXPECT_EQ(form.VolPos->text(), "30%");

  // The user moves the slider: the server's volume follows.
  form.VolTrackBar->setSliderPosition(200);
  std::uint32_t left = 0, right = 0;
  ASSERT_TRUE(server_.SinkVolume(left, right));
  EXPECT_EQ(left, 51401u);
  EXPECT_EQ(right, 51401u);
  EXPECT_EQ(form.VolPos->text(), "78%");

  // Many polls later nothing has moved.
  const int now = polls_;
  ASSERT_TRUE(QTest::qWaitFor([&] { return polls_ >= now + 20; }, 10000));
  ASSERT_TRUE(server_.SinkVolume(left, right));
  EXPECT_EQ(left, 51401u);
  EXPECT_EQ(right, 51401u);
  EXPECT_EQ(form.VolTrackBar->value(), 200);
}

// The program starts opening the mixer on a thread of its own before it makes the window: the
// window still shows the server's volume from its first frame.
TEST_F(PulseSliderTest, MixerOpenedAheadAtTheStartSetsTheSlider) {
  ASSERT_TRUE(server_.Running()) << server_.Why();
  ASSERT_TRUE(server_.SetSinkVolume(19661, 19661));
  InstallDecoder();
  app::SetUpApplication();
  app::TMainForm& form = Open();
  EXPECT_TRUE(form.VolTrackBar->isEnabled());
  EXPECT_EQ(form.VolTrackBar->value(), 77);
  EXPECT_EQ(form.VolPos->text(), "30%");
}

}  // namespace
