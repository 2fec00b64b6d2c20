// Opening the sound device through the library's own copy of ALSA's configuration.
#include "mpegdll/detail/pcm_config.h"

#include <cerrno>

namespace mpegdll::detail {

int PcmConfig::Open(snd_pcm_t** pcm, const char* name) {
  const bool fresh = Update();
  int result = config_ ? api_.open(pcm, name, SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK, config_) : -ENOENT;
  if (result >= 0 || fresh) return result;
  // The files are unchanged, but what answers may not be: read them again, hooks and all.
  Forget();
  if (Update() && config_) result = api_.open(pcm, name, SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK, config_);
  return result;
}

bool PcmConfig::Update() {
  const int result = api_.updateConfig(&config_, &update_);
  // A configuration that cannot be read leaves nothing behind (alsa-lib has freed it then).
  if (result < 0) {
    config_ = nullptr;
    update_ = nullptr;
  }
  return result > 0;
}

void PcmConfig::Forget() {
  api_.freeConfig(config_, update_);
  config_ = nullptr;
  update_ = nullptr;
}

}  // namespace mpegdll::detail
