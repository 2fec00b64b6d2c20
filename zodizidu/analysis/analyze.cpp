// TMPEGAudio::Analyze: finds and confirms the first frame pair, reads a Xing or VBRI block and the
// tag; the play time counts the audio bytes between the tags.
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <limits>

#include "mpegframe/frame_count.h"
#include "platform/paths.h"
#include "platform/volume_label.h"
#include "zodizidu/analysis/ape_tag.h"
#include "zodizidu/analysis/detail/file_window.h"
#include "zodizidu/analysis/detail/frame_search.h"
#include "zodizidu/analysis/detail/open_restart.h"
#include "zodizidu/analysis/detail/song_file.h"
#include "zodizidu/analysis/id3v1_tag.h"
#include "zodizidu/analysis/id3v2_tag.h"
#include "zodizidu/analysis/mpeg_audio.h"

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

// Where the audio begins: after the well-formed ID3v2 tags in front of it (one after another,
// as some taggers leave them), each of which must leave room for a frame header before the end
// of the file; 0 without. Bytes of a tag that is not well-formed are searched like any others.
std::int64_t LeadingTagsEnd(detail::FileWindow& window, std::int64_t size) {
  std::int64_t end = 0;
  std::array<std::uint8_t, kId3v2HeaderSize> header{};
  while (window.Read(end, header) == header.size()) {
    const std::int64_t length = Id3v2TagLength(header);
    if (length == 0 || length > size - end - 4) break;
    end += length;
  }
  return end;
}

// Bytes of the file's last ones read for the tags at its end: an ID3v1 tag and the footer of an
// APE tag before it.
constexpr std::size_t kTailSize = kId3v1Size + kApeFooterSize;

// Where the tags at the end of the file begin: an ID3v1 tag at the very end and an APE tag before
// it (or at the very end); `size` without. `tail` holds the file's last bytes. A tag counts only
// when it begins at or after `floor` (the end of the first frame and of the leading tags).
std::int64_t TrailingTagsStart(std::span<const std::uint8_t> tail, std::int64_t size, std::int64_t floor) {
  std::int64_t start = size;
  std::size_t before = tail.size();  // tail bytes before the tags found so far
  if (before >= kId3v1Size && std::memcmp(tail.data() + before - kId3v1Size, "TAG", 3) == 0 &&
      start - static_cast<std::int64_t>(kId3v1Size) >= floor) {
    start -= static_cast<std::int64_t>(kId3v1Size);
    before -= kId3v1Size;
  }
  if (before >= kApeFooterSize) {
    const std::int64_t length = ApeTagLength(tail.subspan(before - kApeFooterSize, kApeFooterSize));
    if (length > 0 && start - length >= floor) start -= length;
  }
  return start;
}

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
  // The search starts after the tag in front of the audio, so that no picture or text in it is
  // taken for a frame; the play time of a constant bit rate counts only the audio bytes.
  const std::int64_t audioStart = LeadingTagsEnd(window, size);
  int result = -1;
  std::int64_t position = audioStart;
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
      const std::int64_t firstFrameEnd = headerPos + data_.FrameLength;
      std::array<std::uint8_t, 4> next{};
      if (window.Read(firstFrameEnd, next) < next.size()) return -1;
      if (!DecodeHeader(ReadBE32(next), data_)) {
        resetKeepingFacts();
        position = headerPos + 1;
        result = -1;
      } else {
        result = 0;
        // 64 bits: the record's length saturates at 2 GiB.
        data_.Duration = PlayTime(size - audioStart, data_.BitRate);
        std::array<std::uint8_t, 4> mark{};
        const std::int64_t xingAt = headerPos + mpegframe::XingOffset(data_.Version, data_.Mode, false);
        if (window.Read(xingAt, mark) < mark.size()) return -1;
        std::uint32_t frames = 0;
        if (std::memcmp(mark.data(), "Xing", 4) == 0) {
          data_.BitRate = -1;
          std::array<std::uint8_t, mpegframe::kXingBlockSize> block{};
          if (window.Read(xingAt + 4, block) < block.size()) return -1;
          frames = mpegframe::XingFrameCount(block);
          data_.Duration =
              mpegframe::XingDuration(frames, SamplesPerFrame(data_.Version, data_.Layer), data_.SampleRate);
          // Without a frame count there is no average frame length; the tag is not read either.
          if (frames == 0) return -1;
        } else if (data_.Layer == 3) {
          // A VBRI block too short to hold its frame count, or one without frames, is not used.
          std::array<std::uint8_t, mpegframe::kVbriSize> vbri{};
          if (window.Read(headerPos + mpegframe::kVbriOffset, vbri) == vbri.size())
            frames = mpegframe::VbriFrameCount(vbri);
          if (frames > 0) {
            data_.BitRate = -1;
            data_.Duration =
                mpegframe::XingDuration(frames, SamplesPerFrame(data_.Version, data_.Layer), data_.SampleRate);
          }
        }
        std::int64_t audioEnd = size;
        if (size > static_cast<std::int64_t>(kId3v1Size)) {
          std::array<std::uint8_t, kTailSize> tail{};
          const std::span<std::uint8_t> last = std::span(tail).last(std::min<std::size_t>(kTailSize, size));
          if (window.Read(size - static_cast<std::int64_t>(last.size()), last) < last.size()) return -1;
          ReadId3v1Tag(last.last(kId3v1Size), platform::NamePart(fileName_), data_);
          audioEnd = TrailingTagsStart(last, size, std::max(firstFrameEnd, audioStart));
        }
        const std::int64_t audioBytes = audioEnd - audioStart;
        if (frames > 0) {
          data_.FrameLength = static_cast<std::uint16_t>(std::min<std::int64_t>(audioBytes / frames, 0xFFFF));
        } else {
          data_.Duration = PlayTime(audioBytes, data_.BitRate);
        }
      }
    }
    if (IsValid() || position >= size || (scanLimit_ > 0 && position > scanLimit_)) break;
  }
  UpdateTemplateResult();
  return result;
}

}  // namespace zodizidu
