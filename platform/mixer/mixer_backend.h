// The seam under the volume functions: a small table of functions over one mixer, ALSA's by
// default; tests put a fake mixer in its place.
#pragma once

namespace platform {

// One element's playback volume as the mixer holds it.
struct MixerReading {
  long min = 0;  // the element's own range
  long max = 0;
  bool mono = false;  // one channel: `right` repeats `left`
  long left = 0;
  long right = 0;
};

struct MixerBackend {
  // Opens the control device when it is not open; false when there is no card.
  bool (*open)(void* self);
  // Takes in the changes made elsewhere since the last call; false when the device has gone.
  bool (*update)(void* self);
  // The playback volume of the element `name`; false when it is missing or has none.
  bool (*read)(void* self, const char* name, MixerReading& reading);
  // Sets the element's channels (left-side channels `left`, right-side ones `right`; a mono
  // element `left`); false when it failed.
  bool (*write)(void* self, const char* name, long left, long right);
  // Lets go of the device.
  void (*close)(void* self);
  void* self;
};

// The mixer of ALSA's "default" control device.
const MixerBackend& AlsaMixerBackend();

// Starts opening ALSA's control device on a thread of its own; see OpenMixerAhead.
void OpenAlsaMixerAhead();

// Puts `backend` under the volume functions (nullptr: ALSA's again); returns the one before.
const MixerBackend* SetMixerBackend(const MixerBackend* backend);

}  // namespace platform
