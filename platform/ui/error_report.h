// The application's standard error report and the guarded connection of event handlers.
#pragma once

#include <QObject>
#include <QString>

#include <exception>
#include <utility>

namespace platform {

// The title that captions the error report, "Albavox v2.0" unless set.
void SetApplicationTitle(const QString& title);
QString ApplicationTitle();

// The message as the report shows it: "." is appended when its last character sorts after ".".
QString ErrorReportText(const QString& message);

// Shows the report for `message`: caption = application title, error icon, one OK button.
void ShowErrorReport(const QString& message);

// Runs `handler`; an exception ends it and is shown by the error report, never reaching Qt.
template <typename Handler>
void RunGuarded(Handler&& handler) noexcept {
  try {
    std::forward<Handler>(handler)();
  } catch (const std::exception& e) {
    ShowErrorReport(QString::fromUtf8(e.what()));
  } catch (...) {
    ShowErrorReport(QStringLiteral("Unknown error"));
  }
}

// Wraps a handler so that it runs guarded with whatever arguments the signal passes.
template <typename Handler>
auto Guarded(Handler handler) {
  return [handler = std::move(handler)](auto&&... args) mutable noexcept {
    RunGuarded([&] { handler(std::forward<decltype(args)>(args)...); });
  };
}

// Connects `signal` of `sender` to `handler`, run guarded in the context of `receiver`.
template <typename Sender, typename Signal, typename Handler>
QMetaObject::Connection ConnectGuarded(const Sender* sender, Signal signal, const QObject* receiver,
                                       Handler handler) {
  return QObject::connect(sender, signal, receiver, Guarded(std::move(handler)));
}

}  // namespace platform
