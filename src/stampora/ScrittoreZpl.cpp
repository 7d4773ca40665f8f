#include "stampora/ScrittoreZpl.h"

#include "barcode/EAN.h"
#include "barcode/ParametriBarcode.h"
#include "label/ScritturaFile.h"
#include "shell/StringTable.h"
#include "stampora/RenderizzatorePagina.h"

#include <QIODevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

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

QByteArray campo(long x, long y) { return "^FO" + numero(x) + ',' + numero(y); }

}  // namespace

double RisoluzioneZpl(const DocumentoStampa& doc)
{
    return doc.Risoluzione() > 0 ? doc.Risoluzione() : kRisoluzioneZplPredefinita;
}

bool ColoreNeroZpl(quint32 colore)
{
    const QColor c = ColoreStampa(colore);
    return 0.299 * c.red() + 0.587 * c.green() + 0.114 * c.blue() < kSogliaNeroZpl;
}

std::optional<QByteArray> ComandoBarcodeZpl(const SimboloBarcode& s, double dpi)
{
    if (!(dpi > 0)) return std::nullopt;
    const double k = dpi / kTwipPollice;
    // No reduction: the printer's bars are whole modules, its darkness does the rest.
    const auto t = TracciaAPunti(s, QTransform::fromScale(k, k), dpi, 0);
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
                return campo(x, y - spinta) + "^BY2,2.0," + numero(spinta) + "^BQN,2," + numero(modulo) + "^FH_^FD" +
                       livelloQR(s) + "A," + datiCampo(s.dati) + "^FS";
            }
            case TipoBarcode::DataMatrix:
                // "~" is the command's own escape character.
                if (s.dati.contains(QLatin1Char('~'))) return std::nullopt;
                return campo(x, y) + "^BXN," + numero(modulo) + ",200," + numero(s.colonne) + ',' +
                       numero(s.righe) + "^FH_^FD" + datiCampo(s.dati) + "^FS";
            case TipoBarcode::PDF417: {
                // Start, stop and the two row indicators around 17 modules a data column.
                if (s.colonne < 69 + 17 || (s.colonne - 69) % 17 != 0) return std::nullopt;
                const int colonne = (s.colonne - 69) / 17;
                const long riga = std::lround(s.altezzaRiga * modulo);
                return campo(x, y) + "^BY" + numero(modulo) + "^B7N," + numero(riga) + ',' +
                       numero(sicurezzaPDF417(s.righe, colonne)) + ',' + numero(colonne) + ',' + numero(s.righe) +
                       ",N^FH_^FD" + datiCampo(s.dati) + "^FS";
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
    const auto riquadro = [&](long sx, long sy, long w, long h) {
        return campo(sx, sy) + "^GB" + numero(w) + ',' + numero(h) + ',' + numero(std::min(w, h)) + "^FS";
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
    const QByteArray by = "^BY" + numero(modulo);
    switch (static_cast<TipoBarcode>(s.tipo)) {
        case TipoBarcode::Code39: {
            static const QString insieme = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%");
            if (s.dati.isEmpty() || !std::all_of(s.dati.begin(), s.dati.end(), [](QChar c) { return insieme.contains(c); }))
                return std::nullopt;
            // ^BY takes the ratio from 2.0 to 3.0 in tenths.
            const double rapporto = std::clamp(std::round(t->rapporto * 10) / 10, 2.0, 3.0);
            return campo(x, y) + by + ',' + QByteArray::number(rapporto, 'f', 1) + ',' + h + "^B3N,N," + h +
                   ",N,N^FD" + s.dati.toLatin1() + "^FS";
        }
        case TipoBarcode::EAN13:
            // The printer adds the check digit, the same one.
            if (!soloCifre(s.dati)) return std::nullopt;
            if (s.dati.size() == 13)
                return campo(x, y) + by + "^BEN," + h + ",N,N^FD" + s.dati.left(12).toLatin1() + "^FS" + guardie;
            if (s.dati.size() == 8)
                return campo(x, y) + by + "^B8N," + h + ",N,N^FD" + s.dati.left(7).toLatin1() + "^FS" + guardie;
            return std::nullopt;
        case TipoBarcode::Code128:
            // Data in brackets are GS1 application identifiers: the graphic field keeps those.
            if (!soloAscii(s.dati) || s.dati.startsWith(QLatin1Char('('))) return std::nullopt;
            return campo(x, y) + by + "^BCN," + h + ",N,N,N,A^FH_^FD" + datiCampo(s.dati) + "^FS";
        case TipoBarcode::UPC: {
            const QString cifre = s.dati.trimmed();
            if (!soloCifre(cifre) || (cifre.size() != 11 && cifre.size() != 12)) return std::nullopt;
            return campo(x, y) + by + "^BUN," + h + ",N,N,Y^FD" + cifre.left(11).toLatin1() + "^FS" + guardie;
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
            return sostegno + campo(x, y) + by + ',' + QByteArray::number(double(largo), 'f', 1) + "^B2N," + h +
                   ",N,N,N^FD" + cifre.toLatin1() + "^FS";
        }
        default:
            return std::nullopt;
    }
}

namespace {

// A rectangle as ^GB when everything it paints is dark and plain: a solid or no pen,
// a solid or no brush. Nothing otherwise (the graphic field draws it).
std::optional<QByteArray> riquadroZpl(const Operazione& op, const StileStampa& s, double k)
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
    const long l = std::lround(x1 * k), t = std::lround(y1 * k);
    const long w = std::max(1L, std::lround(x2 * k) - l), h = std::max(1L, std::lround(y2 * k) - t);
    long spessore = std::min(w, h);
    if (!pieno) spessore = std::clamp(std::lround(s.spessorePenna * k), 1L, spessore);
    return "^FO" + numero(l) + ',' + numero(t) + "^GB" + numero(w) + ',' + numero(h) + ',' + numero(spessore) + "^FS";
}

}  // namespace

QByteArray EsadecimaleZpl(const QImage& img)
{
    static const char cifre[] = "0123456789ABCDEF";
    const int perRiga = (img.width() + 7) / 8;
    QByteArray out;
    QByteArray riga, precedente;
    // A run of `n` of digit `c`: repeat counts, 400 at a time beyond what one prefix says.
    const auto corsa = [&](char c, int n) {
        while (n > 419) {
            out += 'z';
            out += c;
            n -= 400;
        }
        if (n >= 20) out += char('g' + n / 20 - 1);
        if (n % 20 >= 2 || (n >= 20 && n % 20 == 1)) out += char('G' + n % 20 - 1);
        out += c;
    };
    for (int y = 0; y < img.height(); ++y) {
        const uchar* linea = img.constScanLine(y);
        riga.resize(perRiga * 2);
        for (int i = 0; i < perRiga; ++i) {
            uchar b = linea[i];
            // Dots past the width are light.
            if (i == perRiga - 1 && img.width() % 8) b &= uchar(0xFF << (8 - img.width() % 8));
            riga[2 * i] = cifre[b >> 4];
            riga[2 * i + 1] = cifre[b & 15];
        }
        if (y > 0 && riga == precedente) {
            out += ':';
            continue;
        }
        precedente = riga;
        qsizetype fine = riga.size();
        char coda = 0;
        if (riga.endsWith('0') || riga.endsWith('F')) {
            coda = riga.back();
            while (fine > 0 && riga[fine - 1] == coda) --fine;
        }
        for (qsizetype i = 0; i < fine;) {
            qsizetype j = i;
            while (j < fine && riga[j] == riga[i]) ++j;
            corsa(riga[i], int(j - i));
            i = j;
        }
        if (coda == '0')
            out += ',';
        else if (coda == 'F')
            out += '!';
    }
    return out;
}

QByteArray Z64Zpl(const QImage& img)
{
    const int perRiga = (img.width() + 7) / 8;
    QByteArray byte;
    byte.reserve(qsizetype(perRiga) * img.height());
    for (int y = 0; y < img.height(); ++y) {
        QByteArray riga(reinterpret_cast<const char*>(img.constScanLine(y)), perRiga);
        if (img.width() % 8) riga[perRiga - 1] = char(uchar(riga[perRiga - 1]) & uchar(0xFF << (8 - img.width() % 8)));
        byte += riga;
    }
    // qCompress puts the length before the zlib stream.
    const QByteArray b64 = qCompress(byte, 6).mid(4).toBase64();
    // CRC-16 (CCITT polynomial 0x1021, from 0) of the base64 text.
    quint16 crc = 0;
    for (const char c : b64) {
        crc ^= quint16(uchar(c)) << 8;
        for (int i = 0; i < 8; ++i) crc = quint16((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    return ":Z64:" + b64 + ':' + QByteArray::number(crc, 16).rightJustified(4, '0').toUpper();
}

QByteArray EtichettaZpl(const DocumentoStampa& doc, int indice, double dpi, int copie)
{
    if (!(dpi > 0)) dpi = RisoluzioneZpl(doc);
    const double k = dpi / kTwipPollice;
    const int larghezza = std::max(1, int(std::ceil(doc.PageWidth() * k - 1e-6)));
    const int altezza = std::max(1, int(std::ceil(doc.PageHeight() * k - 1e-6)));
    QByteArray zpl = "^XA^CI28^PW" + numero(larghezza) + "^LL" + numero(altezza) + "^LH0,0\n";
    if (indice < 0 || indice >= doc.PageCount()) return zpl + "^PQ" + numero(std::max(1, copie)) + "^XZ\n";

    const PaginaStampa& pagina = doc.Pagina(indice);
    const auto& stili = doc.Stili();
    const auto& simboli = pagina.Simboli();
    // What the printer draws itself, in drawing order after the graphic field.
    std::vector<std::optional<QByteArray>> comandi(simboli.size());
    // Turned symbols and boxes are drawn into the graphic field, where the renderer keeps a
    // symbol on whole dots; so are lines and ellipses.
    QByteArray propri;
    bool ruotata = false;
    pagina.PerOgni([&](const Operazione& op) {
        if (op.stile >= stili.size()) return;
        const StileStampa& s = stili[op.stile];
        if (op.tipo == TipoOperazione::Rotazione) {
            ruotata = op.x2 != 0;
        } else if (!ruotata && op.tipo == TipoOperazione::Simbolo && op.dato < simboli.size() &&
                   ColoreNeroZpl(s.colorePennello)) {
            comandi[op.dato] = ComandoBarcodeZpl(simboli[op.dato], dpi);
            if (comandi[op.dato]) propri += *comandi[op.dato] + '\n';
        } else if (!ruotata && op.tipo == TipoOperazione::Rettangolo) {
            if (const auto gb = riquadroZpl(op, s, k)) propri += *gb + '\n';
        }
    });
    bool ruotataResa = false;  // the renderer asks about every operation in order, turns included
    const SceltaResa scelta = [&](const Operazione& op) {
        if (op.tipo == TipoOperazione::Rotazione) ruotataResa = op.x2 != 0;
        if (ruotataResa) return Resa::Intera;
        if (op.tipo == TipoOperazione::Simbolo)
            return op.dato < comandi.size() && comandi[op.dato] ? Resa::SoloTesto : Resa::Intera;
        if (op.tipo == TipoOperazione::Rettangolo && riquadroZpl(op, stili[op.stile], k)) return Resa::Omessa;
        return Resa::Intera;
    };

    // The rest at the printer's dots, without smoothing: a dot is dark or not.
    QImage img(larghezza, altezza, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        p.scale(k, k);
        DisegnaPagina(p, doc, indice, dpi, scelta);
    }
    const auto nero = [](QRgb c) {
        return (c & 0xFFFFFF) != 0xFFFFFF && 299 * qRed(c) + 587 * qGreen(c) + 114 * qBlue(c) < kSogliaNeroZpl * 1000;
    };
    int sx = larghezza, dx = -1, su = altezza, giu = -1;
    for (int y = 0; y < altezza; ++y) {
        const auto* riga = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        int primo = 0;
        while (primo < larghezza && !nero(riga[primo])) ++primo;
        if (primo == larghezza) continue;
        int ultimo = larghezza - 1;
        while (!nero(riga[ultimo])) --ultimo;
        sx = std::min(sx, primo), dx = std::max(dx, ultimo), su = std::min(su, y), giu = y;
    }
    if (dx >= 0) {
        QImage campo(dx - sx + 1, giu - su + 1, QImage::Format_Mono);
        campo.fill(0);
        for (int y = su; y <= giu; ++y) {
            uchar* riga = campo.scanLine(y - su);
            const auto* sorgente = reinterpret_cast<const QRgb*>(img.constScanLine(y));
            for (int x = sx; x <= dx; ++x)
                if (nero(sorgente[x])) riga[(x - sx) >> 3] |= uchar(0x80 >> ((x - sx) & 7));
        }
        const int perRiga = (campo.width() + 7) / 8;
        const QByteArray totale = numero(long(perRiga) * campo.height());
        // ZPL's run-length hex, or deflated bytes in base64 when that is shorter (text is).
        QByteArray dati = EsadecimaleZpl(campo);
        const QByteArray z64 = Z64Zpl(campo);
        if (z64.size() < dati.size()) dati = z64;
        zpl += "^FO" + numero(sx) + ',' + numero(su) + "^GFA," + totale + ',' + totale + ',' + numero(perRiga) + ',' +
               dati + "^FS\n";
    }
    zpl += propri;
    zpl += "^PQ" + numero(std::max(1, copie)) + "^XZ\n";
    return zpl;
}

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
    if (!(dpi > 0)) dpi = RisoluzioneZpl(doc);
    if (const QByteArray inizio = InizioLavoroZpl(doc.Termica(), dpi); uscita.write(inizio) != inizio.size())
        return false;
    for (int i = 0; i < doc.PageCount(); ++i) {
        const QByteArray e = EtichettaZpl(doc, i, dpi, copie);
        if (uscita.write(e) != e.size()) return false;
    }
    return true;
}

FileZplProgressivo::FileZplProgressivo(const QString& percorso, double dpi, int copie)
    : file_(std::make_unique<ScritturaFile>(percorso)), dpi_(dpi), copie_(copie)
{
}

FileZplProgressivo::~FileZplProgressivo() = default;

void FileZplProgressivo::Pagina(const DocumentoStampa& doc, int indice)
{
    if (!ok_) return;
    if (!aperto_) {
        aperto_ = true;
        ok_ = file_->Apri();
        if (!ok_) return;
        const QByteArray inizio = InizioLavoroZpl(doc.Termica(), dpi_ > 0 ? dpi_ : RisoluzioneZpl(doc));
        ok_ = file_->Dispositivo().write(inizio) == inizio.size();
        if (!ok_) return;
    }
    const QByteArray e = EtichettaZpl(doc, indice, dpi_ > 0 ? dpi_ : RisoluzioneZpl(doc), copie_);
    ok_ = file_->Dispositivo().write(e) == e.size();
}

bool FileZplProgressivo::Conferma(const DocumentoStampa&, QString* errore)
{
    if (!aperto_) {
        aperto_ = true;
        ok_ = file_->Apri();
    }
    if (ok_ && file_->Conferma()) return true;
    file_->Annulla();
    *errore = file_->Errore().isEmpty() ? LoadResString(1431) : file_->Errore();
    return false;
}

}  // namespace cartigo
