#include "stampora/RenderizzatorePagina.h"

#include "barcode/DisegnoBarcode.h"
#include "label/Colori.h"
#include "label/ImpaginazioneTesto.h"
#include "stampora/ScrittoreZpl.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace cartigo {

QColor ColoreStampa(quint32 c)
{
    // The same colours the design surface shows, system colours included.
    return ColoreDaVB(static_cast<qint32>(c));
}

namespace {

Qt::PenStyle stilePenna(quint8 s)
{
    switch (s) {
        case 1:
            return Qt::DashLine;
        case 2:
            return Qt::DotLine;
        case 3:
            return Qt::DashDotLine;
        case 4:
            return Qt::DashDotDotLine;
        case 5:
            return Qt::NoPen;
        default:
            return Qt::SolidLine;
    }
}

Qt::BrushStyle stilePennello(quint8 s)
{
    switch (s) {
        case 0:
            return Qt::SolidPattern;
        case 2:
            return Qt::HorPattern;
        case 3:
            return Qt::VerPattern;
        case 4:
            return Qt::BDiagPattern;
        case 5:
            return Qt::FDiagPattern;
        case 6:
            return Qt::CrossPattern;
        case 7:
            return Qt::DiagCrossPattern;
        default:
            return Qt::NoBrush;
    }
}

QPen penna(const StileStampa& s)
{
    QPen p(ColoreStampa(s.colorePenna));
    p.setStyle(stilePenna(s.stilePenna));
    p.setWidthF(s.spessorePenna);
    p.setCosmetic(s.spessorePenna <= 0);
    p.setCapStyle(Qt::FlatCap);
    p.setJoinStyle(Qt::MiterJoin);
    return p;
}

QBrush pennello(const StileStampa& s)
{
    return QBrush(ColoreStampa(s.colorePennello), stilePennello(s.stilePennello));
}

Qt::Alignment allineamento(quint8 a)
{
    switch (a) {
        case 1:
            return Qt::AlignHCenter;
        case 2:
            return Qt::AlignRight;
        default:
            return Qt::AlignLeft;
    }
}

}  // namespace

void ScalaTwips(QPainter& p, const QPaintDevice& device)
{
    p.scale(device.logicalDpiX() / 1440.0, device.logicalDpiY() / 1440.0);
}

namespace {

// The layout on whole dots of a symbol the painter turns by a quarter, a half or three
// quarters (`mappa`), whose dots are those of `griglia` (the page's transform, unturned):
// the symbol is laid out unturned, on a grid that the turn carries onto the page's dots
// (at most half a dot away from where the turn puts it), and its rectangles turned onto the
// device. Nothing for any other transform.
std::optional<TracciatoSimbolo> tracciaGirato(const SimboloBarcode& s, const QTransform& mappa,
                                              const QTransform& griglia, double dpi, int riduzione)
{
    for (const int gradi : {90, 180, 270}) {
        QTransform giro;
        giro.rotate(gradi);
        // mappa = unturned, then the turn about the device's origin
        const QTransform dritta = mappa * giro.inverted();
        if (std::abs(dritta.m12()) > 1e-9 * std::abs(dritta.m11()) ||
            std::abs(dritta.m21()) > 1e-9 * std::abs(dritta.m22()) || !(dritta.m11() > 0) || !(dritta.m22() > 0))
            continue;
        // The page's dot grid seen unturned: its corner, and one dot along each axis.
        const double k = dpi / 1440.0;
        const QPointF angolo = giro.inverted().map(griglia.map(QPointF(0, 0)));
        const double passoX = dritta.m11() / k, passoY = dritta.m22() / k;
        const QPointF d = angolo - dritta.map(QPointF(0, 0));
        const QPointF spinta(d.x() - passoX * std::round(d.x() / passoX), d.y() - passoY * std::round(d.y() / passoY));
        auto t = TracciaAPunti(s, dritta * QTransform::fromTranslate(spinta.x(), spinta.y()), dpi, riduzione);
        if (!t) return t;
        for (QRectF& r : t->scuri) r = giro.mapRect(r);
        if (!t->chiaro.isEmpty()) t->chiaro = giro.mapRect(t->chiaro);
        return t;
    }
    return std::nullopt;
}

// A symbol's layout on the painter's device: on whole dots of `dpi` when it has one and
// the transform allows (turned by quarters too, on `griglia`, the page's dots unturned),
// else the vector layout; `aPunti` says which.
TracciatoSimbolo Tracciato(const QPainter& p, const SimboloBarcode& s, double dpi, int riduzione,
                           const QTransform* griglia, bool* aPunti)
{
    std::optional<TracciatoSimbolo> t;
    if (dpi > 0) {
        const QTransform mappa = p.combinedTransform();
        t = griglia && (mappa.m12() != 0 || mappa.m21() != 0 || mappa.m11() < 0 || mappa.m22() < 0)
                ? tracciaGirato(s, mappa, *griglia, dpi, riduzione)
                : TracciaAPunti(s, mappa, dpi, riduzione);
    }
    *aPunti = t.has_value();
    return *aPunti ? std::move(*t) : TracciaVettoriale(s);
}

void DisegnaTracciato(QPainter& p, const TracciatoSimbolo& t, bool aPunti, const QColor& colore)
{
    p.save();
    if (aPunti) p.resetTransform();  // the layout is in the device's units
    p.setPen(Qt::NoPen);
    if (!t.chiaro.isEmpty()) p.fillRect(t.chiaro, Qt::white);
    if (!t.scuri.empty()) {
        p.setBrush(colore);
        p.drawRects(t.scuri.data(), static_cast<int>(t.scuri.size()));
    }
    p.restore();
}

}  // namespace

void DisegnaSimbolo(QPainter& p, const SimboloBarcode& s, double dpi, int riduzione, const QColor& colore,
                    const QTransform* griglia)
{
    bool aPunti = false;
    DisegnaTracciato(p, Tracciato(p, s, dpi, riduzione, griglia, &aPunti), aPunti, colore);
}

void DisegnaPagina(QPainter& p, const DocumentoStampa& doc, int indice, double dpi, const SceltaResa& scelta)
{
    if (indice < 0 || indice >= doc.PageCount()) return;
    if (dpi < 0) dpi = doc.Risoluzione();
    const int riduzione = doc.Riduzione().Punti(dpi);
    const auto& stili = doc.Stili();
    const auto& caratteri = doc.Caratteri();
    const auto& immagini = doc.Immagini();
    const PaginaStampa& pagina = doc.Pagina(indice);
    const auto& testi = pagina.Testi();
    const auto& simboli = pagina.Simboli();

    // Fonts are built once per page drawn.
    std::vector<std::optional<QFont>> font(caratteri.size());
    std::vector<double> ascendente(caratteri.size(), 0);
    auto fontDi = [&](const StileStampa& s) -> const QFont& {
        const std::size_t i = s.carattere < caratteri.size() ? s.carattere : 0;
        if (!font[i]) {
            font[i] = DocumentoStampa::FontTwips(caratteri[i]);
            ascendente[i] = QFontMetricsF(*font[i]).ascent();
        }
        return *font[i];
    };

    std::vector<std::optional<QFontMetricsF>> metriche(caratteri.size());
    auto metricheDi = [&](const StileStampa& s) -> const QFontMetricsF& {
        const std::size_t i = s.carattere < caratteri.size() ? s.carattere : 0;
        if (!metriche[i]) metriche[i].emplace(fontDi(s));
        return *metriche[i];
    };

    p.save();
    // A turn of the operations that follow is about a point of the page, on its own transform.
    const QTransform base = p.transform();
    const QTransform griglia = p.combinedTransform();
    bool ruotata = false;
    quint32 ultimoStile = 0xFFFFFFFFu;
    // Consecutive boxes of one style (the bars of a barcode) go to the device in one call.
    std::vector<QRectF> rettangoli;
    auto svuota = [&] {
        if (!rettangoli.empty()) p.drawRects(rettangoli.data(), static_cast<int>(rettangoli.size()));
        rettangoli.clear();
    };
    pagina.PerOgni([&](const Operazione& op) {
        if (op.stile >= stili.size()) return;
        const Resa resa = scelta ? scelta(op) : Resa::Intera;
        if (resa == Resa::Omessa) return;
        const StileStampa& s = stili[op.stile];
        if (op.tipo == TipoOperazione::Rettangolo && op.stile == ultimoStile) {
            rettangoli.emplace_back(QPointF(op.x1, op.y1), QPointF(op.x2, op.y2));
            return;
        }
        svuota();
        if (op.stile != ultimoStile) {
            p.setPen(penna(s));
            p.setBrush(pennello(s));
            ultimoStile = op.stile;
        }
        switch (op.tipo) {
            case TipoOperazione::Linea:
                p.drawLine(QPointF(op.x1, op.y1), QPointF(op.x2, op.y2));
                break;
            case TipoOperazione::Rettangolo:
                rettangoli.emplace_back(QPointF(op.x1, op.y1), QPointF(op.x2, op.y2));
                break;
            case TipoOperazione::Cerchio:
                p.drawEllipse(QPointF(op.x1, op.y1), op.x2, op.x2);
                break;
            case TipoOperazione::Ellisse:
                p.drawEllipse(QRectF(QPointF(op.x1, op.y1), QPointF(op.x2, op.y2)));
                break;
            case TipoOperazione::Rotazione: {
                ruotata = op.x2 != 0;
                QTransform giro;
                if (ruotata) {
                    giro.translate(op.x1, op.y1);
                    giro.rotate(op.x2);
                    giro.translate(-op.x1, -op.y1);
                }
                p.setTransform(giro * base);
                break;
            }
            case TipoOperazione::Immagine:
                if (op.dato < immagini.size())
                    p.drawImage(QRectF(QPointF(op.x1, op.y1), QPointF(op.x2, op.y2)), immagini[op.dato]);
                break;
            case TipoOperazione::CasellaTesto: {
                if (op.dato >= testi.size() || caratteri.empty()) break;
                const QRectF box(QPointF(op.x1, op.y1), QPointF(op.x2, op.y2));
                if (op.ombra) p.fillRect(box, pennello(s));
                if (s.stilePenna != 5) {
                    p.setBrush(Qt::NoBrush);
                    p.drawRect(box);
                }
                const QString& testo = testi[op.dato];
                p.setFont(fontDi(s));
                p.setPen(ColoreStampa(s.coloreTesto));
                ultimoStile = 0xFFFFFFFFu;
                if (s.allineamento & ~ImpaginazioneCasella::Orizzontale) {
                    // A box with a layout of its own: the one the designer shows.
                    OpzioniImpaginazione opzioni;
                    opzioni.orizzontale = allineamento(s.allineamento & ImpaginazioneCasella::Orizzontale);
                    opzioni.verticale = (s.allineamento & ImpaginazioneCasella::Basso)    ? AllineamentoVerticale::Basso
                                        : (s.allineamento & ImpaginazioneCasella::Centro) ? AllineamentoVerticale::Centro
                                                                                          : AllineamentoVerticale::Alto;
                    opzioni.aCapo = !(s.allineamento & ImpaginazioneCasella::SenzaACapo);
                    const QFont& f = fontDi(s);
                    DisegnaTestoImpaginato(p, ImpaginaTesto(testo, f, box, opzioni), f, box);
                    break;
                }
                // One line that fits its box needs neither layout nor clipping.
                const QFontMetricsF& fm = metricheDi(s);
                const bool unaRiga = !testo.contains(QLatin1Char('\n')) && !testo.contains(QLatin1Char('\r'));
                const double larghezza = unaRiga ? fm.horizontalAdvance(testo) : 0;
                if (unaRiga && larghezza <= box.width() && fm.height() <= box.height()) {
                    double x = box.left();
                    if (s.allineamento == 1)
                        x += (box.width() - larghezza) / 2;
                    else if (s.allineamento == 2)
                        x += box.width() - larghezza;
                    p.drawText(QPointF(x, box.top() + fm.ascent()), testo);
                    break;
                }
                p.save();
                p.setClipRect(box, Qt::IntersectClip);
                p.drawText(box, static_cast<int>(allineamento(s.allineamento) | Qt::AlignTop) | Qt::TextWordWrap,
                           testo);
                p.restore();
                break;
            }
            case TipoOperazione::Simbolo: {
                if (op.dato >= simboli.size()) break;
                const SimboloBarcode& simbolo = simboli[op.dato];
                bool aPunti = false;
                TracciatoSimbolo t;
                if (resa == Resa::Intera || (simbolo.cifreStandard && simbolo.conTesto()))
                    t = Tracciato(p, simbolo, dpi, riduzione, ruotata ? &griglia : nullptr, &aPunti);
                if (resa == Resa::Intera) DisegnaTracciato(p, t, aPunti, ColoreStampa(s.colorePennello));
                if (simbolo.conTesto() && !caratteri.empty()) {
                    const std::size_t i = s.carattere < caratteri.size() ? s.carattere : 0;
                    p.setFont(fontDi(s));
                    p.setPen(ColoreStampa(s.coloreTesto));
                    if (!t.cifre.empty())
                        DipingiCifre(p, t.cifre, simbolo.testoY, fontDi(s));
                    else
                        p.drawText(QPointF(simbolo.testoX, simbolo.testoY + ascendente[i]), simbolo.testo);
                }
                ultimoStile = 0xFFFFFFFFu;
                break;
            }
            case TipoOperazione::Testo: {
                if (op.dato >= testi.size() || caratteri.empty()) break;
                const QFont& f = fontDi(s);
                const std::size_t i = s.carattere < caratteri.size() ? s.carattere : 0;
                p.setFont(f);
                p.setPen(ColoreStampa(s.coloreTesto));
                p.drawText(QPointF(op.x1, op.y1 + ascendente[i]), testi[op.dato]);
                ultimoStile = 0xFFFFFFFFu;
                break;
            }
        }
    });
    svuota();
    p.restore();
}

QImage ImmaginePagina(const DocumentoStampa& doc, int indice, double dpi)
{
    const int w = std::max(1, static_cast<int>(std::ceil(doc.PageWidth() * dpi / 1440.0)));
    const int h = std::max(1, static_cast<int>(std::ceil(doc.PageHeight() * dpi / 1440.0)));
    QImage img(w, h, QImage::Format_RGB32);
    const int dpm = static_cast<int>(std::lround(dpi / 0.0254));
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    ScalaTwips(p, img);
    DisegnaPagina(p, doc, indice);
    return img;
}

bool PuntoNero(QRgb c)
{
    return (c & 0xFFFFFF) != 0xFFFFFF && 299 * qRed(c) + 587 * qGreen(c) + 114 * qBlue(c) < kSogliaPuntoNero * 1000;
}

double RisoluzionePunti(const DocumentoStampa& doc)
{
    if (doc.Stampante().risoluzione > 0) return doc.Stampante().risoluzione;
    return RisoluzioneZpl(doc);
}

QSize PuntiPagina(const DocumentoStampa& doc, double dpi)
{
    const double k = dpi / 1440.0;
    return {std::max(1, int(std::ceil(doc.PageWidth() * k - 1e-6))), std::max(1, int(std::ceil(doc.PageHeight() * k - 1e-6)))};
}

QImage PaginaAPunti(const DocumentoStampa& doc, int indice, double dpi, QRect zona, const SceltaResa& scelta)
{
    if (!(dpi > 0)) return {};
    if (zona.isEmpty()) zona = QRect(QPoint(0, 0), PuntiPagina(doc, dpi));
    QImage punti(zona.size(), QImage::Format_Mono);
    punti.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    const int dpm = static_cast<int>(std::lround(dpi / 0.0254));
    punti.setDotsPerMeterX(dpm);
    punti.setDotsPerMeterY(dpm);
    punti.fill(0);
    if (indice < 0 || indice >= doc.PageCount()) return punti;
    const double k = dpi / 1440.0;
    // Bands of about eight megabytes of colour.
    const int banda = std::clamp(int((8 << 20) / (4 * qint64(zona.width()))), 16, zona.height());
    QImage colore(zona.width(), banda, QImage::Format_RGB32);
    for (int y0 = 0; y0 < zona.height(); y0 += banda) {
        colore.fill(Qt::white);
        {
            QPainter p(&colore);
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setRenderHint(QPainter::TextAntialiasing, false);
            p.translate(-zona.x(), -zona.y() - y0);
            p.scale(k, k);
            DisegnaPagina(p, doc, indice, dpi, scelta);
        }
        const int righe = std::min(banda, zona.height() - y0);
        for (int y = 0; y < righe; ++y) {
            const auto* sorgente = reinterpret_cast<const QRgb*>(colore.constScanLine(y));
            uchar* riga = punti.scanLine(y0 + y);
            for (int x = 0; x < zona.width(); ++x)
                if (PuntoNero(sorgente[x])) riga[x >> 3] |= uchar(0x80 >> (x & 7));
        }
    }
    return punti;
}

}  // namespace cartigo
