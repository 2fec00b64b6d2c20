// The main window offered to the desktop as an MPRIS media player on the session bus, so that
// media keys and the desktop's now-playing controls drive the player panel.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <cstdint>

namespace app {
class TMainForm;
}

namespace desktop {

class MprisBridge : public QObject {
  Q_OBJECT

 public:
  static constexpr const char* kServiceName = "org.mpris.MediaPlayer2.albavox";
  static constexpr const char* kObjectPath = "/org/mpris/MediaPlayer2";
  static constexpr const char* kPlayerInterface = "org.mpris.MediaPlayer2.Player";
  // The desktop entry's name without ".desktop".
  static constexpr const char* kDesktopEntry = "org.albavox.Albavox";

  // Registers on `bus` (the session bus by default). Without a bus, or when the bus refuses the
  // names, nothing is offered and the window is unaffected. A child of `form`, gone with it.
  explicit MprisBridge(app::TMainForm& form, const QDBusConnection& bus = QDBusConnection::sessionBus());
  ~MprisBridge() override;

  // True when the player is offered on the bus; the bus name it got (another running Albavox
  // holds the plain name, so a second one adds ".instance" and its process id).
  bool Registered() const { return registered_; }
  const QString& ServiceName() const { return serviceName_; }

  // ---- org.mpris.MediaPlayer2 ----
  void Raise();
  void Quit();

  // ---- org.mpris.MediaPlayer2.Player: each action presses the window's own button when that
  // button is enabled, and does nothing otherwise ----
  void Play();
  void Pause();
  void PlayPause();
  void Stop();
  void Next();
  void Previous();
  // Moves by `offset` microseconds (whole seconds, as the position bar counts) while a song is
  // started; past the end it acts as Next.
  void Seek(std::int64_t offset);
  // Moves to `position` microseconds when `trackId` names the song shown.
  void SetPosition(const QString& trackId, std::int64_t position);

  QString PlaybackStatus() const;
  QVariantMap Metadata() const;
  std::int64_t Position() const;
  bool CanPlay() const;
  bool CanPause() const;
  bool CanGoNext() const;
  bool CanGoPrevious() const;
  bool CanSeek() const;

 signals:
  // The position jumped (a seek by the user or over the bus), in microseconds.
  void Seeked(qlonglong position);

 private:
  // The player's properties that the desktop is told about when they change.
  QVariantMap WatchedProperties() const;
  // Compares with what the desktop was last told and sends one PropertiesChanged for the rest.
  void SendChanges();
  void ScheduleChanges();
  void SeekToSecond(std::int64_t second);
  // Runs `action` from the event loop, as a click of the user would arrive, so that the caller on
  // the bus gets its answer at once even when the action shows a message box.
  template <typename Action>
  void Later(Action action);
  QString TrackId() const;
  std::int64_t LengthMicroseconds() const;
  bool eventFilter(QObject* watched, QEvent* event) override;

  app::TMainForm& form_;
  QDBusConnection bus_;
  QString serviceName_;
  bool registered_ = false;
  bool changesScheduled_ = false;
  QVariantMap told_;
};

}  // namespace desktop
