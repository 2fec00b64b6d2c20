// The search for the first frame header from a file position, as if reading one byte at a time.
#pragma once

#include <cstdint>

#include "zodizidu/analysis/detail/file_window.h"
#include "zodizidu/analysis/mpeg_data.h"

namespace zodizidu::detail {

enum class SearchEnd {
  kFound,      // `data` holds the decoded header of the four bytes before `position`
  kStopped,    // the end of the file or the scan limit was reached; `data` is not valid
  kShortRead,  // fewer than four bytes could be read at the start
};

struct SearchResult {
  SearchEnd end;
  std::int64_t position;  // file position when the search ended
};

// Reads four bytes at `start`, then shifts in one byte after another until DecodeHeader accepts
// the last four, the file ends, or the position passes a positive `scanLimit`. The message pump
// runs whenever a shifted-in byte brings the position to a multiple of 300.
SearchResult SearchFrameHeader(FileWindow& file, std::int64_t start, std::int32_t scanLimit, TMPEGData& data);

}  // namespace zodizidu::detail
