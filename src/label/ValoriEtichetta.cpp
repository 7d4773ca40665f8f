#include "label/ValoriEtichetta.h"

#include "label/DocumentoEtichetta.h"
#include "label/ScritturaFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace cartigo {

RisolutoreValori::RisolutoreValori(VariabiliEtichetta variabili, QLocale lingua)
    : variabili_(std::move(variabili)), lingua_(std::move(lingua))
{
}

std::optional<QString> RisolutoreValori::Valore(const QString& nome) const
{
    if (c_.campo)
        if (auto v = c_.campo(nome)) return v;
    return ValoreVariabile(nome);
}

qint64 RisolutoreValori::Inizio(const VariabileEtichetta& v) const
{
    return c_.inizi.value(v.Nome.toLower(), v.Inizio);
}

qint64 RisolutoreValori::Passi(const VariabileEtichetta& v) const
{
    switch (v.Avanza) {
        case AvanzamentoContatore::Etichetta:
            return c_.etichetta;
        case AvanzamentoContatore::Copia:
            return c_.copia;
        case AvanzamentoContatore::Record:
            return c_.record;
        case AvanzamentoContatore::Pagina:
            return c_.pagina;
    }
    return 0;
}

std::optional<QString> RisolutoreValori::ValoreVariabile(const QString& nome) const
{
    const VariabileEtichetta* v = Variabili::Trova(variabili_, nome);
    if (!v) return std::nullopt;
    switch (v->Tipo) {
        case TipoVariabile::Contatore:
            return Variabili::ValoreContatore(*v, Inizio(*v), Passi(*v));
        case TipoVariabile::Data:
            return Variabili::ValoreData(*v, c_.ora.isValid() ? c_.ora : QDateTime::currentDateTime(), lingua_);
        case TipoVariabile::Richiesta: {
            const auto it = c_.richiesti.constFind(v->Nome.toLower());
            return it == c_.richiesti.constEnd() ? v->Predefinito : *it;
        }
    }
    return std::nullopt;
}

const ModelloUnione& RisolutoreValori::modello(const QString& testo)
{
    auto it = modelli_.find(testo);
    if (it == modelli_.end()) it = modelli_.insert(testo, ModelloUnione(testo));
    return *it;
}

QString RisolutoreValori::Componi(const QString& testo)
{
    return Componi(testo, [this](const QString& nome) { return Valore(nome); });
}

QString RisolutoreValori::Componi(const QString& testo,
                                  const std::function<std::optional<QString>(const QString&)>& valore)
{
    if (!testo.contains(QLatin1String("${"))) return testo;
    return modello(testo).Componi(valore);
}

bool RisolutoreValori::UsaVariabili(const QString& testo)
{
    if (variabili_.isEmpty() || !testo.contains(QLatin1String("${"))) return false;
    for (const QString& nome : modello(testo).Campi())
        if (Variabili::Trova(variabili_, nome)) return true;
    return false;
}

namespace Numerazione {

namespace {

QString chiaveEtichetta(const QString& percorso)
{
    const QFileInfo f(percorso);
    const QString canonico = f.canonicalFilePath();
    return canonico.isEmpty() ? f.absoluteFilePath() : canonico;
}

// The lines of the state file: path, counter name (lower case), the start the label held,
// the next value; tabs between.
struct Voce {
    QString etichetta, nome;
    qint64 base = 0, prossimo = 0;
};

QList<Voce> leggiVoci()
{
    QList<Voce> r;
    QFile f(FileStato());
    if (!f.open(QIODevice::ReadOnly)) return r;
    const QStringList righe = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& riga : righe) {
        const QStringList p = riga.split(QLatin1Char('\t'));
        if (p.size() != 4) continue;
        bool ok1 = false, ok2 = false;
        Voce v{p[0], p[1], p[2].toLongLong(&ok1), p[3].toLongLong(&ok2)};
        if (ok1 && ok2) r.append(v);
    }
    return r;
}

}  // namespace

QString FileStato()
{
    QString cartella = qEnvironmentVariable("XDG_STATE_HOME");
    if (cartella.isEmpty() || QFileInfo(cartella).isRelative())
        cartella = QDir::homePath() + QStringLiteral("/.local/state");
    return cartella + QStringLiteral("/cartigo/numerazione");
}

qint64 Inizio(const QString& percorso, const VariabileEtichetta& v)
{
    if (percorso.isEmpty() || !v.Continua) return v.Inizio;
    const QString chiave = chiaveEtichetta(percorso);
    for (const Voce& x : leggiVoci())
        if (x.etichetta == chiave && x.nome == v.Nome.toLower() && x.base == v.Inizio) return x.prossimo;
    return v.Inizio;
}

QString Conserva(const QString& percorso, const VariabileEtichetta& v, qint64 prossimo)
{
    const QString chiave = chiaveEtichetta(percorso);
    QList<Voce> voci = leggiVoci();
    voci.removeIf([&](const Voce& x) { return x.etichetta == chiave && x.nome == v.Nome.toLower(); });
    voci.append({chiave, v.Nome.toLower(), v.Inizio, prossimo});
    QByteArray dati;
    for (const Voce& x : voci)
        dati += QStringLiteral("%1\t%2\t%3\t%4\n").arg(x.etichetta, x.nome).arg(x.base).arg(x.prossimo).toUtf8();
    const QString file = FileStato();
    if (!QDir().mkpath(QFileInfo(file).absolutePath())) return QFileInfo(file).absolutePath();
    QString errore;
    ScriviFile(file, dati, &errore);
    return errore;
}

bool EtichettaScrivibile(const QString& percorso)
{
    if (percorso.isEmpty()) return false;
    const QFileInfo f(percorso);
    return f.isFile() && f.isWritable() && QFileInfo(f.absolutePath()).isWritable();
}

}  // namespace Numerazione

RisolutoreValori ValoriProssimaStampa(const DocumentoEtichetta& doc, const QDateTime& ora)
{
    RisolutoreValori r(doc.Variabili());
    r.Contesto().ora = ora;
    for (const VariabileEtichetta& v : doc.Variabili())
        if (v.Tipo == TipoVariabile::Contatore && v.Continua)
            r.Contesto().inizi.insert(v.Nome.toLower(), Numerazione::Inizio(doc.NomeFileEtichetta(), v));
    return r;
}

}  // namespace cartigo
