// TMainForm: creation, activation, the compilation index and the window's own buttons.
#include "app/main_form.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolButton>

#include <stdexcept>
#include <utility>

#include "app/album_paths.h"
#include "app/application_setup.h"
#include "app/decoder_probe.h"
#include "app/detail/list_box.h"
#include "app/detail/position_bar.h"
#include "app/display_order.h"
#include "app/shown_text.h"
#include "dialogs/about_form.h"
#include "dialogs/mp3_info_form.h"
#include "platform/paths.h"
#include "platform/ui/display_text.h"
#include "platform/ui/error_report.h"
#include "platform/ui/message_box.h"

namespace app {

namespace {
constexpr const char* kIndexFileName = "ALBUMS.INF";
}  // namespace

TMainForm::TMainForm(QWidget* parent, BackCover backCover)
    : QWidget(parent), nesting_([this] { Settle(); }, platform::ReportException) {
  if (backCover == BackCover::kAfterFirstFrame) {
    backAfterFirstFrame_ = true;
    AfterFirstFrame(*this, [this] {
      backAfterFirstFrame_ = false;
      if (!std::exchange(backWaiting_, false)) return;
      const HandlerScope scope(nesting_);
      LoadCovers();  // the front page's picture is kept; the back page's is decoded now
    });
  }
  // The files the window shows first are read on a thread of their own while it is built, unless
  // the program's start is reading them already.
  indexAhead_ = TakeIndexReading();
  BuildControls();
  NameControls();
  SetUpPlayer();
  ConnectHandlers();
  SetUpVolume();
  platform::RunGuarded([this] { FormCreate(); });
}

TMainForm::~TMainForm() = default;

void TMainForm::SetUpPlayer() {
  MPEGPlayer.SetSeekable(false);
  MPEGPlayer.SetFromStream(false);
  MPEGPlayer.SetPlayerPriority(player::TPlayPriority::Normal);
  MPEGPlayer.SetTimerFreq(1000);
  MPEGPlayer.SetUseTimer(true);
  MPEGPlayer.SetAutoPlay(false);
  MPEGPlayer.SetOutputDevice(player::TOutputDevice::wavemapper);
  MPEGPlayer.OnPosUpdate = [this](std::int32_t position, std::int32_t length) {
    MPEGPlayerPosUpdate(position, length);
  };
  MPEGPlayer.OnPlayEnd = [this](player::TMPEGPlayer&) { MPEGPlayerPlayEnd(); };
  MPEGPlayer.OnPlayFault = [this](player::TMPEGPlayer&) { MPEGPlayerPlayFault(); };
  MPEGPlayer.OnError = platform::ReportException;
}

void TMainForm::ConnectHandlers() {
  using platform::ConnectGuarded;
  ConnectGuarded(AlbumListBox, &detail::ListBox::EntryChosen, this, [this](int) { AlbumListBoxClick(); });
  ConnectGuarded(SongsListBox, &detail::ListBox::EntryChosen, this, [this](int) { SongsListBoxClick(); });
  ConnectGuarded(CD1SB, &QToolButton::clicked, this, [this](bool) { CD1SBClick(); });
  ConnectGuarded(CD2SB, &QToolButton::clicked, this, [this](bool) { CD2SBClick(); });
  ConnectGuarded(CD3SB, &QToolButton::clicked, this, [this](bool) { CD3SBClick(); });
  ConnectGuarded(CD4SB, &QToolButton::clicked, this, [this](bool) { CD4SBClick(); });
  ConnectGuarded(SpeedButtonEsci, &QToolButton::clicked, this, [this](bool) { SpeedButtonEsciClick(); });
  ConnectGuarded(InfoSpeedButton, &QToolButton::clicked, this, [this](bool) { InfoSpeedButtonClick(); });
  ConnectGuarded(MP3InfoSpeedButton, &QToolButton::clicked, this, [this](bool) { MP3InfoSpeedButtonClick(); });
  ConnectGuarded(ButtonPlay, &QToolButton::clicked, this, [this](bool) { ButtonPlayClick(); });
  ConnectGuarded(ButtonPause, &QToolButton::clicked, this, [this](bool) { ButtonPauseClick(); });
  ConnectGuarded(ButtonStop, &QToolButton::clicked, this, [this](bool) { ButtonStopClick(); });
  ConnectGuarded(ButtonPrev, &QToolButton::clicked, this, [this](bool) { ButtonPrevClick(); });
  ConnectGuarded(ButtonNext, &QToolButton::clicked, this, [this](bool) { ButtonNextClick(); });
  ConnectGuarded(ContCheckBox, &QCheckBox::clicked, this, [this](bool) { ContCheckBoxClick(); });
  ConnectGuarded(RepeatCheckBox, &QCheckBox::clicked, this, [this](bool) { RepeatCheckBoxClick(); });
  ConnectGuarded(PosMP3ScrollBar, &QScrollBar::valueChanged, this, [this](int) { PosMP3ScrollBarChange(); });
  ConnectGuarded(static_cast<detail::PositionBar*>(PosMP3ScrollBar), &detail::PositionBar::Scrolled, this,
                 [this](detail::PositionBar::ScrollKind kind, int position) {
                   using Kind = detail::PositionBar::ScrollKind;
                   PosMP3ScrollBarScroll(kind == Kind::kThumbTrack  ? ScrollAction::kThumbTrack
                                         : kind == Kind::kEndScroll ? ScrollAction::kEndScroll
                                                                    : ScrollAction::kOther,
                                         position);
                 });
}

void TMainForm::FormCreate() {
  const HandlerScope scope(nesting_);
  ShowVolumePercent(VolControl.Volume());
  for (QWidget* control : std::initializer_list<QWidget*>{CD1SB, CD2SB, CD3SB, CD4SB, MP3InfoSpeedButton, ButtonPrev,
                                                          ButtonPlay, ButtonPause, ButtonStop, ButtonNext,
                                                          PosMP3ScrollBar, ContCheckBox, RepeatCheckBox}) {
    control->setEnabled(false);
  }
  CoverPageControl->setCurrentWidget(FCTabSheet);
  const DecoderProbe probe;
  if (!probe.Passed()) {
    SetEmptyState();
    return;
  }
  try {
    MPEGPlayer.LoadDecoder();
  } catch (...) {
    SetEmptyState();  // nothing can play: show the window without albums rather than half filled
    throw;
  }
  if (!platform::FileExists(kIndexFileName)) {
    SetEmptyState();
    return;
  }
  ContCheckBox->setEnabled(true);
  RepeatCheckBox->setEnabled(true);
  AlbumListBox->setEnabled(true);
  LoadIndex(Current(indexAhead_.get()));
}

void TMainForm::LoadIndex(IndexReading reading) {
  albums_inf::AlbumIndex& index = reading.index;
  setWindowTitle(LiteralWindowTitle(ShownText(index.Caption())));
  albums_ = std::move(index.entries);
  // The list is filled in one step in display order; albumOfRow_ ties each row to its own
  // album of the index, so whatever is looked up for a row belongs to that same album.
  albumOfRow_ = std::move(reading.order);
  frontAhead_ = std::move(reading.firstFront);
  {
    const QSignalBlocker quiet(AlbumListBox);
    AlbumListBox->clear();
    AlbumListBox->addItems(reading.sorted);
  }

  if (albums_.empty()) {
    // An index without a single album leaves nothing to open.
    ContCheckBox->setEnabled(false);
    RepeatCheckBox->setEnabled(false);
    SetEmptyState();
  } else {
    nesting_.NewSelection();
    selectedAlbum_ = 0;
    {
      const QSignalBlocker quiet(AlbumListBox);
      AlbumListBox->setCurrentRow(0);
    }
    OpenAlbum();
    ShowSongInfo();
    UpdatePlayerButtons();
  }
  // The albums read before a read failure stay listed; the failure itself goes to the error report.
  if (!index.error.empty()) throw std::runtime_error(index.error);
}

void TMainForm::SetEmptyState() {
  FCNDStaticText->show();
  albumOfRow_.clear();
  {
    const QSignalBlocker quiet(AlbumListBox);
    AlbumListBox->clear();
    AlbumListBox->addItem(QStringLiteral("Nessun album."));
  }
  AlbumListBox->setEnabled(false);
  selectedAlbum_ = -1;
  {
    const QSignalBlocker quiet(SongsListBox);
    SongsListBox->clear();
    SongsListBox->addItem(QStringLiteral("Nessuna canzone."));
  }
  SongsListBox->setEnabled(false);
  selectedSong_ = -1;
  playback_.ChooseSong(SelectedSongFacts());
  playback_.SetCover({});
}

bool TMainForm::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) platform::RunGuarded([this] { FormActivate(); });
  return QWidget::event(event);
}

void TMainForm::FormActivate() {
  if (closing_) return;  // the decoder is gone and the window is on its way out
  const HandlerScope scope(nesting_);
  for (QWidget* panel :
       std::initializer_list<QWidget*>{AlbumGroupBox, SongsGroupBox, InfoGroupBox, MP3InfoSpeedButton}) {
    panel->repaint();
  }
  if (const DecoderProbe probe; !probe.Passed()) {
    closing_ = true;
    QString text = QStringLiteral("Errore di caricamento della libreria MPEGDLL.DLL.");
    if (!probe.LoadError().empty()) text += QLatin1Char('\n') + platform::DisplayText(probe.LoadError());
    platform::ShowMessageBox(QStringLiteral("Error"), text, platform::MessageIcon::kError);
    close();
    return;
  }
  if (platform::FileExists(kIndexFileName)) LoadCovers();
}

void TMainForm::SpeedButtonEsciClick() { close(); }

void TMainForm::InfoSpeedButtonClick() {
  dialogs::TAboutForm about(this);
  about.exec();
}

void TMainForm::SetMP3InfoForm(dialogs::TMP3InfoForm* form) {
  mp3InfoForm_ = form;
  if (form) form->SetSongAnalysis([this] { return SongAnalysis(); });
}

void TMainForm::MP3InfoSpeedButtonClick() {
  if (mp3InfoForm_) mp3InfoForm_->exec();
}

const AlbumEntry& TMainForm::AlbumOfEntry(int row) const {
  if (row < 0 || static_cast<std::size_t>(row) >= albumOfRow_.size()) {
    throw std::out_of_range("no album at list position " + std::to_string(row));
  }
  return albums_[static_cast<std::size_t>(albumOfRow_[static_cast<std::size_t>(row)])];
}

std::string TMainForm::SelectedAlbumFolder() const { return AlbumFolder(AlbumOfEntry(selectedAlbum_).EntryName); }

}  // namespace app
