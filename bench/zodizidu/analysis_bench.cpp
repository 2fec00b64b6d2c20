// Analysis of 1,000 ordinary MP3 files (ID3v2 in front, ID3v1 at the end, about 1 MB each, in the
// page cache) against TagLib reading the audio properties of the same files.
#include <fcntl.h>
#include <unistd.h>

#include <taglib/mpegfile.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_support.h"
#include "tests/support/mpeg_builder.h"
#include "zodizidu/mpeg_audio.h"

namespace {

constexpr int kFiles = 1000;
constexpr int kRounds = 5;
constexpr std::size_t kFrames = 2400;  // 417-byte frames: about 1 MB

std::string FileBytes(int i) {
  using namespace testsupport;
  // Leading tags of 500 to 4000 bytes, as text frames and padding make them.
  const std::size_t lead = 500 + static_cast<std::size_t>(i * 37 % 3500);
  MpegHeader h = MakeHeader(1, 3, 128, 44100);
  h.mode = 1;
  return Id3v2Block(lead) + Mp3File(kFrames, Id3v1Fields().Title("Song " + std::to_string(i)).Artist("Band").Genre(17), h);
}

std::size_t FileSize(int i) { return 500 + static_cast<std::size_t>(i * 37 % 3500) + kFrames * 417 + 128; }

}  // namespace

int main() {
  std::vector<std::string> paths;
  for (int i = 0; i < kFiles; ++i) {
    paths.push_back(std::string(ZODIZIDU_BENCH_DATA) + "/songs/Band - Song " + std::to_string(i) + ".mp3");
    bench::EnsureFile(paths.back(), FileSize(i), [i] { return FileBytes(i); });
    bench::ReadWhole(paths.back(), 1 << 20);
  }

  long checksum = 0;
  const double ours = bench::BestOf(kRounds, [&] {
    for (const std::string& path : paths) {
      zodizidu::TMPEGAudio audio;
      audio.SetFileName(path);
      if (!audio.IsValid() || !audio.HasTag()) std::printf("unexpected: %s not valid\n", path.c_str());
      checksum += audio.Data().Duration;
    }
  });
  const double taglib = bench::BestOf(kRounds, [&] {
    for (const std::string& path : paths) {
      TagLib::MPEG::File file(path.c_str(), true, TagLib::AudioProperties::Average);
      if (!file.isValid() || !file.audioProperties()) std::printf("unexpected: TagLib cannot read %s\n", path.c_str());
      else checksum += file.audioProperties()->lengthInSeconds();
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
  std::printf("(checksum %ld)\n", checksum);
  return 0;
}
