// libFuzzer target: arbitrary bytes written to an in-memory file, analysed and searched for a picture.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "zodizidu/analysis/embedded_picture.h"
#include "zodizidu/analysis/mpeg_audio.h"

namespace {

int gPumpCalls = 0;
void CountingPump() { ++gPumpCalls; }

int MemoryFile() {
  static const int fd = [] {
    const int made = ::memfd_create("song.mp3", MFD_CLOEXEC);
    if (made < 0) std::abort();
    return made;
  }();
  return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const int fd = MemoryFile();
  if (::ftruncate(fd, 0) != 0) std::abort();
  for (std::size_t done = 0; done < size;) {
    const ssize_t wrote = ::pwrite(fd, data + done, size - done, static_cast<off_t>(done));
    if (wrote <= 0) std::abort();
    done += static_cast<std::size_t>(wrote);
  }
  zodizidu::SetMessagePump(&CountingPump);
  zodizidu::TMPEGAudio audio;
  // The first byte, when odd, also sets a scan limit somewhere in the file.
  if (size > 0 && (data[0] & 1) != 0) audio.SetScanLimit(static_cast<std::int32_t>(size / 2));
  audio.SetAutoRead(false);
  audio.SetFileName("/proc/self/fd/" + std::to_string(fd));
  const int result = audio.Analyze();
  const zodizidu::TMPEGData& record = audio.Data();
  // What must hold whatever the bytes: the size is the input's, a header lies inside the file.
  if (result != 0 && result != -1) std::abort();
  if (size > 5 && record.FileLength != static_cast<std::int32_t>(size)) std::abort();
  if (audio.IsValid() && (audio.HeaderPos() < 0 || audio.HeaderPos() + 4 > static_cast<std::int32_t>(size)))
    std::abort();
  (void)audio.GuessedTitle();
  (void)audio.GenreText();
  (void)zodizidu::ReadEmbeddedPicture("/proc/self/fd/" + std::to_string(fd));
  return 0;
}
