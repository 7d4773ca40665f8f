#pragma once
// Page 0 of an MDB/ACCDB file: the format version and the database password,
// read by our own code (the reader process never sees the password).

#include <QByteArray>
#include <QString>

namespace cartigo {

struct IntestazioneMdb {
    enum class Formato { Jet3, Jet4, Ace };
    Formato formato = Formato::Jet3;
    int versione = 0;      // byte 0x14: 0 Jet 3, 1 Jet 4, 2 and up ACE
    QString password;      // empty when the database has none
    bool cifrato = false;  // pages encrypted (not readable here)

    // Bytes per page: 2048 in Jet 3, 4096 in Jet 4 and ACE.
    int DimensionePagina() const { return formato == Formato::Jet3 ? 2048 : 4096; }

    // Reads the header of a file's first bytes. Throws ErroreCartigo 3343 when the
    // bytes are not a database header.
    static IntestazioneMdb Leggi(const QByteArray& pagina0, const QString& percorso);
    // Opens the file and reads its header: 3044 when it cannot be read, 3049 when its
    // length is not a whole number of pages (a file cut short).
    static IntestazioneMdb LeggiFile(const QString& percorso);

    // Checks the password of a connect string's ";PWD=" part: case-sensitive; a
    // database without a password accepts any. Throws 3031 when it does not match.
    void VerificaPassword(const QString& data) const;
};

// RC4, as the header's masked area uses it.
QByteArray Rc4(const QByteArray& chiave, const QByteArray& dati);

}  // namespace cartigo
