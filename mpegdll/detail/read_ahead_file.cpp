// The reading thread keeps a bounded window of the file ahead of the position; the caller copies
// out of it under a lock and waits only for what is not there yet.
#include "mpegdll/detail/read_ahead_file.h"

#include <dlfcn.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <system_error>
#include <vector>

#include "platform/interrupted.h"

namespace mpegdll::detail {
namespace {

// Read ahead of the position at most: as much as a buffered reader always held here, so that a
// medium failing under a playing song is still noticed within moments.
constexpr std::int64_t kAhead = 64 * 1024;
// Kept before the position, for the short steps back a decoder takes.
constexpr std::int64_t kBehind = 16 * 1024;
// One read of the medium.
constexpr std::size_t kChunk = 32 * 1024;

// A thread of this library that is left running (stuck in a read) must never return into code
// that has been unloaded: once one is, the library stays loaded for the rest of the process.
void KeepLibraryLoaded() {
  static std::once_flag once;
  std::call_once(once, [] {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&KeepLibraryLoaded), &info) != 0 && info.dli_fname) {
      ::dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    }
  });
}

}  // namespace

// The window: bytes [start, start + fill) of the file, from ring[head] on (wrapping around).
struct ReadAheadFile::Shared {
  Shared(int file, int ready) : fd(file), readyFd(ready), ring(kAhead + kBehind + kChunk) {}
  ~Shared() {
    ::close(fd);
    if (readyFd >= 0) ::close(readyFd);
  }
  Shared(const Shared&) = delete;
  Shared& operator=(const Shared&) = delete;

  std::int64_t End() const { return start + static_cast<std::int64_t>(fill); }
  // A whole chunk fits ahead: the thread reads in chunks, never a few bytes at a time.
  bool WantsMore() const { return !atEnd && !failed && End() - pos <= kAhead - static_cast<std::int64_t>(kChunk); }

  // The window begins again at `at` (the position moved away from it).
  void Restart(std::int64_t at) {
    start = at;
    head = fill = 0;
    atEnd = failed = false;
    ++generation;
    changed.notify_all();
  }
  // Lets go of what lies further back than kBehind before the position.
  void DiscardBehind() {
    const auto drop = static_cast<std::size_t>(std::clamp<std::int64_t>(pos - kBehind - start, 0, End() - start));
    start += static_cast<std::int64_t>(drop);
    head = (head + drop) % ring.size();
    fill -= drop;
  }
  void Append(const std::uint8_t* bytes, std::size_t count) {
    for (std::size_t done = 0; done < count;) {
      const std::size_t at = (head + fill) % ring.size();
      const std::size_t n = std::min(count - done, ring.size() - at);
      std::memcpy(ring.data() + at, bytes + done, n);
      fill += n;
      done += n;
    }
  }
  // Copies from the position on, at most `size` bytes; the count.
  std::size_t CopyOut(std::uint8_t* out, std::size_t size) {
    const std::size_t count = std::min(size, static_cast<std::size_t>(End() - pos));
    for (std::size_t done = 0; done < count;) {
      const std::size_t at = (head + static_cast<std::size_t>(pos - start)) % ring.size();
      const std::size_t n = std::min(count - done, ring.size() - at);
      std::memcpy(out + done, ring.data() + at, n);
      pos += static_cast<std::int64_t>(n);
      done += n;
    }
    // Only a thread that is waiting for room is woken, and only once there is a chunk's room.
    if (readerIdle && WantsMore()) changed.notify_all();
    return count;
  }
  // Wakes a caller polling the ready descriptor.
  void Signal() {
    if (!wantSignal || readyFd < 0) return;
    const std::uint64_t one = 1;
    (void)!::write(readyFd, &one, sizeof one);
    wantSignal = false;
    signalled = true;
  }

  const int fd;
  const int readyFd;
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::uint8_t> ring;
  std::int64_t start = 0;
  std::size_t head = 0;
  std::size_t fill = 0;
  std::int64_t pos = 0;          // the caller's position in the file
  std::uint64_t generation = 0;  // a read begun before the window moved is thrown away
  bool atEnd = false;            // the file ends at End()
  bool failed = false;           // the read at End() failed
  bool reading = false;          // the thread is in a read of the medium
  bool readerIdle = false;       // the thread waits until there is something to read
  bool closing = false;          // the file is closed: the thread is to end
  bool interrupted = false;      // waits fail at once
  bool wantSignal = false;       // the caller waits on readyFd
  bool signalled = false;        // readyFd holds a count to clear
};

namespace {

void ReadLoop(const std::shared_ptr<ReadAheadFile::Shared>& shared) {
  pthread_setname_np(pthread_self(), "mpegdll-read");
  ReadAheadFile::Shared& s = *shared;
  std::vector<std::uint8_t> chunk(kChunk);
  std::int64_t fileOffset = 0;  // where the descriptor stands, -1 when unknown
  std::unique_lock lock(s.mutex);
  for (;;) {
    s.readerIdle = true;
    s.changed.wait(lock, [&] { return s.closing || s.WantsMore(); });
    s.readerIdle = false;
    if (s.closing) return;
    s.DiscardBehind();
    const std::int64_t at = s.End();
    const std::uint64_t generation = s.generation;
    const std::size_t want = std::min(kChunk, s.ring.size() - s.fill);
    s.reading = true;
    lock.unlock();
    ssize_t got = -1;
    if (fileOffset == at || ::lseek(s.fd, static_cast<off_t>(at), SEEK_SET) == at) {
      got = platform::RetryInterrupted([&] { return ::read(s.fd, chunk.data(), want); });
    }
    fileOffset = got >= 0 ? at + got : -1;
    lock.lock();
    s.reading = false;
    if (s.closing) return;
    if (generation != s.generation) continue;
    if (got < 0) {
      s.failed = true;
    } else if (got == 0) {
      s.atEnd = true;
    } else {
      s.Append(chunk.data(), static_cast<std::size_t>(got));
    }
    s.changed.notify_all();
    s.Signal();
  }
}

}  // namespace

std::unique_ptr<ReadAheadFile> ReadAheadFile::Open(int fd) {
  auto shared = std::make_shared<Shared>(fd, ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
  if (shared->readyFd < 0) return nullptr;
  std::unique_ptr<ReadAheadFile> file(new ReadAheadFile(shared));
  try {
    file->reader_ = std::thread(ReadLoop, shared);
  } catch (const std::system_error&) {
    return nullptr;
  }
  return file;
}

ReadAheadFile::ReadAheadFile(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}

ReadAheadFile::~ReadAheadFile() {
  bool stuck = false;
  {
    std::lock_guard lock(shared_->mutex);
    shared_->closing = true;
    stuck = shared_->reading;
    shared_->changed.notify_all();
  }
  if (!reader_.joinable()) return;
  if (stuck) {
    KeepLibraryLoaded();
    reader_.detach();
  } else {
    reader_.join();
  }
}

long ReadAheadFile::Read(void* buffer, std::size_t size) {
  Shared& s = *shared_;
  auto* out = static_cast<std::uint8_t*>(buffer);
  std::unique_lock lock(s.mutex);
  std::size_t done = 0;
  while (done < size) {
    if (s.pos < s.End()) {
      done += s.CopyOut(out + done, size - done);
      continue;
    }
    if (s.atEnd) break;
    if (s.failed || s.interrupted) return done > 0 ? static_cast<long>(done) : -1;
    s.changed.wait(lock);
  }
  return static_cast<long>(done);
}

std::int64_t ReadAheadFile::Seek(std::int64_t offset, int whence) {
  Shared& s = *shared_;
  std::int64_t target = offset;
  if (whence == SEEK_END) {
    const std::int64_t size = Size();
    if (size < 0) return -1;
    target += size;
  }
  std::lock_guard lock(s.mutex);
  if (whence == SEEK_CUR) target += s.pos;
  if (target < 0) return -1;
  s.pos = target;
  if (target < s.start || target > s.End()) s.Restart(target);
  return target;
}

std::int64_t ReadAheadFile::Size() {
  struct stat st {};
  return ::fstat(shared_->fd, &st) == 0 ? static_cast<std::int64_t>(st.st_size) : -1;
}

std::unique_ptr<Input> ReadAheadFile::Twin() const {
  return OpenFileInput("/proc/self/fd/" + std::to_string(shared_->fd));
}

bool ReadAheadFile::Ready(std::size_t bytes) {
  Shared& s = *shared_;
  std::lock_guard lock(s.mutex);
  if (s.signalled) {
    std::uint64_t count = 0;
    (void)!::read(s.readyFd, &count, sizeof count);
    s.signalled = false;
  }
  if (s.interrupted || s.atEnd || s.failed || s.End() - s.pos >= static_cast<std::int64_t>(bytes)) return true;
  s.wantSignal = true;
  return false;
}

int ReadAheadFile::ReadyFd() const { return shared_->readyFd; }

std::function<void()> ReadAheadFile::Interrupter() {
  return [weak = std::weak_ptr<Shared>(shared_)] {
    const std::shared_ptr<Shared> s = weak.lock();
    if (!s) return;
    std::lock_guard lock(s->mutex);
    s->interrupted = true;
    s->wantSignal = true;
    s->Signal();
    s->changed.notify_all();
  };
}

}  // namespace mpegdll::detail
