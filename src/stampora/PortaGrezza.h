#pragma once
// A label printer's raw port (9100 by default): the job goes over TCP as it is, with no
// print server between, under one time limit for reaching the printer and for each
// part of the job it takes.

#include <QIODevice>
#include <QString>
#include <optional>

namespace cartigo {

inline constexpr quint16 kPortaGrezzaPredefinita = 9100;

struct IndirizzoPorta {
    QString host;
    quint16 porta = kPortaGrezzaPredefinita;
};

// "HOST", "HOST:PORT", "[IPv6]" or "[IPv6]:PORT"; nothing for a missing host or a port
// outside 1-65535.
std::optional<IndirizzoPorta> LeggiIndirizzoPorta(const QString& testo);

// Sends what `dati` holds from its position to its end. False with the reason in
// `errore`: a refused connection, a printer that does not answer or stops taking the
// job within `secondi`, a name that does not resolve.
bool InviaPortaGrezza(const IndirizzoPorta& indirizzo, QIODevice& dati, int secondi, QString* errore);

}  // namespace cartigo
