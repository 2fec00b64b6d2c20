// The main window's "&MP3 Info" button shows the dialog made at start with the selected song.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <vector>

#include "dialogs/mp3_info_form.h"
#include "tests/app/main_form_fixture.h"

namespace {

using testsupport::MainFormTest;

// Runs `whileUp` once the modal window that `trigger` opens is up.
template <typename Trigger, typename WhileUp>
void WhileModal(Trigger trigger, WhileUp whileUp) {
  QTimer::singleShot(0, [whileUp] { whileUp(qobject_cast<QDialog*>(QApplication::activeModalWidget())); });
  trigger();
}

TEST_F(MainFormTest, Mp3InfoButtonShowsTheSongSelectedAtEachPress) {
  InstallDecoder();
  WriteIndex({{"Album", 0}});
  AddSong("Album/1.mp3", 10, testsupport::TitleTag("Uno"));
  AddSong("Album/2.mp3", 20, testsupport::TitleTag("Due"));
  app::TMainForm& form = Open();
  dialogs::TMP3InfoForm info(&form);
  form.SetMP3InfoForm(&info);

  std::vector<QString> shown;
  const auto readAndClose = [&](QDialog* dialog) {
    ASSERT_EQ(dialog, &info);
    EXPECT_TRUE(info.MP3FileEdit->text().startsWith('/')) << "the full path";
    shown.push_back(info.MP3FileEdit->text().section('/', -2) + " " + info.MP3Length->text() + " " +
                    info.MP3Rate->text());
    QTest::mouseClick(info.OkButton, Qt::LeftButton);
  };
  WhileModal([&] { Click(form.MP3InfoSpeedButton); }, readAndClose);
  ASSERT_TRUE(ClickEntry(form.SongsListBox, "2.mp3"));
  WhileModal([&] { Click(form.MP3InfoSpeedButton); }, readAndClose);
  EXPECT_EQ(shown,
            (std::vector<QString>{"Album/1.mp3 10 secondi 32kbit (Stereo)", "Album/2.mp3 20 secondi 32kbit (Stereo)"}));
}

}  // namespace
