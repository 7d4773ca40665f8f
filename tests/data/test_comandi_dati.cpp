// clsDatabase (messages, lists, the record selection with its write-back), the
// Database commands through the scripted seam, the main window's connection, and
// the data dialogs driven offscreen.
#include "SupportoDati.h"
#include "app/frmCartigo.h"
#include "data/ComandiDati.h"
#include "data/DatabaseJet.h"
#include "data/RichiesteDati.h"
#include "data/SelezioneStampa.h"
#include "data/clsDatabase.h"
#include "data/frmDati.h"
#include "label/FileEtichetta.h"
#include "label/ModificheEtichetta.h"
#include "shell/InterazioneScriptata.h"
#include "shell/StringTable.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace cartigo;

namespace {

struct Connessione {
    InterazioneScriptata ui;
    clsDatabase db{ui};
    bool apri(const QString& file, const QString& password = {})
    {
        db.SetNomeDatabase(file);
        db.SetPasswordDb(password);
        return db.ConnettiDatabase();
    }
};

}  // namespace

TEST(clsDatabase, MessaggiDiConnessione)
{
    ImpostaLingua(Lingua::Italiano);  // the messages checked are the Italian ones
    CARTIGO_FILE_MDB(pw, "V2000_with-password.mdb");
    CARTIGO_FILE_MDB(pw2003, "V2003_with-password.mdb");
    CARTIGO_FILE_MDB(libero, "V2000_no-password.mdb");
    QTemporaryDir dir;
    const QString nonDb = dir.filePath(QStringLiteral("testo.mdb"));
    test::ScriviFile(nonDb, QByteArray(8192, 'a'));
    const QString manca = dir.filePath(QStringLiteral("manca.mdb"));
    struct Caso {
        QString file, password;
        bool ok;
        QString inizio;
    };
    const Caso casi[] = {
        {pw, QStringLiteral("password"), true, {}},
        {pw, QStringLiteral("PASSWORD"), false, QStringLiteral("Errore non gestito. Codice:3031")},
        {pw, QString(), false, QStringLiteral("Errore non gestito. Codice:3031")},
        {pw2003, QStringLiteral("password"), true, {}},
        {pw2003, QStringLiteral("wrong"), false, QStringLiteral("Errore non gestito. Codice:3031")},
        {libero, QStringLiteral("anything"), true, {}},  // a file without a password takes any
        {nonDb, QString(), false, QStringLiteral("Errore non gestito. Codice:3343")},
        {manca, QString(), false, QStringLiteral("Impossibile connettersi al database ") + manca + QLatin1Char('.')},
        {dir.path(), QString(), false, QStringLiteral("Impossibile connettersi al database ")},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE((c.file + QLatin1Char(' ') + c.password).toStdString());
        Connessione k;
        EXPECT_EQ(k.apri(c.file, c.password), c.ok);
        EXPECT_EQ(k.db.Connesso(), c.ok);
        if (c.ok) {
            EXPECT_TRUE(k.ui.messaggi.isEmpty());
            EXPECT_EQ(dynamic_cast<DatabaseJet&>(*k.db.Motore())
                          .ApriRecordset(QStringLiteral("SELECT * FROM [Table1]"))
                          ->RecordCount(),
                      3);
            continue;
        }
        ASSERT_EQ(k.ui.messaggi.size(), 1);
        EXPECT_TRUE(k.ui.messaggi[0].testo.startsWith(c.inizio)) << k.ui.messaggi[0].testo.toStdString();
        EXPECT_EQ(k.ui.messaggi[0].titolo, QStringLiteral("objDatabase"));
        EXPECT_EQ(k.ui.messaggi[0].icona, Icona::Esclamazione);
        EXPECT_EQ(k.ui.beep_, 1);
    }
}

TEST(clsDatabase, ElenchiEControlli)
{
    CARTIGO_FILE_MDB(nwind, "nwind.mdb");
    Connessione k;
    ASSERT_TRUE(k.apri(nwind));
    ElencoVoci tabelle;
    k.db.CaricaListaTabelle(tabelle);
    QStringList nomi = tabelle.voci;  // no system table
    nomi.sort();
    EXPECT_EQ(nomi, (QStringList{"Categories", "Customers", "Employees", "Order Details", "Orders", "Products",
                                 "Shippers", "Suppliers", QStringLiteral("Umsätze")}));
    // tables are copied only when a statement needs them
    auto& jet = dynamic_cast<DatabaseJet&>(*k.db.Motore());
    EXPECT_EQ(jet.TabelleCaricate(), 0);
    EXPECT_EQ(tabelle.ListIndex, -1);
    k.db.CaricaListaQueries(tabelle);  // appended
    EXPECT_EQ(tabelle.ListCount(), 9 + 22);

    ElencoVoci combo;
    k.db.CaricaListaCampi(QStringLiteral("Shippers"), combo);
    EXPECT_EQ(combo.voci, (QStringList{"ShipperID", "CompanyName", "Phone"}));
    EXPECT_EQ(combo.ListIndex, 0);
    ElencoVoci campiQuery;
    k.db.CaricaListaCampiDaQueryList(QStringLiteral("Order Subtotals"), campiQuery);
    EXPECT_EQ(campiQuery.voci, (QStringList{"OrderID", "Subtotal"}));
    EXPECT_EQ(campiQuery.ListIndex, -1);

    EXPECT_TRUE(k.db.EsisteTabella(QStringLiteral("  Orders  ")));
    EXPECT_FALSE(k.db.EsisteTabella(QStringLiteral("orders")));
    EXPECT_FALSE(k.db.EsisteTabella(QStringLiteral("Invoices")));  // a query, not a table
    EXPECT_TRUE(k.db.IsQuery(QStringLiteral("Invoices")));
    EXPECT_FALSE(k.db.IsQuery(QStringLiteral(" Invoices")));
    EXPECT_FALSE(k.db.IsQuery(QStringLiteral("invoices")));
    EXPECT_FALSE(k.db.IsQuery(QStringLiteral("Orders")));

    EXPECT_EQ(k.db.GetTipoCampo(QStringLiteral("Orders"), QStringLiteral("OrderDate")), 2);
    EXPECT_EQ(k.db.GetTipoCampo(QStringLiteral("Orders"), QStringLiteral("ShipName")), 1);
    EXPECT_EQ(k.db.GetTipoCampo(QStringLiteral("Orders"), QStringLiteral("Freight")), 0);

    std::unique_ptr<Recordset> rs;
    QString v = QStringLiteral("ALFKI"), a, b;
    k.db.ConnettiRecordset(rs, QStringLiteral("Customers"), QStringLiteral("CustomerID"), 1, v, a, b);
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(k.db.GetValoreCampo(*rs, QStringLiteral("Region")).toString(), QString());  // Null text
    EXPECT_EQ(k.db.NzCampo(*rs, QStringLiteral("Region")), QString());
    EXPECT_EQ(k.db.NzCampo(*rs, QStringLiteral("City")), QStringLiteral("Berlin"));
    k.db.DisconnettiDatabase();
    EXPECT_THROW(k.db.CaricaListaTabelle(tabelle), ErroreCartigo);
}

TEST(clsDatabase, CriteriConSentinelleERiscrittura)
{
    CARTIGO_FILE_MDB(nwind, "nwind.mdb");
    const QString zeri(34, QLatin1Char('0')), zeta(34, QLatin1Char('Z'));
    struct Caso {
        const char* tabella;
        const char* campo;
        qint16 criterio;
        QString v, a, b;
        int righe;
        QString v2, a2, b2;  // written back (English locale)
    };
    const Caso casi[] = {
        {"Customers", "Country", 0, "x", "", "", 91, "x", "", ""},
        {"Customers", "Country", 1, "Germany", "", "", 11, "Germany", zeri, zeta},
        {"Customers", "Country", 1, "germany", "", "", 11, "germany", zeri, zeta},
        {"Customers", "Region", 2, "", "", "", 31, "", zeri, zeta},
        {"Customers", "CompanyName", 2, "", "A", "C", 11, "", "A", "C"},
        {"Customers", "CompanyName", 1, "Bon app'", "", "", 1, "Bon app'", zeri, zeta},
        {"Customers", "CompanyName", 1, "x' OR 'a'='a", "", "", 0, "x' OR 'a'='a", zeri, zeta},
        {"Products", "UnitPrice", 2, "", "5", "", 75, "0", "5", "999999999999"},
        {"Products", "UnitPrice", 1, "18abc", "", "", 4, "18", "0", "999999999999"},
        {"Products", "UnitPrice", 2, "", "9.5", "10.5", 6, "0", "9.5", "10.5"},
        // typed with the full stop or a comma under either locale: 12.5, never 12
        {"Products", "UnitPrice", 1, "12.5", "", "", 2, "12.5", "0", "999999999999"},
        {"Products", "UnitPrice", 1, "12,5", "", "", 2, "12.5", "0", "999999999999"},
        {"Products", "UnitPrice", 2, "", "7.45", "9.5", 6, "0", "7.45", "9.5"},
        {"Products", "UnitPrice", 2, "", "7,45", "9,5", 6, "0", "7.45", "9.5"},
        {"Products", "CategoryID", 1, "1", "", "", 12, "1", "0", "999999999999"},
        {"Orders", "OrderDate", 2, "", "1/1/95", "12/31/95", 391, "", "1/1/95", "12/31/95"},
        {"Orders", "OrderDate", 1, "7/4/1995", "", "", 2, "7/4/1995", "", ""},
        {"Orders", "OrderID", 9, "", "", "", 830, "", "", ""},  // unknown criterion: all records
        {"Ten Most Expensive Products", "UnitPrice", 2, "", "50", "", 7, "0", "50", "999999999999"},
    };
    for (const auto& loc : test::kLocali) {
        test::LocaleTemporaneo l(loc.loc);
        Connessione k;
        ASSERT_TRUE(k.apri(nwind));
        for (const auto& c : casi) {
            SCOPED_TRACE(QStringLiteral("%1 %2.%3 %4")
                             .arg(QLatin1String(loc.nome), QLatin1String(c.tabella), QLatin1String(c.campo), c.v)
                             .toStdString());
            QString v = c.v, a = c.a, b = c.b;
            // every later print starts from the values written back, and selects the same
            for (int stampa = 0; stampa < 3; ++stampa) {
                std::unique_ptr<Recordset> rs;
                k.db.ConnettiRecordset(rs, QLatin1String(c.tabella), QLatin1String(c.campo), c.criterio, v, a, b);
                EXPECT_EQ(rs->RecordCount(), c.righe) << "print " << stampa;
            }
            auto locale = [&](QString s) { return s.replace(QLatin1Char('.'), loc.loc.decimale); };
            const bool numero = QLatin1String(c.tabella) == QLatin1String("Products") ||
                                QLatin1String(c.tabella) == QLatin1String("Ten Most Expensive Products");
            EXPECT_EQ(v, numero ? locale(c.v2) : c.v2);
            EXPECT_EQ(a, numero ? locale(c.a2) : c.a2);
            EXPECT_EQ(b, numero ? locale(c.b2) : c.b2);
        }
    }
}

TEST(clsDatabase, CriteriSenzaCondizioneEDateNonValide)
{
    CARTIGO_RICHIEDI_TESTDATA(cartella);
    test::UsaLettoreDellaBuild();
    Connessione k;
    ASSERT_TRUE(k.apri(cartella + QStringLiteral("/mdb/types-jet4.mdb")));
    std::unique_ptr<Recordset> rs;
    // A field of type 15 (replication id) allows no condition: every record.
    QString v = QStringLiteral("x"), a, b;
    k.db.ConnettiRecordset(rs, QStringLiteral("Table4"), QStringLiteral("data"), 1, v, a, b);
    EXPECT_EQ(rs->RecordCount(), dynamic_cast<DatabaseJet&>(*k.db.Motore())
                                     .ApriRecordset(QStringLiteral("SELECT * FROM Table4"))
                                     ->RecordCount());

    Connessione n;
    ASSERT_TRUE(n.apri(cartella + QStringLiteral("/mdb/nwind.mdb")));
    const auto seleziona = [&](const char* campo, QString valore) {
        QString da, al;
        return test::ErroreDi(
            [&] { n.db.ConnettiRecordset(rs, QStringLiteral("Orders"), QLatin1String(campo), 1, valore, da, al); });
    };
    const auto e = seleziona("OrderDate", QStringLiteral("domani"));
    EXPECT_NE(e.numero, 0);
    EXPECT_TRUE(e.testo.contains(QLatin1String("domani")) && e.testo.contains(QLatin1String("OrderDate"))) << e.str();
    EXPECT_NE(seleziona("Nessuno", QString()).numero, 0);
}

TEST(clsDatabase, SelezionePerLaStampa)
{
    CARTIGO_FILE_MDB(nwind, "nwind.mdb");
    test::LocaleTemporaneo l(ImpostazioniLocali::italiano());
    Connessione k;
    ASSERT_TRUE(k.apri(nwind));
    CollegamentoDati c;
    c.NomeTabella = QStringLiteral("Products");
    c.CampoSelezione = QStringLiteral("UnitPrice");
    c.TipoSelezione = 2;
    c.ValoreSelezione2 = QStringLiteral("97");
    auto rs = ApriSelezioneStampa(k.db, c, modCartigo::FormatoTesto::italiano());
    EXPECT_EQ(c.ValoreSelezione3, QStringLiteral("999999999999"));
    ASSERT_EQ(rs->RecordCount(), 3);
    QStringList testi;
    for (; !rs->Eof(); rs->MoveNext())
        testi << rs->TestoCampo(QStringLiteral("ProductName")) + QLatin1Char('=') +
                     rs->TestoCampo(QStringLiteral("UnitPrice")) + QLatin1Char('/') +
                     rs->TestoCampo(QStringLiteral("Discontinued"));
    EXPECT_EQ(testi, (QStringList{QStringLiteral("Mishi Kobe Niku=97/Vero"),
                                  QStringLiteral("Thüringer Rostbratwurst=123,79/Vero"),
                                  QStringLiteral("Côte de Blaye=263,5/Falso")}));
    EXPECT_THROW(ApriSelezioneStampa(k.db, c)->TestoCampo(QStringLiteral("Nessuno")), ErroreCartigo);

    // The engine binds the values to the statement: a date carrying more SQL is no date,
    // whatever checked it before (texts with quotes: CriteriConSentinelleERiscrittura).
    CondizioneSelezione data{.criterio = 1,
                             .campo = QStringLiteral("OrderDate"),
                             .tipo = TipoDao::Date,
                             .classe = 2,
                             .valori = {QStringLiteral("1/1/1990# OR [OrderID] > #1/1/1900")}};
    EXPECT_THROW(k.db.Motore()->ApriSelezione(QStringLiteral("Orders"), data), ErroreCartigo);
    // bound, a date selects what it did written into the statement
    data.criterio = 2;
    data.valori[0] = QStringLiteral("8/4/1994");
    data.valori[1] = QStringLiteral("12/31/1994");
    auto* jet = dynamic_cast<DatabaseJet*>(k.db.Motore());
    ASSERT_TRUE(jet);
    const int scritte =
        jet->ApriRecordset(QStringLiteral("SELECT * FROM [Orders] WHERE [OrderDate] Between #8/4/1994# AND #12/31/1994#"))
            ->RecordCount();
    EXPECT_GT(scritte, 0);
    EXPECT_EQ(k.db.Motore()->ApriSelezione(QStringLiteral("Orders"), data)->RecordCount(), scritte);
}

// --- commands ---

namespace {

struct Comandi {
    InterazioneScriptata ui;
    DocumentoEtichetta doc;
    clsDatabase db{ui};
    ComandiDati cmd{doc, ui, db};
    OggettoEtichetta* selezionato = nullptr;
    Comandi()
    {
        cmd.oggettoSelezionato = [this] { return selezionato; };
        cmd.azzeraSelezione = [this] { selezionato = nullptr; };
    }
    // Answers the connect dialog with `file` and the table dialog with `tabella` (empty:
    // cancelled; kPreselezionata: the table it offers first).
    void rispondiConnessione(const QString& file, const QString& pw, const QString& tabella,
                             QStringList* offerte = nullptr, QString* preselezionata = nullptr)
    {
        ui.gestoriDialogo[QStringLiteral("frmConnettiDBMDB")] = [=, this](RichiestaDialogo& r) {
            return static_cast<RichiestaConnettiDB&>(r).cmdOk(file, pw, ui, QString());
        };
        ui.gestoriDialogo[QStringLiteral("frmSelezionaTabella")] = [=, this](RichiestaDialogo& r) {
            auto& d = static_cast<RichiestaSelezionaTabella&>(r);
            if (offerte) *offerte = d.lstTabelle;
            if (preselezionata) *preselezionata = d.selezionata >= 0 ? d.lstTabelle.at(d.selezionata) : QString();
            if (tabella.isEmpty()) return false;
            return d.cmdOk(tabella == kPreselezionata ? d.selezionata : int(d.lstTabelle.indexOf(tabella)), ui,
                           QString());
        };
    }
    void connetti(const QString& file, const QString& tabella = kPreselezionata, QString* preselezionata = nullptr)
    {
        rispondiConnessione(file, QString(), tabella, nullptr, preselezionata);
        cmd.mnuConnettiDb_Click();
    }
    static inline const QString kPreselezionata = QStringLiteral("*");
};

}  // namespace

TEST(ComandiDati, ConnessioneEScelta)
{
    CARTIGO_FILE_MDB(nwind, "nwind.mdb");
    Comandi c;
    QStringList offerte;
    c.rispondiConnessione(nwind, QString(), QStringLiteral("Invoices"), &offerte);
    c.cmd.mnuConnettiDb_Click();
    EXPECT_TRUE(c.doc.Connesso());
    EXPECT_TRUE(c.db.Connesso());
    EXPECT_TRUE(c.doc.Modificato());
    EXPECT_EQ(c.doc.Collegamento().NomeDatabase, nwind);
    EXPECT_EQ(c.doc.Collegamento().NomeTabella, QStringLiteral("Invoices"));
    ASSERT_EQ(offerte.size(), 31);
    EXPECT_EQ(offerte.first(), QStringLiteral("Order Details"));  // tables first, in catalog order
    EXPECT_EQ(offerte.at(9), QStringLiteral("Alphabetical List of Products"));

    // Reconnecting preselects the bound table; cancelling leaves the program not connected
    // but keeps the new path.
    QString preselezionata;
    c.doc.Collegamento().CampoSelezione = QStringLiteral("keep");
    c.rispondiConnessione(nwind, QStringLiteral("pw"), QString(), nullptr, &preselezionata);
    c.cmd.mnuConnettiDb_Click();
    EXPECT_EQ(preselezionata, QStringLiteral("Invoices"));
    EXPECT_FALSE(c.doc.Connesso());
    EXPECT_FALSE(c.db.Connesso());
    EXPECT_EQ(c.doc.Collegamento().PasswordDatabase, QStringLiteral("pw"));
    EXPECT_EQ(c.doc.Collegamento().CampoSelezione, QStringLiteral("keep"));

    // A refused connection: its message, and no table is asked for.
    ImpostaLingua(Lingua::Italiano);  // the messages checked are the Italian ones
    CARTIGO_FILE_MDB(pw, "V2003_with-password.mdb");
    c.ui.dialoghi.clear();
    c.ui.messaggi.clear();
    c.rispondiConnessione(pw, QStringLiteral("sbagliata"), QStringLiteral("Table1"));
    c.cmd.mnuConnettiDb_Click();
    EXPECT_FALSE(c.doc.Connesso());
    ASSERT_EQ(c.ui.messaggi.size(), 1);
    EXPECT_TRUE(c.ui.messaggi[0].testo.startsWith(QStringLiteral("Errore non gestito. Codice:3031")));
    EXPECT_FALSE(c.ui.dialoghi.contains(QStringLiteral("frmSelezionaTabella")));
    // (a file that does not exist is refused by the dialog: DialoghiDati.ConnettiDBMDB)
}

TEST(ComandiDati, CollegaEScollega)
{
    CARTIGO_FILE_MDB(nwind, "nwind.mdb");
    ImpostaLingua(Lingua::Italiano);
    Comandi c;
    OggettoEtichetta* testo = c.doc.CreaTesto(600, 1500, 1000, 300);
    OggettoEtichetta* rettangolo = c.doc.CreaRettangolo(600, 2000, 1000, 300);

    c.selezionato = testo;
    c.cmd.mnuCollega_Click();  // not connected
    ASSERT_EQ(c.ui.messaggi.size(), 1);
    EXPECT_EQ(c.ui.messaggi[0].testo, QStringLiteral("Connettersi ad un database."));
    EXPECT_EQ(c.ui.messaggi[0].titolo, QStringLiteral("Operazione annullata."));
    EXPECT_FALSE(c.doc.Modificato());  // refused: nothing changed
    EXPECT_TRUE(c.cmd.CampiTabella().isEmpty());

    c.connetti(nwind, QStringLiteral("Customers"));
    ASSERT_TRUE(c.doc.Connesso());

    // Right after connecting nothing is selected: the command says so, in the user's language.
    for (const Lingua lingua : {Lingua::Italiano, Lingua::Inglese}) {
        ImpostaLingua(lingua);
        c.selezionato = nullptr;
        const int beep = c.ui.beep_;
        c.cmd.mnuCollega_Click();
        ASSERT_EQ(c.ui.messaggi.size(), lingua == Lingua::Italiano ? 2 : 3);
        EXPECT_EQ(c.ui.messaggi.last().testo, lingua == Lingua::Italiano
                                                  ? QStringLiteral("Selezionare l'oggetto da collegare al campo.")
                                                  : QStringLiteral("Select the object to link to the field first."));
        EXPECT_EQ(c.ui.messaggi.last().titolo, LoadResString(157));
        EXPECT_EQ(c.ui.messaggi.last().icona, Icona::Esclamazione);
        EXPECT_EQ(c.ui.beep_, beep + 1);
    }
    ImpostaLingua(Lingua::Italiano);
    EXPECT_FALSE(c.ui.dialoghi.contains(QStringLiteral("frmCollegaCampo")));

    // A rectangle cannot be linked: nothing happens.
    c.selezionato = rettangolo;
    c.cmd.mnuCollega_Click();
    EXPECT_EQ(c.ui.messaggi.size(), 3);
    EXPECT_FALSE(c.ui.dialoghi.contains(QStringLiteral("frmCollegaCampo")));

    QStringList campi;
    c.ui.gestoriDialogo[QStringLiteral("frmCollegaCampo")] = [&](RichiestaDialogo& r) {
        auto& d = static_cast<RichiestaCollegaCampo&>(r);
        campi = d.lstCampi;
        return d.cmdOk(int(d.lstCampi.indexOf(QStringLiteral("City"))), c.ui, QString());
    };
    c.selezionato = testo;
    c.cmd.mnuCollega_Click();
    EXPECT_EQ(campi.first(), QStringLiteral("CustomerID"));
    EXPECT_EQ(c.cmd.CampiTabella(), campi);  // what the text dialog offers as merge fields
    EXPECT_EQ(testo->DataMember, QStringLiteral("City"));
    EXPECT_EQ(testo->Caption, QStringLiteral("[City]"));

    int preselezionato = -2;
    c.ui.gestoriDialogo[QStringLiteral("frmCollegaCampo")] = [&](RichiestaDialogo& r) {
        auto& d = static_cast<RichiestaCollegaCampo&>(r);
        preselezionato = d.selezionato;
        d.cmdScollega();
        return true;
    };
    c.cmd.mnuCollega_Click();
    EXPECT_EQ(preselezionato, 5);  // "City", found again
    EXPECT_TRUE(testo->DataMember.isEmpty());
    EXPECT_EQ(testo->Caption, QStringLiteral("abc"));
}

TEST(ComandiDati, SelezioneRecords)
{
    ImpostaLingua(Lingua::Italiano);  // the messages checked are the Italian ones
    CARTIGO_FILE_MDB(nwind, "nwind.mdb");
    Comandi c;
    c.connetti(nwind, QStringLiteral("Products"));
    auto& b = c.doc.Collegamento();
    b.CampoSelezione = QStringLiteral(" unitprice ");
    b.TipoSelezione = 2;
    b.ValoreSelezione1 = QStringLiteral("old");
    b.ValoreSelezione2 = QStringLiteral("5");
    b.ValoreSelezione3 = QString();
    RichiestaSelezioneRecords visto;
    c.ui.gestoriDialogo[QStringLiteral("frmSelezioneRecords")] = [&](RichiestaDialogo& r) {
        auto& d = static_cast<RichiestaSelezioneRecords&>(r);
        visto = d;
        // The equal-to criterion with an empty value is refused; the between one with
        // empty values is accepted.
        EXPECT_FALSE(d.cmdOk(QStringLiteral("UnitPrice"), 1, {QString(), QString(), QString()}, c.ui, QString()));
        EXPECT_EQ(c.ui.messaggi.last().testo, QStringLiteral("Inserire un valore."));
        EXPECT_FALSE(d.cmdOk(QString(), 0, {}, c.ui, QString()));
        EXPECT_EQ(c.ui.messaggi.last().testo, QStringLiteral("Selezionare il campo per la selezione"));
        return d.cmdOk(QStringLiteral("ProductName"), 2, {QStringLiteral("old"), QString(), QString()}, c.ui,
                       QString());
    };
    c.cmd.mnuSelezionaRecords_Click();
    EXPECT_EQ(visto.cmbCampi.first(), QStringLiteral("ProductID"));
    EXPECT_EQ(visto.cmbCampi.at(visto.selezionato), QStringLiteral("UnitPrice"));
    EXPECT_EQ(visto.optCriteri, 2);
    EXPECT_EQ(visto.txtCampo[0], QStringLiteral("old"));
    EXPECT_EQ(b.CampoSelezione, QStringLiteral("ProductName"));
    EXPECT_EQ(b.TipoSelezione, 2);
    EXPECT_EQ(b.ValoreSelezione2, QString());

    c.cmd.mnuDisconnettiDb_Click();
    EXPECT_FALSE(c.doc.Connesso());
    EXPECT_EQ(b.NomeTabella, QStringLiteral("Products"));  // the binding stays
    const int messaggi = int(c.ui.messaggi.size());
    c.cmd.mnuSelezionaRecords_Click();
    EXPECT_EQ(c.ui.messaggi.size(), messaggi + 1);
}

// A source of one table has it chosen; connecting to another table drops the links and the
// selection field it lacks, and says which, instead of failing at print time.
TEST(ComandiDati, AnotherTableKeepsOnlyTheLinksItHas)
{
    ImpostaLingua(Lingua::Inglese);
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("clienti.csv"));
    const QString b = dir.filePath(QStringLiteral("altri.csv"));
    test::ScriviFile(a, "nome,citta,codice\nAnna,Roma,1\n");
    test::ScriviFile(b, "codice,prezzo\n1,2.5\n");
    Comandi c;
    QString preselezionata;
    c.doc.ImpostaCartellaEtichetta(dir.path());
    c.connetti(a, Comandi::kPreselezionata, &preselezionata);
    ASSERT_TRUE(c.doc.Connesso());
    EXPECT_FALSE(preselezionata.isEmpty());
    // a file beside the label is named from the label's folder
    EXPECT_EQ(c.doc.Collegamento().NomeDatabase, QStringLiteral("clienti.csv"));
    OggettoEtichetta* nome = c.doc.CreaTesto(600, 1500, 1000, 300);
    OggettoEtichetta* codice = c.doc.CreaBarcode(600, 2500, 1000, 300);
    nome->DataMember = QStringLiteral("nome");
    nome->Caption = QStringLiteral("[nome]");
    codice->DataMember = QStringLiteral("Codice");
    c.doc.Collegamento().CampoSelezione = QStringLiteral("citta");
    c.doc.Collegamento().TipoSelezione = 1;
    c.ui.messaggi.clear();
    c.connetti(b);
    ASSERT_TRUE(c.doc.Connesso());
    EXPECT_TRUE(nome->DataMember.isEmpty());
    EXPECT_EQ(nome->Caption, QStringLiteral("abc"));
    EXPECT_EQ(codice->DataMember, QStringLiteral("Codice"));  // the new table has it
    EXPECT_TRUE(c.doc.Collegamento().CampoSelezione.isEmpty());
    EXPECT_EQ(c.doc.Collegamento().TipoSelezione, 0);
    ASSERT_EQ(c.ui.messaggi.size(), 1);
    EXPECT_EQ(c.ui.messaggi[0].testo, QStringLiteral("The new table lacks these fields; their links were removed: citta, nome"));
    // Undo gives the links back.
    c.doc.Storia().undo();
    EXPECT_EQ(nome->DataMember, QStringLiteral("nome"));
    EXPECT_TRUE(c.doc.Connesso());
    // a file elsewhere by its whole path
    QTemporaryDir altrove;
    const QString fuori = QDir(altrove.path()).filePath(QStringLiteral("fuori.csv"));
    test::ScriviFile(fuori, "nome,citta,codice\nAnna,Roma,1\n");
    c.connetti(fuori);
    EXPECT_TRUE(c.doc.Connesso());
    EXPECT_EQ(c.doc.Collegamento().NomeDatabase, QFileInfo(fuori).absoluteFilePath());
}

TEST(ComandiDati, UndoAndRedoConnectAgainAndGiveBackTheBindingAndTheLinks)
{
    ImpostaLingua(Lingua::Italiano);
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("clienti.csv"));
    const QString b = dir.filePath(QStringLiteral("articoli.csv"));
    test::ScriviFile(a, "nome,citta\nAnna,Roma\n");
    test::ScriviFile(b, "codice,prezzo\n1,2.5\n");
    Comandi c;
    OggettoEtichetta* testo = c.doc.CreaTesto(600, 1500, 1000, 300);
    c.doc.ImpostaModificato(false);
    auto dati = [&] { return FileEtichetta::DatiEtichetta(c.doc, ImpostazioniLocali::correnti()); };
    auto annullaERipeti = [&](const QByteArray& prima, bool connessoPrima, const QString& dbPrima) {
        const QByteArray dopo = dati();
        const bool connessoDopo = c.doc.Connesso();
        const QString dbDopo = c.db.NomeDatabase();
        c.doc.Storia().undo();
        EXPECT_EQ(dati(), prima);
        EXPECT_EQ(c.doc.Connesso(), connessoPrima);
        EXPECT_EQ(c.db.Connesso(), connessoPrima);
        if (connessoPrima) {
            EXPECT_EQ(c.db.NomeDatabase(), dbPrima);
        }
        c.doc.Storia().redo();
        EXPECT_EQ(dati(), dopo);
        EXPECT_EQ(c.doc.Connesso(), connessoDopo);
        EXPECT_EQ(c.db.Connesso(), connessoDopo);
        if (connessoDopo) {
            EXPECT_EQ(c.db.NomeDatabase(), dbDopo);
        }
    };

    // Connecting: a step; its undo disconnects and gives back the empty binding.
    QByteArray prima = dati();
    c.connetti(a, QStringLiteral("clienti"));
    ASSERT_TRUE(c.doc.Connesso());
    EXPECT_EQ(c.doc.Storia().undoText(), LoadResString(NomeModifica::ConnettiDatabase));
    annullaERipeti(prima, false, {});
    // Another database: the undo connects the first one again.
    prima = dati();
    c.connetti(b, QStringLiteral("articoli"));
    EXPECT_EQ(c.doc.Collegamento().NomeTabella, QStringLiteral("articoli"));
    annullaERipeti(prima, true, a);
    // The connect dialog cancelled: nothing changed, no step.
    const int passi = c.doc.Storia().count();
    c.ui.gestoriDialogo.erase(QStringLiteral("frmConnettiDBMDB"));
    c.cmd.mnuConnettiDb_Click();
    EXPECT_EQ(c.doc.Storia().count(), passi);
    // The record selection.
    prima = dati();
    c.ui.gestoriDialogo[QStringLiteral("frmSelezioneRecords")] = [&](RichiestaDialogo& r) {
        return static_cast<RichiestaSelezioneRecords&>(r).cmdOk(
            QStringLiteral("prezzo"), 1, {QStringLiteral("2,5"), QString(), QString()}, c.ui, QString());
    };
    c.cmd.mnuSelezionaRecords_Click();
    EXPECT_EQ(c.doc.Collegamento().CampoSelezione, QStringLiteral("prezzo"));
    annullaERipeti(prima, true, b);
    // A field link.
    prima = dati();
    c.ui.gestoriDialogo[QStringLiteral("frmCollegaCampo")] = [&](RichiestaDialogo& r) {
        auto& d = static_cast<RichiestaCollegaCampo&>(r);
        return d.cmdOk(int(d.lstCampi.indexOf(QStringLiteral("codice"))), c.ui, QString());
    };
    c.selezionato = testo;
    c.cmd.mnuCollega_Click();
    EXPECT_EQ(testo->Caption, QStringLiteral("[codice]"));
    annullaERipeti(prima, true, b);
    // Disconnecting keeps the binding (the file does not change) and is a step of its own.
    prima = dati();
    c.cmd.mnuDisconnettiDb_Click();
    EXPECT_FALSE(c.doc.Connesso());
    EXPECT_EQ(dati(), prima);
    EXPECT_EQ(c.doc.Storia().undoText(), LoadResString(NomeModifica::DisconnettiDatabase));
    annullaERipeti(prima, true, b);
    // Back to the start, step by step.
    while (c.doc.Storia().canUndo()) c.doc.Storia().undo();
    EXPECT_FALSE(c.doc.Connesso());
    EXPECT_FALSE(c.doc.Modificato());
    EXPECT_TRUE(c.doc.Collegamento().NomeDatabase.isEmpty());
}

TEST(ComandiDati, FinestraPrincipaleRiconnetteEMostraLoStato)
{
    ImpostaLingua(Lingua::Italiano);  // the messages checked are the Italian ones
    CARTIGO_FILE_MDB(nwind, "nwind.mdb");
    test::AssicuraApplicazione();
    InterazioneScriptata ui;
    frmCartigo w(&ui);
    ASSERT_TRUE(w.Gestore().ConnettiDatabase);
    EXPECT_TRUE(w.Gestore().ConnettiDatabase(nwind, QString(), QStringLiteral("Orders")));
    w.Documento().Collegamento().NomeDatabase = nwind;
    w.Documento().Collegamento().NomeTabella = QStringLiteral("Orders");
    w.SetConnesso();
    EXPECT_EQ(w.Pannello(QStringLiteral("nomedb"))->text(), QStringLiteral("Connesso: ") + nwind);
    EXPECT_EQ(w.Pannello(QStringLiteral("nometable"))->text(), QStringLiteral("Orders"));
    // A name that is no table or saved query (their letter case counts) disconnects.
    // (A saved query reconnects: EtichettaCaricataEDatabaseDaRigaDiComando.)
    EXPECT_FALSE(w.ConnettiDatabase(nwind, QString(), QStringLiteral("invoices")));
    EXPECT_FALSE(w.Documento().Connesso());
    EXPECT_FALSE(w.Database().Connesso());
    EXPECT_EQ(w.Pannello(QStringLiteral("nomedb"))->text(), QStringLiteral("Non connesso"));
    w.Documento().Collegamento().NomeTabella = QStringLiteral("Orders");

    // The selection as the designer will set it; the menu command links it.
    ASSERT_TRUE(w.ConnettiDatabase(nwind, QString(), QStringLiteral("Orders")));
    OggettoEtichetta* o = w.Documento().CreaBarcode(600, 1500, 2000, 600);
    w.ImpostaCurrentObject(o);
    EXPECT_EQ(w.CurrentObject(), o);
    ui.gestoriDialogo[QStringLiteral("frmCollegaCampo")] = [&](RichiestaDialogo& r) {
        auto& d = static_cast<RichiestaCollegaCampo&>(r);
        return d.cmdOk(int(d.lstCampi.indexOf(QStringLiteral("ShipName"))), ui, QString());
    };
    w.Menu(QStringLiteral("mnuCollega"))->trigger();
    EXPECT_EQ(o->DataMember, QStringLiteral("ShipName"));
    w.Documento().Scarica(o);
    EXPECT_EQ(w.CurrentObject(), nullptr);
    w.Documento().ImpostaModificato(false);
}

TEST(ComandiDati, EtichettaCaricataEDatabaseDaRigaDiComando)
{
    ImpostaLingua(Lingua::Italiano);  // the messages checked are the Italian ones
    CARTIGO_RICHIEDI_TESTDATA(cartella);
    test::UsaLettoreDellaBuild();
    test::AssicuraApplicazione();
    QTemporaryDir dir;
    struct Caso {
        const char* database;  // in the label
        const char* tabella;
        const char* riga;  // command-line fields after the label: ",x,db,password"
        bool connesso;
        const char* campo;  // a field the bound objects print
    };
    const QString mdb = cartella + QStringLiteral("/mdb/");
    const Caso casi[] = {
        {"nwind.mdb", "Customers", "", true, "City"},
        {"nwind.mdb", "Invoices", "", true, "ShipCity"},  // a saved query reconnects too
        {"nwind.mdb", "Nessuna", "", false, ""},
        {"V2000_with-password.mdb", "Table1", "", false, ""},  // the label has no password
        {"nwind.mdb", "Table1", ",x,V2000_with-password.mdb,password", true, "Data"},
        {"nwind.mdb", "Table1", ",x,V2000_with-password.mdb,wrong", false, ""},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(QStringLiteral("%1 %2 %3")
                         .arg(QLatin1String(c.database), QLatin1String(c.tabella), QLatin1String(c.riga))
                         .toStdString());
        DocumentoEtichetta doc;
        doc.Collegamento().NomeDatabase = mdb + QLatin1String(c.database);
        doc.Collegamento().NomeTabella = QLatin1String(c.tabella);
        doc.CreaTesto(600, 1500, 1000, 300)->DataMember = QLatin1String(c.campo);
        const QString file = dir.filePath(QStringLiteral("e.eti"));
        ASSERT_TRUE(FileEtichetta::Scrivi(doc, file, ImpostazioniLocali::correnti()).isEmpty());
        QString riga = QLatin1String(c.riga);
        riga.replace(QStringLiteral(",x,"), QStringLiteral(",x,") + mdb);

        InterazioneScriptata ui;
        frmCartigo w(&ui);
        EXPECT_TRUE(w.Avvia(AvvioProgramma::DaArgomenti({file + riga})));
        EXPECT_EQ(w.Documento().Connesso(), c.connesso);
        EXPECT_EQ(w.Database().Connesso(), c.connesso);
        EXPECT_EQ(w.Pannello(QStringLiteral("nomedb"))->text().startsWith(QLatin1String("Connesso: ")), c.connesso);
        if (c.connesso) {
            // the bound objects print the records' values
            const auto rs = ApriSelezioneStampa(w.Database(), w.Documento().Collegamento());
            ASSERT_FALSE(rs->Eof());
            EXPECT_FALSE(rs->TestoCampo(QLatin1String(c.campo)).isEmpty());
        }
        w.Documento().ImpostaModificato(false);
    }
}

// --- the real dialogs, offscreen ---

namespace {
struct DialoghiDati : ::testing::Test {
    void SetUp() override
    {
        test::AssicuraApplicazione();
        ImpostaLingua(Lingua::Italiano);  // the messages checked are the Italian ones
    }
    InterazioneScriptata ui;
};
}  // namespace

TEST_F(DialoghiDati, ConnettiDBMDB)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.mdb"));
    test::ScriviFile(file, "x");
    RichiestaConnettiDB r;
    r.txtNomeFileDB = dir.filePath(QStringLiteral("manca.mdb"));
    r.txtPasswordDB = QStringLiteral("segreta");
    frmConnettiDBMDB d(r, ui);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Sorgente dati: MDB, ACCDB, CSV, SQLite, foglio di calcolo o PostgreSQL"));
    EXPECT_EQ(d.txtPasswordDB->echoMode(), QLineEdit::Password);
    d.cmdOk->click();
    EXPECT_FALSE(r.Confermato);
    ASSERT_EQ(ui.messaggi.size(), 1);
    EXPECT_EQ(ui.messaggi[0].testo, QStringLiteral("Inserire un nome file db valido."));
    EXPECT_EQ(ui.messaggi[0].titolo, d.windowTitle());
    ui.file.push_back(file);
    d.cmdSfoglia->click();
    ASSERT_EQ(ui.richiesteFile.size(), 1);
    EXPECT_TRUE(ui.richiesteFile[0].filtroScelto.contains(QLatin1String("*.accdb")));
    EXPECT_TRUE(ui.richiesteFile[0].filtroScelto.contains(QLatin1String("*.sqlite")));
    EXPECT_EQ(d.txtNomeFileDB->text(), file);
    d.cmdOk->click();
    EXPECT_TRUE(r.Confermato);
    EXPECT_EQ(r.NomeFileDB, file);
    EXPECT_EQ(r.PasswordDB, QStringLiteral("segreta"));

    // a server's address is taken as it is
    RichiestaConnettiDB server;
    server.txtNomeFileDB = QStringLiteral("postgresql://mario@db.example:5433/magazzino");
    frmConnettiDBMDB s(server, ui);
    s.cmdOk->click();
    EXPECT_TRUE(server.Confermato);
    EXPECT_EQ(server.NomeFileDB, QStringLiteral("postgresql://mario@db.example:5433/magazzino"));
}

TEST_F(DialoghiDati, PasswordDelServer)
{
    ImpostaLingua(Lingua::Inglese);
    RichiestaPasswordDatabase r;
    r.Indirizzo = QStringLiteral("postgresql://mario@db.example:5433/magazzino");
    r.Motivo = QStringLiteral("fe_sendauth: no password supplied");
    frmPasswordDB d(r, ui);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Database password"));
    EXPECT_EQ(d.lblIndirizzo->text(), QStringLiteral("Password for postgresql://mario@db.example:5433/magazzino:"));
    EXPECT_EQ(d.txtPassword->echoMode(), QLineEdit::Password);
    d.txtPassword->setText(QStringLiteral("segreta"));
    d.cmdCancel->click();
    EXPECT_FALSE(r.Confermato);
    d.cmdOk->click();
    EXPECT_TRUE(r.Confermato);
    EXPECT_EQ(r.Password, QStringLiteral("segreta"));
}

TEST_F(DialoghiDati, SelezioneRecordsAbilitaICampi)
{
    RichiestaSelezioneRecords r;
    r.cmbCampi = {QStringLiteral("A"), QStringLiteral("B")};
    r.selezionato = 1;
    r.optCriteri = 2;
    r.txtCampo = {QStringLiteral("uno"), QStringLiteral("due"), QStringLiteral("tre")};
    frmSelezioneRecords d(r, ui);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Seleziona i records"));
    EXPECT_TRUE(d.optCriteri[2]->isChecked());
    EXPECT_FALSE(d.txtCampo[0]->isEnabled());
    EXPECT_EQ(d.txtCampo[0]->text(), QStringLiteral("uno"));  // disabled fields keep their text
    EXPECT_TRUE(d.txtCampo[1]->isEnabled());
    d.optCriteri[1]->click();
    EXPECT_TRUE(d.txtCampo[0]->isEnabled());
    EXPECT_FALSE(d.txtCampo[2]->isEnabled());
    d.txtCampo[0]->clear();
    d.cmdOk->click();
    EXPECT_FALSE(r.Confermato);
    EXPECT_EQ(ui.messaggi.last().testo, QStringLiteral("Inserire un valore."));
    d.optCriteri[0]->click();
    d.cmdOk->click();
    EXPECT_TRUE(r.Confermato);
    EXPECT_EQ(r.Campo, QStringLiteral("B"));
    EXPECT_EQ(r.Criterio, 0);
    EXPECT_EQ(r.ValoreA, QStringLiteral("tre"));
}

TEST_F(DialoghiDati, ElenchiTabelleECampi)
{
    RichiestaSelezionaTabella t;
    t.lstTabelle = {QStringLiteral("Orders"), QStringLiteral("Products")};
    frmSelezionaTabella dt(t, ui);
    dt.cmdOk->click();
    EXPECT_FALSE(t.Confermato);
    EXPECT_EQ(ui.messaggi.last().testo, QStringLiteral("Selezionare una tabella."));
    dt.lstTabelle->setCurrentRow(1);
    dt.cmdOk->click();
    EXPECT_TRUE(t.Confermato);
    EXPECT_EQ(t.Tabella, QStringLiteral("Products"));

    RichiestaCollegaCampo c;
    c.lstCampi = {QStringLiteral("A")};
    c.SelezionaCampo(QStringLiteral(" a "));
    EXPECT_EQ(c.selezionato, 0);
    frmCollegaCampo dc(c, ui);
    EXPECT_EQ(dc.lstCampi->currentRow(), 0);
    dc.cmdScollega->click();
    EXPECT_TRUE(c.Confermato);
    EXPECT_TRUE(c.Campo.isEmpty());
    // A double-click on a field confirms it.
    RichiestaCollegaCampo d;
    d.lstCampi = {QStringLiteral("A"), QStringLiteral("B")};
    frmCollegaCampo dd(d, ui);
    dd.lstCampi->setCurrentRow(1);  // the first click of the double-click
    Q_EMIT dd.lstCampi->itemDoubleClicked(dd.lstCampi->item(1));
    EXPECT_TRUE(d.Confermato);
    EXPECT_EQ(d.Campo, QStringLiteral("B"));
}
