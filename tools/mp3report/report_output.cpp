// Writing a report through a temporary file that replaces the output file at the end.
#include "tools/mp3report/report_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/paths.h"

namespace mp3report {

namespace {

// The temporary file of the running report, removed when a signal ends the program: an
// interrupted run leaves nothing behind. Only async-signal-safe calls touch it in the handler.
char gPendingTemporary[4096];
constexpr std::array<int, 3> kEndingSignals = {SIGINT, SIGTERM, SIGHUP};

extern "C" void RemovePendingAndEnd(int signal) {
  if (gPendingTemporary[0] != '\0') ::unlink(gPendingTemporary);
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

void WatchTemporary(const std::string& path) {
  if (path.size() >= sizeof gPendingTemporary) return;  // mkstemp names fit PATH_MAX; nothing to watch otherwise
  std::memcpy(gPendingTemporary, path.c_str(), path.size() + 1);
  static const bool installed = [] {
    for (int signal : kEndingSignals) std::signal(signal, RemovePendingAndEnd);
    return true;
  }();
  (void)installed;
}

void ForgetTemporary() { gPendingTemporary[0] = '\0'; }

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

std::string Reason(int error) { return std::strerror(error); }

}  // namespace

ReportOutput::~ReportOutput() { RemoveTemporary(); }

void ReportOutput::RemoveTemporary() {
  if (temporary_.empty()) return;
  if (file_.is_open()) file_.close();
  ::unlink(temporary_.c_str());
  temporary_.clear();
  ForgetTemporary();
}

bool ReportOutput::Open(const std::string& path, std::string& error) {
  target_ = path;
  mode_t mode = NewFileMode();
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) {
      error = Reason(EISDIR);
      return false;
    }
    exists_ = true;
    device_ = info.st_dev;
    inode_ = info.st_ino;
    if (!S_ISREG(info.st_mode)) {
      file_.open(path, std::ios::binary | std::ios::trunc);
      if (!file_) error = Reason(errno);
      return static_cast<bool>(file_);
    }
    mode = info.st_mode & 07777;
    std::error_code ec;
    const std::filesystem::path resolved = std::filesystem::canonical(path, ec);
    if (!ec) target_ = resolved.string();
  } else if (errno != ENOENT) {
    error = Reason(errno);
    return false;
  }

  std::string folder = platform::DirPart(target_);
  std::string pattern = folder + "." + platform::NamePart(target_) + ".XXXXXX";
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) {
    error = Reason(errno);
    return false;
  }
  temporary_ = pattern;
  WatchTemporary(temporary_);
  ::fchmod(fd, mode);
  ::close(fd);
  file_.open(temporary_, std::ios::binary | std::ios::trunc);
  if (!file_) {
    error = Reason(errno);
    RemoveTemporary();
    return false;
  }
  return true;
}

bool ReportOutput::IsSameFile(const std::string& other) const {
  struct stat info {};
  return exists_ && ::stat(other.c_str(), &info) == 0 && info.st_dev == device_ && info.st_ino == inode_;
}

bool ReportOutput::Commit(std::string& error) {
  file_.flush();
  const bool written = static_cast<bool>(file_);
  file_.close();
  if (!written || file_.fail()) {
    error = "writing the report failed";
    RemoveTemporary();
    return false;
  }
  if (temporary_.empty()) return true;  // written directly
  // The report is on the disk before it takes the old one's place.
  const int fd = ::open(temporary_.c_str(), O_RDONLY | O_CLOEXEC);
  const bool synced = fd >= 0 && ::fsync(fd) == 0;
  if (fd >= 0) ::close(fd);
  if (!synced || ::rename(temporary_.c_str(), target_.c_str()) != 0) {
    error = "writing the report failed: " + Reason(errno);
    RemoveTemporary();
    return false;
  }
  temporary_.clear();
  ForgetTemporary();
  return true;
}

}  // namespace mp3report
