// TMPEGPlayer against the scripted fake decoder: loading, binding, checks, errors and stream state.
#include "player/mpeg_player.h"

#include <QTimer>

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <optional>

#include "platform/library.h"
#include "platform/ui/message_box.h"
#include "tests/player/fake_decoder_control.h"
#include "tests/support/temp_dir.h"

namespace {

using player::TMPEGError;
using player::TMPEGPlayer;
using player::TOutputDevice;
using player::TPlayPriority;
using testsupport::FakeDecoder;
using testsupport::TempDir;

// Runs `action` and returns the TMPEGError it raised (nothing when it raised none).
template <typename Action>
std::optional<std::pair<std::string, int>> RaisedBy(Action&& action) {
  try {
    action();
  } catch (const TMPEGError& e) {
    return std::make_pair(std::string(e.what()), static_cast<int>(e.ErrorCode()));
  }
  return std::nullopt;
}

using Raised = std::optional<std::pair<std::string, int>>;
Raised Error(const std::string& message, int code) { return std::make_pair(message, code); }

// A folder holding the fake under the upper-case name a compilation disc uses.
class LoadedPlayer : public ::testing::Test {
 protected:
  void SetUp() override {
    library_ = FakeDecoder::InstallAs(dir_.path(), "MPEGDLL.DLL");
    fake_.emplace(library_);
    player_.SetPathToDLL(dir_.str());
    player_.SetUseTimer(true);
    player_.SetTimerFreq(1000);
    player_.LoadDecoder();
    fake_->ClearLog();
  }

  TempDir dir_;
  std::filesystem::path library_;
  std::optional<FakeDecoder> fake_;
  TMPEGPlayer player_;
};

TEST(MPEGPlayerTest, WithoutDecoderOperationsRaiseNotLoadedAndStopRaisesIncorrectMode) {
  TMPEGPlayer player;
  const Raised notLoaded = Error("MPEG library not loaded", 0);
  EXPECT_EQ(RaisedBy([&] { player.UnloadDecoder(); }), notLoaded);
  EXPECT_EQ(RaisedBy([&] { player.Close(); }), notLoaded);
  EXPECT_EQ(RaisedBy([&] { player.GetPlayerMode(); }), notLoaded);
  EXPECT_EQ(RaisedBy([&] { player.GetCurrentPos(); }), notLoaded);
  EXPECT_EQ(RaisedBy([&] { player.GetLength(); }), notLoaded);
  EXPECT_EQ(RaisedBy([&] { player.Stop(); }), Error("Incorrect mode", 2));
  EXPECT_EQ(player.LastError(), 0);
  // Without a decoder the priority is only stored.
  EXPECT_EQ(RaisedBy([&] { player.SetPlayerPriority(TPlayPriority::Highest); }), std::nullopt);
  EXPECT_EQ(player.PlayerPriority(), TPlayPriority::Highest);
  // A name without an open stream closes nothing.
  EXPECT_EQ(RaisedBy([&] { player.SetStreamName("./Album/song.mp3"); }), std::nullopt);
  EXPECT_EQ(player.StreamName(), "./Album/song.mp3");
}

TEST(MPEGPlayerTest, DecoderFileNameJoinsThePathWithOneSlash) {
  EXPECT_EQ(TMPEGPlayer::DecoderFileName(""), "mpegdll.dll");
  EXPECT_EQ(TMPEGPlayer::DecoderFileName("/opt/albavox"), "/opt/albavox/mpegdll.dll");
  EXPECT_EQ(TMPEGPlayer::DecoderFileName("/opt/albavox/"), "/opt/albavox/mpegdll.dll");
  EXPECT_EQ(TMPEGPlayer::DecoderFileName("/"), "/mpegdll.dll");
  // ':' names no drive here; it is part of the folder's name.
  EXPECT_EQ(TMPEGPlayer::DecoderFileName("disc:"), "disc:/mpegdll.dll");
}

TEST(MPEGPlayerTest, EmptyPathFindsTheDecoderInTheProgramsFolderWhateverItsCase) {
  TempDir program, current;
  FakeDecoder fake(FakeDecoder::InstallAs(program.path(), "MpegDll.Dll"));
  const platform::ScopedLibraryFolder own(program.str());
  testsupport::ScopedCurrentDir inside(current.path());
  TMPEGPlayer player;
  player.LoadDecoder();
  EXPECT_TRUE(player.DecoderLoaded());
  EXPECT_EQ(fake.Log(), "init;");
}

// The message names the file tried (a bare name in the executable's folder) and the loader's reason.
TEST(MPEGPlayerTest, MissingDecoderRaisesCannotLoadNamingTheFileAndWhy) {
  TempDir dir;
  testsupport::ScopedCurrentDir inside(dir.path());
  for (const auto& [pathToDll, tried] : {std::pair<std::string, std::string>{dir.str(), dir.str() + "/mpegdll.dll"},
                                         {"", platform::ExecutableDir() + "mpegdll.dll"}}) {
    TMPEGPlayer player;
    player.SetPathToDLL(pathToDll);
    const std::string start = "Can't load MPEG library " + tried + ": ";
    const Raised raised = RaisedBy([&] { player.LoadDecoder(); });
    ASSERT_TRUE(raised && raised->first.starts_with(start) && raised->first.size() > start.size()) << pathToDll;
    EXPECT_EQ(raised->second, 0);
    EXPECT_FALSE(player.DecoderLoaded());
    EXPECT_EQ(player.PositionTimer(), nullptr);
  }
}

TEST(MPEGPlayerTest, DecoderLackingAnEntryPointIsReleasedAndRefused) {
  TempDir dir;
  auto copy = FakeDecoder::InstallAs(dir.path(), "mpegdll.dll", FakeDecoder::IncompleteLibraryPath());
  TMPEGPlayer player;
  player.SetPathToDLL(dir.str());
  EXPECT_EQ(RaisedBy([&] { player.LoadDecoder(); }), Error("MPEG library not loaded", 0));
  EXPECT_FALSE(player.DecoderLoaded());
  EXPECT_EQ(::dlopen(copy.c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr) << "the refused library stays loaded";
}

TEST(MPEGPlayerTest, FailedInitRaisesTheDecodersErrorAndReleasesIt) {
  TempDir dir;
  FakeDecoder fake(FakeDecoder::InstallAs(dir.path(), "mpegdll.dll"));
  fake.SetResult("init", 0);
  fake.SetError("init", 5);
  TMPEGPlayer player;
  player.SetPathToDLL(dir.str());
  EXPECT_EQ(RaisedBy([&] { player.LoadDecoder(); }), Error("Output device failure", 5));
  EXPECT_FALSE(player.DecoderLoaded());
  EXPECT_EQ(fake.Log(), "init;LastError;");
  EXPECT_EQ(RaisedBy([&] { player.GetPlayerMode(); }), Error("MPEG library not loaded", 0));
}

TEST(MPEGPlayerTest, FailedInitWithoutErrorCodeRaisesNotLoaded) {
  TempDir dir;
  FakeDecoder fake(FakeDecoder::InstallAs(dir.path(), "mpegdll.dll"));
  fake.SetResult("init", 0);
  TMPEGPlayer player;
  player.SetPathToDLL(dir.str() + "/");
  EXPECT_EQ(RaisedBy([&] { player.LoadDecoder(); }), Error("MPEG library not loaded", 0));
}

TEST_F(LoadedPlayer, LoadingCallsOnlyInitAndMakesAStoppedTimerOfTimerFreq) {
  TMPEGPlayer player;
  player.SetPathToDLL(dir_.str());
  player.SetUseTimer(true);
  player.SetTimerFreq(250);
  fake_->Reset();
  player.LoadDecoder();
  EXPECT_EQ(fake_->Log(), "init;");
  ASSERT_NE(player.PositionTimer(), nullptr);
  EXPECT_EQ(player.PositionTimer()->interval(), 250);
  EXPECT_FALSE(player.PositionTimer()->isActive());

  TMPEGPlayer quiet;
  quiet.SetPathToDLL(dir_.str());
  quiet.SetTimerFreq(500);  // UseTimer stays off
  quiet.LoadDecoder();
  EXPECT_EQ(quiet.PositionTimer()->interval(), 0);
}

TEST_F(LoadedPlayer, TimerFreqZeroSwitchesTheTimerOff) {
  player_.SetTimerFreq(0);
  EXPECT_FALSE(player_.UseTimer());
  EXPECT_EQ(player_.PositionTimer()->interval(), 1000) << "the interval is set by LoadDecoder only";
}

TEST_F(LoadedPlayer, EveryCallIsCheckedWithLastError) {
  fake_->SetResult("GetPlayerMode", 3);
  fake_->SetResult("GetCurrentPos", 61999);
  fake_->SetResult("GetLength", 240000);
  EXPECT_EQ(player_.GetPlayerMode(), 3);
  EXPECT_EQ(player_.GetCurrentPos(), 61999);
  EXPECT_EQ(player_.GetLength(), 240000);
  player_.Close();
  EXPECT_EQ(fake_->Log(), "GetPlayerMode;LastError;GetCurrentPos;LastError;GetLength;LastError;Close;LastError;");
}

TEST_F(LoadedPlayer, ErrorCodesRaiseTheirMessages) {
  const char* const messages[] = {"Internal decoder error", "Incorrect mode", "Input stream error",
                                  "Input stream is non-seekable", "Output device failure"};
  for (int code = 1; code <= 5; ++code) {
    fake_->SetError("GetPlayerMode", code);
    EXPECT_EQ(RaisedBy([&] { player_.GetPlayerMode(); }), Error(messages[code - 1], code));
  }
  fake_->SetError("GetPlayerMode", 9);
  EXPECT_EQ(RaisedBy([&] { player_.GetPlayerMode(); }), Error("Unknown decoder error 9", 9));
  fake_->SetError("GetPlayerMode", -1);  // 0 or below counts as success
  EXPECT_EQ(RaisedBy([&] { player_.GetPlayerMode(); }), std::nullopt);
  fake_->SetError("Close", 3);
  EXPECT_EQ(RaisedBy([&] { player_.Close(); }), Error("Input stream error", 3));
  EXPECT_EQ(player_.LastError(), 3);
  EXPECT_EQ(player_.PlayedXTimes(), 0);
}

TEST_F(LoadedPlayer, StopWithNothingPlayingRaisesIncorrectModeWithoutCallingTheDecoder) {
  EXPECT_EQ(RaisedBy([&] { player_.Stop(); }), Error("Incorrect mode", 2));
  EXPECT_EQ(fake_->Log(), "");
}

TEST_F(LoadedPlayer, CloseTellsTheDecoderEvenWithoutAStream) {
  player_.Close();
  player_.Close();
  EXPECT_EQ(fake_->Log(), "Close;LastError;Close;LastError;");
  EXPECT_FALSE(player_.Paused());
}

TEST_F(LoadedPlayer, StreamNameWithoutOpenStreamClosesNothing) {
  player_.SetStreamName("./Album/CD2/song.mp3");
  player_.SetStreamName("./Album/CD2/song.mp3");
  EXPECT_EQ(player_.StreamName(), "./Album/CD2/song.mp3");
  EXPECT_EQ(fake_->Log(), "");
}

TEST_F(LoadedPlayer, PriorityIsSentAtOnceAndMapsBack) {
  const std::pair<TPlayPriority, const char*> cases[] = {
      {TPlayPriority::Idle, "SetPriority(-15);"},        {TPlayPriority::Lowest, "SetPriority(-2);"},
      {TPlayPriority::BelowNormal, "SetPriority(-1);"},  {TPlayPriority::Normal, "SetPriority(0);"},
      {TPlayPriority::AboveNormal, "SetPriority(1);"},   {TPlayPriority::Highest, "SetPriority(2);"},
      {TPlayPriority::TimeCritical, "SetPriority(15);"},
  };
  for (const auto& [priority, call] : cases) {
    fake_->ClearLog();
    player_.SetPlayerPriority(priority);
    EXPECT_EQ(player_.PlayerPriority(), priority);
    EXPECT_EQ(fake_->Log(), std::string(call) + "LastError;");
  }
  fake_->SetError("SetPriority", 1);
  EXPECT_EQ(RaisedBy([&] { player_.SetPlayerPriority(TPlayPriority::Idle); }), Error("Internal decoder error", 1));
}

TEST(MPEGPlayerTest, OutputDevicePcmFileNeedsAFileNameFirst) {
  TMPEGPlayer player;
  player.SetOutputDevice(TOutputDevice::pcmfile);
  EXPECT_EQ(player.OutputDevice(), TOutputDevice::wavemapper);
  player.SetOutFilename("/tmp/out.pcm");
  EXPECT_EQ(player.OutputDevice(), TOutputDevice::wavemapper) << "naming the file changes no device";
  player.SetOutputDevice(TOutputDevice::pcmfile);
  EXPECT_EQ(player.OutputDevice(), TOutputDevice::pcmfile);
  player.SetOutFilename("");
  EXPECT_EQ(player.OutputDevice(), TOutputDevice::pcmfile);
  player.SetOutputDevice(TOutputDevice::wavemapper);
  EXPECT_EQ(player.OutputDevice(), TOutputDevice::wavemapper);
}

TEST_F(LoadedPlayer, UnloadRunsDeinitAndReleasesTheDecoder) {
  player_.UnloadDecoder();
  EXPECT_EQ(fake_->Log(), "deinit;");
  EXPECT_FALSE(player_.DecoderLoaded());
  EXPECT_EQ(player_.LastError(), 0);
  EXPECT_EQ(RaisedBy([&] { player_.Close(); }), Error("MPEG library not loaded", 0));
  EXPECT_NE(player_.PositionTimer(), nullptr) << "unloading leaves the timer alone";
}

TEST_F(LoadedPlayer, LoadingAgainLetsTheFirstDecoderGoFirst) {
  player_.LoadDecoder();
  EXPECT_EQ(fake_->Log(), "deinit;init;");
  EXPECT_TRUE(player_.DecoderLoaded());
}

TEST_F(LoadedPlayer, TimerTickWithoutStreamStopsTheTimerAndReportsNothing) {
  int reports = 0;
  player_.OnPosUpdate = [&](std::int32_t, std::int32_t) { ++reports; };
  player_.OnPlayEnd = [&](TMPEGPlayer&) { ++reports; };
  const_cast<QTimer*>(player_.PositionTimer())->start();
  player_.TimerTick();
  EXPECT_FALSE(player_.PositionTimer()->isActive());
  EXPECT_EQ(reports, 0);
  EXPECT_EQ(fake_->Log(), "");
}

TEST(MPEGErrorTest, IsAStandardErrorCarryingItsCode) {
  try {
    throw TMPEGError("Can't play non-specified stream", player::kErrorNotSpecified);
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Can't play non-specified stream");
    EXPECT_EQ(dynamic_cast<const TMPEGError&>(e).ErrorCode(), 254);
  }
}

}  // namespace
