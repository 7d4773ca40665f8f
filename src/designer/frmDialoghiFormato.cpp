#include "designer/frmDialoghiFormato.h"

#include "label/CampiUnione.h"
#include "label/NomiFile.h"
#include "layout/FiltroCampi.h"
#include "shell/InterazioneQt.h"
#include "shell/StringTable.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
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

void RegistraDialoghiFormato()
{
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
