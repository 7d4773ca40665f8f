#include "stampora/frmStamporaAnteprima.h"

#include "label/Conversioni.h"
#include "label/Locale.h"
#include "layout/FiltroCampi.h"
#include "shell/Icone.h"
#include "shell/InterazioneQt.h"
#include "shell/StringTable.h"
#include "stampora/AzioniOutput.h"
#include "stampora/RenderizzatorePagina.h"
#include "stampora/ScrittoreZpl.h"
#include "stampora/VistaAnteprima.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScopeGuard>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

namespace cartigo {

namespace {

struct Bottone {
    const char* chiave;
    const char* tema;
    QStyle::StandardPixmap riserva;
};
const Bottone kBottoni[] = {
    {"stampa", "document-print", QStyle::SP_DialogSaveButton},
    {"stampapagina", "document-print-preview", QStyle::SP_FileIcon},
    {"prima", "go-first", QStyle::SP_MediaSkipBackward},
    {"precedente", "go-previous", QStyle::SP_ArrowLeft},
    {"successiva", "go-next", QStyle::SP_ArrowRight},
    {"ultima", "go-last", QStyle::SP_MediaSkipForward},
    {"chiudi", "window-close", QStyle::SP_DialogCloseButton},
};

QPointer<frmStamporaAnteprima>& istanza()
{
    static QPointer<frmStamporaAnteprima> i;
    return i;
}

bool soloCifre(const QString& t)
{
    for (QChar c : t)
        if (!(c.isDigit() && c.unicode() < 128) && c != QLatin1Char('.') && c != QLatin1Char(',')) return false;
    return true;
}

}  // namespace

frmStamporaAnteprima::frmStamporaAnteprima(Interazione* ui, QWidget* parent)
    : QDialog(parent), uiQt_(ui ? nullptr : std::make_unique<InterazioneQt>(this)), ui_(ui ? ui : uiQt_.get())
{
    setObjectName(QStringLiteral("frmStamporaAnteprima"));
    setModal(true);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setSizeGripEnabled(true);

    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setIconSize(QSize(24, 24));
    for (const Bottone& b : kBottoni) {
        const QString chiave = QString::fromLatin1(b.chiave);
        QIcon icona = QIcon::fromTheme(QString::fromLatin1(b.tema));
        if (icona.isNull() && chiave.startsWith(QLatin1String("stampa")))
            icona = IconaComando(QStringLiteral("stampa"));
        if (icona.isNull()) icona = style()->standardIcon(b.riserva);
        QAction* a = Toolbar1->addAction(icona, QString());
        a->setObjectName(chiave);
        connect(a, &QAction::triggered, this, [this, chiave] { Toolbar1_ButtonClick(chiave); });
        pulsanti_.insert(chiave, a);
        if (chiave == QLatin1String("stampapagina") || chiave == QLatin1String("ultima")) Toolbar1->addSeparator();
    }
    // the pages as the printer's dots
    Toolbar1->addSeparator();
    QAction* punti = Toolbar1->addAction(QString());
    punti->setObjectName(QStringLiteral("punti"));
    punti->setCheckable(true);
    connect(punti, &QAction::toggled, this, [this](bool attivo) {
        vspAnteprima->ImpostaPunti(attivo && doc_ ? RisoluzionePunti(*doc_) : 0);
        zoomDallOutput();
    });
    pulsanti_.insert(QStringLiteral("punti"), punti);

    picStrumenti = new QWidget(this);
    picStrumenti->setObjectName(QStringLiteral("picStrumenti"));
    Label5 = new QLabel(picStrumenti);
    Label5->setObjectName(QStringLiteral("Label5"));
    txtPagina = new QLineEdit(picStrumenti);
    txtPagina->setObjectName(QStringLiteral("txtPagina"));
    txtPagina->setMaximumWidth(60);
    txtPagina->installEventFilter(this);
    // The whole-number input field: highlight, select on entry, digits only, trim on exit.
    (new FiltroCampi(ui_, this))->Installa(txtPagina, TipoCampo::Cifre);
    Label6 = new QLabel(picStrumenti);
    Label6->setObjectName(QStringLiteral("Label6"));
    txtNumeroPagine = new QLineEdit(picStrumenti);
    txtNumeroPagine->setObjectName(QStringLiteral("txtNumeroPagine"));
    txtNumeroPagine->setReadOnly(true);
    txtNumeroPagine->setFocusPolicy(Qt::NoFocus);
    txtNumeroPagine->setMaximumWidth(60);
    cmbZoom = new QComboBox(picStrumenti);
    cmbZoom->setObjectName(QStringLiteral("cmbZoom"));
    cmbZoom->setEditable(true);
    cmbZoom->setInsertPolicy(QComboBox::NoInsert);
    cmbZoom->setMinimumWidth(120);
    cmbZoom->lineEdit()->installEventFilter(this);
    auto* riga = new QHBoxLayout(picStrumenti);
    riga->setContentsMargins(4, 2, 4, 2);
    riga->addWidget(Label5);
    riga->addWidget(txtPagina);
    riga->addWidget(Label6);
    riga->addWidget(txtNumeroPagine);
    riga->addSpacing(16);
    riga->addWidget(cmbZoom);
    riga->addStretch();

    vspAnteprima = new VistaAnteprima(this);
    connect(vspAnteprima, &VistaAnteprima::zoomUtente, this, &frmStamporaAnteprima::zoomDallOutput);
    connect(vspAnteprima, &VistaAnteprima::anteprimaCambiata, this, &frmStamporaAnteprima::zoomDallOutput);
    connect(cmbZoom, &QComboBox::activated, this, [this](int i) { AggiornaZoom(cmbZoom->itemText(i)); });
    connect(cmbZoom->lineEdit(), &QLineEdit::returnPressed, this, &frmStamporaAnteprima::cmbZoom_LostFocus);
    connect(txtPagina, &QLineEdit::returnPressed, this, &frmStamporaAnteprima::txtPagina_LostFocus);

    osservaPagine_ = new QTimer(this);
    osservaPagine_->setInterval(100);
    connect(osservaPagine_, &QTimer::timeout, this, &frmStamporaAnteprima::AggiornaPagine);

    InitControlli();
    Internazionalizza();
    resize(900, 700);
}

frmStamporaAnteprima::~frmStamporaAnteprima() = default;

frmStamporaAnteprima* frmStamporaAnteprima::Istanza()
{
    if (!istanza()) istanza() = new frmStamporaAnteprima;
    return istanza();
}

void frmStamporaAnteprima::Scarica()
{
    delete istanza().data();
}

void frmStamporaAnteprima::ImpostaDocumento(std::shared_ptr<DocumentoStampa> doc)
{
    doc_ = std::move(doc);
    aggiornaTitolo();
    if (doc_) {
        doc_->TestoStampaInCorso = LoadResString(236);
        doc_->TestoStampante = LoadResString(237);
        doc_->TestoPagina = LoadResString(238);
    }
    vspAnteprima->ImpostaDocumento(doc_);
    aggiornaPunti();
    const bool inCorso = doc_ && doc_->InDocumento();
    for (const char* chiave : {"stampa", "stampapagina"})
        pulsanti_.value(QString::fromLatin1(chiave))->setEnabled(!inCorso);
    if (inCorso)
        osservaPagine_->start();
    else
        osservaPagine_->stop();
}

void frmStamporaAnteprima::AggiornaPagine()
{
    // A job that was stopped dropped its pages: there is nothing left to show.
    if (!doc_ || (!doc_->InDocumento() && doc_->PageCount() == 0)) {
        ImpostaDocumento(nullptr);
        hide();
        return;
    }
    vspAnteprima->AggiornaPagine();
    txtNumeroPagine->setText(QString::number(vspAnteprima->PageCount()));
    if (!doc_->InDocumento()) {
        osservaPagine_->stop();
        for (const char* chiave : {"stampa", "stampapagina"})
            pulsanti_.value(QString::fromLatin1(chiave))->setEnabled(true);
        AggiornaControlli();
    }
}

void frmStamporaAnteprima::InitControlli()
{
    cmbZoom->clear();
    for (const char* v : {"500", "200", "150", "100", "75", "50", "25", "10"})
        cmbZoom->addItem(QString::fromLatin1(v) + QStringLiteral(" %"));
    for (int id : {1424, 1425, 1426}) cmbZoom->addItem(LoadResString(id));
}

void frmStamporaAnteprima::aggiornaTitolo()
{
    // The label the pages come from, after the window's name.
    QString titolo = LoadResString(233);
    if (doc_ && !doc_->TitoloLavoro.isEmpty()) titolo += QStringLiteral(" - ") + doc_->TitoloLavoro;
    setWindowTitle(titolo);
}

void frmStamporaAnteprima::Internazionalizza()
{
    aggiornaTitolo();
    Label5->setText(LoadResString(234));
    Label6->setText(LoadResString(235));
    if (doc_) {
        doc_->TestoStampaInCorso = LoadResString(236);
        doc_->TestoStampante = LoadResString(237);
        doc_->TestoPagina = LoadResString(238);
    }
    vspAnteprima->setToolTip(LoadResString(239));
    int id = 240;
    for (const Bottone& b : kBottoni) pulsanti_.value(QString::fromLatin1(b.chiave))->setToolTip(LoadResString(id++));
    aggiornaPunti();
}

void frmStamporaAnteprima::aggiornaPunti()
{
    QAction* punti = pulsanti_.value(QStringLiteral("punti"));
    const double dpi = doc_ ? RisoluzionePunti(*doc_) : 0;
    punti->setText(dpi > 0 ? LoadResString(3161).arg(dpi) : LoadResString(3161).section(QLatin1Char(' '), 0, -2));
    punti->setToolTip(LoadResString(3162).arg(dpi > 0 ? dpi : kRisoluzioneZplPredefinita).arg(kSogliaPuntoNero));
    punti->setEnabled(dpi > 0);
    vspAnteprima->ImpostaPunti(punti->isChecked() && dpi > 0 ? dpi : 0);
}

QString frmStamporaAnteprima::FormatZoom(double Zoom)
{
    QString s = QString::number(Zoom, 'f', 2);
    s.replace(QLatin1Char('.'), ImpostazioniLocali::correnti().decimale);
    return s + QStringLiteral(" %");
}

void frmStamporaAnteprima::AggiornaControlli()
{
    txtPagina->setText(QString::number(vspAnteprima->PreviewPage()));
    txtNumeroPagine->setText(QString::number(vspAnteprima->PageCount()));
    cmbZoom->setEditText(FormatZoom(vspAnteprima->Zoom()));
}

void frmStamporaAnteprima::zoomDallOutput()
{
    cmbZoom->setEditText(FormatZoom(vspAnteprima->Zoom()));
}

void frmStamporaAnteprima::AggiornaZoom(const std::optional<QString>& ZoomValue)
{
    const QString valore = ZoomValue.value_or(cmbZoom->currentText());
    // A percentage reads with or without its sign.
    QString numero = valore.trimmed();
    if (numero.endsWith(QLatin1Char('%'))) numero = numero.chopped(1).trimmed();
    if (soloCifre(numero)) {
        double n = 0;
        try {
            n = modCartigo::ConvertiDouble(numero, ImpostazioniLocali::correnti());
        } catch (...) {
            n = 0;
        }
        if (n != 0 && std::isfinite(n)) {
            vspAnteprima->SetZoom(n);
            return;
        }
        vspAnteprima->SetZoomMode(VistaAnteprima::PaginaIntera);
        cmbZoom->setEditText(FormatZoom(vspAnteprima->Zoom()));
        return;
    }
    if (valore == LoadResString(1424)) {
        vspAnteprima->SetZoomMode(VistaAnteprima::Larghezza);
        cmbZoom->setEditText(FormatZoom(vspAnteprima->Zoom()));
    } else if (valore == LoadResString(1425)) {
        vspAnteprima->SetZoomMode(VistaAnteprima::PaginaIntera);
        cmbZoom->setEditText(FormatZoom(vspAnteprima->Zoom()));
    } else if (valore == LoadResString(1426)) {
        vspAnteprima->SetZoomMode(VistaAnteprima::DuePagine);
        cmbZoom->setEditText(valore);
    } else {
        ui_->beep();
        ui_->messaggio(LoadResString(1427), windowTitle(), Pulsanti::Ok, Icona::Esclamazione);
        vspAnteprima->SetZoomMode(VistaAnteprima::PaginaIntera);
        cmbZoom->setEditText(FormatZoom(vspAnteprima->Zoom()));
    }
}

void frmStamporaAnteprima::cmbZoom_LostFocus()
{
    if (inUscita_) return;
    inUscita_ = true;
    const auto fine = qScopeGuard([this] { inUscita_ = false; });
    const QString t = cmbZoom->currentText();
    if (!t.isEmpty() && soloCifre(t)) {
        double n = 0;
        try {
            n = modCartigo::ConvertiDouble(t, ImpostazioniLocali::correnti());
        } catch (...) {
            n = 0;
        }
        cmbZoom->setEditText(FormatZoom(n));
    }
    AggiornaZoom();
}

void frmStamporaAnteprima::txtPagina_LostFocus()
{
    if (inUscita_) return;
    inUscita_ = true;
    const auto fine = qScopeGuard([this] { inUscita_ = false; });
    const QString t = txtPagina->text().trimmed();
    txtPagina->setText(t);
    bool ok = false;
    long long n = t.toLongLong(&ok);
    if (!ok) n = 0;
    const int pagine = vspAnteprima->PageCount();
    if (n > pagine) {
        ui_->beep();
        ui_->messaggio(LoadResString(1427), windowTitle(), Pulsanti::Ok, Icona::Esclamazione);
        n = pagine;
        txtPagina->setText(QString::number(pagine));
    } else if (n < 1) {
        ui_->beep();
        ui_->messaggio(LoadResString(1427), windowTitle(), Pulsanti::Ok, Icona::Esclamazione);
        n = 1;
        txtPagina->setText(QStringLiteral("1"));
    }
    vspAnteprima->SetPreviewPage(static_cast<int>(n));
}

void frmStamporaAnteprima::Toolbar1_ButtonClick(const QString& chiave)
{
    const int pagina = vspAnteprima->PreviewPage();
    const int pagine = vspAnteprima->PageCount();
    if (chiave == QLatin1String("stampa")) {
        if (doc_) AzioneOutput(*doc_, 12, *ui_);
        return;
    }
    if (chiave == QLatin1String("stampapagina")) {
        if (doc_ && pagina >= 1) AzioneOutput(*doc_, 9, *ui_, pagina);
        return;
    }
    if (chiave == QLatin1String("chiudi")) {
        hide();
        return;
    }
    if (chiave == QLatin1String("prima"))
        vspAnteprima->SetPreviewPage(1);
    else if (chiave == QLatin1String("precedente")) {
        if (pagina > 1) vspAnteprima->SetPreviewPage(pagina - 1);
    } else if (chiave == QLatin1String("successiva")) {
        if (pagina < pagine) vspAnteprima->SetPreviewPage(pagina + 1);
    } else if (chiave == QLatin1String("ultima"))
        vspAnteprima->SetPreviewPage(pagine);
    else
        return;
    AggiornaControlli();
}

void frmStamporaAnteprima::closeEvent(QCloseEvent* e)
{
    // The window is only hidden: the document stays and the engine can show it again.
    e->ignore();
    hide();
}

void frmStamporaAnteprima::hideEvent(QHideEvent* e)
{
    QDialog::hideEvent(e);
    if (!e->spontaneous()) Q_EMIT Chiusa();
}

void frmStamporaAnteprima::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    // The preview takes the inner width less 100 twips, the inner height less 600
    // twips and less the toolbar.
    const double tpp = logicalDpiX() > 0 ? 1440.0 / logicalDpiX() : 15.0;
    const int altezzaBarra = Toolbar1->sizeHint().height();
    Toolbar1->setGeometry(0, 0, width(), altezzaBarra);
    const int strumenti = static_cast<int>(600 / tpp);
    picStrumenti->setGeometry(0, altezzaBarra, width(), strumenti);
    const int margine = static_cast<int>(100 / tpp);
    vspAnteprima->setGeometry(margine / 2, altezzaBarra + strumenti, std::max(0, width() - margine),
                              std::max(0, height() - strumenti - altezzaBarra));
}

bool frmStamporaAnteprima::eventFilter(QObject* obj, QEvent* e)
{
    if (e->type() == QEvent::FocusOut) {
        // Only focus moving within the window leaves a field; a message box or the
        // zoom list opening does not.
        const auto r = static_cast<QFocusEvent*>(e)->reason();
        if (r == Qt::ActiveWindowFocusReason || r == Qt::PopupFocusReason || inUscita_)
            return QDialog::eventFilter(obj, e);
    }
    if (obj == txtPagina && e->type() == QEvent::FocusOut) {
        txtPagina_LostFocus();
    } else if (cmbZoom && obj == cmbZoom->lineEdit() && e->type() == QEvent::FocusOut) {
        cmbZoom_LostFocus();
    }
    return QDialog::eventFilter(obj, e);
}

}  // namespace cartigo
