// The library's state on the application's side: the 19 entry points land here.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "mpegdll/detail/decoder.h"
#include "mpegdll/detail/input.h"
#include "mpegdll/detail/length_scan.h"
#include "mpegdll/detail/pcm_config.h"
#include "mpegdll/detail/worker.h"

namespace mpegdll::detail {

class Player {
 public:
  Player() = default;
  ~Player();
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  std::int32_t Init();
  std::int32_t Deinit();
  std::int32_t Open(const char* fileName, bool fromStream, const StreamCallbacks& callbacks);
  std::int32_t Pause(std::int32_t resume);
  std::int32_t Restart();
  std::int32_t Stop();
  std::int32_t SetPriority(std::int32_t priority);
  std::int32_t SetOutputDevice(std::int32_t device, const char* fileName);
  std::int32_t Play(std::int32_t startMs, std::int32_t endMs, std::uint8_t* endReached);
  std::int32_t Close();
  std::int32_t GetPlayerMode();
  std::int32_t GetCurrentPos();
  std::int32_t GetLength();
  std::int32_t GetFrequency();
  std::int32_t GetBitrate();
  std::int32_t GetLayer();
  std::int32_t ResetPlayerMode();
  std::int32_t Seek(std::int32_t positionMs);
  std::int32_t LastError() const { return static_cast<std::int32_t>(lastError_); }

 private:
  // Records the outcome of a call; a call that went well reports a fault the decode thread met.
  std::int32_t Record(Status status);
  // Records the outcome and gives `value` as the call's result.
  std::int32_t Answer(std::int32_t value);
  Status EnsureWorker();
  Status StartPlaying(std::int32_t startMs, std::int32_t endMs, std::uint8_t* endReached);
  // Closes the stream on the decode thread; kOutputError when the WAV file it completed failed.
  Status CloseStream();
  // Takes the measured length once the scan has it.
  void RefreshLength();
  std::int32_t LengthMs();

  std::unique_ptr<Worker> worker_;
  // ALSA's configuration as the sound device is opened with, shared by the outputs of the runs.
  std::shared_ptr<PcmConfig> pcmConfig_;
  StreamFacts facts_;
  // Measures a file that carries no frame count; its estimate serves until then.
  std::unique_ptr<LengthScan> lengthScan_;
  // Makes the open stream's reads that wait on the medium fail, so that closing it never waits
  // on a slow medium.
  std::function<void()> interruptReads_;
  bool open_ = false;
  std::int32_t device_ = MPEG_DEVICE_WAVE_MAPPER;
  std::string outFile_;
  std::int32_t priority_ = 0;
  bool started_ = false;  // a Play has given the range that Restart plays again
  std::int32_t startMs_ = 0;
  std::int32_t endMs_ = 0;
  std::uint8_t* endReached_ = nullptr;
  Status lastError_ = Status::kOk;
};

}  // namespace mpegdll::detail
