// The main window offered to the desktop as an MPRIS media player.
#include "desktop/mpris_bridge.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFile>
#include <QPromise>
#include <QScrollBar>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <thread>

#include "app/main_form.h"
#include "app/playback_state.h"
#include "desktop/detail/player_adaptor.h"
#include "desktop/detail/root_adaptor.h"
#include "platform/paths.h"
#include "platform/ui/error_report.h"

namespace desktop {

namespace {
using app::PlaybackMode;

constexpr std::int64_t kMicrosecondsPerSecond = 1'000'000;
constexpr const char* kNoTrack = "/org/mpris/MediaPlayer2/TrackList/NoTrack";
constexpr const char* kBusService = "org.freedesktop.DBus";
// RequestName: fail rather than wait in the queue for a name another player holds; its answers.
constexpr quint32 kDoNotQueue = 4;
constexpr quint32 kPrimaryOwner = 1;
constexpr quint32 kNameExists = 3;
constexpr quint32 kAlreadyOwner = 4;

// Connections being made, on threads of their own.
std::atomic<int> gConnecting{0};
std::atomic<int> gConnections{0};

// A file name from the disk as a file:// address.
QString FileUrl(const std::string& path) {
  return QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(platform::FullPathName(path)))).toString();
}

// a + b, held at the ends of the range instead of wrapping.
std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b) {
  std::int64_t sum = 0;
  if (__builtin_add_overflow(a, b, &sum))
    return b > 0 ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
  return sum;
}

QDBusMessage BusCall(const char* method) {
  return QDBusMessage::createMethodCall(QString::fromLatin1(kBusService), QStringLiteral("/org/freedesktop/DBus"),
                                        QString::fromLatin1(kBusService), QString::fromLatin1(method));
}
}  // namespace

bool MprisBridge::Connecting() { return gConnecting.load() > 0; }

int ProgramEnd(int code) {
  if (!MprisBridge::Connecting()) return code;
  std::fflush(nullptr);
  std::_Exit(code);
}

MprisBridge::MprisBridge(app::TMainForm& form, const QString& address) : QObject(&form), form_(form) {
  new detail::RootAdaptor(this);
  new detail::PlayerAdaptor(this);
  connect(&State(), &app::PlaybackState::Changed, this, &MprisBridge::ScheduleChanges);
  connect(&State(), &app::PlaybackState::Jumped, this, [this] { emit Seeked(Position()); });

  // Qt makes a connection on its bus thread while the caller waits, for as long as the bus takes
  // to answer: here a thread of our own waits instead of the window.
  connectionName_ = QStringLiteral("albavox-mpris-%1").arg(++gConnections);
  QPromise<QDBusConnection> promise;
  connecting_.setFuture(promise.future());
  connect(&connecting_, &QFutureWatcher<QDBusConnection>::finished, this, &MprisBridge::Connected);
  ++gConnecting;
  std::thread([promise = std::move(promise), address, name = connectionName_]() mutable {
    promise.start();
    QDBusConnection bus = address.isEmpty() ? QDBusConnection::connectToBus(QDBusConnection::SessionBus, name)
                                            : QDBusConnection::connectToBus(address, name);
    --gConnecting;
    if (promise.isCanceled()) {
      QDBusConnection::disconnectFromBus(name);  // the bridge has gone meanwhile
    } else {
      promise.addResult(bus);
    }
    promise.finish();
  }).detach();
}

MprisBridge::~MprisBridge() {
  connecting_.cancel();
  if (!bus_) return;
  // Neither of these waits for the bus: the name is given back by a message sent without waiting
  // for its answer, and the object is taken off this side of the connection only.
  if (registered_) {
    QDBusMessage release = BusCall("ReleaseName");
    release << serviceName_;
    bus_->send(release);
  }
  bus_->unregisterObject(QString::fromLatin1(kObjectPath));
  bus_.reset();
  // Qt's bus thread holds its lock while it makes a connection: with one still being made,
  // dropping this one by name would wait for it, so it stays until the program ends.
  if (!Connecting()) QDBusConnection::disconnectFromBus(connectionName_);
}

void MprisBridge::Connected() {
  if (connecting_.isCanceled() || connecting_.future().resultCount() == 0) return;
  QDBusConnection bus = connecting_.result();
  if (!bus.isConnected()) return;
  bus_ = bus;
  if (!bus_->registerObject(QString::fromLatin1(kObjectPath), this, QDBusConnection::ExportAdaptors)) {
    bus_.reset();
    return;
  }
  RequestName(QString::fromLatin1(kServiceName));
}

void MprisBridge::RequestName(const QString& name) {
  QDBusMessage request = BusCall("RequestName");
  request << name << kDoNotQueue;
  auto* answer = new QDBusPendingCallWatcher(bus_->asyncCall(request), this);
  connect(answer, &QDBusPendingCallWatcher::finished, this, [this, answer, name] {
    answer->deleteLater();
    const QDBusPendingReply<quint32> reply = *answer;
    const quint32 code = reply.isError() ? 0 : reply.value();
    NameAnswered(name, code == kPrimaryOwner || code == kAlreadyOwner, code == kNameExists);
  });
}

void MprisBridge::NameAnswered(const QString& name, bool granted, bool taken) {
  if (!bus_) return;
  if (granted) {
    serviceName_ = name;
    registered_ = true;
    told_ = WatchedProperties();
    emit Offered();
  } else if (taken && name == QLatin1String(kServiceName)) {
    RequestName(name + QStringLiteral(".instance") + QString::number(QCoreApplication::applicationPid()));
  } else {
    bus_->unregisterObject(QString::fromLatin1(kObjectPath));
    bus_.reset();
  }
}

const app::PlaybackState& MprisBridge::State() const { return form_.Playback(); }

template <typename Action>
void MprisBridge::Later(Action action) {
  QMetaObject::invokeMethod(
      this, [action] { platform::RunGuarded(action); }, Qt::QueuedConnection);
}

void MprisBridge::Raise() {
  Later([this] {
    form_.show();
    form_.raise();
    form_.activateWindow();
  });
}

void MprisBridge::Quit() {
  Later([this] { form_.SpeedButtonEsciClick(); });
}

void MprisBridge::Play() {
  Later([this] {
    if (State().CanPlay()) form_.ButtonPlayClick();
  });
}

void MprisBridge::Pause() {
  Later([this] {
    if (State().CanPause()) form_.ButtonPauseClick();
  });
}

void MprisBridge::PlayPause() {
  Later([this] {
    if (State().CanPause()) {
      form_.ButtonPauseClick();
    } else if (State().CanPlay()) {
      form_.ButtonPlayClick();
    }
  });
}

void MprisBridge::Stop() {
  Later([this] {
    if (State().CanStop()) form_.ButtonStopClick();
  });
}

void MprisBridge::Next() {
  Later([this] {
    if (State().CanGoNext()) form_.ButtonNextClick();
  });
}

void MprisBridge::Previous() {
  Later([this] {
    if (State().CanGoPrevious()) form_.ButtonPrevClick();
  });
}

void MprisBridge::Seek(std::int64_t offset) {
  Later([this, offset] {
    if (!CanSeek()) return;
    const std::int64_t target = SaturatingAdd(Position(), offset);
    if (target > State().LengthMs() * 1000) {
      if (State().CanGoNext()) form_.ButtonNextClick();
      return;
    }
    SeekToSecond(std::max<std::int64_t>(target, 0) / kMicrosecondsPerSecond);
  });
}

void MprisBridge::SetPosition(const QString& trackId, std::int64_t position) {
  Later([this, trackId, position] {
    if (!CanSeek() || trackId != TrackId() || position < 0 || position > State().LengthMs() * 1000) return;
    SeekToSecond(position / kMicrosecondsPerSecond);
  });
}

// As the user does it: the thumb put at the second and let go.
void MprisBridge::SeekToSecond(std::int64_t second) {
  const int bar = static_cast<int>(std::clamp<std::int64_t>(second, 0, form_.PosMP3ScrollBar->maximum()));
  form_.PosMP3ScrollBar->setValue(bar);
  form_.PosMP3ScrollBarScroll(app::TMainForm::ScrollAction::kEndScroll, bar);  // the state tells Seeked
}

QString MprisBridge::PlaybackStatus() const {
  switch (State().Mode()) {
    case PlaybackMode::kPlaying: return QStringLiteral("Playing");
    case PlaybackMode::kPaused: return QStringLiteral("Paused");
    case PlaybackMode::kStopped: break;
  }
  return QStringLiteral("Stopped");
}

bool MprisBridge::CanPlay() const { return State().CanPlay() || State().CanPause(); }
bool MprisBridge::CanPause() const { return State().CanPause(); }
bool MprisBridge::CanGoNext() const { return State().CanGoNext(); }
bool MprisBridge::CanGoPrevious() const { return State().CanGoPrevious(); }
bool MprisBridge::CanSeek() const { return State().CanSeek(); }

std::int64_t MprisBridge::Position() const { return State().PositionMs() * 1000; }

QString MprisBridge::TrackId() const {
  const app::ChosenSong& song = State().Song();
  if (song.row < 0 || song.album < 0) return QString::fromLatin1(kNoTrack);
  return QStringLiteral("/org/albavox/track/%1_%2_%3").arg(song.album).arg(song.disc).arg(song.row);
}

QVariantMap MprisBridge::Metadata() const {
  const app::PlaybackState& state = State();
  QVariantMap metadata;
  metadata.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(TrackId())));
  if (!state.HasSong()) return metadata;

  // A song without a title in its tag is named by its file.
  const app::SongTags& tags = state.Tags();
  metadata.insert(QStringLiteral("xesam:title"), tags.title.isEmpty() ? state.Song().name : tags.title);
  if (!tags.artist.isEmpty()) metadata.insert(QStringLiteral("xesam:artist"), QStringList{tags.artist});
  if (!tags.album.isEmpty()) metadata.insert(QStringLiteral("xesam:album"), tags.album);
  if (state.LengthMs() > 0) metadata.insert(QStringLiteral("mpris:length"), qlonglong{state.LengthMs() * 1000});
  if (state.SongPlayable()) metadata.insert(QStringLiteral("xesam:url"), FileUrl(state.Song().path));
  if (!state.Cover().empty()) metadata.insert(QStringLiteral("mpris:artUrl"), FileUrl(state.Cover()));
  return metadata;
}

QVariantMap MprisBridge::WatchedProperties() const {
  return {
      {QStringLiteral("PlaybackStatus"), PlaybackStatus()},
      {QStringLiteral("Metadata"), Metadata()},
      {QStringLiteral("CanPlay"), CanPlay()},
      {QStringLiteral("CanPause"), CanPause()},
      {QStringLiteral("CanGoNext"), CanGoNext()},
      {QStringLiteral("CanGoPrevious"), CanGoPrevious()},
      {QStringLiteral("CanSeek"), CanSeek()},
  };
}

// Told from the event loop, once the handler that changed the state has ended: the end of a song
// and the start of the next one are never held up by the bus.
void MprisBridge::ScheduleChanges() {
  if (changesScheduled_ || !registered_) return;
  changesScheduled_ = true;
  QTimer::singleShot(0, this, &MprisBridge::SendChanges);
}

void MprisBridge::SendChanges() {
  changesScheduled_ = false;
  if (!bus_ || !registered_) return;
  const QVariantMap now = WatchedProperties();
  QVariantMap changed;
  for (auto it = now.cbegin(); it != now.cend(); ++it)
    if (told_.value(it.key()) != it.value()) changed.insert(it.key(), it.value());
  told_ = now;
  if (changed.isEmpty()) return;
  QDBusMessage message =
      QDBusMessage::createSignal(QString::fromLatin1(kObjectPath), QStringLiteral("org.freedesktop.DBus.Properties"),
                                 QStringLiteral("PropertiesChanged"));
  message << QString::fromLatin1(kPlayerInterface) << changed << QStringList{};
  bus_->send(message);
}

}  // namespace desktop
