// Analysis of 1,000 ordinary MP3 files (an ID3v2 tag of text frames in front, ID3v1 at the end,
// about 1 MB each, in the page cache) against TagLib reading the audio properties of the same
// files; the same songs without the ID3v2 tag; songs with a 500 KB embedded cover against the same
// songs without it; and both kinds of songs without their ID3v1 tag, whose texts then come from
// their ID3v2 tag, against themselves with it.
#include <fcntl.h>
#include <unistd.h>

#include <taglib/mpegfile.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench_support.h"
#include "tests/support/mpeg_builder.h"
#include "zodizidu/analysis/mpeg_audio.h"

namespace {

constexpr int kFiles = 1000;
constexpr int kCoverFiles = 200;
constexpr int kRounds = 5;
constexpr std::size_t kFrames = 2400;  // 417-byte frames: about 1 MB
constexpr std::size_t kCoverSize = 500 * 1024;

std::size_t LeadSize(int i) { return 500 + static_cast<std::size_t>(i * 37 % 3500); }

std::string Song(int i, bool id3v1 = true) {
  using namespace testsupport;
  MpegHeader h = MakeHeader(1, 3, 128, 44100);
  h.mode = 1;
  if (!id3v1) return Mp3File(kFrames, std::nullopt, h);
  return Mp3File(kFrames, Id3v1Fields().Title("Song " + std::to_string(i)).Artist("Band").Genre(17), h);
}

// The text frames a tagger writes (version 2.3, the titles in UTF-16 with a byte-order mark),
// padded to 500 to 4000 bytes as taggers leave room.
std::string TextTag(int i) {
  using namespace testsupport;
  const std::string title = "Song number " + std::to_string(i);
  std::string utf16("\x01\xFF\xFE", 3);
  for (char c : title) utf16 += std::string{c, '\0'};
  const std::string frames = Id3v2Frame("TIT2", utf16) + Id3v2TextFrame("TPE1", "The Band") +
                             Id3v2TextFrame("TALB", "The Album") + Id3v2TextFrame("TYER", "2004") +
                             Id3v2TextFrame("TCON", "(17)") + Id3v2TextFrame("TRCK", std::to_string(i % 20 + 1)) +
                             Id3v2Frame("COMM", std::string("\0eng\0A comment", 15));
  return Id3v2Tag(Id3v2Fields().Body(frames).Padding(LeadSize(i) - std::min<std::size_t>(LeadSize(i), 200)));
}

constexpr std::size_t kSongSize = kFrames * 417 + 128;
std::size_t FileSize(int i) { return TextTag(i).size() + kSongSize; }

std::string CoverTag(int i) { return testsupport::CoverTag(kCoverSize, 0, static_cast<std::uint32_t>(i + 1)); }

std::vector<std::string> MakeFiles(const std::string& folder, int count, const std::function<std::size_t(int)>& size,
                                   const std::function<std::string(int)>& bytes) {
  std::vector<std::string> paths;
  for (int i = 0; i < count; ++i) {
    paths.push_back(std::string(ZODIZIDU_BENCH_DATA) + "/" + folder + "/Band - Song " + std::to_string(i) + ".mp3");
    bench::EnsureFile(paths.back(), size(i), [&bytes, i] { return bytes(i); });
    bench::ReadWhole(paths.back(), 1 << 20);
  }
  return paths;
}

double AnalyseAll(const std::vector<std::string>& paths, long& checksum,
                  zodizidu::TagSource tags = zodizidu::TagSource::kId3v1, int rounds = kRounds) {
  return bench::BestOf(rounds, [&] {
    for (const std::string& path : paths) {
      zodizidu::TMPEGAudio audio;
      audio.SetFileName(path);
      if (!audio.IsValid() || audio.Tags() != tags) std::printf("unexpected: %s not valid\n", path.c_str());
      checksum += audio.Data().Duration + static_cast<long>(audio.Title().size());
    }
  });
}

// The analysis of songs without their ID3v1 tag (`without`, texts from the ID3v2 tag) against the
// same songs with it (`with`), in alternate rounds so that both meet the same conditions.
void TagTextsRatio(const char* what, const std::vector<std::string>& with, const std::vector<std::string>& without,
                   long& checksum) {
  double v1 = 1e300;
  double v2 = 1e300;
  for (int round = 0; round < kRounds; ++round) {
    v1 = std::min(v1, bench::BestOf(1, [&] { AnalyseAll(with, checksum, zodizidu::TagSource::kId3v1, 1); }));
    v2 = std::min(v2, bench::BestOf(1, [&] { AnalyseAll(without, checksum, zodizidu::TagSource::kId3v2, 1); }));
  }
  const double perFile = 1e6 / static_cast<double>(without.size());
  std::printf("  %-20s ID3v1 %6.1f us/file, texts from ID3v2 only %6.1f us/file\n", what, v1 * perFile, v2 * perFile);
  std::printf("ratio ID3v2 texts/ID3v1 texts, %s: %.2f (target <= 2)\n", what, v2 / v1);
}

}  // namespace

int main() {
  const std::vector<std::string> paths =
      MakeFiles("tagged", kFiles, FileSize, [](int i) { return TextTag(i) + Song(i); });
  const std::vector<std::string> textsOnly = MakeFiles(
      "tagged-no-id3v1", kFiles, [](int i) { return FileSize(i) - 128; },
      [](int i) { return TextTag(i) + Song(i, false); });
  const std::vector<std::string> plain = MakeFiles(
      "plain", kFiles, [](int) { return kSongSize; }, [](int i) { return Song(i); });
  const std::size_t coverTagSize = CoverTag(0).size();
  const std::vector<std::string> covered = MakeFiles(
      "covered", kCoverFiles, [&](int) { return coverTagSize + kSongSize; },
      [](int i) { return CoverTag(i) + Song(i); });
  const std::vector<std::string> coveredOnly = MakeFiles(
      "covered-no-id3v1", kCoverFiles, [&](int) { return coverTagSize + kSongSize - 128; },
      [](int i) { return CoverTag(i) + Song(i, false); });
  const std::vector<std::string> uncovered(plain.begin(), plain.begin() + kCoverFiles);

  long checksum = 0;
  const double ours = AnalyseAll(paths, checksum);
  const double bare = AnalyseAll(plain, checksum);
  const double withCover = AnalyseAll(covered, checksum);
  const double withoutCover = AnalyseAll(uncovered, checksum);
  const double taglib = bench::BestOf(kRounds, [&] {
    for (const std::string& path : paths) {
      TagLib::MPEG::File file(path.c_str(), true, TagLib::AudioProperties::Average);
      if (!file.isValid() || !file.audioProperties())
        std::printf("unexpected: TagLib cannot read %s\n", path.c_str());
      else
        checksum += file.audioProperties()->lengthInSeconds();
    }
  });
  // The least I/O an analysis needs: open, the first 4 KB, the last 128 bytes, close.
  const double floor = bench::BestOf(kRounds, [&] {
    std::array<char, 4096> head{};
    for (const std::string& path : paths) {
      const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
      const ssize_t a = ::pread(fd, head.data(), head.size(), 0);
      const ssize_t b = ::pread(fd, head.data(), 128, static_cast<off_t>(FileSize(0)) - 128);
      checksum += a + b;
      ::close(fd);
    }
  });

  const double perFile = 1e6 / kFiles;
  std::printf("analysis of %d MP3 files of about 1 MB (page cache), best of %d rounds\n", kFiles, kRounds);
  std::printf("  TMPEGAudio              %7.1f us/file\n", ours * perFile);
  std::printf("  TagLib MPEG::File       %7.1f us/file\n", taglib * perFile);
  std::printf("  open+4KB+128B+close     %7.1f us/file (I/O floor)\n", floor * perFile);
  std::printf("ratio TagLib time/TMPEGAudio time: %.2f (target >= 3)\n", taglib / ours);
  std::printf("  TMPEGAudio, no ID3v2    %7.1f us/file\n", bare * perFile);
  std::printf("  500 KB cover in ID3v2   %7.1f us/file (%d files)\n", withCover * 1e6 / kCoverFiles, kCoverFiles);
  std::printf("  same songs, no cover    %7.1f us/file\n", withoutCover * 1e6 / kCoverFiles);
  std::printf("ratio with cover/without: %.2f (target < 2)\n", withCover / withoutCover);
  std::printf("songs whose texts come from an ID3v2 tag (no ID3v1 tag) against the same songs with one\n");
  TagTextsRatio("text frames", paths, textsOnly, checksum);
  TagTextsRatio("text frames, cover", covered, coveredOnly, checksum);
  std::printf("(checksum %ld)\n", checksum);
  return 0;
}
