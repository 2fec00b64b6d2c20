// A compilation built in a temporary folder and the main window on it.
#include "tests/app/main_form_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QToolButton>

#include <algorithm>

namespace testsupport {

void DragThumbTo(QScrollBar* bar, int seconds) {
  QStyleOptionSlider option;
  option.initFrom(bar);
  option.orientation = bar->orientation();
  option.minimum = bar->minimum();
  option.maximum = bar->maximum();
  option.sliderPosition = bar->sliderPosition();
  option.sliderValue = bar->value();
  option.pageStep = bar->pageStep();
  option.singleStep = bar->singleStep();
  const QRect thumb = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar);
  const QRect groove = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarGroove, bar);
  const int x =
      groove.left() + thumb.width() / 2 + (groove.width() - thumb.width()) * seconds / std::max(1, bar->maximum());
  QTest::mousePress(bar, Qt::LeftButton, {}, thumb.center());
  QMouseEvent move(QEvent::MouseMove, QPointF(x, thumb.center().y()), bar->mapToGlobal(QPointF(x, thumb.center().y())),
                   Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(bar, &move);
  QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(x, thumb.center().y()));
}

MainFormTest::MainFormTest() { mixer_.Add("Master", 0, 65536, false, 65536); }

MainFormTest::~MainFormTest() = default;

void MainFormTest::InstallLibrary(const std::filesystem::path& library, const std::string& fileName) {
  FakeDecoder::InstallAs(program_.path(), "MPEGDLL.DLL", library);
  FakeDecoder::InstallAs(root_.path(), fileName, library);
}

void MainFormTest::InstallDecoder(const std::string& fileName) {
  InstallLibrary(FakeDecoder::LibraryPath(), fileName);
  // The file the program loads, so that both share one loaded instance.
  decoder_ = std::make_unique<FakeDecoder>(program_.path() / "MPEGDLL.DLL");
}

void MainFormTest::WriteIndex(const std::string& bytes) { root_.WriteFile("ALBUMS.INF", bytes); }

void MainFormTest::WriteIndex(const std::vector<IndexAlbum>& albums, std::string_view title, std::int32_t headerFlag) {
  WriteIndex(IndexFile(title, headerFlag, albums));
}

void MainFormTest::AddSong(const std::string& relative, int seconds, const std::optional<Id3Tag>& tag) {
  root_.WriteFile(relative, Mp3File(seconds, tag));
}

void MainFormTest::AddFolder(const std::string& relative) { root_.MakeDir(relative); }

app::TMainForm& MainFormTest::Open(app::TMainForm::BackCover backCover) {
  form_ = std::make_unique<app::TMainForm>(nullptr, backCover);
  form_->show();
  return *form_;
}

std::vector<QString> MainFormTest::Entries(const app::detail::ListBox* list) {
  std::vector<QString> entries;
  for (int i = 0; i < list->count(); ++i) entries.push_back(list->EntryText(i));
  return entries;
}

QString MainFormTest::Selected(const app::detail::ListBox* list) {
  const int row = list->currentRow();
  return list->EntrySelected(row) ? list->EntryText(row) : QString();
}

std::vector<QString> MainFormTest::EnabledPlayerControls() const {
  std::vector<QString> enabled;
  for (QWidget* control : std::initializer_list<QWidget*>{
           form_->ButtonPrev, form_->ButtonPlay, form_->ButtonPause, form_->ButtonStop, form_->ButtonNext,
           form_->PosMP3ScrollBar, form_->MP3InfoSpeedButton, form_->ContCheckBox, form_->RepeatCheckBox}) {
    if (control->isEnabled()) enabled.push_back(control->objectName());
  }
  return enabled;
}

std::vector<QString> MainFormTest::Boxes() const {
  std::vector<QString> shown;
  for (const auto& call : boxes_.Calls()) shown.push_back(call.caption + "|" + call.text);
  return shown;
}

bool MainFormTest::ClickEntry(app::detail::ListBox* list, const QString& text) {
  const QModelIndexList found =
      list->model()->match(list->model()->index(0, 0), Qt::DisplayRole, text, 1, Qt::MatchExactly);
  if (found.isEmpty()) return false;
  list->scrollTo(found.front());
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(found.front()).center());
  return true;
}

void MainFormTest::Click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); }

void MainFormTest::Activate(app::TMainForm& form) {
  QEvent activation(QEvent::WindowActivate);
  QApplication::sendEvent(&form, &activation);
}

}  // namespace testsupport
