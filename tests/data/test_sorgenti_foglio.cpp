// Spreadsheets as data sources: workbooks made at run time by real producers
// (XlsxWriter, openpyxl, odfpy; tests/data/fogli.py), read through clsDatabase as the
// data dialogs and the print job read them.
#include "common/TestSupport.h"
#include "data/LettoreProcesso.h"
#include "data/ValoriJet.h"
#include "data/clsDatabase.h"
#include "shell/InterazioneScriptata.h"
#include "shell/StringTable.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace cartigo;

namespace {

// Runs tests/data/fogli.py; false (and the reason) when its producer is not installed.
bool produci(const QStringList& argomenti, std::string* motivo)
{
    QString python = QStringLiteral("/usr/bin/python3");
    if (!QFileInfo(python).isExecutable()) python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty()) {
        *motivo = "python3 is not installed";
        return false;
    }
    const auto e = test::EseguiProgramma(python, QStringList{QStringLiteral(CARTIGO_FOGLI_PY)} + argomenti);
    if (e.codice == 3) {
        *motivo = e.out.trimmed().toStdString();
        return false;
    }
    EXPECT_EQ(e.codice, 0) << e.err.toStdString();
    return e.codice == 0;
}

#define PRODUCI(...)                                                        \
    do {                                                                    \
        std::string motivo_;                                                \
        if (!produci(QStringList{__VA_ARGS__}, &motivo_)) {                 \
            if (!motivo_.empty()) GTEST_SKIP() << motivo_;                  \
            FAIL() << "the producer failed";                                \
        }                                                                   \
    } while (0)

struct Connessione {
    InterazioneScriptata ui;
    clsDatabase db{ui};
    Connessione() { qputenv("CARTIGO_SHEETREADER", QByteArrayLiteral(CARTIGO_SHEETREADER_PATH)); }
    bool apri(const QString& nome)
    {
        db.SetNomeDatabase(nome);
        return db.ConnettiDatabase();
    }
    // One field of the selection's records, as a linked object prints it.
    QStringList valori(const QString& tabella, const QString& campo, qint16 criterio = 0, QString v = {},
                       QString a = {}, QString b = {}, const QString& selezione = QStringLiteral("Codice"))
    {
        std::unique_ptr<Recordset> rs;
        db.ConnettiRecordset(rs, tabella, criterio ? selezione : QString(), criterio, v, a, b);
        QStringList r;
        const auto f = modCartigo::FormatoTesto::italiano();
        for (; !rs->Eof(); rs->MoveNext()) r << db.NzCampo(*rs, campo, f);
        EXPECT_EQ(r.size(), rs->RecordCount());
        return r;
    }
};

// The reader's memory cap while it lives.
struct Tetto {
    const qint64 prima = LettoreProcesso::OpzioniPredefinite().memoriaMassima;
    explicit Tetto(qint64 byte) { LettoreProcesso::OpzioniPredefinite().memoriaMassima = byte; }
    ~Tetto() { LettoreProcesso::OpzioniPredefinite().memoriaMassima = prima; }
};

QString messaggio(Connessione& k)
{
    return k.ui.messaggi.isEmpty() ? QString() : k.ui.messaggi.first().testo;
}

}  // namespace

// Item by item, the same sheets from each producer: tables, field names, types, values,
// and the record selection on text, number and date columns. Each workbook is read in
// parts: "righe" and openpyxl's cut after every row and every shared string (the row
// groups, the merged range, the string numbers and the sheets must come out the same).
TEST(SorgentiFoglio, TypesSheetsAndSelection)
{
    test::AssicuraApplicazione();
    test::LocaleTemporaneo locale{ImpostazioniLocali::italiano()};
    QTemporaryDir dir;
    for (const QString& nome :
         {QStringLiteral("articoli.xlsx"), QStringLiteral("righe.xlsx"), QStringLiteral("articoli.ods"),
          QStringLiteral("righe.ods"), QStringLiteral("openpyxl.xlsx")}) {
        SCOPED_TRACE(nome.toStdString());
        const bool xlsx = nome.endsWith(QLatin1String(".xlsx"));
        // openpyxl 3.0 names parts by absolute paths and keeps text in the cells
        const bool openpyxl = nome.startsWith(QLatin1String("openpyxl"));
        const QString file = dir.filePath(nome);
        PRODUCI(openpyxl ? QStringLiteral("openpyxl") : QStringLiteral("tipi"), file);
        struct Parti {
            bool attive;
            explicit Parti(bool a) : attive(a)
            {
                if (attive) qputenv("CARTIGO_SHEETREADER_PARTE", "1");
            }
            ~Parti()
            {
                if (attive) qunsetenv("CARTIGO_SHEETREADER_PARTE");
            }
        } parti(nome.startsWith(QLatin1String("righe")) || openpyxl);
        Connessione k;
        ASSERT_TRUE(k.apri(file)) << messaggio(k).toStdString();

        ElencoVoci tabelle, campi;
        k.db.CaricaListaTabelle(tabelle);
        EXPECT_EQ(tabelle.voci, (QStringList{"Articoli", "Vuoto", "Città"}));
        const QString t = QStringLiteral("Articoli");
        k.db.CaricaListaCampi(t, campi);
        // an empty name is "Column N", a repeated one (in any case) gets a suffix
        EXPECT_EQ(campi.voci,
                  (QStringList{"Codice", "Nome", "Prezzo", "Arrivo", "Ora", "Attivo", "Column 7", "nome_2", "Totale"}));
        EXPECT_EQ(k.db.GetTipoCampo(t, QStringLiteral("Codice")), 1);
        EXPECT_EQ(k.db.GetTipoCampo(t, QStringLiteral("Prezzo")), 0);
        EXPECT_EQ(k.db.GetTipoCampo(t, QStringLiteral("Arrivo")), 2);
        campi.Clear();
        k.db.CaricaListaCampi(QStringLiteral("Città"), campi);
        EXPECT_EQ(campi.voci, (QStringList{"Numero", "Numero_2"}));
        EXPECT_EQ(k.valori(QStringLiteral("Città"), QStringLiteral("Numero_2")), QStringList{"uno & <due> \"tre\""});

        // one record a row up to the last with a value, the empty row kept
        EXPECT_EQ(k.valori(t, QStringLiteral("Codice")),
                  (QStringList{"00123", "00456", "00789", "", "01000", "01001"}));
        EXPECT_EQ(k.valori(t, QStringLiteral("Nome")),
                  (QStringList{"Caffè", "Tè verde", "Città ✓ 東京", "", "Ultimo", ""}));
        EXPECT_EQ(k.valori(t, QStringLiteral("Prezzo")), (QStringList{"12,5", "3", "12,5", "", "1000000", ""}));
        EXPECT_EQ(k.valori(t, QStringLiteral("Arrivo")),
                  (QStringList{"01/03/2024", "31/12/2024 18:45:00", "02/03/2024", "", "31/12/1999", ""}));
        EXPECT_EQ(k.valori(t, QStringLiteral("Column 7")), (QStringList{"", "7", "", "", "", ""}));
        // times alone; booleans (an ODS file's as the sheet names them); cached formula
        // results of both kinds (openpyxl keeps none); a merged range gives every cell its
        // top-left value
        EXPECT_EQ(k.valori(t, QStringLiteral("Ora")), (QStringList{"08:30:00", "23:59:59", "", "", "12:00:00", ""}));
        EXPECT_EQ(k.valori(t, QStringLiteral("Attivo")),
                  xlsx ? (QStringList{"Vero", "Falso", "Vero", "", "Falso", ""})
                       : (QStringList{"TRUE", "FALSE", "TRUE", "", "FALSE", ""}));
        EXPECT_EQ(k.valori(t, QStringLiteral("Totale")),
                  openpyxl ? (QStringList{"", "", "", "", "unito", "unito"})
                           : (QStringList{"25", "economico", "25", "", "unito", "unito"}));
        EXPECT_EQ(k.valori(t, QStringLiteral("nome_2")), (QStringList{"x", "y", "", "", "unito", "unito"}));

        // the selection: text without regard to case, numbers as typed, dates as Jet reads them
        EXPECT_EQ(k.valori(t, QStringLiteral("Codice"), 1, QStringLiteral("00456")), QStringList{"00456"});
        EXPECT_EQ(k.valori(t, QStringLiteral("Codice"), 1, QStringLiteral("caffè"), {}, {}, QStringLiteral("Nome")),
                  QStringList{"00123"});
        EXPECT_EQ(k.valori(t, QStringLiteral("Codice"), 2, {}, QStringLiteral("00456"), QStringLiteral("01000")),
                  (QStringList{"00456", "00789", "01000"}));
        EXPECT_EQ(k.valori(t, QStringLiteral("Codice"), 1, QStringLiteral("12,5"), {}, {}, QStringLiteral("Prezzo")),
                  (QStringList{"00123", "00789"}));
        EXPECT_EQ(k.valori(t, QStringLiteral("Codice"), 2, {}, QStringLiteral("4"), QStringLiteral("1000000"),
                           QStringLiteral("Prezzo")),
                  (QStringList{"00123", "00789", "01000"}));
        EXPECT_EQ(k.valori(t, QStringLiteral("Codice"), 1, QStringLiteral("3/1/2024"), {}, {}, QStringLiteral("Arrivo")),
                  QStringList{"00123"});
        EXPECT_EQ(k.valori(t, QStringLiteral("Codice"), 2, {}, QStringLiteral("1/1/1999"), QStringLiteral("3/2/2024"),
                           QStringLiteral("Arrivo")),
                  (QStringList{"00123", "00789", "01000"}));
        EXPECT_TRUE(k.ui.messaggi.isEmpty());

        // a workbook known by its contents, whatever its name
        const QString senzaNome = dir.filePath(xlsx ? QStringLiteral("listino") : QStringLiteral("listino.dat"));
        QFile::remove(senzaNome);
        ASSERT_TRUE(QFile::copy(file, senzaNome));
        Connessione c;
        ASSERT_TRUE(c.apri(senzaNome)) << messaggio(c).toStdString();
        EXPECT_EQ(c.valori(t, QStringLiteral("Codice")).size(), 6);
    }
}

// An encrypted, damaged, truncated or misnamed file ends with a message that says which
// and why; nothing is connected.
TEST(SorgentiFoglio, BadInputSaysWhy)
{
    test::AssicuraApplicazione();
    ImpostaLingua(Lingua::Inglese);
    QTemporaryDir dir;
    const QString buono = dir.filePath(QStringLiteral("buono.xlsx"));
    PRODUCI(QStringLiteral("tipi"), buono);
    const QByteArray dati = test::LeggiFile(buono);

    QByteArray rovinato = dati;
    for (int i = int(rovinato.size()) / 3; i < rovinato.size() * 2 / 3; i += 7) rovinato[i] = char(~rovinato[i]);
    // an ODS file's content is inflated as it is read: damaged in the middle of it, or cut
    // there (the package's directory still whole)
    const QString buonoOds = dir.filePath(QStringLiteral("buono.ods"));
    PRODUCI(QStringLiteral("righe"), QStringLiteral("300"), buonoOds);
    const QByteArray ods = test::LeggiFile(buonoOds);
    const int contenuto = int(ods.indexOf("content.xml")) + 11;
    ASSERT_GT(contenuto, 11);
    QByteArray odsRovinato = ods, odsTroncato = ods;
    for (int i = contenuto + 2000; i < contenuto + 2400; i += 5) odsRovinato[i] = char(~odsRovinato[i]);
    odsTroncato.remove(contenuto + 2000, 4000);
    const struct {
        QString nome;
        QByteArray contenuto;
        int messaggio;
    } casi[] = {
        {QStringLiteral("troncato.xlsx"), dati.left(dati.size() / 2), 1842},
        {QStringLiteral("rovinato.xlsx"), rovinato, 1842},
        {QStringLiteral("rovinato.ods"), odsRovinato, 1842},
        {QStringLiteral("troncato.ods"), odsTroncato, 1842},
        {QStringLiteral("testo.ods"), QByteArray("Codice;Nome\n1;uno\n"), 1841},
        {QStringLiteral("vecchio.xlsx"), QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(1024, '\0'),
         1841},
        {QStringLiteral("vuoto.xlsx"), QByteArray(), 1841},
    };
    for (const auto& c : casi) {
        SCOPED_TRACE(c.nome.toStdString());
        const QString file = dir.filePath(c.nome);
        test::ScriviFile(file, c.contenuto);
        Connessione k;
        EXPECT_FALSE(k.apri(file));
        EXPECT_FALSE(k.db.Connesso());
        ASSERT_EQ(k.ui.messaggi.size(), 1);
        const QString atteso = LoadResString(c.messaggio).arg(file).section(QLatin1Char(':'), 0, 0);
        EXPECT_TRUE(messaggio(k).contains(atteso)) << messaggio(k).toStdString();
        EXPECT_EQ(k.db.UltimoErrore(), ErroreJet::DatabaseNonApribile);
    }
    // memory that runs out: said so, whatever the format and wherever it runs out. The cap
    // of 1 MB is below what the reader needs once started (its libraries alone map more), so
    // every allocation past its first heap fails.
    for (const QString& nome : {QStringLiteral("grande.ods"), QStringLiteral("grande.xlsx")}) {
        SCOPED_TRACE(nome.toStdString());
        const QString grande = dir.filePath(nome);
        PRODUCI(QStringLiteral("righe"), QStringLiteral("2000"), grande);
        Connessione k;
        {
            const Tetto tetto(qint64(1) << 20);
            EXPECT_FALSE(k.apri(grande));
        }
        EXPECT_TRUE(messaggio(k).endsWith(LoadResString(1843).arg(grande).arg(1))) << messaggio(k).toStdString();
    }
    // encrypted with a password: said so, by its name or by its contents alone
    for (const QString& nome : {QStringLiteral("cifrato.xlsx"), QStringLiteral("cifrato")}) {
        const QString file = dir.filePath(nome);
        PRODUCI(QStringLiteral("cifrato"), file);
        Connessione k;
        EXPECT_FALSE(k.apri(file));
        EXPECT_TRUE(messaggio(k).endsWith(LoadResString(1840).arg(file))) << messaggio(k).toStdString();
    }
}

// A long sheet is read a part at a time: 200,000 rows under a cap of 48 MB of address space,
// which the sheet's XML alone (some 40 MB) would not leave room for.
TEST(SorgentiFoglio, ALongSheetIsReadInBoundedMemory)
{
    test::AssicuraApplicazione();
    QTemporaryDir dir;
    const QString lungo = dir.filePath(QStringLiteral("lungo.xlsx"));
    PRODUCI(QStringLiteral("righe"), QStringLiteral("200000"), lungo);
    Connessione k;
    {
        const Tetto tetto(qint64(48) << 20);
        ASSERT_TRUE(k.apri(lungo)) << messaggio(k).toStdString();
    }
    EXPECT_EQ(k.valori(QStringLiteral("Articoli"), QStringLiteral("Codice")).size(), 200000);
}
