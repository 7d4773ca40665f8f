#include "layout/frmImpostaPagina.h"

#include "layout/ElencoProdotti.h"
#include "shell/Finestre.h"
#include "shell/StringTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QSpinBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <functional>

namespace cartigo {

namespace {

// The small drawing of the sheet the boxes describe.
class VistaFoglio : public QFrame {
public:
    VistaFoglio(std::function<LayoutEtichetta()> layout, QWidget* parent) : QFrame(parent), layout_(std::move(layout))
    {
        setFrameShape(QFrame::StyledPanel);
        setMinimumSize(150, 190);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    }

protected:
    void paintEvent(QPaintEvent* e) override
    {
        QFrame::paintEvent(e);
        QPainter p(this);
        DisegnaFoglio(p, QRectF(contentsRect()).adjusted(6, 6, -6, -6), layout_());
    }

private:
    std::function<LayoutEtichetta()> layout_;
};

// "Save as template": maker, code and description.
bool mostraSalvaModello(RichiestaSalvaModello& r, QWidget* genitore)
{
    QDialog dlg(genitore);
    dlg.setObjectName(QStringLiteral("frmSalvaModello"));
    dlg.setWindowTitle(LoadResString(1714));
    auto* modulo = new QFormLayout;
    QLineEdit* campi[3];
    const QString* valori[3] = {&r.marca, &r.codice, &r.descrizione};
    const char* nomi[3] = {"txtMarca", "txtCodice", "txtDescrizione"};
    for (int i = 0; i < 3; ++i) {
        campi[i] = new QLineEdit(*valori[i], &dlg);
        campi[i]->setObjectName(QLatin1String(nomi[i]));
        campi[i]->setMinimumWidth(260);
        modulo->addRow(LoadResString(1702 + i), campi[i]);
    }
    auto* pulsanti = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    QObject::connect(pulsanti, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(pulsanti, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    auto* principale = new QVBoxLayout(&dlg);
    principale->addLayout(modulo);
    principale->addWidget(pulsanti);
    modCartigo::CentraForm(&dlg);
    if (dlg.exec() != QDialog::Accepted) return false;
    r.marca = campi[0]->text();
    r.codice = campi[1]->text();
    r.descrizione = campi[2]->text();
    return true;
}

}  // namespace

frmImpostaPagina::frmImpostaPagina(Interazione* ui, QWidget* parent)
    : QDialog(parent),
      uiQt_(ui ? nullptr : std::make_unique<InterazioneQt>(this)),
      ui_(ui ? ui : uiQt_.get()),
      filtro_(new FiltroCampi(ui_, this))
{
    setObjectName(QStringLiteral("frmImpostaPagina"));
    setModal(true);

    // the catalogue
    fraCatalogo_ = new QGroupBox(this);
    lblCerca_ = new QLabel(fraCatalogo_);
    txtCerca_ = new QLineEdit(fraCatalogo_);
    txtCerca_->setObjectName(QStringLiteral("txtCerca"));
    txtCerca_->setClearButtonEnabled(true);
    lblCerca_->setBuddy(txtCerca_);
    elenco_ = new ElencoProdotti(this);
    lstProdotti_ = new QTableView(fraCatalogo_);
    lstProdotti_->setObjectName(QStringLiteral("lstProdotti"));
    lstProdotti_->setModel(elenco_);
    lstProdotti_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstProdotti_->setSelectionMode(QAbstractItemView::SingleSelection);
    lstProdotti_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstProdotti_->setAlternatingRowColors(true);
    lstProdotti_->setWordWrap(false);
    lstProdotti_->verticalHeader()->hide();
    lstProdotti_->verticalHeader()->setDefaultSectionSize(lstProdotti_->fontMetrics().height() + 6);
    lstProdotti_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    lstProdotti_->horizontalHeader()->setSectionResizeMode(ElencoProdotti::Descrizione, QHeaderView::Stretch);
    lstProdotti_->setMinimumSize(560, 190);
    picFoglio_ = new VistaFoglio([this] { return LayoutCorrente(); }, fraCatalogo_);
    picFoglio_->setObjectName(QStringLiteral("picFoglio"));
    notaProdotto_ = new QLabel(fraCatalogo_);
    notaProdotto_->setObjectName(QStringLiteral("lblNotaProdotto"));
    notaProdotto_->setWordWrap(true);
    cmdSalvaModello_ = new QPushButton(fraCatalogo_);
    cmdSalvaModello_->setObjectName(QStringLiteral("cmdSalvaModello"));
    cmdSalvaModello_->setAutoDefault(false);
    auto* grigliaCatalogo = new QGridLayout(fraCatalogo_);
    auto* cerca = new QHBoxLayout;
    cerca->addWidget(lblCerca_);
    cerca->addWidget(txtCerca_);
    grigliaCatalogo->addLayout(cerca, 0, 0);
    grigliaCatalogo->addWidget(lstProdotti_, 1, 0);
    grigliaCatalogo->addWidget(picFoglio_, 0, 1, 2, 1);
    grigliaCatalogo->addWidget(notaProdotto_, 2, 0);
    grigliaCatalogo->addWidget(cmdSalvaModello_, 2, 1, Qt::AlignTop);

    // the ten values
    fraLayout_ = new QGroupBox(this);
    fraOrigine_ = new QGroupBox(this);
    auto* grigliaLayout = new QGridLayout(fraLayout_);
    auto* grigliaOrigine = new QGridLayout(fraOrigine_);

    for (int i = 0; i < ValoriImpostaPagina::NumeroCampi; ++i) {
        const auto& c = ValoriImpostaPagina::Campi[size_t(i)];
        const bool origine = i >= 8;
        QWidget* cornice = origine ? static_cast<QWidget*>(fraOrigine_) : fraLayout_;
        auto* etichetta = new QLabel(cornice);
        auto* campo = new QLineEdit(cornice);
        campo->setObjectName(QString::fromLatin1(c.nome));
        campo->setAlignment(Qt::AlignRight);
        // Counts of labels take whole numbers only; measures the three-decimal mask.
        filtro_->Installa(campo, c.millimetri ? TipoCampo::Numerico : TipoCampo::Cifre);
        campo->setMaxLength(ValoriImpostaPagina::LunghezzaMassima);
        etichetta->setBuddy(campo);
        auto* unita = new QLabel(c.millimetri ? QStringLiteral("mm") : QString(), cornice);
        // Two columns: across, margins, size and gaps on the left for x, on the right for y.
        const int riga = origine ? 0 : i / 2;
        const int colonna = (i % 2) * 3;
        QGridLayout* g = origine ? grigliaOrigine : grigliaLayout;
        g->addWidget(etichetta, riga, colonna);
        g->addWidget(campo, riga, colonna + 1);
        g->addWidget(unita, riga, colonna + 2);
        campi_[size_t(i)] = campo;
        etichette_[size_t(i)] = etichetta;
        connect(campo, &QLineEdit::textChanged, this, [this] {
            if (!scrivendo_) aggiorna();
        });
    }
    chkUnaPerPagina_ = new QCheckBox(fraLayout_);
    chkUnaPerPagina_->setObjectName(QStringLiteral("chkUnaPerPagina"));
    grigliaLayout->addWidget(chkUnaPerPagina_, 4, 0, 1, 6);
    // the resolution barcodes are laid out for, and how much their bars are thinned
    lblRisoluzione_ = new QLabel(fraLayout_);
    cmbRisoluzione_ = new QComboBox(fraLayout_);
    cmbRisoluzione_->setObjectName(QStringLiteral("cmbRisoluzione"));
    cmbRisoluzione_->setEditable(true);
    cmbRisoluzione_->setInsertPolicy(QComboBox::NoInsert);
    lblRisoluzione_->setBuddy(cmbRisoluzione_);
    lblRiduzione_ = new QLabel(fraLayout_);
    txtRiduzione_ = new QLineEdit(fraLayout_);
    txtRiduzione_->setObjectName(QStringLiteral("txtRiduzione"));
    lblRiduzione_->setBuddy(txtRiduzione_);
    grigliaLayout->addWidget(lblRisoluzione_, 5, 0);
    grigliaLayout->addWidget(cmbRisoluzione_, 5, 1, 1, 2);
    grigliaLayout->addWidget(new QLabel(QStringLiteral("dpi"), fraLayout_), 5, 3);
    grigliaLayout->addWidget(lblRiduzione_, 6, 0);
    grigliaLayout->addWidget(txtRiduzione_, 6, 1, 1, 2);
    // the thermal printer
    fraTermica_ = new QGroupBox(this);
    fraTermica_->setObjectName(QStringLiteral("fraTermica"));
    auto* grigliaTermica = new QGridLayout(fraTermica_);
    spnScurezza_ = new QSpinBox(fraTermica_);
    spnScurezza_->setObjectName(QStringLiteral("spnScurezza"));
    spnScurezza_->setRange(-1, StampanteTermica::ScurezzaMassima);
    spnVelocita_ = new QSpinBox(fraTermica_);
    spnVelocita_->setObjectName(QStringLiteral("spnVelocita"));
    spnVelocita_->setRange(0, StampanteTermica::VelocitaMassima);
    cmbTipoSupporto_ = new QComboBox(fraTermica_);
    cmbTipoSupporto_->setObjectName(QStringLiteral("cmbTipoSupporto"));
    cmbRilevamento_ = new QComboBox(fraTermica_);
    cmbRilevamento_->setObjectName(QStringLiteral("cmbRilevamento"));
    txtSpostamentoAlto_ = new QLineEdit(fraTermica_);
    txtSpostamentoAlto_->setObjectName(QStringLiteral("txtSpostamentoAlto"));
    txtSpostamentoSinistra_ = new QLineEdit(fraTermica_);
    txtSpostamentoSinistra_->setObjectName(QStringLiteral("txtSpostamentoSinistra"));
    const std::array<QWidget*, 6> controlliTermica = {spnScurezza_,     spnVelocita_,        cmbTipoSupporto_,
                                                      cmbRilevamento_, txtSpostamentoAlto_, txtSpostamentoSinistra_};
    for (int i = 0; i < 6; ++i) {
        etichetteTermica_[size_t(i)] = new QLabel(fraTermica_);
        etichetteTermica_[size_t(i)]->setBuddy(controlliTermica[size_t(i)]);
        grigliaTermica->addWidget(etichetteTermica_[size_t(i)], i, 0);
        grigliaTermica->addWidget(controlliTermica[size_t(i)], i, 1);
    }
    grigliaTermica->addWidget(new QLabel(QStringLiteral("mm"), fraTermica_), 4, 2);
    grigliaTermica->addWidget(new QLabel(QStringLiteral("mm"), fraTermica_), 5, 2);
    notaTermica_ = new QLabel(fraTermica_);
    notaTermica_->setWordWrap(true);
    grigliaTermica->addWidget(notaTermica_, 6, 0, 1, 3);
    notaOrigine_ = new QLabel(fraOrigine_);
    notaOrigine_->setObjectName(QStringLiteral("lblNotaOrigine"));
    notaOrigine_->setWordWrap(true);
    grigliaOrigine->addWidget(notaOrigine_, 1, 0, 1, 6);
    // The same column widths in both frames, so the boxes line up.
    int etichettaMassima = 0;
    Internazionalizza();
    for (QLabel* e : etichette_) etichettaMassima = std::max(etichettaMassima, e->sizeHint().width());
    const int larghezzaCampo = campi_[0]->fontMetrics().horizontalAdvance(QStringLiteral("00.000.000,000")) + 12;
    for (QGridLayout* g : {grigliaLayout, grigliaOrigine}) {
        for (int c : {0, 3}) g->setColumnMinimumWidth(c, etichettaMassima);
        for (int c : {2, 5}) g->setColumnMinimumWidth(c, 24);
    }
    for (QLineEdit* c : campi_) c->setFixedWidth(larghezzaCampo);

    cmdOk_ = new QPushButton(QStringLiteral("Ok"), this);
    cmdOk_->setObjectName(QStringLiteral("cmdOk"));
    cmdOk_->setDefault(true);
    cmdCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel_->setAutoDefault(false);
    auto* pulsanti = new QHBoxLayout;
    pulsanti->addStretch();
    pulsanti->addWidget(cmdOk_);
    pulsanti->addWidget(cmdCancel_);

    auto* valori = new QHBoxLayout;
    valori->addWidget(fraLayout_);
    auto* destra = new QVBoxLayout;
    destra->addWidget(fraOrigine_);
    destra->addWidget(fraTermica_, 1);
    valori->addLayout(destra, 1);
    auto* principale = new QVBoxLayout(this);
    principale->addWidget(fraCatalogo_, 1);
    principale->addLayout(valori);
    principale->addLayout(pulsanti);
    setSizeGripEnabled(true);

    for (int i = 0; i + 1 < ValoriImpostaPagina::NumeroCampi; ++i)
        setTabOrder(campi_[size_t(i)], campi_[size_t(i + 1)]);
    setTabOrder(campi_.back(), cmbRisoluzione_);
    setTabOrder(cmbRisoluzione_, txtRiduzione_);
    setTabOrder(txtRiduzione_, spnScurezza_);
    for (std::size_t i = 0; i + 1 < controlliTermica.size(); ++i)
        setTabOrder(controlliTermica[i], controlliTermica[i + 1]);
    setTabOrder(txtSpostamentoSinistra_, cmdOk_);
    setTabOrder(cmdOk_, cmdCancel_);

    connect(cmdOk_, &QPushButton::clicked, this, &frmImpostaPagina::cmdOk_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmImpostaPagina::cmdCancel_Click);
    connect(cmdSalvaModello_, &QPushButton::clicked, this, &frmImpostaPagina::cmdSalvaModello_Click);
    connect(chkUnaPerPagina_, &QCheckBox::clicked, this, &frmImpostaPagina::chkUnaPerPagina_Click);
    txtCerca_->installEventFilter(this);
    connect(txtCerca_, &QLineEdit::textChanged, this, [this](const QString& testo) {
        elenco_->Filtra(testo);
        aggiorna();
    });
    connect(lstProdotti_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& indice) {
                if (!scrivendo_ && indice.isValid()) lstProdotti_Click(indice.row());
            });

    // The catalogue read once per run, in the background: the dialog works meanwhile,
    // and the products come in when it is read.
    cartelleSistema_ = CatalogoEtichette::CartelleSistema();
    cartellaUtente_ = CatalogoEtichette::CartellaUtente();
    CatalogoEtichette::AvviaLettura();
    if (!prendiCatalogoLetto()) {
        inLettura_ = true;
        attesaCatalogo_ = new QTimer(this);
        attesaCatalogo_->setInterval(100);
        connect(attesaCatalogo_, &QTimer::timeout, this, [this] {
            if (prendiCatalogoLetto()) attesaCatalogo_->stop();
        });
        attesaCatalogo_->start();
    }
    campi_[0]->setFocus(Qt::OtherFocusReason);
}

bool frmImpostaPagina::prendiCatalogoLetto()
{
    const auto letto = CatalogoEtichette::Letto();
    if (!letto) return false;
    inLettura_ = false;
    catalogo_ = *letto;
    mostraCatalogo();
    return true;
}

void frmImpostaPagina::mostraCatalogo()
{
    elenco_->ImpostaCatalogo(&catalogo_);
    elenco_->Filtra(txtCerca_->text());
    lstProdotti_->resizeColumnsToContents();
    aggiorna();
}

frmImpostaPagina::~frmImpostaPagina() = default;

void frmImpostaPagina::Internazionalizza()
{
    setWindowTitle(LoadResString(196));
    for (int i = 0; i < ValoriImpostaPagina::NumeroCampi; ++i)
        etichette_[size_t(i)]->setText(LoadResString(ValoriImpostaPagina::Campi[size_t(i)].idEtichetta));
    fraOrigine_->setTitle(LoadResString(205));
    fraCatalogo_->setTitle(LoadResString(1700));
    lblCerca_->setText(LoadResString(1701));
    cmdSalvaModello_->setText(LoadResString(1707));
    chkUnaPerPagina_->setText(LoadResString(1708));
    lblRisoluzione_->setText(LoadResString(2972));
    lblRiduzione_->setText(LoadResString(2973));
    txtRiduzione_->setPlaceholderText(LoadResString(2975));
    const QString risoluzione = cmbRisoluzione_->currentText();
    cmbRisoluzione_->clear();
    cmbRisoluzione_->addItems(
        {LoadResString(2974), QStringLiteral("203"), QStringLiteral("300"), QStringLiteral("600")});
    if (!risoluzione.isEmpty()) cmbRisoluzione_->setCurrentText(risoluzione);
    fraTermica_->setTitle(LoadResString(3142));
    for (int i = 0; i < 6; ++i) etichetteTermica_[size_t(i)]->setText(LoadResString(3143 + i));
    spnScurezza_->setSpecialValueText(LoadResString(3149));
    spnVelocita_->setSpecialValueText(LoadResString(3149));
    spnVelocita_->setSuffix(LoadResString(3155));
    for (QLineEdit* t : {txtSpostamentoAlto_, txtSpostamentoSinistra_}) t->setPlaceholderText(LoadResString(3149));
    txtSpostamentoAlto_->setToolTip(LoadResString(3156).arg(StampanteTermica::SpostamentoAltoMassimo));
    txtSpostamentoSinistra_->setToolTip(LoadResString(3157).arg(StampanteTermica::SpostamentoSinistraMassimo));
    notaTermica_->setText(LoadResString(3158));
    const auto voci = [](QComboBox* c, std::initializer_list<int> id) {
        const int scelta = std::max(0, c->currentIndex());
        c->clear();
        c->addItem(LoadResString(3149));
        for (int i : id) c->addItem(LoadResString(i));
        c->setCurrentIndex(scelta);
    };
    voci(cmbTipoSupporto_, {3150, 3151});
    voci(cmbRilevamento_, {3152, 3153, 3154});
    aggiorna();
}

void frmImpostaPagina::CaricaCatalogo(const QStringList& cartelleSistema, const QString& cartellaUtente)
{
    if (attesaCatalogo_) attesaCatalogo_->stop();  // these folders, not the run's catalogue
    inLettura_ = false;
    cartelleSistema_ = cartelleSistema;
    cartellaUtente_ = cartellaUtente;
    catalogo_.Carica(cartelleSistema, cartellaUtente);
    mostraCatalogo();
}

void frmImpostaPagina::CaricaLayout(const LayoutEtichetta& layout)
{
    layout_ = layout;
    valori_.CaricaLayout(layout, ImpostazioniLocali::correnti());
    scriviCampi();
    aggiorna();
}

LayoutEtichetta frmImpostaPagina::LayoutCorrente() const
{
    ValoriImpostaPagina v = valori_;
    for (int i = 0; i < ValoriImpostaPagina::NumeroCampi; ++i) v.testi[size_t(i)] = campi_[size_t(i)]->text();
    v.risoluzione = cmbRisoluzione_->currentText();
    v.riduzione = txtRiduzione_->text();
    leggiTermica(v);
    return v.Layout(ImpostazioniLocali::correnti());
}

void frmImpostaPagina::leggiTermica(ValoriImpostaPagina& v) const
{
    StampanteTermica& t = v.supporto.Termica;
    t.Scurezza = spnScurezza_->value();
    t.Velocita = spnVelocita_->value();
    t.TipoSupporto = static_cast<StampanteTermica::Supporto>(std::max(0, cmbTipoSupporto_->currentIndex()));
    t.TipoRilevamento = static_cast<StampanteTermica::Rilevamento>(std::max(0, cmbRilevamento_->currentIndex()));
    v.spostamentoAlto = txtSpostamentoAlto_->text();
    v.spostamentoSinistra = txtSpostamentoSinistra_->text();
}

void frmImpostaPagina::leggiCampi()
{
    for (int i = 0; i < ValoriImpostaPagina::NumeroCampi; ++i) valori_.testi[size_t(i)] = campi_[size_t(i)]->text();
    valori_.risoluzione = cmbRisoluzione_->currentText();
    valori_.riduzione = txtRiduzione_->text();
    leggiTermica(valori_);
}

void frmImpostaPagina::scriviCampi()
{
    scrivendo_ = true;
    for (int i = 0; i < ValoriImpostaPagina::NumeroCampi; ++i) campi_[size_t(i)]->setText(valori_.testi[size_t(i)]);
    cmbRisoluzione_->setCurrentText(valori_.risoluzione);
    txtRiduzione_->setText(valori_.riduzione);
    const StampanteTermica& t = valori_.supporto.Termica;
    spnScurezza_->setValue(t.Scurezza);
    spnVelocita_->setValue(t.Velocita);
    cmbTipoSupporto_->setCurrentIndex(int(t.TipoSupporto));
    cmbRilevamento_->setCurrentIndex(int(t.TipoRilevamento));
    txtSpostamentoAlto_->setText(valori_.spostamentoAlto);
    txtSpostamentoSinistra_->setText(valori_.spostamentoSinistra);
    scrivendo_ = false;
}

// The row of the product the labels are on, without choosing it again.
void frmImpostaPagina::selezionaProdotto(const QString& nome)
{
    const int riga = nome.isEmpty() ? -1 : elenco_->Riga(nome);
    if (riga == lstProdotti_->currentIndex().row()) return;
    scrivendo_ = true;
    if (riga >= 0) {
        lstProdotti_->selectRow(riga);
        lstProdotti_->scrollTo(elenco_->index(riga, 0));
    } else {
        lstProdotti_->clearSelection();
        lstProdotti_->setCurrentIndex(QModelIndex());
    }
    scrivendo_ = false;
}

// The boxes a roll does not use, the notes and the drawing, after any change.
void frmImpostaPagina::aggiorna()
{
    if (!chkUnaPerPagina_) return;  // still being built
    const LayoutEtichetta l = LayoutCorrente();
    chkUnaPerPagina_->setChecked(l.UnaPerPagina);
    selezionaProdotto(l.Prodotto);  // none once the boxes no longer describe it
    for (int i = 0; i < ValoriImpostaPagina::NumeroCampi; ++i)
        if (ValoriImpostaPagina::SoloFoglio(i)) campi_[size_t(i)]->setEnabled(!l.UnaPerPagina);
    notaOrigine_->setText(l.UnaPerPagina ? LoadResString(1713) : LoadResString(1315).arg(SpostamentoStampaX));

    QStringList nota;
    if (inLettura_)
        nota << LoadResString(1723);
    else if (catalogo_.Vuoto())
        nota << LoadResString(1709);
    if (const ProdottoEtichetta* p = l.Prodotto.isEmpty() ? nullptr : catalogo_.Trova(l.Prodotto)) {
        const QString nome =
            p->descrizione.isEmpty() ? p->Nome() : p->Nome() + QStringLiteral(" (") + p->descrizione + QLatin1Char(')');
        if (l.UnaPerPagina) {
            nota << LoadResString(1711).arg(nome);
        } else {
            const QString pagina =
                p->pagina.isEmpty() || p->pagina == QLatin1String("Other")
                    ? TestoMisura(l.LarghezzaPagina, l.AltezzaPagina, ImpostazioniLocali::correnti().decimale) +
                          QStringLiteral(" mm")
                    : p->pagina;
            const int etichette = p->colonne * p->righe;
            nota << (etichette == 1 ? LoadResString(1722).arg(nome, pagina)
                                    : LoadResString(1710).arg(nome).arg(etichette).arg(pagina));
        }
        if (p->disposizioni > 1) nota << LoadResString(1712).arg(p->disposizioni);
    }
    if (!notaSalvataggio_.isEmpty()) nota << notaSalvataggio_;
    if (!catalogo_.Errori().empty()) {
        QStringList file;
        for (const auto& e : catalogo_.Errori())
            if (!file.contains(e.file)) file << e.file;
        nota << LoadResString(1719).arg(file.join(QStringLiteral(", ")));
    }
    notaProdotto_->setText(nota.join(QLatin1Char(' ')));
    picFoglio_->update();
}

// Enter in the search box is not the dialog's Ok: it chooses the first product found (unless
// one of the list is chosen already) and goes on to the list.
bool frmImpostaPagina::eventFilter(QObject* oggetto, QEvent* evento)
{
    if (oggetto == txtCerca_ && evento->type() == QEvent::KeyPress) {
        const int tasto = static_cast<QKeyEvent*>(evento)->key();
        if (tasto == Qt::Key_Return || tasto == Qt::Key_Enter) {
            if (elenco_->rowCount() > 0) {
                if (!lstProdotti_->currentIndex().isValid()) lstProdotti_->selectRow(0);
                lstProdotti_->setFocus(Qt::OtherFocusReason);
            }
            return true;
        }
    }
    return QDialog::eventFilter(oggetto, evento);
}

void frmImpostaPagina::lstProdotti_Click(int riga)
{
    const ProdottoEtichetta* p = elenco_->Prodotto(riga);
    if (!p) return;
    leggiTermica(valori_);  // a product does not change the printer's settings
    valori_.ApplicaProdotto(*p, ImpostazioniLocali::correnti());
    notaSalvataggio_.clear();
    scriviCampi();
    aggiorna();
}

void frmImpostaPagina::chkUnaPerPagina_Click()
{
    leggiCampi();
    valori_.supporto.UnaPerPagina = chkUnaPerPagina_->isChecked();
    aggiorna();
}

// The boxes read and checked as Ok checks them; the focus goes to the first wrong one.
bool frmImpostaPagina::verificaCampi()
{
    leggiCampi();
    const int errato = valori_.Verifica_campi_obbligatori(*ui_, windowTitle(), ImpostazioniLocali::correnti());
    if (errato >= 0) {
        campi_[size_t(errato)]->setFocus(Qt::OtherFocusReason);
        return false;
    }
    const int stampa = valori_.VerificaStampa(*ui_, windowTitle());
    if (stampa == 1) cmbRisoluzione_->setFocus(Qt::OtherFocusReason);
    if (stampa == 2) txtRiduzione_->setFocus(Qt::OtherFocusReason);
    if (stampa == 3) txtSpostamentoAlto_->setFocus(Qt::OtherFocusReason);
    if (stampa == 4) txtSpostamentoSinistra_->setFocus(Qt::OtherFocusReason);
    return stampa == 0;
}

void frmImpostaPagina::cmdSalvaModello_Click()
{
    if (!verificaCampi()) return;
    const auto salvato =
        SalvaComeModello(valori_.Layout(ImpostazioniLocali::correnti()), cartellaUtente_, *ui_, windowTitle());
    if (!salvato) return;
    if (attesaCatalogo_) attesaCatalogo_->stop();
    inLettura_ = false;
    catalogo_.Carica(cartelleSistema_, cartellaUtente_);
    CatalogoEtichette::Rileggi();  // the next dialogs of this run have it too
    elenco_->ImpostaCatalogo(&catalogo_);
    elenco_->Filtra(txtCerca_->text());
    if (const ProdottoEtichetta* p = catalogo_.Trova(salvato->nome)) valori_.AdottaProdotto(*p);
    notaSalvataggio_ = LoadResString(1720).arg(salvato->nome, QDir::toNativeSeparators(salvato->file));
    aggiorna();
}

void frmImpostaPagina::cmdOk_Click()
{
    if (!verificaCampi()) return;
    valori_.SalvaLayout(layout_, ImpostazioniLocali::correnti());
    premutoOk_ = true;
    accept();
}

void frmImpostaPagina::cmdCancel_Click()
{
    reject();
}

void frmImpostaPagina::Registra()
{
    InterazioneQt::RegistraDialogo(RichiestaImpostaPagina::Nome, [](RichiestaDialogo& r, QWidget* genitore) {
        auto* richiesta = dynamic_cast<RichiestaImpostaPagina*>(&r);
        if (!richiesta) return false;
        frmImpostaPagina dlg(nullptr, genitore);
        dlg.CaricaLayout(richiesta->layout);
        dlg.adjustSize();
        modCartigo::CentraForm(&dlg);
        // The pointer of the command that opened the dialog goes back to normal.
        modCartigo::CursoreNormale();
        dlg.exec();
        if (!dlg.PremutoOk()) return false;
        richiesta->layout = dlg.Layout();
        return true;
    });
    InterazioneQt::RegistraDialogo(RichiestaSalvaModello::Nome, [](RichiestaDialogo& r, QWidget* genitore) {
        auto* richiesta = dynamic_cast<RichiestaSalvaModello*>(&r);
        return richiesta && mostraSalvaModello(*richiesta, genitore);
    });
}

}  // namespace cartigo
