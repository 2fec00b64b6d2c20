// Command queue with an eventfd to wake the thread out of its waits on the sound device.
#include "mpegdll/detail/worker.h"

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <system_error>

#include "mpegdll/detail/priority.h"

namespace mpegdll::detail {

Worker::Worker() : wakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)), playback_(wakeFd_) {}

Worker::~Worker() {
  Quit();
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

bool Worker::Launch(std::int32_t priority) {
  if (thread_.joinable()) return true;
  if (wakeFd_ < 0) return false;
  try {
    thread_ = std::thread([this, priority] { Run(priority); });
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

void Worker::Quit() {
  if (!thread_.joinable()) return;
  Call(Command::Kind::kQuit);
  thread_.join();
}

Status Worker::Call(const std::shared_ptr<Command>& command) {
  if (!thread_.joinable()) return Status::kDecoderError;
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(command);
  }
  const std::uint64_t one = 1;
  (void)!::write(wakeFd_, &one, sizeof one);
  // The thread answers between two slices of work, which are short; the answer is never guessed.
  std::unique_lock lock(mutex_);
  answered_.wait(lock, [&] { return command->answered; });
  return command->result;
}

void Worker::Run(std::int32_t priority) {
  pthread_setname_np(pthread_self(), "mpegdll-decode");
  ApplyPriority(priority);
  for (;;) {
    std::uint64_t count = 0;
    (void)!::read(wakeFd_, &count, sizeof count);
    std::deque<std::shared_ptr<Command>> batch;
    {
      std::lock_guard lock(mutex_);
      batch.swap(queue_);
    }
    bool quit = false;
    for (const auto& command : batch) {
      quit = Serve(*command) || quit;
      std::lock_guard lock(mutex_);
      command->answered = true;
      answered_.notify_all();
    }
    if (quit) return;
    if (playback_.Active()) {
      playback_.Step();
    } else if (batch.empty()) {
      pollfd fd{wakeFd_, POLLIN, 0};
      ::poll(&fd, 1, -1);
    }
  }
}

// Carries out one command; true when the thread is to end.
bool Worker::Serve(Command& command) {
  Status result = Status::kOk;
  switch (command.kind) {
    case Command::Kind::kAttach: playback_.Attach(std::move(command.decoder)); break;
    case Command::Kind::kStart: result = playback_.Start(std::move(command.start)); break;
    case Command::Kind::kPause: result = playback_.Pause(command.value != 0); break;
    case Command::Kind::kStop: result = playback_.Stop(); break;
    case Command::Kind::kSeek: result = playback_.Seek(command.value); break;
    case Command::Kind::kClose: result = playback_.Close(); break;
    case Command::Kind::kResetMode: playback_.ResetMode(); break;
    case Command::Kind::kPriority: ApplyPriority(command.value); break;
    case Command::Kind::kQuit:
      playback_.Quit();
      std::lock_guard lock(mutex_);
      command.result = result;
      return true;
  }
  std::lock_guard lock(mutex_);
  command.result = result;
  return false;
}

}  // namespace mpegdll::detail
