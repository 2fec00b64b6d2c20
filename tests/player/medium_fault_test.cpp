// TMPEGPlayer over the real MPEGDLL.DLL when the medium fails while a song plays: reads that start
// failing (through the read() of the whole process, or through the stream events), a file cut
// short, a file removed. The stream ends, the fault is reported once, nothing hangs or spins, and
// the component plays again afterwards.
#include <sys/stat.h>

#include <QElapsedTimer>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/ui/error_report.h"
#include "platform/ui/message_box.h"
#include "player/mpeg_player.h"
#include "read_fault.h"
#include "tests/support/lame_encoder.h"
#include "tests/support/process_usage.h"
#include "tests/support/pulse_server.h"
#include "tests/support/temp_dir.h"

namespace {

using player::TMPEGPlayer;
using testsupport::PulseServer;

constexpr std::int32_t kSongMs = 6000;

class MediumFault : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = new PulseServer;
    // At 320 kbit/s the decoder's read-ahead of the file lasts well under two seconds of music,
    // so that a fault is met soon after it is set.
    testsupport::LameSettings settings;
    settings.kbps = 320;
    song_ = new std::string(testsupport::GeneratedMp3(kSongMs / 1000.0, settings, 5));
  }
  static void TearDownTestSuite() {
    delete server_;
    delete song_;
  }

  void SetUp() override {
    ASSERT_TRUE(server_->Running()) << server_->Why();
    path_ = dir_.WriteFile("song.mp3", *song_).string();
    player_.SetPathToDLL(std::filesystem::path(MPEGDLL_PATH).parent_path().string());
    player_.SetUseTimer(true);
    player_.SetTimerFreq(100);
    player_.LoadDecoder();
    player_.SetStreamName(path_);
    player_.OnPosUpdate = [this](std::int32_t pos, std::int32_t) { lastPosition_ = pos; };
    player_.OnPlayEnd = [this](TMPEGPlayer&) { ++ends_; };
    player_.OnError = platform::ReportException;
  }

  void TearDown() override {
    ReadFaultDisarm();
    if (player_.DecoderLoaded()) player_.UnloadDecoder();
  }

  // Plays until the sound is under way.
  void PlayAWhile() {
    player_.Play();
    ASSERT_TRUE(QTest::qWaitFor([this] { return lastPosition_ >= 300; }, 5000));
  }

  // Every read of the song's file fails from now on, as when the disc is scratched or pulled out.
  void FailReads() {
    struct stat facts {};
    ASSERT_EQ(::stat(path_.c_str(), &facts), 0);
    ReadFaultArm(facts.st_dev, facts.st_ino, EIO);
  }

  // Waits for the end of the stream; the processor time the whole process used meanwhile, as a
  // share of the time waited (a thread that spins shows as about 1).
  double WaitForEnd(int milliseconds = 8000) {
    const double cpu = testsupport::CpuSeconds();
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(QTest::qWaitFor([this] { return ends_ > 0; }, milliseconds)) << "the stream never ended";
    QTest::qWait(500);  // and a while after it
    return (testsupport::CpuSeconds() - cpu) / (static_cast<double>(clock.elapsed()) / 1000.0);
  }

  std::vector<QString> Reports() const {
    std::vector<QString> texts;
    for (const auto& call : boxes_.Calls()) texts.push_back(call.text);
    return texts;
  }

  // After a fault the component opens and plays the song again.
  void PlaysAgain() {
    ReadFaultDisarm();
    ends_ = 0;
    lastPosition_ = 0;
    player_.Close();
    player_.Play();
    EXPECT_EQ(player_.Mode(), player::PlayerMode::kPlaying);
    EXPECT_TRUE(QTest::qWaitFor([this] { return lastPosition_ >= 200; }, 3000));
    player_.Stop();
    player_.Close();
  }

  static PulseServer* server_;
  static std::string* song_;
  platform::MessageBoxRecorder boxes_;
  testsupport::TempDir dir_;
  std::string path_;
  TMPEGPlayer player_;
  std::int32_t lastPosition_ = 0;
  int ends_ = 0;
};

PulseServer* MediumFault::server_ = nullptr;
std::string* MediumFault::song_ = nullptr;

TEST_F(MediumFault, ReadsThatStartFailingEndTheSongAndAreReportedOnce) {
  PlayAWhile();
  FailReads();
  const double load = WaitForEnd();
  EXPECT_EQ(ends_, 1);
  EXPECT_LT(lastPosition_, kSongMs - 1000) << "the song was cut short where the reads failed";
  const std::vector<QString> reports = Reports();
  EXPECT_LE(reports.size(), 1u);
  EXPECT_LT(load, 0.5) << "something spins after the fault";
  const long refused = ReadFaultRefused();
  EXPECT_GE(refused, 1);
  EXPECT_LE(refused, 3) << "the decoder goes on reading a medium that fails";
  QTest::qWait(300);
  EXPECT_EQ(ReadFaultRefused(), refused) << "reads after the end of the stream";
  EXPECT_FALSE(player::IsStarted(player_.Mode()));
  PlaysAgain();
  EXPECT_EQ(Reports(), reports) << "playing again reports nothing";
  // Whether the read-ahead of the file ends inside a frame or at a frame header.
  EXPECT_EQ(reports, std::vector<QString>{"Input stream error."});
}

TEST_F(MediumFault, StreamEventsThatStartFailingEndTheSongAndAreReportedOnce) {
  struct Source {
    std::string data;
    std::size_t pos = 0;
    std::atomic<bool> failing{false};
    std::atomic<int> failedReads{0};
  } source{*song_};
  player_.SetFromStream(true);
  player_.OnOpenStream = [&](bool& nonseekable, void*& context) {
    nonseekable = false;
    context = &source;
  };
  player_.OnReadStream = [](void* context, void* buffer, std::int32_t want, std::int32_t& got, bool& ok) {
    auto& s = *static_cast<Source*>(context);
    if (s.failing) {
      ++s.failedReads;
      got = 0;
      ok = false;
      return;
    }
    got = static_cast<std::int32_t>(std::min<std::size_t>(static_cast<std::size_t>(want), s.data.size() - s.pos));
    std::memcpy(buffer, s.data.data() + s.pos, static_cast<std::size_t>(got));
    s.pos += static_cast<std::size_t>(got);
    ok = true;
  };
  player_.OnSeekStream = [](void* context, std::int32_t bytes, std::int32_t method, std::int32_t& res) {
    auto& s = *static_cast<Source*>(context);
    const long long base = method == 0   ? 0
                           : method == 1 ? static_cast<long long>(s.pos)
                                         : static_cast<long long>(s.data.size());
    const long long to = base + bytes;
    res = s.failing || to < 0 || to > static_cast<long long>(s.data.size()) ? -1 : static_cast<std::int32_t>(to);
    if (res >= 0) s.pos = static_cast<std::size_t>(to);
  };
  player_.OnGetStreamSize = [](void* context, std::int32_t& res) {
    res = static_cast<std::int32_t>(static_cast<Source*>(context)->data.size());
  };
  PlayAWhile();
  source.failing = true;
  const double load = WaitForEnd();
  EXPECT_EQ(ends_, 1);
  EXPECT_LT(lastPosition_, kSongMs - 1000);
  EXPECT_LT(load, 0.5);
  const int failed = source.failedReads;
  EXPECT_GE(failed, 1);
  EXPECT_LE(failed, 3) << "the decoder goes on reading a stream that fails";
  const std::vector<QString> reports = Reports();
  source.failing = false;
  source.pos = 0;
  PlaysAgain();
  EXPECT_EQ(reports, std::vector<QString>{"Input stream error."});
}

TEST_F(MediumFault, AFileCutShortWhilePlayingEndsTheSong) {
  PlayAWhile();
  std::filesystem::resize_file(path_, 20 * 1024);
  const double load = WaitForEnd();
  EXPECT_EQ(ends_, 1);
  EXPECT_LT(lastPosition_, kSongMs - 1000);
  EXPECT_LT(load, 0.5);
  EXPECT_LE(Reports().size(), 1u);
  EXPECT_EQ(Reports(), std::vector<QString>{"Input stream error."}) << "the rest of the file is lost, not played";
  dir_.WriteFile("song.mp3", *song_);
  PlaysAgain();
}

TEST_F(MediumFault, AFileRemovedWhilePlayingStillPlaysToItsEnd) {
  PlayAWhile();
  std::filesystem::remove(path_);
  player_.Seek(kSongMs - 1500);  // the file is gone from its folder, not from under the decoder
  const double load = WaitForEnd();
  EXPECT_EQ(ends_, 1);
  EXPECT_EQ(Reports(), std::vector<QString>{});
  EXPECT_LT(load, 0.5);
  dir_.WriteFile("song.mp3", *song_);
  PlaysAgain();
}

}  // namespace
