// The object panel in the main window, offscreen: every setting of the selected objects
// edited through the panel's widgets, each change one step that undo takes back byte for
// byte, what several objects share and where they differ, and a width that never follows
// what the panel shows.
#include "FinestraDiProva.h"
#include "designer/PannelloOggetto.h"
#include "label/Colori.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <QUndoStack>

using namespace cartigo;
using P = DescrizioneOggetto::Proprieta;

namespace {

struct Pannello : test::FinestraDiProva {
    Pannello() { lingua = Lingua::Inglese; }
    PannelloOggetto* p() { return f->PannelloOggetti(); }
    void seleziona(std::vector<OggettoEtichetta*> oggetti)
    {
        f->Editor().ImpostaSelezione(oggetti);
        f->Editor().ShowHandles(true);
    }
    template <typename W>
    W* editore(P p_)
    {
        auto* w = qobject_cast<W*>(p()->Editore(p_));
        EXPECT_NE(w, nullptr);
        EXPECT_TRUE(p()->Mostrata(p_));
        return w;
    }
    // Typed into a box and confirmed with Enter, as a user does.
    void scrivi(QWidget* w, const QString& testo)
    {
        ASSERT_NE(w, nullptr);
        w->setFocus();
        if (auto* riga = qobject_cast<QLineEdit*>(w)) riga->selectAll();
        if (auto* numero = qobject_cast<QAbstractSpinBox*>(w)) numero->selectAll();
        QTest::keyClicks(w, testo);
        QTest::keyClick(w, Qt::Key_Return);
    }
    static QString numero(double v) { return QLocale().toString(v); }
    void scegli(P p_, const QString& voce)
    {
        auto* c = editore<QComboBox>(p_);
        const int i = c->findText(voce);
        ASSERT_GE(i, 0) << voce.toStdString();
        c->setCurrentIndex(i);
    }
    // A button clicked; a check box toggled with the space bar.
    void clic(P p_)
    {
        if (auto* c = qobject_cast<QCheckBox*>(p()->Editore(p_)))
            QTest::keyClick(c, Qt::Key_Space);
        else
            QTest::mouseClick(p()->Editore(p_), Qt::LeftButton);
    }
    // Undo takes every step back to `prima`, redo forward to `dopo`, byte for byte.
    void annullaERipeti(const QByteArray& prima, int passi)
    {
        const QByteArray dopo = file();
        ASSERT_EQ(doc().Storia().count(), passi);
        for (int i = 0; i < passi; ++i) f->mnuAnnulla_Click();
        EXPECT_EQ(file(), prima);
        for (int i = 0; i < passi; ++i) f->mnuRipeti_Click();
        EXPECT_EQ(file(), dopo);
    }
};

}  // namespace

TEST_F(Pannello, EditsEveryTextSettingEachOneStep)
{
    OggettoEtichetta* t = doc().CreaTesto(1000, 2000, 1700, 600);
    t->Caption = QStringLiteral("abc");
    t->FontName = QStringLiteral("Arial");
    t->FontSize = 10;
    seleziona({t});
    const QByteArray prima = file();
    EXPECT_EQ(p()->findChild<QLabel*>(QStringLiteral("titolo"))->text(), QStringLiteral("Text 1"));
    EXPECT_FALSE(p()->Mostrata(P::TipoBarcode));
    EXPECT_FALSE(p()->Mostrata(P::Tratto));

    scrivi(editore<QLineEdit>(P::Testo), QStringLiteral("Dear ${name}"));
    EXPECT_EQ(t->Caption, QStringLiteral("Dear ${name}"));
    EXPECT_EQ(doc().Storia().undoText(), LoadResString(1524));
    scrivi(editore<QSpinBox>(P::Dimensione), QStringLiteral("14"));
    clic(P::Grassetto);
    clic(P::Corsivo);
    EXPECT_TRUE(t->FontBold && t->FontItalic);
    EXPECT_EQ(t->FontSize, 14);
    EXPECT_EQ(doc().Storia().undoText(), LoadResString(1516));
    ui.colori.push_back(QColor(0x11, 0x22, 0x33));
    clic(P::ColoreTesto);
    EXPECT_EQ(t->ForeColor, 0x332211);
    EXPECT_EQ(editore<QPushButton>(P::ColoreTesto)->text(), QStringLiteral("#112233"));
    scegli(P::Allineamento, QStringLiteral("Center"));
    EXPECT_EQ(t->Alignment, 2);
    clic(P::Sfondo);
    EXPECT_EQ(t->BackStyle, 1);
    ui.colori.push_back(QColor(Qt::yellow));
    clic(P::ColoreSfondo);
    EXPECT_EQ(t->BackColor, ColoreVB(Qt::yellow));
    // The fit settings, each a "Text fit" step.
    clic(P::ACapo);
    scegli(P::Verticale, QStringLiteral("Bottom"));
    EXPECT_FALSE(p()->Editore(P::Minimo)->isEnabled());
    clic(P::Riduci);
    EXPECT_TRUE(p()->Editore(P::Minimo)->isEnabled());
    scrivi(editore<QDoubleSpinBox>(P::Minimo), numero(6.5));
    EXPECT_EQ(doc().Storia().undoText(), LoadResString(1779));
    EXPECT_EQ(t->Adattamento, (AdattamentoTesto{false, AllineamentoVerticale::Basso, true, 6.5f}));
    // Turned a quarter about its centre: the box lies across.
    scegli(P::Rotazione, QStringLiteral("90°"));
    EXPECT_EQ(t->Rotazione.Gradi, 90);
    EXPECT_EQ(Cornice::Di(*t), (Cornice{1550, 1450, 600, 1700}));
    EXPECT_NEAR(p()->Campo(2)->value(), 600 / DocumentoEtichetta::TwipsPerMm, 0.01);

    const QString testo = QString::fromLatin1(file());
    for (const char* riga : {"\r\nDear ${name}\r\n", "\r\noggAspetto\r\nRotazione=90\r\nACapo=False\r\nVerticale=2\r\n"
                                                     "Riduci=True\r\nMinimo=6"})
        EXPECT_TRUE(testo.contains(QLatin1String(riga))) << riga << "\n" << testo.toStdString();
    annullaERipeti(prima, 13);

    // A value left as it is, a colour cancelled: no step.
    scrivi(editore<QLineEdit>(P::Testo), QStringLiteral("Dear ${name}"));
    clic(P::ColoreTesto);
    EXPECT_EQ(doc().Storia().count(), 13);
}

TEST_F(Pannello, EditsBarcodesPicturesShapesAndTheFieldLink)
{
    OggettoEtichetta* b = doc().CreaBarcode(1000, 2000, 2000, 800);
    b->Tag = QStringLiteral("00");
    b->ToolTipText = QStringLiteral("12345");
    seleziona({b});
    const QByteArray prima = file();
    EXPECT_TRUE(p()->Mostrata(P::PosizioneTesto));
    EXPECT_FALSE(p()->Mostrata(P::Correzione));
    scrivi(editore<QLineEdit>(P::Dati), QStringLiteral("CARTIGO-1"));
    scegli(P::PosizioneTesto, QStringLiteral("Hidden"));
    EXPECT_EQ(b->Tag, QStringLiteral("02"));
    // A QR Code has no text line but a correction level.
    scegli(P::TipoBarcode, QStringLiteral("QR Code"));
    EXPECT_FALSE(p()->Mostrata(P::PosizioneTesto));
    scegli(P::Correzione, QStringLiteral("H (30%)"));
    EXPECT_EQ(b->Tag, QStringLiteral("32H"));
    EXPECT_EQ(doc().Storia().undoText(), LoadResString(1526));
    // The table's fields to link.
    p()->Modello().campi = [] { return QStringList{QStringLiteral("Codice"), QStringLiteral("Nome")}; };
    p()->Modello().RileggiCampi();
    p()->Aggiorna();
    scegli(P::Campo, QStringLiteral("Codice"));
    EXPECT_EQ(b->DataMember, QStringLiteral("Codice"));
    EXPECT_EQ(doc().Storia().undoText(), LoadResString(1527));
    EXPECT_TRUE(QString::fromLatin1(file()).contains(QLatin1String("\r\n32H\r\nCodice\r\nCARTIGO-1\r\n")));
    annullaERipeti(prima, 5);

    // A picture's file through the file chooser; a file that is no picture is refused.
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("logo.png"));
    QImage(8, 8, QImage::Format_RGB32).save(png);
    test::ScriviFile(dir.filePath(QStringLiteral("rotto.png")), "no");
    OggettoEtichetta* im = doc().CreaImmagine(1000, 3000, 500, 500);
    seleziona({im});
    ui.file.push_back(dir.filePath(QStringLiteral("rotto.png")));
    ui.file.push_back(png);
    auto* sfoglia = p()->Editore(P::File)->findChild<QToolButton*>(QStringLiteral("sfogliaFile"));
    QTest::mouseClick(sfoglia, Qt::LeftButton);
    EXPECT_TRUE(im->ToolTipText.isEmpty());
    EXPECT_EQ(ui.messaggi.size(), 1);
    QTest::mouseClick(sfoglia, Qt::LeftButton);
    EXPECT_EQ(im->ToolTipText, png);
    EXPECT_FALSE(im->Picture.isNull());
    EXPECT_EQ(p()->Editore(P::File)->findChild<QLineEdit*>()->text(), png);

    // A rectangle's border and fill, a line's and an ellipse's outline and fill.
    OggettoEtichetta* r = doc().CreaRettangolo(1000, 4000, 500, 500);
    seleziona({r});
    scrivi(editore<QSpinBox>(P::SpessoreBordo), QStringLiteral("3"));
    ui.colori.push_back(QColor(Qt::red));
    clic(P::ColoreContorno);
    clic(P::Sfondo);
    EXPECT_EQ(r->BorderWidth, 3);
    EXPECT_EQ(r->BorderColor, ColoreVB(Qt::red));
    EXPECT_EQ(r->BackStyle, 1);
    OggettoEtichetta* l = doc().Crea(TipoOggetto::Linea, 1000, 5000, 800, 0);
    seleziona({l});
    EXPECT_FALSE(p()->Mostrata(P::Rotazione));
    EXPECT_FALSE(p()->Mostrata(P::Sfondo));
    scrivi(editore<QDoubleSpinBox>(P::SpessoreLinea), numero(1.25));
    scegli(P::Tratto, QStringLiteral("Dashed"));
    EXPECT_EQ(l->Contorno, (ContornoForma{0, 1.25f, TrattoLinea::Tratteggiato}));
    EXPECT_EQ(doc().Storia().undoText(), LoadResString(1780));
    OggettoEtichetta* e = doc().Crea(TipoOggetto::Ellisse, 2000, 5000, 800, 400);
    seleziona({e});
    ui.colori.push_back(QColor(Qt::blue));
    clic(P::ColoreSfondo);
    EXPECT_EQ(e->Riempimento, (RiempimentoForma{true, ColoreVB(Qt::blue)}));
    EXPECT_TRUE(QString::fromLatin1(file()).contains(QLatin1String("\r\nPieno=True\r\nColoreRiempimento=16711680\r\n")));
}

TEST_F(Pannello, SeveralObjectsShowWhatTheyShareAndMixedValuesChangeAll)
{
    OggettoEtichetta* a = doc().CreaTesto(1000, 2000, 1700, 600);
    OggettoEtichetta* b = doc().CreaTesto(1000, 3000, 1700, 600);
    for (auto* t : {a, b}) t->FontName = QStringLiteral("Arial");
    a->FontSize = 10;
    b->FontSize = 16;
    a->Caption = QStringLiteral("uno");
    b->Caption = QStringLiteral("due");
    b->FontBold = true;
    seleziona({a, b});
    const QByteArray prima = file();
    EXPECT_EQ(p()->findChild<QLabel*>(QStringLiteral("titolo"))->text(), QStringLiteral("2 objects"));
    EXPECT_FALSE(p()->Campo(0)->isEnabled());
    // What differs shows as mixed; what is the same shows as it is.
    auto* dimensione = editore<QSpinBox>(P::Dimensione);
    EXPECT_EQ(dimensione->text(), QStringLiteral("(mixed)"));
    EXPECT_EQ(editore<QCheckBox>(P::Grassetto)->checkState(), Qt::PartiallyChecked);
    EXPECT_TRUE(editore<QLineEdit>(P::Testo)->text().isEmpty());
    EXPECT_EQ(editore<QLineEdit>(P::Testo)->placeholderText(), QStringLiteral("(mixed)"));
    EXPECT_EQ(editore<QComboBox>(P::Carattere)->currentText(), QStringLiteral("Arial"));
    EXPECT_EQ(editore<QComboBox>(P::Allineamento)->currentText(), QStringLiteral("Left"));
    // Leaving the mixed text as it is changes nothing; a size typed changes both, one step.
    scrivi(editore<QLineEdit>(P::Testo), QString());
    EXPECT_EQ(doc().Storia().count(), 0);
    scrivi(dimensione, QStringLiteral("12"));
    EXPECT_EQ(a->FontSize, 12);
    EXPECT_EQ(b->FontSize, 12);
    EXPECT_EQ(dimensione->text(), QStringLiteral("12"));
    clic(P::Grassetto);  // from mixed, a click makes both bold
    EXPECT_TRUE(a->FontBold && b->FontBold);
    annullaERipeti(prima, 2);

    // A text and a rectangle share the background and the rotation, not the font.
    OggettoEtichetta* r = doc().CreaRettangolo(3000, 2000, 500, 500);
    seleziona({a, r});
    EXPECT_FALSE(p()->Mostrata(P::Carattere));
    EXPECT_FALSE(p()->Mostrata(P::ColoreContorno));
    EXPECT_TRUE(p()->Mostrata(P::Sfondo));
    EXPECT_TRUE(p()->Mostrata(P::Rotazione));
    clic(P::Sfondo);
    EXPECT_EQ(a->BackStyle, 1);
    EXPECT_EQ(r->BackStyle, 1);
}

TEST_F(Pannello, KeepsItsWidthWhateverItShows)
{
    QDockWidget* dock = f->findChild<QDockWidget*>(QStringLiteral("dockPannelloOggetto"));
    ASSERT_NE(dock, nullptr);
    QApplication::processEvents();
    const int larghezza = p()->width();
    const int larghezzaDock = dock->width();
    const int area = f->Area()->width();
    OggettoEtichetta* t = doc().CreaTesto(1000, 2000, 1700, 600);
    t->Caption = QString(200, QLatin1Char('W'));
    t->FontName = QStringLiteral("A font with a name much longer than any panel is wide");
    t->DataMember.clear();
    OggettoEtichetta* b = doc().CreaBarcode(1000, 3000, 2000, 800);
    b->ToolTipText = QString(200, QLatin1Char('9'));
    for (auto oggetti : {std::vector<OggettoEtichetta*>{t}, {b}, {t, b}, {}}) {
        seleziona(oggetti);
        QApplication::processEvents();
        EXPECT_EQ(p()->width(), larghezza);
        EXPECT_EQ(dock->width(), larghezzaDock);
        EXPECT_EQ(f->Area()->width(), area);
        EXPECT_LE(p()->minimumSizeHint().width(), larghezza);
        // Nothing passes the panel's right edge.
        auto* scorrimento = p()->findChild<QScrollArea*>(QStringLiteral("scorrimento"));
        EXPECT_LE(scorrimento->widget()->minimumSizeHint().width(), scorrimento->viewport()->width());
    }
}
