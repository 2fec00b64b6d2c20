// The message pump hook as the frame search sees it.
#pragma once

#include <cstdint>

#include "zodizidu/analysis/mpeg_audio.h"

namespace zodizidu::detail {

// The pump set by SetMessagePump; nullptr when none.
MessagePump CurrentMessagePump();

// Publishes the position of a running search to SearchPosition() for its lifetime; nested
// searches (an analysis run from inside the pump) restore the outer one when they end.
class SearchPositionScope {
 public:
  explicit SearchPositionScope(const std::int64_t* position);
  ~SearchPositionScope();
  SearchPositionScope(const SearchPositionScope&) = delete;
  SearchPositionScope& operator=(const SearchPositionScope&) = delete;

 private:
  const std::int64_t* outer_;
};

}  // namespace zodizidu::detail
