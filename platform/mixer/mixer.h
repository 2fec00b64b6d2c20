// The system volume of the sound card's mixer, in the terms of the multimedia volume services:
// device counts per family, capabilities with their volume flags, and the volume as one 32-bit
// value holding the left channel's word (low 16 bits) and the right channel's (high 16 bits).
//
// Every family lives on the mixer of ALSA's "default" control device: the auxiliary devices are
// CD audio (element "CD") and line in ("Line"), the MIDI output is "Synth", and the wave output
// is "PCM", or "Master" where the card has no usable "PCM". Without a card every count is 0.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Outcome of a mixer call.
enum class MixerResult {
  kNoError,
  kError,         // the element vanished or the device stopped answering
  kBadDeviceId,   // no such device in the family (or no card at all)
  kNotSupported,  // the device has no volume that can be set
};

// Technology of an auxiliary device (tested as a bit mask).
constexpr std::uint16_t kAuxCapsCdAudio = 1;
constexpr std::uint16_t kAuxCapsAuxIn = 2;
// Support flags of the three families: the volume can be set, and set per channel.
constexpr std::uint32_t kAuxCapsVolume = 1;
constexpr std::uint32_t kAuxCapsLrVolume = 2;
constexpr std::uint32_t kMidiCapsVolume = 1;
constexpr std::uint32_t kMidiCapsLrVolume = 2;
constexpr std::uint32_t kWaveCapsVolume = 4;
constexpr std::uint32_t kWaveCapsLrVolume = 8;

struct AuxCaps {
  std::string name;              // the mixer element
  std::uint16_t technology = 0;  // kAuxCapsCdAudio or kAuxCapsAuxIn
  std::uint32_t support = 0;     // kAuxCaps... flags
};

struct MidiOutCaps {
  std::string name;
  std::uint32_t support = 0;  // kMidiCaps... flags
};

struct WaveOutCaps {
  std::string name;
  std::uint32_t support = 0;  // kWaveCaps... flags
};

// Auxiliary devices: 0 is CD audio, 1 is line in.
std::uint32_t AuxGetNumDevs();
MixerResult AuxGetDevCaps(std::int32_t device, AuxCaps& caps);
MixerResult AuxGetVolume(std::int32_t device, std::uint32_t& volume);
MixerResult AuxSetVolume(std::int32_t device, std::uint32_t volume);

// MIDI output: device 0.
std::uint32_t MidiOutGetNumDevs();
MixerResult MidiOutGetDevCaps(std::int32_t device, MidiOutCaps& caps);
MixerResult MidiOutGetVolume(std::int32_t device, std::uint32_t& volume);
MixerResult MidiOutSetVolume(std::int32_t device, std::uint32_t volume);

// Wave output: device 0.
std::uint32_t WaveOutGetNumDevs();
MixerResult WaveOutGetDevCaps(std::int32_t device, WaveOutCaps& caps);
MixerResult WaveOutGetVolume(std::int32_t device, std::uint32_t& volume);
MixerResult WaveOutSetVolume(std::int32_t device, std::uint32_t volume);

// A get fills `volume` only on success. A set that would leave the element's values as they
// are writes nothing, so that polling the volume does not wake the sound server; a mono
// element takes the left word.

// Lets go of the control device; the next call opens it again at once (a new sound server).
void CloseMixer();

// Starts opening ALSA's control device on a thread of its own while the program starts: reading
// ALSA's configuration and loading the sound server's plugins takes milliseconds. The first call
// of the functions above waits for it, and then finds the device as a call of its own would
// have. Does nothing while another mixer stands in for ALSA's, or when the device is open.
void OpenMixerAhead();

}  // namespace platform
