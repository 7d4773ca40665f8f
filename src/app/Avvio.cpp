#include "app/Avvio.h"

#include "label/GestoreEtichetta.h"
#include "label/NomiFile.h"
#include "shell/StringTable.h"

#include <QFile>
#include <QFileInfo>

namespace cartigo {

namespace modCartigo {

QStringList LeggiRigaComando(const QString& rigaComando, int massimo)
{
    QStringList campi;
    bool aperto = false;
    for (QChar c : rigaComando) {
        if (c == QLatin1Char(',')) {
            aperto = false;
            continue;
        }
        if (!aperto) {
            if (campi.size() >= massimo) break;
            campi << QString();
            aperto = true;
        }
        campi.last().append(c);
    }
    return campi;
}

std::optional<QString> TestoOpzioneInformativa(const QList<QByteArray>& argomenti)
{
    const QByteArray primo = argomenti.value(0);
    if (primo == "--help" || primo == "-h") return LoadResString(1001) + QLatin1Char('\n');
    if (primo == "--version") return QStringLiteral("cartigo ") + VersioneProgramma() + QLatin1Char('\n');
    return std::nullopt;
}

}  // namespace modCartigo

AvvioProgramma AvvioProgramma::DaCampi(const QStringList& campi)
{
    AvvioProgramma a;
    QStringList c;
    for (const QString& s : campi) c << s.trimmed();
    const auto n = c.size();
    if (n == 1) {
        a.carica = !c[0].isEmpty();
        a.fileEtichetta = c[0];
    } else if (n >= 2 && n <= 4) {
        a.carica = true;
        a.fileEtichetta = c[0];
        a.stampaEdEsci = c[1] == QLatin1String("-S");
        if (n >= 3) a.nomeDatabase = c[2];
        if (n == 4) a.passwordDatabase = c[3];
    }
    return a;
}

AvvioProgramma AvvioProgramma::DaArgomenti(const QList<QByteArray>& argomenti)
{
    if (argomenti.size() == 1) {
        const QString file = modCartigo::PercorsoDaSistema(argomenti[0]);
        if (QFileInfo(file).isFile()) {
            AvvioProgramma a;
            a.carica = true;
            a.fileEtichetta = file;
            return a;
        }
    }
    // Split the bytes (Latin-1 keeps each byte as one character; a comma is never part of
    // a UTF-8 sequence), then decode each field: the label and the database as paths.
    const QStringList grezzi = modCartigo::LeggiRigaComando(QString::fromLatin1(argomenti.join(' ')), 10);
    QStringList campi;
    for (qsizetype i = 0; i < grezzi.size(); ++i) {
        const QByteArray campo = grezzi[i].toLatin1().trimmed();
        campi << (i == 0 || i == 2 ? modCartigo::PercorsoDaSistema(campo) : QFile::decodeName(campo));
    }
    return DaCampi(campi);
}

AvvioProgramma AvvioProgramma::DaArgomenti(const QStringList& argomenti)
{
    QList<QByteArray> b;
    for (const QString& a : argomenti) b << QFile::encodeName(a);
    return DaArgomenti(b);
}

}  // namespace cartigo
