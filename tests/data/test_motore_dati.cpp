// The database engine against the sample databases: header and password, catalog,
// record sets and criteria, saved queries, damaged files, CSV sources.
#include "SupportoDati.h"
#include "data/DatabaseJet.h"
#include "data/IntestazioneMdb.h"
#include "data/SorgenteCsv.h"
#include "data/clsDatabase.h"
#include "shell/InterazioneScriptata.h"

#include <sqlite3.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>
#include <functional>
#include <utility>

using namespace cartigo;

namespace {

int conta(DatabaseJet& db, const QString& sql)
{
    return db.ApriRecordset(sql)->RecordCount();
}

QStringList colonna(RecordsetJet& rs, const QString& campo)
{
    QStringList out;
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext())
        out << modCartigo::NzCampo(rs.Valore(campo), rs.TipoCampo(campo), modCartigo::FormatoTesto::inglese());
    return out;
}

int codiceErrore(const std::function<void()>& f)
{
    return test::ErroreDi(f).numero;
}

}  // namespace

TEST(IntestazioneMdb, VersioneEPassword)
{
    CARTIGO_RICHIEDI_TESTDATA(cartella);
    struct Caso {
        const char* file;
        int versione;
        const char* password;
    };
    const Caso casi[] = {{"nwind.mdb", 0, ""},
                         {"V1997_no-password.mdb", 0, ""},
                         {"V2000_no-password.mdb", 1, ""},
                         {"V2000_with-password.mdb", 1, "password"},
                         {"V2003_with-password.mdb", 1, "password"},
                         {"types-ace.accdb", 3, ""}};
    for (const auto& c : casi) {
        SCOPED_TRACE(c.file);
        const auto h = IntestazioneMdb::LeggiFile(cartella + QStringLiteral("/mdb/") + QLatin1String(c.file));
        EXPECT_EQ(h.versione, c.versione);
        EXPECT_EQ(h.password, QString::fromLatin1(c.password));
        EXPECT_FALSE(h.cifrato);
    }
}

TEST(MotoreDati, FileCifratoRifiutato)
{
    CARTIGO_FILE_MDB(chiaro, "V2000_no-password.mdb");
    // The same file with a page encryption key in its header.
    QByteArray dati = test::LeggiFile(chiaro);
    static const QByteArray chiave("\xc7\xda\x39\x6b", 4);
    QByteArray area = Rc4(chiave, dati.mid(0x18, 128));
    area[0x3E - 0x18] = char(0x5A);
    dati.replace(0x18, 128, Rc4(chiave, area));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("cifrato.mdb"));
    test::ScriviFile(file, dati);
    EXPECT_TRUE(IntestazioneMdb::LeggiFile(file).cifrato);
    const auto e = test::ErroreDi([&] { DatabaseJet::Apri(file, QString()); });
    EXPECT_EQ(e.numero, ErroreJet::DatabaseNonApribile);
    EXPECT_TRUE(e.testo.contains(QLatin1String("encrypted")) && e.testo.contains(file)) << e.str();
}

TEST(MotoreDati, CampiConTipiDao)
{
    CARTIGO_RICHIEDI_TESTDATA(cartella);
    test::UsaLettoreDellaBuild();
    auto db = DatabaseJet::Apri(cartella + QStringLiteral("/mdb/V1997_no-password.mdb"), QString());
    QList<int> tipi;
    for (const auto& c : db->Campi(QStringLiteral("Table1"))) tipi << c.tipo;
    // Text, Text, Byte, Integer, Long, Double, Date, Currency, Boolean
    EXPECT_EQ(tipi, (QList<int>{10, 10, 2, 3, 4, 7, 8, 5, 1}));

    auto nw = DatabaseJet::Apri(cartella + QStringLiteral("/mdb/nwind.mdb"), QString());
    QHash<QString, int> t;
    for (const auto& c : nw->Campi(QStringLiteral("Employees"))) t.insert(c.nome, c.tipo);
    EXPECT_EQ(t.value("EmployeeID"), TipoDao::Long);
    EXPECT_EQ(t.value("BirthDate"), TipoDao::Date);
    EXPECT_EQ(t.value("Notes"), TipoDao::Memo);
    EXPECT_EQ(t.value("Photo"), TipoDao::LongBinary);
    // Fields of a saved query, in output order.
    QStringList q;
    for (const auto& c : nw->Campi(QStringLiteral("Ten Most Expensive Products"))) q << c.nome;
    EXPECT_EQ(q, (QStringList{"TenMostExpensiveProducts", "UnitPrice"}));
}

TEST(MotoreDati, ValoriLettiComeLiScriveJet)
{
    CARTIGO_RICHIEDI_TESTDATA(cartella);
    test::UsaLettoreDellaBuild();
    for (const char* f :
         {"/mdb/V1997_no-password.mdb", "/mdb/types-jet3.mdb", "/mdb/types-jet4.mdb", "/mdb/types-ace.accdb"}) {
        SCOPED_TRACE(f);
        auto db = DatabaseJet::Apri(cartella + QLatin1String(f), QString());
        auto rs = db->ApriRecordset(QStringLiteral("SELECT * FROM Table1 WHERE A = 'abcdefg'"));
        ASSERT_EQ(rs->RecordCount(), 1);
        const auto en = modCartigo::FormatoTesto::inglese();
        QStringList v;
        for (int i = 0; i < rs->Campi().size(); ++i)
            v << modCartigo::NzCampo(rs->Valore(i), rs->Campi().at(i).tipo, en);
        EXPECT_EQ(
            v, (QStringList{"abcdefg", "hijklmnop", "2", "222", "333333333", "444.555", "9/21/1974", "3.5", "True"}));
    }
}

// Jet statements' own literals and operators (the selections' bound values are read in
// clsDatabase.CriteriConSentinelleERiscrittura).
TEST(MotoreDati, CriteriSuNwind)
{
    CARTIGO_FILE_MDB(nwind, "nwind.mdb");
    auto db = DatabaseJet::Apri(nwind, QString());
    struct Caso {
        const char* sql;
        int righe;
    };
    const Caso casi[] = {
        {"SELECT * From [Customers] ;", 91},
        {"SELECT * From [Customers] WHERE [Country] = 'GERMANY';", 11},  // text compares without case
        {"SELECT * From [Customers] WHERE [Region] = Null;", 0},
        {"SELECT * From [Customers] WHERE [Region] Is Null;", 60},
        {"SELECT * From [Products] WHERE [UnitPrice] Between 10 AND 20;", 29},  // inclusive
        {"SELECT * From [Products] WHERE [Discontinued] = True;", 8},
        {"SELECT * From [Orders] WHERE [OrderDate] Between #1/1/95# AND #12/31/95#;", 391},
        {"SELECT * From [Orders] WHERE [OrderDate] Between #1995-01-01# AND #1995-12-31#;", 391},
        {"SELECT * From [Orders] WHERE [OrderDate] = #3/28/96#;", 6},
        {"SELECT * From [Orders] WHERE [ShippedDate] Is Null;", 21},
        {"SELECT * From [Customers] WHERE [CompanyName] Like 'b*';", 7},
        {"SELECT * From [Customers] WHERE [CompanyName] Like '?on *';", 1},
        {"SELECT * From [Customers] WHERE [CompanyName] = 'Bon app''';", 1},
        {"SELECT * From [Umsätze];", 830},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.sql);
        EXPECT_EQ(conta(*db, QString::fromUtf8(c.sql)), c.righe);
    }
}

TEST(MotoreDati, OrdineEConfrontoDelTesto)
{
    CARTIGO_FILE_MDB(nwind, "nwind.mdb");
    auto db = DatabaseJet::Apri(nwind, QString());
    // Without ORDER BY the records come in table order.
    auto rs = db->ApriRecordset(QStringLiteral("SELECT * FROM Orders"));
    EXPECT_EQ(rs->Valore(QStringLiteral("OrderID")).toLongLong(), 10330);
    rs->MoveLast();
    EXPECT_EQ(rs->Posizione(), 829);
    rs->MoveNext();
    EXPECT_TRUE(rs->Eof());
    EXPECT_EQ(codiceErrore([&] { rs->Valore(0); }), ErroreJet::NessunRecordCorrente);
    // Accented letters sort next to their base letter, case is ignored.
    auto r2 = db->ApriRecordset(
        QStringLiteral("SELECT CompanyName FROM Customers WHERE CompanyName Like 'B*' ORDER BY CompanyName"));
    EXPECT_EQ(colonna(*r2, QStringLiteral("CompanyName")),
              (QStringList{"B's Beverages", "Berglunds snabbköp", "Blauer See Delikatessen", "Blondel père et fils",
                           QStringLiteral("Bólido Comidas preparadas"), "Bon app'", "Bottom-Dollar Markets"}));
    EXPECT_EQ(codiceErrore([&] { rs->Valore(QStringLiteral("Nessuno")); }), ErroreJet::ElementoNonTrovato);
}

TEST(MotoreDati, QuerySalvate)
{
    CARTIGO_FILE_MDB(nwind, "nwind.mdb");
    auto db = DatabaseJet::Apri(nwind, QString());
    struct Caso {
        const char* query;
        int righe;
        int campi;
    };
    const Caso casi[] = {
        {"Alphabetical List of Products", 69, 11},    // join, Products.*, a WHERE on a boolean
        {"Order Subtotals", 830, 2},                  // GROUP BY with CCur and Sum
        {"Invoices", 2155, 26},                       // five-table join
        {"Ten Most Expensive Products", 10, 2},       // TOP
        {"Products Above Average Price", 25, 2},      // subquery
        {"Customers and Suppliers by City", 120, 4},  // union
        {"Category Sales for 1995", 8, 2},            // a query on a query
        {"Quarterly Orders", 84, 4},  // DISTINCTROW over one table of a RIGHT JOIN: one row per customer
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.query);
        auto rs = db->ApriRecordset(QStringLiteral("SELECT * FROM [%1]").arg(QLatin1String(c.query)));
        EXPECT_EQ(rs->RecordCount(), c.righe);
        EXPECT_EQ(rs->Campi().size(), c.campi);
    }
    auto top = db->ApriRecordset(QStringLiteral("SELECT * FROM [Ten Most Expensive Products]"));
    const auto en = modCartigo::FormatoTesto::inglese();
    EXPECT_EQ(colonna(*top, QStringLiteral("UnitPrice")).mid(0, 3), (QStringList{"263.5", "123.79", "97"}));
    top->MoveFirst();
    EXPECT_EQ(modCartigo::NzCampo(top->Valore(0), top->Campi().at(0).tipo, en), QStringLiteral("Côte de Blaye"));
    auto unione = db->ApriRecordset(QStringLiteral("SELECT * FROM [Customers and Suppliers by City]"));
    EXPECT_EQ(unione->Campi().at(3).nome, QStringLiteral("Relationship"));
    EXPECT_EQ(unione->Valore(0).toString(), QStringLiteral("Aachen"));
    int fornitori = 0;
    for (unione->MoveFirst(); !unione->Eof(); unione->MoveNext())
        fornitori += unione->Valore(QStringLiteral("Relationship")).toString() == QLatin1String("Suppliers");
    EXPECT_EQ(fornitori, 29);
    // The subtotal of order 10248: 12*14 + 10*9.8 + 5*34.8 = 440.
    auto sub = db->ApriRecordset(QStringLiteral("SELECT * FROM [Order Subtotals] WHERE OrderID = 10248"));
    EXPECT_EQ(modCartigo::NzCampo(sub->Valore(QStringLiteral("Subtotal")), TipoDao::Currency, en),
              QStringLiteral("440"));
}

TEST(MotoreDati, QueryNonTraducibiliRifiutate)
{
    CARTIGO_FILE_MDB(nwind, "nwind.mdb");
    auto db = DatabaseJet::Apri(nwind, QString());
    struct Caso {
        const char* query;
        int errore;
        const char* testo;
    };
    const Caso casi[] = {
        {"Quarterly Orders by Product", ErroreJet::OperazioneNonSupportata, "crosstab"},
        {"Employee Sales by Country", ErroreJet::ParametriMancanti, "Beginning Date"},
        {"Invoices Filter", ErroreJet::ParametriMancanti, "Invoices Filter"},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.query);
        const auto e = test::ErroreDi(
            [&] { db->ApriRecordset(QStringLiteral("SELECT * FROM [%1]").arg(QLatin1String(c.query))); });
        EXPECT_EQ(e.numero, c.errore);
        EXPECT_TRUE(e.testo.contains(QLatin1String(c.query)) && e.testo.contains(QLatin1String(c.testo))) << e.str();
    }
    EXPECT_EQ(codiceErrore([&] { db->ApriRecordset(QStringLiteral("SELECT * FROM [Nessuna]")); }),
              ErroreJet::TabellaNonTrovata);
    EXPECT_EQ(codiceErrore([&] { db->ApriRecordset(QStringLiteral("SELECT * FROM Orders WHERE Foo(OrderID) = 1")); }),
              ErroreJet::FunzioneNonDefinita);
    EXPECT_EQ(
        codiceErrore([&] { db->ApriRecordset(QStringLiteral("SELECT * FROM Orders WHERE OrderDate = #31/31/95#")); }),
        ErroreJet::SintassiEspressione);
}

// Damaged copies must give an error (or read what is readable), never a crash or a hang.
TEST(MotoreDati, FileDanneggiati)
{
    CARTIGO_FILE_MDB(nwind, "nwind.mdb");
    const QByteArray originale = test::LeggiFile(nwind);
    QTemporaryDir dir;
    LettoreProcesso::Opzioni o;
    o.secondiStallo = 3;
    o.memoriaMassima = qint64(512) << 20;
    struct Danno {
        const char* nome;
        std::function<QByteArray(QByteArray)> f;
    };
    const Danno danni[] = {
        {"header-only", [](QByteArray d) { return d.left(4096); }},
        {"half", [](QByteArray d) { return d.left(d.size() / 2); }},
        {"catalog-flipped",
         [](QByteArray d) {
             for (int i = 2048; i < 64 * 1024 && i < d.size(); i += 61) d[i] = char(d[i] ^ 0xFF);
             return d;
         }},
        {"pages-zeroed",
         [](QByteArray d) {
             for (int i = 2048; i < 40960 && i < d.size(); ++i) d[i] = 0;
             return d;
         }},
        {"random-bytes",
         [](QByteArray d) {
             quint32 x = 12345;
             for (int k = 0; k < 4000; ++k) {
                 x = x * 1103515245u + 12345u;
                 const int pos = 2048 + int(x % quint32(d.size() - 2048));
                 d[pos] = char(x >> 24);
             }
             return d;
         }},
    };
    for (const auto& danno : danni) {
        SCOPED_TRACE(danno.nome);
        const QString file = dir.filePath(QString::fromLatin1(danno.nome) + QStringLiteral(".mdb"));
        test::ScriviFile(file, danno.f(originale));
        try {
            auto db = DatabaseJet::Apri(file, QString(), o);
            for (const QString& t : {QStringLiteral("Customers"), QStringLiteral("Orders")}) try {
                    db->ApriRecordset(QStringLiteral("SELECT * FROM [%1]").arg(t));
                } catch (const ErroreCartigo& e) {
                    EXPECT_NE(e.numero(), 0);
                }
        } catch (const ErroreCartigo& e) {
            EXPECT_TRUE(e.numero() == ErroreJet::DatabaseNonApribile || e.numero() == ErroreJet::FormatoNonRiconosciuto)
                << e.numero();
            EXPECT_TRUE(e.descrizione().contains(file)) << e.descrizione().toStdString();
        }
    }
}

// A copy cut short or with a page overwritten never reads as a table with fewer rows:
// it is refused (a length that is not a whole number of pages, a table whose pages
// cannot be read, a catalog that lost its entries) or it reads in full.
TEST(MotoreDati, CopieDanneggiateNonSembranoVuote)
{
    CARTIGO_RICHIEDI_TESTDATA(cartella);
    test::UsaLettoreDellaBuild();
    QTemporaryDir dir;
    LettoreProcesso::Opzioni o;
    o.secondiStallo = 5;
    auto intero = [](const QByteArray& d, qint64 pos) { return qFromLittleEndian<quint32>(d.constData() + pos); };
    struct Caso {
        const char* nome;
        const char* tabella;
    };
    for (const Caso& caso :
         {Caso{"V2000_no-password.mdb", "Table1"}, Caso{"types-jet3.mdb", "Table1"}, Caso{"nwind.mdb", "Customers"}}) {
        const QString file = cartella + QStringLiteral("/mdb/") + QLatin1String(caso.nome);
        const QString sql = QStringLiteral("SELECT * FROM [%1]").arg(QLatin1String(caso.tabella));
        const QByteArray originale = test::LeggiFile(file);
        const int pagina = originale.at(0x14) == 0 ? 2048 : 4096;
        const int righe = conta(*DatabaseJet::Apri(file, QString(), o), sql);
        ASSERT_GT(righe, 0);

        // The data pages of the catalog (whose definition is page 2) and of the tables
        // that hold as many rows as the one read (a definition keeps its row count at byte 12 in
        // Jet 3, 16 in Jet 4).
        const int righeDefinizione = pagina == 2048 ? 12 : 16;
        QList<int> bersagli;
        for (int p = 1; p < originale.size() / pagina; ++p) {
            const qint64 inizio = qint64(p) * pagina;
            if (originale.at(inizio) != 0x01) continue;
            const quint32 tabella = intero(originale, inizio + 4);
            const qint64 definizione = qint64(tabella) * pagina;
            if (tabella == 2 || (definizione + pagina <= originale.size() && originale.at(definizione) == 0x02 &&
                                 intero(originale, definizione + righeDefinizione) == quint32(righe)))
                bersagli << p;
        }
        ASSERT_GE(bersagli.size(), 2);

        struct Copia {
            QString descrizione;
            QByteArray dati;
        };
        QList<Copia> copie;
        for (const int taglio : {1, pagina / 2, pagina + 100})
            copie << Copia{QStringLiteral("%1 bytes cut").arg(taglio), originale.chopped(taglio)};
        for (const int p : bersagli) {
            copie << Copia{QStringLiteral("cut before page %1").arg(p), originale.left(qint64(p) * pagina)};
            QByteArray azzerata = originale;
            azzerata.replace(qint64(p) * pagina, pagina, QByteArray(pagina, '\0'));
            copie << Copia{QStringLiteral("page %1 zeroed").arg(p), azzerata};
        }
        for (const Copia& c : copie) {
            SCOPED_TRACE((QLatin1String(caso.nome) + QLatin1Char(' ') + c.descrizione).toStdString());
            const QString copia = dir.filePath(QStringLiteral("copia.mdb"));
            test::ScriviFile(copia, c.dati);
            try {
                auto db = DatabaseJet::Apri(copia, QString(), o);
                EXPECT_EQ(conta(*db, sql), righe);
            } catch (const ErroreCartigo& e) {
                EXPECT_TRUE(e.numero() == ErroreJet::DatabaseNonApribile || e.numero() == ErroreJet::TabellaNonTrovata)
                    << e.numero() << " " << e.descrizione().toStdString();
                if (c.dati.size() % pagina != 0) {
                    EXPECT_TRUE(e.descrizione().contains(QLatin1String("not a whole number of")))
                        << e.descrizione().toStdString();
                }
            }
        }
    }
}

// The watchdog: a reader that stalls or crashes is ended and reported.
TEST(LettoreProcesso, StalloECrash)
{
    QTemporaryDir dir;
    LettoreProcesso::Opzioni o;
    o.secondiStallo = 1;
    for (const QByteArray fine : {"exec sleep 30", "kill -SEGV $$"}) {
        SCOPED_TRACE(fine.constData());
        const QString programma = dir.filePath(QString::fromLatin1(fine.left(4)));
        test::ScriviEseguibile(programma, "#!/bin/sh\necho 'P 1'\n" + fine + "\n");
        LettoreProcesso::ImpostaPercorso(programma);
        const auto e = test::ErroreDi(
            [&] { LettoreProcesso::Esegui(QStringLiteral("catalogo"), QStringLiteral("/tmp/x.mdb"), {}, o); });
        EXPECT_EQ(e.numero, ErroreJet::DatabaseNonApribile);
        EXPECT_TRUE(e.testo.contains(QLatin1String("x.mdb"))) << e.str();
    }
    test::UsaLettoreDellaBuild();
}

// Where a program finds the reader: beside it in a build folder, in libexec/cartigo of
// its own prefix once installed (under /usr and /usr/local alike), CARTIGO_MDBREADER
// before both.
TEST(LettoreProcesso, PercorsoAccantoOInLibexec)
{
    QTemporaryDir dir;
    const auto eseguibile = [](const QString& file) { test::ScriviEseguibile(file, "#!/bin/sh\n"); };
    for (const char* prefisso : {"/usr", "/usr/local"}) {
        const QString bin = dir.path() + QLatin1String(prefisso) + QStringLiteral("/bin");
        const QString installato =
            dir.path() + QLatin1String(prefisso) + QStringLiteral("/libexec/cartigo/cartigo-mdbreader");
        // nothing installed yet: the message names where it belongs
        EXPECT_EQ(LettoreProcesso::PercorsoDa(bin), installato) << prefisso;
        eseguibile(installato);
        EXPECT_EQ(LettoreProcesso::PercorsoDa(bin), installato) << prefisso;
    }
    const QString build = dir.filePath(QStringLiteral("build"));
    eseguibile(build + QStringLiteral("/cartigo-mdbreader"));
    EXPECT_EQ(LettoreProcesso::PercorsoDa(build), build + QStringLiteral("/cartigo-mdbreader"));

    qputenv("CARTIGO_MDBREADER", "/opt/lettore");
    EXPECT_EQ(LettoreProcesso::Percorso(), QStringLiteral("/opt/lettore"));
    qunsetenv("CARTIGO_MDBREADER");
}

// A reader that needs more than its memory cap fails (and is reported), whatever way
// it fails: an allocation error or a crash.
TEST(LettoreProcesso, LimiteDiMemoria)
{
    CARTIGO_FILE_MDB(nwind, "nwind.mdb");
    for (const qint64 limite : {qint64(4) << 20, qint64(16) << 20}) {
        LettoreProcesso::Opzioni o;
        o.memoriaMassima = limite;
        const auto e = test::ErroreDi(
            [&] { LettoreProcesso::Esegui(QStringLiteral("tabelle"), nwind, {QStringLiteral("Orders")}, o); });
        EXPECT_EQ(e.numero, ErroreJet::DatabaseNonApribile) << limite;
        EXPECT_TRUE(e.testo.contains(QLatin1String("nwind.mdb"))) << e.str();
    }
}

TEST(SorgenteCsv, SeparatoriVirgoletteCodifiche)
{
    test::UsaLettoreDellaBuild();
    QTemporaryDir dir;
    struct Caso {
        const char* nome;
        QByteArray dati;
    };
    const QByteArray bom("\xEF\xBB\xBF");
    const Caso casi[] = {
        {"virgola",
         "Nome,Città,Importo,Data\nRossi,\"Forlì, FC\",12.5,2024-03-01\n\"O'Brien \"\"Jr\"\"\",Milano,7,2024-03-02\n"},
        {"puntoevirgola",
         "Nome;Città;Importo;Data\r\nRossi;Forlì, FC;12.5;2024-03-01\r\nO'Brien \"Jr\";Milano;7;2024-03-02\r\n"},
        {"tab",
         bom + "Nome\tCittà\tImporto\tData\nRossi\tForlì, FC\t12.5\t2024-03-01\nO'Brien \"Jr\"\tMilano\t7\t2024-03-02"},
        {"cp1252",
         QByteArray(
             "Nome;Citt\xE0;Importo;Data\nRossi;Forl\xEC, FC;12.5;2024-03-01\nO'Brien \"Jr\";Milano;7;2024-03-02\n")},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome);
        const QString file = dir.filePath(QString::fromLatin1(c.nome) + QStringLiteral(".csv"));
        test::ScriviFile(file, c.dati);
        auto db = DatabaseJet::Apri(file, QString());
        ASSERT_EQ(db->Tabelle().size(), 1);
        EXPECT_EQ(db->Tabelle().first().nome, QString::fromLatin1(c.nome));
        QList<int> tipi;
        QStringList nomi;
        for (const auto& f : db->Campi(QString::fromLatin1(c.nome))) {
            tipi << f.tipo;
            nomi << f.nome;
        }
        EXPECT_EQ(nomi, (QStringList{"Nome", QStringLiteral("Città"), "Importo", "Data"}));
        EXPECT_EQ(tipi, (QList<int>{TipoDao::Text, TipoDao::Text, TipoDao::Double, TipoDao::Date}));
        auto rs = db->ApriRecordset(QStringLiteral("SELECT * FROM [%1]").arg(QLatin1String(c.nome)));
        EXPECT_EQ(colonna(*rs, QStringLiteral("Nome")), (QStringList{"Rossi", "O'Brien \"Jr\""}));
        EXPECT_EQ(colonna(*rs, QStringLiteral("Città")).first(), QStringLiteral("Forlì, FC"));
        EXPECT_EQ(
            conta(*db, QStringLiteral("SELECT * FROM [%1] WHERE Importo Between 10 AND 20").arg(QLatin1String(c.nome))),
            1);
        EXPECT_EQ(conta(*db, QStringLiteral("SELECT * FROM [%1] WHERE Data = #3/2/2024#").arg(QLatin1String(c.nome))),
                  1);
    }
}

TEST(SorgenteCsv, LettoAPezziComeIntero)
{
    // Split anywhere, even between the two quotes of "" or inside CRLF, the records are the same.
    const QString testo = QStringLiteral("a;b\r\n\"x;\"\"y\"\"\r\nz\";w\r\n\r\n\"\"\"\";\"\"\r\nfine;\"q\"\"\"");
    const auto intero = DividiCsv(testo, QLatin1Char(';'));
    ASSERT_EQ(intero.size(), 4);
    EXPECT_EQ(intero.at(1), (QStringList{QStringLiteral("x;\"y\"\r\nz"), QStringLiteral("w")}));
    for (int passo = 1; passo <= 3; ++passo) {
        SCOPED_TRACE(passo);
        QList<QStringList> righe;
        DivisoreCsv d(QLatin1Char(';'), [&righe](QStringList& r) { righe << r; });
        for (int i = 0; i < testo.size(); i += passo) d.Aggiungi(QStringView(testo).mid(i, passo));
        d.Fine();
        EXPECT_EQ(righe, intero);
    }

    // Files larger than the pieces they are read in: UTF-8 characters across the pieces'
    // edges, and a file found not to be UTF-8 only near its end.
    QByteArray utf8 = "Codice,Testo\r\n";
    for (int i = 0; i < 8000; ++i)
        utf8 += "c" + QByteArray::number(i) + ",\"caff\xC3\xA8 \xE2\x82\xAC" + QByteArray::number(i) +
                "\r\n\"\"x\"\"\"\r\n";
    const auto t = LeggiCsvDaDati(utf8, QStringLiteral("t"));
    const auto attese = DividiCsv(DecodificaTestoCsv(utf8), QLatin1Char(','));
    ASSERT_EQ(t.righe.size(), 8000);
    ASSERT_EQ(attese.size(), 8001);
    for (int i = 0; i < t.righe.size(); ++i)
        if (t.righe.at(i).at(1).toString() != attese.at(i + 1).at(1)) FAIL() << "record " << i;
    EXPECT_EQ(t.righe.at(7999).at(1).toString(), QStringLiteral("caffè €7999\r\n\"x\""));

    QByteArray cp1252 = "Nome;Citta\n";
    for (int i = 0; i < 8000; ++i) cp1252 += "n" + QByteArray::number(i) + ";Forli\n";
    cp1252 += "ultimo;Forl\xEC\n";
    const auto t1252 = LeggiCsvDaDati(cp1252, QStringLiteral("t"));
    ASSERT_EQ(t1252.righe.size(), 8001);
    EXPECT_EQ(t1252.righe.last().at(1).toString(), QStringLiteral("Forlì"));
}

namespace {
// Walks the whole of a table's selection: how many records, and the sum of one field.
std::pair<int, qint64> percorriTabella(const QString& file, const QString& tabella, const QString& campo,
                                       const CondizioneSelezione& condizione = {})
{
    auto db = DatabaseJet::Apri(file, QString());
    auto rs = db->ApriSelezione(tabella, condizione);
    std::pair<int, qint64> visti{0, 0};
    for (; !rs->Eof(); rs->MoveNext(), ++visti.first) visti.second += rs->Valore(campo).toLongLong();
    EXPECT_EQ(rs->RecordCount(), visti.first);
    return visti;
}
}  // namespace

TEST(SorgenteCsv, FileGrandeSenzaTenerloInMemoria)
{
#ifdef CARTIGO_ASAN
    GTEST_SKIP() << "AddressSanitizer keeps freed memory in quarantine: the peak measures it, not the reader";
#endif
    // 100,000 records (about 7 MB): reading the file and walking its records, the
    // process's peak memory grows by far less than the file's size.
    constexpr int n = 100000;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("grande.csv"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("nome,via,citta,ean,codice\n");
        for (int i = 0; i < n; ++i)
            f.write("Nome Cognome " + QByteArray::number(i) + ",Via Roma " + QByteArray::number(i % 300) +
                    ",20100 Milano,2" + QByteArray::number(100000000000LL + i) + ",C" + QByteArray::number(i) + "\n");
    }
    std::pair<int, qint64> visti;
    const qint64 crescita = test::CrescitaPicco([&] { visti = percorriTabella(file, QStringLiteral("grande"), "ean"); });
    if (crescita < 0) GTEST_SKIP() << "/proc cannot tell the peak memory";
    EXPECT_EQ(visti.first, n);
    EXPECT_EQ(visti.second, 2100000000000LL * n + qint64(n) * (n - 1) / 2);
    EXPECT_LT(crescita, 24 * 1024) << crescita << " KB";
}

namespace {
// A stand-in reader in `dir` that hands over nwind.mdb's real catalogue and, for tables,
// runs `tabelle` (a shell script; $5 is the output, tabelle.righe beside it a stream).
QString lettoreSostituto(const QTemporaryDir& dir, const QString& nwind, const QByteArray& tabelle)
{
    test::UsaLettoreDellaBuild();
    const QString copia = dir.filePath(QStringLiteral("catalogo.sqlite"));
    if (!QFile::exists(copia)) {
        EXPECT_TRUE(QFile::copy(LettoreProcesso::Esegui(QStringLiteral("catalogo"), nwind, {}).File(), copia));
    }
    const QString lettore = dir.filePath(QStringLiteral("lettore.sh"));
    // arguments: --memoria BYTES MODE FILE OUT [NAME...]
    test::ScriviEseguibile(
        lettore, "#!/bin/sh\ncd \"" + dir.path().toUtf8() +
                     "\"\nif [ \"$3\" = catalogo ]; then cp catalogo.sqlite \"$5\" && echo OK; exit; fi\n" + tabelle);
    return lettore;
}
}  // namespace

// An MDB table is read from the reader's stream into the working file: reading 600,000
// records (a 20 MB table) and walking them, all of them or those between two values, the
// process's peak memory grows by far less than the table's size. A stand-in reader hands
// over the real catalogue of nwind.mdb and an "Order Details" of that size.
TEST(MotoreDati, TabellaGrandeSenzaTenerlaInMemoria)
{
#ifdef CARTIGO_ASAN
    GTEST_SKIP() << "AddressSanitizer keeps freed memory in quarantine: the peak measures it, not the reader";
#endif
    CARTIGO_FILE_MDB(nwind, "nwind.mdb");
    constexpr int n = 600000;
    QTemporaryDir dir;
    test::ScriviFile(dir.filePath(QStringLiteral("tabelle.righe")), test::FlussoOrderDetails(n));
    LettoreProcesso::ImpostaPercorso(lettoreSostituto(dir, nwind, "cp tabelle.righe \"$5\" && echo OK\n"));

    const CondizioneSelezione tra{.criterio = 2,
                                  .campo = QStringLiteral("Quantity"),
                                  .tipo = TipoDao::Integer,
                                  .classe = 0,
                                  .valori = {10.0, 19.0}};
    std::pair<int, qint64> visti, traDieci;
    const qint64 crescita = test::CrescitaPicco([&] {
        visti = percorriTabella(nwind, QStringLiteral("Order Details"), "Quantity");
        traDieci = percorriTabella(nwind, QStringLiteral("Order Details"), "Quantity", tra);
    });
    test::UsaLettoreDellaBuild();
    if (crescita < 0) GTEST_SKIP() << "/proc cannot tell the peak memory";
    EXPECT_EQ(visti.first, n);
    EXPECT_EQ(visti.second, qint64(n / 50) * (49 * 50 / 2));
    EXPECT_EQ(traDieci.first, n / 5);
    EXPECT_EQ(traDieci.second, qint64(n / 50) * 145);
    EXPECT_LT(crescita, 12 * 1024) << crescita << " KB";
}

// The records of a table come while the reader still writes it: the first one and the
// count (the table's definition) before the reader goes on, which it does only once the
// first record was read; a selection with a condition gives its first record alike, and
// its count once the reading has ended.
TEST(MotoreDati, RecordPrimaDellaFineDelLettore)
{
    CARTIGO_FILE_MDB(nwind, "nwind.mdb");
    constexpr int n = 20000;
    QTemporaryDir dir;
    const QByteArray flusso = test::FlussoOrderDetails(n);
    test::ScriviFile(dir.filePath(QStringLiteral("tabelle.righe")), flusso);
    // a tenth of the rows, then the rest once "avanti" exists (given up after 5 seconds)
    const QByteArray parte = QByteArray::number(flusso.size() / 10);
    LettoreProcesso::ImpostaPercorso(lettoreSostituto(
        dir, nwind,
        "head -c " + parte + " tabelle.righe >\"$5\"\ni=0\nwhile [ ! -e avanti ]; do\n"
        "  i=$((i + 1)); [ $i -gt 100 ] && exit 1; echo 'P 1'; sleep 0.05\ndone\n"
        "tail -c +$((" + parte + " + 1)) tabelle.righe >>\"$5\" && echo OK\n"));
    auto db = DatabaseJet::Apri(nwind, QString());
    auto rs = db->ApriSelezione(QStringLiteral("Order Details"), CondizioneSelezione{});
    ASSERT_FALSE(rs->Eof());
    EXPECT_EQ(rs->RecordCount(), n);
    EXPECT_EQ(rs->Valore(QStringLiteral("OrderID")).toInt(), 1);
    EXPECT_EQ(rs->TipoCampo(QStringLiteral("UnitPrice")), TipoDao::Currency);
    EXPECT_DOUBLE_EQ(rs->Valore(QStringLiteral("UnitPrice")).toDouble(), 13.5);
    const CondizioneSelezione uguale{
        .criterio = 1, .campo = QStringLiteral("Quantity"), .tipo = TipoDao::Integer, .classe = 0, .valori = {7.0}};
    auto sette = db->ApriSelezione(QStringLiteral("Order Details"), uguale);
    ASSERT_FALSE(sette->Eof());
    EXPECT_EQ(sette->Valore(QStringLiteral("OrderID")).toInt(), 7);
    sette->MoveNext();
    EXPECT_EQ(sette->Valore(QStringLiteral("OrderID")).toInt(), 57);
    EXPECT_FALSE(sette->ConteggioPronto());
    EXPECT_TRUE(rs->ConteggioPronto());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("avanti"))));
    test::ScriviFile(dir.filePath(QStringLiteral("avanti")), "");
    EXPECT_EQ(sette->RecordCount(), n / 50);
    // a second selection of the same table shares the reading
    auto altro = db->ApriSelezione(QStringLiteral("Order Details"), CondizioneSelezione{});
    int visti = 1;
    qint64 somma = rs->Valore(QStringLiteral("OrderID")).toLongLong();
    for (rs->MoveNext(); !rs->Eof(); rs->MoveNext(), ++visti) somma += rs->Valore(QStringLiteral("OrderID")).toLongLong();
    EXPECT_EQ(visti, n);
    EXPECT_EQ(somma, qint64(n) * (n + 1) / 2);
    int secondi = 0;
    for (; !altro->Eof(); altro->MoveNext()) ++secondi;
    EXPECT_EQ(secondi, n);
    EXPECT_EQ(db->TabelleCaricate(), 1);
    EXPECT_EQ(db->ApriSelezione(QStringLiteral("Order Details"), uguale)->RecordCount(), n / 50);
    test::UsaLettoreDellaBuild();
}

// A reader that stops half way through a table (killed, or a table that ends before or
// after the count its definition declares) ends the walk with its message: no record set
// reads as the whole table, and the next selection reads the table afresh.
TEST(MotoreDati, LettoreInterrottoNonDaMezzaTabella)
{
    CARTIGO_FILE_MDB(nwind, "nwind.mdb");
    constexpr int n = 20000;
    QTemporaryDir dir;
    struct Caso {
        const char* nome;
        QByteArray flusso;
        QByteArray script;
        const char* messaggio;
    };
    const QByteArray intero = test::FlussoOrderDetails(n);
    const QByteArray meta = QByteArray::number(intero.size() / 2);
    const Caso casi[] = {
        {"killed", intero, "head -c " + meta + " tabelle.righe >\"$5\"\necho 'P 1'\nkill -KILL $$\n",
         "stopped abnormally"},
        {"fewer", test::FlussoOrderDetails(n - 10, n), "cp tabelle.righe \"$5\" && echo OK\n", "of them could be read"},
        {"more", test::FlussoOrderDetails(n + 10, n), "cp tabelle.righe \"$5\" && echo OK\n",
         "more rows than its definition declares"},
    };
    for (const Caso& caso : casi) {
        SCOPED_TRACE(caso.nome);
        test::ScriviFile(dir.filePath(QStringLiteral("tabelle.righe")), caso.flusso);
        LettoreProcesso::ImpostaPercorso(lettoreSostituto(dir, nwind, caso.script));
        auto db = DatabaseJet::Apri(nwind, QString());
        for (int volta = 0; volta < 2; ++volta) {
            int visti = 0;
            const auto e = test::ErroreDi([&] {
                auto rs = db->ApriSelezione(QStringLiteral("Order Details"), CondizioneSelezione{});
                for (; !rs->Eof(); rs->MoveNext()) ++visti;
            });
            EXPECT_EQ(e.numero, ErroreJet::DatabaseNonApribile) << "the walk ended after " << visti << " records";
            EXPECT_TRUE(e.testo.contains(QLatin1String("nwind.mdb")) && e.testo.contains(QLatin1String(caso.messaggio)))
                << e.str();
            EXPECT_LE(visti, n);
            EXPECT_EQ(db->TabelleCaricate(), 0);
        }
        // a statement reading the whole table fails alike
        EXPECT_THROW(db->ApriRecordset(QStringLiteral("SELECT * FROM [Order Details]")), ErroreCartigo);
    }
    test::UsaLettoreDellaBuild();
}
