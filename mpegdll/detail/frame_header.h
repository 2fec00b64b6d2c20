// MPEG audio frame headers, from the frame tables shared with the analysis library.
#pragma once

#include "mpegframe/frame_header.h"

namespace mpegdll::detail {

using mpegframe::FrameHeader;
using mpegframe::ParseFrameHeader;

}  // namespace mpegdll::detail
