// alsa-lib's functions in the table, and the quiet error handler.
#include "mpegdll/detail/pcm_api.h"

namespace mpegdll::detail {
namespace {

void Quiet(const char*, int, const char*, int, const char*, ...) {}

int UpdateConfig(snd_config_t** config, snd_config_update_t** update) {
  return snd_config_update_r(config, update, nullptr);
}

void FreeConfig(snd_config_t* config, snd_config_update_t* update) {
  if (config) snd_config_delete(config);
  if (update) snd_config_update_free(update);
}

// The handler found when the messages were silenced: the application's own, or ALSA's default.
snd_lib_error_handler_t previous = nullptr;
bool silenced = false;

}  // namespace

const PcmApi& SystemPcmApi() {
  static const PcmApi api{
      .open = snd_pcm_open_lconf,
      .updateConfig = UpdateConfig,
      .freeConfig = FreeConfig,
      .setParams = snd_pcm_set_params,
      .getParams = snd_pcm_get_params,
      .writei = snd_pcm_writei,
      .delay = snd_pcm_delay,
      .state = snd_pcm_state,
      .prepare = snd_pcm_prepare,
      .start = snd_pcm_start,
      .drop = snd_pcm_drop,
      .resume = snd_pcm_resume,
      .recover = snd_pcm_recover,
      .pollCount = snd_pcm_poll_descriptors_count,
      .pollDescriptors = snd_pcm_poll_descriptors,
      .close = snd_pcm_close,
  };
  return api;
}

void SilenceAlsaMessages(bool silent) {
  if (silent == silenced) return;
  if (silent) previous = snd_lib_error;
  snd_lib_error_set_handler(silent ? &Quiet : previous);
  silenced = silent;
}

}  // namespace mpegdll::detail
