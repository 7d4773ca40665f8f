#include "Campioni.h"

#include "RenderBarcode.h"
#include "barcode/DisegnoBarcode.h"
#include "barcode/ParametriBarcode.h"
#include "shell/InterazioneScriptata.h"
#include "stampora/clsStampora.h"

#include <QRandomGenerator>
#include <cmath>

namespace cartigo::test {

namespace {

QString Cifre(QRandomGenerator& g, int n)
{
    QString s;
    for (int i = 0; i < n; ++i) s += QChar(u'0' + g.bounded(10));
    return s;
}

QString Caratteri(QRandomGenerator& g, const QString& alfabeto, int n)
{
    QString s;
    for (int i = 0; i < n; ++i) s += alfabeto[g.bounded(int(alfabeto.size()))];
    return s;
}

// Narrow modules of a symbol at a wide-to-narrow ratio of 2.5.
double ModuliLarghi(const SimboloBarcode& s)
{
    return Misure(s).Moduli(2.5);
}

constexpr double kModuloMinimoMm = 0.25;

}  // namespace

std::vector<Campione> Campioni(int tipo, int n)
{
    QRandomGenerator g(quint32(1000 + tipo));
    const auto misura = [](const QString& t) { return QSizeF(t.size() * 100.0, 200.0); };
    const QString alfabeto39 = QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-.$/+%");
    QString alfabeto128;
    for (char16_t c = u'!'; c <= u'~'; ++c)
        if (c != u'(' && c != u')') alfabeto128 += QChar(c);
    std::vector<Campione> v;
    for (int i = 0; i < n; ++i) {
        double larghezza = 20 + (i * 37) % 81;
        QString dati;
        switch (static_cast<TipoBarcode>(tipo)) {
            case TipoBarcode::Code39:
                dati = Caratteri(g, alfabeto39, std::max(1, int(larghezza / kModuloMinimoMm / 16) - 2));
                break;
            case TipoBarcode::EAN13:
                dati = Cifre(g, 12);
                break;
            case TipoBarcode::Code128:
                dati = Caratteri(g, alfabeto128, std::max(1, int((larghezza / kModuloMinimoMm - 55) / 11)));
                break;
            case TipoBarcode::UPC:
                dati = Cifre(g, 11);
                break;
            case TipoBarcode::ITF:
                dati = Cifre(g, 13);
                break;
            default:
                dati = Caratteri(g, alfabeto39, 10 + i % 30);
                break;
        }
        // wide enough for a quarter of a millimetre a module
        const DisegnoBarcode d = DisegnoSimbolo(ParametriBarcode::DaTag(QString::number(tipo) + QLatin1Char('0')), dati,
                                                RiquadroBarcode{0, 0, larghezza, 15}, misura);
        larghezza = std::max(larghezza, std::ceil(ModuliLarghi(d.simbolo) * kModuloMinimoMm * 1.02));
        v.push_back({tipo, dati, larghezza});
    }
    return v;
}

std::shared_ptr<DocumentoStampa> PagineCampioni(const std::vector<Campione>& campioni, double dpi,
                                                const InfoStampante* stampante)
{
    InterazioneScriptata ui;
    clsStampora m(ui);
    const auto o = m.OutputCondiviso();
    if (stampante) o->SetStampante(*stampante);
    const double altezzaPagina = o->PageHeight() * 25.4 / 1440;
    m.StartDoc();
    m.SetScaleMode(6);
    m.SetOffsetX(4);
    o->SetRisoluzione(dpi);
    constexpr double kAltezza = 15, kPasso = 18, kCima = 8;
    int riga = 0;
    for (std::size_t i = 0; i < campioni.size(); ++i) {
        if (kCima + (riga + 1) * kPasso > altezzaPagina - 6) {
            m.NewPage();
            riga = 0;
        }
        const Campione& c = campioni[i];
        const double x = 6 + 0.137 * double(i % 13);
        m.DrawBarcode(ParametriBarcode::DaTag(c.tag.isEmpty() ? QString::number(c.tipo) + QLatin1Char('0') : c.tag), c.dati, x,
                      kCima + riga * kPasso, c.larghezza, kAltezza);
        ++riga;
    }
    m.Output().EndDoc();
    return o;
}

QString DatiLetti(const SimboloBarcode& s)
{
    switch (static_cast<TipoBarcode>(s.tipo)) {
        case TipoBarcode::UPC:
        case TipoBarcode::ITF:
            return QString(s.testo).remove(QLatin1Char(' '));
        default:
            return s.dati;
    }
}

QSet<QString> LeggiLineari(const QStringList& immagini)
{
    return DatiDaZbar(
        LeggiConZbar(immagini, {QStringLiteral("-Sx-density=0"), QStringLiteral("-Sy-density=4")}).value_or(QStringList()));
}

QSet<QString> DatiDaZbar(const QStringList& righe)
{
    QSet<QString> dati;
    for (const QString& r : righe) {
        const QString d = r.section(QLatin1Char(':'), 1);
        dati.insert(d);
        if (r.startsWith(QLatin1String("EAN-13:0"))) dati.insert(d.mid(1));
    }
    return dati;
}

std::vector<int> Corse(const QImage& img, const SimboloBarcode& s, double dpi, double origineX, double origineY)
{
    const double k = dpi / 1440.0;
    const int y = int(std::floor((s.cima + s.fondo) / 2 * k - origineY));
    const int x0 = std::max(0, int(std::floor(s.x * k - origineX)));
    const int x1 = std::min(img.width(), int(std::ceil((s.x + s.larghezza) * k - origineX)));
    std::vector<int> corse;
    if (y < 0 || y >= img.height()) return corse;
    const auto scuro = [&](int x) { return qGray(img.pixel(x, y)) < 128; };
    int primo = x0, ultimo = x1 - 1;
    while (primo < x1 && !scuro(primo)) ++primo;
    while (ultimo >= primo && !scuro(ultimo)) --ultimo;
    for (int x = primo; x <= ultimo;) {
        const bool c = scuro(x);
        int fine = x;
        while (fine <= ultimo && scuro(fine) == c) ++fine;
        corse.push_back(fine - x);
        x = fine;
    }
    return corse;
}

QString VerificaCorse(const std::vector<int>& corse, const SimboloBarcode& s, double dpi, int riduzione,
                      double tolleranza)
{
    // the elements from the first bar to the last
    std::vector<int> attesi(s.elementi.begin() + 1, s.elementi.end());
    if (attesi.size() % 2 == 0) attesi.pop_back();
    if (corse.size() != attesi.size())
        return QStringLiteral("%1 bars and spaces, not %2").arg(corse.size()).arg(attesi.size());
    // nominal widths: what the reduction took off the bars and gave to the spaces
    std::vector<double> nominali(corse.size());
    for (std::size_t i = 0; i < corse.size(); ++i) nominali[i] = corse[i] + (i % 2 == 0 ? riduzione : -riduzione);
    double somma[3] = {0, 0, 0};
    int conta[3] = {0, 0, 0};
    for (std::size_t i = 0; i < corse.size(); ++i) {
        const int classe = s.dueLarghezze ? attesi[i] : 1;
        somma[classe] += s.dueLarghezze ? nominali[i] : nominali[i] / attesi[i];
        ++conta[classe];
    }
    const long stretto = std::lround(somma[1] / std::max(1, conta[1]));
    const long largo = s.dueLarghezze ? std::lround(somma[2] / std::max(1, conta[2])) : 0;
    if (stretto < 1) return QStringLiteral("no module");
    if (s.dueLarghezze && conta[2] > 0) {
        const long atteso =
            stretto * 25.4 / dpi >= 0.508 ? 2 * stretto : std::lround(std::floor(2.5 * double(stretto) + 0.5));
        if (largo != atteso)
            return QStringLiteral("wide %1 dots for narrow %2, not %3").arg(largo).arg(stretto).arg(atteso);
    }
    for (std::size_t i = 0; i < corse.size(); ++i) {
        const double nominale = s.dueLarghezze ? (attesi[i] == 2 ? largo : stretto) : double(attesi[i] * stretto);
        if (std::abs(nominali[i] - nominale) > tolleranza + 1e-9) {
            QStringList prime;
            for (std::size_t j = 0; j < std::min<std::size_t>(corse.size(), 16); ++j)
                prime << QString::number(corse[j]) + QLatin1Char('/') + QString::number(attesi[j]);
            return QStringLiteral("element %1 (%2) is %3 dots, nominal %4 (module %5); printed/elements: %6")
                .arg(i)
                .arg(i % 2 == 0 ? QStringLiteral("bar") : QStringLiteral("space"))
                .arg(corse[i])
                .arg(nominale)
                .arg(stretto)
                .arg(prime.join(QLatin1Char(' ')));
        }
    }
    return {};
}

}  // namespace cartigo::test
