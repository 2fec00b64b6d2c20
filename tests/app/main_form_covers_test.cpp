// The covers of the selected album on the two pages, reloaded at every return to the window.
#include <QBuffer>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QTest>
#include <QToolButton>

#include <filesystem>
#include <string>
#include <utility>

#include "tests/app/jpeg_files.h"
#include "tests/app/main_form_fixture.h"
#include "tests/support/mpeg_builder.h"

namespace {

using Strings = std::vector<QString>;
using testsupport::JpegPicture;
using testsupport::MainFormTest;

// The colour in the upper middle of the picture a page shows; invalid when it shows none.
QColor Shown(const QLabel* picture) {
  const QPixmap pixmap = picture->pixmap();
  if (pixmap.isNull()) return QColor();
  return pixmap.toImage().pixelColor(pixmap.width() / 2, pixmap.height() / 4);
}

bool Near(const QColor& seen, const QColor& expected) {
  return seen.isValid() && std::abs(seen.red() - expected.red()) < 10 &&
         std::abs(seen.green() - expected.green()) < 10 && std::abs(seen.blue() - expected.blue()) < 10;
}

class CoversTest : public MainFormTest {
 protected:
  void Cover(const std::string& relative, QColor colour) {
    root_.WriteFile(relative, JpegPicture(QSize(240, 200), colour));
  }
};

TEST_F(CoversTest, FrontOnlyShowsItAndSaysTheBackIsMissing) {
  InstallDecoder();
  WriteIndex({{"Album", 0}});
  AddSong("Album/song.mp3");
  Cover("Album/front.jpg", Qt::red);
  app::TMainForm& form = Open();
  EXPECT_TRUE(form.FrontCoverImage->pixmap().isNull()) << "covers wait for the window's activation";
  Activate(form);
  EXPECT_TRUE(Near(Shown(form.FrontCoverImage), Qt::red));
  EXPECT_FALSE(form.FCNDStaticText->isVisible());
  EXPECT_TRUE(form.BackCoverImage->pixmap().isNull());
  EXPECT_TRUE(form.BCNDStaticText->isVisibleTo(form.BCTabSheet));
  EXPECT_TRUE(form.FrontCoverImage->hasScaledContents()) << "the picture is stretched over its page";
  EXPECT_EQ(Boxes(), Strings{});
}

TEST_F(CoversTest, UpperCaseNamesAreFoundAndAnAlbumWithoutCoversClearsBoth) {
  InstallDecoder();
  WriteIndex({{"Covered", 0}, {"Plain", 0}});
  AddSong("Covered/a.mp3");
  AddSong("Plain/b.mp3");
  Cover("Covered/FRONT.JPG", Qt::red);
  Cover("Covered/Back.Jpg", Qt::blue);
  app::TMainForm& form = Open();
  Activate(form);
  EXPECT_TRUE(Near(Shown(form.FrontCoverImage), Qt::red));
  EXPECT_TRUE(Near(Shown(form.BackCoverImage), Qt::blue));
  EXPECT_FALSE(form.BCNDStaticText->isVisibleTo(form.BCTabSheet));

  ASSERT_TRUE(ClickEntry(form.AlbumListBox, "Plain"));
  EXPECT_TRUE(form.FrontCoverImage->pixmap().isNull());
  EXPECT_TRUE(form.BackCoverImage->pixmap().isNull());
  EXPECT_TRUE(form.FCNDStaticText->isVisible());
  EXPECT_TRUE(form.BCNDStaticText->isVisibleTo(form.BCTabSheet));
}

TEST_F(CoversTest, CoversBelongToTheAlbumFolderAndStayOnADiscSwitch) {
  InstallDecoder();
  WriteIndex({{"Box", 1}});
  AddSong("Box/CD1/a.mp3");
  AddSong("Box/CD2/b.mp3");
  Cover("Box/CD1/front.jpg", Qt::green);  // never shown: covers lie in the album folder
  Cover("Box/back.jpg", Qt::blue);
  app::TMainForm& form = Open();
  Activate(form);
  EXPECT_TRUE(form.FrontCoverImage->pixmap().isNull());
  EXPECT_TRUE(form.FCNDStaticText->isVisible());
  const qint64 back = form.BackCoverImage->pixmap().cacheKey();
  ASSERT_TRUE(Near(Shown(form.BackCoverImage), Qt::blue));
  Click(form.CD2SB);
  ASSERT_EQ(form.CurrentDisc(), 2);
  EXPECT_EQ(form.BackCoverImage->pixmap().cacheKey(), back) << "a disc switch loads no cover";
}

TEST_F(CoversTest, ReturningToTheWindowShowsAChangedCover) {
  InstallDecoder();
  WriteIndex({{"Album", 0}});
  AddSong("Album/song.mp3");
  Cover("Album/front.jpg", Qt::red);
  app::TMainForm& form = Open();
  Activate(form);
  ASSERT_TRUE(Near(Shown(form.FrontCoverImage), Qt::red));
  Cover("Album/front.jpg", Qt::blue);
  Activate(form);
  EXPECT_TRUE(Near(Shown(form.FrontCoverImage), Qt::blue));
}

// The first album's front picture is decoded with the index while the window is made: a file
// changed after that is decoded again.
TEST_F(CoversTest, AFrontChangedAfterTheIndexWasReadIsDecodedAgain) {
  InstallDecoder();
  WriteIndex({{"Album", 0}});
  AddSong("Album/song.mp3");
  Cover("Album/front.jpg", Qt::red);
  app::TMainForm& form = Open();
  root_.WriteFile("Album/front.jpg", JpegPicture(QSize(200, 240), Qt::green));
  Activate(form);
  EXPECT_TRUE(Near(Shown(form.FrontCoverImage), Qt::green));
}

// At the program's start the Back page, which the first frame does not show, decodes its picture
// once that frame is out; a damaged picture is reported then.
TEST_F(CoversTest, AtTheStartTheBackPictureWaitsForTheFirstFrame) {
  InstallDecoder();
  for (const char* album : {"Good", "Torn"}) AddSong(std::string(album) + "/song.mp3");
  Cover("Good/front.jpg", Qt::red);
  Cover("Good/back.jpg", Qt::blue);
  Cover("Torn/front.jpg", Qt::red);
  root_.WriteFile("Torn/back.jpg", "this is no picture");
  for (const auto& [album, damaged] : {std::pair{"Good", false}, std::pair{"Torn", true}}) {
    SCOPED_TRACE(album);
    WriteIndex({{album, 0}});
    app::TMainForm& form = Open(app::TMainForm::BackCover::kAfterFirstFrame);
    Activate(form);
    EXPECT_TRUE(Near(Shown(form.FrontCoverImage), Qt::red));
    EXPECT_TRUE(form.BackCoverImage->pixmap().isNull());
    EXPECT_FALSE(form.BCNDStaticText->isVisibleTo(form.BCTabSheet));
    EXPECT_EQ(Boxes(), Strings{});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form.BackCoverImage->pixmap().isNull() || !Boxes().empty(); }));
    EXPECT_EQ(Near(Shown(form.BackCoverImage), Qt::blue), !damaged);
    EXPECT_EQ(form.BCNDStaticText->isVisibleTo(form.BCTabSheet), damaged);
    EXPECT_EQ(Boxes().size(), damaged ? 1u : 0u);
  }
}

TEST_F(CoversTest, DamagedFrontIsReportedOncePerChoiceAndTheBackIsStillShown) {
  InstallDecoder();
  WriteIndex({{"Album", 0}, {"Other", 0}});
  AddSong("Album/song.mp3");
  AddSong("Other/song.mp3");
  root_.WriteFile("Album/front.jpg", "this is no picture");
  Cover("Album/back.jpg", Qt::blue);
  app::TMainForm& form = Open();
  Activate(form);
  ASSERT_EQ(boxes_.Calls().size(), 1u);
  EXPECT_EQ(boxes_.Calls()[0].caption, "Albavox v2.0");
  EXPECT_TRUE(boxes_.Calls()[0].text.contains("Not a JPEG file")) << boxes_.Calls()[0].text.toStdString();
  EXPECT_TRUE(boxes_.Calls()[0].text.contains("./Album/front.jpg"));
  EXPECT_TRUE(form.FCNDStaticText->isVisible());
  EXPECT_TRUE(form.FrontCoverImage->pixmap().isNull());
  EXPECT_TRUE(Near(Shown(form.BackCoverImage), Qt::blue));

  Activate(form);  // as after the report's box closes
  EXPECT_EQ(boxes_.Calls().size(), 1u) << "no report again at each return to the window";
  ASSERT_TRUE(ClickEntry(form.AlbumListBox, "Other"));
  ASSERT_TRUE(ClickEntry(form.AlbumListBox, "Album"));
  EXPECT_EQ(boxes_.Calls().size(), 2u) << "choosing the album again reports it again";
}

TEST_F(CoversTest, PictureClaimingAHugeSizeIsRefused) {
  InstallDecoder();
  WriteIndex({{"Album", 0}});
  AddSong("Album/song.mp3");
  root_.WriteFile("Album/front.jpg", testsupport::JpegClaiming(QSize(65000, 65000)));
  app::TMainForm& form = Open();
  Activate(form);
  ASSERT_EQ(boxes_.Calls().size(), 1u);
  EXPECT_TRUE(boxes_.Calls()[0].text.startsWith("Picture too large (65000x65000)"));
  EXPECT_TRUE(form.FCNDStaticText->isVisible());
}

TEST_F(CoversTest, ReturningToTheWindowKeepsUnchangedCoversWithoutDecodingThemAgain) {
  InstallDecoder();
  WriteIndex({{"Album", 0}, {"Other", 0}});
  AddSong("Album/song.mp3");
  AddSong("Other/song.mp3");
  Cover("Album/front.jpg", Qt::red);
  Cover("Album/back.jpg", Qt::blue);
  app::TMainForm& form = Open();
  Activate(form);
  const qint64 front = form.FrontCoverImage->pixmap().cacheKey();
  const qint64 back = form.BackCoverImage->pixmap().cacheKey();
  ASSERT_TRUE(Near(Shown(form.FrontCoverImage), Qt::red));
  Activate(form);
  Activate(form);
  EXPECT_EQ(form.FrontCoverImage->pixmap().cacheKey(), front) << "the picture decoded before is shown";
  EXPECT_EQ(form.BackCoverImage->pixmap().cacheKey(), back);

  // A vanished file is missed at once; a file that comes back is read again.
  const std::string bytes = JpegPicture(QSize(240, 200), Qt::green);
  std::filesystem::remove(root_.path() / "Album/front.jpg");
  Activate(form);
  EXPECT_TRUE(form.FrontCoverImage->pixmap().isNull());
  EXPECT_TRUE(form.FCNDStaticText->isVisible());
  EXPECT_EQ(form.BackCoverImage->pixmap().cacheKey(), back);
  root_.WriteFile("Album/front.jpg", bytes);
  Activate(form);
  EXPECT_TRUE(Near(Shown(form.FrontCoverImage), Qt::green));
  EXPECT_FALSE(form.FCNDStaticText->isVisible());

  // Another album's covers take the pages' places.
  ASSERT_TRUE(ClickEntry(form.AlbumListBox, "Other"));
  EXPECT_TRUE(form.FrontCoverImage->pixmap().isNull());
  EXPECT_TRUE(form.BackCoverImage->pixmap().isNull());
  ASSERT_TRUE(ClickEntry(form.AlbumListBox, "Album"));
  EXPECT_TRUE(Near(Shown(form.BackCoverImage), Qt::blue));
}

TEST_F(CoversTest, PrintScanCoversInCmykAreShown) {
  InstallDecoder();
  WriteIndex({{"Album", 0}});
  AddSong("Album/song.mp3");
  root_.WriteFile("Album/front.jpg",
                  testsupport::JpegInks(QSize(240, 200), 0, 255, 255, 0, testsupport::InkForm::kAdobeCmyk));
  root_.WriteFile("Album/back.jpg",
                  testsupport::JpegInks(QSize(240, 200), 255, 255, 0, 0, testsupport::InkForm::kAdobeYcck));
  app::TMainForm& form = Open();
  Activate(form);
  EXPECT_EQ(Boxes(), Strings{});
  EXPECT_TRUE(Near(Shown(form.FrontCoverImage), Qt::red));
  EXPECT_TRUE(Near(Shown(form.BackCoverImage), Qt::blue));
  EXPECT_FALSE(form.FCNDStaticText->isVisible());
}

// A picture frame of a song's tag (encoding, MIME type, picture type, description, picture).
std::string PictureFrame(char type, const std::string& picture) {
  return testsupport::Id3v2Frame("APIC", std::string(1, '\0') + "image/jpeg" + '\0' + type + "d" + '\0' + picture);
}

std::string Png(QColor colour) {
  QImage image(240, 200, QImage::Format_RGB32);
  image.fill(colour);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes.toStdString();
}

TEST_F(CoversTest, WithoutAFrontFileTheSelectedSongsOwnPictureIsShown) {
  const std::string red = JpegPicture(QSize(240, 200), Qt::red);
  struct Case {
    std::string album, frames;
    bool frontFile;
    QColor shown;  // invalid: "Immagine non disponibile"
  };
  const std::vector<Case> cases = {
      {"Jpeg", PictureFrame(3, red), false, Qt::red},
      {"Png", PictureFrame(3, Png(Qt::green)), false, Qt::green},
      {"NoFront", PictureFrame(4, JpegPicture(QSize(240, 200), Qt::blue)) + PictureFrame(5, red), false, Qt::blue},
      {"None", "", false, QColor()},
      {"FileWins", PictureFrame(3, Png(Qt::green)), true, Qt::red},
      {"Damaged", PictureFrame(3, "\xFF\xD8\xFF no picture"), false, QColor()},
  };
  const auto song = [&](const std::string& path, const std::string& frames) {
    const std::string tag = frames.empty() ? "" : testsupport::Id3v2Tag(testsupport::Id3v2Fields().Body(frames));
    root_.WriteFile(path, tag + testsupport::Mp3File(61));
  };
  std::vector<testsupport::IndexAlbum> albums;
  for (const Case& c : cases) {
    albums.push_back({c.album, 0});
    song(c.album + "/a.mp3", c.frames);
    if (c.frontFile) Cover(c.album + "/front.jpg", Qt::red);
  }
  song("Jpeg/b.mp3", PictureFrame(3, red));
  song("Jpeg/c.mp3", PictureFrame(3, Png(Qt::green)));
  InstallDecoder();
  WriteIndex(albums);
  app::TMainForm& form = Open();
  Activate(form);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.album);
    ClickEntry(form.AlbumListBox, QString::fromStdString(c.album));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form.ReadingSongCover(); }));
    EXPECT_TRUE(c.shown.isValid() ? Near(Shown(form.FrontCoverImage), c.shown)
                                  : !Shown(form.FrontCoverImage).isValid());
    EXPECT_EQ(form.FCNDStaticText->isVisible(), !c.shown.isValid());
  }
  EXPECT_EQ(Boxes(), Strings{});

  // The page follows the song; the same picture in another song is not decoded again.
  ASSERT_TRUE(ClickEntry(form.AlbumListBox, "Jpeg"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !form.ReadingSongCover(); }));
  const qint64 shown = form.FrontCoverImage->pixmap().cacheKey();
  ASSERT_TRUE(ClickEntry(form.SongsListBox, "b.mp3"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !form.ReadingSongCover(); }));
  EXPECT_EQ(form.FrontCoverImage->pixmap().cacheKey(), shown);
  ASSERT_TRUE(ClickEntry(form.SongsListBox, "c.mp3"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !form.ReadingSongCover(); }));
  EXPECT_TRUE(Near(Shown(form.FrontCoverImage), Qt::green));
}

}  // namespace
