// TMainForm: accessible names for the controls that show no caption of their own, so screen
// readers and desktop automation can tell every control of the window apart.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabWidget>

#include "app/main_form.h"
#include "platform/ui/accessible_names.h"

namespace app {

void TMainForm::NameControls() {
  // The ID3 fields are named by the captions beside them.
  Label1->setBuddy(MP3TitleEdit);
  Label2->setBuddy(MP3ArtistEdit);
  Label3->setBuddy(MP3AlbumEdit);
  Label4->setBuddy(MP3YearEdit);
  Label5->setBuddy(MP3GenreEdit);
  Label9->setBuddy(MP3CommentEdit);

  // Lists and panels take the titles lying on their group boxes' edges.
  AlbumListBox->setAccessibleName(QStringLiteral("Albums"));
  SongsListBox->setAccessibleName(QStringLiteral("Canzoni"));
  MP3PlayerGroupBox->setAccessibleName(QStringLiteral("Player"));
  CoverPageControl->setAccessibleName(QStringLiteral("Cover"));
  FCTabSheet->setAccessibleName(QStringLiteral("Front"));
  BCTabSheet->setAccessibleName(QStringLiteral("Back"));
  FrontCoverImage->setAccessibleName(QStringLiteral("Cover Front"));
  PosMP3ScrollBar->setAccessibleName(QStringLiteral("Posizione della canzone"));

  // Everything else with a hint and no caption is named by its hint.
  platform::NameControlsByHint(*this);
}

}  // namespace app
