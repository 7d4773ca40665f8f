#pragma once
// The main window: menus, toolbars, status bar and the design area; it owns the
// label document and routes every command. The work itself lives in core classes.

#include "app/Avvio.h"
#include "data/ComandiDati.h"
#include "data/clsDatabase.h"
#include "designer/ComandiEtichetta.h"
#include "designer/EditorSuperficie.h"
#include "label/DocumentoEtichetta.h"
#include "label/GestoreEtichetta.h"
#include "shell/InterazioneQt.h"

#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QMainWindow>
#include <QToolBar>
#include <memory>

class QAction;
class QDockWidget;
class QMenu;

namespace cartigo {

class AreaDisegno;
class BandaTrascinamento;
class PannelloOggetto;
class PicBox;
class TastiBloccati;

class frmCartigo : public QMainWindow, public FinestraDesigner {
    Q_OBJECT
public:
    // `ui` answers the window's questions; without one the window uses real dialogs.
    explicit frmCartigo(Interazione* ui = nullptr, QWidget* parent = nullptr);
    ~frmCartigo() override;

    DocumentoEtichetta& Documento() { return doc_; }
    GestoreEtichetta& Gestore() { return gestore_; }
    Interazione& Ui() { return *ui_; }

    // Menu entries by name ("mnuFile", "mnuNuovo", ...) and toolbar buttons by key ("nuovo", ...).
    QAction* Menu(const QString& nome) const { return menu_.value(nome); }
    QAction* Pulsante(const QString& chiave) const { return pulsanti_.value(chiave); }
    QToolBar* Toolbar1() const { return toolbar1_; }
    QToolBar* ToolbarZoom() const { return toolbarZoom_; }
    QToolBar* Toolbar2() const { return toolbar2_; }
    QToolBar* ToolbarDisposizione() const { return toolbar3_; }
    QComboBox* cmbFontname() const { return cmbFontname_; }
    QComboBox* cmbFontsize() const { return cmbFontsize_; }
    QLabel* Pannello(const QString& chiave) const { return pannelli_.value(chiave); }

    // Sets every caption and tooltip from the string table.
    void Internazionalizza();
    // Start-up with the command line's fields. Returns false when the window
    // should not be shown (the print switch).
    bool Avvia(const AvvioProgramma& avvio);
    // The exit status after the print switch: 0 when the label was printed.
    int CodiceUscita() const { return stampata_ ? 0 : 1; }

    // The design area (surface and scroll bars) and its surface.
    AreaDisegno* Area() const { return area_; }
    PicBox* Superficie() const;
    // The rubber band drawn over the window while an object is dragged.
    BandaTrascinamento* Banda() const { return banda_; }
    // The surface's zoom (1 is 100 %), a view setting; the zoom box in the toolbar.
    double Zoom() const;
    void ImpostaZoom(double zoom);
    // Zooms keeping the surface point under `perno` (pixels of the design area) in place.
    void ImpostaZoom(double zoom, QPoint perno);
    QComboBox* cmbZoom() const { return cmbZoom_; }
    // The object panel beside the surface (View > Object panel shows and hides it).
    PannelloOggetto* PannelloOggetti() const { return pannello_; }
    // The grid and snap switches.
    bool Griglia() const { return griglia_; }
    bool Snap() const { return editor_->Snap; }

    // Mouse editing (tools, selection, drags) and the commands on the selected object.
    EditorSuperficie& Editor() { return *editor_; }
    ComandiEtichetta& Comandi() { return comandi_; }
    // The selected object, or none.
    OggettoEtichetta* CurrentObject() const { return editor_->CurrentObject(); }
    // The selected objects, the last selected last.
    Selezione Selezionati() const { return editor_->Selezione(); }
    // Selects an object without the mouse (no grips are drawn); none hides the grips.
    void ImpostaCurrentObject(OggettoEtichetta* oggetto)
    {
        editor_->ImpostaCurrentObject(oggetto);
        if (!oggetto) editor_->ShowHandles(false);
    }
    void ImpostaModoInserimento(ModoInserimento modo) { editor_->ImpostaModoInserimento(modo); }
    void ClearSelection() { editor_->ClearSelection(); }

    // The font boxes and the bold and italic buttons.
    void InitFontControls();
    void ShowFontState(const OggettoEtichetta& testo) override;
    // A picture drawn with the picture tool asks for its file at once.
    void OggettoDisegnato(OggettoEtichetta& nuovo) override;
    // The checks when focus leaves a font box; false after the message (the box keeps the focus).
    bool cmbFontname_Validate();
    bool cmbFontsize_Validate();

    // FinestraDesigner
    QPointF Contenitore() const override;
    void DrawDragRect(const QRect& schermo) override;
    void MostraManiglie(const std::optional<std::array<QPointF, 8>>& posizioni) override;
    void MostraSelezione(const std::vector<QRectF>& cornici) override;
    void CatturaMouse(bool cattura) override;
    void PuntatoreInserimento(bool croce) override;
    void Ridisegna() override;

    // The connection state shown in the status bar.
    void SetConnesso();
    void SetDisconnesso();

    // Data source: the database object, the Database menu's commands, and the
    // connection of a loaded label (also installed as the label loader's hook).
    clsDatabase& Database() { return *objDatabase_; }
    ComandiDati& Dati() { return *dati_; }
    bool ConnettiDatabase(const QString& file, const QString& password, const QString& tabella);

public Q_SLOTS:
    // File
    void mnuNuovo_Click();
    void mnuApri_Click();
    void mnuSalva_Click();
    void mnuImpostaPagina_Click();
    void mnuStampa_Click();
    // Checks the label at its print resolution and lists the findings; one clicked is selected.
    void mnuControllaEtichetta_Click();
    void mnuEsci_Click();
    // Edit
    void mnuAnnulla_Click();
    void mnuRipeti_Click();
    void mnuCancella_Click();
    void mnuTaglia_Click();
    void mnuCopia_Click();
    void mnuIncolla_Click();
    void mnuSelezionaTutto_Click();
    void mnuModificaTesto_Click();
    void mnuModificaImmagine_Click();
    // Database
    void mnuConnettiDb_Click();
    void mnuDisconnettiDb_Click();
    void mnuSelezionaRecords_Click();
    void mnuCollega_Click();
    void mnuVariabili_Click();
    // Tools
    void mnuSeleziona_Click();
    void mnuTesto_Click();
    void mnuCodiciBarre_Click();
    void mnuImmagine_Click();
    void mnuRettangolo_Click();
    void mnuLinea_Click();
    void mnuEllisse_Click();
    // Format
    void mnuOpaco_Click();
    void mnuTrasparente_Click();
    void mnuColoreSfondo_Click();
    void mnuColoreOggetto_Click();
    void mnuSpessore_Click(int spessore);
    void mnuPortaAvanti_Click();
    void mnuPortaIndietro_Click();
    void mnuParametriBarcode_Click();
    void mnuCarattere_Click();
    void mnuAllineamento_Click();
    void mnuRuotaSinistra_Click();
    void mnuRuotaDestra_Click();
    // The outline and fill of the selected lines and ellipses (double-click on one).
    void mnuForma_Click();
    // Align, distribute or same size on the selected objects.
    void Disponi(const ComandoDisposizione& comando);
    void AllineaTesto(int allineamento);
    void ApplicaStileToolbar();
    void SetGriglia();
    void SetSnap();
    void UpdateGridButtons();
    void RedrawSurface();
    // View
    void mnuZoomPiu_Click();
    void mnuZoomMeno_Click();
    void mnuZoom100_Click();
    void mnuAdattaEtichetta_Click();
    // Help
    void mnuInformazioni_Click();

    // The click handler of both toolbars, by button key.
    void Toolbar_ButtonClick(const QString& chiave);

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    // While a drag holds the mouse, its moves and the release come here.
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    void creaMenu();
    // The Undo and Redo entries and buttons follow the history.
    void aggiornaStoria();
    void impostaMetricaSchermo();
    void creaToolbar();
    void creaStatusBar();
    void aggiornaTitolo();
    // The tool in use checked in the Objects menu and the toolbar.
    void aggiornaStrumenti();
    // The zoom box and the status bar follow the zoom.
    void aggiornaZoom();
    // A label just opened or made new: fitted when it is small or large on the screen.
    void zoomIniziale();
    // The pointer's place on the label in the status bar, or nothing.
    void mostraPosizione(std::optional<QPointF> twips);
    void creaPannello();
    // The panel shows the last selected object as it is now.
    void aggiornaPannello();
    void aggiornaTastiBloccati();
    void collegaSuperficie();
    void PicBox_MouseDown(Qt::MouseButton pulsante, QPointF twips, Qt::KeyboardModifiers tasti);
    void PicBox_MouseMove(QPointF twips);
    void PicBox_DblClick(Qt::MouseButton pulsante, QPointF twips);
    QPoint schermoDaTwips(QPointF twips) const;
    QAction* voce(QMenu* menu, const QString& nome, void (frmCartigo::*slot)());
    QAction* pulsante(QToolBar* tb, const QString& chiave);
    void inizializzaDati();
    void aggiornaConnessione(bool connesso);

    std::unique_ptr<InterazioneQt> uiQt_;
    Interazione* ui_;
    DocumentoEtichetta doc_;
    GestoreEtichetta gestore_;
    QHash<QString, QAction*> menu_;
    QHash<QString, QAction*> pulsanti_;
    QHash<QString, QLabel*> pannelli_;
    QToolBar* toolbar1_ = nullptr;
    QToolBar* toolbar2_ = nullptr;
    QToolBar* toolbar3_ = nullptr;
    QComboBox* cmbFontname_ = nullptr;
    QComboBox* cmbFontsize_ = nullptr;
    QComboBox* cmbZoom_ = nullptr;
    QToolBar* toolbarZoom_ = nullptr;
    PannelloOggetto* pannello_ = nullptr;
    QDockWidget* dock_ = nullptr;
    bool mostrata_ = false;  // shown once: the starting zoom is set
    TastiBloccati* tasti_ = nullptr;
    AreaDisegno* area_ = nullptr;
    BandaTrascinamento* banda_ = nullptr;
    std::unique_ptr<EditorSuperficie> editor_;
    ComandiEtichetta comandi_;
    bool griglia_ = false;
    bool inValidazione_ = false;
    std::unique_ptr<clsDatabase> objDatabase_;
    std::unique_ptr<ComandiDati> dati_;
    bool stampata_ = false;  // the last print job delivered its document
    bool esceDopoStampa_ = false;  // started with -S: the program ends after the print
};

}  // namespace cartigo
