// The private sound server: pulseaudio without configuration scripts, one null sink as the default,
// an anonymous unix socket in a private folder; pactl and parec as its clients.
#include "tests/support/pulse_server.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

extern char** environ;

namespace testsupport {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Starts `argv` with `extraEnv` added to this process's environment, output into `logFile`.
pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv,
            const std::string& logFile) {
  std::vector<std::string> env(extraEnv);
  for (char** e = environ; *e; ++e) env.emplace_back(*e);  // the first definition of a name wins
  std::vector<char*> envp, args;
  for (auto& s : env) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::vector<std::string> argCopy(argv);
  for (auto& s : argCopy) args.push_back(s.data());
  args.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, (logFile + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

void StopProcess(pid_t pid, int signal) {
  if (pid <= 0) return;
  ::kill(pid, signal);
  for (int i = 0; i < 300; ++i) {
    if (::waitpid(pid, nullptr, WNOHANG) == pid) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
}

bool Exited(pid_t pid) { return ::waitpid(pid, nullptr, WNOHANG) == pid; }

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The number after `key` in pactl's volume line ("front-left: 65536 / 100% / 0.00 dB").
bool ParseChannel(const std::string& text, const char* key, std::uint32_t& value) {
  const auto at = text.find(key);
  if (at == std::string::npos) return false;
  char* end = nullptr;
  const unsigned long parsed = std::strtoul(text.c_str() + at + std::strlen(key), &end, 10);
  if (end == text.c_str() + at + std::strlen(key)) return false;
  value = static_cast<std::uint32_t>(parsed);
  return true;
}

void RestoreEnv(const char* name, bool had, const std::string& value) {
  if (had) {
    setenv(name, value.c_str(), 1);
  } else {
    unsetenv(name);
  }
}

}  // namespace

PulseServer::PulseServer() {
  char pattern[] = "/tmp/albavox-pulse-XXXXXX";  // short: the socket path must fit a sockaddr_un
  if (!::mkdtemp(pattern)) {
    why_ = "cannot make a runtime folder";
    return;
  }
  runtimeDir_ = pattern;
  socket_ = runtimeDir_ + "/native";
  const std::vector<std::string> argv = {
      "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no", "--disallow-module-loading=no",
      "--log-target=stderr", "--log-level=error",
      // Without rewinds the monitor carries exactly what each stream played, from its first sample.
      "-L",
      std::string("module-null-sink sink_name=") + kSink + " rate=" + std::to_string(kRate) + " channels=2 norewinds=1",
      "-L", "module-native-protocol-unix auth-anonymous=1 socket=" + socket_};
  const std::vector<std::string> env = {"HOME=" + runtimeDir_, "XDG_RUNTIME_DIR=" + runtimeDir_,
                                        "XDG_CONFIG_HOME=" + runtimeDir_ + "/config",
                                        "PULSE_RUNTIME_PATH=" + runtimeDir_ + "/pulse"};
  pid_ = Spawn(argv, env, runtimeDir_ + "/server.log");
  if (pid_ <= 0) {
    why_ = "pulseaudio cannot be started (is it installed?)";
    pid_ = -1;
    return;
  }

  // Clients of this process (pactl, parec, ALSA's pulse plugin) talk to this server only.
  if (const char* previous = std::getenv("PULSE_SERVER")) {
    hadPreviousServer_ = true;
    previousServer_ = previous;
  }
  setenv("PULSE_SERVER", ("unix:" + socket_).c_str(), 1);
  // ALSA's own configuration routes "default" to the sound server once one answers.
  if (const char* previous = std::getenv("ALSA_CONFIG_PATH")) {
    hadPreviousAlsaConfig_ = true;
    previousAlsaConfig_ = previous;
    unsetenv("ALSA_CONFIG_PATH");
  }

  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (Clock::now() < deadline) {
    if (Exited(pid_)) {
      why_ = "pulseaudio ended at start: " + ReadAll(runtimeDir_ + "/server.log.err");
      pid_ = -1;
      return;
    }
    if (Pactl("info")) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  why_ = "pulseaudio did not answer within 10 s";
  StopProcess(pid_, SIGKILL);
  pid_ = -1;
}

PulseServer::~PulseServer() {
  StopProcess(pid_, SIGTERM);
  RestoreEnv("PULSE_SERVER", hadPreviousServer_, previousServer_);
  RestoreEnv("ALSA_CONFIG_PATH", hadPreviousAlsaConfig_, previousAlsaConfig_);
  std::error_code ec;
  if (!runtimeDir_.empty()) fs::remove_all(runtimeDir_, ec);
}

bool PulseServer::Pactl(const std::string& args, std::string* output) const {
  const std::string command = "pactl " + args + " 2>/dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return false;
  std::string text;
  char buffer[512];
  while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) text.append(buffer, n);
  const int status = ::pclose(pipe);
  if (output) *output = text;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool PulseServer::SinkVolume(std::uint32_t& left, std::uint32_t& right) const {
  std::string text;
  if (!Pactl(std::string("get-sink-volume ") + kSink, &text)) return false;
  return ParseChannel(text, "front-left:", left) && ParseChannel(text, "front-right:", right);
}

bool PulseServer::SetSinkVolume(std::uint32_t left, std::uint32_t right) const {
  return Pactl(std::string("set-sink-volume ") + kSink + " " + std::to_string(left) + " " + std::to_string(right));
}

PulseServer::Recording::Recording(const PulseServer& server) {
  if (!server.Running()) return;
  file_ = server.runtimeDir_ + "/recording-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + ".raw";
  pid_ = Spawn({"parec", "-d", std::string(kSink) + ".monitor", "--raw", "--format=s16le",
                "--rate=" + std::to_string(kRate), "--channels=2", "--latency-msec=5"},
               {}, file_);
  const auto deadline = Clock::now() + std::chrono::seconds(5);
  while (pid_ > 0 && Clock::now() < deadline) {
    struct stat st {};
    if (::stat(file_.c_str(), &st) == 0 && st.st_size > 0) {
      started_ = true;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

PulseServer::Recording::~Recording() {
  StopProcess(pid_, SIGINT);
  if (!file_.empty()) {
    ::unlink(file_.c_str());
    ::unlink((file_ + ".err").c_str());
  }
}

std::size_t PulseServer::Recording::FramesSoFar() const {
  struct stat st {};
  if (file_.empty() || ::stat(file_.c_str(), &st) != 0) return 0;
  return static_cast<std::size_t>(st.st_size) / 4;
}

std::vector<std::int16_t> PulseServer::Recording::Stop() {
  StopProcess(pid_, SIGINT);
  pid_ = -1;
  const std::string bytes = ReadAll(file_);
  std::vector<std::int16_t> samples(bytes.size() / 2);
  std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  return samples;
}

long FirstSoundFrame(const std::vector<std::int16_t>& interleaved, int threshold) {
  for (std::size_t i = 0; i < interleaved.size(); ++i) {
    if (std::abs(static_cast<int>(interleaved[i])) >= threshold) return static_cast<long>(i / 2);
  }
  return -1;
}

}  // namespace testsupport
