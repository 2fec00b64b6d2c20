// TMP3InfoForm: the values of the selected song's analysis, written at each activation.
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "dialogs/mp3_info_form.h"
#include "tests/dialogs/dialog_helpers.h"
#include "tests/support/mpeg_builder.h"
#include "tests/support/temp_dir.h"
#include "zodizidu/analysis/mpeg_audio.h"

namespace {

using dialogs::TMP3InfoForm;
using dialogs_test::ExecWith;
using testsupport::MakeHeader;
using testsupport::MpegHeader;

using Values = std::map<QString, QString>;

class Mp3InfoFormTest : public ::testing::Test {
 protected:
  Mp3InfoFormTest() {
    form_.SetSongAnalysis([this] { return analysis_; });
  }

  // Writes `bytes` as `name` and makes its analysis the selected song's.
  void Select(const std::string& name, const std::string& bytes) {
    const std::string path = dir_.WriteFile(name, bytes).string();
    audio_.SetFileName(path);
    ASSERT_TRUE(audio_.IsValid()) << name;
    analysis_ = &audio_;
  }

  // What the dialog shows while it is up, by control name; it is closed with "&Ok".
  Values Open() {
    Values shown;
    const int result = ExecWith(form_, [&] {
      for (const QLabel* value : form_.MP3GroupBox->findChildren<QLabel*>()) {
        if (value->objectName().startsWith("MP3")) shown[value->objectName()] = value->text();
      }
      shown["MP3FileEdit"] = form_.MP3FileEdit->text();
      form_.OkButton->click();
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_FALSE(form_.isVisible()) << "Ok hides the dialog";
    return shown;
  }

  testsupport::TempDir dir_;
  zodizidu::TMPEGAudio audio_;
  const zodizidu::TMPEGAudio* analysis_ = nullptr;
  TMP3InfoForm form_;
};

// `frames` frames of `header`, then filler without frame sync up to `size` bytes.
std::string FileOfSize(const MpegHeader& header, std::size_t frames, std::size_t size) {
  std::string bytes = testsupport::Frames(header, frames);
  return bytes + testsupport::Junk(size - bytes.size());
}

TEST_F(Mp3InfoFormTest, JointStereoSongShowsSizeDurationVersionRateAndFlags) {
  MpegHeader header = MakeHeader(1, 3, 128, 44100);
  header.mode = 1;
  header.original = true;
  Select("Rock/Song.mp3", FileOfSize(header, 11000, 4871234));
  const Values shown = Open();
  EXPECT_EQ(shown.at("MP3FileEdit"), QString::fromStdString((dir_.path() / "Rock/Song.mp3").string()));
  EXPECT_EQ(shown.at("MP3Size"), "4871234 bytes");
  EXPECT_EQ(shown.at("MP3Length"), "304 secondi");  // 4871234 bytes at 16000 bytes a second
  EXPECT_EQ(shown.at("MP3Layer"), "MPEG 1.0 layer III");
  EXPECT_EQ(shown.at("MP3Rate"), "128kbit (Joint Stereo)");
  EXPECT_EQ(shown.at("MP3FrameLength"), "417");
  EXPECT_EQ(shown.at("MP3Freq"), "44100 Hz");
  EXPECT_EQ(shown.at("MP3Cop"), "No");
  EXPECT_EQ(shown.at("MP3Orig"), "Si");
  EXPECT_EQ(shown.at("MP3CRC"), "No");
  EXPECT_EQ(shown.at("MP3Pad"), "No");
}

TEST_F(Mp3InfoFormTest, VariableBitRateSingleChannelSongShowsVariabile) {
  MpegHeader header = MakeHeader(1, 3, 128, 44100);
  header.mode = 3;
  Select("vbr.mp3",
         testsupport::XingFrame(header, testsupport::XingFields().Frames(3829)) + testsupport::Frames(header, 40));
  const Values shown = Open();
  EXPECT_EQ(shown.at("MP3Rate"), "Variabile (Single Channel)");
  EXPECT_EQ(shown.at("MP3Length"), "100 secondi");  // 3829 frames of 1152 samples at 44100 Hz
}

TEST_F(Mp3InfoFormTest, Mpeg25FileWithAllFlagsSetShowsItsVersionAndSi) {
  MpegHeader header = MakeHeader(3, 3, 32, 8000);
  header.mode = 2;
  header.crc = true;
  header.copyright = true;
  header.padding = true;
  Select("low.mp3", testsupport::Frames(header, 30));
  const Values shown = Open();
  EXPECT_EQ(shown.at("MP3Layer"), "MPEG 2.5 layer III");
  EXPECT_EQ(shown.at("MP3Rate"), "32kbit (Dual Channel)");
  EXPECT_EQ(shown.at("MP3Freq"), "8000 Hz");
  EXPECT_EQ(shown.at("MP3FrameLength"), QString::number(header.FrameLength()));
  EXPECT_EQ(shown.at("MP3Cop"), "Si");
  EXPECT_EQ(shown.at("MP3Orig"), "No");
  EXPECT_EQ(shown.at("MP3CRC"), "Si");
  EXPECT_EQ(shown.at("MP3Pad"), "Si");
}

TEST_F(Mp3InfoFormTest, SecondOpeningShowsTheSongSelectedThen) {
  Select("first.mp3", testsupport::Frames(MakeHeader(1, 2, 192, 48000), 30));
  const Values first = Open();
  EXPECT_EQ(first.at("MP3Layer"), "MPEG 1.0 layer II");
  EXPECT_EQ(first.at("MP3Freq"), "48000 Hz");

  zodizidu::TMPEGAudio second;
  second.SetFileName(dir_.WriteFile("second.mp3", testsupport::Frames(MakeHeader(2, 1, 64, 22050), 30)).string());
  analysis_ = &second;
  const Values shown = Open();
  EXPECT_TRUE(shown.at("MP3FileEdit").endsWith("/second.mp3"));
  EXPECT_EQ(shown.at("MP3Layer"), "MPEG 2.0 layer I");
  EXPECT_EQ(shown.at("MP3Rate"), "64kbit (Stereo)");
  EXPECT_EQ(shown.at("MP3Freq"), "22050 Hz");
}

TEST_F(Mp3InfoFormTest, WithoutAnAnalysisTheDesignTextsStay) {
  const Values shown = Open();
  for (const auto& [name, text] : shown) {
    if (name != "MP3FileEdit") {
      EXPECT_EQ(text, "ND") << name.toStdString();
    }
  }
  EXPECT_EQ(shown.at("MP3FileEdit"), "");
}

TEST_F(Mp3InfoFormTest, LongestValuesFitAndValueLabelsSizeToTheirText) {
  MpegHeader header = MakeHeader(3, 3, 32, 8000);
  header.mode = 3;
  Select("wide.mp3",
         testsupport::XingFrame(header, testsupport::XingFields().Frames(60000)) + testsupport::Frames(header, 40));
  ExecWith(form_, [&] {
    EXPECT_EQ(form_.MP3Rate->text(), "Variabile (Single Channel)");
    EXPECT_EQ(form_.MP3Rate->width(), form_.MP3Rate->sizeHint().width());
    EXPECT_EQ(dialogs_test::TextsThatDoNotFit(form_), std::vector<QString>{});
    // The left column's values end before the right column's captions begin.
    for (const QLabel* value : {form_.MP3Size, form_.MP3Length, form_.MP3Layer, form_.MP3Rate, form_.MP3FrameLength}) {
      EXPECT_LT(value->geometry().right(), form_.Label7->x()) << value->objectName().toStdString();
    }
    form_.OkButton->click();
  });
}

}  // namespace
