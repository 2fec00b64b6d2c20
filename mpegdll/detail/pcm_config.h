// The copy of ALSA's configuration the sound device is opened with, read afresh when the device
// cannot be opened through the copy read before.
#pragma once

#include "mpegdll/detail/pcm_api.h"

namespace mpegdll::detail {

// Used on the decode thread only. What "default" stands for may depend on what answered when the
// configuration was read: a sound server's route is only taken in while the server runs. The
// process's own copy is read once, so a server that started (or came back) later would stay out
// of reach until the program is restarted; this copy is read again whenever opening fails.
class PcmConfig {
 public:
  explicit PcmConfig(const PcmApi& api = SystemPcmApi()) : api_(api) {}
  ~PcmConfig() { Forget(); }
  PcmConfig(const PcmConfig&) = delete;
  PcmConfig& operator=(const PcmConfig&) = delete;

  const PcmApi& api() const { return api_; }

  // Opens `name` for playback without blocking, through the copy brought up to date with the
  // files; when that fails, through a copy read afresh. The result of the last attempt.
  int Open(snd_pcm_t** pcm, const char* name);

 private:
  // Brings the copy up to date; true when it was read just now.
  bool Update();
  void Forget();

  const PcmApi& api_;
  snd_config_t* config_ = nullptr;
  snd_config_update_t* update_ = nullptr;
};

}  // namespace mpegdll::detail
