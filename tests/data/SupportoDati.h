#pragma once
// Helpers of the data tests: the reader program of this build and the sample files.

#include "common/TestSupport.h"
#include "data/LettoreProcesso.h"
#include "label/Errori.h"

#include <QByteArray>
#include <QString>
#include <QtEndian>
#include <cstring>
#include <functional>

namespace cartigo::test {

inline void UsaLettoreDellaBuild()
{
    LettoreProcesso::ImpostaPercorso(QStringLiteral(CARTIGO_MDBREADER_PATH));
}

// The error `f` throws: its number (0 when it throws none) and its description.
struct Errore {
    int numero = 0;
    QString testo;
    std::string str() const { return testo.toStdString(); }
};
inline Errore ErroreDi(const std::function<void()>& f)
{
    try {
        f();
    } catch (const ErroreCartigo& e) {
        return {e.numero(), e.descrizione()};
    }
    return {};
}

// The reader's stream of an "Order Details" table (OrderID, ProductID, UnitPrice,
// Quantity, Discount) of `righe` rows, whose definition declares `dichiarate` (-1: as
// many): row i holds i, i % 77 + 1, 12.5 + i % 100, i % 50, 0.05.
inline QByteArray FlussoOrderDetails(int righe, qint64 dichiarate = -1)
{
    QByteArray f("CRIGHE1\n");
    const auto u32 = [&](quint32 v) { f.append(reinterpret_cast<const char*>(&(v = qToLittleEndian(v))), 4); };
    const auto u64 = [&](quint64 v) { f.append(reinterpret_cast<const char*>(&(v = qToLittleEndian(v))), 8); };
    const auto reale = [&](double d) {
        quint64 b;
        std::memcpy(&b, &d, 8);
        f.append('F');
        u64(b);
    };
    const QByteArray nome("Order Details");
    f.append('T');
    u32(quint32(nome.size()));
    f.append(nome);
    u32(5);
    u64(quint64(dichiarate < 0 ? righe : dichiarate));
    for (int i = 1; i <= righe; ++i) {
        f.append('R');
        f.append('I');
        u64(quint64(i));
        f.append('I');
        u64(quint64(i % 77 + 1));
        reale(12.5 + i % 100);
        f.append('I');
        u64(quint64(i % 50));
        reale(0.05);
    }
    f.append('Z');
    u64(quint64(righe));
    return f;
}

}  // namespace cartigo::test

// The path of a sample database; skips the test when the samples are not there.
#define CARTIGO_FILE_MDB(var, nome)            \
    CARTIGO_RICHIEDI_TESTDATA(cartella_##var); \
    ::cartigo::test::UsaLettoreDellaBuild();   \
    const QString var = cartella_##var + QStringLiteral("/mdb/") + QStringLiteral(nome)
