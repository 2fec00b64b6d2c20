// Reading MPEG audio frame headers into the analysis record: the header fields, frame lengths,
// play times and the acceptance rule.
#pragma once

#include <cstdint>
#include <span>

#include "mpegframe/frame_header.h"

namespace zodizidu {

struct TMPEGData;

// Decodes the 32-bit header value `h` (first file byte in bits 31..24) into the header fields of
// `data` (FileLength must already hold the file size; Duration becomes its play time at the
// header's bit rate, which the analysis then narrows to the audio bytes) and returns IsValid(data).
bool DecodeHeader(std::uint32_t h, TMPEGData& data);

// Frame length in bytes of one frame (mpegframe::FrameLength in the record's 16 bits).
std::uint16_t CalcFrameLength(std::uint8_t version, std::uint8_t layer, std::int32_t sampleRate, std::int32_t bitRate,
                              bool padding);

// Play time in whole seconds of `fileLength` bytes at `bitRate` kbit/s (computed in 64 bits);
// 0 when the bit rate is not positive, 65535 at most.
std::uint16_t PlayTime(std::int64_t fileLength, std::int32_t bitRate);

// True when the record describes an accepted MPEG audio file.
bool IsValid(const TMPEGData& data);

// A 32-bit value from four bytes, most significant first.
using mpegframe::ReadBE32;

// Samples one frame holds: 384 for layer I, 576 for layer III of MPEG 2.0 and 2.5, else 1152.
using mpegframe::SamplesPerFrame;

}  // namespace zodizidu
