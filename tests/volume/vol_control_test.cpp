// TmVolControl over the fake mixer: device choice, the channel arithmetic, the events, the
// interval, the faults, and no creep for every value of common element ranges.
#include "volume/vol_control.h"

#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/fake_mixer.h"

namespace {

using testsupport::FakeMixer;
using volume::TDeviceType;
using volume::TmVolControl;

// A component on the wave output of a card whose "PCM" has the range 0..255, so that element
// values are the high bytes of the channel words.
class WaveControl : public ::testing::Test {
 protected:
  WaveControl() {
    mixer_.Add("PCM", 0, 255);
    control_.SetDeviceType(TDeviceType::dvWave);
  }

  void SetPcm(long left, long right) {
    auto& pcm = const_cast<FakeMixer::Element&>(mixer_.At("PCM"));
    pcm.left = left;
    pcm.right = right;
  }

  FakeMixer mixer_;
  TmVolControl control_;
};

TEST(VolControlConstruction, ChoosesCdAudioAndPollsEvery100Milliseconds) {
  FakeMixer mixer;
  mixer.Add("CD", 0, 31);
  mixer.Add("PCM", 0, 255);
  TmVolControl control;
  EXPECT_EQ(control.DeviceType(), TDeviceType::dvCD);
  EXPECT_EQ(control.DeviceIndex(), 0);
  EXPECT_EQ(control.Interval(), 0);
  EXPECT_TRUE(control.PollTimer().isActive());
  EXPECT_EQ(control.PollTimer().interval(), 100);
}

TEST(VolControlDevices, EachFamilyTakesItsFirstDeviceWithAVolume) {
  FakeMixer mixer;
  mixer.Add("Line", 0, 31);
  mixer.Add("Synth", 0, 127);
  mixer.Add("Master", 0, 65536);
  TmVolControl control;
  EXPECT_EQ(control.DeviceIndex(), -1) << "no CD element";
  control.SetDeviceType(TDeviceType::dvLineIn);
  EXPECT_EQ(control.DeviceIndex(), 1);
  control.SetDeviceType(TDeviceType::dvMidi);
  EXPECT_EQ(control.DeviceIndex(), 0);
  control.SetDeviceType(TDeviceType::dvWave);
  EXPECT_EQ(control.DeviceIndex(), 0);
  mixer.PullCard();
  control.SetDeviceType(TDeviceType::dvCD);
  control.SetDeviceType(TDeviceType::dvWave);
  EXPECT_EQ(control.DeviceIndex(), -1);
}

TEST(VolControlDevices, OnInitAfterEachChoiceAndFromPropertiesLoadedOnly) {
  FakeMixer mixer;
  TmVolControl control;
  int inits = 0;
  control.onInit = [&](TmVolControl& sender) {
    EXPECT_EQ(&sender, &control);
    ++inits;
  };
  control.SetDeviceType(TDeviceType::dvCD);  // the value it has: nothing
  EXPECT_EQ(inits, 0);
  control.SetDeviceType(TDeviceType::dvWave);
  EXPECT_EQ(inits, 1) << "also when no device was found";
  control.PropertiesLoaded();
  EXPECT_EQ(inits, 2);
}

TEST(VolControlInterval, StoredValueStartsAtZeroAndOnlyADifferentValueTouchesTheTimer) {
  FakeMixer mixer;
  TmVolControl control;
  control.SetInterval(0);
  EXPECT_EQ(control.PollTimer().interval(), 100);
  EXPECT_TRUE(control.PollTimer().isActive());
  control.SetInterval(250);
  EXPECT_EQ(control.Interval(), 250);
  EXPECT_EQ(control.PollTimer().interval(), 250);
  control.SetInterval(0);
  EXPECT_FALSE(control.PollTimer().isActive()) << "a period of 0 stops the ticks";
  control.SetInterval(200);
  EXPECT_TRUE(control.PollTimer().isActive());
  EXPECT_EQ(control.PollTimer().interval(), 200);
}

TEST_F(WaveControl, VolumeIsTheMeanOfTheChannelsOver256) {
  SetPcm(0xFF, 0xFF);
  EXPECT_EQ(control_.Volume(), 255);
  SetPcm(0x80, 0);  // words 0x8080 and 0
  EXPECT_EQ(control_.Volume(), 64);
  SetPcm(0x12, 0x12);
  EXPECT_EQ(control_.Volume(), 18);
}

TEST_F(WaveControl, SettingWritesTheVolumeShiftedBy8OnBothChannels) {
  control_.SetVolume(128);
  EXPECT_EQ(mixer_.At("PCM").left, 0x80);
  EXPECT_EQ(mixer_.At("PCM").right, 0x80);
  control_.SetVolume(0);
  EXPECT_EQ(mixer_.At("PCM").left, 0);
  EXPECT_EQ(mixer_.At("PCM").right, 0);
  control_.SetVolume(255);
  EXPECT_EQ(mixer_.At("PCM").right, 255);
}

TEST_F(WaveControl, TickFiresOnChangeThenBalancesTheChannels) {
  SetPcm(0xFF, 0);
  int changes = 0;
  control_.onChange = [&](TmVolControl&) {
    ++changes;
    EXPECT_EQ(mixer_.At("PCM").right, 0) << "onChange comes before the set";
  };
  control_.PollTick();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(mixer_.At("PCM").left, 0x7F);
  EXPECT_EQ(mixer_.At("PCM").right, 0x7F);
}

TEST_F(WaveControl, TimerFiresOnChangeEveryTickWithoutWritingAnUnchangedVolume) {
  SetPcm(100, 100);
  int changes = 0;
  control_.onChange = [&](TmVolControl&) { ++changes; };
  control_.SetInterval(5);
  ASSERT_TRUE(QTest::qWaitFor([&] { return changes >= 5; }, 5000));
  EXPECT_EQ(mixer_.Writes(), 0);
  EXPECT_EQ(mixer_.At("PCM").left, 100);
}

TEST_F(WaveControl, ChangeMadeElsewhereIsReportedAtTheNextTick) {
  SetPcm(10, 10);
  mixer_.ChangeElsewhere("PCM", 200, 200);
  std::uint8_t seen = 0;
  control_.onChange = [&](TmVolControl& sender) { seen = sender.Volume(); };
  control_.PollTick();
  EXPECT_EQ(seen, 200);
}

// The owner is told (onInit) when the device goes and when it is chosen again at its return.
TEST_F(WaveControl, VanishedElementLetsTheDeviceGoAndItsReturnChoosesItAgain) {
  std::vector<std::int32_t> inits;
  control_.onInit = [&](TmVolControl& sender) { inits.push_back(sender.DeviceIndex()); };
  SetPcm(90, 90);
  mixer_.Remove("PCM");
  EXPECT_EQ(control_.Volume(), 0);
  control_.PollTick();
  control_.PollTick();
  EXPECT_EQ(mixer_.Writes(), 0);
  EXPECT_EQ(inits, std::vector<std::int32_t>{-1});
  mixer_.Add("PCM", 0, 255, false, 90);
  control_.PollTick();
  control_.PollTick();
  EXPECT_EQ(inits, (std::vector<std::int32_t>{-1, 0}));
  EXPECT_EQ(control_.Volume(), 90);
  EXPECT_EQ(mixer_.Writes(), 0);
}

TEST(VolControlFaults, WithoutADeviceOnInitStillFiresPollingGoesOnAndNothingIsWritten) {
  FakeMixer mixer;
  mixer.Add("Master", 0, 255, false, 200);
  mixer.PullCard();
  TmVolControl control;
  int inits = 0;
  control.onInit = [&](TmVolControl&) { ++inits; };
  control.SetDeviceType(TDeviceType::dvWave);
  EXPECT_EQ(inits, 1);
  EXPECT_EQ(control.DeviceIndex(), -1);
  EXPECT_TRUE(control.PollTimer().isActive());
  EXPECT_EQ(control.Volume(), 0);
  control.SetVolume(100);
  control.PollTick();
  EXPECT_EQ(mixer.Writes(), 0);
}

TEST(VolControlFaults, MonoElementReadsItsOneChannel) {
  FakeMixer mixer;
  mixer.Add("Master", 0, 31, true, 31);
  TmVolControl control;
  control.SetDeviceType(TDeviceType::dvWave);
  EXPECT_EQ(control.Volume(), 255);
  control.SetVolume(0);
  EXPECT_EQ(mixer.At("Master").left, 0);
}

// The element value reached after one tick stays put at every later tick, starting from every
// value of the range (balanced), and from unbalanced values across the range.
TEST(VolControlCreep, EveryValueOfCommonRangesSettlesAfterOneTick) {
  for (const long max : {31L, 87L, 255L, 65536L}) {
    FakeMixer mixer;
    auto& master = mixer.Add("Master", 0, max);
    TmVolControl control;
    control.SetDeviceType(TDeviceType::dvWave);
    ASSERT_EQ(control.DeviceIndex(), 0);
    for (long value = 0; value <= max; ++value) {
      master.left = master.right = value;
      control.PollTick();
      const long reached = master.left;
      const int writes = mixer.Writes();
      control.PollTick();
      control.PollTick();
      ASSERT_EQ(master.left, reached) << "range 0.." << max << " from " << value;
      ASSERT_EQ(master.right, reached);
      ASSERT_EQ(mixer.Writes(), writes) << "range 0.." << max << " from " << value;
      if (max <= 255) {
        ASSERT_EQ(reached, value) << "a narrow range keeps every value";
      }
    }
    for (long left = 0; left <= max; left += 1 + max / 61) {
      master.left = left;
      master.right = max - left;
      control.PollTick();
      const long reached = master.left;
      ASSERT_EQ(master.right, reached) << "balanced at the first tick";
      control.PollTick();
      ASSERT_EQ(master.left, reached) << "range 0.." << max << " from " << left << "/" << max - left;
    }
  }
}

}  // namespace
