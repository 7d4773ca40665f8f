#include "label/VariabiliEtichetta.h"

#include "shell/StringTable.h"

#include <QSet>

namespace cartigo::Variabili {

namespace {

const QString kVariabile = QStringLiteral("Variabile");
const QString kTipo = QStringLiteral("Tipo");
const QString kInizio = QStringLiteral("Inizio");
const QString kPasso = QStringLiteral("Passo");
const QString kCifre = QStringLiteral("Cifre");
const QString kAvanza = QStringLiteral("Avanza");
const QString kContinua = QStringLiteral("Continua");
const QString kFormato = QStringLiteral("Formato");
const QString kSpostamento = QStringLiteral("Spostamento");
const QString kUnita = QStringLiteral("Unita");
const QString kDomanda = QStringLiteral("Domanda");
const QString kPredefinito = QStringLiteral("Predefinito");
const QString kRegola = QStringLiteral("Regola");
const QString kLunghezzaMinima = QStringLiteral("LunghezzaMinima");
const QString kLunghezzaMassima = QStringLiteral("LunghezzaMassima");

const QStringList kTipi{QStringLiteral("Contatore"), QStringLiteral("Data"), QStringLiteral("Richiesta")};
const QStringList kAvanzamenti{QStringLiteral("Etichetta"), QStringLiteral("Copia"), QStringLiteral("Record"),
                               QStringLiteral("Pagina")};
const QStringList kUnita_{QStringLiteral("Giorni"), QStringLiteral("Mesi"), QStringLiteral("Anni")};
const QStringList kRegole{QStringLiteral("Qualsiasi"), QStringLiteral("Cifre"), QStringLiteral("Lunghezza")};

QString unaRiga(QString t)
{
    t.replace(QLatin1String("\r\n"), QLatin1String(" "));
    t.replace(QLatin1Char('\r'), QLatin1Char(' '));
    t.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return t;
}

// The position of `testo` in `nomi`, or `altrimenti`.
template <typename E>
E daNome(const QStringList& nomi, const QString& testo, E altrimenti)
{
    const qsizetype i = nomi.indexOf(testo.trimmed());
    return i < 0 ? altrimenti : E(i);
}

bool tutteCifre(const QString& t)
{
    if (t.isEmpty()) return false;
    for (const QChar c : t)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

}  // namespace

QStringList Righe(const VariabiliEtichetta& variabili)
{
    QStringList r;
    const auto voce = [&r](const QString& nome, const QString& valore) {
        r << nome + QLatin1Char('=') + unaRiga(valore);
    };
    for (const VariabileEtichetta& v : variabili) {
        voce(kVariabile, v.Nome);
        voce(kTipo, kTipi[int(v.Tipo)]);
        switch (v.Tipo) {
            case TipoVariabile::Contatore:
                voce(kInizio, QString::number(v.Inizio));
                voce(kPasso, QString::number(v.Passo));
                voce(kCifre, QString::number(v.Cifre));
                voce(kAvanza, kAvanzamenti[int(v.Avanza)]);
                voce(kContinua, v.Continua ? QStringLiteral("True") : QStringLiteral("False"));
                break;
            case TipoVariabile::Data:
                voce(kFormato, v.Formato);
                voce(kSpostamento, QString::number(v.Spostamento));
                voce(kUnita, kUnita_[int(v.Unita)]);
                break;
            case TipoVariabile::Richiesta:
                voce(kDomanda, v.Domanda);
                voce(kPredefinito, v.Predefinito);
                voce(kRegola, kRegole[int(v.Regola)]);
                if (v.Regola == RegolaValore::Lunghezza) {
                    voce(kLunghezzaMinima, QString::number(v.LunghezzaMinima));
                    voce(kLunghezzaMassima, QString::number(v.LunghezzaMassima));
                }
                break;
        }
    }
    return r;
}

VariabiliEtichetta Leggi(const QStringList& righe)
{
    VariabiliEtichetta r;
    VariabileEtichetta* v = nullptr;
    const auto intero = [](const QString& t, qint64 minimo, qint64 massimo, qint64 altrimenti) {
        bool ok = false;
        const qint64 n = t.trimmed().toLongLong(&ok);
        return ok && n >= minimo && n <= massimo ? n : altrimenti;
    };
    constexpr qint64 kLimite = 999999999999999999;  // 18 digits: steps never overflow
    for (const QString& riga : righe) {
        const qsizetype uguale = riga.indexOf(QLatin1Char('='));
        if (uguale < 0) continue;
        const QString nome = riga.left(uguale);
        const QString valore = riga.mid(uguale + 1);
        if (nome == kVariabile) {
            r.append(VariabileEtichetta{});
            v = &r.last();
            v->Nome = valore.trimmed();
            continue;
        }
        if (!v) continue;
        if (nome == kTipo)
            v->Tipo = daNome(kTipi, valore, TipoVariabile::Contatore);
        else if (nome == kInizio)
            v->Inizio = intero(valore, -kLimite, kLimite, 1);
        else if (nome == kPasso)
            v->Passo = intero(valore, -kLimite, kLimite, 1);
        else if (nome == kCifre)
            v->Cifre = int(intero(valore, 0, 18, 0));
        else if (nome == kAvanza)
            v->Avanza = daNome(kAvanzamenti, valore, AvanzamentoContatore::Etichetta);
        else if (nome == kContinua)
            v->Continua = valore.trimmed() == QLatin1String("True");
        else if (nome == kFormato)
            v->Formato = valore;
        else if (nome == kSpostamento)
            v->Spostamento = int(intero(valore, -100000, 100000, 0));
        else if (nome == kUnita)
            v->Unita = daNome(kUnita_, valore, UnitaSpostamento::Giorni);
        else if (nome == kDomanda)
            v->Domanda = valore;
        else if (nome == kPredefinito)
            v->Predefinito = valore;
        else if (nome == kRegola)
            v->Regola = daNome(kRegole, valore, RegolaValore::Qualsiasi);
        else if (nome == kLunghezzaMinima)
            v->LunghezzaMinima = int(intero(valore, 0, 32767, 0));
        else if (nome == kLunghezzaMassima)
            v->LunghezzaMassima = int(intero(valore, 0, 32767, 0));
    }
    r.removeIf([](const VariabileEtichetta& x) { return x.Nome.isEmpty(); });
    return r;
}

const VariabileEtichetta* Trova(const VariabiliEtichetta& variabili, const QString& nome)
{
    for (const VariabileEtichetta& v : variabili)
        if (v.Nome.compare(nome, Qt::CaseInsensitive) == 0) return &v;
    return nullptr;
}

QString ValoreContatore(const VariabileEtichetta& v, qint64 inizio, qint64 passi)
{
    const qint64 n = inizio + v.Passo * passi;
    const QString cifre = QStringLiteral("%1").arg(n < 0 ? -n : n, v.Cifre, 10, QLatin1Char('0'));
    return n < 0 ? QLatin1Char('-') + cifre : cifre;
}

QString ValoreData(const VariabileEtichetta& v, const QDateTime& ora, const QLocale& lingua)
{
    QDateTime d = ora;
    switch (v.Unita) {
        case UnitaSpostamento::Giorni:
            d = d.addDays(v.Spostamento);
            break;
        case UnitaSpostamento::Mesi:
            d = d.addMonths(v.Spostamento);
            break;
        case UnitaSpostamento::Anni:
            d = d.addYears(v.Spostamento);
            break;
    }
    return lingua.toString(d, v.Formato);
}

QLocale LinguaDate()
{
    return LinguaCorrente() == Lingua::Italiano ? QLocale(QLocale::Italian, QLocale::Italy)
                                                : QLocale(QLocale::English, QLocale::UnitedStates);
}

QString ControllaValore(const VariabileEtichetta& v, const QString& valore)
{
    switch (v.Regola) {
        case RegolaValore::Qualsiasi:
            return {};
        case RegolaValore::Cifre:
            return tutteCifre(valore) ? QString() : LoadResString(2831).arg(v.Nome);
        case RegolaValore::Lunghezza:
            if (v.LunghezzaMassima > 0 && (valore.size() < v.LunghezzaMinima || valore.size() > v.LunghezzaMassima))
                return LoadResString(2832).arg(v.Nome).arg(v.LunghezzaMinima).arg(v.LunghezzaMassima);
            if (valore.size() < v.LunghezzaMinima) return LoadResString(2838).arg(v.Nome).arg(v.LunghezzaMinima);
            return {};
    }
    return {};
}

QString ControllaNomi(const VariabiliEtichetta& variabili)
{
    QSet<QString> visti;
    for (const VariabileEtichetta& v : variabili) {
        const QString nome = v.Nome.trimmed();
        if (nome.isEmpty()) return LoadResString(2835);
        if (nome.contains(QLatin1Char('{')) || nome.contains(QLatin1Char('}')) || nome.contains(QLatin1Char('=')))
            return LoadResString(2837).arg(nome);
        if (visti.contains(nome.toLower())) return LoadResString(2836).arg(nome);
        visti.insert(nome.toLower());
    }
    return {};
}

}  // namespace cartigo::Variabili
