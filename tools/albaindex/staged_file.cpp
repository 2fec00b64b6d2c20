// Temporary files written, flushed and renamed into place; removed when a signal ends the program.
#include "tools/albaindex/staged_file.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "platform/interrupted.h"

namespace albaindex {

namespace {

constexpr std::array<int, 3> kEndingSignals = {SIGINT, SIGTERM, SIGHUP};

// The temporary files alive, found by the signal handler with async-signal-safe calls only. They
// are changed only while the ending signals are blocked.
constexpr int kSlots = 4;
constexpr std::size_t kLongestName = 4096;
char gPending[kSlots][kLongestName];

extern "C" void RemovePendingAndEnd(int signal) {
  for (auto& name : gPending)
    if (name[0] != '\0') ::unlink(name);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

// Blocks the ending signals for its lifetime.
class SignalsHeld {
 public:
  SignalsHeld() {
    sigset_t set;
    sigemptyset(&set);
    for (int signal : kEndingSignals) sigaddset(&set, signal);
    ::sigprocmask(SIG_BLOCK, &set, &previous_);
  }
  ~SignalsHeld() { ::sigprocmask(SIG_SETMASK, &previous_, nullptr); }
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  sigset_t previous_;
};

// Records `name` for the handler; -1 when no slot is free or the name is too long (a name
// mkstemp makes fits the file system's path limit).
int Remember(const std::string& name) {
  static const bool installed = [] {
    for (int signal : kEndingSignals) {
      struct sigaction current {};
      // A signal ignored from the start (nohup) stays ignored.
      if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler != SIG_IGN)
        std::signal(signal, RemovePendingAndEnd);
    }
    return true;
  }();
  (void)installed;
  if (name.size() >= kLongestName) return -1;
  for (int slot = 0; slot < kSlots; ++slot) {
    if (gPending[slot][0] == '\0') {
      std::memcpy(gPending[slot], name.c_str(), name.size() + 1);
      return slot;
    }
  }
  return -1;
}

void Forget(int& slot) {
  if (slot >= 0) gPending[slot][0] = '\0';
  slot = -1;
}

std::string Failure(const std::string& what, const std::string& path, int error) {
  return what + " '" + path + "': " + std::strerror(error);
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = platform::RetryInterrupted([&] { return ::write(fd, bytes.data(), bytes.size()); });
    if (written < 0) return false;
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return true;
}

int Rename(const std::string& from, const std::string& to, unsigned flags) {
  return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), flags);
}

}  // namespace

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

StagedFile::StagedFile(std::string folder, std::string target)
    : folder_(std::move(folder)), target_(std::move(target)) {}

StagedFile::~StagedFile() {
  const SignalsHeld held;
  if (placed_ == Placed::kAside) {
    ::unlink(aside_.c_str());
  } else if (placed_ != Placed::kNew && !temporary_.empty()) {
    // Not put in place, or the old file after an exchange.
    ::unlink(temporary_.c_str());
  }
  Forget(slot_);
}

std::string StagedFile::Write(std::span<const std::uint8_t> bytes, mode_t mode) {
  std::string name = target_ + ".tmp-XXXXXX";
  int fd = -1;
  {
    const SignalsHeld held;
    fd = ::mkstemp(name.data());
    if (fd < 0) return Failure("cannot create a file in folder", folder_, errno);
    temporary_ = name;
    slot_ = Remember(temporary_);
  }
  std::string error;
  if (::fchmod(fd, mode) != 0 || !WriteAll(fd, bytes) || ::fsync(fd) != 0) error = Failure("cannot write", name, errno);
  if (::close(fd) != 0 && error.empty()) error = Failure("cannot write", name, errno);
  if (!error.empty()) {
    const SignalsHeld held;
    ::unlink(temporary_.c_str());
    temporary_.clear();
    Forget(slot_);
  }
  return error;
}

std::string StagedFile::Commit() {
  // A folder in the target's place is never swapped away.
  struct stat info {};
  if (::lstat(target_.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return Failure("cannot replace", target_, EISDIR);
  // Where the file system can, the new and the old file change places in one step; the old one
  // then waits under the temporary name.
  if (Rename(temporary_, target_, RENAME_EXCHANGE) == 0) {
    placed_ = Placed::kExchanged;
    return {};
  }
  if (errno == ENOENT) {
    // Nothing to replace.
    if (Rename(temporary_, target_, RENAME_NOREPLACE) != 0) return Failure("cannot replace", target_, errno);
    placed_ = Placed::kNew;
    Forget(slot_);
    return {};
  }
  if (errno != EINVAL && errno != ENOSYS) return Failure("cannot replace", target_, errno);
  // A file system without the exchange: the old file steps aside, the new one takes its name.
  aside_ = temporary_ + "-old";
  if (Rename(target_, aside_, RENAME_NOREPLACE) != 0) return Failure("cannot replace", target_, errno);
  if (Rename(temporary_, target_, RENAME_NOREPLACE) != 0) {
    const int error = errno;
    Rename(aside_, target_, 0);
    return Failure("cannot replace", target_, error);
  }
  placed_ = Placed::kAside;
  return {};
}

std::string StagedFile::Undo() {
  int result = 0;
  switch (placed_) {
    case Placed::kNot: return {};
    case Placed::kNew: result = ::unlink(target_.c_str()); break;
    case Placed::kExchanged: result = Rename(temporary_, target_, RENAME_EXCHANGE); break;
    case Placed::kAside: result = Rename(aside_, target_, 0); break;
  }
  if (result != 0) return Failure("cannot put back", target_, errno);
  // After an exchange back the new file waits under the temporary name again; otherwise it is gone.
  if (placed_ != Placed::kExchanged) temporary_.clear();
  placed_ = Placed::kNot;
  return {};
}

void StagedFile::Finish() {
  if (placed_ == Placed::kExchanged) ::unlink(temporary_.c_str());
  if (placed_ == Placed::kAside) ::unlink(aside_.c_str());
  temporary_.clear();
  placed_ = Placed::kNot;
  Forget(slot_);
}

std::string CommitTogether(std::span<StagedFile* const> files, const std::string& folder) {
  const SignalsHeld held;
  for (std::size_t i = 0; i < files.size(); ++i) {
    std::string error = files[i]->Commit();
    if (error.empty()) continue;
    for (std::size_t j = i; j-- > 0;) {
      const std::string undone = files[j]->Undo();
      if (!undone.empty()) error += "; " + undone;
    }
    return error;
  }
  for (StagedFile* file : files) file->Finish();
  // Make the new names themselves durable; files already in place are not undone when only this
  // last flush fails.
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return {};
}

}  // namespace albaindex
