// How the main window's handlers stay right when one runs inside another.
//
// Handlers nest. The frame search of an analysis handles pending window events, and so does every
// modal box (a rejected song, an error report, a dialog): a click, a key, a media key from the
// desktop or a tick of the player may run in the middle of another handler, which then goes on.
// Three rules keep the window whole, whatever runs inside what:
//
// 1. The latest selection wins. Each change of album, disc or song takes a new ticket
//    (NewSelection). After every step that may let other handlers run, a handler whose ticket is no
//    longer Current drops its remaining steps: the newer selection has done them for itself. So
//    "Continua" starts the next song only while the step to it is still the latest selection.
// 2. Indexes are checked before they are used: a step, a song row or an album row outside its list
//    is refused, never followed.
// 3. Every handler runs inside a HandlerScope. On every way out, an exception included, it settles
//    the window: the lists highlight the selection, the playback state knows the selected song, and
//    the player buttons are set from the state, the one place they are set, so buttons and mode
//    cannot disagree. A fault of the old stream met while a change of selection
//    stops it is kept (Defer) and shown by the error report once the outermost handler has ended,
//    with the new selection on screen; the change of selection itself goes on.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <utility>
#include <vector>

namespace app {

class HandlerNesting {
 public:
  using Ticket = std::uint64_t;

  // `settle` runs on every way out of every handler; `report` shows a deferred fault.
  HandlerNesting(std::function<void()> settle, std::function<void(std::exception_ptr)> report)
      : settle_(std::move(settle)), report_(std::move(report)) {}

  // A new selection begins; the handlers working for older ones drop their remaining steps.
  Ticket NewSelection() { return ++selection_; }
  bool Current(Ticket ticket) const { return ticket == selection_; }
  Ticket Latest() const { return selection_; }
  // True while no handler runs inside another: the one running, or settling, is the outermost.
  bool Outermost() const { return depth_ <= 1; }
  // Shown when the outermost handler has ended.
  void Defer(std::exception_ptr fault) { deferred_.push_back(std::move(fault)); }

 private:
  friend class HandlerScope;

  std::function<void()> settle_;
  std::function<void(std::exception_ptr)> report_;
  Ticket selection_ = 0;
  int depth_ = 0;
  std::vector<std::exception_ptr> deferred_;
};

class HandlerScope {
 public:
  explicit HandlerScope(HandlerNesting& nesting) : nesting_(nesting) { ++nesting_.depth_; }
  ~HandlerScope() {
    nesting_.settle_();
    if (--nesting_.depth_ > 0) return;
    // A box shown here lets other handlers run; they start from depth 0 with their own faults.
    for (std::exception_ptr& fault : std::exchange(nesting_.deferred_, {})) nesting_.report_(fault);
  }
  HandlerScope(const HandlerScope&) = delete;
  HandlerScope& operator=(const HandlerScope&) = delete;

 private:
  HandlerNesting& nesting_;
};

}  // namespace app
