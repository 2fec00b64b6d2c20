// TMPEGPlayer: loading the decoder, the error checks, the stream state and the position timer.
#include "player/mpeg_player.h"

#include "player/detail/decoder_binding.h"

#include <QTimer>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <utility>
#include <vector>

#include "platform/library.h"
#include "platform/paths.h"

namespace player {

static_assert(static_cast<std::int32_t>(PlayerMode::kClosed) == MPEG_MODE_CLOSED &&
              static_cast<std::int32_t>(PlayerMode::kOpened) == MPEG_MODE_OPENED &&
              static_cast<std::int32_t>(PlayerMode::kStopped) == MPEG_MODE_STOPPED &&
              static_cast<std::int32_t>(PlayerMode::kPlaying) == MPEG_MODE_PLAYING &&
              static_cast<std::int32_t>(PlayerMode::kPaused) == MPEG_MODE_PAUSED &&
              static_cast<std::int32_t>(PlayerMode::kEnded) == MPEG_MODE_ENDED);
static_assert(kErrorIncorrectMode == MPEG_ERROR_MODE);

namespace {
using detail::EntryPoint;

// TPlayPriority (in declaration order) -> the thread priority value sent to "SetPriority".
constexpr std::array<std::pair<TPlayPriority, std::int32_t>, 7> kPriorityValues = {{
    {TPlayPriority::Idle, -15},
    {TPlayPriority::Lowest, -2},
    {TPlayPriority::BelowNormal, -1},
    {TPlayPriority::Normal, 0},
    {TPlayPriority::AboveNormal, 1},
    {TPlayPriority::Highest, 2},
    {TPlayPriority::TimeCritical, 15},
}};

// How often the end byte is looked at during the last stretch of a stream, and how long before the
// expected end that starts beyond one position period.
constexpr int kEndWatchPeriodMs = 4;
constexpr std::int32_t kEndWatchLeadMs = 500;

// How long after the heard position is expected to reach its next whole second it is looked at.
constexpr int kLookAfterSecondMs = 15;
// The decoder publishes the heard position as it feeds the sound device, a step at a time (a tenth
// of a second or more), so a look at the expected second often still reads the one before. Such a
// look is followed by a few more at least this far apart, while the stream moves: a position that
// has stood still for kStandingStillMs (a stall, a slow medium) is looked at once a period.
constexpr int kLookAgainMs = 40;
constexpr int kLooksAgain = 6;
constexpr auto kStandingStillMs = std::chrono::milliseconds(400);

// "Can't load MPEG library", then the file that was tried and why it could not be loaded.
std::string CannotLoadMessage() {
  const std::string why = platform::LastLibraryError();
  return why.empty() ? "Can't load MPEG library" : "Can't load MPEG library " + why;
}
}  // namespace

namespace {
// End bytes of components destroyed while their decoder was still loaded: the decoder's thread
// may still set them (at program end the window lets it run), so they are never freed. Reachable
// from here, they are not leaks.
std::vector<std::unique_ptr<std::uint8_t>>& RetiredEndBytes() {
  static auto* retired = new std::vector<std::unique_ptr<std::uint8_t>>;
  return *retired;
}
}  // namespace

TMPEGPlayer::TMPEGPlayer() : decoder_(std::make_unique<detail::DecoderBinding>()), endReached_(new std::uint8_t(0)) {}

TMPEGPlayer::~TMPEGPlayer() {
  if (streamOpen_ && streamFromEvents_ && decoder_->Loaded()) {
    try {
      Close();
    } catch (...) {
      // "Close" has let go of the stream whatever it reports; nothing can be told any more.
    }
  }
  if (decoder_->Loaded()) {
    RetiredEndBytes().emplace_back(endReached_);
  } else {
    delete endReached_;
  }
}

TPlayPriority TMPEGPlayer::PlayerPriority() const {
  for (const auto& [priority, value] : kPriorityValues) {
    if (value == priorityValue_) return priority;
  }
  return TPlayPriority::Normal;
}

void TMPEGPlayer::SetPlayerPriority(TPlayPriority priority) {
  for (const auto& [candidate, value] : kPriorityValues) {
    if (candidate == priority) priorityValue_ = value;
  }
  if (decoder_->Loaded()) {
    decoder_->Get<MpegDll_SetPriority_t>(EntryPoint::SetPriority)(priorityValue_);
    Check();
  }
}

void TMPEGPlayer::SetTimerFreq(std::int32_t milliseconds) {
  timerFreq_ = milliseconds;
  if (milliseconds == 0) useTimer_ = false;
}

void TMPEGPlayer::SetStreamName(std::string_view name) {
  streamName_ = name;
  if (streamOpen_) Close();
}

TOutputDevice TMPEGPlayer::OutputDevice() const {
  return outputDeviceCode_ != 0 ? TOutputDevice::pcmfile : TOutputDevice::wavemapper;
}

void TMPEGPlayer::SetOutputDevice(TOutputDevice device) {
  outputDeviceCode_ =
      device == TOutputDevice::pcmfile && !outFilename_.empty() ? MPEG_DEVICE_WAV_FILE : MPEG_DEVICE_WAVE_MAPPER;
}

std::string TMPEGPlayer::DecoderFileName(std::string_view pathToDll) {
  // On this system only '/' separates directories; ':' is an ordinary file-name character.
  std::string name(pathToDll);
  if (!name.empty() && name.back() != '/') name += '/';
  return name + "mpegdll.dll";
}

void TMPEGPlayer::LoadDecoder() {
  // Loading over a loaded decoder would orphan it with its stream; let it go properly first.
  if (decoder_->Loaded()) UnloadDecoder();
  switch (decoder_->Load(DecoderFileName(pathToDll_))) {
    case detail::DecoderBinding::LoadResult::kCannotLoad: throw TMPEGError(CannotLoadMessage(), 0);
    case detail::DecoderBinding::LoadResult::kMissingEntryPoint: throw TMPEGError(ErrorMessage(0), 0);
    case detail::DecoderBinding::LoadResult::kLoaded: break;
  }
  if (decoder_->Get<MpegDll_init_t>(EntryPoint::init)() == 0) {
    lastErrorCode_ = LastError();
    decoder_->Release();
    RaiseLastError();
  }
  // Made once: a load from inside one of the timers' own events must not destroy that timer.
  if (!positionTimer_) {
    positionTimer_ = std::make_unique<QTimer>();
    // Looks are armed for a given millisecond; a coarse timer could move them by tens of them.
    positionTimer_->setTimerType(Qt::PreciseTimer);
    QObject::connect(positionTimer_.get(), &QTimer::timeout, [this] { Guarded([this] { TimerTick(); }); });
    endWatch_ = std::make_unique<QTimer>();
    endWatch_->setTimerType(Qt::PreciseTimer);
    endWatch_->setInterval(kEndWatchPeriodMs);
    QObject::connect(endWatch_.get(), &QTimer::timeout, [this] { Guarded([this] { EndWatchTick(); }); });
  }
  positionTimer_->stop();
  endWatch_->stop();
  pollPeriod_ = useTimer_ ? timerFreq_ : 0;
  positionTimer_->setInterval(pollPeriod_);
  streamLength_ = 0;
}

void TMPEGPlayer::UnloadDecoder() {
  RequireLibrary();
  if (streamOpen_) Close();
  if (decoder_->Bound(EntryPoint::deinit)) decoder_->Get<MpegDll_deinit_t>(EntryPoint::deinit)();
  decoder_->Release();
}

void TMPEGPlayer::Stop() {
  // The mode test comes before the library test.
  if (!playing_ || EndReached()) throw TMPEGError(ErrorMessage(kErrorIncorrectMode), kErrorIncorrectMode);
  RequireLibrary();
  decoder_->Get<MpegDll_Stop_t>(EntryPoint::Stop)();
  Check();
  playing_ = false;
  paused_ = false;
}

void TMPEGPlayer::Close() {
  RequireLibrary();
  streamOpen_ = false;
  paused_ = false;
  playing_ = false;
  playedXTimes_ = 0;
  decoder_->Get<MpegDll_Close_t>(EntryPoint::Close)();
  Check();
}

std::int32_t TMPEGPlayer::GetPlayerMode() { return CallAndCheck<MpegDll_GetPlayerMode_t>(EntryPoint::GetPlayerMode); }

std::int32_t TMPEGPlayer::GetCurrentPos() { return CallAndCheck<MpegDll_GetCurrentPos_t>(EntryPoint::GetCurrentPos); }

std::int32_t TMPEGPlayer::GetLength() { return CallAndCheck<MpegDll_GetLength_t>(EntryPoint::GetLength); }

bool TMPEGPlayer::DecoderLoaded() const { return decoder_->Loaded(); }

bool TMPEGPlayer::WatchingEnd() const { return endWatch_ && endWatch_->isActive(); }

std::int32_t TMPEGPlayer::LastError() {
  if (!decoder_->Bound(EntryPoint::LastError)) return 0;
  return decoder_->Get<MpegDll_LastError_t>(EntryPoint::LastError)();
}

void TMPEGPlayer::TimerTick() {
  if (!streamOpen_ || !playing_) {
    if (positionTimer_) positionTimer_->stop();
    return;
  }
  // Whatever happens below, the next look comes within the period.
  ArmLook(pollPeriod_);
  std::int32_t position = 0;
  try {
    position = GetCurrentPos();
  } catch (const TMPEGError&) {
    // A fault of the stream (a medium that fails under the decoder, an output that went away) is
    // raised once per start: a lasting one would otherwise raise a new report every tick while the
    // first one still waits for the user. Polling goes on at its own pace, so that the end of a
    // stream the fault cut short is still seen; a stream the decoder gave up is ended here.
    endWatch_->stop();
    nextSecondAt_ = -1;
    faultSeen_ = true;
    const bool first = !positionFaultReported_;
    positionFaultReported_ = true;
    if (StoppedByItself()) EndAfterFault();
    if (first) throw;
    return;
  }
  ReportAndEnd(position);
}

void TMPEGPlayer::ReportAndEnd(std::int32_t heard) {
  // An event that throws still lets the tick take the end (the end watch would otherwise see the
  // same end, and raise the same error, every few milliseconds); the first error goes on after.
  std::exception_ptr error;
  const auto run = [&error](const auto& event, auto&&... arguments) {
    if (!event) return;
    try {
      event(arguments...);
    } catch (...) {
      if (!error) error = std::current_exception();
    }
  };
  // A look that finds the second it was armed for not reached yet has nothing new to show: the
  // reports stay about one a second.
  if (nextSecondAt_ < 0 || heard >= nextSecondAt_ || EndReached()) {
    run(OnPosUpdate, heard > streamLength_ ? 0 : heard, streamLength_);
  }
  if (!EndReached()) {
    if (faultSeen_ && StoppedByItself()) {
      EndAfterFault();
    } else {
      WatchForEnd(heard);
      ArmNextSecond(heard);
    }
  } else {
    positionTimer_->stop();
    endWatch_->stop();
    playing_ = false;
    if (OnPlayEnd) {
      ClearEndReached();
      run(OnPlayEnd, *this);
    }
  }
  if (error) std::rethrow_exception(error);
}

// The decoder stops a stream whose output failed for good without setting the end byte: without
// this look at its mode the component would take it for playing until the user pressed Stop.
bool TMPEGPlayer::StoppedByItself() {
  if (!playing_ || EndReached()) return false;
  PlayerMode mode = PlayerMode::kPlaying;
  try {
    mode = Mode();
  } catch (const TMPEGError&) {
    return false;  // a second fault at once: the next tick looks again
  }
  return mode == PlayerMode::kClosed || mode == PlayerMode::kOpened || mode == PlayerMode::kStopped;
}

void TMPEGPlayer::EndAfterFault() {
  positionTimer_->stop();
  endWatch_->stop();
  playing_ = false;
  paused_ = false;
  if (OnPlayFault) OnPlayFault(*this);
}

template <typename Tick>
void TMPEGPlayer::Guarded(Tick tick) noexcept {
  try {
    tick();
  } catch (...) {
    try {
      if (OnError) {
        OnError(std::current_exception());
      } else {
        std::rethrow_exception(std::current_exception());
      }
    } catch (const std::exception& error) {
      std::fprintf(stderr, "%s\n", error.what());
    } catch (...) {
      // Nothing more can be said of it; it must not reach the timer's caller.
    }
  }
}

// The end byte is watched closely from shortly before the expected end; a seek back out of that
// stretch, or a position past a length that was only an estimate, ends the watch.
void TMPEGPlayer::WatchForEnd(std::int32_t position) {
  if (!endWatch_ || paused_) return;
  const std::int32_t left = streamLength_ - position;
  if (streamLength_ <= 0 || left < 0 || left > pollPeriod_ + kEndWatchLeadMs) {
    endWatch_->stop();
  } else if (!endWatch_->isActive()) {
    endWatch_->start();
  }
}

void TMPEGPlayer::ArmLook(int milliseconds) {
  if (!positionTimer_ || pollPeriod_ <= 0 || paused_) return;
  positionTimer_->start(milliseconds);
}

void TMPEGPlayer::ArmNextSecond(std::int32_t heard) {
  if (!positionTimer_ || pollPeriod_ <= 0 || paused_) return;
  heard = std::max<std::int32_t>(heard, 0);
  const auto now = std::chrono::steady_clock::now();
  if (heard != lastHeard_) lastMovedAt_ = now;
  lastHeard_ = heard;
  if (nextSecondAt_ >= 0 && heard < nextSecondAt_) {
    // Before the second waited for: look again soon while the position moves; otherwise the
    // period armed at the start of the tick stands.
    if (looksAgain_ > 0 && now - lastMovedAt_ < kStandingStillMs) {
      --looksAgain_;
      // The position read may be a step behind the one heard: go half the way to the second.
      const std::int64_t half = (std::int64_t{nextSecondAt_} - heard) / 2;
      positionTimer_->start(
          static_cast<int>(std::min<std::int64_t>(std::max<std::int64_t>(half, kLookAgainMs), pollPeriod_)));
    } else {
      nextSecondAt_ = -1;
    }
    return;
  }
  const std::int64_t next = (std::int64_t{heard} / 1000 + 1) * 1000;
  if (next - heard > pollPeriod_) {
    nextSecondAt_ = -1;  // beyond the period armed at the start of the tick
    return;
  }
  nextSecondAt_ = static_cast<std::int32_t>(next);
  looksAgain_ = kLooksAgain;
  positionTimer_->start(static_cast<int>(std::min<std::int64_t>(next - heard + kLookAfterSecondMs, pollPeriod_)));
}

void TMPEGPlayer::LookSoon() {
  nextSecondAt_ = -1;
  lastMovedAt_ = std::chrono::steady_clock::now();
  ArmLook(0);
}

// Only the byte is read here; the tick that follows reports the position first and then the end,
// exactly as a position tick that saw the end would.
void TMPEGPlayer::EndWatchTick() {
  if (!streamOpen_ || !playing_ || paused_) {
    endWatch_->stop();
    return;
  }
  if (EndReached()) TimerTick();
}

void TMPEGPlayer::RequireLibrary() const {
  if (!decoder_->Loaded()) throw TMPEGError(ErrorMessage(0), 0);
}

void TMPEGPlayer::Check() {
  lastErrorCode_ = LastError();
  if (lastErrorCode_ <= 0) return;
  // Whoever meets a fault of a playing stream, the position timer then looks whether the decoder
  // still plays it.
  if (playing_) faultSeen_ = true;
  RaiseLastError();
}

void TMPEGPlayer::RaiseLastError() const {
  throw TMPEGError(ErrorMessage(lastErrorCode_), static_cast<std::uint8_t>(lastErrorCode_));
}

template <typename Function>
std::int32_t TMPEGPlayer::CallAndCheck(EntryPoint entry) {
  RequireLibrary();
  std::int32_t result = decoder_->Get<Function>(entry)();
  Check();
  return result;
}

// The decoder writes the end-of-stream byte from its own thread; never let the compiler keep it
// in a register.
bool TMPEGPlayer::EndReached() const { return std::atomic_ref<std::uint8_t>(*endReached_).load() != 0; }

void TMPEGPlayer::ClearEndReached() { std::atomic_ref<std::uint8_t>(*endReached_).store(0); }

}  // namespace player
