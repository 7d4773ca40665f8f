// The View menu: the zoom of the design surface (the menu, the keys, Ctrl and the wheel,
// the zoom box) and what the status bar shows of the view. The zoom is the window's,
// never the label's.
#include "app/frmCartigo.h"

#include "designer/PannelloOggetto.h"
#include "designer/PicBox.h"
#include "designer/Superficie.h"
#include "label/Locale.h"
#include "shell/StringTable.h"

#include <QDockWidget>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QShowEvent>
#include <QUndoStack>

namespace cartigo {

double frmCartigo::Zoom() const
{
    return editor_->Zoom();
}

void frmCartigo::ImpostaZoom(double zoom)
{
    // Around the middle of what the surface shows.
    const QSize v = area_->Vista();
    ImpostaZoom(zoom, QPoint(v.width() / 2, v.height() / 2));
}

void frmCartigo::ImpostaZoom(double zoom, QPoint perno)
{
    zoom = Superficie::LimitaZoom(zoom);
    if (zoom != Zoom()) {
        editor_->ImpostaZoom(zoom);  // ends a drag under way
        area_->ImpostaZoom(zoom, perno);
        if (editor_->Maniglie()) editor_->ShowHandles(true);
    }
    aggiornaZoom();
}

void frmCartigo::mnuZoomPiu_Click()
{
    ImpostaZoom(Superficie::ZoomSuccessivo(Zoom(), true));
}

void frmCartigo::mnuZoomMeno_Click()
{
    ImpostaZoom(Superficie::ZoomSuccessivo(Zoom(), false));
}

void frmCartigo::mnuZoom100_Click()
{
    ImpostaZoom(1);
}

void frmCartigo::mnuAdattaEtichetta_Click()
{
    const PicBox* box = area_->picBox();
    ImpostaZoom(Superficie::ZoomAdattato(doc_.Layout(), QSizeF(area_->Vista()), box->ScalaSchermo()), QPoint(0, 0));
    area_->HScroll()->setValue(0);
    area_->VScroll()->setValue(0);
}

void frmCartigo::zoomIniziale()
{
    if (!mostrata_) return;  // set when the window shows
    const PicBox* box = area_->picBox();
    ImpostaZoom(Superficie::ZoomIniziale(doc_.Layout(), QSizeF(area_->Vista()), box->ScalaSchermo()), QPoint(0, 0));
    area_->HScroll()->setValue(0);
    area_->VScroll()->setValue(0);
}

void frmCartigo::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    if (mostrata_) return;
    mostrata_ = true;
    area_->LayoutDesigner();
    zoomIniziale();
}

void frmCartigo::aggiornaZoom()
{
    const QString testo = QStringLiteral("%1 %").arg(std::lround(Zoom() * 100));
    if (!cmbZoom_->lineEdit()->hasFocus()) cmbZoom_->setEditText(testo);
    pannelli_.value(QStringLiteral("zoom"))->setText(LoadResString(1548));
}

void frmCartigo::mostraPosizione(std::optional<QPointF> twips)
{
    QLabel* l = pannelli_.value(QStringLiteral("posizione"));
    if (!twips) {
        l->clear();
        return;
    }
    const QChar dec = ImpostazioniLocali::correnti().decimale;
    auto mm = [&](double v) {
        return QString::number(v / DocumentoEtichetta::TwipsPerMm, 'f', 1).replace(QLatin1Char('.'), dec);
    };
    l->setText(LoadResString(1547).arg(mm(twips->x() - Superficie::OrigineX), mm(twips->y() - Superficie::OrigineY)));
}

// ---- the object panel ----

void frmCartigo::creaPannello()
{
    dock_ = new QDockWidget(this);
    dock_->setObjectName(QStringLiteral("dockPannelloOggetto"));
    dock_->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    pannello_ = new PannelloOggetto(doc_, *ui_, dock_);
    pannello_->setMinimumWidth(220);
    pannello_->Modello().fonts = [this] { return comandi_.fonts(); };
    pannello_->Modello().campi = [this] { return comandi_.campiDati ? comandi_.campiDati() : QStringList(); };
    dock_->setWidget(pannello_);
    addDockWidget(Qt::RightDockWidgetArea, dock_);
    QAction* mostra = dock_->toggleViewAction();
    mostra->setObjectName(QStringLiteral("mnuPannelloOggetto"));
    menu_.insert(mostra->objectName(), mostra);
    if (QAction* vista = menu_.value(QStringLiteral("mnuVisualizza"))) {
        vista->menu()->addSeparator();
        vista->menu()->addAction(mostra);
    }
    // A frame typed in the panel is one step; the panel follows the label's changes.
    connect(pannello_, &PannelloOggetto::corniceScelta, this,
            [this](const Cornice& c) { comandi_.ImpostaCornice(CurrentObject(), c); });
    connect(&doc_, &DocumentoEtichetta::oggettoCambiato, this, &frmCartigo::aggiornaPannello);
    connect(&doc_, &DocumentoEtichetta::oggettiCambiati, this, &frmCartigo::aggiornaPannello);
    connect(&doc_.Storia(), &QUndoStack::indexChanged, this, &frmCartigo::aggiornaPannello);
    // Connected to another table (or none): other fields to link.
    connect(&doc_, &DocumentoEtichetta::connessioneCambiata, this, [this] {
        pannello_->Modello().RileggiCampi();
        aggiornaPannello();
    });
    // The surface's scroll bars stay beside the panel.
    connect(dock_, &QDockWidget::visibilityChanged, area_, &AreaDisegno::LayoutDesigner);
    dock_->setWindowTitle(LoadResString(1509));
    mostra->setText(LoadResString(1509));
}

void frmCartigo::aggiornaPannello()
{
    if (pannello_ && editor_) pannello_->Mostra(editor_->Selezione());
}

}  // namespace cartigo
