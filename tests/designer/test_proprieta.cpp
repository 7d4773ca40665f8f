// What the object panel shows and changes, without widgets: every setting reads back what
// it wrote on every kind that has it, and a change is one step of the history or none.
#include "common/TestSupport.h"
#include "designer/DescrizioneOggetto.h"
#include "label/ModificheEtichetta.h"
#include "shell/StringTable.h"

#include <QUndoStack>

using namespace cartigo;
using namespace cartigo::DescrizioneOggetto;

namespace {

// A value of the setting unlike the one `o` has.
QVariant altroValore(Proprieta p, const OggettoEtichetta& o)
{
    if (ControlloDi(p) == Controllo::Casella) return !Leggi(p, o).toBool();
    switch (p) {
        case Proprieta::Testo:
        case Proprieta::Dati: return QStringLiteral("x y");
        case Proprieta::Carattere: return QStringLiteral("Courier");
        case Proprieta::Dimensione: return 33;
        case Proprieta::Minimo: return 7.5;
        case Proprieta::SpessoreLinea: return 2.5;
        case Proprieta::TipoBarcode: return 3;  // QR Code, whose correction is there too
        case Proprieta::PosizioneTesto:
        case Proprieta::Correzione:
        case Proprieta::Tratto:
        case Proprieta::Verticale:
        case Proprieta::Allineamento:
        case Proprieta::SpessoreBordo: return 2;
        case Proprieta::FormaMatrice: return 1;
        case Proprieta::File: return QString();
        case Proprieta::Rotazione: return 270;
        case Proprieta::Campo: return QStringLiteral("Nome");
        case Proprieta::ColoreTesto:
        case Proprieta::ColoreContorno:
        case Proprieta::ColoreSfondo: return 0x123456;
        default: return {};
    }
}

}  // namespace

TEST(ProprietaSelezione, EverySettingReadsBackWhatItWroteAndChangesInOneStep)
{
    test::AssicuraApplicazione();
    DocumentoEtichetta doc;
    std::vector<OggettoEtichetta*> oggetti;
    for (TipoOggetto tipo : kTipiOggetto) oggetti.push_back(doc.Crea(tipo, 1000, 2000, 900, 500));
    // A linear barcode, a QR Code and a Data Matrix have settings of their own.
    for (const char* tag : {"00", "31", "40"}) {
        oggetti.push_back(doc.CreaBarcode(1000, 2000, 900, 500));
        oggetti.back()->Tag = QString::fromLatin1(tag);
    }
    for (OggettoEtichetta* o : oggetti) {
        const TipoOggetto tipo = o->tipo;
        for (int i = 0; i < kNumeroProprieta; ++i) {
            const auto p = Proprieta(i);
            if (!Ha(p, *o) || p == Proprieta::File || p == Proprieta::TipoBarcode) continue;
            OggettoEtichetta copia = *o;
            const QVariant v = altroValore(p, *o);
            Scrivi(p, copia, v);
            EXPECT_EQ(Leggi(p, copia), v) << NomeArray(tipo).toStdString() << " " << i;
            EXPECT_FALSE(StesseProprieta(copia, *o)) << i;
            EXPECT_GT(TitoloDi(p), 0);
        }
    }
    // Through the selection: one step for all, named after the setting; the same value
    // again is none; a kind that lacks the setting is left alone.
    OggettoEtichetta* a = doc.CreaTesto(0, 0, 100, 100);
    OggettoEtichetta* b = doc.CreaTesto(0, 0, 100, 100);
    OggettoEtichetta* r = doc.CreaRettangolo(0, 0, 100, 100);
    b->FontSize = 20;
    ProprietaSelezione s(doc);
    s.ImpostaSelezione({a, b});
    EXPECT_TRUE(s.Valore(Proprieta::Dimensione).misto);
    EXPECT_FALSE(s.Valore(Proprieta::Carattere).misto);
    EXPECT_EQ(s.Valore(Proprieta::Dimensione).valore, 20);  // the last selected's
    EXPECT_TRUE(s.Imposta(Proprieta::Dimensione, 9));
    EXPECT_FALSE(s.Imposta(Proprieta::Dimensione, 9));
    EXPECT_EQ(doc.Storia().count(), 1);
    s.ImpostaSelezione({a, r});
    EXPECT_FALSE(s.Valore(Proprieta::Dimensione).presente);
    EXPECT_TRUE(s.Imposta(Proprieta::Rotazione, 180));
    EXPECT_EQ(doc.Storia().undoText(), LoadResString(NomeModifica::Rotazione));
    EXPECT_EQ(a->Rotazione.Gradi + r->Rotazione.Gradi, 360);
    // An object deleted since drops out of the selection.
    doc.Esegui(new ComandoCancella(doc, {r->id}));
    EXPECT_EQ(s.Oggetti().size(), 1u);
}
