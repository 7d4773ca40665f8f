#include "stampora/FileStampa.h"
#include "stampora/ScrittoreZpl.h"

#include "label/ScritturaFile.h"
#include "shell/StringTable.h"
#include "stampora/RenderizzatorePagina.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QtEndian>
#include <cmath>
#include <limits>

namespace cartigo {

namespace {

constexpr char kMagia[8] = {'C', 'T', 'G', 'A', 'N', 'T', '\r', '\n'};

QString testoErroreDanneggiato()
{
    return LoadResString(1428);
}

void scriviTesto(QDataStream& s, const QString& t)
{
    const QByteArray b = t.toUtf8();
    s << static_cast<quint32>(b.size());
    s.writeRawData(b.constData(), static_cast<int>(b.size()));
}

class Lettore {
public:
    explicit Lettore(QIODevice& d) : dev_(d), s_(&d) { s_.setVersion(QDataStream::Qt_6_0); }
    QDataStream& s() { return s_; }
    bool ok() const { return s_.status() == QDataStream::Ok; }
    qint64 restanti() const { return dev_.size() - dev_.pos(); }
    // A count of items each at least `minimo` bytes long that the rest of the file can hold.
    bool conteggio(quint32* n, qint64 minimo)
    {
        s_ >> *n;
        return ok() && static_cast<qint64>(*n) * minimo <= restanti();
    }
    bool testo(QString* t)
    {
        quint32 n = 0;
        s_ >> n;
        if (!ok() || static_cast<qint64>(n) > restanti()) return false;
        QByteArray b(static_cast<qsizetype>(n), Qt::Uninitialized);
        if (n > 0 && s_.readRawData(b.data(), static_cast<int>(n)) != static_cast<int>(n)) return false;
        *t = QString::fromUtf8(b);
        return true;
    }
    bool byte(QByteArray* b)
    {
        quint32 n = 0;
        s_ >> n;
        if (!ok() || static_cast<qint64>(n) > restanti()) return false;
        b->resize(static_cast<qsizetype>(n));
        return n == 0 || s_.readRawData(b->data(), static_cast<int>(n)) == static_cast<int>(n);
    }

private:
    QIODevice& dev_;
    QDataStream s_;
};

bool finito(double v)
{
    return std::isfinite(v);
}

// The longest side of a paper (twips): 10 m, a long roll. A file that declares more is
// damaged; the preview would draw pages kilometres long.
constexpr double kLatoMassimoCarta = 10000.0 * 1440.0 / 25.4;

// The most a picture may take once decoded, as 32-bit pixels.
constexpr qint64 kByteMassimiImmagine = 128LL * 1024 * 1024;
// Deflate, which carries a PNG's pixels, expands its input at most 1032 times.
constexpr qint64 kEspansioneMassimaDeflate = 1032;

// True when the PNG's chunks lie within its bytes: a chunk that declares more bytes than
// follow would make the decoder allocate that much before it finds out.
bool blocchiPngInteri(const QByteArray& png)
{
    qsizetype i = 8;  // the signature
    while (i + 12 <= png.size()) {
        const quint32 lunghezza = qFromBigEndian<quint32>(png.constData() + i);
        if (lunghezza > quint64(png.size() - i - 12)) return false;
        if (png.mid(i + 4, 4) == "IEND") return true;
        i += 12 + qsizetype(lunghezza);
    }
    return false;
}

// A picture of the file. Null unless its chunks are whole, its header declares a size that
// fits the page (one pixel per twip is finer than any printer), that its bytes could hold (a row is at
// least a filter byte and one bit per pixel) and that stays within the decoding limit.
QImage leggiImmagine(const QByteArray& png, const InfoStampante& carta)
{
    if (!blocchiPngInteri(png)) return {};
    QBuffer buffer;
    buffer.setData(png);
    buffer.open(QIODevice::ReadOnly);
    QImageReader lettore(&buffer, "PNG");
    lettore.setAutoDetectImageFormat(false);
    const QSize s = lettore.size();
    if (!s.isValid() || s.isEmpty()) return {};
    const double lato = std::max(carta.larghezzaCarta, carta.altezzaCarta);
    if (s.width() > lato || s.height() > lato) return {};
    const qint64 w = s.width(), h = s.height();
    if (h * (1 + (w + 7) / 8) > kEspansioneMassimaDeflate * png.size()) return {};
    if (w * h * 4 > kByteMassimiImmagine) return {};
    return lettore.read();
}

}  // namespace

// A symbol of a page (format version 2): kind, data, flags (1 two widths, 2 covering,
// 4 bearer bars, from version 3 8 the digits in the standard layout), quiet zones, elements, the matrix (rows, columns, rows' height, vertical
// quiet zone, the modules 8 to a byte, first module in the high bit), the box, the bars'
// top and bottom, and the human-readable line (position, text, top-left corner).
void ScriviSimboloStampa(QDataStream& s, const SimboloBarcode& b)
{
    s << b.tipo;
    scriviTesto(s, b.dati);
    s << static_cast<quint8>((b.dueLarghezze ? 1 : 0) | (b.coprente ? 2 : 0) | (b.barreSostegno ? 4 : 0) |
                             (b.cifreStandard ? 8 : 0));
    s << b.quieteSinistra << b.quieteDestra;
    s << static_cast<quint32>(b.elementi.size());
    s.writeRawData(reinterpret_cast<const char*>(b.elementi.data()), static_cast<int>(b.elementi.size()));
    s << b.righe << b.colonne << b.altezzaRiga << b.quieteVerticale;
    QByteArray bit((b.moduli.size() + 7) / 8, '\0');
    for (std::size_t i = 0; i < b.moduli.size(); ++i)
        if (b.moduli[i]) bit[qsizetype(i / 8)] = char(bit[qsizetype(i / 8)] | (0x80 >> (i % 8)));
    s.writeRawData(bit.constData(), static_cast<int>(bit.size()));
    s << b.x << b.y << b.larghezza << b.altezza << b.cima << b.fondo;
    s << b.posizioneTesto;
    scriviTesto(s, b.testo);
    s << b.testoX << b.testoY;
}

namespace {

// The most modules a symbol may have (PDF417's largest is about 58,000).
constexpr qint64 kModuliMassimiSimbolo = 1 << 20;

bool leggiSimbolo(Lettore& l, SimboloBarcode* b)
{
    QDataStream& s = l.s();
    quint8 flag = 0;
    quint32 n = 0;
    s >> b->tipo;
    if (!l.ok() || b->tipo < 0 || b->tipo > 7 || !l.testo(&b->dati)) return false;
    s >> flag >> b->quieteSinistra >> b->quieteDestra;
    if (!l.ok() || flag > 15 || !l.conteggio(&n, 1) || n > kModuliMassimiSimbolo) return false;
    b->dueLarghezze = flag & 1;
    b->coprente = flag & 2;
    b->barreSostegno = flag & 4;
    b->cifreStandard = flag & 8;
    b->elementi.resize(n);
    if (n > 0 && s.readRawData(reinterpret_cast<char*>(b->elementi.data()), static_cast<int>(n)) != int(n))
        return false;
    s >> b->righe >> b->colonne >> b->altezzaRiga >> b->quieteVerticale;
    const qint64 moduli = qint64(b->righe) * b->colonne;
    if (!l.ok() || moduli > kModuliMassimiSimbolo || (moduli + 7) / 8 > l.restanti() || !std::isfinite(b->altezzaRiga) ||
        b->altezzaRiga <= 0 || b->altezzaRiga > 100)
        return false;
    QByteArray bit(static_cast<qsizetype>((moduli + 7) / 8), Qt::Uninitialized);
    if (!bit.isEmpty() && s.readRawData(bit.data(), static_cast<int>(bit.size())) != int(bit.size())) return false;
    b->moduli.resize(static_cast<std::size_t>(moduli));
    for (qint64 i = 0; i < moduli; ++i) b->moduli[std::size_t(i)] = (quint8(bit[qsizetype(i / 8)]) >> (7 - i % 8)) & 1;
    s >> b->x >> b->y >> b->larghezza >> b->altezza >> b->cima >> b->fondo >> b->posizioneTesto;
    if (!l.ok() || b->posizioneTesto > 2 || !l.testo(&b->testo)) return false;
    s >> b->testoX >> b->testoY;
    if (!l.ok()) return false;
    for (double v : {b->x, b->y, b->larghezza, b->altezza, b->cima, b->fondo, b->testoX, b->testoY})
        if (!std::isfinite(v) || std::abs(v) > kLatoMassimoCarta * 2) return false;
    return b->larghezza >= 0 && b->altezza >= 0;
}
}  // namespace

bool LeggiSimboliStampa(QIODevice& d, quint32 n, std::vector<SimboloBarcode>* simboli)
{
    Lettore l(d);
    simboli->resize(n);
    for (SimboloBarcode& b : *simboli)
        if (!leggiSimbolo(l, &b)) return false;
    return true;
}

// Reads and writes the private parts of the document for the file format.
struct AccessoDocumentoStampa {
    static bool Scrivi(const DocumentoStampa& d, QIODevice& dev)
    {
        QDataStream s(&dev);
        s.setVersion(QDataStream::Qt_6_0);
        s.writeRawData(kMagia, sizeof kMagia);
        s << d.VersioneFormato();
        s << d.stampante_.larghezzaCarta << d.stampante_.altezzaCarta << static_cast<qint32>(d.orientamento_);
        for (double m : d.margini_) s << m;
        scriviTesto(s, d.stampante_.nome);
        scriviTesto(s, d.stampante_.porta);
        s << d.risoluzione_ << static_cast<quint8>(d.riduzione_.modo) << d.riduzione_.valore;

        s << static_cast<quint32>(d.caratteri_.size());
        for (const CarattereStampa& c : d.caratteri_) {
            scriviTesto(s, c.nome);
            s << c.dimensione << static_cast<quint8>((c.grassetto ? 1 : 0) | (c.corsivo ? 2 : 0));
        }
        s << static_cast<quint32>(d.stili_.size());
        for (const StileStampa& st : d.stili_)
            s << st.colorePenna << st.colorePennello << st.coloreTesto << st.spessorePenna << st.carattere
              << st.stilePenna << st.stilePennello << st.allineamento;
        s << static_cast<quint32>(d.immagini_.size());
        for (const QImage& img : d.immagini_) {
            QByteArray png;
            QBuffer buf(&png);
            buf.open(QIODevice::WriteOnly);
            if (!img.save(&buf, "PNG")) return false;
            s << static_cast<quint32>(png.size());
            s.writeRawData(png.constData(), static_cast<int>(png.size()));
        }
        s << static_cast<quint32>(d.PageCount());
        for (int i = 0; i < d.PageCount(); ++i) {
            const PaginaStampa& p = d.Pagina(i);  // from disk, for the pages a long document keeps there
            s << static_cast<quint32>(p.dati_.size());
            for (quint32 w : p.dati_) s << w;
            s << static_cast<quint32>(p.testi_.size());
            for (const QString& t : p.testi_) scriviTesto(s, t);
            s << static_cast<quint32>(p.simboli_.size());
            for (const SimboloBarcode& b : p.simboli_) ScriviSimboloStampa(s, b);
            if (s.status() != QDataStream::Ok) return false;
        }
        return s.status() == QDataStream::Ok;
    }

    // Reads the file up to its pages, their number into `pagine` and the format's version
    // into `versione`.
    static std::unique_ptr<DocumentoStampa> Testata(Lettore& l, quint32* pagine, quint16* versione, QString* errore)
    {
        auto danneggiato = [&]() {
            *errore = testoErroreDanneggiato();
            return nullptr;
        };
        QDataStream& s = l.s();
        char magia[sizeof kMagia];
        if (s.readRawData(magia, sizeof magia) != static_cast<int>(sizeof magia) ||
            memcmp(magia, kMagia, sizeof kMagia) != 0) {
            *errore = LoadResString(1429);
            return nullptr;
        }
        quint16& v = *versione;
        s >> v;
        if (!l.ok()) return danneggiato();
        if (v > kVersioneFileStampa) {
            *errore = LoadResString(1430).arg(v).arg(kVersioneFileStampa);
            return nullptr;
        }
        if (v == 0) return danneggiato();

        InfoStampante info;
        qint32 orientamento = 0;
        double margini[4];
        s >> info.larghezzaCarta >> info.altezzaCarta >> orientamento;
        for (double& m : margini) s >> m;
        if (!l.ok() || !l.testo(&info.nome) || !l.testo(&info.porta)) return danneggiato();
        const auto carta = [](double v) { return finito(v) && v > 0 && v <= kLatoMassimoCarta; };
        if (!carta(info.larghezzaCarta) || !carta(info.altezzaCarta) || (orientamento != 0 && orientamento != 1))
            return danneggiato();
        for (double m : margini)
            if (!finito(m) || m < 0) return danneggiato();
        info.orientamento = orientamento;
        auto d = std::make_unique<DocumentoStampa>(info);
        d->formatoEsteso_ = v >= 3;
        for (int i = 0; i < 4; ++i) d->margini_[i] = margini[i];
        if (v >= 2) {
            quint8 modo = 0;
            s >> d->risoluzione_ >> modo >> d->riduzione_.valore;
            if (!l.ok() || !finito(d->risoluzione_) || d->risoluzione_ < 0 || d->risoluzione_ > 100000 || modo > 2 ||
                !finito(d->riduzione_.valore) || d->riduzione_.valore < 0)
                return danneggiato();
            d->riduzione_.modo = static_cast<RiduzioneBarre::Modo>(modo);
        }

        quint32 n = 0;
        if (!l.conteggio(&n, 9)) return danneggiato();
        for (quint32 i = 0; i < n; ++i) {
            CarattereStampa c;
            quint8 flag = 0;
            if (!l.testo(&c.nome)) return danneggiato();
            s >> c.dimensione >> flag;
            if (!l.ok() || !std::isfinite(c.dimensione) || c.dimensione <= 0 || flag > 3) return danneggiato();
            c.grassetto = flag & 1;
            c.corsivo = flag & 2;
            d->caratteri_.push_back(c);
        }
        if (!l.conteggio(&n, 23)) return danneggiato();
        for (quint32 i = 0; i < n; ++i) {
            StileStampa st;
            s >> st.colorePenna >> st.colorePennello >> st.coloreTesto >> st.spessorePenna >> st.carattere >>
                st.stilePenna >> st.stilePennello >> st.allineamento;
            const quint8 allineamenti = v >= 3 ? ImpaginazioneCasella::Tutti : ImpaginazioneCasella::Orizzontale;
            if (!l.ok() || !std::isfinite(st.spessorePenna) || st.spessorePenna < 0 ||
                st.carattere >= d->caratteri_.size() || st.stilePenna > 6 || st.stilePennello > 7 ||
                (st.allineamento & ~allineamenti) || (st.allineamento & ImpaginazioneCasella::Orizzontale) > 2)
                return danneggiato();
            d->indiceStili_.insert(st, static_cast<quint32>(d->stili_.size()));
            d->stili_.push_back(st);
        }
        if (!l.conteggio(&n, 4)) return danneggiato();
        for (quint32 i = 0; i < n; ++i) {
            QByteArray png;
            if (!l.byte(&png)) return danneggiato();
            QImage img = leggiImmagine(png, info);
            if (img.isNull()) return danneggiato();
            d->immagini_.push_back(std::move(img));
        }
        if (!l.conteggio(pagine, 8)) return danneggiato();
        return d;
    }

    // Reads the next page of a file of format `versione` onto the end of the document;
    // false when it is damaged.
    static bool Pagina(Lettore& l, DocumentoStampa& d, quint16 versione)
    {
        QDataStream& s = l.s();
        PaginaStampa p;
        quint32 parole = 0;
        if (!l.conteggio(&parole, 4)) return false;
        p.dati_.resize(parole);
        for (quint32& w : p.dati_) s >> w;
        quint32 testi = 0;
        if (!l.ok() || !l.conteggio(&testi, 4)) return false;
        p.testi_.reserve(testi);
        for (quint32 t = 0; t < testi; ++t) {
            QString testo;
            if (!l.testo(&testo)) return false;
            p.testi_.push_back(std::move(testo));
        }
        if (versione >= 2) {
            quint32 simboli = 0;
            if (!l.conteggio(&simboli, 64)) return false;
            p.simboli_.resize(simboli);
            for (SimboloBarcode& b : p.simboli_) {
                if (!leggiSimbolo(l, &b) || (b.cifreStandard && versione < 3)) return false;
                d.formatoEsteso_ = d.formatoEsteso_ || b.cifreStandard;
            }
        }
        if (!valida(p, d, versione) || !l.ok()) return false;
        // The document stays open, its page being drawn an empty one, until the last is read.
        d.pagine_.back() = std::move(p);
        d.paginaFinita();
        d.pagine_.emplace_back();
        return true;
    }

    static void Apri(DocumentoStampa& d)
    {
        d.aperto_ = true;
        d.pagine_.emplace_back();
    }
    static void Chiudi(DocumentoStampa& d)
    {
        d.pagine_.pop_back();
        d.aperto_ = false;
    }

    // Every operation complete, of a known kind, with finite coordinates and indexes in range.
    static bool valida(PaginaStampa& p, const DocumentoStampa& d, quint16 versione)
    {
        const TipoOperazione ultima = versione >= 3 ? kUltimaOperazione : TipoOperazione::Simbolo;
        const auto& w = p.dati_;
        std::size_t i = 0, conteggio = 0;
        while (i < w.size()) {
            if (i + 5 > w.size()) return false;
            const quint32 h = w[i];
            const auto tipo = static_cast<TipoOperazione>((h >> 24) & 0x7F);
            const quint32 stile = h & 0xFFFFFFu;
            if (tipo < TipoOperazione::Linea || tipo > ultima || stile >= d.stili_.size()) return false;
            if ((h & 0x80000000u) && tipo != TipoOperazione::CasellaTesto) return false;
            for (int k = 1; k <= 4; ++k)
                if (!std::isfinite(std::bit_cast<float>(w[i + k]))) return false;
            i += 5;
            if (PaginaStampa::HaDato(tipo)) {
                if (i >= w.size()) return false;
                const quint32 dato = w[i++];
                const std::size_t limite = tipo == TipoOperazione::Immagine  ? d.immagini_.size()
                                           : tipo == TipoOperazione::Simbolo ? p.simboli_.size()
                                                                             : p.testi_.size();
                if (dato >= limite) return false;
            }
            ++conteggio;
        }
        p.conteggio_ = conteggio;
        return true;
    }
};

namespace {

// Opens the file, lets `scrivi` fill it and puts it in place. False with the reason:
// the system's, or a write that failed without one (a picture that cannot be encoded).
template <typename Scrittura>
bool salva(const QString& percorso, QString* errore, Scrittura scrivi)
{
    ScritturaFile f(percorso);
    if (f.Apri()) {
        if (scrivi(f.Dispositivo()) && f.Conferma()) return true;
        f.Annulla();
    }
    *errore = f.Errore().isEmpty() ? LoadResString(1431) : f.Errore();
    return false;
}

}  // namespace

bool SalvaFileStampa(const DocumentoStampa& doc, const QString& percorso, QString* errore)
{
    return salva(percorso, errore, [&](QIODevice& d) { return AccessoDocumentoStampa::Scrivi(doc, d); });
}

namespace {

// QPdfWriter writes each page's paper in whole points ("/MediaBox [0 0 176.000000
// 82.000000]" for 62 x 29 mm) and draws from the top of that. This device passes its
// bytes on to the real output with the box replaced by the exact one, whose top stays
// where the writer draws from and whose bottom moves ("[0 -0.2047 175.748 82]"), written
// in no more characters (padded with spaces), so every offset the writer records stays
// true. A few bytes are held back between writes, in case a box is split across two.
class CartaEsatta : public QIODevice {
public:
    CartaEsatta(QIODevice& uscita, QByteArray scritta, QByteArray esatta)
        : uscita_(uscita), scritta_(std::move(scritta)), esatta_(std::move(esatta))
    {
        esatta_ = esatta_.leftJustified(scritta_.size(), ' ');
        open(QIODevice::WriteOnly);
    }
    bool isSequential() const override { return true; }
    // Writes what is held back; false when the output failed.
    bool Svuota()
    {
        if (ok_ && !resto_.isEmpty()) ok_ = uscita_.write(resto_) == resto_.size();
        resto_.clear();
        return ok_;
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* dati, qint64 n) override
    {
        if (!ok_) return -1;
        resto_.append(dati, n);
        if (esatta_ != scritta_) resto_.replace(scritta_, esatta_);
        const qsizetype tenuti = std::min<qsizetype>(resto_.size(), scritta_.size() - 1);
        const qsizetype pronti = resto_.size() - tenuti;
        if (pronti > 0) {
            ok_ = uscita_.write(resto_.constData(), pronti) == pronti;
            resto_.remove(0, pronti);
        }
        return ok_ ? n : -1;
    }

private:
    QIODevice& uscita_;
    QByteArray scritta_, esatta_;
    QByteArray resto_;
    bool ok_ = true;
};

QByteArray casellaScritta(QSize intera)
{
    return "/MediaBox [0 0 " + QByteArray::number(double(intera.width()), 'f') + ' ' +
           QByteArray::number(double(intera.height()), 'f') + ']';
}

QByteArray casellaEsatta(QSize intera, double larghezza, double altezza)
{
    const QByteArray b = "/MediaBox [0 " + QByteArray::number(intera.height() - altezza, 'f', 4) + ' ' +
                         QByteArray::number(larghezza, 'f', 3) + ' ' + QByteArray::number(intera.height()) + ']';
    return b.size() <= casellaScritta(intera).size() ? b : casellaScritta(intera);
}

}  // namespace

ScrittorePdf::ScrittorePdf(QIODevice& uscita, const QString& titolo, double dpi)
    : uscita_(uscita), titolo_(titolo), dpi_(dpi)
{
}

ScrittorePdf::~ScrittorePdf()
{
    if (p_.isActive()) p_.end();
    pdf_.reset();  // before the device it writes into
}

bool ScrittorePdf::Pagina(const DocumentoStampa& doc, int indice)
{
    if (!ok_) return false;
    if (!pdf_) {
        if (!(doc.PageWidth() <= kLatoMassimoPdf && doc.PageHeight() <= kLatoMassimoPdf)) return ok_ = false;
        larghezza_ = doc.PageWidth() / 20.0;
        altezza_ = doc.PageHeight() / 20.0;
        const QPageSize pagina(QSizeF(larghezza_, altezza_), QPageSize::Point, QString(), QPageSize::ExactMatch);
        const QPageLayout layout(pagina, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
        const QSize intera = layout.fullRectPoints().size();
        filtro_ = std::make_unique<CartaEsatta>(uscita_, casellaScritta(intera),
                                                casellaEsatta(intera, larghezza_, altezza_));
        pdf_ = std::make_unique<QPdfWriter>(filtro_.get());
        pdf_->setCreator(QStringLiteral("Cartigo"));
        pdf_->setTitle(titolo_);
        pdf_->setResolution(1440);
        pdf_->setPageLayout(layout);
        ok_ = p_.begin(pdf_.get());
        if (!ok_) return false;
    } else {
        pdf_->newPage();
    }
    p_.save();
    ScalaTwips(p_, *pdf_);
    DisegnaPagina(p_, doc, indice, dpi_);
    p_.restore();
    return true;
}

bool ScrittorePdf::Fine(const DocumentoStampa& doc)
{
    if (!pdf_) Pagina(doc, doc.PageCount());
    return ok_ && p_.end() && static_cast<CartaEsatta&>(*filtro_).Svuota();
}

bool ScriviPdf(const DocumentoStampa& doc, QIODevice& uscita, int prima, int ultima, const QString& titolo,
               double dpi)
{
    ScrittorePdf pdf(uscita, titolo, dpi);
    for (int i = prima; i <= ultima; ++i)
        if (!pdf.Pagina(doc, i - 1)) return false;
    return pdf.Fine(doc);
}

FilePdfProgressivo::FilePdfProgressivo(const QString& percorso)
    : percorso_(percorso), file_(std::make_unique<ScritturaFile>(percorso))
{
}

FilePdfProgressivo::~FilePdfProgressivo()
{
    pdf_.reset();  // before the file it writes into
}

void FilePdfProgressivo::Pagina(const DocumentoStampa& doc, int indice)
{
    if (!ok_) return;
    if (!pdf_) {
        ok_ = file_->Apri();
        if (!ok_) return;
        pdf_ = std::make_unique<ScrittorePdf>(file_->Dispositivo(), QFileInfo(percorso_).completeBaseName());
    }
    ok_ = pdf_->Pagina(doc, indice);
}

bool FilePdfProgressivo::Conferma(const DocumentoStampa& doc, QString* errore)
{
    if (!pdf_) Pagina(doc, doc.PageCount());
    if (ok_ && pdf_->Fine(doc) && file_->Conferma()) return true;
    pdf_.reset();
    file_->Annulla();
    *errore = file_->Errore().isEmpty() ? LoadResString(1431) : file_->Errore();
    return false;
}

bool SalvaPdf(const DocumentoStampa& doc, const QString& percorso, QString* errore)
{
    return salva(percorso, errore, [&](QIODevice& d) {
        return ScriviPdf(doc, d, 1, std::max(1, doc.PageCount()), QFileInfo(percorso).completeBaseName());
    });
}

FormatoFileStampa FormatoEffettivo(const QString& percorso, FormatoFileStampa formato)
{
    if (formato != FormatoFileStampa::DalNome) return formato;
    if (percorso.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) return FormatoFileStampa::Pdf;
    if (percorso.endsWith(QStringLiteral(".zpl"), Qt::CaseInsensitive)) return FormatoFileStampa::Zpl;
    return FormatoFileStampa::Ant;
}

bool SalvaDocumento(const DocumentoStampa& doc, const QString& percorso, QString* errore, FormatoFileStampa formato)
{
    if (FormatoEffettivo(percorso, formato) == FormatoFileStampa::Pdf) return SalvaPdf(doc, percorso, errore);
    if (FormatoEffettivo(percorso, formato) == FormatoFileStampa::Zpl)
        return salva(percorso, errore, [&](QIODevice& d) { return ScriviZpl(doc, d, -1, 1); });
    return SalvaFileStampa(doc, percorso, errore);
}

std::unique_ptr<DocumentoStampa> CaricaFileStampa(const QString& percorso, QString* errore)
{
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly)) {
        *errore = f.errorString();
        return nullptr;
    }
    return LeggiFileStampa(f, errore);
}

struct LettoreFileStampa::Stato {
    explicit Stato(QIODevice& dati) : l(dati) {}
    Lettore l;
    DocumentoStampa* doc = nullptr;
    quint32 pagine = 0, lette = 0;
    quint16 versione = 0;
};

LettoreFileStampa::LettoreFileStampa(QIODevice& dati) : s_(std::make_unique<Stato>(dati)) {}

LettoreFileStampa::~LettoreFileStampa() = default;

std::unique_ptr<DocumentoStampa> LettoreFileStampa::Inizia(QString* errore)
{
    auto d = AccessoDocumentoStampa::Testata(s_->l, &s_->pagine, &s_->versione, errore);
    if (!d) return nullptr;
    s_->doc = d.get();
    AccessoDocumentoStampa::Apri(*d);
    if (!Avanza(1, errore)) return nullptr;
    return d;
}

bool LettoreFileStampa::Avanza(int n, QString* errore)
{
    if (!s_->doc) return false;
    for (; n > 0 && s_->lette < s_->pagine; --n, ++s_->lette) {
        if (!AccessoDocumentoStampa::Pagina(s_->l, *s_->doc, s_->versione)) {
            *errore = testoErroreDanneggiato();
            s_->doc = nullptr;
            return false;
        }
    }
    if (s_->lette == s_->pagine && s_->doc->InDocumento()) AccessoDocumentoStampa::Chiudi(*s_->doc);
    return true;
}

bool LettoreFileStampa::Finito() const
{
    return s_->doc && s_->lette == s_->pagine;
}

std::unique_ptr<DocumentoStampa> LeggiFileStampa(QIODevice& dati, QString* errore)
{
    LettoreFileStampa lettore(dati);
    auto d = lettore.Inizia(errore);
    if (d && !lettore.Avanza(std::numeric_limits<int>::max(), errore)) return nullptr;
    return d;
}

}  // namespace cartigo
