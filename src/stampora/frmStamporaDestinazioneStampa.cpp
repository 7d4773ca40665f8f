#include "stampora/frmStamporaDestinazioneStampa.h"

#include "layout/FiltroCampi.h"
#include "shell/Finestre.h"
#include "shell/InterazioneQt.h"
#include "shell/StringTable.h"
#include "stampora/AzioniOutput.h"
#include "stampora/PortaGrezza.h"
#include "stampora/RichiesteStampora.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>

namespace cartigo {

namespace {

QPixmap immagineOpzione(int indice, const QStyle* stile)
{
    static const char* const temi[] = {"printer", "video-display", "document-save",
                                       "document-save-as", "network-wired", "printer"};
    static const QStyle::StandardPixmap riserva[] = {QStyle::SP_ComputerIcon,     QStyle::SP_DesktopIcon,
                                                     QStyle::SP_DialogSaveButton, QStyle::SP_DialogSaveButton,
                                                     QStyle::SP_DriveNetIcon,     QStyle::SP_ComputerIcon};
    QIcon i = QIcon::fromTheme(QString::fromLatin1(temi[indice]));
    if (i.isNull()) i = stile->standardIcon(riserva[indice]);
    return i.pixmap(32, 32).scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

}  // namespace

frmStamporaDestinazioneStampa::frmStamporaDestinazioneStampa(Interazione* ui, QWidget* parent)
    : QDialog(parent), uiQt_(ui ? nullptr : std::make_unique<InterazioneQt>(this)), ui_(ui ? ui : uiQt_.get())
{
    setObjectName(QStringLiteral("frmStamporaDestinazioneStampa"));
    setModal(true);

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* griglia = new QGridLayout(Frame1);
    for (int i = 0; i < kOpzioni; ++i) {
        imgOutput[i] = new QLabel(Frame1);
        imgOutput[i]->setObjectName(QStringLiteral("imgOutput%1").arg(i));
        imgOutput[i]->setPixmap(immagineOpzione(i, style()));
        imgOutput[i]->setFixedSize(36, 36);
        imgOutput[i]->setAlignment(Qt::AlignCenter);
        imgOutput[i]->installEventFilter(this);
        optTipoStampa[i] = new QRadioButton(Frame1);
        optTipoStampa[i]->setObjectName(QStringLiteral("optTipoStampa%1").arg(i));
        griglia->addWidget(imgOutput[i], i, 0);
        griglia->addWidget(optTipoStampa[i], i, 1);
        connect(optTipoStampa[i], &QRadioButton::clicked, this, [this, i] { optTipoStampa_Click(i); });
    }
    // The raw port's address beside its option; ZPL's resolution under the options.
    txtIndirizzoZpl = new QLineEdit(Frame1);
    txtIndirizzoZpl->setObjectName(QStringLiteral("txtIndirizzoZpl"));
    txtIndirizzoZpl->setPlaceholderText(QStringLiteral("host:%1").arg(kPortaGrezzaPredefinita));
    griglia->addWidget(txtIndirizzoZpl, 4, 2);
    // Typing an address chooses its option.
    connect(txtIndirizzoZpl, &QLineEdit::textEdited, this, [this] {
        if (!optTipoStampa[4]->isChecked()) SelezionaOpzione(4);
    });
    lblRisoluzioneZpl = new QLabel(Frame1);
    lblRisoluzioneZpl->setObjectName(QStringLiteral("lblRisoluzioneZpl"));
    cmbRisoluzioneZpl = new QComboBox(Frame1);
    cmbRisoluzioneZpl->setObjectName(QStringLiteral("cmbRisoluzioneZpl"));
    for (const int dpi : {203, 300, 600}) cmbRisoluzioneZpl->addItem(QStringLiteral("%1 dpi").arg(dpi), double(dpi));
    auto* risoluzione = new QHBoxLayout;
    risoluzione->addWidget(lblRisoluzioneZpl);
    risoluzione->addWidget(cmbRisoluzioneZpl);
    risoluzione->addStretch();
    griglia->addLayout(risoluzione, kOpzioni, 1, 1, 2);
    griglia->setColumnStretch(2, 1);

    Label1[0] = new QLabel(this);
    Label1[0]->setObjectName(QStringLiteral("Label1_0"));
    Label1[1] = new QLabel(this);
    Label1[1]->setObjectName(QStringLiteral("Label1_1"));
    lblStampante = new QLabel(this);
    lblStampante->setObjectName(QStringLiteral("lblStampante"));
    lblPercorso = new QLabel(this);
    lblPercorso->setObjectName(QStringLiteral("lblPercorso"));
    lblStampante->setMinimumWidth(260);
    lblPercorso->setMinimumWidth(260);
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));

    txtCopie = new QLineEdit(QStringLiteral("1"), this);
    txtCopie->setObjectName(QStringLiteral("txtCopie"));
    txtCopie->setMaximumWidth(60);
    txtCopie->setMaxLength(QString::number(kCopieMassime).size());
    txtCopie->installEventFilter(this);
    // The whole-number input field: highlight, select on entry, digits only, trim on exit.
    (new FiltroCampi(ui_, this))->Installa(txtCopie, TipoCampo::Cifre);
    // The bar runs over the copies negated, so that its upper arrow, the wheel turned
    // up and the Up key all add a copy.
    vscCopie = new QScrollBar(Qt::Vertical, this);
    vscCopie->setObjectName(QStringLiteral("vscCopie"));
    vscCopie->setRange(-kCopieMassime, -1);
    vscCopie->setValue(-1);
    vscCopie->setFixedHeight(txtCopie->sizeHint().height());
    vscCopie->installEventFilter(this);
    connect(vscCopie, &QScrollBar::valueChanged, this, [this](int v) { txtCopie->setText(QString::number(-v)); });
    // Typing moves the bar along, so its arrows go on from the number in the box.
    connect(txtCopie, &QLineEdit::textChanged, this, [this](const QString& t) {
        bool ok = false;
        const int n = t.trimmed().toInt(&ok);
        if (!ok || n < 1 || n > kCopieMassime) return;
        const QSignalBlocker blocco(vscCopie);
        vscCopie->setValue(-n);
    });

    cmdOk = new QPushButton(QStringLiteral("&OK"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    cmdAnnulla = new QPushButton(this);
    cmdAnnulla->setObjectName(QStringLiteral("cmdAnnulla"));
    cmdImposta = new QPushButton(this);
    cmdImposta->setObjectName(QStringLiteral("cmdImposta"));
    cmdMargini = new QPushButton(this);
    cmdMargini->setObjectName(QStringLiteral("cmdMargini"));
    connect(cmdOk, &QPushButton::clicked, this, &frmStamporaDestinazioneStampa::cmdOk_Click);
    connect(cmdAnnulla, &QPushButton::clicked, this, &frmStamporaDestinazioneStampa::cmdAnnulla_Click);
    connect(cmdImposta, &QPushButton::clicked, this, &frmStamporaDestinazioneStampa::cmdImposta_Click);
    connect(cmdMargini, &QPushButton::clicked, this, &frmStamporaDestinazioneStampa::cmdMargini_Click);

    auto* dati = new QGridLayout;
    dati->addWidget(Label1[0], 0, 0);
    dati->addWidget(lblStampante, 0, 1, 1, 3);
    dati->addWidget(Label1[1], 1, 0);
    dati->addWidget(lblPercorso, 1, 1, 1, 3);
    dati->addWidget(Label2, 2, 0);
    auto* copie = new QHBoxLayout;
    copie->setSpacing(0);
    copie->addWidget(txtCopie);
    copie->addWidget(vscCopie);
    copie->addStretch();
    dati->addLayout(copie, 2, 1);
    dati->setColumnStretch(1, 1);

    auto* sinistra = new QVBoxLayout;
    sinistra->addWidget(Frame1);
    sinistra->addLayout(dati);
    auto* pulsanti = new QVBoxLayout;
    pulsanti->addWidget(cmdOk);
    pulsanti->addWidget(cmdAnnulla);
    pulsanti->addSpacing(12);
    pulsanti->addWidget(cmdImposta);
    pulsanti->addWidget(cmdMargini);
    pulsanti->addStretch();
    auto* principale = new QHBoxLayout(this);
    principale->addLayout(sinistra, 1);
    principale->addLayout(pulsanti);

    optTipoStampa[0]->setChecked(true);
    optTipoStampa_Click(0);
    Internazionalizza();
    adjustSize();
    modCartigo::CentraForm(this);
}

frmStamporaDestinazioneStampa::~frmStamporaDestinazioneStampa() = default;

void frmStamporaDestinazioneStampa::Internazionalizza()
{
    setWindowTitle(LoadResString(247));
    optTipoStampa[0]->setText(LoadResString(248));
    optTipoStampa[1]->setText(LoadResString(249));
    optTipoStampa[2]->setText(LoadResString(250));
    optTipoStampa[3]->setText(LoadResString(3190));
    optTipoStampa[4]->setText(LoadResString(3191));
    optTipoStampa[5]->setText(LoadResString(3192));
    txtIndirizzoZpl->setToolTip(LoadResString(3198));
    lblRisoluzioneZpl->setText(LoadResString(3193));
    Label2->setText(LoadResString(251));
    Label1[0]->setText(LoadResString(252));
    Label1[1]->setText(LoadResString(253));
    cmdAnnulla->setText(LoadResString(254));
    cmdImposta->setText(LoadResString(255));
    cmdMargini->setText(LoadResString(256));
}

void frmStamporaDestinazioneStampa::SetCurrentPrinter(const QString& nome)
{
    stampante_ = nome;
    lblStampante->setText(nome);
}

void frmStamporaDestinazioneStampa::SetPort(const QString& porta)
{
    porta_ = porta;
    lblPercorso->setText(porta);
}

void frmStamporaDestinazioneStampa::SetCopies(int copie)
{
    copie_ = copie;
    txtCopie->setText(QString::number(copie));
}

int frmStamporaDestinazioneStampa::OpzioneSelezionata() const
{
    for (int i = 0; i < kOpzioni; ++i)
        if (optTipoStampa[i]->isChecked()) return i;
    return -1;
}

void frmStamporaDestinazioneStampa::SelezionaOpzione(int indice)
{
    if (indice < 0 || indice >= kOpzioni) return;
    optTipoStampa[indice]->setChecked(true);
    optTipoStampa_Click(indice);
}

double frmStamporaDestinazioneStampa::RisoluzioneZpl() const
{
    return cmbRisoluzioneZpl->currentData().toDouble();
}

void frmStamporaDestinazioneStampa::SetRisoluzioneZpl(double dpi)
{
    if (!(dpi > 0)) return;
    int i = cmbRisoluzioneZpl->findData(dpi);
    if (i < 0) {  // a label's own resolution beside the usual ones
        cmbRisoluzioneZpl->addItem(QStringLiteral("%1 dpi").arg(dpi), dpi);
        i = cmbRisoluzioneZpl->count() - 1;
    }
    cmbRisoluzioneZpl->setCurrentIndex(i);
}

void frmStamporaDestinazioneStampa::optTipoStampa_Click(int indice)
{
    // ZPL's resolution counts for the ZPL options only; so does the address for its own.
    const bool zpl = indice >= 3;
    cmbRisoluzioneZpl->setEnabled(zpl);
    lblRisoluzioneZpl->setEnabled(zpl);
    txtIndirizzoZpl->setEnabled(indice == 4);
    if (indice == 4) txtIndirizzoZpl->setFocus();
    // The printer and ZPL make copies (ZPL as ^PQ); a preview and a file show them once.
    if (indice == 0 || zpl) {
        modCartigo::AbilitaCampo(txtCopie);
        vscCopie->setEnabled(true);
    } else {
        modCartigo::DisabilitaCampo(txtCopie);
        vscCopie->setEnabled(false);
        txtCopie->setText(QStringLiteral("1"));
    }
}

void frmStamporaDestinazioneStampa::copieDaTesto()
{
    bool ok = false;
    const int n = txtCopie->text().trimmed().toInt(&ok);
    copie_ = ok ? n : 0;
}

void frmStamporaDestinazioneStampa::cmdOk_Click()
{
    copieDaTesto();
    switch (OpzioneSelezionata()) {
        case 0:
            destinazione_ = 2;
            break;
        case 1:
            destinazione_ = 1;
            break;
        case 2:
        case 3: {
            const bool zpl = OpzioneSelezionata() == 3;
            const QString f = ScegliFileStampa(*ui_, cartellaFile_, zpl);
            if (f.isEmpty() || FileStampaProtetto(f, fileProtetti_, *ui_)) return;
            fileName_ = f;
            formato_ = zpl ? FormatoFileStampa::Zpl : FormatoFileStampa::DalNome;
            destinazione_ = 3;
            break;
        }
        case 4:
            // An address that cannot be one is said at once, and the dialog stays.
            if (!LeggiIndirizzoPorta(txtIndirizzoZpl->text())) {
                ui_->beep();
                ui_->messaggio(LoadResString(1914), windowTitle(), Pulsanti::Ok, Icona::Esclamazione);
                txtIndirizzoZpl->setFocus();
                txtIndirizzoZpl->selectAll();
                return;
            }
            indirizzoZpl_ = txtIndirizzoZpl->text().trimmed();
            destinazione_ = kDestinazionePortaZpl;
            break;
        case 5:
            if (stampante_.isEmpty()) {
                ui_->beep();
                ui_->messaggio(LoadResString(1432), windowTitle(), Pulsanti::Ok, Icona::Esclamazione);
                return;
            }
            destinazione_ = kDestinazioneCodaZpl;
            break;
        default:
            destinazione_ = 0;
            break;
    }
    accept();
}

void frmStamporaDestinazioneStampa::cmdAnnulla_Click()
{
    destinazione_ = 0;
    reject();
}

void frmStamporaDestinazioneStampa::cmdImposta_Click()
{
    copieDaTesto();
    destinazione_ = -1;
    accept();
}

void frmStamporaDestinazioneStampa::cmdMargini_Click()
{
    copieDaTesto();
    destinazione_ = -2;
    accept();
}

bool frmStamporaDestinazioneStampa::eventFilter(QObject* obj, QEvent* e)
{
    for (int i = 0; i < kOpzioni; ++i) {
        if (obj == imgOutput[i] && e->type() == QEvent::MouseButtonPress) {
            SelezionaOpzione(i);
            return true;
        }
    }
    // Leaving the copies box (after the input field's own handling) takes its number.
    if (obj == txtCopie && e->type() == QEvent::FocusOut) {
        const auto r = static_cast<QFocusEvent*>(e)->reason();
        if (r != Qt::ActiveWindowFocusReason && r != Qt::PopupFocusReason) copieDaTesto();
    }
    if (obj == vscCopie && e->type() == QEvent::FocusOut) copieDaTesto();
    return QDialog::eventFilter(obj, e);
}

void frmStamporaDestinazioneStampa::closeEvent(QCloseEvent* e)
{
    copieDaTesto();
    QDialog::closeEvent(e);
}

void frmStamporaDestinazioneStampa::DaRichiesta(const RichiestaDestinazioneStampa& r)
{
    SetCopies(r.Copies);
    SetCurrentPrinter(r.CurrentPrinter);
    SetPort(r.Port);
    fileProtetti_ = r.FileProtetti;
    cartellaFile_ = r.CartellaFile;
    txtIndirizzoZpl->setText(r.IndirizzoZpl);
    SetRisoluzioneZpl(r.RisoluzioneZpl);
    SelezionaOpzione(r.Opzione);
    // The copies written by the engine stand even when the option resets the field.
    if (r.Opzione == 0 || r.Opzione >= 3) SetCopies(r.Copies);
    destinazione_ = 0;
}

void frmStamporaDestinazioneStampa::InRichiesta(RichiestaDestinazioneStampa& r) const
{
    r.Copies = copie_;
    r.Opzione = OpzioneSelezionata();
    r.DestinazioneStampa = destinazione_;
    r.FileName = fileName_;
    r.FormatoFile = formato_;
    r.RisoluzioneZpl = RisoluzioneZpl();
    r.IndirizzoZpl = destinazione_ == kDestinazionePortaZpl ? indirizzoZpl_ : txtIndirizzoZpl->text().trimmed();
}

bool frmStamporaDestinazioneStampa::Mostra(RichiestaDestinazioneStampa& r, QWidget* genitore, Interazione* ui)
{
    frmStamporaDestinazioneStampa dlg(ui, genitore);
    dlg.DaRichiesta(r);
    dlg.exec();
    dlg.copieDaTesto();
    dlg.InRichiesta(r);
    return r.DestinazioneStampa != 0;
}

}  // namespace cartigo
