#pragma once
// Run-time errors carried with the numbers and descriptions users of the
// original program know ("Errore non gestito. Codice: 62").

#include <QString>
#include <stdexcept>

namespace cartigo {

namespace CodiceErrore {
constexpr int Overflow = 6;
constexpr int IndiceFuoriIntervallo = 9;  // Subscript out of range
constexpr int TipoNonCorrispondente = 13;  // Type mismatch
constexpr int FileNonTrovato = 53;
constexpr int FineFile = 62;              // Input past end of file
constexpr int PermessoNegato = 70;
constexpr int ErrorePercorso = 75;
constexpr int ImmagineNonValida = 481;
}  // namespace CodiceErrore

class ErroreCartigo : public std::runtime_error {
public:
    ErroreCartigo(int numero, const QString& descrizione)
        : std::runtime_error(descrizione.toStdString()), numero_(numero), descrizione_(descrizione)
    {
    }
    int numero() const { return numero_; }
    const QString& descrizione() const { return descrizione_; }

    // The standard description of a known error number.
    static QString descrizioneDi(int numero);
    static ErroreCartigo di(int numero) { return {numero, descrizioneDi(numero)}; }

private:
    int numero_;
    QString descrizione_;
};

// "Errore non gestito. Codice: " + number + CR + description.
QString TestoErroreNonGestito(int numero, const QString& descrizione);

}  // namespace cartigo
