#include "shell/StringTable.h"

#include <QFile>
#include <QHash>
#include <QLocale>
#include <QStringList>
#include <utility>

namespace cartigo {

namespace {

using Voci = QHash<int, std::pair<QString, QString>>;

// In the table "\r", "\n" and "\\" stand for the line breaks of a message and a backslash.
QString decodifica(const QString& t)
{
    if (!t.contains(QLatin1Char('\\'))) return t;
    QString r;
    r.reserve(t.size());
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t.at(i);
        const QChar dopo = i + 1 < t.size() ? t.at(i + 1) : QChar();
        if (c == QLatin1Char('\\') && (dopo == QLatin1Char('r') || dopo == QLatin1Char('n') || dopo == c)) {
            r += dopo == QLatin1Char('r') ? QLatin1Char('\r') : dopo == QLatin1Char('n') ? QLatin1Char('\n') : c;
            ++i;
        } else {
            r += c;
        }
    }
    return r;
}

const Voci& tabella()
{
    static const Voci voci = [] {
        Voci v;
        QFile f(QStringLiteral(":/cartigo/stringtable.tsv"));
        if (!f.open(QIODevice::ReadOnly))
            return v;
        const QStringList righe = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
        for (const QString& riga : righe) {
            if (riga.isEmpty() || riga.startsWith(QLatin1Char('#')))
                continue;
            const QStringList c = riga.split(QLatin1Char('\t'));
            if (c.size() != 3)
                continue;
            v.insert(c[0].toInt(), {decodifica(c[1]), decodifica(c[2])});
        }
        return v;
    }();
    return voci;
}

bool& linguaImpostata()
{
    static bool b = false;
    return b;
}

Lingua& linguaScelta()
{
    static Lingua l = Lingua::Inglese;
    return l;
}

}  // namespace

Lingua LinguaUtente()
{
    const QStringList lingue = QLocale::system().uiLanguages();
    if (!lingue.isEmpty() && lingue.first().startsWith(QLatin1String("it")))
        return Lingua::Italiano;
    return Lingua::Inglese;
}

Lingua LinguaCorrente() { return linguaImpostata() ? linguaScelta() : LinguaUtente(); }

void ImpostaLingua(Lingua lingua)
{
    linguaImpostata() = true;
    linguaScelta() = lingua;
}

QString LoadResString(int id, Lingua lingua)
{
    const auto it = tabella().constFind(id);
    if (it == tabella().constEnd())
        return {};
    return lingua == Lingua::Italiano ? it->first : it->second;
}

QString LoadResString(int id) { return LoadResString(id, LinguaCorrente()); }

}  // namespace cartigo
