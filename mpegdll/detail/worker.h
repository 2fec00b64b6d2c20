// The decode thread and the commands the application's thread sends it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "mpegdll/detail/playback.h"

namespace mpegdll::detail {

struct Command {
  enum class Kind { kAttach, kStart, kPause, kStop, kSeek, kClose, kResetMode, kPriority, kQuit };
  explicit Command(Kind k, std::int32_t v = 0) : kind(k), value(v) {}

  Kind kind;
  std::int32_t value;  // pause flag, seek position or priority
  std::unique_ptr<Decoder> decoder;
  StartRequest start;
  // Written by the decode thread under the worker's lock.
  Status result = Status::kOk;
  bool answered = false;
};

class Worker {
 public:
  Worker();
  ~Worker();
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;

  // Starts the thread; false when it cannot be made.
  bool Launch(std::int32_t priority);
  // Closes the stream and ends the thread.
  void Quit();

  // Hands `command` to the thread and waits for its answer, which comes within milliseconds
  // unless a stream callback holds the thread (then it comes when the callback returns).
  Status Call(const std::shared_ptr<Command>& command);
  Status Call(Command::Kind kind, std::int32_t value = 0) { return Call(std::make_shared<Command>(kind, value)); }

  Mode mode() const { return playback_.mode(); }
  std::int32_t positionMs() { return playback_.positionMs(); }
  Status TakeFault() { return playback_.TakeFault(); }
  std::int64_t decodedLengthMs() const { return playback_.decodedLengthMs(); }

 private:
  void Run(std::int32_t priority);
  bool Serve(Command& command);

  int wakeFd_;
  Playback playback_;
  std::mutex mutex_;
  std::condition_variable answered_;
  std::deque<std::shared_ptr<Command>> queue_;
  std::thread thread_;
};

}  // namespace mpegdll::detail
