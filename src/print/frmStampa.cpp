#include "print/frmStampa.h"

#include "layout/FiltroCampi.h"
#include "shell/Finestre.h"
#include "shell/InterazioneQt.h"
#include "shell/StringTable.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QBoxLayout>
#include <QVBoxLayout>

namespace cartigo {

frmStampa::frmStampa(RichiestaOpzioniStampa& r, Interazione& ui, QWidget* parent)
    : QDialog(parent), r_(r), ui_(ui), filtro_(new FiltroCampi(&ui, this))
{
    setObjectName(QStringLiteral("frmStampa"));
    auto* lay = new QVBoxLayout(this);
    frame1_ = new QGroupBox(this);
    frame1_->setObjectName(QStringLiteral("Frame1"));
    auto* g = new QGridLayout(frame1_);
    for (int i = 0; i < 2; ++i) {
        opt_[i] = new QRadioButton(frame1_);
        opt_[i]->setObjectName(QStringLiteral("optStampa%1").arg(i));
    }
    txtNumero_ = new QLineEdit(QStringLiteral("1"), frame1_);
    txtNumero_->setObjectName(QStringLiteral("txtNumeroEtichette"));
    txtPrima_ = new QLineEdit(QStringLiteral("1"), frame1_);
    txtPrima_->setObjectName(QStringLiteral("txtPrimaEtichetta"));
    for (QLineEdit* t : {txtNumero_, txtPrima_}) {
        t->setMaximumWidth(90);
        filtro_->Installa(t, TipoCampo::Cifre);
    }
    label1_ = new QLabel(frame1_);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setBuddy(txtPrima_);
    chkBordi_ = new QCheckBox(frame1_);
    chkBordi_->setObjectName(QStringLiteral("chkStampaBordi"));
    chkCrocicchi_ = new QCheckBox(frame1_);
    chkCrocicchi_->setObjectName(QStringLiteral("chkStampaCrocicchi"));
    g->addWidget(opt_[0], 0, 0, 1, 2);
    g->addWidget(opt_[1], 1, 0);
    g->addWidget(txtNumero_, 1, 1);
    g->addWidget(label1_, 2, 0);
    g->addWidget(txtPrima_, 2, 1);
    g->addWidget(chkBordi_, 3, 0, 1, 2);
    g->addWidget(chkCrocicchi_, 4, 0, 1, 2);
    lay->addWidget(frame1_);
    // the values asked at print time, each with its prompt and its default
    if (!r.Richieste.isEmpty()) {
        frameValori_ = new QGroupBox(this);
        frameValori_->setObjectName(QStringLiteral("FrameValori"));
        auto* gv = new QGridLayout(frameValori_);
        for (qsizetype i = 0; i < r.Richieste.size(); ++i) {
            const VariabileEtichetta& v = r.Richieste[i];
            auto* t = new QLineEdit(i < r.ValoriRichiesti.size() ? r.ValoriRichiesti[i] : v.Predefinito, frameValori_);
            t->setObjectName(QStringLiteral("txtValore%1").arg(i));
            if (v.Regola == RegolaValore::Lunghezza && v.LunghezzaMassima > 0) t->setMaxLength(v.LunghezzaMassima);
            auto* etichetta = new QLabel(v.Domanda.isEmpty() ? v.Nome : v.Domanda, frameValori_);
            etichetta->setBuddy(t);
            gv->addWidget(etichetta, int(i), 0);
            gv->addWidget(t, int(i), 1);
            valori_ << t;
        }
        lay->addWidget(frameValori_);
    }
    if (!r.Risoluzione.isEmpty()) {
        risoluzione_ = new QLabel(r.Risoluzione, this);
        risoluzione_->setObjectName(QStringLiteral("lblRisoluzione"));
        risoluzione_->setWordWrap(true);
        lay->addWidget(risoluzione_);
    }
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = box->button(QDialogButtonBox::Ok);
    ok_->setObjectName(QStringLiteral("cmdOk"));
    box->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(box, &QDialogButtonBox::accepted, this, &frmStampa::cmdOk_Click);
    lay->addWidget(box);
    opt_[r.tutteSelezionata ? 0 : 1]->setChecked(true);
    Internazionalizza();
    adjustSize();
    modCartigo::CentraForm(this);
}

void frmStampa::Internazionalizza()
{
    setWindowTitle(LoadResString(226));
    frame1_->setTitle(LoadResString(227));
    opt_[0]->setText(LoadResString(228));
    opt_[1]->setText(LoadResString(229));
    label1_->setText(LoadResString(230));
    chkBordi_->setText(LoadResString(231));
    chkCrocicchi_->setText(LoadResString(232));
    if (frameValori_) frameValori_->setTitle(LoadResString(2833));
}

void frmStampa::cmdOk_Click()
{
    ValoriDialogoStampa v;
    v.opzioneTutte = opt_[0]->isChecked();
    v.opzioneNumero = opt_[1]->isChecked();
    v.numeroEtichette = txtNumero_->text();
    v.primaEtichetta = txtPrima_->text();
    v.bordi = chkBordi_->isChecked();
    v.crocicchi = chkCrocicchi_->isChecked();
    for (QLineEdit* t : valori_) v.valori << t->text();
    const auto esito = OkOpzioniStampa(v, r_, ui_, windowTitle());
    if (esito.campoErrato >= 3 && esito.campoErrato - 3 < valori_.size()) {
        valori_[esito.campoErrato - 3]->setFocus();
        valori_[esito.campoErrato - 3]->selectAll();
    } else if (esito.campoErrato == 1)
        txtNumero_->setFocus();
    else if (esito.campoErrato == 2)
        txtPrima_->setFocus();
    else
        accept();
}

frmAttesa::frmAttesa(QWidget* parent) : QDialog(parent), genitore_(parent)
{
    setObjectName(QStringLiteral("frmAttesa"));
    setWindowTitle(LoadResString(173));
    auto* lay = new QVBoxLayout(this);
    auto* label1 = new QLabel(LoadResString(174), this);
    label1->setObjectName(QStringLiteral("Label1"));
    QFont f = label1->font();
    f.setBold(true);
    label1->setFont(f);
    info_ = new QLabel(this);
    info_->setObjectName(QStringLiteral("lblInfo"));
    info_->setMinimumWidth(240);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    connect(box, &QDialogButtonBox::rejected, this, [this] { annullata_ = true; });
    lay->addWidget(label1);
    lay->addWidget(info_);
    lay->addWidget(box);
    setWindowModality(Qt::ApplicationModal);
}

void frmAttesa::Mostra()
{
    adjustSize();
    modCartigo::CentraForm(this);
    show();
    QApplication::processEvents();
}

void frmAttesa::Aggiorna(const QString& testo)
{
    info_->setText(testo);
    // Keep the window painted and the Cancel button alive without slowing a long job:
    // look at the event queue at most every 50 ms.
    static QElapsedTimer ultimo;
    if (!ultimo.isValid() || ultimo.elapsed() > 50) {
        ultimo.restart();
        QApplication::processEvents(QEventLoop::ExcludeSocketNotifiers);
        sopraFinestraModale();
    }
}

namespace {

// The window's largest part (the preview's pages), other than the wait window.
const QWidget* ParteMaggiore(const QWidget* finestra, const QWidget* esclusa)
{
    const QWidget* maggiore = nullptr;
    for (const QWidget* w : finestra->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (w != esclusa && w->isVisible() && !w->isWindow() &&
            (!maggiore || w->width() * w->height() > maggiore->width() * maggiore->height()))
            maggiore = w;
    return maggiore;
}

}  // namespace

void frmAttesa::sopraFinestraModale()
{
    QWidget* modale = QApplication::activeModalWidget();
    if (!modale || modale == this || modale == parentWidget() || !isVisible()) return;
    auto* lay = static_cast<QBoxLayout*>(layout());
    lay->setDirection(QBoxLayout::LeftToRight);
    lay->setContentsMargins(6, 2, 6, 2);
    info_->setMinimumWidth(160);
    lay->activate();
    const QWidget* maggiore = ParteMaggiore(modale, this);
    if (maggiore && sizeHint().height() + 4 <= maggiore->y() && sizeHint().width() <= modale->width() * 3 / 5) {
        setParent(modale, Qt::Widget);
        setAutoFillBackground(true);
        ospite_ = modale;
        modale->installEventFilter(this);
        inBarra(modale);
        show();
        raise();
        return;
    }
    lay->setDirection(QBoxLayout::TopToBottom);
    lay->setContentsMargins(-1, -1, -1, -1);
    info_->setMinimumWidth(240);
    lay->activate();
    setParent(modale, windowFlags());
    setWindowModality(Qt::NonModal);
    const QRect g = modale->frameGeometry();
    adjustSize();
    move(g.right() - width() - 24, g.bottom() - height() - 24);
    show();
    raise();
}

void frmAttesa::inBarra(QWidget* modale)
{
    const QSize s = sizeHint();
    const QWidget* maggiore = ParteMaggiore(modale, this);
    const int fondo = maggiore ? maggiore->y() : s.height() + 2;
    setGeometry(modale->width() - s.width() - 8, std::max(0, fondo - s.height() - 2), s.width(), s.height());
}

bool frmAttesa::eventFilter(QObject* obj, QEvent* e)
{
    if (obj == ospite_ && e->type() == QEvent::Resize) inBarra(ospite_);
    return QDialog::eventFilter(obj, e);
}

void frmAttesa::Chiudi()
{
    hide();
    if (ospite_) ospite_->removeEventFilter(this);
    ospite_ = nullptr;
    if (parentWidget() != genitore_) {
        auto* lay = static_cast<QBoxLayout*>(layout());
        lay->setDirection(QBoxLayout::TopToBottom);
        lay->setContentsMargins(-1, -1, -1, -1);
        info_->setMinimumWidth(240);
        setAutoFillBackground(false);
        setParent(genitore_, Qt::Dialog);
        setWindowModality(Qt::ApplicationModal);
    }
    QApplication::processEvents();
    modCartigo::RidaiFuoco(genitore_);
}

frmControllo::frmControllo(RichiestaRilievi& r, QWidget* parent) : QDialog(parent), r_(r)
{
    setObjectName(QStringLiteral("frmControllo"));
    setWindowTitle(LoadResString(2968));
    auto* lay = new QVBoxLayout(this);
    auto* intestazione = new QLabel(LoadResString(2969).arg(r.righe.size()).arg(TestoRisoluzione(r.dpi)), this);
    intestazione->setWordWrap(true);
    lista_ = new QListWidget(this);
    lista_->setObjectName(QStringLiteral("lstRilievi"));
    lista_->addItems(r.righe);
    lista_->setWordWrap(true);
    lista_->setMinimumSize(520, 200);
    connect(lista_, &QListWidget::itemClicked, this, [this](QListWidgetItem* voce) {
        r_.scelto = lista_->row(voce);
        accept();
    });
    auto* box = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    lay->addWidget(intestazione);
    lay->addWidget(lista_);
    lay->addWidget(box);
    modCartigo::CentraForm(this);
}

void RegistraDialogoStampa()
{
    InterazioneQt::RegistraDialogo(RichiestaRilievi::Nome, [](RichiestaDialogo& d, QWidget* genitore) {
        frmControllo f(static_cast<RichiestaRilievi&>(d), genitore);
        return f.exec() == QDialog::Accepted;
    });
    InterazioneQt::RegistraDialogo(RichiestaOpzioniStampa::Nome, [](RichiestaDialogo& d, QWidget* genitore) {
        InterazioneQt ui(genitore);
        frmStampa f(static_cast<RichiestaOpzioniStampa&>(d), ui, genitore);
        return f.exec() == QDialog::Accepted;
    });
}

}  // namespace cartigo
