// The mixer backend over ALSA's simple mixer on the "default" control device.
#include <alsa/asoundlib.h>

#include <chrono>
#include <thread>

#include "platform/mixer/mixer_backend.h"

// alsa-lib declares it outside its C-linkage block; this is the C function it exports.
extern "C" snd_local_error_handler_t AlbavoxSetLocalAlsaErrorHandler(snd_local_error_handler_t func) __asm__(
    "snd_lib_error_set_local");

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

// After a failed open, or a device that stopped answering, the next attempt waits this long:
// without a card, opening at every poll would be wasted work.
constexpr auto kRetryAfter = std::chrono::seconds(1);

void Quiet(const char*, int, const char*, int, const char*, va_list) {}

// Keeps alsa-lib's messages about a missing card off this thread's standard error.
class QuietAlsa {
 public:
  QuietAlsa() : before_(AlbavoxSetLocalAlsaErrorHandler(&Quiet)) {}
  ~QuietAlsa() { AlbavoxSetLocalAlsaErrorHandler(before_); }
  QuietAlsa(const QuietAlsa&) = delete;
  QuietAlsa& operator=(const QuietAlsa&) = delete;

 private:
  snd_local_error_handler_t before_;
};

// The control device "default" as ALSA's configuration, read afresh, names it now. The
// configuration the library keeps for the process is read once, and what "default" stands for may
// depend on what answered then: a sound server's routing is only taken in while the server runs,
// so a server that came (back) later would stay out of reach for good.
snd_ctl_t* OpenDefaultControl() {
  snd_config_t* config = nullptr;
  snd_config_update_t* update = nullptr;
  if (snd_config_update_r(&config, &update, nullptr) < 0) return nullptr;
  snd_ctl_t* control = nullptr;
  // Not blocking: handling events must return at once when there are none.
  const int opened = snd_ctl_open_lconf(&control, "default", SND_CTL_NONBLOCK, config);
  snd_config_delete(config);
  snd_config_update_free(update);
  return opened < 0 ? nullptr : control;
}

// Channels that take the right word; every other one takes the left.
bool RightSide(snd_mixer_selem_channel_id_t channel) {
  return channel == SND_MIXER_SCHN_FRONT_RIGHT || channel == SND_MIXER_SCHN_REAR_RIGHT ||
         channel == SND_MIXER_SCHN_SIDE_RIGHT;
}

class AlsaMixer {
 public:
  // Opens the device on a thread of its own; Settle waits for it.
  void OpenAhead() {
    if (ahead_.joinable() || mixer_) return;
    ahead_ = std::thread([this] { Open(); });
  }

  // Every use of the mixer first waits for an opening still under way.
  AlsaMixer& Settle() {
    if (ahead_.joinable()) ahead_.join();
    return *this;
  }

  bool Open() {
    if (mixer_) return true;
    const Clock::time_point now = Clock::now();
    if (now < nextAttempt_) return false;
    const QuietAlsa quiet;
    snd_ctl_t* control = OpenDefaultControl();
    if (!control) return Failed(now);
    snd_hctl_t* hctl = nullptr;
    if (snd_hctl_open_ctl(&hctl, control) < 0) {
      snd_ctl_close(control);
      return Failed(now);
    }
    if (snd_mixer_open(&mixer_, 0) < 0) {
      mixer_ = nullptr;
      snd_hctl_close(hctl);
      return Failed(now);
    }
    if (snd_mixer_attach_hctl(mixer_, hctl) < 0 ||  // closes hctl itself when it fails
        snd_mixer_selem_register(mixer_, nullptr, nullptr) < 0 || snd_mixer_load(mixer_) < 0) {
      Close();
      return Failed(now);
    }
    return true;
  }

  bool Update() {
    if (!mixer_) return false;
    if (snd_mixer_handle_events(mixer_) >= 0) return true;
    Close();
    nextAttempt_ = Clock::now() + kRetryAfter;
    return false;
  }

  bool Read(const char* name, MixerReading& reading) {
    snd_mixer_elem_t* element = Find(name);
    if (!element) return false;
    if (snd_mixer_selem_get_playback_volume_range(element, &reading.min, &reading.max) < 0) return false;
    reading.mono = snd_mixer_selem_is_playback_mono(element) != 0;
    if (snd_mixer_selem_get_playback_volume(element, SND_MIXER_SCHN_FRONT_LEFT, &reading.left) < 0) return false;
    reading.right = reading.left;
    if (!reading.mono && snd_mixer_selem_has_playback_channel(element, SND_MIXER_SCHN_FRONT_RIGHT) &&
        snd_mixer_selem_get_playback_volume(element, SND_MIXER_SCHN_FRONT_RIGHT, &reading.right) < 0) {
      return false;
    }
    return true;
  }

  bool Write(const char* name, long left, long right) {
    snd_mixer_elem_t* element = Find(name);
    if (!element) return false;
    // One write of the whole element where the channels agree, as they do after every tick.
    if (snd_mixer_selem_is_playback_mono(element) || left == right) {
      return snd_mixer_selem_set_playback_volume_all(element, left) >= 0;
    }
    bool ok = true;
    for (int c = 0; c <= SND_MIXER_SCHN_LAST; ++c) {
      const auto channel = static_cast<snd_mixer_selem_channel_id_t>(c);
      if (!snd_mixer_selem_has_playback_channel(element, channel)) continue;
      ok = snd_mixer_selem_set_playback_volume(element, channel, RightSide(channel) ? right : left) >= 0 && ok;
    }
    return ok;
  }

  void Close() {
    if (mixer_) snd_mixer_close(mixer_);
    mixer_ = nullptr;
    nextAttempt_ = {};
  }

 private:
  bool Failed(Clock::time_point now) {
    nextAttempt_ = now + kRetryAfter;
    return false;
  }

  snd_mixer_elem_t* Find(const char* name) const {
    if (!mixer_) return nullptr;
    snd_mixer_selem_id_t* id = nullptr;
    snd_mixer_selem_id_alloca(&id);
    snd_mixer_selem_id_set_name(id, name);
    snd_mixer_selem_id_set_index(id, 0);
    snd_mixer_elem_t* element = snd_mixer_find_selem(mixer_, id);
    return element && snd_mixer_selem_has_playback_volume(element) ? element : nullptr;
  }

  snd_mixer_t* mixer_ = nullptr;
  Clock::time_point nextAttempt_{};
  std::thread ahead_;
};

// Left open at exit: the sound server's client threads may already be gone by then.
AlsaMixer& Unsettled() {
  static AlsaMixer* const mixer = new AlsaMixer;
  return *mixer;
}

AlsaMixer& Mixer() { return Unsettled().Settle(); }

}  // namespace

const MixerBackend& AlsaMixerBackend() {
  static const MixerBackend backend{
      .open = [](void*) { return Mixer().Open(); },
      .update = [](void*) { return Mixer().Update(); },
      .read = [](void*, const char* name, MixerReading& reading) { return Mixer().Read(name, reading); },
      .write = [](void*, const char* name, long left, long right) { return Mixer().Write(name, left, right); },
      .close = [](void*) { Mixer().Close(); },
      .self = nullptr,
  };
  return backend;
}

void OpenAlsaMixerAhead() { Unsettled().OpenAhead(); }

}  // namespace platform
