// The application's standard error report and the guarded connection of event handlers.
#pragma once

#include <QObject>
#include <QString>

#include <cstddef>
#include <exception>
#include <functional>
#include <tuple>
#include <type_traits>
#include <utility>

namespace platform {

// The title that captions the error report: the program's title ("Albavox v2.0") unless set.
void SetApplicationTitle(const QString& title);
QString ApplicationTitle();

// The message as the report shows it: "." is appended when its last character sorts after ".".
QString ErrorReportText(const QString& message);

// Shows the report for `message`: caption = application title, error icon, one OK button; the
// message is plain text (a path in it shows as it stands).
void ShowErrorReport(const QString& message);

// Shows the report for a caught exception: its what() text (8-bit bytes read by the text rule
// of text.h), or "Unknown error" for anything that is no std::exception. Never throws.
void ReportException(std::exception_ptr error) noexcept;

// Runs `handler`; an exception ends it and is shown by the error report, never reaching Qt.
template <typename Handler>
void RunGuarded(Handler&& handler) noexcept {
  try {
    std::forward<Handler>(handler)();
  } catch (...) {
    ReportException(std::current_exception());
  }
}

namespace detail {

template <typename Handler, typename ArgTuple, std::size_t... I>
constexpr bool AcceptsLeading(std::index_sequence<I...>) {
  return std::is_invocable_v<Handler&, std::tuple_element_t<I, ArgTuple>...>;
}

// How many leading arguments of ArgTuple the handler takes: the most it accepts, as a Qt slot
// may take fewer arguments than its signal passes; -1 when it accepts none of the choices.
template <typename Handler, typename ArgTuple, std::size_t N = std::tuple_size_v<ArgTuple>>
constexpr std::ptrdiff_t LeadingArgCount() {
  if constexpr (AcceptsLeading<Handler, ArgTuple>(std::make_index_sequence<N>{}))
    return static_cast<std::ptrdiff_t>(N);
  else if constexpr (N == 0)
    return -1;
  else
    return LeadingArgCount<Handler, ArgTuple, N - 1>();
}

template <typename Handler, typename ArgTuple, std::size_t... I>
void CallWithLeading(Handler& handler, ArgTuple&& args, std::index_sequence<I...>) {
  std::invoke(handler, std::get<I>(std::move(args))...);
}

}  // namespace detail

// Wraps a handler so that it runs guarded with as many of the signal's arguments as it takes.
template <typename Handler>
auto Guarded(Handler handler) {
  return [handler = std::move(handler)]<typename... Args>(Args && ... args) mutable noexcept
         -> void requires(detail::LeadingArgCount<Handler, std::tuple<Args&&...>>() >= 0) {
    RunGuarded([&] {
      constexpr auto count = detail::LeadingArgCount<Handler, std::tuple<Args&&...>>();
      detail::CallWithLeading(handler, std::forward_as_tuple(std::forward<Args>(args)...),
                              std::make_index_sequence<static_cast<std::size_t>(count)>{});
    });
  };
}

// Connects `signal` of `sender` to `handler`, run guarded in the context of `receiver`.
template <typename Sender, typename Signal, typename Handler>
requires(!std::is_member_function_pointer_v<Handler>) QMetaObject::Connection
    ConnectGuarded(const Sender* sender, Signal signal, const QObject* receiver, Handler handler) {
  return QObject::connect(sender, signal, receiver, Guarded(std::move(handler)));
}

// Connects `signal` of `sender` to the member handler `method` of `receiver`, run guarded.
template <typename Sender, typename Signal, typename Receiver, typename Method>
requires std::is_member_function_pointer_v<Method> QMetaObject::Connection ConnectGuarded(const Sender* sender,
                                                                                          Signal signal,
                                                                                          Receiver* receiver,
                                                                                          Method method) {
  return QObject::connect(sender, signal, receiver, Guarded(std::bind_front(method, receiver)));
}

}  // namespace platform
