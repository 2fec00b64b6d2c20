// The volume functions of the three device families over the mixer backend.
#include "platform/mixer/mixer.h"

#include <array>
#include <cstddef>
#include <span>

#include "platform/mixer/channel_scale.h"
#include "platform/mixer/mixer_backend.h"

namespace platform {

namespace {

const MixerBackend* g_backend = nullptr;  // nullptr: ALSA's

const MixerBackend& Backend() { return g_backend ? *g_backend : AlsaMixerBackend(); }

// The elements that may stand for one device, the first usable one taken.
using Candidates = std::span<const char* const>;

constexpr std::array<const char*, 1> kCd = {"CD"};
constexpr std::array<const char*, 1> kLineIn = {"Line"};
constexpr std::array<const char*, 1> kSynth = {"Synth"};
constexpr std::array<const char*, 2> kWave = {"PCM", "Master"};

// A range of one value is no volume control.
bool Usable(const MixerReading& reading) { return reading.max > reading.min; }

// The first usable element among `names`, read into `reading`; nullptr when there is none.
const char* FindElement(Candidates names, MixerReading& reading) {
  const MixerBackend& backend = Backend();
  for (const char* name : names) {
    if (backend.read(backend.self, name, reading) && Usable(reading)) return name;
  }
  return nullptr;
}

// The device count of a family whose devices live on the card.
std::uint32_t Count(std::size_t devicesOnCard) {
  const MixerBackend& backend = Backend();
  return backend.open(backend.self) ? static_cast<std::uint32_t>(devicesOnCard) : 0;
}

bool InFamily(std::int32_t device, std::size_t devicesOnCard) {
  return device >= 0 && static_cast<std::size_t>(device) < devicesOnCard;
}

// A device of the family on a card, opening the control device when needed.
bool ValidDevice(std::int32_t device, std::size_t devicesOnCard) {
  return InFamily(device, devicesOnCard) && Count(devicesOnCard) > 0;
}

// Support flags of the device standing on `names`: `volume` when one of them is usable, with
// `lrVolume` when that one has two channels.
std::uint32_t Support(Candidates names, std::string& name, std::uint32_t volume, std::uint32_t lrVolume) {
  Backend().update(Backend().self);
  MixerReading reading;
  const char* found = FindElement(names, reading);
  name = found ? found : names.front();
  if (!found) return 0;
  return reading.mono ? volume : volume | lrVolume;
}

MixerResult GetVolume(Candidates names, std::uint32_t& volume) {
  const MixerBackend& backend = Backend();
  if (!backend.update(backend.self)) return MixerResult::kError;
  MixerReading reading;
  if (!FindElement(names, reading)) return MixerResult::kError;
  const long steps = reading.max - reading.min;
  const std::uint16_t left = WordOfStep(StepOfElement(reading.left - reading.min, steps));
  const std::uint16_t right = reading.mono ? left : WordOfStep(StepOfElement(reading.right - reading.min, steps));
  volume = static_cast<std::uint32_t>(left) | static_cast<std::uint32_t>(right) << 16;
  return MixerResult::kNoError;
}

// Never opens the control device: a set that follows a read which failed (and left 0 to its
// caller) must not reach a device that has just come back and silence it.
MixerResult SetVolume(Candidates names, std::uint32_t volume) {
  const MixerBackend& backend = Backend();
  if (!backend.update(backend.self)) return MixerResult::kError;
  MixerReading reading;
  const char* name = FindElement(names, reading);
  if (!name) return MixerResult::kError;
  const long steps = reading.max - reading.min;
  const long left = reading.min + ElementOfStep(StepOfWord(static_cast<std::uint16_t>(volume)), steps);
  const long right =
      reading.mono ? left : reading.min + ElementOfStep(StepOfWord(static_cast<std::uint16_t>(volume >> 16)), steps);
  // Setting what the element holds already would only wake the sound server and every mixer
  // applet, ten times a second while the program polls.
  if (left == reading.left && right == reading.right) return MixerResult::kNoError;
  return backend.write(backend.self, name, left, right) ? MixerResult::kNoError : MixerResult::kError;
}

// The devices of each family, in index order.
constexpr std::array<Candidates, 2> kAuxDevices = {Candidates(kCd), Candidates(kLineIn)};
constexpr std::array<std::uint16_t, 2> kAuxTechnology = {kAuxCapsCdAudio, kAuxCapsAuxIn};
constexpr std::size_t kMidiDevices = 1;
constexpr std::size_t kWaveDevices = 1;

}  // namespace

const MixerBackend* SetMixerBackend(const MixerBackend* backend) {
  const MixerBackend* before = g_backend;
  g_backend = backend;
  return before;
}

void CloseMixer() { Backend().close(Backend().self); }

void OpenMixerAhead() {
  if (!g_backend) OpenAlsaMixerAhead();
}

std::uint32_t AuxGetNumDevs() { return Count(kAuxDevices.size()); }

MixerResult AuxGetDevCaps(std::int32_t device, AuxCaps& caps) {
  if (!ValidDevice(device, kAuxDevices.size())) return MixerResult::kBadDeviceId;
  const auto index = static_cast<std::size_t>(device);
  caps.technology = kAuxTechnology[index];
  caps.support = Support(kAuxDevices[index], caps.name, kAuxCapsVolume, kAuxCapsLrVolume);
  return MixerResult::kNoError;
}

MixerResult AuxGetVolume(std::int32_t device, std::uint32_t& volume) {
  if (!ValidDevice(device, kAuxDevices.size())) return MixerResult::kBadDeviceId;
  return GetVolume(kAuxDevices[static_cast<std::size_t>(device)], volume);
}

MixerResult AuxSetVolume(std::int32_t device, std::uint32_t volume) {
  if (!InFamily(device, kAuxDevices.size())) return MixerResult::kBadDeviceId;
  return SetVolume(kAuxDevices[static_cast<std::size_t>(device)], volume);
}

std::uint32_t MidiOutGetNumDevs() { return Count(kMidiDevices); }

MixerResult MidiOutGetDevCaps(std::int32_t device, MidiOutCaps& caps) {
  if (!ValidDevice(device, kMidiDevices)) return MixerResult::kBadDeviceId;
  caps.support = Support(kSynth, caps.name, kMidiCapsVolume, kMidiCapsLrVolume);
  return MixerResult::kNoError;
}

MixerResult MidiOutGetVolume(std::int32_t device, std::uint32_t& volume) {
  if (!ValidDevice(device, kMidiDevices)) return MixerResult::kBadDeviceId;
  return GetVolume(kSynth, volume);
}

MixerResult MidiOutSetVolume(std::int32_t device, std::uint32_t volume) {
  if (!InFamily(device, kMidiDevices)) return MixerResult::kBadDeviceId;
  return SetVolume(kSynth, volume);
}

std::uint32_t WaveOutGetNumDevs() { return Count(kWaveDevices); }

MixerResult WaveOutGetDevCaps(std::int32_t device, WaveOutCaps& caps) {
  if (!ValidDevice(device, kWaveDevices)) return MixerResult::kBadDeviceId;
  caps.support = Support(kWave, caps.name, kWaveCapsVolume, kWaveCapsLrVolume);
  return MixerResult::kNoError;
}

MixerResult WaveOutGetVolume(std::int32_t device, std::uint32_t& volume) {
  if (!ValidDevice(device, kWaveDevices)) return MixerResult::kBadDeviceId;
  return GetVolume(kWave, volume);
}

MixerResult WaveOutSetVolume(std::int32_t device, std::uint32_t volume) {
  if (!InFamily(device, kWaveDevices)) return MixerResult::kBadDeviceId;
  return SetVolume(kWave, volume);
}

}  // namespace platform
