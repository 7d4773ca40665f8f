#pragma once
// What the reader programs (cartigo-mdbreader, cartigo-sheetreader) share: the protocol
// they speak on the caller's standard output, one line each ("P <n>" progress,
// "E <code> <text>" failure, "OK"), and the start of their main(): the real standard
// output kept for the protocol while the libraries' own chatter goes to /dev/null, and
// the address-space cap of "--memoria BYTES".

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace lettore {

// The descriptor of the protocol: the caller's standard output.
inline int protocollo = -1;

// One line of the protocol (line breaks in it become spaces). It allocates nothing, so
// that it can still say that memory has run out.
inline void Scrivi(std::string_view riga)
{
    char buf[1024];
    const size_t n = std::min(riga.size(), sizeof buf - 1);
    std::memcpy(buf, riga.data(), n);
    for (size_t i = 0; i < n; ++i)
        if (buf[i] == '\n' || buf[i] == '\r') buf[i] = ' ';
    buf[n] = '\n';
    const char* p = buf;
    size_t resto = n + 1;
    while (resto > 0) {
        const ssize_t w = ::write(protocollo, p, resto);
        if (w <= 0) return;
        p += w;
        resto -= size_t(w);
    }
}

// Says the failure and ends the program with `uscita`.
[[noreturn]] inline void Fallisci(int codice, std::string_view testo, int uscita)
{
    char buf[1024];
    const int n = snprintf(buf, sizeof buf, "E %d %.*s", codice, int(std::min<size_t>(testo.size(), 1000)), testo.data());
    Scrivi(std::string_view(buf, size_t(std::max(n, 0))));
    std::_Exit(uscita);
}

// "P <n>".
inline void ScriviProgresso(long long n)
{
    char buf[32];
    snprintf(buf, sizeof buf, "P %lld", n);
    Scrivi(buf);
}

// Keeps the real standard output for the protocol and sends the program's standard
// output and error to /dev/null; then takes "--memoria BYTES", when it comes first, as
// the cap of the address space. Returns the index of the next argument.
inline int Avvia(int argc, char** argv)
{
    protocollo = ::dup(1);
    const int nulla = ::open("/dev/null", O_WRONLY);
    if (nulla >= 0) {
        ::dup2(nulla, 1);
        ::dup2(nulla, 2);
        ::close(nulla);
    }
    int i = 1;
    if (i + 1 < argc && std::strcmp(argv[i], "--memoria") == 0) {
        const unsigned long long limite = std::strtoull(argv[i + 1], nullptr, 10);
        if (limite > 0) {
            struct rlimit rl {};
            rl.rlim_cur = rl.rlim_max = limite;
            setrlimit(RLIMIT_AS, &rl);
        }
        i += 2;
    }
    return i;
}

}  // namespace lettore
