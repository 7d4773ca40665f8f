#include "stampora/PortaGrezza.h"

#include "shell/StringTable.h"

#include <QElapsedTimer>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace cartigo {

std::optional<IndirizzoPorta> LeggiIndirizzoPorta(const QString& testo)
{
    IndirizzoPorta r;
    QString porta;
    const QString t = testo.trimmed();
    if (t.startsWith(QLatin1Char('['))) {
        const qsizetype chiusa = t.indexOf(QLatin1Char(']'));
        if (chiusa < 0) return std::nullopt;
        r.host = t.mid(1, chiusa - 1);
        const QString resto = t.mid(chiusa + 1);
        if (!resto.isEmpty()) {
            if (!resto.startsWith(QLatin1Char(':'))) return std::nullopt;
            porta = resto.mid(1);
        }
    } else if (t.count(QLatin1Char(':')) == 1) {
        r.host = t.section(QLatin1Char(':'), 0, 0);
        porta = t.section(QLatin1Char(':'), 1);
    } else {
        r.host = t;  // a name, an IPv4 address or a bare IPv6 one
    }
    if (r.host.isEmpty()) return std::nullopt;
    if (!porta.isNull()) {
        bool ok = false;
        const int p = porta.toInt(&ok);
        if (!ok || p < 1 || p > 65535) return std::nullopt;
        r.porta = quint16(p);
    }
    return r;
}

namespace {

// A socket closed when it goes out of scope.
struct Presa {
    int fd = -1;
    ~Presa()
    {
        if (fd >= 0) ::close(fd);
    }
};

}  // namespace

bool InviaPortaGrezza(const IndirizzoPorta& a, QIODevice& dati, int secondi, QString* errore)
{
    QElapsedTimer tempo;
    tempo.start();
    const qint64 limite = qint64(secondi) * 1000;
    const auto restante = [&] { return int(std::max<qint64>(0, limite - tempo.elapsed())); };
    const auto fallisci = [&](const QString& m) {
        if (errore) *errore = m;
        return false;
    };
    const auto scaduto = [&] { return fallisci(LoadResString(1911).arg(a.host).arg(a.porta).arg(secondi)); };

    addrinfo richiesta{};
    richiesta.ai_family = AF_UNSPEC;
    richiesta.ai_socktype = SOCK_STREAM;
    addrinfo* indirizzi = nullptr;
    const int esito = getaddrinfo(a.host.toUtf8().constData(), QByteArray::number(a.porta).constData(), &richiesta,
                                  &indirizzi);
    if (esito != 0) return fallisci(LoadResString(1912).arg(a.host, QString::fromLocal8Bit(gai_strerror(esito))));

    Presa presa;
    int ultimoErrore = 0;
    bool connesso = false;
    for (addrinfo* i = indirizzi; i && !connesso; i = i->ai_next) {
        Presa p;
        p.fd = ::socket(i->ai_family, i->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, i->ai_protocol);
        if (p.fd < 0) {
            ultimoErrore = errno;
            continue;
        }
        if (::connect(p.fd, i->ai_addr, i->ai_addrlen) != 0) {
            if (errno != EINPROGRESS) {
                ultimoErrore = errno;
                continue;
            }
            pollfd pf{p.fd, POLLOUT, 0};
            const int n = ::poll(&pf, 1, restante());
            if (n == 0) {
                freeaddrinfo(indirizzi);
                return scaduto();
            }
            int e = 0;
            socklen_t l = sizeof e;
            if (n < 0 || ::getsockopt(p.fd, SOL_SOCKET, SO_ERROR, &e, &l) != 0 || e != 0) {
                ultimoErrore = n < 0 ? errno : e;
                continue;
            }
        }
        std::swap(presa.fd, p.fd);
        connesso = true;
    }
    freeaddrinfo(indirizzi);
    if (!connesso) {
        if (ultimoErrore == ECONNREFUSED) return fallisci(LoadResString(1910).arg(a.porta).arg(a.host));
        if (ultimoErrore == ETIMEDOUT) return scaduto();
        return fallisci(LoadResString(1912).arg(a.host, QString::fromLocal8Bit(std::strerror(ultimoErrore))));
    }

    char blocco[64 * 1024];
    for (;;) {
        const qint64 letti = dati.read(blocco, sizeof blocco);
        if (letti < 0) return fallisci(dati.errorString());
        if (letti == 0) break;
        qint64 inviati = 0;
        while (inviati < letti) {
            const ssize_t n = ::send(presa.fd, blocco + inviati, size_t(letti - inviati), MSG_NOSIGNAL);
            if (n > 0) {
                inviati += n;
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
                return fallisci(LoadResString(1913).arg(a.host, QString::fromLocal8Bit(std::strerror(errno))));
            // The printer takes no more for now: wait for it, within the time left.
            pollfd pf{presa.fd, POLLOUT, 0};
            if (::poll(&pf, 1, restante()) <= 0) return scaduto();
        }
    }
    // Everything handed over: say so, so that the printer sees the job's end.
    ::shutdown(presa.fd, SHUT_WR);
    return true;
}

}  // namespace cartigo
