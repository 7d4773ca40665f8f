#pragma once
// Our stand-in for DAO/Jet, read-only. An MDB/ACCDB file is checked (header,
// password) by our own code, its catalog and the tables a statement needs are read
// by the reader process and copied into a temporary SQLite file as the reader writes
// them (the records of a whole table are handed out while they arrive); saved queries
// are rebuilt from MSysQueries as SQLite views; statements are translated from Jet
// SQL. A ".csv" file is read as one table, an XLSX or ODS workbook as one table a
// sheet (SorgenteFoglio.h). Failures throw ErroreCartigo with Jet's
// error numbers.

#include "data/LettoreProcesso.h"
#include "data/MotoreDati.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

struct sqlite3;

namespace cartigo {

// A record set: the rows of a statement, read at once, with a current record.
class RecordsetJet : public Recordset {
public:
    RecordsetJet(QList<InfoCampo> campi, std::vector<QList<QVariant>> righe);

    bool Eof() const override { return pos_ >= int(righe_.size()) || righe_.empty(); }
    bool Bof() const { return pos_ < 0 || righe_.empty(); }
    int RecordCount() const override { return int(righe_.size()); }
    void MoveFirst() { pos_ = 0; }
    void MoveLast() { pos_ = righe_.empty() ? 0 : int(righe_.size()) - 1; }
    void MoveNext() override;
    void MovePrevious();
    int Posizione() const { return pos_; }

    const QList<InfoCampo>& Campi() const override { return campi_; }
    using Recordset::Valore;
    QVariant Valore(int indice) const override;

private:
    QList<InfoCampo> campi_;
    std::vector<QList<QVariant>> righe_;
    int pos_ = 0;
};

class DatabaseJet : public MotoreDati {
public:
    ~DatabaseJet();
    DatabaseJet(const DatabaseJet&) = delete;
    DatabaseJet& operator=(const DatabaseJet&) = delete;

    // Opens a file read-only. `connect` is the DAO connect string (";PWD=secret").
    static std::unique_ptr<DatabaseJet> Apri(
        const QString& percorso, const QString& connect,
        const LettoreProcesso::Opzioni& opzioni = LettoreProcesso::OpzioniPredefinite());

    const QString& NomeFile() const { return percorso_; }
    int Versione() const { return versione_; }
    bool Csv() const override { return csv_; }
    QList<InfoTabella> Tabelle() const override;
    QStringList Query() const override { return query_; }
    bool EsisteTabella(const QString& nome) const override;
    bool IsQuery(const QString& nome) const override;
    // A saved query is built to know its fields.
    QList<InfoCampo> Campi(const QString& nome) override;
    // "SELECT * From [T] WHERE [F] = ?1" (or Between ?1 AND ?2): the values are bound to
    // the statement as Jet reads them (a number, a text, a date as its ISO text), never
    // written into it.
    std::unique_ptr<Recordset> ApriSelezione(const QString& tabella, const CondizioneSelezione& c) override;
    // Opens a record set from a Jet SQL statement, `valori` bound to its ?1, ?2 ...
    std::unique_ptr<RecordsetJet> ApriRecordset(const QString& jetSql, const QVariantList& valori = {});
    // How many base tables have been copied so far (tables are copied on first use).
    int TabelleCaricate() const { return int(caricate_.size()); }

    class FlussoTabella;

private:
    DatabaseJet();
    friend class FlussoTabella;
    void completaFlusso();
    bool tabellaInFlusso(const QString& nome) const;
    struct DefinizioneQuery {
        QString nome;
        qint64 id = 0;
        struct Riga {
            int attributo;
            QString name1, name2, espressione;
            qint64 flag;
            bool flagNullo;
        };
        QList<Riga> righe;
    };

    void apriMdb(const QString& connect);
    void apriCsv();
    void apriFoglio();
    void esegui(const QString& sql);
    void caricaTabelle(const QStringList& nomi);
    void creaTabella(const InfoTabella& t);
    void assicura(const QString& nome, int profondita = 0);
    void raccogliTabelle(const QString& nome, QStringList& tabelle, QSet<QString>& viste, int profondita);
    QString sqlQuery(const DefinizioneQuery& q) const;
    void creaVista(const QString& nome);
    struct sqlite3_stmt_deleter;
    void* prepara(const QString& sql);  // sqlite3_stmt*, with missing objects loaded on demand

    sqlite3* db_ = nullptr;
    QString percorso_;
    int versione_ = 0;
    bool csv_ = false;
    LettoreProcesso::Opzioni opzioni_;
    QList<InfoTabella> tabelle_;
    QHash<QString, int> indiceTabelle_;  // lower-case name -> index
    QStringList query_;
    QHash<QString, DefinizioneQuery> definizioni_;  // lower-case name
    QSet<QString> caricate_;                        // lower-case
    QSet<QString> viste_;                           // lower-case
    // The table whose records are being handed out while the reader writes it; every other
    // statement reads it whole first.
    std::weak_ptr<FlussoTabella> flusso_;
    QSet<QString> daTogliere_;                      // tables of readings given up, not yet dropped
    std::shared_ptr<DatabaseJet*> questo_;          // cleared when the database goes
};

}  // namespace cartigo
