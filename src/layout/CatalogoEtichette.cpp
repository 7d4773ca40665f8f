#include "layout/CatalogoEtichette.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <future>
#include <mutex>
#include <optional>

namespace cartigo {

namespace {

const QString kCartellaSistema = QStringLiteral("libglabels-3.0/templates");

// The two papers known without the paper sizes file.
const QSizeF kA4(210, 297);
const QSizeF kLetter(215.9, 279.4);

double arrotonda(double mm)
{
    return std::round(mm * 1000.0) / 1000.0;
}

bool quasiUguali(double a, double b, double tolleranza = 0.0005)
{
    return std::abs(a - b) <= tolleranza;
}

// A length of the template files: a number and a unit (pt, in, mm, cm, pc; points
// without one), in millimetres. With `vuotoZero`, a missing or empty one is 0.
std::optional<double> lunghezza(QStringView testo, bool vuotoZero = false)
{
    testo = testo.trimmed();
    if (testo.isEmpty() && vuotoZero) return 0.0;
    qsizetype fine = 0;
    while (fine < testo.size()) {
        const QChar c = testo[fine];
        const bool esponente = (c == u'e' || c == u'E') && fine + 1 < testo.size() &&
                               (testo[fine + 1].isDigit() || testo[fine + 1] == u'-' || testo[fine + 1] == u'+');
        if (!(c.isDigit() || c == u'.' || c == u'-' || c == u'+' || esponente)) break;
        fine += esponente ? 2 : 1;
    }
    bool ok = false;
    const double v = testo.left(fine).toDouble(&ok);
    if (!ok) return std::nullopt;
    const QStringView unita = testo.mid(fine).trimmed();
    double mm = 0;
    if (unita.isEmpty() || unita == u"pt")
        mm = v * 25.4 / 72.0;
    else if (unita == u"mm")
        mm = v;
    else if (unita == u"cm")
        mm = v * 10.0;
    else if (unita == u"in")
        mm = v * 25.4;
    else if (unita == u"pc")
        mm = v * 25.4 / 6.0;
    else
        return std::nullopt;
    // Checked once converted: "1e308in" is a number, but no length.
    if (!std::isfinite(mm)) return std::nullopt;
    return mm;
}

// What a product may measure: a label, a page and the labels' extent from 1 mm to 10 m.
constexpr double kLatoMinimo = 1;
constexpr double kLatoMassimo = 10000;
// A published sheet whose labels reach past its page by a few millimetres, or overlap by
// a little, is a rounding of its maker's figures: kept, as the layout dialog warns of it.
double sporgenzaAmmessa(double pagina)
{
    return std::max(10.0, pagina * 0.05);
}
constexpr double kPassoMinimo = 0.9;  // of the label's size

bool latoValido(double mm)
{
    return mm >= kLatoMinimo && mm <= kLatoMassimo;
}

QString testoMm(double mm)
{
    return QString::number(mm, 'g', 6) + QStringLiteral(" mm");
}

// Why the product's measures make no sheet of labels; empty when they do.
QString problemaMisure(const ProdottoEtichetta& p)
{
    const QString nome = p.Nome();
    if (!latoValido(p.larghezza) || !latoValido(p.altezza))
        return QStringLiteral("%1: a label of %2 x %3 is not from 1 mm to 10 m")
            .arg(nome, testoMm(p.larghezza), testoMm(p.altezza));
    if (p.forma == FormaEtichetta::CD &&
        (!latoValido(p.diametroEsterno) || !(p.diametroForo >= 0 && p.diametroForo < p.diametroEsterno)))
        return QStringLiteral("%1: a disc of %2 with a hole of %3").arg(nome, testoMm(p.diametroEsterno),
                                                                        testoMm(p.diametroForo));
    if (!p.dimensionePagina.isEmpty() &&
        (!latoValido(p.dimensionePagina.width()) || !latoValido(p.dimensionePagina.height())))
        return QStringLiteral("%1: a page of %2 x %3 is not from 1 mm to 10 m")
            .arg(nome, testoMm(p.dimensionePagina.width()), testoMm(p.dimensionePagina.height()));
    if (!(p.x0 >= 0 && p.y0 >= 0))
        return QStringLiteral("%1: the first label lies before the page (x0 %2, y0 %3)")
            .arg(nome, testoMm(p.x0), testoMm(p.y0));
    const auto asse = [&](int numero, double passo, double lato, double inizio, double pagina,
                          const char* nomeNumero, const char* nomePasso) -> QString {
        if (numero > 1 && !(passo >= lato * kPassoMinimo))
            return QStringLiteral("%1: %2 %3 is less than the label's %4")
                .arg(nome, QLatin1String(nomePasso), testoMm(passo), testoMm(lato));
        // The labels' extent (in floating point: no count can overflow it).
        const double spazio = pagina > 0 ? pagina + sporgenzaAmmessa(pagina) : kLatoMassimo;
        const double fine = inizio + lato + (numero - 1) * passo;
        if (!(fine <= spazio))
            return QStringLiteral("%1: %2 labels (%3) reach %4, past the page's %5")
                .arg(nome)
                .arg(numero)
                .arg(QLatin1String(nomeNumero), testoMm(fine), testoMm(pagina > 0 ? pagina : kLatoMassimo));
        return {};
    };
    if (QString e = asse(p.colonne, p.passoX, p.larghezza, p.x0, p.dimensionePagina.width(), "nx", "dx");
        !e.isEmpty())
        return e;
    return asse(p.righe, p.passoY, p.altezza, p.y0, p.dimensionePagina.height(), "ny", "dy");
}

// The line of the first element with more than `massimo` attributes, 0 when none has:
// a look at the bytes, in one pass, before the XML reader (whose check of repeated
// attributes takes time growing with their square) sees them. Comments, processing
// instructions and declarations are passed over.
qint64 rigaTroppiAttributi(const QByteArray& dati, int massimo)
{
    qint64 riga = 1, rigaElemento = 1;
    int uguali = 0;
    bool inElemento = false;
    char virgolette = 0;
    for (qsizetype i = 0; i < dati.size(); ++i) {
        const char c = dati[i];
        if (c == '\n') ++riga;
        if (!inElemento) {
            if (c != '<') continue;
            if (dati.mid(i, 4) == "<!--") {
                const qsizetype fine = dati.indexOf("-->", i + 4);
                if (fine < 0) return 0;
                riga += dati.mid(i, fine - i).count('\n');
                i = fine + 2;
                continue;
            }
            if (i + 1 < dati.size() && (dati[i + 1] == '?' || dati[i + 1] == '!' || dati[i + 1] == '/')) continue;
            inElemento = true;
            rigaElemento = riga;
            uguali = 0;
        } else if (virgolette) {
            if (c == virgolette) virgolette = 0;
        } else if (c == '"' || c == '\'') {
            virgolette = c;
        } else if (c == '=') {
            if (++uguali > massimo) return rigaElemento;
        } else if (c == '>') {
            inElemento = false;
        }
    }
    return 0;
}

QString chiave(const QString& marca, const QString& codice)
{
    return marca.toCaseFolded() + QChar(0) + codice.toCaseFolded();
}

// Text order with runs of digits compared by their value ("L7160" before "L71600", "5160"
// before "15160"), case ignored.
int confrontoNaturale(const QString& a, const QString& b)
{
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype fa = i, fb = j;
            while (fa < a.size() && a[fa].isDigit()) ++fa;
            while (fb < b.size() && b[fb].isDigit()) ++fb;
            QStringView na = QStringView(a).mid(i, fa - i), nb = QStringView(b).mid(j, fb - j);
            while (na.size() > 1 && na[0] == u'0') na = na.mid(1);
            while (nb.size() > 1 && nb[0] == u'0') nb = nb.mid(1);
            if (na.size() != nb.size()) return na.size() < nb.size() ? -1 : 1;
            if (const int c = na.compare(nb); c != 0) return c;
            i = fa;
            j = fb;
            continue;
        }
        const QChar ca = a[i].toCaseFolded(), cb = b[j].toCaseFolded();
        if (ca != cb) return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return a.compare(b);
}

// "70x37" or "63,5x38.1": two numbers around an x.
const QRegularExpression& espressioneMisura()
{
    static const QRegularExpression e(QStringLiteral("^(\\d+(?:[.,]\\d+)?)[x\u00d7](\\d+(?:[.,]\\d+)?)$"));
    return e;
}

struct NumeroCercato {
    double valore;
    double tolleranza;  // half of the last digit typed
    bool intero;
};

NumeroCercato numeroCercato(QString t)
{
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    const qsizetype punto = t.indexOf(QLatin1Char('.'));
    const int decimali = punto < 0 ? 0 : int(t.size() - punto - 1);
    return {t.toDouble(), 0.5 * std::pow(10.0, -decimali), decimali == 0};
}

bool paroleTrovate(const ProdottoEtichetta& p, const QString& parola)
{
    const auto m = espressioneMisura().match(parola);
    if (m.hasMatch()) {
        const NumeroCercato a = numeroCercato(m.captured(1)), b = numeroCercato(m.captured(2));
        if (std::abs(p.larghezza - a.valore) <= a.tolleranza + 1e-9 &&
            std::abs(p.altezza - b.valore) <= b.tolleranza + 1e-9)
            return true;
        if (a.intero && b.intero && p.colonne == int(a.valore) && p.righe == int(b.valore)) return true;
    }
    for (const QString* campo : {&p.marca, &p.codice, &p.descrizione, &p.pagina})
        if (campo->contains(parola, Qt::CaseInsensitive)) return true;
    return false;
}

QString numeroXml(double mm)
{
    QString t = QString::number(arrotonda(mm), 'f', 3);
    while (t.endsWith(QLatin1Char('0'))) t.chop(1);
    if (t.endsWith(QLatin1Char('.'))) t.chop(1);
    return t + QStringLiteral("mm");
}

}  // namespace

// ---- ProdottoEtichetta ----

bool ProdottoEtichetta::Rotolo() const
{
    return colonne == 1 && righe == 1 && quasiUguali(x0, 0, 0.05) && quasiUguali(y0, 0, 0.05) &&
           quasiUguali(dimensionePagina.width(), larghezza, 0.1) &&
           quasiUguali(dimensionePagina.height(), altezza, 0.1);
}

LayoutEtichetta ProdottoEtichetta::Layout() const
{
    LayoutEtichetta l;
    l.EtichetteOrizzontali = colonne;
    l.EtichetteVerticali = righe;
    l.MargineSinistro = arrotonda(x0);
    l.MargineSuperiore = arrotonda(y0);
    l.LarghezzaEtichetta = arrotonda(larghezza);
    l.AltezzaEtichetta = arrotonda(altezza);
    // A single column or row has no gap, whatever the file's pitch says.
    l.SpazioOrizzontale = colonne > 1 ? arrotonda(passoX - larghezza) : 0;
    l.SpazioVerticale = righe > 1 ? arrotonda(passoY - altezza) : 0;
    l.Prodotto = Nome();
    l.UnaPerPagina = Rotolo();
    if (l.UnaPerPagina) {
        l.MargineSinistro = l.MargineSuperiore = 0;
        l.OrigineX = l.OrigineY = 0;
    } else {
        l.OrigineX = -SpostamentoStampaX;
        l.OrigineY = -SpostamentoStampaY;
        if (!dimensionePagina.isEmpty()) {
            l.LarghezzaPagina = arrotonda(dimensionePagina.width());
            l.AltezzaPagina = arrotonda(dimensionePagina.height());
        }
    }
    l.Forma = forma;
    if (forma == FormaEtichetta::CD) {
        l.DiametroForo = arrotonda(diametroForo);
        if (!quasiUguali(diametroEsterno, larghezza, 0.01) || !quasiUguali(diametroEsterno, altezza, 0.01))
            l.DiametroEsterno = arrotonda(diametroEsterno);
    }
    return l;
}

bool ProdottoEtichetta::Corrisponde(const LayoutEtichetta& l) const
{
    return StessoFoglio(Layout(), l);
}

bool StessoFoglio(const LayoutEtichetta& a, const LayoutEtichetta& b)
{
    for (int i = 0; i < 8; ++i)
        if (!quasiUguali(a.valore(i), b.valore(i))) return false;
    return a.UnaPerPagina == b.UnaPerPagina;
}

// ---- CatalogoEtichette ----

QStringList CatalogoEtichette::CartelleSistema()
{
    return QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, kCartellaSistema,
                                     QStandardPaths::LocateDirectory);
}

QString CatalogoEtichette::CartellaUtente()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("cartigo/templates"));
}

namespace {

struct LetturaCondivisa {
    std::mutex m;
    std::shared_future<std::shared_ptr<const CatalogoEtichette>> futuro;

    void avvia()
    {
        futuro = std::async(std::launch::async, [] {
                     auto c = std::make_shared<CatalogoEtichette>();
                     c->Carica();
                     return std::shared_ptr<const CatalogoEtichette>(std::move(c));
                 }).share();
    }
};

LetturaCondivisa& letturaCondivisa()
{
    static LetturaCondivisa l;
    return l;
}

}  // namespace

void CatalogoEtichette::AvviaLettura()
{
    auto& l = letturaCondivisa();
    const std::lock_guard<std::mutex> g(l.m);
    if (!l.futuro.valid()) l.avvia();
}

void CatalogoEtichette::Rileggi()
{
    auto& l = letturaCondivisa();
    const std::lock_guard<std::mutex> g(l.m);
    l.avvia();
}

std::shared_ptr<const CatalogoEtichette> CatalogoEtichette::Letto()
{
    auto& l = letturaCondivisa();
    const std::lock_guard<std::mutex> g(l.m);
    if (!l.futuro.valid() || l.futuro.wait_for(std::chrono::seconds(0)) != std::future_status::ready) return nullptr;
    return l.futuro.get();
}

void CatalogoEtichette::Carica(const QStringList& cartelleSistema, const QString& cartellaUtente)
{
    prodotti_.clear();
    errori_.clear();
    indice_.clear();
    carte_.clear();
    // The first folder counts most, so it is read last.
    for (auto it = cartelleSistema.rbegin(); it != cartelleSistema.rend(); ++it)
        caricaCarte(QDir(*it).filePath(QStringLiteral("paper-sizes.xml")));
    for (auto it = cartelleSistema.rbegin(); it != cartelleSistema.rend(); ++it) CaricaCartella(*it, false);
    if (!cartellaUtente.isEmpty()) CaricaCartella(cartellaUtente, true);
    ordina();
}

void CatalogoEtichette::CaricaCartella(const QString& cartella, bool utente)
{
    const QDir dir(cartella);
    for (const QString& nome : dir.entryList({QStringLiteral("*.xml")}, QDir::Files | QDir::Readable, QDir::Name))
        CaricaFile(dir.filePath(nome), utente);
}

QSizeF CatalogoEtichette::Carta(const QString& nome) const
{
    if (const auto it = carte_.find(nome); it != carte_.end()) return *it;
    if (nome == QLatin1String("A4")) return kA4;
    if (nome == QLatin1String("US-Letter")) return kLetter;
    return {};
}

void CatalogoEtichette::caricaCarte(const QString& percorso)
{
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly)) return;
    QXmlStreamReader x(&f);
    if (!x.readNextStartElement() || x.name() != u"Glabels-paper-sizes") return;
    while (x.readNextStartElement()) {
        if (x.name() == u"Paper-size") {
            const auto a = x.attributes();
            const auto w = lunghezza(a.value(QLatin1String("width")));
            const auto h = lunghezza(a.value(QLatin1String("height")));
            if (w && h && latoValido(*w) && latoValido(*h))
                carte_.insert(a.value(QLatin1String("id")).toString(), QSizeF(*w, *h));
        }
        x.skipCurrentElement();
    }
    if (x.hasError()) errori_.push_back({percorso, x.lineNumber(), x.errorString()});
}

void CatalogoEtichette::CaricaFile(const QString& percorso, bool utente)
{
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly)) {
        errori_.push_back({percorso, 0, f.errorString()});
        return;
    }
    if (f.size() > kDimensioneMassimaFile) {
        errori_.push_back({percorso, 0, QStringLiteral("a template file larger than 8 MB")});
        return;
    }
    const QByteArray dati = f.readAll();
    if (const qint64 riga = rigaTroppiAttributi(dati, kAttributiMassimi)) {
        errori_.push_back({percorso, riga, QStringLiteral("an element with more than %1 attributes").arg(kAttributiMassimi)});
        return;
    }
    QXmlStreamReader x(dati);
    if (!x.readNextStartElement()) {
        errori_.push_back({percorso, x.lineNumber(), x.errorString()});
        return;
    }
    if (x.name() != u"Glabels-templates") return;  // paper sizes, makers, categories
    const auto errore = [&](const QString& testo) { errori_.push_back({percorso, x.lineNumber(), testo}); };

    while (x.readNextStartElement()) {
        if (x.name() != u"Template") {
            x.skipCurrentElement();
            continue;
        }
        const qint64 riga = x.lineNumber();  // a product's problems name the line it starts on
        const auto a = x.attributes();
        ProdottoEtichetta p;
        p.marca = a.value(QLatin1String("brand")).toString().trimmed();
        p.codice = a.value(QLatin1String("part")).toString().trimmed();
        p.utente = utente;
        p.file = percorso;
        const QString nome = p.Nome();
        if (p.marca.isEmpty() || p.codice.isEmpty()) {
            errore(QStringLiteral("a template without brand or part"));
            x.skipCurrentElement();
            continue;
        }

        // A copy of a product read before, under its own code.
        const QString equivalente = a.value(QLatin1String("equiv")).toString().trimmed();
        if (!equivalente.isEmpty()) {
            x.skipCurrentElement();
            const auto it = indice_.constFind(chiave(p.marca, equivalente));
            if (it == indice_.constEnd()) {
                errore(QStringLiteral("%1: the product %2 it is the same as is not known").arg(nome, equivalente));
                continue;
            }
            ProdottoEtichetta copia = prodotti_[size_t(*it)];
            copia.marca = p.marca;
            copia.codice = p.codice;
            copia.equivalenteDi = equivalente;
            copia.utente = utente;
            copia.file = percorso;
            aggiungi(std::move(copia));
            continue;
        }

        p.descrizione = (a.hasAttribute(QLatin1String("description")) ? a.value(QLatin1String("description"))
                                                                      : a.value(QLatin1String("_description")))
                            .toString()
                            .trimmed();
        QString problema;
        p.pagina = a.value(QLatin1String("size")).toString().trimmed();
        if (p.pagina.isEmpty() || p.pagina == QLatin1String("Other")) {
            const auto w = lunghezza(a.value(QLatin1String("width")));
            const auto h = lunghezza(a.value(QLatin1String("height")));
            if (w && h && latoValido(*w) && latoValido(*h))
                p.dimensionePagina = QSizeF(*w, *h);
            else
                problema = QStringLiteral("%1: a page of %2 x %3 is not from 1 mm to 10 m")
                               .arg(nome, a.value(QLatin1String("width")).toString(),
                                    a.value(QLatin1String("height")).toString());
        } else {
            p.dimensionePagina = Carta(p.pagina);
        }
        bool etichetta = false;
        while (x.readNextStartElement()) {
            const QStringView tipo = x.name();
            if (etichetta || !tipo.startsWith(u"Label-")) {  // Meta, or a second shape
                x.skipCurrentElement();
                continue;
            }
            etichetta = true;
            const auto b = x.attributes();
            // An attribute left out or empty is 0, as in the files' own reader.
            const auto misura = [&](const char* attributo) {
                const auto v = lunghezza(b.value(QLatin1String(attributo)), true);
                if (!v && problema.isEmpty())
                    problema = QStringLiteral("%1: %2 is not a length").arg(nome, QLatin1String(attributo));
                return v.value_or(0);
            };
            if (tipo == u"Label-rectangle") {
                p.larghezza = misura("width");
                p.altezza = misura("height");
            } else if (tipo == u"Label-ellipse") {
                p.forma = FormaEtichetta::Ellisse;
                p.larghezza = misura("width");
                p.altezza = misura("height");
            } else if (tipo == u"Label-round") {
                p.forma = FormaEtichetta::Ellisse;
                p.tonda = true;
                p.larghezza = p.altezza = 2 * misura("radius");
            } else if (tipo == u"Label-cd") {
                p.forma = FormaEtichetta::CD;
                p.diametroEsterno = 2 * misura("radius");
                p.diametroForo = 2 * misura("hole");
                // A business-card CD is cut to a width and a height.
                p.larghezza = b.hasAttribute(QLatin1String("width")) ? misura("width") : p.diametroEsterno;
                p.altezza = b.hasAttribute(QLatin1String("height")) ? misura("height") : p.diametroEsterno;
            } else {
                problema = QStringLiteral("%1: unknown label shape %2").arg(nome, tipo.toString());
            }
            while (x.readNextStartElement()) {
                if (x.name() == u"Layout" && p.disposizioni++ == 0) {
                    const auto c = x.attributes();
                    bool okx = false, oky = false;
                    p.colonne = c.value(QLatin1String("nx")).toInt(&okx);
                    p.righe = c.value(QLatin1String("ny")).toInt(&oky);
                    if ((!okx || !oky || p.colonne < 1 || p.righe < 1) && problema.isEmpty())
                        problema = QStringLiteral("%1: nx and ny must be whole numbers from 1").arg(nome);
                    const auto passo = [&](const char* attributo) {
                        const auto v = lunghezza(c.value(QLatin1String(attributo)), true);
                        if (!v && problema.isEmpty())
                            problema = QStringLiteral("%1: %2 is not a length").arg(nome, QLatin1String(attributo));
                        return v.value_or(0);
                    };
                    p.x0 = passo("x0");
                    p.y0 = passo("y0");
                    p.passoX = passo("dx");
                    p.passoY = passo("dy");
                }
                x.skipCurrentElement();  // markup lines are not read
            }
        }
        if (x.hasError()) break;
        if (problema.isEmpty() && !etichetta) problema = QStringLiteral("%1: no label shape").arg(nome);
        if (problema.isEmpty() && p.disposizioni == 0) problema = QStringLiteral("%1: no Layout").arg(nome);
        if (problema.isEmpty() && !(p.larghezza > 0 && p.altezza > 0))
            problema = QStringLiteral("%1: the label has no size").arg(nome);
        if (problema.isEmpty()) problema = problemaMisure(p);
        if (!problema.isEmpty()) {
            errori_.push_back({percorso, riga, problema});
            continue;
        }
        aggiungi(std::move(p));
    }
    if (x.hasError()) errore(x.errorString());
}

void CatalogoEtichette::aggiungi(ProdottoEtichetta p)
{
    const QString k = chiave(p.marca, p.codice);
    if (const auto it = indice_.constFind(k); it != indice_.constEnd()) {
        prodotti_[size_t(*it)] = std::move(p);
        return;
    }
    indice_.insert(k, qsizetype(prodotti_.size()));
    prodotti_.push_back(std::move(p));
}

void CatalogoEtichette::ordina()
{
    std::stable_sort(prodotti_.begin(), prodotti_.end(), [](const ProdottoEtichetta& a, const ProdottoEtichetta& b) {
        if (const int c = confrontoNaturale(a.marca, b.marca); c != 0) return c < 0;
        return confrontoNaturale(a.codice, b.codice) < 0;
    });
    indice_.clear();
    for (qsizetype i = 0; i < qsizetype(prodotti_.size()); ++i)
        indice_.insert(chiave(prodotti_[size_t(i)].marca, prodotti_[size_t(i)].codice), i);
}

const ProdottoEtichetta* CatalogoEtichette::Trova(const QString& nome) const
{
    // The maker may hold blanks ("Cable Label Co"): try every split.
    for (qsizetype spazio = nome.indexOf(QLatin1Char(' ')); spazio > 0;
         spazio = nome.indexOf(QLatin1Char(' '), spazio + 1)) {
        const auto it = indice_.constFind(chiave(nome.left(spazio), nome.mid(spazio + 1)));
        if (it != indice_.constEnd()) return &prodotti_[size_t(*it)];
    }
    return nullptr;
}

std::vector<const ProdottoEtichetta*> CatalogoEtichette::Cerca(const QString& testo) const
{
    // "70 x 37" is one word.
    static const QRegularExpression spaziMisura(QStringLiteral("(\\d)\\s*[xX\u00d7]\\s*(?=\\d)"));
    QString normale = testo;
    normale.replace(spaziMisura, QStringLiteral("\\1x"));
    const QStringList parole = normale.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    std::vector<const ProdottoEtichetta*> trovati;
    for (const ProdottoEtichetta& p : prodotti_) {
        if (std::all_of(parole.begin(), parole.end(), [&](const QString& w) { return paroleTrovate(p, w); }))
            trovati.push_back(&p);
    }
    return trovati;
}

// ---- user templates ----

QByteArray XmlModello(const LayoutEtichetta& l, const QString& marca, const QString& codice, const QString& descrizione)
{
    QByteArray dati;
    QXmlStreamWriter w(&dati);
    w.setAutoFormatting(true);
    w.setAutoFormattingIndent(2);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("Glabels-templates"));
    w.writeStartElement(QStringLiteral("Template"));
    w.writeAttribute(QStringLiteral("brand"), marca);
    w.writeAttribute(QStringLiteral("part"), codice);
    const double larghezza = l.LarghezzaEtichetta, altezza = l.AltezzaEtichetta;
    // A roll's page is its label; a sheet without a page of its own is taken as A4.
    QSizeF pagina = l.UnaPerPagina                                   ? QSizeF(larghezza, altezza)
                    : (l.LarghezzaPagina > 0 && l.AltezzaPagina > 0) ? QSizeF(l.LarghezzaPagina, l.AltezzaPagina)
                                                                     : kA4;
    const auto uguale = [](QSizeF a, QSizeF b) {
        return quasiUguali(a.width(), b.width(), 0.05) && quasiUguali(a.height(), b.height(), 0.05);
    };
    if (!l.UnaPerPagina && uguale(pagina, kA4)) {
        w.writeAttribute(QStringLiteral("size"), QStringLiteral("A4"));
    } else if (!l.UnaPerPagina && uguale(pagina, kLetter)) {
        w.writeAttribute(QStringLiteral("size"), QStringLiteral("US-Letter"));
    } else {
        w.writeAttribute(QStringLiteral("size"), QStringLiteral("Other"));
        w.writeAttribute(QStringLiteral("width"), numeroXml(pagina.width()));
        w.writeAttribute(QStringLiteral("height"), numeroXml(pagina.height()));
    }
    w.writeAttribute(QStringLiteral("description"), descrizione);
    w.writeEmptyElement(QStringLiteral("Meta"));
    w.writeAttribute(QStringLiteral("category"), QStringLiteral("label"));

    switch (l.Forma) {
        case FormaEtichetta::Rettangolo:
            w.writeStartElement(QStringLiteral("Label-rectangle"));
            w.writeAttribute(QStringLiteral("id"), QStringLiteral("0"));
            w.writeAttribute(QStringLiteral("width"), numeroXml(larghezza));
            w.writeAttribute(QStringLiteral("height"), numeroXml(altezza));
            w.writeAttribute(QStringLiteral("round"), numeroXml(0));
            break;
        case FormaEtichetta::Ellisse:
            if (quasiUguali(larghezza, altezza)) {
                w.writeStartElement(QStringLiteral("Label-round"));
                w.writeAttribute(QStringLiteral("id"), QStringLiteral("0"));
                w.writeAttribute(QStringLiteral("radius"), numeroXml(larghezza / 2));
            } else {
                w.writeStartElement(QStringLiteral("Label-ellipse"));
                w.writeAttribute(QStringLiteral("id"), QStringLiteral("0"));
                w.writeAttribute(QStringLiteral("width"), numeroXml(larghezza));
                w.writeAttribute(QStringLiteral("height"), numeroXml(altezza));
            }
            break;
        case FormaEtichetta::CD: {
            w.writeStartElement(QStringLiteral("Label-cd"));
            w.writeAttribute(QStringLiteral("id"), QStringLiteral("0"));
            const double diametro = l.DiametroEsterno > 0 ? l.DiametroEsterno : std::min(larghezza, altezza);
            w.writeAttribute(QStringLiteral("radius"), numeroXml(diametro / 2));
            w.writeAttribute(QStringLiteral("hole"), numeroXml(l.DiametroForo / 2));
            if (l.DiametroEsterno > 0) {
                w.writeAttribute(QStringLiteral("width"), numeroXml(larghezza));
                w.writeAttribute(QStringLiteral("height"), numeroXml(altezza));
            }
            break;
        }
    }
    w.writeEmptyElement(QStringLiteral("Layout"));
    const bool rotolo = l.UnaPerPagina;
    w.writeAttribute(QStringLiteral("nx"), QString::number(rotolo ? 1 : int(l.EtichetteOrizzontali)));
    w.writeAttribute(QStringLiteral("ny"), QString::number(rotolo ? 1 : int(l.EtichetteVerticali)));
    w.writeAttribute(QStringLiteral("x0"), numeroXml(rotolo ? 0 : l.MargineSinistro));
    w.writeAttribute(QStringLiteral("y0"), numeroXml(rotolo ? 0 : l.MargineSuperiore));
    w.writeAttribute(QStringLiteral("dx"), numeroXml(larghezza + (rotolo ? 0 : l.SpazioOrizzontale)));
    w.writeAttribute(QStringLiteral("dy"), numeroXml(altezza + (rotolo ? 0 : l.SpazioVerticale)));
    w.writeEndElement();  // Label-...
    w.writeEndElement();  // Template
    w.writeEndElement();  // Glabels-templates
    w.writeEndDocument();
    return dati;
}

QString FileModello(const QString& cartella, const QString& marca, const QString& codice)
{
    QString nome = marca + QLatin1Char('-') + codice;
    for (QChar& c : nome)
        if (!(c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u'.')) c = QLatin1Char('_');
    return QDir(cartella).filePath(nome + QStringLiteral(".xml"));
}

QString TestoMisura(double larghezza, double altezza, QChar decimale)
{
    const auto n = [&](double v) {
        QString t = QString::number(v, 'f', 1);
        t.replace(QLatin1Char('.'), decimale);
        return t;
    };
    return n(larghezza) + QStringLiteral(" x ") + n(altezza);
}

}  // namespace cartigo
