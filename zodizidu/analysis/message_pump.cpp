// The message pump hook of the frame search and the position it can report.
#include <atomic>

#include "zodizidu/analysis/detail/message_pump.h"

namespace zodizidu {

namespace {

std::atomic<MessagePump> gPump{nullptr};
thread_local const std::int64_t* tSearchPosition = nullptr;

}  // namespace

void SetMessagePump(MessagePump pump) { gPump.store(pump, std::memory_order_relaxed); }

std::int64_t SearchPosition() { return tSearchPosition ? *tSearchPosition : -1; }

namespace detail {

MessagePump CurrentMessagePump() { return gPump.load(std::memory_order_relaxed); }

SearchPositionScope::SearchPositionScope(const std::int64_t* position) : outer_(tSearchPosition) {
  tSearchPosition = position;
}

SearchPositionScope::~SearchPositionScope() { tSearchPosition = outer_; }

}  // namespace detail

}  // namespace zodizidu
