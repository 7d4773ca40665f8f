// The Format menu, the formatting toolbar and its font boxes. The work is in
// ComandiEtichetta; here the boxes are filled, read and checked.
#include "app/frmCartigo.h"

#include "label/Caratteri.h"
#include "label/Locale.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QTimer>

namespace cartigo {

void frmCartigo::InitFontControls()
{
    // One source for the list and for the check of typed names: the installed families,
    // under the plain names other systems know them by.
    const QStringList fonts = Caratteri::FamiglieInstallate();
    comandi_.impostaFonts(fonts);
    cmbFontname_->clear();
    cmbFontname_->addItems(fonts);
    cmbFontname_->setInsertPolicy(QComboBox::NoInsert);
    cmbFontsize_->clear();
    for (const char* s : {"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24", "26", "28", "36", "42", "72"})
        cmbFontsize_->addItem(QString::fromLatin1(s));
    cmbFontsize_->setInsertPolicy(QComboBox::NoInsert);

    auto& modello = doc_.Modello(TipoOggetto::Testo);
    modello.FontName = Caratteri::CarattereIniziale(fonts);
    modello.FontSize = 10;
    modello.FontBold = false;
    modello.FontItalic = false;
    ShowFontState(modello);

    if (!cmbFontname_->property("cartigoFiltro").toBool()) {
        cmbFontname_->setProperty("cartigoFiltro", true);
        cmbFontname_->installEventFilter(this);
        cmbFontsize_->installEventFilter(this);
        // A list entry chosen (mouse or keyboard) applies the font at once.
        connect(cmbFontname_, &QComboBox::activated, this, &frmCartigo::ApplicaStileToolbar);
        connect(cmbFontsize_, &QComboBox::activated, this, &frmCartigo::ApplicaStileToolbar);
    }
}

void frmCartigo::ShowFontState(const OggettoEtichetta& testo)
{
    cmbFontname_->setEditText(testo.FontName);
    QString dimensione = QString::number(double(testo.FontSize));
    dimensione.replace(QLatin1Char('.'), ImpostazioniLocali::correnti().decimale);
    cmbFontsize_->setEditText(dimensione);
    Pulsante(QStringLiteral("grassetto"))->setChecked(testo.FontBold);
    Pulsante(QStringLiteral("corsivo"))->setChecked(testo.FontItalic);
}

void frmCartigo::ApplicaStileToolbar()
{
    comandi_.ApplyFont(cmbFontname_->currentText(), cmbFontsize_->currentText(),
                       Pulsante(QStringLiteral("grassetto"))->isChecked(),
                       Pulsante(QStringLiteral("corsivo"))->isChecked(), Selezionati());
}

bool frmCartigo::cmbFontname_Validate()
{
    cmbFontname_->setEditText(cmbFontname_->currentText().trimmed());
    const bool ok = comandi_.VerificaNomeFont(cmbFontname_->currentText());
    if (!ok) QTimer::singleShot(0, cmbFontname_, [this] { cmbFontname_->setFocus(Qt::OtherFocusReason); });
    ApplicaStileToolbar();
    return ok;
}

bool frmCartigo::cmbFontsize_Validate()
{
    cmbFontsize_->setEditText(cmbFontsize_->currentText().trimmed());
    const bool ok = comandi_.VerificaDimensioneFont(cmbFontsize_->currentText());
    if (!ok) QTimer::singleShot(0, cmbFontsize_, [this] { cmbFontsize_->setFocus(Qt::OtherFocusReason); });
    ApplicaStileToolbar();
    return ok;
}

bool frmCartigo::eventFilter(QObject* oggetto, QEvent* evento)
{
    if (evento->type() == QEvent::FocusOut && !inValidazione_) {
        // Leaving a box for another control of the window; not a popup or another window.
        const auto motivo = static_cast<QFocusEvent*>(evento)->reason();
        const bool lascia = motivo != Qt::PopupFocusReason && motivo != Qt::ActiveWindowFocusReason;
        const bool nome = oggetto == cmbFontname_, dimensione = oggetto == cmbFontsize_;
        if (lascia && (nome || dimensione)) {
            inValidazione_ = true;
            if (nome)
                cmbFontname_Validate();
            else
                cmbFontsize_Validate();
            inValidazione_ = false;
        }
    }
    return QMainWindow::eventFilter(oggetto, evento);
}

// ---- Format menu and formatting toolbar ----

void frmCartigo::mnuOpaco_Click()
{
    comandi_.Opaco(Selezionati());
}

void frmCartigo::mnuTrasparente_Click()
{
    comandi_.Trasparente(Selezionati());
}

void frmCartigo::mnuColoreSfondo_Click()
{
    comandi_.ColoreSfondo(Selezionati());
}

void frmCartigo::mnuColoreOggetto_Click()
{
    comandi_.ColoreOggetto(Selezionati());
}

void frmCartigo::mnuSpessore_Click(int spessore)
{
    comandi_.Spessore(spessore, Selezionati());
}

void frmCartigo::mnuParametriBarcode_Click()
{
    comandi_.ParametriBarcode(Selezionati());
}

void frmCartigo::mnuCarattere_Click()
{
    OggettoEtichetta* o = CurrentObject();
    comandi_.Carattere(Selezionati());
    // The boxes show the font just chosen.
    if (!o)
        ShowFontState(doc_.Modello(TipoOggetto::Testo));
    else if (o->tipo == TipoOggetto::Testo)
        ShowFontState(*o);
}

void frmCartigo::mnuAllineamento_Click()
{
    comandi_.Allineamento(Selezionati());
}

void frmCartigo::mnuRuotaSinistra_Click()
{
    comandi_.Ruota(-1, Selezionati());
}

void frmCartigo::mnuRuotaDestra_Click()
{
    comandi_.Ruota(1, Selezionati());
}

void frmCartigo::mnuForma_Click()
{
    comandi_.ProprietaForma(Selezionati());
}

void frmCartigo::Disponi(const ComandoDisposizione& comando)
{
    comandi_.Disponi(comando, Selezionati());
}

void frmCartigo::AllineaTesto(int allineamento)
{
    comandi_.SetAlignment(allineamento, Selezionati());
}

}  // namespace cartigo
