// THyperLabel: colours under the mouse and while pressed, and when a release opens the link.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "dialogs/hyper_label.h"
#include "platform/ui/desktop_link.h"
#include "tests/dialogs/dialog_helpers.h"

namespace {

using dialogs::THyperLabel;

const QColor kNavy(0, 0, 128);
const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);

class HyperLabelTest : public ::testing::Test {
 protected:
  HyperLabelTest() {
    window_.resize(300, 100);
    label_ = new THyperLabel(&window_);
    label_->setText("docs.example");
    label_->SetURL("file:///usr/share/doc/albavox/README.md");
    label_->adjustSize();
    label_->move(20, 20);
    window_.show();
  }

  // The mouse as the window system reports it to the label.
  void Enter() {
    QEnterEvent event(Inside(), label_->mapTo(&window_, Inside()), label_->mapToGlobal(Inside()));
    QApplication::sendEvent(label_, &event);
  }
  void Leave() {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(label_, &event);
  }
  void Press(Qt::MouseButton button = Qt::LeftButton) { QTest::mousePress(label_, button, {}, Inside()); }
  // While the button is down the mouse moves to `at`, in the label's coordinates.
  void DragTo(QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, label_->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(label_, &move);
  }
  void Release(QPoint at, Qt::MouseButton button = Qt::LeftButton) { QTest::mouseRelease(label_, button, {}, at); }

  QPoint Inside() const { return label_->rect().center(); }
  QPoint Outside() const { return label_->rect().bottomRight() + QPoint(30, 30); }
  QColor Colour() const { return label_->CaptionColour(); }

  platform::LinkRecorder links_;
  QWidget window_;
  THyperLabel* label_;
};

TEST_F(HyperLabelTest, LooksLikeALinkFromTheStart) {
  EXPECT_EQ(Colour(), kNavy);
  EXPECT_TRUE(label_->font().underline());
  EXPECT_EQ(label_->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(label_->HyperColour(), kBlue);
  EXPECT_EQ(label_->PressedColour(), kRed);
}

TEST_F(HyperLabelTest, HoverTurnsBlueLeavingRestoresNavyAndAClickOpensTheLink) {
  Enter();
  EXPECT_EQ(Colour(), kBlue);
  Leave();
  EXPECT_EQ(Colour(), kNavy);
  EXPECT_TRUE(links_.Links().empty()) << "hovering opens nothing";

  Enter();
  Press();
  EXPECT_EQ(Colour(), kRed);
  EXPECT_TRUE(links_.Links().empty()) << "the press alone opens nothing";
  Release(Inside());
  EXPECT_EQ(Colour(), kBlue);
  EXPECT_EQ(links_.Links(), std::vector<QString>{"file:///usr/share/doc/albavox/README.md"});
  Leave();
  EXPECT_EQ(Colour(), kNavy);
}

TEST_F(HyperLabelTest, PressDraggedOffAndReleasedOutsideOpensNothingAndRestoresNavy) {
  Enter();
  Press();
  DragTo(Outside());
  EXPECT_EQ(Colour(), kNavy) << "off the label the caption is as it was before the mouse came";
  Release(Outside());
  EXPECT_EQ(Colour(), kNavy);
  EXPECT_TRUE(links_.Links().empty());
  Leave();  // the window system's late notice changes nothing
  EXPECT_EQ(Colour(), kNavy);
}

TEST_F(HyperLabelTest, LeavingAndReenteringBeforeReleaseStillOpens) {
  Enter();
  Press(Qt::RightButton);
  DragTo(Outside());
  DragTo(Inside());
  EXPECT_EQ(Colour(), kRed) << "back over the label with the button down";
  Release(Inside(), Qt::RightButton);
  EXPECT_EQ(Colour(), kBlue);
  EXPECT_EQ(links_.Links().size(), 1u) << "any button opens the link";
  Leave();
  EXPECT_EQ(Colour(), kNavy) << "the colour saved on re-entry is still navy";
}

TEST_F(HyperLabelTest, EmptyUrlChangesColourButOpensNothing) {
  label_->SetURL(QString());
  bool clicked = false;
  QObject::connect(label_, &THyperLabel::clicked, [&] { clicked = true; });
  Enter();
  Press();
  EXPECT_EQ(Colour(), kRed);
  Release(Inside());
  EXPECT_EQ(Colour(), kBlue);
  EXPECT_TRUE(links_.Links().empty());
  EXPECT_TRUE(clicked) << "still a click of the label";
}

TEST_F(HyperLabelTest, AssistiveTechnologySeesALinkItCanPress) {
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(label_);
  ASSERT_NE(accessible, nullptr);
  EXPECT_EQ(accessible->role(), QAccessible::Link);
  EXPECT_EQ(accessible->text(QAccessible::Name), "docs.example");
  EXPECT_EQ(accessible->text(QAccessible::Value), "file:///usr/share/doc/albavox/README.md");
  QAccessibleActionInterface* actions = accessible->actionInterface();
  ASSERT_NE(actions, nullptr);
  ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
  actions->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(links_.Links().size(), 1u);
}

TEST(OpenLink, BlankLinksAreNotHandedOn) {
  platform::LinkRecorder links;
  platform::OpenLink("");
  platform::OpenLink("  ");
  platform::OpenLink("mailto:someone@example.org");
  EXPECT_EQ(links.Links(), std::vector<QString>{"mailto:someone@example.org"});
}

}  // namespace
