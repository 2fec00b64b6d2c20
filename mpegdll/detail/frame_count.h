// The frame count a stream's first frame may carry, read by the frame tables' library.
#pragma once

#include "mpegdll/detail/frame_header.h"
#include "mpegframe/frame_count.h"

namespace mpegdll::detail {

using mpegframe::FrameCount;
using mpegframe::ReadFrameCount;
using mpegframe::SamplesPerFrame;

}  // namespace mpegdll::detail
