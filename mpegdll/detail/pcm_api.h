// The ALSA PCM calls the sound output makes, as a table so that tests can put faults between.
#pragma once

#include <alsa/asoundlib.h>

namespace mpegdll::detail {

struct PcmApi {
  // Opens `name` as `config`, a copy of ALSA's configuration of the library's own, names it.
  int (*open)(snd_pcm_t** pcm, const char* name, snd_pcm_stream_t stream, int mode, snd_config_t* config);
  // Reads ALSA's configuration files into *config when *config is null or the files changed since
  // (snd_config_update_r); 1 when read, 0 when up to date, negative when they cannot be read.
  int (*updateConfig)(snd_config_t** config, snd_config_update_t** update);
  // Lets go of a copy (both may be null).
  void (*freeConfig)(snd_config_t* config, snd_config_update_t* update);
  int (*setParams)(snd_pcm_t* pcm, snd_pcm_format_t format, snd_pcm_access_t access, unsigned channels, unsigned rate,
                   int softResample, unsigned latencyUs);
  int (*getParams)(snd_pcm_t* pcm, snd_pcm_uframes_t* bufferSize, snd_pcm_uframes_t* periodSize);
  snd_pcm_sframes_t (*writei)(snd_pcm_t* pcm, const void* buffer, snd_pcm_uframes_t frames);
  int (*delay)(snd_pcm_t* pcm, snd_pcm_sframes_t* frames);
  snd_pcm_state_t (*state)(snd_pcm_t* pcm);
  int (*prepare)(snd_pcm_t* pcm);
  int (*start)(snd_pcm_t* pcm);
  int (*drop)(snd_pcm_t* pcm);
  int (*resume)(snd_pcm_t* pcm);
  int (*recover)(snd_pcm_t* pcm, int error, int silent);
  int (*pollCount)(snd_pcm_t* pcm);
  int (*pollDescriptors)(snd_pcm_t* pcm, struct pollfd* fds, unsigned space);
  int (*close)(snd_pcm_t* pcm);
};

// alsa-lib itself.
const PcmApi& SystemPcmApi();

// Keeps ALSA's own messages off standard error while the decode thread runs (true), and puts the
// handler found before back (false): nothing of this library may stay behind in alsa-lib once
// the library is unloaded.
void SilenceAlsaMessages(bool silent);

}  // namespace mpegdll::detail
