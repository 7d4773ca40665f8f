#pragma once
#include <functional>
// Helpers for the print engine's tests: the recorded operations of a page, a printer
// that records what it was asked to print, and a program folder of its own.

#include "stampora/DispositivoStampa.h"
#include "stampora/DocumentoStampa.h"
#include "stampora/FileIni.h"

#include <QFile>
#include <QTemporaryDir>
#include <vector>

namespace cartigo::test {

inline std::vector<Operazione> Operazioni(const DocumentoStampa& d, int pagina = 0)
{
    std::vector<Operazione> v;
    if (pagina < d.PageCount()) d.Pagina(pagina).PerOgni([&](const Operazione& op) { v.push_back(op); });
    return v;
}

class StampanteFinta : public DispositivoStampa {
public:
    InfoStampante info;
    bool fallisci = false;
    struct Lavoro {
        int prima, ultima, pagine, copie;
        QString titolo;
    };
    std::vector<Lavoro> lavori;
    std::function<void(const DocumentoStampa&)> guarda;  // sees each document printed
    QString codaGrezza;  // the queue and the file of the last raw job
    QByteArray grezzo;

    StampanteFinta()
    {
        info.nome = QStringLiteral("Finta");
        info.porta = QStringLiteral("ipp://finta");
        ImpostaDispositivoStampa(this);
    }
    ~StampanteFinta() override { ImpostaDispositivoStampa(nullptr); }
    InfoStampante Predefinita() override { return info; }
    bool Stampa(const DocumentoStampa& doc, const LavoroStampa& l, QString* errore) override
    {
        if (fallisci) {
            *errore = QStringLiteral("carta esaurita");
            return false;
        }
        lavori.push_back({l.prima, l.ultima, doc.PageCount(), l.copie, l.titolo});
        if (guarda) guarda(doc);
        return true;
    }
    bool StampaGrezza(const QString& coda, const QString& file, const QString&, QString*) override
    {
        QFile f(file);
        codaGrezza = coda;
        grezzo = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        return true;
    }
};

// The program's folder in a temporary folder for the lifetime of the object.
class CartellaProgrammaTemporanea {
public:
    CartellaProgrammaTemporanea() { modCartigo::ImpostaCartellaProgramma(dir.path()); }
    ~CartellaProgrammaTemporanea() { modCartigo::ImpostaCartellaProgramma(QString()); }
    QString percorso(const QString& nome) const { return dir.filePath(nome); }
    QTemporaryDir dir;
};

}  // namespace cartigo::test
