// TMP3InfoForm: the file name, size, duration and header values of the selected song.
#include "dialogs/mp3_info_form.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <array>

#include "dialogs/detail/fixed_dialog.h"
#include "platform/ui/display_text.h"
#include "platform/ui/error_report.h"
#include "platform/ui/form_fonts.h"
#include "zodizidu/analysis/mpeg_audio.h"

namespace dialogs {

namespace {

constexpr std::array<const char*, 4> kModeNames = {"Stereo", "Joint Stereo", "Dual Channel", "Single Channel"};

QString YesNo(bool flag) { return flag ? QStringLiteral("Si") : QStringLiteral("No"); }

QString Text(const std::string& bytes) { return platform::DisplayText(bytes); }

// Labels size themselves to their text.
void Show(QLabel* label, const QString& text) {
  label->setText(text);
  label->adjustSize();
}

}  // namespace

QString ChannelModeName(int mode) {
  if (mode < 0 || mode >= static_cast<int>(kModeNames.size())) return QStringLiteral("Unknown");
  return QString::fromLatin1(kModeNames[static_cast<std::size_t>(mode)]);
}

TMP3InfoForm::TMP3InfoForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("MP3InfoForm"));
  detail::SetUpFixedDialog(*this, QStringLiteral("MP3 Info"), QSize(392, 181));
  OkButton = detail::AddOkButton(*this, QStringLiteral("OkButton"), QRect(160, 152, 75, 25));
  platform::ConnectGuarded(OkButton, &QPushButton::clicked, this, [this] { OkButtonClick(); });

  MP3FileEdit = new QLineEdit(this);
  MP3FileEdit->setObjectName(QStringLiteral("MP3FileEdit"));
  MP3FileEdit->setGeometry(0, 24, 393, 21);
  MP3FileEdit->setReadOnly(true);
  const QFont bold = platform::BoldFont(platform::FormFont().pixelSize());
  Label1 = detail::AutoLabel(this, QStringLiteral("Label1"), QStringLiteral("Nome file MP3"), {0, 8}, bold);
  Label1->setBuddy(MP3FileEdit);

  MP3GroupBox = new QGroupBox(this);
  MP3GroupBox->setObjectName(QStringLiteral("MP3GroupBox"));
  MP3GroupBox->setGeometry(0, 48, 393, 97);
  MP3GroupBox->setAccessibleName(QStringLiteral("MP3 Info"));

  struct Row {
    QLabel** caption;
    const char* captionName;
    const char* text;
    QPoint captionAt;
    QLabel** value;
    const char* valueName;
    QPoint valueAt;
  };
  const std::array<Row, 10> rows = {{
      {&Label2, "Label2", "Dimensione", {8, 12}, &MP3Size, "MP3Size", {110, 12}},
      {&Label3, "Label3", "Durata", {8, 28}, &MP3Length, "MP3Length", {110, 28}},
      {&Label4, "Label4", "Versione e layer", {8, 44}, &MP3Layer, "MP3Layer", {110, 44}},
      {&Label5, "Label5", "BitRate e Mode", {8, 60}, &MP3Rate, "MP3Rate", {110, 60}},
      {&Label6, "Label6", "Lunghezza frame", {8, 76}, &MP3FrameLength, "MP3FrameLength", {110, 76}},
      {&Label7, "Label7", "Frequenza", {254, 12}, &MP3Freq, "MP3Freq", {328, 12}},
      {&Label9, "Label9", "Copyrighetd", {254, 28}, &MP3Cop, "MP3Cop", {328, 28}},
      {&Label10, "Label10", "Original", {254, 44}, &MP3Orig, "MP3Orig", {328, 44}},
      {&Label8, "Label8", "CRCs", {254, 60}, &MP3CRC, "MP3CRC", {328, 60}},
      {&Label11, "Label11", "Padding", {254, 76}, &MP3Pad, "MP3Pad", {328, 76}},
  }};
  for (const Row& row : rows) {
    const QString caption = QString::fromLatin1(row.text);
    *row.caption = detail::AutoLabel(MP3GroupBox, QString::fromLatin1(row.captionName), caption, row.captionAt, bold);
    *row.value = detail::AutoLabel(MP3GroupBox, QString::fromLatin1(row.valueName), QStringLiteral("ND"), row.valueAt,
                                   platform::FormFont());
    // A screen reader reads the value with the caption it belongs to.
    (*row.caption)->setBuddy(*row.value);
    (*row.value)->setAccessibleDescription(caption);
  }
}

bool TMP3InfoForm::event(QEvent* event) {
  // The window system activates a window some time after it is shown; filling the values as the
  // dialog is shown too means its first picture already names the selected song.
  if (event->type() == QEvent::Show || event->type() == QEvent::WindowActivate) {
    platform::RunGuarded([this] { FormActivate(); });
  }
  return QDialog::event(event);
}

void TMP3InfoForm::FormActivate() {
  const zodizidu::TMPEGAudio* analysis = songAnalysis_ ? songAnalysis_() : nullptr;
  if (!analysis) return;  // the main window offers the dialog only for a valid song; keep "ND"
  const zodizidu::TMPEGData& data = analysis->Data();
  MP3FileEdit->setText(Text(analysis->FileName()));
  MP3FileEdit->setCursorPosition(0);
  Show(MP3Size, QStringLiteral("%1 bytes").arg(data.FileLength));
  Show(MP3Length, QStringLiteral("%1 secondi").arg(data.Duration));
  Show(MP3Layer, QStringLiteral("MPEG %1 layer %2").arg(Text(analysis->VersionText()), Text(analysis->LayerText())));
  const QString mode = ChannelModeName(data.Mode);
  Show(MP3Rate, data.BitRate == -1 ? QStringLiteral("Variabile (%1)").arg(mode)
                                   : QStringLiteral("%1kbit (%2)").arg(data.BitRate).arg(mode));
  Show(MP3FrameLength, QString::number(data.FrameLength));
  Show(MP3Freq, QStringLiteral("%1 Hz").arg(data.SampleRate));
  Show(MP3Cop, YesNo(data.Copyright));
  Show(MP3Orig, YesNo(data.Original));
  Show(MP3CRC, YesNo(data.ErrorProt));
  Show(MP3Pad, YesNo(data.Padding));
}

void TMP3InfoForm::OkButtonClick() { accept(); }

}  // namespace dialogs
