#include "shell/InterazioneScriptata.h"

namespace cartigo {

Risposta InterazioneScriptata::messaggio(const QString& testo, const QString& titolo,
                                         Pulsanti pulsanti, Icona icona)
{
    messaggi.append({testo, titolo, pulsanti, icona});
    if (risposte.empty())
        return rispostaPredefinita;
    const Risposta r = risposte.front();
    risposte.pop_front();
    return r;
}

std::optional<QString> InterazioneScriptata::scegliFile(const RichiestaFile& richiesta)
{
    richiesteFile.append(richiesta);
    if (file.empty())
        return std::nullopt;
    const bool scelto = file.front().has_value();
    const QString percorso = file.front().value_or(QString());
    file.pop_front();
    if (!scelto)
        return std::nullopt;
    return percorso;
}

std::optional<QColor> InterazioneScriptata::scegliColore(const QColor&, const QString&)
{
    if (colori.empty())
        return std::nullopt;
    auto r = colori.front();
    colori.pop_front();
    return r;
}

std::optional<QFont> InterazioneScriptata::scegliCarattere(const QFont&, const QString&)
{
    if (caratteri.empty())
        return std::nullopt;
    auto r = caratteri.front();
    caratteri.pop_front();
    return r;
}

bool InterazioneScriptata::dialogo(RichiestaDialogo& richiesta)
{
    dialoghi.append(richiesta.nome());
    const auto it = gestoriDialogo.find(richiesta.nome());
    if (it == gestoriDialogo.end())
        return false;
    return it->second(richiesta);
}

QStringList InterazioneScriptata::testi() const
{
    QStringList t;
    for (const auto& m : messaggi)
        t << m.testo;
    return t;
}

}  // namespace cartigo
