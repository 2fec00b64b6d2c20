// org.mpris.MediaPlayer2: the application as a whole (raise the window, quit, names).
#pragma once

#include <QDBusAbstractAdaptor>
#include <QStringList>

#include "desktop/mpris_bridge.h"

namespace desktop::detail {

class RootAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
  Q_PROPERTY(bool CanQuit READ CanQuit)
  Q_PROPERTY(bool CanRaise READ CanRaise)
  Q_PROPERTY(bool HasTrackList READ HasTrackList)
  Q_PROPERTY(QString Identity READ Identity)
  Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
  Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
  Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)

 public:
  explicit RootAdaptor(MprisBridge* bridge) : QDBusAbstractAdaptor(bridge), bridge_(bridge) {}

  bool CanQuit() const { return true; }
  bool CanRaise() const { return true; }
  bool HasTrackList() const { return false; }
  QString Identity() const { return QStringLiteral("Albavox"); }
  QString DesktopEntry() const { return QString::fromLatin1(MprisBridge::kDesktopEntry); }
  // Songs are chosen in the window only; nothing is opened from outside.
  QStringList SupportedUriSchemes() const { return {}; }
  QStringList SupportedMimeTypes() const { return {}; }

 public slots:
  void Raise() { bridge_->Raise(); }
  void Quit() { bridge_->Quit(); }

 private:
  MprisBridge* bridge_;
};

}  // namespace desktop::detail
