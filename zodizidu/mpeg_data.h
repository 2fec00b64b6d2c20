// TMPEGData: the record of one file's analysis, and the plain functions that read frame headers.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "zodizidu/bounded_text.h"

namespace zodizidu {

struct TMPEGData {
  BoundedText<3> Header;        // "TAG" after a tag was read, "BAD" otherwise
  BoundedText<30> Title;        // tag title, or the file name / not-found note
  BoundedText<30> Artist;
  BoundedText<30> Album;
  BoundedText<4> Year;          // the four year bytes as they stand
  BoundedText<30> Comment;
  std::uint8_t GenreNr = 0;     // 255 = none
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
  bool ErrorProt = false;       // frames carry a CRC
  bool Padding = false;
  std::uint16_t FrameLength = 0;  // bytes; the average for a Xing or VBRI file
  BoundedText<255> FileName;    // full path of the analysed file
  std::int32_t FileStamp = 0;   // packed MS-DOS local date-time; 0 = not read
  std::uint16_t FileAttr = 0;   // Windows attribute bits
  BoundedText<20> VolumeLabel;
};

// Decodes the 32-bit header value `h` (first file byte in bits 31..24) into the header fields of
// `data` (FileLength must already hold the file size; Duration becomes its play time at the
// header's bit rate, which the analysis then narrows to the audio bytes) and returns IsValid(data).
bool DecodeHeader(std::uint32_t h, TMPEGData& data);

// Frame length in bytes of one frame.
std::uint16_t CalcFrameLength(std::uint8_t version, std::uint8_t layer, std::int32_t sampleRate,
                              std::int32_t bitRate, bool padding);

// Play time in whole seconds of `fileLength` bytes at `bitRate` kbit/s (computed in 64 bits);
// 0 when the bit rate is not positive, 65535 at most.
std::uint16_t PlayTime(std::int64_t fileLength, std::int32_t bitRate);

// True when the record describes an accepted MPEG audio file.
bool IsValid(const TMPEGData& data);

// A 32-bit value from four bytes, most significant first.
std::uint32_t ReadBE32(std::span<const std::uint8_t, 4> bytes);

// Text forms of the header codes.
std::string VersionText(std::uint8_t version);  // "Unknown", "1.0", "2.0", "2.5"
std::string LayerText(std::uint8_t layer);      // "Unknown", "I", "II", "III"
std::string ModeText(std::uint8_t mode);        // "Stereo", "Joint-Stereo", "Dual-Channel", "Single-Channel"

// The genre name of codes 0..125; "Unknown" for every other code.
std::string GenreText(std::uint8_t genreNr);

// Cuts at the first NUL, then drops trailing blanks and NULs.
std::string StripRight(std::string_view text);
// Drops leading blanks.
std::string StripLeft(std::string_view text);
// StripRight, then StripLeft.
std::string Strip(std::string_view text);

}  // namespace zodizidu
