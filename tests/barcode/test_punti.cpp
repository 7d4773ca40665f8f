// Barcodes on whole printer dots: every linear kind laid out for 203 and 300 dpi through
// the print engine, measured on the page image and read by zbarimg.
#include "Campioni.h"
#include "RenderBarcode.h"
#include "barcode/ParametriBarcode.h"
#include "common/ImmagineZpl.h"
#include "common/ServerCups.h"
#include "common/TestSupport.h"
#include "shell/InterazioneScriptata.h"
#include "stampora/clsStampora.h"
#include "stampora/FileStampa.h"
#include "stampora/RenderizzatorePagina.h"
#include "stampora/StamporaCups.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace cartigo;

TEST(SimboliSuPunti, OgniBarraEOgniSpazioSuPuntiInteri)
{
    test::AssicuraApplicazione();
    std::vector<test::Campione> campioni;
    for (int tipo : {0, 1, 2, 6, 7}) {
        const auto c = test::Campioni(tipo, 200);
        campioni.insert(campioni.end(), c.begin(), c.end());
    }
    for (const double dpi : {203.0, 300.0}) {
        const auto doc = test::PagineCampioni(campioni, dpi);
        // with the reduction a label gets by default (1 dot), and with none
        for (const RiduzioneBarre r : {RiduzioneBarre(), RiduzioneBarre{RiduzioneBarre::Modo::Punti, 0}}) {
            doc->SetRiduzione(r);
            const int riduzione = r.Punti(dpi);
            int misurati = 0;
            for (int p = 0; p < doc->PageCount(); ++p) {
                const QImage img = ImmaginePagina(*doc, p, dpi);
                for (const SimboloBarcode& s : doc->Pagina(p).Simboli()) {
                    const QString errore = test::VerificaCorse(test::Corse(img, s, dpi), s, dpi, riduzione);
                    EXPECT_TRUE(errore.isEmpty()) << dpi << " dpi, reduction " << riduzione << ", kind "
                                                  << int(s.tipo) << " " << s.dati.toStdString() << ": "
                                                  << errore.toStdString();
                    ++misurati;
                }
            }
            EXPECT_EQ(misurati, int(campioni.size()));
        }
    }
    EXPECT_EQ(RiduzioneBarre().Punti(203), 1);
    EXPECT_EQ(RiduzioneBarre().Punti(600), 0);
    EXPECT_EQ(RiduzioneBarre().Punti(0), 0);
    EXPECT_EQ((RiduzioneBarre{RiduzioneBarre::Modo::Millimetri, 0.25}.Punti(203)), 2);
}

// The same symbols through a PDF file made for the resolution, as poppler turns it into a
// 1-bit raster: every symbol read, and where the bar width reduction applies (300 dpi or
// less), bars and spaces printed at their nominal widths within half a dot: the rasteriser
// gives back to each bar the dot the reduction took off.
TEST(SimboliSuPunti, PdfPerLaRisoluzioneConPdftoppmMono)
{
    test::AssicuraApplicazione();
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty() || !test::ZbarDisponibile())
        GTEST_SKIP() << "pdftoppm or zbarimg not found: install poppler-utils and zbar-tools";
    QTemporaryDir dir;
    dir.setAutoRemove(qEnvironmentVariableIsEmpty("CARTIGO_TIENI"));
    std::vector<test::Campione> tutti;
    for (int tipo : {0, 1, 2, 6, 7}) {
        const auto c = test::Campioni(tipo, 200);
        tutti.insert(tutti.end(), c.begin(), c.end());
    }
    for (const double dpi : {203.0, 300.0, 600.0}) {
        // at 600 dpi a fifth of them: the pages are four times the size
        std::vector<test::Campione> campioni;
        for (std::size_t i = 0; i < tutti.size(); i += dpi > 300 ? 5 : 1) campioni.push_back(tutti[i]);
        const auto doc = test::PagineCampioni(campioni, dpi);
        const QString pdf = dir.filePath(QStringLiteral("c%1.pdf").arg(dpi));
        QString errore;
        ASSERT_TRUE(SalvaPdf(*doc, pdf, &errore)) << errore.toStdString();
        const QString nome = QStringLiteral("r%1").arg(dpi);
        ASSERT_EQ(QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-mono"), QStringLiteral("-r"),
                                                                 QString::number(dpi), pdf, dir.filePath(nome)}),
                  0);
        const QStringList pagine = QDir(dir.path()).entryList({nome + QStringLiteral("-*.pbm")}, QDir::Files, QDir::Name);
        ASSERT_EQ(pagine.size(), doc->PageCount());
        QStringList immagini;
        QList<std::pair<QString, int>> dati;
        for (int p = 0; p < doc->PageCount(); ++p) {
            immagini << dir.filePath(pagine[p]);
            const bool misura = doc->Riduzione().Punti(dpi) > 0;
            const QImage img = misura ? QImage(immagini.last()) : QImage();
            ASSERT_TRUE(!misura || !img.isNull());
            for (const SimboloBarcode& s : doc->Pagina(p).Simboli()) {
                dati.append({test::DatiLetti(s), s.tipo});
                if (!misura) continue;
                const QString e = test::VerificaCorse(test::Corse(img, s, dpi), s, dpi, 0, 0.5);
                EXPECT_TRUE(e.isEmpty()) << dpi << " dpi, kind " << int(s.tipo) << " " << s.dati.toStdString() << ": "
                                         << e.toStdString();
            }
        }
        const QSet<QString> trovati = test::LeggiLineari(immagini);
        int letti = 0;
        for (const auto& [d, tipo] : dati) {
            if (trovati.contains(d))
                ++letti;
            else
                ADD_FAILURE() << dpi << " dpi: kind " << tipo << " not read " << d.toStdString();
        }
        EXPECT_EQ(letti, dati.size()) << dpi << " dpi";
    }
}

// The raster pipeline of a real label printer: a private CUPS scheduler with CUPS's own
// Zebra ZPL driver prints into files, at 203 and at 300 dpi (the queues' own settings); the graphics of the ZPL become 1-bit images. Every bar and
// space measures its nominal width within half a dot, and zbarimg reads every symbol.
TEST(SimboliSuPunti, CodeZebraZplA203E300Dpi)
{
    test::AssicuraApplicazione();
    test::ServerCups cups;
    if (!cups.avviato()) GTEST_SKIP() << cups.motivo().toStdString();
    const QString ppd = cups.PpdCups(QStringLiteral("zebra.ppd"));
    if (ppd.isEmpty()) GTEST_SKIP() << cups.motivo().toStdString();
    if (!QFileInfo::exists(QStringLiteral("/usr/lib/cups/filter/rastertolabel")))
        GTEST_SKIP() << "rastertolabel not found: install cups";
    ASSERT_TRUE(cups.AggiungiCoda(QStringLiteral("ZPL203"), false, ppd, {QStringLiteral("Resolution=203dpi")}))
        << cups.motivo().toStdString();
    ASSERT_TRUE(cups.AggiungiCoda(QStringLiteral("ZPL300"), false, ppd, {QStringLiteral("Resolution=300dpi")}))
        << cups.motivo().toStdString();

    std::vector<test::Campione> campioni;
    for (int tipo : {0, 1, 2, 6, 7}) {
        const auto c = test::Campioni(tipo, 200);
        campioni.insert(campioni.end(), c.begin(), c.end());
    }
    QTemporaryDir dir;
    dir.setAutoRemove(qEnvironmentVariableIsEmpty("CARTIGO_TIENI"));
    for (const auto& [coda, dpi] : {std::pair{QStringLiteral("ZPL203"), 203.0}, {QStringLiteral("ZPL300"), 300.0}}) {
        DispositivoStampaCups d;
        d.ImpostaServer(cups.Indirizzo());
        QString errore;
        auto info = d.Cerca(coda, &errore);
        ASSERT_TRUE(info) << errore.toStdString();
        EXPECT_EQ(info->risoluzione, dpi) << coda.toStdString();
        // long labels of a roll, 120 mm wide
        info->larghezzaCarta = 120 * 1440 / 25.4;
        info->altezzaCarta = 900 * 1440 / 25.4;
        const auto doc = test::PagineCampioni(campioni, 0, &*info);
        LavoroStampa lavoro;
        lavoro.ultima = doc->PageCount();
        ASSERT_TRUE(d.Stampa(*doc, lavoro, &errore)) << errore.toStdString();
        const auto fatto =
            cups.AttendiLavoro(coda, d.UltimoLavoro().section(QLatin1Char('-'), -1).toInt(), 300);
        ASSERT_TRUE(fatto && fatto->stato == 9) << cups.Registro().toStdString();
        const QByteArray zpl = test::LeggiFile(cups.Uscita(coda));
        if (!dir.autoRemove()) test::ScriviFile(dir.filePath(coda + QStringLiteral(".zpl")), zpl);
        const auto immagini = test::ImmaginiZpl(zpl);
        ASSERT_EQ(int(immagini.size()), doc->PageCount());
        QStringList file;
        QList<std::pair<QString, int>> dati;
        for (int p = 0; p < doc->PageCount(); ++p) {
            for (const SimboloBarcode& s : doc->Pagina(p).Simboli()) {
                dati.append({test::DatiLetti(s), s.tipo});
                const QString e = test::VerificaCorse(test::Corse(immagini[p], s, dpi), s, dpi, 0, 0.5);
                EXPECT_TRUE(e.isEmpty()) << coda.toStdString() << ", kind " << int(s.tipo) << " "
                                         << s.dati.toStdString() << ": " << e.toStdString();
            }
            file << dir.filePath(QStringLiteral("%1-%2.png").arg(coda).arg(p));
            ASSERT_TRUE(immagini[p].save(file.last()));
        }
        if (!test::ZbarDisponibile()) continue;
        const QSet<QString> trovati = test::LeggiLineari(file);
        int letti = 0;
        for (const auto& [dato, tipo] : dati) {
            if (trovati.contains(dato))
                ++letti;
            else
                ADD_FAILURE() << coda.toStdString() << ": kind " << tipo << " not read " << dato.toStdString();
        }
        EXPECT_EQ(letti, dati.size()) << coda.toStdString();
    }
}

// Turned symbols stay on whole dots: every linear kind turned by a quarter, a half and three
// quarters about centres off the dot grid, at 203 and 300 dpi, measured on the page image
// turned back, and read by zbarimg.
TEST(SimboliSuPunti, SimboliGiratiSuPuntiInteriELeggibili)
{
    test::AssicuraApplicazione();
    QTemporaryDir dir;
    const std::vector<std::pair<int, QString>> tipi = {{0, QStringLiteral("CARTIGO-39")},
                                                       {1, QStringLiteral("590123412345")},
                                                       {2, QStringLiteral("TURN90")},
                                                       {6, QStringLiteral("03600029145")},
                                                       {7, QStringLiteral("1540014128876")}};
    QStringList attesi = {"CODE-39:CARTIGO-39", "EAN-13:5901234123457", "CODE-128:TURN90",
                          "UPC-A:036000291452", "I2/5:15400141288763"};
    attesi.sort();
    for (const double dpi : {203.0, 300.0}) {
        InterazioneScriptata ui;
        clsStampora m(ui);
        const auto doc = m.OutputCondiviso();
        m.StartDoc();
        m.SetScaleMode(6);
        m.SetOffsetX(4);
        doc->SetRisoluzione(dpi);
        for (std::size_t i = 0; i < tipi.size(); ++i) {
            for (const int gradi : {90, 180, 270}) {
                const double cx = 35.13 + (gradi / 90 - 1) * 65.07, cy = 30.29 + double(i) * 55;
                m.Ruota(cx, cy, gradi);
                m.DrawBarcode(ParametriBarcode::DaTag(QString::number(tipi[i].first) + QLatin1Char('0')),
                              tipi[i].second, cx - 22.5, cy - 7, 45, 14);
                m.Ruota(cx, cy, 0);
            }
        }
        doc->EndDoc();
        ASSERT_EQ(doc->VersioneFormato(), 3);
        const QImage img = ImmaginePagina(*doc, 0, dpi);
        const int riduzione = doc->Riduzione().Punti(dpi);
        const double k = dpi / 1440.0;
        int gradi = 0, misurati = 0;
        QPointF centro;
        const auto& simboli = doc->Pagina(0).Simboli();
        doc->Pagina(0).PerOgni([&](const Operazione& op) {
            if (op.tipo == TipoOperazione::Rotazione) {
                gradi = int(op.x2);
                centro = QPointF(op.x1, op.y1);
            }
            if (op.tipo != TipoOperazione::Simbolo) return;
            const SimboloBarcode& s = simboli[op.dato];
            // the page turned back: the symbol's own frame moved by whole pixels or less
            QTransform indietro;
            indietro.rotate(-gradi);
            const QTransform vero = QImage::trueMatrix(indietro, img.width(), img.height());
            const QPointF angolo = vero.map((centro - QTransform().rotate(gradi).map(centro)) * k);
            const auto corse = test::Corse(img.transformed(indietro), s, dpi, -angolo.x(), -angolo.y());
            const QString errore = test::VerificaCorse(corse, s, dpi, riduzione);
            EXPECT_TRUE(errore.isEmpty()) << dpi << " dpi, " << gradi << " degrees, kind " << int(s.tipo) << ": "
                                          << errore.toStdString();
            ++misurati;
        });
        EXPECT_EQ(misurati, 15);
        // each turn's column of symbols read on its own (zbarimg gives one of equal symbols)
        for (const int gradi : {90, 180, 270}) {
            const double cx = 4 + 35.13 + (gradi / 90 - 1) * 65.07;  // the engine's 4 mm shift
            const QRect colonna(int((cx - 30) * dpi / 25.4), 0, int(60 * dpi / 25.4), img.height());
            const QString png = dir.filePath(QStringLiteral("girati-%1-%2.png").arg(dpi).arg(gradi));
            ASSERT_TRUE(img.copy(colonna).convertToFormat(QImage::Format_Grayscale8).save(png));
            const auto letti = test::LeggiZbar(png);
            if (!letti) GTEST_SKIP() << "zbarimg not found: install zbar-tools";
            QStringList l = *letti;
            l.sort();
            EXPECT_EQ(l.join(QLatin1Char(' ')).toStdString(), attesi.join(QLatin1Char(' ')).toStdString())
                << dpi << " dpi, " << gradi << " degrees";
        }
    }
}
