#include "stampora/ScrittoreZpl.h"

#include "barcode/EAN.h"
#include "barcode/ParametriBarcode.h"
#include "label/ScritturaFile.h"
#include "shell/StringTable.h"
#include "stampora/RenderizzatorePagina.h"

#include <QIODevice>
#include <QPainter>
#include <QHash>
#include <QRegion>
#include <QSet>
#include <QStringBuilder>
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>

#include <libdeflate.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace cartigo {

namespace {

constexpr double kTwipPollice = 1440;
// QR Code's module: ^BQ takes 1 to 10 dots.
constexpr int kModuloMassimoQR = 10;

QByteArray numero(long n) { return QByteArray::number(qlonglong(n)); }

// Field data with ^FH's hex escapes (indicator "_") for what ZPL would take as a
// command or an escape, and for control characters; UTF-8 (^CI28) otherwise.
QByteArray datiCampo(const QString& dati)
{
    QByteArray out;
    for (const char c : dati.toUtf8()) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 32 || b == '^' || b == '~' || b == '_' || b == 127)
            out += '_' + QByteArray::number(b, 16).rightJustified(2, '0').toUpper();
        else
            out += c;
    }
    return out;
}

bool soloAscii(const QString& s)
{
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c.unicode() >= 32 && c.unicode() < 127; });
}

bool soloCifre(const QString& s)
{
    return !s.isEmpty() && std::all_of(s.begin(), s.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// The error-correction level a QR Code symbol carries in its format information (row 8,
// columns 0 and 1, under the fixed mask 101010000010010): L, M, Q or H.
char livelloQR(const SimboloBarcode& s)
{
    if (s.righe < 21 || s.colonne < 21 || s.moduli.size() < std::size_t(s.righe) * s.colonne) return 'M';
    const int b14 = (s.moduli[8 * std::size_t(s.colonne) + 0] ? 1 : 0) ^ 1;
    const int b13 = s.moduli[8 * std::size_t(s.colonne) + 1] ? 1 : 0;
    static const char livelli[4] = {'M', 'L', 'H', 'Q'};
    return livelli[(b14 << 1) | b13];
}

// The security level a PDF417 symbol of `righe` rows of `colonne` data columns was most
// likely made with: the encoder's default grows with the data codewords (2 up to 40,
// 3 up to 160, 4 up to 320, else 5), each level taking 2^(level+1) codewords.
int sicurezzaPDF417(int righe, int colonne)
{
    const int totale = righe * colonne;
    if (totale - 64 > 320) return 5;
    if (totale - 32 > 160) return 4;
    if (totale - 16 > 40) return 3;
    return 2;
}

QByteArray campo(long x, long y) { return "^FO" % numero(x) % ',' % numero(y); }

}  // namespace

double RisoluzioneZpl(const DocumentoStampa& doc)
{
    return doc.Risoluzione() > 0 ? doc.Risoluzione() : kRisoluzioneZplPredefinita;
}

bool ColoreNeroZpl(quint32 colore)
{
    return PuntoNero(ColoreStampa(colore).rgb());
}

std::optional<QByteArray> ComandoBarcodeZpl(const SimboloBarcode& s, double dpi, QPoint origine)
{
    if (!(dpi > 0)) return std::nullopt;
    const double k = dpi / kTwipPollice;
    // No reduction: the printer's bars are whole modules, its darkness does the rest. A whole
    // dot origin keeps them on the same dots.
    const auto t = TracciaAPunti(s, QTransform::fromScale(k, k) * QTransform::fromTranslate(-origine.x(), -origine.y()),
                                 dpi, 0);
    if (!t || t->scuri.empty()) return std::nullopt;
    const long modulo = std::lround(t->modulo);
    if (modulo < 1) return std::nullopt;
    // The layout's edges lie a sixteenth of a dot past the dots' boundaries.
    const auto punto = [](double v) { return long(std::floor(v)); };

    if (s.bidimensionale()) {
        long x = punto(t->scuri.front().left()), y = punto(t->scuri.front().top());
        for (const QRectF& r : t->scuri) {
            x = std::min(x, punto(r.left()));
            y = std::min(y, punto(r.top()));
        }
        if (!soloAscii(s.dati)) return std::nullopt;
        switch (static_cast<TipoBarcode>(s.tipo)) {
            case TipoBarcode::QRCode: {
                if (modulo > kModuloMassimoQR || y < 1) return std::nullopt;
                // The printer puts a QR Code as far below its field origin as ^BY's bar
                // height says: a small one, taken off the origin.
                const long spinta = std::min(y, 10L);
                return campo(x, y - spinta) % "^BY2,2.0," % numero(spinta) % "^BQN,2," % numero(modulo) % "^FH_^FD" %
                       livelloQR(s) % "A," % datiCampo(s.dati) % "^FS";
            }
            case TipoBarcode::DataMatrix:
                // "~" is the command's own escape character.
                if (s.dati.contains(QLatin1Char('~'))) return std::nullopt;
                return campo(x, y) % "^BXN," % numero(modulo) % ",200," % numero(s.colonne) % ',' %
                       numero(s.righe) % "^FH_^FD" % datiCampo(s.dati) % "^FS";
            case TipoBarcode::PDF417: {
                // Start, stop and the two row indicators around 17 modules a data column.
                if (s.colonne < 69 + 17 || (s.colonne - 69) % 17 != 0) return std::nullopt;
                const int colonne = (s.colonne - 69) / 17;
                const long riga = std::lround(s.altezzaRiga * modulo);
                return campo(x, y) % "^BY" % numero(modulo) % "^B7N," % numero(riga) % ',' %
                       numero(sicurezzaPDF417(s.righe, colonne)) % ',' % numero(colonne) % ',' % numero(s.righe) %
                       ",N^FH_^FD" % datiCampo(s.dati) % "^FS";
            }
            default:
                return std::nullopt;
        }
    }

    // A linear kind: the bars (past ITF-14's bearer bars, drawn as boxes).
    const std::size_t primo = s.barreSostegno ? 2 : 0;
    if (t->scuri.size() <= primo) return std::nullopt;
    const QRectF& barra = t->scuri[primo];
    const long x = punto(barra.left()), y = punto(barra.top());
    // The printer's bars are all as long as the shortest; the standard layout's longer
    // guard bars reach down as boxes under it.
    long fondo = punto(barra.bottom());
    for (std::size_t i = primo; i < t->scuri.size(); ++i) fondo = std::min(fondo, punto(t->scuri[i].bottom()));
    const long altezza = fondo - y;
    if (altezza < 1) return std::nullopt;
    const auto riquadro = [&](long sx, long sy, long w, long h) -> QByteArray {
        return campo(sx, sy) % "^GB" % numero(w) % ',' % numero(h) % ',' % numero(std::min(w, h)) % "^FS";
    };
    QByteArray sostegno;
    for (std::size_t i = 0; i < primo; ++i) {
        const QRectF& r = t->scuri[i];
        sostegno += riquadro(punto(r.left()), punto(r.top()), punto(r.right()) - punto(r.left()),
                             punto(r.bottom()) - punto(r.top()));
    }
    QByteArray guardie;
    for (std::size_t i = primo; i < t->scuri.size(); ++i) {
        const QRectF& r = t->scuri[i];
        if (punto(r.bottom()) > fondo)
            guardie += riquadro(punto(r.left()), fondo, punto(r.right()) - punto(r.left()), punto(r.bottom()) - fondo);
    }
    const QByteArray h = numero(altezza);
    const QByteArray by = "^BY" % numero(modulo);
    switch (static_cast<TipoBarcode>(s.tipo)) {
        case TipoBarcode::Code39: {
            static const QString insieme = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%");
            if (s.dati.isEmpty() || !std::all_of(s.dati.begin(), s.dati.end(), [](QChar c) { return insieme.contains(c); }))
                return std::nullopt;
            // ^BY takes the ratio from 2.0 to 3.0 in tenths.
            const double rapporto = std::clamp(std::round(t->rapporto * 10) / 10, 2.0, 3.0);
            return campo(x, y) % by % ',' % QByteArray::number(rapporto, 'f', 1) % ',' % h % "^B3N,N," % h %
                   ",N,N^FD" % s.dati.toLatin1() % "^FS";
        }
        case TipoBarcode::EAN13:
            // The printer adds the check digit, the same one.
            if (!soloCifre(s.dati)) return std::nullopt;
            if (s.dati.size() == 13)
                return campo(x, y) % by % "^BEN," % h % ",N,N^FD" % s.dati.left(12).toLatin1() % "^FS" % guardie;
            if (s.dati.size() == 8)
                return campo(x, y) % by % "^B8N," % h % ",N,N^FD" % s.dati.left(7).toLatin1() % "^FS" % guardie;
            return std::nullopt;
        case TipoBarcode::Code128:
            // Data in brackets are GS1 application identifiers: the graphic field keeps those.
            if (!soloAscii(s.dati) || s.dati.startsWith(QLatin1Char('('))) return std::nullopt;
            return campo(x, y) % by % "^BCN," % h % ",N,N,N,A^FH_^FD" % datiCampo(s.dati) % "^FS";
        case TipoBarcode::UPC: {
            const QString cifre = s.dati.trimmed();
            if (!soloCifre(cifre) || (cifre.size() != 11 && cifre.size() != 12)) return std::nullopt;
            return campo(x, y) % by % "^BUN," % h % ",N,N,Y^FD" % cifre.left(11).toLatin1() % "^FS" % guardie;
        }
        case TipoBarcode::ITF: {
            QString cifre = s.dati.trimmed();
            if (!soloCifre(cifre)) return std::nullopt;
            if (s.barreSostegno) {
                if (cifre.size() == 13) cifre += QString::number(modCartigo::CifraControlloEAN(cifre));
            } else if (cifre.size() % 2 == 1) {
                cifre.prepend(QLatin1Char('0'));  // as the encoder pairs the digits
            }
            const quint8 largo = *std::max_element(s.elementi.begin(), s.elementi.end());
            if (largo < 2 || largo > 3) return std::nullopt;
            return sostegno % campo(x, y) % by % ',' % QByteArray::number(double(largo), 'f', 1) % "^B2N," % h %
                   ",N,N,N^FD" % cifre.toLatin1() % "^FS";
        }
        default:
            return std::nullopt;
    }
}

namespace {

// A rectangle as ^GB when everything it paints is dark and plain: a solid or no pen,
// a solid or no brush. Nothing otherwise (the graphic field draws it).
std::optional<QByteArray> riquadroZpl(const Operazione& op, const StileStampa& s, double k, QPoint origine = {})
{
    const bool penna = s.stilePenna != 5;
    const bool pieno = s.stilePennello == 0;
    if (s.stilePennello != 0 && s.stilePennello != 1) return std::nullopt;
    if (penna && (s.stilePenna != 0 && s.stilePenna != 6)) return std::nullopt;
    if ((penna && !ColoreNeroZpl(s.colorePenna)) || (pieno && !ColoreNeroZpl(s.colorePennello))) return std::nullopt;
    if (!penna && !pieno) return std::nullopt;
    double x1 = std::min(op.x1, op.x2), x2 = std::max(op.x1, op.x2);
    double y1 = std::min(op.y1, op.y2), y2 = std::max(op.y1, op.y2);
    // The pen is centred on the edges; the thinnest one is one dot inside them.
    const double mezzo = penna ? s.spessorePenna / 2 : 0;
    x1 -= mezzo, y1 -= mezzo, x2 += mezzo, y2 += mezzo;
    const long l = std::lround(x1 * k) - origine.x(), t = std::lround(y1 * k) - origine.y();
    const long w = std::max(1L, std::lround(x2 * k) - origine.x() - l), h = std::max(1L, std::lround(y2 * k) - origine.y() - t);
    long spessore = std::min(w, h);
    if (!pieno) spessore = std::clamp(std::lround(s.spessorePenna * k), 1L, spessore);
    return "^FO" % numero(l) % ',' % numero(t) % "^GB" % numero(w) % ',' % numero(h) % ',' % numero(spessore) % "^FS";
}

}  // namespace

namespace {

// Each byte with its bits in the opposite order.
constexpr std::array<uchar, 256> kBitRovesci = [] {
    std::array<uchar, 256> t{};
    for (int b = 0; b < 256; ++b)
        for (int i = 0; i < 8; ++i)
            if (b & (1 << i)) t[std::size_t(b)] |= uchar(0x80 >> i);
    return t;
}();

// 1-bit rows (dark dots 1), `passo` bytes apart, `larghezza` dots wide; bits past the
// width are light.
struct RighePunti {
    const uchar* dati = nullptr;
    qsizetype passo = 0;
    int larghezza = 0, altezza = 0;
    int perRiga() const { return (larghezza + 7) / 8; }
    const uchar* riga(int y) const { return dati + passo * y; }
};

// The rows of a 1-bit image, packed, with the dots past its width light.
std::vector<uchar> righeImmagine(const QImage& img, RighePunti& r)
{
    r.larghezza = img.width();
    r.altezza = img.height();
    r.passo = r.perRiga();
    std::vector<uchar> dati(std::size_t(r.passo) * std::size_t(r.altezza));
    for (int y = 0; y < r.altezza; ++y) {
        uchar* riga = dati.data() + r.passo * y;
        std::memcpy(riga, img.constScanLine(y), std::size_t(r.passo));
        if (r.larghezza % 8) riga[r.passo - 1] &= uchar(0xFF << (8 - r.larghezza % 8));
    }
    r.dati = dati.data();
    return dati;
}

// The runs of hex digits of `n` bytes of dots: one more than the places where a digit
// differs from the next, counted eight bytes at a time.
int corseEsadecimali(const uchar* linea, int n)
{
    // how many of eight bytes (each at most 15) are not 0
    const auto nonZero = [](quint64 x) {
        x |= x >> 2;
        x |= x >> 1;
        return std::popcount(x & 0x0101010101010101ULL);
    };
    int cambi = 0, i = 0;
    for (; i + 8 <= n; i += 8) {
        quint64 w;
        std::memcpy(&w, linea + i, sizeof w);
        if constexpr (std::endian::native == std::endian::big) w = __builtin_bswap64(w);
        // the two digits of each byte; the second of each byte and the first of the next
        cambi += nonZero((w ^ (w >> 4)) & 0x0F0F0F0F0F0F0F0FULL) + nonZero((w ^ (w >> 12)) & 0x000F0F0F0F0F0F0FULL);
        if (i + 8 < n) cambi += (linea[i + 7] & 15) != (linea[i + 8] >> 4);
    }
    for (; i < n; ++i) {
        cambi += (linea[i] >> 4) != (linea[i] & 15);
        if (i + 1 < n) cambi += (linea[i] & 15) != (linea[i + 1] >> 4);
    }
    return cambi + 1;
}

// Nothing when it would be longer than `limite` characters (negative: no limit).
std::optional<QByteArray> esadecimale(const RighePunti& img, qsizetype limite = -1)
{
    static const char cifre[] = "0123456789ABCDEF";
    const int perRiga = img.perRiga(), digitiRiga = 2 * perRiga;
    // What the rows take at least, counted first, is often over the limit already: a row
    // the same as the one before takes ":", any other a character a run of digits at least
    // (the run it ends with, when light or dark, becomes "," or "!").
    if (limite >= 0) {
        qsizetype almeno = 0;
        for (int y = 0; y < img.altezza && almeno <= limite; ++y) {
            const uchar* linea = img.riga(y);
            almeno += y > 0 && std::memcmp(linea, img.riga(y - 1), std::size_t(perRiga)) == 0
                          ? 1
                          : corseEsadecimali(linea, perRiga);
        }
        if (almeno > limite) return std::nullopt;
    }
    // A row takes at most a character a digit and one more (a run of one is the digit
    // alone, longer ones take fewer characters than digits): the rows written so far
    // stay within `limite` plus one row.
    static thread_local std::vector<char> buffer;
    const std::size_t massimo = std::size_t(img.altezza) * std::size_t(digitiRiga + 1);
    buffer.resize(limite < 0 ? massimo : std::min(massimo, std::size_t(limite) + std::size_t(digitiRiga + 1)));
    char* const inizio = buffer.data();
    char* out = inizio;
    // A run of `n` of digit `c`: repeat counts, 400 at a time beyond what one prefix says.
    const auto corsa = [&](char c, int n) {
        while (n > 419) {
            *out++ = 'z';
            *out++ = c;
            n -= 400;
        }
        if (n >= 20) *out++ = char('g' + n / 20 - 1);
        if (n % 20 >= 2 || (n >= 20 && n % 20 == 1)) *out++ = char('G' + n % 20 - 1);
        *out++ = c;
    };
    const auto cifra = [&](const uchar* linea, int i) { return (i & 1) ? linea[i >> 1] & 15 : linea[i >> 1] >> 4; };
    for (int y = 0; y < img.altezza; ++y) {
        if (limite >= 0 && out - inizio > limite) return std::nullopt;
        const uchar* linea = img.riga(y);
        if (y > 0 && std::memcmp(linea, img.riga(y - 1), std::size_t(perRiga)) == 0) {
            *out++ = ':';
            continue;
        }
        int fine = digitiRiga;
        const int ultima = cifra(linea, fine - 1);
        if (ultima == 0 || ultima == 15)
            while (fine > 0 && cifra(linea, fine - 1) == ultima) --fine;
        for (int i = 0; i < fine;) {
            const int c = cifra(linea, i);
            int j = i + 1;
            while (j < fine && cifra(linea, j) == c) ++j;
            corsa(cifre[c], j - i);
            i = j;
        }
        if (ultima == 0)
            *out++ = ',';
        else if (ultima == 15)
            *out++ = '!';
    }
    if (limite >= 0 && out - inizio > limite) return std::nullopt;
    return QByteArray(inizio, out - inizio);
}

// CRC-16 (CCITT polynomial 0x1021, from 0), eight bytes at a time: table k holds what a
// byte does to the CRC with k more bytes after it.
constexpr std::array<std::array<quint16, 256>, 8> kTabelleCrc = [] {
    std::array<std::array<quint16, 256>, 8> t{};
    for (int b = 0; b < 256; ++b) {
        quint16 crc = quint16(b << 8);
        for (int i = 0; i < 8; ++i) crc = quint16((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
        t[0][std::size_t(b)] = crc;
    }
    for (std::size_t k = 1; k < 8; ++k)
        for (std::size_t b = 0; b < 256; ++b)
            t[k][b] = quint16(t[k - 1][b] << 8) ^ t[0][t[k - 1][b] >> 8];
    return t;
}();

quint16 crcZpl(const QByteArray& testo)
{
    const auto* p = reinterpret_cast<const uchar*>(testo.constData());
    const auto& t = kTabelleCrc;
    quint16 crc = 0;
    qsizetype n = testo.size();
    for (; n >= 8; n -= 8, p += 8)
        crc = t[7][(crc >> 8) ^ p[0]] ^ t[6][(crc & 0xFF) ^ p[1]] ^ t[5][p[2]] ^ t[4][p[3]] ^ t[3][p[4]] ^
              t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
    for (; n > 0; --n, ++p) crc = quint16(crc << 8) ^ t[0][(crc >> 8) ^ *p];
    return crc;
}

// Deflate's level for the graphics: libdeflate's fastest. On a job's text lines (some
// 800 bytes each) it takes about three quarters of the time of level 6 for 1 % more bytes.
constexpr int kLivelloDeflate = 1;

QByteArray z64(const RighePunti& img)
{
    // One compressor for the job's graphics (libdeflate: whole buffers, faster than zlib
    // at the same level).
    static thread_local const std::unique_ptr<libdeflate_compressor, void (*)(libdeflate_compressor*)> compressore(
        libdeflate_alloc_compressor(kLivelloDeflate), libdeflate_free_compressor);
    static thread_local std::vector<uchar> byte, compressi;
    const std::size_t perRiga = std::size_t(img.perRiga()), n = perRiga * std::size_t(img.altezza);
    const uchar* sorgente = img.dati;
    if (img.passo != qsizetype(perRiga)) {
        byte.resize(n);
        for (int y = 0; y < img.altezza; ++y) std::memcpy(byte.data() + perRiga * std::size_t(y), img.riga(y), perRiga);
        sorgente = byte.data();
    }
    QByteArray b64;
    if (compressore) {
        compressi.resize(libdeflate_zlib_compress_bound(compressore.get(), n));
        if (const std::size_t m = libdeflate_zlib_compress(compressore.get(), sorgente, n, compressi.data(), compressi.size()))
            b64 = QByteArray::fromRawData(reinterpret_cast<const char*>(compressi.data()), qsizetype(m)).toBase64();
    }
    if (b64.isEmpty())  // qCompress puts the length before the zlib stream
        b64 = qCompress(sorgente, qsizetype(n), kLivelloDeflate).mid(4).toBase64();
    return ":Z64:" % b64 % ':' % QByteArray::number(crcZpl(b64), 16).rightJustified(4, '0').toUpper();
}

}  // namespace

QByteArray EsadecimaleZpl(const QImage& img)
{
    RighePunti r;
    const auto dati = righeImmagine(img, r);
    return *esadecimale(r);
}

QByteArray Z64Zpl(const QImage& img)
{
    RighePunti r;
    const auto dati = righeImmagine(img, r);
    return z64(r);
}

namespace {

// The stored format a job's labels recall: what is the same on all of them.
constexpr const char kFormatoLavoro[] = "R:CARTIGO.ZPL";
// Dot rows or columns without dots that still go into one graphic field: a field costs
// some 40 bytes of its own, empty rows and bytes next to nothing.
constexpr int kRigheVuoteCampo = 24;
constexpr int kByteVuotiCampo = 4;
// Fields of a band side by side go as one when that adds at most this many empty bytes:
// deflating a field costs about as much as some 4 KB of empty bytes (libdeflate sets up
// its tables for every field), and one field less saves its header (the two lines of
// digits under a row's barcodes: 1,100 empty bytes between them at 203 dpi).
constexpr qsizetype kByteUnione = 2048;
// Texts a job keeps in the printer's memory as graphics, and texts it remembers having
// seen (the printer's memory and the job's stay bounded).
constexpr qsizetype kRicordiMassimi = 512;
constexpr qsizetype kVistiMassimi = 16384;
// A text seen again is stored only when it comes back within this many texts: one that
// comes back later would have made room for others before it is recalled.
constexpr quint64 kRitornoMassimo = quint64(kRicordiMassimi);

// A part of a page printed as one ZPL label: the page, or a row of labels of a sheet.
struct ParteZpl {
    QRectF zona;     // twips on the page
    QPoint origine;  // its top-left corner, in whole dots
    int larghezza = 1, altezza = 1;
};

ParteZpl parteDi(const QRectF& zona, double k)
{
    ParteZpl u;
    u.zona = zona;
    u.origine = QPoint(int(std::lround(zona.left() * k)), int(std::lround(zona.top() * k)));
    u.larghezza = std::max(1, int(std::ceil(zona.width() * k - 1e-6)));
    u.altezza = std::max(1, int(std::ceil(zona.height() * k - 1e-6)));
    return u;
}

QByteArray testata(const ParteZpl& u)
{
    return "^CI28^PW" + numero(u.larghezza) + "^LL" + numero(u.altezza) + "^LH0,0";
}

// What the job knows of one operation of a page, in drawing order.
struct InfoOp {
    TipoOperazione tipo = TipoOperazione::Linea;
    int unita = 0;        // the part of the page it is on; -1 none (a turn is on all)
    bool ruotata = false;  // under a turn
    bool copre = false;    // it can paint light dots over dark ones
    QRectF riquadro;       // twips on the page it paints within; empty: unknown (turned)
    QByteArray chiave;     // what it draws, from its part's corner: equal keys draw the same
};

template <class T>
void aggiungiByte(QByteArray& c, const T& v)
{
    c.append(reinterpret_cast<const char*>(&v), sizeof v);
}

void aggiungiTesto(QByteArray& c, const QString& t)
{
    aggiungiByte(c, qint32(t.size()));
    c.append(reinterpret_cast<const char*>(t.utf16()), t.size() * 2);
}

// True when what an operation paints can make dark dots light: a picture, a fill that is
// light or hatched, a shaded text box, light text or lines, a symbol that clears its area.
bool copre(const Operazione& op, const StileStampa& s, const PaginaStampa& pagina)
{
    const bool penna = s.stilePenna != 5 && !ColoreNeroZpl(s.colorePenna);
    const bool pennello = s.stilePennello != 1 && (s.stilePennello != 0 || !ColoreNeroZpl(s.colorePennello));
    switch (op.tipo) {
        case TipoOperazione::Immagine: return true;
        case TipoOperazione::Linea: return penna;
        case TipoOperazione::Rettangolo:
        case TipoOperazione::Cerchio:
        case TipoOperazione::Ellisse: return penna || pennello;
        case TipoOperazione::CasellaTesto:
        case TipoOperazione::Testo: return op.ombra || !ColoreNeroZpl(s.coloreTesto);
        case TipoOperazione::Simbolo:
            return !ColoreNeroZpl(s.coloreTesto) || !ColoreNeroZpl(s.colorePennello) ||
                   (op.dato < pagina.Simboli().size() && pagina.Simboli()[op.dato].coprente);
        case TipoOperazione::Rotazione: return false;
    }
    return true;
}

// Every operation of page `indice` the renderer draws, with its part of the page.
std::vector<InfoOp> operazioni(const DocumentoStampa& doc, int indice, const std::vector<ParteZpl>& unita)
{
    std::vector<InfoOp> info;
    const PaginaStampa& pagina = doc.Pagina(indice);
    const auto& stili = doc.Stili();
    const auto& caratteri = doc.Caratteri();
    const auto& testi = pagina.Testi();
    const auto& simboli = pagina.Simboli();
    bool ruotata = false;
    double perno = 0;  // the turn's point, which places what it turns
    QByteArray giro;
    info.reserve(pagina.NumeroOperazioni());
    pagina.PerOgni([&](const Operazione& op) {
        if (op.stile >= stili.size()) return;  // as the renderer
        InfoOp i;
        i.tipo = op.tipo;
        i.copre = copre(op, stili[op.stile], pagina);
        double y = 0;
        switch (op.tipo) {
            case TipoOperazione::Cerchio: y = op.y1; break;
            case TipoOperazione::Testo: y = op.y1 + op.y2 / 2; break;
            case TipoOperazione::Rotazione: y = op.y1; break;
            default: y = (op.y1 + op.y2) / 2; break;
        }
        if (op.tipo == TipoOperazione::Rotazione) {
            ruotata = op.x2 != 0;
            perno = op.y1;
        } else if (ruotata) {
            y = perno;
        }
        i.ruotata = ruotata && op.tipo != TipoOperazione::Rotazione;
        if (!i.ruotata) {
            const double penna = stili[op.stile].spessorePenna + 20;
            switch (op.tipo) {
                case TipoOperazione::Cerchio:
                    i.riquadro = QRectF(op.x1 - op.x2, op.y1 - op.x2, 2 * op.x2, 2 * op.x2);
                    break;
                case TipoOperazione::Testo: i.riquadro = QRectF(op.x1, op.y1, op.x2, op.y2); break;
                default: i.riquadro = QRectF(QPointF(op.x1, op.y1), QPointF(op.x2, op.y2)).normalized(); break;
            }
            i.riquadro.adjust(-penna, -penna, penna, penna);
        }
        i.unita = -1;
        for (std::size_t u = 0; u < unita.size(); ++u)
            if (unita.size() == 1 || (y >= unita[u].zona.top() && y < unita[u].zona.bottom())) i.unita = int(u);
        const QPointF o = i.unita >= 0 ? unita[std::size_t(i.unita)].zona.topLeft() : QPointF();
        QByteArray& c = i.chiave;
        aggiungiByte(c, quint8(op.tipo));
        aggiungiByte(c, quint8(op.ombra));
        // what of its style it draws with (a style can differ only in what it does not use)
        const StileStampa& st = stili[op.stile];
        const bool forma = op.tipo == TipoOperazione::Linea || op.tipo == TipoOperazione::Rettangolo ||
                           op.tipo == TipoOperazione::Cerchio || op.tipo == TipoOperazione::Ellisse;
        const bool testo = op.tipo == TipoOperazione::Testo || op.tipo == TipoOperazione::CasellaTesto ||
                           op.tipo == TipoOperazione::Simbolo;
        if (forma) {
            aggiungiByte(c, st.stilePenna);
            if (st.stilePenna != 5) {
                aggiungiByte(c, st.colorePenna);
                aggiungiByte(c, st.spessorePenna);
            }
        }
        if ((forma && op.tipo != TipoOperazione::Linea) || op.ombra || op.tipo == TipoOperazione::Simbolo) {
            aggiungiByte(c, st.stilePennello);
            if (st.stilePennello != 1 || op.tipo == TipoOperazione::Simbolo) aggiungiByte(c, st.colorePennello);
        }
        if (testo) {
            aggiungiByte(c, st.coloreTesto);
            aggiungiByte(c, st.allineamento);
            if (st.carattere < caratteri.size()) {
                const CarattereStampa& f = caratteri[st.carattere];
                aggiungiTesto(c, f.nome);
                aggiungiByte(c, f.dimensione);
                aggiungiByte(c, quint8(f.grassetto | f.corsivo << 1));
            }
        }
        // Sixteenths of a twip from the part's corner.
        const auto posizione = [&](double v, double da) { aggiungiByte(c, qint64(std::llround((v - da) * 16))); };
        const bool misure = op.tipo == TipoOperazione::Cerchio || op.tipo == TipoOperazione::Testo ||
                            op.tipo == TipoOperazione::Rotazione;
        posizione(op.x1, o.x());
        posizione(op.y1, o.y());
        posizione(op.x2, misure ? 0 : o.x());
        posizione(op.y2, misure ? 0 : o.y());
        if (op.tipo == TipoOperazione::Rotazione) {
            giro = ruotata ? c : QByteArray();
        } else {
            c += giro;
        }
        if (op.tipo == TipoOperazione::Immagine) {
            aggiungiByte(c, op.dato);
        } else if ((op.tipo == TipoOperazione::Testo || op.tipo == TipoOperazione::CasellaTesto) && op.dato < testi.size()) {
            aggiungiTesto(c, testi[op.dato]);
        } else if (op.tipo == TipoOperazione::Simbolo && op.dato < simboli.size()) {
            const SimboloBarcode& s = simboli[op.dato];
            aggiungiByte(c, s.tipo);
            aggiungiTesto(c, s.dati);
            aggiungiTesto(c, s.testo);
            for (const double v : {s.x - o.x(), s.y - o.y(), s.larghezza, s.altezza, s.cima - o.y(), s.fondo - o.y(),
                                   s.testoX - o.x(), s.testoY - o.y(), double(s.altezzaRiga)})
                posizione(v, 0);
            aggiungiByte(c, s.posizioneTesto);
            aggiungiByte(c, quint8(s.cifreStandard | s.barreSostegno << 1 | s.coprente << 2 | s.dueLarghezze << 3));
            aggiungiByte(c, s.righe);
            aggiungiByte(c, s.colonne);
            c.append(reinterpret_cast<const char*>(s.elementi.data()), qsizetype(s.elementi.size()));
            c.append(reinterpret_cast<const char*>(s.moduli.data()), qsizetype(s.moduli.size()));
        }
        info.push_back(std::move(i));
    });
    return info;
}

// A rectangle in twips on the page as the dots it touches, from part corner `origine`.
QRect puntiDi(const QRectF& r, double k, QPoint origine)
{
    return QRect(QPoint(int(std::floor(r.left() * k)), int(std::floor(r.top() * k))),
                 QPoint(int(std::ceil(r.right() * k)), int(std::ceil(r.bottom() * k))))
        .translated(-origine);
}

// The dots of a symbol's human-readable line: the strip of its box above or below the
// bars, as wide as the box or the line (centred on it); nothing when it has none.
std::optional<QRect> rigaLeggibile(const SimboloBarcode& s, double k, QPoint origine)
{
    if (!s.conTesto()) return std::nullopt;
    const double sinistra = std::min(s.x, s.testoX), destra = std::max(s.x + s.larghezza, 2 * s.x + s.larghezza - s.testoX);
    const double cima = s.posizioneTesto == 1 ? s.y : s.fondo, fondo = s.posizioneTesto == 1 ? s.cima : s.y + s.altezza;
    return puntiDi(QRectF(QPointF(sinistra, cima), QPointF(destra, fondo)), k, origine);
}

// Part `u` of page `indice` as the printer gets it: `incluse` says which operations (by
// their place in `info`) it draws. The printer's own commands (barcodes, boxes) and the
// rest as dots (dark 1) of the part, drawn by the one renderer without smoothing; `zona`
// holds all the dots (outside it there are none).
struct Disegno {
    QImage punti;
    QRect zona;
    QByteArray comandi;
};

// True when a colour of the document is pure black or pure white: drawn without
// smoothing, it leaves dots that a grey level tells apart as well as the colour does.
bool biancoONero(quint32 colore)
{
    const QRgb c = ColoreStampa(colore).rgb() & 0xFFFFFF;
    return c == 0 || c == 0xFFFFFF;
}

Disegno disegna(const DocumentoStampa& doc, int indice, double dpi, const ParteZpl& u, const std::vector<InfoOp>& info,
                const std::function<bool(std::size_t)>& incluse)
{
    const double k = dpi / kTwipPollice;
    const PaginaStampa& pagina = doc.Pagina(indice);
    const auto& stili = doc.Stili();
    const auto& simboli = pagina.Simboli();
    Disegno d;
    std::vector<Resa> rese;
    rese.reserve(info.size());
    std::size_t n = 0;
    bool grigi = true;  // only black and white: drawn on grey levels, a byte a dot
    // Only the areas of what is drawn, each with room for what a text draws past its box;
    // of a symbol the printer draws, its human-readable line. Each area is widened to whole
    // bytes of dots: the dots are found a byte at a time.
    const QRect tutta(0, 0, u.larghezza, u.altezza);
    const int margine = int(std::ceil(dpi / 8));
    QRegion aree;
    QRect zona;
    pagina.PerOgni([&](const Operazione& op) {
        if (op.stile >= stili.size()) return;
        const InfoOp& i = info[n];
        Resa r = Resa::Intera;
        if (op.tipo != TipoOperazione::Rotazione && !incluse(n)) {
            r = Resa::Omessa;
        } else if (!i.ruotata && op.tipo == TipoOperazione::Simbolo && op.dato < simboli.size() &&
                   ColoreNeroZpl(stili[op.stile].colorePennello)) {
            if (const auto c = ComandoBarcodeZpl(simboli[op.dato], dpi, u.origine)) {
                d.comandi += *c;
                r = Resa::SoloTesto;
            }
        } else if (!i.ruotata && op.tipo == TipoOperazione::Rettangolo) {
            if (const auto gb = riquadroZpl(op, stili[op.stile], k, u.origine)) {
                d.comandi += *gb;
                r = Resa::Omessa;
            }
        }
        if (r != Resa::Omessa && op.tipo != TipoOperazione::Rotazione) {
            const StileStampa& st = stili[op.stile];
            grigi = grigi && op.tipo != TipoOperazione::Immagine && biancoONero(st.colorePenna) &&
                    biancoONero(st.colorePennello) && biancoONero(st.coloreTesto);
            std::optional<QRect> a = tutta;
            if (r == Resa::SoloTesto)
                a = rigaLeggibile(simboli[op.dato], k, u.origine);
            else if (!i.riquadro.isEmpty())
                a = puntiDi(i.riquadro, k, u.origine);
            if (a && (a = a->adjusted(-margine, -margine, margine, margine) & tutta, !a->isEmpty())) {
                zona |= *a;
                aree |= QRect(QPoint(a->left() & ~7, a->top()), QPoint(a->right() | 7, a->bottom()));
            }
        }
        rese.push_back(r);
        ++n;
    });

    // The dots: one image for the job's labels of a size, where only the areas of the last
    // drawing have dots to clear (a copy still held elsewhere keeps its own).
    static thread_local QImage tela;
    static thread_local QRegion sporca;
    if (tela.size() != tutta.size()) {
        tela = QImage(u.larghezza, u.altezza, QImage::Format_Mono);
        tela.fill(0);
    } else {
        for (const QRect& r : sporca) {
            const int da = r.left() >> 3, byte = std::min((r.right() >> 3) + 1, int(tela.bytesPerLine())) - da;
            for (int y = r.top(); y <= r.bottom(); ++y) std::memset(tela.scanLine(y) + da, 0, std::size_t(byte));
        }
    }
    sporca = aree;
    d.zona = zona;
    if (zona.isEmpty()) {
        d.punti = tela;
        return d;
    }
    // One drawing surface for the job's labels, white where it is drawn on; its first
    // column is the first of the byte of dots where the drawing starts.
    const int base = zona.left() & ~7, larghezza = (zona.right() | 7) + 1 - base;
    const QImage::Format formato = grigi ? QImage::Format_Grayscale8 : QImage::Format_RGB32;
    static thread_local QImage superfici[2];
    QImage& img = superfici[grigi ? 0 : 1];
    if (img.width() < larghezza || img.height() < zona.height())
        img = QImage(std::max(img.width(), larghezza), std::max(img.height(), zona.height()), formato);
    {
        QPainter p(&img);
        for (const QRect& r : aree) p.fillRect(r.translated(-base, -zona.top()), Qt::white);
        p.setClipRect(zona.translated(-base, -zona.top()));
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.translate(-u.origine.x() - base, -u.origine.y() - zona.top());
        p.scale(k, k);
        std::size_t m = 0;  // the renderer asks about every operation in order, turns included
        DisegnaPagina(p, doc, indice, dpi, [&](const Operazione&) { return m < rese.size() ? rese[m++] : Resa::Omessa; });
    }
    const int ultimoByte = int(tela.bytesPerLine()) - 1;
    for (const QRect& r : aree) {
        const int primo = r.left() >> 3, ultimo = std::min(r.right() >> 3, ultimoByte);
        for (int y = r.top(); y <= r.bottom(); ++y) {
            uchar* riga = tela.scanLine(y);
            if (grigi) {
                // a dot under 128 is dark (its top bit clear): sixteen dots at a time by the
                // top bits of sixteen bytes in one instruction (the first dot comes as the
                // lowest bit, hence the bits turned round), the rest eight at a time, their
                // top bits gathered into one byte by one multiply (each lands on its own bit,
                // no carries)
                const uchar* sorgente = img.constScanLine(y - zona.top()) - base;
                int b = primo;
#if defined(__SSE2__)
                const auto sedici = [&](int da) {  // the dots of bytes da and da + 1
                    const int chiari =
                        _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(sorgente + 8 * da)));
                    if (chiari == 0xFFFF) return;
                    riga[da] |= kBitRovesci[~chiari & 0xFF];
                    riga[da + 1] |= kBitRovesci[(~chiari >> 8) & 0xFF];
                };
                for (; b + 7 <= ultimo; b += 8) {  // sixty-four light dots are passed over at once
                    const auto* v = reinterpret_cast<const __m128i*>(sorgente + 8 * b);
                    const __m128i tutti = _mm_and_si128(_mm_and_si128(_mm_loadu_si128(v), _mm_loadu_si128(v + 1)),
                                                        _mm_and_si128(_mm_loadu_si128(v + 2), _mm_loadu_si128(v + 3)));
                    if (_mm_movemask_epi8(tutti) == 0xFFFF) continue;
                    for (int k = 0; k < 8; k += 2) sedici(b + k);
                }
                for (; b < ultimo; b += 2) sedici(b);
#endif
                for (; b <= ultimo; ++b) {
                    quint64 w;
                    std::memcpy(&w, sorgente + 8 * b, sizeof w);
                    if constexpr (std::endian::native == std::endian::big) w = __builtin_bswap64(w);
                    const quint64 scuri = ~w & 0x8080808080808080ULL;
                    if (scuri) riga[b] |= uchar(((scuri >> 7) * 0x8040201008040201ULL) >> 56);
                }
                continue;
            }
            const auto* sorgente = reinterpret_cast<const QRgb*>(img.constScanLine(y - zona.top())) - base;
            for (int b = primo; b <= ultimo; ++b) {
                const QRgb* otto = sorgente + 8 * b;
                QRgb tutti = 0xFFFFFFFF;  // eight white dots are passed over
                for (int x = 0; x < 8; ++x) tutti &= otto[x];
                if ((tutti & 0xFFFFFF) == 0xFFFFFF) continue;
                uchar v = 0;
                for (int x = 0; x < 8; ++x)
                    if (PuntoNero(otto[x])) v |= uchar(0x80 >> x);
                riga[b] |= v;
            }
        }
    }
    d.punti = tela;
    return d;
}

// The dots of punti from (x0, y0) to (x1, y1) as a graphic's "total,bytes a row,data":
// ZPL's run-length hex, or deflated bytes in base64 when that is shorter (text is).
QByteArray datiGrafici(const QImage& punti, int x0, int y0, int x1, int y1, QByteArray* totale = nullptr)
{
    RighePunti campo;
    campo.larghezza = x1 - x0 + 1;
    campo.altezza = y1 - y0 + 1;
    campo.passo = campo.perRiga();
    // the dots moved to the field's first column
    static thread_local std::vector<uchar> dati;
    dati.assign(std::size_t(campo.passo) * std::size_t(campo.altezza), 0);
    const int primo = x0 >> 3, ultimo = x1 >> 3, spinta = x0 & 7;
    const uchar coda = campo.larghezza % 8 ? uchar(0xFF << (8 - campo.larghezza % 8)) : uchar(0xFF);
    for (int y = y0; y <= y1; ++y) {
        const uchar* sorgente = punti.constScanLine(y);
        uchar* riga = dati.data() + campo.passo * (y - y0);
        int i = 0;
        // eight bytes at a time while a ninth is there to shift in
        for (; primo + i + 8 <= ultimo; i += 8) {
            quint64 w;
            std::memcpy(&w, sorgente + primo + i, sizeof w);
            if constexpr (std::endian::native == std::endian::little) w = __builtin_bswap64(w);
            if (spinta) w = (w << spinta) | (sorgente[primo + i + 8] >> (8 - spinta));
            if constexpr (std::endian::native == std::endian::little) w = __builtin_bswap64(w);
            std::memcpy(riga + i, &w, sizeof w);
        }
        for (; i < campo.passo; ++i) {
            const int b = primo + i;
            uchar v = uchar(sorgente[b] << spinta);
            if (spinta && b + 1 <= ultimo) v |= uchar(sorgente[b + 1] >> (8 - spinta));
            riga[i] = v;
        }
        riga[campo.passo - 1] &= coda;
    }
    campo.dati = dati.data();
    const QByteArray t = numero(long(campo.passo) * campo.altezza);
    if (totale) *totale = t;
    // the run-length hex unless the deflated form is shorter
    QByteArray z = z64(campo);
    std::optional<QByteArray> testo = esadecimale(campo, z.isEmpty() ? -1 : z.size());
    return t % ',' % numero(campo.passo) % ',' % (testo ? *testo : z);
}

QByteArray campoGrafico(const QImage& punti, int x0, int y0, int x1, int y1)
{
    QByteArray totale;
    const QByteArray dati = datiGrafici(punti, x0, y0, x1, y1, &totale);
    return "^FO" % numero(x0) % ',' % numero(y0) % "^GFA," % totale % ',' % dati % "^FS";
}

// The first of bytes `da` to `a` of a row that has dots (empty ones passed over eight at a
// time); a + 1 when none has.
int primoConPunti(const uchar* riga, int da, int a)
{
    for (; da + 8 <= a + 1; da += 8) {
        quint64 w;
        std::memcpy(&w, riga + da, sizeof w);
        if (w) break;
    }
    while (da <= a && !riga[da]) ++da;
    return da;
}

// The smallest rectangle around the dots of an image, all within `zona`; empty when it
// has none.
QRect areaPunti(const QImage& punti, const QRect& zona)
{
    if (zona.isEmpty()) return {};
    const int primo = zona.left() >> 3, ultimo = zona.right() >> 3;
    int sx = punti.width(), dx = -1, su = -1, giu = -1;
    for (int y = zona.top(); y <= zona.bottom(); ++y) {
        const uchar* r = punti.constScanLine(y);
        int i = primoConPunti(r, primo, ultimo);
        if (i > ultimo) continue;  // a row without dots
        for (; i <= ultimo; ++i) {
            if (!r[i]) continue;
            sx = std::min(sx, i * 8 + std::countl_zero(r[i]));
            if (su < 0) su = y;
            giu = y;
            break;
        }
        for (int i = ultimo; i >= primo; --i)
            if (r[i]) {
                dx = std::max(dx, i * 8 + 7 - std::countr_zero(r[i]));
                break;
            }
    }
    return dx < 0 ? QRect() : QRect(QPoint(sx, su), QPoint(dx, giu));
}

// The dots as graphic fields, one around each group of them: bands of rows parted by
// empty rows, each cut where its columns have no dots for a while, unless its parts are
// close enough (kByteUnione). All the dots are within `zona`.
QByteArray campiGrafici(const QImage& punti, const QRect& zona)
{
    QByteArray out;
    if (zona.isEmpty()) return out;
    const int altezza = zona.bottom() + 1, primo = zona.left() >> 3, perRiga = (zona.right() >> 3) + 1;
    const auto vuota = [&](int y, int da, int a) { return primoConPunti(punti.constScanLine(y), da, a) > a; };
    std::vector<uchar> colonne(std::size_t(perRiga), 0);
    std::vector<QRect> gruppi;
    const auto byteCampo = [](const QRect& r) { return qsizetype((r.width() + 7) / 8) * r.height(); };
    for (int y = zona.top(); y < altezza;) {
        if (vuota(y, primo, perRiga - 1)) {
            ++y;
            continue;
        }
        // a band: from this row to the last with dots before a long empty stretch
        int fine = y, vuote = 0;
        for (int r = y + 1; r < altezza && vuote < kRigheVuoteCampo; ++r) {
            if (vuota(r, primo, perRiga - 1)) {
                ++vuote;
            } else {
                fine = r;
                vuote = 0;
            }
        }
        std::fill(colonne.begin(), colonne.end(), 0);
        for (int r = y; r <= fine; ++r) {
            const uchar* riga = punti.constScanLine(r);
            int i = primo;
            for (; i + 8 <= perRiga; i += 8) {  // 8 bytes at a time
                quint64 c, w;
                std::memcpy(&c, colonne.data() + i, sizeof c);
                std::memcpy(&w, riga + i, sizeof w);
                c |= w;
                std::memcpy(colonne.data() + i, &c, sizeof c);
            }
            for (; i < perRiga; ++i) colonne[std::size_t(i)] |= riga[i];
        }
        for (int i = primo; i < perRiga;) {
            if (!colonne[std::size_t(i)]) {
                ++i;
                continue;
            }
            int j = i, buco = 0;
            for (int b = i + 1; b < perRiga && buco < kByteVuotiCampo; ++b) {
                if (colonne[std::size_t(b)]) {
                    j = b;
                    buco = 0;
                } else {
                    ++buco;
                }
            }
            const int x0 = i * 8 + std::countl_zero(colonne[std::size_t(i)]);
            const int x1 = j * 8 + 7 - std::countr_zero(colonne[std::size_t(j)]);
            int y0 = y, y1 = fine;
            while (vuota(y0, i, j)) ++y0;
            while (vuota(y1, i, j)) --y1;
            gruppi.emplace_back(QPoint(x0, y0), QPoint(x1, y1));
            i = j + 1;
        }
        // groups side by side as one field while that adds at most kByteUnione empty bytes
        QRect campo = gruppi.front();
        for (std::size_t g = 1; g < gruppi.size(); ++g) {
            const QRect unione = campo | gruppi[g];
            if (byteCampo(unione) <= byteCampo(campo) + byteCampo(gruppi[g]) + kByteUnione) {
                campo = unione;
            } else {
                out += campoGrafico(punti, campo.left(), campo.top(), campo.right(), campo.bottom());
                campo = gruppi[g];
            }
        }
        out += campoGrafico(punti, campo.left(), campo.top(), campo.right(), campo.bottom());
        gruppi.clear();
        y = fine + 1;
    }
    return out;
}

QByteArray etichettaIntera(const DocumentoStampa& doc, int indice, double dpi, const ParteZpl& u,
                           const std::vector<InfoOp>& info, int parte)
{
    const Disegno d =
        disegna(doc, indice, dpi, u, info, [&](std::size_t i) { return parte < 0 || info[i].unita == parte; });
    return "^XA" % testata(u) % campiGrafici(d.punti, d.zona) % d.comandi;
}

QByteArray chiusura(int copie) { return (copie > 1 ? "^PQ" + numero(copie) : QByteArray()) + "^XZ\n"; }

}  // namespace

QByteArray EtichettaZpl(const DocumentoStampa& doc, int indice, double dpi, int copie)
{
    if (!(dpi > 0)) dpi = RisoluzioneZpl(doc);
    const ParteZpl u = parteDi(QRectF(0, 0, doc.PageWidth(), doc.PageHeight()), dpi / kTwipPollice);
    if (indice < 0 || indice >= doc.PageCount()) return "^XA" + testata(u) + chiusura(copie);
    return etichettaIntera(doc, indice, dpi, u, operazioni(doc, indice, std::vector<ParteZpl>{u}), -1) + chiusura(copie);
}

struct ScrittoreLavoroZpl::Stato {
    double dpi = 0;
    int copie = 1;
    bool iniziato = false;
    // The last label, held while the next ones are the same, and how many they are.
    QByteArray attesa, chiaveAttesa;
    int volte = 0;
    // What is the same on every label: the operations of the first label that every label
    // since has drawn (from its corner); they go into the stored format, sent again only
    // when a label shows that one of them changes.
    bool primo = true;
    QSet<QByteArray> statiche;
    bool formato = false;
    QSize misura;
    QImage statico;     // the format's dots
    QRect areaStatico;  // around them
    // Texts stored as graphics, by what they draw, and when each was last recalled; the
    // (hashes of the) texts seen and when (counted in texts), stored when they come again
    // soon enough.
    struct Ricordo {
        QByteArray nome;
        QPoint posto;
        quint64 uso = 0;
    };
    QHash<QByteArray, Ricordo> ricordi;
    QHash<size_t, quint64> visti;
    quint64 passi = 0;
    quint64 tempo = 0;

    // True when the format has dots where `i` paints (of part `u`).
    bool sottoStatico(const InfoOp& i, const ParteZpl& u) const
    {
        if (i.riquadro.isEmpty()) return true;
        const QRect r = puntiDi(i.riquadro, dpi / kTwipPollice, u.origine) & areaStatico;
        if (r.isEmpty()) return false;
        const int primo = r.left() >> 3, ultimo = r.right() >> 3;
        const uchar testa = uchar(0xFF >> (r.left() & 7)), coda = uchar(0xFF << (7 - (r.right() & 7)));
        for (int y = r.top(); y <= r.bottom(); ++y) {
            const uchar* riga = statico.constScanLine(y);
            for (int b = primo; b <= ultimo; ++b) {
                uchar m = 0xFF;
                if (b == primo) m &= testa;
                if (b == ultimo) m &= coda;
                if (riga[b] & m) return true;
            }
        }
        return false;
    }

    QByteArray svuota()
    {
        if (volte == 0) return {};
        QByteArray out = attesa + chiusura(volte * copie);
        attesa.clear();
        chiaveAttesa.clear();
        volte = 0;
        return out;
    }

    QByteArray etichetta(const DocumentoStampa& doc, int indice, const ParteZpl& u, const std::vector<InfoOp>& info,
                         int parte, const QSet<QByteArray>& chiavi)
    {
        QByteArray out;
        const QSize taglia(u.larghezza, u.altezza);
        if (primo) {
            // the first label is whole; what it draws may be on every label
            primo = false;
            statiche = chiavi;
            misura = taglia;
        } else if (taglia == misura && !statiche.isEmpty() && (!formato || !chiavi.contains(statiche))) {
            // what this label lacks of it changes: the format holds the rest, sent again
            statiche &= chiavi;
            formato = false;
            if (!statiche.isEmpty()) {
                const Disegno d = disegna(doc, indice, dpi, u, info, [&](std::size_t i) {
                    return info[i].unita == parte && statiche.contains(info[i].chiave);
                });
                const QByteArray campi = campiGrafici(d.punti, d.zona);
                if (!campi.isEmpty() || !d.comandi.isEmpty()) {
                    out += QByteArray("^XA^DF") + kFormatoLavoro + "^FS" + testata(u) + campi + d.comandi + "^XZ\n";
                    formato = true;
                    statico = d.punti;
                    areaStatico = areaPunti(d.punti, d.zona);
                } else {
                    statiche.clear();  // nothing worth storing
                }
            }
        }
        // The stored format serves a label of its size that has all it holds, when nothing
        // of the label's own paints light dots where the format has dark ones, and nothing
        // of the format that paints light dots comes after the label's own (the printer
        // puts the two together dark over light).
        bool serve = formato && misura == QSize(u.larghezza, u.altezza) && chiavi.contains(statiche);
        bool propri = false;
        for (std::size_t i = 0; serve && i < info.size(); ++i) {
            if (info[i].unita != parte || info[i].tipo == TipoOperazione::Rotazione) continue;
            if (!statiche.contains(info[i].chiave)) {
                serve = !info[i].copre || !sottoStatico(info[i], u);
                propri = true;
            } else if (info[i].copre && propri) {
                serve = false;
            }
        }
        if (!serve) return out + etichettaIntera(doc, indice, dpi, u, info, parte);
        // A text of the label's own that came before (a city, a product) is a stored
        // graphic, recalled.
        QByteArray richiami;
        std::vector<char> richiamate(info.size(), 0);
        for (std::size_t i = 0; i < info.size(); ++i) {
            const InfoOp& o = info[i];
            if (o.unita != parte || statiche.contains(o.chiave) || o.ruotata || o.copre ||
                (o.tipo != TipoOperazione::Testo && o.tipo != TipoOperazione::CasellaTesto))
                continue;
            auto r = ricordi.find(o.chiave);
            if (r == ricordi.end()) {
                const size_t h = qHash(o.chiave);
                const quint64 ora = ++passi;
                auto v = visti.find(h);
                if (v == visti.end() || ora - *v > kRitornoMassimo) {
                    if (v == visti.end() && visti.size() >= kVistiMassimi) visti.clear();
                    visti[h] = ora;
                    continue;
                }
                *v = ora;
                const Disegno t = disegna(doc, indice, dpi, u, info, [&](std::size_t j) { return j == i; });
                const QRect a = areaPunti(t.punti, t.zona);
                if (a.isEmpty() || !t.comandi.isEmpty()) continue;
                Ricordo nuovo{{}, a.topLeft(), 0};
                if (ricordi.size() < kRicordiMassimi) {
                    nuovo.nome = "R:C" + numero(long(ricordi.size())) + ".GRF";
                } else {  // the one recalled longest ago makes room
                    auto vecchio = std::min_element(ricordi.begin(), ricordi.end(),
                                                    [](const Ricordo& x, const Ricordo& y) { return x.uso < y.uso; });
                    nuovo.nome = vecchio->nome;
                    ricordi.erase(vecchio);
                }
                out += "~DG" % nuovo.nome % ',' % datiGrafici(t.punti, a.left(), a.top(), a.right(), a.bottom()) % '\n';
                r = ricordi.insert(o.chiave, nuovo);
            }
            r->uso = ++tempo;
            richiami += "^FO" % numero(r->posto.x()) % ',' % numero(r->posto.y()) % "^XG" % r->nome % "^FS";
            richiamate[i] = 1;
        }
        const Disegno d = disegna(doc, indice, dpi, u, info, [&](std::size_t i) {
            return info[i].unita == parte && !statiche.contains(info[i].chiave) && !richiamate[i];
        });
        return out % "^XA^XF" % kFormatoLavoro % "^FS" % richiami % campiGrafici(d.punti, d.zona) % d.comandi;
    }
};

ScrittoreLavoroZpl::ScrittoreLavoroZpl(double dpi, int copie) : s_(std::make_unique<Stato>())
{
    s_->dpi = dpi;
    s_->copie = std::max(1, copie);
}

ScrittoreLavoroZpl::~ScrittoreLavoroZpl() = default;

QByteArray ScrittoreLavoroZpl::Pagina(const DocumentoStampa& doc, int indice)
{
    // The document's resolution is the job's.
    if (!(s_->dpi > 0)) s_->dpi = RisoluzioneZpl(doc);
    const double dpi = s_->dpi;
    const double k = dpi / kTwipPollice;
    QByteArray out;
    if (!s_->iniziato) {
        s_->iniziato = true;
        out += InizioLavoroZpl(doc.Termica(), dpi);
    }
    if (indice < 0 || indice >= doc.PageCount()) return out;
    std::vector<ParteZpl> unita;
    for (const QRectF& r : doc.FasceEtichette()) unita.push_back(parteDi(r, k));
    const bool fasce = !unita.empty();
    if (!fasce) unita.push_back(parteDi(QRectF(0, 0, doc.PageWidth(), doc.PageHeight()), k));
    const std::vector<InfoOp> info = operazioni(doc, indice, unita);
    for (std::size_t p = 0; p < unita.size(); ++p) {
        const ParteZpl& u = unita[p];
        // What the label draws, in order: the same as the label before, it is one more copy.
        QByteArray chiave = numero(u.larghezza) + 'x' + numero(u.altezza);
        QSet<QByteArray> chiavi;
        bool disegna = false;
        for (const InfoOp& i : info) {
            if (i.unita != int(p)) continue;
            chiave += i.chiave;
            if (i.tipo == TipoOperazione::Rotazione) continue;
            chiavi.insert(i.chiave);
            disegna = true;
        }
        // An empty row of a sheet (before the first cell, after the last label) is not printed.
        if (fasce && !disegna) continue;
        if (s_->volte > 0 && chiave == s_->chiaveAttesa) {
            ++s_->volte;
            continue;
        }
        out += s_->svuota();
        s_->attesa = s_->etichetta(doc, indice, u, info, int(p), chiavi);
        s_->chiaveAttesa = std::move(chiave);
        s_->volte = 1;
    }
    return out;
}

QByteArray ScrittoreLavoroZpl::Fine() { return s_->svuota(); }
QByteArray InizioLavoroZpl(const StampanteTermica& t, double dpi)
{
    using T = StampanteTermica;
    if (!t.Impostata()) return {};
    QByteArray zpl;
    if (t.Scurezza >= 0) zpl += "~SD" + numero(std::min(t.Scurezza, T::ScurezzaMassima)).rightJustified(2, '0') + '\n';
    QByteArray formato;
    if (t.Velocita > 0) formato += "^PR" + numero(std::min(t.Velocita, T::VelocitaMassima));
    if (t.TipoSupporto != T::Supporto::Stampante)
        formato += t.TipoSupporto == T::Supporto::TermicoDiretto ? "^MTD" : "^MTT";
    switch (t.TipoRilevamento) {
        case T::Rilevamento::Intervallo: formato += "^MNY"; break;
        case T::Rilevamento::Tacca: formato += "^MNM"; break;
        case T::Rilevamento::Continuo: formato += "^MNN"; break;
        case T::Rilevamento::Stampante: break;
    }
    const auto punti = [&](double mm) { return std::lround(mm / 25.4 * (dpi > 0 ? dpi : kRisoluzioneZplPredefinita)); };
    if (t.SpostamentoAlto) formato += "^LT" + numero(std::clamp(punti(*t.SpostamentoAlto), -120L, 120L));
    if (t.SpostamentoSinistra) formato += "^LS" + numero(std::clamp(punti(*t.SpostamentoSinistra), -9999L, 9999L));
    if (!formato.isEmpty()) zpl += "^XA" + formato + "^XZ\n";
    return zpl;
}

bool ScriviZpl(const DocumentoStampa& doc, QIODevice& uscita, double dpi, int copie)
{
    ScrittoreLavoroZpl lavoro(dpi, copie);
    for (int i = 0; i < doc.PageCount(); ++i) {
        const QByteArray e = lavoro.Pagina(doc, i);
        if (uscita.write(e) != e.size()) return false;
    }
    const QByteArray fine = doc.PageCount() > 0 ? lavoro.Fine() : InizioLavoroZpl(doc.Termica(), dpi > 0 ? dpi : RisoluzioneZpl(doc));
    return uscita.write(fine) == fine.size();
}

FileZplProgressivo::FileZplProgressivo(const QString& percorso, double dpi, int copie)
    : file_(std::make_unique<ScritturaFile>(percorso)), lavoro_(std::make_unique<ScrittoreLavoroZpl>(dpi, copie))
{
}

FileZplProgressivo::~FileZplProgressivo() = default;

bool FileZplProgressivo::scrivi(const QByteArray& dati)
{
    if (!ok_) return false;
    if (!aperto_) {
        aperto_ = true;
        ok_ = file_->Apri();
        if (!ok_) return false;
    }
    ok_ = file_->Dispositivo().write(dati) == dati.size();
    return ok_;
}

void FileZplProgressivo::Pagina(const DocumentoStampa& doc, int indice) { scrivi(lavoro_->Pagina(doc, indice)); }

bool FileZplProgressivo::Conferma(const DocumentoStampa&, QString* errore)
{
    if (scrivi(lavoro_->Fine()) && file_->Conferma()) return true;
    file_->Annulla();
    *errore = file_->Errore().isEmpty() ? LoadResString(1431) : file_->Errore();
    return false;
}

}  // namespace cartigo
