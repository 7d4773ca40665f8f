// Print files (".ant" and PDF) and the renderer.
#include "SupportoStampora.h"
#include "common/TestSupport.h"
#include "shell/StringTable.h"
#include "stampora/FileStampa.h"
#include "stampora/RenderizzatorePagina.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

using namespace cartigo;
using test::Operazioni;

namespace {

// A document with every kind of operation on two pages.
std::unique_ptr<DocumentoStampa> DocumentoCampione()
{
    InfoStampante info;
    info.nome = QStringLiteral("Laser");
    info.porta = QStringLiteral("ipp://laser");
    auto d = std::make_unique<DocumentoStampa>(info);
    d->SetMarginLeft(Misura(1, Unita::Centimetro));
    d->StartDoc();
    d->SetPenColor(0x0000FF);
    d->SetBrushColor(0xFF0000);  // blue
    d->SetBrushStyle(0);
    d->DrawRectangle(Misura(10, Unita::Millimetro), Misura(10, Unita::Millimetro), Misura(40, Unita::Millimetro),
                     Misura(30, Unita::Millimetro));  // filled
    d->SetBrushStyle(1);
    d->DrawRectangle(Misura(50, Unita::Millimetro), Misura(10, Unita::Millimetro), Misura(80, Unita::Millimetro),
                     Misura(30, Unita::Millimetro));  // outlined
    d->DrawLine(0, 0, 1440, 1440);
    d->DrawCircle(2000, 2000, 300);
    d->SetFontName(QStringLiteral("Liberation Sans"));
    d->SetFontSize(12);
    d->SetFontBold(true);
    d->SetTextAlign(1);
    d->SetBrushColor(0x00FF00);  // green
    d->SetBrushStyle(0);
    d->SetPenStyle(5);
    d->TextBox(QStringLiteral("Ombra"), Misura(10, Unita::Millimetro), Misura(40, Unita::Millimetro),
               Misura(40, Unita::Millimetro), Misura(20, Unita::Millimetro), true);
    d->TextBox(QStringLiteral("Nulla"), Misura(60, Unita::Millimetro), Misura(40, Unita::Millimetro),
               Misura(40, Unita::Millimetro), Misura(20, Unita::Millimetro), false);
    d->NewPage();
    QImage img(4, 3, QImage::Format_RGB32);
    img.fill(QColor(10, 20, 30));
    d->DrawPicture(img, Misura(5, Unita::Millimetro), Misura(5, Unita::Millimetro), Misura(8, Unita::Millimetro),
                   Misura(6, Unita::Millimetro));
    d->SetTextAlign(0);
    d->SetCurrentX(Misura(3, Unita::Centimetro));
    d->Text(QStringLiteral("riga uno\rriga due"));
    // a barcode symbol of each shape: bars and spaces, a module matrix
    d->SetRisoluzione(203);
    d->SetRiduzione({RiduzioneBarre::Modo::Millimetri, 0.1});
    SimboloBarcode lineare;
    lineare.tipo = 0;
    lineare.dati = QStringLiteral("AB");
    lineare.elementi = {1, 1, 2, 1, 1, 2, 1};
    lineare.dueLarghezze = lineare.coprente = true;
    lineare.quieteDestra = 3;
    lineare.x = 1000, lineare.y = 2000, lineare.larghezza = 900, lineare.altezza = 500;
    lineare.cima = 2000, lineare.fondo = 2300;
    lineare.posizioneTesto = 0;
    lineare.testo = QStringLiteral("*AB*");
    lineare.testoX = 1100, lineare.testoY = 2300;
    d->DrawSymbol(lineare);
    SimboloBarcode matrice;
    matrice.tipo = 4;
    matrice.dati = QStringLiteral("dm");
    matrice.righe = 3, matrice.colonne = 5;
    matrice.moduli = {1, 0, 1, 0, 1, 1, 1, 0, 0, 1, 0, 1, 1, 1, 0};
    matrice.altezzaRiga = 1;
    matrice.quieteSinistra = matrice.quieteDestra = matrice.quieteVerticale = 1;
    matrice.x = 3000, matrice.y = 2000, matrice.larghezza = 700, matrice.altezza = 500;
    d->DrawSymbol(matrice);
    d->SetOrientation(1);
    d->EndDoc();
    return d;
}

bool Uguali(const Operazione& a, const Operazione& b)
{
    return a.tipo == b.tipo && a.ombra == b.ombra && a.stile == b.stile && a.x1 == b.x1 && a.y1 == b.y1 &&
           a.x2 == b.x2 && a.y2 == b.y2 && a.dato == b.dato;
}

class FileStampa : public ::testing::Test {
protected:
    void SetUp() override { test::AssicuraApplicazione(); }
    test::CartellaProgrammaTemporanea cartella;
};

}  // namespace

TEST_F(FileStampa, AndataERitorno)
{
    const auto d = DocumentoCampione();
    const QString f = cartella.percorso(QStringLiteral("prova.ant"));
    QString errore;
    ASSERT_TRUE(SalvaDocumento(*d, f, &errore)) << errore.toStdString();
    const auto l = CaricaFileStampa(f, &errore);
    ASSERT_TRUE(l) << errore.toStdString();
    EXPECT_EQ(l->Device(), d->Device());
    EXPECT_EQ(l->Port(), d->Port());
    EXPECT_EQ(l->Orientation(), 1);
    EXPECT_DOUBLE_EQ(l->PaperWidth(), d->PaperWidth());
    EXPECT_DOUBLE_EQ(l->MarginLeft(), 567);
    EXPECT_EQ(l->Stili(), d->Stili());
    EXPECT_EQ(l->Caratteri(), d->Caratteri());
    ASSERT_EQ(l->Immagini().size(), 1u);
    EXPECT_EQ(l->Immagini()[0].convertToFormat(QImage::Format_RGB32), d->Immagini()[0]);
    ASSERT_EQ(l->PageCount(), 2);
    for (int p = 0; p < 2; ++p) {
        const auto a = Operazioni(*d, p), b = Operazioni(*l, p);
        ASSERT_EQ(a.size(), b.size());
        for (std::size_t i = 0; i < a.size(); ++i) EXPECT_TRUE(Uguali(a[i], b[i])) << "page " << p << " op " << i;
        EXPECT_EQ(l->Pagina(p).Testi(), d->Pagina(p).Testi());
        EXPECT_EQ(l->Pagina(p).Simboli(), d->Pagina(p).Simboli());
    }
    EXPECT_EQ(l->Pagina(1).Simboli().size(), 2u);
    EXPECT_EQ(l->Risoluzione(), 203);
    EXPECT_EQ(l->Riduzione(), d->Riduzione());
    // The flowing text wrapped at the carriage return and went back to the left margin.
    const auto ops = Operazioni(*l, 1);
    ASSERT_EQ(ops.size(), 5u);
    EXPECT_NEAR(ops[1].x1, 3 * 567, 1e-3);
    EXPECT_NEAR(ops[2].x1, 567, 1e-3);
    EXPECT_GT(ops[2].y1, ops[1].y1);
}

TEST_F(FileStampa, FileRifiutati)
{
    ImpostaLingua(Lingua::Italiano);  // the messages checked are the Italian ones
    const auto d = DocumentoCampione();
    const QString f = cartella.percorso(QStringLiteral("prova.ant"));
    QString errore;
    ASSERT_TRUE(SalvaFileStampa(*d, f, &errore));
    const QByteArray buono = test::LeggiFile(f);

    // A newer format version is refused naming its version.
    QByteArray nuovo = buono;
    nuovo[8] = 0;
    nuovo[9] = 7;
    test::ScriviFile(f, nuovo);
    EXPECT_FALSE(CaricaFileStampa(f, &errore));
    EXPECT_TRUE(errore.contains(QStringLiteral("versione 7"))) << errore.toStdString();

    test::ScriviFile(f, "Margine superiore=0,30\n");
    EXPECT_FALSE(CaricaFileStampa(f, &errore));
    EXPECT_TRUE(errore.contains(QStringLiteral("non è un file di stampa")));

    EXPECT_FALSE(CaricaFileStampa(cartella.percorso(QStringLiteral("manca.ant")), &errore));
    EXPECT_FALSE(errore.isEmpty());

    // A paper 14 km long is damage, not a page the preview should draw.
    QByteArray lunga = buono;
    {
        QDataStream s(&lunga, QIODevice::ReadWrite);
        s.skipRawData(10);
        s << 780239622.0;
    }
    test::ScriviFile(f, lunga);
    EXPECT_FALSE(CaricaFileStampa(f, &errore));
    EXPECT_EQ(errore, LoadResString(1428));
    // 10 m, a long roll, still reads
    {
        QDataStream s(&lunga, QIODevice::ReadWrite);
        s.skipRawData(10);
        s << 10000.0 * 1440.0 / 25.4;
    }
    test::ScriviFile(f, lunga);
    EXPECT_TRUE(CaricaFileStampa(f, &errore)) << errore.toStdString();

    // Writing where no file can be made fails with a reason and leaves nothing behind.
    errore.clear();
    EXPECT_FALSE(SalvaDocumento(*d, cartella.percorso(QStringLiteral("manca/x.ant")), &errore));
    EXPECT_FALSE(errore.isEmpty());
    EXPECT_FALSE(SalvaDocumento(*d, cartella.percorso(QStringLiteral("manca/x.pdf")), &errore));
}

// Files of format version 1, written before barcodes became symbols, keep their
// rectangles and open; files with symbols say which version they need.
TEST_F(FileStampa, FileDellaVersioneUnoSiAprono)
{
    QByteArray v1;
    {
        QDataStream s(&v1, QIODevice::WriteOnly);
        s.setVersion(QDataStream::Qt_6_0);
        s.writeRawData("CTGANT\r\n", 8);
        s << quint16(1) << 11906.0 << 16838.0 << qint32(0) << 0.0 << 0.0 << 0.0 << 0.0;
        s << quint32(0) << quint32(0);            // device, port
        s << quint32(1) << quint32(5);            // one font: "Arial", 8 pt
        s.writeRawData("Arial", 5);
        s << 8.0f << quint8(0);
        s << quint32(1) << quint32(0) << quint32(0) << quint32(0) << 0.0f << quint32(0) << quint8(5) << quint8(0)
          << quint8(0);                           // one style: black brush, no pen
        s << quint32(0) << quint32(1);            // no picture, one page
        s << quint32(10);                         // two bars
        for (float x : {1000.0f, 1100.0f}) {
            s << (quint32(TipoOperazione::Rettangolo) << 24);
            s << std::bit_cast<quint32>(x) << std::bit_cast<quint32>(500.0f) << std::bit_cast<quint32>(x + 40)
              << std::bit_cast<quint32>(900.0f);
        }
        s << quint32(0);                          // no text
    }
    const QString f = cartella.percorso(QStringLiteral("vecchio.ant"));
    test::ScriviFile(f, v1);
    QString errore;
    const auto l = CaricaFileStampa(f, &errore);
    ASSERT_TRUE(l) << errore.toStdString();
    const auto ops = Operazioni(*l);
    ASSERT_EQ(ops.size(), 2u);
    EXPECT_EQ(ops[1].tipo, TipoOperazione::Rettangolo);
    EXPECT_EQ(ops[1].x1, 1100.0f);
    EXPECT_EQ(l->Risoluzione(), 0);
    const QImage img = ImmaginePagina(*l, 0, 72);
    EXPECT_EQ(img.pixelColor(1020 / 20, 700 / 20), QColor(Qt::black));

    // what is written now is version 2: a reader of version 1 refuses it naming both (FileRifiutati)
    ASSERT_TRUE(SalvaFileStampa(*l, f, &errore));
    EXPECT_EQ(test::LeggiFile(f).mid(8, 2), QByteArray("\x00\x02", 2));
}

TEST_F(FileStampa, DanniNonFannoCadere)
{
    const auto d = DocumentoCampione();
    const QString f = cartella.percorso(QStringLiteral("prova.ant"));
    QString errore;
    ASSERT_TRUE(SalvaFileStampa(*d, f, &errore));
    const QByteArray buono = test::LeggiFile(f);
    const QString danno = cartella.percorso(QStringLiteral("danno.ant"));

    // Every truncation is refused.
    for (qsizetype n = 0; n < buono.size(); ++n) {
        test::ScriviFile(danno, buono.left(n));
        ASSERT_FALSE(CaricaFileStampa(danno, &errore)) << "truncated at " << n;
    }
    // A flipped byte anywhere is refused or reads as a document that can be drawn.
    int letti = 0;
    for (qsizetype i = 0; i < buono.size(); ++i) {
        for (char maschera : {char(0xFF), char(0x01), char(0x80)}) {
            QByteArray b = buono;
            b[i] = static_cast<char>(b[i] ^ maschera);
            test::ScriviFile(danno, b);
            if (const auto l = CaricaFileStampa(danno, &errore)) {
                ++letti;
                for (int p = 0; p < l->PageCount(); ++p) ImmaginePagina(*l, p, 4);
            }
        }
    }
    EXPECT_GT(letti, 0);  // damage to coordinates and texts still reads
}

TEST_F(FileStampa, PaginaDisegnata)
{
    const auto d = DocumentoCampione();
    const QImage img = ImmaginePagina(*d, 0, 72);  // 20 twips a pixel
    ASSERT_FALSE(img.isNull());
    // Landscape: the image is wider than tall.
    EXPECT_GT(img.width(), img.height());
    auto colore = [&](double mmX, double mmY) { return img.pixelColor(int(mmX * 56.7 / 20), int(mmY * 56.7 / 20)); };
    EXPECT_EQ(colore(25, 20), QColor(Qt::blue));   // "BF" box filled
    EXPECT_EQ(colore(65, 20), QColor(Qt::white));  // "B" box empty inside
    EXPECT_LT(colore(50, 20).green(), 150);        // its red outline
    EXPECT_GT(colore(50, 20).red(), 200);
    EXPECT_EQ(colore(49, 20), QColor(Qt::white));
    EXPECT_EQ(colore(12, 58), QColor(Qt::green));  // shaded text box filled
    EXPECT_EQ(colore(62, 58), QColor(Qt::white));  // the other not
    // Some text was drawn in the shaded box.
    bool testo = false;
    for (int x = int(12 * 56.7 / 20); x < int(48 * 56.7 / 20); ++x)
        for (int y = int(40 * 56.7 / 20); y < int(46 * 56.7 / 20); ++y)
            testo = testo || img.pixelColor(x, y).green() < 100;
    EXPECT_TRUE(testo);
}

TEST_F(FileStampa, PdfConPdfinfoEPdftoppm)
{
    const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdfinfo.isEmpty() || pdftoppm.isEmpty()) GTEST_SKIP() << "poppler-utils (pdfinfo, pdftoppm) not installed";
    const auto d = DocumentoCampione();
    const QString f = cartella.percorso(QStringLiteral("prova.pdf"));
    QString errore;
    ASSERT_TRUE(SalvaDocumento(*d, f, &errore)) << errore.toStdString();

    QProcess info;
    info.start(pdfinfo, {f});
    ASSERT_TRUE(info.waitForFinished(30000));
    const QString out = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(out.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n")))) << out.toStdString();
    EXPECT_TRUE(out.contains(QRegularExpression(QStringLiteral("Page size:\\s+84[12](\\.\\d+)? x 595(\\.\\d+)? pts"))))
        << out.toStdString();

    QProcess ppm;
    ppm.start(pdftoppm, {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-f"), QStringLiteral("1"),
                         QStringLiteral("-l"), QStringLiteral("1"), QStringLiteral("-png"), f,
                         cartella.percorso(QStringLiteral("pagina"))});
    ASSERT_TRUE(ppm.waitForFinished(30000));
    const QImage img(cartella.percorso(QStringLiteral("pagina-1.png")));
    ASSERT_FALSE(img.isNull());
    auto colore = [&](double mmX, double mmY) { return img.pixelColor(int(mmX * 56.7 / 20), int(mmY * 56.7 / 20)); };
    EXPECT_EQ(colore(25, 20), QColor(Qt::blue));
    EXPECT_EQ(colore(65, 20), QColor(Qt::white));
    EXPECT_EQ(colore(12, 58), QColor(Qt::green));
}

// Ellipses, turns and texts laid out with the layout bits need format version 3, which a
// build that reads version 2 refuses by its number; other documents stay version 2.
TEST_F(FileStampa, EllissiRotazioniETestiAdattatiNellaVersioneTre)
{
    const auto versione = [](const QByteArray& b) { return (quint8(b[8]) << 8) | quint8(b[9]); };
    const auto vecchio = DocumentoCampione();
    EXPECT_EQ(vecchio->VersioneFormato(), 2);
    const QString f = cartella.percorso(QStringLiteral("v3.ant"));
    QString errore;
    ASSERT_TRUE(SalvaFileStampa(*vecchio, f, &errore));
    EXPECT_EQ(versione(test::LeggiFile(f)), 2);

    const auto mm = [](double v) { return Misura(v, Unita::Millimetro); };
    DocumentoStampa d;
    d.StartDoc();
    d.SetBrushStyle(0);
    d.SetBrushColor(0);
    d.Ruota(mm(40), mm(35), 90);  // a 20 x 10 mm box turned about its centre
    d.DrawRectangle(mm(30), mm(30), mm(50), mm(40));
    d.Ruota(mm(40), mm(35), 0);
    d.DrawEllipse(mm(60), mm(10), mm(80), mm(20));
    d.SetFontName(QStringLiteral("Liberation Sans"));
    d.SetImpaginazioneTesto(ImpaginazioneCasella::Propria | ImpaginazioneCasella::Basso);
    d.TextBox(QStringLiteral("in basso"), mm(10), mm(60), mm(40), mm(20), false);
    d.EndDoc();
    EXPECT_EQ(d.VersioneFormato(), 3);
    ASSERT_TRUE(SalvaFileStampa(d, f, &errore));
    const QByteArray dati = test::LeggiFile(f);
    EXPECT_EQ(versione(dati), 3);
    const auto l = CaricaFileStampa(f, &errore);
    ASSERT_TRUE(l) << errore.toStdString();
    EXPECT_EQ(l->VersioneFormato(), 3);
    const auto a = Operazioni(d), b = Operazioni(*l);
    ASSERT_EQ(a.size(), 5u);
    ASSERT_EQ(b.size(), a.size());
    for (std::size_t i = 0; i < a.size(); ++i) EXPECT_TRUE(Uguali(a[i], b[i])) << i;
    EXPECT_EQ(l->Stili(), d.Stili());
    // read as version 2, the same bytes are damage, never a misprint
    QByteArray due = dati;
    due[9] = 2;
    test::ScriviFile(f, due);
    EXPECT_FALSE(CaricaFileStampa(f, &errore));

    // the turn is the renderer's: the box stands 10 x 20 mm about the same centre
    const QImage img = ImmaginePagina(d, 0, 254);  // 10 dots a millimetre
    const auto scuro = [&](double x, double y) { return qGray(img.pixel(int(x * 10), int(y * 10))) < 128; };
    EXPECT_TRUE(scuro(40, 26));
    EXPECT_TRUE(scuro(40, 44));
    EXPECT_FALSE(scuro(32, 35));
    EXPECT_FALSE(scuro(48, 35));
    EXPECT_TRUE(scuro(70, 15));   // the ellipse's centre, filled
    EXPECT_FALSE(scuro(61, 11));  // its box's corner
}
