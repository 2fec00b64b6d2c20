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

class TmVolControl {
 public:
  // Polling period of a new component, in milliseconds.
  static constexpr int kPollPeriod = 100;
  // The period a form description leaves out; the stored Interval itself starts at 0.
  static constexpr std::uint16_t kDefaultInterval = 200;

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
  // Polling period in milliseconds as last set (0 at the start, whatever the timer runs at);
  // a different value becomes the timer's period, and 0 stops the ticks.
  std::uint16_t Interval() const { return interval_; }
  void SetInterval(std::uint16_t milliseconds);

  // Fired on every polling tick.
  TNotifyEvent onChange;
  // Fired after each choice of a device and once the owner has set the properties.
  TNotifyEvent onInit;

  // The owner has set the stored properties: fires onInit.
  void PropertiesLoaded();
  // Chooses the first device of the family that has a volume control.
  void SelectDevice();
  // The timer's handler: fires onChange, then sets the volume read, which balances the
  // channels.
  void PollTick();

  // The chosen device within its family; -1 for none.
  std::int32_t DeviceIndex() const { return deviceIndex_; }
  // The polling timer.
  const QTimer& PollTimer() const { return *pollTimer_; }

 private:
  void Fire(const TNotifyEvent& event);
  void SetPeriod(int milliseconds);
  void EnableTimer();
  void ApplyTimer();

  std::unique_ptr<QTimer> pollTimer_;
  TDeviceType deviceType_ = TDeviceType::dvCD;
  std::uint16_t interval_ = 0;
  std::int32_t deviceIndex_ = -1;
  int period_ = 0;        // the timer's period; 0 means no ticks
  bool enabled_ = false;  // polling is wanted (ticks need a period too)
};

}  // namespace volume
