// The label file: writing byte for byte, reading rules, failures and encodings.
#include "barcode/ParametriBarcode.h"
#include "common/TestSupport.h"
#include "data/RichiesteDati.h"
#include "data/SorgenteCsv.h"
#include "designer/ComandiEtichetta.h"
#include "label/Codifica.h"
#include "label/Errori.h"
#include "label/FileEtichetta.h"
#include "label/GestoreEtichetta.h"
#include "label/ModificheEtichetta.h"
#include "label/NomiFile.h"
#include "shell/InterazioneScriptata.h"
#include "shell/StringTable.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <random>

using namespace cartigo;

namespace {

const auto IT = ImpostazioniLocali::italiano();

QByteArray righe(std::initializer_list<const char*> r)
{
    QByteArray b;
    for (const char* s : r)
        b += QByteArray(s) + "\r\n";
    return b;
}

const QByteArray kTestataVuota = righe({"oggDatabase", "", "", "", "", " 0 ", "", "", "", "False", "",
                                        "oggLayout", " 2 ", " 4 ", " 10 ", " 10 ", " 80 ", " 50 ", " 10 ",
                                        " 10 ", " 0 ", " 0 "});

// A document, a scripted user and a label manager around them, writing into a temporary folder.
struct Banco {
    QTemporaryDir cartella;
    DocumentoEtichetta doc;
    InterazioneScriptata ui;
    GestoreEtichetta gestore{doc, ui};
    test::LocaleTemporaneo locale{IT};

    QString percorso(const QString& nome) const { return cartella.filePath(nome); }
    // Loads bytes written to a file; returns the messages shown.
    bool carica(const QByteArray& dati, const QString& nome = QStringLiteral("l.eti"))
    {
        test::ScriviFile(percorso(nome), dati);
        return gestore.CaricaEtichetta(percorso(nome));
    }
    QByteArray salva(const QString& nome = QStringLiteral("out.eti"))
    {
        ui.file.push_back(percorso(nome));
        bool cancel = false;
        gestore.SalvaEtichetta(cancel);
        EXPECT_FALSE(cancel);
        return test::LeggiFile(percorso(nome));
    }
};

// A file refused at line `riga`, whose text `testo` is out of range for `motivo`.
void rifiutato(const QByteArray& dati, int riga, const char* testo, const QString& motivo)
{
    Banco u;
    EXPECT_FALSE(u.carica(dati)) << testo;
    ASSERT_EQ(u.ui.messaggi.size(), 1u);
    EXPECT_EQ(u.ui.messaggi[0].testo,
              TestoErroreNonGestito(380, LoadResString(1003).arg(riga).arg(QString::fromLatin1(testo), motivo)));
}

// What a reader that does not know the sections `nuove` makes of `dati`: it takes their
// keywords for any other line and skips the lines after them, none of which is a keyword,
// and says nothing.
std::unique_ptr<Banco> lettoVecchio(QByteArray dati, std::initializer_list<const char*> nuove)
{
    for (const char* nuovo : nuove) dati.replace("\r\n" + QByteArray(nuovo) + "\r\n", "\r\noggSconosciuto\r\n");
    auto b = std::make_unique<Banco>();
    EXPECT_TRUE(b->carica(dati));
    EXPECT_TRUE(b->ui.messaggi.empty());
    return b;
}

}  // namespace

TEST(FileEtichetta, ExampleLabelIsWrittenByteForByte)
{
    Banco b;
    auto* t = b.doc.CreaTesto(567 + 567, 1440 + 567, 1000, 255);
    t->Caption = QStringLiteral("ABC");
    t->FontName = QStringLiteral("Arial");
    t->FontSize = 10;
    t->FontBold = true;
    auto* bc = b.doc.CreaBarcode(567 + 567, 1440 + 850, 1935, 1035);
    bc->Tag = QStringLiteral("01");
    bc->ToolTipText = QStringLiteral("12345");
    b.doc.PortaDietro(bc);
    b.doc.ZOrderImposta(bc->Chiave(), 2);
    b.doc.ImpostaModificato(true);

    const QByteArray atteso =
        kTestataVuota
        + righe({"oggTesto", " 567 ", " 567 ", " 1000 ", " 255 ", "ABC", "Arial", " 10 ", "True", "False", " 0 ",
                 " 0 ", " 16777215 ", " 0 ", "", " 0 ", "oggImmagine", " 567 ", " 850 ", " 1935 ", " 1035 ", "01",
                 "", "12345", " 2 "});
    EXPECT_EQ(b.salva(), atteso);
    EXPECT_FALSE(b.doc.Modificato());
    EXPECT_EQ(b.doc.NomeFileEtichetta(), b.percorso(QStringLiteral("out.eti")));
    // the save dialog: title, filter with ".eti" preselected, default extension
    ASSERT_EQ(b.ui.richiesteFile.size(), 1);
    const auto& r = b.ui.richiesteFile[0];
    EXPECT_EQ(r.tipo, RichiestaFile::Tipo::Salva);
    EXPECT_EQ(r.estensioneDefault, QStringLiteral("eti"));
    EXPECT_TRUE(r.filtroScelto.contains(QStringLiteral("*.eti")));
    EXPECT_TRUE(r.confermaSovrascrittura);

    // An empty label gives exactly the 22 header lines.
    Banco vuoto;
    EXPECT_EQ(vuoto.salva(), kTestataVuota);
}

// Saved under either locale and read under either: the same label, written back in the
// reader's numbers, byte for byte when the two agree.
TEST(FileEtichetta, SavedUnderOneLocaleReadUnderEitherAndSavedAgainByteForByte)
{
    for (const auto& scrittura : test::kLocali) {
        Banco b;
        test::LocaleTemporaneo loc(scrittura.loc);
        auto& c = b.doc.Collegamento();
        c.TipoSelezione = 2;
        c.CampoSelezione = QStringLiteral("Città");
        c.ValoreSelezione1 = QStringLiteral("A");
        c.ValoreSelezione2 = QStringLiteral("M");
        c.TestoRiservato = QStringLiteral("  riservato  ");
        LayoutEtichetta l;
        l.LarghezzaEtichetta = 63.5;
        l.AltezzaEtichetta = 38.1;
        l.MargineSinistro = 4.75;
        l.OrigineX = -0.25;
        b.doc.ImpostaLayout(l);
        auto* t = b.doc.CreaTesto(567 + 226.8f, 1440 + 170.1f, 4082.4f, 283.5f);
        t->Caption = QStringLiteral("Prezzo: 12,50 € — è");
        t->FontSize = 8.25f;
        t->Alignment = 2;
        t->DataMember = QStringLiteral("Nome");
        t->BackColor = -2147483633;  // a system colour
        auto* r = b.doc.CreaRettangolo(600, 1500, 2000.5f, 900);
        r->BackStyle = 1;
        r->BorderWidth = 3;
        r->Tag = QStringLiteral("tag");
        b.doc.CreaImmagine(3000, 2000, 500, 500)->ToolTipText = QStringLiteral("/nessuna/cartella/foto.jpg");
        b.doc.PortaDietro(r);
        b.doc.ZOrderImposta(r->Chiave(), 2);
        QByteArray dati = b.salva();
        // a fractional font size is written in the writer's numbers, and read rounded
        const QByteArray ottoEUnQuarto = QByteArray(" 8") + char(scrittura.loc.decimale.unicode()) + "25 \r\n";
        EXPECT_TRUE(dati.contains(ottoEUnQuarto));
        dati.replace(ottoEUnQuarto, " 8 \r\n");
        for (const auto& lettura : test::kLocali) {
            SCOPED_TRACE(std::string(scrittura.nome) + " -> " + lettura.nome);
            test::LocaleTemporaneo altro(lettura.loc);
            b.ui.messaggi.clear();
            ASSERT_TRUE(b.gestore.CaricaEtichetta(b.percorso(QStringLiteral("out.eti"))));
            // the one message: the picture that is not there
            ASSERT_EQ(b.ui.messaggi.size(), 1);
            EXPECT_TRUE(b.ui.messaggi[0].testo.contains(QStringLiteral("/nessuna/cartella/foto.jpg")));
            EXPECT_EQ(b.doc.Layout(), l);
            ASSERT_EQ(b.doc.Oggetti().size(), 3u);
            const OggettoEtichetta* testo = b.doc.Trova(QStringLiteral("oggTesto"), 1);
            EXPECT_FLOAT_EQ(testo->Left, 567 + 226.8f);
            EXPECT_FLOAT_EQ(testo->Width, 4082.4f);
            EXPECT_EQ(testo->FontSize, 8.0f);  // rounded on load
            EXPECT_EQ(testo->BackColor, -2147483633);
            const OggettoEtichetta* rett = b.doc.Trova(QStringLiteral("oggRettangolo"), 1);
            EXPECT_FLOAT_EQ(rett->Width, 2000.5f);
            EXPECT_EQ(rett->BorderWidth, 3);
            EXPECT_EQ(b.doc.OrdineDisegno().front(), rett);
            // a missing picture keeps its path
            const OggettoEtichetta* foto = b.doc.Trova(QStringLiteral("oggPicture"), 1);
            ASSERT_TRUE(foto);
            EXPECT_EQ(foto->ToolTipText, QStringLiteral("/nessuna/cartella/foto.jpg"));
            EXPECT_TRUE(foto->Picture.isNull());
            EXPECT_EQ(b.doc.Collegamento().TestoRiservato, QStringLiteral("  riservato  "));
            // written back as the reader's locale writes
            const QByteArray copia = b.salva(QStringLiteral("copia.eti"));
            EXPECT_TRUE(copia.contains((" 63" + QString(lettura.loc.decimale) + "5 \r\n").toLatin1()));
            if (&lettura == &scrittura) {
                EXPECT_EQ(copia, dati);
            }
        }
    }
    // Digit groups are no number of the file: " 1.234,5 " is not read as 1234.5.
    Banco b;
    ASSERT_TRUE(b.carica(
        righe({"oggLayout", " 1.234,5 ", " 4 ", " 10 ", " 10 ", " 80 ", " 50 ", " 10 ", " 10 ", " 0 ", " 0 "})));
    EXPECT_EQ(b.doc.Layout().EtichetteOrizzontali, 1.234);  // the fixed-format reading
}

TEST(FileEtichetta, LoadRenumbersEachKindAndAppliesZOrderCodes)
{
    Banco b;
    const QByteArray dati =
        kTestataVuota
        + righe({"oggTesto", " 0 ", " 0 ", " 1000 ", " 255 ", "uno", "Arial", " 10 ", "Vero", "TRUE", " 1 ",
                 " 2 ", " 255 ", " 65280 ", "", " 1 ",
                 "oggRettangolo", " 10 ", " 10 ", " 100 ", " 100 ", " 1 ", " 0 ", " 255 ", "", "2", " 0 ",
                 "oggTesto", " 5 ", " 5 ", " 100 ", " 100 ", "due", "Arial", " 9,5 ", "-1", "True", " 0 ", " 1 ",
                 " 0 ", " 0 ", "", " 3 ",
                 "oggRettangolo", " 20 ", " 20 ", " 100 ", " 100 ", " 0 ", " 0 ", " 0 ", "", " 0 ", " 2 ",
                 "oggRettangolo", " 30 ", " 30 ", " 100 ", " 100 ", " 0 ", " 0 ", " 0 ", "", " 0 ", " 4 "});
    ASSERT_TRUE(b.carica(dati));
    const auto oggetti = b.doc.Oggetti();
    ASSERT_EQ(oggetti.size(), 5u);
    QStringList chiavi;
    for (auto* o : oggetti)
        chiavi << o->Chiave();
    EXPECT_EQ(chiavi, (QStringList{"oggTesto1", "oggRettangolo1", "oggTesto2", "oggRettangolo2", "oggRettangolo3"}));
    auto* t1 = oggetti[0];
    EXPECT_EQ(t1->Left, 567);
    EXPECT_EQ(t1->Top, 1440);
    EXPECT_TRUE(t1->FontBold);     // "Vero"
    EXPECT_FALSE(t1->FontItalic);  // "TRUE" is not a style word
    EXPECT_EQ(t1->BackStyle, 1);
    EXPECT_EQ(t1->ForeColor, 65280);
    auto* t2 = oggetti[2];
    EXPECT_FALSE(t2->FontBold);  // "-1"
    EXPECT_TRUE(t2->FontItalic);
    EXPECT_EQ(t2->FontSize, 10.0f);  // 9,5 to the even neighbour
    // z-order: text 1 to the front, rectangle 1 to the back; code 3 changes nothing
    const std::vector<OggettoEtichetta*> ordine{oggetti[1], t1, t2, oggetti[3], oggetti[4]};
    EXPECT_EQ(b.doc.OrdineDisegno(), ordine);
    EXPECT_EQ(b.doc.Zorder().count(), 2);
    EXPECT_EQ(b.doc.ZOrderLeggi(QStringLiteral("oggRettangolo1")), QStringLiteral("2"));  // the line's text
    EXPECT_EQ(b.doc.ZOrderLeggi(QStringLiteral("oggTesto2")), QStringLiteral(" 0 "));
    // thickness 2 taken, 4 and 0 keep the template's
    EXPECT_EQ(oggetti[1]->BorderWidth, 1);
    EXPECT_EQ(oggetti[3]->BorderWidth, 2);
    EXPECT_EQ(oggetti[4]->BorderWidth, 1);
    EXPECT_FALSE(b.doc.Modificato());
    EXPECT_EQ(b.doc.NomeFileEtichetta(), b.percorso(QStringLiteral("l.eti")));  // Save offers it
    // the recorded text comes back unchanged
    EXPECT_TRUE(b.salva().contains("\r\n2\r\n"));
}

TEST(FileEtichetta, ReadingEdgeCases)
{
    ImpostaLingua(Lingua::Italiano);  // the messages checked are the Italian ones
    struct Caso {
        const char* nome;
        QByteArray dati;
        int oggetti;            // objects in the document afterwards
        int errore;             // 0: no message
    };
    const Caso casi[] = {
        {"empty file", QByteArray(), 0, 0},
        {"only a layout", righe({"oggLayout", " 3 ", " 5 ", " 1 ", " 2 ", " 60 ", " 30 ", " 0 ", " 0 ", " 0 ", " 0 "}),
         0, 0},
        {"keyword with a trailing blank is skipped with its lines",
         righe({"oggTesto ", " 0 ", " 0 ", " 10 ", " 10 ", "x", "oggRettangolo", " 0 ", " 0 ", " 10 ", " 10 ", " 0 ",
                " 0 ", " 0 ", "", " 0 ", " 1 "}),
         1, 0},
        {"file ends inside a section",
         righe({"oggRettangolo", " 0 ", " 0 ", " 10 ", " 10 ", " 0 ", " 0 ", " 0 ", "", " 0 ", " 1 ", "oggTesto",
                " 0 ", " 0 ", " 10 ", " 10 ", "abc"}),
         2, 62},
        {"position that is not a number", righe({"oggTesto", " 0 ", "alto", " 10 ", " 10 "}), 0, 13},
        {"z-order line that is not a number",
         righe({"oggImmagine", " 0 ", " 0 ", " 10 ", " 10 ", "01", "", "123", ""}), 1, 13},
        {"lower-case keyword", righe({"oggtesto", " 0 "}), 0, 0},
    };
    for (const auto& c : casi) {
        Banco b;
        b.doc.CreaTesto(0, 0, 1, 1);  // replaced by the load
        const bool completo = b.carica(c.dati);
        EXPECT_EQ(b.doc.NumeroOggetti(), c.oggetti) << c.nome;
        if (c.errore == 0) {
            EXPECT_TRUE(completo) << c.nome;
            EXPECT_TRUE(b.ui.messaggi.isEmpty()) << c.nome;
        } else {
            EXPECT_FALSE(completo) << c.nome;
            ASSERT_EQ(b.ui.messaggi.size(), 1) << c.nome;
            const auto& m = b.ui.messaggi[0];
            EXPECT_TRUE(m.testo.startsWith(QStringLiteral("Errore non gestito. Codice: %1\r").arg(c.errore)))
                << c.nome << " " << m.testo.toStdString();
            EXPECT_EQ(m.icona, Icona::Esclamazione);
            EXPECT_EQ(m.titolo, b.gestore.titolo());
            EXPECT_EQ(b.ui.beep_, 1);
        }
    }
    Banco b;
    ASSERT_TRUE(b.carica(righe({"oggLayout", " 3 ", " 5 ", " 1,5 ", " 2 ", " 60 ", " 30 ", " 0 ", " 0 ", "1.5mm", ""})));
    EXPECT_EQ(b.doc.Layout().EtichetteOrizzontali, 3);
    EXPECT_EQ(b.doc.Layout().MargineSinistro, 1.5);
    EXPECT_EQ(b.doc.Layout().OrigineX, 1.5);  // fixed-format fallback
    EXPECT_EQ(b.doc.Layout().OrigineY, 0);
}

TEST(FileEtichetta, ReservedBindingLinesSurvive)
{
    Banco b;
    QByteArray dati = righe({"oggDatabase", " c:\\dati\\clienti.mdb ", "segreta", "Clienti", "Citta", " 1 ", " Roma ",
                             "", "", "True", "  testo libero "});
    ASSERT_TRUE(b.carica(dati));
    const auto& c = b.doc.Collegamento();
    EXPECT_EQ(c.NomeDatabase, QStringLiteral("c:\\dati\\clienti.mdb"));
    EXPECT_EQ(c.PasswordDatabase, QStringLiteral("segreta"));
    EXPECT_EQ(c.TipoSelezione, 1);
    EXPECT_EQ(c.ValoreSelezione1, QStringLiteral("Roma"));
    EXPECT_FALSE(c.FlagRiservato);  // "True" is not a number
    EXPECT_EQ(c.TestoRiservato, QStringLiteral("  testo libero "));
    EXPECT_FALSE(b.doc.Connesso());  // no data source installed
    const QByteArray scritto = b.salva();
    EXPECT_TRUE(scritto.startsWith(righe({"oggDatabase", "c:\\dati\\clienti.mdb", "segreta", "Clienti", "Citta",
                                          " 1 ", "Roma", "", "", "False", "  testo libero "})));
    Banco b2;
    ASSERT_TRUE(b2.carica(righe({"oggDatabase", "", "", "", "", " 0 ", "", "", "", " -1 ", ""})));
    EXPECT_TRUE(b2.doc.Collegamento().FlagRiservato);
}

TEST(FileEtichetta, DatabaseArgumentsReplaceTheFilesAndConnect)
{
    Banco b;
    QStringList chiamate;
    b.gestore.ConnettiDatabase = [&](const QString& n, const QString& p, const QString& t) {
        chiamate << n + QLatin1Char('|') + p + QLatin1Char('|') + t;
        return true;
    };
    const QByteArray dati = righe({"oggDatabase", "file.mdb", "pw", "T", "", " 0 ", "", "", "", "False", ""});
    ASSERT_TRUE(b.carica(dati, QStringLiteral("m.eti")));
    ASSERT_TRUE(b.gestore.CaricaEtichetta(b.percorso(QStringLiteral("m.eti")), QStringLiteral("altro.mdb"), QString()));
    EXPECT_EQ(chiamate, (QStringList{"file.mdb|pw|T", "altro.mdb||T"}));
    EXPECT_TRUE(b.doc.Connesso());
    // an error while reading connects nothing
    chiamate.clear();
    EXPECT_FALSE(b.carica(dati + righe({"oggTesto", " 0 "})));
    EXPECT_TRUE(chiamate.isEmpty());
    EXPECT_FALSE(b.doc.Connesso());
}

TEST(FileEtichetta, MissingFileLeavesTheDocumentAlone)
{
    Banco b;
    b.doc.CreaTesto(0, 0, 1, 1);
    const QString nome = b.percorso(QStringLiteral("manca.eti"));
    EXPECT_FALSE(b.gestore.CaricaEtichetta(nome));
    EXPECT_EQ(b.doc.NumeroOggetti(), 1);
    ASSERT_EQ(b.ui.messaggi.size(), 1);
    EXPECT_EQ(b.ui.messaggi[0].testo, QStringLiteral("File ") + nome + LoadResString(159));
    EXPECT_EQ(b.ui.beep_, 1);
    EXPECT_FALSE(modCartigo::EsisteFile(QString()));
    EXPECT_FALSE(modCartigo::EsisteFile(b.cartella.path()));  // a folder is not a file
    // cancelling the Open dialog does nothing
    EXPECT_FALSE(b.gestore.CaricaEtichetta());
    EXPECT_EQ(b.doc.NumeroOggetti(), 1);
    EXPECT_EQ(b.ui.richiesteFile.last().tipo, RichiestaFile::Tipo::Apri);
    EXPECT_TRUE(b.ui.richiesteFile.last().fileDeveEsistere);
}

TEST(FileEtichetta, UnreadablePicturesAreReportedOnceWhenTheLabelLoads)
{
    Banco b;
    QImage img(8, 4, QImage::Format_RGB32);
    img.fill(Qt::red);
    ASSERT_TRUE(img.save(b.percorso(QStringLiteral("foto.png"))));
    test::ScriviFile(b.percorso(QStringLiteral("logo.wmf")),
                     QByteArray::fromHex("d7cdc69a0000") + QByteArray(40, '\1'));
    test::ScriviFile(b.percorso(QStringLiteral("rotta.png")), "\x89PNG\r\n\x1a\n not really");
    const auto immagine = [](const char* file, const char* campo = "") {
        return righe({"oggPicture", " 0 ", " 0 ", " 10 ", " 10 ", "", campo, file, " 0 "});
    };
    ASSERT_TRUE(b.carica(immagine("foto.png") + immagine("logo.wmf") + immagine("manca.png") + immagine("rotta.png") +
                         immagine("manca.png") + immagine("manca.png", "Campo") + immagine("") +
                         immagine("foto.png", "Campo")));
    const auto o = b.doc.Oggetti();
    ASSERT_EQ(o.size(), 8u);
    EXPECT_EQ(o[0]->Picture.size(), QSize(8, 4));  // found beside the label file
    EXPECT_EQ(o[0]->ToolTipText, QStringLiteral("foto.png"));
    EXPECT_TRUE(o[7]->Picture.isNull());  // a linked picture shows the placeholder
    EXPECT_EQ(b.doc.CartellaEtichetta(), QFileInfo(b.percorso(QStringLiteral("l.eti"))).absolutePath());
    // one message, each problem once; linked and empty pictures are not problems of the label
    ASSERT_EQ(b.ui.messaggi.size(), 1);
    const auto& m = b.ui.messaggi[0];
    EXPECT_EQ(m.icona, Icona::Esclamazione);
    const QStringList righeMessaggio = m.testo.split(QLatin1Char('\r'));
    EXPECT_EQ(righeMessaggio, (QStringList{LoadResString(1304), LoadResString(1302).arg("logo.wmf"),
                                           LoadResString(1301).arg("manca.png"), righeMessaggio.value(3)}));
    EXPECT_TRUE(righeMessaggio.value(3).startsWith(LoadResString(1303).section(QLatin1Char('('), 0, 0)));
    EXPECT_TRUE(righeMessaggio.value(3).endsWith(QStringLiteral("rotta.png")));
    EXPECT_EQ(b.gestore.ProblemiImmagini().size(), 3);

    // a label whose pictures are all there loads without a word
    Banco buono;
    ASSERT_TRUE(img.save(buono.percorso(QStringLiteral("foto.png"))));
    ASSERT_TRUE(buono.carica(immagine("foto.png")));
    EXPECT_TRUE(buono.ui.messaggi.isEmpty());
    EXPECT_TRUE(buono.gestore.ProblemiImmagini().isEmpty());
}

// (A write that stops half-way is tried with every writer in test_scrittura_file.cpp.)
TEST(FileEtichetta, FailedSaveKeepsTheOldFileAndSaysWhy)
{
    Banco b;
    b.doc.CreaTesto(567, 1440, 1000, 255);
    b.doc.ImpostaModificato(true);
    const QString vecchio = b.percorso(QStringLiteral("vecchio.eti"));
    test::ScriviFile(vecchio, kTestataVuota);

    // A folder that cannot exist: a path under a regular file.
    bool cancel = false;
    b.ui.file.push_back(vecchio + QStringLiteral("/sotto.eti"));
    b.gestore.SalvaEtichetta(cancel);
    EXPECT_TRUE(cancel);
    ASSERT_EQ(b.ui.messaggi.size(), 1);
    EXPECT_TRUE(b.ui.messaggi[0].testo.contains(vecchio));
    EXPECT_EQ(test::LeggiFile(vecchio), kTestataVuota);
    EXPECT_EQ(QDir(b.cartella.path()).entryList(QDir::Files), QStringList{"vecchio.eti"});  // no leftovers

    // Cancelling the dialog: Cancel, no message.
    cancel = false;
    b.gestore.SalvaEtichetta(cancel);
    EXPECT_TRUE(cancel);
    EXPECT_EQ(b.ui.messaggi.size(), 1);
    EXPECT_TRUE(b.doc.Modificato());
}

TEST(FileEtichetta, CaptionsComeBackAsTypedWhateverTheirBytes)
{
    // Text whose Windows-1252 bytes are also valid UTF-8 goes out as UTF-8 after a BOM;
    // everything else keeps the bytes it had (plain ASCII, Windows-1252, UTF-8 without a BOM).
    struct Caso {
        QString caption;
        QByteArray riga;  // the caption's line in the file
        bool bom;
    } casi[] = {
        {QStringLiteral("CAFFÉ® PERCHÉ»"), QStringLiteral("CAFFÉ® PERCHÉ»").toUtf8(), true},
        {QStringLiteral("Ã©"), QByteArray("\xc3\x83\xc2\xa9"), true},
        {QStringLiteral("città €"), QByteArray("citt\xe0 \x80"), false},
        {QStringLiteral("plain"), QByteArray("plain"), false},
        {QStringLiteral("riga1\nriga2"), QByteArray("riga1\nriga2"), false},  // lines end at CR LF only
        {QStringLiteral("città 漢"), QStringLiteral("città 漢").toUtf8(), false},
        {QString(QChar(0x81)) + QStringLiteral("é"), QByteArray("\x81\xe9"), false},
    };
    for (const auto& c : casi) {
        Banco b;
        b.doc.CreaTesto(567, 1440, 10, 10)->Caption = c.caption;
        const QByteArray dati = b.salva();
        EXPECT_EQ(dati.startsWith("\xef\xbb\xbf"), c.bom) << c.caption.toStdString();
        EXPECT_TRUE(dati.contains("\r\n" + c.riga + "\r\n")) << c.caption.toStdString();
        ASSERT_TRUE(b.gestore.CaricaEtichetta(b.percorso(QStringLiteral("out.eti"))));
        EXPECT_EQ(b.doc.Oggetti()[0]->Caption, c.caption);
        EXPECT_EQ(b.salva(QStringLiteral("di nuovo.eti")), dati) << c.caption.toStdString();
    }
    // One Windows-1252 codec: labels and CSV files read every byte alike, and the five
    // bytes the code page leaves unassigned come back as they were.
    QByteArray tutti;
    for (int i = 0; i < 256; ++i) tutti.append(char(i));
    const QString testo = DaWindows1252(tutti);
    EXPECT_EQ(DecodificaTestoCsv(tutti), testo);
    EXPECT_EQ(DecodificaTestoFile(tutti), testo);
    QByteArray indietro;
    ASSERT_TRUE(InWindows1252(testo, &indietro));
    EXPECT_EQ(indietro, tutti);
    EXPECT_EQ(testo.mid(0x80, 3), QStringLiteral("€\u0081‚"));
    EXPECT_EQ(DaWindows1252(QByteArray("\x8d\x9f\xe8")), QString(QChar(0x8d)) + QStringLiteral("Ÿè"));
    EXPECT_EQ(DecodificaTestoFile(QByteArray("\xef\xbb\xbf") + "abc"), QStringLiteral("abc"));
    EXPECT_FALSE(InWindows1252(QStringLiteral("漢"), nullptr));
}

TEST(FileEtichetta, FontSizesTheSizeBoxTakesLoadBack)
{
    Banco b;
    ComandiEtichetta comandi(b.doc, b.ui);
    auto* t = b.doc.CreaTesto(567, 1440, 1000, 255);
    b.doc.CreaRettangolo(567, 1440, 100, 100);  // an object after the big text
    EXPECT_TRUE(
        comandi.ApplyFont(QStringLiteral("Arial"), QString::number(DimensioneCarattereMassima), false, false, t));
    EXPECT_EQ(t->FontSize, DimensioneCarattereMassima);
    EXPECT_FALSE(
        comandi.ApplyFont(QStringLiteral("Arial"), QString::number(DimensioneCarattereMassima + 1), false, false, t));
    EXPECT_EQ(t->FontSize, DimensioneCarattereMassima);
    for (const int dimensione : {2049, 2100, DimensioneCarattereMassima}) {
        t->FontSize = float(dimensione);
        b.salva();
        ASSERT_TRUE(b.gestore.CaricaEtichetta(b.percorso(QStringLiteral("out.eti")))) << dimensione;
        EXPECT_EQ(b.doc.NumeroOggetti(), 2);
        EXPECT_EQ(b.doc.Oggetti()[0]->FontSize, float(dimensione));
        t = b.doc.Oggetti()[0];
    }
    // A file with a size beyond it still stops at that line.
    t->FontSize = float(DimensioneCarattereMassima + 1);
    b.salva();
    EXPECT_FALSE(b.gestore.CaricaEtichetta(b.percorso(QStringLiteral("out.eti"))));
}

TEST(FileEtichetta, StackingOrderSurvivesSaveAndLoad)
{
    const auto didascalie = [](const std::vector<OggettoEtichetta*>& ordine) {
        QStringList r;
        for (const auto* o : ordine) r << o->Caption;
        return r.join(QString());
    };
    // Any sequence of commands: the order read back is the order seen, and saving it again
    // gives the same text.
    std::mt19937 caso(12);
    InterazioneScriptata ui;
    for (int prova = 0; prova < 200; ++prova) {
        DocumentoEtichetta doc, letto;
        ComandiEtichetta comandi(doc, ui);
        int nuovi = 0;
        for (int passo = 0; passo < 12; ++passo) {
            const auto oggetti = doc.Oggetti();
            const int scelta = int(caso() % 5);
            if (oggetti.empty() || scelta == 0) {
                doc.CreaTesto(567, 1440, 100, 100)->Caption = QString(QChar(u'a' + nuovi++));
                continue;
            }
            OggettoEtichetta* o = oggetti[caso() % oggetti.size()];
            if (scelta == 1)
                comandi.PortaAvanti(o);
            else if (scelta == 2)
                comandi.PortaIndietro(o);
            else if (scelta == 3 && oggetti.size() > 1)
                comandi.Cancella(o);
            else if (scelta == 4) {
                comandi.Copia(o);
                comandi.Incolla()->Caption = QString(QChar(u'a' + nuovi++));
            }
        }
        const QString testo = FileEtichetta::TestoEtichetta(doc, IT);
        ASSERT_FALSE(FileEtichetta::Leggi(letto, FileEtichetta::DividiRighe(testo), IT));
        ASSERT_EQ(didascalie(letto.OrdineDisegno()), didascalie(doc.OrdineDisegno())) << "case " << prova;
        EXPECT_EQ(FileEtichetta::TestoEtichetta(letto, IT), testo) << "case " << prova;
    }
}

TEST(FileEtichetta, LineFeedOnlyFilesAreReadUtf16IsRefusedAndAStrayNulIsNamed)
{
    Banco b;
    auto* t = b.doc.CreaTesto(567, 1440, 1000, 255);
    t->Caption = QStringLiteral("Qualità");
    b.doc.CreaBarcode(567, 2000, 1935, 1035)->ToolTipText = QStringLiteral("12345");
    QByteArray crlf = b.salva();
    QByteArray lf = crlf;
    lf.replace("\r\n", "\n");
    ASSERT_TRUE(b.carica(lf, QStringLiteral("lf.eti")));
    ASSERT_EQ(b.doc.NumeroOggetti(), 2);
    EXPECT_EQ(b.doc.Oggetti()[0]->Caption, QStringLiteral("Qualità"));
    EXPECT_EQ(b.doc.Oggetti()[1]->ToolTipText, QStringLiteral("12345"));
    EXPECT_EQ(b.salva(QStringLiteral("di nuovo.eti")), crlf);  // saved with CR LF again
    // with a CR LF in the file lines end there only; without, at each LF
    EXPECT_EQ(FileEtichetta::DividiRighe(QStringLiteral("a\r\nb\nc\rd")), (QStringList{"a", "b\nc", "d"}));
    EXPECT_EQ(FileEtichetta::DividiRighe(QStringLiteral("a\r\n\r\n")), (QStringList{"a", ""}));
    EXPECT_TRUE(FileEtichetta::DividiRighe(QString()).isEmpty());
    EXPECT_EQ(FileEtichetta::DividiRighe(QStringLiteral("a\nb\n\nc")), (QStringList{"a", "b", "", "c"}));
    EXPECT_EQ(FileEtichetta::DividiRighe(QStringLiteral("a\r\nb\nc\n")), (QStringList{"a", "b\nc\n"}));

    const QString testo = QString::fromLatin1(crlf);
    const QByteArray le =
        QByteArray("\xff\xfe") + QByteArray(reinterpret_cast<const char*>(testo.utf16()), testo.size() * 2);
    QByteArray be;
    for (QChar c : testo) be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xff));
    for (const QByteArray& utf16 : {le, be}) {
        Banco u;
        u.doc.CreaTesto(0, 0, 1, 1);
        const QString nome = u.percorso(QStringLiteral("utf16.eti"));
        EXPECT_FALSE(u.carica(utf16, QStringLiteral("utf16.eti")));
        ASSERT_EQ(u.ui.messaggi.size(), 1);
        EXPECT_EQ(u.ui.messaggi[0].testo, LoadResString(1000).arg(nome));
        EXPECT_EQ(u.ui.messaggi[0].icona, Icona::Esclamazione);
        EXPECT_EQ(u.doc.NumeroOggetti(), 1);  // the label shown stays
    }

    // One NUL in 8-bit text is a damaged file, not UTF-16: the message says where it is.
    for (const QByteArray& fine : {QByteArray("\r\n"), QByteArray("\n")}) {
        Banco u;
        QByteArray dati = crlf;
        dati.replace("\r\n", fine);
        dati.insert(dati.indexOf("Qualit"), '\0');  // the text's caption
        const int riga = QByteArray(crlf.left(crlf.indexOf("Qualit"))).count('\n') + 1;
        EXPECT_FALSE(u.carica(dati, QStringLiteral("nul.eti")));
        ASSERT_EQ(u.ui.messaggi.size(), 1);
        EXPECT_EQ(u.ui.messaggi[0].testo,
                  LoadResString(1002).arg(u.percorso(QStringLiteral("nul.eti"))).arg(riga));
        EXPECT_TRUE(u.ui.messaggi[0].testo.contains(QStringLiteral("NUL")));
    }
}

TEST(FileEtichetta, FileDialogsOpenInTheLabelsFolderAndSaveOffersItsName)
{
    Banco b;
    QTemporaryDir altrove;
    const QString etichetta = QDir(altrove.path()).filePath(QStringLiteral("indirizzi.eti"));
    test::ScriviFile(etichetta, kTestataVuota);

    // A new label: the folder last used, no name.
    RicordaCartellaDialogo(b.percorso(QStringLiteral("x.eti")));
    bool cancel = false;
    b.gestore.SalvaEtichetta(cancel);
    ASSERT_EQ(b.ui.richiesteFile.size(), 1);
    EXPECT_EQ(b.ui.richiesteFile[0].cartella, b.cartella.path());
    EXPECT_TRUE(b.ui.richiesteFile[0].nomeFile.isEmpty());

    // A loaded label: its folder and its name.
    ASSERT_TRUE(b.gestore.CaricaEtichetta(etichetta));
    EXPECT_EQ(b.doc.NomeFileEtichetta(), etichetta);
    b.gestore.SalvaEtichetta(cancel);
    b.gestore.CaricaEtichetta();
    ASSERT_EQ(b.ui.richiesteFile.size(), 3);
    for (const auto& r : {b.ui.richiesteFile[1], b.ui.richiesteFile[2]}) EXPECT_EQ(r.cartella, altrove.path());
    EXPECT_EQ(b.ui.richiesteFile[1].nomeFile, QStringLiteral("indirizzi.eti"));
    // the database's and the picture's dialogs too (not the program's folder)
    RichiestaConnettiDB::cmdSfoglia(QString(), b.ui, QString());
    EXPECT_EQ(b.ui.richiesteFile.last().cartella, altrove.path());
    b.ui.file.push_back(b.percorso(QStringLiteral("foto.png")));
    RichiestaModificaImmagine::Sfoglia(b.ui, CartellaDialogo());
    EXPECT_EQ(b.ui.richiesteFile.last().cartella, altrove.path());
    EXPECT_EQ(CartellaDialogo(), b.cartella.path());                        // the folder last used
    EXPECT_EQ(CartellaDialogo(b.doc.NomeFileEtichetta()), altrove.path());  // but the label's first
    b.ui.richiesteFile.erase(b.ui.richiesteFile.begin() + 3, b.ui.richiesteFile.end());

    // Saved elsewhere: that is the label's folder and name from now on, and a relative
    // picture is the one beside the new file at once, as it prints from there.
    QImage foto(2, 2, QImage::Format_RGB32);
    foto.fill(Qt::blue);
    ASSERT_TRUE(foto.save(QDir(altrove.path()).filePath(QStringLiteral("foto.png"))));
    ASSERT_TRUE(foto.scaled(8, 4).save(b.percorso(QStringLiteral("foto.png"))));
    auto* immagine = b.doc.CreaImmagine(567, 1440, 100, 100);
    immagine->ToolTipText = QStringLiteral("foto.png");
    FileEtichetta::CaricaImmagine(*immagine, b.doc.CartellaEtichetta());
    EXPECT_EQ(immagine->Picture.size(), QSize(2, 2));
    b.salva(QStringLiteral("nuovo.eti"));
    EXPECT_EQ(b.doc.CartellaEtichetta(), b.cartella.path());
    EXPECT_EQ(immagine->Picture.size(), QSize(8, 4));
    EXPECT_TRUE(b.ui.messaggi.isEmpty());
    b.gestore.SalvaEtichetta(cancel);
    EXPECT_EQ(b.ui.richiesteFile.last().cartella, b.cartella.path());
    EXPECT_EQ(b.ui.richiesteFile.last().nomeFile, QStringLiteral("nuovo.eti"));

    // A new label after it: the folder last used; with that gone, the documents folder.
    b.doc.NuovaEtichetta();
    EXPECT_EQ(CartellaDialogo(b.doc.NomeFileEtichetta()), b.cartella.path());
    {
        QTemporaryDir sparita;
        RicordaCartellaDialogo(QDir(sparita.path()).filePath(QStringLiteral("a.eti")));
    }
    const QString documenti = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    EXPECT_EQ(CartellaDialogo(), QFileInfo(documenti).isDir() ? documenti : QDir::homePath());
}

// What the labels are on and the thermal printer's settings: sections of their own, in the
// user's numbers, that older readers skip.
TEST(FileEtichetta, WhatTheLabelsAreOnAndThermalSettingsHaveSectionsOlderReadersSkip)
{
    using T = StampanteTermica;
    LayoutEtichetta l;
    l.EtichetteOrizzontali = 3;
    l.EtichetteVerticali = 8;
    l.LarghezzaEtichetta = 70;
    l.AltezzaEtichetta = 37.5;
    l.Prodotto = QStringLiteral("Cable Label Co oggTesto=1");  // a name that looks like anything
    l.UnaPerPagina = true;
    l.LarghezzaPagina = 215.9;
    l.AltezzaPagina = 279.4;
    l.Forma = FormaEtichetta::CD;
    l.DiametroEsterno = 80.5;
    l.DiametroForo = 15;
    l.Risoluzione = 203.5;
    l.RiduzioneBarre = QStringLiteral("0.08 mm");
    l.Termica.Scurezza = 0;  // set, though it is the lowest
    l.Termica.Velocita = 4;
    l.Termica.TipoSupporto = T::Supporto::TermicoDiretto;
    l.Termica.TipoRilevamento = T::Rilevamento::Tacca;
    l.Termica.SpostamentoAlto = -1.5;
    l.Termica.SpostamentoSinistra = 2.25;
    for (const auto& caso : test::kLocali) {
        SCOPED_TRACE(caso.nome);
        Banco scritto;
        test::LocaleTemporaneo loc(caso.loc);
        scritto.doc.ImpostaLayout(l);
        scritto.doc.CreaTesto(600, 1500, 1000, 255)->Caption = QStringLiteral("ABC");
        const QByteArray dati = scritto.salva();
        // after the ten layout values, one "name=value" line each, in the user's numbers
        QString attesa = QStringLiteral(
            "oggLayout| 3 | 8 | 10 | 10 | 70 | 37.5 | 10 | 10 | 0 | 0 |oggSupporto|"
            "Prodotto=Cable Label Co oggTesto=1|UnaPerPagina=True|LarghezzaPagina=215.9|AltezzaPagina=279.4|"
            "Forma=CD|DiametroEsterno=80.5|DiametroForo=15|Risoluzione=203.5|RiduzioneBarre=0.08 mm|"
            "oggStampanteTermica|Scurezza=0|Velocita=4|Supporto=TermicoDiretto|Rilevamento=Tacca|"
            "SpostamentoAlto=-1.5|SpostamentoSinistra=2.25|oggTesto|");
        attesa.replace(QLatin1Char('.'), caso.loc.decimale).replace(QLatin1Char('|'), QStringLiteral("\r\n"));
        attesa.replace(QStringLiteral("0") + caso.loc.decimale + QStringLiteral("08 mm"), QStringLiteral("0.08 mm"));
        EXPECT_TRUE(dati.contains(attesa.toLatin1())) << dati.toStdString();

        // read back, under either decimal separator, and saved again byte for byte
        for (const auto& altro : test::kLocali) {
            Banco letto;
            test::LocaleTemporaneo loc2(altro.loc);
            ASSERT_TRUE(letto.carica(dati));
            EXPECT_EQ(letto.doc.Layout(), l) << altro.nome;
            ASSERT_EQ(letto.doc.Oggetti().size(), 1u);
            EXPECT_EQ(letto.doc.Oggetti()[0]->Caption, QStringLiteral("ABC"));
            if (&altro == &caso) EXPECT_EQ(letto.salva(), dati);
        }

        // an older reader reads the same ten values and objects, on the sheet it knows
        const auto senza = lettoVecchio(dati, {"oggSupporto", "oggStampanteTermica"});
        LayoutEtichetta dieci = l;
        dieci.Prodotto.clear();
        dieci.UnaPerPagina = false;
        dieci.LarghezzaPagina = dieci.AltezzaPagina = dieci.DiametroEsterno = dieci.DiametroForo = 0;
        dieci.Risoluzione = 0;
        dieci.RiduzioneBarre.clear();
        dieci.Forma = FormaEtichetta::Rettangolo;
        dieci.Termica = {};
        EXPECT_EQ(senza->doc.Layout(), dieci);
        ASSERT_EQ(senza->doc.Oggetti().size(), 1u);
        EXPECT_EQ(senza->doc.Oggetti()[0]->Caption, QStringLiteral("ABC"));
    }

    // names it does not know are passed over; a section ends at the first line without "=";
    // only the thermal settings that are set are written
    Banco b;
    ASSERT_TRUE(b.carica(kTestataVuota + righe({"oggSupporto", "Rullo=7", "UnaPerPagina=True", "oggTesto", " 0 ", " 0 ",
                                                " 100 ", " 100 ", "X", "Arial", " 10 ", "False", "False", " 0 ", " 0 ",
                                                " 0 ", " 0 ", "", " 0 "})));
    EXPECT_TRUE(b.doc.Layout().UnaPerPagina);
    EXPECT_EQ(b.doc.Oggetti().size(), 1u);
    Banco t;
    ASSERT_TRUE(t.carica(kTestataVuota + righe({"oggStampanteTermica", "Velocita=14", "Supporto=Carta", "Colore=1"})));
    T veloce;
    veloce.Velocita = 14;
    EXPECT_EQ(t.doc.Layout().Termica, veloce);
    EXPECT_EQ(t.salva(), kTestataVuota + righe({"oggStampanteTermica", "Velocita=14"}));

    // lengths no page or disc can have, layout values beyond any sheet and settings the
    // printer cannot take are refused with their line: nothing prints on some other paper
    for (const char* fuori : {"LarghezzaPagina=1e300", "AltezzaPagina=99999999999", "LarghezzaPagina=0,0001",
                              "AltezzaPagina=4,9E-324", "DiametroForo=-5", "DiametroEsterno=10001"})
        rifiutato(kTestataVuota + righe({"oggSupporto", "UnaPerPagina=False", fuori}), 25, fuori, LoadResString(1004));
    for (const char* grande : {" 1e300 ", " -1,7976931348623157E308 "}) {
        QByteArray dati = kTestataVuota;
        dati.replace(" 80 ", grande);  // the label's width, line 17
        rifiutato(dati, 17, grande, LoadResString(1005));
    }
    const std::pair<const char*, QString> termica[] = {
        {"Scurezza=31", LoadResString(3140).arg(0).arg(30)},
        {"Velocita=2,5", LoadResString(3140).arg(1).arg(14)},
        {"SpostamentoAlto=16", LoadResString(3141).arg(-15).arg(15)},
        {"SpostamentoSinistra=-101", LoadResString(3141).arg(-100).arg(100)}};
    for (const auto& [riga, motivo] : termica)
        rifiutato(kTestataVuota + righe({"oggStampanteTermica", riga}), 24, riga, motivo);
    // a label that uses none of it saves as before
    Banco nuovo;
    EXPECT_EQ(nuovo.salva(), kTestataVuota);
}

TEST(FileEtichetta, BarcodeSettingsOfEveryKindLoadAndSaveByteForByte)
{
    // kinds 0 and 1 as labels have always stored them, and the newer kinds with the
    // third character of QR Code and Data Matrix
    const char* tag[] = {"", "0", "01", "12", "1x", "31H", "40R", "62", "5", "9"};
    QByteArray dati = kTestataVuota;
    for (const char* t : tag)
        dati += righe({"oggImmagine", " 567 ", " 850 ", " 1935 ", " 1035 ", t, "", "5901234123457", " 0 "});
    Banco b;
    ASSERT_TRUE(b.carica(dati));
    EXPECT_EQ(b.salva(), dati);
    const auto oggetti = b.doc.Oggetti();
    ASSERT_EQ(oggetti.size(), std::size(tag));
    const OggettoEtichetta& qr = *oggetti[5];
    // the first two digits read as they always have; the third is QR Code's level
    EXPECT_EQ(qr.CifraTag(0), 3);
    EXPECT_EQ(qr.CifraTag(1), 1);
    EXPECT_EQ(ParametriBarcode::DaTag(qr.Tag).correzione, CorrezioneQR::H);
    EXPECT_EQ(ParametriBarcode::DaTag(oggetti[6]->Tag).forma, FormaDataMatrix::Rettangolare);
}

TEST(FileEtichetta, VariablesHaveASectionOlderReadersSkip)
{
    // the sample asset tag: a counter, a date and a value asked at print time
    Banco b;
    const QByteArray campione = test::LeggiFile(QStringLiteral(CARTIGO_SOURCE_DIR "/samples/serie.eti"));
    ASSERT_TRUE(b.carica(campione));
    const VariabiliEtichetta& v = b.doc.Variabili();
    ASSERT_EQ(v.size(), 3);
    EXPECT_EQ(v[0].Nome, QStringLiteral("Serial"));
    EXPECT_EQ(v[0].Tipo, TipoVariabile::Contatore);
    EXPECT_EQ(v[0].Inizio, 1000);
    EXPECT_EQ(v[0].Cifre, 6);
    EXPECT_FALSE(v[0].Continua);
    EXPECT_EQ(v[1].Tipo, TipoVariabile::Data);
    EXPECT_EQ(v[1].Spostamento, 30);
    EXPECT_EQ(v[1].Formato, QStringLiteral("dd/MM/yyyy"));
    EXPECT_EQ(v[2].Tipo, TipoVariabile::Richiesta);
    EXPECT_EQ(v[2].Regola, RegolaValore::Cifre);
    EXPECT_EQ(b.salva(), campione);

    // every setting of every kind comes back; line breaks in a value become blanks
    VariabileEtichetta c{QStringLiteral("Conta"), TipoVariabile::Contatore, -5, -3, 4, AvanzamentoContatore::Pagina,
                         true};
    VariabileEtichetta d;
    d.Nome = QStringLiteral("Quando");
    d.Tipo = TipoVariabile::Data;
    d.Formato = QStringLiteral("yyMMdd");
    d.Spostamento = -2;
    d.Unita = UnitaSpostamento::Anni;
    VariabileEtichetta r;
    r.Nome = QStringLiteral("Lotto");
    r.Tipo = TipoVariabile::Richiesta;
    r.Domanda = QStringLiteral("oggTesto");  // a text that looks like a keyword
    r.Predefinito = QStringLiteral("a\r\nb");
    r.Regola = RegolaValore::Lunghezza;
    r.LunghezzaMinima = 2;
    r.LunghezzaMassima = 8;
    Banco scritto;
    scritto.doc.ImpostaVariabili({c, d, r});
    scritto.doc.CreaTesto(600, 1500, 1000, 255)->Caption = QStringLiteral("${Conta}");
    const QByteArray dati = scritto.salva();
    Banco letto;
    ASSERT_TRUE(letto.carica(dati));
    r.Predefinito = QStringLiteral("a b");
    EXPECT_EQ(letto.doc.Variabili(), (VariabiliEtichetta{c, d, r}));
    ASSERT_EQ(letto.doc.Oggetti().size(), 1u);

    const auto senza = lettoVecchio(dati, {"oggVariabili"});
    EXPECT_TRUE(senza->doc.Variabili().isEmpty());
    ASSERT_EQ(senza->doc.Oggetti().size(), 1u);
    EXPECT_EQ(senza->doc.Oggetti()[0]->Caption, QStringLiteral("${Conta}"));
}

namespace {
// A label with every newer setting: turns, a text's fit, lines and an ellipse.
void forme(DocumentoEtichetta& doc)
{
    OggettoEtichetta* t = doc.CreaTesto(600, 1500, 1000, 2550);
    t->Caption = QStringLiteral("Adattato");
    t->Adattamento = {false, AllineamentoVerticale::Basso, true, 6.5f};
    t->Rotazione.Gradi = 270;
    OggettoEtichetta* b = doc.CreaBarcode(2000, 1500, 1035, 1935);
    b->Tag = QStringLiteral("20");
    b->ToolTipText = QStringLiteral("TURN90");
    b->Rotazione.Gradi = 90;
    doc.CreaImmagine(3200, 1500, 500, 500)->Rotazione.Gradi = 180;
    doc.CreaRettangolo(600, 4500, 800, 400)->Rotazione.Gradi = 90;
    OggettoEtichetta* l = doc.Crea(TipoOggetto::Linea, 0, 0, 0, 0);
    l->ImpostaEstremi(900, 4000, 3000, 3400);  // rising to the right
    l->Contorno = {0x000000FF, 0.5f, TrattoLinea::Tratteggiato};
    OggettoEtichetta* e = doc.Crea(TipoOggetto::Ellisse, 3500, 3000, 1200, 800);
    e->Contorno = {0x00FF0000, 0, TrattoLinea::Punteggiato};
    e->Riempimento = {true, 0x00C0C0C0};
    e->Rotazione.Gradi = 90;
    doc.Crea(TipoOggetto::Linea, 900, 5000, 2000, 0);  // horizontal, all defaults
}

bool stessi(const DocumentoEtichetta& a, const DocumentoEtichetta& b)
{
    const auto x = a.Oggetti(), y = b.Oggetti();
    if (x.size() != y.size()) return false;
    for (size_t i = 0; i < x.size(); ++i)
        if (x[i]->tipo != y[i]->tipo || !StesseProprieta(*x[i], *y[i])) return false;
    return true;
}
}  // namespace

TEST(FileEtichetta, LinesEllipsesTurnsAndFitsHaveSectionsOlderReadersSkip)
{
    for (const auto& caso : test::kLocali) {
        SCOPED_TRACE(caso.nome);
        Banco scritto;
        test::LocaleTemporaneo loc(caso.loc);
        forme(scritto.doc);
        const QByteArray dati = scritto.salva();
        // the line: its box and z-order as a rectangle's numbers, then only what is not the default
        QString attesa = QStringLiteral("oggLinea| 333 | 1960 | 2100 | 600 | 0 |oggAspetto|ColoreContorno=255|"
                                        "Spessore=.5|Tratto=1|Ascendente=True|oggEllisse|");
        attesa.replace(QLatin1Char('.'), caso.loc.decimale).replace(QLatin1Char('|'), QStringLiteral("\r\n"));
        EXPECT_TRUE(dati.contains(attesa.toLatin1())) << dati.toStdString();
        EXPECT_TRUE(dati.contains(QByteArray("\r\noggAspetto\r\nRotazione=270\r\nACapo=False\r\nVerticale=2\r\n"
                                             "Riduci=True\r\nMinimo=6") +
                                  caso.loc.decimale.toLatin1() + "5\r\noggImmagine\r\n"));
        EXPECT_TRUE(dati.endsWith("oggLinea\r\n 333 \r\n 3560 \r\n 2000 \r\n 0 \r\n 0 \r\n"));

        // read back under either decimal separator, and saved again byte for byte; what the
        // templates hold does not reach what the file does not say
        for (const auto& altro : test::kLocali) {
            Banco letto;
            test::LocaleTemporaneo loc2(altro.loc);
            letto.doc.Modello(TipoOggetto::Testo).Adattamento.Riduci = true;
            letto.doc.Modello(TipoOggetto::Rettangolo).Rotazione.Gradi = 180;
            ASSERT_TRUE(letto.carica(dati));
            EXPECT_TRUE(stessi(letto.doc, scritto.doc)) << altro.nome;
            EXPECT_EQ(letto.doc.Oggetti()[4]->Y1(), 4000.0f);
            test::LocaleTemporaneo indietro(caso.loc);
            EXPECT_EQ(letto.salva(QStringLiteral("di nuovo.eti")), dati);
        }

        // an older reader: the other objects as they were, without turns or fits
        const auto senza = lettoVecchio(dati, {"oggAspetto", "oggLinea", "oggEllisse"});
        ASSERT_EQ(senza->doc.Oggetti().size(), 4u);
        for (const OggettoEtichetta* o : senza->doc.Oggetti()) {
            EXPECT_EQ(o->Rotazione.Gradi, 0);
            EXPECT_TRUE(o->Adattamento.Predefinito());
        }
    }

    // Names it does not know, settings of other kinds and a section with no object before it
    // are passed over; values no setting takes are refused with their line.
    Banco b;
    ASSERT_TRUE(b.carica(kTestataVuota + righe({"oggAspetto", "Rotazione=90", "oggRettangolo", " 0 ", " 0 ", " 100 ",
                                                " 100 ", " 0 ", " 0 ", " 0 ", "", " 0 ", " 1 ", "oggAspetto",
                                                "Riduci=True", "Trama=3", "Rotazione=180"})));
    ASSERT_EQ(b.doc.Oggetti().size(), 1u);
    EXPECT_EQ(b.doc.Oggetti()[0]->Rotazione.Gradi, 180);
    EXPECT_TRUE(b.doc.Oggetti()[0]->Adattamento.Predefinito());
    for (const char* fuori : {"Rotazione=45", "Rotazione=360", "Tratto=3", "Spessore=-1"})
        rifiutato(kTestataVuota + righe({"oggEllisse", " 0 ", " 0 ", " 100 ", " 100 ", " 0 ", "oggAspetto", fuori}), 30,
                  fuori, LoadResString(1006));
    // a new text wraps at words by default, and a label of the older kinds alone saves as before
    DocumentoEtichetta nuovo;
    EXPECT_TRUE(nuovo.CreaTesto(0, 0, 100, 100)->Adattamento.ACapo);
    EXPECT_FALSE(FileEtichetta::TestoEtichetta(nuovo, IT).contains(QStringLiteral("oggAspetto")));
}

// What a label names of a file the user chose: from the label's folder when the file lies
// there or below, whole when it is elsewhere; what is no file, or a label without a folder,
// keeps the name as given. FileVicinoEtichetta finds each again.
TEST(FileEtichetta, FilesBesideTheLabelAreNamedFromItsFolder)
{
    QTemporaryDir cartella, altrove;
    ASSERT_TRUE(QDir(cartella.path()).mkpath(QStringLiteral("img/piccole")));
    const QString dir = QFileInfo(cartella.path()).absoluteFilePath();
    for (const QString& f : {dir + QStringLiteral("/a.png"), dir + QStringLiteral("/img/piccole/b.png"),
                             altrove.filePath(QStringLiteral("c.png"))})
        test::ScriviFile(f, "x");
    const QString fuori = QFileInfo(altrove.filePath(QStringLiteral("c.png"))).absoluteFilePath();
    struct Caso {
        QString file, cartella, atteso;
    } casi[] = {
        {dir + QStringLiteral("/a.png"), dir, QStringLiteral("a.png")},
        {dir + QStringLiteral("/img/../img/piccole/b.png"), dir, QStringLiteral("img/piccole/b.png")},
        {fuori, dir, fuori},
        {dir + QStringLiteral("/a.png"), dir + QStringLiteral("/img"), dir + QStringLiteral("/a.png")},  // above it
        {dir + QStringLiteral("/a.png"), QString(), dir + QStringLiteral("/a.png")},
        {QStringLiteral("postgresql://mario@db.example/magazzino"), dir,
         QStringLiteral("postgresql://mario@db.example/magazzino")},
        {dir + QStringLiteral("/manca.csv"), dir, dir + QStringLiteral("/manca.csv")},
    };
    for (const Caso& c : casi) {
        const QString nome = FileEtichetta::NomeFilePerEtichetta(c.file, c.cartella);
        EXPECT_EQ(nome, c.atteso) << c.file.toStdString();
        if (QFileInfo::exists(c.file))
            EXPECT_EQ(QFileInfo(FileEtichetta::FileVicinoEtichetta(nome, c.cartella)).canonicalFilePath(),
                      QFileInfo(c.file).canonicalFilePath());
    }
}
