// The program's windows as its start makes them: the main window at once; the usage guide, the
// version history and the "MP3 Info" dialog once the main window's first frame is out.
#pragma once

#include <optional>

#include "app/main_form.h"
#include "dialogs/mp3_info_form.h"
#include "dialogs/text_form.h"

namespace app {

class ProgramWindows {
 public:
  ProgramWindows();
  ProgramWindows(const ProgramWindows&) = delete;
  ProgramWindows& operator=(const ProgramWindows&) = delete;

  TMainForm& MainForm() { return mainForm_; }
  // Centres the main window on the screen, shows it and makes it the active window.
  void Show();

 private:
  TMainForm mainForm_{nullptr, TMainForm::BackCover::kAfterFirstFrame};
  // Shown from the about box, which the window makes afresh each time; before they exist, the
  // about box shows a passing guide or history.
  std::optional<dialogs::TUseForm> useForm_;
  std::optional<dialogs::TVerForm> verForm_;
  std::optional<dialogs::TMP3InfoForm> mp3InfoForm_;
};

}  // namespace app
