#include "barcode/SimboloZint.h"

#include "barcode/EAN.h"
#include "label/FileEtichetta.h"
#include "shell/StringTable.h"

#include <zint.h>
#include <QHash>
#include <QMutex>
#include <QRegularExpression>

namespace cartigo {

QString MessaggioDatiNonCodificabili()
{
    return LoadResString(1600);
}
QString MessaggioDatiTroppoLunghi()
{
    return LoadResString(1601);
}
QString MessaggioSoloCifre()
{
    return modCartigo::EANNonNumerico();
}
QString MessaggioLunghezzaUPC()
{
    return LoadResString(1602);
}
QString MessaggioSistemaUPCE()
{
    return LoadResString(1603);
}
QString MessaggioCifraControllo()
{
    return LoadResString(1604);
}
QString MessaggioDatiGS1()
{
    return LoadResString(1605);
}
QString MessaggioCaratteriCode128()
{
    return LoadResString(1606);
}

namespace {

// Light modules around each kind, as their standards ask.
constexpr int kQuieteCode128 = 10;
constexpr int kQuieteUPC = 9;
constexpr int kQuieteDestraUPCE = 7;
constexpr int kQuieteITF = 10;
constexpr int kQuieteQR = 4;
constexpr int kQuieteDataMatrix = 1;
constexpr int kQuietePDF417 = 2;
constexpr double kAltezzaRigaPDF417 = 3;

// The six rectangular sizes of Data Matrix ECC 200, smallest first (libzint's sizes 25 to 30).
constexpr int kPrimaRettangolareDM = 25;
constexpr int kUltimaRettangolareDM = 30;

bool soloCifre(const QString& t)
{
    if (t.isEmpty()) return false;
    for (const QChar c : t)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

bool soloAscii(const QString& t)
{
    for (const QChar c : t)
        if (c.unicode() > 0x7F) return false;
    return true;
}

// Data that start with an application identifier in brackets.
bool datiGS1(const QString& t)
{
    static const QRegularExpression ai(QStringLiteral("^\\(\\d{2,4}\\)"));
    return ai.match(t).hasMatch();
}

// libzint's message without its "Error 123: " in front.
QString parole(const zint_symbol& s)
{
    QString t = QString::fromUtf8(s.errtxt);
    const qsizetype dueP = t.indexOf(QLatin1String(": "));
    return dueP >= 0 && dueP < 16 ? t.mid(dueP + 2) : t;
}

struct Richiesta {
    int simbologia = 0;
    int modo = DATA_MODE;
    int opzione1 = 0, opzione2 = 0, opzione3 = 0;
    int eci = 0;
    QByteArray dati;
};

// The text beyond ASCII of the two-dimensional kinds travels as UTF-8 and says so.
void testoLibero(Richiesta& r, const QString& dati)
{
    r.dati = dati.toUtf8();
    if (!soloAscii(dati)) {
        r.modo = UNICODE_MODE;
        r.eci = 26;
    }
}

// Runs libzint; `esito` gets the modules, or libzint's code and words.
int codifica(const Richiesta& r, SimboloZint& esito)
{
    std::unique_ptr<zint_symbol, decltype(&ZBarcode_Delete)> s(ZBarcode_Create(), &ZBarcode_Delete);
    if (!s) return ZINT_ERROR_MEMORY;
    s->symbology = r.simbologia;
    s->input_mode = r.modo;
    s->option_1 = r.opzione1;
    s->option_2 = r.opzione2;
    s->option_3 = r.opzione3;
    s->eci = r.eci;
    const int codice = ZBarcode_Encode(s.get(), reinterpret_cast<const unsigned char*>(r.dati.constData()),
                                       static_cast<int>(r.dati.size()));
    // A symbol that libzint calls non-compliant (such as a GS1 check digit that is wrong)
    // is one a scanner may refuse.
    if (codice >= ZINT_ERROR || codice == ZINT_WARN_NONCOMPLIANT) {
        esito.dettaglio = parole(*s);
        return codice == ZINT_WARN_NONCOMPLIANT ? ZINT_ERROR_INVALID_DATA : codice;
    }
    esito.colonne = s->width;
    esito.righe = s->rows;
    esito.moduli.assign(std::size_t(s->width) * std::size_t(s->rows), 0);
    for (int y = 0; y < s->rows; ++y)
        for (int x = 0; x < s->width; ++x)
            esito.moduli[std::size_t(y) * std::size_t(s->width) + x] = (s->encoded_data[y][x >> 3] >> (x & 7)) & 1;
    esito.testo = QString::fromUtf8(reinterpret_cast<const char*>(s->text));
    esito.dettaglio.clear();
    return 0;
}

SimboloZint rifiuto(const QString& messaggio, const QString& dettaglio = {})
{
    SimboloZint s;
    s.messaggio = messaggio;
    s.dettaglio = dettaglio;
    return s;
}

SimboloZint codificaNuovo(const ParametriBarcode& p, const QString& dati)
{
    SimboloZint s;
    Richiesta r;
    QString messaggioNonValidi = MessaggioDatiNonCodificabili();
    switch (static_cast<TipoBarcode>(p.tipo)) {
        case TipoBarcode::Code128:
            s.quieteSinistra = s.quieteDestra = kQuieteCode128;
            r.dati = dati.toUtf8();
            if (datiGS1(dati)) {
                r.simbologia = BARCODE_GS1_128;
                r.modo = GS1_MODE | GS1PARENS_MODE;
                messaggioNonValidi = MessaggioDatiGS1();
            } else {
                r.simbologia = BARCODE_CODE128;
                r.modo = UNICODE_MODE;
                messaggioNonValidi = MessaggioCaratteriCode128();
            }
            break;
        case TipoBarcode::QRCode:
            r.simbologia = BARCODE_QRCODE;
            r.opzione1 = static_cast<int>(p.correzione) + 1;
            testoLibero(r, dati);
            s.quieteSinistra = s.quieteDestra = s.quieteVerticale = kQuieteQR;
            break;
        case TipoBarcode::DataMatrix:
            r.simbologia = BARCODE_DATAMATRIX;
            if (p.forma == FormaDataMatrix::Quadrata)
                r.opzione3 = DM_SQUARE;
            else
                r.opzione2 = kPrimaRettangolareDM;
            testoLibero(r, dati);
            s.quieteSinistra = s.quieteDestra = s.quieteVerticale = kQuieteDataMatrix;
            break;
        case TipoBarcode::PDF417:
            r.simbologia = BARCODE_PDF417;
            testoLibero(r, dati);
            s.altezzaRiga = kAltezzaRigaPDF417;
            s.quieteSinistra = s.quieteDestra = s.quieteVerticale = kQuietePDF417;
            break;
        case TipoBarcode::UPC: {
            const QString cifre = modCartigo::TestoTrim(dati);
            if (!soloCifre(cifre)) return rifiuto(MessaggioSoloCifre());
            const auto n = cifre.size();
            if (n == 11 || n == 12) {
                r.simbologia = BARCODE_UPCA;
                s.quieteDestra = kQuieteUPC;
            } else if (n >= 6 && n <= 8) {
                // Of 7 or 8 digits the first is the number system, 0 or 1.
                if (n > 6 && cifre[0] != QLatin1Char('0') && cifre[0] != QLatin1Char('1'))
                    return rifiuto(MessaggioSistemaUPCE());
                r.simbologia = BARCODE_UPCE;
                s.quieteDestra = kQuieteDestraUPCE;
            } else {
                return rifiuto(MessaggioLunghezzaUPC());
            }
            s.quieteSinistra = kQuieteUPC;
            r.dati = cifre.toLatin1();
            break;
        }
        case TipoBarcode::ITF: {
            QString cifre = modCartigo::TestoTrim(dati);
            if (!soloCifre(cifre)) return rifiuto(MessaggioSoloCifre());
            if (cifre.size() == 14 || cifre.size() == 13) {
                // libzint adds the check digit to 13 digits; 14 must carry the right one.
                if (cifre.size() == 14) {
                    if (cifre.back().digitValue() != modCartigo::CifraControlloEAN(cifre.left(13)))
                        return rifiuto(MessaggioCifraControllo());
                    cifre.chop(1);
                }
                r.simbologia = BARCODE_ITF14;
                s.barreSostegno = true;
            } else {
                r.simbologia = BARCODE_C25INTER;
            }
            r.dati = cifre.toLatin1();
            s.quieteSinistra = s.quieteDestra = kQuieteITF;
            break;
        }
        default:
            return rifiuto(MessaggioDatiNonCodificabili());
    }

    int codice = codifica(r, s);
    // A rectangle: the smallest of the six sizes that holds the data.
    while (codice == ZINT_ERROR_TOO_LONG && r.simbologia == BARCODE_DATAMATRIX && r.opzione2 != 0 &&
           r.opzione2 < kUltimaRettangolareDM) {
        ++r.opzione2;
        codice = codifica(r, s);
    }
    switch (codice) {
        case 0:
            return s;
        case ZINT_ERROR_TOO_LONG:
            return rifiuto(MessaggioDatiTroppoLunghi(), s.dettaglio);
        case ZINT_ERROR_INVALID_CHECK:
            return rifiuto(MessaggioCifraControllo(), s.dettaglio);
        case ZINT_ERROR_INVALID_DATA:
            return rifiuto(messaggioNonValidi, s.dettaglio);
        default:
            return rifiuto(MessaggioDatiNonCodificabili(), s.dettaglio);
    }
}

}  // namespace

std::shared_ptr<const SimboloZint> CodificaZint(const ParametriBarcode& parametri, const QString& dati)
{
    // The position of the text does not change the modules.
    ParametriBarcode chiaveParametri = parametri;
    chiaveParametri.testo = 0;
    const QString chiave = chiaveParametri.Tag() + QChar(0x1F) + dati;

    static QMutex mutex;
    static QHash<QString, std::shared_ptr<const SimboloZint>> recenti;
    constexpr qsizetype kMassimoRecenti = 512;
    {
        QMutexLocker lock(&mutex);
        const auto it = recenti.constFind(chiave);
        if (it != recenti.constEnd()) return *it;
    }
    auto simbolo = std::make_shared<const SimboloZint>(codificaNuovo(parametri, dati));
    QMutexLocker lock(&mutex);
    if (recenti.size() >= kMassimoRecenti) recenti.clear();
    recenti.insert(chiave, simbolo);
    return simbolo;
}

}  // namespace cartigo
