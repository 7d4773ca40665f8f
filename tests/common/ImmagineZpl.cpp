#include "common/ImmagineZpl.h"

#include "common/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QStandardPaths>
#include <QtEndian>
#include <cmath>

namespace cartigo::test {

namespace {

int ValoreEsadecimale(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// ASCII hex with ZPL's compression, `perRiga` bytes a row, into `totale` bytes.
QByteArray EsadecimaleCompresso(const QByteArray& d, int perRiga, int totale)
{
    const int cifreRiga = perRiga * 2;
    QByteArray cifre;  // the hex digits of the current row
    QByteArray out;
    QByteArray precedente(perRiga, '\0');
    int conta = 0;
    const auto chiudiRiga = [&](char riempi) {
        while (cifre.size() < cifreRiga) cifre += riempi;
        QByteArray riga(perRiga, '\0');
        for (int i = 0; i < perRiga; ++i)
            riga[i] = char(ValoreEsadecimale(cifre[2 * i]) * 16 + ValoreEsadecimale(cifre[2 * i + 1]));
        out += riga;
        precedente = riga;
        cifre.clear();
    };
    for (const char c : d) {
        if (out.size() >= totale) break;
        if (c >= 'G' && c <= 'Y') {
            conta += c - 'G' + 1;
        } else if (c >= 'g' && c <= 'z') {
            conta += (c - 'g' + 1) * 20;
        } else if (ValoreEsadecimale(c) >= 0) {
            for (int n = std::max(conta, 1); n > 0 && cifre.size() < cifreRiga; --n) cifre += c;
            conta = 0;
            if (cifre.size() == cifreRiga) chiudiRiga('0');
        } else if (c == ',') {
            chiudiRiga('0');
        } else if (c == '!') {
            chiudiRiga('F');
        } else if (c == ':') {
            out += precedente;
        }
    }
    if (!cifre.isEmpty()) chiudiRiga('0');
    return out.left(totale);
}

// ":Z64:data:crc" or ":B64:data:crc".
QByteArray Base64(const QByteArray& d, int totale)
{
    const bool z = d.startsWith(":Z64:");
    QByteArray b64 = d.mid(5);
    const qsizetype fine = b64.indexOf(':');
    if (fine >= 0) b64.truncate(fine);
    QByteArray dati = QByteArray::fromBase64(b64.simplified().replace(' ', ""));
    if (!z) return dati;
    QByteArray conLunghezza(4, '\0');
    qToBigEndian<quint32>(quint32(totale), conLunghezza.data());
    return qUncompress(conLunghezza + dati);
}

QImage Immagine(const QByteArray& byte, int perRiga)
{
    if (perRiga <= 0 || byte.size() < perRiga) return {};
    const int righe = int(byte.size() / perRiga);
    QImage img(perRiga * 8, righe, QImage::Format_Mono);
    img.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    for (int y = 0; y < righe; ++y) memcpy(img.scanLine(y), byte.constData() + qsizetype(y) * perRiga, perRiga);
    return img;
}

// The data of one graphic, from `inizio` to the next command.
QByteArray DatiFinoAlComando(const QByteArray& zpl, qsizetype inizio)
{
    qsizetype fine = inizio;
    while (fine < zpl.size() && zpl[fine] != '^' && zpl[fine] != '~') ++fine;
    return zpl.mid(inizio, fine - inizio);
}

}  // namespace

std::vector<QImage> ImmaginiZpl(const QByteArray& zpl)
{
    std::vector<QImage> immagini;
    for (qsizetype i = 0; i < zpl.size(); ++i) {
        const bool gf = zpl.mid(i, 3) == "^GF";
        const bool dg = zpl.mid(i, 3) == "~DG";
        if (!gf && !dg) continue;
        // ^GFa,b,c,d,data   ~DGname,t,w,data
        const int campi = gf ? 4 : 3;
        qsizetype p = i + 3;
        QList<QByteArray> parametri;
        for (int n = 0; n < campi; ++n) {
            const qsizetype virgola = zpl.indexOf(',', p);
            if (virgola < 0) return immagini;
            parametri << zpl.mid(p, virgola - p).trimmed();
            p = virgola + 1;
        }
        const char formato = gf ? (parametri[0].isEmpty() ? 'A' : parametri[0][0]) : 'A';
        const int totale = parametri[gf ? 2 : 1].toInt();
        const int perRiga = parametri[gf ? 3 : 2].toInt();
        if (totale <= 0 || perRiga <= 0) continue;
        QByteArray byte;
        if (formato == 'B') {
            byte = zpl.mid(p, parametri[1].toInt());
        } else {
            const QByteArray d = DatiFinoAlComando(zpl, p);
            byte = d.startsWith(":Z64:") || d.startsWith(":B64:") ? Base64(d, totale)
                                                                   : EsadecimaleCompresso(d, perRiga, totale);
        }
        immagini.push_back(Immagine(byte.left(totale), perRiga));
        i = p;
    }
    return immagini;
}

namespace {
QString moduliNode() { return QStringLiteral(CARTIGO_STRUMENTI_ZPL "/node_modules"); }
}  // namespace

bool RendererZplPresente()
{
    return QFileInfo::exists(moduliNode() + QLatin1Char('/') + QLatin1String(kRendererZpl)) &&
           !QStandardPaths::findExecutable(QStringLiteral("node")).isEmpty();
}

std::optional<QStringList> RenderizzaZpl(const QByteArray& zpl, double larghezzaMm, double altezzaMm, double dpi,
                                         const QString& cartella)
{
    if (!RendererZplPresente()) return std::nullopt;
    const QString file = QDir(cartella).filePath(QStringLiteral("etichette.zpl"));
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly) || f.write(zpl) != zpl.size()) return std::nullopt;
    f.close();
    QProcessEnvironment amb = QProcessEnvironment::systemEnvironment();
    amb.insert(QStringLiteral("NODE_PATH"), moduliNode());
    const QString radice = QDir(cartella).filePath(QStringLiteral("etichetta"));
    const auto e = EseguiProgramma(
        QStringLiteral("node"),
        {QStringLiteral(CARTIGO_SOURCE_DIR "/tests/common/zpl_png.cjs"), file, QString::number(larghezzaMm, 'f', 3),
         QString::number(altezzaMm, 'f', 3), QString::number(std::lround(dpi / 25.4)), radice},
        amb);
    if (e.codice != 0) return std::nullopt;
    const int n = e.out.trimmed().toInt();
    QStringList png;
    for (int i = 0; i < n; ++i) png << QStringLiteral("%1-%2.png").arg(radice).arg(i);
    return png;
}

}  // namespace cartigo::test
