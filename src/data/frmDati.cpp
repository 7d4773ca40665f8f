#include "data/frmDati.h"

#include "layout/FiltroCampi.h"
#include "shell/Finestre.h"
#include "shell/InterazioneQt.h"
#include "shell/StringTable.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace cartigo {

namespace {

// The text boxes of the data dialogs: yellow with the text selected while focused,
// white and trimmed on leaving; no key filter.
void comportamento(QLineEdit* campo, Interazione& ui, QObject* dialogo)
{
    auto* filtro = dialogo->findChild<FiltroCampi*>(QString(), Qt::FindDirectChildrenOnly);
    if (!filtro) filtro = new FiltroCampi(&ui, dialogo);
    filtro->Installa(campo, TipoCampo::Testo);
}

QString testoAnnulla()
{
    return LinguaCorrente() == Lingua::Italiano ? QStringLiteral("Annulla") : QStringLiteral("Cancel");
}

QHBoxLayout* pulsanti(std::initializer_list<QPushButton*> elenco)
{
    auto* riga = new QHBoxLayout;
    riga->addStretch();
    for (QPushButton* p : elenco) riga->addWidget(p);
    return riga;
}

template <typename Dialogo, typename Richiesta>
void registra()
{
    InterazioneQt::RegistraDialogo(Richiesta().nome(), [](RichiestaDialogo& r, QWidget* genitore) {
        InterazioneQt ui(genitore);
        Dialogo d(static_cast<Richiesta&>(r), ui, genitore);
        ui.impostaFinestra(&d);
        d.exec();
        return static_cast<Richiesta&>(r).Confermato;
    });
}

}  // namespace

void RegistraDialoghiDati()
{
    static bool fatto = false;
    if (fatto) return;
    fatto = true;
    registra<frmConnettiDBMDB, RichiestaConnettiDB>();
    registra<frmPasswordDB, RichiestaPasswordDatabase>();
    registra<frmSelezionaTabella, RichiestaSelezionaTabella>();
    registra<frmCollegaCampo, RichiestaCollegaCampo>();
    registra<frmSelezioneRecords, RichiestaSelezioneRecords>();
}

// --- frmConnettiDBMDB ---

frmConnettiDBMDB::frmConnettiDBMDB(RichiestaConnettiDB& r, Interazione& ui, QWidget* parent)
    : QDialog(parent), r_(r), ui_(ui)
{
    setObjectName(QStringLiteral("frmConnettiDBMDB"));
    setWindowTitle(LoadResString(194));
    txtNomeFileDB = new QLineEdit(r.txtNomeFileDB, this);
    txtNomeFileDB->setObjectName(QStringLiteral("txtNomeFileDB"));
    txtNomeFileDB->setMinimumWidth(360);
    txtPasswordDB = new QLineEdit(r.txtPasswordDB, this);
    txtPasswordDB->setObjectName(QStringLiteral("txtPasswordDB"));
    txtPasswordDB->setEchoMode(QLineEdit::Password);
    txtPasswordDB->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));  // "*"
    comportamento(txtNomeFileDB, ui, this);
    comportamento(txtPasswordDB, ui, this);
    cmdSfoglia = new QPushButton(LoadResString(195), this);
    cmdSfoglia->setObjectName(QStringLiteral("cmdSfoglia"));
    cmdOk = new QPushButton(QStringLiteral("OK"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    cmdCancel = new QPushButton(testoAnnulla(), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* label1 = new QLabel(QStringLiteral("Password database"), this);
    label1->setObjectName(QStringLiteral("Label1"));

    auto* g = new QGridLayout(this);
    g->addWidget(txtNomeFileDB, 0, 0);
    g->addWidget(cmdSfoglia, 0, 1);
    g->addWidget(label1, 1, 0);
    g->addWidget(txtPasswordDB, 2, 0);
    g->addLayout(pulsanti({cmdOk, cmdCancel}), 3, 0, 1, 2);

    connect(cmdOk, &QPushButton::clicked, this, &frmConnettiDBMDB::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdSfoglia, &QPushButton::clicked, this, &frmConnettiDBMDB::cmdSfoglia_Click);
    adjustSize();
    modCartigo::CentraForm(this);
}

void frmConnettiDBMDB::cmdSfoglia_Click()
{
    txtNomeFileDB->setText(RichiestaConnettiDB::cmdSfoglia(txtNomeFileDB->text(), ui_, windowTitle()));
}

void frmConnettiDBMDB::cmdOk_Click()
{
    if (r_.cmdOk(txtNomeFileDB->text(), txtPasswordDB->text(), ui_, windowTitle()))
        accept();
    else
        txtNomeFileDB->setFocus();
}

// --- frmPasswordDB ---

frmPasswordDB::frmPasswordDB(RichiestaPasswordDatabase& r, Interazione& ui, QWidget* parent) : QDialog(parent), r_(r)
{
    setObjectName(QStringLiteral("frmPasswordDB"));
    setWindowTitle(LoadResString(1815));
    auto* motivo = new QLabel(r.Motivo, this);
    motivo->setObjectName(QStringLiteral("lblMotivo"));
    motivo->setWordWrap(true);
    lblIndirizzo = new QLabel(LoadResString(1816).arg(r.Indirizzo), this);
    lblIndirizzo->setObjectName(QStringLiteral("lblIndirizzo"));
    txtPassword = new QLineEdit(this);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setEchoMode(QLineEdit::Password);
    txtPassword->setMinimumWidth(300);
    lblIndirizzo->setBuddy(txtPassword);
    comportamento(txtPassword, ui, this);
    cmdOk = new QPushButton(QStringLiteral("OK"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setDefault(true);
    cmdCancel = new QPushButton(testoAnnulla(), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(motivo);
    lay->addWidget(lblIndirizzo);
    lay->addWidget(txtPassword);
    lay->addLayout(pulsanti({cmdOk, cmdCancel}));
    connect(cmdOk, &QPushButton::clicked, this, [this] {
        r_.Password = txtPassword->text();
        r_.Confermato = true;
        accept();
    });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    adjustSize();
    modCartigo::CentraForm(this);
}

// --- frmSelezionaTabella ---

frmSelezionaTabella::frmSelezionaTabella(RichiestaSelezionaTabella& r, Interazione& ui, QWidget* parent)
    : QDialog(parent), r_(r), ui_(ui)
{
    setObjectName(QStringLiteral("frmSelezionaTabella"));
    setWindowTitle(LoadResString(218));
    lstTabelle = new QListWidget(this);
    lstTabelle->setObjectName(QStringLiteral("lstTabelle"));
    lstTabelle->addItems(r.lstTabelle);
    if (r.selezionata >= 0)
        lstTabelle->setCurrentRow(r.selezionata);
    else
        lstTabelle->setCurrentRow(-1);
    cmdOk = new QPushButton(QStringLiteral("OK"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdCancel = new QPushButton(testoAnnulla(), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* v = new QVBoxLayout(this);
    v->addWidget(lstTabelle);
    v->addLayout(pulsanti({cmdOk, cmdCancel}));
    connect(cmdOk, &QPushButton::clicked, this, &frmSelezionaTabella::cmdOk_Click);
    connect(lstTabelle, &QListWidget::itemDoubleClicked, this, &frmSelezionaTabella::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(320, 360);
    modCartigo::CentraForm(this);
}

void frmSelezionaTabella::cmdOk_Click()
{
    const int i = lstTabelle->currentItem() && lstTabelle->currentItem()->isSelected() ? lstTabelle->currentRow() : -1;
    if (r_.cmdOk(i, ui_, windowTitle()))
        accept();
    else
        lstTabelle->setFocus();
}

// --- frmCollegaCampo ---

frmCollegaCampo::frmCollegaCampo(RichiestaCollegaCampo& r, Interazione& ui, QWidget* parent)
    : QDialog(parent), r_(r), ui_(ui)
{
    setObjectName(QStringLiteral("frmCollegaCampo"));
    setWindowTitle(LoadResString(191));
    lstCampi = new QListWidget(this);
    lstCampi->setObjectName(QStringLiteral("lstCampi"));
    lstCampi->addItems(r.lstCampi);
    lstCampi->setCurrentRow(r.selezionato);
    cmdOk = new QPushButton(LoadResString(193), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdScollega = new QPushButton(LoadResString(192), this);
    cmdScollega->setObjectName(QStringLiteral("cmdScollega"));
    cmdCancel = new QPushButton(testoAnnulla(), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* v = new QVBoxLayout(this);
    v->addWidget(lstCampi);
    v->addLayout(pulsanti({cmdOk, cmdScollega, cmdCancel}));
    connect(cmdOk, &QPushButton::clicked, this, &frmCollegaCampo::cmdOk_Click);
    connect(lstCampi, &QListWidget::itemDoubleClicked, this, &frmCollegaCampo::cmdOk_Click);
    connect(cmdScollega, &QPushButton::clicked, this, [this] {
        r_.cmdScollega();
        accept();
    });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(320, 360);
    modCartigo::CentraForm(this);
}

void frmCollegaCampo::cmdOk_Click()
{
    const int i = lstCampi->currentItem() && lstCampi->currentItem()->isSelected() ? lstCampi->currentRow() : -1;
    if (r_.cmdOk(i, ui_, windowTitle()))
        accept();
    else
        lstCampi->setFocus();
}

// --- frmSelezioneRecords ---

frmSelezioneRecords::frmSelezioneRecords(RichiestaSelezioneRecords& r, Interazione& ui, QWidget* parent)
    : QDialog(parent), r_(r), ui_(ui)
{
    setObjectName(QStringLiteral("frmSelezioneRecords"));
    setWindowTitle(LoadResString(219));
    Label1 = new QLabel(LoadResString(220), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    cmbCampi = new QComboBox(this);
    cmbCampi->setObjectName(QStringLiteral("cmbCampi"));
    cmbCampi->addItems(r.cmbCampi);
    cmbCampi->setCurrentIndex(r.selezionato);
    Frame1 = new QGroupBox(LoadResString(221), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Label2 = new QLabel(LoadResString(225), Frame1);
    Label2->setObjectName(QStringLiteral("Label2"));
    const int id[3] = {222, 223, 224};
    for (int i = 0; i < 3; ++i) {
        optCriteri[size_t(i)] = new QRadioButton(LoadResString(id[i]), Frame1);
        optCriteri[size_t(i)]->setObjectName(QStringLiteral("optCriteri%1").arg(i));
        txtCampo[size_t(i)] = new QLineEdit(r.txtCampo[size_t(i)], Frame1);
        txtCampo[size_t(i)]->setObjectName(QStringLiteral("txtCampo%1").arg(i));
        comportamento(txtCampo[size_t(i)], ui, this);
        modCartigo::DisabilitaCampo(txtCampo[size_t(i)]);
    }
    auto* g = new QGridLayout(Frame1);
    g->addWidget(optCriteri[0], 0, 0, 1, 4);
    g->addWidget(optCriteri[1], 1, 0);
    g->addWidget(txtCampo[0], 1, 1, 1, 3);
    g->addWidget(optCriteri[2], 2, 0);
    g->addWidget(txtCampo[1], 2, 1);
    g->addWidget(Label2, 2, 2);
    g->addWidget(txtCampo[2], 2, 3);
    cmdOk = new QPushButton(QStringLiteral("OK"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdCancel = new QPushButton(testoAnnulla(), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* v = new QVBoxLayout(this);
    auto* riga = new QHBoxLayout;
    riga->addWidget(Label1);
    riga->addWidget(cmbCampi, 1);
    v->addLayout(riga);
    v->addWidget(Frame1);
    v->addLayout(pulsanti({cmdOk, cmdCancel}));
    for (int i = 0; i < 3; ++i)
        connect(optCriteri[size_t(i)], &QRadioButton::clicked, this, [this, i] { optCriteri_Click(i); });
    connect(cmdOk, &QPushButton::clicked, this, &frmSelezioneRecords::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    if (r.optCriteri >= 0 && r.optCriteri <= 2) {
        optCriteri[size_t(r.optCriteri)]->setChecked(true);
        optCriteri_Click(r.optCriteri);
    }
    adjustSize();
    modCartigo::CentraForm(this);
}

void frmSelezioneRecords::optCriteri_Click(int indice)
{
    const auto abilitati = RichiestaSelezioneRecords::CampiAbilitati(indice);
    for (int i = 0; i < 3; ++i) {
        if (abilitati[size_t(i)])
            modCartigo::AbilitaCampo(txtCampo[size_t(i)]);
        else
            modCartigo::DisabilitaCampo(txtCampo[size_t(i)]);
    }
}

int frmSelezioneRecords::CriterioScelto() const
{
    for (int i = 0; i < 3; ++i)
        if (optCriteri[size_t(i)]->isChecked()) return i;
    return -1;
}

void frmSelezioneRecords::cmdOk_Click()
{
    int vuoto = -1;
    const std::array<QString, 3> testi = {txtCampo[0]->text(), txtCampo[1]->text(), txtCampo[2]->text()};
    if (r_.cmdOk(cmbCampi->currentText(), CriterioScelto(), testi, ui_, windowTitle(), &vuoto)) {
        accept();
        return;
    }
    if (vuoto == 0)
        cmbCampi->setFocus();
    else if (vuoto == 1)
        txtCampo[0]->setFocus();
}

}  // namespace cartigo
