#include "barcode/SimboloBarcode.h"

#include <algorithm>
#include <cmath>

namespace cartigo {

namespace {

constexpr double kTwipPerMm = 56.7;
// The kinds' digits (TipoBarcode) whose digits have a standard layout.
enum class TipoCifre { EAN = 1, UPC = 6 };
constexpr double kTwipPerPollice = 1440;

// Bearer bars of ITF-14, in modules, and the most of the bars' height they may take.
constexpr double kModuliSostegno = 5;
constexpr double kQuotaMassimaSostegno = 0.2;

// The runs of dark modules of a row of a matrix: [inizio, fine) column pairs.
std::vector<std::pair<int, int>> Tratti(const SimboloBarcode& s, int riga)
{
    std::vector<std::pair<int, int>> tratti;
    const quint8* m = s.moduli.data() + std::size_t(riga) * s.colonne;
    for (int i = 0; i < s.colonne;) {
        if (!m[i]) {
            ++i;
            continue;
        }
        int fine = i;
        while (fine < s.colonne && m[fine]) ++fine;
        tratti.emplace_back(i, fine);
        i = fine;
    }
    return tratti;
}

// The dark modules of a matrix as rectangles, a run that repeats in the rows below growing
// down instead of adding rectangles; `colonna(i)` and `riga(j)` give module edges.
template <class Colonna, class Riga>
void RettangoliMatrice(const SimboloBarcode& s, Colonna colonna, Riga riga, std::vector<QRectF>& out)
{
    struct Aperto {
        std::pair<int, int> tratto;
        std::size_t rettangolo;
    };
    std::vector<Aperto> aperti, prossimi;
    for (int y = 0; y < s.righe; ++y) {
        const double cima = riga(y), fondo = riga(y + 1);
        prossimi.clear();
        auto a = aperti.cbegin();
        for (const auto& t : Tratti(s, y)) {
            while (a != aperti.cend() && a->tratto.first < t.first) ++a;
            if (a != aperti.cend() && a->tratto == t) {
                out[a->rettangolo].setBottom(fondo);
                prossimi.push_back(*a);
            } else {
                prossimi.push_back({t, out.size()});
                out.emplace_back(QPointF(colonna(t.first), cima), QPointF(colonna(t.second), fondo));
            }
        }
        std::swap(aperti, prossimi);
    }
}

double ModuliMatriceX(const SimboloBarcode& s)
{
    return double(s.quieteSinistra) + s.colonne + s.quieteDestra;
}

double ModuliMatriceY(const SimboloBarcode& s)
{
    return s.righe * double(s.altezzaRiga) + 2.0 * s.quieteVerticale;
}

// The modules from the first bar's left edge to the last bar's right edge.
int ModuliBarre(const SimboloBarcode& s)
{
    int n = 0;
    for (std::size_t i = 1; i < s.elementi.size(); ++i) n += s.elementi[i];
    return n;
}

bool Lunga(const std::vector<std::pair<int, int>>& lunghe, int da, int a)
{
    for (const auto& [inizio, fine] : lunghe)
        if (da >= inizio && a <= fine) return true;
    return false;
}

// The symbol's kind by the standard layout's measures: 13 EAN-13, 8 EAN-8, 12 UPC-A,
// 6 UPC-E; 0 for none. `cifre` gets the digits.
int FormaCifre(const SimboloBarcode& s, QString* cifre)
{
    if (!s.cifreStandard || s.posizioneTesto != 0 || s.bidimensionale() || s.dueLarghezze || s.elementi.empty())
        return 0;
    const auto tipo = static_cast<TipoCifre>(s.tipo);
    const QString& t = tipo == TipoCifre::EAN ? s.dati : s.testo;
    if (!std::all_of(t.begin(), t.end(), [](QChar c) { return c >= u'0' && c <= u'9'; })) return 0;
    const int barre = ModuliBarre(s);
    *cifre = t;
    if (tipo == TipoCifre::EAN && t.size() == 13 && barre == 95) return 13;
    if (tipo == TipoCifre::EAN && t.size() == 8 && barre == 67) return 8;
    if (tipo == TipoCifre::UPC && t.size() == 12 && barre == 95) return 12;
    if (tipo == TipoCifre::UPC && t.size() == 8 && barre == 51) return 6;
    return 0;
}

}  // namespace

std::vector<GruppoCifre> GruppiCifre(const SimboloBarcode& s)
{
    QString c;
    switch (FormaCifre(s, &c)) {
        case 13:
            return {{c.left(1), -7, -1, false}, {c.mid(1, 6), 3, 45, false}, {c.mid(7, 6), 50, 92, false}};
        case 8:
            return {{c.left(4), 3, 31, false}, {c.mid(4, 4), 36, 64, false}};
        case 12:
            return {{c.left(1), -7, -1, true},
                    {c.mid(1, 5), 10, 45, false},
                    {c.mid(6, 5), 50, 85, false},
                    {c.right(1), 96, 102, true}};
        case 6:
            return {{c.left(1), -7, -1, true}, {c.mid(1, 6), 3, 45, false}, {c.right(1), 52, 58, true}};
        default:
            return {};
    }
}

std::vector<std::pair<int, int>> BarreLunghe(const SimboloBarcode& s)
{
    QString c;
    switch (FormaCifre(s, &c)) {
        case 13:
            return {{0, 3}, {45, 50}, {92, 95}};
        case 8:
            return {{0, 3}, {31, 36}, {64, 67}};
        case 12:
            return {{0, 10}, {45, 50}, {85, 95}};
        case 6:
            return {{0, 3}, {45, 51}};
        default:
            return {};
    }
}

double MisureSimbolo::Moduli(double rapporto) const
{
    return stretti + larghi * rapporto;
}

MisureSimbolo Misure(const SimboloBarcode& s)
{
    MisureSimbolo m;
    m.stretti = s.quieteSinistra + s.quieteDestra;
    for (const quint8 e : s.elementi) {
        if (s.dueLarghezze && e == 2)
            ++m.larghi;
        else
            m.stretti += e;
    }
    return m;
}

TracciatoSimbolo TracciaVettoriale(const SimboloBarcode& s)
{
    TracciatoSimbolo t;
    if (s.bidimensionale()) {
        const double mx = ModuliMatriceX(s), my = ModuliMatriceY(s);
        const double modulo = std::min(s.larghezza / mx, s.altezza / my);
        if (!(modulo > 0)) return t;
        const double x0 = s.x + (s.larghezza - mx * modulo) / 2 + s.quieteSinistra * modulo;
        const double y0 = s.y + (s.altezza - my * modulo) / 2 + s.quieteVerticale * modulo;
        const double riga = s.altezzaRiga * modulo;
        t.modulo = modulo;
        RettangoliMatrice(
            s, [&](int i) { return x0 + i * modulo; }, [&](int j) { return y0 + j * riga; }, t.scuri);
        return t;
    }
    if (s.elementi.empty()) return t;
    const MisureSimbolo m = Misure(s);
    double rapporto = 2;
    if (s.dueLarghezze && s.larghezza / m.Moduli(2) < kModuloMinimoRapporto2Mm * kTwipPerMm - 1e-9)
        rapporto = kRapportoCode39Stretto;
    const double mw = s.larghezza / m.Moduli(rapporto);
    t.modulo = mw;
    t.rapporto = s.dueLarghezze ? rapporto : 1;
    if (!(s.fondo > s.cima)) return t;
    double cima = s.cima, fondo = s.fondo;
    if (s.barreSostegno) {
        const double spessore = std::min(kModuliSostegno * mw, kQuotaMassimaSostegno * (fondo - cima));
        t.scuri.emplace_back(QPointF(s.x, cima), QPointF(s.x + s.larghezza, cima + spessore));
        t.scuri.emplace_back(QPointF(s.x, fondo - spessore), QPointF(s.x + s.larghezza, fondo));
        cima += spessore;
        fondo -= spessore;
    }
    const double x0 = s.x + s.quieteSinistra * mw;
    const auto lunghe = BarreLunghe(s);
    const double prolungamento =
        lunghe.empty() ? 0 : std::max(0.0, std::min(kModuliProlungamento * mw, (s.y + s.altezza - fondo) / 2));
    const int primaBarra = s.elementi[0];
    double pos = 0;  // in modules from x0
    for (std::size_t i = 0; i < s.elementi.size(); ++i) {
        const double w = s.dueLarghezze && s.elementi[i] == 2 ? rapporto : double(s.elementi[i]);
        if (i % 2 == 1) {
            const int da = int(pos) - primaBarra;
            const double basso = Lunga(lunghe, da, da + int(w)) ? fondo + prolungamento : fondo;
            t.scuri.emplace_back(QPointF(x0 + pos * mw, cima), QPointF(x0 + (pos + w) * mw, basso));
        }
        pos += w;
    }
    for (const GruppoCifre& g : GruppiCifre(s))
        t.cifre.push_back({g.testo, x0 + (primaBarra + (g.da + g.a) / 2.0) * mw, (g.a - g.da) * mw, g.piccolo});
    if (s.coprente) t.chiaro = QRectF(QPointF(x0, cima), QPointF(x0 + pos * mw, fondo));
    return t;
}

std::optional<TracciatoSimbolo> TracciaAPunti(const SimboloBarcode& s, const QTransform& mappa, double dpi,
                                              int riduzione)
{
    if (!(dpi > 0) || mappa.m12() != 0 || mappa.m21() != 0 || !(mappa.m11() > 0) || !(mappa.m22() > 0))
        return std::nullopt;
    // Dots are counted from the paper's corner; a twip is dpi / 1440 dots.
    const double k = dpi / kTwipPerPollice;
    // A sixteenth of a dot to the right and down: an edge exactly on a dot boundary is
    // the rasteriser's toss-up (a PDF's rounding puts it a hair either side), so one that
    // fills every dot a shape touches would print a bar one dot wider or not. Just past
    // the boundary, such a rasteriser fills each bar's dots plus exactly one, which the
    // reduction takes back; one that fills the dots whose centres are covered fills
    // exactly the bar's.
    const QPointF origine = mappa.map(QPointF(0, 0)) + QPointF(mappa.m11() / k, mappa.m22() / k) / 16;
    const double passoX = mappa.m11() / k, passoY = mappa.m22() / k;
    const auto X = [&](double punti) { return origine.x() + punti * passoX; };
    const auto Y = [&](double punti) { return origine.y() + punti * passoY; };
    const auto dentro = [](double da, double a, long* primo, long* ultimo) {
        *primo = std::lround(std::ceil(da - 1e-6));
        *ultimo = std::lround(std::floor(a + 1e-6));
        return *ultimo - *primo;
    };
    long sinistra = 0, destra = 0, alto = 0, basso = 0;
    const long n = dentro(s.x * k, (s.x + s.larghezza) * k, &sinistra, &destra);

    TracciatoSimbolo t;
    if (s.bidimensionale()) {
        const long nY = dentro(s.y * k, (s.y + s.altezza) * k, &alto, &basso);
        const double mx = ModuliMatriceX(s), my = ModuliMatriceY(s);
        const long modulo = std::lround(std::floor(std::min(n / mx, nY / my) + 1e-9));
        if (modulo < 1) return std::nullopt;
        const long riga = std::lround(s.altezzaRiga * modulo);
        const long largo = std::lround(mx * modulo);
        const long alti = s.righe * riga + 2L * s.quieteVerticale * modulo;
        const long x0 = sinistra + (n - largo) / 2 + long(s.quieteSinistra) * modulo;
        const long y0 = alto + (nY - alti) / 2 + long(s.quieteVerticale) * modulo;
        t.modulo = modulo * passoX;
        RettangoliMatrice(
            s, [&](int i) { return X(double(x0 + i * modulo)); }, [&](int j) { return Y(double(y0 + j * riga)); },
            t.scuri);
        return t;
    }
    if (s.elementi.empty()) return std::nullopt;
    const MisureSimbolo m = Misure(s);
    // The widest narrow module whose symbol fits; a wide element is 2 narrow ones, or
    // 2.5 rounded to whole dots under 0.508 mm.
    const auto largo = [&](long stretto) -> long {
        if (!s.dueLarghezze) return 0;
        if (stretto * 25.4 / dpi >= kModuloMinimoRapporto2Mm - 1e-9) return 2 * stretto;
        return std::lround(std::floor(kRapportoCode39Stretto * stretto + 0.5));
    };
    const auto ampiezza = [&](long stretto) { return m.stretti * stretto + m.larghi * largo(stretto); };
    long modulo = std::lround(std::floor(n / m.Moduli(2) + 1e-9));
    while (modulo >= 1 && ampiezza(modulo) > n) --modulo;
    if (modulo < 1) return std::nullopt;
    const long wLargo = largo(modulo);
    t.modulo = modulo * passoX;
    t.rapporto = s.dueLarghezze ? double(wLargo) / modulo : 1;

    long cima = std::lround(s.cima * k), fondo = std::lround(s.fondo * k);
    if (fondo <= cima) return t;
    if (s.barreSostegno) {
        const long spessore =
            std::max(1L, std::lround(std::min(kModuliSostegno * modulo, kQuotaMassimaSostegno * (fondo - cima))));
        t.scuri.emplace_back(QPointF(X(sinistra), Y(cima)), QPointF(X(destra), Y(cima + spessore)));
        t.scuri.emplace_back(QPointF(X(sinistra), Y(fondo - spessore)), QPointF(X(destra), Y(fondo)));
        cima += spessore;
        fondo -= spessore;
    }
    const long inizio = sinistra + (n - ampiezza(modulo)) / 2 + long(s.quieteSinistra) * modulo;
    const auto lunghe = BarreLunghe(s);
    long prolungamento = 0;
    if (!lunghe.empty()) {
        const long piede = std::lround((s.y + s.altezza) * k);
        prolungamento = std::max(0L, std::min(long(kModuliProlungamento) * modulo, (piede - fondo) / 2));
    }
    const long primaBarra = inizio + long(s.elementi[0]) * modulo;
    long pos = inizio;
    for (std::size_t i = 0; i < s.elementi.size(); ++i) {
        const long w = s.dueLarghezze && s.elementi[i] == 2 ? wLargo : long(s.elementi[i]) * modulo;
        if (i % 2 == 1) {
            // The reduction keeps at least one dot of every bar.
            const long r = std::clamp(long(riduzione), 0L, w - 1);
            const int da = int((pos - primaBarra) / modulo);
            const long basso = Lunga(lunghe, da, da + int(w / modulo)) ? fondo + prolungamento : fondo;
            t.scuri.emplace_back(QPointF(X(double(pos + r / 2)), Y(cima)),
                                 QPointF(X(double(pos + w - (r - r / 2))), Y(basso)));
        }
        pos += w;
    }
    // The digits' places back in twips on the page.
    for (const GruppoCifre& g : GruppiCifre(s)) {
        const double centro = X(primaBarra + (g.da + g.a) / 2.0 * modulo);
        t.cifre.push_back({g.testo, (centro - mappa.dx()) / mappa.m11(), (g.a - g.da) * modulo / k, g.piccolo});
    }
    if (s.coprente) t.chiaro = QRectF(QPointF(X(inizio), Y(cima)), QPointF(X(pos), Y(fondo)));
    return t;
}

int RiduzioneBarre::Punti(double dpi) const
{
    if (!(dpi > 0)) return 0;
    switch (modo) {
        case Modo::Automatica:
            return dpi <= 300 + 1e-9 ? 1 : 0;
        case Modo::Punti:
            return std::max(0, int(std::lround(valore)));
        case Modo::Millimetri:
            return std::max(0, int(std::lround(valore * dpi / 25.4)));
    }
    return 0;
}

std::optional<RiduzioneBarre> RiduzioneBarre::DaTesto(const QString& testo)
{
    QString t = testo.trimmed().toLower();
    RiduzioneBarre r;
    if (t.isEmpty() || t == QLatin1String("auto")) return r;
    r.modo = Modo::Punti;
    if (t.endsWith(QLatin1String("mm"))) {
        r.modo = Modo::Millimetri;
        t.chop(2);
    } else if (t.endsWith(QLatin1String("dots"))) {
        t.chop(4);
    } else if (t.endsWith(QLatin1String("dot"))) {
        t.chop(3);
    }
    bool ok = false;
    r.valore = t.trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok || !std::isfinite(r.valore) || r.valore < 0 || r.valore > 1000) return std::nullopt;
    return r;
}

QString RiduzioneBarre::Testo() const
{
    switch (modo) {
        case Modo::Automatica:
            return {};
        case Modo::Punti:
            return QString::number(valore) + QStringLiteral(" dot");
        case Modo::Millimetri:
            return QString::number(valore) + QStringLiteral(" mm");
    }
    return {};
}

}  // namespace cartigo
