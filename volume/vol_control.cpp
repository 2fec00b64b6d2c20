// TmVolControl: device choice, the channel arithmetic and the polling tick.
#include "volume/vol_control.h"

#include <QTimer>

#include "platform/mixer/mixer.h"
#include "platform/ui/error_report.h"

namespace volume {

namespace {

using platform::MixerResult;

// Whether device `index` of the family qualifies: its capabilities say it has a volume (and,
// for the auxiliary devices, the wanted technology). A failed query does not qualify.
bool Qualifies(TDeviceType type, std::int32_t index) {
  switch (type) {
    case TDeviceType::dvCD:
    case TDeviceType::dvLineIn: {
      platform::AuxCaps caps;
      const std::uint16_t technology = type == TDeviceType::dvCD ? platform::kAuxCapsCdAudio : platform::kAuxCapsAuxIn;
      return platform::AuxGetDevCaps(index, caps) == MixerResult::kNoError &&
             (caps.support & platform::kAuxCapsVolume) && (caps.technology & technology);
    }
    case TDeviceType::dvMidi: {
      platform::MidiOutCaps caps;
      return platform::MidiOutGetDevCaps(index, caps) == MixerResult::kNoError &&
             (caps.support & platform::kMidiCapsVolume);
    }
    case TDeviceType::dvWave: {
      platform::WaveOutCaps caps;
      return platform::WaveOutGetDevCaps(index, caps) == MixerResult::kNoError &&
             (caps.support & platform::kWaveCapsVolume);
    }
  }
  return false;
}

std::uint32_t DeviceCount(TDeviceType type) {
  switch (type) {
    case TDeviceType::dvCD:
    case TDeviceType::dvLineIn: return platform::AuxGetNumDevs();
    case TDeviceType::dvMidi: return platform::MidiOutGetNumDevs();
    case TDeviceType::dvWave: return platform::WaveOutGetNumDevs();
  }
  return 0;
}

// The mean of the two channel words divided by 256.
std::uint8_t Mean(std::uint32_t channels) {
  const std::uint32_t left = channels & 0xFFFF;
  const std::uint32_t right = channels >> 16;
  return static_cast<std::uint8_t>((left + right) >> 9);
}

}  // namespace

TmVolControl::TmVolControl() : pollTimer_(std::make_unique<QTimer>()) {
  pollTimer_->setInterval(kPollPeriod);
  QObject::connect(pollTimer_.get(), &QTimer::timeout, [this] { platform::RunGuarded([this] { PollTick(); }); });
  SelectDevice();
  ApplyTimer();
}

TmVolControl::~TmVolControl() = default;

void TmVolControl::SetDeviceType(TDeviceType type) {
  if (type == deviceType_) return;
  deviceType_ = type;
  SelectDevice();
}

void TmVolControl::SetInterval(std::uint16_t milliseconds) {
  if (milliseconds == interval_) return;
  interval_ = milliseconds;
  pollTimer_->setInterval(milliseconds);
  ApplyTimer();
}

void TmVolControl::PropertiesLoaded() { Fire(onInit); }

void TmVolControl::SelectDevice() {
  FindDevice();
  Fire(onInit);
}

bool TmVolControl::FindDevice() {
  deviceIndex_ = -1;
  const std::uint32_t count = DeviceCount(deviceType_);
  for (std::uint32_t i = 0; i < count; ++i) {
    const auto index = static_cast<std::int32_t>(i);
    if (Qualifies(deviceType_, index)) {
      ApplyTimer();
      deviceIndex_ = index;
      return true;
    }
  }
  return false;
}

bool TmVolControl::ReadChannels(std::uint32_t& channels) const {
  channels = 0;  // a failed read leaves it so
  MixerResult result = MixerResult::kBadDeviceId;
  switch (deviceType_) {
    case TDeviceType::dvCD:
    case TDeviceType::dvLineIn: result = platform::AuxGetVolume(deviceIndex_, channels); break;
    case TDeviceType::dvMidi: result = platform::MidiOutGetVolume(deviceIndex_, channels); break;
    case TDeviceType::dvWave: result = platform::WaveOutGetVolume(deviceIndex_, channels); break;
  }
  return result == MixerResult::kNoError;
}

std::uint8_t TmVolControl::Volume() const {
  std::uint32_t channels = 0;
  ReadChannels(channels);
  return Mean(channels);
}

void TmVolControl::SetVolume(std::uint8_t volume) {
  const std::uint32_t word = std::uint32_t{volume} << 8;  // 255 -> 0xFF00
  const std::uint32_t both = word | word << 16;
  switch (deviceType_) {
    case TDeviceType::dvCD:
    case TDeviceType::dvLineIn: platform::AuxSetVolume(deviceIndex_, both); break;
    case TDeviceType::dvMidi: platform::MidiOutSetVolume(deviceIndex_, both); break;
    case TDeviceType::dvWave: platform::WaveOutSetVolume(deviceIndex_, both); break;
  }
}

void TmVolControl::PollTick() {
  // A device that came (back) is chosen, and the owner told as after any choice.
  if (deviceIndex_ < 0 && FindDevice()) Fire(onInit);
  Fire(onChange);
  std::uint32_t channels = 0;
  if (!ReadChannels(channels)) {
    // The device went away (its card, the sound server): the owner is told once; the ticks
    // look for it again.
    if (deviceIndex_ >= 0) {
      deviceIndex_ = -1;
      Fire(onInit);
    }
    return;
  }
  SetVolume(Mean(channels));
}

void TmVolControl::Fire(const TNotifyEvent& event) {
  if (event) event(*this);
}

// A timer that already runs at its period goes on undisturbed.
void TmVolControl::ApplyTimer() {
  if (pollTimer_->interval() == 0) {
    pollTimer_->stop();
  } else if (!pollTimer_->isActive()) {
    pollTimer_->start();
  }
}

}  // namespace volume
