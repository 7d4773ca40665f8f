#include "stampora/DocumentoStampa.h"

#include "label/Caratteri.h"
#include "stampora/FileStampa.h"

#include <QBuffer>
#include <QDataStream>
#include <QDir>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryFile>
#include <algorithm>
#include <cmath>

namespace cartigo {

namespace {

constexpr quint32 kMassimoStili = 0xFFFFFFu;
// Fonts larger than this are drawn at this size: a pixel size in twips must fit an int
// with room to spare, and nothing printable is larger.
constexpr float kMassimaDimensione = 1500.0f;

bool finito(double v)
{
    return std::isfinite(v);
}

struct Metriche {
    double larghezza(const QString& t) const
    {
        return fm ? fm->horizontalAdvance(t) : 0.5 * dimensioneTwips * t.size();
    }
    double altezza() const { return fm ? fm->height() : 1.2 * dimensioneTwips; }
    std::optional<QFontMetricsF> fm;
    double dimensioneTwips = 200;
};

// Without a font database (`fm` null) a rough estimate.
Metriche metricheDi(const CarattereStampa& c, const QFontMetricsF* fm)
{
    Metriche m;
    m.dimensioneTwips = std::min(c.dimensione, kMassimaDimensione) * 20.0;
    if (fm) m.fm.emplace(*fm);
    return m;
}

QString normalizzaACapo(QString t)
{
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

}  // namespace

// ---- pages ----

void PaginaStampa::Aggiungi(const Operazione& op)
{
    const quint32 testata =
        (static_cast<quint32>(op.tipo) << 24) | (op.ombra ? 0x80000000u : 0u) | (op.stile & 0xFFFFFFu);
    dati_.push_back(testata);
    dati_.push_back(std::bit_cast<quint32>(op.x1));
    dati_.push_back(std::bit_cast<quint32>(op.y1));
    dati_.push_back(std::bit_cast<quint32>(op.x2));
    dati_.push_back(std::bit_cast<quint32>(op.y2));
    if (HaDato(op.tipo)) dati_.push_back(op.dato);
    ++conteggio_;
}

void PaginaStampa::Compatta()
{
    dati_.shrink_to_fit();
    testi_.shrink_to_fit();
    simboli_.shrink_to_fit();
}

std::size_t PaginaStampa::Memoria() const
{
    std::size_t b = sizeof(*this) + dati_.capacity() * sizeof(quint32) + testi_.capacity() * sizeof(QString);
    for (const QString& t : testi_) b += static_cast<std::size_t>(t.capacity()) * sizeof(QChar);
    b += simboli_.capacity() * sizeof(SimboloBarcode);
    for (const SimboloBarcode& s : simboli_)
        b += s.elementi.capacity() + s.moduli.capacity() +
             static_cast<std::size_t>(s.dati.capacity() + s.testo.capacity()) * sizeof(QChar);
    return b;
}

// ---- document ----

DocumentoStampa::~DocumentoStampa() = default;

DocumentoStampa::DocumentoStampa()
    : DocumentoStampa(DispositivoCorrente() ? DispositivoCorrente()->Predefinita() : InfoStampante{})
{
}

DocumentoStampa::DocumentoStampa(const InfoStampante& stampante)
{
    carattere_.nome = QStringLiteral("Arial");
    carattere_.dimensione = 10;
    SetStampante(stampante);
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (const QScreen* s = QGuiApplication::primaryScreen()) {
            const double dpi = s->logicalDotsPerInch();
            if (dpi > 0) twipsPerPixel_ = 1440.0 / dpi;
        }
    }
}

void DocumentoStampa::SetFontName(const QString& nome)
{
    if (nome == carattere_.nome) return;
    carattere_.nome = nome;
    carattereValido_ = stileValido_ = false;
}

void DocumentoStampa::SetFontSize(float punti)
{
    if (!std::isfinite(punti) || punti <= 0) return;
    punti = std::min(punti, kMassimaDimensione);
    if (punti == carattere_.dimensione) return;
    carattere_.dimensione = punti;
    carattereValido_ = stileValido_ = false;
}

void DocumentoStampa::SetFontBold(bool b)
{
    if (b == carattere_.grassetto) return;
    carattere_.grassetto = b;
    carattereValido_ = stileValido_ = false;
}

void DocumentoStampa::SetFontItalic(bool b)
{
    if (b == carattere_.corsivo) return;
    carattere_.corsivo = b;
    carattereValido_ = stileValido_ = false;
}

void DocumentoStampa::SetOrientation(int o)
{
    if (o == 0 || o == 1) orientamento_ = o;
}

void DocumentoStampa::SetPaperSize(double larghezza, double altezza)
{
    if (!finito(larghezza) || !finito(altezza) || larghezza <= 0 || altezza <= 0) return;
    stampante_.larghezzaCarta = larghezza;
    stampante_.altezzaCarta = altezza;
}

InfoStampante DocumentoStampa::Stampante() const
{
    InfoStampante i = stampante_;
    i.orientamento = orientamento_;
    return i;
}

void DocumentoStampa::SetStampante(const InfoStampante& info)
{
    stampante_.nome = info.nome;
    stampante_.porta = info.porta;
    stampante_.risoluzione = info.risoluzione;
    stampante_.opzioni = info.opzioni;
    SetPaperSize(info.larghezzaCarta, info.altezzaCarta);
    SetOrientation(info.orientamento);
}

void DocumentoStampa::SetBrushColor(quint32 c)
{
    if (c != stile_.colorePennello) {
        stile_.colorePennello = c;
        stileValido_ = false;
    }
}

void DocumentoStampa::SetPenColor(quint32 c)
{
    if (c != stile_.colorePenna) {
        stile_.colorePenna = c;
        stileValido_ = false;
    }
}

void DocumentoStampa::SetTextColor(quint32 c)
{
    if (c != stile_.coloreTesto) {
        stile_.coloreTesto = c;
        stileValido_ = false;
    }
}

bool DocumentoStampa::twips(const Misura& m, double* v) const
{
    const double t = m.Twips(twipsPerPixel_);
    if (!finito(t)) return false;
    *v = t;
    return true;
}

void DocumentoStampa::impostaMargine(int i, const Misura& m)
{
    double v = 0;
    if (twips(m, &v) && v >= 0) margini_[i] = v;
}

void DocumentoStampa::SetBrushStyle(int s)
{
    if (s < 0 || s > 7 || s == stile_.stilePennello) return;
    stile_.stilePennello = static_cast<quint8>(s);
    stileValido_ = false;
}

void DocumentoStampa::SetPenStyle(int s)
{
    if (s < 0 || s > 6 || s == stile_.stilePenna) return;
    stile_.stilePenna = static_cast<quint8>(s);
    stileValido_ = false;
}

void DocumentoStampa::SetPenWidth(const Misura& m)
{
    double v = 0;
    if (!twips(m, &v) || v < 0) return;
    const float f = static_cast<float>(v);
    if (f != stile_.spessorePenna) {
        stile_.spessorePenna = f;
        stileValido_ = false;
    }
}

void DocumentoStampa::SetCurrentX(const Misura& m)
{
    double v = 0;
    if (twips(m, &v)) x_ = v;
}

void DocumentoStampa::SetCurrentY(const Misura& m)
{
    double v = 0;
    if (twips(m, &v)) y_ = v;
}

void DocumentoStampa::SetTextAlign(int a)
{
    if (a < 0 || a > 2 || a == TextAlign()) return;
    stile_.allineamento = static_cast<quint8>((stile_.allineamento & ~ImpaginazioneCasella::Orizzontale) | a);
    stileValido_ = false;
}

void DocumentoStampa::SetImpaginazioneTesto(int bit)
{
    bit &= ImpaginazioneCasella::Tutti & ~ImpaginazioneCasella::Orizzontale;
    if ((bit & ImpaginazioneCasella::Centro) && (bit & ImpaginazioneCasella::Basso)) bit &= ~ImpaginazioneCasella::Centro;
    if (bit == ImpaginazioneTesto()) return;
    stile_.allineamento = static_cast<quint8>(TextAlign() | bit);
    stileValido_ = false;
}

// ---- document life ----

void DocumentoStampa::StartDoc()
{
    KillDoc();
    aperto_ = true;
    pagine_.emplace_back();
    x_ = MarginLeft();
    y_ = MarginTop();
}

void DocumentoStampa::EndDoc()
{
    if (aperto_) paginaFinita();
    aperto_ = false;
}

void DocumentoStampa::KillDoc()
{
    aperto_ = false;
    ricevitore_ = nullptr;
    pagine_.clear();
    pagine_.shrink_to_fit();
    base_ = 0;
    memoriaPagine_ = 0;
    posizioni_.clear();
    posizioni_.shrink_to_fit();
    archivio_.reset();
    archivioGuasto_ = false;
    letture_.clear();
    stili_.clear();
    indiceStili_.clear();
    caratteri_.clear();
    immagini_.clear();
    immaginiPerChiave_.clear();
    immaginiPerContenuto_.clear();
    stileValido_ = carattereValido_ = false;
    formatoEsteso_ = ruotata_ = false;
}

void DocumentoStampa::NewPage()
{
    if (!aperto_) return;
    ruotata_ = false;
    paginaFinita();
    pagine_.emplace_back();
    x_ = MarginLeft();
    y_ = MarginTop();
}

void DocumentoStampa::paginaFinita()
{
    if (pagine_.empty()) return;
    if (ricevitore_) {
        ricevitore_(*this, PageCount() - 1);
        // Handed over: the pages before it go as they would, and it goes at once.
        archivia(pagine_.size() - 1);
        if (pagine_.size() == 1)
            archivia(1, true);
        else
            pagine_.back() = PaginaStampa();
        return;
    }
    pagine_.back().Compatta();
    memoriaPagine_ += pagine_.back().Memoria();
    if (memoriaPagine_ > kMemoriaPagine) archivia(pagine_.size());
}

void DocumentoStampa::aggiungiPaginaFinita(PaginaStampa&& p)
{
    p.Compatta();
    memoriaPagine_ += p.Memoria();
    pagine_.push_back(std::move(p));
    if (memoriaPagine_ > kMemoriaPagine) archivia(pagine_.size());
}

// A page on disk: word and text counts, operation count, the words, then each text as its
// length and UTF-16 units, all in this machine's byte order (the file is the process's own).
bool DocumentoStampa::archivia(std::size_t n, bool consegnate)
{
    n = std::min(n, pagine_.size());
    if (n == 0) return true;
    if (!consegnate) {
        if (archivioGuasto_) return false;
        if (!archivio_) {
            archivio_ = std::make_unique<QTemporaryFile>(QDir::temp().filePath(QStringLiteral("cartigo-pagine-XXXXXX")));
            if (!archivio_->open()) {
                archivio_.reset();
                archivioGuasto_ = true;
                return false;
            }
        }
        QByteArray b;
        const qint64 inizio = archivio_->size();
        std::vector<qint64> posizioni;
        for (std::size_t k = 0; k < n; ++k) {
            const PaginaStampa& p = pagine_[k];
            posizioni.push_back(inizio + b.size());
            const quint32 testa[4] = {static_cast<quint32>(p.dati_.size()), static_cast<quint32>(p.testi_.size()),
                                      static_cast<quint32>(p.conteggio_), static_cast<quint32>(p.simboli_.size())};
            b.append(reinterpret_cast<const char*>(testa), sizeof testa);
            b.append(reinterpret_cast<const char*>(p.dati_.data()), static_cast<qsizetype>(p.dati_.size() * 4));
            for (const QString& t : p.testi_) {
                const quint32 l = static_cast<quint32>(t.size());
                b.append(reinterpret_cast<const char*>(&l), sizeof l);
                b.append(reinterpret_cast<const char*>(t.constData()), t.size() * qsizetype(sizeof(QChar)));
            }
            if (!p.simboli_.empty()) {
                QBuffer coda(&b);
                coda.open(QIODevice::Append);
                QDataStream s(&coda);
                s.setVersion(QDataStream::Qt_6_0);
                for (const SimboloBarcode& simbolo : p.simboli_) ScriviSimboloStampa(s, simbolo);
            }
        }
        if (!archivio_->seek(inizio) || archivio_->write(b) != b.size() || !archivio_->flush()) {
            archivio_->resize(inizio);
            archivioGuasto_ = true;
            return false;
        }
        posizioni_.insert(posizioni_.end(), posizioni.begin(), posizioni.end());
    } else {
        posizioni_.insert(posizioni_.end(), n, -1);
    }
    for (std::size_t k = 0; k < n; ++k) {
        if (!consegnate) memoriaPagine_ -= std::min(memoriaPagine_, pagine_.front().Memoria());
        pagine_.pop_front();
    }
    base_ += n;
    return true;
}

const PaginaStampa& DocumentoStampa::paginaArchiviata(std::size_t indice) const
{
    static const PaginaStampa vuota;
    if (indice >= posizioni_.size() || posizioni_[indice] < 0 || !archivio_) return vuota;
    for (const auto& [i, p] : letture_)
        if (i == indice) return p;
    PaginaStampa p;
    quint32 testa[4] = {};
    QFile& f = *archivio_;
    if (f.seek(posizioni_[indice]) && f.read(reinterpret_cast<char*>(testa), sizeof testa) == sizeof testa) {
        p.dati_.resize(testa[0]);
        const qint64 byte = static_cast<qint64>(testa[0]) * 4;
        bool ok = f.read(reinterpret_cast<char*>(p.dati_.data()), byte) == byte;
        p.testi_.reserve(testa[1]);
        for (quint32 t = 0; ok && t < testa[1]; ++t) {
            quint32 l = 0;
            ok = f.read(reinterpret_cast<char*>(&l), sizeof l) == sizeof l;
            QString testo(static_cast<qsizetype>(ok ? l : 0), Qt::Uninitialized);
            ok = ok && f.read(reinterpret_cast<char*>(testo.data()), qint64(l) * 2) == qint64(l) * 2;
            p.testi_.push_back(std::move(testo));
        }
        ok = ok && (testa[3] == 0 || LeggiSimboliStampa(f, testa[3], &p.simboli_));
        p.conteggio_ = testa[2];
        if (!ok) p = PaginaStampa();
    }
    // A few pages: the preview shows two at a time, and a writer reads one.
    if (letture_.size() >= 4) letture_.pop_front();
    letture_.emplace_back(indice, std::move(p));
    return letture_.back().second;
}

PaginaStampa* DocumentoStampa::paginaCorrente()
{
    if (!aperto_ || pagine_.empty()) return nullptr;
    return &pagine_.back();
}

quint32 DocumentoStampa::stileCorrente()
{
    if (stileValido_) return indiceStile_;
    if (!carattereValido_) {
        const auto it = std::find(caratteri_.begin(), caratteri_.end(), carattere_);
        if (it != caratteri_.end()) {
            indiceCarattere_ = static_cast<quint32>(it - caratteri_.begin());
        } else {
            indiceCarattere_ = static_cast<quint32>(caratteri_.size());
            caratteri_.push_back(carattere_);
        }
        carattereValido_ = true;
    }
    stile_.carattere = indiceCarattere_;
    const auto it = indiceStili_.constFind(stile_);
    if (it != indiceStili_.constEnd()) {
        indiceStile_ = *it;
    } else if (stili_.size() < kMassimoStili) {
        indiceStile_ = static_cast<quint32>(stili_.size());
        stili_.push_back(stile_);
        indiceStili_.insert(stile_, indiceStile_);
    } else {
        // Sixteen million distinct styles: draw with the last one rather than fail.
        indiceStile_ = kMassimoStili - 1;
    }
    stileValido_ = true;
    return indiceStile_;
}

quint32 DocumentoStampa::indiceImmagine(const QImage& img)
{
    const auto k = immaginiPerChiave_.constFind(img.cacheKey());
    if (k != immaginiPerChiave_.constEnd()) return *k;
    // The same picture loaded again (a picture object on every label) is kept once.
    size_t h = qHashMulti(0, img.width(), img.height(), static_cast<int>(img.format()));
    const qsizetype riga = (static_cast<qsizetype>(img.width()) * img.depth() + 7) / 8;
    for (int y = 0; y < img.height(); ++y) h = qHashBits(img.constScanLine(y), static_cast<size_t>(riga), h);
    for (auto it = immaginiPerContenuto_.constFind(h); it != immaginiPerContenuto_.constEnd() && it.key() == h; ++it) {
        if (immagini_[*it] == img) {
            immaginiPerChiave_.insert(img.cacheKey(), *it);
            return *it;
        }
    }
    const quint32 i = static_cast<quint32>(immagini_.size());
    immagini_.push_back(img);
    immaginiPerChiave_.insert(img.cacheKey(), i);
    immaginiPerContenuto_.insert(h, i);
    return i;
}

void DocumentoStampa::aggiungi(Operazione op)
{
    PaginaStampa* p = paginaCorrente();
    if (!p) return;
    op.stile = stileCorrente();
    if (op.tipo > TipoOperazione::Simbolo ||
        (op.tipo == TipoOperazione::CasellaTesto && stili_[op.stile].allineamento > 2))
        formatoEsteso_ = true;
    p->Aggiungi(op);
}

// ---- drawing ----

namespace {
bool quattro(const DocumentoStampa& d, const Misura& a, const Misura& b, const Misura& c, const Misura& e, double* v)
{
    const double tpp = d.TwipsPerPixel();
    v[0] = a.Twips(tpp);
    v[1] = b.Twips(tpp);
    v[2] = c.Twips(tpp);
    v[3] = e.Twips(tpp);
    return finito(v[0]) && finito(v[1]) && finito(v[2]) && finito(v[3]);
}
}  // namespace

void DocumentoStampa::DrawLine(const Misura& x1, const Misura& y1, const Misura& x2, const Misura& y2)
{
    double v[4];
    if (!quattro(*this, x1, y1, x2, y2, v)) return;
    Operazione op;
    op.tipo = TipoOperazione::Linea;
    op.x1 = static_cast<float>(v[0]);
    op.y1 = static_cast<float>(v[1]);
    op.x2 = static_cast<float>(v[2]);
    op.y2 = static_cast<float>(v[3]);
    aggiungi(op);
}

void DocumentoStampa::DrawRectangle(const Misura& x1, const Misura& y1, const Misura& x2, const Misura& y2)
{
    double v[4];
    if (!quattro(*this, x1, y1, x2, y2, v)) return;
    Operazione op;
    op.tipo = TipoOperazione::Rettangolo;
    op.x1 = static_cast<float>(std::min(v[0], v[2]));
    op.y1 = static_cast<float>(std::min(v[1], v[3]));
    op.x2 = static_cast<float>(std::max(v[0], v[2]));
    op.y2 = static_cast<float>(std::max(v[1], v[3]));
    aggiungi(op);
}

void DocumentoStampa::DrawCircle(const Misura& x, const Misura& y, const Misura& raggio)
{
    double v[4];
    if (!quattro(*this, x, y, raggio, Misura(0), v)) return;
    Operazione op;
    op.tipo = TipoOperazione::Cerchio;
    op.x1 = static_cast<float>(v[0]);
    op.y1 = static_cast<float>(v[1]);
    op.x2 = static_cast<float>(std::abs(v[2]));
    aggiungi(op);
}

void DocumentoStampa::DrawEllipse(const Misura& x1, const Misura& y1, const Misura& x2, const Misura& y2)
{
    double v[4];
    if (!quattro(*this, x1, y1, x2, y2, v)) return;
    Operazione op;
    op.tipo = TipoOperazione::Ellisse;
    op.x1 = static_cast<float>(std::min(v[0], v[2]));
    op.y1 = static_cast<float>(std::min(v[1], v[3]));
    op.x2 = static_cast<float>(std::max(v[0], v[2]));
    op.y2 = static_cast<float>(std::max(v[1], v[3]));
    aggiungi(op);
}

void DocumentoStampa::Ruota(const Misura& x, const Misura& y, int gradi)
{
    if (gradi != 0 && gradi != 90 && gradi != 180 && gradi != 270) return;
    if (gradi == 0 && !ruotata_) return;  // nothing is turning
    double v[4];
    if (!quattro(*this, x, y, Misura(0), Misura(0), v)) return;
    Operazione op;
    op.tipo = TipoOperazione::Rotazione;
    op.x1 = static_cast<float>(v[0]);
    op.y1 = static_cast<float>(v[1]);
    op.x2 = static_cast<float>(gradi);
    aggiungi(op);
    ruotata_ = gradi != 0;
}

void DocumentoStampa::DrawPicture(const QImage& immagine, const Misura& x, const Misura& y,
                                  const std::optional<Misura>& larghezza, const std::optional<Misura>& altezza)
{
    if (immagine.isNull() || !paginaCorrente()) return;
    double px = 0, py = 0;
    if (!twips(x, &px) || !twips(y, &py)) return;
    // The picture's own size in twips.
    const double dpmX = immagine.dotsPerMeterX(), dpmY = immagine.dotsPerMeterY();
    const double propriaL = dpmX > 0 ? immagine.width() * 1440.0 / (dpmX * 0.0254) : immagine.width() * twipsPerPixel_;
    const double propriaA =
        dpmY > 0 ? immagine.height() * 1440.0 / (dpmY * 0.0254) : immagine.height() * twipsPerPixel_;
    double w = propriaL, h = propriaA;
    if (larghezza && !twips(*larghezza, &w)) return;
    if (altezza && !twips(*altezza, &h)) return;
    if (larghezza && !altezza && propriaL > 0)
        h = propriaA * w / propriaL;
    else if (!larghezza && altezza && propriaA > 0)
        w = propriaL * h / propriaA;
    if (w == 0 || h == 0) return;
    Operazione op;
    op.tipo = TipoOperazione::Immagine;
    op.x1 = static_cast<float>(std::min(px, px + w));
    op.y1 = static_cast<float>(std::min(py, py + h));
    op.x2 = static_cast<float>(std::max(px, px + w));
    op.y2 = static_cast<float>(std::max(py, py + h));
    op.dato = indiceImmagine(immagine);
    aggiungi(op);
}

void DocumentoStampa::TextBox(const QString& testo, const Misura& x, const Misura& y, const Misura& larghezza,
                              const Misura& altezza, bool ombra)
{
    PaginaStampa* p = paginaCorrente();
    if (!p) return;
    double v[4];
    if (!quattro(*this, x, y, larghezza, altezza, v)) return;
    Operazione op;
    op.tipo = TipoOperazione::CasellaTesto;
    op.ombra = ombra;
    op.x1 = static_cast<float>(std::min(v[0], v[0] + v[2]));
    op.y1 = static_cast<float>(std::min(v[1], v[1] + v[3]));
    op.x2 = static_cast<float>(std::max(v[0], v[0] + v[2]));
    op.y2 = static_cast<float>(std::max(v[1], v[1] + v[3]));
    op.dato = static_cast<quint32>(p->testi_.size());
    p->testi_.push_back(normalizzaACapo(testo));
    aggiungi(op);
}

void DocumentoStampa::DrawSymbol(const SimboloBarcode& simbolo)
{
    PaginaStampa* p = paginaCorrente();
    if (!p) return;
    const double v[4] = {simbolo.x, simbolo.y, simbolo.x + simbolo.larghezza, simbolo.y + simbolo.altezza};
    for (double c : v)
        if (!std::isfinite(c)) return;
    Operazione op;
    op.tipo = TipoOperazione::Simbolo;
    op.x1 = static_cast<float>(v[0]);
    op.y1 = static_cast<float>(v[1]);
    op.x2 = static_cast<float>(v[2]);
    op.y2 = static_cast<float>(v[3]);
    op.dato = static_cast<quint32>(p->simboli_.size());
    formatoEsteso_ = formatoEsteso_ || simbolo.cifreStandard;
    p->simboli_.push_back(simbolo);
    aggiungi(op);
}

void DocumentoStampa::SetRisoluzione(double dpi)
{
    if (std::isfinite(dpi) && dpi >= 0) risoluzione_ = dpi;
}

void DocumentoStampa::Text(const QString& testo)
{
    PaginaStampa* p = paginaCorrente();
    if (!p) return;
    const Metriche m = metricheDi(carattere_, metricheCarattere());
    const double altezzaRiga = m.altezza();
    const double sinistra = MarginLeft();
    const double destra = std::max(sinistra, PageWidth() - MarginRight());

    auto emetti = [&](const QString& riga, double inizio, bool aCapo) {
        const double w = m.larghezza(riga);
        if (!riga.isEmpty()) {
            double x = inizio;
            if (TextAlign() == 1)
                x = inizio + (destra - inizio - w) / 2;
            else if (TextAlign() == 2)
                x = destra - w;
            Operazione op;
            op.tipo = TipoOperazione::Testo;
            op.x1 = static_cast<float>(x);
            op.y1 = static_cast<float>(y_);
            op.x2 = static_cast<float>(w);
            op.y2 = static_cast<float>(altezzaRiga);
            op.dato = static_cast<quint32>(p->testi_.size());
            p->testi_.push_back(riga);
            aggiungi(op);
        }
        if (aCapo) {
            x_ = sinistra;
            y_ += altezzaRiga;
        } else {
            x_ = inizio + w;
        }
    };

    const QStringList paragrafi = normalizzaACapo(testo).split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < paragrafi.size(); ++i) {
        const bool aCapo = i + 1 < paragrafi.size();
        double inizio = x_;
        QString riga;
        bool primaParola = true;
        for (const QString& parola : paragrafi[i].split(QLatin1Char(' '))) {
            const QString prova = primaParola ? parola : riga + QLatin1Char(' ') + parola;
            if (primaParola || riga.isEmpty() || inizio + m.larghezza(prova) <= destra) {
                riga = prova;
            } else {
                emetti(riga, inizio, true);
                inizio = x_;
                riga = parola;
            }
            primaParola = false;
        }
        emetti(riga, inizio, aCapo);
    }
}

double DocumentoStampa::TextWidth(const QString& testo) const
{
    const Metriche m = metricheDi(carattere_, metricheCarattere());
    double w = 0;
    for (const QString& r : normalizzaACapo(testo).split(QLatin1Char('\n'))) w = std::max(w, m.larghezza(r));
    return w;
}

double DocumentoStampa::TextHeight(const QString& testo) const
{
    const Metriche m = metricheDi(carattere_, metricheCarattere());
    return m.altezza() * static_cast<double>(normalizzaACapo(testo).count(QLatin1Char('\n')) + 1);
}

StatoOutput DocumentoStampa::Stato() const
{
    StatoOutput s;
    s.x = x_;
    s.y = y_;
    s.stilePenna = stile_.stilePenna;
    s.colorePenna = stile_.colorePenna;
    s.spessorePenna = stile_.spessorePenna;
    s.stilePennello = stile_.stilePennello;
    s.colorePennello = stile_.colorePennello;
    s.coloreTesto = stile_.coloreTesto;
    s.carattere = carattere_;
    s.allineamento = stile_.allineamento;
    return s;
}

void DocumentoStampa::RipristinaStato(const StatoOutput& s)
{
    x_ = s.x;
    y_ = s.y;
    SetPenStyle(s.stilePenna);
    SetPenColor(s.colorePenna);
    SetPenWidth(s.spessorePenna);
    SetBrushStyle(s.stilePennello);
    SetBrushColor(s.colorePennello);
    SetTextColor(s.coloreTesto);
    SetFontName(s.carattere.nome);
    SetFontSize(s.carattere.dimensione);
    SetFontBold(s.carattere.grassetto);
    SetFontItalic(s.carattere.corsivo);
    SetTextAlign(s.allineamento & ImpaginazioneCasella::Orizzontale);
    SetImpaginazioneTesto(s.allineamento & ~ImpaginazioneCasella::Orizzontale);
}

std::size_t DocumentoStampa::Memoria() const
{
    std::size_t b = sizeof(*this) + pagine_.size() * sizeof(PaginaStampa) + posizioni_.capacity() * sizeof(qint64);
    for (const PaginaStampa& p : pagine_) b += p.Memoria() - sizeof(PaginaStampa);
    for (const auto& [i, p] : letture_) b += p.Memoria();
    b += stili_.capacity() * sizeof(StileStampa) + static_cast<std::size_t>(indiceStili_.capacity()) * 48;
    b += caratteri_.capacity() * sizeof(CarattereStampa);
    for (const QImage& i : immagini_) b += static_cast<std::size_t>(i.sizeInBytes());
    return b;
}

const QFontMetricsF* DocumentoStampa::metricheCarattere() const
{
    // Without a GUI application there is no font database.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return nullptr;
    for (const auto& [c, fm] : metriche_)
        if (c == carattere_) return &fm;
    if (metriche_.size() >= 64) metriche_.clear();
    metriche_.emplace_back(carattere_, QFontMetricsF(FontTwips(carattere_)));
    return &metriche_.back().second;
}

QFont DocumentoStampa::FontTwips(const CarattereStampa& c)
{
    QFont f = Caratteri::CarattereTesto(c.nome.isEmpty() ? QStringLiteral("Arial") : c.nome);
    const float punti = std::clamp(c.dimensione, 0.05f, kMassimaDimensione);
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(punti * 20.0f))));
    f.setBold(c.grassetto);
    f.setItalic(c.corsivo);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setKerning(true);
    return f;
}

}  // namespace cartigo
