// org.mpris.MediaPlayer2.Player: the player panel (buttons, song shown, position, volume).
#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QVariantMap>

#include "desktop/mpris_bridge.h"

namespace desktop::detail {

class PlayerAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
  Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
  Q_PROPERTY(double Rate READ Rate WRITE SetRate)
  Q_PROPERTY(double MinimumRate READ Rate)
  Q_PROPERTY(double MaximumRate READ Rate)
  Q_PROPERTY(QVariantMap Metadata READ Metadata)
  Q_PROPERTY(qlonglong Position READ Position)
  Q_PROPERTY(bool CanGoNext READ CanGoNext)
  Q_PROPERTY(bool CanGoPrevious READ CanGoPrevious)
  Q_PROPERTY(bool CanPlay READ CanPlay)
  Q_PROPERTY(bool CanPause READ CanPause)
  Q_PROPERTY(bool CanSeek READ CanSeek)
  Q_PROPERTY(bool CanControl READ CanControl)

 public:
  explicit PlayerAdaptor(MprisBridge* bridge) : QDBusAbstractAdaptor(bridge), bridge_(bridge) {
    connect(bridge, &MprisBridge::Seeked, this, &PlayerAdaptor::Seeked);
  }

  QString PlaybackStatus() const { return bridge_->PlaybackStatus(); }
  // Songs play at their own speed only.
  double Rate() const { return 1.0; }
  void SetRate(double) {}
  QVariantMap Metadata() const { return bridge_->Metadata(); }
  qlonglong Position() const { return bridge_->Position(); }
  bool CanGoNext() const { return bridge_->CanGoNext(); }
  bool CanGoPrevious() const { return bridge_->CanGoPrevious(); }
  bool CanPlay() const { return bridge_->CanPlay(); }
  bool CanPause() const { return bridge_->CanPause(); }
  bool CanSeek() const { return bridge_->CanSeek(); }
  bool CanControl() const { return true; }

 public slots:
  void Next() { bridge_->Next(); }
  void Previous() { bridge_->Previous(); }
  void Pause() { bridge_->Pause(); }
  void PlayPause() { bridge_->PlayPause(); }
  void Stop() { bridge_->Stop(); }
  void Play() { bridge_->Play(); }
  void Seek(qlonglong Offset) { bridge_->Seek(Offset); }
  void SetPosition(const QDBusObjectPath& TrackId, qlonglong Position) {
    bridge_->SetPosition(TrackId.path(), Position);
  }
  void OpenUri(const QString&) {}

 signals:
  void Seeked(qlonglong Position);

 private:
  MprisBridge* bridge_;
};

}  // namespace desktop::detail
