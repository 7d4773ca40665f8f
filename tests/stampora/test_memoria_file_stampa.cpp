// Damaged print files whose pictures declare huge sizes: the reader refuses them at
// once, without taking the memory the header asks for. This program watches every
// allocation, so it runs on its own.
#include "SupportoStampora.h"
#include "common/TestSupport.h"
#include "shell/StringTable.h"
#include "stampora/FileStampa.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QtEndian>
#include <atomic>
#include <cstdlib>

namespace {
std::atomic<size_t> gRichiestaMassima{0};
void Nota(size_t n)
{
    size_t v = gRichiestaMassima.load(std::memory_order_relaxed);
    while (n > v && !gRichiestaMassima.compare_exchange_weak(v, n)) {
    }
}
}  // namespace

#ifdef CARTIGO_ASAN
// Under AddressSanitizer its allocator tells of every request. The hook is declared here:
// gcc ships no sanitizer/allocator_interface.h, though its runtime has the function.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                         void (*)(const volatile void*));
namespace {
void NotaSanitizer(const volatile void*, size_t n)
{
    Nota(n);
}
[[maybe_unused]] const int gAggancio = __sanitizer_install_malloc_and_free_hooks(NotaSanitizer, nullptr);
}  // namespace
#else
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
}

// The largest single request of the process, seen through glibc's own allocator.
extern "C" void* malloc(size_t n) noexcept
{
    Nota(n);
    return __libc_malloc(n);
}
extern "C" void* calloc(size_t a, size_t b) noexcept
{
    Nota(a * b);
    return __libc_calloc(a, b);
}
extern "C" void* realloc(void* p, size_t n) noexcept
{
    Nota(n);
    return __libc_realloc(p, n);
}
#endif

using namespace cartigo;

namespace {

quint32 Crc32(const QByteArray& b)
{
    quint32 c = 0xFFFFFFFFu;
    for (char ch : b) {
        c ^= quint8(ch);
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

void Blocco(QByteArray& png, const char* tipo, const QByteArray& dati)
{
    const QByteArray corpo = QByteArray(tipo, 4) + dati;
    QByteArray n(4, Qt::Uninitialized);
    qToBigEndian<quint32>(quint32(dati.size()), n.data());
    png += n + corpo;
    qToBigEndian<quint32>(Crc32(corpo), n.data());
    png += n;
}

// A PNG whose header declares `w` x `h` pixels (bit depth, colour type) and whose
// pixel data is a few kilobytes of zeros: a picture cut short.
QByteArray PngTroncato(quint32 w, quint32 h, char bit, char colore)
{
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray ihdr(13, '\0');
    qToBigEndian<quint32>(w, ihdr.data());
    qToBigEndian<quint32>(h, ihdr.data() + 4);
    ihdr[8] = bit;
    ihdr[9] = colore;
    Blocco(png, "IHDR", ihdr);
    Blocco(png, "IDAT", qCompress(QByteArray(200000, '\0')).mid(4));  // zlib stream without Qt's length
    Blocco(png, "IEND", {});
    return png;
}

// A small PNG whose text chunk declares 1 GB that the file does not have.
QByteArray PngBloccoLungo()
{
    QByteArray png = PngTroncato(16, 16, 8, 6);
    QByteArray testo("\0\0\0\0zTXt", 8);
    qToBigEndian<quint32>(0x40000000u, testo.data());
    return png.insert(33, testo + QByteArray(32, 'x'));  // after the signature and IHDR
}

// A valid print file with one picture, whose PNG bytes are then replaced by `png`.
QByteArray FileConImmagine(const QString& percorso, const QImage& img, const QByteArray& png = {})
{
    DocumentoStampa d{InfoStampante{}};
    d.StartDoc();
    d.DrawPicture(img, Misura(10, Unita::Millimetro), Misura(10, Unita::Millimetro), Misura(40, Unita::Millimetro),
                  Misura(30, Unita::Millimetro));
    d.EndDoc();
    QString errore;
    EXPECT_TRUE(SalvaFileStampa(d, percorso, &errore)) << errore.toStdString();
    QByteArray file = test::LeggiFile(percorso);
    if (png.isEmpty()) return file;
    const qsizetype inizio = file.indexOf("\x89PNG");
    const quint32 lunghezza = qFromBigEndian<quint32>(file.constData() + inizio - 4);
    QByteArray n(4, Qt::Uninitialized);
    qToBigEndian<quint32>(quint32(png.size()), n.data());
    file = file.left(inizio - 4) + n + png + file.mid(inizio + lunghezza);
    test::ScriviFile(percorso, file);
    return file;
}

}  // namespace

TEST(FileStampaMemoria, PictureBombsAreRefusedAtOnce)
{
    test::AssicuraApplicazione();
    test::CartellaProgrammaTemporanea cartella;
    const QString f = cartella.percorso(QStringLiteral("bomba.ant"));
    const struct {
        const char* nome;
        QByteArray png;
    } casi[] = {
        {"RGBA 5000 x 6000", PngTroncato(5000, 6000, 8, 6)},
        {"16-bit RGBA 4000 x 4000", PngTroncato(4000, 4000, 16, 6)},
        {"grey 11000 x 11000", PngTroncato(11000, 11000, 8, 0)},
        {"wider than the page", PngTroncato(100000, 2, 8, 6)},
        {"a chunk longer than the file", PngBloccoLungo()},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        QImage piccola(4, 4, QImage::Format_RGB32);
        piccola.fill(Qt::red);
        const QByteArray file = FileConImmagine(f, piccola, c.png);
        EXPECT_LT(file.size(), 4096);
        gRichiestaMassima = 0;
        QElapsedTimer t;
        t.start();
        QString errore;
        EXPECT_EQ(CaricaFileStampa(f, &errore), nullptr);
        EXPECT_LT(t.elapsed(), 1000);
        EXPECT_EQ(errore, LoadResString(1428));  // "the file is damaged or incomplete"
        EXPECT_LT(gRichiestaMassima.load(), size_t(16) << 20);
    }

    // A real photo-sized picture still comes back whole.
    QImage foto(3000, 2000, QImage::Format_RGB32);
    for (int y = 0; y < foto.height(); ++y)
        for (int x = 0; x < foto.width(); ++x) foto.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
    FileConImmagine(f, foto);
    QString errore;
    const auto d = CaricaFileStampa(f, &errore);
    ASSERT_NE(d, nullptr) << errore.toStdString();
    ASSERT_EQ(d->Immagini().size(), 1);
    EXPECT_EQ(d->Immagini()[0].convertToFormat(QImage::Format_RGB32), foto);
}

namespace {
// Page `p` of a long document: 500 lines, a caption that says which page it is and a
// barcode symbol of its number.
void PaginaLunga(DocumentoStampa& d, int p)
{
    d.SetFontName(QStringLiteral("Liberation Sans"));
    for (int i = 0; i < 500; ++i) d.DrawLine(i * 7 + p % 13, 100 + i, i * 7 + 40, 2000 + p % 1000);
    d.TextBox(QStringLiteral("Pagina %1").arg(p + 1), 100, 100, 3000, 400, false);
    SimboloBarcode s;
    s.tipo = 0;
    s.dati = QString::number(p);
    s.elementi = {0, 1, 2, 1, quint8(1 + p % 2), 2};
    s.dueLarghezze = true;
    s.x = 500, s.y = 2500, s.larghezza = 900, s.altezza = 400, s.cima = 2500, s.fondo = 2800;
    d.DrawSymbol(s);
}
}  // namespace

// A long document (2,000 pages, 19 MB of display lists and symbols) holds a few megabytes whatever
// reads it: recording it (the preview shows it while it records), writing its print file,
// and reading that back. Every page reads back as drawn.
TEST(FileStampaMemoria, LongDocumentsHoldABoundedAmount)
{
#ifdef CARTIGO_ASAN
    GTEST_SKIP() << "AddressSanitizer keeps freed memory in quarantine: the peak measures it, not the document";
#endif
    test::AssicuraApplicazione();
    test::CartellaProgrammaTemporanea cartella;
    constexpr int n = 2000;
    constexpr std::size_t limite = DocumentoStampa::kMemoriaPagine + (2u << 20);
    const auto riferimento = [](int p) {
        auto r = std::make_unique<DocumentoStampa>(InfoStampante{});
        r->StartDoc();
        PaginaLunga(*r, p);
        r->EndDoc();
        return r;
    };
    const auto uguale = [&](const DocumentoStampa& d, int p) {
        const auto r = riferimento(p);
        return d.Pagina(p).Dati() == r->Pagina(0).Dati() && d.Pagina(p).Testi() == r->Pagina(0).Testi() &&
               d.Pagina(p).Simboli() == r->Pagina(0).Simboli() &&
               d.Pagina(p).NumeroOperazioni() == r->Pagina(0).NumeroOperazioni();
    };
    const QString ant = cartella.percorso(QStringLiteral("lungo.ant"));
    DocumentoStampa d{InfoStampante{}};
    std::size_t massimo = 0;
    const qint64 registrata = test::CrescitaPicco([&] {
        d.StartDoc();
        for (int p = 0; p < n; ++p) {
            if (p > 0) d.NewPage();
            PaginaLunga(d, p);
            if (p % 100 == 0) massimo = std::max(massimo, d.Memoria());
        }
        d.EndDoc();
    });
    if (registrata < 0) GTEST_SKIP() << "/proc cannot tell the peak memory";
    ASSERT_EQ(d.PageCount(), n);
    EXPECT_LT(massimo, limite);
    EXPECT_LT(registrata, 16 << 10) << registrata << " KB";
    for (int p : {0, 1, 2, 999, n - 2, n - 1, 0}) EXPECT_TRUE(uguale(d, p)) << "page " << p;

    QString errore;
    const qint64 scritta = test::CrescitaPicco([&] { ASSERT_TRUE(SalvaFileStampa(d, ant, &errore)); });
    EXPECT_LT(scritta, 8 << 10) << scritta << " KB";
    EXPECT_GT(QFileInfo(ant).size(), 19 << 20);

    std::unique_ptr<DocumentoStampa> letto;
    const qint64 lettura = test::CrescitaPicco([&] { letto = CaricaFileStampa(ant, &errore); });
    ASSERT_TRUE(letto) << errore.toStdString();
    EXPECT_LT(lettura, 16 << 10) << lettura << " KB";
    EXPECT_LT(letto->Memoria(), limite);
    ASSERT_EQ(letto->PageCount(), n);
    for (int p : {0, 1, 1234, n - 1}) EXPECT_TRUE(uguale(*letto, p)) << "page " << p;

}
