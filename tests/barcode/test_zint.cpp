// The kinds libzint encodes: settings in the Tag, the modules and check digits of each
// kind, the data each refuses, and how the symbols fill a box.
#include "barcode/Code39.h"
#include "barcode/DisegnoBarcode.h"
#include "barcode/EAN.h"
#include "barcode/ParametriBarcode.h"
#include "barcode/SimboloZint.h"
#include "common/TestSupport.h"

#include <gtest/gtest.h>
#include <QRectF>

using namespace cartigo;

namespace {

ParametriBarcode tipo(TipoBarcode t, int testo = 0)
{
    ParametriBarcode p;
    p.tipo = int(t);
    p.testo = testo;
    return p;
}

QString riga(const SimboloZint& s, int y = 0)
{
    QString r;
    for (int x = 0; x < s.colonne; ++x) r += s.scuro(y, x) ? QLatin1Char('1') : QLatin1Char('0');
    return r;
}

// Measures as 100 twips a character, 200 high.
QSizeF misuraFissa(const QString& t)
{
    return QSizeF(100.0 * t.size(), 200);
}

QRectF contorno(const DisegnoBarcode& d)
{
    QRectF r;
    for (const auto& q : d.rettangoli) r |= QRectF(QPointF(q.x1, q.y1), QPointF(q.x2, q.y2));
    return r;
}

}  // namespace

TEST(ParametriBarcode, TagKeepsTheTwoDigitsAndAddsLevelOrShape)
{
    struct Caso {
        const char* tag;
        int tipo, testo;
        CorrezioneQR correzione;
        FormaDataMatrix forma;
        const char* riscritto;
    } casi[] = {
        {"", 0, 0, CorrezioneQR::M, FormaDataMatrix::Quadrata, "00"},
        {"12", 1, 2, CorrezioneQR::M, FormaDataMatrix::Quadrata, "12"},
        {"1", 1, 0, CorrezioneQR::M, FormaDataMatrix::Quadrata, "10"},
        {"x1", 0, 1, CorrezioneQR::M, FormaDataMatrix::Quadrata, "01"},
        {"02abc", 0, 2, CorrezioneQR::M, FormaDataMatrix::Quadrata, "02"},
        {"3", 3, 0, CorrezioneQR::M, FormaDataMatrix::Quadrata, "30M"},
        {"31H", 3, 1, CorrezioneQR::H, FormaDataMatrix::Quadrata, "31H"},
        {"32l", 3, 2, CorrezioneQR::L, FormaDataMatrix::Quadrata, "32L"},
        {"30X", 3, 0, CorrezioneQR::M, FormaDataMatrix::Quadrata, "30M"},
        {"40R", 4, 0, CorrezioneQR::M, FormaDataMatrix::Rettangolare, "40R"},
        {"40H", 4, 0, CorrezioneQR::M, FormaDataMatrix::Quadrata, "40Q"},
        {"20R", 2, 0, CorrezioneQR::M, FormaDataMatrix::Quadrata, "20"},
        {"9", 9, 0, CorrezioneQR::M, FormaDataMatrix::Quadrata, "90"},
    };
    for (const auto& c : casi) {
        const ParametriBarcode p = ParametriBarcode::DaTag(QString::fromUtf8(c.tag));
        EXPECT_EQ(p.tipo, c.tipo) << c.tag;
        EXPECT_EQ(p.testo, c.testo) << c.tag;
        EXPECT_EQ(p.correzione, c.correzione) << c.tag;
        EXPECT_EQ(p.forma, c.forma) << c.tag;
        EXPECT_EQ(p.Tag(), QString::fromUtf8(c.riscritto)) << c.tag;
        EXPECT_EQ(ParametriBarcode::DaTag(p.Tag()), p) << c.tag;
    }
    // EAN and UPC: an S for the standard layout of the digits, which a new barcode takes;
    // a stored tag without it stays as it is
    for (const char* t : {"10S", "12S", "60s", "61S"}) {
        const ParametriBarcode p = ParametriBarcode::DaTag(QString::fromLatin1(t));
        EXPECT_TRUE(p.cifreStandard) << t;
        EXPECT_EQ(p.Tag(), QString::fromLatin1(t).toUpper()) << t;
    }
    for (const char* t : {"10", "10X", "00S", "20S"})
        EXPECT_FALSE(ParametriBarcode::DaTag(QString::fromLatin1(t)).cifreStandard) << t;
    EXPECT_EQ(ParametriBarcode::DaTag(QStringLiteral("00S")).Tag(), QStringLiteral("00"));
    EXPECT_EQ(TagNuovoBarcode(QStringLiteral("10")), QStringLiteral("10S"));
    EXPECT_EQ(TagNuovoBarcode(QStringLiteral("62")), QStringLiteral("62S"));
    for (const char* t : {"", "00", "31H", "10S"})
        EXPECT_EQ(TagNuovoBarcode(QString::fromLatin1(t)), QString::fromLatin1(t)) << t;
    EXPECT_EQ(NomiTipiBarcode(),
              (QStringList{"Code 39", "EAN 13", "Code 128", "QR Code", "Data Matrix", "PDF417", "UPC", "ITF-14"}));
}

TEST(SimboloZint, LinearKindsCarryTheirStandardsModulesAndCheckDigits)
{
    test::AssicuraApplicazione();
    // Code 128: 11 modules a character and 2 more at the stop; subset B or C start
    const auto c128 = CodificaZint(tipo(TipoBarcode::Code128), QStringLiteral("Cartigo 128"));
    ASSERT_TRUE(c128->valido()) << c128->dettaglio.toStdString();
    EXPECT_EQ(c128->colonne % 11, 2);
    EXPECT_TRUE(riga(*c128).startsWith(QStringLiteral("11010010000")));  // Start B
    EXPECT_TRUE(riga(*c128).endsWith(QStringLiteral("1100011101011")));  // stop
    EXPECT_EQ(c128->testo, QStringLiteral("Cartigo 128"));
    EXPECT_EQ(c128->quieteSinistra, 10);
    EXPECT_EQ(c128->quieteDestra, 10);

    // GS1-128: FNC1 after the start, the text keeps the brackets
    const auto gs1 = CodificaZint(tipo(TipoBarcode::Code128), QStringLiteral("(01)09501101530003(10)AB12"));
    ASSERT_TRUE(gs1->valido()) << gs1->dettaglio.toStdString();
    EXPECT_EQ(riga(*gs1).mid(11, 11), QStringLiteral("11110101110"));
    EXPECT_EQ(gs1->testo, QStringLiteral("(01)09501101530003(10)AB12"));
    // brackets that are no application identifier are plain Code 128
    const auto parentesi = CodificaZint(tipo(TipoBarcode::Code128), QStringLiteral("(c) Cartigo"));
    ASSERT_TRUE(parentesi->valido());
    EXPECT_NE(riga(*parentesi).mid(11, 11), QStringLiteral("11110101110"));

    // UPC-A: 95 modules, 9 light ones each side; 11 digits get their check digit
    const auto upca = CodificaZint(tipo(TipoBarcode::UPC), QStringLiteral(" 03600029145 "));
    ASSERT_TRUE(upca->valido());
    EXPECT_EQ(upca->colonne, 95);
    EXPECT_EQ(upca->testo, QStringLiteral("036000291452"));
    EXPECT_EQ(upca->quieteSinistra, 9);
    EXPECT_EQ(upca->quieteDestra, 9);
    EXPECT_EQ(riga(*CodificaZint(tipo(TipoBarcode::UPC), QStringLiteral("036000291452"))), riga(*upca));
    // UPC-E: 51 modules; 6 digits take number system 0 and the check digit
    for (const char* e : {"123456", "0123456", "01234565"}) {
        const auto upce = CodificaZint(tipo(TipoBarcode::UPC), QString::fromLatin1(e));
        ASSERT_TRUE(upce->valido()) << e;
        EXPECT_EQ(upce->colonne, 51) << e;
        EXPECT_EQ(upce->testo, QStringLiteral("01234565")) << e;
        EXPECT_EQ(upce->quieteDestra, 7) << e;
    }

    // ITF-14: 13 digits get the check digit, 14 keep theirs; bearer bars; other
    // lengths are plain Interleaved 2 of 5 (an odd count gets a leading zero)
    for (const char* i : {"1540014128876", "15400141288763"}) {
        const auto itf = CodificaZint(tipo(TipoBarcode::ITF), QString::fromLatin1(i));
        ASSERT_TRUE(itf->valido()) << i;
        EXPECT_EQ(itf->colonne, 4 + 7 * 18 + 5) << i;
        EXPECT_EQ(itf->testo, QStringLiteral("15400141288763")) << i;
        EXPECT_TRUE(itf->barreSostegno) << i;
    }
    const auto i25 = CodificaZint(tipo(TipoBarcode::ITF), QStringLiteral("12345"));
    ASSERT_TRUE(i25->valido());
    EXPECT_FALSE(i25->barreSostegno);
    EXPECT_EQ(i25->testo, QStringLiteral("012345"));
    EXPECT_EQ(i25->colonne, 4 + 3 * 18 + 5);
}

TEST(SimboloZint, TwoDimensionalKindsFollowTheirOptions)
{
    test::AssicuraApplicazione();
    // QR Code: 4v + 17 modules a side; a stronger level needs a larger version
    int lato[4] = {};
    for (int l = 0; l < 4; ++l) {
        ParametriBarcode p = tipo(TipoBarcode::QRCode);
        p.correzione = static_cast<CorrezioneQR>(l);
        const auto qr = CodificaZint(p, QStringLiteral("https://example.com/cartigo/0123456789"));
        ASSERT_TRUE(qr->valido()) << l;
        EXPECT_EQ(qr->colonne, qr->righe);
        EXPECT_EQ((qr->colonne - 17) % 4, 0);
        EXPECT_EQ(qr->quieteSinistra, 4);
        EXPECT_EQ(qr->quieteVerticale, 4);
        EXPECT_TRUE(qr->testo.isEmpty());
        lato[l] = qr->colonne;
    }
    EXPECT_LT(lato[0], lato[3]);
    for (int l = 1; l < 4; ++l) EXPECT_LE(lato[l - 1], lato[l]);

    // Data Matrix: square, or the smallest of the six rectangles that holds the data
    ParametriBarcode dm = tipo(TipoBarcode::DataMatrix);
    const auto quadrata = CodificaZint(dm, QStringLiteral("Cartigo 0123456789"));
    ASSERT_TRUE(quadrata->valido());
    EXPECT_EQ(quadrata->colonne, quadrata->righe);
    EXPECT_EQ(quadrata->quieteSinistra, 1);
    dm.forma = FormaDataMatrix::Rettangolare;
    const std::pair<int, int> rettangoli[] = {{8, 18}, {8, 32}, {12, 26}, {12, 36}, {16, 36}, {16, 48}};
    int precedente = 0;
    for (const int n : {1, 8, 14, 24, 30}) {
        const auto r = CodificaZint(dm, QString(n, QLatin1Char('a')));
        ASSERT_TRUE(r->valido()) << n;
        EXPECT_NE(std::find(std::begin(rettangoli), std::end(rettangoli), std::pair(r->righe, r->colonne)),
                  std::end(rettangoli))
            << n << ": " << r->righe << "x" << r->colonne;
        EXPECT_GE(r->righe * r->colonne, precedente);
        precedente = r->righe * r->colonne;
    }

    // PDF417: rows three modules high, 17 modules a codeword column plus 69
    const auto pdf = CodificaZint(tipo(TipoBarcode::PDF417), QStringLiteral("Cartigo PDF417"));
    ASSERT_TRUE(pdf->valido());
    EXPECT_EQ((pdf->colonne - 69) % 17, 0);
    EXPECT_DOUBLE_EQ(pdf->altezzaRiga, 3);
    EXPECT_EQ(pdf->quieteVerticale, 2);

    // text beyond ASCII goes in as UTF-8 with its ECI: more than the bare letters
    const auto ascii = CodificaZint(tipo(TipoBarcode::QRCode), QStringLiteral("citta"));
    const auto utf8 = CodificaZint(tipo(TipoBarcode::QRCode), QStringLiteral("città ✓"));
    ASSERT_TRUE(utf8->valido());
    EXPECT_GE(utf8->colonne, ascii->colonne);
}

TEST(SimboloZint, DataTheKindCannotEncodeAreRefusedWithTheReason)
{
    test::AssicuraApplicazione();
    ParametriBarcode qrH = tipo(TipoBarcode::QRCode);
    qrH.correzione = CorrezioneQR::H;
    ParametriBarcode qrL = tipo(TipoBarcode::QRCode);
    qrL.correzione = CorrezioneQR::L;
    ParametriBarcode dmR = tipo(TipoBarcode::DataMatrix);
    dmR.forma = FormaDataMatrix::Rettangolare;
    struct Caso {
        const char* nome;
        ParametriBarcode parametri;
        QString dati;
        QString messaggio;
        bool dettaglio;  // libzint says more
    } casi[] = {
        {"letters in UPC", tipo(TipoBarcode::UPC), "03600029145A", MessaggioSoloCifre(), false},
        {"UPC of 10 digits", tipo(TipoBarcode::UPC), "0360002914", MessaggioLunghezzaUPC(), false},
        {"UPC of 5 digits", tipo(TipoBarcode::UPC), "12345", MessaggioLunghezzaUPC(), false},
        {"UPC-A wrong check digit", tipo(TipoBarcode::UPC), "036000291453", MessaggioCifraControllo(), true},
        {"UPC-E wrong check digit", tipo(TipoBarcode::UPC), "01234566", MessaggioCifraControllo(), true},
        {"UPC-E number system 5", tipo(TipoBarcode::UPC), "5123456", MessaggioSistemaUPCE(), false},
        {"letters in ITF", tipo(TipoBarcode::ITF), "12A4", MessaggioSoloCifre(), false},
        {"ITF-14 wrong check digit", tipo(TipoBarcode::ITF), "15400141288764", MessaggioCifraControllo(), false},
        {"ITF too long", tipo(TipoBarcode::ITF), QString(130, QLatin1Char('1')), MessaggioDatiTroppoLunghi(), true},
        {"QR too long for L", qrL, QString(7090, QLatin1Char('1')), MessaggioDatiTroppoLunghi(), true},
        {"QR too long for H", qrH, QString(3000, QLatin1Char('a')), MessaggioDatiTroppoLunghi(), true},
        {"Data Matrix rectangle too long", dmR, QString(120, QLatin1Char('a')), MessaggioDatiTroppoLunghi(), true},
        {"PDF417 too long", tipo(TipoBarcode::PDF417), QString(2000, QLatin1Char('a')), MessaggioDatiTroppoLunghi(),
         true},
        {"Code 128 beyond Latin", tipo(TipoBarcode::Code128), "日本", MessaggioCaratteriCode128(), true},
        {"Code 128 too long", tipo(TipoBarcode::Code128), QString(200, QLatin1Char('1')), MessaggioDatiTroppoLunghi(),
         true},
        {"GS1 wrong check digit", tipo(TipoBarcode::Code128), "(01)09501101530004(10)AB12", MessaggioDatiGS1(), true},
        {"GS1 wrong length", tipo(TipoBarcode::Code128), "(01)0950110153000", MessaggioDatiGS1(), true},
        {"GS1 empty field", tipo(TipoBarcode::Code128), "(01)09501101530003(10)", MessaggioDatiGS1(), true},
    };
    for (const auto& c : casi) {
        const auto s = CodificaZint(c.parametri, c.dati);
        EXPECT_FALSE(s->valido()) << c.nome;
        EXPECT_EQ(s->messaggio, c.messaggio) << c.nome << ": " << s->messaggio.toStdString();
        EXPECT_EQ(!s->dettaglio.isEmpty(), c.dettaglio) << c.nome << ": " << s->dettaglio.toStdString();
        EXPECT_FALSE(s->dettaglio.startsWith(QLatin1String("Error"))) << c.nome;
        // the layout draws nothing and carries the message under the kind's name
        const DisegnoBarcode d = DisegnoSimbolo(c.parametri, c.dati, {10, 10, 40, 20}, misuraFissa);
        EXPECT_TRUE(d.vuoto()) << c.nome;
        EXPECT_EQ(d.messaggio, c.messaggio) << c.nome;
        EXPECT_EQ(d.titolo, NomeTipoBarcode(c.parametri.tipo)) << c.nome;
    }
    // empty data, and digits that are no kind, draw nothing and say nothing
    for (int t = 0; t < 10; ++t) {
        const DisegnoBarcode d =
            DisegnoSimbolo(ParametriBarcode::DaTag(QString::number(t)), QString(), {10, 10, 40, 20}, misuraFissa);
        EXPECT_TRUE(d.vuoto() && d.messaggio.isEmpty()) << t;
    }
    for (const char* t : {"8", "9"}) {
        const DisegnoBarcode d = DisegnoSimbolo(ParametriBarcode::DaTag(QString::fromLatin1(t)), QStringLiteral("123"),
                                                {10, 10, 40, 20}, misuraFissa);
        EXPECT_TRUE(d.vuoto() && d.messaggio.isEmpty()) << t;
    }
}

TEST(DisegnoSimbolo, TwoDimensionalSymbolsAreTheLargestSquareModulesCentredInTheBox)
{
    test::AssicuraApplicazione();
    const RiquadroBarcode box{20, 30, 60, 25, 1, -2};
    const double k = kTwipPerMmBarcode;
    const QRectF riquadro((box.x + box.offsetX) * k, (box.y + box.offsetY) * k, box.larghezza * k, box.altezza * k);
    ParametriBarcode dmR = tipo(TipoBarcode::DataMatrix);
    dmR.forma = FormaDataMatrix::Rettangolare;
    const std::pair<ParametriBarcode, QString> casi[] = {
        {tipo(TipoBarcode::QRCode), QStringLiteral("https://example.com/?q=Cartigo")},
        {tipo(TipoBarcode::DataMatrix), QStringLiteral("Cartigo DM")},
        {dmR, QStringLiteral("Cartigo")},
        {tipo(TipoBarcode::PDF417), QStringLiteral("Cartigo PDF417 0123456789")},
    };
    for (const auto& [p, dati] : casi) {
        const auto s = CodificaZint(p, dati);
        ASSERT_TRUE(s->valido());
        const DisegnoBarcode d = DisegnoSimbolo(p, dati, box, misuraFissa);
        const QString nome = NomeTipoBarcode(p.tipo);
        EXPECT_FALSE(d.conTesto) << nome.toStdString();
        // square modules of the largest size that fits with the quiet zones
        const double larghi = s->colonne + s->quieteSinistra + s->quieteDestra;
        const double alti = s->righe * s->altezzaRiga + 2 * s->quieteVerticale;
        const double modulo = std::min(riquadro.width() / larghi, riquadro.height() / alti);
        EXPECT_DOUBLE_EQ(d.larghezzaModulo, modulo) << nome.toStdString();
        const QRectF c = contorno(d);
        EXPECT_NEAR(c.width(), s->colonne * modulo, 1e-6) << nome.toStdString();
        EXPECT_NEAR(c.height(), s->righe * s->altezzaRiga * modulo, 1e-6) << nome.toStdString();
        EXPECT_NEAR(c.center().x(), riquadro.center().x(), 1e-6) << nome.toStdString();
        EXPECT_NEAR(c.center().y(), riquadro.center().y(), 1e-6) << nome.toStdString();
        EXPECT_TRUE(riquadro
                        .adjusted(s->quieteSinistra * modulo - 1e-6, s->quieteVerticale * modulo - 1e-6,
                                  -s->quieteDestra * modulo + 1e-6, -s->quieteVerticale * modulo + 1e-6)
                        .contains(c))
            << nome.toStdString();

        // the rectangles cover exactly the dark modules, each once, in fewer pieces
        std::vector<int> coperti(std::size_t(s->colonne * s->righe), 0);
        const double rigaTw = s->altezzaRiga * modulo;
        for (const auto& r : d.rettangoli) {
            EXPECT_EQ(r.colore, QColor(Qt::black));
            const int x1 = int(std::lround((r.x1 - c.left()) / modulo)),
                      x2 = int(std::lround((r.x2 - c.left()) / modulo));
            const int y1 = int(std::lround((r.y1 - c.top()) / rigaTw)),
                      y2 = int(std::lround((r.y2 - c.top()) / rigaTw));
            for (int y = y1; y < y2; ++y)
                for (int x = x1; x < x2; ++x) ++coperti[std::size_t(y * s->colonne + x)];
        }
        int scuri = 0;
        for (int y = 0; y < s->righe; ++y)
            for (int x = 0; x < s->colonne; ++x) {
                scuri += s->scuro(y, x);
                ASSERT_EQ(coperti[std::size_t(y * s->colonne + x)], int(s->scuro(y, x)))
                    << nome.toStdString() << " " << x << "," << y;
            }
        EXPECT_LT(d.rettangoli.size(), scuri) << nome.toStdString();
    }
    // a box of no size draws nothing
    EXPECT_TRUE(DisegnoSimbolo(tipo(TipoBarcode::QRCode), QStringLiteral("x"), {0, 0, 0, 10}, misuraFissa).vuoto());
}

TEST(DisegnoSimbolo, LinearSymbolsStretchToTheBoxWithQuietZonesAndText)
{
    test::AssicuraApplicazione();
    const RiquadroBarcode box{10, 20, 50, 15, 0.5, 1};
    const double k = kTwipPerMmBarcode;
    const double sinistra = (box.x + box.offsetX) * k, cima = (box.y + box.offsetY) * k;
    const double larghezza = box.larghezza * k, altezza = box.altezza * k;
    struct Caso {
        TipoBarcode tipo;
        QString dati, testo;
    } casi[] = {
        {TipoBarcode::Code128, "Cartigo-128", "Cartigo-128"},
        {TipoBarcode::Code128, "(01)09501101530003(10)AB12", "(01)09501101530003(10)AB12"},
        {TipoBarcode::UPC, "03600029145", "036000291452"},
        {TipoBarcode::UPC, "0123456", "01234565"},
        {TipoBarcode::ITF, "123456", "123456"},
    };
    for (const auto& c : casi) {
        const auto s = CodificaZint(tipo(c.tipo), c.dati);
        ASSERT_TRUE(s->valido()) << c.dati.toStdString();
        const int moduli = s->quieteSinistra + s->colonne + s->quieteDestra;
        for (int posizione = 0; posizione < 3; ++posizione) {
            const DisegnoBarcode d = DisegnoSimbolo(tipo(c.tipo, posizione), c.dati, box, misuraFissa);
            const QRectF b = contorno(d);
            EXPECT_EQ(d.moduli, moduli);
            EXPECT_DOUBLE_EQ(d.larghezzaModulo, larghezza / moduli);
            EXPECT_NEAR(b.left(), sinistra + s->quieteSinistra * d.larghezzaModulo, 1e-6);
            EXPECT_NEAR(b.right(), sinistra + (s->quieteSinistra + s->colonne) * d.larghezzaModulo, 1e-6);
            EXPECT_EQ(d.testo, c.testo);
            EXPECT_DOUBLE_EQ(d.testoX, sinistra + (larghezza - 100.0 * c.testo.size()) / 2);
            switch (PosizioneTestoDaNumero(posizione)) {
                case PosizioneTestoBarcode::Sotto:
                    EXPECT_TRUE(d.conTesto);
                    EXPECT_NEAR(b.top(), cima, 1e-6);
                    EXPECT_NEAR(b.bottom(), cima + altezza - 200, 1e-6);
                    EXPECT_NEAR(d.testoY, cima + altezza - 200, 1e-6);
                    break;
                case PosizioneTestoBarcode::Sopra:
                    EXPECT_TRUE(d.conTesto);
                    EXPECT_NEAR(b.top(), cima + 200, 1e-6);
                    EXPECT_NEAR(d.testoY, cima, 1e-6);
                    break;
                case PosizioneTestoBarcode::Nascosto:
                    EXPECT_FALSE(d.conTesto);
                    EXPECT_NEAR(b.bottom(), cima + altezza - 200, 1e-6);  // room kept, as EAN does
                    break;
            }
            // one black rectangle per bar
            int barre = 0;
            for (int x = 0; x < s->colonne; ++x) barre += s->scuro(0, x) && (x == 0 || !s->scuro(0, x - 1));
            EXPECT_EQ(d.rettangoli.size(), barre);
        }
    }

    // ITF-14's bearer bars span the box along the top and the bottom of the bars
    const DisegnoBarcode itf =
        DisegnoSimbolo(tipo(TipoBarcode::ITF), QStringLiteral("1540014128876"), box, misuraFissa);
    ASSERT_GE(itf.rettangoli.size(), 3);
    const auto& alto = itf.rettangoli[0];
    const auto& basso = itf.rettangoli[1];
    EXPECT_DOUBLE_EQ(alto.x1, sinistra);
    EXPECT_DOUBLE_EQ(alto.x2, sinistra + larghezza);
    EXPECT_DOUBLE_EQ(alto.y1, cima);
    EXPECT_DOUBLE_EQ(basso.y2, cima + altezza - 200);
    EXPECT_DOUBLE_EQ(alto.y2 - alto.y1, basso.y2 - basso.y1);
    EXPECT_GT(alto.y2 - alto.y1, itf.larghezzaModulo);
    for (qsizetype i = 2; i < itf.rettangoli.size(); ++i) {
        EXPECT_DOUBLE_EQ(itf.rettangoli[i].y1, alto.y2);
        EXPECT_DOUBLE_EQ(itf.rettangoli[i].y2, basso.y1);
    }
    EXPECT_EQ(itf.testo, QStringLiteral("15400141288763"));
}

TEST(DisegnoSimbolo, CodeThirtyNineAndEanKeepTheirOwnLayouts)
{
    test::AssicuraApplicazione();
    const RiquadroBarcode box{10, 20, 50, 15, 0.5, 1};
    for (int posizione = 0; posizione < 3; ++posizione) {
        const auto p = PosizioneTestoDaNumero(posizione);
        const DisegnoBarcode c39 =
            DisegnoSimbolo(tipo(TipoBarcode::Code39, posizione), QStringLiteral("abc#"), box, misuraFissa);
        const DisegnoBarcode atteso39 = Disegno39(QStringLiteral("abc#"), box, misuraFissa, p);
        EXPECT_EQ(c39.rettangoli, atteso39.rettangoli);
        EXPECT_EQ(c39.testo, atteso39.testo);
        EXPECT_EQ(c39.conTesto, atteso39.conTesto);
        const DisegnoBarcode ean =
            DisegnoSimbolo(tipo(TipoBarcode::EAN13, posizione), QStringLiteral("590123412345"), box, misuraFissa);
        EXPECT_EQ(ean.rettangoli, DisegnoEAN(QStringLiteral("590123412345"), box, misuraFissa, p).rettangoli);
    }
    const DisegnoBarcode rifiutato =
        DisegnoSimbolo(tipo(TipoBarcode::EAN13), QStringLiteral("5901234123458"), box, misuraFissa);
    EXPECT_EQ(rifiutato.titolo, modCartigo::TitoloEAN2Bin());
    EXPECT_EQ(rifiutato.messaggio, modCartigo::EANInvalido());
    // every kind's sample encodes
    for (int t = 0; t < kTipiBarcode; ++t) {
        const DisegnoBarcode d = DisegnoSimbolo(tipo(TipoBarcode(t)), DatiCampione(t), box, misuraFissa);
        EXPECT_FALSE(d.rettangoli.isEmpty()) << t;
    }
}

// EAN-13, EAN-8, UPC-A and UPC-E with their digits in the standard layout, as vectors and
// on the dots of 203 and 300 dpi: the guard bars (and UPC-A's outside characters) reach
// 5 modules further down, or half the line's room when that is less; the first digit
// stands left of the bars and the groups between the guards; without the option, or with
// the line above or hidden, there are no groups and no long bars.
TEST(DisegnoSimbolo, EanAndUpcDigitsInTheStandardLayout)
{
    test::AssicuraApplicazione();
    struct Caso {
        TipoBarcode tipo;
        const char* dati;
        QStringList gruppi;
        int lunghe;  // bars that reach down
        int quieteSinistra;
    } casi[] = {
        {TipoBarcode::EAN13, "590123412345", {"5", "901234", "123457"}, 6, 8},
        {TipoBarcode::EAN13, "9638507", {"9638", "5074"}, 6, 4},
        {TipoBarcode::UPC, "03600029145", {"0", "36000", "29145", "2"}, 10, 9},
        {TipoBarcode::UPC, "0123456", {"0", "123456", "5"}, 5, 9},
    };
    const RiquadroBarcode box{10, 20, 40, 20, 0.5, 1};
    for (const Caso& c : casi) {
        SCOPED_TRACE(c.dati);
        ParametriBarcode p = tipo(c.tipo);
        p.cifreStandard = true;
        const DisegnoBarcode d = DisegnoSimbolo(p, QString::fromLatin1(c.dati), box, misuraFissa);
        const SimboloBarcode& s = d.simbolo;
        ASSERT_TRUE(s.cifreStandard);
        EXPECT_EQ(s.quieteSinistra, c.quieteSinistra);
        QStringList gruppi;
        for (const auto& g : d.cifre) gruppi << g.testo;
        EXPECT_EQ(gruppi, c.gruppi);
        EXPECT_EQ(d.cifre.front().piccolo, c.tipo == TipoBarcode::UPC);

        const double k300 = 300 / 1440.0, k203 = 203 / 1440.0;
        const auto t300 = TracciaAPunti(s, QTransform::fromScale(k300, k300), 300, 1);
        const auto t203 = TracciaAPunti(s, QTransform::fromScale(k203, k203), 203, 1);
        ASSERT_TRUE(t300 && t203);
        for (const auto& [t, unita] : {std::pair{TracciaVettoriale(s), 1.0}, std::pair{*t300, 1 / k300},
                                       std::pair{*t203, 1 / k203}}) {
            // the bars in twips
            std::vector<QRectF> barre;
            for (const QRectF& r : t.scuri) barre.emplace_back(r.topLeft() * unita, r.bottomRight() * unita);
            double fondo = barre.front().bottom();
            for (const QRectF& r : barre) fondo = std::min(fondo, r.bottom());
            const double modulo = t.modulo * unita;
            const double atteso = std::min(5 * modulo, (s.y + s.altezza - s.fondo) / 2);
            int lunghe = 0;
            for (const QRectF& r : barre) {
                if (r.bottom() <= fondo + 1e-6) continue;
                ++lunghe;
                EXPECT_NEAR(r.bottom() - fondo, atteso, unita);  // within a dot
            }
            EXPECT_EQ(lunghe, c.lunghe);
            EXPECT_NEAR(fondo, s.fondo, unita);
            // the first digit left of the bars, the groups between the long bars
            ASSERT_EQ(t.cifre.size(), d.cifre.size());
            const double primaBarra = barre.front().left(), ultimaBarra = barre.back().right();
            std::vector<double> guardie;  // right edges of long bars followed by a short one
            for (std::size_t i = 0; i + 1 < barre.size(); ++i)
                if (barre[i].bottom() > fondo + 1e-6 && barre[i + 1].bottom() <= fondo + 1e-6)
                    guardie.push_back(barre[i].right());
            std::size_t interno = 0;
            for (const auto& g : t.cifre) {
                const double sinistra = g.centro - g.ampiezza / 2, destra = g.centro + g.ampiezza / 2;
                if (destra <= primaBarra + 1e-6) {
                    EXPECT_GE(sinistra, s.x - 1e-6);  // in the quiet zone, inside the box
                } else if (sinistra >= ultimaBarra - 1e-6) {
                    EXPECT_LE(destra, s.x + s.larghezza + 1e-6);
                } else {
                    ASSERT_LT(interno, guardie.size());
                    EXPECT_GE(sinistra, guardie[interno] - 1e-6) << g.testo.toStdString();
                    ++interno;
                    // the next long bar starts at or after its end
                    bool chiuso = false;
                    for (const QRectF& r : barre)
                        if (r.bottom() > fondo + 1e-6 && r.left() >= destra - modulo / 2) chiuso = true;
                    EXPECT_TRUE(chiuso) << g.testo.toStdString();
                }
            }
            EXPECT_EQ(interno, c.gruppi.size() - (c.tipo == TipoBarcode::UPC ? 2 : c.gruppi.size() == 3 ? 1 : 0));
        }

        // stored without the option, or with the line above or hidden: one line, even bars
        for (const int posizione : {0, 1, 2}) {
            ParametriBarcode q = tipo(c.tipo, posizione);
            q.cifreStandard = posizione != 0;
            const DisegnoBarcode vecchio = DisegnoSimbolo(q, QString::fromLatin1(c.dati), box, misuraFissa);
            EXPECT_TRUE(vecchio.cifre.empty());
            for (const auto& r : vecchio.rettangoli) EXPECT_DOUBLE_EQ(r.y2, vecchio.fondoBarre);
        }
    }
}
