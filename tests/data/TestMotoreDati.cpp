// The database engine against the sample databases: header and password, catalog,
// record sets and criteria, saved queries, damaged files, CSV sources.
#include "SupportoDati.h"
#include "data/DatabaseJet.h"
#include "data/clsDatabase.h"
#include "app/InterazioneScriptata.h"

using namespace cartigo;

namespace {

int conta(DatabaseJet& db, const QString& sql) { return db.ApriRecordset(sql)->RecordCount(); }

}  // namespace

TEST(MotoreDati, Smoke)
{
    CARTIGO_FILE_MDB(nwind, "nwind.mdb");
    auto db = DatabaseJet::Apri(nwind, QStringLiteral(";PWD="));
    EXPECT_EQ(conta(*db, QStringLiteral("SELECT * FROM [Customers];")), 91);
    for (const QString& q : db->Query()) {
        try {
            auto rs = db->ApriRecordset(QStringLiteral("SELECT * FROM [") + q + QStringLiteral("]"));
            qDebug() << q << rs->RecordCount() << rs->Campi().size();
        } catch (const ErroreCartigo& e) {
            qDebug() << q << "ERR" << e.numero() << e.descrizione();
        }
    }
}
