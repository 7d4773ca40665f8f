#include "layout/frmImpostaPagina.h"

#include "shell/Finestre.h"
#include "shell/StringTable.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace cartigo {

frmImpostaPagina::frmImpostaPagina(Interazione* ui, QWidget* parent)
    : QDialog(parent),
      uiQt_(ui ? nullptr : std::make_unique<InterazioneQt>(this)),
      ui_(ui ? ui : uiQt_.get()),
      filtro_(new FiltroCampi(ui_, this))
{
    setObjectName(QStringLiteral("frmImpostaPagina"));
    setModal(true);

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
        filtro_->Installa(campo, TipoCampo::Numerico);
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
    }
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

    auto* principale = new QVBoxLayout(this);
    principale->addWidget(fraLayout_);
    principale->addWidget(fraOrigine_);
    principale->addLayout(pulsanti);
    setSizeGripEnabled(false);

    for (int i = 0; i + 1 < ValoriImpostaPagina::NumeroCampi; ++i)
        setTabOrder(campi_[size_t(i)], campi_[size_t(i + 1)]);
    setTabOrder(campi_.back(), cmdOk_);
    setTabOrder(cmdOk_, cmdCancel_);

    connect(cmdOk_, &QPushButton::clicked, this, &frmImpostaPagina::cmdOk_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &frmImpostaPagina::cmdCancel_Click);
    campi_[0]->setFocus(Qt::OtherFocusReason);
}

frmImpostaPagina::~frmImpostaPagina() = default;

void frmImpostaPagina::Internazionalizza()
{
    setWindowTitle(LoadResString(196));
    for (int i = 0; i < ValoriImpostaPagina::NumeroCampi; ++i)
        etichette_[size_t(i)]->setText(LoadResString(ValoriImpostaPagina::Campi[size_t(i)].idEtichetta));
    fraOrigine_->setTitle(LoadResString(205));
    notaOrigine_->setText(LoadResString(1315).arg(SpostamentoStampaX));
}

void frmImpostaPagina::CaricaLayout(const LayoutEtichetta& layout)
{
    layout_ = layout;
    ValoriImpostaPagina v;
    v.CaricaLayout(layout, ImpostazioniLocali::correnti());
    for (int i = 0; i < ValoriImpostaPagina::NumeroCampi; ++i) campi_[size_t(i)]->setText(v.testi[size_t(i)]);
}

ValoriImpostaPagina frmImpostaPagina::valori() const
{
    ValoriImpostaPagina v;
    for (int i = 0; i < ValoriImpostaPagina::NumeroCampi; ++i) v.testi[size_t(i)] = campi_[size_t(i)]->text();
    return v;
}

void frmImpostaPagina::cmdOk_Click()
{
    const ValoriImpostaPagina v = valori();
    const int errato = v.Verifica_campi_obbligatori(*ui_, windowTitle(), ImpostazioniLocali::correnti());
    if (errato >= 0) {
        campi_[size_t(errato)]->setFocus(Qt::OtherFocusReason);
        return;
    }
    v.SalvaLayout(layout_, ImpostazioniLocali::correnti());
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
}

}  // namespace cartigo
