// The main window offered to the desktop as an MPRIS media player on the session bus, so that
// media keys and the desktop's now-playing controls drive the player panel.
#pragma once

#include <QDBusConnection>
#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <cstdint>
#include <optional>

namespace app {
class TMainForm;
class PlaybackState;
}  // namespace app

namespace desktop {

class MprisBridge : public QObject {
  Q_OBJECT

 public:
  static constexpr const char* kServiceName = "org.mpris.MediaPlayer2.albavox";
  static constexpr const char* kObjectPath = "/org/mpris/MediaPlayer2";
  static constexpr const char* kPlayerInterface = "org.mpris.MediaPlayer2.Player";
  // The desktop entry's name without ".desktop".
  static constexpr const char* kDesktopEntry = "org.albavox.Albavox";

  // Offers the window on the session bus, or on the bus at `address` when one is given. Nothing
  // here waits for the bus: the connection is made on a thread of its own, and the object is
  // registered and the name asked for once it stands, the name by a call whose answer comes as an
  // event. Without a bus, or when the bus refuses the names, nothing is offered and the window is
  // unaffected. A child of `form`, gone with it.
  explicit MprisBridge(app::TMainForm& form, const QString& address = {});
  ~MprisBridge() override;

  // True once the player is offered on the bus; the bus name it got (another running Albavox
  // holds the plain name, so a second one adds ".instance" and its process id).
  bool Registered() const { return registered_; }
  const QString& ServiceName() const { return serviceName_; }
  // True while a connection to a bus is still being made (the bus has not answered yet).
  static bool Connecting();

  // ---- org.mpris.MediaPlayer2 ----
  void Raise();
  void Quit();

  // ---- org.mpris.MediaPlayer2.Player: each action does what the window's own button does, when
  // the playback state allows it, and nothing otherwise ----
  void Play();
  void Pause();
  void PlayPause();
  void Stop();
  void Next();
  void Previous();
  // Moves by `offset` microseconds (to whole seconds, as the position bar counts) while a song is
  // started; past the end it acts as Next. Any offset is taken, the extremes included.
  void Seek(std::int64_t offset);
  // Moves to `position` microseconds when `trackId` names the song shown and the position lies
  // within it.
  void SetPosition(const QString& trackId, std::int64_t position);

  QString PlaybackStatus() const;
  QVariantMap Metadata() const;
  // The position in microseconds, from the playback state: never a call into the decoder, which
  // would take a fault of the stream that the window has to show.
  std::int64_t Position() const;
  bool CanPlay() const;
  bool CanPause() const;
  bool CanGoNext() const;
  bool CanGoPrevious() const;
  bool CanSeek() const;

 signals:
  // The position jumped (a seek by the user or over the bus), in microseconds.
  void Seeked(qlonglong position);
  // The player is offered on the bus.
  void Offered();

 private:
  void Connected();
  void RequestName(const QString& name);
  void NameAnswered(const QString& name, bool granted, bool taken);
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
  const app::PlaybackState& State() const;

  app::TMainForm& form_;
  QString connectionName_;
  QFutureWatcher<QDBusConnection> connecting_;
  std::optional<QDBusConnection> bus_;
  QString serviceName_;
  bool registered_ = false;
  bool changesScheduled_ = false;
  QVariantMap told_;
};

// The end of the program once its window has closed: returns `code` for the normal end, or, while
// a bus has still not answered the connection to it, ends the process at once with `code`: Qt's bus
// thread waits on that connection, and the normal end of the process waits for that thread.
int ProgramEnd(int code);

}  // namespace desktop
