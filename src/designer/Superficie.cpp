#include "designer/Superficie.h"

#include "label/Conversioni.h"
#include "label/ImpaginazioneTesto.h"

#include "designer/clsGrip.h"
#include "label/CampiUnione.h"
#include "label/Caratteri.h"
#include "label/Colori.h"
#include "shell/StringTable.h"

#include <QFont>
#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace cartigo {

namespace Superficie {

QColor ColoreSfondo()
{
    return ColoreDaVB(qint32(0x8000000F));
}
QColor ColoreOmbra()
{
    return QColor(192, 192, 192);
}

namespace {
double larghezzaTwips(const LayoutEtichetta& l)
{
    return l.LarghezzaEtichetta * Millimetro;
}
double altezzaTwips(const LayoutEtichetta& l)
{
    return l.AltezzaEtichetta * Millimetro;
}
QRectF daAngoli(double x1, double y1, double x2, double y2)
{
    return QRectF(QPointF(x1, y1), QPointF(x2, y2));
}
}  // namespace

QRectF RettangoloEtichetta(const LayoutEtichetta& l)
{
    return daAngoli(OrigineX, OrigineY, OrigineX + larghezzaTwips(l), OrigineY + altezzaTwips(l));
}

QRectF OmbraSotto(const LayoutEtichetta& l)
{
    const double w = larghezzaTwips(l), h = altezzaTwips(l);
    return daAngoli(OrigineX + Ombra, OrigineY + h, OrigineX + w + Ombra, OrigineY + h + Ombra);
}

QRectF OmbraDestra(const LayoutEtichetta& l)
{
    const double w = larghezzaTwips(l), h = altezzaTwips(l);
    return daAngoli(OrigineX + w, OrigineY + Ombra, OrigineX + w + Ombra, OrigineY + h);
}

QPointF PuntoGriglia(int i, int j)
{
    return {OrigineX + PassoGriglia * i, OrigineY + PassoGriglia * j};
}

std::vector<Elemento> ElementiSuperficie(const LayoutEtichetta& layout, bool griglia)
{
    using T = Elemento::Tipo;
    const QColor nero(0, 0, 0), bianco(255, 255, 255);
    std::vector<Elemento> e;
    e.reserve(griglia ? 27000 : 8);
    auto riquadro = [&](const QRectF& r, const QColor& c) { e.push_back({T::Riquadro, r, {}, {}, {}, c}); };

    riquadro(OmbraSotto(layout), ColoreOmbra());
    riquadro(OmbraDestra(layout), ColoreOmbra());
    riquadro(RettangoloEtichetta(layout), bianco);
    e.push_back({T::Contorno, RettangoloEtichetta(layout), {}, {}, {}, nero});
    // The shape of a round label or a CD inside its box: a guide, never printed.
    const QRectF etichetta = RettangoloEtichetta(layout);
    const QColor guida(128, 128, 128);
    const auto cerchio = [&](double diametro) {
        QRectF r(0, 0, diametro, diametro);
        r.moveCenter(etichetta.center());
        e.push_back({T::Guida, r, {}, {}, {}, guida});
    };
    if (layout.Forma == FormaEtichetta::Ellisse) {
        e.push_back({T::Guida, etichetta, {}, {}, {}, guida});
    } else if (layout.Forma == FormaEtichetta::CD) {
        cerchio(layout.DiametroEsterno > 0 ? layout.DiametroEsterno * Millimetro
                                           : std::min(etichetta.width(), etichetta.height()));
        if (layout.DiametroForo > 0) cerchio(layout.DiametroForo * Millimetro);
    }
    // The rulers are the window's (Righello), at the edges of the view.
    if (griglia) {
        for (int i = 0; i < PuntiGriglia; ++i)
            for (int j = 0; j < PuntiGriglia; ++j) e.push_back({T::Punto, {}, {}, PuntoGriglia(i, j), {}, nero});
    }
    return e;
}

std::vector<TaccaRighello> TaccheRighello(double da, double a, double twipsPerPixel, bool pollici, int spazioNumeri)
{
    std::vector<TaccaRighello> r;
    if (!(twipsPerPixel > 0) || !(a > da)) return r;
    // The unit (a millimetre or an inch) and the steps its numbers and marks may take, in units.
    const double unita = pollici ? 1440.0 : Millimetro;
    static const double passiMm[] = {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000};
    static const double passiPollici[] = {1.0 / 16, 1.0 / 8, 0.25, 0.5, 1, 2, 5, 10, 20, 50};
    const auto& passi = pollici ? passiPollici : passiMm;
    const auto primo = [&](double pixel, double minimo) {
        for (double p : passi)
            if (p >= minimo && p * unita / twipsPerPixel >= pixel) return p;
        return passi[std::size(passi) - 1];
    };
    const double numeri = primo(spazioNumeri, pollici ? 1 : 10);
    const double tacche = std::min(numeri, primo(3, 0));
    // The middle mark: half the numbers' step when it holds whole marks.
    const double meta = numeri / 2;
    const long long inizio = static_cast<long long>(std::floor(da / (tacche * unita)));
    const long long fine = static_cast<long long>(std::ceil(a / (tacche * unita)));
    for (long long i = inizio; i <= fine; ++i) {
        const double valore = double(i) * tacche;  // units
        const double resto = std::remainder(valore, numeri);
        TaccaRighello t{valore * unita, 0, {}};
        if (std::abs(resto) < 1e-9) {
            t.livello = 2;
            t.numero = QString::number(std::lround(valore));
        } else if (std::abs(std::remainder(valore, meta)) < 1e-9 && meta >= tacche) {
            t.livello = 1;
        }
        r.push_back(std::move(t));
    }
    return r;
}

bool MisuraInPollici()
{
    return QLocale::system().measurementSystem() != QLocale::MetricSystem;
}

QSize DimensioniPixel(const ScalaSuperficie& scala)
{
    return {int(std::ceil(Larghezza / scala.x)), int(std::ceil(Altezza / scala.y))};
}

namespace {
// Twips to a whole pixel, as the screen places a drawing coordinate.
QPoint pixel(QPointF twips, const ScalaSuperficie& s)
{
    return {int(std::lround(twips.x() / s.x)), int(std::lround(twips.y() / s.y))};
}
}  // namespace

void PaintSurface(QPainter& p, const LayoutEtichetta& layout, bool griglia, const ScalaSuperficie& scala,
                  const QRect& zona)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    const QRect tutta(QPoint(0, 0), DimensioniPixel(scala));
    const QRect area = zona.isNull() ? tutta : zona;
    // Text reaches past its point: a margin keeps the numbers at the edge of the part.
    const QRect vicino = area.adjusted(-40, -40, 40, 40);
    p.fillRect(area, ColoreSfondo());
    // A narrow face, so that two-digit numbers fit beside the left ruler's ticks.
    QFont carattere;
    carattere.setFamilies({QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans Narrow"),
                           QStringLiteral("Sans Serif")});
    carattere.setStretch(QFont::SemiCondensed);
    carattere.setPixelSize(std::max(1, int(std::lround(7.5 * 20 / scala.y))));
    p.setFont(carattere);
    const int ascesa = p.fontMetrics().ascent();
    for (const auto& e : ElementiSuperficie(layout, griglia)) {
        if (!zona.isNull()) {
            const QRectF limiti = e.tipo == Elemento::Tipo::Linea ? QRectF(e.linea.p1(), e.linea.p2()).normalized()
                                  : e.tipo == Elemento::Tipo::Testo || e.tipo == Elemento::Tipo::Punto
                                      ? QRectF(e.punto, QSizeF(0, 0))
                                      : e.rettangolo.normalized();
            const QRectF px = scala.inPixel(limiti);
            if (!vicino.intersects(QRect(px.toRect()).adjusted(-1, -1, 1, 1))) continue;
        }
        switch (e.tipo) {
            case Elemento::Tipo::Riquadro:
                // Both corners are inside the filled box.
                p.fillRect(QRect(pixel(e.rettangolo.topLeft(), scala), pixel(e.rettangolo.bottomRight(), scala)),
                           e.colore);
                break;
            case Elemento::Tipo::Contorno: {
                p.setPen(QPen(e.colore, 0));
                const QRect r(pixel(e.rettangolo.topLeft(), scala), pixel(e.rettangolo.bottomRight(), scala));
                p.setBrush(Qt::NoBrush);
                p.drawRect(r.adjusted(0, 0, -1, -1).normalized());
                break;
            }
            case Elemento::Tipo::Linea:
                p.setPen(QPen(e.colore, 0));
                p.drawLine(pixel(e.linea.p1(), scala), pixel(e.linea.p2(), scala));
                break;
            case Elemento::Tipo::Testo:
                p.setPen(e.colore);
                p.drawText(pixel(e.punto, scala) + QPoint(0, ascesa), e.testo);
                break;
            case Elemento::Tipo::Punto:
                p.setPen(QPen(e.colore, 0));
                p.drawPoint(pixel(e.punto, scala));
                break;
            case Elemento::Tipo::Guida:
                p.save();
                p.setClipRect(scala.inPixel(RettangoloEtichetta(layout)));
                p.setRenderHint(QPainter::Antialiasing);
                p.setPen(QPen(e.colore, 1, Qt::DashLine));
                p.setBrush(Qt::NoBrush);
                p.drawEllipse(scala.inPixel(e.rettangolo));
                p.restore();
                break;
        }
    }
    p.restore();
}

namespace {
QImage caricaRisorsa(const char* nome)
{
    QImage i(QStringLiteral(":/cartigo/designer/") + QLatin1String(nome));
    if (i.isNull()) {  // never expected: the pictures are built in
        i = QImage(16, 16, QImage::Format_RGB32);
        i.fill(Qt::lightGray);
    }
    return i;
}
}  // namespace

const QImage& ImmagineSegnaposto()
{
    static const QImage i = caricaRisorsa("immagine_campione.png");
    return i;
}

const QImage& ImmagineOggetto(const OggettoEtichetta& o)
{
    if (o.Picture.isNull() || o.Collegato()) return ImmagineSegnaposto();
    return o.Picture;
}

QString CampoBarcode(const OggettoEtichetta& o)
{
    if (o.Collegato()) return QLatin1Char('[') + o.DataMember + QLatin1Char(']');
    return ModelloUnione(o.ToolTipText).Campi().isEmpty() ? QString() : o.ToolTipText;
}

namespace {
// The data a barcode shows with the variables' values: none when it is linked or names
// anything else than variables.
std::optional<QString> datiVariabili(const OggettoEtichetta& o, RisolutoreValori* valori)
{
    if (!valori || o.Collegato() || !valori->UsaVariabili(o.ToolTipText)) return std::nullopt;
    bool altro = false;
    const QString dati = valori->Componi(o.ToolTipText, [&](const QString& nome) {
        auto v = valori->ValoreVariabile(nome);
        altro = altro || !v;
        return v;
    });
    if (altro) return std::nullopt;
    return dati;
}
}  // namespace

DisegnoBarcode DisegnoBarcodeOggetto(const OggettoEtichetta& o, RisolutoreValori* valori)
{
    const ParametriBarcode parametri = ParametriBarcode::DaTag(o.Tag);
    const auto variabili = datiVariabili(o, valori);
    const QString dati = variabili ? *variabili
                         : CampoBarcode(o).isEmpty() ? o.ToolTipText
                                                     : DatiCampione(parametri.tipo);
    // the unturned box (the painter turns it)
    const double wc = o.LarghezzaContenuto(), hc = o.AltezzaContenuto();
    const RiquadroBarcode riquadro{(o.Left + o.Width / 2.0 - wc / 2) / Millimetro,
                                   (o.Top + o.Height / 2.0 - hc / 2) / Millimetro, wc / Millimetro, hc / Millimetro};
    return DisegnoSimbolo(parametri, dati, riquadro, MisuraTestoTwips());
}

QString AvvisoBarcode(const OggettoEtichetta& o, const DisegnoBarcode& d)
{
    QString tipo = NomeTipoBarcode(ParametriBarcode::DaTag(o.Tag).tipo);
    if (tipo.isEmpty()) tipo = QStringLiteral("?");
    if (!d.messaggio.isEmpty()) return tipo + QLatin1Char('\n') + d.messaggio;
    return o.ToolTipText.isEmpty() && !o.Collegato() ? tipo + QLatin1Char('\n') + LoadResString(1616) : tipo;
}

namespace {
// The symbol, in grey with its field named in a corner when it stands for the records'
// values; or a frame that says why there is none.
void disegnaBarcode(QPainter& p, const OggettoEtichetta& o, const QRect& r, const ScalaSuperficie& scala,
                    RisolutoreValori* valori)
{
    const DisegnoBarcode d = DisegnoBarcodeOggetto(o, valori);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(std::max(1, int(std::lround(8 * 20.0 / scala.y))));  // 8 points
    p.setFont(f);
    const QFontMetrics fm(f);
    p.setClipRect(r);
    if (d.vuoto()) {
        p.setPen(QColor(128, 128, 128));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        p.drawText(r.adjusted(2, 2, -2, -2), Qt::AlignCenter | Qt::TextWordWrap, AvvisoBarcode(o, d));
        return;
    }
    const QString origine = CampoBarcode(o);
    p.save();
    p.scale(1 / scala.x, 1 / scala.y);
    DipingiBarcode(p, d, origine.isEmpty() ? QColor(Qt::black) : QColor(Qt::darkGray));
    p.restore();
    if (!origine.isEmpty()) {
        const QString campo = fm.elidedText(origine, Qt::ElideRight, r.width() - 6);
        const QRect cartellino(r.topLeft(), QSize(fm.horizontalAdvance(campo) + 6, fm.height() + 2));
        p.fillRect(cartellino, QColor(255, 255, 225));
        p.setPen(QColor(128, 128, 128));
        p.drawRect(cartellino.adjusted(0, 0, -1, -1));
        p.setPen(Qt::black);
        p.drawText(cartellino, Qt::AlignCenter, campo);
    }
}
}  // namespace

QFont CarattereOggetto(const OggettoEtichetta& o, const ScalaSuperficie& scala)
{
    QFont f = Caratteri::CarattereTesto(o.FontName);
    // Points to pixels: 20 twips per point.
    f.setPixelSize(std::max(1, int(std::lround(o.FontSize * 20.0 / scala.y))));
    f.setBold(o.FontBold);
    f.setItalic(o.FontItalic);
    return f;
}

void DisegnaOggetto(QPainter& p, const OggettoEtichetta& o, const ScalaSuperficie& scala, RisolutoreValori* valori)
{
    // A turned object is drawn unturned in the box of the same centre, the painter turning it.
    const QPointF centro(o.Left + o.Width / 2.0, o.Top + o.Height / 2.0);
    const double wc = o.LarghezzaContenuto(), hc = o.AltezzaContenuto();
    const QRectF cornice = scala.inPixel(QRectF(centro.x() - wc / 2, centro.y() - hc / 2, wc, hc));
    const QRect r(QPoint(int(std::lround(cornice.left())), int(std::lround(cornice.top()))),
                  QPoint(int(std::lround(cornice.right())) - 1, int(std::lround(cornice.bottom())) - 1));
    if (o.tipo == TipoOggetto::Linea || o.tipo == TipoOggetto::Ellisse) {
        DisegnaForma(p, o, scala);
        return;
    }
    if (r.width() <= 0 || r.height() <= 0) return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    if (o.Rotazione.Gradi != 0) {
        const QPointF c = scala.inPixel(centro);
        p.translate(c);
        p.rotate(o.Rotazione.Gradi);
        p.translate(-c);
    }
    switch (o.tipo) {
        case TipoOggetto::Testo: {
            p.setClipRect(r);
            if (o.BackStyle == 1) p.fillRect(r, ColoreDaVB(o.BackColor));
            p.setFont(CarattereOggetto(o, scala));
            // the variables' next values, in grey as data bound to the records are
            const bool variabili = valori && !o.Collegato() && valori->UsaVariabili(o.Caption);
            p.setPen(variabili ? QColor(Qt::darkGray) : ColoreDaVB(o.ForeColor));
            const QString testo = variabili ? valori->Componi(o.Caption, [valori](const QString& nome) {
                return valori->ValoreVariabile(nome);
            })
                                            : o.Caption;
            const int allineamento = o.Alignment == 1   ? Qt::AlignRight
                                     : o.Alignment == 2 ? Qt::AlignHCenter
                                                        : Qt::AlignLeft;
            if (o.Adattamento.Predefinito()) {
                p.drawText(r, allineamento | Qt::AlignTop | Qt::TextWordWrap, testo);
                break;
            }
            // The layout the print makes, shrinking included.
            OpzioniImpaginazione opzioni;
            opzioni.orizzontale = Qt::Alignment(allineamento);
            opzioni.verticale = o.Adattamento.Verticale;
            opzioni.aCapo = o.Adattamento.ACapo;
            const QRectF box(r.topLeft(), QSizeF(r.width() + 1, r.height() + 1));
            const auto carattere = [&](float punti) {
                OggettoEtichetta dimensionato = o;
                dimensionato.FontSize = punti;
                return CarattereOggetto(dimensionato, scala);
            };
            const float massimo = float(modCartigo::ArrotondaPari(o.FontSize));
            const float punti = o.Adattamento.Riduci && massimo > o.Adattamento.Minimo
                                    ? DimensioneCheEntra(testo, carattere, box, opzioni, massimo,
                                                         std::max(4.0f, o.Adattamento.Minimo), nullptr)
                                    : massimo;
            const QFont f = carattere(punti);
            DisegnaTestoImpaginato(p, ImpaginaTesto(testo, f, box, opzioni), f, box);
            break;
        }
        case TipoOggetto::Barcode:
            disegnaBarcode(p, o, r, scala, valori);
            break;
        case TipoOggetto::Immagine:
            p.drawImage(r, ImmagineOggetto(o));
            break;
        case TipoOggetto::Rettangolo: {
            if (o.BackStyle == 1) p.fillRect(r, ColoreDaVB(o.BackColor));
            // The outline grows inwards with its thickness (pixels).
            const int spessore = std::clamp(o.BorderWidth, 1, std::max(1, std::min(r.width(), r.height()) / 2));
            const QColor c = ColoreDaVB(o.BorderColor);
            for (int k = 0; k < spessore; ++k) {
                const QRect anello = r.adjusted(k, k, -k, -k);
                p.fillRect(QRect(anello.left(), anello.top(), anello.width(), 1), c);
                p.fillRect(QRect(anello.left(), anello.bottom(), anello.width(), 1), c);
                p.fillRect(QRect(anello.left(), anello.top(), 1, anello.height()), c);
                p.fillRect(QRect(anello.right(), anello.top(), 1, anello.height()), c);
            }
            break;
        }
        case TipoOggetto::Linea:
        case TipoOggetto::Ellisse:
            break;
    }
    p.restore();
}

QPen PennaContorno(const ContornoForma& c, double unitaPerMm)
{
    QPen penna(ColoreDaVB(c.Colore));
    penna.setWidthF(std::max(0.0, double(c.Spessore) * unitaPerMm));
    penna.setCosmetic(c.Spessore <= 0);
    penna.setStyle(c.Tratto == TrattoLinea::Tratteggiato  ? Qt::DashLine
                   : c.Tratto == TrattoLinea::Punteggiato ? Qt::DotLine
                                                          : Qt::SolidLine);
    penna.setCapStyle(Qt::FlatCap);
    return penna;
}

void DisegnaForma(QPainter& p, const OggettoEtichetta& o, const ScalaSuperficie& scala)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(PennaContorno(o.Contorno, DocumentoEtichetta::TwipsPerMm / scala.y));
    if (o.tipo == TipoOggetto::Linea) {
        p.drawLine(scala.inPixel(QPointF(o.X1(), o.Y1())), scala.inPixel(QPointF(o.X2(), o.Y2())));
    } else {
        p.setBrush(o.Riempimento.Pieno ? QBrush(ColoreDaVB(o.Riempimento.Colore)) : QBrush(Qt::NoBrush));
        p.drawEllipse(scala.inPixel(QRectF(o.Left, o.Top, o.Width, o.Height)));
    }
    p.restore();
}

void DisegnaOggetti(QPainter& p, const DocumentoEtichetta& doc, const ScalaSuperficie& scala)
{
    RisolutoreValori valori = ValoriProssimaStampa(doc, QDateTime::currentDateTime());
    for (const OggettoEtichetta* o : doc.OrdineDisegno())
        if (o->Visible) DisegnaOggetto(p, *o, scala, doc.Variabili().isEmpty() ? nullptr : &valori);
}

bool Contiene(const OggettoEtichetta& o, double x, double y)
{
    return o.Left <= x && x < double(o.Left) + o.Width && o.Top <= y && y < double(o.Top) + o.Height;
}

bool SuLinea(const OggettoEtichetta& o, double x, double y)
{
    const QPointF a(o.X1(), o.Y1()), b(o.X2(), o.Y2()), p(x, y);
    const QPointF ab = b - a;
    const double lunghezza2 = QPointF::dotProduct(ab, ab);
    const double t = lunghezza2 > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / lunghezza2, 0.0, 1.0) : 0.0;
    const QPointF d = p - (a + t * ab);
    const double presa = std::max(PresaLinea, o.Contorno.Spessore * DocumentoEtichetta::TwipsPerMm / 2.0);
    return QPointF::dotProduct(d, d) <= presa * presa;
}

OggettoEtichetta* OggettoCliccato(const DocumentoEtichetta& doc, double x, double y)
{
    const auto& ordine = doc.OrdineDisegno();
    for (auto it = ordine.rbegin(); it != ordine.rend(); ++it) {
        OggettoEtichetta* o = *it;
        if (!o->Visible || o->tipo == TipoOggetto::Rettangolo) continue;
        if (o->tipo == TipoOggetto::Linea ? SuLinea(*o, x, y) : Contiene(*o, x, y)) return o;
    }
    return nullptr;
}

OggettoEtichetta* PrimoOggettoNelPunto(const DocumentoEtichetta& doc, double x, double y)
{
    for (OggettoEtichetta* o : doc.Oggetti())
        if (o->Visible && Contiene(*o, x, y)) return o;
    return nullptr;
}

std::array<QPointF, 8> PosizioniManiglie(const QRectF& rett, QPointF contenitore, int lato,
                                         const ScalaSuperficie& scala)
{
    const double L = rett.left() - contenitore.x(), T = rett.top() - contenitore.y();
    const double W = rett.width(), H = rett.height();
    const double hw = double(qint64(std::nearbyint(lato * scala.x)) / 2);
    const double hh = double(qint64(std::nearbyint(lato * scala.y)) / 2);
    const double fx = std::nearbyint(0.5 * scala.x), fy = std::nearbyint(0.5 * scala.y);
    return {{
        {L - hw + fx, T - hh + fy},
        {L + W / 2 - hw, T - hh + fy},
        {L + W - hw - fx, T - hh + fy},
        {L + W - hw - fx, T + H / 2 - hh},
        {L + W - hw - fx, T + H - hh - fy},
        {L + W / 2 - hw, T + H - hh - fy},
        {L - hw + fx, T + H - hh - fy},
        {L - hw + fx, T + H / 2 - hh},
    }};
}

namespace {
// A value for a 16-bit property: rounded halves to even, nothing when out of range.
std::optional<int> intero16(double v)
{
    const double r = std::nearbyint(v);
    if (r > 32767 || r < -32768) return std::nullopt;
    return int(r);
}
}  // namespace

double LimitaZoom(double zoom)
{
    return std::clamp(zoom, ZoomMinimo, ZoomMassimo);
}

namespace {
constexpr double PassiZoom[] = {0.25, 1.0 / 3, 0.5, 2.0 / 3, 0.75, 1, 1.25, 1.5, 2, 3, 4, 6, 8};
}

double ZoomSuccessivo(double zoom, bool piu)
{
    if (piu) {
        for (double p : PassiZoom)
            if (p > zoom * 1.001) return p;
        return ZoomMassimo;
    }
    for (auto it = std::rbegin(PassiZoom); it != std::rend(PassiZoom); ++it)
        if (*it < zoom / 1.001) return *it;
    return ZoomMinimo;
}

double ZoomAdattato(const LayoutEtichetta& layout, QSizeF vista, const ScalaSuperficie& schermo)
{
    constexpr double margine = 200;
    const QRectF etichetta = RettangoloEtichetta(layout);
    const double larghezza = etichetta.right() + Ombra + margine;
    const double altezza = etichetta.bottom() + Ombra + margine;
    if (vista.width() <= 0 || vista.height() <= 0 || larghezza <= 0 || altezza <= 0) return 1;
    return LimitaZoom(std::min(vista.width() * schermo.x / larghezza, vista.height() * schermo.y / altezza));
}

double ZoomIniziale(const LayoutEtichetta& layout, QSizeF vista, const ScalaSuperficie& schermo)
{
    const double adattato = ZoomAdattato(layout, vista, schermo);
    return adattato < 1 || adattato > 2 ? adattato : 1;
}

EsitoLayout LayoutDesigner(const IngressoLayout& in)
{
    EsitoLayout r;
    const double top = in.toolbar, sb = in.statusBar;
    const double hAltezza = SpessoreScrollBar, vLarghezza = SpessoreScrollBar;
    const double hLarghezza = in.larghezzaInterna - SpessoreScrollBar;
    const double vAltezza = in.altezzaInterna - SpessoreScrollBar - top - sb;
    r.hscroll = QRectF(0, in.altezzaInterna - hAltezza - sb, hLarghezza, hAltezza);
    r.vscroll = QRectF(in.larghezzaInterna - vLarghezza, top, vLarghezza, vAltezza);
    r.massimoH = intero16(std::fabs(Larghezza - in.larghezzaInterna));
    r.massimoV = intero16(std::fabs(Altezza - in.altezzaInterna));
    r.picBox = QPointF(-in.valoreH, -in.valoreV);
    return r;
}

}  // namespace Superficie
}  // namespace cartigo
