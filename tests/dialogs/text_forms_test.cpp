// TUseForm and TVerForm: the stored texts line by line, read-only, on one line each, and "&Ok".
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <vector>

#include "dialogs/text_form.h"
#include "tests/dialogs/dialog_helpers.h"

namespace {

using dialogs_test::ExecWith;

// The text box's lines as the user sees them stored: one per paragraph.
std::vector<QString> Lines(const QTextEdit* box) {
  std::vector<QString> lines;
  for (QTextBlock block = box->document()->begin(); block.isValid(); block = block.next())
    lines.push_back(block.text());
  return lines;
}

// Paragraphs that wrap onto more than one screen line.
std::vector<QString> Wrapped(const QTextEdit* box) {
  std::vector<QString> wrapped;
  for (QTextBlock block = box->document()->begin(); block.isValid(); block = block.next()) {
    if (block.layout()->lineCount() > 1) wrapped.push_back(block.text());
  }
  return wrapped;
}

const std::vector<QString> kGuide = {
    "Albavox è il metodo piu' semplice e voloce per interfacciare le vostre",
    "compilation di file MP3. Strutturalmente prevede sia la visione costante delle ",
    "canzoni presenti in ogni album che, se presenti, le relative covers (back e ",
    "front).",
    "Per usare correttamente il programma bisogna innanzitutto creare la struttura",
    "della compilation tenendo presente che :",
    " * il nome della directory rappresenta il nome dell'album;",
    " * se l'album è un multiCD, all'interno della directory dell'album stesso creare",
    "   delle sottodirectory per i singoli CD usando il nome CDx, dove x può variare",
    "   da 1 a 4.",
    "* inserire le cover rinominandole BACK.JPG e FRONT.JPG. Dovranno essere",
    "  sempre inserite all'interno della directory dell'album. Inoltre, per evitare lunghi ",
    "  periodi di attesa per il caricamento delle immagini si consiglia di usare file di ",
    "  risoluzione massima 400x400.",
    "",
    "Seguendo queste semplici regole usare ALBAINDEX.EXE (scaricabile ",
    "anch'esso dal sito di Albavox), selezionando la directory principale che ",
    "contiene l'intera compilation e quindi creare il file ALBUMS.INF. Quindi copiate ",
    "ALBAVOX.EXE ed MPEGDLL.DLL nella stessa directory e buon ascolto!",
    "",
    "N.B. : fate riferimento alla sezione DESCRIZIONE dal sito di Albavox per il ",
    "          funzionamento di ALBAINDEX e la visualizzazione di un esempio di ",
    "          una corretta struttura di una compilation MP3.",
};

const std::vector<QString> kHistory = {
    "Albavox v2.0 (04.08.2000)",
    "  * Aggiunta la barra di scorrimento della canzone",
    "  * Aggiunti i tasti di selezione della canzone precedente e successiva",
    "  * Aggiunta la riproduzione continuata dei brani dell'album selezionato",
    "  * Aggiunta la riproduzione continuata della canzone selezionata",
    "  * Gestione di CD multipli (da 2 a 4)",
    "  * Restyling dell'interfaccia",
    "  * Rilascio di ALBAINDEX.EXE per la creazione del file ALBUMS.INF",
    "  * Possibilità di dare un titolo alla compilation (usare ALBAINDEX)",
    "  * Correzione di alcuni bugs",
    "",
    "Albavox v1.2.1 (18.07.2000)",
    "  * Correzione di alcuni bugs",
    "",
    "Albavox v1.2 (15.07.2000)",
    "  * Aggiunta la voce \"Commento\" nella sezione \"ID3 Info\"",
    "  * Aggiunta la sezione \"MP3 Info\"",
    "  * Aggiunto il controllo del volume",
    "  * Codice ottimizzato",
    "  * Restyling dell'interfaccia",
    "",
    "Albavox v1.1 (21.06.2000)",
    "  * Interfaccia ottimizzata",
    "  * Codice ottimizzato",
    "  * Correzione di alcuni bugs",
    "",
    "Albavox v1.0 (15.06.2000)",
    "  * Lancio ufficiale del programma",
    " ",
};

TEST(UseForm, ShowsTheUsageGuideLineByLineReadOnlyAndOkClosesIt) {
  dialogs::TUseForm guide;
  EXPECT_EQ(guide.windowTitle(), "Guida all'uso di Albavox");
  EXPECT_EQ(guide.size(), QSize(392, 293));
  EXPECT_EQ(Lines(guide.UseRichEdit), kGuide);
  EXPECT_TRUE(guide.UseRichEdit->isReadOnly());
  EXPECT_EQ(ExecWith(guide,
                     [&] {
                       EXPECT_EQ(Wrapped(guide.UseRichEdit), std::vector<QString>{}) << "each stored line on one line";
                       QTest::keyClicks(guide.UseRichEdit, "xyz");
                       EXPECT_EQ(Lines(guide.UseRichEdit), kGuide) << "typing changes nothing";
                       QTest::mouseClick(guide.ButtonOk, Qt::LeftButton);
                     }),
            QDialog::Accepted);
  EXPECT_FALSE(guide.isVisible());
}

TEST(VerForm, ShowsTheVersionHistoryLineByLineWithItsQuotesAndFinalBlank) {
  dialogs::TVerForm history;
  EXPECT_EQ(history.windowTitle(), "Version History");
  EXPECT_EQ(Lines(history.VerRichEdit), kHistory);
  EXPECT_TRUE(history.VerRichEdit->isReadOnly());
  EXPECT_EQ(history.VerRichEdit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(ExecWith(history,
                     [&] {
                       EXPECT_EQ(Wrapped(history.VerRichEdit), std::vector<QString>{});
                       QTest::keyClick(&history, Qt::Key_Return);
                     }),
            QDialog::Accepted);
}

TEST(GuideForms, TheNewestAliveIsTheOneTheAboutBoxShows) {
  EXPECT_EQ(dialogs::TUseForm::Instance(), nullptr);
  dialogs::TUseForm first;
  {
    dialogs::TUseForm second;
    EXPECT_EQ(dialogs::TUseForm::Instance(), &second);
  }
  EXPECT_EQ(dialogs::TUseForm::Instance(), &first);
  auto* early = new dialogs::TVerForm;
  dialogs::TVerForm late;
  delete early;  // one made earlier may go first
  EXPECT_EQ(dialogs::TVerForm::Instance(), &late);
  EXPECT_EQ(dialogs::TUseForm::Instance(), &first) << "a newer history is no guide";
}

}  // namespace
