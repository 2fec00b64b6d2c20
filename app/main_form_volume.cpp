// TMainForm: the volume slider and its percentage, tied to the volume component.
#include <QLabel>

#include "app/detail/track_bar.h"
#include "app/main_form.h"
#include "app/volume_percent.h"
#include "platform/ui/error_report.h"

namespace app {

// The component's properties as the window's description sets them, then its events; the
// component then reports onInit once. Its Interval stays 0, the value it starts with, so that it
// polls at its own period of 100 ms (see TmVolControl).
void TMainForm::SetUpVolume() {
  VolControl.SetDeviceType(volume::TDeviceType::dvWave);
  VolControl.onInit = [this](volume::TmVolControl&) { VolControlInit(); };
  VolControl.onChange = [this](volume::TmVolControl&) { VolControlChange(); };
  platform::ConnectGuarded(VolTrackBar, &detail::TrackBar::Changed, this, [this] { VolTrackBarChange(); });
  VolControl.PropertiesLoaded();
}

void TMainForm::VolControlInit() {
  VolTrackBar->setRange(0, 255);
  VolTrackBar->setValue(VolControl.Volume());
  VolTrackBar->SetSelEnd(VolControl.Volume());
  ShowVolumePercent(VolControl.Volume());
  // Without a device the component reads 0 and sets nothing: the slider rests at 0, greyed. The
  // component reports again when its device goes away or comes back (a sound server restarted).
  VolTrackBar->setEnabled(VolControl.DeviceIndex() >= 0);
}

void TMainForm::VolTrackBarChange() {
  VolControl.SetVolume(static_cast<std::uint8_t>(VolTrackBar->value()));
  VolTrackBar->SetSelEnd(VolControl.Volume());
  ShowVolumePercent(VolControl.Volume());
}

void TMainForm::VolControlChange() {
  VolTrackBar->setValue(VolControl.Volume());  // raises VolTrackBarChange only when it moves
  VolTrackBar->SetSelEnd(VolControl.Volume());
  ShowVolumePercent(VolControl.Volume());
}

// Shows the percentage at once; an unchanged text is not drawn again, which keeps the ten
// ticks a second cheap.
void TMainForm::ShowVolumePercent(std::uint8_t volume) {
  const QString text = VolumePercentText(volume);
  if (VolPos->text() == text) return;
  VolPos->setText(text);
  VolPos->adjustSize();
  VolPos->repaint();
}

}  // namespace app
