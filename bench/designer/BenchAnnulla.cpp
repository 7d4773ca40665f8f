// What the undo history costs: the heap it holds after 200 steps on a label of 50 objects
// (20 texts, 10 barcodes, 10 pictures with a loaded picture, 10 rectangles), measured with
// glibc's malloc counters as the bytes freed when the history is cleared, and the time to
// undo and redo all 200 steps. Two runs of steps:
//   typical: one step in eight moves one object, aligns five, sets a text's alignment, makes
//            an object opaque or transparent, brings one to front, moves all 50 with the
//            keys, colours ten, edits a text;
//   whole label: every step moves all 50 objects or colours all 30 texts and rectangles.
// Beside it, the heap of the label itself, so that "a copy of the document per step"
// can be compared.
//
//   cmake -S . -B build-bench -DCARTIGO_BUILD_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//   cmake --build build-bench --target bench_annulla && build-bench/bench/designer/bench_annulla
#include "designer/ComandiEtichetta.h"
#include "label/ModificheEtichetta.h"
#include "shell/InterazioneScriptata.h"

#include <malloc.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <memory>

using namespace cartigo;

namespace {

size_t heap()
{
    return mallinfo2().uordblks;
}

struct Etichetta {
    DocumentoEtichetta doc;
    InterazioneScriptata ui;
    ComandiEtichetta cmd{doc, ui};
    std::vector<OggettoEtichetta*> oggetti;

    Etichetta()
    {
        QImage logo(200, 120, QImage::Format_RGB32);
        logo.fill(Qt::darkBlue);
        for (int i = 0; i < 50; ++i) {
            const float x = 600 + float(i % 10) * 400, y = 1500 + float(i / 10) * 500;
            OggettoEtichetta* o = i < 20   ? doc.CreaTesto(x, y, 1000, 255)
                                  : i < 30 ? doc.CreaBarcode(x, y, 1935, 1035)
                                  : i < 40 ? doc.CreaImmagine(x, y, 1935, 1035)
                                           : doc.CreaRettangolo(x, y, 1935, 1035);
            if (o->tipo == TipoOggetto::Testo) o->Caption = QStringLiteral("Testo dell'etichetta numero %1").arg(i);
            if (o->tipo == TipoOggetto::Barcode) o->ToolTipText = QStringLiteral("400638133393%1").arg(i % 10);
            if (o->tipo == TipoOggetto::Immagine) {
                o->ToolTipText = QStringLiteral("/home/utente/immagini/logo%1.png").arg(i);
                o->Picture = logo;
            }
            oggetti.push_back(o);
        }
        ui.gestoriDialogo[RichiestaModificaTesto::Nome] = [n = 0](RichiestaDialogo& d) mutable {
            static_cast<RichiestaModificaTesto&>(d).testo = QStringLiteral("Testo cambiato %1").arg(++n);
            return true;
        };
    }
    std::vector<OggettoEtichetta*> da(size_t primo, size_t quanti) const
    {
        std::vector<OggettoEtichetta*> r;
        for (size_t i = 0; i < quanti; ++i) r.push_back(oggetti[(primo + i) % oggetti.size()]);
        return r;
    }
    void spostaTutti(float dx)
    {
        std::vector<ModificaCornici::Voce> v;
        for (const OggettoEtichetta* o : oggetti) {
            Cornice c = Cornice::Di(*o);
            c.Left += dx;
            v.push_back({o->id, Cornice::Di(*o), c});
        }
        doc.Esegui(new ComandoSposta(doc, std::move(v), false));
    }
    void passoTipico(int i)
    {
        OggettoEtichetta* o = oggetti[size_t(i * 7) % oggetti.size()];
        OggettoEtichetta* testo = oggetti[size_t(i) % 20];
        switch (i % 8) {
            case 0: cmd.ImpostaCornice(o, {o->Left + 57, o->Top, o->Width, o->Height}); break;
            case 1: cmd.Allinea(Allinea::Sinistra, da(size_t(i), 5)); break;
            case 2: cmd.SetAlignment(testo->Alignment == 2 ? 0 : 2, testo); break;
            case 3:
                if (testo->BackStyle) cmd.Trasparente(testo); else cmd.Opaco(testo);
                break;
            case 4: cmd.PortaAvanti(o); break;
            case 5: spostaTutti(5.67f); break;
            case 6:
                ui.colori.push_back(QColor(i % 256, 40, 90));
                cmd.ColoreOggetto(da(size_t(i), 10));
                break;
            default: cmd.ModificaTesto(testo); break;
        }
    }
    void passoTutta(int i)
    {
        if (i % 2) {
            spostaTutti(5.67f);
        } else {
            ui.colori.push_back(QColor(i % 256, 40, 90));
            cmd.ColoreOggetto(oggetti);
        }
    }
};

template <typename F>
void misura(const char* nome, F passo)
{
    Etichetta e;
    const size_t inizio = heap();
    for (int i = 0; i < DocumentoEtichetta::PassiAnnullabili; ++i) (e.*passo)(i);
    const int passi = e.doc.Storia().count();
    std::vector<double> ms;
    for (int giro = 0; giro < 5; ++giro) {
        QElapsedTimer t;
        t.start();
        while (e.doc.Storia().canUndo()) e.doc.Storia().undo();
        while (e.doc.Storia().canRedo()) e.doc.Storia().redo();
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    const size_t conStoria = heap();
    e.doc.Storia().clear();
    const size_t senza = heap();
    std::printf("%-12s %3d steps  history %8zu bytes (%6.1f KiB, %5zu bytes a step)  "
                "undo+redo of all: median %.2f ms  [heap grew %zu bytes during the steps]\n",
                nome, passi, conStoria - senza, double(conStoria - senza) / 1024, (conStoria - senza) / size_t(passi),
                ms[ms.size() / 2], conStoria - inizio);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const size_t vuoto = heap();
    size_t etichetta = 0;
    {
        auto e = std::make_unique<Etichetta>();
        etichetta = heap() - vuoto;
    }
    std::printf("the label itself (50 objects, its pictures shared): %zu bytes\n", etichetta);
    misura("typical", &Etichetta::passoTipico);
    misura("whole label", &Etichetta::passoTutta);
    return 0;
}
