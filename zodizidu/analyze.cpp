// TMPEGAudio::Analyze: finds and confirms the first frame pair, reads a Xing block and the tag.
#include <algorithm>
#include <cerrno>
#include <array>
#include <cstring>
#include <limits>

#include "platform/paths.h"
#include "zodizidu/detail/file_window.h"
#include "zodizidu/detail/frame_search.h"
#include "zodizidu/detail/open_restart.h"
#include "zodizidu/detail/song_file.h"
#include "zodizidu/id3v1_tag.h"
#include "zodizidu/mpeg_audio.h"
#include "zodizidu/xing_header.h"

namespace zodizidu {

namespace {

constexpr std::int64_t kMaxInt32 = std::numeric_limits<std::int32_t>::max();

// File sizes and positions are 64-bit; the record's fields are 32-bit and saturate.
std::int32_t Saturated(std::int64_t value) { return static_cast<std::int32_t>(std::min(value, kMaxInt32)); }

// The record's facts about the file, which survive the reset after a rejected frame pair.
struct FileFacts {
  BoundedText<255> fileName;
  std::int32_t fileStamp = 0;
  std::uint16_t fileAttr = 0;
  BoundedText<20> volumeLabel;
  std::int32_t fileLength = 0;

  void Take(const TMPEGData& data) {
    fileName = data.FileName;
    fileStamp = data.FileStamp;
    fileAttr = data.FileAttr;
    volumeLabel = data.VolumeLabel;
    fileLength = data.FileLength;
  }
  void Put(TMPEGData& data) const {
    data.FileName = fileName;
    data.FileStamp = fileStamp;
    data.FileAttr = fileAttr;
    data.VolumeLabel = volumeLabel;
    data.FileLength = fileLength;
  }
};

bool IsOutOfHandles(int error) { return error == EMFILE || error == ENFILE; }

}  // namespace

int TMPEGAudio::Analyze() {
  const std::string requested = fileName_;
  ResetData();
  // The record keeps at most 255 characters; the file is opened by its whole name.
  const std::string fullPath = platform::FullPathName(requested);
  fileName_ = fullPath;
  data_.FileName = fullPath;

  for (int restart = 0;; ++restart) {
    detail::SongFile file(fullPath);
    if (file.state() == detail::SongFile::State::kMissing) {
      data_.Title = "[not found: " + platform::NamePart(requested) + "]";
      UpdateTemplateResult();
      return -1;
    }
    if (file.state() == detail::SongFile::State::kError) {
      if (IsOutOfHandles(file.error()) && restart < detail::kOpenRestarts) {
        detail::PauseBeforeRestart(restart + 1);
        continue;
      }
      UpdateTemplateResult();
      return file.error();
    }
    return AnalyzeOpenFile(file);
  }
}

int TMPEGAudio::AnalyzeOpenFile(const detail::SongFile& file) {
  headerPos_ = 0;
  if (file.size() <= 5) {
    UpdateTemplateResult();
    return 0;
  }
  data_.FileStamp = file.DosStamp();
  data_.FileAttr = file.Attributes();
  data_.VolumeLabel = detail::CachedVolumeLabel(file);
  const std::int64_t size = file.size();
  data_.FileLength = Saturated(size);
  FileFacts facts;
  facts.Take(data_);
  const std::string wholeName = fileName_;
  const auto resetKeepingFacts = [&] {
    ResetData();
    facts.Put(data_);
    fileName_ = wholeName;
  };

  detail::FileWindow window(file.fd());
  int result = -1;
  std::int64_t position = 0;
  while (true) {
    const detail::SearchResult search = detail::SearchFrameHeader(window, position, scanLimit_, data_);
    if (search.end == detail::SearchEnd::kShortRead) return -1;
    position = search.position;
    const std::int64_t headerPos = position - 4;
    headerPos_ = Saturated(headerPos);
    const std::int64_t room = size - headerPos - data_.FrameLength + (data_.ErrorProt ? 2 : 0);

    if (!IsValid() || room <= 0) {
      resetKeepingFacts();
      headerPos_ = Saturated(std::int64_t{data_.FileLength} + 1);
      result = -1;
    } else {
      std::array<std::uint8_t, 4> next{};
      if (window.Read(headerPos + data_.FrameLength, next) < next.size()) return -1;
      if (!DecodeHeader(ReadBE32(next), data_)) {
        resetKeepingFacts();
        position = headerPos + 1;
        result = -1;
      } else {
        result = 0;
        // The record's length saturates at 2 GiB; the play time comes from the whole file.
        if (size > kMaxInt32) data_.Duration = PlayTime(size, data_.BitRate);
        std::array<std::uint8_t, 4> mark{};
        const std::int64_t xingAt = headerPos + XingOffset(data_.Version, data_.Mode);
        if (window.Read(xingAt, mark) < mark.size()) return -1;
        if (std::memcmp(mark.data(), "Xing", 4) == 0) {
          data_.BitRate = -1;
          std::array<std::uint8_t, kXingBlockSize> block{};
          if (window.Read(xingAt + 4, block) < block.size()) return -1;
          const std::uint32_t frames = XingFrameCount(block);
          data_.Duration = XingDuration(frames, SamplesPerFrame(data_.Version, data_.Layer), data_.SampleRate);
          // Without a frame count there is no average frame length; the tag is not read either.
          if (frames == 0) return -1;
          data_.FrameLength = static_cast<std::uint16_t>(std::min<std::int64_t>(size / frames, 0xFFFF));
        }
        if (size > static_cast<std::int64_t>(kId3v1Size)) {
          std::array<std::uint8_t, kId3v1Size> tag{};
          if (window.Read(size - static_cast<std::int64_t>(kId3v1Size), tag) < tag.size()) return -1;
          ReadId3v1Tag(tag, platform::NamePart(fileName_), data_);
        }
      }
    }
    if (IsValid() || position >= size || (scanLimit_ > 0 && position > scanLimit_)) break;
  }
  UpdateTemplateResult();
  return result;
}

}  // namespace zodizidu
