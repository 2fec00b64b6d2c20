// TmVolControl: reads and sets the volume of one device of the system's mixer on a 0..255
// scale, and polls it so that its owner follows changes made elsewhere.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

class QTimer;

namespace volume {

// Which device family the component controls.
enum class TDeviceType { dvCD, dvLineIn, dvMidi, dvWave };

class TmVolControl;

// An event; an empty function means "not assigned".
using TNotifyEvent = std::function<void(TmVolControl& sender)>;

// The polling period: a new component polls every kPollPeriod milliseconds. Interval is the
// property as last set, 0 on a new component and not tied to the period until it changes: a
// different value becomes the period (0 stops the polling), the value it holds changes nothing.
// So setting Interval to 0 on a new component leaves the polling at kPollPeriod.
class TmVolControl {
 public:
  static constexpr int kPollPeriod = 100;

  // Chooses a CD audio device and starts polling every kPollPeriod milliseconds.
  TmVolControl();
  // Stops polling.
  ~TmVolControl();
  TmVolControl(const TmVolControl&) = delete;
  TmVolControl& operator=(const TmVolControl&) = delete;

  // The device family; a different value chooses a device again.
  TDeviceType DeviceType() const { return deviceType_; }
  void SetDeviceType(TDeviceType type);
  // The device's volume 0..255 (the mean of its channels), read afresh; 0 when the read fails.
  std::uint8_t Volume() const;
  // Sets both channels of the device to `volume`.
  void SetVolume(std::uint8_t volume);
  // See the polling period above.
  std::uint16_t Interval() const { return interval_; }
  void SetInterval(std::uint16_t milliseconds);

  // Fired on every polling tick.
  TNotifyEvent onChange;
  // Fired after each choice of a device, once the owner has set the properties, and when the
  // chosen device goes away or a device comes (back) while none was chosen.
  TNotifyEvent onInit;

  // The owner has set the stored properties: fires onInit.
  void PropertiesLoaded();
  // Chooses the first device of the family that has a volume control.
  void SelectDevice();
  // The timer's handler. Without a device it first looks for one (the mixer tries to reach its
  // card again at most about once a second); then it fires onChange and sets the volume read,
  // which balances the channels. A read that fails lets the device go.
  void PollTick();

  // The chosen device within its family; -1 for none.
  std::int32_t DeviceIndex() const { return deviceIndex_; }
  // The polling timer; its interval is the polling period.
  const QTimer& PollTimer() const { return *pollTimer_; }

 private:
  // Chooses the first qualifying device and makes sure polling runs; false when there is none.
  bool FindDevice();
  // The device's two channel words; false when the read failed.
  bool ReadChannels(std::uint32_t& channels) const;
  void Fire(const TNotifyEvent& event);
  // Runs the timer at its period, or stops it when the period is 0.
  void ApplyTimer();

  std::unique_ptr<QTimer> pollTimer_;
  TDeviceType deviceType_ = TDeviceType::dvCD;
  std::uint16_t interval_ = 0;
  std::int32_t deviceIndex_ = -1;
};

}  // namespace volume
