#include "data/FlussoRighe.h"

#include "data/LettoreProcesso.h"
#include "data/ValoriJet.h"

#include <QDir>
#include <QtEndian>
#include <cstring>

namespace cartigo {

namespace {
constexpr qint64 Pezzo = 256 * 1024;
}

FlussoRighe::FlussoRighe(LettoreInCorso& lettore) : lettore_(lettore), file_(lettore.File()) {}

void FlussoRighe::guasto(const QString& motivo) const
{
    throw ErroreDatabase(ErroreJet::DatabaseNonApribile, QStringLiteral("Cannot open database '%1': %2")
                                                             .arg(QDir::toNativeSeparators(lettore_.FileMdb()), motivo));
}

bool FlussoRighe::leggiFile()
{
    if (!file_.isOpen() && (!file_.exists() || !file_.open(QIODevice::ReadOnly))) return false;
    if (pos_ > 0 && pos_ >= buffer_.size() / 2) {
        buffer_.remove(0, pos_);
        pos_ = 0;
    }
    const qsizetype prima = buffer_.size();
    buffer_.resize(prima + Pezzo);
    const qint64 n = file_.read(buffer_.data() + prima, Pezzo);
    buffer_.resize(prima + qMax<qint64>(n, 0));
    // Progress lines are read only while waiting for the reader: rows read count as its progress.
    if (n > 0) lettore_.Avanzato();
    return n > 0;
}

// More of the file: what the reader has written since, else its news; at its end what it
// wrote last, else its failure, else a file cut short.
void FlussoRighe::attendi()
{
    if (leggiFile()) return;
    if (lettore_.Attendi(20)) return;
    if (leggiFile()) return;
    lettore_.Concludi();  // throws the reader's failure
    guasto(QStringLiteral("the reader's output ends too soon"));
}

FlussoRighe::Esito FlussoRighe::prova(std::vector<ValoreRiga>* valori, bool& fineTabella)
{
    const char* d = buffer_.constData();
    const qsizetype fine = buffer_.size();
    qsizetype p = pos_;
    const auto servono = [&](qsizetype n) { return fine - p >= n; };
    if (!servono(1)) return Esito::Manca;
    const char tipo = d[p++];
    if (tipo == 'Z') {
        if (!servono(8)) return Esito::Manca;
        const qint64 scritte = qFromLittleEndian<qint64>(d + p);
        p += 8;
        if (scritte != righe_) guasto(QStringLiteral("the reader's output is damaged"));
        fineTabella = true;
        pos_ = p;
        return Esito::Fatto;
    }
    if (tipo != 'R') guasto(QStringLiteral("the reader's output is damaged"));
    if (valori) valori->resize(size_t(tabella_.colonne));
    for (int c = 0; c < tabella_.colonne; ++c) {
        if (!servono(1)) return Esito::Manca;
        ValoreRiga v;
        v.tipo = d[p++];
        switch (v.tipo) {
            case 'N':
                break;
            case 'I':
            case 'F':
                if (!servono(8)) return Esito::Manca;
                if (v.tipo == 'I') {
                    v.intero = qFromLittleEndian<qint64>(d + p);
                } else {
                    const quint64 b = qFromLittleEndian<quint64>(d + p);
                    std::memcpy(&v.reale, &b, 8);
                }
                p += 8;
                break;
            case 'S':
            case 'B': {
                if (!servono(4)) return Esito::Manca;
                const qsizetype n = qFromLittleEndian<quint32>(d + p);
                p += 4;
                if (!servono(n)) return Esito::Manca;
                v.byte = QByteArrayView(d + p, n);
                p += n;
                break;
            }
            default:
                guasto(QStringLiteral("the reader's output is damaged"));
        }
        if (valori) (*valori)[size_t(c)] = v;
    }
    fineTabella = false;
    pos_ = p;
    return Esito::Fatto;
}

bool FlussoRighe::ProssimaTabella(Tabella& t)
{
    for (;;) {
        const char* d = buffer_.constData() + pos_;
        const qsizetype resto = buffer_.size() - pos_;
        if (!intestazione_) {
            if (resto >= 8) {
                if (std::memcmp(d, "CRIGHE1\n", 8) != 0) guasto(QStringLiteral("the reader's output is damaged"));
                pos_ += 8;
                intestazione_ = true;
                continue;
            }
        } else if (resto == 0) {
            if (leggiFile() || lettore_.Attendi(20) || leggiFile()) continue;
            lettore_.Concludi();  // the reader ended: its failure, or the end of the tables
            return false;
        } else {
            if (d[0] != 'T') guasto(QStringLiteral("the reader's output is damaged"));
            const qsizetype n = resto >= 5 ? qsizetype(qFromLittleEndian<quint32>(d + 1)) : 0;
            if (resto >= 5 && resto >= 5 + n + 12) {
                t.nome = QString::fromUtf8(d + 5, n);
                t.colonne = int(qFromLittleEndian<quint32>(d + 5 + n));
                t.dichiarate = qFromLittleEndian<qint64>(d + 9 + n);
                pos_ += 5 + n + 12;
                tabella_ = t;
                inTabella_ = true;
                righe_ = 0;
                return true;
            }
        }
        attendi();
    }
}

bool FlussoRighe::ProssimaRiga(std::vector<ValoreRiga>& valori)
{
    if (!inTabella_) return false;
    for (;;) {
        bool fineTabella = false;
        if (prova(&valori, fineTabella) == Esito::Fatto) {
            if (fineTabella) {
                inTabella_ = false;
                return false;
            }
            ++righe_;
            return true;
        }
        attendi();
    }
}

bool FlussoRighe::RigaPronta()
{
    if (!inTabella_) return true;
    bool fine = false;
    const qsizetype pos = pos_;
    const qint64 righe = righe_;
    if (prova(nullptr, fine) == Esito::Fatto) {
        pos_ = pos;
        righe_ = righe;
        return true;
    }
    return leggiFile() && RigaPronta();
}

}  // namespace cartigo
