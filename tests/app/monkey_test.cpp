// A seeded random driver over the real window, the real decoder library and a private sound server:
// clicks on every control, keys, bursts of media-player calls with extreme arguments, songs that are
// no MP3s, files taken away while they play, the sound server stopped and started again, actions
// inside an analysis, a message box or a dialog. The window's invariants are checked after every
// action. ALBAVOX_MONKEY_ACTIONS and ALBAVOX_MONKEY_SEED choose the run (scripts/monkey runs long ones).
#include <QApplication>
#include <QCheckBox>
#include <QDBusObjectPath>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <fstream>
#include <limits>
#include <map>
#include <random>

#include "app/shown_text.h"
#include "desktop/mpris_bridge.h"
#include "dialogs/mp3_info_form.h"
#include "platform/paths.h"
#include "tests/app/jpeg_files.h"
#include "tests/app/sound_window_fixture.h"
#include "tests/support/lame_encoder.h"
#include "tests/support/mpeg_builder.h"
#include "zodizidu/analysis/mpeg_audio.h"

namespace {

namespace fs = std::filesystem;
using Limits = std::numeric_limits<std::int64_t>;

class Monkey : public testsupport::SoundWindowTest {
 protected:
  void BuildCompilation() {
    WriteIndex({{"Alba", 0}, {"Doppio", 1}, {"Vuoto", 0}, {"Assente", 0}});
    for (const char* file : {"Alba/1.mp3", "Alba/2.mp3", "Alba/4.mp3", "Doppio/CD1/1.mp3", "Doppio/CD3/1.mp3"})
      songs_.push_back(AddMusic(file, 0.5 + 0.1 * static_cast<double>(songs_.size()), songs_.size() + 1));
    // Its analysis handles window events for a while.
    songs_.push_back(root_.WriteFile("Alba/5-slow.mp3", testsupport::Junk(60000) + testsupport::GeneratedMp3(0.5)));
    for (const char* file : {"Alba/3-junk.mp3", "Alba/6-last.mp3", "Doppio/CD3/2.mp3", "Alba/back.jpg"})
      root_.WriteFile(file, std::string(3000, 'z'));
    root_.MakeDir("Doppio/CD1/2.mp3");
    root_.MakeDir("Vuoto");
    root_.WriteFile("Alba/front.jpg", testsupport::JpegPicture({40, 40}, Qt::blue));
  }

  int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  template <typename T>
  T Pick(std::initializer_list<T> from) {
    return from.begin()[Between(0, static_cast<int>(from.size()) - 1)];
  }
  std::int64_t AnyOffset() {
    return Pick<std::int64_t>({Limits::min(), Limits::max(), -1, 0, Between(-3, 3) * 400'000});
  }

  // Calls of a desktop's media controls, arriving together.
  void MediaBurst() {
    for (int n = Between(1, 8); n > 0; --n) {
      const QString track = bridge_->Metadata().value("mpris:trackid").value<QDBusObjectPath>().path();
      switch (Between(0, 9)) {
        case 0: bridge_->Play(); break;
        case 1: bridge_->Pause(); break;
        case 2: bridge_->PlayPause(); break;
        case 3: bridge_->Stop(); break;
        case 4: bridge_->Next(); break;
        case 5: bridge_->Previous(); break;
        case 6: bridge_->Seek(AnyOffset()); break;
        case 7: bridge_->SetPosition(Between(0, 4) ? track : "/org/albavox/track/9_9_9", AnyOffset()); break;
        case 8: Between(0, 9) ? bridge_->Raise() : bridge_->Quit(); break;
        default: EXPECT_GE(bridge_->Position(), 0);
      }
    }
  }

  // One random action, its name; inside a message box only one of the first six.
  std::string Act(bool insideBox) {
    app::TMainForm& f = *form_;
    static const std::vector<int> kWeights = {6, 6, 22, 8, 5, 10, 4, 3, 3, 10, 3, 3, 1, 5, 1};
    std::discrete_distribution<int> choose(kWeights.begin(), kWeights.begin() + (insideBox ? 6 : kWeights.size()));
    app::detail::ListBox* list = Between(0, 1) ? f.AlbumListBox : f.SongsListBox;
    switch (choose(random_)) {
      case 0: ClickEntry(f.AlbumListBox, Pick<QString>({"Alba", "Alba", "Doppio", "Vuoto", "Assente"})); return "album";
      case 1:
        ClickEntry(f.SongsListBox, f.SongsListBox->EntryText(Between(0, f.SongsListBox->count() - 1)));
        return "song";
      case 2:
        Click(Pick<QWidget*>({f.ButtonPlay, f.ButtonPlay, f.ButtonPause, f.ButtonStop, f.ButtonPrev, f.ButtonNext,
                              f.CD1SB, f.CD2SB, f.CD3SB, f.CD4SB, f.ContCheckBox, f.RepeatCheckBox}));
        return "button";
      case 3: MediaBurst(); return "media keys";
      case 4:  // handled inside whatever runs next
        QCoreApplication::postEvent(list, new QKeyEvent(QEvent::KeyPress, Pick({Qt::Key_Down, Qt::Key_Up}), {}));
        MediaBurst();
        Click(Pick<QWidget*>({f.ButtonNext, f.ButtonPrev, f.ButtonPlay}));
        return "keys and media keys while busy";
      case 5:
        QTest::keyClick(Pick<QWidget*>({list, list, f.PosMP3ScrollBar, f.VolTrackBar}),
                        Pick({Qt::Key_Down, Qt::Key_Up, Qt::Key_Home, Qt::Key_End, Qt::Key_Right, Qt::Key_PageUp}));
        return "key";
      case 6: testsupport::DragThumbTo(f.PosMP3ScrollBar, Between(0, f.PosMP3ScrollBar->maximum())); return "thumb";
      case 7:
        QTimer::singleShot(Between(0, 30), [this] {  // media keys while a dialog is up, then it is closed
          if (Between(0, 1)) MediaBurst();
          QTest::qWait(Between(0, 20));
          if (QWidget* dialog = QApplication::activeModalWidget()) dialog->close();
        });
        Click(Pick<QWidget*>({f.MP3InfoSpeedButton, f.InfoSpeedButton}));
        return "dialog";
      case 8: Activate(f); return "activation";
      case 9:
        if (Between(0, 2)) Click(f.ButtonPlay);
        QTest::qWait(Between(50, 1200));
        return "listen";
      case 10: {
        std::string file = songs_[static_cast<std::size_t>(Between(0, static_cast<int>(songs_.size()) - 1))];
        if (f.Playback().Mode() != app::PlaybackMode::kStopped && Between(0, 1))
          file = fs::absolute(f.Playback().Song().path);
        if (taken_.count(file) == 0 && fs::exists(file)) {
          std::ifstream in(file, std::ios::binary);
          taken_[file].assign(std::istreambuf_iterator<char>(in), {});
          Between(0, 1) ? fs::remove(file) : (fs::resize_file(file, 4096), true);
        }
        return "file taken away";
      }
      case 11:
        for (const auto& [file, bytes] : std::exchange(taken_, {})) std::ofstream(file, std::ios::binary) << bytes;
        return "files back";
      case 12: serverUp_ = serverUp_ && !server_->Pactl("exit"); return "sound server stopped";
      case 13: RestartServer(); return "sound server started";
      default: Click(f.SpeedButtonEsci); return "esci";
    }
  }

  void RestartServer() {
    if (serverUp_) return;
    delete server_;
    server_ = new testsupport::PulseServer;
    serverUp_ = server_->Running();
  }

  // What must hold whenever no handler runs.
  void Check() {
    const app::TMainForm& f = *form_;
    const app::PlaybackState& state = f.Playback();
    const app::ChosenSong& song = state.Song();
    ASSERT_TRUE(f.SelectedAlbum() >= 0 && f.SelectedAlbum() < f.AlbumListBox->count());
    ASSERT_LT(f.SelectedSong(), f.SongsListBox->count());
    EXPECT_EQ(Selected(f.AlbumListBox), f.AlbumListBox->EntryText(f.SelectedAlbum()));
    const bool hasSong = f.SelectedSong() >= 0;
    EXPECT_EQ(Selected(f.SongsListBox), hasSong ? f.SongsListBox->EntryText(f.SelectedSong()) : QString());
    EXPECT_TRUE(hasSong || Entries(f.SongsListBox) == std::vector<QString>{"Nessuna canzone."});
    EXPECT_TRUE(song.album == f.SelectedAlbum() && song.disc == f.CurrentDisc() && song.row == f.SelectedSong());
    const zodizidu::TMPEGAudio* analysis = f.SongAnalysis();
    if (hasSong) {
      ASSERT_TRUE(song.analysed && analysis);
      EXPECT_EQ(analysis->FileName(), platform::FullPathName(song.path));
      EXPECT_EQ(song.valid, analysis->IsValid());
      EXPECT_TRUE(!song.valid || f.MPEGPlayer.StreamName() == song.path) << "the player has another song";
    }
    EXPECT_EQ(f.MP3TitleEdit->text(), song.valid ? app::ShownText(analysis->Title()) : QString());
    std::vector<bool> enabled;
    for (QWidget* control : std::initializer_list<QWidget*>{f.ButtonPlay, f.ButtonPause, f.ButtonStop, f.ButtonPrev,
                                                            f.ButtonNext, f.PosMP3ScrollBar, f.MP3InfoSpeedButton})
      enabled.push_back(control->isEnabled());
    EXPECT_EQ(enabled, (std::vector<bool>{state.CanPlay(), state.CanPause(), state.CanStop(), state.CanGoPrevious(),
                                          state.CanGoNext(), state.BarEnabled(), state.SongPlayable()}));
    // A stop, a pause or a change that meets a song which has just ended is no error to the user.
    for (const auto& box : boxes_.Calls()) EXPECT_FALSE(box.text.startsWith("Incorrect mode"));
    EXPECT_EQ(form_->MPEGPlayer.Paused(), state.Mode() == app::PlaybackMode::kPaused);
    if (state.Mode() == app::PlaybackMode::kStopped) {
      EXPECT_FALSE(player::IsStarted(form_->MPEGPlayer.Mode())) << "a song plays while the window shows it stopped";
    } else {
      EXPECT_TRUE(song.valid && form_->MPEGPlayer.PlayedXTimes() >= 2);
    }
  }

  std::mt19937 random_;
  desktop::MprisBridge* bridge_ = nullptr;
  std::vector<std::string> songs_;
  std::map<std::string, std::string> taken_;
  bool serverUp_ = true;
};

TEST_F(Monkey, TheWindowStaysWholeWhateverHappens) {
  const char* actions = std::getenv("ALBAVOX_MONKEY_ACTIONS");
  const char* seed = std::getenv("ALBAVOX_MONKEY_SEED");
  const int count = actions ? std::atoi(actions) : 250;
  random_.seed(seed ? static_cast<std::uint32_t>(std::atoll(seed)) : 1);
  BuildCompilation();
  QApplication::setQuitOnLastWindowClosed(false);
  zodizidu::SetMessagePump([] { QCoreApplication::processEvents(); });       // as the program does
  app::TMainForm& form = Open(app::TMainForm::BackCover::kAfterFirstFrame);  // as the program starts
  dialogs::TMP3InfoForm info(&form);
  form.SetMP3InfoForm(&info);
  bridge_ = new desktop::MprisBridge(form, "unix:path=/nonexistent/albavox-monkey-bus");
  bool insideBox = false;
  boxes_.OnShow([&](const platform::MessageBoxCall&) {
    if (insideBox || Between(0, 2)) return;
    insideBox = true;  // something happens while the box is up
    Act(true);
    QCoreApplication::processEvents();
    insideBox = false;
  });
  std::vector<std::string> done;
  for (int i = 0; i < count && !HasFailure(); ++i) {
    done.push_back(Act(false));
    QTest::qWait(Between(0, 15));
    if (!form.isVisible()) form.show();
    SCOPED_TRACE("seed " + std::string(seed ? seed : "1") + ", action " + std::to_string(i) + ", the last ones: " +
                 done.end()[-1] + "; " + (i > 0 ? done.end()[-2] : "") + "; " + (i > 1 ? done.end()[-3] : ""));
    Check();
  }
  zodizidu::SetMessagePump(nullptr);
  RestartServer();
  std::printf("%d actions, %zu message boxes\n", count, boxes_.Calls().size());
}

}  // namespace
