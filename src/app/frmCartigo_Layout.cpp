// The sheet layout command, the design surface of the main window, and the grid
// and snap switches.
#include "app/frmCartigo.h"

#include "designer/PicBox.h"
#include "designer/clsGrip.h"
#include "label/ModificheEtichetta.h"
#include "layout/ImpostaPagina.h"
#include "layout/frmImpostaPagina.h"

namespace cartigo {

void frmCartigo::impostaMetricaSchermo()
{
    auto& m = MetricaSchermo::corrente();
    const ScalaSuperficie& s = area_->picBox()->Scala();
    m.TwipsPerPixelX = s.x;
    m.TwipsPerPixelY = s.y;
    m.ScreenToClient = [this](QPoint p) { return mapFromGlobal(p); };
    m.ClientToScreen = [this](QPoint p) { return mapToGlobal(p); };
}

PicBox* frmCartigo::Superficie() const
{
    return area_->picBox();
}

void frmCartigo::mnuImpostaPagina_Click()
{
    editor_->SelectMode = false;
    frmImpostaPagina::Registra();
    RichiestaImpostaPagina richiesta;
    richiesta.layout = doc_.Layout();
    ui_->cursoreAttesa();
    const bool ok = ui_->dialogo(richiesta);
    ui_->cursoreNormale();
    // The layout is saved with the label: a change is a step of its history.
    if (ok && !(richiesta.layout == doc_.Layout()))
        doc_.Esegui(new ComandoLayout(doc_, doc_.Layout(), richiesta.layout));
    RedrawSurface();
}

void frmCartigo::RedrawSurface()
{
    area_->picBox()->RedrawSurface();
}

void frmCartigo::SetGriglia()
{
    griglia_ = !griglia_;
    area_->picBox()->ImpostaGriglia(griglia_);
    RedrawSurface();
    UpdateGridButtons();
}

void frmCartigo::SetSnap()
{
    editor_->Snap = !editor_->Snap;
    UpdateGridButtons();
}

void frmCartigo::UpdateGridButtons()
{
    Pulsante(QStringLiteral("griglia"))->setChecked(griglia_);
    Pulsante(QStringLiteral("snap"))->setChecked(editor_->Snap);
}

}  // namespace cartigo
