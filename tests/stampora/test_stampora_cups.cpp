// The CUPS printer of the programs without a window: the job it hands over.
#include "common/TestSupport.h"
#include "shell/StringTable.h"
#include "stampora/DocumentoStampa.h"
#include "stampora/Misura.h"
#include "stampora/StamporaCups.h"

#include <QFile>
#include <QRegularExpression>

using namespace cartigo;

namespace {

std::unique_ptr<DocumentoStampa> Documento(int pagine, int orientamento)
{
    InfoStampante info;
    info.nome = QStringLiteral("Etichette/lucide");
    info.orientamento = orientamento;
    auto d = std::make_unique<DocumentoStampa>(info);
    d->SetOrientation(orientamento);
    d->StartDoc();
    for (int p = 0; p < pagine; ++p) {
        if (p > 0) d->NewPage();
        d->DrawRectangle(Misura(20, Unita::Millimetro), Misura(20, Unita::Millimetro), Misura(100, Unita::Millimetro),
                         Misura(60, Unita::Millimetro));
    }
    d->EndDoc();
    return d;
}

// What the printer was handed: the job and the PDF's pages, each as "width x height" in points.
struct Consegna {
    DispositivoStampaCups::Lavoro lavoro;
    std::string pagine;
    int chiamate = 0;
};

void Registra(DispositivoStampaCups& d, Consegna& c, bool riesce = true)
{
    d.Invia = [&c, riesce](const DispositivoStampaCups::Lavoro& l) {
        ++c.chiamate;
        c.lavoro = l;
        QFile f(l.filePdf);
        if (f.open(QIODevice::ReadOnly)) {
            const QString pdf = QString::fromLatin1(f.readAll());
            const QRegularExpression pagina(
                QStringLiteral("/Type\\s*/Page\\b(?!s)[^>]*?/MediaBox\\s*\\[\\s*0\\s+0\\s+([\\d.]+)\\s+([\\d.]+)"));
            QStringList pagine;
            for (auto i = pagina.globalMatch(pdf); i.hasNext();) {
                const auto m = i.next();
                pagine << QStringLiteral("%1x%2")
                              .arg(qRound(m.captured(1).toDouble()))
                              .arg(qRound(m.captured(2).toDouble()));
            }
            c.pagine = pagine.join(QLatin1Char(' ')).toStdString();
        }
        return riesce;
    };
}

}  // namespace

TEST(StamporaCups, HandsThePagesAsOnePdfJob)
{
    ImpostaLingua(Lingua::Inglese);
    DispositivoStampaCups d;
    Consegna c;
    Registra(d, c);
    QString errore;

    // pages 2 to 4 of five, A4 portrait: one job on the queue without its instance
    ASSERT_TRUE(d.Stampa(*Documento(5, 0), 2, 4, &errore)) << errore.toStdString();
    EXPECT_EQ(c.chiamate, 1);
    EXPECT_EQ(c.lavoro.stampante.toStdString(), "Etichette");
    EXPECT_EQ(c.lavoro.titolo.toStdString(), "Cartigo");
    EXPECT_EQ(c.lavoro.opzioni, (QList<QPair<QByteArray, QByteArray>>{{"media", "A4"}}));
    EXPECT_EQ(c.pagine, "595x842 595x842 595x842");
    EXPECT_FALSE(QFile::exists(c.lavoro.filePdf)) << "the job's file stays behind";

    // landscape: the page turned, and CUPS told
    c = {};
    ASSERT_TRUE(d.Stampa(*Documento(1, 1), 1, 1, &errore));
    EXPECT_EQ(c.lavoro.opzioni, (QList<QPair<QByteArray, QByteArray>>{{"media", "A4"}, {"landscape", ""}}));
    EXPECT_EQ(c.pagine, "842x595");
    ImpostaLingua(Lingua::Italiano);
}

TEST(StamporaCups, SaysWhyNothingPrinted)
{
    ImpostaLingua(Lingua::Inglese);
    DispositivoStampaCups d;
    Consegna c;
    Registra(d, c, false);
    QString errore;

    // CUPS refuses the job
    EXPECT_FALSE(d.Stampa(*Documento(1, 0), 1, 1, &errore));
    EXPECT_EQ(errore.toStdString(), "the printer reported an error");

    // a document without a printer never reaches CUPS
    c = {};
    auto senza = std::make_unique<DocumentoStampa>(InfoStampante{});
    EXPECT_FALSE(d.Stampa(*senza, 1, 1, &errore));
    EXPECT_EQ(errore.toStdString(), "no printer available");
    EXPECT_EQ(c.chiamate, 0);

    EXPECT_FALSE(DispositivoStampaCups::Stampante(QString()));
    EXPECT_FALSE(DispositivoStampaCups::Stampante(QStringLiteral("cartigo-nessuna-stampante-con-questo-nome")));
    ImpostaLingua(Lingua::Italiano);
}
