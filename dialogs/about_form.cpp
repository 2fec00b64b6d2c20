// TAboutForm: the frame of the about box; its pictures, links and guide buttons come with their own work.
#include "dialogs/about_form.h"

#include "dialogs/detail/fixed_dialog.h"

namespace dialogs {

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("AboutForm"));
  detail::SetUpFixedDialog(*this, QStringLiteral("Informazioni"), QSize(345, 218));
  detail::AddOkButton(*this, QStringLiteral("ButtonOk"), QRect(122, 192, 95, 25));
}

}  // namespace dialogs
