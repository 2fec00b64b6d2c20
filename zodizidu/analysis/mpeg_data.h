// TMPEGData: the record of one file's analysis.
#pragma once

#include <cstdint>

#include "zodizidu/analysis/bounded_text.h"

namespace zodizidu {

struct TMPEGData {
  BoundedText<3> Header;  // "TAG" after a tag was read, "BAD" otherwise
  BoundedText<30> Title;  // tag title, or the file name / not-found note
  BoundedText<30> Artist;
  BoundedText<30> Album;
  BoundedText<4> Year;  // the four year bytes as they stand
  BoundedText<30> Comment;
  std::uint8_t GenreNr = 0;  // 255 = none
  std::uint8_t Track = 0;
  std::uint16_t Duration = 0;   // play time in whole seconds (of the audio between the tags)
  std::int32_t FileLength = 0;  // bytes, tags included
  std::uint8_t Version = 0;     // 0 unknown, 1 = MPEG 1.0, 2 = MPEG 2.0, 3 = MPEG 2.5
  std::uint8_t Layer = 0;       // 1..3, 0 unknown
  std::int32_t SampleRate = 0;  // Hz
  std::int32_t BitRate = 0;     // kbit/s; -1 = variable (Xing or VBRI); 0 unknown
  std::uint8_t Mode = 0;        // channel mode 0..3
  bool Copyright = false;
  bool Original = false;
  bool ErrorProt = false;  // frames carry a CRC
  bool Padding = false;
  std::uint16_t FrameLength = 0;  // bytes; the average for a Xing or VBRI file
  BoundedText<255> FileName;      // full path of the analysed file
  std::int32_t FileStamp = 0;     // packed MS-DOS local date-time; 0 = not read
  std::uint16_t FileAttr = 0;     // Windows attribute bits
  BoundedText<20> VolumeLabel;
};

}  // namespace zodizidu

// The plain functions over the record, in headers of their own.
#include "zodizidu/analysis/frame_header.h"
#include "zodizidu/analysis/tag_texts.h"
