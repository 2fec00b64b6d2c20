// A private PulseAudio sound server with a null sink, started by a test so that playback is heard
// for real (recorded from the sink's monitor) and the volume is the real mixer's.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

class PulseServer {
 public:
  // The null sink every client of the server plays into.
  static constexpr const char* kSink = "albavox_null";
  static constexpr int kRate = 44100;  // the sink's sample rate; s16le, two channels

  // Starts the server in a private runtime folder and points this process's sound clients at it
  // (PULSE_SERVER; ALSA's "default" then reaches it through the pulse plugin). Running() tells
  // whether it came up; Why() says why not.
  PulseServer();
  // Stops the server and restores the environment.
  ~PulseServer();
  PulseServer(const PulseServer&) = delete;
  PulseServer& operator=(const PulseServer&) = delete;

  bool Running() const { return pid_ > 0; }
  const std::string& Why() const { return why_; }

  // Runs `pactl ARGS` against the server; its standard output, or nullopt-like "" with ok=false.
  bool Pactl(const std::string& args, std::string* output = nullptr) const;
  // The sink's volume of the left and right channels as raw PulseAudio values (0..65536 = 100 %).
  bool SinkVolume(std::uint32_t& left, std::uint32_t& right) const;
  bool SetSinkVolume(std::uint32_t left, std::uint32_t right) const;

  // Records the sink's monitor (s16le, two channels, kRate) into a file until Stop.
  class Recording {
   public:
    explicit Recording(const PulseServer& server);
    ~Recording();
    Recording(const Recording&) = delete;
    Recording& operator=(const Recording&) = delete;
    // True once the recorder is connected and data flows.
    bool Started() const { return started_; }
    // Ends the recording; the interleaved samples recorded.
    std::vector<std::int16_t> Stop();
    // Samples recorded so far (frames = size / 2).
    std::size_t FramesSoFar() const;

   private:
    std::string file_;
    pid_t pid_ = -1;
    bool started_ = false;
  };

 private:
  std::string runtimeDir_;
  std::string socket_;
  std::string previousServer_;
  bool hadPreviousServer_ = false;
  std::string previousAlsaConfig_;
  bool hadPreviousAlsaConfig_ = false;
  pid_t pid_ = -1;
  std::string why_;
};

// Index of the first frame whose left or right sample's magnitude reaches `threshold`; -1 if none.
long FirstSoundFrame(const std::vector<std::int16_t>& interleaved, int threshold = 64);

}  // namespace testsupport
