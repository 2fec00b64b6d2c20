// Non-blocking ALSA playback: underruns and suspends recovered, a vanished device reported.
#include "mpegdll/detail/alsa_output.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>

namespace mpegdll::detail {
namespace {

// Buffer the device holds; long enough to ride out a busy machine, short enough to pause promptly.
constexpr unsigned kLatencyUs = 500000;
constexpr int kMaxPollFds = 16;

}  // namespace

AlsaOutput::AlsaOutput(std::shared_ptr<PcmConfig> config, std::string device)
    : config_(std::move(config)), api_(config_->api()), device_(std::move(device)) {}

AlsaOutput::~AlsaOutput() { Close(); }

bool AlsaOutput::Open(const PcmFormat& format) {
  Close();
  if (config_->Open(&pcm_, device_.c_str()) < 0) {
    pcm_ = nullptr;
    return false;
  }
  if (api_.setParams(pcm_, SND_PCM_FORMAT_S16_LE, SND_PCM_ACCESS_RW_INTERLEAVED, static_cast<unsigned>(format.channels),
                     static_cast<unsigned>(format.rate), 1, kLatencyUs) < 0) {
    Close();
    return false;
  }
  format_ = format;
  snd_pcm_uframes_t buffer = 0;
  snd_pcm_uframes_t period = 0;
  if (api_.getParams(pcm_, &buffer, &period) < 0 || buffer == 0) buffer = static_cast<snd_pcm_uframes_t>(format.rate);
  history_.assign(buffer * static_cast<std::size_t>(format.channels), 0);
  historyHead_ = historyFrames_ = 0;
  Emptied();
  return true;
}

std::size_t AlsaOutput::ReplayFrames() const {
  return format_.channels ? (replay_.size() - replayPos_) / static_cast<std::size_t>(format_.channels) : 0;
}

long AlsaOutput::Write(const std::int16_t* samples, long frames) {
  if (!pcm_) return -1;
  if (resumePending_) {
    const int r = api_.resume(pcm_);
    if (r == -EAGAIN) return 0;
    if (r < 0) {
      Emptied();
      if (api_.prepare(pcm_) < 0) return -1;
    }
    resumePending_ = false;
  }
  while (ReplayFrames() > 0) {
    const long done = WriteDevice(replay_.data() + replayPos_, static_cast<long>(ReplayFrames()));
    if (done <= 0) return done;
    replayPos_ += static_cast<std::size_t>(done) * static_cast<std::size_t>(format_.channels);
  }
  replay_.clear();
  replayPos_ = 0;
  return WriteDevice(samples, frames);
}

long AlsaOutput::WriteDevice(const std::int16_t* samples, long frames) {
  const snd_pcm_sframes_t done = api_.writei(pcm_, samples, static_cast<snd_pcm_uframes_t>(frames));
  if (done >= 0) {
    written_ += done;
    Remember(samples, static_cast<long>(done));
    return static_cast<long>(done);
  }
  if (done == -EAGAIN) return 0;
  return Recover(static_cast<int>(done)) ? 0 : -1;
}

// Underrun and interruption: prepare again. Suspend: resume, retried on the next write while the
// device is not ready (alsa-lib's own recovery would sleep a second at a time). Anything else,
// a vanished device above all, is final.
bool AlsaOutput::Recover(int error) {
  if (error == -EPIPE || error == -EINTR) {
    if (error == -EPIPE) Emptied();  // set up again after the underrun, holding nothing
    return api_.recover(pcm_, error, 1) >= 0;
  }
  if (error == -ESTRPIPE) {
    const int r = api_.resume(pcm_);
    if (r == -EAGAIN) {
      resumePending_ = true;
      return true;
    }
    if (r >= 0) return true;
    Emptied();
    return api_.prepare(pcm_) >= 0;
  }
  return false;
}

void AlsaOutput::Remember(const std::int16_t* samples, long frames) {
  const std::size_t channels = static_cast<std::size_t>(format_.channels);
  const std::size_t capacity = channels ? history_.size() / channels : 0;
  if (capacity == 0) return;
  std::size_t count = static_cast<std::size_t>(frames);
  if (count > capacity) {
    samples += (count - capacity) * channels;
    count = capacity;
  }
  for (std::size_t i = 0; i < count; ++i) {
    std::copy_n(samples + i * channels, channels,
                history_.begin() + static_cast<std::ptrdiff_t>(historyHead_ * channels));
    historyHead_ = (historyHead_ + 1) % capacity;
  }
  historyFrames_ = std::min(capacity, historyFrames_ + count);
}

long AlsaOutput::DeviceDelay(bool* running) {
  if (running) *running = false;
  if (!pcm_) return 0;
  // A dropped device holds nothing to be heard, whatever its delay may still say (the sound
  // server's plugin can report the old queue for a moment after a drop).
  const snd_pcm_state_t state = api_.state(pcm_);
  switch (state) {
    case SND_PCM_STATE_RUNNING:
    case SND_PCM_STATE_PREPARED:
    case SND_PCM_STATE_DRAINING:
    case SND_PCM_STATE_PAUSED: break;
    default: return 0;
  }
  if (running) *running = state == SND_PCM_STATE_RUNNING;
  const auto now = std::chrono::steady_clock::now();
  snd_pcm_sframes_t frames = 0;
  if (api_.delay(pcm_, &frames) >= 0 && frames >= 0) {
    reading_ = {true, static_cast<long>(frames), written_, now};
    return static_cast<long>(frames);
  }
  // The sound server's plugin cannot tell the delay of a stream it has just set up (after a
  // resume, until the server's first timing report): it still holds what it held at the last
  // reading and what came since, less what it has played meanwhile; without a reading, all that
  // was written. Taken for nothing queued, the position would leap ahead and the pause after it
  // would hand nothing back.
  std::int64_t estimate = written_;
  if (reading_.valid) {
    estimate = reading_.delay + (written_ - reading_.written);
    if (state == SND_PCM_STATE_RUNNING) {
      const auto us = std::chrono::duration_cast<std::chrono::microseconds>(now - reading_.at).count();
      estimate -= us * format_.rate / 1000000;
    }
  }
  return static_cast<long>(std::clamp<std::int64_t>(estimate, 0, written_));
}

void AlsaOutput::Emptied() {
  written_ = 0;
  reading_ = {};
}

long AlsaOutput::Delay() { return DeviceDelay() + static_cast<long>(ReplayFrames()); }

Backlog AlsaOutput::Look() {
  bool running = false;
  const long device = DeviceDelay(&running);
  return {device + static_cast<long>(ReplayFrames()), running ? device : 0};
}

void AlsaOutput::Wait(int wakeFd, int timeoutMs) {
  pollfd fds[kMaxPollFds];
  int count = 0;
  if (pcm_) {
    const int wanted = api_.pollCount(pcm_);
    if (wanted > 0 && wanted < kMaxPollFds)
      count = std::max(0, api_.pollDescriptors(pcm_, fds, static_cast<unsigned>(wanted)));
  }
  fds[count] = pollfd{wakeFd, POLLIN, 0};
  ::poll(fds, static_cast<nfds_t>(count + 1), timeoutMs);
}

// Only the wake-up descriptor: the device's own descriptors are ready whenever it has room, which
// it has all along while its last frames play.
void AlsaOutput::WaitPlayed(int wakeFd, int timeoutMs) {
  const long left = format_.rate > 0 ? Delay() * 1000 / format_.rate : 0;
  pollfd fd{wakeFd, POLLIN, 0};
  ::poll(&fd, 1, static_cast<int>(std::clamp<long>(left, 1, timeoutMs)));
}

void AlsaOutput::Pause() {
  if (!pcm_) return;
  const std::size_t channels = static_cast<std::size_t>(format_.channels);
  const std::size_t capacity = history_.size() / channels;
  const std::size_t unheard = std::min(static_cast<std::size_t>(DeviceDelay()), historyFrames_);
  std::vector<std::int16_t> replay;
  replay.reserve((unheard + ReplayFrames()) * channels);
  for (std::size_t i = 0; i < unheard; ++i) {
    const std::size_t frame = (historyHead_ + capacity - unheard + i) % capacity;
    replay.insert(replay.end(), history_.begin() + static_cast<std::ptrdiff_t>(frame * channels),
                  history_.begin() + static_cast<std::ptrdiff_t>((frame + 1) * channels));
  }
  replay.insert(replay.end(), replay_.begin() + static_cast<std::ptrdiff_t>(replayPos_), replay_.end());
  api_.drop(pcm_);
  replay_ = std::move(replay);
  replayPos_ = 0;
  historyHead_ = historyFrames_ = 0;
}

void AlsaOutput::Resume() {
  if (!pcm_) return;
  api_.prepare(pcm_);
  Emptied();
}

void AlsaOutput::Discard() {
  replay_.clear();
  replayPos_ = 0;
  historyHead_ = historyFrames_ = 0;
  if (!pcm_) return;
  api_.drop(pcm_);
  api_.prepare(pcm_);
  Emptied();
}

bool AlsaOutput::Drained() {
  if (!pcm_) return true;
  if (ReplayFrames() > 0) return false;
  switch (api_.state(pcm_)) {
    case SND_PCM_STATE_PREPARED:
      // Less than the start threshold was written: start it so that the tail is heard.
      if (DeviceDelay() <= 0) return true;
      api_.start(pcm_);
      return false;
    case SND_PCM_STATE_RUNNING: return DeviceDelay() <= 0;
    case SND_PCM_STATE_SUSPENDED: return !Recover(-ESTRPIPE);
    default:
      // Underrun after the last frame, or a device that went away: nothing more will be heard.
      return true;
  }
}

bool AlsaOutput::Close() {
  replay_.clear();
  replayPos_ = 0;
  resumePending_ = false;
  if (!pcm_) return true;
  api_.drop(pcm_);
  api_.close(pcm_);
  pcm_ = nullptr;
  return true;
}

// What was written before stays in the device; only the history a pause hands back is forgotten.
void AlsaOutput::Continue() { historyHead_ = historyFrames_ = 0; }

}  // namespace mpegdll::detail
