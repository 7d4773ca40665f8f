#include "stampora/StamporaCups.h"

#include "shell/StringTable.h"
#include "stampora/DocumentoStampa.h"
#include "stampora/RenderizzatorePagina.h"

#include <cups/cups.h>
#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryFile>

namespace cartigo {

namespace {

constexpr double kTwipsPerMm = 1440.0 / 25.4;

// A destination's name, location and default paper (CUPS gives hundredths of a millimetre).
InfoStampante leggi(cups_dest_t* dest)
{
    InfoStampante info;
    info.nome = QString::fromLocal8Bit(dest->name);
    if (dest->instance) info.nome += QLatin1Char('/') + QString::fromLocal8Bit(dest->instance);
    if (const char* luogo = cupsGetOption("printer-location", dest->num_options, dest->options))
        info.porta = QString::fromLocal8Bit(luogo);
    if (cups_dinfo_t* dettagli = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest)) {
        cups_size_t carta;
        if (cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, dest, dettagli, 0, &carta) && carta.width > 0 &&
            carta.length > 0) {
            info.larghezzaCarta = carta.width / 100.0 * kTwipsPerMm;
            info.altezzaCarta = carta.length / 100.0 * kTwipsPerMm;
        }
        cupsFreeDestInfo(dettagli);
    }
    return info;
}

std::optional<InfoStampante> destinazione(const char* nome, const char* istanza)
{
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nome, istanza);
    if (!dest) return std::nullopt;
    InfoStampante info = leggi(dest);
    cupsFreeDests(1, dest);
    return info;
}

bool inviaACups(const DispositivoStampaCups::Lavoro& lavoro)
{
    cups_option_t* opzioni = nullptr;
    int n = 0;
    for (const auto& [nome, valore] : lavoro.opzioni)
        n = cupsAddOption(nome.constData(), valore.constData(), n, &opzioni);
    const int id =
        cupsPrintFile(lavoro.stampante.toLocal8Bit().constData(), QFile::encodeName(lavoro.filePdf).constData(),
                      lavoro.titolo.toLocal8Bit().constData(), n, opzioni);
    cupsFreeOptions(n, opzioni);
    return id != 0;
}

}  // namespace

DispositivoStampaCups::DispositivoStampaCups() : Invia(inviaACups) {}

InfoStampante DispositivoStampaCups::Predefinita()
{
    return destinazione(nullptr, nullptr).value_or(InfoStampante{});
}

std::optional<InfoStampante> DispositivoStampaCups::Stampante(const QString& nome)
{
    if (nome.isEmpty()) return std::nullopt;
    const QStringList parti = nome.split(QLatin1Char('/'));
    return destinazione(parti[0].toLocal8Bit().constData(),
                        parti.size() > 1 ? parti[1].toLocal8Bit().constData() : nullptr);
}

bool DispositivoStampaCups::Stampa(const DocumentoStampa& doc, int prima, int ultima, QString* errore)
{
    if (doc.Device().isEmpty()) {
        *errore = LoadResString(1432);
        return false;
    }
    // As the Qt printer does it: the paper that matches the size, full page.
    const InfoStampante stampante = doc.Stampante();
    const QPageSize carta(QSizeF(stampante.larghezzaCarta / kTwipsPerMm, stampante.altezzaCarta / kTwipsPerMm),
                          QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
    const bool orizzontale = stampante.orientamento == 1;
    QTemporaryFile file(QDir::temp().filePath(QStringLiteral("cartigo-XXXXXX.pdf")));
    if (!file.open()) {
        *errore = LoadResString(1434);
        return false;
    }
    {
        QPdfWriter pdf(&file);
        pdf.setCreator(QStringLiteral("Cartigo"));
        pdf.setTitle(QStringLiteral("Cartigo"));
        pdf.setResolution(1200);
        pdf.setPageLayout(
            QPageLayout(carta, orizzontale ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF()));
        QPainter p;
        if (!p.begin(&pdf)) {
            *errore = LoadResString(1434);
            return false;
        }
        for (int i = prima; i <= ultima; ++i) {
            if (i > prima && !pdf.newPage()) {
                *errore = LoadResString(1435).arg(i);
                return false;
            }
            p.save();
            ScalaTwips(p, pdf);
            DisegnaPagina(p, doc, i - 1);
            p.restore();
        }
        p.end();
    }
    if (!file.flush()) {
        *errore = LoadResString(1436);
        return false;
    }
    Lavoro lavoro;
    lavoro.stampante = doc.Device().section(QLatin1Char('/'), 0, 0);
    lavoro.filePdf = file.fileName();
    lavoro.titolo = QStringLiteral("Cartigo");
    lavoro.opzioni.append({"media", carta.key().toLocal8Bit()});
    if (orizzontale) lavoro.opzioni.append({"landscape", QByteArray()});
    if (!Invia(lavoro)) {
        *errore = LoadResString(1436);
        return false;
    }
    return true;
}

}  // namespace cartigo
