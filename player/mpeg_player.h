// TMPEGPlayer: the playback component that binds the decoder library and drives one stream.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "player/mpeg_error.h"

class QTimer;

namespace player {

namespace detail {
class DecoderBinding;
enum class EntryPoint : std::size_t;
struct StreamCallbacks;
}  // namespace detail

// Thread priority handed to the decoder (the operating system's levels).
enum class TPlayPriority { Idle, Lowest, BelowNormal, Normal, AboveNormal, Highest, TimeCritical };

// Where the decoder sends the sound: the default output, or a PCM file named by OutFilename.
enum class TOutputDevice { wavemapper, pcmfile };

// The decoder's modes, as GetPlayerMode gives their codes.
enum class PlayerMode : std::int32_t {
  kClosed = 0,   // no stream open
  kOpened = 1,   // opened, not started yet
  kStopped = 2,  // started, then stopped (or its output failed)
  kPlaying = 3,
  kPaused = 4,
  kEnded = 5,  // played to its end
};

// A started stream, playing or paused: the only modes in which it can be stopped or sought.
constexpr bool IsStarted(PlayerMode mode) { return mode == PlayerMode::kPlaying || mode == PlayerMode::kPaused; }

class TMPEGPlayer;

// Events; an empty function means "not assigned".
using TOpenStreamEvent = std::function<void(bool& nonseekable, void*& context)>;
using TCloseStreamEvent = std::function<void(void* context)>;
using TRestartStreamEvent = std::function<void(void* context, bool& res)>;
using TReadStreamEvent =
    std::function<void(void* context, void* readBuffer, std::int32_t bytesToRead, std::int32_t& bytesRead, bool& res)>;
using TSeekStreamEvent =
    std::function<void(void* context, std::int32_t numbytes, std::int32_t moveMethod, std::int32_t& res)>;
using TGetStreamSizeEvent = std::function<void(void* context, std::int32_t& res)>;
using TPosUpdateEvent = std::function<void(std::int32_t pos, std::int32_t len)>;  // milliseconds
using TNotifyEvent = std::function<void(TMPEGPlayer& sender)>;
// An error the component met on its own, in its timers, for the owner to show.
using TErrorEvent = std::function<void(std::exception_ptr error)>;

class TMPEGPlayer {
 public:
  // Every property starts at zero, false or empty; the owner sets them after construction.
  TMPEGPlayer();
  // Frees the position timer and keeps the library loaded. A stream of the stream events is closed
  // first (the decoder would otherwise call the events of a component that is gone); a file stream
  // is left to the decoder.
  virtual ~TMPEGPlayer();
  TMPEGPlayer(const TMPEGPlayer&) = delete;
  TMPEGPlayer& operator=(const TMPEGPlayer&) = delete;

  // Stored only; nothing consults it.
  bool Seekable() const { return seekable_; }
  void SetSeekable(bool on) { seekable_ = on; }
  // Open plays through the stream events instead of StreamName.
  bool FromStream() const { return fromStream_; }
  void SetFromStream(bool on) { fromStream_ = on; }
  // Priority of the decoder's work; setting it tells a loaded decoder at once.
  TPlayPriority PlayerPriority() const;
  void SetPlayerPriority(TPlayPriority priority);
  // Position polling is wanted.
  bool UseTimer() const { return useTimer_; }
  void SetUseTimer(bool on) { useTimer_ = on; }
  // The longest time between two looks at the position, in milliseconds; 0 also switches UseTimer
  // off. Takes effect at LoadDecoder.
  std::int32_t TimerFreq() const { return timerFreq_; }
  void SetTimerFreq(std::int32_t milliseconds);
  // Open ends with Play.
  bool AutoPlay() const { return autoPlay_; }
  void SetAutoPlay(bool on) { autoPlay_ = on; }
  // The file to open; setting it closes an open stream (also when the name is unchanged).
  const std::string& StreamName() const { return streamName_; }
  void SetStreamName(std::string_view name);
  // pcmfile only sticks when OutFilename is already set.
  TOutputDevice OutputDevice() const;
  void SetOutputDevice(TOutputDevice device);
  // The PCM output file name.
  const std::string& OutFilename() const { return outFilename_; }
  void SetOutFilename(std::string_view name) { outFilename_ = name; }
  // Directory of the decoder library; empty = the program's own folder (never the current one).
  const std::string& PathToDLL() const { return pathToDll_; }
  void SetPathToDLL(std::string_view path) { pathToDll_ = path; }
  // Start and end position handed to the decoder's "Play" (milliseconds; 0 and 0 = all).
  std::int32_t StartPos() const { return startPos_; }
  void SetStartPos(std::int32_t milliseconds) { startPos_ = milliseconds; }
  std::int32_t EndPos() const { return endPos_; }
  void SetEndPos(std::int32_t milliseconds) { endPos_ = milliseconds; }
  // 0 when closed, 1 after Open, plus 1 for each start.
  std::int32_t PlayedXTimes() const { return playedXTimes_; }

  TOpenStreamEvent OnOpenStream;
  TCloseStreamEvent OnCloseStream;
  TRestartStreamEvent OnRestartStream;
  TGetStreamSizeEvent OnGetStreamSize;
  TSeekStreamEvent OnSeekStream;
  TReadStreamEvent OnReadStream;
  TPosUpdateEvent OnPosUpdate;
  TNotifyEvent OnPlayEnd;
  // Errors met by the position timer (a failed position poll, a fault the decoder reports, an
  // exception of OnPosUpdate or OnPlayEnd): the owner shows them; unassigned, they are written to
  // standard error. The component never shows anything itself.
  TErrorEvent OnError;
  // The stream stopped by itself before its end (its output failed): fired once by the position
  // timer, after the fault went to OnError or to the call that met it; the component is then no
  // longer playing, the stream stays open, and OnPlayEnd does not follow.
  TNotifyEvent OnPlayFault;

  // True while the open stream is paused.
  bool Paused() const { return paused_; }

  // The file name LoadDecoder loads for a given PathToDLL.
  static std::string DecoderFileName(std::string_view pathToDll);

  // Loads and binds the decoder, runs its "init" and creates the position timer.
  void LoadDecoder();
  // Closes an open stream, runs "deinit" and releases the decoder.
  void UnloadDecoder();
  // Opens StreamName (or the stream of the events with FromStream); ends with Play when AutoPlay.
  void Open();
  // Starts the stream (opening it first when needed), resumes it when paused, and reports the
  // start position at once (a resumed stream at the next turn of the event loop).
  void Play();
  // Plays the opened stream again from its start position.
  void Restart();
  // True pauses the playing stream, false resumes it. Nothing is polled while paused.
  void Pause(bool pause);
  // Stops the started stream; "Incorrect mode" when nothing plays.
  void Stop();
  // Closes the stream (the decoder is told even when none is open).
  void Close();
  // Moves the stream to `milliseconds` from its start; a playing stream's new position is reported at
  // the next turn of the event loop.
  void Seek(std::int32_t milliseconds);
  // The decoder's mode code (3 and 4: a started stream, playing or paused).
  std::int32_t GetPlayerMode();
  // The same as a PlayerMode.
  PlayerMode Mode() { return static_cast<PlayerMode>(GetPlayerMode()); }
  // Position and length of the stream in milliseconds.
  std::int32_t GetCurrentPos();
  std::int32_t GetLength();
  // The decoder's "LastError", or 0 when no decoder is bound.
  std::int32_t LastError();
  // True while a decoder is loaded.
  bool DecoderLoaded() const;
  // True once the decoder has set the end-of-stream byte and the end has not been taken yet (by
  // the tick that raises OnPlayEnd, or by the next start).
  bool EndReached() const;
  // The position timer, once LoadDecoder has made it. Its interval is TimerFreq until the first
  // start; while a stream plays, each look arms the next one.
  const QTimer* PositionTimer() const { return positionTimer_.get(); }
  // True while the end byte is watched closely: during the last stretch of a playing stream.
  bool WatchingEnd() const;

  // Handler of the position timer: reports the position and the end of play. While the stream
  // plays, the next look comes just after the heard position reaches its next whole second, so
  // that the elapsed time shown changes with the second heard; never later than TimerFreq.
  virtual void TimerTick();

 private:
  void RequireLibrary() const;
  void Check();
  [[noreturn]] void RaiseLastError() const;
  template <typename Function>
  std::int32_t CallAndCheck(detail::EntryPoint entry);
  void ClearEndReached();
  // Runs `tick` for a timer; whatever it throws goes to OnError.
  template <typename Tick>
  void Guarded(Tick tick) noexcept;
  // Ends a started stream that the decoder no longer plays and raises OnPlayFault.
  void EndAfterFault();
  // True when the decoder has stopped a stream the component still takes for playing.
  bool StoppedByItself();
  void StartPositionTimer();
  // Arms the position timer to look in `milliseconds`, while a stream plays and polling is on.
  void ArmLook(int milliseconds);
  // Arms the look just after the heard position `heard` reaches its next whole second.
  void ArmNextSecond(std::int32_t heard);
  // Looks at the position at the next turn of the event loop (after a resume or a seek).
  void LookSoon();
  void WatchForEnd(std::int32_t position);
  void EndWatchTick();
  // TimerTick's report and end, with the events' exceptions held until both are done.
  void ReportAndEnd(std::int32_t heard);

  friend struct detail::StreamCallbacks;

  bool seekable_ = false;
  bool fromStream_ = false;
  bool useTimer_ = false;
  std::int32_t timerFreq_ = 0;
  bool autoPlay_ = false;
  std::string streamName_;
  std::string outFilename_;
  std::string pathToDll_;
  std::int32_t startPos_ = 0;
  std::int32_t endPos_ = 0;
  std::int32_t playedXTimes_ = 0;

  std::unique_ptr<detail::DecoderBinding> decoder_;
  bool streamOpen_ = false;
  bool playing_ = false;  // stays true while paused
  bool paused_ = false;
  // Set by the decoder from its own thread. It lives on the heap so that a decoder still playing
  // when the component is destroyed (the window never unloads it) writes into memory that stays.
  std::uint8_t* endReached_;
  std::int32_t priorityValue_ = 0;
  std::int32_t outputDeviceCode_ = 0;
  std::int32_t streamLength_ = 0;  // milliseconds
  std::int32_t lastErrorCode_ = 0;
  bool streamFromEvents_ = false;  // the open stream is read through the stream events
  // An open event threw: the decoder gets failures instead of the owner's events until the next
  // open (read on the decoder's thread).
  std::atomic<bool> streamEventsRefused_{false};
  int pollPeriod_ = 0;                                 // the position timer's longest period; 0 = no polling
  std::int32_t nextSecondAt_ = -1;                     // the heard position the armed look waits for; -1: none
  int looksAgain_ = 0;                                 // looks left before that position while it moves
  std::int32_t lastHeard_ = -1;                        // the heard position at the last look
  std::chrono::steady_clock::time_point lastMovedAt_;  // when a look last found it moved
  bool positionFaultReported_ = false;                 // a failed position poll of this start was raised
  bool faultSeen_ = false;                             // a call met a fault of the stream since its start
  std::unique_ptr<QTimer> positionTimer_;
  // Near the end of a stream the end byte is watched closely, so that the end is reported when the
  // last sample has been heard rather than at the next position tick.
  std::unique_ptr<QTimer> endWatch_;
};

}  // namespace player
