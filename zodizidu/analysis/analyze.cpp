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
#include "zodizidu/analysis/detail/id3v2_frames.h"
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

namespace detail {

// One analysis of an open file, step by step, into the record of the object that runs it.
class Analysis {
 public:
  Analysis(TMPEGAudio& audio, const SongFile& file)
      : audio_(audio), file_(file), size_(file.size()), window_(file.fd()) {}

  // Analyze's steps from the open file on; gives Analyze's result.
  int Run() {
    audio_.headerPos_ = 0;
    if (size_ <= 5) return Finish(0);
    TakeFileFacts();
    // The search starts after the tag in front of the audio, so that no picture or text in it is
    // taken for a frame; the play time of a constant bit rate counts only the audio bytes.
    audioStart_ = LeadingTagsEnd(window_, size_);
    int result = -1;
    std::int64_t position = audioStart_;
    do {
      const SearchResult search = SearchFrameHeader(window_, position, audio_.scanLimit_, data());
      if (search.end == SearchEnd::kShortRead) return -1;
      position = search.position;
      switch (ConfirmFramePair(position)) {
        case Pair::kShortRead: return -1;
        case Pair::kRejected: result = -1; break;
        case Pair::kConfirmed:
          result = 0;
          if (ReadAfterFramePair(position - 4) == Step::kStop) return -1;
          break;
      }
    } while (!SearchIsOver(position));
    return Finish(result);
  }

 private:
  // What the check of a header the search accepted found.
  enum class Pair { kConfirmed, kRejected, kShortRead };
  // Whether the analysis goes on after a step, or ends at once with result -1 and the record as
  // it stands (a short read, or a Xing block without frames).
  enum class Step { kGoOn, kStop };

  TMPEGData& data() { return audio_.data_; }

  int Finish(int result) {
    audio_.UpdateTemplateResult();
    return result;
  }

  // The record's facts about the file, which survive the reset after a rejected frame pair.
  void TakeFileFacts() {
    data().FileStamp = file_.DosStamp();
    data().FileAttr = file_.Attributes();
    data().VolumeLabel = CachedVolumeLabel(file_);
    data().FileLength = Saturated(size_);
    facts_.Take(data());
    wholeName_ = audio_.fileName_;
  }

  void ResetKeepingFacts() {
    audio_.ResetData();
    facts_.Put(data());
    audio_.fileName_ = wholeName_;
  }

  // Checks the header that ends before `position`: its frame must end inside the file and be
  // followed by another valid header, whose values the record then holds. A rejected header
  // resets the record; the search goes on from `position` (moved one byte past the header when
  // the next header did not decode).
  Pair ConfirmFramePair(std::int64_t& position) {
    const std::int64_t headerPos = position - 4;
    audio_.headerPos_ = Saturated(headerPos);
    const std::int64_t room = size_ - headerPos - data().FrameLength + (data().ErrorProt ? 2 : 0);
    if (!audio_.IsValid() || room <= 0) {
      ResetKeepingFacts();
      audio_.headerPos_ = Saturated(std::int64_t{data().FileLength} + 1);
      return Pair::kRejected;
    }
    firstFrameEnd_ = headerPos + data().FrameLength;
    std::array<std::uint8_t, 4> next{};
    if (window_.Read(firstFrameEnd_, next) < next.size()) return Pair::kShortRead;
    if (!DecodeHeader(ReadBE32(next), data())) {
      ResetKeepingFacts();
      position = headerPos + 1;
      return Pair::kRejected;
    }
    return Pair::kConfirmed;
  }

  // After a confirmed frame pair whose first header is at `headerPos`: the frame count, the tags
  // at the end, the play time and the frame length.
  Step ReadAfterFramePair(std::int64_t headerPos) {
    // 64 bits: the record's length saturates at 2 GiB.
    data().Duration = PlayTime(size_ - audioStart_, data().BitRate);
    std::uint32_t frames = 0;
    if (ReadFrameCount(headerPos, frames) == Step::kStop) return Step::kStop;
    std::int64_t audioEnd = size_;
    if (ReadTrailingTags(audioEnd) == Step::kStop) return Step::kStop;
    const std::int64_t audioBytes = audioEnd - audioStart_;
    if (frames > 0) {
      data().FrameLength = static_cast<std::uint16_t>(std::min<std::int64_t>(audioBytes / frames, 0xFFFF));
    } else {
      data().Duration = PlayTime(audioBytes, data().BitRate);
    }
    return Step::kGoOn;
  }

  // A Xing block (its frame count is needed: without one the analysis ends) or, in layer III, a
  // VBRI block: the file is marked variable and its play time comes from the count.
  Step ReadFrameCount(std::int64_t headerPos, std::uint32_t& frames) {
    std::array<std::uint8_t, 4> mark{};
    const std::int64_t xingAt = headerPos + mpegframe::XingOffset(data().Version, data().Mode, false);
    if (window_.Read(xingAt, mark) < mark.size()) return Step::kStop;
    if (std::memcmp(mark.data(), "Xing", 4) == 0) {
      data().BitRate = -1;
      std::array<std::uint8_t, mpegframe::kXingBlockSize> block{};
      if (window_.Read(xingAt + 4, block) < block.size()) return Step::kStop;
      frames = mpegframe::XingFrameCount(block);
      SetCountedPlayTime(frames);
      // Without a frame count there is no average frame length; the tag is not read either.
      return frames == 0 ? Step::kStop : Step::kGoOn;
    }
    if (data().Layer == 3) {
      // A VBRI block too short to hold its frame count, or one without frames, is not used.
      std::array<std::uint8_t, mpegframe::kVbriSize> vbri{};
      if (window_.Read(headerPos + mpegframe::kVbriOffset, vbri) == vbri.size())
        frames = mpegframe::VbriFrameCount(vbri);
      if (frames > 0) {
        data().BitRate = -1;
        SetCountedPlayTime(frames);
      }
    }
    return Step::kGoOn;
  }

  void SetCountedPlayTime(std::uint32_t frames) {
    data().Duration = mpegframe::XingDuration(frames, SamplesPerFrame(data().Version, data().Layer), data().SampleRate);
  }

  // The ID3v1 tag (or the texts of an ID3v2 tag without one), and where the tags at the end of
  // the file begin (`audioEnd`).
  Step ReadTrailingTags(std::int64_t& audioEnd) {
    if (size_ <= static_cast<std::int64_t>(kId3v1Size)) return Step::kGoOn;
    std::array<std::uint8_t, kTailSize> tail{};
    const std::span<std::uint8_t> last = std::span(tail).last(std::min<std::size_t>(kTailSize, size_));
    if (window_.ReadOnce(size_ - static_cast<std::int64_t>(last.size()), last) < last.size()) return Step::kStop;
    ReadId3v1Tag(last.last(kId3v1Size), platform::NamePart(audio_.fileName_), data());
    if (!audio_.HasTag()) TakeId3v2Texts();
    audioEnd = TrailingTagsStart(last, size_, std::max(firstFrameEnd_, audioStart_));
    return Step::kGoOn;
  }

  void TakeId3v2Texts() {
    try {
      if (std::optional<Id3v2Texts> texts = ReadId3v2Texts(window_, size_)) audio_.TakeId3v2Texts(std::move(*texts));
    } catch (...) {
      // The analysis never throws: a tag that cannot be read (or no memory to read it) gives no texts.
    }
  }

  bool SearchIsOver(std::int64_t position) const {
    return audio_.IsValid() || position >= size_ || (audio_.scanLimit_ > 0 && position > audio_.scanLimit_);
  }

  TMPEGAudio& audio_;
  const SongFile& file_;
  const std::int64_t size_;
  FileWindow window_;
  FileFacts facts_;
  std::string wholeName_;
  std::int64_t audioStart_ = 0;     // the end of the tags in front of the audio
  std::int64_t firstFrameEnd_ = 0;  // the end of the frame of the last confirmed pair
};

}  // namespace detail

int TMPEGAudio::AnalyzeOpenFile(const detail::SongFile& file) { return detail::Analysis(*this, file).Run(); }

}  // namespace zodizidu
