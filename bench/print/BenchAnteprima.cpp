// How soon the preview shows a big job: the 10,000-label job of run.sh (2 x 4 sheet, three
// text lines, two barcodes, a frame; records made up in memory) sent to the preview, timed
// from the job's start to the first page drawn in the preview, to the page count reaching
// the total, and for paging to page 1,000 (typed into the page box, drawn); then the same
// document saved as a print file (.ant), timed from opening it to its first page drawn, and
// paging to page 1,000 in it. Prints each run and the medians.
//
// Usage: bench_anteprima [RUNS] [LABELS]   (RUNS 5, LABELS 10000; under xvfb-run, or with
//        QT_QPA_PLATFORM=offscreen)
#include "label/DocumentoEtichetta.h"
#include "label/GestoreEtichetta.h"
#include "print/frmStampa.h"
#include "shell/InterazioneScriptata.h"
#include "stampora/AzioniOutput.h"
#include "stampora/FileStampa.h"
#include "stampora/RichiesteStampora.h"
#include "stampora/StamporaQt.h"
#include "stampora/VistaAnteprima.h"
#include "stampora/frmStamporaAnteprima.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

using namespace cartigo;

namespace {

// Made-up records with the fields of the label.
class RecordFinti : public RecordsetStampa {
public:
    explicit RecordFinti(int n) : n_(n) {}
    bool Eof() const override { return i_ >= n_; }
    void MoveNext() override { ++i_; }
    int RecordCount() override { return n_; }
    QString TestoCampo(const QString& campo) override
    {
        const QString c = campo.toLower();
        if (c == QLatin1String("name")) return QStringLiteral("Anna Rossi %1").arg(i_);
        if (c == QLatin1String("street")) return QStringLiteral("Via Roma %1").arg(i_ % 199 + 1);
        if (c == QLatin1String("city")) return QStringLiteral("10121 Torino");
        if (c == QLatin1String("ean13")) {
            const QString corpo = QStringLiteral("2%1").arg(i_, 11, 10, QLatin1Char('0'));
            int somma = 0;
            for (int k = 0; k < 12; ++k) somma += corpo[k].digitValue() * (k % 2 ? 3 : 1);
            return corpo + QString::number((10 - somma % 10) % 10);
        }
        return QStringLiteral("C%1").arg(i_, 7, 36, QLatin1Char('0')).toUpper();
    }
    bool HaCampo(const QString& campo) const override
    {
        static const QStringList campi = {"name", "street", "city", "ean13", "code39"};
        return campi.contains(campo, Qt::CaseInsensitive);
    }

private:
    int n_, i_ = 0;
};

// Notes when the preview's page area has finished drawing.
class OrologioDisegno : public QObject {
public:
    QElapsedTimer* orologio = nullptr;
    qint64 primo = -1;
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() != QEvent::Paint || primo >= 0) return false;
        auto* vista = qobject_cast<VistaAnteprima*>(o->parent());
        if (!vista || vista->PageCount() < 1) return false;
        // drawn now by the view's own handler, behind this filter
        o->removeEventFilter(this);
        QCoreApplication::sendEvent(o, e);
        primo = orologio->elapsed();
        return true;
    }
};

double mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : (v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2);
}

// Page 1,000 typed into the page box and drawn, in ms (median of 5).
double pagina1000(frmStamporaAnteprima* f)
{
    std::vector<double> t;
    for (int k = 0; k < 5; ++k) {
        f->vspAnteprima->SetPreviewPage(1);
        QApplication::processEvents();
        QElapsedTimer o;
        o.start();
        f->txtPagina->setText(QStringLiteral("1000"));
        f->txtPagina_LostFocus();
        f->vspAnteprima->viewport()->repaint();
        t.push_back(o.nsecsElapsed() / 1e6);
        if (f->vspAnteprima->PreviewPage() != 1000)
            std::fprintf(stderr, "page %d shown\n", f->vspAnteprima->PreviewPage());
    }
    return mediana(t);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::atoi(argv[1]) : 5;
    const int etichette = argc > 2 ? std::atoi(argv[2]) : 10000;
    QTemporaryDir cartella;
    const QString ant = cartella.filePath(QStringLiteral("lavoro.ant"));
    std::vector<double> primaPagina, tutte, paginaJob, apriAnt, paginaAnt;
    for (int r = 0; r < runs; ++r) {
        InterazioneScriptata ui;
        DocumentoEtichetta doc;
        GestoreEtichetta gestore(doc, ui);
        if (!gestore.CaricaEtichetta(QStringLiteral(CARTIGO_BENCH_ETICHETTA))) return 1;
        doc.ImpostaConnesso(true);
        ui.gestoriDialogo[RichiestaOpzioniStampa::Nome] = [](RichiestaDialogo& d) {
            InterazioneScriptata muto;
            return OkOpzioniStampa({true, false, "1", "1"}, static_cast<RichiestaOpzioniStampa&>(d), muto, QString())
                .confermato;
        };
        ui.gestoriDialogo[QStringLiteral("frmStamporaDestinazioneStampa")] = [](RichiestaDialogo& d) {
            static_cast<RichiestaDestinazioneStampa&>(d).DestinazioneStampa = 1;
            return true;
        };
        QElapsedTimer orologio;
        OrologioDisegno disegno;
        disegno.orologio = &orologio;
        frmStamporaAnteprima* f = frmStamporaAnteprima::Istanza();
        f->vspAnteprima->viewport()->installEventFilter(&disegno);
        double fine = 0, pagina = 0;
        ui.gestoriDialogo[QStringLiteral("frmStamporaAnteprima")] = [&](RichiestaDialogo& d) {
            auto& a = static_cast<RichiestaAnteprima&>(d);
            if (!a.InCorso)
                QTimer::singleShot(0, f, [&, doc = a.Documento] {
                    fine = orologio.elapsed();
                    pagina = pagina1000(f);
                    InterazioneScriptata muto;
                    SalvaOutput(*doc, ant, muto, FormatoFileStampa::DalNome);
                    f->hide();
                });
            return MostraAnteprima(a);
        };
        StampaEtichette job(doc, ui);
        job.ApriRecordset = [etichette] { return std::make_unique<RecordFinti>(etichette); };
        job.CreaAttesa = [] { return std::make_unique<frmAttesa>(); };
        orologio.start();
        if (job.Esegui() != EsitoStampa::Stampata) return 1;
        primaPagina.push_back(disegno.primo);
        tutte.push_back(fine);
        paginaJob.push_back(pagina);

        // the print file
        OrologioDisegno disegnoAnt;
        disegnoAnt.orologio = &orologio;
        f->vspAnteprima->viewport()->removeEventFilter(&disegno);
        f->vspAnteprima->viewport()->installEventFilter(&disegnoAnt);
        double paginaFile = 0;
        QTimer attesaDisegno;  // pages once the first page is on screen
        attesaDisegno.setInterval(5);
        // the file is read while it shows: page 1,000 is asked for once it has been read (asked
        // for sooner, the page box says there is no such page and waits for an answer)
        const int pagine = job.Pagine();
        QObject::connect(&attesaDisegno, &QTimer::timeout, f, [&] {
            if (disegnoAnt.primo < 0 || f->vspAnteprima->PageCount() < std::min(1000, pagine)) return;
            attesaDisegno.stop();
            paginaFile = pagina1000(f);
            f->hide();
        });
        attesaDisegno.start();
        orologio.restart();
        MostraFileStampa(ant, ui);
        apriAnt.push_back(disegnoAnt.primo);
        paginaAnt.push_back(paginaFile);
        frmStamporaAnteprima::Scarica();
        std::printf(
            "run %d: first page shown %.0f ms, all %d pages %.0f ms, page 1000 %.1f ms; "
            ".ant first page %.0f ms, page 1000 %.1f ms\n",
            r + 1, primaPagina.back(), job.Pagine(), tutte.back(), paginaJob.back(), apriAnt.back(), paginaAnt.back());
    }
    std::printf(
        "median of %d: job start to first page shown %.0f ms, to all pages %.0f ms, page 1000 %.1f ms; "
        ".ant open to first page %.0f ms, page 1000 %.1f ms\n",
        runs, mediana(primaPagina), mediana(tutte), mediana(paginaJob), mediana(apriAnt), mediana(paginaAnt));
    return 0;
}
