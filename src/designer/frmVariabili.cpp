#include "designer/frmVariabili.h"

#include "shell/Finestre.h"
#include "shell/InterazioneQt.h"
#include "shell/StringTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace cartigo {

namespace {
QComboBox* scelte(QWidget* genitore, const QString& nome, std::initializer_list<int> testi)
{
    auto* c = new QComboBox(genitore);
    c->setObjectName(nome);
    for (const int id : testi) c->addItem(LoadResString(id));
    return c;
}
QSpinBox* numero(QWidget* genitore, const QString& nome, int minimo, int massimo)
{
    auto* s = new QSpinBox(genitore);
    s->setObjectName(nome);
    s->setRange(minimo, massimo);
    return s;
}
QLineEdit* riga(QWidget* genitore, const QString& nome)
{
    auto* t = new QLineEdit(genitore);
    t->setObjectName(nome);
    return t;
}
}  // namespace

frmVariabili::frmVariabili(RichiestaVariabili& r, Interazione& ui, QWidget* parent)
    : QDialog(parent), r_(r), ui_(ui), variabili_(r.variabili)
{
    setObjectName(QStringLiteral("frmVariabili"));
    setWindowTitle(LoadResString(2801));
    auto* lay = new QVBoxLayout(this);
    auto* corpo = new QHBoxLayout;
    lay->addLayout(corpo);

    // the list, with Add and Remove under it
    auto* sinistra = new QVBoxLayout;
    lista_ = new QListWidget(this);
    lista_->setObjectName(QStringLiteral("lstVariabili"));
    sinistra->addWidget(lista_);
    auto* pulsanti = new QHBoxLayout;
    auto* aggiungi = new QPushButton(LoadResString(2828), this);
    aggiungi->setObjectName(QStringLiteral("cmdAggiungi"));
    auto* elimina = new QPushButton(LoadResString(2829), this);
    elimina->setObjectName(QStringLiteral("cmdElimina"));
    pulsanti->addWidget(aggiungi);
    pulsanti->addWidget(elimina);
    sinistra->addLayout(pulsanti);
    corpo->addLayout(sinistra);

    // the variable's name, kind and the settings of its kind
    auto* destra = new QVBoxLayout;
    auto* testa = new QFormLayout;
    nome_ = riga(this, QStringLiteral("txtNome"));
    tipo_ = scelte(this, QStringLiteral("cmbTipo"), {2804, 2805, 2806});
    testa->addRow(LoadResString(2802), nome_);
    testa->addRow(LoadResString(2803), tipo_);
    destra->addLayout(testa);
    pagine_ = new QStackedWidget(this);

    auto* pContatore = new QWidget(pagine_);
    auto* fc = new QFormLayout(pContatore);
    inizio_ = riga(pContatore, QStringLiteral("txtInizio"));
    passo_ = riga(pContatore, QStringLiteral("txtPasso"));
    for (QLineEdit* t : {inizio_, passo_})
        t->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?[0-9]{0,18}")), t));
    cifre_ = numero(pContatore, QStringLiteral("spnCifre"), 0, 18);
    avanza_ = scelte(pContatore, QStringLiteral("cmbAvanza"), {2811, 2812, 2813, 2814});
    continua_ = new QCheckBox(LoadResString(2815), pContatore);
    continua_->setObjectName(QStringLiteral("chkContinua"));
    fc->addRow(LoadResString(2807), inizio_);
    fc->addRow(LoadResString(2808), passo_);
    fc->addRow(LoadResString(2809), cifre_);
    fc->addRow(LoadResString(2810), avanza_);
    fc->addRow(continua_);
    pagine_->addWidget(pContatore);

    auto* pData = new QWidget(pagine_);
    auto* fd = new QFormLayout(pData);
    formato_ = riga(pData, QStringLiteral("txtFormato"));
    spostamento_ = numero(pData, QStringLiteral("spnSpostamento"), -100000, 100000);
    unita_ = scelte(pData, QStringLiteral("cmbUnita"), {2818, 2819, 2820});
    auto* sposta = new QHBoxLayout;
    sposta->addWidget(spostamento_);
    sposta->addWidget(unita_);
    fd->addRow(LoadResString(2816), formato_);
    fd->addRow(LoadResString(2817), sposta);
    pagine_->addWidget(pData);

    auto* pRichiesta = new QWidget(pagine_);
    auto* fr = new QFormLayout(pRichiesta);
    domanda_ = riga(pRichiesta, QStringLiteral("txtDomanda"));
    predefinito_ = riga(pRichiesta, QStringLiteral("txtPredefinito"));
    regola_ = scelte(pRichiesta, QStringLiteral("cmbRegola"), {2824, 2825, 2826});
    minima_ = numero(pRichiesta, QStringLiteral("spnMinima"), 0, 32767);
    massima_ = numero(pRichiesta, QStringLiteral("spnMassima"), 0, 32767);
    auto* lunghezza = new QHBoxLayout;
    lunghezza->addWidget(minima_);
    lunghezza->addWidget(new QLabel(LoadResString(2827), pRichiesta));
    lunghezza->addWidget(massima_);
    fr->addRow(LoadResString(2821), domanda_);
    fr->addRow(LoadResString(2822), predefinito_);
    fr->addRow(LoadResString(2823), regola_);
    fr->addRow(QString(), lunghezza);
    pagine_->addWidget(pRichiesta);
    destra->addWidget(pagine_);
    esempio_ = new QLabel(this);
    esempio_->setObjectName(QStringLiteral("lblEsempio"));
    destra->addWidget(esempio_);
    destra->addStretch();
    corpo->addLayout(destra, 1);

    avviso_ = new QLabel(this);
    avviso_->setObjectName(QStringLiteral("lblAvviso"));
    avviso_->setWordWrap(true);
    lay->addWidget(avviso_);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    box->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOk"));
    connect(box, &QDialogButtonBox::accepted, this, &frmVariabili::cmdOk_Click);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    lay->addWidget(box);

    for (const VariabileEtichetta& v : variabili_) lista_->addItem(v.Nome);
    connect(lista_, &QListWidget::currentRowChanged, this, [this](int riga) {
        leggi();
        mostra(riga);
    });
    connect(aggiungi, &QPushButton::clicked, this, [this] { Aggiungi(); });
    connect(elimina, &QPushButton::clicked, this, &frmVariabili::Elimina);
    const auto cambiato = [this] {
        leggi();
        if (corrente_ >= 0) pagine_->setCurrentIndex(int(variabili_[corrente_].Tipo));
    };
    for (QLineEdit* t : {nome_, inizio_, passo_, formato_, domanda_, predefinito_})
        connect(t, &QLineEdit::textEdited, this, cambiato);
    for (QComboBox* c : {tipo_, avanza_, unita_, regola_})
        connect(c, &QComboBox::currentIndexChanged, this, cambiato);
    for (QSpinBox* s : {cifre_, spostamento_, minima_, massima_}) connect(s, &QSpinBox::valueChanged, this, cambiato);
    connect(continua_, &QCheckBox::toggled, this, cambiato);
    lista_->setCurrentRow(variabili_.isEmpty() ? -1 : 0);
    mostra(lista_->currentRow());
    aggiornaAvviso();
    resize(560, 360);
    modCartigo::CentraForm(this);
}

void frmVariabili::mostra(int riga)
{
    corrente_ = riga;
    const bool c = riga >= 0 && riga < variabili_.size();
    for (QWidget* w : std::initializer_list<QWidget*>{nome_, tipo_, pagine_}) w->setEnabled(c);
    const VariabileEtichetta v = c ? variabili_[riga] : VariabileEtichetta{};
    carica_ = true;
    nome_->setText(v.Nome);
    tipo_->setCurrentIndex(int(v.Tipo));
    pagine_->setCurrentIndex(int(v.Tipo));
    inizio_->setText(QString::number(v.Inizio));
    passo_->setText(QString::number(v.Passo));
    cifre_->setValue(v.Cifre);
    avanza_->setCurrentIndex(int(v.Avanza));
    continua_->setChecked(v.Continua);
    formato_->setText(v.Formato);
    spostamento_->setValue(v.Spostamento);
    unita_->setCurrentIndex(int(v.Unita));
    domanda_->setText(v.Domanda);
    predefinito_->setText(v.Predefinito);
    regola_->setCurrentIndex(int(v.Regola));
    minima_->setValue(v.LunghezzaMinima);
    massima_->setValue(v.LunghezzaMassima);
    carica_ = false;
    leggi();
}

void frmVariabili::leggi()
{
    if (carica_ || corrente_ < 0 || corrente_ >= variabili_.size()) {
        esempio_->clear();
        return;
    }
    VariabileEtichetta& v = variabili_[corrente_];
    v.Nome = nome_->text().trimmed();
    v.Tipo = TipoVariabile(tipo_->currentIndex());
    v.Inizio = inizio_->text().toLongLong();
    bool ok = false;
    const qint64 passo = passo_->text().toLongLong(&ok);
    v.Passo = ok ? passo : 1;
    v.Cifre = cifre_->value();
    v.Avanza = AvanzamentoContatore(avanza_->currentIndex());
    v.Continua = continua_->isChecked();
    v.Formato = formato_->text();
    v.Spostamento = spostamento_->value();
    v.Unita = UnitaSpostamento(unita_->currentIndex());
    v.Domanda = domanda_->text();
    v.Predefinito = predefinito_->text();
    v.Regola = RegolaValore(regola_->currentIndex());
    v.LunghezzaMinima = minima_->value();
    v.LunghezzaMassima = massima_->value();
    minima_->setEnabled(v.Regola == RegolaValore::Lunghezza);
    massima_->setEnabled(v.Regola == RegolaValore::Lunghezza);
    if (QListWidgetItem* voce = lista_->item(corrente_)) voce->setText(v.Nome);
    // what the variable gives now: a counter its first value, a date today's
    QString esempio;
    if (v.Tipo == TipoVariabile::Contatore)
        esempio = Variabili::ValoreContatore(v, v.Inizio, 0);
    else if (v.Tipo == TipoVariabile::Data)
        esempio = Variabili::ValoreData(v, QDateTime::currentDateTime(), Variabili::LinguaDate());
    esempio_->setText(esempio.isEmpty() ? QString() : LoadResString(2834).arg(esempio));
    aggiornaAvviso();
}

void frmVariabili::aggiornaAvviso() { avviso_->setText(RichiestaVariabili::AvvisoCampi(variabili_, r_.campi)); }

void frmVariabili::Aggiungi(const QString& nome)
{
    leggi();
    VariabileEtichetta v;
    v.Nome = nome;
    if (v.Nome.isEmpty()) {
        // "Variabile1", "Variabile2", ... the first name not taken
        for (int i = 1; v.Nome.isEmpty() || Variabili::Trova(variabili_, v.Nome); ++i)
            v.Nome = LoadResString(2841) + QString::number(i);
    }
    variabili_.append(v);
    lista_->addItem(v.Nome);
    lista_->setCurrentRow(int(variabili_.size()) - 1);
    nome_->setFocus();
    nome_->selectAll();
}

void frmVariabili::Elimina()
{
    const int riga = lista_->currentRow();
    if (riga < 0 || riga >= variabili_.size()) return;
    corrente_ = -1;  // nothing to read back from the boxes
    variabili_.removeAt(riga);
    delete lista_->takeItem(riga);
    mostra(lista_->currentRow());
    aggiornaAvviso();
}

void frmVariabili::cmdOk_Click()
{
    leggi();
    if (const QString errore = r_.Verifica(variabili_); !errore.isEmpty()) {
        ui_.beep();
        ui_.messaggio(errore, windowTitle(), Pulsanti::Ok, Icona::Esclamazione);
        nome_->setFocus();
        return;
    }
    r_.variabili = variabili_;
    accept();
}

void RegistraDialogoVariabili()
{
    InterazioneQt::RegistraDialogo(RichiestaVariabili::Nome, [](RichiestaDialogo& d, QWidget* genitore) {
        InterazioneQt ui(genitore);
        frmVariabili f(static_cast<RichiestaVariabili&>(d), ui, genitore);
        return f.exec() == QDialog::Accepted;
    });
}

}  // namespace cartigo
