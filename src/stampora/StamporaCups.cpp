#include "stampora/StamporaCups.h"

#include "shell/StringTable.h"
#include "stampora/DocumentoStampa.h"
#include "stampora/FileStampa.h"

#include <cups/cups.h>
#include <QDir>
#include <QFile>
#include <QTemporaryFile>
#include <QDeadlineTimer>
#include <QPageSize>
#include <QStringList>
#include <cmath>

namespace cartigo {

namespace {

constexpr double kTwipsPerMm = 1440.0 / 25.4;

// One connection to the print server with the time left of one operation. Every wait
// for the server ends when that time is over.
class Connessione {
public:
    Connessione(const QString& server, int secondi) : scadenza_(std::chrono::seconds(std::max(1, secondi)))
    {
        // Set each time: the server named, else the system's own as it stands now.
        cupsSetServer(server.isEmpty() ? nullptr : server.toUtf8().constData());
        secondi_ = std::max(1, secondi);
        http_ = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                             int(std::max<qint64>(1, scadenza_.remainingTime())), nullptr);
        if (http_) httpSetTimeout(http_, 0.25, &Connessione::attesa, this);
    }
    ~Connessione()
    {
        if (http_) httpClose(http_);
    }
    Connessione(const Connessione&) = delete;
    Connessione& operator=(const Connessione&) = delete;

    http_t* http() const { return http_; }
    bool scaduta() const { return scaduta_ || scadenza_.hasExpired(); }

    // Why the last exchange failed: no answer in time, or what CUPS says.
    QString motivo(const QString& nomeServer) const
    {
        if (scaduta()) return LoadResString(1901).arg(nomeServer).arg(secondi_);
        if (!http_) return LoadResString(1900).arg(nomeServer, QString::fromUtf8(cupsLastErrorString()));
        return QString::fromUtf8(cupsLastErrorString());
    }

private:
    static int attesa(http_t*, void* dati)
    {
        auto* c = static_cast<Connessione*>(dati);
        if (!c->scadenza_.hasExpired()) return 1;
        c->scaduta_ = true;
        return 0;
    }

    QDeadlineTimer scadenza_;
    int secondi_ = 0;
    http_t* http_ = nullptr;
    bool scaduta_ = false;
};

bool riuscita()
{
    return cupsLastError() <= IPP_STATUS_OK_CONFLICTING;
}

struct Destinazioni {
    cups_dest_t* elenco = nullptr;
    int numero = 0;
    ~Destinazioni() { cupsFreeDests(numero, elenco); }
};

QString opzione(const cups_dest_t& d, const char* nome)
{
    return QString::fromUtf8(cupsGetOption(nome, d.num_options, d.options));
}

// "203dpi", "300x300dpi", "600x300dpi", "12dpcm": the dots per inch across the feed.
double risoluzioneDaTesto(const QString& t)
{
    const QString v = t.trimmed().toLower();
    bool ok = false;
    const double dpcm = v.endsWith(QLatin1String("dpcm")) ? 2.54 : 1;
    const double n = v.section(QLatin1Char('x'), 0, 0).remove(QLatin1String("dpi")).remove(QLatin1String("dpcm")).toDouble(&ok);
    return ok && n > 0 && n < 100000 ? n * dpcm : 0;
}

// The queue's resolution: the one chosen for it (a PPD's "Resolution" option, or IPP's
// "printer-resolution"), else the server's default for it.
double risoluzione(http_t* http, cups_dest_t& d)
{
    for (const char* nome : {"Resolution", "printer-resolution"})
        if (const double r = risoluzioneDaTesto(opzione(d, nome)); r > 0) return r;
    double r = 0;
    if (cups_dinfo_t* di = cupsCopyDestInfo(http, &d)) {
        if (ipp_attribute_t* a = cupsFindDestDefault(http, &d, di, "printer-resolution")) {
            ipp_res_t unita = IPP_RES_PER_INCH;
            int y = 0;
            const int x = ippGetResolution(a, 0, &y, &unita);
            r = unita == IPP_RES_PER_CM ? x * 2.54 : x;
        }
        cupsFreeDestInfo(di);
    }
    return r > 0 && r < 100000 ? r : 0;
}

// The printer as the document keeps it; its paper is the server's default media for it.
InfoStampante info(http_t* http, cups_dest_t& d)
{
    InfoStampante i;
    i.nome = QString::fromUtf8(d.name);
    if (d.instance) i.nome += QLatin1Char('/') + QString::fromUtf8(d.instance);
    i.porta = opzione(d, "printer-location");
    if (i.porta.isEmpty()) i.porta = opzione(d, "device-uri");
    QByteArray media = cupsGetOption("media", d.num_options, d.options);
    if (media.isEmpty()) {
        if (cups_dinfo_t* di = cupsCopyDestInfo(http, &d)) {
            if (ipp_attribute_t* a = cupsFindDestDefault(http, &d, di, CUPS_MEDIA)) media = ippGetString(a, 0, nullptr);
            cupsFreeDestInfo(di);
        }
    }
    pwg_media_t* m = media.isEmpty() ? nullptr : pwgMediaForPWG(media.constData());
    if (!m && !media.isEmpty()) m = pwgMediaForLegacy(media.constData());
    if (m && m->width > 0 && m->length > 0) {
        i.larghezzaCarta = m->width / 100.0 * kTwipsPerMm;
        i.altezzaCarta = m->length / 100.0 * kTwipsPerMm;
    }
    i.risoluzione = risoluzione(http, d);
    return i;
}

// The printers of the server, or false with the reason.
bool leggiDestinazioni(Connessione& c, const QString& nomeServer, Destinazioni* d, QString* errore)
{
    if (!c.http()) {
        *errore = c.motivo(nomeServer);
        return false;
    }
    d->numero = cupsGetDests2(c.http(), &d->elenco);
    if (d->numero == 0 && (c.scaduta() || (!riuscita() && cupsLastError() != IPP_STATUS_ERROR_NOT_FOUND))) {
        *errore = c.scaduta() ? c.motivo(nomeServer) : LoadResString(1905).arg(nomeServer, c.motivo(nomeServer));
        return false;
    }
    return true;
}

// The destination "queue" or "queue/instance" of the list; the default one for an empty name.
cups_dest_t* cerca(const Destinazioni& d, const QString& nome)
{
    const QByteArray coda = nome.section(QLatin1Char('/'), 0, 0).toUtf8();
    const QByteArray istanza = nome.section(QLatin1Char('/'), 1).toUtf8();
    return cupsGetDest(coda.isEmpty() ? nullptr : coda.constData(), istanza.isEmpty() ? nullptr : istanza.constData(),
                       d.numero, d.elenco);
}

QString elencoNomi(const Destinazioni& d)
{
    QStringList nomi;
    for (int i = 0; i < d.numero; ++i)
        if (!d.elenco[i].instance) nomi << QString::fromUtf8(d.elenco[i].name);
    return nomi.isEmpty() ? LoadResString(1440) : nomi.join(QStringLiteral(", "));
}

// The server's destinations into `d`, and the one named (the default for an empty name);
// nothing, with the reason and the names there are in `errore`, when there is none.
cups_dest_t* trovaDestinazione(Connessione& c, const QString& nomeServer, Destinazioni* d, const QString& nome,
                               QString* errore)
{
    if (!leggiDestinazioni(c, nomeServer, d, errore)) return nullptr;
    cups_dest_t* dest = cerca(*d, nome);
    if (!dest)
        *errore = (nome.isEmpty() ? LoadResString(1906).arg(nomeServer) : LoadResString(1902).arg(nome, nomeServer)) +
                  QStringLiteral(" (") + LoadResString(1907).arg(elencoNomi(*d)) + QLatin1Char(')');
    return dest;
}


// Creates a job on `dest` with `opzioni` and sends what `dati` holds as its one document
// of `formato`. The job's id ("queue-12") in `lavoro` once the server has all of it; false
// with the reason in `errore` (a job half sent is cancelled).
bool inviaLavoro(Connessione& c, const QString& nomeServer, const cups_dest_t& dest, const QString& nome,
                 const QString& titolo, int numeroOpzioni, cups_option_t* opzioni, const char* formato,
                 QIODevice& dati, QString* lavoro, QString* errore)
{
    const QByteArray coda(dest.name);
    const QByteArray titolo8 = titolo.toUtf8();
    const int id = cupsCreateJob(c.http(), coda.constData(), titolo8.constData(), numeroOpzioni, opzioni);
    if (id <= 0) {
        if (c.scaduta())
            *errore = c.motivo(nomeServer);
        else if (cupsLastError() == IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS)
            *errore = LoadResString(1903).arg(nome, c.motivo(nomeServer));
        else if (cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND)
            *errore = LoadResString(1902).arg(nome, nomeServer);
        else
            *errore = LoadResString(1905).arg(nomeServer, c.motivo(nomeServer));
        return false;
    }
    const QString idLavoro = QStringLiteral("%1-%2").arg(QString::fromUtf8(coda)).arg(id);
    const auto fallito = [&] {
        *errore = c.scaduta() ? c.motivo(nomeServer)
                  : cupsLastError() == IPP_STATUS_ERROR_DOCUMENT_FORMAT_NOT_SUPPORTED
                      ? LoadResString(3196).arg(nome, c.motivo(nomeServer))
                      : LoadResString(1904).arg(idLavoro, c.motivo(nomeServer));
        // What reached the server is not left half sent.
        if (!c.scaduta()) cupsCancelJob2(c.http(), coda.constData(), id, 0);
        return false;
    };
    if (cupsStartDocument(c.http(), coda.constData(), id, titolo8.constData(), formato, 1) != HTTP_STATUS_CONTINUE)
        return fallito();
    QByteArray blocco(64 * 1024, Qt::Uninitialized);
    for (qint64 letti = 0; (letti = dati.read(blocco.data(), blocco.size())) != 0;) {
        if (letti < 0 || cupsWriteRequestData(c.http(), blocco.constData(), static_cast<size_t>(letti)) !=
                             HTTP_STATUS_CONTINUE)
            return fallito();
    }
    if (cupsFinishDocument(c.http(), coda.constData()) > IPP_STATUS_OK_CONFLICTING || c.scaduta()) return fallito();
    *lavoro = idLavoro;
    return true;
}

}  // namespace

DispositivoStampaCups& DispositivoCups()
{
    static DispositivoStampaCups s;
    return s;
}

QString DispositivoStampaCups::NomeServer() const
{
    if (!server_.isEmpty()) return server_;
    cupsSetServer(nullptr);
    const QString s = QString::fromUtf8(cupsServer());
    return s.startsWith(QLatin1Char('/')) ? s : QStringLiteral("%1:%2").arg(s).arg(ippPort());
}

QList<InfoStampante> DispositivoStampaCups::Stampanti(QString* errore)
{
    QList<InfoStampante> elenco;
    const QString nomeServer = NomeServer();
    Connessione c(server_, tempoMassimo_);
    Destinazioni d;
    if (!leggiDestinazioni(c, nomeServer, &d, errore)) return elenco;
    for (int i = 0; i < d.numero; ++i) {
        InfoStampante s;
        s.nome = QString::fromUtf8(d.elenco[i].name);
        s.porta = opzione(d.elenco[i], "printer-location");
        elenco << s;
    }
    return elenco;
}

std::optional<InfoStampante> DispositivoStampaCups::Cerca(const QString& nome, QString* errore)
{
    const QString nomeServer = NomeServer();
    Connessione c(server_, tempoMassimo_);
    Destinazioni d;
    cups_dest_t* trovata = trovaDestinazione(c, nomeServer, &d, nome, errore);
    if (!trovata) return std::nullopt;
    return info(c.http(), *trovata);
}

std::optional<DispositivoStampaCups::CartaCoda> DispositivoStampaCups::CartaCorrispondente(
    double larghezza, double altezza, const QList<CartaCoda>& carte)
{
    std::optional<CartaCoda> scelta;
    double migliore = 0;
    for (const CartaCoda& c : carte) {
        for (const bool girata : {false, true}) {
            const double dw = std::abs((girata ? c.altezza : c.larghezza) - larghezza);
            const double dh = std::abs((girata ? c.larghezza : c.altezza) - altezza);
            if (dw > 1 + 1e-9 || dh > 1 + 1e-9) continue;
            if (!scelta || dw + dh < migliore) scelta = c, migliore = dw + dh;
        }
    }
    return scelta;
}

bool DispositivoStampaCups::OpzioneDelLavoro(const QByteArray& nome)
{
    static const QByteArrayList proprie = {"copies",       "media",           "PageSize",      "PageRegion",
                                           "device-uri",   "media-supported", "job-sheets",    "auth-info-required",
                                           "document-format"};
    if (nome.isEmpty() || proprie.contains(nome) || nome.startsWith("marker-")) return false;
    return !nome.startsWith("printer-") || nome == "printer-resolution";
}

QByteArray DispositivoStampaCups::PaginaPersonalizzata(const InfoStampante& carta)
{
    const QSizeF mm(carta.larghezzaCarta / kTwipsPerMm, carta.altezzaCarta / kTwipsPerMm);
    if (QPageSize(mm, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch).id() != QPageSize::Custom) return {};
    const auto numero = [](double v) { return QByteArray::number(std::round(v * 100) / 100, 'g', 10); };
    return "Custom." + numero(mm.width()) + 'x' + numero(mm.height()) + "mm";
}

InfoStampante DispositivoStampaCups::Predefinita()
{
    // Asked whenever a document starts: a server that is slow to answer holds it up
    // for a few seconds at most.
    const int tempo = tempoMassimo_;
    tempoMassimo_ = std::min(tempoMassimo_, 5);
    QString errore;
    const auto trovata = Cerca(QString(), &errore);
    tempoMassimo_ = tempo;
    return trovata.value_or(InfoStampante{});
}

bool DispositivoStampaCups::Stampa(const DocumentoStampa& doc, const LavoroStampa& lavoro, QString* errore)
{
    ultimoLavoro_.clear();
    const QString nome = doc.Device();
    if (nome.isEmpty()) {
        *errore = LoadResString(1432);
        return false;
    }
    const QString titolo = lavoro.titolo.isEmpty() ? QStringLiteral("Cartigo") : lavoro.titolo;
    // The pages once, as PDF, into a temporary file (a long job holds no more than a page
    // in memory); the server makes the copies. Barcodes on whole dots of the printer's
    // resolution (or of the document's).
    const double dpi = doc.Stampante().risoluzione > 0 ? doc.Stampante().risoluzione : -1;
    QTemporaryFile pdf(QDir::temp().filePath(QStringLiteral("cartigo-lavoro-XXXXXX.pdf")));
    if (!pdf.open() || !ScriviPdf(doc, pdf, lavoro.prima, lavoro.ultima, titolo, dpi) || !pdf.flush() || !pdf.seek(0)) {
        *errore = LoadResString(1434);
        return false;
    }

    const QString nomeServer = NomeServer();
    Connessione c(server_, tempoMassimo_);
    Destinazioni d;
    cups_dest_t* dest = trovaDestinazione(c, nomeServer, &d, nome, errore);
    if (!dest) return false;
    const bool ferma = opzione(*dest, "printer-state") == QLatin1String("5");

    // The paper as it stands in portrait: the server turns a landscape page onto it.
    const InfoStampante carta = doc.Stampante();
    const int larghezza = int(std::lround(carta.larghezzaCarta / kTwipsPerMm * 100.0));
    const int altezza = int(std::lround(carta.altezzaCarta / kTwipsPerMm * 100.0));
    // A driver without custom sizes would put the page on its default paper, scaled: the
    // job asks for the queue's paper of the label's size, or does not start.
    QByteArray cartaCoda;
    if (cups_dinfo_t* di = cupsCopyDestInfo(c.http(), dest)) {
        bool personalizzata = false;
        if (ipp_attribute_t* a = cupsFindDestSupported(c.http(), dest, di, CUPS_MEDIA))
            for (int i = 0; i < ippGetCount(a); ++i)
                if (QByteArray(ippGetString(a, i, nullptr)).startsWith("custom_min_")) personalizzata = true;
        QList<CartaCoda> carte;
        const int numero = personalizzata ? 0 : cupsGetDestMediaCount(c.http(), dest, di, CUPS_MEDIA_FLAGS_DEFAULT);
        for (int i = 0; i < numero; ++i) {
            cups_size_t m;
            if (cupsGetDestMediaByIndex(c.http(), dest, di, i, CUPS_MEDIA_FLAGS_DEFAULT, &m) && m.width > 0 &&
                m.length > 0)
                carte << CartaCoda{QByteArray(m.media), m.width / 100.0, m.length / 100.0};
        }
        cupsFreeDestInfo(di);
        if (!carte.isEmpty()) {
            const auto trovata = CartaCorrispondente(larghezza / 100.0, altezza / 100.0, carte);
            if (!trovata) {
                QStringList misure;
                for (const CartaCoda& m : carte)
                    misure << QStringLiteral("%1 x %2").arg(m.larghezza, 0, 'f', 1).arg(m.altezza, 0, 'f', 1);
                misure.removeDuplicates();
                *errore = LoadResString(3160).arg(nome).arg(larghezza / 100.0, 0, 'f', 1).arg(
                    altezza / 100.0, 0, 'f', 1).arg(misure.join(QStringLiteral(", ")));
                return false;
            }
            cartaCoda = trovata->nome;
        }
    }
    cups_option_t* opzioni = nullptr;
    int numeroOpzioni = 0;
    // The options chosen for the queue (lpoptions, such as its resolution, which the
    // barcodes were laid out for), then those chosen in the printer's properties.
    for (int i = 0; i < dest->num_options; ++i)
        if (OpzioneDelLavoro(dest->options[i].name))
            numeroOpzioni = cupsAddOption(dest->options[i].name, dest->options[i].value, numeroOpzioni, &opzioni);
    for (const auto& [nomeOpzione, valore] : carta.opzioni)
        if (OpzioneDelLavoro(nomeOpzione.toUtf8()))
            numeroOpzioni = cupsAddOption(nomeOpzione.toUtf8().constData(), valore.toUtf8().constData(), numeroOpzioni,
                                          &opzioni);
    numeroOpzioni = cupsAddIntegerOption(CUPS_COPIES, std::max(1, lavoro.copie), numeroOpzioni, &opzioni);
    if (!cartaCoda.isEmpty()) {
        numeroOpzioni = cupsAddOption(CUPS_MEDIA, cartaCoda.constData(), numeroOpzioni, &opzioni);
    } else {
        if (pwg_media_t* m = pwgMediaForSize(larghezza, altezza))
            numeroOpzioni = cupsAddOption(CUPS_MEDIA, m->pwg, numeroOpzioni, &opzioni);
        if (const QByteArray pagina = PaginaPersonalizzata(carta); !pagina.isEmpty())
            numeroOpzioni = cupsAddOption("PageSize", pagina.constData(), numeroOpzioni, &opzioni);
    }
    const bool ok = inviaLavoro(c, nomeServer, *dest, nome, titolo, numeroOpzioni, opzioni, CUPS_FORMAT_PDF, pdf,
                                &ultimoLavoro_, errore);
    cupsFreeOptions(numeroOpzioni, opzioni);
    if (!ok) return false;
    if (ferma) {
        *errore = LoadResString(1908).arg(nome, ultimoLavoro_);
        return false;
    }
    return true;
}

bool DispositivoStampaCups::StampaGrezza(const QString& nome, const QString& file, const QString& titolo,
                                         QString* errore)
{
    ultimoLavoro_.clear();
    QFile dati(file);
    if (!dati.open(QIODevice::ReadOnly)) {
        *errore = dati.errorString();
        return false;
    }
    const QString nomeServer = NomeServer();
    Connessione c(server_, tempoMassimo_);
    Destinazioni d;
    cups_dest_t* dest = trovaDestinazione(c, nomeServer, &d, nome, errore);
    if (!dest) return false;
    const QString coda = QString::fromUtf8(dest->name);
    // A queue that lists its formats without raw would turn the job down once sent.
    if (cups_dinfo_t* di = cupsCopyDestInfo(c.http(), dest)) {
        QStringList formati;
        if (ipp_attribute_t* a = cupsFindDestSupported(c.http(), dest, di, "document-format"))
            for (int i = 0; i < ippGetCount(a); ++i) formati << QString::fromUtf8(ippGetString(a, i, nullptr));
        cupsFreeDestInfo(di);
        if (!formati.isEmpty() && !formati.contains(QLatin1String(CUPS_FORMAT_RAW))) {
            *errore = LoadResString(3196).arg(coda, formati.join(QStringLiteral(", ")));
            return false;
        }
    }
    const bool ferma = opzione(*dest, "printer-state") == QLatin1String("5");
    if (!inviaLavoro(c, nomeServer, *dest, coda, titolo.isEmpty() ? QStringLiteral("Cartigo") : titolo, 0, nullptr,
                     CUPS_FORMAT_RAW, dati, &ultimoLavoro_, errore))
        return false;
    if (ferma) {
        *errore = LoadResString(1908).arg(coda, ultimoLavoro_);
        return false;
    }
    return true;
}

}  // namespace cartigo
