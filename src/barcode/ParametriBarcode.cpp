#include "barcode/ParametriBarcode.h"

#include "label/Oggetto.h"

namespace cartigo {

namespace {
constexpr char kLivelliQR[] = "LMQH";
}  // namespace

QStringList NomiTipiBarcode()
{
    return {QStringLiteral("Code 39"), QStringLiteral("EAN 13"),      QStringLiteral("Code 128"),
            QStringLiteral("QR Code"), QStringLiteral("Data Matrix"), QStringLiteral("PDF417"),
            QStringLiteral("UPC"),     QStringLiteral("ITF-14")};
}

QString NomeTipoBarcode(int tipo)
{
    const QStringList nomi = NomiTipiBarcode();
    return tipo >= 0 && tipo < nomi.size() ? nomi[tipo] : QString();
}

bool BarcodeBidimensionale(int tipo)
{
    const auto t = static_cast<TipoBarcode>(tipo);
    return t == TipoBarcode::QRCode || t == TipoBarcode::DataMatrix || t == TipoBarcode::PDF417;
}

bool CifreStandardPossibili(int tipo)
{
    return tipo == int(TipoBarcode::EAN13) || tipo == int(TipoBarcode::UPC);
}

ParametriBarcode ParametriBarcode::DaTag(const QString& tag)
{
    ParametriBarcode p;
    p.tipo = CifraImpostazioni(tag, 0);
    p.testo = CifraImpostazioni(tag, 1);
    const QChar terzo = tag.size() > 2 ? tag[2].toUpper() : QChar();
    if (p.tipo == int(TipoBarcode::QRCode)) {
        for (int i = 0; i < 4; ++i)
            if (terzo == QLatin1Char(kLivelliQR[i])) p.correzione = static_cast<CorrezioneQR>(i);
    } else if (p.tipo == int(TipoBarcode::DataMatrix) && terzo == QLatin1Char('R')) {
        p.forma = FormaDataMatrix::Rettangolare;
    } else if (CifreStandardPossibili(p.tipo)) {
        p.cifreStandard = terzo == QLatin1Char('S');
    }
    return p;
}

QString ParametriBarcode::Tag() const
{
    QString t = QString::number(tipo) + QString::number(testo);
    if (tipo == int(TipoBarcode::QRCode))
        t += QLatin1Char(kLivelliQR[static_cast<int>(correzione)]);
    else if (tipo == int(TipoBarcode::DataMatrix))
        t += forma == FormaDataMatrix::Rettangolare ? QLatin1Char('R') : QLatin1Char('Q');
    else if (CifreStandardPossibili(tipo) && cifreStandard)
        t += QLatin1Char('S');
    return t;
}

QString TagNuovoBarcode(const QString& tag)
{
    ParametriBarcode p = ParametriBarcode::DaTag(tag);
    if (!CifreStandardPossibili(p.tipo) || p.cifreStandard) return tag;
    p.cifreStandard = true;
    return p.Tag();
}

}  // namespace cartigo
