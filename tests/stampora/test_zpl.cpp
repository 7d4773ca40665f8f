// ZPL II output: what Cartigo writes, read back independently (the graphic fields by the
// tests' own ^GF decoder, whole labels by zpl-renderer-js and the scanners).
#include "../barcode/Campioni.h"
#include "SupportoStampora.h"
#include "barcode/ParametriBarcode.h"
#include "common/ImmagineZpl.h"
#include "common/TestSupport.h"
#include "stampora/RenderizzatorePagina.h"
#include "stampora/ScrittoreZpl.h"
#include "stampora/clsStampora.h"
#include "shell/InterazioneScriptata.h"

#include <QBuffer>
#include <QPainter>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>
#include <cstring>

using namespace cartigo;

namespace {

// The field data of a ZPL command with ^FH's "_XX" escapes undone.
QString DatiCampo(const QByteArray& campo)
{
    const qsizetype fd = campo.indexOf("^FD");
    QByteArray d = campo.mid(fd + 3, campo.indexOf("^FS", fd) - fd - 3);
    if (campo.contains("^FH_")) {
        QByteArray u;
        for (qsizetype i = 0; i < d.size(); ++i) {
            if (d[i] == '_' && i + 2 < d.size()) {
                u += char(d.mid(i + 1, 2).toInt(nullptr, 16));
                i += 2;
            } else {
                u += d[i];
            }
        }
        d = u;
    }
    return QString::fromUtf8(d);
}

}  // namespace

TEST(Zpl, GraficaCompressaSiRileggeUgualeAllaSorgente)
{
    // Both forms: run-length hex and :Z64:.
    // Widths on and off a byte, rows all light, all dark, repeated, and runs longer than
    // one repeat count says (over 400 digits).
    QRandomGenerator g(7);
    for (const int larghezza : {1, 7, 8, 13, 1700, 3300}) {
        QImage img(larghezza, 40, QImage::Format_Mono);
        img.fill(0);
        for (int y = 0; y < img.height(); ++y) {
            const int modo = y % 5;
            for (int x = 0; x < larghezza; ++x) {
                const bool scuro = modo == 1 ? true : modo == 2 ? (x / 9) % 2 : modo == 3 ? g.bounded(2) : modo == 4 && x > larghezza / 2;
                img.setPixel(x, y, scuro ? 1 : 0);
            }
            if (y == 20) std::memcpy(img.scanLine(y), img.scanLine(y - 1), img.bytesPerLine());
        }
        const int perRiga = (larghezza + 7) / 8;
        const QByteArray t = QByteArray::number(perRiga * img.height());
        for (const QByteArray& dati : {EsadecimaleZpl(img), Z64Zpl(img)}) {
            const QByteArray zpl = "^XA^FO0,0^GFA," + t + ',' + t + ',' + QByteArray::number(perRiga) + ',' + dati + "^FS^XZ";
            const auto letti = test::ImmaginiZpl(zpl);
            ASSERT_EQ(letti.size(), 1u) << larghezza;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < larghezza; ++x)
                    ASSERT_EQ(img.pixelIndex(x, y) == 1, qGray(letti[0].pixel(x, y)) < 128)
                        << dati.left(5).constData() << " width " << larghezza << " at " << x << "," << y;
        }
    }
}

// Every kind, generated data, at 203 and 300 dpi: each symbol is the printer's own
// command at the module and place of the whole-dot layout with Cartigo's data; the rest
// of the page (the human-readable lines) is the graphic field at the same dots as the
// page rendered for that resolution; and, when zpl-renderer-js is installed, the labels
// it renders scan to the exact data.
TEST(Zpl, OgniTipoComeComandoDellaStampanteAlModuloDeiPunti)
{
    test::AssicuraApplicazione();
    test::CartellaProgrammaTemporanea cartella;
    const bool renderer = test::RendererZplPresente();
    if (!renderer) std::fprintf(stderr, "[ SKIPPED part ] %s is not installed: labels are not rendered\n", test::kRendererZpl);
    const QString manca = test::LettoreMancante();
    QTemporaryDir dir;
    for (const double dpi : {203.0, 300.0}) {
        for (int tipo = 0; tipo < kTipiBarcode; ++tipo) {
            SCOPED_TRACE(testing::Message() << NomeTipoBarcode(tipo).toStdString() << " at " << dpi << " dpi");
            const auto doc = test::PagineCampioni(test::Campioni(tipo, 4), dpi);
            ASSERT_GE(doc->PageCount(), 1);
            QSet<QString> attesi, letti;
            int dataMatrix = 0;
            for (int pagina = 0; pagina < doc->PageCount(); ++pagina) {
                const QByteArray zpl = EtichettaZpl(*doc, pagina, dpi, 2);
                EXPECT_TRUE(zpl.startsWith("^XA")) << zpl.left(40).constData();
                EXPECT_TRUE(zpl.endsWith("^PQ2^XZ\n"));
                EXPECT_TRUE(zpl.contains("^PW" + QByteArray::number(int(std::ceil(doc->PageWidth() * dpi / 1440 - 1e-6)))));
                const double k = dpi / 1440;
                for (const SimboloBarcode& s : doc->Pagina(pagina).Simboli()) {
                    const auto t = TracciaAPunti(s, QTransform::fromScale(k, k), dpi, 0);
                    ASSERT_TRUE(t.has_value());
                    const long modulo = std::lround(t->modulo);
                    // The command's own line: find it by its field origin.
                    const std::size_t barra = s.barreSostegno ? 2 : 0;
                    long x = long(std::floor(t->scuri[barra].left())), y = long(std::floor(t->scuri[barra].top()));
                    for (const QRectF& r : t->scuri)
                        if (s.bidimensionale()) x = std::min(x, long(std::floor(r.left()))), y = std::min(y, long(std::floor(r.top())));
                    if (static_cast<TipoBarcode>(s.tipo) == TipoBarcode::QRCode) y -= std::min(y, 10L);
                    const QByteArray fo = "^FO" + QByteArray::number(qlonglong(x)) + ',' + QByteArray::number(qlonglong(y)) + '^';
                    const qsizetype i = zpl.indexOf(fo + "B");
                    ASSERT_GE(i, 0) << "no command at " << fo.constData() << " for " << s.dati.toStdString();
                    const QByteArray campo = zpl.mid(i, zpl.indexOf("^FS", i) + 3 - i);
                    const QString dati = DatiCampo(campo);
                    switch (static_cast<TipoBarcode>(s.tipo)) {
                        case TipoBarcode::QRCode:
                            EXPECT_TRUE(campo.contains("^BQN,2," + QByteArray::number(qlonglong(modulo)) + "^")) << campo.constData();
                            EXPECT_EQ(dati.mid(3), s.dati);
                            EXPECT_EQ(dati.mid(1, 2), QStringLiteral("A,"));
                            break;
                        case TipoBarcode::DataMatrix:
                            EXPECT_TRUE(campo.contains("^BXN," + QByteArray::number(qlonglong(modulo)) + ",200," +
                                                       QByteArray::number(s.colonne) + ',' + QByteArray::number(s.righe)))
                                << campo.constData();
                            EXPECT_EQ(dati, s.dati);
                            ++dataMatrix;
                            break;
                        case TipoBarcode::EAN13:
                            // the printer adds the check digit
                            EXPECT_EQ(dati, s.dati.left(12));
                            EXPECT_TRUE(campo.contains("^BY" + QByteArray::number(qlonglong(modulo)) + "^BEN,")) << campo.constData();
                            break;
                        case TipoBarcode::UPC:
                            EXPECT_EQ(dati, test::DatiLetti(s).left(11));
                            EXPECT_TRUE(campo.contains("^BY" + QByteArray::number(qlonglong(modulo)) + "^BUN,")) << campo.constData();
                            break;
                        case TipoBarcode::ITF:
                            // with the check digit Cartigo printed under it
                            EXPECT_EQ(dati, test::DatiLetti(s));
                            EXPECT_TRUE(campo.contains("^BY" + QByteArray::number(qlonglong(modulo)) + ",3.0^B2N,")) << campo.constData();
                            break;
                        default:
                            EXPECT_EQ(dati, s.dati);
                            EXPECT_TRUE(campo.contains("^BY" + QByteArray::number(qlonglong(modulo)))) << campo.constData();
                    }
                    // zbar reads an EAN-13 starting with 0 as a UPC-A
                    const QString d = test::DatiLetti(s);
                    attesi.insert(s.tipo == qint8(TipoBarcode::EAN13) && d.startsWith(QLatin1Char('0')) ? d.mid(1) : d);
                }

                // The graphic fields: the page without its bars, at the same dots.
                const auto grafiche = test::ImmaginiZpl(zpl);
                auto origini = QRegularExpression(QStringLiteral("\\^FO(\\d+),(\\d+)\\^GFA")).globalMatch(QString::fromLatin1(zpl));
                const QImage pagina1bit = grafiche.empty() ? QImage() : ImmaginePagina(*doc, pagina, dpi);
                int scuri = 0, accordo = 0;
                for (const QImage& gf : grafiche) {  // two-dimensional kinds have no text
                    ASSERT_TRUE(origini.hasNext());
                    const QRegularExpressionMatch m = origini.next();
                    const int ox = m.captured(1).toInt(), oy = m.captured(2).toInt();
                    for (int yy = 0; yy < gf.height(); ++yy)
                        for (int xx = 0; xx < gf.width(); ++xx) {
                            if (qGray(gf.pixel(xx, yy)) >= 128) continue;
                            ++scuri;
                            // a text's edge may fall one dot either way of the smoothed rendering
                            bool vicino = false;
                            for (int dy = -1; dy <= 1 && !vicino; ++dy)
                                for (int dx = -1; dx <= 1 && !vicino; ++dx)
                                    vicino = pagina1bit.valid(ox + xx + dx, oy + yy + dy) &&
                                             qGray(pagina1bit.pixel(ox + xx + dx, oy + yy + dy)) < 160;
                            accordo += vicino;
                        }
                }
                EXPECT_FALSE(origini.hasNext());
                EXPECT_GE(accordo, scuri * 0.99) << scuri << " dark dots of the graphic fields";
                if (renderer && manca.isEmpty()) {
                    const auto png = test::RenderizzaZpl(zpl, doc->PageWidth() / 1440 * 25.4,
                                                         doc->PageHeight() / 1440 * 25.4, dpi, dir.path());
                    ASSERT_TRUE(png && png->size() == 1) << test::kRendererZpl << " failed";
                    // zpl-renderer-js has no ^BU: UPC-A is checked by its command above
                    const QStringList righe = test::LeggiTutti(png->front(), dataMatrix).value_or(QStringList());
                    if (static_cast<TipoBarcode>(tipo) != TipoBarcode::UPC)
                        for (const QString& r : righe) letti.insert(r.section(QLatin1Char(':'), 1));
                    dataMatrix = 0;
                }
            }
            if (renderer && manca.isEmpty() && static_cast<TipoBarcode>(tipo) != TipoBarcode::UPC)
                EXPECT_EQ(letti, attesi);
        }
    }
}

// EAN and UPC with the digits in the standard layout: the printer's command draws the bars
// as long as the data bars, and each longer bar reaches below them as a box at its dots;
// the digits are in the graphic field; the labels still scan.
TEST(Zpl, TheStandardLayoutsLongBarsReachBelowThePrintersBars)
{
    test::AssicuraApplicazione();
    test::CartellaProgrammaTemporanea cartella;
    const bool leggi = test::RendererZplPresente() && test::LettoreMancante().isEmpty();
    QTemporaryDir dir;
    for (const double dpi : {203.0, 300.0}) {
        SCOPED_TRACE(dpi);
        const auto doc = test::PagineCampioni({{1, QStringLiteral("590123412345"), 40, QStringLiteral("10S")},
                                               {1, QStringLiteral("9638507"), 30, QStringLiteral("10S")},
                                               {6, QStringLiteral("03600029145"), 40, QStringLiteral("60S")}},
                                              dpi);
        ASSERT_EQ(doc->PageCount(), 1);
        const QByteArray zpl = EtichettaZpl(*doc, 0, dpi);
        const double k = dpi / 1440;
        for (const SimboloBarcode& s : doc->Pagina(0).Simboli()) {
            ASSERT_TRUE(s.cifreStandard);
            const auto t = TracciaAPunti(s, QTransform::fromScale(k, k), dpi, 0);
            ASSERT_TRUE(t && !t->cifre.empty());
            long fondo = long(std::floor(t->scuri.front().bottom()));
            for (const QRectF& r : t->scuri) fondo = std::min(fondo, long(std::floor(r.bottom())));
            int lunghe = 0;
            for (const QRectF& r : t->scuri) {
                const long basso = long(std::floor(r.bottom()));
                if (basso <= fondo) continue;
                ++lunghe;
                const long x = long(std::floor(r.left())), w = long(std::floor(r.right())) - x;
                const QByteArray box = "^FO" + QByteArray::number(qlonglong(x)) + ',' + QByteArray::number(qlonglong(fondo)) +
                                       "^GB" + QByteArray::number(qlonglong(w)) + ',' +
                                       QByteArray::number(qlonglong(basso - fondo)) + ',';
                EXPECT_TRUE(zpl.contains(box)) << box.constData();
            }
            EXPECT_EQ(lunghe, s.dati.size() == 8 ? 6 : s.tipo == qint8(TipoBarcode::UPC) ? 10 : 6);
            // the printer's bars end where the data bars do
            const QByteArray altezza = QByteArray::number(qlonglong(fondo - long(std::floor(t->scuri.front().top()))));
            EXPECT_TRUE(zpl.contains((s.tipo == qint8(TipoBarcode::UPC) ? "^BUN," : s.dati.size() == 8 ? "^B8N," : "^BEN,") +
                                     altezza + ",N,N"))
                << zpl.left(400).constData();
        }
        EXPECT_TRUE(zpl.contains("^GF"));  // the digits
        if (leggi) {
            const auto png = test::RenderizzaZpl(zpl, doc->PageWidth() / 1440 * 25.4, doc->PageHeight() / 1440 * 25.4,
                                                 dpi, dir.path());
            ASSERT_TRUE(png && png->size() == 1);
            // zpl-renderer-js has no ^BU, and its ^B8 does not scan even alone: the UPC-A and
            // the EAN-8 are checked by their commands above
            const QStringList letti = test::LeggiTutti(png->front(), 0).value_or(QStringList());
            EXPECT_TRUE(letti.contains(QStringLiteral("EAN-13:5901234123457"))) << letti.join(' ').toStdString();
        }
    }
}

// A job of several records: what every label draws (a picture, a text, a frame, a fixed
// barcode and its line) goes once into a stored format that the labels recall with only
// their own fields, a text that comes back is a stored graphic; two identical consecutive
// labels go as one with ^PQ (copies counted);
// rendered by zpl-renderer-js, each label is its page at the printer's dots (99 % of the
// dots agree) and its barcodes scan. One threshold for colours and dots.
TEST(Zpl, LavoroConFormatoMemorizzatoEdEtichetteUguali)
{
    EXPECT_FALSE(ColoreNeroZpl(0x808080));  // luminance exactly 128
    EXPECT_TRUE(ColoreNeroZpl(0x7F7F7F));
    EXPECT_EQ(ColoreNeroZpl(0x10A0F0), PuntoNero(ColoreStampa(0x10A0F0).rgb()));

    test::AssicuraApplicazione();
    test::CartellaProgrammaTemporanea cartella;
    constexpr double dpi = 203;
    InterazioneScriptata ui;
    clsStampora m(ui);
    const auto doc = m.OutputCondiviso();
    m.StartDoc();
    doc->SetPaperSize(70 / 25.4 * 1440, 40 / 25.4 * 1440);
    doc->SetRisoluzione(dpi);
    m.SetScaleMode(6);
    QImage figura(40, 40, QImage::Format_RGB32);
    figura.fill(Qt::white);
    QPainter(&figura).fillRect(8, 8, 24, 24, Qt::black);
    const QStringList lotti = {QStringLiteral("0001"), QStringLiteral("0001"), QStringLiteral("0002"), QStringLiteral("0003"),
                               QStringLiteral("0004")};
    const QStringList citta = {QStringLiteral("Milano"), QStringLiteral("Milano"), QStringLiteral("Torino"),
                               QStringLiteral("Genova"), QStringLiteral("Torino")};
    for (int i = 0; i < lotti.size(); ++i) {
        if (i > 0) m.NewPage();
        m.PaintPicture(figura, 56, 3, 10, 10);
        m.DrawLine(1, 1, 69, 39, std::nullopt, QStringLiteral("B"));
        m.SetFontName(QStringLiteral("DejaVu Sans"));
        m.SetFontSize(8);
        m.DrawTextBox(QStringLiteral("Cartigo test label"), 4, 3, 50, 5, false);
        m.DrawTextBox(QStringLiteral("Lot ") + lotti[i], 4, 9, 30, 5, false);
        m.DrawTextBox(citta[i], 36, 9, 20, 5, false);
        m.DrawBarcode(ParametriBarcode::DaTag(QStringLiteral("10")), QStringLiteral("59012341") + lotti[i], 3, 15, 36, 20);
        m.DrawBarcode(ParametriBarcode::DaTag(QStringLiteral("20")), QStringLiteral("CARTIGO"), 42, 18, 26, 16);
    }
    m.Output().EndDoc();
    ASSERT_EQ(doc->PageCount(), 5);

    QBuffer b;
    b.open(QIODevice::WriteOnly);
    ASSERT_TRUE(ScriviZpl(*doc, b, dpi, 2));
    const QByteArray zpl = b.data();
    EXPECT_EQ(zpl.count("^DF"), 1);
    QList<QByteArray> etichette;
    for (const QByteArray& r : zpl.split('\n'))
        if (r.startsWith("^XA") && !r.contains("^DF")) etichette << r;
    ASSERT_EQ(etichette.size(), 4) << zpl.constData();
    EXPECT_TRUE(etichette[0].endsWith("^PQ4^XZ"));  // the first record twice, two copies each
    EXPECT_EQ(zpl.count("~DG"), 1);  // Torino, the second time
    EXPECT_TRUE(etichette[3].contains("^XGR:C0.GRF^FS"));
    for (const QByteArray& e : etichette.mid(1)) {
        EXPECT_TRUE(e.startsWith("^XA^XF"));
        EXPECT_TRUE(e.endsWith("^PQ2^XZ"));
        EXPECT_FALSE(e.contains("^BC")) << "the fixed barcode is in the format";
        EXPECT_FALSE(e.contains("^GB"));
        EXPECT_LT(e.size() * 3, etichette[0].size() * 2) << e.constData();
    }

    if (!test::RendererZplPresente() || !test::LettoreMancante().isEmpty()) {
        std::fprintf(stderr, "[ SKIPPED part ] %s or a scanner is not installed: labels are not rendered\n", test::kRendererZpl);
        return;
    }
    QTemporaryDir dir;
    const auto png = test::RenderizzaZpl(zpl, 70, 40, dpi, dir.path());
    ASSERT_TRUE(png && png->size() == 4);
    const int pagine[] = {0, 2, 3, 4};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const QImage reso(png->at(i)), pagina = ImmaginePagina(*doc, pagine[i], dpi);
        // every dot dark in one is dark in the other, or one dot away (a text's edge)
        const auto scuro = [](const QImage& img, int x, int y, int d) {
            for (int dy = -d; dy <= d; ++dy)
                for (int dx = -d; dx <= d; ++dx)
                    if (img.valid(x + dx, y + dy) && qGray(img.pixel(x + dx, y + dy)) < 128) return true;
            return false;
        };
        int scuri = 0, accordo = 0;
        for (int y = 0; y < pagina.height(); ++y)
            for (int x = 0; x < pagina.width(); ++x) {
                const bool a = scuro(reso, x, y, 0), p = scuro(pagina, x, y, 0);
                if (!a && !p) continue;
                ++scuri;
                accordo += a ? scuro(pagina, x, y, 1) : scuro(reso, x, y, 1);
            }
        EXPECT_GT(scuri, 2000);
        EXPECT_GE(accordo, scuri * 0.99) << scuri << " dark dots";
        const QStringList letti = test::LeggiTutti(png->at(i), 0).value_or(QStringList());
        EXPECT_TRUE(letti.contains(QStringLiteral("CODE-128:CARTIGO"))) << letti.join(' ').toStdString();
        EXPECT_EQ(letti.filter(QStringLiteral("EAN-13:59012341") + lotti[pagine[i]]).size(), 1) << letti.join(' ').toStdString();
    }
}
