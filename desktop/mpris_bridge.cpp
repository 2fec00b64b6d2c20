// The main window offered to the desktop as an MPRIS media player.
#include "desktop/mpris_bridge.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QEvent>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <algorithm>
#include <exception>

#include "app/album_paths.h"
#include "app/main_form.h"
#include "desktop/detail/player_adaptor.h"
#include "desktop/detail/root_adaptor.h"
#include "platform/paths.h"
#include "platform/ui/error_report.h"

namespace desktop {

namespace {
constexpr std::int64_t kMicrosecondsPerSecond = 1'000'000;
constexpr const char* kNoTrack = "/org/mpris/MediaPlayer2/TrackList/NoTrack";

// A file name from the disk as a file:// address.
QString FileUrl(const std::string& path) {
  return QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(platform::FullPathName(path)))).toString();
}

void PressIfEnabled(QToolButton* button) {
  if (button->isEnabled()) button->click();
}
}  // namespace

MprisBridge::MprisBridge(app::TMainForm& form, const QDBusConnection& bus) : QObject(&form), form_(form), bus_(bus) {
  new detail::RootAdaptor(this);
  new detail::PlayerAdaptor(this);
  if (!bus_.isConnected()) return;
  if (!bus_.registerObject(QString::fromLatin1(kObjectPath), this, QDBusConnection::ExportAdaptors)) return;
  serviceName_ = QString::fromLatin1(kServiceName);
  if (!bus_.registerService(serviceName_)) {
    serviceName_ += QStringLiteral(".instance") + QString::number(QCoreApplication::applicationPid());
    if (!bus_.registerService(serviceName_)) {
      bus_.unregisterObject(QString::fromLatin1(kObjectPath));
      serviceName_.clear();
      return;
    }
  }
  registered_ = true;

  // Everything the desktop is told about shows in these controls of the window.
  for (QWidget* control : std::initializer_list<QWidget*>{form_.ButtonPlay, form_.ButtonPause, form_.ButtonStop,
                                                          form_.ButtonPrev, form_.ButtonNext, form_.PosMP3ScrollBar})
    control->installEventFilter(this);
  form_.installEventFilter(this);  // activation reloads the covers
  for (QLineEdit* field : {form_.MP3TitleEdit, form_.MP3ArtistEdit, form_.MP3AlbumEdit})
    connect(field, &QLineEdit::textChanged, this, &MprisBridge::ScheduleChanges);
  connect(form_.SongsListBox, &QListWidget::currentRowChanged, this, &MprisBridge::ScheduleChanges);
  connect(form_.AlbumListBox, &QListWidget::currentRowChanged, this, &MprisBridge::ScheduleChanges);
  connect(form_.PosMP3ScrollBar, &QScrollBar::rangeChanged, this, &MprisBridge::ScheduleChanges);
  // The user let go of the position bar while a song is started: the window seeks.
  connect(&form_, &app::TMainForm::PositionSought, this, [this] { emit Seeked(Position()); });
  told_ = WatchedProperties();
}

MprisBridge::~MprisBridge() {
  if (!registered_) return;
  bus_.unregisterService(serviceName_);
  bus_.unregisterObject(QString::fromLatin1(kObjectPath));
}

bool MprisBridge::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::EnabledChange || event->type() == QEvent::WindowActivate) ScheduleChanges();
  return QObject::eventFilter(watched, event);
}

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
  Later([this] { PressIfEnabled(form_.SpeedButtonEsci); });
}

void MprisBridge::Play() {
  Later([this] { PressIfEnabled(form_.ButtonPlay); });
}

void MprisBridge::Pause() {
  Later([this] { PressIfEnabled(form_.ButtonPause); });
}

void MprisBridge::PlayPause() {
  Later([this] { PressIfEnabled(form_.ButtonPause->isEnabled() ? form_.ButtonPause : form_.ButtonPlay); });
}

void MprisBridge::Stop() {
  Later([this] { PressIfEnabled(form_.ButtonStop); });
}

void MprisBridge::Next() {
  Later([this] { PressIfEnabled(form_.ButtonNext); });
}

void MprisBridge::Previous() {
  Later([this] { PressIfEnabled(form_.ButtonPrev); });
}

void MprisBridge::Seek(std::int64_t offset) {
  Later([this, offset] {
    if (!CanSeek()) return;
    const std::int64_t target = Position() + offset;
    if (target > LengthMicroseconds()) {
      PressIfEnabled(form_.ButtonNext);
      return;
    }
    SeekToSecond(std::max<std::int64_t>(target, 0) / kMicrosecondsPerSecond);
  });
}

void MprisBridge::SetPosition(const QString& trackId, std::int64_t position) {
  Later([this, trackId, position] {
    if (!CanSeek() || trackId != TrackId() || position < 0 || position > LengthMicroseconds()) return;
    SeekToSecond(position / kMicrosecondsPerSecond);
  });
}

// As the user does it: the thumb put at the second and let go.
void MprisBridge::SeekToSecond(std::int64_t second) {
  const int bar = static_cast<int>(std::clamp<std::int64_t>(second, 0, form_.PosMP3ScrollBar->maximum()));
  form_.PosMP3ScrollBar->setValue(bar);
  form_.PosMP3ScrollBarScroll(app::TMainForm::ScrollAction::EndScroll, bar);  // tells Seeked when it seeks
}

// The window's own view: pause is enabled only while a song plays, stop while one is started.
QString MprisBridge::PlaybackStatus() const {
  if (form_.ButtonPause->isEnabled()) return QStringLiteral("Playing");
  if (form_.ButtonStop->isEnabled()) return QStringLiteral("Paused");
  return QStringLiteral("Stopped");
}

bool MprisBridge::CanPlay() const { return form_.ButtonPlay->isEnabled() || form_.ButtonPause->isEnabled(); }
bool MprisBridge::CanPause() const { return form_.ButtonPause->isEnabled(); }
bool MprisBridge::CanGoNext() const { return form_.ButtonNext->isEnabled(); }
bool MprisBridge::CanGoPrevious() const { return form_.ButtonPrev->isEnabled(); }
bool MprisBridge::CanSeek() const {
  return form_.PosMP3ScrollBar->isEnabled() && PlaybackStatus() != QStringLiteral("Stopped");
}

std::int64_t MprisBridge::Position() const {
  if (PlaybackStatus() == QStringLiteral("Stopped")) return 0;
  try {
    return std::int64_t{form_.MPEGPlayer.GetCurrentPos()} * 1000;
  } catch (const std::exception&) {
    return std::int64_t{form_.PosMP3ScrollBar->value()} * kMicrosecondsPerSecond;
  }
}

std::int64_t MprisBridge::LengthMicroseconds() const {
  const zodizidu::TMPEGAudio* analysis = form_.SongAnalysis();
  if (form_.SelectedSong() < 0 || !analysis || !analysis->IsValid()) return 0;
  return std::int64_t{analysis->Data().Duration} * kMicrosecondsPerSecond;
}

QString MprisBridge::TrackId() const {
  if (form_.SelectedSong() < 0 || form_.SelectedAlbum() < 0) return QString::fromLatin1(kNoTrack);
  return QStringLiteral("/org/albavox/track/%1_%2_%3")
      .arg(form_.SelectedAlbum())
      .arg(form_.CurrentDisc())
      .arg(form_.SelectedSong());
}

QVariantMap MprisBridge::Metadata() const {
  QVariantMap metadata;
  metadata.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(TrackId())));
  if (form_.SelectedSong() < 0 || form_.SelectedAlbum() < 0) return metadata;

  // A song without a title in its tag is named by its file.
  QString title = form_.MP3TitleEdit->text();
  if (title.isEmpty() && form_.SongsListBox->currentItem()) title = form_.SongsListBox->currentItem()->text();
  metadata.insert(QStringLiteral("xesam:title"), title);
  if (!form_.MP3ArtistEdit->text().isEmpty())
    metadata.insert(QStringLiteral("xesam:artist"), QStringList{form_.MP3ArtistEdit->text()});
  if (!form_.MP3AlbumEdit->text().isEmpty()) metadata.insert(QStringLiteral("xesam:album"), form_.MP3AlbumEdit->text());
  if (const std::int64_t length = LengthMicroseconds(); length > 0)
    metadata.insert(QStringLiteral("mpris:length"), qlonglong{length});
  if (!form_.MPEGPlayer.StreamName().empty())
    metadata.insert(QStringLiteral("xesam:url"), FileUrl(form_.MPEGPlayer.StreamName()));

  const std::string cover =
      platform::ResolvePath(app::AlbumFolder(form_.AlbumOfEntry(form_.SelectedAlbum()).EntryName) + "/front.jpg");
  if (app::InsideCompilation(cover) && platform::FileExists(cover))
    metadata.insert(QStringLiteral("mpris:artUrl"), FileUrl(cover));
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

void MprisBridge::ScheduleChanges() {
  if (changesScheduled_) return;
  changesScheduled_ = true;
  QTimer::singleShot(0, this, &MprisBridge::SendChanges);
}

void MprisBridge::SendChanges() {
  changesScheduled_ = false;
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
  bus_.send(message);
}

}  // namespace desktop
