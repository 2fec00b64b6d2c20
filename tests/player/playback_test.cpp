// TMPEGPlayer's stream operations against the scripted fake decoder: the call orders of opening,
// starting, restarting, pausing and seeking, their failures, the position timer and the callbacks.
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

#include "mpegdll/mpegdll.h"
#include "player/mpeg_player.h"
#include "tests/player/fake_decoder_control.h"
#include "tests/support/temp_dir.h"

namespace {

using player::TMPEGError;
using player::TMPEGPlayer;
using testsupport::FakeDecoder;

using Raised = std::optional<std::pair<std::string, int>>;

template <typename Action>
Raised RaisedBy(Action&& action) {
  try {
    action();
  } catch (const TMPEGError& e) {
    return std::make_pair(std::string(e.what()), static_cast<int>(e.ErrorCode()));
  }
  return std::nullopt;
}

int CodeRaisedBy(const std::function<void()>& action) {
  const Raised raised = RaisedBy(action);
  return raised ? raised->second : -1;
}

// The window's settings: timer on at 1000 ms, output to the sound device, a named song.
class Playback : public ::testing::Test {
 protected:
  void SetUp() override {
    fake_.emplace(FakeDecoder::InstallAs(dir_.path(), "MPEGDLL.DLL"));
    player_.SetPathToDLL(dir_.str());
    player_.SetUseTimer(true);
    player_.SetTimerFreq(1000);
    player_.LoadDecoder();
    player_.SetStreamName("./Album/song.mp3");
    player_.OnPosUpdate = [this](std::int32_t pos, std::int32_t len) { reports_.push_back({pos, len}); };
    fake_->SetResult("GetLength", 180000);
    fake_->SetResult("GetPlayerMode", static_cast<std::int32_t>(player::PlayerMode::kPlaying));
    fake_->ClearLog();
  }

  testsupport::TempDir dir_;
  std::optional<FakeDecoder> fake_;
  TMPEGPlayer player_;
  std::vector<std::pair<std::int32_t, std::int32_t>> reports_;
};

TEST_F(Playback, OpenHandsTheNameAndReadsTheLength) {
  player_.Open();
  EXPECT_EQ(fake_->Log(), "Open(./Album/song.mp3,0,0 callbacks,null);LastError;GetLength;LastError;");
  EXPECT_EQ(player_.PlayedXTimes(), 1);
  // Opening again closes the open stream first.
  fake_->ClearLog();
  player_.Open();
  EXPECT_EQ(fake_->Log(), "Close;LastError;Open(./Album/song.mp3,0,0 callbacks,null);LastError;GetLength;LastError;");
}

TEST_F(Playback, OpenFailuresLeaveTheStreamClosed) {
  player_.SetStreamName("");
  EXPECT_EQ(RaisedBy([&] { player_.Open(); }), Raised({"Can't play non-specified stream", 254}));
  EXPECT_EQ(RaisedBy([&] { player_.Play(); }), Raised({"Can't play non-specified stream", 254}));
  EXPECT_EQ(fake_->Log(), "");

  player_.SetStreamName("./Album/missing.mp3");
  fake_->SetError("Open", 3);
  EXPECT_EQ(RaisedBy([&] { player_.Open(); }), Raised({"Input stream error", 3}));
  EXPECT_EQ(player_.PlayedXTimes(), 0);
  // Not open: a Play opens again instead of starting a stream that is not there.
  fake_->ClearLog();
  EXPECT_EQ(CodeRaisedBy([&] { player_.Play(); }), 3);
  EXPECT_EQ(fake_->Log(), "Open(./Album/missing.mp3,0,0 callbacks,null);LastError;");
}

TEST_F(Playback, NamesThatDoNotFitTheDecodersBuffersAreRefusedNotCut) {
  player_.SetStreamName("./" + std::string(509, 'a'));  // 511 bytes: fits with its zero
  EXPECT_EQ(CodeRaisedBy([&] { player_.Open(); }), -1);
  player_.SetStreamName("./" + std::string(510, 'a'));
  fake_->ClearLog();
  EXPECT_EQ(CodeRaisedBy([&] { player_.Open(); }), player::kErrorNameTooLong);
  player_.SetStreamName(std::string("./a\0b.mp3", 9));
  EXPECT_EQ(CodeRaisedBy([&] { player_.Open(); }), player::kErrorNameTooLong);
  EXPECT_EQ(fake_->Log(), "") << "nothing is handed to the decoder";

  player_.SetStreamName("./Album/song.mp3");
  player_.SetOutFilename(std::string(260, 'w'));
  player_.SetOutputDevice(player::TOutputDevice::pcmfile);
  EXPECT_EQ(CodeRaisedBy([&] { player_.Play(); }), player::kErrorNameTooLong);
  EXPECT_EQ(fake_->Log().find("SetOutputDevice"), std::string::npos);
  player_.SetOutFilename(std::string(259, 'w'));
  fake_->ClearLog();
  EXPECT_EQ(CodeRaisedBy([&] { player_.Play(); }), -1);
  EXPECT_NE(fake_->Log().find("SetOutputDevice(2," + std::string(259, 'w') + ")"), std::string::npos);
}

TEST_F(Playback, FirstStartSetsPriorityAndDeviceThenPlaysAndReportsTheStart) {
  fake_->SetResult("GetCurrentPos", 0);
  player_.SetStartPos(1500);
  player_.SetEndPos(9000);
  player_.Play();
  EXPECT_EQ(fake_->Log(),
            "Open(./Album/song.mp3,0,0 callbacks,null);LastError;GetLength;LastError;"
            "SetPriority(0);LastError;SetOutputDevice(0,);LastError;Play(1500,9000);LastError;"
            "GetCurrentPos;LastError;");
  EXPECT_EQ(player_.PlayedXTimes(), 2);
  EXPECT_TRUE(player_.PositionTimer()->isActive());
  ASSERT_EQ(reports_.size(), 1u);
  EXPECT_EQ(reports_[0], std::make_pair(0, 180000));
  // Playing: another Play does nothing.
  fake_->ClearLog();
  player_.Play();
  EXPECT_EQ(fake_->Log(), "");
}

TEST_F(Playback, FailedFirstStartLeavesTheStreamNotPlaying) {
  fake_->SetResult("Play", 1);  // refused without a code: "MPEG library not loaded"
  EXPECT_EQ(RaisedBy([&] { player_.Play(); }), Raised({"MPEG library not loaded", 0}));
  EXPECT_EQ(player_.PlayedXTimes(), 1);
  EXPECT_FALSE(player_.PositionTimer()->isActive());
  EXPECT_EQ(CodeRaisedBy([&] { player_.Stop(); }), 2);
  fake_->SetResult("Play", 0);
  fake_->SetError("Play", 5);
  EXPECT_EQ(RaisedBy([&] { player_.Play(); }), Raised({"Output device failure", 5}));
  fake_->SetError("Play", 0);
  fake_->SetError("SetOutputDevice", 5);
  fake_->ClearLog();
  EXPECT_EQ(CodeRaisedBy([&] { player_.Play(); }), 5);
  EXPECT_EQ(fake_->Log(), "SetPriority(0);LastError;SetOutputDevice(0,);LastError;");
}

TEST_F(Playback, PauseResumeStopAndPlayAgainRestarts) {
  player_.Play();
  fake_->ClearLog();
  player_.Pause(true);
  EXPECT_TRUE(player_.Paused());
  player_.Play();  // resumes, does not reopen
  EXPECT_FALSE(player_.Paused());
  EXPECT_EQ(fake_->Log(), "Pause(0);LastError;Pause(1);LastError;");

  fake_->ClearLog();
  player_.Stop();
  EXPECT_FALSE(player_.PositionTimer()->isActive() && player_.Paused());
  player_.Play();  // the opened stream is started again through "Restart"
  EXPECT_EQ(fake_->Log(), "Stop;LastError;Restart;LastError;GetCurrentPos;LastError;");
  EXPECT_EQ(player_.PlayedXTimes(), 3);

  player_.Seek(42000);
  EXPECT_NE(fake_->Log().find("Seek(42000);LastError;"), std::string::npos);
}

TEST_F(Playback, PauseAndRestartWithoutAStartedStream) {
  EXPECT_EQ(RaisedBy([&] { player_.Pause(true); }), Raised({"Incorrect mode", 2}));
  EXPECT_EQ(RaisedBy([&] { player_.Pause(false); }), std::nullopt);
  EXPECT_EQ(RaisedBy([&] { player_.Restart(); }), Raised({"Incorrect mode", 2}));
  EXPECT_EQ(fake_->Log(), "");
  // A stream that reached its end takes no pause either.
  player_.Play();
  ASSERT_TRUE(fake_->EndStream());
  EXPECT_EQ(CodeRaisedBy([&] { player_.Pause(true); }), 2);
  EXPECT_EQ(CodeRaisedBy([&] { player_.Stop(); }), 2);
}

TEST_F(Playback, EndTickReportsThePositionThenTheEndOnce) {
  int ends = 0;
  player_.OnPlayEnd = [&](TMPEGPlayer& sender) {
    EXPECT_EQ(&sender, &player_);
    ++ends;
  };
  player_.Play();
  fake_->SetResult("GetCurrentPos", 190000);  // beyond the length: reported as 0
  ASSERT_TRUE(fake_->EndStream());
  player_.TimerTick();
  player_.TimerTick();
  EXPECT_EQ(ends, 1);
  ASSERT_EQ(reports_.size(), 2u);
  EXPECT_EQ(reports_[1], std::make_pair(0, 180000));
  EXPECT_FALSE(player_.PositionTimer()->isActive());
  // The end was taken: a new start is not ended at its first tick.
  player_.Play();
  player_.TimerTick();
  EXPECT_EQ(ends, 1);
}

TEST_F(Playback, WithoutAnEndHandlerTheEndByteWaitsForTheNextRestart) {
  player_.Play();
  ASSERT_TRUE(fake_->EndStream());
  player_.TimerTick();
  EXPECT_EQ(CodeRaisedBy([&] { player_.Pause(true); }), 2) << "the end byte is still set";
  player_.Restart();
  EXPECT_EQ(CodeRaisedBy([&] { player_.Pause(true); }), -1);
}

TEST_F(Playback, AFailingPositionIsReportedOnceAndTheEndStillComes) {
  int ends = 0;
  player_.OnPlayEnd = [&](TMPEGPlayer&) { ++ends; };
  player_.Play();
  fake_->SetError("GetCurrentPos", 3);
  EXPECT_EQ(CodeRaisedBy([&] { player_.TimerTick(); }), 3);
  EXPECT_TRUE(player_.PositionTimer()->isActive()) << "the end of the stream must still be seen";
  EXPECT_EQ(CodeRaisedBy([&] { player_.TimerTick(); }), -1) << "a lasting fault is not reported at every tick";
  EXPECT_EQ(reports_.size(), 1u) << "only the start position";

  fake_->SetError("GetCurrentPos", 0);  // the decoder has ended the stream the fault cut short
  ASSERT_TRUE(fake_->EndStream());
  EXPECT_EQ(CodeRaisedBy([&] { player_.TimerTick(); }), -1);
  EXPECT_EQ(ends, 1);
  EXPECT_FALSE(player_.PositionTimer()->isActive());

  player_.Restart();  // a new start reports a new fault again
  fake_->SetError("GetCurrentPos", 3);
  EXPECT_EQ(CodeRaisedBy([&] { player_.TimerTick(); }), 3);
}

TEST_F(Playback, AStreamTheDecoderStoppedOnAFaultEndsOnceWithoutPlayEnd) {
  int ends = 0;
  int faults = 0;
  player_.OnPlayEnd = [&](TMPEGPlayer&) { ++ends; };
  player_.OnPlayFault = [&](TMPEGPlayer&) { ++faults; };
  // Taken by the position poll, or by another call of the owner before it.
  for (const bool byPoll : {true, false}) {
    player_.Close();
    player_.Play();
    fake_->SetResult("GetPlayerMode", static_cast<std::int32_t>(player::PlayerMode::kStopped));
    if (byPoll) {
      fake_->SetError("GetCurrentPos", 5);
      EXPECT_EQ(CodeRaisedBy([&] { player_.TimerTick(); }), 5);
      fake_->SetError("GetCurrentPos", 0);
    } else {
      fake_->SetError("Pause", 5);
      EXPECT_EQ(CodeRaisedBy([&] { player_.Pause(true); }), 5);
      fake_->SetError("Pause", 0);
      player_.TimerTick();
    }
    EXPECT_FALSE(player_.PositionTimer()->isActive());
    player_.TimerTick();
    fake_->SetResult("GetPlayerMode", static_cast<std::int32_t>(player::PlayerMode::kPlaying));
  }
  EXPECT_EQ(faults, 2);
  EXPECT_EQ(ends, 0);
  player_.Play();  // plays again
  EXPECT_TRUE(player_.PositionTimer()->isActive());
}

// A look is armed for just after the heard second (within 100 ms), never later than TimerFreq, or
// sooner again, a few times. Rows: the heard position, the range in ms the next look is armed in.
TEST_F(Playback, EachLookIsArmedForJustAfterTheNextWholeSecondHeard) {
  const int looks[][3] = {{880, 40, 120},     // the sound started late: again before the second
                          {1016, 984, 1084},  // steady: once a second
                          {1990, 40, 100},    // a step behind the second
                          {3020, 980, 1080}};
  fake_->SetResult("GetCurrentPos", 0);
  player_.Play();
  EXPECT_EQ(player_.PositionTimer()->interval(), 1000) << "never later than the period";
  const auto armedAt = [&](std::int32_t heard) {
    fake_->SetResult("GetCurrentPos", heard);
    player_.TimerTick();
    return player_.PositionTimer()->interval();
  };
  for (const auto& [heard, from, to] : looks) {
    const int armed = armedAt(heard);
    EXPECT_GE(armed, from) << heard;
    EXPECT_LE(armed, to) << heard;
  }
  const std::size_t reported = reports_.size();
  int again = 0;
  while (++again < 20 && armedAt(3990) < 1000) {
  }
  EXPECT_LT(again, 20) << "a position short of the second is looked at once a period in the end";
  EXPECT_EQ(reports_.size(), reported) << "looks that find the same second report nothing";
  player_.Pause(true);
  EXPECT_FALSE(player_.PositionTimer()->isActive()) << "nothing moves while paused";
  player_.Play();
  EXPECT_EQ(player_.PositionTimer()->interval(), 0) << "resumed: a look at once";
  player_.TimerTick();
  player_.Seek(60000);
  EXPECT_EQ(player_.PositionTimer()->interval(), 0) << "sought: a look at once";
}

// The end byte is watched closely only near the end: not after a seek back, nor for an unknown
// length; an end tick whose report throws still takes the end.
TEST_F(Playback, TheEndIsWatchedOnlyDuringTheLastStretch) {
  player_.Play();
  const auto watchingAt = [&](std::int32_t heard) {
    fake_->SetResult("GetCurrentPos", heard);
    player_.TimerTick();
    return player_.WatchingEnd();
  };
  EXPECT_TRUE(watchingAt(179000));
  player_.Seek(20000);
  EXPECT_FALSE(watchingAt(20000)) << "sought back out of the last stretch";
  EXPECT_TRUE(watchingAt(179500));

  int ends = 0;
  player_.OnPlayEnd = [&](TMPEGPlayer&) { ++ends; };
  player_.OnPosUpdate = [](std::int32_t, std::int32_t) { throw std::runtime_error("the owner's report failed"); };
  ASSERT_TRUE(fake_->EndStream());
  EXPECT_THROW(player_.TimerTick(), std::runtime_error);
  EXPECT_EQ(ends, 1);
  EXPECT_FALSE(player_.WatchingEnd());
  EXPECT_FALSE(player_.PositionTimer()->isActive());

  fake_->SetResult("GetLength", 0);  // a stream of unknown length
  player_.Close();
  player_.OnPosUpdate = nullptr;
  player_.Play();
  EXPECT_FALSE(watchingAt(100));
}

TEST_F(Playback, TimerOffMeansNoReportsAtAll) {
  TMPEGPlayer quiet;
  quiet.SetPathToDLL(dir_.str());
  quiet.SetTimerFreq(0);
  quiet.LoadDecoder();
  quiet.SetStreamName("./Album/song.mp3");
  int reports = 0;
  quiet.OnPosUpdate = [&](std::int32_t, std::int32_t) { ++reports; };
  quiet.Play();
  EXPECT_FALSE(quiet.PositionTimer()->isActive());
  EXPECT_EQ(reports, 0);
}

TEST_F(Playback, AutoPlayStartsOnOpenAndStreamNameClosesEvenWhenUnchanged) {
  player_.SetAutoPlay(true);
  player_.Open();
  EXPECT_EQ(player_.PlayedXTimes(), 2);
  fake_->ClearLog();
  player_.SetStreamName("./Album/song.mp3");
  EXPECT_EQ(fake_->Log(), "Close;LastError;");
  EXPECT_EQ(player_.PlayedXTimes(), 0);
}

TEST_F(Playback, StreamEventsGetTheCallbacksAndTheirDefaults) {
  player_.SetFromStream(true);
  player_.Open();
  EXPECT_EQ(fake_->Log().substr(0, 32), "Open(null,1,6 callbacks,user);La");
  ASSERT_EQ(fake_->StreamUser(), &player_);
  void* user = fake_->StreamUser();
  auto open = reinterpret_cast<MpegOpenStreamCallback>(fake_->StreamCallback(0));
  auto restart = reinterpret_cast<MpegRestartStreamCallback>(fake_->StreamCallback(2));
  auto read = reinterpret_cast<MpegReadStreamCallback>(fake_->StreamCallback(3));
  auto seek = reinterpret_cast<MpegSeekStreamCallback>(fake_->StreamCallback(4));
  auto size = reinterpret_cast<MpegGetStreamSizeCallback>(fake_->StreamCallback(5));
  auto close = reinterpret_cast<MpegCloseStreamCallback>(fake_->StreamCallback(1));

  // Unassigned events: the defaults.
  int marker = 0;
  MpegBool flag = 1;
  void* context = &marker;
  open(user, &flag, &context);
  EXPECT_EQ(context, nullptr);
  restart(user, nullptr, &flag);
  EXPECT_EQ(flag, 0);
  flag = 1;
  std::int32_t count = 7;
  read(user, nullptr, nullptr, 10, &count, &flag);
  EXPECT_EQ(flag, 0);
  std::int32_t result = 5;
  seek(user, nullptr, 0, 0, &result);
  EXPECT_EQ(result, -1);
  result = 5;
  size(user, nullptr, &result);
  EXPECT_EQ(result, -1);
  close(user, nullptr);

  // Assigned events: forwarded with their arguments, results passed back.
  const std::string data = "0123456789";
  player_.OnOpenStream = [&](bool& nonseekable, void*& ctx) {
    nonseekable = true;
    ctx = &marker;
  };
  player_.OnReadStream = [&](void* ctx, void* buffer, std::int32_t want, std::int32_t& got, bool& ok) {
    EXPECT_EQ(ctx, &marker);
    got = std::min<std::int32_t>(want, static_cast<std::int32_t>(data.size()));
    std::memcpy(buffer, data.data(), static_cast<std::size_t>(got));
    ok = true;
  };
  player_.OnSeekStream = [&](void*, std::int32_t bytes, std::int32_t method, std::int32_t& res) {
    res = bytes * 10 + method;
  };
  player_.OnGetStreamSize = [&](void*, std::int32_t& res) { res = 10; };
  player_.OnRestartStream = [&](void*, bool& ok) { ok = true; };
  void* closed = nullptr;
  player_.OnCloseStream = [&](void* ctx) { closed = ctx; };

  flag = 0;
  open(user, &flag, &context);
  EXPECT_EQ(flag, 1);
  EXPECT_EQ(context, &marker);
  char buffer[4] = {};
  read(user, context, buffer, 4, &count, &flag);
  EXPECT_EQ(count, 4);
  EXPECT_EQ(std::string(buffer, 4), "0123");
  EXPECT_EQ(flag, 1);
  seek(user, context, -3, 2, &result);
  EXPECT_EQ(result, -28);
  size(user, context, &result);
  EXPECT_EQ(result, 10);
  flag = 0;
  restart(user, context, &flag);
  EXPECT_EQ(flag, 1);
  close(user, context);
  EXPECT_EQ(closed, &marker);
}

// An event that throws answers as a failed one; after an open event that threw, the stream reaches
// none of the owner's events.
TEST_F(Playback, StreamEventsThatThrowAnswerAsFailedOnes) {
  player_.SetFromStream(true);
  player_.Open();
  void* user = fake_->StreamUser();
  auto open = reinterpret_cast<MpegOpenStreamCallback>(fake_->StreamCallback(0));
  auto close = reinterpret_cast<MpegCloseStreamCallback>(fake_->StreamCallback(1));
  auto restart = reinterpret_cast<MpegRestartStreamCallback>(fake_->StreamCallback(2));
  auto read = reinterpret_cast<MpegReadStreamCallback>(fake_->StreamCallback(3));
  auto seek = reinterpret_cast<MpegSeekStreamCallback>(fake_->StreamCallback(4));
  auto size = reinterpret_cast<MpegGetStreamSizeCallback>(fake_->StreamCallback(5));
  const auto fail = [] { throw std::runtime_error("the owner's event failed"); };
  player_.OnOpenStream = [&](bool&, void*&) { fail(); };
  player_.OnCloseStream = [&](void*) { fail(); };
  player_.OnRestartStream = [&](void*, bool& ok) { ok = true, fail(); };
  player_.OnReadStream = [&](void*, void*, std::int32_t, std::int32_t&, bool& ok) { ok = true, fail(); };
  player_.OnSeekStream = [&](void*, std::int32_t, std::int32_t, std::int32_t& res) { res = 0, fail(); };
  player_.OnGetStreamSize = [&](void*, std::int32_t& res) { res = 10, fail(); };
  MpegBool ok = 1;
  std::int32_t got = 0, res = 5;
  void* context = user;
  // Each row runs one callback as the decoder does: true when it answered as a failure.
  const std::pair<const char*, std::function<bool()>> rows[] = {
      {"read", [&] { return read(user, nullptr, nullptr, 1, &got, &(ok = 1)), ok == 0; }},
      {"restart", [&] { return restart(user, nullptr, &(ok = 1)), ok == 0; }},
      {"seek", [&] { return seek(user, nullptr, 0, 0, &(res = 5)), res == -1; }},
      {"size", [&] { return size(user, nullptr, &(res = 5)), res == -1; }},
      {"close", [&] { return close(user, nullptr), true; }},
      {"open: no context, read forward only", [&] { return open(user, &(ok = 0), &context), ok && !context; }},
      {"read after the open failed",
       [&] {
         player_.OnReadStream = [](void*, void*, std::int32_t, std::int32_t&, bool& done) { done = true; };
         return read(user, nullptr, nullptr, 1, &got, &(ok = 1)), ok == 0;
       }},
  };
  for (const auto& [event, failed] : rows) {
    bool answer = false;
    EXPECT_NO_THROW(answer = failed()) << event;
    EXPECT_TRUE(answer) << event;
  }
}

// The decoder calls a stream's events until it is closed: a component that goes closes it first.
TEST_F(Playback, AComponentDestroyedWithAStreamOfTheEventsClosesItFirst) {
  {
    TMPEGPlayer owner;
    owner.SetPathToDLL(dir_.str());
    owner.LoadDecoder();
    owner.SetFromStream(true);
    owner.Open();
    fake_->ClearLog();
  }
  EXPECT_EQ(fake_->Log(), "Close;LastError;");
}

TEST_F(Playback, TheEndByteOutlivesAComponentDestroyedWhilePlaying) {
  {
    TMPEGPlayer window;
    window.SetPathToDLL(dir_.str());
    window.LoadDecoder();
    window.SetStreamName("./Album/song.mp3");
    window.Play();
    // The component goes while its decoder is loaded and playing, as at the end of the program.
  }
  // The decoder's thread sets the byte afterwards: this must write into memory that still exists
  // (the sanitizer build checks it).
  EXPECT_TRUE(fake_->EndStream());
}

}  // namespace
