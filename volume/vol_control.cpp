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
      return platform::AuxGetDevCaps(index, caps) == MixerResult::NoError &&
             (caps.support & platform::kAuxCapsVolume) && (caps.technology & technology);
    }
    case TDeviceType::dvMidi: {
      platform::MidiOutCaps caps;
      return platform::MidiOutGetDevCaps(index, caps) == MixerResult::NoError &&
             (caps.support & platform::kMidiCapsVolume);
    }
    case TDeviceType::dvWave: {
      platform::WaveOutCaps caps;
      return platform::WaveOutGetDevCaps(index, caps) == MixerResult::NoError &&
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

}  // namespace

TmVolControl::TmVolControl() : pollTimer_(std::make_unique<QTimer>()) {
  SetPeriod(kPollPeriod);
  QObject::connect(pollTimer_.get(), &QTimer::timeout, [this] { platform::RunGuarded([this] { PollTick(); }); });
  SelectDevice();
  EnableTimer();
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
  SetPeriod(milliseconds);
}

void TmVolControl::PropertiesLoaded() { Fire(onInit); }

void TmVolControl::SelectDevice() {
  deviceIndex_ = -1;
  const std::uint32_t count = DeviceCount(deviceType_);
  for (std::uint32_t i = 0; i < count; ++i) {
    const auto index = static_cast<std::int32_t>(i);
    if (Qualifies(deviceType_, index)) {
      EnableTimer();
      deviceIndex_ = index;
      break;
    }
  }
  Fire(onInit);
}

std::uint8_t TmVolControl::Volume() const {
  std::uint32_t volume = 0;  // a failed read leaves it so
  switch (deviceType_) {
    case TDeviceType::dvCD:
    case TDeviceType::dvLineIn: platform::AuxGetVolume(deviceIndex_, volume); break;
    case TDeviceType::dvMidi: platform::MidiOutGetVolume(deviceIndex_, volume); break;
    case TDeviceType::dvWave: platform::WaveOutGetVolume(deviceIndex_, volume); break;
  }
  const std::uint32_t left = volume & 0xFFFF;
  const std::uint32_t right = volume >> 16;
  return static_cast<std::uint8_t>((left + right) >> 9);  // the mean of the channels / 256
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
  Fire(onChange);
  SetVolume(Volume());
}

void TmVolControl::Fire(const TNotifyEvent& event) {
  if (event) event(*this);
}

void TmVolControl::SetPeriod(int milliseconds) {
  period_ = milliseconds;
  ApplyTimer();
}

void TmVolControl::EnableTimer() {
  enabled_ = true;
  ApplyTimer();
}

// Runs the timer when polling is wanted and there is a period; a timer that already runs at
// that period goes on undisturbed.
void TmVolControl::ApplyTimer() {
  if (!enabled_ || period_ == 0) {
    pollTimer_->stop();
    return;
  }
  if (pollTimer_->isActive() && pollTimer_->interval() == period_) return;
  pollTimer_->start(period_);
}

}  // namespace volume
