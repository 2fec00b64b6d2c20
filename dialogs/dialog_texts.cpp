// The usage guide and the version history as the program has always shown them.
#include "dialogs/dialog_texts.h"

namespace dialogs {

const std::array<std::string_view, 23> kUsageGuideLines = {
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

const std::array<std::string_view, 29> kVersionHistoryLines = {
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

}  // namespace dialogs
