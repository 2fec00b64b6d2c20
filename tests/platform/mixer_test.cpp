// The volume functions over the fake mixer: devices and capabilities, the mapping of element
// ranges onto channel words, events, quiet sets, and the faults (no card, vanished element,
// mono, a range of one value).
#include "platform/mixer/mixer.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/mixer/channel_scale.h"
#include "tests/support/fake_mixer.h"

namespace {

using platform::MixerResult;
using testsupport::FakeMixer;

constexpr std::uint32_t Channels(std::uint16_t left, std::uint16_t right) {
  return static_cast<std::uint32_t>(left) | static_cast<std::uint32_t>(right) << 16;
}

TEST(ChannelScale, RangeEndsAreTheWordEnds) {
  for (const long steps : {1L, 31L, 87L, 255L, 256L, 65536L}) {
    EXPECT_EQ(platform::WordOfStep(platform::StepOfElement(0, steps)), 0) << steps;
    EXPECT_EQ(platform::WordOfStep(platform::StepOfElement(steps, steps)), 0xFFFF) << steps;
    EXPECT_EQ(platform::ElementOfStep(platform::StepOfWord(0xFF00), steps), steps) << steps;
    EXPECT_EQ(platform::ElementOfStep(platform::StepOfWord(0x00FF), steps), 0) << steps;
  }
}

TEST(ChannelScale, ReadingAndSettingAreMonotonic) {
  for (const long steps : {3L, 31L, 87L, 255L, 1000L, 65536L}) {
    for (long k = 1; k <= steps; ++k) {
      ASSERT_LE(platform::StepOfElement(k - 1, steps), platform::StepOfElement(k, steps)) << steps << " " << k;
    }
    for (int step = 1; step <= 255; ++step) {
      ASSERT_LE(platform::ElementOfStep(static_cast<std::uint8_t>(step - 1), steps),
                platform::ElementOfStep(static_cast<std::uint8_t>(step), steps));
    }
  }
}

// Every value a set can reach reads back as a step that sets that same value, whatever the
// width of the range; ranges of at most 255 steps keep every one of their values.
TEST(ChannelScale, ValuesReachedBySettingAreFixedForEveryRangeWidth) {
  std::vector<long> widths;
  for (long steps = 1; steps <= 2048; ++steps) widths.push_back(steps);
  for (const long steps : {4095L, 32767L, 65535L, 65536L, 100000L, 1L << 24}) widths.push_back(steps);
  for (const long steps : widths) {
    for (int step = 0; step <= 255; ++step) {
      const long reached = platform::ElementOfStep(static_cast<std::uint8_t>(step), steps);
      ASSERT_EQ(platform::ElementOfStep(platform::StepOfElement(reached, steps), steps), reached)
          << "range 0.." << steps << ", step " << step;
    }
    if (steps > 255) continue;
    for (long k = 0; k <= steps; ++k) {
      ASSERT_EQ(platform::ElementOfStep(platform::StepOfElement(k, steps), steps), k) << steps << " " << k;
    }
  }
}

TEST(MixerDevices, ACardHasTwoAuxiliaryDevicesOneMidiAndOneWaveOutput) {
  FakeMixer mixer;
  EXPECT_EQ(platform::AuxGetNumDevs(), 2u);
  EXPECT_EQ(platform::MidiOutGetNumDevs(), 1u);
  EXPECT_EQ(platform::WaveOutGetNumDevs(), 1u);
}

TEST(MixerDevices, WithoutACardThereAreNoDevicesAndEveryCallIsRefused) {
  FakeMixer mixer;
  mixer.Add("Master", 0, 100, false, 50);
  mixer.PullCard();
  EXPECT_EQ(platform::AuxGetNumDevs(), 0u);
  EXPECT_EQ(platform::MidiOutGetNumDevs(), 0u);
  EXPECT_EQ(platform::WaveOutGetNumDevs(), 0u);
  platform::WaveOutCaps caps;
  EXPECT_EQ(platform::WaveOutGetDevCaps(0, caps), MixerResult::kBadDeviceId);
  std::uint32_t volume = 0x12345678;
  EXPECT_EQ(platform::WaveOutGetVolume(0, volume), MixerResult::kBadDeviceId);
  EXPECT_EQ(volume, 0x12345678u);  // a failed get leaves it
  EXPECT_NE(platform::WaveOutSetVolume(0, 0), MixerResult::kNoError);
  EXPECT_EQ(mixer.Writes(), 0);
}

TEST(MixerDevices, DeviceNumbersOutsideTheFamilyAreBad) {
  FakeMixer mixer;
  mixer.Add("Master", 0, 100);
  std::uint32_t volume = 0;
  platform::AuxCaps aux;
  EXPECT_EQ(platform::WaveOutGetVolume(-1, volume), MixerResult::kBadDeviceId);
  EXPECT_EQ(platform::WaveOutGetVolume(1, volume), MixerResult::kBadDeviceId);
  EXPECT_EQ(platform::WaveOutSetVolume(-1, 0), MixerResult::kBadDeviceId);
  EXPECT_EQ(platform::MidiOutSetVolume(1, 0), MixerResult::kBadDeviceId);
  EXPECT_EQ(platform::AuxGetDevCaps(2, aux), MixerResult::kBadDeviceId);
  EXPECT_EQ(mixer.Writes(), 0);
}

TEST(MixerCaps, WaveOutputIsPcmElseMasterWithTheVolumeFlags) {
  FakeMixer mixer;
  platform::WaveOutCaps caps;
  ASSERT_EQ(platform::WaveOutGetDevCaps(0, caps), MixerResult::kNoError);
  EXPECT_EQ(caps.support, 0u) << "no element, no volume";

  mixer.Add("Master", 0, 65536, true);
  ASSERT_EQ(platform::WaveOutGetDevCaps(0, caps), MixerResult::kNoError);
  EXPECT_EQ(caps.name, "Master");
  EXPECT_EQ(caps.support, platform::kWaveCapsVolume) << "mono: one volume for both sides";

  mixer.Add("PCM", 0, 0);  // a range of one value is no volume control
  ASSERT_EQ(platform::WaveOutGetDevCaps(0, caps), MixerResult::kNoError);
  EXPECT_EQ(caps.name, "Master");

  mixer.Add("PCM", 0, 255);
  ASSERT_EQ(platform::WaveOutGetDevCaps(0, caps), MixerResult::kNoError);
  EXPECT_EQ(caps.name, "PCM");
  EXPECT_EQ(caps.support, platform::kWaveCapsVolume | platform::kWaveCapsLrVolume);
}

TEST(MixerCaps, AuxiliaryDevicesAreCdAudioAndLineInMidiIsSynth) {
  FakeMixer mixer;
  mixer.Add("Line", 0, 31);
  mixer.Add("Synth", 0, 31, true);
  platform::AuxCaps cd, line;
  ASSERT_EQ(platform::AuxGetDevCaps(0, cd), MixerResult::kNoError);
  ASSERT_EQ(platform::AuxGetDevCaps(1, line), MixerResult::kNoError);
  EXPECT_EQ(cd.technology, platform::kAuxCapsCdAudio);
  EXPECT_EQ(cd.support, 0u) << "the card has no CD element";
  EXPECT_EQ(line.technology, platform::kAuxCapsAuxIn);
  EXPECT_EQ(line.name, "Line");
  EXPECT_EQ(line.support, platform::kAuxCapsVolume | platform::kAuxCapsLrVolume);
  platform::MidiOutCaps midi;
  ASSERT_EQ(platform::MidiOutGetDevCaps(0, midi), MixerResult::kNoError);
  EXPECT_EQ(midi.name, "Synth");
  EXPECT_EQ(midi.support, platform::kMidiCapsVolume);

  mixer.Add("CD", 0, 15, false, 15);
  std::uint32_t volume = 0;
  ASSERT_EQ(platform::AuxGetVolume(0, volume), MixerResult::kNoError);
  EXPECT_EQ(volume, Channels(0xFFFF, 0xFFFF));
  ASSERT_EQ(platform::AuxSetVolume(1, Channels(0xFF00, 0)), MixerResult::kNoError);
  EXPECT_EQ(mixer.At("Line").left, 31);
  EXPECT_EQ(mixer.At("Line").right, 0);
  ASSERT_EQ(platform::MidiOutSetVolume(0, Channels(0x8000, 0x8000)), MixerResult::kNoError);
  EXPECT_EQ(mixer.At("Synth").left, 16);
}

TEST(MixerVolume, ChannelsReadFromTheElementsOwnRange) {
  FakeMixer mixer;
  auto& master = mixer.Add("Master", -100, 100);  // 0..200 steps from its minimum
  master.left = -100;
  master.right = 100;
  std::uint32_t volume = 0;
  ASSERT_EQ(platform::WaveOutGetVolume(0, volume), MixerResult::kNoError);
  EXPECT_EQ(volume, Channels(0, 0xFFFF));
  master.left = 0;  // the middle: step round(127.5) = 128
  ASSERT_EQ(platform::WaveOutGetVolume(0, volume), MixerResult::kNoError);
  EXPECT_EQ(volume & 0xFFFF, 128u * 0x101);

  ASSERT_EQ(platform::WaveOutSetVolume(0, Channels(0x8000, 0x4000)), MixerResult::kNoError);
  EXPECT_EQ(master.left, -100 + 100);  // round(128 * 200 / 255) = 100
  EXPECT_EQ(master.right, -100 + 50);  // round(64 * 200 / 255) = 50
}

TEST(MixerVolume, MonoElementRepeatsItsChannelAndTakesTheLeftWord) {
  FakeMixer mixer;
  mixer.Add("Master", 0, 255, true, 51);
  std::uint32_t volume = 0;
  ASSERT_EQ(platform::WaveOutGetVolume(0, volume), MixerResult::kNoError);
  EXPECT_EQ(volume, Channels(51 * 0x101, 51 * 0x101));
  ASSERT_EQ(platform::WaveOutSetVolume(0, Channels(0x2000, 0xFF00)), MixerResult::kNoError);
  EXPECT_EQ(mixer.At("Master").left, 0x20);
  EXPECT_EQ(mixer.At("Master").right, 0x20);
}

TEST(MixerVolume, ChangesMadeElsewhereAreSeenAtTheNextGet) {
  FakeMixer mixer;
  mixer.Add("PCM", 0, 255, false, 10);
  mixer.ChangeElsewhere("PCM", 200, 100);
  std::uint32_t volume = 0;
  ASSERT_EQ(platform::WaveOutGetVolume(0, volume), MixerResult::kNoError);
  EXPECT_EQ(volume, Channels(200 * 0x101, 100 * 0x101));
}

TEST(MixerVolume, SettingWhatTheElementHoldsWritesNothing) {
  FakeMixer mixer;
  mixer.Add("PCM", 0, 31, false, 20);
  for (int i = 0; i < 10; ++i) {
    std::uint32_t volume = 0;
    ASSERT_EQ(platform::WaveOutGetVolume(0, volume), MixerResult::kNoError);
    ASSERT_EQ(platform::WaveOutSetVolume(0, volume & 0xFF00FF00), MixerResult::kNoError);
  }
  EXPECT_EQ(mixer.Writes(), 0);
  ASSERT_EQ(platform::WaveOutSetVolume(0, Channels(0, 0)), MixerResult::kNoError);
  EXPECT_EQ(mixer.Writes(), 1);
  // A change made elsewhere since the last call is compared with, not an old value.
  mixer.ChangeElsewhere("PCM", 5, 5);
  ASSERT_EQ(platform::WaveOutSetVolume(0, Channels(0, 0)), MixerResult::kNoError);
  EXPECT_EQ(mixer.At("PCM").left, 0);
  EXPECT_EQ(mixer.Writes(), 2);
}

TEST(MixerVolume, VanishedElementFailsUntilItComesBack) {
  FakeMixer mixer;
  mixer.Add("Master", 0, 100, false, 100);
  mixer.Remove("Master");
  std::uint32_t volume = 7;
  EXPECT_EQ(platform::WaveOutGetVolume(0, volume), MixerResult::kError);
  EXPECT_EQ(volume, 7u);
  EXPECT_EQ(platform::WaveOutSetVolume(0, 0), MixerResult::kError);
  mixer.Add("Master", 0, 100, false, 100);
  ASSERT_EQ(platform::WaveOutGetVolume(0, volume), MixerResult::kNoError);
  EXPECT_EQ(volume, 0xFFFFFFFFu);
}

TEST(MixerVolume, RangeOfOneValueIsNoVolume) {
  FakeMixer mixer;
  mixer.Add("Master", 5, 5, false, 5);
  std::uint32_t volume = 0;
  EXPECT_EQ(platform::WaveOutGetVolume(0, volume), MixerResult::kError);
  EXPECT_EQ(platform::WaveOutSetVolume(0, 0), MixerResult::kError);
  EXPECT_EQ(mixer.Writes(), 0);
}

// A set never opens the control device: after the device went away, the set that follows a
// failed get must not reach a device that has come back in between.
TEST(MixerVolume, SetDoesNotOpenTheDeviceAGetDoes) {
  FakeMixer mixer;
  mixer.Add("Master", 0, 255, false, 200);
  platform::CloseMixer();
  EXPECT_EQ(platform::WaveOutSetVolume(0, 0), MixerResult::kError);
  EXPECT_EQ(mixer.At("Master").left, 200);
  std::uint32_t volume = 0;
  ASSERT_EQ(platform::WaveOutGetVolume(0, volume), MixerResult::kNoError);
  ASSERT_EQ(platform::WaveOutSetVolume(0, 0), MixerResult::kNoError);
  EXPECT_EQ(mixer.At("Master").left, 0);
}

}  // namespace
