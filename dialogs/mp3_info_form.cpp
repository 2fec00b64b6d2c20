// TMP3InfoForm: the frame of the MP3 Info dialog; the header rows come with their own work.
#include "dialogs/mp3_info_form.h"

#include "dialogs/detail/fixed_dialog.h"

namespace dialogs {

TMP3InfoForm::TMP3InfoForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("MP3InfoForm"));
  detail::SetUpFixedDialog(*this, QStringLiteral("MP3 Info"), QSize(392, 181));
  detail::AddOkButton(*this, QStringLiteral("OkButton"), QRect(160, 152, 75, 25));
}

}  // namespace dialogs
