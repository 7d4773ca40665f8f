#include "barcode/frmParametriBarcode.h"

#include "shell/InterazioneQt.h"
#include "shell/StringTable.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace cartigo {

namespace {
// The box a new barcode object gets (twips), for a preview without one.
constexpr double kLarghezzaPredefinita = 1935;
constexpr double kAltezzaPredefinita = 1035;
constexpr int kMarginePreview = 8;  // pixels
}  // namespace

AnteprimaBarcode::AnteprimaBarcode(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("imgAnteprima"));
    setMinimumSize(160, 80);
}

void AnteprimaBarcode::Mostra(const DisegnoBarcode& d, double larghezza, double altezza)
{
    disegno_ = d;
    larghezza_ = larghezza;
    altezza_ = altezza;
    update();
}

void AnteprimaBarcode::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    const QRectF area = QRectF(rect()).adjusted(kMarginePreview, kMarginePreview, -kMarginePreview, -kMarginePreview);
    const double scala = std::min(area.width() / larghezza_, area.height() / altezza_);
    if (!(scala > 0)) return;
    const QSizeF box(larghezza_ * scala, altezza_ * scala);
    const QRectF riquadro(area.center() - QPointF(box.width() / 2, box.height() / 2), box);
    p.fillRect(riquadro, Qt::white);
    p.setPen(QColor(160, 160, 160));
    p.drawRect(riquadro.adjusted(-0.5, -0.5, 0.5, 0.5));
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(riquadro.topLeft());
    p.scale(scala, scala);
    DipingiBarcode(p, disegno_);
}

frmParametriBarcode::frmParametriBarcode(RichiestaParametriBarcode& r, QWidget* parent) : QDialog(parent), r_(r)
{
    setObjectName(QStringLiteral("frmParametriBarcode"));
    setWindowTitle(LoadResString(211));
    auto* lay = new QVBoxLayout(this);
    auto* label1 = new QLabel(LoadResString(212), this);
    label1->setObjectName(QStringLiteral("Label1"));
    cmb_ = new QComboBox(this);
    cmb_->setObjectName(QStringLiteral("cmbTipoBarcode"));
    cmb_->addItems(NomiTipiBarcode());
    cmb_->setCurrentIndex(r.tipoBarcode >= 0 && r.tipoBarcode < cmb_->count() ? r.tipoBarcode : 0);
    label1->setBuddy(cmb_);
    lay->addWidget(label1);
    lay->addWidget(cmb_);

    auto* opzioni = new QHBoxLayout;
    frame1_ = new QGroupBox(LoadResString(213), this);
    frame1_->setObjectName(QStringLiteral("Frame1"));
    auto* fl = new QVBoxLayout(frame1_);
    // One exclusive group: a click on the checked option keeps it. An unknown stored
    // position starts with none checked, until the user picks one.
    auto* gruppo = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        opt_[i] = new QRadioButton(LoadResString(214 + i), frame1_);
        opt_[i]->setObjectName(QStringLiteral("optAllineamento%1").arg(i));
        gruppo->addButton(opt_[i], i);
        fl->addWidget(opt_[i]);
    }
    if (r.opzioneTesto >= 0 && r.opzioneTesto < 3)
        opt_[r.opzioneTesto]->setChecked(true);
    opzioni->addWidget(frame1_);

    // QR Code's level and Data Matrix's shape, enabled for their kind.
    auto* colonna = new QVBoxLayout;
    fraCorrezione_ = new QGroupBox(LoadResString(1610), this);
    fraCorrezione_->setObjectName(QStringLiteral("fraCorrezione"));
    cmbCorrezione_ = new QComboBox(fraCorrezione_);
    cmbCorrezione_->setObjectName(QStringLiteral("cmbCorrezione"));
    cmbCorrezione_->addItems(
        {QStringLiteral("L (7%)"), QStringLiteral("M (15%)"), QStringLiteral("Q (25%)"), QStringLiteral("H (30%)")});
    cmbCorrezione_->setCurrentIndex(static_cast<int>(r.correzione));
    (new QVBoxLayout(fraCorrezione_))->addWidget(cmbCorrezione_);
    colonna->addWidget(fraCorrezione_);
    fraForma_ = new QGroupBox(LoadResString(1611), this);
    fraForma_->setObjectName(QStringLiteral("fraForma"));
    auto* ff = new QVBoxLayout(fraForma_);
    auto* gruppoForma = new QButtonGroup(this);
    for (int i = 0; i < 2; ++i) {
        optForma_[i] = new QRadioButton(LoadResString(1612 + i), fraForma_);
        optForma_[i]->setObjectName(QStringLiteral("optForma%1").arg(i));
        gruppoForma->addButton(optForma_[i], i);
        ff->addWidget(optForma_[i]);
    }
    optForma_[r.forma == FormaDataMatrix::Rettangolare ? 1 : 0]->setChecked(true);
    colonna->addWidget(fraForma_);
    opzioni->addLayout(colonna);
    lay->addLayout(opzioni);
    chkCifreStandard_ = new QCheckBox(LoadResString(1617), this);
    chkCifreStandard_->setObjectName(QStringLiteral("chkCifreStandard"));
    chkCifreStandard_->setChecked(r.cifreStandard);
    lay->addWidget(chkCifreStandard_);

    auto* fraAnteprima = new QGroupBox(LoadResString(1614), this);
    fraAnteprima->setObjectName(QStringLiteral("fraAnteprima"));
    auto* fa = new QVBoxLayout(fraAnteprima);
    anteprima_ = new AnteprimaBarcode(fraAnteprima);
    fa->addWidget(anteprima_, 1);
    lblAnteprima_ = new QLabel(fraAnteprima);
    lblAnteprima_->setObjectName(QStringLiteral("lblAnteprima"));
    lblAnteprima_->setWordWrap(true);
    fa->addWidget(lblAnteprima_);
    lay->addWidget(fraAnteprima, 1);

    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    box->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOk"));
    box->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(box, &QDialogButtonBox::accepted, this, [this] {
        r_.tipoBarcode = cmb_->currentIndex();
        r_.opzioneTesto = opt_[1]->isChecked() ? 1 : opt_[0]->isChecked() ? 0 : 2;
        r_.correzione = static_cast<CorrezioneQR>(cmbCorrezione_->currentIndex());
        r_.forma = optForma_[1]->isChecked() ? FormaDataMatrix::Rettangolare : FormaDataMatrix::Quadrata;
        r_.cifreStandard = chkCifreStandard_->isChecked();
        accept();
    });
    lay->addWidget(box);

    connect(cmb_, &QComboBox::currentIndexChanged, this, &frmParametriBarcode::aggiorna);
    connect(cmbCorrezione_, &QComboBox::currentIndexChanged, this, &frmParametriBarcode::aggiorna);
    connect(gruppo, &QButtonGroup::idClicked, this, &frmParametriBarcode::aggiorna);
    connect(gruppoForma, &QButtonGroup::idClicked, this, &frmParametriBarcode::aggiorna);
    connect(chkCifreStandard_, &QCheckBox::toggled, this, &frmParametriBarcode::aggiorna);
    aggiorna();
}

int frmParametriBarcode::posizione() const
{
    return opt_[0]->isChecked() ? 1 : opt_[2]->isChecked() ? 2 : 0;
}

void frmParametriBarcode::aggiorna()
{
    ParametriBarcode p;
    p.tipo = cmb_->currentIndex();
    p.testo = posizione();
    p.correzione = static_cast<CorrezioneQR>(cmbCorrezione_->currentIndex());
    p.forma = optForma_[1]->isChecked() ? FormaDataMatrix::Rettangolare : FormaDataMatrix::Quadrata;
    p.cifreStandard = chkCifreStandard_->isChecked();
    frame1_->setEnabled(!BarcodeBidimensionale(p.tipo));
    chkCifreStandard_->setEnabled(CifreStandardPossibili(p.tipo));
    fraCorrezione_->setEnabled(p.tipo == int(TipoBarcode::QRCode));
    fraForma_->setEnabled(p.tipo == int(TipoBarcode::DataMatrix));

    const bool campione = !r_.campo.isEmpty();
    const QString dati = campione ? DatiCampione(p.tipo) : r_.dati;
    const double w = r_.larghezza > 0 ? r_.larghezza : kLarghezzaPredefinita;
    const double h = r_.altezza > 0 ? r_.altezza : kAltezzaPredefinita;
    const DisegnoBarcode d = DisegnoSimbolo(
        p, dati, RiquadroBarcode{0, 0, w / kTwipPerMmBarcode, h / kTwipPerMmBarcode}, MisuraTestoTwips());
    anteprima_->Mostra(d, w, h);
    QString nota;
    if (!d.messaggio.isEmpty())
        nota = d.dettaglio.isEmpty() ? d.messaggio : d.messaggio + QLatin1Char('\n') + d.dettaglio;
    else if (campione)
        nota = LoadResString(1615).arg(r_.campo);
    else if (dati.isEmpty())
        nota = LoadResString(1616);
    lblAnteprima_->setText(nota);
}

void RegistraDialogoParametriBarcode()
{
    InterazioneQt::RegistraDialogo(RichiestaParametriBarcode::Nome, [](RichiestaDialogo& d, QWidget* genitore) {
        frmParametriBarcode f(static_cast<RichiestaParametriBarcode&>(d), genitore);
        return f.exec() == QDialog::Accepted;
    });
}

}  // namespace cartigo
