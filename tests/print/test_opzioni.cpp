// Print options, the page check and the cell sequence.
#include "common/TestSupport.h"
#include "print/OpzioniStampa.h"
#include "shell/InterazioneScriptata.h"
#include "shell/StringTable.h"

using namespace cartigo;

namespace {
struct Pagina : AreaPagina {
    double h, w;
    int orientamento = 1;
    Pagina(double altezzaCm, double larghezzaCm) : h(altezzaCm * 567), w(larghezzaCm * 567) {}
    double Height() const override { return orientamento == 1 ? h : w; }
    double Width() const override { return orientamento == 1 ? w : h; }
    int Orientation() const override { return orientamento; }
    void SetOrientation(int o) override { orientamento = o; }
};
}  // namespace

TEST(OpzioniStampa, OkValidatesInOrderAndStoresTheValues)
{
    ImpostaLingua(Lingua::Italiano);  // the messages checked are the Italian ones
    struct Caso {
        const char* nome;
        ValoriDialogoStampa v;
        int campoErrato;
        bool tutte;
    } casi[] = {
        {"all labels, empty number is not checked", {true, false, "", "1"}, 0, true},
        {"number 0 refused", {false, true, "0", "1"}, 1, false},
        {"number 3 accepted", {false, true, "3", "1"}, 0, false},
        {"first 0 refused with all labels too", {true, false, "1", "0"}, 2, true},
        {"first empty refused", {false, true, "2", ""}, 2, false},
        {"number above 32767 refused", {false, true, "40000", "1"}, 1, false},
        {"first above 32767 refused", {false, true, "1", "99999"}, 2, false},
    };
    for (const auto& c : casi) {
        InterazioneScriptata ui;
        RichiestaOpzioniStampa r;
        const auto esito = OkOpzioniStampa(c.v, r, ui, QStringLiteral("Stampa"));
        EXPECT_EQ(esito.campoErrato, c.campoErrato) << c.nome;
        EXPECT_EQ(esito.confermato, c.campoErrato == 0) << c.nome;
        EXPECT_EQ(r.Confermato, c.campoErrato == 0) << c.nome;
        if (c.campoErrato) {
            ASSERT_EQ(ui.messaggi.size(), 1) << c.nome;
            EXPECT_EQ(ui.messaggi[0].testo, QStringLiteral("Indicare un valore positivo."));
            EXPECT_EQ(ui.messaggi[0].titolo, QStringLiteral("Stampa"));
            EXPECT_EQ(ui.beep_, 1);
        } else {
            EXPECT_EQ(r.StampaTutte, c.tutte) << c.nome;
        }
    }
    InterazioneScriptata ui;
    RichiestaOpzioniStampa r;
    ValoriDialogoStampa v{true, false, "7", "3", true, false};
    ASSERT_TRUE(OkOpzioniStampa(v, r, ui, QString()).confermato);
    EXPECT_EQ(r.NumeroEtichette, 7);  // stored even with "all labels"
    EXPECT_EQ(r.PrimaEtichetta, 3);
    EXPECT_TRUE(r.StampaBordi);
    EXPECT_FALSE(r.StampaCrocicchi);
}

TEST(OpzioniStampa, PageCheckTurnsOrRefusesSmallPages)
{
    ImpostaLingua(Lingua::Italiano);  // the messages checked are the Italian ones
    {
        InterazioneScriptata ui;
        Pagina a4(29.7, 21.0);
        EXPECT_TRUE(TestAreaStampa(a4, 29.66, 20.96, ui));
        EXPECT_TRUE(ui.messaggi.isEmpty());
        Pagina esatta(29.66, 20.96);  // strict comparisons: exactly as large passes
        EXPECT_TRUE(TestAreaStampa(esatta, 29.66, 20.96, ui));
        EXPECT_TRUE(ui.messaggi.isEmpty());
    }
    {
        InterazioneScriptata ui;
        Pagina a4(29.7, 21.0);
        a4.orientamento = 2;
        ui.risposte = {Risposta::Yes};
        EXPECT_TRUE(TestAreaStampa(a4, 29.66, 20.96, ui));
        EXPECT_EQ(a4.orientamento, 1);
        ASSERT_EQ(ui.messaggi.size(), 1);
        EXPECT_EQ(ui.messaggi[0].testo,
                  QStringLiteral("L'orientamento della pagina e' errato.\r\rLo modifico automaticamente?"));
        EXPECT_EQ(ui.messaggi[0].titolo, QStringLiteral("[Corvale] - Funzione TestAreaStampa"));
        EXPECT_EQ(ui.messaggi[0].pulsanti, Pulsanti::YesNo);
        EXPECT_EQ(ui.messaggi[0].icona, Icona::Domanda);
        a4.orientamento = 2;
        ui.risposte = {Risposta::No};
        EXPECT_TRUE(TestAreaStampa(a4, 29.66, 20.96, ui));  // No prints as it is
        EXPECT_EQ(a4.orientamento, 2);
    }
    {
        InterazioneScriptata ui;
        Pagina letter(27.94, 21.59);
        ui.risposte = {Risposta::No, Risposta::Yes};
        EXPECT_FALSE(TestAreaStampa(letter, 29.66, 20.96, ui));
        EXPECT_TRUE(TestAreaStampa(letter, 29.66, 20.96, ui));
        EXPECT_EQ(ui.messaggi[0].testo, QStringLiteral("Dimensioni della pagina inferiori a quelle necessarie per il "
                                                       "documento.\rContinuare ugualmente la stampa?"));
    }
}

TEST(OpzioniStampa, CellsFillRowsThenPages)
{
    auto sequenza = [](int col, int righe, int prima, int etichette) {
        SequenzaCelle s(col, righe, prima);
        QStringList r;
        for (int i = 0; i < etichette; ++i) {
            const auto c = s.Prossima();
            r << QStringLiteral("%1%2,%3").arg(QString(c.nuovePagine, QLatin1Char('|'))).arg(c.colonna).arg(c.riga);
        }
        return r.join(QLatin1Char(' '));
    };
    // 2 x 4, first position 3, 10 labels: cells 3..8 of page 1, then 1..4 of page 2
    EXPECT_EQ(sequenza(2, 4, 3, 10), QStringLiteral("1,2 2,2 1,3 2,3 1,4 2,4 |1,1 2,1 1,2 2,2"));
    // first position 9: one empty page first
    EXPECT_EQ(sequenza(2, 4, 9, 2), QStringLiteral("|1,1 2,1"));
    // exactly one page: no new page at all
    EXPECT_EQ(sequenza(2, 4, 1, 8).count(QLatin1Char('|')), 0);
    EXPECT_EQ(sequenza(3, 1, 1, 4), QStringLiteral("1,1 2,1 3,1 |1,1"));
    EXPECT_EQ(sequenza(2, 4, 20, 1), QStringLiteral("||2,2"));
}
