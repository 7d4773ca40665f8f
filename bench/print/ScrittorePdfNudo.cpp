// The floor of the label job: the same pages drawn straight onto QPdfWriter, without
// the print engine, its display list or the label document. It reads the benchmark's
// CSV file (name, street, city, ean13, code39; no quoted fields) and draws each record
// as cartigo-print draws etichetta_glabels.eti: a 2 x 4 sheet of 80 x 50 mm labels on
// A4, moved 4 mm to the right, each with a thin frame, three lines of Arial 10, an
// EAN-13 symbol with its digits below in Arial 8, a Code 39 symbol without text (white
// gaps and black bars, as the engine paints them). The bars of one colour go to the
// writer in one call, as the engine's renderer sends them.
//
//   bench_pdf_nudo DATA.csv OUT.pdf
#include "barcode/Code39.h"
#include "barcode/EAN.h"
#include "label/Caratteri.h"

#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextStream>
#include <cstdio>
#include <vector>

using namespace cartigo;

namespace {

constexpr double kTwipMm = 56.7;  // the engine's millimetre

QFont arial(int punti)
{
    QFont f = Caratteri::CarattereTesto(QStringLiteral("Arial"));
    f.setPixelSize(punti * 20);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(true);
    return f;
}

// One bar per run of dark modules across `larghezza` twips from `x`.
void barreEan(std::vector<QRectF>& barre, const QString& moduli, double x, double y, double larghezza, double altezza)
{
    barre.clear();
    const double m = larghezza / moduli.size();
    for (qsizetype i = 0; i < moduli.size();) {
        if (moduli[i] != QLatin1Char('1')) {
            ++i;
            continue;
        }
        qsizetype fine = i;
        while (fine < moduli.size() && moduli[fine] == QLatin1Char('1')) ++fine;
        barre.emplace_back(QPointF(x + i * m, y), QPointF(x + fine * m, y + altezza));
        i = fine;
    }
}

// A light module before every bar, the bars one or two modules wide, a light module last.
void barre39(std::vector<QRectF>& chiari, std::vector<QRectF>& scuri, const QString& codice, double x, double y,
             double larghezza, double altezza)
{
    chiari.clear();
    scuri.clear();
    const double m = larghezza / Code39::ModuliCode39(codice);
    auto rett = [&](std::vector<QRectF>& v, double da, int moduli) {
        v.emplace_back(QPointF(da, y), QPointF(da + moduli * m, y + altezza));
    };
    double pos = x;
    for (const QChar c : Code39::CodiceRacchiuso39(codice)) {
        for (const QChar e : Code39::Voce39(c)) {
            if (e == QLatin1Char(' ')) {
                rett(chiari, pos, 1);
                pos += m;
            } else {
                const int w = e == QLatin1Char('1') ? 1 : 2;
                rett(chiari, pos, 1);
                rett(scuri, pos + m, w);
                pos += (1 + w) * m;
            }
        }
    }
    rett(chiari, pos, 1);
}

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("usage: bench_pdf_nudo DATA.csv OUT.pdf\n", stderr);
        return 2;
    }
    QFile csv(QString::fromLocal8Bit(argv[1]));
    QFile uscita(QString::fromLocal8Bit(argv[2]));
    if (!csv.open(QIODevice::ReadOnly | QIODevice::Text) || !uscita.open(QIODevice::WriteOnly)) {
        std::fputs("bench_pdf_nudo: cannot open the files\n", stderr);
        return 1;
    }
    QTextStream righe(&csv);
    righe.readLine();  // the field names

    QPdfWriter pdf(&uscita);
    pdf.setCreator(QStringLiteral("bench_pdf_nudo"));
    pdf.setResolution(1440);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    QPainter p(&pdf);
    p.scale(pdf.logicalDpiX() / 1440.0, pdf.logicalDpiY() / 1440.0);

    const QFont testo = arial(10), cifre = arial(8);
    const QFontMetricsF mTesto(testo), mCifre(cifre);
    QPen cornice(Qt::black, 0);
    cornice.setCosmetic(true);
    std::vector<QRectF> chiari, scuri;
    int etichette = 0, pagine = 1;
    while (!righe.atEnd()) {
        const QStringList campi = righe.readLine().split(QLatin1Char(','));
        if (campi.size() < 5) continue;
        const int cella = etichette % 8;
        if (etichette > 0 && cella == 0) {
            pdf.newPage();
            ++pagine;
        }
        ++etichette;
        const double x0 = (10 + (cella % 2) * 90.0 + 4) * kTwipMm;
        const double y0 = (10 + (cella / 2) * 60.0) * kTwipMm;

        p.setPen(cornice);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(x0, y0, 4536, 2835));

        p.setFont(testo);
        p.setPen(Qt::black);
        for (int i = 0; i < 3; ++i) p.drawText(QPointF(x0 + 226.8, y0 + 170.1 + i * 283.5 + mTesto.ascent()), campi[i]);

        // EAN-13 in (113.4, 1134) 2041.2 x 1474.2, its digits below the bars
        const modCartigo::EsitoEAN ean = modCartigo::CodificaEAN(campi[3]);
        const double altezzaCifre = mCifre.height();
        barreEan(scuri, ean.moduli, x0 + 113.4, y0 + 1134, 2041.2, 1474.2 - altezzaCifre);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawRects(scuri.data(), int(scuri.size()));
        p.setFont(cifre);
        p.setPen(Qt::black);
        const double w = mCifre.horizontalAdvance(campi[3]);
        p.drawText(QPointF(x0 + 113.4 + (2041.2 - w) / 2, y0 + 1134 + 1474.2 - altezzaCifre + mCifre.ascent()),
                   campi[3]);

        // Code 39 in (2154.6, 1134) 2381.4 x 1474.2, without text
        barre39(chiari, scuri, campi[4], x0 + 2154.6, y0 + 1134, 2381.4, 1474.2 - altezzaCifre);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRects(chiari.data(), int(chiari.size()));
        p.setBrush(Qt::black);
        p.drawRects(scuri.data(), int(scuri.size()));
    }
    if (!p.end()) return 1;
    std::printf("%d labels, %d pages, %s\n", etichette, pagine, argv[2]);
    return 0;
}
