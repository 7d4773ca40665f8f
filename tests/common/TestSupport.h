#pragma once
// Helpers shared by the tests.

#include "label/DocumentoEtichetta.h"
#include "label/FileEtichetta.h"
#include "label/Locale.h"

#include <gtest/gtest.h>
#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <optional>
#include <ostream>

// Texts in failure messages as text.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

// CARTIGO_ASAN: defined when built with AddressSanitizer (gcc or clang).
#if defined(__SANITIZE_ADDRESS__)
#define CARTIGO_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CARTIGO_ASAN 1
#endif
#endif

namespace cartigo::test {

// The folder of the shared sample databases (CARTIGO_TESTDATA, else ../shared/testdata
// beside the checkout), or an empty text when it is not there.
QString CartellaTestdata();
#define CARTIGO_RICHIEDI_TESTDATA(var)                                                         \
    const QString var = ::cartigo::test::CartellaTestdata();                                   \
    if (var.isEmpty())                                                                         \
    GTEST_SKIP() << "sample databases not found: set CARTIGO_TESTDATA or put shared/testdata " \
                    "beside the checkout"

// A QApplication on the offscreen platform (created once, on first use).
void AssicuraApplicazione();

// How far the process's resident memory peaks above what it was while `lavoro` runs, in
// KB; -1 where /proc cannot tell.
qint64 CrescitaPicco(const std::function<void()>& lavoro);

// Reads and writes whole files.
QByteArray LeggiFile(const QString& percorso);
void ScriviFile(const QString& percorso, const QByteArray& dati);
// Writes a script its owner may run, making its folder first.
void ScriviEseguibile(const QString& percorso, const QByteArray& testo);

// What a program run by a test did: its exit code (-1 when it did not end in time and was
// killed, -2 when it crashed) and what it wrote. It runs in `cartella` when one is given.
struct EsitoProgramma {
    int codice = -1;
    QString out, err;
};
EsitoProgramma EseguiProgramma(const QString& programma, const QStringList& argomenti,
                               const QProcessEnvironment& ambiente = QProcessEnvironment::systemEnvironment(),
                               int attesaMs = 120000, const QString& cartella = {});

// A 64 kB tmpfs of its own, mounted for the object's lifetime where the test may mount
// one (as root); tests that need it skip when montato() is false.
class DiscoPiccolo {
public:
    DiscoPiccolo();
    ~DiscoPiccolo();
    DiscoPiccolo(const DiscoPiccolo&) = delete;
    DiscoPiccolo& operator=(const DiscoPiccolo&) = delete;
    bool montato() const { return montato_; }
    QString percorso(const QString& nome = {}) const;
    // Fills it but for about `libero` bytes, with a file of its own.
    void riempi(qint64 libero = 0);
    void svuota();

private:
    QTemporaryDir dir_;
    bool montato_ = false;
};

// What scanners read in a PNG file, one "TYPE:data" line per symbol, or nothing when the
// reader is not installed. zbarimg reads the linear kinds and QR Code (UPC-A and UPC-E
// as themselves, not as EAN-13); dmtxread reads Data Matrix ("DATAMATRIX:...", at most
// `quanti`: it looks until it has found them); ZXingReader the symbols of `formato`
// ("PDF417:...", and GS1 data with their mark: "Code128(GS1):...").
std::optional<QStringList> LeggiZbar(const QString& png);
std::optional<QStringList> LeggiDataMatrix(const QString& png, int quanti = 1);
std::optional<QStringList> LeggiZxing(const QString& png, const QString& formato);
// zbarimg, dmtxread with `dataMatrix` symbols to look for, and ZXingReader for PDF417.
std::optional<QStringList> LeggiTutti(const QString& png, int dataMatrix);
// The first of zbarimg, dmtxread and ZXingReader that is not installed, or nothing.
QString LettoreMancante();

// The two locale values every number case runs under.
struct CasoLocale {
    const char* nome;
    ImpostazioniLocali loc;
};
inline const CasoLocale kLocali[] = {{"italiano", ImpostazioniLocali::italiano()},
                                     {"inglese", ImpostazioniLocali::inglese()}};

// Sets the program's locale value for the lifetime of the object.
class LocaleTemporaneo {
public:
    explicit LocaleTemporaneo(const ImpostazioniLocali& l) : vecchio_(ImpostazioniLocali::correnti())
    {
        ImpostazioniLocali::impostaCorrenti(l);
    }
    ~LocaleTemporaneo() { ImpostazioniLocali::impostaCorrenti(vecchio_); }

private:
    ImpostazioniLocali vecchio_;
};

// Runs `comando` on the label as saved and checks that the label is then marked modified
// exactly when what it saves changed (a command that changes nothing marks nothing).
template <typename F>
void ModificatoSeCambia(DocumentoEtichetta& doc, F&& comando)
{
    doc.ImpostaModificato(false);
    const QByteArray prima = FileEtichetta::DatiEtichetta(doc, ImpostazioniLocali::correnti());
    comando();
    const bool cambiato = FileEtichetta::DatiEtichetta(doc, ImpostazioniLocali::correnti()) != prima;
    EXPECT_EQ(doc.Modificato(), cambiato) << (cambiato ? "changed, not marked" : "marked, nothing changed");
}

}  // namespace cartigo::test
