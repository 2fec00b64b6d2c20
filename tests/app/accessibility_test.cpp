// Every control of the main window and of the dialogs has an accessible name, and text controls
// expose their text, so screen readers and desktop automation can use the program.
#include <QAccessible>
#include <QAccessibleTextInterface>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QTextEdit>
#include <QToolButton>

#include <gtest/gtest.h>

#include <vector>

#include "dialogs/about_form.h"
#include "dialogs/mp3_info_form.h"
#include "dialogs/text_form.h"
#include "tests/app/main_form_fixture.h"

namespace {

using testsupport::MainFormTest;

// Qt's own scaffolding inside a composite control (the viewport and scroll-bar holders of a text
// box, the page stack of a tab control): plain containers a user never meets as controls.
bool IsScaffolding(QAccessibleInterface* node) {
  const QObject* object = node->object();
  const QAccessible::Role role = node->role();
  return object && object->objectName().startsWith("qt_") &&
         (role == QAccessible::Client || role == QAccessible::Pane || role == QAccessible::LayeredPane);
}

// Walks the accessible tree under `node` and lists every object without a name, by its role
// and, where it has one, its object name.
void CollectNameless(QAccessibleInterface* node, std::vector<QString>& nameless, int depth = 0) {
  ASSERT_LT(depth, 40) << "the tree has no end";
  if (node->text(QAccessible::Name).trimmed().isEmpty() && !IsScaffolding(node)) {
    const QObject* object = node->object();
    nameless.push_back(QString::number(node->role(), 16) + " " + (object ? object->objectName() : QString()) + " " +
                       (object ? QString::fromLatin1(object->metaObject()->className()) : QString()));
  }
  for (int i = 0; i < node->childCount(); ++i) {
    if (QAccessibleInterface* child = node->child(i)) CollectNameless(child, nameless, depth + 1);
  }
}

std::vector<QString> Nameless(QWidget& window) {
  std::vector<QString> nameless;
  CollectNameless(QAccessible::queryAccessibleInterface(&window), nameless);
  return nameless;
}

// The text a screen reader reads from a text control.
QString ReadText(QWidget* control) {
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
  QAccessibleTextInterface* text = accessible ? accessible->textInterface() : nullptr;
  return text ? text->text(0, text->characterCount()) : QString();
}

QString Name(QWidget* control) { return QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name); }

class AccessibilityTest : public MainFormTest {};

TEST_F(AccessibilityTest, MainWindowHasNoNamelessControl) {
  InstallDecoder();
  WriteIndex({{"Rock", 0}, {"Swing", 0}});
  AddSong("Rock/one.mp3", 61, testsupport::TitleTag("Alba"));
  app::TMainForm& form = Open();
  EXPECT_EQ(Nameless(form), std::vector<QString>{});
  // Caption-less controls are named by their captions beside them or by their hints.
  EXPECT_EQ(Name(form.MP3TitleEdit), "Titolo");
  EXPECT_EQ(Name(form.MP3CommentEdit), "Commento");
  EXPECT_EQ(Name(form.ButtonPlay), "Play");
  EXPECT_EQ(Name(form.VolTrackBar), "Volume");
  EXPECT_EQ(Name(form.AlbumListBox), "Albums");
  EXPECT_EQ(ReadText(form.MP3TitleEdit), "Alba");
}

TEST_F(AccessibilityTest, MainWindowInItsEmptyStateHasNoNamelessControl) {
  InstallDecoder();
  app::TMainForm& form = Open();
  EXPECT_EQ(Nameless(form), std::vector<QString>{});
}

TEST_F(AccessibilityTest, DialogsHaveNoNamelessControl) {
  dialogs::TAboutForm about;
  dialogs::TMP3InfoForm info;
  dialogs::TUseForm guide;
  dialogs::TVerForm history;
  for (QWidget* dialog : std::initializer_list<QWidget*>{&about, &info, &guide, &history}) {
    dialog->show();
    EXPECT_EQ(Nameless(*dialog), std::vector<QString>{}) << dialog->windowTitle().toStdString();
    dialog->hide();
  }
  EXPECT_EQ(Name(info.MP3FileEdit), "Nome file MP3");
  EXPECT_EQ(ReadText(guide.UseRichEdit).section('\n', 0, 0),
            "Albavox è il metodo piu' semplice e voloce per interfacciare le vostre");
  EXPECT_TRUE(ReadText(history.VerRichEdit).startsWith("Albavox v2.0 (04.08.2000)\n"));
}

}  // namespace
