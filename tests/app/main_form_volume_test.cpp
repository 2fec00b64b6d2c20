// The volume slider and its percentage over the fake mixer: start states, the user's moves,
// changes made elsewhere, quiet polls, a narrow element range and no device.
#include <QLabel>
#include <QTest>

#include "app/volume_percent.h"
#include "tests/app/main_form_fixture.h"

namespace {

using testsupport::MainFormTest;

TEST(VolumePercent, IntegerPartOfTheShareOf255) {
  EXPECT_EQ(app::VolumePercentText(0), "0%");
  EXPECT_EQ(app::VolumePercentText(1), "0%");
  EXPECT_EQ(app::VolumePercentText(3), "1%");
  EXPECT_EQ(app::VolumePercentText(128), "50%");
  EXPECT_EQ(app::VolumePercentText(254), "99%");
  EXPECT_EQ(app::VolumePercentText(255), "100%");
}

class VolumeSliderTest : public MainFormTest {
 protected:
  // Master's two channels.
  std::pair<long, long> Master() const { return {mixer_.At("Master").left, mixer_.At("Master").right}; }
  void SetMaster(long left, long right) {
    auto& master = const_cast<testsupport::FakeMixer::Element&>(mixer_.At("Master"));
    master.left = left;
    master.right = right;
  }
  // What the user sees of the slider: position, end of the highlighted range, percentage.
  static std::tuple<int, int, QString> Seen(const app::TMainForm& form) {
    return {form.VolTrackBar->value(), form.VolTrackBar->SelEnd(), form.VolPos->text()};
  }
  // The user drags the thumb to `volume`.
  static void Drag(app::TMainForm& form, int volume) { form.VolTrackBar->setSliderPosition(volume); }
};

using Shown = std::tuple<int, int, QString>;

TEST_F(VolumeSliderTest, ShowsTheSystemVolumeInEveryStartState) {
  SetMaster(51401, 51401);  // step 200
  {
    app::TMainForm& form = Open();  // no decoder
    EXPECT_EQ(Seen(form), Shown(200, 200, "78%"));
    EXPECT_TRUE(form.VolTrackBar->isEnabled());
    EXPECT_EQ(form.VolTrackBar->minimum(), 0);
    EXPECT_EQ(form.VolTrackBar->maximum(), 255);
  }
  InstallDecoder();
  SetMaster(0, 0);
  {
    app::TMainForm& form = Open();  // no index
    EXPECT_EQ(Seen(form), Shown(0, 0, "0%"));
    Drag(form, 128);
    EXPECT_EQ(Master(), std::make_pair(32897L, 32897L));
  }
  WriteIndex({{"Album", 0}});
  AddSong("Album/one.mp3");
  {
    app::TMainForm& form = Open();  // loaded
    EXPECT_EQ(Seen(form), Shown(128, 128, "50%"));
    Drag(form, 255);
    EXPECT_EQ(Master(), std::make_pair(65536L, 65536L));
    EXPECT_EQ(Seen(form), Shown(255, 255, "100%"));
  }
}

TEST_F(VolumeSliderTest, MovingTheSliderTo200SetsTheVolumeAndShows78Percent) {
  app::TMainForm& form = Open();
  Drag(form, 200);
  EXPECT_EQ(Master(), std::make_pair(51401L, 51401L));  // 200 / 255 of the range
  EXPECT_EQ(Seen(form), Shown(200, 200, "78%"));
  form.VolTrackBar->setFocus();
  QTest::keyClick(form.VolTrackBar, Qt::Key_PageDown);
  EXPECT_EQ(Seen(form), Shown(190, 190, "74%"));
}

TEST_F(VolumeSliderTest, ChangeMadeElsewhereMovesTheSliderAtTheNextPoll) {
  app::TMainForm& form = Open();
  mixer_.ChangeElsewhere("Master", 16384, 16384);  // 25 %
  form.VolControl.PollTick();
  EXPECT_EQ(Seen(form), Shown(64, 64, "25%"));
  // The poll wrote the step the slider shows once; later polls leave it.
  EXPECT_EQ(Master(), std::make_pair(16448L, 16448L));
  const int writes = mixer_.Writes();
  for (int i = 0; i < 20; ++i) form.VolControl.PollTick();
  EXPECT_EQ(mixer_.Writes(), writes);
  EXPECT_EQ(Seen(form), Shown(64, 64, "25%"));
}

TEST_F(VolumeSliderTest, UnbalancedVolumeShowsTheMeanAndIsBalanced) {
  app::TMainForm& form = Open();
  mixer_.ChangeElsewhere("Master", 65536, 0);
  form.VolControl.PollTick();
  EXPECT_EQ(Seen(form), Shown(127, 127, "49%"));
  EXPECT_EQ(Master().first, Master().second);
}

TEST_F(VolumeSliderTest, UserActionThatLeavesThePositionStillSetsTheVolume) {
  app::TMainForm& form = Open();
  ASSERT_EQ(form.VolTrackBar->value(), 255);
  SetMaster(65536, 40000);
  form.VolTrackBar->setFocus();
  QTest::keyClick(form.VolTrackBar, Qt::Key_End);  // already at the end
  EXPECT_EQ(Master(), std::make_pair(65536L, 65536L));
}

TEST_F(VolumeSliderTest, NarrowElementRangeSnapsTheSliderToItsStepsWithoutCreeping) {
  mixer_.Add("Master", 0, 31, false, 31);
  app::TMainForm& form = Open();
  EXPECT_EQ(Seen(form), Shown(255, 255, "100%"));
  Drag(form, 200);
  EXPECT_EQ(Master(), std::make_pair(24L, 24L));  // round(200 * 31 / 255)
  EXPECT_EQ(Seen(form), Shown(200, 197, "77%")) << "the selection shows the volume the element holds";
  form.VolControl.PollTick();
  EXPECT_EQ(Seen(form), Shown(197, 197, "77%"));
  const int writes = mixer_.Writes();
  for (int i = 0; i < 20; ++i) form.VolControl.PollTick();
  EXPECT_EQ(mixer_.Writes(), writes);
  EXPECT_EQ(Master(), std::make_pair(24L, 24L));
}

TEST_F(VolumeSliderTest, WithoutADeviceTheSliderRestsAtZeroDisabled) {
  mixer_.PullCard();
  InstallDecoder();
  app::TMainForm& form = Open();
  EXPECT_FALSE(form.VolTrackBar->isEnabled());
  EXPECT_EQ(Seen(form), Shown(0, 0, "0%"));
  form.VolControl.PollTick();
  EXPECT_EQ(Seen(form), Shown(0, 0, "0%"));
  EXPECT_EQ(mixer_.Writes(), 0);
}

TEST_F(VolumeSliderTest, VanishedElementShowsZeroAndTheVolumeComesBackWithIt) {
  app::TMainForm& form = Open();
  mixer_.Remove("Master");
  form.VolControl.PollTick();
  EXPECT_EQ(Seen(form), Shown(0, 0, "0%"));
  mixer_.Add("Master", 0, 65536, false, 32897);
  form.VolControl.PollTick();
  EXPECT_EQ(Seen(form), Shown(128, 128, "50%"));
  EXPECT_EQ(Master(), std::make_pair(32897L, 32897L)) << "nothing of the absence was written";
}

}  // namespace
