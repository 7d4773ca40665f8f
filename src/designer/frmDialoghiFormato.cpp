#include "designer/frmDialoghiFormato.h"

#include "label/CampiUnione.h"
#include "label/Colori.h"
#include "label/NomiFile.h"
#include "layout/FiltroCampi.h"
#include "shell/InterazioneQt.h"
#include "shell/StringTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace cartigo {

namespace {
QDialogButtonBox* pulsantiOkCancel(QDialog* d)
{
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, d);
    box->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOk"));
    box->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    QObject::connect(box, &QDialogButtonBox::rejected, d, &QDialog::reject);
    return box;
}
}  // namespace

frmAllineamento::frmAllineamento(RichiestaAllineamento& r, QWidget* parent) : QDialog(parent), r_(r)
{
    setObjectName(QStringLiteral("frmAllineamento"));
    auto* lay = new QVBoxLayout(this);
    frame_ = new QGroupBox(this);
    auto* fl = new QVBoxLayout(frame_);
    for (int i = 0; i < 3; ++i) {
        opt_[i] = new QRadioButton(frame_);
        opt_[i]->setObjectName(QStringLiteral("optAllineamento%1").arg(i));
        fl->addWidget(opt_[i]);
    }
    if (r.opzione >= 0 && r.opzione < 3)
        opt_[r.opzione]->setChecked(true);
    lay->addWidget(frame_);
    auto* box = pulsantiOkCancel(this);
    connect(box, &QDialogButtonBox::accepted, this, [this] {
        for (int i = 0; i < 3; ++i)
            if (opt_[i]->isChecked())
                r_.opzione = i;
        accept();
    });
    lay->addWidget(box);
    Internazionalizza();
}

void frmAllineamento::Internazionalizza()
{
    setWindowTitle(LoadResString(168));
    frame_->setTitle(LoadResString(169));
    for (int i = 0; i < 3; ++i)
        opt_[i]->setText(LoadResString(170 + i));
}

frmModificaTesto::frmModificaTesto(RichiestaModificaTesto& r, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmModificaTesto"));
    setWindowTitle(LoadResString(209));
    auto* lay = new QVBoxLayout(this);
    auto* etichetta = new QLabel(LoadResString(210), this);
    txt_ = new QLineEdit(r.testo, this);
    txt_->setObjectName(QStringLiteral("txtTesto"));
    txt_->setMinimumWidth(360);
    etichetta->setBuddy(txt_);
    // Highlighted while focused; the spaces typed stay (leaving for the field list or the
    // Insert button must not take the space before the field).
    (new FiltroCampi(nullptr, this))->Installa(txt_, TipoCampo::Libero);
    lay->addWidget(etichetta);
    lay->addWidget(txt_);
    if (!r.campi.isEmpty()) {
        // The record set's fields, inserted as merge fields where the cursor stands.
        auto* riga = new QHBoxLayout;
        auto* campi = new QLabel(LoadResString(1801), this);
        cmbCampi_ = new QComboBox(this);
        cmbCampi_->setObjectName(QStringLiteral("cmbCampi"));
        cmbCampi_->addItems(r.campi);
        campi->setBuddy(cmbCampi_);
        auto* inserisci = new QPushButton(LoadResString(1802), this);
        inserisci->setObjectName(QStringLiteral("cmdInserisci"));
        inserisci->setAutoDefault(false);
        riga->addWidget(campi);
        riga->addWidget(cmbCampi_, 1);
        riga->addWidget(inserisci);
        lay->addLayout(riga);
        connect(inserisci, &QPushButton::clicked, this, [this] {
            txt_->insert(ModelloUnione::Segnaposto(cmbCampi_->currentText()));
            // Typing goes on after the field.
            txt_->setFocus(Qt::OtherFocusReason);
        });
    }
    auto* box = pulsantiOkCancel(this);
    connect(box, &QDialogButtonBox::accepted, this, [this, &r] {
        r.testo = txt_->text();
        accept();
    });
    lay->addWidget(box);
}

frmModificaImmagine::frmModificaImmagine(RichiestaModificaImmagine& r, Interazione& ui, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmModificaImmagine"));
    setWindowTitle(LoadResString(120));
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(new QLabel(LoadResString(208), this));
    auto* riga = new QHBoxLayout;
    txt_ = new QLineEdit(r.nomeFile, this);
    txt_->setObjectName(QStringLiteral("txtNomeFile"));
    txt_->setMinimumWidth(360);
    (new FiltroCampi(&ui, this))->Installa(txt_, TipoCampo::Testo);
    auto* sfoglia = new QPushButton(LoadResString(195), this);
    sfoglia->setObjectName(QStringLiteral("cmdSfoglia"));
    riga->addWidget(txt_);
    riga->addWidget(sfoglia);
    lay->addLayout(riga);
    connect(sfoglia, &QPushButton::clicked, this, [this, &ui] {
        if (const auto scelto = RichiestaModificaImmagine::Sfoglia(ui, CartellaDialogo())) txt_->setText(*scelto);
    });
    auto* box = pulsantiOkCancel(this);
    connect(box, &QDialogButtonBox::accepted, this, [this, &r, &ui] {
        if (!r.Verifica(txt_->text(), ui, windowTitle())) {
            txt_->setFocus();
            return;
        }
        r.nomeFile = txt_->text();
        accept();
    });
    lay->addWidget(box);
}

frmForma::frmForma(RichiestaForma& r, Interazione& ui, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmForma"));
    setWindowTitle(LoadResString(2916));
    auto* lay = new QVBoxLayout(this);
    auto* campi = new QFormLayout;
    spessore_ = new QDoubleSpinBox(this);
    spessore_->setObjectName(QStringLiteral("txtSpessore"));
    spessore_->setRange(0, 20);
    spessore_->setDecimals(2);
    spessore_->setSingleStep(0.1);
    spessore_->setValue(double(r.contorno.Spessore));
    campi->addRow(LoadResString(2917), spessore_);
    tratto_ = new QComboBox(this);
    tratto_->setObjectName(QStringLiteral("cmbTratto"));
    for (int id : {2920, 2921, 2922}) tratto_->addItem(LoadResString(id));
    tratto_->setCurrentIndex(int(r.contorno.Tratto));
    campi->addRow(LoadResString(2919), tratto_);
    // A colour button shows its colour and opens the colour dialog.
    const auto bottoneColore = [this, &ui](const QString& nome, int testo, qint32& colore) {
        auto* b = new QPushButton(LoadResString(testo), this);
        b->setObjectName(nome);
        b->setAutoDefault(false);
        const auto mostra = [b, &colore] {
            QPixmap campione(16, 16);
            campione.fill(ColoreDaVB(colore));
            b->setIcon(QIcon(campione));
        };
        mostra();
        connect(b, &QPushButton::clicked, this, [&ui, &colore, mostra, testo] {
            if (const auto c = ui.scegliColore(ColoreDaVB(colore), LoadResString(testo))) {
                colore = ColoreVB(*c);
                mostra();
            }
        });
        return b;
    };
    coloreContorno_ = bottoneColore(QStringLiteral("cmdColoreContorno"), 2918, r.contorno.Colore);
    campi->addRow(QString(), coloreContorno_);
    if (r.conRiempimento) {
        pieno_ = new QCheckBox(LoadResString(1566), this);
        pieno_->setObjectName(QStringLiteral("chkPieno"));
        pieno_->setChecked(r.riempimento.Pieno);
        coloreRiempimento_ = bottoneColore(QStringLiteral("cmdColoreRiempimento"), 2924, r.riempimento.Colore);
        coloreRiempimento_->setEnabled(r.riempimento.Pieno);
        connect(pieno_, &QCheckBox::toggled, coloreRiempimento_, &QWidget::setEnabled);
        campi->addRow(pieno_, coloreRiempimento_);
    }
    lay->addLayout(campi);
    auto* box = pulsantiOkCancel(this);
    connect(box, &QDialogButtonBox::accepted, this, [this, &r] {
        r.contorno.Spessore = float(spessore_->value());
        r.contorno.Tratto = TrattoLinea(tratto_->currentIndex());
        if (pieno_) r.riempimento.Pieno = pieno_->isChecked();
        accept();
    });
    lay->addWidget(box);
}

void RegistraDialoghiFormato()
{
    InterazioneQt::RegistraDialogo(RichiestaForma::Nome, [](RichiestaDialogo& d, QWidget* genitore) {
        InterazioneQt ui(genitore);
        frmForma f(static_cast<RichiestaForma&>(d), ui, genitore);
        return f.exec() == QDialog::Accepted;
    });
    InterazioneQt::RegistraDialogo(RichiestaAllineamento::Nome, [](RichiestaDialogo& d, QWidget* genitore) {
        frmAllineamento f(static_cast<RichiestaAllineamento&>(d), genitore);
        return f.exec() == QDialog::Accepted;
    });
    InterazioneQt::RegistraDialogo(RichiestaModificaTesto::Nome, [](RichiestaDialogo& d, QWidget* genitore) {
        frmModificaTesto f(static_cast<RichiestaModificaTesto&>(d), genitore);
        return f.exec() == QDialog::Accepted;
    });
    InterazioneQt::RegistraDialogo(RichiestaModificaImmagine::Nome, [](RichiestaDialogo& d, QWidget* genitore) {
        InterazioneQt ui(genitore);
        frmModificaImmagine f(static_cast<RichiestaModificaImmagine&>(d), ui, genitore);
        return f.exec() == QDialog::Accepted;
    });
}

}  // namespace cartigo
