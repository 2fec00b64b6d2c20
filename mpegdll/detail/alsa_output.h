// Sound through an ALSA PCM device, written without ever waiting on it, surviving its faults.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "mpegdll/detail/output.h"
#include "mpegdll/detail/pcm_api.h"
#include "mpegdll/detail/pcm_config.h"

namespace mpegdll::detail {

class AlsaOutput final : public Output {
 public:
  // Opens `device` through `config`, which the outputs of one player share.
  explicit AlsaOutput(std::shared_ptr<PcmConfig> config, std::string device = "default");
  explicit AlsaOutput(const PcmApi& api = SystemPcmApi()) : AlsaOutput(std::make_shared<PcmConfig>(api)) {}
  ~AlsaOutput() override;
  AlsaOutput(const AlsaOutput&) = delete;
  AlsaOutput& operator=(const AlsaOutput&) = delete;

  bool Open(const PcmFormat& format) override;
  long Write(const std::int16_t* samples, long frames) override;
  long Delay() override;
  Backlog Look() override;
  void Wait(int wakeFd, int timeoutMs) override;
  void WaitPlayed(int wakeFd, int timeoutMs) override;
  void Pause() override;
  void Resume() override;
  void Discard() override;
  bool Drained() override;
  bool Close() override;
  bool KeepsFirstFormat() const override { return false; }
  bool Lingers() const override { return true; }
  void Continue() override;

 private:
  long WriteDevice(const std::int16_t* samples, long frames);
  bool Recover(int error);
  // Frames the device holds; *running tells whether it plays them now.
  long DeviceDelay(bool* running = nullptr);
  // The device was set up afresh: it holds nothing.
  void Emptied();
  void Remember(const std::int16_t* samples, long frames);
  std::size_t ReplayFrames() const;

  std::shared_ptr<PcmConfig> config_;
  const PcmApi& api_;
  std::string device_;
  snd_pcm_t* pcm_ = nullptr;
  PcmFormat format_;
  // The last frames written, so that a pause can hand back what the device had not played.
  std::vector<std::int16_t> history_;
  std::size_t historyHead_ = 0;
  std::size_t historyFrames_ = 0;
  // Frames to write again before new ones (what a pause took back from the device).
  std::vector<std::int16_t> replay_;
  std::size_t replayPos_ = 0;
  bool resumePending_ = false;
  // Frames written since the device was last set up, and its last delay that could be read.
  std::int64_t written_ = 0;
  struct Reading {
    bool valid = false;
    long delay = 0;
    std::int64_t written = 0;
    std::chrono::steady_clock::time_point at{};
  } reading_;
};

}  // namespace mpegdll::detail
