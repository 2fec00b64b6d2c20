// Message boxes, the standard error report and guarded handlers on real widgets.
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTest>

#include <memory>
#include <stdexcept>
#include <string>
#include <type_traits>

#include <gtest/gtest.h>

#include "platform/ui/error_report.h"
#include "platform/ui/message_box.h"

namespace {

using platform::MessageBoxCall;
using platform::MessageBoxRecorder;
using platform::MessageIcon;

TEST(ErrorReportText, DotIsAddedWhenTheLastCharacterSortsAfterIt) {
  EXPECT_EQ(platform::ErrorReportText("Read beyond end of file"), "Read beyond end of file.");
  EXPECT_EQ(platform::ErrorReportText("Done."), "Done.");
  EXPECT_EQ(platform::ErrorReportText("What?"), "What?.");  // '?' sorts after '.'
  EXPECT_EQ(platform::ErrorReportText("Error 12"), "Error 12.");
  EXPECT_EQ(platform::ErrorReportText("./Album/"), "./Album/.");  // so does '/'
  EXPECT_EQ(platform::ErrorReportText("Stop!"), "Stop!");         // '!' sorts before '.'
  EXPECT_EQ(platform::ErrorReportText("code (1)"), "code (1)");
  EXPECT_EQ(platform::ErrorReportText("a-"), "a-");
  EXPECT_EQ(platform::ErrorReportText("a "), "a ");
  EXPECT_EQ(platform::ErrorReportText("città"), "città.");
  EXPECT_EQ(platform::ErrorReportText(""), "");
}

TEST(ErrorReport, ShowsAnErrorBoxCaptionedWithTheApplicationTitle) {
  MessageBoxRecorder recorder;
  platform::ShowErrorReport("File not found");
  ASSERT_EQ(recorder.Calls().size(), 1u);
  EXPECT_EQ(recorder.Calls()[0].caption, "Albavox v2.0");
  EXPECT_EQ(recorder.Calls()[0].text, "File not found.");
  EXPECT_EQ(recorder.Calls()[0].icon, MessageIcon::kError);

  platform::SetApplicationTitle("Other title");
  platform::ShowErrorReport("x");
  platform::SetApplicationTitle("Albavox v2.0");
  ASSERT_EQ(recorder.Calls().size(), 2u);
  EXPECT_EQ(recorder.Calls()[1].caption, "Other title");
}

TEST(RunGuarded, AnExceptionEndsTheHandlerAndIsReported) {
  MessageBoxRecorder recorder;
  bool rest = false;
  platform::RunGuarded([&] {
    throw std::runtime_error("Read beyond end of file");
    rest = true;
  });
  EXPECT_FALSE(rest);
  platform::RunGuarded([] { throw 42; });
  platform::RunGuarded([] { throw std::runtime_error("Citt\xE0 non trovata"); });
  platform::RunGuarded([&] { rest = true; });
  EXPECT_TRUE(rest);
  ASSERT_EQ(recorder.Calls().size(), 3u);
  EXPECT_EQ(recorder.Calls()[0].text, "Read beyond end of file.");
  EXPECT_EQ(recorder.Calls()[1].text, "Unknown error.");
  EXPECT_EQ(recorder.Calls()[2].text, QString::fromUtf8("Città non trovata."));
}

TEST(RunGuarded, AFailingReportDoesNotEscape) {
  MessageBoxRecorder recorder;
  recorder.OnShow([](const MessageBoxCall&) { throw std::bad_alloc(); });
  platform::RunGuarded([] { throw std::runtime_error("first"); });
  EXPECT_EQ(recorder.Calls().size(), 1u);
}

TEST(Guarded, PassesAsManyLeadingArgumentsAsTheHandlerTakes) {
  int seen = 0;
  auto both = platform::Guarded([&](int a, int b) { seen = a * 10 + b; });
  both(1, 2, 3);
  EXPECT_EQ(seen, 12);
  auto none = platform::Guarded([&] { seen = -1; });
  none(true);
  EXPECT_EQ(seen, -1);
  static_assert(noexcept(none()));
  // A handler that fits no leading part of the arguments is refused at compile time.
  auto text = platform::Guarded([](const std::string&) {});
  static_assert(!std::is_invocable_v<decltype(text)&, int>);
  static_assert(std::is_invocable_v<decltype(text)&, std::string, int>);
}

TEST(MessageBoxRecorder, NestedRecordersTakeTurns) {
  MessageBoxRecorder outer;
  {
    MessageBoxRecorder inner;
    platform::ShowMessageBox("Error", "inner", MessageIcon::kError);
    EXPECT_EQ(inner.Calls().size(), 1u);
    EXPECT_TRUE(outer.Calls().empty());
  }
  platform::ShowMessageBox("Error", "outer", MessageIcon::kWarning);
  ASSERT_EQ(outer.Calls().size(), 1u);
  EXPECT_EQ(outer.Calls()[0].text, "outer");
  EXPECT_EQ(outer.Calls()[0].icon, MessageIcon::kWarning);
}

TEST(MessageBoxRecorder, ARecorderEndingOutOfOrderLeavesTheChainIntact) {
  MessageBoxRecorder outer;
  auto middle = std::make_unique<MessageBoxRecorder>();
  auto newest = std::make_unique<MessageBoxRecorder>();
  middle.reset();
  platform::ShowMessageBox("c", "one", MessageIcon::kNone);
  EXPECT_EQ(newest->Calls().size(), 1u);
  newest.reset();
  platform::ShowMessageBox("c", "two", MessageIcon::kNone);
  ASSERT_EQ(outer.Calls().size(), 1u);
  EXPECT_EQ(outer.Calls()[0].text, "two");
}

TEST(MessageBoxRecorder, ABoxShownWhileABoxIsUpIsRecordedToo) {
  MessageBoxRecorder recorder;
  QString seenByAction;
  recorder.OnShow([&](const MessageBoxCall& call) {
    if (call.text == "first") {
      for (int i = 0; i < 20; ++i) platform::ShowMessageBox("Error", "nested", MessageIcon::kError);
    }
    seenByAction = call.text;
  });
  platform::ShowMessageBox("Error", "first", MessageIcon::kError);
  EXPECT_EQ(recorder.Calls().size(), 21u);
  EXPECT_EQ(recorder.Calls()[0].text, "first");
  EXPECT_EQ(seenByAction, "first");
}

struct Form : QObject {
  int row = -2;
  void RowChanged(int value) {
    row = value;
    if (value == 2) throw std::runtime_error("row two");
  }
};

TEST(ConnectGuarded, HandlersOfSignalsWithZeroOneAndTwoArguments) {
  MessageBoxRecorder recorder;
  QWidget window;
  auto* button = new QPushButton("Play", &window);
  auto* list = new QListWidget(&window);
  auto* bar = new QScrollBar(Qt::Horizontal, &window);
  auto* slider = new QSlider(Qt::Horizontal, &window);
  list->addItems({"a", "b", "c"});
  window.show();

  int clicks = 0;
  bool checkedSeen = true;
  int action = -1;
  int low = -1, high = -1, lowOnly = -1;
  platform::ConnectGuarded(button, &QPushButton::clicked, &window, [&] {
    ++clicks;
    throw std::runtime_error("Errore di prova");
  });
  platform::ConnectGuarded(button, &QPushButton::clicked, &window, [&](bool checked) { checkedSeen = checked; });
  platform::ConnectGuarded(bar, &QScrollBar::actionTriggered, &window, [&](int a) { action = a; });
  platform::ConnectGuarded(slider, &QSlider::rangeChanged, &window, [&](int min, int max) {
    low = min;
    high = max;
  });
  platform::ConnectGuarded(slider, &QSlider::rangeChanged, &window, [&](int min) { lowOnly = min; });
  Form form;
  platform::ConnectGuarded(list, &QListWidget::currentRowChanged, &form, &Form::RowChanged);

  QTest::mouseClick(button, Qt::LeftButton);
  QTest::mouseClick(button, Qt::LeftButton);
  EXPECT_EQ(clicks, 2);  // the connection survives the exception
  EXPECT_FALSE(checkedSeen);
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(action, QAbstractSlider::SliderSingleStepAdd);
  slider->setRange(3, 7);
  EXPECT_EQ(low, 3);
  EXPECT_EQ(high, 7);
  EXPECT_EQ(lowOnly, 3);
  list->setCurrentRow(1);
  EXPECT_EQ(form.row, 1);
  list->setCurrentRow(2);
  EXPECT_EQ(form.row, 2);

  ASSERT_EQ(recorder.Calls().size(), 3u);
  EXPECT_EQ(recorder.Calls()[0].text, "Errore di prova.");
  EXPECT_EQ(recorder.Calls()[1].text, "Errore di prova.");
  EXPECT_EQ(recorder.Calls()[2].text, "row two.");
  EXPECT_EQ(recorder.Calls()[2].caption, "Albavox v2.0");
}

}  // namespace
