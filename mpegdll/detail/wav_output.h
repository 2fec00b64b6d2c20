// A RIFF WAVE file written as fast as the decoder goes, its sizes right whenever it is closed.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "mpegdll/detail/output.h"

namespace mpegdll::detail {

class WavOutput final : public Output {
 public:
  explicit WavOutput(std::string path);
  ~WavOutput() override;
  WavOutput(const WavOutput&) = delete;
  WavOutput& operator=(const WavOutput&) = delete;

  // Creates (or empties) the file; false when it cannot be written. The first Open() does it when
  // it was not done before, so that a file still being closed by an earlier run is emptied after.
  bool Create();

  bool Open(const PcmFormat& format) override;
  long Write(const std::int16_t* samples, long frames) override;
  long Delay() override { return 0; }
  void Wait(int wakeFd, int timeoutMs) override;
  void WaitPlayed(int /*wakeFd*/, int /*timeoutMs*/) override {}
  void Pause() override;
  void Resume() override {}
  void Discard() override {}
  bool Drained() override { return true; }
  bool Close() override;
  bool KeepsFirstFormat() const override { return true; }

 private:
  bool WriteHeader();

  std::string path_;
  std::vector<char> buffer_;  // the file's buffer, until it is closed
  std::FILE* file_ = nullptr;
  PcmFormat format_;
  std::uint64_t dataBytes_ = 0;
  bool failed_ = false;
};

}  // namespace mpegdll::detail
