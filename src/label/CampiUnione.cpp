#include "label/CampiUnione.h"

namespace cartigo {

ModelloUnione::ModelloUnione(const QString& testo)
{
    QString letterale;
    const auto chiudiLetterale = [&] {
        if (!letterale.isEmpty()) pezzi_.append({letterale, {}});
        letterale.clear();
    };
    qsizetype i = 0;
    const qsizetype n = testo.size();
    while (i < n) {
        if (testo.at(i) == QLatin1Char('$') && testo.mid(i, 3) == QLatin1String("$${")) {
            letterale += QLatin1String("${");
            unione_ = true;
            i += 3;
            continue;
        }
        if (testo.at(i) == QLatin1Char('$') && testo.mid(i, 2) == QLatin1String("${")) {
            const qsizetype fine = testo.indexOf(QLatin1Char('}'), i + 2);
            const QString nome = fine < 0 ? QString() : testo.mid(i + 2, fine - i - 2).trimmed();
            if (!nome.isEmpty()) {
                chiudiLetterale();
                pezzi_.append({testo.mid(i, fine - i + 1), nome});
                unione_ = true;
                i = fine + 1;
                continue;
            }
        }
        letterale += testo.at(i);
        ++i;
    }
    chiudiLetterale();
}

QStringList ModelloUnione::Campi() const
{
    QStringList r;
    for (const Pezzo& p : pezzi_)
        if (!p.campo.isEmpty()) r << p.campo;
    return r;
}

QString ModelloUnione::Componi(const std::function<std::optional<QString>(const QString&)>& valore) const
{
    QString r;
    for (const Pezzo& p : pezzi_) {
        if (p.campo.isEmpty()) {
            r += p.testo;
        } else if (const auto v = valore(p.campo)) {
            r += *v;
        } else {
            r += p.testo;
        }
    }
    return r;
}

QString ModelloUnione::Segnaposto(const QString& nome)
{
    return QStringLiteral("${") + nome + QLatin1Char('}');
}

}  // namespace cartigo
