#include "label/ImmagineEtichetta.h"

#include "label/FileEtichetta.h"
#include "shell/StringTable.h"

#include <QFileInfo>
#include <QImageReader>
#include <algorithm>
#include <map>

namespace cartigo {

ImmagineLetta LeggiImmagine(const QString& percorso, const QString& cartellaEtichetta)
{
    ImmagineLetta r;
    if (percorso.isEmpty()) return r;
    r.file = FileEtichetta::FileVicinoEtichetta(percorso, cartellaEtichetta);
    if (r.file.isEmpty()) {
        r.problema = LoadResString(1301).arg(percorso);
        return r;
    }
    QImageReader lettore(r.file);
    lettore.setAutoTransform(true);
    r.immagine = lettore.read();
    if (r.immagine.isNull()) {
        const QString estensione = QFileInfo(r.file).suffix().toLower();
        r.problema = estensione == QLatin1String("wmf") || estensione == QLatin1String("emf")
                         ? LoadResString(1302).arg(percorso)
                         : LoadResString(1303).arg(percorso, lettore.errorString());
    }
    return r;
}

QStringList ProblemiImmagini(const DocumentoEtichetta& doc)
{
    QStringList problemi;
    for (const OggettoEtichetta* o : doc.Oggetti()) {
        if (o->tipo != TipoOggetto::Immagine || o->Collegato() || !o->Picture.isNull()) continue;
        const QString problema = LeggiImmagine(o->ToolTipText, doc.CartellaEtichetta()).problema;
        if (!problema.isEmpty() && !problemi.contains(problema)) problemi << problema;
    }
    return problemi;
}

QString ElencoProblemi(const QString& intestazione, const QStringList& problemi, int massimo)
{
    QString testo = intestazione;
    for (qsizetype i = 0; i < problemi.size() && i < massimo; ++i) testo += QLatin1Char('\r') + problemi[i];
    if (problemi.size() > massimo) testo += QLatin1Char('\r') + LoadResString(1306).arg(problemi.size() - massimo);
    return testo;
}

QString FiltroImmagini()
{
    // Formats under one name, each with its extensions (jpeg and jpg, tiff and tif).
    const std::map<QString, QString> sinonimi = {
        {QStringLiteral("jpg"), QStringLiteral("jpeg")},
        {QStringLiteral("tif"), QStringLiteral("tiff")},
        {QStringLiteral("svgz"), QStringLiteral("svg")},
    };
    std::map<QString, QStringList> formati;
    for (const QByteArray& f : QImageReader::supportedImageFormats()) {
        const QString estensione = QString::fromLatin1(f).toLower();
        const auto s = sinonimi.find(estensione);
        formati[s == sinonimi.end() ? estensione : s->second] << QStringLiteral("*.") + estensione;
    }
    QList<std::pair<QString, QStringList>> ordinati(formati.begin(), formati.end());
    std::stable_partition(ordinati.begin(), ordinati.end(),
                          [](const auto& v) { return v.first == QLatin1String("png"); });
    QStringList tutte, voci;
    for (const auto& [nome, estensioni] : ordinati) {
        tutte << estensioni;
        voci << QStringLiteral("%1 (%2)").arg(nome.toUpper(), estensioni.join(QLatin1Char(' ')));
    }
    voci.prepend(QStringLiteral("%1 (%2)").arg(LoadResString(1307), tutte.join(QLatin1Char(' '))));
    voci << QStringLiteral("%1 (*)").arg(LoadResString(1308));
    return voci.join(QStringLiteral(";;"));
}

}  // namespace cartigo
